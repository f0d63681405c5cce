#include "platform/win32/Kernel.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

// Per-process state is keyed by the process id, so a forked child must not inherit the parent's cached value.
TEST(Kernel, ProcessIdIsTheChildsOwnAfterFork) {
    const win32::DWORD parent = win32::GetCurrentProcessId();
    EXPECT_EQ(parent, static_cast<win32::DWORD>(::getpid()));
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        const bool own = win32::GetCurrentProcessId() == static_cast<win32::DWORD>(::getpid()) &&
                         win32::GetCurrentProcessId() != parent;
        ::_exit(own ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(win32::GetCurrentProcessId(), parent);
}
