#include "platform/win32/EditControl.h"
#include "platform/win32/UiServices.h"
#include "ApiWindow.h"
#include "Attachments.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace win32;
using namespace wortex;

namespace {

// Messages that reach a control, recorded by a procedure put in front of it.
std::vector<UINT> received;
std::map<HWND, WNDPROC> controlProcs;
LRESULT Recorder(HWND h, UINT m, WPARAM w, LPARAM l) {
    received.push_back(m);
    return CallWindowProc(controlProcs[h], h, m, w, l);
}

HWND recorded(const char* cls, const char* text, DWORD style) {
    HWND h = CreateWindowEx(0, cls, text, style, 0, 0, 0, 0, 0, 0, 0, nullptr);
    controlProcs[h] =
        reinterpret_cast<WNDPROC>(SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Recorder)));
    return h;
}

MarkRecord mark(const char* inText, const char* correction) {
    MarkRecord m{};
    std::strcpy(m.inText, inText);
    std::strcpy(m.correction, correction);
    return m;
}

struct AdapterCase {
    const char* name;
    UINT command;
    WPARAM wParam;
    std::intptr_t lParam; // line, or a record set up below
    std::vector<UINT> messages;
    LRESULT result;
};

} // namespace

TEST(EditAdapter, MessagesPerCommand) {
    HWND multi = recorded(kEditClass, "eins zwei\r\ndrei", ES_MULTILINE);
    HWND single = recorded(kEditClass, "eins zwei", 0);
    HWND status = recorded(kEditClass, "", 0);
    HWND wrapped = recorded(kEditClass, "eins zwei drei", ES_MULTILINE);
    SetEditWrapWidth(wrapped, 5);
    SendMessage(multi, EM_SETSEL, 13, 13);
    SendMessage(single, EM_SETSEL, 7, 7);
    std::int32_t line = -5;
    char buffer[10] = {};
    LineRecord lr{0, buffer, 10, nullptr, 0};
    ReplaceRecord rr{0, 1, 4, 1, 0, 0, "VIER"};
    std::int32_t view[5] = {0, 3, 0, 3, 0};
    std::int32_t view2[5] = {0, 1, 0, 4, 0};
    MarkRecord m = mark("Rechnnung", "Rechnung");
    auto L = [](auto* p) { return reinterpret_cast<std::intptr_t>(p); };
    const UINT GETSEL = EM_GETSEL, LFC = EM_LINEFROMCHAR, LIX = EM_LINEINDEX, SETSEL = EM_SETSEL,
               SCROLL = EM_SCROLLCARET;
    struct {
        HWND window;
        AdapterCase c;
    } cases[] = {
        {multi, {"freeze", kAdFreeze, 0, 0, {WM_SETREDRAW}, 1}},
        {multi, {"thaw", kAdFreeze, 1, 0, {WM_SETREDRAW, SCROLL}, 1}},
        {single, {"thaw single", kAdFreeze, 1, 0, {WM_SETREDRAW, SCROLL}, 1}},
        {multi, {"caret", kAdGetCaret, 0, L(&line), {GETSEL, LFC, LIX}, 2}},
        {single, {"caret single", kAdGetCaret, 0, L(&line), {GETSEL}, 7}},
        {multi, {"set caret", kAdSetCaret, 3, 1, {LIX, SETSEL, SCROLL}, 1}},
        {single, {"set caret single", kAdSetCaret, 3, 0, {SETSEL, SCROLL}, 1}},
        {multi, {"show mark", kAdShowMark, 2, L(&m), {}, 1}},
        {multi, {"clear mark", kAdClearMark, 2, 0, {}, 1}},
        {multi, {"length", kAdLineLength, 0, 1, {LIX, EM_LINELENGTH}, 4}},
        {multi, {"length past end", kAdLineLength, 0, 2, {LIX}, -1}},
        {single, {"length single", kAdLineLength, 0, 0, {LIX, EM_LINELENGTH}, 9}},
        {single, {"length single line 1", kAdLineLength, 0, 1, {}, -1}},
        {multi, {"line", kAdGetLine, 0, L(&lr), {EM_GETLINE}, 9}},
        {multi,
         {"replace", kAdReplace, 0, L(&rr), {LIX, LIX, SETSEL, SCROLL, EM_REPLACESEL, GETSEL, LFC, LIX}, 1}},
        {multi, {"save view", kAdSaveView, 0, L(view), {GETSEL}, 1}},
        {multi, {"restore view, no selection", kAdRestoreView, 0, L(view), {}, 1}},
        {multi, {"restore view", kAdRestoreView, 0, L(view2), {SETSEL, SCROLL}, 1}},
        {status, {"status", kAdStatusShow, 1, L(&m), {WM_SETTEXT}, 1}},
        {status, {"status clear", kAdStatusClear, 0, 0, {WM_SETTEXT}, 1}},
        // How a line ends: CR LF after it in the text, or a wrap of the window.
        {multi, {"hard break", kAdLineBreak, 0, 0, {LIX, LIX, EM_LINELENGTH}, kHardBreak}},
        {multi, {"last line", kAdLineBreak, 0, 1, {LIX, LIX}, kHardBreak}},
        {multi, {"no such line", kAdLineBreak, 0, 2, {LIX}, 0}},
        {wrapped, {"wrapped", kAdLineBreak, 0, 0, {LIX, LIX, EM_LINELENGTH}, kSoftBreak}},
        {single, {"single line", kAdLineBreak, 0, 0, {}, kHardBreak}},
        {multi, {"unknown", 60011, 0, 0, {}, 0}},
    };
    for (auto& [window, c] : cases) {
        received.clear();
        ResetWindowCounters(window);
        if (c.command == kAdStatusShow) {
            EXPECT_EQ(EditAdapterProc(window, c.command, c.wParam, c.lParam), c.result);
            EXPECT_EQ(WindowText(window), "Rechnnung -> Rechnung ?");
            continue;
        }
        EXPECT_EQ(EditAdapterProc(window, c.command, c.wParam, c.lParam), c.result) << c.name;
        EXPECT_EQ(received, c.messages) << c.name;
        if (c.command == kAdFreeze && c.wParam == 1) {
            EXPECT_EQ(GetWindowCounters(window).updates, 1) << c.name;
            EXPECT_EQ(GetWindowCounters(window).invalidates, window == single ? 1 : 0) << c.name;
        }
    }
    EXPECT_STREQ(buffer, "eins zwei");
    EXPECT_EQ(WindowText(multi), "eins zwei\r\nVIER");
    EXPECT_EQ(rr.outColumn, 4);
    EXPECT_EQ(rr.outLine, 1);
    EXPECT_EQ(WindowText(status), "");
    for (HWND h : {multi, single, status, wrapped})
        DestroyWindow(h);
}

