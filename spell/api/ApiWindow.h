#pragma once
// The library's entry: WX_Init makes the per-process state and the hidden api window, whose procedure
// serves every request of the host by message number.
#include "LibraryState.h"

#include <string>

namespace wortex {

win32::LRESULT ApiWndProc(win32::HWND window, win32::UINT message, win32::WPARAM wParam,
                          win32::LPARAM lParam);

// The index page of the library's German help, beside the library or in the help folder of its install
// prefix; empty when there is none. The help file is this page when no WORTEX.HLP is found on the search
// path, and a topic's page lies beside it (see the Qt back-end's help viewer).
std::string HelpPages();

} // namespace wortex

extern "C" win32::HWND WX_Init();
