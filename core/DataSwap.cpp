#include "core/DataSwap.h"

#include "platform/archive/WorkLock.h"
#include "platform/archive/ZipArchive.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>
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

// Flushes a staged file or folder; 0 or the error number (a folder that cannot be synced counts as done).
int SyncEntry(const fs::path& p) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    const int rc = ::fsync(fd);
    const int err = errno;
    ::close(fd);
    return rc != 0 && err != EINVAL ? err : 0;
}

// A copy's identity, which renames keep.
struct Id {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const Id&) const = default;
};

std::optional<Id> IdOf(const fs::path& p) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0) return std::nullopt;
    return Id{st.st_dev, st.st_ino};
}

std::string Text(const std::optional<Id>& id) {
    return id ? std::to_string(id->dev) + ":" + std::to_string(id->ino) : "-";
}

// A member of a set as its note lists it: the target, its staged copy and its old copy (none where the
// target did not exist).
struct Mitglied {
    fs::path target;
    Id neu;
    std::optional<Id> alt;
};

// The note of a set: "satz", one line "<new>\t<old>\t<target>" per member, "ende". A note cut short by a
// crash while it was written lists no set: it was written before anything was swapped.
std::string SetNote(const std::vector<Mitglied>& set) {
    std::string out = "satz\n";
    for (const auto& m : set)
        out += Text(m.neu) + "\t" + Text(m.alt) + "\t" + m.target.string() + "\n";
    return out + "ende\n";
}

