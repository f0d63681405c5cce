// A host of the library built with AddressSanitizer: threads that send requests at once, and an adapter
// that closes its window while the library calls it. A use of freed memory or a damaged heap ends the run.
#include "Wortex32.h"
#include "platform/win32/UiServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace {

constexpr std::uintptr_t kSpaceChar = ' ';

class Library : public ::testing::Test {
protected:
    void SetUp() override {
        win32::SetUiServices(&ui); // every dialog closed unanswered
        std::string pattern = (std::filesystem::temp_directory_path() / "wxthreadsXXXXXX").string();
        dir = ::mkdtemp(pattern.data());
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        lib = dlopen(WORTEX32_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib, nullptr) << dlerror();
        auto init = reinterpret_cast<WX_InitFn>(dlsym(lib, WX_INIT_NAME));
        ASSERT_NE(init, nullptr);
        api = init();
        std::string path = dir + "/haupt.wxd";
        ASSERT_NE(send(WX_MSG_CREATE_DICTIONARY, 'D', path.c_str()), 0);
        intptr_t d = send(WX_MSG_OPEN_DICTIONARY, 0, path.c_str());
        ASSERT_NE(d, 0);
        for (const char* w : {"die", "Rechnung", "liegt", "vor", "das", "Haus", "steht", "im", "Garten",
                              "Winter", "Schnee", "der", "und", "Hauses", "Rechnungen"})
            ASSERT_EQ(send(WX_MSG_ADD_WORD, static_cast<uintptr_t>(d), w), 1) << w;
    }
    void TearDown() override {
        while (send(WX_MSG_EXIT, 0, nullptr)) {
        }
        if (lib) dlclose(lib);
        win32::SetUiServices(nullptr);
        std::error_code ec;
        std::filesystem::current_path(previous, ec);
        std::filesystem::remove_all(dir, ec);
    }
    intptr_t send(uint32_t message, uintptr_t wParam, const void* lParam) {
        return WX_SendMessage(api, message, wParam, reinterpret_cast<intptr_t>(lParam));
    }

    win32::ScriptedUi ui;
    std::string dir;
    std::filesystem::path previous;
    void* lib = nullptr;
    WX_HWND api = 0;
};

// One round of a host's requests on its own window, every answer written down.
std::string hostRound(WX_HWND api, WX_HWND edit, const char* known, const char* unknown) {
    std::string out;
    auto add = [&](intptr_t result, const std::string& s) { out += std::to_string(result) + " " + s + "|"; };
    auto ask = [&](uint32_t message, uintptr_t wParam, const void* lParam) {
        return WX_SendMessage(api, message, wParam, reinterpret_cast<intptr_t>(lParam));
    };
    char buffer[128] = {};
    std::strcpy(buffer, known);
    intptr_t found = ask(WX_MSG_FIND_WORD, 0x2000, buffer);
    add(found, buffer + 64);
    auto list = static_cast<WX_HGLOBAL>(ask(WX_MSG_SUGGESTIONS, 0, unknown));
    if (auto* p = static_cast<const char*>(WX_GlobalLock(list)))
        for (; *p; p += 64)
            add(1, p);
    WX_GlobalUnlock(list);
    WX_GlobalFree(list);
    WX_SendMessage(edit, WX_EM_SETSEL, 0, 0);
    WX_CheckRange range{edit, 0, 0, 0, 0x7FFFFFFF};
    add(ask(WX_MSG_CHECK_TEXT, 1, &range), "");
    WX_WordRecord caret{edit, 0, 0, 0, 0, {}};
    intptr_t atCaret = ask(WX_MSG_CARET_WORD, 0, &caret);
    add(atCaret, caret.word + std::string("@") + std::to_string(caret.startColumn) + "-" +
                     std::to_string(caret.endColumn));
    WX_StateRecord state{};
    state.current.editWindow = edit;
    intptr_t answered = ask(WX_MSG_STATE, 0, &state);
    add(answered, std::to_string(state.bits) + " " + state.current.word + " " + state.atCaret.word);
    char text[256] = {};
    WX_GetWindowText(edit, text, sizeof text);
    add(1, text);
    return out;
}

