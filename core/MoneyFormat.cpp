#include "core/MoneyFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <system_error>

namespace velu {

namespace {

constexpr std::string_view Euro = "\xE2\x82\xAC"; // "€" in UTF-8
constexpr std::string_view Nbsp = FormatBetragTrenner;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), isDigit);
}


// Blanks, tabs and non-breaking blanks (an amount copied from a printed document) at both ends.
std::string_view trim(std::string_view s) {
    for (bool weiter = true; weiter && !s.empty();) {
        weiter = false;
        if (s.front() == ' ' || s.front() == '\t') {
            s.remove_prefix(1);
            weiter = true;
        } else if (s.substr(0, Nbsp.size()) == Nbsp) {
            s.remove_prefix(Nbsp.size());
            weiter = true;
        }
    }
    for (bool weiter = true; weiter && !s.empty();) {
        weiter = false;
        if (s.back() == ' ' || s.back() == '\t') {
            s.remove_suffix(1);
            weiter = true;
        } else if (s.size() >= Nbsp.size() && s.substr(s.size() - Nbsp.size()) == Nbsp) {
            s.remove_suffix(Nbsp.size());
            weiter = true;
        }
    }
    return s;
}

bool endsWithNoCase(std::string_view s, std::string_view suffix) {
    if (s.size() < suffix.size()) return false;
    std::string_view tail = s.substr(s.size() - suffix.size());
    for (size_t i = 0; i < suffix.size(); ++i) {
        char c = tail[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != suffix[i]) return false;
    }
    return true;
}

// "1.234.567": a first group of one to three digits (not starting with 0, so "0.500" stays a decimal point)
// and at least one further group of exactly three.
bool isGrouped(std::string_view s) {
    size_t dot = s.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot > 3 || s[0] == '0' || !allDigits(s.substr(0, dot)))
        return false;
    for (s.remove_prefix(dot); !s.empty(); s.remove_prefix(4))
        if (s.size() < 4 || s[0] != '.' || !allDigits(s.substr(1, 3))) return false;
    return true;
}

std::string withoutDots(std::string_view s) {
    std::string r;
    for (char c : s)
        if (c != '.') r += c;
    return r;
}

struct Number {
    bool negative = false;
    std::string whole; // digits only, may be empty when fraction is not
    std::string fraction;
};

std::optional<Number> parseNumber(std::string_view text) {
    std::string_view s = trim(text);
    if (s.size() >= Euro.size() && s.substr(s.size() - Euro.size()) == Euro)
        s.remove_suffix(Euro.size());
    else if (endsWithNoCase(s, "EUR"))
        s.remove_suffix(3);
    else if (endsWithNoCase(s, "DM"))
        s.remove_suffix(2);
    s = trim(s);

    Number n;
    if (!s.empty() && (s.front() == '-' || s.front() == '+')) {
        n.negative = s.front() == '-';
        s.remove_prefix(1);
    }

    if (size_t comma = s.find(','); comma != std::string_view::npos) {
        std::string_view whole = s.substr(0, comma), fraction = s.substr(comma + 1);
        if (!allDigits(fraction)) return std::nullopt; // also refuses a second comma or a point after it
        if (!whole.empty() && !allDigits(whole) && !isGrouped(whole)) return std::nullopt;
        n.whole = withoutDots(whole);
        n.fraction = fraction;
    } else if (allDigits(s) || isGrouped(s)) {
        n.whole = withoutDots(s);
    } else {
        // A single point that does not separate groups of three is a decimal point.
        size_t dot = s.find('.');
        if (dot == std::string_view::npos) return std::nullopt;
        std::string_view whole = s.substr(0, dot), fraction = s.substr(dot + 1);
        if ((!whole.empty() && !allDigits(whole)) || !allDigits(fraction)) return std::nullopt;
        n.whole = whole;
        n.fraction = fraction;
    }
    if (n.whole.empty() && n.fraction.empty()) return std::nullopt;
    return n;
}

} // namespace

