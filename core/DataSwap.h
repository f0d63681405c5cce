#pragma once
// Puts restored data (a project folder, the projects folder, a database file) in place of the old, so that a
// crash at any moment leaves the old data or the new one whole in the target's place.
//
// The names lie in the shared office folder, where a co-worker may rename or plant entries at any moment:
// the staged copy is given its mode and group through its descriptor, goes in only while it is the copy the
// caller staged, and is taken out again when anything else took its name's place; recovery puts back only a
// plain folder or file, never a link.
//
// Beside the target T the swap uses T.neu (the staged copy), T.alt (the old data while the new goes in),
// T.neu-entpackt (where single files are unpacked) and the work marker T.arbeit, held for the whole restore.
// Where the file system can exchange two names in one step it does; else T goes to T.alt and T.neu to T, and
// a crash between the two leaves the note that RecoverSwap follows to put T.alt back. Only those exact names
// (T.alt only where the swap noted that it put the old data there), and only while T's marker shows a dead
// swap, are leftovers; anything else beside T is the user's.
//
// The files of one data set are swapped as one (SwapSet): before the first of them goes in, every member's
// marker lists the whole set, each file with the identity (device and inode, which renames keep) of its
// staged and of its old copy. Recovery then finds each copy by identity among T, T.neu and T.alt and rolls
// the set forward when a new copy is in place and every other one in place or staged, else back.
//
// A marker lies in a shared folder and anyone may have written it: recovery acts on T's own names only, and a
// marker that names any other place, or a set with a target the caller does not swap, is left alone.
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace velu::archive {
class WorkLock;
}

namespace velu {

class SwapSet;

// Called between the steps of a swap with the step's name (tests end the process there).
using SwapStepHook = std::function<void(const char* step)>;

class DataSwap {
public:
    // Takes T's work marker, first recovering what a dead swap of T left. nullptr with a German *error when
    // another process works on T, the marker cannot be made or names other places, or T.neu, T.alt or
    // T.neu-entpackt lie beside T without a marker (they are not the program's to overwrite).
    static std::unique_ptr<DataSwap> Begin(const std::filesystem::path& target, std::string* error);
    // Without Finish: a staged copy that never went in is removed; a swapped one stays.
    ~DataSwap();
    DataSwap(const DataSwap&) = delete;
    DataSwap& operator=(const DataSwap&) = delete;

    const std::filesystem::path& Target() const { return target_; }
    // Where the new data is to be staged: T.neu.
    std::filesystem::path Staged() const;
    // A work folder for unpacking single files: T.neu-entpackt. Its maker removes it; a dead one's goes with
    // the other leftovers.
    std::filesystem::path Unpacked() const;
    // The identity of what the caller staged at T.neu (made there exclusively): the swap puts nothing else in
    // T's place, whatever a co-worker has done to the name since.
    void NoteStaged(const struct stat& st);
    // A note kept with the swap until Finish, for what must follow once the new data is in place (a restored
    // project's entry in the project list); RecoverSwap hands it out after a crash. One line, no "alt=".
    bool SetNote(const std::string& note);
    // Puts the staged copy in T's place with T's mode and, where the process may give it, T's group (or the
    // umask's default where there was no T). The old data stays aside until Finish. Returns a German error,
    // empty on success; on failure T is as before.
    std::string Swap(const SwapStepHook& hook = {}, bool exchange = true);
    // Removes the old data, then the marker.
    void Finish();

private:
    friend class SwapSet;
    // Taken: the marker is held, nothing recovered or checked yet; a marker found there stays when the swap
    // goes without getting further.
    enum class State { Taken, Staging, Exchanged, Moved, Placed, Done };
    DataSwap(std::unique_ptr<archive::WorkLock> lock, std::filesystem::path target, bool markerFound);
    // T's work marker taken, nothing recovered yet.
    static std::unique_ptr<DataSwap> Take(const std::filesystem::path& target, std::string* error);
    // Recovers what a dead swap left (held: the markers this process holds, known: the targets a noted set
    // may name), or refuses where the swap's names are taken without a marker. False with a German *error.
    bool Prepare(const std::map<std::filesystem::path, archive::WorkLock*>& held,
                 const std::vector<std::filesystem::path>& known, std::string* error);
    std::unique_ptr<archive::WorkLock> lock_;
    std::filesystem::path target_;
    bool markerFound_; // the marker was there before this swap took it: a dead swap's
    std::string note_;
    State state_ = State::Taken;
    bool imSatz_ = false; // a member of a SwapSet: the set's note stays in the marker
    std::optional<std::pair<dev_t, ino_t>> staged_;
};

// Several files that belong together (a data set of more than one database), swapped so that a crash at any
// moment leaves all of them old or all new once recovered. One target works as a plain DataSwap.
class SwapSet {
public:
    // Takes every target's work marker, then recovers what dead swaps of them left. nullptr with a German
    // *error as DataSwap::Begin.
    static std::unique_ptr<SwapSet> Begin(const std::vector<std::filesystem::path>& targets,
                                          std::string* error);
    ~SwapSet();
    SwapSet(const SwapSet&) = delete;
    SwapSet& operator=(const SwapSet&) = delete;

    size_t Size() const { return members_.size(); }
    DataSwap& operator[](size_t i) { return *members_[i]; }
    // Puts every staged copy in its target's place. Returns a German error, empty on success; on failure
    // every target holds its old data again.
    std::string Swap(const SwapStepHook& hook = {}, bool exchange = true);
    // Removes the old data and the markers, member by member (the hook sees "abgeschlossen" after each).
    void Finish(const SwapStepHook& hook = {});

private:
    SwapSet() = default;
    std::map<std::filesystem::path, archive::WorkLock*> Held() const;
    std::vector<std::unique_ptr<DataSwap>> members_;
};

// Recovers T after a dead swap: puts whole old data back where T's place is empty and removes the leftovers.
// Does nothing while a running process works on T, nor where there is no marker. Returns the dead swap's note
// (SetNote) when T is in place afterwards, else empty. known: the targets the caller swaps, which a set noted
// in the marker may name besides T; a marker naming anything else is left as it is, and *refused says so in
// German.
std::string RecoverSwap(const std::filesystem::path& target,
                        const std::vector<std::filesystem::path>& known = {}, std::string* refused = nullptr);
// True when T's marker lies beside it: a swap of T runs or died.
bool HasSwapLeftovers(const std::filesystem::path& target);
// True when p is T.neu, T.alt or T.neu-entpackt of some T whose marker lies beside it: work of a swap, not
// data.
bool IsSwapWork(const std::filesystem::path& p);

} // namespace velu