TEST(RichTextAdapter, MessagesPerCommand) {
    HWND rich = recorded(kRichTextClass, "eins zwei\r\ndrei vier\r\nf\xfcnf", 0);
    HWND status = recorded(kRichTextClass, "", 0);
    SendMessage(rich, RT_SETCARET, 2, 1);
    std::int32_t line = 0;
    char buffer[20] = {};
    LineRecord lr{1, buffer, 20, nullptr, 0};
    MarkRecord m = mark("zwei", "");
    m.startColumn = 5, m.startLine = 0, m.endColumn = 9, m.endLine = 0;
    ReplaceRecord rr{5, 0, 4, 1, 0, 0, "X"};
    std::int32_t view[5] = {};
    auto L = [](auto* p) { return reinterpret_cast<std::intptr_t>(p); };
    AdapterCase cases[] = {
        {"freeze", kAdFreeze, 0, 0, {WM_SETREDRAW}, 1},
        {"caret", kAdGetCaret, 0, L(&line), {RT_GETCARET}, 2},
        {"set caret", kAdSetCaret, 1, 2, {RT_SETCARET}, 1},
        {"mark without select", kAdShowMark, 1, L(&m), {}, 1},
        {"mark", kAdShowMark, 2, L(&m), {RT_SETCARET, RT_SELECT}, 1},
        {"clear mark", kAdClearMark, 2, 0, {RT_SELECT}, 1},
        {"length", kAdLineLength, 0, 1, {RT_GETLINECOUNT, RT_LINELENGTH}, 9},
        {"length past end", kAdLineLength, 0, 3, {RT_GETLINECOUNT}, -1},
        {"line elsewhere", kAdGetLine, 0, L(&lr), {RT_GETCARET, RT_SETCARET, RT_GETCARETLINE}, 1},
        {"line at caret", kAdGetLine, 0, L(&lr), {RT_GETCARET, RT_GETCARETLINE}, 1},
        {"replace", kAdReplace, 0, L(&rr), {RT_SETCARET, RT_SELECT, RT_REPLACESEL, RT_GETCARET}, 1},
        {"save view, none visible", kAdSaveView, 0, L(view), {RT_FIRSTVISIBLE}, 1},
        {"restore view, nothing saved", kAdRestoreView, 0, L(view), {}, 1},
        {"line break", kAdLineBreak, 0, 1, {RT_LINEBREAK}, kHardBreak},
        {"line break past end", kAdLineBreak, 0, 5, {RT_LINEBREAK}, 0},
        {"line break before the first line", kAdLineBreak, 0, -1, {}, 0},
        {"unknown", 59999, 0, 0, {}, 0},
    };
    for (const AdapterCase& c : cases) {
        received.clear();
        EXPECT_EQ(RichTextAdapterProc(rich, c.command, c.wParam, c.lParam), c.result) << c.name;
        EXPECT_EQ(received, c.messages) << c.name;
    }
    EXPECT_EQ(line, 1);
    EXPECT_STREQ(buffer, "drei vier");
    EXPECT_EQ(WindowText(rich), "eins X vier\r\nf\xfcnf");
    EXPECT_EQ(rr.outColumn, 6);

    // The view: the first visible place before or after the caret.
    struct ViewCase {
        int column, line;
        bool unchanged;
        std::vector<UINT> restore;
        int selectColumns, selectLines;
    } views[] = {
        {3, 1, false, {RT_VIEWUNCHANGED, RT_SETCARET, RT_SELECT}, 3, 1}, // after the caret
        {1, 0, false, {RT_VIEWUNCHANGED, RT_SETCARET, RT_LINELENGTH, RT_SELECT}, 1 - 11, 0},
        {1, 0, true, {RT_VIEWUNCHANGED}, 0, 0},
    };
    for (const ViewCase& v : views) {
        SendMessage(rich, RT_SETCARET, 4, 0);
        SetRichTextView(rich, v.column, v.line, v.unchanged);
        std::int32_t saved[5] = {};
        received.clear();
        RichTextAdapterProc(rich, kAdSaveView, 0, L(saved));
        EXPECT_EQ(received, (std::vector<UINT>{RT_FIRSTVISIBLE, RT_GETCARET}));
        EXPECT_EQ(saved[1], v.column);
        EXPECT_EQ(saved[2], v.line);
        EXPECT_EQ(saved[3], 4);
        received.clear();
        RichTextAdapterProc(rich, kAdRestoreView, 0, L(saved));
        EXPECT_EQ(received, v.restore) << v.column;
    }

    struct StatusCase {
        const char* word;
        const char* correction;
        WPARAM kind;
        const char* shown;
    } statuses[] = {
        {"\x8cuvre", "", 0, "Oeuvre"},
        {"c\x9cur", "Herz", 1, "coeur -> Herz ?"},
        {"\x8a\x9a", "", 0, "Ss"},
    };
    for (const StatusCase& s : statuses) {
        MarkRecord sm = mark(s.word, s.correction);
        received.clear();
        EXPECT_EQ(RichTextAdapterProc(status, kAdStatusShow, s.kind, L(&sm)), 1);
        EXPECT_EQ(received, std::vector<UINT>{RT_SETSTATUS});
        EXPECT_EQ(WindowText(status), s.shown);
    }
    RichTextAdapterProc(status, kAdStatusClear, 0, 0);
    EXPECT_EQ(WindowText(status), "");
    DestroyWindow(rich);
    DestroyWindow(status);
}

