#include "core/DataSwap.h"

#include "platform/archive/WorkLock.h"
#include "platform/archive/ZipArchive.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

namespace velu {

namespace fs = std::filesystem;
using archive::WorkLock;

namespace {

fs::path Beside(const fs::path& target, const char* suffix) {
    return fs::path(target.string() + suffix);
}

// Leftovers of T: T.neu…, T.alt… (also the numbered and random names of older versions).
std::vector<fs::path> Leftovers(const fs::path& target) {
    std::vector<fs::path> out;
    const std::string base = target.filename().string();
    std::error_code ec;
    const fs::path folder = target.parent_path();
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const std::string n = it->path().filename().string();
        if (n.size() > base.size() + 1 && n.compare(0, base.size(), base) == 0 && n[base.size()] == '.') {
            const std::string rest = n.substr(base.size() + 1);
            if (rest.rfind("neu", 0) == 0 || rest.rfind("alt", 0) == 0) out.push_back(it->path());
        }
    }
    return out;
}

// The old data a dead swap set aside: the noted place, else (older versions kept no note) the highest
// numbered T.altN.
fs::path OldData(const fs::path& target, const std::string& notes) {
    std::error_code ec;
    const std::string key = "alt=";
    if (const size_t at = notes.find(key); at != std::string::npos) {
        const size_t end = notes.find('\n', at);
        const fs::path p =
            notes.substr(at + key.size(), end == std::string::npos ? end : end - at - key.size());
        if (fs::exists(p, ec)) return p;
    }
    fs::path best;
    long bestN = -1;
    const std::string prefix = target.filename().string() + ".alt";
    for (const auto& p : Leftovers(target)) {
        const std::string n = p.filename().string();
        if (n.rfind(prefix, 0) != 0) continue;
        const std::string digits = n.substr(prefix.size());
        if (digits.empty()) {
            best = p; // the current name wins over numbered ones
            break;
        }
        if (digits.find_first_not_of("0123456789") != std::string::npos || digits.size() > 6) continue;
        if (const long k = std::stol(digits); k > bestN) {
            bestN = k;
            best = p;
        }
    }
    return best;
}

// Returns the swap's own note when the target is in place afterwards.
std::string Recover(const fs::path& target, const std::string& notes) {
    std::error_code ec;
    bool zurueck = false; // the old data is back: what was to follow the new data does not
    if (!fs::exists(fs::symlink_status(target, ec))) {
        const fs::path old = OldData(target, notes);
        if (!old.empty()) {
            fs::rename(old, target, ec);
            zurueck = true;
        }
    }
    for (const auto& p : Leftovers(target))
        fs::remove_all(p, ec);
    if (zurueck || !fs::exists(fs::symlink_status(target, ec))) return {};
    std::string note;
    size_t at = 0;
    while (at < notes.size()) {
        size_t end = notes.find('\n', at);
        if (end == std::string::npos) end = notes.size();
        const std::string line = notes.substr(at, end - at);
        if (!line.empty() && line.rfind("alt=", 0) != 0) note = line;
        at = end + 1;
    }
    return note;
}

mode_t DefaultMode(bool folder) {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return (folder ? 0777 : 0666) & ~mask;
}

std::string Error(const fs::path& target, int err) {
    return "'" + target.string() + "' kann nicht ersetzt werden: " + archive::WriteErrorText(err);
}

// Renames and directory entries reach the disk before the next step relies on them.
void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

bool HasSwapLeftovers(const fs::path& target) {
    std::error_code ec;
    return !Leftovers(target).empty() || fs::exists(WorkLock::MarkerOf(target), ec);
}

std::string RecoverSwap(const fs::path& target) {
    if (!HasSwapLeftovers(target)) return {};
    if (auto lock = WorkLock::Take(WorkLock::MarkerOf(target))) return Recover(target, lock->Notes());
    return {};
}

std::unique_ptr<DataSwap> DataSwap::Begin(const fs::path& target, std::string* error) {
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    std::string why;
    auto lock = WorkLock::Take(WorkLock::MarkerOf(target), &why);
    if (!lock) {
        if (error)
            *error = why.empty() ? "'" + target.string() + "' wird gerade von einem anderen Benutzer ersetzt."
                                 : why;
        return nullptr;
    }
    Recover(target, lock->Notes());
    lock->SetNotes({});
    return std::unique_ptr<DataSwap>(new DataSwap(std::move(lock), target));
}

DataSwap::DataSwap(std::unique_ptr<WorkLock> lock, fs::path target)
    : lock_(std::move(lock)), target_(std::move(target)) {}

DataSwap::~DataSwap() {
    if (state_ != State::Done) Finish();
}

fs::path DataSwap::Staged() const {
    return Beside(target_, ".neu");
}

bool DataSwap::SetNote(const std::string& note) {
    note_ = note;
    return lock_->SetNotes(note_ + "\n");
}

std::string DataSwap::Swap(const SwapStepHook& hook, bool exchange) {
    auto step = [&](const char* name) {
        if (hook) hook(name);
    };
    const fs::path staged = Staged();
    const fs::path old = Beside(target_, ".alt");
    const fs::path folder = target_.parent_path();
    std::error_code ec;
    const bool hadTarget = fs::exists(fs::symlink_status(target_, ec));
    struct stat st {};
    const bool isFolder = fs::is_directory(staged, ec);
    const mode_t mode =
        hadTarget && ::stat(target_.c_str(), &st) == 0 ? st.st_mode & 07777 : DefaultMode(isFolder);
    if (::chmod(staged.c_str(), mode) != 0) return Error(target_, errno);
    // The staged data is on the disk before its name can take the target's place.
    if (const int fd = ::open(staged.c_str(), O_RDONLY | O_CLOEXEC); fd >= 0) {
        const int rc = ::fsync(fd);
        const int err = errno;
        ::close(fd);
        if (rc != 0 && err != EINVAL) return Error(target_, err);
    }
    SyncFolder(folder);
    step("bereit");
    if (!hadTarget) {
        if (::rename(staged.c_str(), target_.c_str()) != 0) return Error(target_, errno);
        state_ = State::Placed;
        SyncFolder(folder);
        step("eingesetzt");
        return {};
    }
    if (exchange && ::renameat2(AT_FDCWD, staged.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE) == 0) {
        state_ = State::Exchanged;
        SyncFolder(folder);
        step("eingesetzt");
        return {};
    }
    if (exchange && errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return Error(target_, errno);
    // No exchange on this file system: the note says where the old data goes before it moves.
    if (!lock_->SetNotes("alt=" + old.string() + "\n" + note_ + "\n")) return Error(target_, errno);
    step("vermerkt");
    if (::rename(target_.c_str(), old.c_str()) != 0) return Error(target_, errno);
    SyncFolder(folder);
    step("beiseite");
    if (::rename(staged.c_str(), target_.c_str()) != 0) {
        const int err = errno;
        ::rename(old.c_str(), target_.c_str());
        return Error(target_, err);
    }
    state_ = State::Moved;
    SyncFolder(folder);
    step("eingesetzt");
    return {};
}

std::string DataSwap::Undo() {
    const fs::path staged = Staged();
    const fs::path old = Beside(target_, ".alt");
    int rc = 0;
    switch (state_) {
    case State::Exchanged:
        rc = ::renameat2(AT_FDCWD, staged.c_str(), AT_FDCWD, target_.c_str(), RENAME_EXCHANGE);
        break;
    case State::Moved:
        rc = ::rename(target_.c_str(), staged.c_str());
        if (rc == 0) rc = ::rename(old.c_str(), target_.c_str());
        break;
    case State::Placed:
        rc = ::rename(target_.c_str(), staged.c_str());
        break;
    default:
        return {};
    }
    if (rc != 0) return Error(target_, errno);
    state_ = State::Staging;
    SyncFolder(target_.parent_path());
    return {};
}

void DataSwap::Finish() {
    std::error_code ec;
    // After an exchange the staged name holds the old data.
    fs::remove_all(Staged(), ec);
    fs::remove_all(Beside(target_, ".alt"), ec);
    state_ = State::Done;
    lock_.reset();
}

} // namespace velu
