// Random lines in an attached EDIT window, then FindWordAt, WordBounds, SentenceClass and WordDifference at
// random places. Aborts when a word is longer than 63 characters, a place lies outside the text, or the
// difference applied to a word on one line does not give the correction.
#include "FuzzSupport.h"
#include "platform/win32/EditControl.h"
#include "platform/win32/Window.h"
#include "ApiWindow.h"
#include "Attachments.h"
#include "WordFinding.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace win32;
using namespace wortex;

namespace {

HWND api = 0, edit = 0;

const unsigned char kAlphabet[] = {'a', 'b', 'e', 'n',  's',  'A',  'D',  'R',  '-', '.', '\'', ' ',
                                   '?', '!', '"', 0xA1, 0xBF, 0xE4, 0xC4, 0xDF, '~', ',', '\n', 'x'};

EditAttachment& start() {
    static bool started = [] {
        SetUiServices(&fuzz::ui());
        api = WX_Init();
        // The library is ended as a host ends it, so what it holds (the user file among it) is released
        // before the leak check at exit.
        std::atexit([] {
            while (SendMessage(api, 1164, 0, 0)) {
            }
        });
        edit = CreateWindowEx(0, kEditClass, "", ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
        AttachRecord r{edit, 0, kEditAdapter};
        return api && edit && SendMessage(api, 1194, 0, reinterpret_cast<LPARAM>(&r)) == 1;
    }();
    if (!started) std::abort();
    LibraryState* s = LockLibraryState();
    EditAttachment* a = FindAttachment(*s, edit);
    UnlockLibraryState();
    if (!a) std::abort();
    return *a;
}

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    EditAttachment& a = start();
    std::size_t pos = 0;
    auto take = [&]() -> unsigned { return pos < size ? data[pos++] : 0; };
    std::size_t length = take() * 2 + take() % 2;
    std::vector<std::string> lines(1);
    std::string text;
    for (std::size_t k = 0; k < length && pos < size; ++k) {
        unsigned char c = kAlphabet[take() % sizeof kAlphabet];
        if (c == '\n') {
            lines.emplace_back();
            text += "\r\n";
        } else {
            lines.back() += static_cast<char>(c);
            text += static_cast<char>(c);
        }
    }
    SetWindowText(edit, text.c_str());
    EmptyLineCache(a);
    auto lineLength = [&](std::int32_t line) {
        return line >= 0 && line < static_cast<std::int32_t>(lines.size())
                   ? static_cast<std::int32_t>(lines[line].size())
                   : -1;
    };
    for (int steps = 0; pos < size && steps < 16; ++steps) {
        std::int32_t line = static_cast<std::int32_t>(take() % (lines.size() + 1));
        std::int32_t column = static_cast<std::int32_t>(take()) - 8;
        if (line < static_cast<std::int32_t>(lines.size())) {
            const std::string& l = lines[line];
            std::int32_t s = 0, e = 0;
            WordBounds(l.c_str(), static_cast<std::int32_t>(l.size()), column, s, e);
            check(s >= 0 && s <= e && e <= static_cast<std::int32_t>(l.size()));
            if (column >= 0 && column <= static_cast<std::int32_t>(l.size())) {
                std::int16_t sc = SentenceClass(l.c_str(), column);
                check(sc >= 0 && sc <= 2);
            }
        }
        FoundWord w;
        if (!FindWordAt(a, column, line, w)) continue;
        std::size_t n = std::strlen(w.word);
        check(n > 0 && n <= 63);
        check(w.startLine >= 0 && w.endLine < static_cast<std::int32_t>(lines.size()) &&
              w.startLine <= w.endLine);
        check(w.startColumn >= 0 && w.startColumn <= lineLength(w.startLine));
        check(w.endColumn >= 0 && w.endColumn <= lineLength(w.endLine));
        // A correction: the word with one character inserted, removed or changed.
        std::string correction = w.word;
        unsigned op = take(), at = take() % (n + 1);
        char c = static_cast<char>(kAlphabet[take() % sizeof kAlphabet]);
        if (c == '\n' || c == '~') c = 'o';
        if (op % 3 == 0 && n < 63)
            correction.insert(at, 1, c);
        else if (op % 3 == 1 && n > 1 && at < n)
            correction.erase(at, 1);
        else if (at < n)
            correction[at] = c;
        WordChange change;
        int caret = static_cast<int>(take() % (n + 1));
        int r = WordDifference(a, w.word, correction.c_str(), w, caret, change);
        check(std::strlen(change.text) <= 63);
        if (w.startLine != w.endLine || w.fullStop || std::strchr(w.word, '~')) continue;
        const std::string& l = lines[w.startLine];
        std::string inText = l.substr(static_cast<std::size_t>(w.startColumn),
                                      static_cast<std::size_t>(w.endColumn - w.startColumn));
        if (inText != w.word) continue; // trimmed words end before their bounds
        if (!r) {
            check(correction == w.word);
            continue;
        }
        check(change.start.line == w.startLine && change.end.line == w.startLine);
        check(change.start.column >= w.startColumn && change.start.column <= change.end.column &&
              change.end.column <= w.endColumn);
        std::string applied = l.substr(static_cast<std::size_t>(w.startColumn),
                                       static_cast<std::size_t>(change.start.column - w.startColumn)) +
                              change.text +
                              l.substr(static_cast<std::size_t>(change.end.column),
                                       static_cast<std::size_t>(w.endColumn - change.end.column));
        check(applied == correction);
    }
    // Nothing cached outlives the input: the leak check at exit would take it for a leak.
    EmptyLineCache(a);
    return 0;
}