namespace {

// A host adapter that records every command and lets the EDIT adapter do the work.
std::vector<std::pair<UINT, WPARAM>> commands;
std::int32_t failLineLength = -2; // a line whose length the adapter refuses
bool failGetLine = false;
LRESULT HostAdapter(HWND h, UINT command, WPARAM w, LPARAM l) {
    commands.emplace_back(command, w);
    if (command == kAdLineLength && l == failLineLength) return -1;
    if (command == kAdGetLine && failGetLine) return 0;
    return EditAdapterProc(h, command, w, l);
}

class Attached : public ::testing::Test {
protected:
    void SetUp() override {
        SetUiServices(&ui);
        api = WX_Init();
        edit = CreateWindowEx(0, kEditClass, "eins zwei\r\n\r\ndrei", ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0,
                              nullptr);
        AttachRecord r{edit, 0, reinterpret_cast<std::uintptr_t>(&HostAdapter)};
        ASSERT_EQ(SendMessage(api, 1194, 0, reinterpret_cast<LPARAM>(&r)), 1);
        commands.clear();
    }
    void TearDown() override {
        DestroyWindow(edit);
        while (SendMessage(api, 1164, 0, 0)) {
        }
        SetUiServices(nullptr);
        AutoHyphenation = savedHyphenation;
    }
    EditAttachment& attachment() {
        LibraryState* s = LockLibraryState();
        EditAttachment* a = FindAttachment(*s, edit);
        UnlockLibraryState();
        return *a;
    }
    LRESULT run(UINT message, EditOperation op, WPARAM w = 0) {
        LibraryState* s = LockLibraryState();
        LRESULT r = RunEditOperation(*s, message, op, w, static_cast<LPARAM>(edit));
        UnlockLibraryState();
        return r;
    }
    std::vector<UINT> commandList() const {
        std::vector<UINT> out;
        for (auto& c : commands)
            out.push_back(c.first);
        return out;
    }

