#include "CurrencyPrint.h"
#include "core/Money.h"

#include <gtest/gtest.h>

#include <cmath>

using velu::Currency;

namespace {
Currency C(const char* s) {
    return Currency::FromString(s);
}
} // namespace

TEST(RundCY, HalfCentCasesAndSigns) {
    struct Case {
        const char* in;
        const char* out;
    } cases[] = {
        {"1.2350", "1.24"}, {"1.2250", "1.23"},   {"1.2349", "1.24"},   {"1.2249", "1.22"},
        {"1.2348", "1.23"}, {"-1.2350", "-1.23"}, {"-1.2351", "-1.24"}, {"0", "0"},
        {"0.0049", "0"},    {"0.0050", "0.01"},   {"-0.0051", "0"},     {"2.0149", "2.02"},
        {"12.34", "12.34"}, {"-12.34", "-12.34"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velu::RundCY(C(c.in)), C(c.out)) << c.in;
}

TEST(Currency, OverflowThrowsInsteadOfWrapping) {
    Currency max = Currency::FromRaw(INT64_MAX), min = Currency::FromRaw(INT64_MIN);
    EXPECT_THROW(max + Currency::FromRaw(1), velu::CurrencyOverflow);
    EXPECT_THROW(min - Currency::FromRaw(1), velu::CurrencyOverflow);
    EXPECT_THROW(-min, velu::CurrencyOverflow);
    EXPECT_THROW(max * 2, velu::CurrencyOverflow);
    EXPECT_THROW(Currency::FromUnits(INT64_MAX / 1000), velu::CurrencyOverflow);
    EXPECT_THROW(Currency::FromDouble(1e300), velu::CurrencyOverflow);
    EXPECT_THROW(Currency::FromDouble(std::nan("")), velu::CurrencyOverflow);
    EXPECT_THROW(velu::RundCY(max), velu::CurrencyOverflow);
    EXPECT_THROW(velu::DMEuroUmrechnung(max, 0), velu::CurrencyOverflow);
    Currency sum = max;
    EXPECT_THROW(sum += Currency::FromRaw(1), velu::CurrencyOverflow);
    EXPECT_EQ(sum, max); // a failed operation leaves the operand as it was
}

TEST(Currency, TextAndDoubleConversions) {
    EXPECT_EQ(C("-1.235").ToString(), "-1.2350");
    EXPECT_EQ(C("922337203685477.5807"), Currency::FromRaw(INT64_MAX));
    EXPECT_EQ(C("-922337203685477.5808"), Currency::FromRaw(INT64_MIN));
    EXPECT_EQ(Currency::FromRaw(INT64_MIN).ToString(), "-922337203685477.5808");
    EXPECT_THROW(C("922337203685477.5808"), velu::CurrencyOverflow);
    EXPECT_THROW(C("-922337203685477.5809"), velu::CurrencyOverflow);
    for (const char* bad : {"", "-", ".", "1.23456", "1,5", " 1", "1e3"})
        EXPECT_THROW(C(bad), std::invalid_argument) << bad;
    // Ties (exact in binary) go to the even ten-thousandth.
    EXPECT_EQ(Currency::FromDouble(0.03125).Raw(), 312);
    EXPECT_EQ(Currency::FromDouble(0.09375).Raw(), 938);
    EXPECT_EQ(Currency::FromDouble(-2.5), C("-2.5"));
    // Not a tie, though the product with 10 000 rounds onto one.
    EXPECT_EQ(Currency::FromDouble(75 * 1.95583), C("146.6873"));
    EXPECT_EQ(Currency::FromDouble(-75 * 1.95583), C("-146.6873"));
}
