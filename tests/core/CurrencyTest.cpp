#include "core/Money.h"

#include <gtest/gtest.h>

using velu::Currency;

namespace {
Currency C(const char* s) { return Currency::FromString(s); }
} // namespace

TEST(RundCY, HalfCentCasesAndSigns) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"1.2350", "1.24"},  {"1.2250", "1.23"},  {"1.2349", "1.24"},  {"1.2249", "1.22"}, {"1.2348", "1.23"},
        {"-1.2350", "-1.23"}, {"-1.2351", "-1.24"}, {"0", "0"},         {"0.0049", "0"},    {"0.0050", "0.01"},
        {"-0.0051", "0"},     {"2.0149", "2.02"},   {"12.34", "12.34"}, {"-12.34", "-12.34"},
    };
    for (const auto& c : cases) EXPECT_EQ(velu::RundCY(C(c.in)), C(c.out)) << c.in;
}

TEST(Currency, OverflowThrows) {
    Currency max = Currency::FromRaw(INT64_MAX);
    EXPECT_THROW(max + Currency::FromRaw(1), velu::CurrencyOverflow);
    EXPECT_THROW(-Currency::FromRaw(INT64_MIN), velu::CurrencyOverflow);
    EXPECT_THROW(Currency::FromDouble(1e300), velu::CurrencyOverflow);
    EXPECT_THROW(velu::RundCY(max), velu::CurrencyOverflow);
}
