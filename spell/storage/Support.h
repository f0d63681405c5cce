#pragma once
// Support routines of the library: per-process state blocks, movable memory with a lock count, text and
// path routines and the key codes of immediate checking.
#include "platform/win32/Win32Types.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace wortex {

// One node per process that uses a kind of state; the chain starts at the root.
struct ProcessDataNode {
    ProcessDataNode* next;
    win32::DWORD processId;
    ProcessDataNode* first; // the root's first node, kept current when the first node goes
    win32::HGLOBAL block;
    std::uint16_t useCount;
    std::uint16_t size;
};

struct ProcessDataRoot {
    ProcessDataNode* first = nullptr;
};

int CreateProcessData(ProcessDataRoot& root, std::uint16_t size);
int ReleaseProcessData(ProcessDataRoot& root);
void* LockProcessData(ProcessDataRoot& root);
void UnlockProcessData(ProcessDataRoot& root);
int GetProcessDataUseCount(const ProcessDataRoot& root);

// A movable block whose first byte counts the locks taken through LockBlock; callers see the bytes after
// its head.
constexpr std::size_t kMaxBlockSize = 65534;
win32::HGLOBAL AllocBlock(std::size_t size);
void* LockBlock(win32::HGLOBAL block);
void UnlockBlock(win32::HGLOBAL block);
void FreeBlock(win32::HGLOBAL block);

// Returns the length written; the buffer needs room for 33 characters and the width.
int IntToString(std::int32_t value, char* buffer, int radix, int width);
constexpr std::size_t kNotFound = 65000;
std::size_t FindText(const char* pattern, std::size_t patternLength, const char* text, std::size_t start,
                     bool ignoreCase);
void DeleteText(char* text, std::size_t position, std::size_t count);
// capacity is the size of text's buffer; false (text unchanged) when the result would not fit.
bool InsertText(char* text, std::size_t capacity, std::size_t position, const char* string);
int ReplaceAll(const char* find, const char* replace, std::size_t start, char* text, std::size_t capacity);
void FillBytes(void* address, unsigned char byte, std::uint32_t count);
void TrimRight(char* buffer, std::size_t capacity);
int MessageBoxFromString(win32::HINSTANCE module, win32::HWND owner, win32::UINT id,
                         const std::string& caption, win32::UINT style);
int MatchCapitals(const char* model, char* text);

void AppendBackslash(std::string& path);
std::string CurrentDirectory();
// 0 when the path does not exist, else 1; isDirectory tells a directory.
int FileExists(const std::string& path, bool* isDirectory);
void SplitFileName(std::string& path, std::string& name);
// The directory of the library's own file, with a trailing "\"; the module handle is not needed here.
std::string ModuleDirectory(win32::HINSTANCE module);
bool ResolvePath(std::string& path);
std::string MakeTempFileName();
int LineEnd(char* buffer);
std::uint32_t Ticks();

std::uint16_t TranslateKeyMessage(win32::UINT message, win32::WPARAM parameter);

} // namespace wortex
