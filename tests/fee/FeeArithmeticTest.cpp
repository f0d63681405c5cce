#include "fee/FeeArithmetic.h"
#include "fee/FeeCalculation.h"
#include "fee/PhaseRanges.h"
#include "FeeTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using velu::Currency;
using namespace velu::fee;

using velu::fee::test::C;

TEST(FeeArithmetic, MulCYRoundsTheProductToFourPlacesHalfToEven) {
    struct Case {
        const char *a, *b, *want;
    } cases[] = {
        {"500.01", "50", "25000.5"}, {"0.0001", "0.5", "0"}, {"0.0003", "0.5", "0.0002"},
        {"-0.0003", "0.5", "-0.0002"}, {"1234.5678", "11.1111", "13717.4063"},
    };
    for (const auto& c : cases) EXPECT_EQ(MulCY(C(c.a), C(c.b)), C(c.want)) << c.a << " x " << c.b;
}

TEST(FeeArithmetic, InterpolTafel) {
    const TafelZeile unten{C("48895.75"), C("6102.1896"), C("7152.4703")};
    const TafelZeile oben{C("68454.05"), C("8247.7351"), C("9665.7119")};
    struct Case {
        const char* kosten;
        const char* min;
        const char* max;
    } cases[] = {
        // On the lower row the stored values come back unrounded.
        {"48895.75", "6102.1896", "7152.4703"},
        // Half-way: each result rounded to cents once.
        {"58674.90", "7174.96", "8409.09"},
        // On the upper row the quotient is exactly 1: the upper values rounded to cents.
        {"68454.05", "8247.74", "9665.71"},
    };
    for (const auto& c : cases) {
        TafelErgebnis e{};
        InterpolTafel(C(c.kosten), oben, unten, e);
        EXPECT_EQ(e[0], C(c.min)) << c.kosten;
        EXPECT_EQ(e[1], C(c.max)) << c.kosten;
        EXPECT_EQ(e[2], Currency{});
    }
}

