#pragma once
// The library's per-process state: the block WX_Init makes and every message, operation and dialog locks,
// the nesting of the library's work and the exit that waits for the outermost to end.
#include "platform/win32/Window.h"

#include <cstdint>
#include <mutex>
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

// Held by every call into the library (WX_Init, the api window's and the attached windows' procedures):
// requests from several threads are served one at a time. Recursive, since adapters, dialogs and the
// host's window procedures call back into the library on the same thread.
std::recursive_mutex& LibraryMutex();

// Takes one use of the state; 1 when this made it (the first use in the process), else 0.
int CreateLibraryState();

// The calling process's state, locked; null before WX_Init. Release with UnlockLibraryState.
LibraryState* LockLibraryState();
void UnlockLibraryState();

// The class name of the api window, one per process.
std::string LibraryClassName();

// Nesting of the library's work in this process (api window, operations, subclass procedure, its message
// boxes); an exit asked for meanwhile is carried out when the outermost ends.
void EnterLibrary();
void LeaveLibrary();
int LibraryDepth();

// The exit: ends one WX_Init; 0 when there is none left to end.
win32::LRESULT RequestLibraryExit();

// Shows the exit safety message box.
void ExitSafetyMessage();

} // namespace wortex
