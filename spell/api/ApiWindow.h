#pragma once
// The library's entry: WX_Init makes the per-process state and the hidden api window, whose procedure
// serves every request of the host by message number.
#include "LibraryState.h"

namespace wortex {

win32::LRESULT ApiWndProc(win32::HWND window, win32::UINT message, win32::WPARAM wParam,
                          win32::LPARAM lParam);

} // namespace wortex

extern "C" win32::HWND WX_Init();
