// The dictionary import of a whole wngerman dictionary into an empty one, plain and with descriptions on
// 2 000 words and 500 groups, beside the text import of the same list in the same run.
#include "tests/spell/WngermanList.h"

#include "platform/win32/UiServices.h"
#include "DictionaryImport.h"
#include "DictionarySet.h"
#include "StyleNetwork.h"
#include "WordImport.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <unistd.h>

using namespace wortex;

namespace {

win32::ScriptedUi ui;

struct Sources {
    std::string dir, list, plain, styled;
    bool ready = false;
};

Sources& sources() {
    static Sources s;
    return s;
}

void start() {
    win32::SetUiServices(&ui);
    static bool side = InitDictionarySide(120) >= 0;
    (void)side;
}

// An empty dictionary to import into.
DBHandle freshTarget(const std::string& name) {
    std::string file = sources().dir + "/" + name;
    std::filesystem::remove(file);
    CreateDictionaryFile(file, 'd');
    return OpenDictionary(false, file);
}

void BM_TextImport(benchmark::State& state) {
    if (!std::filesystem::exists(test::kWngermanPath)) {
        state.SkipWithError("wngerman is not installed");
        return;
    }
    start();
    Sources& s = sources();
    char pattern[] = "/tmp/wxstyleXXXXXX";
    s.dir = ::mkdtemp(pattern);
    std::vector<std::string> words = test::readWngerman();
    s.list = s.dir + "/ngerman.txt";
    test::writeLines(s.list, words);
    DBHandle h = 0;
    for (auto _ : state) {
        h = freshTarget("plain.wxd");
        TextImport import;
        ImportTextFile(h, s.list, import);
        state.counters["words"] = import.added;
    }
    s.plain = GetDictionaryFileName(h);
    CloseDictionary(h);
    // The styled source: the same words, descriptions on 2 000 of them, 500 groups of two more.
    std::filesystem::copy_file(s.plain, s.dir + "/styled.wxd");
    DBHandle st = OpenDictionary(false, s.dir + "/styled.wxd");
    std::vector<std::string> listed;
    char w[64];
    for (int ok = FirstListWord(st, w, false); ok; ok = NextListWord(st, w, false))
        listed.emplace_back(w);
    // Described words at multiples of the step, the pairs of a group just after them.
    std::size_t step = listed.size() / 2100 + 1;
    int described = 0, groups = 0, setting = 0;
    for (std::size_t k = 0; k < 2000 && k * step < listed.size(); ++k)
        described +=
            SetMeaningDescription(st, 1, listed[k * step].c_str(), "eine kurze Beschreibung des Wortes") != 0;
    for (std::size_t g = 0; g < 500 && 4 * g * step + 2 < listed.size(); ++g)
        groups += LinkStyleWord(st, listed[4 * g * step + 1].c_str(), 1, listed[4 * g * step + 2].c_str(),
                                setting, false) != 0;
    state.counters["described"] = described;
    state.counters["groups"] = groups;
    s.styled = GetDictionaryFileName(st);
    CloseDictionary(st);
    s.ready = true;
}
BENCHMARK(BM_TextImport)->Iterations(1)->Unit(benchmark::kSecond);

// arg 0: the plain source; arg 1: the source with style data.
void BM_DictionaryImport(benchmark::State& state) {
    if (!sources().ready) {
        state.SkipWithError("the text import did not run");
        return;
    }
    start();
    const std::string& source = state.range(0) ? sources().styled : sources().plain;
    for (auto _ : state) {
        DBHandle h = freshTarget(state.range(0) ? "target-styled.wxd" : "target-plain.wxd");
        TextImport import;
        ImportDictionaryFile(h, source, import);
        state.counters["words"] = import.added;
        CloseDictionary(h);
    }
}
BENCHMARK(BM_DictionaryImport)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
