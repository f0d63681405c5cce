// Checking a whole text with message 1201: over a host adapter that serves lines from memory, through the
// EDIT stand-in, and over one long line without letters.
#include "platform/win32/EditControl.h"
#include "platform/win32/UiServices.h"
#include "platform/win32/Window.h"
#include "ApiWindow.h"
#include "Attachments.h"
#include "DictionarySet.h"
#include "Letters.h"
#include "TextCheck.h"
#include "UserFile.h"

#include "RealText.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

using namespace wortex;
using namespace win32;

namespace {

const char* const kLines[] = {
    "Das Architekturb\xfcro hat die Unterlagen f\xfcr den Bauantrag vollst\xe4ndig ",
    "vorbereitet. Die Zeichnungen des Erdgeschosses und die Beschreibung ",
    "des Geb\xe4udes liegen der Stadt seit Montag vor. Nach der Genehmigung ",
    "beginnt die Ausf\xfchrungsplanung, und die Ausschreibung der Rohbauarbeiten ",
    "folgt im Fr\xfchjahr. Der Bauherr erh\xe4lt mit der n\xe4"
    "chsten Rechnung eine ",
    "\xdc"
    "bersicht \xfc"
    "ber alle Leistungen und die bisher bezahlten Abschlagszahlungen. ",
};
// The same with three corrections made without a question: a small letter after a full stop, a small noun,
// an umlaut typed as two letters. Each goes into the check's history.
const char* const kLinesToCorrect[] = {
    "Das Architekturb\xfcro hat die Unterlagen f\xfcr den Bauantrag vollst\xe4ndig ",
    "vorbereitet. Die zeichnungen des Erdgeschosses und die Beschreibung ",
    "des Gebaeudes liegen der Stadt seit Montag vor. nach der Genehmigung ",
    "beginnt die Ausf\xfchrungsplanung, und die Ausschreibung der Rohbauarbeiten ",
    "folgt im Fr\xfchjahr. Der Bauherr erh\xe4lt mit der n\xe4"
    "chsten Rechnung eine ",
    "\xdc"
    "bersicht \xfc"
    "ber alle Leistungen und die bisher bezahlten Abschlagszahlungen. ",
};
constexpr std::size_t kWords = 100000;

std::size_t wordsIn(const std::string& line) {
    std::size_t n = 0;
    bool in = false;
    for (char c : line) {
        bool letter = c != ' ' && c != ',' && c != '.';
        if (letter && !in) ++n;
        in = letter;
    }
    return n;
}

// The paragraph repeated to kWords words.
std::vector<std::string> text(const char* const (&paragraph)[6] = kLines) {
    std::vector<std::string> lines;
    std::size_t words = 0;
    while (words < kWords)
        for (const char* l : paragraph) {
            lines.emplace_back(l);
            words += wordsIn(l);
        }
    return lines;
}

struct Memory {
    std::vector<std::string> lines;
    std::int32_t column = 0, line = 0;
    bool tellsBreaks = false; // answers 60010: every line end a break of the text
};
Memory memory;

LRESULT MemoryAdapter(HWND, UINT command, WPARAM wParam, LPARAM lParam) {
    auto& m = memory;
    switch (command) {
    case kAdFreeze:
        return 1;
    case kAdGetCaret:
        if (lParam) *reinterpret_cast<std::int32_t*>(lParam) = m.line;
        return m.column;
    case kAdSetCaret:
        m.column = static_cast<std::int32_t>(wParam);
        m.line = static_cast<std::int32_t>(lParam);
        return 1;
    case kAdLineLength:
        if (lParam < 0 || static_cast<std::size_t>(lParam) >= m.lines.size()) return -1;
        return static_cast<LRESULT>(m.lines[static_cast<std::size_t>(lParam)].size());
    case kAdGetLine: {
        auto* r = reinterpret_cast<LineRecord*>(lParam);
        const std::string& l = m.lines[static_cast<std::size_t>(r->line)];
        std::size_t n = std::min<std::size_t>(l.size(), r->size - 1);
        std::memcpy(r->text, l.data(), n);
        r->text[n] = 0;
        return 1;
    }
    case kAdShowMark:
    case kAdClearMark:
    case kAdSaveView:
    case kAdRestoreView:
        return 1;
    case kAdLineBreak:
        return m.tellsBreaks ? kHardBreak : 0;
    default:
        return 0;
    }
}

ScriptedUi ui;

struct Library {
    HWND api = 0;
    std::string error;
    std::string dir;
};

Library& library() {
    static Library l = [] {
        Library r;
        SetUiServices(&ui);
        std::string pattern = (std::filesystem::temp_directory_path() / "wxbenchXXXXXX").string();
        r.dir = ::mkdtemp(pattern.data());
        std::filesystem::current_path(r.dir);
        r.api = WX_Init();
        if (!std::filesystem::exists(WNGERMAN_DICTIONARY) ||
            !SendMessage(r.api, 1135, 1, reinterpret_cast<LPARAM>(WNGERMAN_DICTIONARY))) {
            r.error = "the wngerman dictionary of the test fixture is missing";
            return r;
        }
        OpenUserFile(r.dir + "/leer.wud");
        // Words the dictionary lacks are ignored, the list of corrections closed.
        ui.dialogScripts[1101] = [](DialogModel& d) { d.click(1112); };
        ui.dialogScripts[1000] = [](DialogModel& d) { d.click(102); };
        return r;
    }();
    return l;
}

void run(benchmark::State& state, HWND edit, std::size_t words) {
    HWND api = library().api;
    CheckRange range{edit, 0, 0, 0, 0};
    for (auto _ : state) {
        SendMessage(edit, EM_SETSEL, 0, 0);
        memory.column = memory.line = 0;
        benchmark::DoNotOptimize(SendMessage(api, 1201, 0, reinterpret_cast<LPARAM>(&range)));
    }
    state.counters["words/s"] = benchmark::Counter(
        static_cast<double>(words) * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

HWND attach(HWND edit, std::uintptr_t adapter) {
    AttachRecord r{edit, 0, adapter};
    SendMessage(library().api, 1194, 0, reinterpret_cast<LPARAM>(&r));
    SendMessage(library().api, 1195, 1, static_cast<LPARAM>(edit));
    return edit;
}

// Checks lines served by the memory adapter from its own attached window.
void checkOverAdapter(benchmark::State& state, const std::vector<std::string>& lines) {
    memory.lines = lines;
    static HWND edit = attach(CreateWindowEx(0, kEditClass, "", ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr),
                              reinterpret_cast<std::uintptr_t>(&MemoryAdapter));
    std::size_t words = 0;
    for (const auto& l : memory.lines)
        words += wordsIn(l);
    if (words < kWords) state.SkipWithError("the dictionary holds too few words");
    run(state, edit, words);
}

void BM_CheckHostAdapter(benchmark::State& state) {
    if (!library().error.empty()) {
        state.SkipWithError(library().error.c_str());
        return;
    }
    checkOverAdapter(state, text());
}
BENCHMARK(BM_CheckHostAdapter)->Unit(benchmark::kMillisecond);

// The window keeps its text (the adapter does not write), so every round makes the same corrections.
void BM_CheckHostAdapterCorrecting(benchmark::State& state) {
    if (!library().error.empty()) {
        state.SkipWithError(library().error.c_str());
        return;
    }
    checkOverAdapter(state, text(kLinesToCorrect));
}
BENCHMARK(BM_CheckHostAdapterCorrecting)->Unit(benchmark::kMillisecond);

// Real paragraphs as users have them, hard-wrapped without blanks at the line ends, repeated to kWords
// words: through an adapter that tells its line breaks and one that answers 0.
std::vector<std::string> hardWrapped() {
    std::vector<std::string> lines;
    std::size_t words = 0;
    const auto paragraphs = wortex::test::RealTextParagraphs(REALTEXT_FILE);
    while (words < kWords && !paragraphs.empty()) {
        for (const std::string& p : paragraphs) {
            std::size_t from = 0;
            for (;;) {
                std::size_t end = p.find("\r\n", from);
                lines.push_back(p.substr(from, end == std::string::npos ? std::string::npos : end - from));
                words += wordsIn(lines.back());
                if (end == std::string::npos) break;
                from = end + 2;
            }
            lines.emplace_back();
        }
    }
    return lines;
}

void BM_CheckHostAdapterHardWrapped(benchmark::State& state) {
    if (!library().error.empty()) {
        state.SkipWithError(library().error.c_str());
        return;
    }
    static const std::vector<std::string> lines = hardWrapped();
    memory.tellsBreaks = state.range(0) != 0;
    checkOverAdapter(state, lines);
    memory.tellsBreaks = false;
}
BENCHMARK(BM_CheckHostAdapterHardWrapped)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// kWords different words of the dictionary in random order, ten to a line.
std::vector<std::string> distinctWords() {
    std::vector<std::string> words;
    char word[64] = {};
    DBHandle h = EnumDictionaries(1, nullptr);
    for (int ok = FirstListWord(h, word, true); ok; ok = NextListWord(h, word, true)) {
        bool letters = word[0] != 0;
        for (const char* p = word; *p; ++p)
            letters = letters && IsAnsiLetter(static_cast<unsigned char>(*p));
        if (letters) words.emplace_back(word);
    }
    std::shuffle(words.begin(), words.end(), std::mt19937(20261209));
    words.resize(std::min(words.size(), kWords));
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < words.size(); i += 10) {
        std::string line;
        for (std::size_t k = i; k < std::min(words.size(), i + 10); ++k)
            line += words[k] + ' ';
        lines.push_back(line);
    }
    return lines;
}

// The same without repetition.
void BM_CheckHostAdapterDistinctWords(benchmark::State& state) {
    if (!library().error.empty()) {
        state.SkipWithError(library().error.c_str());
        return;
    }
    static const std::vector<std::string> lines = distinctWords();
    checkOverAdapter(state, lines);
}
BENCHMARK(BM_CheckHostAdapterDistinctWords)->Unit(benchmark::kMillisecond);

// The paragraph repeated to range(0) bytes: as one line without a break, and in its short lines. The one
// line costs what the short lines cost.
std::vector<std::string> paragraphTo(std::size_t bytes, bool oneLine) {
    std::vector<std::string> lines(oneLine ? 1 : 0);
    for (std::size_t size = 0; size < bytes;)
        for (const char* l : kLines) {
            if (oneLine)
                lines[0] += l;
            else
                lines.emplace_back(l);
            size += std::strlen(l);
        }
    return lines;
}

void checkParagraph(benchmark::State& state, bool oneLine) {
    if (!library().error.empty()) {
        state.SkipWithError(library().error.c_str());
        return;
    }
    memory.lines = paragraphTo(static_cast<std::size_t>(state.range(0)), oneLine);
    static HWND edit = attach(CreateWindowEx(0, kEditClass, "", ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr),
                              reinterpret_cast<std::uintptr_t>(&MemoryAdapter));
    std::size_t words = 0;
    for (const auto& l : memory.lines)
        words += wordsIn(l);
    run(state, edit, words);
}

void BM_CheckOneLongLine(benchmark::State& state) {
    checkParagraph(state, true);
}
BENCHMARK(BM_CheckOneLongLine)->Arg(256 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_CheckTheSameInShortLines(benchmark::State& state) {
    checkParagraph(state, false);
}
BENCHMARK(BM_CheckTheSameInShortLines)->Arg(256 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void BM_CheckEditWindow(benchmark::State& state) {
    if (!library().error.empty()) {
        state.SkipWithError(library().error.c_str());
        return;
    }
    std::string all;
    std::size_t words = 0;
    for (const auto& l : text()) {
        all += l + "\r\n";
        words += wordsIn(l);
    }
    static HWND edit =
        attach(CreateWindowEx(0, kEditClass, all.c_str(), ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr), 0);
    run(state, edit, words);
}
BENCHMARK(BM_CheckEditWindow)->Unit(benchmark::kMillisecond);

// One line without letters, of range(0) characters: "=" throughout, or digits and blanks. The time grows
// linearly with the length.
void checkLineWithoutLetters(benchmark::State& state, const std::string& line) {
    if (!library().error.empty()) {
        state.SkipWithError(library().error.c_str());
        return;
    }
    HWND edit =
        attach(CreateWindowEx(0, kEditClass, line.c_str(), ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr), 0);
    run(state, edit, 0);
    DestroyWindow(edit);
}

void BM_CheckLineWithoutLetters(benchmark::State& state) {
    checkLineWithoutLetters(state, std::string(static_cast<std::size_t>(state.range(0)), '='));
}
BENCHMARK(BM_CheckLineWithoutLetters)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

void BM_CheckLineOfDigits(benchmark::State& state) {
    std::string line;
    auto length = static_cast<std::size_t>(state.range(0));
    while (line.size() < length)
        line += "1 ";
    line.resize(length);
    checkLineWithoutLetters(state, line);
}
BENCHMARK(BM_CheckLineOfDigits)->Arg(50000)->Arg(100000)->Arg(200000)->Unit(benchmark::kMillisecond);

} // namespace