TEST(FeeArithmetic, GetHonorarSatzUemin) {
    struct Case {
        const char *min, *max, *satz, *want;
    } cases[] = {
        {"1000.00", "1500.01", "50", "1250.01"},
        {"1000.1234", "1500.00", "0", "1000.1234"},  // rate 0: the minimum exactly
        {"1000.1234", "1500.00", "100", "1500.0034"}, // minimum unrounded + RundCY(499.8766)
        {"1000", "2000", "33.33", "1333.30"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetHonorarSatzUemin({C(c.min), C(c.max), {}}, C(c.satz)), C(c.want)) << c.satz;
}

TEST(FeeArithmetic, EligibleCostsWithCostsOfOthers) {
    struct Case {
        const char *eigen, *fremd;
        bool zaehlt;
        const char *summe, *fremdGezaehlt;
        int16_t modus;
    } cases[] = {
        {"100.00", "20.00", true, "120.00", "20.00", 1},
        {"100.00", "40.00", true, "132.50", "40.00", 2},
        {"100.00", "25.00", true, "125.00", "25.00", 1}, // exactly a quarter counts in full
        {"0", "10.00", true, "5.00", "10.00", 2},
        {"100.00", "-10.00", true, "90.00", "-10.00", 1},
        {"100.00", "40.00", false, "100.00", "0", 0},
        {"0", "0", true, "0", "0", 0},
        {"100.01", "40.00", true, "132.51", "40.00", 2}, // Q = 25.00, H = 7.50
    };
    for (const auto& c : cases) {
        const AnreKosten k = BerechneAnreKosten(C(c.eigen), C(c.fremd), c.zaehlt);
        EXPECT_EQ(k.summe, C(c.summe)) << c.eigen << "/" << c.fremd;
        EXPECT_EQ(k.fremd, C(c.fremdGezaehlt));
        EXPECT_EQ(k.modus, c.modus);
    }
}

TEST(FeeArithmetic, PhaseFee) {
    const PhasenWerte w = BerechnePhase(C("10000.00"), C("11"), C("10"), C("50"));
    EXPECT_EQ(w.grundL, C("1100.00"));
    EXPECT_EQ(w.vollZuschlag, C("110.00"));
    EXPECT_EQ(w.teilleistung, C("550.00"));
    EXPECT_EQ(w.zuschlag, C("55.00"));
    EXPECT_EQ(w.total, C("605.00"));

    const PhasenWerte voll = BerechnePhase(C("12345.67"), C("7"), C("3.5"), C("100"));
    EXPECT_EQ(voll.teilleistung, voll.grundL);
    EXPECT_EQ(voll.zuschlag, voll.vollZuschlag);
    EXPECT_EQ(voll.grundL, C("864.20")); // 864.1969
    EXPECT_EQ(voll.vollZuschlag, C("30.25")); // 30.247
}

TEST(FeeArithmetic, NetFeeWithSurcharges) {
    struct Case {
        const char *netto, *pro, *betrag, *p, *c;
    } cases[] = {
        {"10000.00", "5", "100.00", "500.00", "10600.00"},
        {"10000.00", "-5", "-100.00", "-500.00", "9400.00"},
        {"10000.00", "0", "0", "0", "10000.00"},
        {"333.33", "3", "0", "10.00", "343.33"},
    };
    for (const auto& c : cases) {
        const BerNettoWerte w = BerechneBerNetto(C(c.netto), C(c.pro), C(c.betrag));
        EXPECT_EQ(w.zuschlagAusProzent, C(c.p)) << c.pro;
        EXPECT_EQ(w.berNetto, C(c.c)) << c.pro;
    }
}

TEST(FeeArithmetic, ZoneAndRateChecks) {
    struct Case {
        const char* zone;
        std::array<const char*, 3> satz;
        int16_t want;
    } cases[] = {
        {"3", {"0", "100", "50"}, 0},      {"6", {"0", "0", "0"}, ZoneZuGross},
        {"40000", {"0", "0", "0"}, ZoneZuGross}, {"0", {"120", "0", "0"}, SatzUeber100},
        {"0", {"0", "0", "0"}, ZoneNichtPositiv}, {"-2", {"0", "0", "0"}, ZoneNichtPositiv},
        {"abc", {"0", "0", "0"}, ZoneNichtPositiv}, {"3", {"100.01", "0", "0"}, SatzUeber100},
        {"3", {"0", "0", "-0.01"}, SatzNegativ}, {"3", {"-1", "101", "0"}, SatzUeber100},
        {"3", {"101", "-1", "0"}, SatzNegativ},  {"2.5", {"0", "0", "0"}, 0},
        {" 5 x", {"0", "0", "0"}, 0},
    };
    for (const auto& c : cases) {
        const auto n = LeadingNumber(c.zone);
        const double zone = n ? std::nearbyint(*n) : 0.0;
        Abschnitte<Currency> s{};
        for (int k = 1; k <= 3; ++k) s[k] = C(c.satz[k - 1]);
        EXPECT_EQ(PruefeZoneUndSaetze(zone, 5, s), c.want) << c.zone;
    }
    EXPECT_FALSE(LeadingNumber("abc"));
    EXPECT_FALSE(LeadingNumber(""));
    EXPECT_EQ(*LeadingNumber("40000"), 40000.0);
}

TEST(PhaseRanges, SectionsAndRanges) {
    using K = std::array<int16_t, 11>;
    struct Case {
        const char* name;
        int16_t rechnungsart;
        K koZU;
        int16_t anzahl;
        std::array<const char*, 3> texts;
    } cases[] = {
        {"offer", 1, K{0, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3}, 1, {"1 - 9", "", ""}},
        {"two sections", 0, K{0, 1, 1, 1, 1, 2, 2, 2, 2, 2, 0}, 2, {"1 - 4", "5 - 9", ""}},
        {"interleaved", 0, K{0, 1, 1, 2, 2, 2, 1, 0, 0, 0, 0}, 2, {"1 - 6", "3 - 5", ""}},
        {"gap", 0, K{0, 1, 1, 3, 3, 0, 0, 0, 0, 0, 0}, 3, {"1 - 2", "0 - 0", "3 - 4"}},
        {"none", 0, K{}, 0, {"", "", ""}},
        {"foreign numbers", 0, K{0, 1, 4, -1, 7, 0, 0, 0, 0, 0, 1}, 1, {"1 - 10", "", ""}},
    };
    for (const auto& c : cases) {
        const PhasenBereiche b = BerechnePhasenBereiche(c.rechnungsart, c.koZU);
        EXPECT_EQ(b.anzahl, c.anzahl) << c.name;
        for (int k = 1; k <= 3; ++k) EXPECT_EQ(b.StoredText(k), c.texts[k - 1]) << c.name << " " << k;
    }
    PhasenBereiche b = BerechnePhasenBereiche(0, K{0, 1, 1, 1, 1});
    EXPECT_EQ("Kosten Lp" + b.CaptionRange(1), "Kosten Lp 1 - 4");
}
