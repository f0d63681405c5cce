#include "platform/win32/FileApi.h"
#include "platform/win32/Kernel.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <climits>
#include <csetjmp>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace win32 {

namespace {

// Truncations through this process's handles; a mapping made before one may hold bytes past the new end.
std::atomic<std::uint64_t> truncations{0};

// A readable file is also mapped shared and read-only, so positioned reads within the bytes known to exist
// copy from the page cache without a system call; the mapping sees every write to the file at once, by any
// process. The region reserved is larger than the file, so growth mostly needs no new mapping.
struct FileMap {
    const char* base = nullptr;
    std::uint64_t reserved = 0;
    std::uint64_t known = 0; // bytes the file held when last asked
    std::uint64_t truncationsSeen = 0;

    ~FileMap() { release(); }
    void release() {
        if (base) ::munmap(const_cast<char*>(base), reserved);
        base = nullptr;
        reserved = known = 0;
    }
    bool covers(std::uint64_t offset, DWORD length) const {
        return base && offset <= known && length <= known - offset &&
               truncationsSeen == truncations.load(std::memory_order_relaxed);
    }
    // Bytes up to end were just written through this handle, so they exist.
    void wrote(std::uint64_t end) {
        if (base && end > known && end <= reserved) known = end;
    }
    // Asks the file's size and maps more where it grew past the reserved region.
    void update(int fd) {
        truncationsSeen = truncations.load(std::memory_order_relaxed);
        struct stat st {};
        if (::fstat(fd, &st) != 0 || st.st_size <= 0) {
            known = 0;
            return;
        }
        std::uint64_t size = static_cast<std::uint64_t>(st.st_size);
        if (base && size <= reserved) {
            known = size;
            return;
        }
        release();
        constexpr std::uint64_t kGrain = std::uint64_t(1) << 20;
        std::uint64_t want = (std::max(size * 2, kGrain) + kGrain - 1) & ~(kGrain - 1);
        void* p = ::mmap(nullptr, want, PROT_READ, MAP_SHARED, fd, 0);
        if (p == MAP_FAILED) return;
        base = static_cast<const char*>(p);
        reserved = want;
        known = size;
    }
};

struct FileObject : KernelObject {
    FileObject() : KernelObject(ObjectKind::File) {}
    ~FileObject() override {
        map.release();
        if (fd >= 0) ::close(fd);
    }
    int fd = -1;
    DWORD access = 0;
    DWORD share = 0;
    FileMap map;
};

// Another process may shrink a mapped file; touching a page wholly past its new end raises SIGBUS. A copy
// from a mapping runs with a way back, and the read then goes to the file instead.
// Volatile: the stores around the copy must happen although nothing in this thread reads them.
thread_local sigjmp_buf* volatile copyEscape __attribute__((tls_model("initial-exec"))) = nullptr;
struct sigaction previousBusAction {};

void onBusError(int sig, siginfo_t* info, void* context) {
    if (sigjmp_buf* escape = copyEscape) {
        copyEscape = nullptr;
        siglongjmp(*escape, 1);
    }
    // Not ours: the previous disposition takes the fault when the instruction runs again.
    if (previousBusAction.sa_flags & SA_SIGINFO) {
        if (previousBusAction.sa_sigaction) {
            previousBusAction.sa_sigaction(sig, info, context);
            return;
        }
    } else if (previousBusAction.sa_handler != SIG_DFL && previousBusAction.sa_handler != SIG_IGN) {
        previousBusAction.sa_handler(sig);
        return;
    }
    ::sigaction(SIGBUS, &previousBusAction, nullptr);
}

bool busGuardInstalled() {
    static bool installed = [] {
        struct sigaction action {};
        action.sa_sigaction = onBusError;
        // The handler leaves by siglongjmp without restoring a mask, so the signal must stay unblocked.
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        return ::sigaction(SIGBUS, &action, &previousBusAction) == 0;
    }();
    return installed;
}

// Copies from the mapping; false when the pages are gone.
bool copyMapped(const FileMap& m, std::uint64_t offset, void* buffer, DWORD length) {
    sigjmp_buf escape;
    if (sigsetjmp(escape, 0) != 0) return false;
    copyEscape = &escape;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    std::memcpy(buffer, m.base + offset, length);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    copyEscape = nullptr;
    return true;
}

std::function<bool(FileOp)>& faultHook() {
    static std::function<bool(FileOp)> hook;
    return hook;
}

bool injectedFault(FileOp op) {
    return faultHook() && faultHook()(op);
}

std::function<void(FileOp, std::uint64_t, DWORD)>& traceHook() {
    static std::function<void(FileOp, std::uint64_t, DWORD)> hook;
    return hook;
}

void trace(FileOp op, std::uint64_t offset, DWORD length) {
    if (traceHook()) traceHook()(op, offset, length);
}

FileObject* file(HANDLE h) {
    return Kernel::instance().handles().get<FileObject>(h, ObjectKind::File);
}

std::string slashes(std::string p) {
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

bool lockRange(int fd, short type, std::uint64_t offset, std::uint64_t length, bool wait) {
    struct flock fl {};
    fl.l_type = type;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(offset);
    fl.l_len = static_cast<off_t>(length);
    fl.l_pid = 0;
    int rc;
    do {
        rc = ::fcntl(fd, wait ? F_OFD_SETLKW : F_OFD_SETLK, &fl);
    } while (rc < 0 && errno == EINTR);
    return rc == 0;
}

// Share modes are kept as read locks on four bytes far beyond any data or byte-range lock: one for each
// kind of access an open has and one for each kind it denies. An open is refused when it wants an access
// that another open denies, or denies an access that another open has.
constexpr std::uint64_t kShareBase = std::uint64_t(1) << 62;
enum ShareByte { HasRead, HasWrite, DeniesRead, DeniesWrite };

bool heldByOther(int fd, ShareByte b) {
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    fl.l_start = static_cast<off_t>(kShareBase + b);
    fl.l_len = 1;
    if (::fcntl(fd, F_OFD_GETLK, &fl) != 0) return false;
    return fl.l_type != F_UNLCK;
}

bool takeShareLocks(int fd, DWORD access, DWORD share) {
    bool wantRead = access & GENERIC_READ, wantWrite = access & GENERIC_WRITE;
    bool denyRead = !(share & FILE_SHARE_READ), denyWrite = !(share & FILE_SHARE_WRITE);
    if ((wantRead && heldByOther(fd, DeniesRead)) || (wantWrite && heldByOther(fd, DeniesWrite)) ||
        (denyRead && heldByOther(fd, HasRead)) || (denyWrite && heldByOther(fd, HasWrite)))
        return false;
    // Read locks need a readable descriptor; a write-only open takes part in the checks only.
    if (!wantRead) return true;
    bool ok = true;
    for (auto [take, b] : {std::pair{wantRead, HasRead},
                           {wantWrite, HasWrite},
                           {denyRead, DeniesRead},
                           {denyWrite, DeniesWrite}})
        if (take) ok = lockRange(fd, F_RDLCK, kShareBase + b, 1, false) && ok;
    return ok;
}

bool sameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

HANDLE handleFor(int fd, DWORD access, DWORD share) {
    auto f = std::make_unique<FileObject>();
    f->fd = fd;
    f->access = access;
    f->share = share;
    return Kernel::instance().handles().add(std::move(f));
}

} // namespace

void SetFileFaultHook(std::function<bool(FileOp)> hook) {
    faultHook() = std::move(hook);
}

void SetFileTraceHook(std::function<void(FileOp, std::uint64_t, DWORD)> hook) {
    traceHook() = std::move(hook);
}

HANDLE CreateFile(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
    int flags = O_CLOEXEC;
    if ((access & GENERIC_READ) && (access & GENERIC_WRITE))
        flags |= O_RDWR;
    else if (access & GENERIC_WRITE)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;
    switch (disposition) {
    case CREATE_NEW:
        flags |= O_CREAT | O_EXCL;
        break;
    case CREATE_ALWAYS:
        flags |= O_CREAT;
        break; // truncated once the share check has passed
    case OPEN_ALWAYS:
        flags |= O_CREAT;
        break;
    case OPEN_EXISTING:
        break;
    default:
        return 0;
    }
    // A new file is never made through a link planted at its name.
    if (disposition == CREATE_NEW) flags |= O_NOFOLLOW;
    std::string p = slashes(path);
    struct stat st {};
    if (::stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return 0;
    int fd = ::open(p.c_str(), flags, 0666);
    if (fd < 0) return 0;
    if (!takeShareLocks(fd, access, share) || (disposition == CREATE_ALWAYS && ::ftruncate(fd, 0) != 0)) {
        ::close(fd);
        return 0;
    }
    if (disposition == CREATE_ALWAYS) truncations.fetch_add(1, std::memory_order_relaxed);
    return handleFor(fd, access, share);
}

HANDLE CreateReplacementFile(const std::string& temp, const std::string& target) {
    const std::string p = slashes(temp);
    const int flags = O_CLOEXEC | O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW;
    int fd = ::open(p.c_str(), flags, 0666);
    if (fd < 0 && errno == EEXIST) {
        // A regular file left by an interrupted write is ours to replace; a link or anything else is not.
        struct stat old {};
        if (::lstat(p.c_str(), &old) != 0 || !S_ISREG(old.st_mode) || ::unlink(p.c_str()) != 0) return 0;
        fd = ::open(p.c_str(), flags, 0666);
    }
    if (fd < 0) return 0;
    struct stat st {};
    bool ok = takeShareLocks(fd, GENERIC_READ | GENERIC_WRITE, 0);
    if (ok && ::stat(slashes(target).c_str(), &st) == 0 && S_ISREG(st.st_mode))
        ok = ::fchmod(fd, st.st_mode & 07777) == 0;
    if (!ok) {
        ::close(fd);
        ::unlink(p.c_str());
        return 0;
    }
    return handleFor(fd, GENERIC_READ | GENERIC_WRITE, 0);
}

bool CloseHandle(HANDLE h) {
    return Kernel::instance().handles().remove(h, ObjectKind::File);
}

bool ReadFile(HANDLE h, void* buffer, DWORD length, DWORD* read) {
    FileObject* f = file(h);
    if (read) *read = 0;
    if (!f || !(f->access & GENERIC_READ)) return false;
    DWORD done = 0;
    while (done < length) {
        ssize_t n = ::read(f->fd, static_cast<char*>(buffer) + done, length - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        done += static_cast<DWORD>(n);
    }
    if (read) *read = done;
    return true;
}

bool ReadFileAt(HANDLE h, std::uint64_t offset, void* buffer, DWORD length, DWORD* read) {
    FileObject* f = file(h);
    if (read) *read = 0;
    if (!f || !(f->access & GENERIC_READ)) return false;
    trace(FileOp::Read, offset, length);
    FileMap& m = f->map;
    if (m.covers(offset, length) && copyMapped(m, offset, buffer, length)) {
        if (read) *read = length;
        return true;
    }
    DWORD done = 0;
    while (done < length) {
        ssize_t n = ::pread(f->fd, static_cast<char*>(buffer) + done, length - done,
                            static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        done += static_cast<DWORD>(n);
    }
    if (read) *read = done;
    // The file may have grown or shrunk since the mapping last looked.
    if (busGuardInstalled()) m.update(f->fd);
    return true;
}

bool WriteFile(HANDLE h, const void* buffer, DWORD length, DWORD* written) {
    FileObject* f = file(h);
    if (written) *written = 0;
    if (!f || !(f->access & GENERIC_WRITE) || injectedFault(FileOp::Write)) return false;
    DWORD done = 0;
    while (done < length) {
        ssize_t n = ::write(f->fd, static_cast<const char*>(buffer) + done, length - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<DWORD>(n);
    }
    if (written) *written = done;
    return true;
}

bool WriteFileAt(HANDLE h, std::uint64_t offset, const void* buffer, DWORD length, DWORD* written) {
    FileObject* f = file(h);
    if (written) *written = 0;
    if (!f || !(f->access & GENERIC_WRITE) || injectedFault(FileOp::Write)) return false;
    trace(FileOp::Write, offset, length);
    DWORD done = 0;
    while (done < length) {
        ssize_t n = ::pwrite(f->fd, static_cast<const char*>(buffer) + done, length - done,
                             static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<DWORD>(n);
    }
    if (written) *written = done;
    f->map.wrote(offset + done);
    return true;
}

DWORD SetFilePointer(HANDLE h, std::int32_t distance, DWORD method) {
    FileObject* f = file(h);
    if (!f) return INVALID_SET_FILE_POINTER;
    int whence = method == FILE_CURRENT ? SEEK_CUR : method == FILE_END ? SEEK_END : SEEK_SET;
    off_t pos = ::lseek(f->fd, distance, whence);
    if (pos < 0 || pos >= static_cast<off_t>(INVALID_SET_FILE_POINTER)) return INVALID_SET_FILE_POINTER;
    return static_cast<DWORD>(pos);
}

bool FlushFileBuffers(HANDLE h) {
    FileObject* f = file(h);
    if (!f || injectedFault(FileOp::Flush)) return false;
    if (!(f->access & GENERIC_WRITE)) return true;
    return ::fdatasync(f->fd) == 0;
}

DWORD GetFileSize(HANDLE h) {
    FileObject* f = file(h);
    struct stat st {};
    if (!f || ::fstat(f->fd, &st) != 0 || st.st_size >= static_cast<off_t>(INVALID_FILE_SIZE))
        return INVALID_FILE_SIZE;
    return static_cast<DWORD>(st.st_size);
}

bool SetEndOfFile(HANDLE h) {
    FileObject* f = file(h);
    if (!f || !(f->access & GENERIC_WRITE) || injectedFault(FileOp::Truncate)) return false;
    off_t pos = ::lseek(f->fd, 0, SEEK_CUR);
    bool done = pos >= 0 && ::ftruncate(f->fd, pos) == 0;
    truncations.fetch_add(1, std::memory_order_relaxed);
    return done;
}

bool LockFileEx(HANDLE h, DWORD flags, std::uint64_t offset, std::uint64_t length) {
    FileObject* f = file(h);
    if (!f || length == 0) return false;
    short type = (flags & LOCKFILE_EXCLUSIVE_LOCK) ? F_WRLCK : F_RDLCK;
    // A shared lock needs read access and an exclusive one write access under POSIX; Win32 has no such
    // rule, so a read-only handle's exclusive lock falls back to a shared one.
    if (type == F_WRLCK && !(f->access & GENERIC_WRITE)) type = F_RDLCK;
    if (type == F_RDLCK && !(f->access & GENERIC_READ)) type = F_WRLCK;
    return lockRange(f->fd, type, offset, length, !(flags & LOCKFILE_FAIL_IMMEDIATELY));
}

bool UnlockFileEx(HANDLE h, std::uint64_t offset, std::uint64_t length) {
    FileObject* f = file(h);
    if (!f || length == 0) return false;
    return lockRange(f->fd, F_UNLCK, offset, length, false);
}

bool DeleteFile(const std::string& path) {
    return ::unlink(slashes(path).c_str()) == 0;
}

bool MoveFileEx(const std::string& from, const std::string& to, DWORD flags) {
    if (injectedFault(FileOp::Rename)) return false;
    std::string f = slashes(from), t = slashes(to);
    if (flags & MOVEFILE_REPLACE_EXISTING) return ::rename(f.c_str(), t.c_str()) == 0;
    // Never over a file that appeared meanwhile: two processes making one file do not replace each other's.
    if (::renameat2(AT_FDCWD, f.c_str(), AT_FDCWD, t.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without that flag: a hard link fails on an existing name just the same.
    return ::link(f.c_str(), t.c_str()) == 0 && ::unlink(f.c_str()) == 0;
}

DWORD GetFileAttributes(const std::string& path) {
    struct stat st {};
    if (::stat(slashes(path).c_str(), &st) != 0) return INVALID_FILE_ATTRIBUTES;
    return S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

std::string GetCurrentDirectory() {
    char buf[PATH_MAX];
    if (!::getcwd(buf, sizeof buf)) return ".";
    return buf;
}

std::string GetFullPathName(const std::string& path) {
    std::filesystem::path p(slashes(path));
    if (p.is_relative()) p = std::filesystem::path(GetCurrentDirectory()) / p;
    return p.lexically_normal().string();
}

std::string SearchPath(const std::string& name) {
    std::string n = slashes(name);
    if (n.empty() || n.find('/') != std::string::npos) return {};
    std::string dirs = GetCurrentDirectory();
    if (const char* path = std::getenv("PATH")) dirs += std::string(":") + path;
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        if (!dir.empty()) {
            std::string candidate = CanonicalPath(dir + "/" + n);
            struct stat st {};
            if (!candidate.empty() && ::stat(candidate.c_str(), &st) == 0 && !S_ISDIR(st.st_mode))
                return candidate;
        }
        start = end + 1;
    }
    return {};
}

std::string GetTempPath() {
    const char* t = std::getenv("TMPDIR");
    std::string dir = t && *t ? t : "/tmp";
    if (GetFileAttributes(dir) != FILE_ATTRIBUTE_DIRECTORY) return {};
    if (dir.back() != '/') dir += '/';
    return dir;
}

std::string CanonicalPath(const std::string& path) {
    std::filesystem::path full(GetFullPathName(path));
    std::filesystem::path dir = full.parent_path();
    std::string leaf = full.filename().string();
    char buf[PATH_MAX];
    if (!::realpath(dir.c_str(), buf)) return {};
    std::string resolvedDir = buf;
    if (leaf.empty()) return resolvedDir;
    std::string candidate = resolvedDir + (resolvedDir == "/" ? "" : "/") + leaf;
    struct stat st {};
    if (::lstat(candidate.c_str(), &st) != 0) {
        if (DIR* d = ::opendir(resolvedDir.c_str())) {
            while (dirent* e = ::readdir(d)) {
                if (sameNoCase(e->d_name, leaf)) {
                    candidate = resolvedDir + (resolvedDir == "/" ? "" : "/") + e->d_name;
                    break;
                }
            }
            ::closedir(d);
        }
    }
    if (::realpath(candidate.c_str(), buf)) return buf;
    return candidate;
}

} // namespace win32
