#pragma once
// Internal to velu_db: case-insensitive comparison of names and quoting of identifiers.
#include <string>
#include <string_view>

namespace velu::db {

// Lower-case form for comparisons: ASCII and the Latin-1 letters (umlauts) of UTF-8 text.
std::string FoldCase(std::string_view s);
// The same into out, which holds s.size() bytes (folding keeps the length).
void FoldInto(std::string_view s, char* out);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Hash and equality of folded names, for maps looked up by a name as written without building a string.
struct FoldedHash {
    using is_transparent = void;
    size_t operator()(std::string_view s) const;
};
struct FoldedEqual {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const;
};
// "name" with embedded quotes doubled, for identifiers taken from the schema.
std::string QuoteIdent(std::string_view name);
bool IsIdentifier(std::string_view s);

} // namespace velu::db