struct HostText {
    const char* text;
    const char* known;
    const char* unknown;
};
const HostText kTexts[] = {{"Die Rechnnung liegt vor.", "rechnung", "Rechnnung"},
                           {"Das Hauss steht\r\nim Garten.", "Hauses", "Hauss"},
                           {"Im Wintr liegt Schnee.", "winter", "Wintr"},
                           {"Der Garten und das Haus.", "Garten", "Gartn"}};

TEST_F(Library, RequestsFromSeveralThreadsAreAnsweredAsFromOne) {
    // Nothing written without an answer, so every round finds the same text.
    send(WX_MSG_OPTIONS, 2,
         reinterpret_cast<void*>(WX_DEFAULT_OPTIONS | WX_OPTION_CONFIRM_CORR | WX_OPTION_CONFIRM_SPLIT));
    auto attached = [&](const HostText& t) {
        WX_HWND edit = WX_CreateWindow(WX_EDIT_CLASS, t.text, WX_ES_MULTILINE);
        WX_AttachRecord r{edit, 0, WX_EDIT_ADAPTER};
        EXPECT_EQ(send(WX_MSG_ATTACH, WX_ATTACH, &r), 1);
        return edit;
    };
    std::vector<std::string> expected;
    for (const HostText& t : kTexts) {
        WX_HWND edit = attached(t);
        expected.push_back(hostRound(api, edit, t.known, t.unknown));
        WX_DestroyWindow(edit);
    }
    ASSERT_NE(expected[0].find("Rechnung|"), std::string::npos) << expected[0];

    for (int threads : {2, 4}) {
        std::vector<int> differing(threads, 0);
        std::vector<std::thread> running;
        for (int i = 0; i < threads; ++i)
            running.emplace_back([&, i] {
                const HostText& t = kTexts[i % std::size(kTexts)];
                WX_HWND edit = attached(t);
                for (int n = 0; n < 300; ++n)
                    if (hostRound(api, edit, t.known, t.unknown) != expected[i % std::size(kTexts)]) ++differing[i];
                WX_DestroyWindow(edit);
            });
        for (std::thread& r : running)
            r.join();
        EXPECT_EQ(differing, std::vector<int>(threads, 0)) << threads << " threads";
    }
}

// A document the host's adapter serves, which it closes at the adapter's closeAt-th call.
struct Document {
    std::vector<std::string> lines;
    int32_t caretColumn = 0, caretLine = 0;
    WX_HWND api = 0, edit = 0, status = 0;
    int calls = 0, closeAt = 0, callsAfterClose = 0;
    bool destroy = true;
};
Document doc;

intptr_t adapter(WX_HWND, uint32_t command, uintptr_t wParam, intptr_t lParam) {
    if (doc.closeAt && doc.calls >= doc.closeAt) {
        ++doc.callsAfterClose;
        return 0;
    }
    if (++doc.calls == doc.closeAt) {
        if (doc.destroy) {
            WX_DestroyWindow(doc.edit);
        } else {
            WX_AttachRecord r{doc.edit, doc.status, reinterpret_cast<uintptr_t>(&adapter)};
            WX_SendMessage(doc.api, WX_MSG_ATTACH, WX_DETACH, reinterpret_cast<intptr_t>(&r));
        }
        return 0;
    }
    auto lineAt = [](intptr_t l) -> std::string* {
        return l >= 0 && static_cast<size_t>(l) < doc.lines.size() ? &doc.lines[static_cast<size_t>(l)] : nullptr;
    };
    switch (command) {
    case WX_AD_GET_CARET:
        *reinterpret_cast<int32_t*>(lParam) = doc.caretLine;
        return doc.caretColumn;
    case WX_AD_SET_CARET:
        doc.caretColumn = static_cast<int32_t>(wParam);
        doc.caretLine = static_cast<int32_t>(lParam);
        return 1;
    case WX_AD_LINE_LENGTH:
        return lineAt(lParam) ? static_cast<intptr_t>(lineAt(lParam)->size()) : -1;
    case WX_AD_GET_LINE: {
        auto* r = reinterpret_cast<WX_LineRecord*>(lParam);
        std::string* line = lineAt(r->line);
        if (!line) return 0;
        size_t n = std::min<size_t>(r->size - 1, line->size());
        std::memcpy(r->text, line->data(), n);
        r->text[n] = 0;
        return 1;
    }
    case WX_AD_REPLACE: {
        auto* r = reinterpret_cast<WX_ReplaceRecord*>(lParam);
        std::string* first = lineAt(r->startLine);
        std::string* last = lineAt(r->endLine);
        if (!first || !last) return 0;
        std::string tail = last->substr(static_cast<size_t>(r->endColumn));
        *first = first->substr(0, static_cast<size_t>(r->startColumn)) + r->text;
        r->outColumn = static_cast<int32_t>(first->size());
        r->outLine = r->startLine;
        *first += tail;
        doc.lines.erase(doc.lines.begin() + r->startLine + 1, doc.lines.begin() + r->endLine + 1);
        return 1;
    }
    case WX_AD_LINE_BREAK:
        return WX_HARD_BREAK;
    default:
        return 1;
    }
}

