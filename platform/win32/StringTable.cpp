#include "platform/win32/StringTable.h"

#include <cstring>

namespace win32 {

namespace {
std::map<HINSTANCE, std::map<UINT, std::string>>& tables() {
    static std::map<HINSTANCE, std::map<UINT, std::string>> t;
    return t;
}
} // namespace

void RegisterStringTable(HINSTANCE module, std::map<UINT, std::string> strings) {
    tables()[module] = std::move(strings);
}

int LoadString(HINSTANCE module, UINT id, char* buffer, int capacity) {
    if (!buffer || capacity <= 0) return 0;
    buffer[0] = 0;
    auto t = tables().find(module);
    if (t == tables().end()) return 0;
    auto s = t->second.find(id);
    if (s == t->second.end()) return 0;
    std::size_t n = s->second.size();
    if (n > static_cast<std::size_t>(capacity - 1)) n = static_cast<std::size_t>(capacity - 1);
    std::memcpy(buffer, s->second.data(), n);
    buffer[n] = 0;
    return static_cast<int>(n);
}

} // namespace win32
