#pragma once
// Marks work in progress on files beside it (a backup's snapshots, a restore's staging and swap, a partial
// archive): a small file "<name>.arbeit" with an exclusive OFD lock, taken before the work leaves anything
// behind and removed after it has cleaned up. Whoever can take the lock of a marker finds the work of a dead
// process: what it left may go. The marker holds a few lines of text, the notes a recovery needs.
#include <filesystem>
#include <memory>
#include <string>

namespace velu::archive {

class WorkLock {
public:
    // The marker of the work on target: "<target>.arbeit".
    static std::filesystem::path MarkerOf(const std::filesystem::path& target);
    // Creates or opens the marker and locks it; nullptr when a running process holds it, or (with *error)
    // when it cannot be made. Notes of a dead owner stay readable through Notes().
    static std::unique_ptr<WorkLock> Take(const std::filesystem::path& marker, std::string* error = nullptr);
    // A new marker "<folder>/<prefix><random>.arbeit" that names nothing yet: its work item is the marker's
    // path without ".arbeit".
    static std::unique_ptr<WorkLock> TakeNew(const std::filesystem::path& folder, const std::string& prefix,
                                             std::string* error = nullptr);

    // Removes the marker and lets go.
    ~WorkLock();
    // Lets go and leaves the marker as it is: a marker whose notes this process does not follow stays for the
    // user to look at, and a dead owner's stays for the next recovery.
    static void Keep(std::unique_ptr<WorkLock> lock);
    WorkLock(const WorkLock&) = delete;
    WorkLock& operator=(const WorkLock&) = delete;

    const std::filesystem::path& Marker() const { return marker_; }
    // The marker's path without ".arbeit".
    std::filesystem::path Item() const;
    // Replaces the notes and flushes them to the disk; false when that failed.
    bool SetNotes(const std::string& text);
    std::string Notes() const;

private:
    WorkLock(int fd, std::filesystem::path marker) : fd_(fd), marker_(std::move(marker)) {}
    int fd_;
    std::filesystem::path marker_;
};

// True when path names the marker of a work item.
bool IsWorkMarker(const std::filesystem::path& path);

} // namespace velu::archive
