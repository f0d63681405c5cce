#include "Support.h"
#include "Letters.h"

#include "platform/win32/FileApi.h"
#include "platform/win32/GlobalMemory.h"
#include "platform/win32/Kernel.h"
#include "platform/win32/StringTable.h"
#include "platform/win32/UiServices.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <unistd.h>

namespace wortex {

using namespace win32;

namespace {

ProcessDataNode* findNode(const ProcessDataRoot& root, DWORD pid) {
    for (ProcessDataNode* n = root.first; n; n = n->next)
        if (n->processId == pid) return n;
    return nullptr;
}

void beep(int times) {
    for (int i = 0; i < times; ++i)
        MessageBeep(MB_OK);
}

} // namespace

int CreateProcessData(ProcessDataRoot& root, std::uint16_t size) {
    DWORD pid = GetCurrentProcessId();
    if (ProcessDataNode* n = findNode(root, pid)) {
        if (n->useCount < 0xFFFF) ++n->useCount;
        return 0;
    }
    HGLOBAL block = AllocBlock(size);
    if (!block) return 0;
    auto* node = new ProcessDataNode{nullptr, pid, root.first, block, 1, size};
    if (!root.first) {
        root.first = node;
        node->first = node;
    } else {
        ProcessDataNode* last = root.first;
        while (last->next)
            last = last->next;
        last->next = node;
    }
    return 1;
}

int ReleaseProcessData(ProcessDataRoot& root) {
    ProcessDataNode* node = findNode(root, GetCurrentProcessId());
    if (!node || node->useCount == 0) return 0;
    if (--node->useCount > 0) return 0;
    FreeBlock(node->block);
    if (root.first == node) {
        root.first = node->next;
        for (ProcessDataNode* n = root.first; n; n = n->next)
            n->first = root.first;
    } else {
        ProcessDataNode* prev = root.first;
        while (prev->next != node)
            prev = prev->next;
        prev->next = node->next;
    }
    delete node;
    return 1;
}

void* LockProcessData(ProcessDataRoot& root) {
    ProcessDataNode* node = findNode(root, GetCurrentProcessId());
    return node ? LockBlock(node->block) : nullptr;
}

void UnlockProcessData(ProcessDataRoot& root) {
    if (ProcessDataNode* node = findNode(root, GetCurrentProcessId())) UnlockBlock(node->block);
}

int GetProcessDataUseCount(const ProcessDataRoot& root) {
    ProcessDataNode* node = findNode(root, GetCurrentProcessId());
    return node ? node->useCount : 0;
}

// The lock count sits in the first byte; the caller's bytes start after a 16-byte head so that state
// blocks holding addresses are aligned.
constexpr std::size_t kBlockHead = 16;

HGLOBAL AllocBlock(std::size_t size) {
    if (size > kMaxBlockSize) return 0;
    return GlobalAlloc(GHND, size + kBlockHead);
}

void* LockBlock(HGLOBAL block) {
    auto* p = static_cast<unsigned char*>(GlobalLock(block));
    if (!p) return nullptr;
    if (p[0] < 255) ++p[0];
    if (p[0] > 200) beep(2);
    return p + kBlockHead;
}

void UnlockBlock(HGLOBAL block) {
    auto* p = static_cast<unsigned char*>(GlobalLock(block));
    if (!p) return;
    if (p[0] == 0) {
        beep(3);
        GlobalUnlock(block);
        return;
    }
    --p[0];
    GlobalUnlock(block);
    GlobalUnlock(block);
}

void FreeBlock(HGLOBAL block) {
    GlobalFree(block);
}

int IntToString(std::int32_t value, char* buffer, int radix, int width) {
    static const char digits[] = "0123456789ABCDEF";
    if (radix < 2 || radix > 16) radix = 10;
    char tmp[40];
    int n = 0;
    bool negative = value < 0;
    std::uint32_t v = negative ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    do {
        tmp[n++] = digits[v % static_cast<std::uint32_t>(radix)];
        v /= static_cast<std::uint32_t>(radix);
    } while (v);
    if (negative) tmp[n++] = '-';
    int len = 0;
    for (int pad = width - n; pad > 0; --pad)
        buffer[len++] = radix == 10 ? ' ' : '0';
    while (n)
        buffer[len++] = tmp[--n];
    buffer[len] = 0;
    return len;
}

std::size_t FindText(const char* pattern, std::size_t patternLength, const char* text, std::size_t start,
                     bool ignoreCase) {
    std::size_t len = std::strlen(text);
    if (start > len || patternLength > len) return kNotFound;
    for (std::size_t i = start; i + patternLength <= len; ++i) {
        std::size_t k = 0;
        for (; k < patternLength; ++k) {
            auto a = static_cast<unsigned char>(text[i + k]), b = static_cast<unsigned char>(pattern[k]);
            if (ignoreCase ? AnsiToUpper(a) != AnsiToUpper(b) : a != b) break;
        }
        if (k == patternLength) return i;
    }
    return kNotFound;
}

void DeleteText(char* text, std::size_t position, std::size_t count) {
    std::size_t len = std::strlen(text);
    if (position >= len) return;
    if (count > len - position) count = len - position;
    std::memmove(text + position, text + position + count, len - position - count + 1);
}

bool InsertText(char* text, std::size_t capacity, std::size_t position, const char* string) {
    std::size_t len = std::strlen(text), add = std::strlen(string);
    if (position > len) position = len;
    if (len + add + 1 > capacity) return false;
    std::memmove(text + position + add, text + position, len - position + 1);
    std::memcpy(text + position, string, add);
    return true;
}

int ReplaceAll(const char* find, const char* replace, std::size_t start, char* text, std::size_t capacity) {
    std::size_t findLength = std::strlen(find), replaceLength = std::strlen(replace);
    if (findLength == 0) return 0;
    int count = 0;
    std::size_t pos = start;
    while ((pos = FindText(find, findLength, text, pos, false)) != kNotFound) {
        if (std::strlen(text) - findLength + replaceLength + 1 > capacity) break;
        DeleteText(text, pos, findLength);
        InsertText(text, capacity, pos, replace);
        pos += replaceLength;
        ++count;
    }
    return count;
}

void FillBytes(void* address, unsigned char byte, std::uint32_t count) {
    auto* p = static_cast<unsigned char*>(address);
    while (count) {
        std::uint32_t piece = count < 60000 ? count : 60000;
        std::memset(p, byte, piece);
        p += piece;
        count -= piece;
    }
}

void TrimRight(char* buffer, std::size_t capacity) {
    if (capacity == 0) return;
    std::size_t len = 0;
    while (len < capacity && buffer[len])
        ++len;
    if (len == capacity) buffer[--len] = 0;
    while (len && buffer[len - 1] == ' ')
        buffer[--len] = 0;
}

int MessageBoxFromString(HINSTANCE module, HWND owner, UINT id, const std::string& caption, UINT style) {
    char text[256];
    LoadString(module, id, text, sizeof text);
    return MessageBox(owner, text, caption, style);
}

int MatchCapitals(const char* model, char* text) {
    for (const char* p = model; *p; ++p)
        if (AnsiToUpper(static_cast<unsigned char>(*p)) != static_cast<unsigned char>(*p)) return 0;
    AnsiStrUpper(text);
    return 1;
}

void AppendBackslash(std::string& path) {
    if (!path.empty() && path.back() != '\\' && path.back() != '/') path += '\\';
}

std::string CurrentDirectory() {
    std::string dir = GetCurrentDirectory();
    AppendBackslash(dir);
    return dir;
}

int FileExists(const std::string& path, bool* isDirectory) {
    DWORD a = GetFileAttributes(path);
    if (isDirectory) *isDirectory = a == FILE_ATTRIBUTE_DIRECTORY;
    return a == INVALID_FILE_ATTRIBUTES ? 0 : 1;
}

void SplitFileName(std::string& path, std::string& name) {
    std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) {
        name = path;
        path.clear();
    } else {
        name = path.substr(cut + 1);
        path.erase(cut + 1);
    }
}