std::string FormatBetrag(Currency betrag, WaehrungCode währung) {
    const int64_t cents = RundCY(betrag).Raw() / 100;
    uint64_t mag = cents < 0 ? 0 - static_cast<uint64_t>(cents) : static_cast<uint64_t>(cents);
    std::string frac = std::to_string(mag % 100);
    if (frac.size() < 2) frac.insert(0, 1, '0');
    std::string whole = std::to_string(mag / 100);
    for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3)
        whole.insert(static_cast<size_t>(i), 1, '.');
    return (cents < 0 ? "-" : "") + whole + "," + frac + std::string(Nbsp) +
           std::string(währung == DM ? std::string_view("DM") : Euro);
}

std::optional<Currency> ParseBetrag(std::string_view text) {
    auto n = parseNumber(text);
    if (!n || n->fraction.size() > 4) return std::nullopt;
    std::string digits = n->whole + n->fraction + std::string(4 - n->fraction.size(), '0');
    uint64_t mag = 0;
    for (char c : digits)
        if (__builtin_mul_overflow(mag, 10u, &mag) ||
            __builtin_add_overflow(mag, static_cast<unsigned>(c - '0'), &mag))
            return std::nullopt;
    constexpr uint64_t maxPos = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    if (mag > maxPos + (n->negative ? 1 : 0)) return std::nullopt;
    int64_t raw = n->negative ? static_cast<int64_t>(0 - mag) : static_cast<int64_t>(mag);
    return Currency::FromRaw(raw);
}

std::optional<double> ParseZahl(std::string_view text) {
    auto n = parseNumber(text);
    if (!n) return std::nullopt;
    std::string plain = (n->whole.empty() ? "0" : n->whole) + (n->fraction.empty() ? "" : "." + n->fraction);
    double v = 0;
    auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), v, std::chars_format::fixed);
    if (ec != std::errc() || end != plain.data() + plain.size() || !std::isfinite(v)) return std::nullopt;
    return n->negative ? -v + 0.0 : v; // + 0.0 turns "-0" into 0
}

std::string StrZahl(double zahl) {
    if (!std::isfinite(zahl)) throw std::domain_error("Keine endliche Zahl");
    if (zahl == 0) return " 0";
    char buf[40];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, zahl, std::chars_format::general, 15);
    std::string s(buf, end);
    std::replace(s.begin(), s.end(), 'e', 'E');
    return zahl > 0 ? " " + s : s;
}

std::string StrZahl(Currency betrag) {
    std::string s = betrag.ToString();
    while (s.back() == '0')
        s.pop_back();
    if (s.back() == '.') s.pop_back();
    return betrag.Raw() >= 0 ? " " + s : s;
}

namespace {

bool validDate(int y, int m, int d) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1) return false;
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}

int toInt(std::string_view digits) {
    int v = 0;
    for (char c : digits)
        v = v * 10 + (c - '0');
    return v;
}

std::string twoDigits(int v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

std::string fourDigits(int v) {
    std::string s = std::to_string(v);
    return std::string(4 - s.size(), '0') + s;
}

} // namespace

std::optional<std::string> FormatDatum(std::string_view gespeichert) {
    std::string_view s = gespeichert;
    if (s.size() != 10 || s[4] != '-' || s[7] != '-' || !allDigits(s.substr(0, 4)) ||
        !allDigits(s.substr(5, 2)) || !allDigits(s.substr(8, 2)))
        return std::nullopt;
    int y = toInt(s.substr(0, 4)), m = toInt(s.substr(5, 2)), d = toInt(s.substr(8, 2));
    if (!validDate(y, m, d)) return std::nullopt;
    return twoDigits(d) + "." + twoDigits(m) + "." + fourDigits(y);
}

std::optional<std::string> ParseDatum(std::string_view text) {
    std::string_view s = trim(text);
    size_t p1 = s.find('.');
    if (p1 == std::string_view::npos) return std::nullopt;
    size_t p2 = s.find('.', p1 + 1);
    if (p2 == std::string_view::npos) return std::nullopt;
    std::string_view d = s.substr(0, p1), m = s.substr(p1 + 1, p2 - p1 - 1), y = s.substr(p2 + 1);
    if (!allDigits(d) || d.size() > 2 || !allDigits(m) || m.size() > 2 || !allDigits(y) || y.size() != 4)
        return std::nullopt;
    int dd = toInt(d), mm = toInt(m), yy = toInt(y);
    if (!validDate(yy, mm, dd)) return std::nullopt;
    return fourDigits(yy) + "-" + twoDigits(mm) + "-" + twoDigits(dd);
}

} // namespace velu
