#include "platform/win32/Window.h"
#include "platform/win32/Kernel.h"
#include "platform/win32/UiServices.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <pthread.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace win32 {

void RegisterControlClasses(); // EditControl.cpp

namespace {

struct WindowObject : KernelObject {
    WindowObject() : KernelObject(ObjectKind::Window) {}
    std::string className;
    WNDPROC proc = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    HWND parent = 0;
    HINSTANCE instance = 0;
    std::string text;
    DWORD threadId = 0;
    DWORD processId = 0;
    LONG_PTR userData = 0;
    bool destroying = false;
    WindowCounters counters;
};

struct ClassEntry {
    std::string key; // upper case
    WNDCLASS wc;
    std::string name, menu;
};

struct State {
    std::recursive_mutex mutex;
    std::vector<ClassEntry> classes;
    std::vector<HWND> windows; // in creation order
    std::map<DWORD, std::deque<MSG>> queues;
    std::atomic<HWND> active{0};
    ATOM nextAtom = 0xC000;
};

State& state() {
    static State s;
    return s;
}

std::string upper(const char* s) {
    std::string r = s ? s : "";
    for (char& c : r)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return r;
}

WindowObject* window(HWND h) {
    return Kernel::instance().handles().get<WindowObject>(h, ObjectKind::Window);
}

ClassEntry* findClass(const std::string& key) {
    static const bool controls = (RegisterControlClasses(), true);
    (void)controls;
    for (auto& c : state().classes)
        if (c.key == key) return &c;
    return nullptr;
}

} // namespace

ATOM RegisterClass(const WNDCLASS& wc) {
    if (!wc.lpszClassName || !*wc.lpszClassName || !wc.lpfnWndProc) return 0;
    std::lock_guard lock(state().mutex);
    std::string key = upper(wc.lpszClassName);
    for (auto& c : state().classes)
        if (c.key == key) return 0;
    ClassEntry e{key, wc, wc.lpszClassName, wc.lpszMenuName ? wc.lpszMenuName : ""};
    state().classes.push_back(std::move(e));
    ClassEntry& added = state().classes.back();
    added.wc.lpszClassName = nullptr;
    added.wc.lpszMenuName = nullptr;
    return state().nextAtom++;
}

bool UnregisterClass(const char* className, HINSTANCE) {
    std::lock_guard lock(state().mutex);
    std::string key = upper(className);
    auto& cs = state().classes;
    auto it = std::find_if(cs.begin(), cs.end(), [&](const ClassEntry& c) { return c.key == key; });
    if (it == cs.end()) return false;
    for (HWND h : state().windows)
        if (WindowObject* w = window(h); w && w->className == key) return false; // still in use
    cs.erase(it);
    return true;
}

bool GetClassInfo(HINSTANCE, const char* className, WNDCLASS* out) {
    std::lock_guard lock(state().mutex);
    ClassEntry* c = findClass(upper(className));
    if (!c) return false;
    if (out) {
        *out = c->wc;
        out->lpszClassName = c->name.c_str();
        out->lpszMenuName = c->menu.empty() ? nullptr : c->menu.c_str();
    }
    return true;
}

HWND CreateWindowEx(DWORD exStyle, const char* className, const char* title, DWORD style, int, int, int, int,
                    HWND parent, HANDLE, HINSTANCE instance, void* param) {
    WNDPROC proc;
    std::string key = upper(className);
    {
        std::lock_guard lock(state().mutex);
        ClassEntry* c = findClass(key);
        if (!c) return 0;
        proc = c->wc.lpfnWndProc;
    }
    auto w = std::make_unique<WindowObject>();
    w->className = key;
    w->proc = proc;
    w->style = style;
    w->exStyle = exStyle;
    w->parent = parent;
    w->instance = instance;
    w->text = title ? title : "";
    w->threadId = GetCurrentThreadId();
    w->processId = GetCurrentProcessId();
    HWND h = Kernel::instance().handles().add(std::move(w));
    if (!h) return 0;
    {
        std::lock_guard lock(state().mutex);
        state().windows.push_back(h);
    }
    if (SendMessage(h, WM_CREATE, 0, reinterpret_cast<LPARAM>(param)) == -1) {
        DestroyWindow(h);
        return 0;
    }
    return h;
}

