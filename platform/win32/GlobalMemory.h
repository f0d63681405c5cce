#pragma once
// Movable memory blocks by handle, with the lock count of the original GlobalLock/GlobalUnlock.
#include "platform/win32/Win32Types.h"

#include <cstddef>

namespace win32 {

HGLOBAL GlobalAlloc(UINT flags, std::size_t size);
// New contents keep the old bytes; added bytes are zero with GMEM_ZEROINIT. The block may move: a caller
// that held it locked must take the address again from GlobalLock.
HGLOBAL GlobalReAlloc(HGLOBAL h, std::size_t size, UINT flags);
void* GlobalLock(HGLOBAL h);
bool GlobalUnlock(HGLOBAL h);
// 0 on success, the handle when it was not a memory block (as the original).
HGLOBAL GlobalFree(HGLOBAL h);
std::size_t GlobalSize(HGLOBAL h);
UINT GlobalLockCount(HGLOBAL h);

} // namespace win32
