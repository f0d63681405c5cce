// Building a German dictionary from the wngerman list by the library's import, and checking words against
// it with the library's default cache: listed words in random order, one-letter misspellings of listed
// words, and running German text. Every probe is drawn by a fixed seed, so runs compare.
#include "tests/spell/WngermanList.h"

#include "platform/win32/FileApi.h"
#include "platform/win32/UiServices.h"
#include "DictionarySet.h"
#include "Letters.h"
#include "WordImport.h"

#include <benchmark/benchmark.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

using namespace wortex;

namespace {

constexpr std::size_t kProbeWords = 200000;
constexpr std::size_t kTextWords = 120000;

// The scratch folder goes on every way out: normal exit, a skipped run and an interrupt.
char scratchDir[64] = {};

void removeScratch() {
    if (!scratchDir[0]) return;
    std::error_code ec;
    std::filesystem::remove_all(scratchDir, ec);
    scratchDir[0] = 0;
}

void onSignal(int sig) {
    removeScratch();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

struct Built {
    DBHandle handle = 0;
    std::vector<std::string> words;
    ~Built() {
        if (handle) CloseDictionary(handle);
        removeScratch();
    }
};

win32::ScriptedUi ui;

Built& built() {
    static Built b;
    return b;
}

long peakKiB() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss;
}

void BM_BuildDictionary(benchmark::State& state) {
    if (!std::filesystem::exists(test::kWngermanPath)) {
        state.SkipWithError("wngerman is not installed");
        return;
    }
    win32::SetUiServices(&ui);
    InitDictionarySide(120);
    Built& b = built();
    std::strcpy(scratchDir, "/tmp/wxbenchXXXXXX");
    if (!::mkdtemp(scratchDir)) {
        scratchDir[0] = 0;
        state.SkipWithError("no scratch folder");
        return;
    }
    std::atexit(removeScratch);
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    b.words = test::readWngerman();
    std::string dir = scratchDir;
    std::string list = dir + "/ngerman.txt";
    test::writeLines(list, b.words);
    long before = peakKiB();
    for (auto _ : state) {
        std::string file = dir + "/ngerman.wxd";
        if (b.handle) CloseDictionary(b.handle);
        CreateDictionaryFile(file, 'd');
        b.handle = OpenDictionary(false, file);
        TextImport import;
        ImportTextFile(b.handle, list, import);
        state.counters["words"] = import.added;
        state.counters["words_per_s"] =
            benchmark::Counter(static_cast<double>(import.added), benchmark::Counter::kIsRate);
    }
    state.counters["peak_MiB"] = static_cast<double>(peakKiB()) / 1024.0;
    state.counters["peak_growth_MiB"] = static_cast<double>(peakKiB() - before) / 1024.0;
    state.counters["file_MiB"] =
        static_cast<double>(std::filesystem::file_size(dir + "/ngerman.wxd")) / (1024.0 * 1024.0);
}
BENCHMARK(BM_BuildDictionary)->Iterations(1)->Unit(benchmark::kSecond);

// Opening the built dictionary and closing it again, read only (kind 0) and for writing (kind 1), and a
// user's dictionary of 200 words for writing (kind 2).
void BM_OpenDictionary(benchmark::State& state) {
    Built& b = built();
    if (!b.handle) {
        state.SkipWithError("no dictionary built");
        return;
    }
    std::string file = std::string(scratchDir) + "/ngerman.wxd";
    CloseDictionary(b.handle);
    b.handle = 0;
    if (state.range(0) == 2) {
        file = std::string(scratchDir) + "/eigen.wxd";
        CreateDictionaryFile(file, 'd');
        DBHandle h = OpenDictionary(false, file);
        for (std::size_t i = 0; i < 200; ++i)
            AddDictionaryWord(h, b.words[i * 997 % b.words.size()].c_str(), false, false, 0, 0);
        CloseDictionary(h);
    }
    for (auto _ : state) {
        DBHandle h = OpenDictionary(state.range(0) == 0, file);
        if (!h) {
            state.SkipWithError("the dictionary does not open");
            break;
        }
        CloseDictionary(h);
    }
    b.handle = OpenDictionary(false, std::string(scratchDir) + "/ngerman.wxd");
}
BENCHMARK(BM_OpenDictionary)->ArgName("kind")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// Listed words drawn in random order; with misspell, one letter of each replaced by another.
std::vector<std::string> probes(const std::vector<std::string>& words, bool misspell) {
    std::mt19937 rng(misspell ? 4711 : 1234);
    std::uniform_int_distribution<std::size_t> pick(0, words.size() - 1);
    std::uniform_int_distribution<int> letter('a', 'z');
    std::vector<std::string> out;
    out.reserve(kProbeWords);
    while (out.size() < kProbeWords) {
        std::string w = words[pick(rng)];
        if (misspell) {
            std::size_t at = std::uniform_int_distribution<std::size_t>(0, w.size() - 1)(rng);
            char c;
            do
                c = static_cast<char>(letter(rng));
            while (c == w[at]);
            w[at] = c;
        }
        out.push_back(std::move(w));
    }
    return out;
}

// A byte that the letter coding holds as a letter of a word.
bool isTextLetter(unsigned char c) {
    unsigned char lower = AnsiToLower(c);
    unsigned code = LetterToCode(lower) >> 1;
    return code >= 2 && code <= 63 && CodeToLetter(LetterToCode(lower)) == lower && IsWordChar(c);
}

// Running German text: sentences of words drawn from a fixed list, the short common words far more often
// than the rest, as in real prose; then cut into words at every byte that the letter coding does not hold,
// with the punctuation that the coding counts as letters taken off the ends.
std::vector<std::string> runningText() {
    static const char* const common[] = {
        "der",   "die",    "das",  "und",  "in",   "den",   "von",   "zu",    "mit",   "sich", "des",
        "auf",   "für",    "ist",  "im",   "dem",  "nicht", "ein",   "eine",  "als",   "auch", "es",
        "an",    "werden", "aus",  "er",   "hat",  "dass",  "sie",   "nach",  "wird",  "bei",  "einer",
        "um",    "am",     "sind", "noch", "wie",  "einem", "über",  "einen", "so",    "zum",  "war",
        "haben", "nur",    "oder", "aber", "vor",  "zur",   "bis",   "mehr",  "durch", "man",  "sein",
        "wurde", "sei",    "wir",  "ich",  "wenn", "kann",  "schon", "hier",  "alle",  "dann"};
    static const char* const content[] = {"Haus",
                                          "Straße",
                                          "Stadt",
                                          "Jahr",
                                          "Zeit",
                                          "Arbeit",
                                          "Leistung",
                                          "Vertrag",
                                          "Rechnung",
                                          "Planung",
                                          "Gebäude",
                                          "Kosten",
                                          "Honorar",
                                          "Bauherr",
                                          "Architekt",
                                          "Ingenieur",
                                          "Entwurf",
                                          "Genehmigung",
                                          "Ausführung",
                                          "Vergabe",
                                          "Angebot",
                                          "Auftrag",
                                          "Grundlage",
                                          "Ergebnis",
                                          "Frage",
                                          "Antwort",
                                          "Woche",
                                          "Monat",
                                          "Tag",
                                          "Abend",
                                          "Morgen",
                                          "Wasser",
                                          "Fenster",
                                          "Tür",
                                          "Dach",
                                          "Wand",
                                          "Boden",
                                          "Treppe",
                                          "Garten",
                                          "Schule",
                                          "Kirche",
                                          "Brücke",
                                          "Gemeinde",
                                          "Behörde",
                                          "Unterlagen",
                                          "Zeichnung",
                                          "Berechnung",
                                          "Prüfung",
                                          "Abnahme",
                                          "Mangel",
                                          "Schaden",
                                          "Termin",
                                          "Besprechung",
                                          "Protokoll",
                                          "neue",
                                          "große",
                                          "kleine",
                                          "alte",
                                          "gute",
                                          "wichtige",
                                          "schnell",
                                          "langsam",
                                          "genau",
                                          "richtig",
                                          "heute",
                                          "gestern",
                                          "morgen",
                                          "bereits",
                                          "wieder",
                                          "immer",
                                          "oft",
                                          "selten",
                                          "leider",
                                          "gern",
                                          "machen",
                                          "sagen",
                                          "gehen",
                                          "kommen",
                                          "sehen",
                                          "geben",
                                          "finden",
                                          "bleiben",
                                          "liegen",
                                          "stehen",
                                          "prüfen",
                                          "planen",
                                          "bauen",
                                          "zahlen",
                                          "schreiben",
                                          "rechnen",
                                          "bestellen",
                                          "liefern",
                                          "fragen",
                                          "arbeiten",
                                          "erstellen",
                                          "vorlegen",
                                          "beantragen",
                                          "genehmigen",
                                          "ausführen",
                                          "abrechnen",
                                          "Grundstück",
                                          "Bebauungsplan",
                                          "Kostenberechnung",
                                          "Schlussrechnung",
                                          "Abschlagszahlung",
                                          "Nachtrag",
                                          "Baustelle",
                                          "Handwerker",
                                          "Heizung",
                                          "Lüftung",
                                          "Elektroinstallation",
                                          "Statik"};
    constexpr std::size_t nc = std::size(common), nt = std::size(content);
    std::mt19937 rng(2024);
    std::string text;
    std::size_t words = 0;
    while (words < kTextWords) {
        std::size_t length = std::uniform_int_distribution<std::size_t>(4, 16)(rng);
        for (std::size_t i = 0; i < length; ++i, ++words) {
            // Roughly half of running text is the short common words.
            bool isCommon = std::uniform_int_distribution<int>(0, 1)(rng) == 0;
            std::string w = isCommon ? common[std::uniform_int_distribution<std::size_t>(0, nc - 1)(rng)]
                                     : content[std::uniform_int_distribution<std::size_t>(0, nt - 1)(rng)];
            std::string ansi; // the list is written in UTF-8, the library reads Windows-1252
            test::utf8To1252(w, ansi);
            w = ansi;
            if (i == 0) w[0] = static_cast<char>(AnsiToUpper(static_cast<unsigned char>(w[0])));
            text += w;
            text += i + 1 == length ? ". " : std::uniform_int_distribution<int>(0, 9)(rng) == 0 ? ", " : " ";
        }
    }
    std::vector<std::string> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && !isTextLetter(static_cast<unsigned char>(text[i])))
            ++i;
        std::size_t start = i;
        while (i < text.size() && isTextLetter(static_cast<unsigned char>(text[i])))
            ++i;
        std::string w = text.substr(start, i - start);
        while (!w.empty() && (w.back() == '.' || w.back() == '-' || w.back() == '\''))
            w.pop_back();
        if (!w.empty()) tokens.push_back(std::move(w));
    }
    return tokens;
}

