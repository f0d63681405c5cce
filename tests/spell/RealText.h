#pragma once
// The corpus of real German paragraphs (tests/spell/data/realtext.txt, UTF-8) as a window holds them:
// Windows-1252, lines parted by CR LF; Debian's German manual pages and reference read likewise.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace wortex::test {

// CI installs every package the tests read (scripts/setup.sh): there a missing one is a failure, on a
// user's machine a reason to skip.
inline bool UnderCi() {
    const char* ci = std::getenv("CI");
    return ci && std::string(ci) == "true";
}

// UTF-8 to Windows-1252 for the Latin-1 letters the corpus uses.
inline std::string ToAnsi(const std::string& utf8) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0xC2 && c <= 0xC3 && i + 1 < utf8.size()) {
            out += static_cast<char>(((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += '?';
        }
    }
    return out;
}

// Lines ending in "\n" as a window's text: CR LF between lines, none at the end.
inline std::string WindowLines(const std::string& text) {
    std::string out;
    std::istringstream in(text);
    std::string line;
    bool first = true;
    while (std::getline(in, line)) {
        out += (first ? "" : "\r\n") + line;
        first = false;
    }
    return out;
}

inline std::vector<std::string> RealTextParagraphs(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> paragraphs;
    std::string line, current;
    bool started = false;
    while (std::getline(in, line)) {
        if (line == "%%") {
            if (started && !current.empty()) paragraphs.push_back(WindowLines(ToAnsi(current)));
            started = true;
            current.clear();
        } else if (started) {
            current += line + "\n";
        }
    }
    if (started && !current.empty()) paragraphs.push_back(WindowLines(ToAnsi(current)));
    return paragraphs;
}

// The bytes of a gzip'd file; empty when it can't be read.
inline std::string Gunzipped(const std::filesystem::path& file) {
    std::string command = "gzip -dc '" + file.string() + "' 2>/dev/null";
    FILE* f = popen(command.c_str(), "r");
    if (!f) return {};
    std::string source;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
        source.append(buffer, n);
    pclose(f);
    return source;
}

// The text of a German manual page (gzip'd groff source), read plainly: requests and escapes dropped, the
// text lines kept as they stand, as a window holds them. Empty when the file can't be read.
inline std::string PlainManualPage(const std::filesystem::path& page) {
    const std::string source = Gunzipped(page);
    std::string text;
    std::istringstream in(source);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '.' || line[0] == '\'') continue;
        line = ToAnsi(line);
        std::string plain;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] != '\\') {
                plain += line[i];
                continue;
            }
            if (++i >= line.size()) break;
            char e = line[i];
            if (e == 'f' && i + 1 < line.size()) {
                i += line[i + 1] == '(' ? 3 : 1;
            } else if (e == '-' || e == '\\' || e == '.' || e == ' ') {
                plain += e == ' ' ? ' ' : e;
            } else if (e == '(' && i + 2 < line.size()) {
                static const std::pair<const char*, const char*> kSpecial[] = {
                    {":a", "\xe4"}, {":o", "\xf6"}, {":u", "\xfc"}, {":A", "\xc4"}, {":O", "\xd6"},
                    {":U", "\xdc"}, {"ss", "\xdf"}, {"aq", "'"},    {"dq", "\""},   {"hy", "-"},
                    {"en", "-"},    {"em", "-"},    {"lq", "\""},   {"rq", "\""},
                };
                std::string name = line.substr(i + 1, 2);
                for (const auto& [from, to] : kSpecial)
                    if (name == from) plain += to;
                i += 2;
            } else if (e == '&' || e == ':' || e == '%' || e == '"') {
                if (e == '"') i = line.size();
            }
        }
        while (!plain.empty() && plain.back() == ' ')
            plain.pop_back();
        if (!plain.empty() && plain.size() <= 80) text += plain + "\n";
    }
    return WindowLines(text);
}

// A gzip'd UTF-8 text as a window holds it, cut at blank lines into pieces of about lines lines each.
inline std::vector<std::string> PlainTextPieces(const std::filesystem::path& file, std::size_t lines) {
    const std::string source = Gunzipped(file);
    std::vector<std::string> pieces;
    std::istringstream in(source);
    std::string line, piece;
    std::size_t count = 0;
    while (std::getline(in, line)) {
        piece += ToAnsi(line) + "\n";
        if (++count >= lines && line.empty()) {
            pieces.push_back(WindowLines(piece));
            piece.clear();
            count = 0;
        }
    }
    if (!piece.empty()) pieces.push_back(WindowLines(piece));
    return pieces;
}

} // namespace wortex::test