TEST_F(Library, AnAdapterThatClosesItsWindowEndsTheOperationWithNothingUsedAfterwards) {
    doc.api = api;
    enum Kind { Check, Typing, CaretWord };
    // Returns the operation's result; the window is attached with the adapter and a status window.
    auto run = [&](Kind kind, int closeAt, bool destroy) {
        doc.lines = {"die Rechnnung liegt vor.", "Das Hauss steht im Garten."};
        doc.caretColumn = kind == CaretWord ? 6 : 13;
        doc.caretLine = 0;
        doc.calls = doc.callsAfterClose = 0;
        doc.closeAt = closeAt;
        doc.destroy = destroy;
        doc.edit = WX_CreateWindow(nullptr, "", 0);
        WX_AttachRecord r{doc.edit, doc.status, reinterpret_cast<uintptr_t>(&adapter)};
        EXPECT_EQ(send(WX_MSG_ATTACH, WX_ATTACH, &r), 1);
        intptr_t result = 0;
        if (kind == Check) {
            WX_CheckRange range{doc.edit, 0, 0, 0, 0x7FFFFFFF};
            result = send(WX_MSG_CHECK_TEXT, 1, &range);
        } else if (kind == Typing) {
            result = WX_SendMessage(doc.edit, WX_WM_CHAR, kSpaceChar, 0);
        } else {
            result = send(WX_MSG_CHECK_CARET_WORD, 2, reinterpret_cast<void*>(static_cast<uintptr_t>(doc.edit)));
        }
        // A window that stayed: detached (no longer the library's), then the host's to destroy.
        EXPECT_EQ(send(WX_MSG_ATTACH, WX_DETACH, &r), closeAt && doc.calls >= closeAt ? 0 : 1);
        WX_DestroyWindow(doc.edit);
        return result;
    };
    doc.status = WX_CreateWindow(nullptr, "", 0);
    for (Kind kind : {Check, Typing, CaretWord}) {
        run(kind, 0, true);
        const int calls = doc.calls;
        ASSERT_GT(calls, 4) << kind;
        for (bool destroy : {true, false})
            for (int at = 1; at <= calls; ++at) {
                ui.shown.clear();
                intptr_t result = run(kind, at, destroy);
                SCOPED_TRACE(testing::Message() << "operation " << kind << ", closed at call " << at
                                                << (destroy ? " (destroyed)" : " (detached)"));
                if (doc.calls < at) continue; // the run took another way before reaching this call
                EXPECT_EQ(doc.callsAfterClose, 0) << "the adapter of a closed window is not called again";
                if (kind != Typing) EXPECT_EQ(result, 0);
                EXPECT_TRUE(ui.shown.empty()) << ui.shown.front().text;
            }
    }
    WX_DestroyWindow(doc.status);
    // The library goes on serving.
    char word[128] = "Rechnung";
    EXPECT_NE(send(WX_MSG_FIND_WORD, 0, word), 0);
}

} // namespace
