#include "platform/archive/WorkLock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace velu::archive {

namespace fs = std::filesystem;

namespace {

constexpr const char* Suffix = ".arbeit";

enum class Outcome { Taken, Held, Failed, Exists };

// Opens (flags) and locks the marker; the inode locked must still be the one the name refers to, or another
// process removed the marker between our open and our lock and we try again.
Outcome OpenLocked(const fs::path& marker, int flags, int* fd, std::string* error) {
    for (;;) {
        const int f = ::open(marker.c_str(), flags | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (f < 0) {
            if (errno == EEXIST) return Outcome::Exists;
            if (error)
                *error =
                    "Die Datei '" + marker.string() + "' kann nicht angelegt werden: " + std::strerror(errno);
            return Outcome::Failed;
        }
        struct flock fl {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        if (::fcntl(f, F_OFD_SETLK, &fl) != 0) {
            const int err = errno;
            ::close(f);
            if (err == EAGAIN || err == EACCES) return Outcome::Held;
            if (error)
                *error =
                    "Die Datei '" + marker.string() + "' kann nicht gesperrt werden: " + std::strerror(err);
            return Outcome::Failed;
        }
        struct stat mine {
        }, named{};
        if (::fstat(f, &mine) == 0 && ::lstat(marker.c_str(), &named) == 0 && mine.st_ino == named.st_ino &&
            mine.st_dev == named.st_dev) {
            *fd = f;
            return Outcome::Taken;
        }
        ::close(f);
        if (flags & O_EXCL) return Outcome::Exists;
    }
}

} // namespace

fs::path WorkLock::MarkerOf(const fs::path& target) {
    return fs::path(target.string() + Suffix);
}

bool IsWorkMarker(const fs::path& path) {
    const std::string n = path.filename().string();
    const std::string s(Suffix);
    return n.size() > s.size() && n.compare(n.size() - s.size(), s.size(), s) == 0;
}

std::unique_ptr<WorkLock> WorkLock::Take(const fs::path& marker, std::string* error) {
    int fd = -1;
    if (OpenLocked(marker, O_CREAT, &fd, error) != Outcome::Taken) return nullptr;
    return std::unique_ptr<WorkLock>(new WorkLock(fd, marker));
}

std::unique_ptr<WorkLock> WorkLock::TakeNew(const fs::path& folder, const std::string& prefix,
                                            std::string* error) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = prefix;
        for (int i = 0; i < 6; ++i)
            name += letters[rd() % (sizeof letters - 1)];
        const fs::path marker = folder / (name + Suffix);
        std::error_code ec;
        if (fs::exists(folder / name, ec)) continue;
        int fd = -1;
        switch (OpenLocked(marker, O_CREAT | O_EXCL, &fd, error)) {
        case Outcome::Taken:
            return std::unique_ptr<WorkLock>(new WorkLock(fd, marker));
        case Outcome::Failed:
            return nullptr;
        default:
            continue;
        }
    }
    if (error) *error = "Im Ordner '" + folder.string() + "' kann kein Arbeitsname vergeben werden.";
    return nullptr;
}

WorkLock::~WorkLock() {
    if (fd_ < 0) return;
    ::unlink(marker_.c_str());
    ::close(fd_);
}

void WorkLock::Keep(std::unique_ptr<WorkLock> lock) {
    if (!lock) return;
    ::close(lock->fd_);
    lock->fd_ = -1;
}

fs::path WorkLock::Item() const {
    const std::string m = marker_.string();
    return fs::path(m.substr(0, m.size() - std::strlen(Suffix)));
}

bool WorkLock::SetNotes(const std::string& text) {
    if (::ftruncate(fd_, 0) != 0) return false;
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::pwrite(fd_, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return ::fsync(fd_) == 0;
}

std::string WorkLock::Notes() const {
    std::string out;
    char buf[4096];
    off_t at = 0;
    for (;;) {
        const ssize_t n = ::pread(fd_, buf, sizeof buf, at);
        if (n <= 0 || out.size() > 65536) break;
        out.append(buf, static_cast<size_t>(n));
        at += n;
    }
    return out;
}

} // namespace velu::archive