bool DestroyWindow(HWND h) {
    WindowObject* w = window(h);
    if (!w || w->destroying) return false;
    w->destroying = true;
    SendMessage(h, WM_DESTROY, 0, 0);
    SendMessage(h, WM_NCDESTROY, 0, 0);
    std::lock_guard lock(state().mutex);
    auto& ws = state().windows;
    ws.erase(std::remove(ws.begin(), ws.end(), h), ws.end());
    for (auto& [thread, q] : state().queues)
        q.erase(std::remove_if(q.begin(), q.end(), [&](const MSG& m) { return m.hwnd == h; }), q.end());
    HWND was = h;
    state().active.compare_exchange_strong(was, 0);
    return Kernel::instance().handles().remove(h, ObjectKind::Window);
}

bool IsWindow(HWND h) {
    return window(h) != nullptr;
}

LRESULT SendMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowObject* w = window(h);
    if (!w || !w->proc) return 0;
    return w->proc(h, message, wParam, lParam);
}

LRESULT CallWindowProc(WNDPROC proc, HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
    return proc ? proc(h, message, wParam, lParam) : 0;
}

LRESULT DefWindowProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowObject* w = window(h);
    if (!w) return 0;
    switch (message) {
    case WM_SETTEXT:
        w->text = lParam ? reinterpret_cast<const char*>(lParam) : "";
        return 1;
    case WM_GETTEXT: {
        auto capacity = static_cast<std::size_t>(wParam);
        if (!capacity || !lParam) return 0;
        std::size_t n = std::min(capacity - 1, w->text.size());
        std::memcpy(reinterpret_cast<char*>(lParam), w->text.data(), n);
        reinterpret_cast<char*>(lParam)[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(w->text.size());
    case WM_SETREDRAW:
        w->counters.redraw = wParam != 0;
        ++(wParam ? w->counters.redrawOns : w->counters.redrawOffs);
        return 0;
    default:
        return 0;
    }
}

LONG_PTR GetWindowLongPtr(HWND h, int index) {
    WindowObject* w = window(h);
    if (!w) return 0;
    switch (index) {
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->proc);
    case GWL_STYLE:
        return static_cast<LONG_PTR>(w->style);
    case GWLP_USERDATA:
        return w->userData;
    default:
        return 0;
    }
}

LONG_PTR SetWindowLongPtr(HWND h, int index, LONG_PTR value) {
    WindowObject* w = window(h);
    if (!w) return 0;
    LONG_PTR old = GetWindowLongPtr(h, index);
    switch (index) {
    case GWLP_WNDPROC:
        if (!value) return 0;
        w->proc = reinterpret_cast<WNDPROC>(value);
        break;
    case GWL_STYLE:
        w->style = static_cast<DWORD>(value);
        break;
    case GWLP_USERDATA:
        w->userData = value;
        break;
    default:
        return 0;
    }
    return old;
}

bool PostMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD thread = GetCurrentThreadId();
    if (h) {
        WindowObject* w = window(h);
        if (!w) return false;
        thread = w->threadId;
    }
    std::lock_guard lock(state().mutex);
    state().queues[thread].push_back({h, message, wParam, lParam});
    return true;
}

bool PeekMessage(MSG* msg, HWND h, UINT filterMin, UINT filterMax, UINT remove) {
    std::lock_guard lock(state().mutex);
    auto& q = state().queues[GetCurrentThreadId()];
    bool anyMessage = filterMin == 0 && filterMax == 0;
    for (auto it = q.begin(); it != q.end(); ++it) {
        if (h && it->hwnd != h) continue;
        if (!anyMessage && (it->message < filterMin || it->message > filterMax)) continue;
        if (msg) *msg = *it;
        if (remove & PM_REMOVE) q.erase(it);
        return true;
    }
    return false;
}

