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

namespace {
constexpr size_t FnvBasis = 14695981039346656037ull;
constexpr size_t FnvPrime = 1099511628211ull;

// FNV's low bits mix poorly, and tables take their slot from them.
size_t Mix(size_t h) {
    return h ^ (h >> 29) ^ (h >> 43);
}

size_t Fnv(std::string_view folded) {
    size_t h = FnvBasis;
    for (char c : folded)
        h = (h ^ static_cast<unsigned char>(c)) * FnvPrime;
    return Mix(h);
}

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}
} // namespace

// Field names are looked up for every access, so plain ASCII is folded on the fly; other texts take the
// full folding.
size_t FoldedHash::operator()(std::string_view s) const {
    size_t h = FnvBasis;
    for (char c : s) {
        if (static_cast<unsigned char>(c) >= 0x80) return Fnv(FoldCase(s));
        h = (h ^ static_cast<unsigned char>(LowerAscii(c))) * FnvPrime;
    }
    return Mix(h);
}

bool FoldedEqual::operator()(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    if (a == b) return true; // callers mostly write names as the schema does
    for (size_t i = 0; i < a.size(); ++i) {
        if (static_cast<unsigned char>(a[i]) >= 0x80 || static_cast<unsigned char>(b[i]) >= 0x80)
            return EqualsNoCase(a, b);
        if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
    }
    return true;
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
