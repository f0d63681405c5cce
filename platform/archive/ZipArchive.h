#pragma once
// Zip archives for backup and restore. An archive carries a descriptor: the zip archive comment holds
// "VELUDASI1" LF descriptor LF creation time ("dd.MM.yyyy hh:mm:ss"), all UTF-8. The descriptor names the
// data set; a zip without that comment is no backup. Errors are German texts in the returned result.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velu::archive {

// One file to store: the name inside the archive ("/" separated, relative) and the file it is read from.
struct ArchiveFile {
    std::string name;
    std::filesystem::path source;
};

struct ArchiveInfo {
    std::string descriptor;
    std::string created; // time of the backup as text
};

// Writes the archive anew. libzip writes into a temporary file "<archive>.XXXXXX" beside it and renames it at
// the end, so a failure leaves an existing archive as it was. While it writes, the archive's work marker is
// held; partial archives that a dead writer left beside it go first. Returns an error text, empty on success.
std::string WriteArchive(const std::filesystem::path& archive, const ArchiveInfo& info,
                         const std::vector<ArchiveFile>& files);

// The descriptor and time of an archive; nullopt (with *error) for a missing, damaged or foreign file.
std::optional<ArchiveInfo> ReadInfo(const std::filesystem::path& archive, std::string* error = nullptr);

// Entry names of the archive; nullopt (with *error) when it cannot be read.
std::optional<std::vector<std::string>> ListEntries(const std::filesystem::path& archive,
                                                    std::string* error = nullptr);

// Removes the partial archives beside archive that a dead writer left (its marker is there and free).
void RemoveAbandonedPartials(const std::filesystem::path& archive);

// The sum of the entries' uncompressed sizes as the archive states them; nullopt (with *error) when it
// cannot be read.
std::optional<std::uint64_t> UncompressedSize(const std::filesystem::path& archive,
                                              std::string* error = nullptr);

// Writes len bytes of data to the open file fd; returns 0, or the errno of the failure.
using WriteFn = std::function<int(int fd, const char* data, std::size_t len)>;

// Whether an entry name stays inside the folder it is unpacked into: relative, no "..", no backslash
// escapes, no drive letter.
bool IsSafeEntryName(const std::string& name);

// Unpacks every entry into folder (which must exist). Refuses the whole archive, before writing anything,
// when one entry has an unsafe name or is a link; checks each entry's CRC and reads no entry past the size
// the archive states for it (a longer one is refused as damaged). A failed write (a full disk) is
// reported with the file and its cause, never as a damaged archive. write replaces the plain write (tests).
// Returns an error text, empty on success; on failure part of the entries may have been written into folder.
// Every folder and file is made below folder's descriptor without following links, and no name that
// stands there already is overwritten, so nothing lands outside however the names around are changed.
std::string ExtractAll(const std::filesystem::path& archive, const std::filesystem::path& folder,
                       const WriteFn& write = {});
// The same into the open folder dir; shown names it in messages.
std::string ExtractAllAt(const std::filesystem::path& archive, int dir, const std::filesystem::path& shown,
                         const WriteFn& write = {});

// German text of a failed write's errno.
std::string WriteErrorText(int err);

} // namespace velu::archive
