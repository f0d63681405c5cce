// Finding and analysing words in an attached EDIT window, against the plain dictionary look-up of the same
// words; FindWordAt on long lines without words. The wngerman dictionary of the tests' fixture is used when
// it is there; otherwise it is built first.
#include "tests/spell/wngerman/BuildWngerman.h"

#include "platform/win32/EditControl.h"
#include "platform/win32/UiServices.h"
#include "ApiWindow.h"
#include "Attachments.h"
#include "Letters.h"
#include "WordAnalysis.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <unistd.h>

using namespace wortex;
using namespace win32;

namespace {

constexpr std::size_t kWordsPerLine = 5;
constexpr std::size_t kLinesPerWindow = 400;

struct Setup {
    HWND api = 0, edit = 0;
    EditAttachment* attachment = nullptr;
    std::vector<std::string> words;
    std::string error;
};

ScriptedUi ui;

Setup& setup() {
    static Setup s = [] {
        Setup r;
        SetUiServices(&ui);
        r.api = WX_Init();
        std::filesystem::path file = WNGERMAN_DICTIONARY;
        if (!std::filesystem::exists(file)) {
            char pattern[] = "/tmp/wxbenchXXXXXX";
            file = std::filesystem::path(::mkdtemp(pattern)) / "ngerman.wxd";
            if (test::buildWngermanDictionary(file) <= 0) {
                r.error = "wngerman is not installed or its import failed";
                return r;
            }
        }
        OpenDictionary(true, file.string());
        for (const auto& w : test::readWngerman())
            if (w.size() >= 2 && w.size() <= 40 && std::all_of(w.begin(), w.end(), [](char c) {
                    return IsAnsiLetter(static_cast<unsigned char>(c));
                }))
                r.words.push_back(w);
        r.edit = CreateWindowEx(0, kEditClass, "", ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
        AttachRecord a{r.edit, 0, kEditAdapter};
        SendMessage(r.api, 1194, 0, reinterpret_cast<LPARAM>(&a));
        LibraryState* state = LockLibraryState();
        r.attachment = FindAttachment(*state, r.edit);
        UnlockLibraryState();
        return r;
    }();
    return s;
}

// Puts words [first, last) into the window, a few per line; the columns of each word's start.
std::vector<std::pair<std::int32_t, std::int32_t>> fill(Setup& s, const std::vector<std::string>& words,
                                                        std::size_t first, std::size_t last) {
    std::string text;
    std::vector<std::pair<std::int32_t, std::int32_t>> places;
    std::int32_t line = 0, column = 0;
    for (std::size_t k = first; k < last; ++k) {
        if (k > first && (k - first) % kWordsPerLine == 0) {
            text += ",\r\n"; // no word runs over the line end
            ++line;
            column = 0;
        } else if (k > first) {
            text += ' ';
            ++column;
        }
        places.emplace_back(column, line);
        text += words[k];
        column += static_cast<std::int32_t>(words[k].size());
    }
    SetWindowText(s.edit, text.c_str());
    EmptyLineCache(*s.attachment);
    return places;
}

double seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Every word of the list found and analysed in the window, then looked up alone; both timed in one run.
void BM_FindAndAnalyseAllWords(benchmark::State& state) {
    Setup& s = setup();
    if (!s.error.empty()) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    AnalysisContext context{kDefaultOptions};
    for (auto _ : state) {
        double analysed = 0, looked = 0;
        std::size_t known = 0;
        for (std::size_t first = 0; first < s.words.size(); first += kLinesPerWindow * kWordsPerLine) {
            std::size_t last = std::min(s.words.size(), first + kLinesPerWindow * kWordsPerLine);
            auto places = fill(s, s.words, first, last);
            auto t0 = std::chrono::steady_clock::now();
            for (const auto& [column, line] : places) {
                FoundWord w;
                if (!FindWordAt(*s.attachment, column, line, w)) continue;
                AnalysisResult r;
                AnalyseWord(w, context, r);
                known += r.flags == 0;
            }
            analysed += seconds(t0);
            t0 = std::chrono::steady_clock::now();
            for (std::size_t k = first; k < last; ++k)
                benchmark::DoNotOptimize(FindWordInDictionaries(0, s.words[k].c_str(), 0, false));
            looked += seconds(t0);
        }
        state.SetIterationTime(analysed);
        double n = static_cast<double>(s.words.size());
        state.counters["words"] = n;
        state.counters["analysed_words_per_s"] = n / analysed;
        state.counters["lookup_words_per_s"] = n / looked;
        state.counters["analysis_to_lookup"] = analysed / looked;
        state.counters["passed_share"] = static_cast<double>(known) / n;
    }
}
BENCHMARK(BM_FindAndAnalyseAllWords)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// 1000 list words with one letter changed: the mean time to find and analyse one.
void BM_AnalyseMisspelt(benchmark::State& state) {
    Setup& s = setup();
    if (!s.error.empty()) {
        state.SkipWithError(s.error.c_str());
        return;
    }
    std::mt19937 rng(31);
    std::vector<std::string> probe;
    while (probe.size() < 1000) {
        std::string w = s.words[rng() % s.words.size()];
        if (w.size() < 4) continue;
        w[1 + rng() % (w.size() - 1)] = static_cast<char>('a' + rng() % 26);
        probe.push_back(w);
    }
    auto places = fill(s, probe, 0, probe.size());
    AnalysisContext context{kDefaultOptions};
    std::size_t reported = 0;
    auto t0 = std::chrono::steady_clock::now();
    for (auto _ : state) {
        for (const auto& [column, line] : places) {
            FoundWord w;
            if (!FindWordAt(*s.attachment, column, line, w)) continue;
            AnalysisResult r;
            AnalyseWord(w, context, r);
            reported += (r.flags & kFlagReport) != 0;
        }
    }
    double words = 1000.0 * static_cast<double>(state.iterations());
    state.counters["mean_us_per_word"] = seconds(t0) * 1e6 / words;
    state.counters["reported_share"] = static_cast<double>(reported) / words;
}
BENCHMARK(BM_AnalyseMisspelt)->Unit(benchmark::kMillisecond);

// FindWordAt on a line of "=" only: each call looks back to the line start once (the time per column
// grows linearly with the column, not with its square). Every step-th column.
void BM_FindWordAtWithoutWords(benchmark::State& state) {
    Setup& s = setup();
    auto length = static_cast<std::int32_t>(state.range(0));
    std::int32_t step = length > 10000 ? 10 : 1;
    std::string line(static_cast<std::size_t>(length), '=');
    SetWindowText(s.edit, line.c_str());
    EmptyLineCache(*s.attachment);
    std::int64_t calls = 0;
    for (auto _ : state) {
        for (std::int32_t column = 0; column < length; column += step) {
            FoundWord w;
            benchmark::DoNotOptimize(FindWordAt(*s.attachment, column, 0, w));
            ++calls;
        }
    }
    state.SetItemsProcessed(calls);
    state.counters["mean_column"] = length / 2.0;
}
BENCHMARK(BM_FindWordAtWithoutWords)->Arg(10000)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
