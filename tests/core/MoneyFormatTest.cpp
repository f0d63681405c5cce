#include "core/MoneyFormat.h"
#include "CurrencyPrint.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using velu::Currency;

namespace {
Currency C(const char* s) {
    return Currency::FromString(s);
}
} // namespace

TEST(FormatBetrag, GermanGroupingRoundedLikeRundCY) {
    struct Case {
        const char* betrag;
        velu::WaehrungCode währung;
        const char* text;
    } cases[] = {
        {"1234.56", velu::DM, "1.234,56\u00a0DM"},
        {"1234.56", velu::EUR, "1.234,56\u00a0\xE2\x82\xAC"},
        {"1234.56", 3, "1.234,56\u00a0\xE2\x82\xAC"},
        {"0", velu::DM, "0,00\u00a0DM"},
        {"0.5", velu::DM, "0,50\u00a0DM"},
        {"-0.5", velu::EUR, "-0,50\u00a0\xE2\x82\xAC"},
        {"-0.0049", velu::DM, "0,00\u00a0DM"}, // rounds to zero: no "-0,00"
        {"1.2350", velu::DM, "1,24\u00a0DM"},
        {"-1.2350", velu::DM, "-1,23\u00a0DM"},
        {"100.0016", velu::DM, "100,00\u00a0DM"},
        {"999.995", velu::DM, "1.000,00\u00a0DM"},
        {"123456789.01", velu::DM, "123.456.789,01\u00a0DM"},
        {"-1234567", velu::DM, "-1.234.567,00\u00a0DM"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velu::FormatBetrag(C(c.betrag), c.währung), c.text) << c.betrag;
}

// What the program shows is read back as the same amount, whichever the sign, so a shown amount copied into
// a field is taken over unchanged; the only blank is the non-breaking one before the sign.
TEST(FormatBetrag, ShownAmountsReadBackAndKeepTheirSign) {
    for (const char* betrag : {"0", "-0.01", "30000000", "-1234567.89", "999.995", "0.5"})
        for (auto währung : {velu::DM, velu::EUR}) {
            const std::string t = velu::FormatBetrag(C(betrag), währung);
            EXPECT_EQ(t.find(' '), std::string::npos) << t;
            EXPECT_NE(t.find("\u00a0"), std::string::npos) << t;
            EXPECT_EQ(velu::ParseBetrag(t), velu::RundCY(C(betrag))) << t;
        }
}

TEST(ParseBetrag, AcceptedForms) {
    struct Case {
        const char* text;
        const char* betrag;
    } cases[] = {
        {"1.234,5", "1234.5"},
        {"1234.5", "1234.5"},
        {"1234,56", "1234.56"},
        {"-12,3", "-12.3"},
        {" 12 ", "12"},
        {"1.234", "1234"},
        {"1.234.567", "1234567"},
        {"1.234.567,8", "1234567.8"},
        {"12 DM", "12"},
        {"12,50 \xE2\x82\xAC", "12.5"},
        // As a printed document joins amount and sign, copied from it.
        {"1.234,56\xC2\xA0\xE2\x82\xAC", "1234.56"},
        {"\xC2\xA0-7,00\xC2\xA0" "DM\xC2\xA0", "-7"},
        {"12EUR", "12"},
        {"-1.234,56 DM", "-1234.56"},
        {"0.500", "0.5"},
        {"1.2345", "1.2345"},
        {"1234.567", "1234.567"},
        {",5", "0.5"},
        {"+7", "7"},
        {"-0", "0"},
        {"007", "7"},
        {"12 eur", "12"},
        {"922337203685477,5807", "922337203685477.5807"},
        {"-922337203685477,5808", "-922337203685477.5808"},
    };
    for (const auto& c : cases) {
        auto v = velu::ParseBetrag(c.text);
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_EQ(*v, C(c.betrag)) << c.text;
    }
}

TEST(ParseBetrag, RefusedForms) {
    for (const char* text : {"",
                             "   ",
                             "DM",
                             "-",
                             "12a",
                             "1,2,3",
                             "1.23.4",
                             "1.234.56",
                             "1,234.56",
                             "1.23,4",
                             "12,",
                             "12.",
                             ".",
                             "1 234",
                             "1\xC2\xA0" "234",
                             "12\xC2",
                             "1e3",
                             "12,34567",
                             "1.23456",
                             "- 12",
                             "12-",
                             "12 DM DM",
                             "€12",
                             "922337203685477,5808",
                             "99999999999999999999",
                             "0x10",
                             "1.234,5.6"})
        EXPECT_FALSE(velu::ParseBetrag(text).has_value()) << '"' << text << '"';
}

TEST(ParseZahl, SameFormsAnyDecimals) {
    struct Case {
        const char* text;
        double zahl;
    } cases[] = {
        {"16,5", 16.5}, {"16.5", 16.5},         {"1.234,5", 1234.5},  {"1.234", 1234}, {"-12,3", -12.3},
        {" 12 ", 12},   {"0,123456", 0.123456}, {"1,95583", 1.95583}, {"7 DM", 7},
    };
    for (const auto& c : cases) {
        auto v = velu::ParseZahl(c.text);
        ASSERT_TRUE(v.has_value()) << c.text;
        EXPECT_DOUBLE_EQ(*v, c.zahl) << c.text;
    }
    for (const char* text : {"", "12a", "1,2,3", "1.23.4", "1e3", "inf", "nan"})
        EXPECT_FALSE(velu::ParseZahl(text).has_value()) << text;
    EXPECT_FALSE(std::signbit(*velu::ParseZahl("-0")));
}

TEST(StrZahl, PlainTextWithLeadingBlank) {
    struct Case {
        double zahl;
        const char* text;
    } cases[] = {
        {255.6459, " 255.6459"},
        {-3, "-3"},
        {1250.01, " 1250.01"},
        {100, " 100"},
        {0, " 0"},
        {-0.0, " 0"},
        {0.1 + 0.2, " 0.3"},
        {-0.5, "-0.5"},
        {1e15, " 1E+15"},
        {123456789012345, " 123456789012345"},
        {0.0001, " 0.0001"},
        {0.00001, " 1E-05"},
        {16, " 16"},
        {1.95583, " 1.95583"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velu::StrZahl(c.zahl), c.text) << c.zahl;
    EXPECT_THROW(velu::StrZahl(std::nan("")), std::domain_error);
    EXPECT_THROW(velu::StrZahl(INFINITY), std::domain_error);
}

TEST(StrZahl, CurrencyExact) {
    struct Case {
        const char* betrag;
        const char* text;
    } cases[] = {
        {"255.6459", " 255.6459"},
        {"-3", "-3"},
        {"1250.01", " 1250.01"},
        {"100", " 100"},
        {"0", " 0"},
        {"-0.05", "-0.05"},
        {"922337203685477.5807", " 922337203685477.5807"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velu::StrZahl(C(c.betrag)), c.text) << c.betrag;
}

TEST(Datum, BothWaysAndInvalidRefused) {
    EXPECT_EQ(velu::FormatDatum("2024-02-29"), "29.02.2024");
    EXPECT_EQ(velu::FormatDatum("1753-01-01"), "01.01.1753");
    EXPECT_EQ(velu::FormatDatum("9999-12-31"), "31.12.9999");
    for (const char* bad : {"", "2023-02-29", "2024-13-01", "2024-00-10", "2024-1-5", "24-01-05",
                            "2024-01-05x", "1900-02-29", "0000-01-01"})
        EXPECT_EQ(velu::FormatDatum(bad), std::nullopt) << bad;

    EXPECT_EQ(velu::ParseDatum("29.02.2000"), "2000-02-29");
    EXPECT_EQ(velu::ParseDatum(" 1.2.2024 "), "2024-02-01");
    EXPECT_EQ(velu::ParseDatum("31.12.9999"), "9999-12-31");
    for (const char* bad : {"", "31.02.2024", "29.02.2100", "1.2.24", "01.13.2024", "00.01.2024", "1.2.2024.",
                            "1..2024", "a.b.cdef", "2024-02-01", "001.02.2024"})
        EXPECT_EQ(velu::ParseDatum(bad), std::nullopt) << bad;
}
