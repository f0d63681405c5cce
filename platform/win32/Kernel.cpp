#include "platform/win32/Kernel.h"

#include <atomic>
#include <chrono>
#include <pthread.h>
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

namespace {
// getpid is a system call; the dictionary engine asks for the process on every operation. A forked child
// forgets the parent's value.
std::atomic<DWORD> cachedPid{0};
void ForgetPid() {
    cachedPid.store(0, std::memory_order_relaxed);
}
} // namespace

DWORD GetCurrentProcessId() {
    DWORD pid = cachedPid.load(std::memory_order_relaxed);
    if (pid == 0) {
        static const int registered = ::pthread_atfork(nullptr, nullptr, ForgetPid);
        (void)registered;
        pid = static_cast<DWORD>(::getpid());
        cachedPid.store(pid, std::memory_order_relaxed);
    }
    return pid;
}

DWORD GetTickCount() {
    return Kernel::instance().tickCount();
}

void Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

} // namespace win32