std::string ModuleDirectory(HINSTANCE) {
    Dl_info info{};
    std::string dir;
    if (dladdr(reinterpret_cast<void*>(&ModuleDirectory), &info) && info.dli_fname) {
        std::string file = GetFullPathName(info.dli_fname), name;
        SplitFileName(file, name);
        dir = file;
        if (!dir.empty() && dir.size() > 1) dir.pop_back();
    }
    if (dir.empty()) dir = CurrentDirectory();
    AppendBackslash(dir);
    return dir;
}

bool ResolvePath(std::string& path) {
    if (path.empty()) return false;
    if (path.find_first_of("\\/") == std::string::npos) {
        std::string found = SearchPath(path);
        if (found.empty()) return false;
        path = found;
        return true;
    }
    path = GetFullPathName(path);
    return true;
}

std::string MakeTempFileName() {
    std::string dir = GetTempPath();
    if (dir.empty()) dir = "./";
    std::string pattern = dir + "wxXXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd >= 0) ::close(fd);
    return pattern;
}

int LineEnd(char* buffer) {
    buffer[0] = '\r';
    buffer[1] = '\n';
    buffer[2] = 0;
    return 2;
}

std::uint32_t Ticks() {
    return static_cast<std::uint32_t>(std::uint64_t(GetTickCount()) * 10 / 546);
}

