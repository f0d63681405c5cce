#include "platform/win32/Kernel.h"

#include <chrono>
#include <thread>
#include <unistd.h>

namespace win32 {

Kernel& Kernel::instance() {
    static Kernel kernel;
    return kernel;
}

DWORD Kernel::tickCount() const {
    if (tickSource_) return tickSource_();
    auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<DWORD>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

DWORD GetCurrentProcessId() {
    return static_cast<DWORD>(::getpid());
}

DWORD GetTickCount() {
    return Kernel::instance().tickCount();
}

void Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace win32
