#include "platform/win32/Window.h"
#include "platform/win32/UiServices.h"

#include <gtest/gtest.h>

#include <vector>

using namespace win32;

namespace {

std::vector<UINT> seen;

LRESULT RecordingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    seen.push_back(m);
    if (m == WM_USER) return 42;
    return DefWindowProc(h, m, w, l);
}

WNDPROC chained = nullptr;
LRESULT ChainProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_USER) return 1000 + CallWindowProc(chained, h, m, w, l);
    return CallWindowProc(chained, h, m, w, l);
}

ATOM registerRecording(const char* name) {
    WNDCLASS wc;
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = name;
    return RegisterClass(wc);
}

} // namespace

TEST(Window, ClassesRegisterOnceWithoutCaseAndUnregisterWhenUnused) {
    ASSERT_NE(registerRecording("TestClassA"), 0);
    EXPECT_EQ(registerRecording("TESTCLASSA"), 0);
    EXPECT_TRUE(GetClassInfo(0, "testclassa", nullptr));
    HWND h = CreateWindowEx(0, "TestClassA", "title", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    ASSERT_NE(h, 0u);
    EXPECT_FALSE(UnregisterClass("TestClassA", 0)); // a window still uses it
    EXPECT_TRUE(DestroyWindow(h));
    EXPECT_TRUE(UnregisterClass("TestClassA", 0));
    EXPECT_FALSE(GetClassInfo(0, "TestClassA", nullptr));
    EXPECT_EQ(CreateWindowEx(0, "TestClassA", "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr), 0u);
    EXPECT_NE(registerRecording("TestClassA"), 0);
    UnregisterClass("TestClassA", 0);
}

TEST(Window, LifeCycleSendsCreateDestroyAndTheHandleGoes) {
    registerRecording("TestClassB");
    seen.clear();
    HWND h = CreateWindowEx(0, "TestClassB", "Titel", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    EXPECT_EQ(WindowText(h), "Titel");
    EXPECT_EQ(SendMessage(h, WM_USER, 0, 0), 42);
    ASSERT_TRUE(DestroyWindow(h));
    EXPECT_EQ(seen, (std::vector<UINT>{WM_CREATE, WM_GETTEXTLENGTH, WM_GETTEXT, WM_USER, WM_DESTROY,
                                       WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(h));
    EXPECT_FALSE(DestroyWindow(h));
    EXPECT_EQ(SendMessage(h, WM_USER, 0, 0), 0);
    UnregisterClass("TestClassB", 0);
}

TEST(Window, SubclassingChainsThroughCallWindowProc) {
    registerRecording("TestClassC");
    HWND h = CreateWindowEx(0, "TestClassC", "", 0x1234, 0, 0, 0, 0, 0, 0, 0, nullptr);
    EXPECT_EQ(GetWindowLongPtr(h, GWL_STYLE), 0x1234);
    chained =
        reinterpret_cast<WNDPROC>(SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChainProc)));
    EXPECT_EQ(chained, &RecordingProc);
    EXPECT_EQ(SendMessage(h, WM_USER, 0, 0), 1042);
    EXPECT_EQ(SetWindowLongPtr(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chained)),
              reinterpret_cast<LONG_PTR>(&ChainProc));
    EXPECT_EQ(SendMessage(h, WM_USER, 0, 0), 42);
    EXPECT_EQ(SetWindowLongPtr(h, 12345, 1), 0);
    DestroyWindow(h);
    UnregisterClass("TestClassC", 0);
}

TEST(Window, QueueFiltersByWindowAndRange) {
    registerRecording("TestClassD");
    HWND a = CreateWindowEx(0, "TestClassD", "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    HWND b = CreateWindowEx(0, "TestClassD", "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    PostMessage(a, WM_USER + 1, 1, 0);
    PostMessage(b, WM_USER + 2, 2, 0);
    PostMessage(a, WM_USER + 3, 3, 0);
    MSG m;
    struct Case {
        HWND window;
        UINT min, max, remove;
        bool found;
        UINT message;
    } cases[] = {
        {b, 0, 0, PM_NOREMOVE, true, WM_USER + 2},
        {a, WM_USER + 2, WM_USER + 5, PM_REMOVE, true, WM_USER + 3},
        {a, WM_USER + 2, WM_USER + 5, PM_REMOVE, false, 0},
        {0, 0, 0, PM_REMOVE, true, WM_USER + 1},
        {0, 0, 0, PM_REMOVE, true, WM_USER + 2},
        {0, 0, 0, PM_REMOVE, false, 0},
    };
    for (const Case& c : cases) {
        bool found = PeekMessage(&m, c.window, c.min, c.max, c.remove);
        EXPECT_EQ(found, c.found);
        if (found && c.found) EXPECT_EQ(m.message, c.message);
    }
    PostMessage(a, WM_USER, 0, 0);
    DestroyWindow(a); // its queued messages go with it
    EXPECT_FALSE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PostMessage(a, WM_USER, 0, 0));
    PostMessage(b, WM_USER, 0, 0);
    ASSERT_TRUE(PeekMessage(&m, 0, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessage(&m), 42);
    DestroyWindow(b);
    UnregisterClass("TestClassD", 0);
}

TEST(Window, CountersThreadWindowsActiveAndHelp) {
    registerRecording("TestClassE");
    HWND a = CreateWindowEx(0, "TestClassE", "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    HWND b = CreateWindowEx(0, "TestClassE", "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    HideCaret(a);
    HideCaret(a);
    ShowCaret(a);
    InvalidateRect(a, nullptr, false);
    SendMessage(a, WM_SETREDRAW, 0, 0);
    WindowCounters c = GetWindowCounters(a);
    EXPECT_EQ(c.caretHides, 2);
    EXPECT_EQ(c.caretShows, 1);
    EXPECT_EQ(c.invalidates, 1);
    EXPECT_EQ(c.redrawOffs, 1);
    EXPECT_FALSE(c.redraw);

    DWORD pid = 0;
    EXPECT_EQ(GetWindowThreadProcessId(a, &pid), GetCurrentThreadId());
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND h, LPARAM l) {
            UpdateWindow(h);
            ++*reinterpret_cast<int*>(l);
            return true;
        },
        reinterpret_cast<LPARAM>(&count));
    EXPECT_GE(count, 2);
    EXPECT_EQ(GetWindowCounters(b).updates, 1);

    EXPECT_EQ(SetActiveWindow(b), 0u);
    EXPECT_EQ(GetActiveWindow(), b);
    DestroyWindow(b);
    EXPECT_EQ(GetActiveWindow(), 0u);

    ScriptedUi ui;
    SetUiServices(&ui);
    WinHelp(a, "X.HLP", HELP_CONTEXT, 12);
    SetUiServices(nullptr);
    ASSERT_EQ(ui.helpCalls.size(), 1u);
    EXPECT_EQ(ui.helpCalls[0].file, "X.HLP");
    EXPECT_EQ(ui.helpCalls[0].data, 12u);
    DestroyWindow(a);
    UnregisterClass("TestClassE", 0);
}