    ScriptedUi ui;
    HWND api = 0, edit = 0;
    decltype(AutoHyphenation) savedHyphenation = AutoHyphenation;
};

int hyphenationRuns = 0;
std::int32_t hyphenLow = 0, hyphenHigh = 0;
void CountHyphenation(LibraryState&, EditAttachment&, std::int32_t low, std::int32_t high) {
    ++hyphenationRuns;
    hyphenLow = low;
    hyphenHigh = high;
}

} // namespace

TEST_F(Attached, FrameFreezesOnceAndPutsTheCaretOnlyWhenMoved) {
    struct Case {
        const char* name;
        EditOperation op;
        LRESULT result;
        std::vector<UINT> commands;
    } cases[] = {
        {"caret stays",
         [](LibraryState&, EditAttachment&, WPARAM, LPARAM) -> LRESULT { return 7; },
         7,
         {kAdFreeze, kAdGetCaret, kAdGetCaret, kAdFreeze}},
        {"caret wanted elsewhere",
         [](LibraryState&, EditAttachment& a, WPARAM, LPARAM) -> LRESULT {
             a.wantedColumn = 2;
             a.wantedLine = 2;
             return 1;
         },
         1,
         {kAdFreeze, kAdGetCaret, kAdGetCaret, kAdSetCaret, kAdFreeze}},
        {"caret moved and put back",
         [](LibraryState&, EditAttachment& a, WPARAM, LPARAM) -> LRESULT {
             SendMessage(a.editWindow, EM_SETSEL, 5, 5);
             return 1;
         },
         1,
         {kAdFreeze, kAdGetCaret, kAdGetCaret, kAdSetCaret, kAdFreeze}},
        {"nested operation refused",
         [](LibraryState& s, EditAttachment& a, WPARAM, LPARAM) -> LRESULT {
             return RunEditOperation(s, 1195, nullptr, 0, static_cast<LPARAM>(a.editWindow)) == 0 ? 3 : 0;
         },
         3,
         {kAdFreeze, kAdGetCaret, kAdGetCaret, kAdFreeze}},
    };
    for (const Case& c : cases) {
        SendMessage(edit, EM_SETSEL, 0, 0);
        commands.clear();
        ResetWindowCounters(edit);
        EXPECT_EQ(run(1196, c.op), c.result) << c.name;
        EXPECT_EQ(commandList(), c.commands) << c.name;
        EXPECT_EQ(commands.front().second, 0u) << c.name;
        EXPECT_EQ(commands.back().second, 1u) << c.name;
        EXPECT_EQ(GetWindowCounters(edit).caretHides, 1) << c.name;
        EXPECT_EQ(GetWindowCounters(edit).caretShows, 1) << c.name;
    }
    DWORD a = 0, b = 0;
    SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    EXPECT_EQ(b, 0u) << "the caret went back where it was";
    // A status window of 0 gets nothing.
    commands.clear();
    MarkRecord m{};
    EXPECT_EQ(Adapter(attachment(), kAdStatusShow, 0, reinterpret_cast<LPARAM>(&m)), 0);
    EXPECT_EQ(Adapter(attachment(), kAdStatusClear, 0, 0), 0);
    EXPECT_TRUE(commands.empty());
}

