#include "platform/db/Criteria.h"

#include "platform/db/DbError.h"
#include "platform/db/Text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace velu::db {

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

__int128 Pow10(int n) {
    __int128 r = 1;
    while (n-- > 0)
        r *= 10;
    return r;
}

long double ToLongDouble(const Decimal& d) {
    return static_cast<long double>(d.mantissa) / std::pow(10.0L, static_cast<long double>(d.scale));
}

int Sign(long double x) {
    return x < 0 ? -1 : (x > 0 ? 1 : 0);
}

// Compares a field value with a number literal; false when the value is not numeric.
bool CompareNumber(const Value& v, const Decimal& literal, bool currency, int& result) {
    // A currency column holds ten-thousandths, the literal is in units.
    Decimal lit = literal;
    if (currency) lit.scale -= 4;
    if (lit.scale < 0) {
        lit.mantissa *= Pow10(-lit.scale);
        lit.scale = 0;
    }
    if (auto* i = std::get_if<int64_t>(&v)) {
        result = CompareDecimal(Decimal{*i, 0}, lit);
        return true;
    }
    if (auto* d = std::get_if<double>(&v)) {
        result = Sign(static_cast<long double>(*d) - ToLongDouble(lit));
        return true;
    }
    if (auto* t = std::get_if<std::string>(&v)) {
        // Numeric text holds units, whatever the column's declared type.
        Decimal fromText;
        if (!ParseDecimal(*t, fromText)) return false;
        result = CompareDecimal(fromText, literal);
        return true;
    }
    return false;
}

std::string AsText(const Value& v) {
    if (auto* i = std::get_if<int64_t>(&v)) return std::to_string(*i);
    if (auto* d = std::get_if<double>(&v)) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.15g", *d);
        return buf;
    }
    if (auto* t = std::get_if<std::string>(&v)) return *t;
    return {};
}

bool Apply(CompareOp op, int r) {
    switch (op) {
    case CompareOp::Eq:
        return r == 0;
    case CompareOp::Ne:
        return r != 0;
    case CompareOp::Lt:
        return r < 0;
    case CompareOp::Le:
        return r <= 0;
    case CompareOp::Gt:
        return r > 0;
    case CompareOp::Ge:
        return r >= 0;
    }
    return false;
}

[[noreturn]] void Bad(std::string_view criteria) {
    throw DbError("Ungültiges Suchkriterium: " + std::string(criteria));
}

} // namespace

bool ParseDecimal(std::string_view text, Decimal& out) {
    std::string_view s = Trim(text);
    bool negative = false;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    std::string digits;
    int fraction = 0;
    bool point = false;
    size_t i = 0;
    for (; i < s.size(); ++i) {
        if (IsDigit(s[i])) {
            digits += s[i];
            if (point) ++fraction;
        } else if (s[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits.empty()) return false;
    int exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool expNeg = false;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) expNeg = s[i++] == '-';
        if (i >= s.size()) return false;
        for (; i < s.size() && IsDigit(s[i]); ++i) {
            exponent = exponent * 10 + (s[i] - '0');
            if (exponent > 40) return false;
        }
        if (expNeg) exponent = -exponent;
    }
    if (i != s.size()) return false;
    int scale = fraction - exponent;
    if (scale < 0) {
        digits.append(static_cast<size_t>(-scale), '0');
        scale = 0;
    }
    // Trailing zeros of the fraction carry no value; dropping them keeps the scale small.
    while (scale > 0 && digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
        --scale;
    }
    size_t lead = digits.find_first_not_of('0');
    size_t significant = lead == std::string::npos ? 0 : digits.size() - lead;
    // With at most 19 integer and 18 fraction digits every comparison fits into 128 bits.
    if (scale > 18 || static_cast<int>(significant) - scale > 19) return false;
    __int128 m = 0;
    for (char c : digits)
        m = m * 10 + (c - '0');
    out.mantissa = negative ? -m : m;
    out.scale = scale;
    return true;
}

