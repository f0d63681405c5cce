#pragma once
// Puts restored data (a project folder, the projects folder, a database file) in place of the old, so that a
// crash at any moment leaves the old data or the new one whole in the target's place.
//
// Beside the target T the swap uses T.neu (the staged copy), T.alt (the old data while the new goes in) and
// the work marker T.arbeit, held for the whole restore and noting where the old data lies. Where the file
// system can exchange two names in one step it does; else T goes to T.alt and T.neu to T, and a crash between
// the two leaves the note that RecoverSwap follows to put T.alt back. What a dead swap left beside T goes at
// the next start or restore.
//
// The files of one data set are swapped as one (SwapSet): before the first of them goes in, every member's
// marker lists the whole set, each file with the identity (device and inode, which renames keep) of its
// staged and of its old copy. Recovery then finds each copy by identity among T, T.neu and T.alt and rolls
// the set forward when a new copy is in place and every other one in place or staged, else back.
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
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
    // another process works on T or the marker cannot be made.
    static std::unique_ptr<DataSwap> Begin(const std::filesystem::path& target, std::string* error);
    // Without Finish: a staged copy that never went in is removed; a swapped one stays.
    ~DataSwap();
    DataSwap(const DataSwap&) = delete;
    DataSwap& operator=(const DataSwap&) = delete;

    const std::filesystem::path& Target() const { return target_; }
    // Where the new data is to be staged: T.neu.
    std::filesystem::path Staged() const;
    // A note kept with the swap until Finish, for what must follow once the new data is in place (a restored
    // project's entry in the project list); RecoverSwap hands it out after a crash. One line, no "alt=".
    bool SetNote(const std::string& note);
    // Puts the staged copy in T's place with T's mode (or the umask's default where there was no T). The old
    // data stays aside until Finish. Returns a German error, empty on success; on failure T is as before.
    std::string Swap(const SwapStepHook& hook = {}, bool exchange = true);
    // Removes the old data, then the marker.
    void Finish();

private:
    friend class SwapSet;
    enum class State { Staging, Exchanged, Moved, Placed, Done };
    DataSwap(std::unique_ptr<archive::WorkLock> lock, std::filesystem::path target);
    // T's work marker taken, nothing recovered yet.
    static std::unique_ptr<DataSwap> Take(const std::filesystem::path& target, std::string* error);
    std::unique_ptr<archive::WorkLock> lock_;
    std::filesystem::path target_;
    std::string note_;
    State state_ = State::Staging;
    bool imSatz_ = false; // a member of a SwapSet: the set's note stays in the marker
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
// Does nothing while a running process works on T. Returns the dead swap's note (SetNote) when T is in place
// afterwards, else empty.
std::string RecoverSwap(const std::filesystem::path& target);
// True when something of an earlier swap lies beside T.
bool HasSwapLeftovers(const std::filesystem::path& target);

} // namespace velu