LRESULT DispatchMessage(const MSG* msg) {
    return msg && msg->hwnd ? SendMessage(msg->hwnd, msg->message, msg->wParam, msg->lParam) : 0;
}

bool SetWindowText(HWND h, const char* text) {
    if (!IsWindow(h)) return false;
    return SendMessage(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : "")) != 0;
}

int GetWindowText(HWND h, char* buffer, int capacity) {
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = 0;
    return static_cast<int>(
        SendMessage(h, WM_GETTEXT, static_cast<WPARAM>(capacity), reinterpret_cast<LPARAM>(buffer)));
}

int GetWindowTextLength(HWND h) {
    return static_cast<int>(SendMessage(h, WM_GETTEXTLENGTH, 0, 0));
}

std::string WindowText(HWND h) {
    std::string s(static_cast<std::size_t>(GetWindowTextLength(h)) + 1, '\0');
    s.resize(static_cast<std::size_t>(GetWindowText(h, s.data(), static_cast<int>(s.size()))));
    return s;
}

bool InvalidateRect(HWND h, const RECT*, bool) {
    WindowObject* w = window(h);
    if (!w) return false;
    ++w->counters.invalidates;
    return true;
}

bool UpdateWindow(HWND h) {
    WindowObject* w = window(h);
    if (!w) return false;
    ++w->counters.updates;
    return true;
}

bool HideCaret(HWND h) {
    WindowObject* w = window(h);
    if (!w) return false;
    ++w->counters.caretHides;
    return true;
}

bool ShowCaret(HWND h) {
    WindowObject* w = window(h);
    if (!w) return false;
    ++w->counters.caretShows;
    return true;
}

HWND GetActiveWindow() {
    HWND a = state().active;
    return IsWindow(a) ? a : 0;
}

HWND SetActiveWindow(HWND h) {
    HWND old = GetActiveWindow();
    if (h && !IsWindow(h)) return 0;
    state().active = h;
    return old;
}

namespace {
// A thread's id is asked for every PeekMessage, once per line of a check: kept after the first system call.
// A forked child's one thread has an id of its own.
thread_local DWORD cachedThreadId = 0;
void forgetThreadId() {
    cachedThreadId = 0;
}
} // namespace

DWORD GetCurrentThreadId() {
    if (cachedThreadId == 0) {
        static const int registered = ::pthread_atfork(nullptr, nullptr, forgetThreadId);
        (void)registered;
        cachedThreadId = static_cast<DWORD>(::syscall(SYS_gettid));
    }
    return cachedThreadId;
}

DWORD GetWindowThreadProcessId(HWND h, DWORD* processId) {
    WindowObject* w = window(h);
    if (!w) return 0;
    if (processId) *processId = w->processId;
    return w->threadId;
}

bool EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam) {
    std::vector<HWND> list;
    {
        std::lock_guard lock(state().mutex);
        for (HWND h : state().windows)
            if (WindowObject* w = window(h); w && w->threadId == threadId) list.push_back(h);
    }
    for (HWND h : list)
        if (IsWindow(h) && !proc(h, lParam)) return false;
    return true;
}

bool WinHelp(HWND h, const char* helpFile, UINT command, std::uintptr_t data) {
    return Ui().winHelp(h, helpFile ? helpFile : "", command, data);
}

WindowCounters GetWindowCounters(HWND h) {
    WindowObject* w = window(h);
    return w ? w->counters : WindowCounters{};
}

void ResetWindowCounters(HWND h) {
    if (WindowObject* w = window(h)) {
        bool redraw = w->counters.redraw;
        w->counters = {};
        w->counters.redraw = redraw;
    }
}

std::size_t WindowCount() {
    std::lock_guard lock(state().mutex);
    return state().windows.size();
}

} // namespace win32
