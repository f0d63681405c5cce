#pragma once
// Fixed-point amount: a signed 64-bit count of ten-thousandths. Sums are exact; every operation that would
// leave the range throws CurrencyOverflow instead of wrapping.
#include <compare>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace velu {

class CurrencyOverflow : public std::overflow_error {
public:
    using std::overflow_error::overflow_error;
};

class Currency {
public:
    static constexpr int64_t Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency FromRaw(int64_t raw) { return Currency(raw); }
    // Whole units, e.g. FromUnits(100) == 100.0000.
    static Currency FromUnits(int64_t units);
    // A double brought to four places, ties to even.
    static Currency FromDouble(double value);
    // Exact decimal literal with a point ("-1.2350", "100"); more than four decimals is an error. For code and
    // stored text, not for typed input (see MoneyFormat for that).
    static Currency FromString(std::string_view text);

    constexpr int64_t Raw() const { return raw_; }
    double ToDouble() const { return static_cast<double>(raw_) / Scale; }
    // "-1.2350": four decimals, point, no grouping.
    std::string ToString() const;

    Currency operator+(Currency o) const;
    Currency operator-(Currency o) const;
    Currency operator-() const;
    Currency& operator+=(Currency o) { return *this = *this + o; }
    Currency& operator-=(Currency o) { return *this = *this - o; }
    // Product with a whole number (exact).
    Currency operator*(int64_t factor) const;

    constexpr auto operator<=>(const Currency&) const = default;

private:
    constexpr explicit Currency(int64_t raw) : raw_(raw) {}
    int64_t raw_ = 0;
};

} // namespace velu
