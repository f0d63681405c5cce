#include "core/DataSwap.h"

#include "platform/archive/OfficeEntry.h"
#include "platform/archive/WorkLock.h"
#include "platform/archive/ZipArchive.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
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

// The names a swap of T works under beside it. The staging names must be free when a swap begins, so with a
// marker they are the swap's; T.alt is the swap's only where its note says it set T aside there (a copy the
// user made under that name stays).
constexpr const char* StagingNames[] = {".neu", ".neu-entpackt"};

// What a dead swap of T left beside it, by T's own names only; altNoted: the swap noted T.alt as its own.
std::vector<fs::path> Leftovers(const fs::path& target, bool altNoted) {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const char* suffix : StagingNames)
        if (const fs::path p = Beside(target, suffix); fs::exists(fs::symlink_status(p, ec)))
            out.push_back(p);
    if (const fs::path p = Beside(target, ".alt"); altNoted && fs::exists(fs::symlink_status(p, ec)))
        out.push_back(p);
    return out;
}

void RemoveLeftovers(const fs::path& target, bool altNoted) {
    const archive::UniqueFd folder = archive::OpenFolder(target.parent_path());
    if (!folder) return;
    for (const auto& p : Leftovers(target, altNoted))
        archive::RemoveAt(folder.Get(), p.filename().string()); // a link goes, never what it points to
}

// Whether the entry at p is a plain folder or file (what the program puts beside its data), not a link.
bool Plain(const fs::path& p) {
    const auto st = archive::Entry(p);
    return st && (S_ISDIR(st->st_mode) || S_ISREG(st->st_mode));
}

// Whether a plain note says the old data was set aside at T.alt (Refusal has checked it names no other
// place).
bool AltNoted(const std::string& notes) {
    return notes.rfind("alt=", 0) == 0 || notes.find("\nalt=") != std::string::npos;
}

// Returns the swap's own note when the target is in place afterwards.
std::string Recover(const fs::path& target, const std::string& notes) {
    std::error_code ec;
    const bool altNoted = AltNoted(notes);
    bool zurueck = false; // the old data is back: what was to follow the new data does not
    if (altNoted && !fs::exists(fs::symlink_status(target, ec))) {
        const fs::path old = Beside(target, ".alt");
        // A link a co-worker put there is not the old data: it would put another place in T's.
        if (Plain(old)) {
            fs::rename(old, target, ec);
            zurueck = true;
        }
    }
    RemoveLeftovers(target, altNoted);
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

// The staged name no longer holds what was staged: a co-worker moved it or put something in its place.
std::string Replaced(const fs::path& target) {
    return "Die vorbereitete Kopie '" + target.string() +
           ".neu' wurde während des Zurücklesens verschoben oder "
           "durch etwas anderes ersetzt. Es wurde nichts übernommen; bitte prüfen Sie den Ordner '" +
           target.parent_path().string() + "'.";
}

// A name the swap needs is taken by something no swap made.
std::string NotOurs(const fs::path& target, const fs::path& taken) {
    return "Neben '" + target.string() + "' liegt '" + taken.string() +
           "', das zu keiner Rücksicherung gehört. Es wird nicht überschrieben; bitte benennen Sie es um.";
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
        if (!quelle.empty() && Plain(quelle)) ok = ::rename(quelle.c_str(), m.target.c_str()) == 0 && ok;
        SyncFolder(m.target.parent_path());
    }
    if (!ok) return false;
    for (const auto& m : set)
        RemoveLeftovers(m.target, m.alt && IdOf(Beside(m.target, ".alt")) == m.alt);
    return true;
}

bool Known(const fs::path& p, const std::vector<fs::path>& known) {
    const fs::path n = p.lexically_normal();
    for (const auto& k : known)
        if (k.lexically_normal() == n) return true;
    return false;
}

// Why target's marker is not followed: it names another place than T.alt for the old data, or lists a set
// without T or with a target the caller does not swap. Empty when it may be followed.
std::string Refusal(const fs::path& target, const std::string& notes, const std::vector<fs::path>& known) {
    const fs::path marker = WorkLock::MarkerOf(target);
    auto fremd = [&](const std::string& named) {
        return "Die Arbeitsnotiz '" + marker.string() + "' nennt '" + named + "', das nicht zu '" +
               target.string() +
               "' gehört. Sie wurde nicht befolgt, es wurde nichts verändert; die Notiz bleibt zur Prüfung "
               "liegen.";
    };
    if (const auto set = ParseSet(notes)) {
        bool mitZiel = false;
        for (const auto& m : *set) {
            mitZiel = mitZiel || m.target.lexically_normal() == target.lexically_normal();
            if (m.target.lexically_normal() != target.lexically_normal() && !Known(m.target, known))
                return fremd(m.target.string());
        }
        return mitZiel ? std::string() : fremd(set->front().target.string());
    }
    const fs::path old = Beside(target, ".alt").lexically_normal();
    std::istringstream in(notes);
    for (std::string line; std::getline(in, line);)
        if (line.rfind("alt=", 0) == 0 && fs::path(line.substr(4)).lexically_normal() != old)
            return fremd(line.substr(4));
    return {};
}

