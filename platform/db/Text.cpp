#include "platform/db/Text.h"

#include <functional>

namespace velu::db {

void FoldInto(std::string_view s, char* out) {
    for (size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 32);
        } else if (c == 0xC3 && i + 1 < s.size()) {
            // U+00C0..U+00DE (but not U+00D7, the multiplication sign) fold to U+00E0..U+00FE.
            auto d = static_cast<unsigned char>(s[i + 1]);
            if (d >= 0x80 && d <= 0x9E && d != 0x97) d += 0x20;
            out[i] = static_cast<char>(c);
            out[i + 1] = static_cast<char>(d);
            ++i;
        } else {
            out[i] = static_cast<char>(c);
        }
    }
}

std::string FoldCase(std::string_view s) {
    std::string out(s.size(), '\0');
    FoldInto(s, out.data());
    return out;
}

namespace {
// Names are short; longer texts are folded on the heap.
constexpr size_t StackFold = 128;
} // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    if (a.size() > StackFold) return FoldCase(a) == FoldCase(b);
    char fa[StackFold], fb[StackFold];
    FoldInto(a, fa);
    FoldInto(b, fb);
    return std::string_view(fa, a.size()) == std::string_view(fb, b.size());
}

size_t FoldedHash::operator()(std::string_view s) const {
    if (s.size() > StackFold) return std::hash<std::string>{}(FoldCase(s));
    char f[StackFold];
    FoldInto(s, f);
    return std::hash<std::string_view>{}(std::string_view(f, s.size()));
}

std::string QuoteIdent(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

bool IsIdentifier(std::string_view s) {
    if (s.empty()) return false;
    for (size_t i = 0; i < s.size(); ++i) {
        char c = s[i];
        bool alpha = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        bool digit = c >= '0' && c <= '9';
        if (!alpha && !(digit && i > 0)) return false;
    }
    return true;
}

} // namespace velu::db
