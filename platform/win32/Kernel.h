#pragma once
// Process-wide state of the Win32 stand-in: the handle table, the clock and the process id. Each process
// has its own copy (a forked child starts with a copy of its parent's and tells itself apart by its id).
#include "platform/win32/HandleTable.h"

#include <functional>

namespace win32 {

class Kernel {
public:
    static Kernel& instance();

    HandleTable& handles() { return handles_; }
    // Tests replace the clock so waits between retries pass at once; an empty function restores it.
    void setTickSource(std::function<DWORD()> source) { tickSource_ = std::move(source); }
    DWORD tickCount() const;

private:
    HandleTable handles_;
    std::function<DWORD()> tickSource_;
};

DWORD GetCurrentProcessId();
// Milliseconds since an arbitrary start, wrapping at 2^32 like the original.
DWORD GetTickCount();
void Sleep(DWORD milliseconds);

} // namespace win32
