#pragma once
// A database value: Null, integer, real, text or blob. Currency columns hold integers (ten-thousandths),
// Booleans hold -1 (True) or 0 (False), dates hold text "YYYY-MM-DD".
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace velu::db {

using Blob = std::vector<uint8_t>;
using Value = std::variant<std::monostate, int64_t, double, std::string, Blob>;

inline bool IsNull(const Value& v) { return std::holds_alternative<std::monostate>(v); }

inline constexpr int64_t True = -1;
inline constexpr int64_t False = 0;

} // namespace velu::db
