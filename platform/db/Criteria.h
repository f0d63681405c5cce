#pragma once
// Internal to velu_db: the simple search criteria of Recordset::Find*.
#include "platform/db/Value.h"

#include <string>
#include <string_view>
#include <vector>

namespace velu::db {

// An exact decimal number: mantissa / 10^scale.
struct Decimal {
    __int128 mantissa = 0;
    int scale = 0;
};

// Parses " -12.5", "1E+3" and the like exactly; false for anything else (or more digits than fit).
bool ParseDecimal(std::string_view text, Decimal& out);
int CompareDecimal(const Decimal& a, const Decimal& b);

enum class CompareOp { Eq, Ne, Lt, Le, Gt, Ge };

struct Criterion {
    std::string field;
    CompareOp op = CompareOp::Eq;
    bool isText = false;
    std::string text; // the literal as written (unquoted for texts)
    Decimal number;   // for number literals
};

// Throws DbError for criteria it cannot read.
std::vector<Criterion> ParseCriteria(std::string_view criteria);
// Whether a field value satisfies the criterion; currency: the column is declared CURRENCY.
bool Matches(const Criterion& c, const Value& v, bool currency);

} // namespace velu::db