// Recovers target after a dead swap, alone or with the set its note lists; returns the swap's own note, or
// nullopt with *refused when the marker is not followed.
std::optional<std::string> RecoverWith(const fs::path& target, const std::string& notes,
                                       const std::map<fs::path, WorkLock*>& held,
                                       const std::vector<fs::path>& known, std::string* refused) {
    if (std::string why = Refusal(target, notes, known); !why.empty()) {
        if (refused) *refused = std::move(why);
        return std::nullopt;
    }
    if (const auto set = ParseSet(notes)) {
        RecoverSet(*set, held);
        return std::string();
    }
    return Recover(target, notes);
}

} // namespace

bool HasSwapLeftovers(const fs::path& target) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(WorkLock::MarkerOf(target), ec));
}

bool IsSwapWork(const fs::path& p) {
    const std::string n = p.string();
    auto target = [&](const std::string& suffix) -> std::optional<fs::path> {
        if (n.size() <= suffix.size() || n.compare(n.size() - suffix.size(), suffix.size(), suffix) != 0)
            return std::nullopt;
        const fs::path t = n.substr(0, n.size() - suffix.size());
        return HasSwapLeftovers(t) ? std::optional(t) : std::nullopt;
    };
    for (const std::string suffix : StagingNames)
        if (target(suffix)) return true;
    if (const auto t = target(".alt")) {
        std::ifstream in(WorkLock::MarkerOf(*t), std::ios::binary);
        const std::string notes(std::istreambuf_iterator<char>(in), {});
        return notes.find("alt=" + n + "\n") != std::string::npos;
    }
    return false;
}

std::string RecoverSwap(const fs::path& target, const std::vector<fs::path>& known, std::string* refused) {
    if (!HasSwapLeftovers(target)) return {};
    auto lock = WorkLock::Take(WorkLock::MarkerOf(target));
    if (!lock) return {};
    const auto note = RecoverWith(target, lock->Notes(), {{target, lock.get()}}, known, refused);
    if (!note) WorkLock::Keep(std::move(lock));
    return note.value_or(std::string());
}

std::unique_ptr<DataSwap> DataSwap::Take(const fs::path& target, std::string* error) {
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    const fs::path marker = WorkLock::MarkerOf(target);
    const bool found = fs::exists(fs::symlink_status(marker, ec));
    std::string why;
    auto lock = WorkLock::Take(marker, &why);
    if (!lock) {
        if (error)
            *error = why.empty() ? "'" + target.string() + "' wird gerade von einem anderen Benutzer ersetzt."
                                 : why;
        return nullptr;
    }
    return std::unique_ptr<DataSwap>(new DataSwap(std::move(lock), target, found));
}

bool DataSwap::Prepare(const std::map<fs::path, WorkLock*>& held, const std::vector<fs::path>& known,
                       std::string* error) {
    if (markerFound_) {
        std::string why;
        if (!RecoverWith(target_, lock_->Notes(), held, known, &why)) {
            if (error) *error = why;
            return false;
        }
    } else if (const auto taken = Leftovers(target_, false); !taken.empty()) {
        // Without a marker these are no swap's: perhaps the user's own copy.
        if (error) *error = NotOurs(target_, taken.front());
        return false;
    }
    lock_->SetNotes({});
    state_ = State::Staging;
    return true;
}

std::unique_ptr<DataSwap> DataSwap::Begin(const fs::path& target, std::string* error) {
    auto swap = Take(target, error);
    if (!swap || !swap->Prepare({{target, swap->lock_.get()}}, {target}, error)) return nullptr;
    return swap;
}

DataSwap::DataSwap(std::unique_ptr<WorkLock> lock, fs::path target, bool markerFound)
    : lock_(std::move(lock)), target_(std::move(target)), markerFound_(markerFound) {}

DataSwap::~DataSwap() {
    if (state_ == State::Taken) {
        // Nothing of this swap happened: a marker found here keeps its notes for whoever looks next.
        if (markerFound_) WorkLock::Keep(std::move(lock_));
        return;
    }
    if (state_ != State::Done) Finish();
}

fs::path DataSwap::Staged() const {
    return Beside(target_, ".neu");
}

fs::path DataSwap::Unpacked() const {
    return Beside(target_, ".neu-entpackt");
}

bool DataSwap::SetNote(const std::string& note) {
    note_ = note;
    return lock_->SetNotes(note_ + "\n");
}

void DataSwap::NoteStaged(const struct stat& st) {
    staged_ = std::pair(st.st_dev, st.st_ino);
}

