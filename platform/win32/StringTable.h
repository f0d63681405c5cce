#pragma once
// String resources by module and number, as LoadString reads them from a module's string table. A module
// registers its table once at start-up.
#include "platform/win32/Win32Types.h"

#include <map>
#include <string>

namespace win32 {

void RegisterStringTable(HINSTANCE module, std::map<UINT, std::string> strings);
// Copies at most capacity - 1 bytes and a NUL; returns the bytes copied, 0 when the string is missing.
int LoadString(HINSTANCE module, UINT id, char* buffer, int capacity);

} // namespace win32