TEST_F(Attached, LineCache) {
    EditAttachment& a = attachment();
    bool error = true;
    struct Case {
        std::int32_t line;
        bool record, error;
        const char* text;
    } cases[] = {
        {0, true, false, "eins zwei"}, {1, false, false, nullptr}, // empty line: no record, no error
        {2, true, false, "drei"},      {3, false, true, nullptr},  // no such line
        {-1, false, true, nullptr},
    };
    for (const Case& c : cases) {
        LineRecord* r = CachedLine(a, c.line, &error);
        EXPECT_EQ(r != nullptr, c.record) << c.line;
        EXPECT_EQ(error, c.error) << c.line;
        if (r) EXPECT_STREQ(r->text, c.text);
    }
    commands.clear();
    EXPECT_NE(CachedLine(a, 0, &error), nullptr);
    EXPECT_EQ(CachedLineLength(a, 2), 4);
    EXPECT_TRUE(commands.empty()) << "cached lines are not read again";
    EXPECT_EQ(a.lineCache->line, 0);
    EXPECT_EQ(a.lineCache->next->line, 2);
    EmptyLineCache(a);
    EXPECT_EQ(a.lineCache, nullptr);

    failGetLine = true;
    EXPECT_EQ(CachedLine(a, 0, &error), nullptr);
    EXPECT_TRUE(error);
    EXPECT_EQ(a.lineCache, nullptr);
    failGetLine = false;

    std::string longLine(70000, 'x');
    longLine[69999] = 'y';
    SetWindowText(edit, ("ab\r\n" + longLine).c_str());
    LineRecord* r = CachedLine(a, 1, &error);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->size, 70001u);
    EXPECT_EQ(std::string(r->text), longLine);
    EmptyLineCache(a);
}

TEST_F(Attached, SubclassKeepsTheChangeRangeForAutomaticHyphenation) {
    AutoHyphenation = &CountHyphenation;
    auto savedCheck = TypingCheck;
    // The typing check reports changed lines while it handles the key.
    static std::vector<std::int32_t> notices;
    TypingCheck = [](LibraryState&, EditAttachment& a, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        for (std::int32_t line : notices)
            SendMessage(a.editWindow, kLineChanged, 0, line);
        return CallWindowProc(a.previousProc, a.editWindow, m, w, l);
    };
    hyphenationRuns = 0;
    struct Step {
        std::vector<std::int32_t> notices;
        int runs;
    } steps[] = {
        {{}, 0},     // no change seen
        {{4, 2}, 1}, // one run over lines 2-4 when the outermost key ends
        {{}, 1},     // the range was emptied
    };
    SendMessage(api, 1195, 2, static_cast<LPARAM>(edit));
    for (const Step& step : steps) {
        notices = step.notices;
        SendMessage(edit, WM_CHAR, 'a', 0);
        EXPECT_EQ(hyphenationRuns, step.runs);
    }
    EXPECT_EQ(hyphenLow, 2);
    EXPECT_EQ(hyphenHigh, 4);
    EXPECT_EQ(WindowText(edit).substr(0, 3), "aaa");
    // AutoSplit off: never.
    SendMessage(api, 1126, 2, static_cast<LPARAM>(kDefaultOptions & ~kOptionAutoSplit));
    notices = {1};
    SendMessage(edit, WM_CHAR, 'b', 0);
    EXPECT_EQ(hyphenationRuns, 1);
    EXPECT_EQ(attachment().changeHigh, -1);
    TypingCheck = savedCheck;
}

TEST_F(Attached, ExitDuringAnOperationWaitsForItsEnd) {
    static HWND apiWindow;
    apiWindow = api;
    auto op = [](LibraryState&, EditAttachment&, WPARAM, LPARAM) -> LRESULT {
        EXPECT_EQ(SendMessage(apiWindow, 1134, 'D', reinterpret_cast<LPARAM>("/tmp/wx-in-op.wxd")), 0);
        EXPECT_EQ(SendMessage(apiWindow, 1164, 0, 0), 1);
        EXPECT_EQ(SendMessage(apiWindow, 1164, 0, 0), 0) << "one too many";
        EXPECT_TRUE(IsWindow(apiWindow));
        return 1;
    };
    LibraryState* s = LockLibraryState();
    EnterLibrary();
    RunEditOperation(*s, 1196, op, 0, static_cast<LPARAM>(edit));
    UnlockLibraryState();
    EXPECT_TRUE(IsWindow(api));
    LeaveLibrary();
    EXPECT_FALSE(IsWindow(api));
    EXPECT_EQ(LockLibraryState(), nullptr);
}

TEST(ThreadWindows, UpdateThreadWindowsUpdatesEveryWindowOfTheThread) {
    HWND a = CreateWindowEx(0, kEditClass, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    HWND b = CreateWindowEx(0, kEditClass, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    UpdateThreadWindows(a);
    EXPECT_EQ(GetWindowCounters(a).updates, 1);
    EXPECT_EQ(GetWindowCounters(b).updates, 1);
    SetActiveWindow(0);
    UpdateThreadWindows(0); // no window: nothing
    EXPECT_EQ(GetWindowCounters(b).updates, 1);
    SetActiveWindow(b);
    UpdateThreadWindows(0);
    EXPECT_EQ(GetWindowCounters(a).updates, 2);
    DestroyWindow(a);
    DestroyWindow(b);
}