std::string DataSwap::Swap(const SwapStepHook& hook, bool exchange) {
    auto step = [&](const char* name) {
        if (hook) hook(name);
    };
    const archive::UniqueFd dir = archive::OpenFolder(target_.parent_path());
    if (!dir) return Error(target_, errno);
    const int d = dir.Get();
    const std::string tn = target_.filename().string();
    const std::string sn = Staged().filename().string();
    const std::string an = Beside(target_, ".alt").filename().string();
    const auto targetSt = archive::EntryAt(d, tn);
    if (targetSt && S_ISLNK(targetSt->st_mode)) return archive::LinkText(target_);
    const bool hadTarget = targetSt.has_value();
    // The staged copy is opened without following a link and must be the one the caller staged.
    const auto stagedSt = archive::EntryAt(d, sn);
    const bool isFolder = stagedSt && S_ISDIR(stagedSt->st_mode);
    archive::UniqueFd fd(
        stagedSt && (isFolder || S_ISREG(stagedSt->st_mode))
            ? ::openat(d, sn.c_str(),
                       (isFolder ? O_DIRECTORY : 0) | O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)
            : -1);
    struct stat mine {};
    if (!fd || ::fstat(fd.Get(), &mine) != 0 || !archive::SameEntry(mine, *stagedSt) ||
        (staged_ && (mine.st_dev != staged_->first || mine.st_ino != staged_->second)))
        return Replaced(target_);
    staged_ = std::pair(mine.st_dev, mine.st_ino);
    const mode_t mode = hadTarget ? targetSt->st_mode & 07777 : DefaultMode(isFolder);
    // The group before the mode: changing the group may clear the set-group-ID bit. Not every user may give
    // the old group; the data goes in all the same.
    if (hadTarget) {
        if (::fchown(fd.Get(), static_cast<uid_t>(-1), targetSt->st_gid) != 0 && errno != EPERM)
            return Error(target_, errno);
        if (isFolder && (targetSt->st_mode & S_ISGID)) archive::GroupTree(fd.Get(), targetSt->st_gid);
    }
    if (::fchmod(fd.Get(), mode) != 0) return Error(target_, errno);
    // The staged data is on the disk before its name can take the target's place.
    if (::fsync(fd.Get()) != 0 && errno != EINVAL) return Error(target_, errno);
    ::fsync(d);
    step("bereit");
    // After each rename T must hold what was staged; anything else that took the staged name goes back.
    auto ours = [&] {
        const auto st = archive::EntryAt(d, tn);
        return st && archive::SameEntry(*st, mine);
    };
    if (!hadTarget) {
        if (archive::RenameFree(d, sn, tn) != 0) return Error(target_, errno);
        if (!ours()) {
            archive::RenameFree(d, tn, sn);
            return Replaced(target_);
        }
        state_ = State::Placed;
        ::fsync(d);
        step("eingesetzt");
        return {};
    }
    if (exchange && ::renameat2(d, sn.c_str(), d, tn.c_str(), RENAME_EXCHANGE) == 0) {
        if (!ours()) {
            ::renameat2(d, sn.c_str(), d, tn.c_str(), RENAME_EXCHANGE);
            ::fsync(d);
            return Replaced(target_);
        }
        state_ = State::Exchanged;
        ::fsync(d);
        step("eingesetzt");
        return {};
    }
    if (exchange && errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return Error(target_, errno);
    // No exchange on this file system: the old data goes to T.alt, which must not be the user's.
    const fs::path old = Beside(target_, ".alt");
    if (archive::EntryAt(d, an)) return NotOurs(target_, old);
    // The note says where the old data goes before it moves (a set's note finds it by its identity).
    if (!imSatz_) {
        if (!lock_->SetNotes("alt=" + old.string() + "\n" + note_ + "\n")) return Error(target_, errno);
        step("vermerkt");
    }
    if (archive::RenameFree(d, tn, an) != 0) return Error(target_, errno);
    ::fsync(d);
    step("beiseite");
    if (archive::RenameFree(d, sn, tn) != 0 || !ours()) {
        const int err = errno;
        // Whatever took T's name goes to a work name of the swap (removed with its leftovers), the old data
        // back to T.
        const bool fremd = archive::EntryAt(d, tn).has_value();
        if (fremd) archive::RenameFree(d, tn, Unpacked().filename().string());
        archive::RenameFree(d, an, tn);
        ::fsync(d);
        return fremd ? Replaced(target_) : Error(target_, err);
    }
    state_ = State::Moved;
    ::fsync(d);
    step("eingesetzt");
    return {};
}

void DataSwap::Finish() {
    // Only what this swap made or set aside: after an exchange the staged name holds the old data, and
    // before one only the copy staged is removed, never what a co-worker put under its name.
    const archive::UniqueFd dir = archive::OpenFolder(target_.parent_path());
    if (dir) {
        const std::string sn = Staged().filename().string();
        const auto st = archive::EntryAt(dir.Get(), sn);
        const bool staged =
            st && (!staged_ || (st->st_dev == staged_->first && st->st_ino == staged_->second));
        if ((state_ == State::Staging && staged) || state_ == State::Exchanged)
            archive::RemoveAt(dir.Get(), sn);
        if (state_ == State::Moved) archive::RemoveAt(dir.Get(), Beside(target_, ".alt").filename().string());
    }
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
    for (auto& m : set->members_)
        if (!m->Prepare(held, targets, error)) return nullptr;
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
        if (const archive::UniqueFd dir = archive::OpenFolder(m->target_.parent_path()))
            archive::RemoveAt(dir.Get(), m->Staged().filename().string());
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
