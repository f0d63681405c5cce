#pragma once
// The library's entry: WX_Init makes the per-process state and the hidden api window, whose procedure
// serves every request of the host by message number.
#include "platform/win32/Window.h"

#include <cstdint>
#include <string>

namespace wortex {

struct LibraryState {
    win32::HWND apiWindow;
    win32::HGLOBAL attachments;
    std::uint32_t options;
    std::uint32_t configurationPlace;
    std::uint32_t cachedState[44];
    win32::HWND cachedWindow;
    char helpFile[260];
};
static_assert(sizeof(LibraryState) == 456);

constexpr std::uint32_t kDefaultOptions = 0x3F07E;
constexpr std::uint32_t kOptionAutoCheck = 0x2;
constexpr std::uint32_t kOptionAutoSplit = 0x8;

// The calling process's state, locked; null before WX_Init. Release with UnlockLibraryState.
LibraryState* LockLibraryState();
void UnlockLibraryState();

win32::LRESULT ApiWndProc(win32::HWND window, win32::UINT message, win32::WPARAM wParam,
                          win32::LPARAM lParam);

// Nesting of the library's work in this process (api window, operations, subclass procedure, its message
// boxes); an exit asked for meanwhile is carried out when the outermost ends.
void EnterLibrary();
void LeaveLibrary();
int LibraryDepth();

// The index page of the library's German help, beside the library or in the help folder of its install
// prefix; empty when there is none. The help file is this page when no WORTEX.HLP is found on the search
// path, and a topic's page lies beside it (see the Qt back-end's help viewer).
std::string HelpPages();

// Shows the exit safety message box.
void ExitSafetyMessage();

} // namespace wortex

extern "C" win32::HWND WX_Init();