int CompareDecimal(const Decimal& a, const Decimal& b) {
    int scale = std::max(a.scale, b.scale);
    __int128 x = a.mantissa * Pow10(scale - a.scale);
    __int128 y = b.mantissa * Pow10(scale - b.scale);
    return x < y ? -1 : (x > y ? 1 : 0);
}

std::vector<Criterion> ParseCriteria(std::string_view criteria) {
    std::vector<Criterion> out;
    size_t i = 0;
    const size_t n = criteria.size();
    auto skipSpace = [&] {
        while (i < n && IsSpace(criteria[i]))
            ++i;
    };
    for (;;) {
        Criterion c;
        skipSpace();
        if (i < n && criteria[i] == '[') {
            size_t close = criteria.find(']', i);
            if (close == std::string_view::npos) Bad(criteria);
            c.field = std::string(criteria.substr(i + 1, close - i - 1));
            i = close + 1;
        } else {
            size_t start = i;
            while (i < n && (static_cast<unsigned char>(criteria[i]) >= 0x80 || criteria[i] == '_' ||
                             IsDigit(criteria[i]) || (criteria[i] >= 'A' && criteria[i] <= 'Z') ||
                             (criteria[i] >= 'a' && criteria[i] <= 'z')))
                ++i;
            c.field = std::string(criteria.substr(start, i - start));
        }
        if (c.field.empty()) Bad(criteria);
        skipSpace();
        auto starts = [&](std::string_view op) { return criteria.substr(i, op.size()) == op; };
        if (starts("<=")) {
            c.op = CompareOp::Le, i += 2;
        } else if (starts(">=")) {
            c.op = CompareOp::Ge, i += 2;
        } else if (starts("<>")) {
            c.op = CompareOp::Ne, i += 2;
        } else if (starts("=")) {
            c.op = CompareOp::Eq, i += 1;
        } else if (starts("<")) {
            c.op = CompareOp::Lt, i += 1;
        } else if (starts(">")) {
            c.op = CompareOp::Gt, i += 1;
        } else {
            Bad(criteria);
        }
        skipSpace();
        if (i < n && (criteria[i] == '\'' || criteria[i] == '"')) {
            char quote = criteria[i++];
            c.isText = true;
            for (;;) {
                if (i >= n) Bad(criteria);
                if (criteria[i] == quote) {
                    if (i + 1 < n && criteria[i + 1] == quote) {
                        c.text += quote;
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                c.text += criteria[i++];
            }
            // A quoted number still compares as a number with a numeric field.
            if (!ParseDecimal(c.text, c.number)) c.number = Decimal{};
        } else {
            size_t start = i;
            while (i < n && !IsSpace(criteria[i]))
                ++i;
            c.text = std::string(criteria.substr(start, i - start));
            if (!ParseDecimal(c.text, c.number)) Bad(criteria);
        }
        out.push_back(std::move(c));
        skipSpace();
        if (i == n) break;
        if (i + 3 < n && EqualsNoCase(criteria.substr(i, 3), "and") && IsSpace(criteria[i + 3])) {
            i += 3;
            continue;
        }
        Bad(criteria);
    }
    return out;
}

bool Matches(const Criterion& c, const Value& v, bool currency) {
    if (IsNull(v)) return false;
    int r = 0;
    if (!c.isText) return CompareNumber(v, c.number, currency, r) && Apply(c.op, r);
    Decimal ignored;
    bool numericField = std::holds_alternative<int64_t>(v) || std::holds_alternative<double>(v);
    if (numericField && ParseDecimal(c.text, ignored))
        return CompareNumber(v, c.number, currency, r) && Apply(c.op, r);
    if (std::holds_alternative<Blob>(v)) return false;
    std::string a = FoldCase(AsText(v)), b = FoldCase(c.text);
    r = a < b ? -1 : (a > b ? 1 : 0);
    return Apply(c.op, r);
}

} // namespace velu::db
