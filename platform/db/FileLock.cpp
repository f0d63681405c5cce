#include "platform/db/FileLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace velu::db {

namespace fs = std::filesystem;

fs::path LockPath(const fs::path& file) {
    return fs::path(file.string() + ".lck");
}

LockResult LockFile(const fs::path& file, bool exclusive, int* fd, std::string* why) {
    // A link planted in place of the lock file would have us create or lock a file elsewhere.
    int f = ::open(LockPath(file).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (f < 0) {
        if (why) *why = std::strerror(errno);
        return LockResult::Failed;
    }
    struct flock fl {};
    fl.l_type = exclusive ? F_WRLCK : F_RDLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = 0;
    fl.l_len = 0;
    if (::fcntl(f, F_OFD_SETLK, &fl) != 0) {
        int err = errno;
        ::close(f);
        if (err == EAGAIN || err == EACCES) return LockResult::Held;
        if (why) *why = std::strerror(err);
        return LockResult::Failed;
    }
    *fd = f;
    return LockResult::Ok;
}

LockResult LockFileWaiting(const fs::path& file, bool exclusive, std::chrono::milliseconds wait, int* fd,
                           std::string* why) {
    const auto ende = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const LockResult r = LockFile(file, exclusive, fd, why);
        if (r != LockResult::Held || std::chrono::steady_clock::now() >= ende) return r;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace velu::db
