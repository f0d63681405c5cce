// Suggestions, hyphenation and the best correction on the wngerman dictionary. The dictionary the tests'
// fixture built is used when it is there; otherwise it is built first.
#include "tests/spell/wngerman/BuildWngerman.h"

#include "Hyphenation.h"
#include "Letters.h"
#include "Suggestions.h"
#include "platform/win32/GlobalMemory.h"
#include "platform/win32/UiServices.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>

using namespace wortex;

namespace {

struct Opened {
    DBHandle handle = 0;
    std::vector<std::string> words; // plain words of the list
    std::string error;
};

win32::ScriptedUi ui;

const Opened& opened() {
    static Opened o = [] {
        Opened r;
        win32::SetUiServices(&ui);
        InitDictionarySide(120);
        std::filesystem::path file = test::fixtureOrBuiltWngerman(WNGERMAN_DICTIONARY);
        if (file.empty()) {
            r.error = "wngerman is not installed or its import failed";
            return r;
        }
        r.handle = OpenDictionary(true, file.string());
        for (const auto& w : test::readWngerman())
            if (w.size() >= 2 && w.size() <= 40 && std::all_of(w.begin(), w.end(), [](char c) {
                    return IsAnsiLetter(static_cast<unsigned char>(c));
                }))
                r.words.push_back(w);
        return r;
    }();
    return o;
}

const char* const kMisspelt[] = {"Strasse",       "Schlu\xDFrechnung", "Grundstueck",  "Gebaeude",
                                 "Wohnug",        "Zeichung",          "Genemigung",   "Abrechung",
                                 "warscheinlich", "Rythmus",           "Rechnnung",    "Bausstelle",
                                 "Addresse",      "Bauantarg",         "Unterschirft", "Kalkualtion",
                                 "Reperatur",     "entg\xFCltig",      "Architeckt",   "vieleicht"};

// 1000 list words with one letter changed, dropped or doubled.
std::vector<std::string> oneLetterMisspellings(const std::vector<std::string>& words) {
    std::mt19937 rng(28);
    std::vector<std::string> out;
    while (out.size() < 1000) {
        std::string w = words[rng() % words.size()];
        if (w.size() < 4) continue;
        std::size_t at = 1 + rng() % (w.size() - 1);
        switch (rng() % 3) {
        case 0:
            w[at] = static_cast<char>('a' + rng() % 26);
            break;
        case 1:
            w.erase(at, 1);
            break;
        default:
            w.insert(at, 1, w[at]);
        }
        out.push_back(w);
    }
    return out;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// arg 0: the twenty misspellings (0) or 1000 one-letter misspellings (1); arg 1: extended search.
void BM_SuggestionList(benchmark::State& state) {
    const Opened& o = opened();
    if (!o.handle) {
        state.SkipWithError(o.error.c_str());
        return;
    }
    std::vector<std::string> probe =
        state.range(0) ? oneLetterMisspellings(o.words)
                       : std::vector<std::string>(std::begin(kMisspelt), std::end(kMisspelt));
    std::vector<double> ms;
    std::size_t i = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        win32::HGLOBAL block = MakeSuggestionList(probe[i].c_str(), state.range(1) != 0);
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        win32::GlobalFree(block);
        if (++i == probe.size()) i = 0;
    }
    state.counters["median_ms"] = median(ms);
    state.counters["max_ms"] = *std::max_element(ms.begin(), ms.end());
}
BENCHMARK(BM_SuggestionList)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

void BM_HyphenateWord(benchmark::State& state) {
    const Opened& o = opened();
    if (!o.handle) {
        state.SkipWithError(o.error.c_str());
        return;
    }
    std::vector<const std::string*> probe;
    for (std::size_t i = 0; i < o.words.size(); i += 37)
        probe.push_back(&o.words[i]);
    std::size_t i = 0, hyphenated = 0;
    char out[64];
    for (auto _ : state) {
        hyphenated += HyphenateWord('D', probe[i]->c_str(), nullptr, out);
        if (++i == probe.size()) i = 0;
    }
    state.counters["words_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["hyphenated_share"] =
        static_cast<double>(hyphenated) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_HyphenateWord);

// Running German text as the check of a text hands it over: capitals as "~".
void BM_FindBestCorrectionText(benchmark::State& state) {
    const Opened& o = opened();
    if (!o.handle) {
        state.SkipWithError(o.error.c_str());
        return;
    }
    const char* text =
        "Die Honorarermittlung erfolgt auf der Grundlage der anrechenbaren Kosten des Objekts und der "
        "Honorarzone der das Objekt angeh\xF6rt Die Leistungsphasen werden mit den Prozents\xE4tzen der "
        "Honorartafel bewertet Die Rechnung ist innerhalb von drei\xDFig Tagen nach Eingang ohne Abzug zu "
        "bezahlen Nebenkosten werden pauschal mit f\xFCnf Prozent des Honorars abgerechnet Der Architekt "
        "stellt die Schlussrechnung nach Abnahme der Leistung Die Bauleitung \xFC"
        "berwacht die Ausf\xFChrung "
        "der Arbeiten auf der Baustelle und pr\xFC"
        "ft die Rechnungen der Unternehmen";
    std::vector<std::string> words;
    std::string w;
    for (const char* p = text;; ++p) {
        if (*p && *p != ' ') {
            w.push_back(*p);
            continue;
        }
        if (!w.empty()) {
            unsigned char c = static_cast<unsigned char>(w[0]);
            if (AnsiToLower(c) != c) {
                w[0] = static_cast<char>(AnsiToLower(c));
                w.insert(w.begin(), '~');
            }
            words.push_back(w);
        }
        w.clear();
        if (!*p) break;
    }
    // arg 1: only the words the dictionary holds as they stand (no compound or alternative needed);
    // arg 2: only the others.
    std::size_t plain = 0, all = words.size();
    for (std::size_t k = 0; k < words.size();) {
        bool held = FindWordInDictionaries(0, words[k].c_str(), 0, false) != 0;
        plain += held;
        if ((state.range(0) == 1 && !held) || (state.range(0) == 2 && held))
            words.erase(words.begin() + static_cast<std::ptrdiff_t>(k));
        else
            ++k;
    }
    state.counters["plain_share_of_text"] = static_cast<double>(plain) / static_cast<double>(all);
    std::size_t i = 0, found = 0;
    char correction[64];
    unsigned char marks[kMarkCount];
    for (auto _ : state) {
        found += FindBestCorrection(0, 0, words[i].c_str(), correction, marks, false) != 0;
        if (++i == words.size()) i = 0;
    }
    state.counters["words_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["found_share"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FindBestCorrectionText)->Arg(0)->Arg(1)->Arg(2);

} // namespace

// Opening the dictionary and reading its word count and language, as a host does at start, and closing it.
void BM_OpenDictionary(benchmark::State& state) {
    const Opened& o = opened();
    if (!o.handle) {
        state.SkipWithError(o.error.c_str());
        return;
    }
    const std::string file = test::fixtureOrBuiltWngerman(WNGERMAN_DICTIONARY).string();
    for (auto _ : state) {
        DBHandle h = OpenDictionary(false, file);
        benchmark::DoNotOptimize(GetDictionaryLanguageOf(h));
        CloseDictionary(h);
    }
}
BENCHMARK(BM_OpenDictionary)->Unit(benchmark::kMicrosecond);
