#pragma once
// Internal to velu_db: case-insensitive comparison of names and quoting of identifiers.
#include <string>
#include <string_view>

namespace velu::db {

// Lower-case form for comparisons: ASCII and the Latin-1 letters (umlauts) of UTF-8 text.
std::string FoldCase(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
// "name" with embedded quotes doubled, for identifiers taken from the schema.
std::string QuoteIdent(std::string_view name);
bool IsIdentifier(std::string_view s);

} // namespace velu::db
