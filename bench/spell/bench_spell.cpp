// Building a German dictionary from the wngerman list by the library's import, and checking words
// against it.
#include "tests/spell/WngermanList.h"

#include "platform/win32/UiServices.h"
#include "spell/DictionarySet.h"
#include "spell/WordImport.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

using namespace wortex;

namespace {

struct Built {
    std::string dir;
    DBHandle handle = 0;
    std::vector<std::string> words;
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
    char pattern[] = "/tmp/wxbenchXXXXXX";
    b.dir = ::mkdtemp(pattern);
    b.words = test::readWngerman();
    std::string list = b.dir + "/ngerman.txt";
    test::writeLines(list, b.words);
    long before = peakKiB();
    for (auto _ : state) {
        std::string file = b.dir + "/ngerman.wxd";
        if (b.handle) CloseDictionary(b.handle);
        CreateDictionaryFile(file, 'd');
        b.handle = OpenDictionary(false, file);
        TextImport import;
        ImportTextFile(b.handle, list, import);
        state.counters["words"] = import.added;
    }
    state.counters["peak_MiB"] = static_cast<double>(peakKiB()) / 1024.0;
    state.counters["peak_growth_MiB"] = static_cast<double>(peakKiB() - before) / 1024.0;
    state.counters["file_MiB"] =
        static_cast<double>(std::filesystem::file_size(b.dir + "/ngerman.wxd")) / (1024.0 * 1024.0);
}
BENCHMARK(BM_BuildDictionary)->Iterations(1)->Unit(benchmark::kSecond);

// arg 0: words of the list; arg 1: the same words with one letter changed.
void BM_CheckWords(benchmark::State& state) {
    Built& b = built();
    if (!b.handle) {
        state.SkipWithError("no dictionary built");
        return;
    }
    std::vector<std::string> probe;
    for (std::size_t i = 0; i < b.words.size(); i += 7) {
        std::string w = b.words[i];
        if (state.range(0) == 1 && w.size() > 2) w[w.size() / 2] = w[w.size() / 2] == 'q' ? 'x' : 'q';
        probe.push_back(w);
    }
    std::size_t i = 0, found = 0;
    char buf[64];
    for (auto _ : state) {
        std::strncpy(buf, probe[i].c_str(), 63);
        buf[63] = 0;
        found += FindWordInDictionaries(0, buf, 0, false) != 0;
        if (++i == probe.size()) i = 0;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.counters["words_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["found_share"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_CheckWords)->Arg(0)->Arg(1);

} // namespace
