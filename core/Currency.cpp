#include "core/Currency.h"

#include <cmath>
#include <limits>

namespace velu {

namespace {
[[noreturn]] void overflow() {
    throw CurrencyOverflow("Währungsbetrag außerhalb des Wertebereichs");
}
} // namespace

Currency Currency::FromUnits(int64_t units) {
    int64_t raw;
    if (__builtin_mul_overflow(units, Scale, &raw)) overflow();
    return Currency(raw);
}

Currency Currency::FromDouble(double value) {
    if (!std::isfinite(value)) overflow();
    // nearbyint rounds half to even in the default rounding mode.
    const double product = value * static_cast<double>(Scale);
    double scaled = std::nearbyint(product);
    // A product rounded onto a tie hides on which side the double's exact value lies (75 × 1.95583 is just
    // above 146.68725); the part the multiplication lost decides. Exact ties stay with the even neighbour.
    if (std::fabs(product - scaled) == 0.5) {
        const double lost = std::fma(value, static_cast<double>(Scale), -product);
        if (lost > 0)
            scaled = product + 0.5;
        else if (lost < 0)
            scaled = product - 0.5;
    }
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (scaled >= 9223372036854775808.0 || scaled < -9223372036854775808.0) overflow();
    return Currency(static_cast<int64_t>(scaled));
}

Currency Currency::FromString(std::string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    // The magnitude is gathered unsigned so that the most negative amount can be read too.
    uint64_t mag = 0;
    int decimals = -1;
    bool digits = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (c < '0' || c > '9') throw std::invalid_argument("Kein Betrag: " + std::string(text));
        if (decimals >= 0 && ++decimals > 4) throw std::invalid_argument("Mehr als vier Nachkommastellen");
        digits = true;
        if (__builtin_mul_overflow(mag, 10u, &mag) ||
            __builtin_add_overflow(mag, static_cast<unsigned>(c - '0'), &mag))
            overflow();
    }
    if (!digits) throw std::invalid_argument("Kein Betrag: " + std::string(text));
    for (int d = decimals < 0 ? 0 : decimals; d < 4; ++d)
        if (__builtin_mul_overflow(mag, 10u, &mag)) overflow();
    constexpr uint64_t maxPos = static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    if (mag > maxPos + (negative ? 1 : 0)) overflow();
    return Currency(negative ? static_cast<int64_t>(0 - mag) : static_cast<int64_t>(mag));
}

std::string Currency::ToString() const {
    // Work on the magnitude as unsigned so the most negative value prints correctly.
    uint64_t mag = raw_ < 0 ? 0 - static_cast<uint64_t>(raw_) : static_cast<uint64_t>(raw_);
    std::string frac = std::to_string(mag % Scale);
    frac.insert(0, 4 - frac.size(), '0');
    return (raw_ < 0 ? "-" : "") + std::to_string(mag / Scale) + "." + frac;
}

Currency Currency::operator+(Currency o) const {
    int64_t r;
    if (__builtin_add_overflow(raw_, o.raw_, &r)) overflow();
    return Currency(r);
}

Currency Currency::operator-(Currency o) const {
    int64_t r;
    if (__builtin_sub_overflow(raw_, o.raw_, &r)) overflow();
    return Currency(r);
}

Currency Currency::operator-() const {
    if (raw_ == std::numeric_limits<int64_t>::min()) overflow();
    return Currency(-raw_);
}

Currency Currency::operator*(int64_t factor) const {
    int64_t r;
    if (__builtin_mul_overflow(raw_, factor, &r)) overflow();
    return Currency(r);
}

} // namespace velu
