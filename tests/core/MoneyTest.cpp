#include "core/Money.h"
#include "CurrencyPrint.h"

#include <gtest/gtest.h>

#include <string>

using velu::Currency;

namespace {
Currency C(const char* s) {
    return Currency::FromString(s);
}
} // namespace

TEST(DMEuroUmrechnung, FourPlacesNotCents) {
    struct Case {
        const char* betrag;
        int richtung;
        const char* out;
    } cases[] = {
        {"100", 0, "195.583"}, {"100", 1, "51.1292"}, {"1", 0, "1.9558"},      {"1", 1, "0.5113"},
        {"0", 0, "0"},         {"0", 1, "0"},         {"-100", 0, "-195.583"}, {"100", 7, "51.1292"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(velu::DMEuroUmrechnung(C(c.betrag), c.richtung), C(c.out)) << c.betrag;
}

TEST(ConvertWertePaar, RoundsTargetAndLeavesTwinUnrounded) {
    struct Case {
        const char* betrag;
        velu::WaehrungCode von, nach;
        const char* wert;
        const char* altWert;
    } cases[] = {
        {"100", velu::DM, velu::EUR, "51.13", "100.0016"},
        {"100", velu::EUR, velu::DM, "195.58", "99.9985"},
        {"100.005", velu::DM, velu::DM, "100.01", "51.1343"}, // equal codes: only rounded
        {"100.005", velu::EUR, 2, "100.01", "195.6026"},      // every code but 0 is euro
        {"0", velu::DM, velu::EUR, "0", "0"},
    };
    for (const auto& c : cases) {
        Currency wert, altWert;
        velu::ConvertWertePaar(C(c.betrag), c.von, c.nach, wert, altWert);
        EXPECT_EQ(wert, C(c.wert)) << c.betrag << " " << c.von << "->" << c.nach;
        EXPECT_EQ(altWert, C(c.altWert)) << c.betrag << " " << c.von << "->" << c.nach;
    }
}

TEST(WährungsWert, ModusOneKeepsTypedAmountModusTwoRecomputesTwin) {
    Currency wert, altWert;
    ASSERT_TRUE(velu::WährungsWert(1, C("10.1234"), velu::DM, wert, altWert));
    EXPECT_EQ(wert, C("10.1234"));
    EXPECT_EQ(altWert, C("5.1760"));

    ASSERT_TRUE(velu::WährungsWert(1, C("100"), velu::EUR, wert, altWert));
    EXPECT_EQ(wert, C("100"));
    EXPECT_EQ(altWert, C("195.583"));

    // Typed into the twin in DM: the main field gets euro cents, the twin is that converted back.
    ASSERT_TRUE(velu::WährungsWert(2, C("100"), velu::DM, wert, altWert));
    EXPECT_EQ(wert, C("51.13"));
    EXPECT_EQ(altWert, C("100.0016"));

    ASSERT_TRUE(velu::WährungsWert(2, C("100"), velu::EUR, wert, altWert));
    EXPECT_EQ(wert, C("195.58"));
    EXPECT_EQ(altWert, C("99.9985"));
}

TEST(WährungsWert, OtherModusWritesNothing) {
    for (int modus : {0, 3, 4, -1}) {
        Currency wert = C("1.11"), altWert = C("2.22");
        EXPECT_FALSE(velu::WährungsWert(modus, C("100"), velu::DM, wert, altWert)) << modus;
        EXPECT_EQ(wert, C("1.11"));
        EXPECT_EQ(altWert, C("2.22"));
    }
}

TEST(NullWert, OnlyNullGivesDefault) {
    using velu::db::Value;
    EXPECT_EQ(velu::NullWert(Value{}, Value{int64_t{0}}), Value{int64_t{0}});
    EXPECT_EQ(velu::NullWert(Value{std::string()}, Value{int64_t{0}}), Value{std::string()});
    EXPECT_EQ(velu::NullWert(Value{int64_t{0}}, Value{int64_t{5}}), Value{int64_t{0}});
    EXPECT_EQ(velu::NullWert(Value{velu::db::False}, Value{velu::db::True}), Value{velu::db::False});
    EXPECT_EQ(velu::NullWert(Value{2.5}, Value{}), Value{2.5});
}

TEST(ProzentVon, RoundedToCents) {
    EXPECT_EQ(velu::ProzentVon(C("1000"), C("16")), C("160"));
    EXPECT_EQ(velu::ProzentVon(C("123.45"), C("3")), C("3.70")); // 3.7035
    EXPECT_EQ(velu::ProzentVon(C("-200"), C("2.5")), C("-5"));
}
