#pragma once
// Entries below the shared office folder, reached without following links. Co-workers who share the office
// group can rename, remove and plant names there at any moment, so no write of the program goes by a name
// twice: a folder is opened once (O_DIRECTORY | O_NOFOLLOW) and what lies in it is made, opened, renamed,
// removed and given its mode and group relative to that descriptor; new names are made exclusively (a
// name that stands there already is refused, never overwritten), and an opened entry is checked by its
// descriptor (a plain file or folder, not a FIFO or device).
//
// The rule for data: a project folder, database or other data file that is a link is not the office's data
// and is refused, with LinkText naming it; the office folder itself may be reached through a link.
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace velu::archive {

// An open file descriptor, closed with the object.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd();
    UniqueFd(UniqueFd&& o) noexcept : fd_(o.Release()) {}
    UniqueFd& operator=(UniqueFd&& o) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_ = -1;
};

// Opens a folder by its path; its last component must not be a link (the ones before it may: the office
// folder as configured). Invalid with errno set when it cannot.
UniqueFd OpenFolder(const std::filesystem::path& folder);
// Opens the folder name in dir without following a link; create: makes it first where it is missing.
UniqueFd OpenFolderAt(int dir, const std::string& name, bool create = false);
// Makes the folder name in dir exclusively with mode 0700 and opens it; invalid (EEXIST) when anything
// stands there.
UniqueFd CreateFolderAt(int dir, const std::string& name);
// Makes the file name in dir exclusively for writing (mode before the umask).
UniqueFd CreateFileAt(int dir, const std::string& name, mode_t mode = 0600);
// Renames from to to in the folder dir unless to exists (EEXIST); where the file system cannot say so in one
// step, by looking first. 0, or -1 with errno set.
int RenameFree(int dir, const std::string& from, const std::string& to);
// Opens a plain file for reading without blocking and without following a link: a FIFO, device, folder or
// link in its place is refused (errno EINVAL, ELOOP or EISDIR).
UniqueFd OpenPlainFile(const std::filesystem::path& file);
UniqueFd OpenPlainFileAt(int dir, const std::string& name);

// The entry name in dir as it is (a link as a link); nullopt when there is none.
std::optional<struct stat> EntryAt(int dir, const std::string& name);
// The entry at path as it is; nullopt when there is none.
std::optional<struct stat> Entry(const std::filesystem::path& path);
bool SameEntry(const struct stat& a, const struct stat& b);
// A path that reaches the folder or file fd refers to, wherever its name has gone since it was opened.
std::filesystem::path PathOf(int fd);

// Gives every entry below the folder dir (not dir itself) the group gid, without following links; entries
// the process may not give it stay as they are.
void GroupTree(int dir, gid_t gid);
// Removes the entry name of dir with everything below it, without following links. 0 or the errno.
int RemoveAt(int dir, const std::string& name);

// Whether the entry at path is a link (the path's last component).
bool IsLink(const std::filesystem::path& path);
// "'<path>' ist eine Verknüpfung …": why a link is not taken as the office's data, and what to do.
std::string LinkText(const std::filesystem::path& path);

} // namespace velu::archive
