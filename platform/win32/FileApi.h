#pragma once
// Files of the Win32 stand-in over POSIX descriptors. Byte-range locks are open-file-description locks, so
// two opens of one file conflict even within one process, as two Win32 handles would. Paths may use "\"
// or "/" as separator.
#include "platform/win32/Win32Types.h"

#include <cstdint>
#include <functional>
#include <string>

namespace win32 {

// Returns 0 (not INVALID_HANDLE_VALUE) on failure, also when the share flags of this or another open
// forbid it (checked through locks, so between any two opens, in one process or several).
HANDLE CreateFile(const std::string& path, DWORD access, DWORD share, DWORD disposition);
// The temporary file that is to replace target by a rename: created exclusively (read and write, share
// none), never through a link, with the permission bits of target when it exists (else the umask's
// default), so the replacement keeps the mode of the file it replaces. A regular file left at temp by an
// interrupted write is removed first; a link or anything else there makes it fail (0).
HANDLE CreateReplacementFile(const std::string& temp, const std::string& target);
bool CloseHandle(HANDLE h);
bool ReadFile(HANDLE h, void* buffer, DWORD length, DWORD* read);
bool WriteFile(HANDLE h, const void* buffer, DWORD length, DWORD* written);
// Positioned forms that leave the file pointer alone.
bool ReadFileAt(HANDLE h, std::uint64_t offset, void* buffer, DWORD length, DWORD* read);
bool WriteFileAt(HANDLE h, std::uint64_t offset, const void* buffer, DWORD length, DWORD* written);
DWORD SetFilePointer(HANDLE h, std::int32_t distance, DWORD method);
bool FlushFileBuffers(HANDLE h);
DWORD GetFileSize(HANDLE h);
bool SetEndOfFile(HANDLE h);
bool LockFileEx(HANDLE h, DWORD flags, std::uint64_t offset, std::uint64_t length);
bool UnlockFileEx(HANDLE h, std::uint64_t offset, std::uint64_t length);

bool DeleteFile(const std::string& path);
bool MoveFileEx(const std::string& from, const std::string& to, DWORD flags);
DWORD GetFileAttributes(const std::string& path);

// Turns "\" into "/" and makes the path absolute against the current directory, lexically.
std::string GetFullPathName(const std::string& path);
// Looks a bare name up in the current directory, then along PATH; empty when not found.
std::string SearchPath(const std::string& name);
// The current directory, without a trailing separator.
std::string GetCurrentDirectory();
// The temporary directory with a trailing "/", empty when there is none.
std::string GetTempPath();
// The identity of a file: the absolute path with links resolved; a last element that does not exist as
// spelled is matched against the directory's entries without regard to case. Empty when the directory
// does not exist.
std::string CanonicalPath(const std::string& path);

// Fault injection for tests: the hook is asked before each write, flush, truncation or rename and fails
// the call when it returns true.
enum class FileOp { Write, Flush, Truncate, Rename, Read };
void SetFileFaultHook(std::function<bool(FileOp)> hook);
// Tracing for tests: the hook sees every positioned read and write (ReadFileAt, WriteFileAt) before it
// happens, with the offset and the length asked. Never asked with Read for faults.
void SetFileTraceHook(std::function<void(FileOp, std::uint64_t offset, DWORD length)> hook);

} // namespace win32