// arg 0: listed words in random order; 1: misspellings; 2: running text. Each pass checks all probes.
void BM_CheckWords(benchmark::State& state) {
    Built& b = built();
    if (!b.handle) {
        state.SkipWithError("no dictionary built");
        return;
    }
    std::vector<std::string> probe =
        state.range(0) == 2 ? runningText() : probes(b.words, state.range(0) == 1);
    std::size_t found = 0, checked = 0, reads = 0;
    char buf[64];
    // Pages the cache had to read from the file: the share of the time that no lookup code can save.
    win32::SetFileTraceHook(
        [&](win32::FileOp op, std::uint64_t, win32::DWORD) { reads += op == win32::FileOp::Read; });
    for (auto _ : state) {
        for (const std::string& w : probe) {
            std::strncpy(buf, w.c_str(), 63);
            buf[63] = 0;
            found += FindWordInDictionaries(0, buf, 0, false) != 0;
        }
        checked += probe.size();
    }
    win32::SetFileTraceHook({});
    state.counters["file_reads_per_word"] = static_cast<double>(reads) / static_cast<double>(checked);
    state.SetItemsProcessed(static_cast<std::int64_t>(checked));
    state.counters["words_per_s"] =
        benchmark::Counter(static_cast<double>(checked), benchmark::Counter::kIsRate);
    state.counters["found_share"] = static_cast<double>(found) / static_cast<double>(checked);
    state.counters["words"] = static_cast<double>(probe.size());
}
BENCHMARK(BM_CheckWords)->ArgName("kind")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
