#pragma once
// Debian's wngerman word list, converted to Windows-1252 for the library's import; shared by the
// dictionary test and the benchmark.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace wortex::test {

inline const char* kWngermanPath = "/usr/share/dict/ngerman";

// UTF-8 to Windows-1252; false for text with a character the code page does not have.
inline bool utf8To1252(const std::string& in, std::string& out) {
    static const std::uint32_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x2026, 0x2020, 0x2021, 0x02C6,
                                           0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
    out.clear();
    for (std::size_t i = 0; i < in.size();) {
        unsigned char c = static_cast<unsigned char>(in[i]);
        std::uint32_t cp;
        std::size_t n;
        if (c < 0x80)
            cp = c, n = 1;
        else if ((c & 0xE0) == 0xC0)
            cp = c & 0x1F, n = 2;
        else if ((c & 0xF0) == 0xE0)
            cp = c & 0x0F, n = 3;
        else
            return false;
        if (i + n > in.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(in[i + k]) & 0x3F);
        i += n;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        bool found = false;
        for (int k = 0; k < 32; ++k)
            if (high[k] == cp) {
                out.push_back(static_cast<char>(0x80 + k));
                found = true;
            }
        if (!found) return false;
    }
    return true;
}

// The list's lines in Windows-1252; lines that the code page can't hold are counted in skipped.
inline std::vector<std::string> readWngerman(std::size_t* skipped = nullptr) {
    std::vector<std::string> words;
    std::ifstream in(kWngermanPath);
    std::string line, converted;
    std::size_t bad = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (utf8To1252(line, converted))
            words.push_back(converted);
        else
            ++bad;
    }
    if (skipped) *skipped = bad;
    return words;
}

inline void writeLines(const std::string& path, const std::vector<std::string>& lines) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const auto& l : lines)
        out << l << '\n';
}

} // namespace wortex::test
