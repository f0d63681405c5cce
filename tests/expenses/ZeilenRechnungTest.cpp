// Row arithmetic of the hourly-rate positions in the four currency modes.
#include "expenses/ZeilenRechnung.h"

#include <gtest/gtest.h>

using velu::Currency;
using namespace velu::expenses;

namespace {

Currency C(const char* s) {
    return Currency::FromString(s);
}

TEST(ZeilenRechnung, RowsInTheFourModes) {
    struct Case {
        const char* name;
        int modus, spalte;
        const char *menge, *satz, *alDispSatz;                 // before
        const char *eSatz, *eAlDispSatz, *eSumm, *eAlDispSumm; // after
    } cases[] = {
        // Typed into the visible twin: the twin stays as typed, the entry rate keeps four places, and the
        // twin's sum is the visible rate times the quantity, to the cent.
        {"mode 2, 10 euro typed", 2, 5, "0", "0", "10", "19.5583", "10", "0", "0"},
        {"mode 1, 100 DM x 2.5", 1, 4, "2.5", "100", "0", "100", "51.1292", "250", "127.823"},
        {"mode 3, 100 DM typed x 3", 3, 5, "3", "0", "100", "51.1292", "100", "153.39", "300"},
        {"mode 3, 18 DM typed", 3, 5, "1", "0", "18", "9.2033", "18", "9.2", "18"},
        {"mode 4, 50 euro x 1.5", 4, 4, "1.5", "50", "0", "50", "97.7915", "75", "146.6873"},
        // Only the quantity changed: an inconsistent pair stays as it is.
        {"quantity only", 2, NurMenge, "4", "20", "10", "20", "10", "80", "40"},
        {"quantity only, mode 3", 3, NurMenge, "2", "10", "19", "10", "19", "20", "38"},
        {"empty quantity", 1, 4, "0", "80", "0", "80", "40.9034", "0", "0"},
        {"negative rate", 1, 4, "2", "-10", "0", "-10", "-5.1129", "-20", "-10.2258"},
        // Sum rounded to cents: 0.333 x 10 = 3.33.
        {"sum to cents", 1, 4, "0.333", "10", "0", "10", "5.1129", "3.33", "1.7026"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto p = calcSumme(c.modus, c.spalte, C(c.menge), {C(c.satz), C(c.alDispSatz), {}, {}});
        ASSERT_TRUE(p);
        EXPECT_EQ(p->satz, C(c.eSatz));
        EXPECT_EQ(p->alDispSatz, C(c.eAlDispSatz));
        EXPECT_EQ(p->summ, C(c.eSumm));
        EXPECT_EQ(p->alDispSumm, C(c.eAlDispSumm));
    }
}

TEST(ZeilenRechnung, AmountsBeyondTheMoneyRangeAreRefused) {
    struct Case {
        const char* name;
        int modus;
        const char *menge, *satz, *alDispSatz;
    } cases[] = {
        {"999 999 999 x 999 999 999", 1, "999999999", "999999999", "0"},
        {"just beyond", 4, "999999999", "1000000", "0"},
        {"twin typed, mode 2", 2, "999999999", "0", "999999999"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(calcSumme(c.modus, 4, C(c.menge), {C(c.satz), C(c.alDispSatz), {}, {}}));
    }
    // The largest sum that fits is still taken.
    EXPECT_TRUE(calcSumme(1, 4, C("999999999"), {C("99999"), {}, {}, {}}));
}

TEST(ZeilenRechnung, RateTakenFromEmployeeOrCatalogue) {
    struct Case {
        const char* name;
        int modus;
        const char *menge, *dm, *euro;
        const char *eSatz, *eAlDispSatz, *eSumm;
    } cases[] = {
        {"employee 120 DM, mode 2", 2, "0", "120", "61.355", "120", "61.355", "0"},
        {"mode 1 takes the DM rate", 1, "2", "120", "61", "120", "61.355", "240"},
        {"mode 4 takes the euro rate", 4, "2", "120", "61", "61", "119.3056", "122"},
        // Euro rate shown in DM, then the entry rate rounded from it.
        {"mode 3 from the euro rate", 3, "1", "0", "40", "40", "78.2332", "40"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto p = SatzUebernehmen(c.modus, C(c.menge), {}, C(c.dm), C(c.euro));
        ASSERT_TRUE(p);
        EXPECT_EQ(p->satz, C(c.eSatz));
        EXPECT_EQ(p->alDispSatz, C(c.eAlDispSatz));
        EXPECT_EQ(p->summ, C(c.eSumm));
    }
    EXPECT_TRUE(MitarbeiterSatzGilt(Currency{}));
    EXPECT_FALSE(MitarbeiterSatzGilt(C("19.56")));
    EXPECT_FALSE(MitarbeiterSatzGilt(C("-1")));
}

TEST(ZeilenRechnung, ModesColumnsAndSigns) {
    struct Case {
        int eingabe, anzeige, modus;
        bool haupt;
        const char* zeichen;
    } cases[] = {
        {0, 0, 1, true, "DM"},
        {0, 1, 2, false, "\xE2\x82\xAC"},
        {1, 0, 3, false, "DM"},
        {1, 1, 4, true, "\xE2\x82\xAC"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.modus);
        EXPECT_EQ(Waehrungsmodus(c.eingabe, c.anzeige), c.modus);
        EXPECT_EQ(ZeigtHauptspalten(c.modus), c.haupt);
        EXPECT_EQ(Waehrungszeichen(c.modus), c.zeichen);
    }
}

TEST(ZeilenRechnung, EmptyDateBecomesTodayExceptWhenTheDateIsEdited) {
    struct Case {
        bool leer;
        const char* feld;
        bool heute;
    } cases[] = {
        {true, "Menge", true},  {true, "Leistung", true}, {true, "Datum", false},
        {true, "datum", false}, {false, "Menge", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HeuteEintragen(c.leer, c.feld), c.heute) << c.feld << " " << c.leer;
}

} // namespace