namespace {

std::uint16_t modifiers() {
    std::uint16_t m = 0;
    if (GetKeyState(VK_SHIFT) < 0) m |= 0x200;
    if (GetKeyState(VK_CONTROL) < 0) m |= 0x400;
    if (GetKeyState(VK_MENU) < 0) m |= 0x800;
    return m;
}

std::uint16_t keyNumber(unsigned vk) {
    switch (vk) {
    case VK_BACK:
    case VK_TAB:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_SPACE:
        return static_cast<std::uint16_t>(vk);
    case VK_OEM_COMMA:
        return 44;
    case VK_OEM_MINUS:
    case VK_SUBTRACT:
        return 45;
    case VK_INSERT:
        return 0x8030;
    case VK_DELETE:
        return 0x802E;
    case VK_PRIOR:
        return 0x8039;
    case VK_NEXT:
        return 0x8033;
    case VK_END:
        return 0x8031;
    case VK_HOME:
        return 0x8037;
    case VK_LEFT:
        return 0x8034;
    case VK_UP:
        return 0x8038;
    case VK_RIGHT:
        return 0x8036;
    case VK_DOWN:
        return 0x8032;
    default:
        break;
    }
    if (vk >= static_cast<unsigned>(VK_F1) && vk <= static_cast<unsigned>(VK_F12))
        return static_cast<std::uint16_t>(0x8011 + (vk - VK_F1));
    return 0;
}

std::uint16_t special(std::uint16_t mods, unsigned value) {
    unsigned high = 128 | ((mods | value) >> 8);
    return static_cast<std::uint16_t>(((high & 0xFF) << 8) | (value & 0xFF));
}

} // namespace

std::uint16_t TranslateKeyMessage(UINT message, WPARAM parameter) {
    std::uint16_t mods = modifiers();
    unsigned p = static_cast<unsigned>(parameter);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
        return static_cast<std::uint16_t>(mods | 0x8101);
    case WM_RBUTTONDOWN:
        return static_cast<std::uint16_t>(mods | 0x8102);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        std::uint16_t kn = keyNumber(p);
        if (kn == 0) return 0;
        if (mods == 0 && (kn == 32 || kn == 45 || kn == 44)) return 0;
        return special(mods, kn);
    }
    case WM_CHAR: {
        unsigned c = p & 0xFF;
        if (std::strchr("#@[]{|}", static_cast<int>(c)) && c != 0) return static_cast<std::uint16_t>(c);
        if (c == 162 || c == 166 || c == 172) return static_cast<std::uint16_t>(c);
        if (c == 27 && mods == 0) return 0x801B;
        if (c < 27) return static_cast<std::uint16_t>(mods | c | 0x8040);
        if (c == 127 && mods == 0x400) return 0x8008;
        if (c == 31 && mods == 0x400) return 0;
        if ((c == ' ' || c == '-' || c == ',') && mods != 0) return 0;
        if (mods == 0 || mods == 0x200) return static_cast<std::uint16_t>(c);
        return static_cast<std::uint16_t>(mods | c | 0x8000);
    }
    case WM_SYSCHAR: {
        unsigned c = p & 0xFF;
        if (c == 109) c = '-';
        if (c == '-' && mods == 0x800) return 0;
        if (c == 0) return 0;
        return special(mods, c);
    }
    default:
        return 0;
    }
}

} // namespace wortex
