#pragma once
// The lock that the writers of a file share: an open-file-description lock on all of "<file>.lck" beside it.
// OFD locks hold between processes and between threads of one process. The .lck file stays (removing it
// while another holder has it open would break the lock).
#include <chrono>
#include <filesystem>
#include <string>

namespace velu::db {

enum class LockResult { Ok, Held, Failed };

std::filesystem::path LockPath(const std::filesystem::path& file);

// Opens "<file>.lck", never through a link, and locks it without waiting; *fd receives the descriptor on Ok,
// *why the reason on Failed.
LockResult LockFile(const std::filesystem::path& file, bool exclusive, int* fd, std::string* why = nullptr);

// As LockFile, trying again while another holder has the lock, for at most wait.
LockResult LockFileWaiting(const std::filesystem::path& file, bool exclusive, std::chrono::milliseconds wait,
                           int* fd, std::string* why = nullptr);

} // namespace velu::db
