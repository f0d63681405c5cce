#pragma once
// The library's string table: the German texts its message boxes and dialogs show, by number.
#include "platform/win32/Win32Types.h"

namespace wortex {

// The module handle under which the library's strings are registered (registered on first use).
win32::HINSTANCE LibraryInstance();

} // namespace wortex
