#pragma once
// Window classes, windows and messages of the Win32 stand-in: registration, creation and destruction,
// SendMessage and window procedures, a message queue per thread, window text, and the drawing and caret
// calls, which only count (tests read the counters).
#include "platform/win32/Win32Types.h"

#include <string>

namespace win32 {

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using LONG_PTR = std::intptr_t;
using ATOM = std::uint16_t;

constexpr UINT CS_GLOBALCLASS = 0x4000;

constexpr int GWLP_WNDPROC = -4;
constexpr int GWL_STYLE = -16;
constexpr int GWLP_USERDATA = -21;

constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_SYSDEADCHAR = 0x0108;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;

constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;

constexpr UINT HELP_CONTEXT = 1;
constexpr UINT HELP_QUIT = 2;

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = 0;
    HANDLE hIcon = 0, hCursor = 0, hbrBackground = 0;
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
};

struct MSG {
    HWND hwnd = 0;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

struct RECT {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Class names compare without case, as on the original. 0 when the name is taken or missing.
ATOM RegisterClass(const WNDCLASS& wc);
bool UnregisterClass(const char* className, HINSTANCE instance);
bool GetClassInfo(HINSTANCE instance, const char* className, WNDCLASS* out);

// Sends WM_CREATE (lParam = param); a procedure answering -1 refuses the window.
HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y,
                    int width, int height, HWND parent, HANDLE menu, HINSTANCE instance, void* param);
// Sends WM_DESTROY and WM_NCDESTROY, then the handle goes; its posted messages are dropped.
bool DestroyWindow(HWND window);
bool IsWindow(HWND window);

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CallWindowProc(WNDPROC proc, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Keeps the text (WM_SETTEXT, WM_GETTEXT, WM_GETTEXTLENGTH) and the redraw flag; 0 for everything else.
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LONG_PTR GetWindowLongPtr(HWND window, int index);
// Returns the previous value, 0 for an invalid window or index.
LONG_PTR SetWindowLongPtr(HWND window, int index, LONG_PTR value);

// Queue of the window's thread (of the calling thread for window 0).
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// window 0 = any; min and max 0 = any message.
bool PeekMessage(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT remove);
LRESULT DispatchMessage(const MSG* msg);

bool SetWindowText(HWND window, const char* text);
int GetWindowText(HWND window, char* buffer, int capacity);
int GetWindowTextLength(HWND window);
std::string WindowText(HWND window);

bool InvalidateRect(HWND window, const RECT* rect, bool erase);
bool UpdateWindow(HWND window);
bool HideCaret(HWND window);
bool ShowCaret(HWND window);

HWND GetActiveWindow();
HWND SetActiveWindow(HWND window);
DWORD GetCurrentThreadId();
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
using WNDENUMPROC = bool (*)(HWND, LPARAM);
bool EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam);

// Through the UI services (recorded by the scripted ones).
bool WinHelp(HWND window, const char* helpFile, UINT command, std::uintptr_t data);

// What the drawing and caret calls did to a window.
struct WindowCounters {
    int invalidates = 0;
    int updates = 0;
    int caretHides = 0;
    int caretShows = 0;
    int redrawOffs = 0;
    int redrawOns = 0;
    bool redraw = true;
};
WindowCounters GetWindowCounters(HWND window);
void ResetWindowCounters(HWND window);
std::size_t WindowCount();

} // namespace win32