std::optional<Id> ParseId(const std::string& s) {
    const size_t colon = s.find(':');
    if (colon == std::string::npos) return std::nullopt;
    try {
        size_t a = 0, b = 0;
        const unsigned long long dev = std::stoull(s.substr(0, colon), &a);
        const unsigned long long ino = std::stoull(s.substr(colon + 1), &b);
        if (a != colon || b != s.size() - colon - 1) return std::nullopt;
        return Id{static_cast<dev_t>(dev), static_cast<ino_t>(ino)};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<std::vector<Mitglied>> ParseSet(const std::string& notes) {
    std::istringstream in(notes);
    std::string line;
    if (!std::getline(in, line) || line != "satz") return std::nullopt;
    std::vector<Mitglied> set;
    while (std::getline(in, line)) {
        if (line == "ende") return set.empty() ? std::nullopt : std::optional(set);
        const size_t t1 = line.find('\t');
        const size_t t2 = t1 == std::string::npos ? t1 : line.find('\t', t1 + 1);
        if (t2 == std::string::npos) return std::nullopt;
        Mitglied m;
        const auto neu = ParseId(line.substr(0, t1));
        const std::string alt = line.substr(t1 + 1, t2 - t1 - 1);
        m.target = line.substr(t2 + 1);
        if (!neu || m.target.empty() || (alt != "-" && !ParseId(alt))) return std::nullopt;
        m.neu = *neu;
        if (alt != "-") m.alt = ParseId(alt);
        set.push_back(std::move(m));
    }
    return std::nullopt;
}

// Where the copy id lies among the names a swap of target uses, empty when it is gone.
fs::path Finde(const fs::path& target, const Id& id) {
    for (const fs::path& p : {target, Beside(target, ".neu"), Beside(target, ".alt")})
        if (IdOf(p) == id) return p;
    return {};
}

// Brings every member of a dead or failed set to its new data or every one back to its old, then removes
// what the swaps left. held: the markers this process holds; the others are taken for the time of the
// recovery, and nothing is done while a running process holds one. False when that is so or a rename failed.
bool RecoverSet(const std::vector<Mitglied>& set, const std::map<fs::path, WorkLock*>& held) {
    std::vector<std::unique_ptr<WorkLock>> taken;
    for (const auto& m : set)
        if (!held.count(m.target)) {
            auto lock = WorkLock::Take(WorkLock::MarkerOf(m.target));
            if (!lock) return false;
            taken.push_back(std::move(lock));
        }
    bool alleDa = true, eineDrin = false;
    for (const auto& m : set) {
        const fs::path neu = Finde(m.target, m.neu);
        alleDa = alleDa && (neu == m.target || neu == Beside(m.target, ".neu"));
        eineDrin = eineDrin || neu == m.target;
    }
    const bool vorwaerts = alleDa && eineDrin;
    bool ok = true;
    for (const auto& m : set) {
        const fs::path neu = Finde(m.target, m.neu);
        fs::path quelle;
        if (vorwaerts) {
            if (neu != m.target) quelle = neu;
        } else if (m.alt) {
            if (const fs::path alt = Finde(m.target, *m.alt); !alt.empty() && alt != m.target) quelle = alt;
        } else if (neu == m.target) {
            ok = ::unlink(m.target.c_str()) == 0 && ok; // the set's new file where there was none
        }
        if (!quelle.empty()) ok = ::rename(quelle.c_str(), m.target.c_str()) == 0 && ok;
        SyncFolder(m.target.parent_path());
    }
    if (!ok) return false;
    std::error_code ec;
    for (const auto& m : set)
        for (const auto& p : Leftovers(m.target))
            fs::remove_all(p, ec);
    return true;
}

// Recovers target after a dead swap, alone or with the set its note lists; returns the swap's own note.
std::string RecoverWith(const fs::path& target, const std::string& notes,
                        const std::map<fs::path, WorkLock*>& held) {
    if (const auto set = ParseSet(notes)) {
        RecoverSet(*set, held);
        return {};
    }
    return Recover(target, notes);
}

} // namespace

bool HasSwapLeftovers(const fs::path& target) {
    std::error_code ec;
    return !Leftovers(target).empty() || fs::exists(WorkLock::MarkerOf(target), ec);
}

std::string RecoverSwap(const fs::path& target) {
    if (!HasSwapLeftovers(target)) return {};
    if (auto lock = WorkLock::Take(WorkLock::MarkerOf(target)))
        return RecoverWith(target, lock->Notes(), {{target, lock.get()}});
    return {};
}

std::unique_ptr<DataSwap> DataSwap::Take(const fs::path& target, std::string* error) {
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
    return std::unique_ptr<DataSwap>(new DataSwap(std::move(lock), target));
}

std::unique_ptr<DataSwap> DataSwap::Begin(const fs::path& target, std::string* error) {
    auto swap = Take(target, error);
    if (!swap) return nullptr;
    RecoverWith(target, swap->lock_->Notes(), {{target, swap->lock_.get()}});
    swap->lock_->SetNotes({});
    return swap;
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
    if (const int err = SyncEntry(staged)) return Error(target_, err);
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
    // No exchange on this file system: the note says where the old data goes before it moves (a set's note
    // finds it by its identity).
    if (!imSatz_) {
        if (!lock_->SetNotes("alt=" + old.string() + "\n" + note_ + "\n")) return Error(target_, errno);
        step("vermerkt");
    }
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

void DataSwap::Finish() {
    std::error_code ec;
    // After an exchange the staged name holds the old data.
    fs::remove_all(Staged(), ec);
    fs::remove_all(Beside(target_, ".alt"), ec);
    state_ = State::Done;
    lock_.reset();
}

std::unique_ptr<SwapSet> SwapSet::Begin(const std::vector<fs::path>& targets, std::string* error) {
    std::unique_ptr<SwapSet> set(new SwapSet);
    for (const auto& t : targets) {
        auto m = DataSwap::Take(t, error);
        if (!m) return nullptr;
        set->members_.push_back(std::move(m));
    }
    // All markers are held first: a dead set's recovery needs every member's.
    const auto held = set->Held();
    for (auto& m : set->members_) {
        RecoverWith(m->target_, m->lock_->Notes(), held);
        m->lock_->SetNotes({});
    }
    return set;
}

SwapSet::~SwapSet() = default;

std::map<fs::path, WorkLock*> SwapSet::Held() const {
    std::map<fs::path, WorkLock*> out;
    for (const auto& m : members_)
        if (m->lock_) out[m->target_] = m->lock_.get();
    return out;
}

std::string SwapSet::Swap(const SwapStepHook& hook, bool exchange) {
    if (members_.size() == 1) return members_.front()->Swap(hook, exchange);
    // Every staged copy whole on the disk, then the set noted in every member's marker, before the first
    // swap.
    std::vector<Mitglied> set;
    for (const auto& m : members_) {
        if (m->target_.string().find('\n') != std::string::npos) return Error(m->target_, EINVAL); // one line
        const auto neu = IdOf(m->Staged());
        if (!neu) return Error(m->target_, ENOENT);
        if (const int err = SyncEntry(m->Staged())) return Error(m->target_, err);
        SyncFolder(m->target_.parent_path());
        set.push_back({m->target_, *neu, IdOf(m->target_)});
    }
    const std::string note = SetNote(set);
    for (auto& m : members_) {
        if (!m->lock_->SetNotes(note)) return Error(m->target_, errno);
        m->imSatz_ = true;
    }
    if (hook) hook("vorgemerkt");
    for (auto& m : members_) {
        std::string why = m->Swap(hook, exchange);
        if (why.empty()) continue;
        // This member's new copy goes first, so that a crash from here on brings the whole set back.
        std::error_code ec;
        fs::remove_all(m->Staged(), ec);
        SyncFolder(m->target_.parent_path());
        if (!RecoverSet(set, Held())) {
            // Left to the next start, which finds the set in the markers kept for it.
            for (auto& k : members_) {
                (void)k->lock_.release();
                k->state_ = DataSwap::State::Done;
            }
            return why;
        }
        for (auto& k : members_) {
            k->state_ = DataSwap::State::Staging;
            k->lock_->SetNotes({});
        }
        return why;
    }
    return {};
}

void SwapSet::Finish(const SwapStepHook& hook) {
    for (auto& m : members_) {
        m->Finish();
        if (hook && members_.size() > 1) hook("abgeschlossen");
    }
}

} // namespace velu
