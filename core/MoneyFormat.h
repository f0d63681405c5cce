#pragma once
// Text of amounts, numbers and dates. What the user sees and types is German whatever the system locale;
// numbers written into SQL text and messages are plain ("Str") text. Nothing here depends on the C or Qt
// locale of the process.
#include "core/Currency.h"
#include "core/Money.h"

#include <optional>
#include <string>
#include <string_view>

namespace velu {

// "###,##0.00 DM" / "###,##0.00 €": the amount as RundCY rounds it, so a shown amount is the one a
// computation would store; e.g. "1.234,56 DM", "-0,50 €", "0,00 DM". The blank before the sign is a
// non-breaking one (U+00A0, FormatBetragTrenner), so the sign never wraps away from its number.
inline constexpr const char* FormatBetragTrenner = "\xC2\xA0";
std::string FormatBetrag(Currency betrag, WaehrungCode währung);

// Typed amounts and numbers. Accepted, with blanks around (ordinary or non-breaking) and an optional trailing "DM", "€" or "EUR":
// German "1.234,5" / "1234,56" / "1.234" (points only between groups of three, so this is 1234), and a point
// as decimal separator "1234.5", each with an optional sign. Anything else (empty, "12a", "1,2,3", "1.23.4",
// exponents, inner blanks) is refused rather than read as 0. An amount with more than four decimals or beyond
// the range of Currency is refused too.
std::optional<Currency> ParseBetrag(std::string_view text);
std::optional<double> ParseZahl(std::string_view text);

// Plain number text: a leading blank for a non-negative number, "-" otherwise, a point, no grouping, no
// trailing zeros (" 255.6459", "-3", " 1250.01", " 0.5"). A double keeps up to 15 significant digits and
// switches to an exponent ("1E+15", "1E-05") where fixed notation would need more; a non-finite double is a
// broken invariant and throws std::domain_error.
std::string StrZahl(double zahl);
std::string StrZahl(Currency betrag);

// Short date text "dd.MM.yyyy" from the stored "YYYY-MM-DD" and back. Typed dates may omit leading zeros of
// day and month ("1.2.2024") but need a four-digit year. Impossible dates ("31.02.2024") are refused.
std::optional<std::string> FormatDatum(std::string_view gespeichert);
std::optional<std::string> ParseDatum(std::string_view text);

} // namespace velu
