#include "fee/PauschalRechnung.h"
#include "FeeTestSupport.h"

#include <gtest/gtest.h>

namespace velu::fee {
namespace {

using test::C;

TEST(PauschalRechnung, TypedLumpSumBecomesPair) {
    struct Fall {
        const char* name;
        WaehrungCode berechnung, anzeige;
        const char* getippt;
        const char *pausch, *twin;
    } faelle[] = {
        {"DM shown in euro: converted and rounded, twin back unrounded", DM, EUR, "100", "195.58", "99.9985"},
        {"DM shown in DM: kept as typed, no rounding to cents", DM, DM, "1234.567", "1234.567", "631.2241"},
        {"euro shown in DM", EUR, DM, "195.58", "100", "195.583"},
        {"euro shown in euro", EUR, EUR, "100", "100", "195.583"},
        {"negative amounts are taken unchanged", DM, DM, "-50", "-50", "-25.5646"},
        {"0 hands the section back to the table fee", DM, EUR, "0", "0", "0"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        PauschalRechnung r;
        r.LoadPausch({}, {}, {}, {}, f.berechnung, f.anzeige, 3);
        ASSERT_TRUE(r.calcwährung(0, C(f.getippt)));
        Abschnitte<Currency> p{}, t{};
        r.GetPausch(p, t);
        EXPECT_EQ(p[1], C(f.pausch));
        EXPECT_EQ(t[1], C(f.twin));
        // The field shows the amount in the display currency.
        const bool zeigtTwin = f.berechnung != f.anzeige;
        EXPECT_EQ(r.AnzeigePausch(0), zeigtTwin ? C(f.twin) : C(f.pausch));
    }
}

TEST(PauschalRechnung, NothingTakenOutsideRowsOrKnownModes) {
    PauschalRechnung r;
    r.LoadPausch({C("0"), C("1"), C("2"), C("3")}, {}, {}, {}, DM, DM, 3);
    EXPECT_FALSE(r.calcwährung(-1, C("9")));
    EXPECT_FALSE(r.calcwährung(3, C("9")));
    r.LoadPausch({C("0"), C("1"), C("2"), C("3")}, {}, {}, {}, int16_t{2}, DM, 3); // mode 5
    EXPECT_FALSE(r.calcwährung(0, C("9")));
    EXPECT_FALSE(r.AnzeigePausch(0).has_value());
    Abschnitte<Currency> p{C("7")}, t{};
    r.GetPausch(p, t);
    EXPECT_EQ(p[0], C("7")); // element 0 is not the dialog's
    EXPECT_EQ(p[1], C("1"));
}

TEST(PauschalRechnung, RowsBeyondSectionsShowNothingButPassThrough) {
    const Abschnitte<Currency> pausch{Currency{}, C("10"), C("20"), C("30")};
    const Abschnitte<Currency> alDispPausch{Currency{}, C("5.1129"), C("10.2258"), C("15.3388")};
    const Abschnitte<Currency> alDispTafel{Currency{}, C("511.29"), C("0"), C("0")};
    const Abschnitte<Currency> tafel{Currency{}, C("1000"), C("0"), C("0")};
    PauschalRechnung r;
    r.LoadPausch(pausch, alDispPausch, alDispTafel, tafel, DM, EUR, 2);
    EXPECT_EQ(r.AnzeigePausch(0), C("5.1129"));
    EXPECT_EQ(r.AnzeigeTafel(0), C("511.29"));
    EXPECT_EQ(r.AnzeigePausch(1), C("10.2258"));
    EXPECT_FALSE(r.AnzeigePausch(2).has_value());
    EXPECT_FALSE(r.AnzeigeTafel(2).has_value());
    r.SwitchWährung(DM);
    EXPECT_EQ(r.Modus(), 1);
    EXPECT_EQ(r.AnzeigePausch(0), C("10"));
    EXPECT_EQ(r.AnzeigeTafel(0), C("1000"));
    Abschnitte<Currency> p{}, t{};
    r.GetPausch(p, t);
    EXPECT_EQ(p, pausch);
    EXPECT_EQ(t, alDispPausch);
    r.LoadPausch(pausch, alDispPausch, alDispTafel, tafel, DM, DM, 9); // held to 3
    EXPECT_EQ(r.AnzeigePausch(2), C("30"));
}

TEST(PauschalRechnung, ShownTextReadsBackExactly) {
    const std::optional<AngezeigterBetrag> gezeigt = AngezeigterBetrag{C("1234.567"), "1.234,57 DM"};
    struct Fall {
        const char* text;
        std::optional<Currency> wert;
    } faelle[] = {
        {"1.234,57 DM", C("1234.567")}, // unchanged: the amount behind the picture
        {"1.234,57", C("1234.57")},     // typed anew
        {"1234.5", C("1234.5")},        {"100 €", C("100")}, {"12a", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.text);
        EXPECT_EQ(LeseBetrag(gezeigt, f.text), f.wert);
    }
    EXPECT_EQ(LeseBetrag(std::nullopt, "1.234,57 DM"), C("1234.57"));
}

} // namespace
} // namespace velu::fee
