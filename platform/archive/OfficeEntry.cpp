#include "platform/archive/OfficeEntry.h"

#include <cerrno>
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace velu::archive {

namespace fs = std::filesystem;

UniqueFd::~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& o) noexcept {
    if (this != &o) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = o.Release();
    }
    return *this;
}

UniqueFd OpenFolder(const fs::path& folder) {
    return UniqueFd(
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

UniqueFd OpenFolderAt(int dir, const std::string& name, bool create) {
    if (create && ::mkdirat(dir, name.c_str(), 0777) != 0 && errno != EEXIST) return UniqueFd();
    return UniqueFd(::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

UniqueFd CreateFolderAt(int dir, const std::string& name) {
    if (::mkdirat(dir, name.c_str(), 0700) != 0) return UniqueFd();
    UniqueFd fd(::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    // Between making and opening, the name may have been given to another folder: ours is owned by us with
    // the mode we gave it (a set-group-ID bit inherited from the office folder aside).
    struct stat st {};
    if (fd && (::fstat(fd.Get(), &st) != 0 || st.st_uid != ::geteuid() || (st.st_mode & 0777) != 0700)) {
        errno = EEXIST;
        return UniqueFd();
    }
    return fd;
}

UniqueFd CreateFileAt(int dir, const std::string& name, mode_t mode) {
    return UniqueFd(::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
}

int RenameFree(int dir, const std::string& from, const std::string& to) {
    if (::renameat2(dir, from.c_str(), dir, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return -1;
    if (EntryAt(dir, to)) {
        errno = EEXIST;
        return -1;
    }
    return ::renameat(dir, from.c_str(), dir, to.c_str());
}

namespace {
UniqueFd CheckedPlain(int fd) {
    UniqueFd f(fd);
    if (!f) return f;
    struct stat st {};
    if (::fstat(f.Get(), &st) != 0) return UniqueFd();
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return UniqueFd();
    }
    // Reads of a plain file never block; the flag only kept the open from waiting for a FIFO's writer.
    ::fcntl(f.Get(), F_SETFL, ::fcntl(f.Get(), F_GETFL) & ~O_NONBLOCK);
    return f;
}
} // namespace

UniqueFd OpenPlainFile(const fs::path& file) {
    return CheckedPlain(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
}

UniqueFd OpenPlainFileAt(int dir, const std::string& name) {
    return CheckedPlain(::openat(dir, name.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
}

std::optional<struct stat> EntryAt(int dir, const std::string& name) {
    struct stat st {};
    if (::fstatat(dir, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return std::nullopt;
    return st;
}

std::optional<struct stat> Entry(const fs::path& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
    return st;
}

bool SameEntry(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

fs::path PathOf(int fd) {
    return fs::path("/proc/self/fd") / std::to_string(fd);
}

namespace {
// The names in the folder dir, "." and ".." left out.
std::vector<std::string> Names(int dir) {
    std::vector<std::string> out;
    const int copy = ::dup(dir);
    if (copy < 0) return out;
    DIR* d = ::fdopendir(copy);
    if (!d) {
        ::close(copy);
        return out;
    }
    while (const dirent* e = ::readdir(d)) {
        const std::string n = e->d_name;
        if (n != "." && n != "..") out.push_back(n);
    }
    ::closedir(d);
    return out;
}
} // namespace

void GroupTree(int dir, gid_t gid) {
    for (const auto& n : Names(dir)) {
        ::fchownat(dir, n.c_str(), static_cast<uid_t>(-1), gid, AT_SYMLINK_NOFOLLOW);
        const auto st = EntryAt(dir, n);
        if (st && S_ISDIR(st->st_mode))
            if (const UniqueFd sub = OpenFolderAt(dir, n)) GroupTree(sub.Get(), gid);
    }
}

int RemoveAt(int dir, const std::string& name) {
    const auto st = EntryAt(dir, name);
    if (!st) return errno == ENOENT ? 0 : errno;
    if (S_ISDIR(st->st_mode)) {
        if (const UniqueFd sub = OpenFolderAt(dir, name))
            for (const auto& n : Names(sub.Get()))
                RemoveAt(sub.Get(), n);
        return ::unlinkat(dir, name.c_str(), AT_REMOVEDIR) == 0 ? 0 : errno;
    }
    return ::unlinkat(dir, name.c_str(), 0) == 0 ? 0 : errno;
}

bool IsLink(const fs::path& path) {
    const auto st = Entry(path);
    return st && S_ISLNK(st->st_mode);
}

std::string LinkText(const fs::path& path) {
    return "'" + path.string() +
           "' ist eine Verknüpfung. Daten des Programms werden nicht über Verknüpfungen gelesen oder "
           "geschrieben; bitte ersetzen Sie die Verknüpfung durch den Ordner oder die Datei selbst.";
}

} // namespace velu::archive
