#include "platform/win32/HostFunctions.h"

#include "platform/win32/GlobalMemory.h"
#include "platform/win32/Window.h"

#include <algorithm>

using namespace win32;

namespace {

// A window with no behaviour of its own: the stand-in of an editor outside the layer, whose text the host's
// adapter serves.
constexpr const char* kPlainClass = "WortexHostWindow";

bool registerPlainClass() {
    static const bool registered = [] {
        WNDCLASS wc;
        wc.lpfnWndProc = &DefWindowProc;
        wc.lpszClassName = kPlainClass;
        return RegisterClass(wc) != 0 || GetClassInfo(0, kPlainClass, nullptr);
    }();
    return registered;
}

} // namespace

extern "C" {

WX_HWND WX_CreateWindow(const char* className, const char* text, uint32_t style) {
    if (!className && !registerPlainClass()) return 0;
    return CreateWindowEx(0, className ? className : kPlainClass, text, style, 0, 0, 0, 0, 0, 0, 0, nullptr);
}

int WX_DestroyWindow(WX_HWND window) {
    return DestroyWindow(window) ? 1 : 0;
}

intptr_t WX_SendMessage(WX_HWND window, uint32_t message, uintptr_t wParam, intptr_t lParam) {
    return SendMessage(window, message, wParam, lParam);
}

int WX_PumpMessages(void) {
    int n = 0;
    MSG msg;
    while (PeekMessage(&msg, 0, 0, 0, PM_REMOVE)) {
        DispatchMessage(&msg);
        ++n;
    }
    return n;
}

int WX_SetWindowText(WX_HWND window, const char* text) {
    return SetWindowText(window, text) ? 1 : 0;
}

int WX_GetWindowText(WX_HWND window, char* buffer, int capacity) {
    if (buffer && capacity > 0) GetWindowText(window, buffer, capacity);
    return std::max(GetWindowTextLength(window), 0);
}

void* WX_GlobalLock(WX_HGLOBAL block) {
    return GlobalLock(block);
}

int WX_GlobalUnlock(WX_HGLOBAL block) {
    return GlobalUnlock(block) ? 1 : 0;
}

WX_HGLOBAL WX_GlobalFree(WX_HGLOBAL block) {
    return GlobalFree(block);
}

} // extern "C"
