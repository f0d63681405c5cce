#include "register/Rechnungskette.h"

#include "core/CurrencyPrint.h"
#include "core/Money.h"

#include <gtest/gtest.h>

using velu::Currency;
using velu::KettenEingabe;
using velu::KettenErgebnis;

namespace {
Currency C(const char* s) {
    return Currency::FromString(s);
}

// Outputs in table order; names let a failure say which step broke.
void ExpectChain(const KettenErgebnis& r, const char* const (&w)[13], const std::string& fall) {
    const std::pair<const char*, Currency> ist[] = {
        {"StdReNetZuAbProDM", r.stdReNetZuAbProDM},
        {"StdReBrZuAbProDM", r.stdReBrZuAbProDM},
        {"InZuSchBerNettoProDM", r.inZuSchBerNettoProDM},
        {"ZuAbBrNetto", r.zuAbBrNetto},
        {"ZwSumm", r.zwSumm},
        {"MwstDM", r.mwstDM},
        {"Brutto", r.brutto},
        {"InZuSchBruttoProDM", r.inZuSchBruttoProDM},
        {"ZuAbBrutto", r.zuAbBrutto},
        {"Skontofaehig", r.skontofaehig},
        {"SkontoDM", r.skontoDM},
        {"Endbetrag", r.endbetrag},
        {"Mwstenthalten", r.mwstenthalten},
    };
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(ist[i].second, C(w[i])) << fall << ": " << ist[i].first;
}
} // namespace

TEST(CalcBerNetto, RoundsEachStepToCents) {
    struct Case {
        const char *netto, *pro, *betrag, *mwst;
        const char *proDM, *zuAb, *zwSumm, *mwstDM, *brutto;
    } cases[] = {
        {"1000", "10", "50", "16", "100", "150", "1150", "184", "1334"},
        {"0.05", "10", "0", "16", "0.01", "0.01", "0.06", "0.01", "0.07"}, // 0.005 + 0.0001 rounds up
        {"800", "-5", "20", "19", "-40", "-20", "780", "148.2", "928.2"},
        {"100", "0", "-100", "16", "0", "-100", "0", "0", "0"},
        {"0", "0", "0", "0", "0", "0", "0", "0", "0"},
    };
    for (const auto& c : cases) {
        const auto t = velu::CalcBerNetto(C(c.netto), C(c.pro), C(c.betrag), C(c.mwst));
        EXPECT_EQ(t.proDM, C(c.proDM)) << c.netto;
        EXPECT_EQ(t.zuAb, C(c.zuAb)) << c.netto;
        EXPECT_EQ(t.zwSumm, C(c.zwSumm)) << c.netto;
        EXPECT_EQ(t.mwstDM, C(c.mwstDM)) << c.netto;
        EXPECT_EQ(t.brutto, C(c.brutto)) << c.netto;
    }
}

TEST(CalcRechnung, ChainByType) {
    KettenEingabe beispiel;
    beispiel.berNetto = C("1000");
    beispiel.inZuSchBerNettoPro = C("10");
    beispiel.inZuSchBerNettoDM = C("50");
    beispiel.mwstPro = C("16");
    beispiel.summAz = C("200");
    beispiel.skontoPro = C("2");

    // The same calculation's euro run: twins of the amounts, same percents.
    KettenEingabe euro = beispiel;
    euro.berNetto = velu::RundCY(velu::DMEuroUmrechnung(C("1000"), 1)); // 511.29
    euro.inZuSchBerNettoDM = velu::DMEuroUmrechnung(C("50"), 1);        // 25.5646
    euro.summAz = velu::DMEuroUmrechnung(C("200"), 1);                  // 102.2584

    KettenEingabe ueberzahlt;
    ueberzahlt.berNetto = C("1000");
    ueberzahlt.mwstPro = C("16");
    ueberzahlt.summAz = C("1500");
    ueberzahlt.skontoPro = C("2");

    // Hourly-rate invoice: -5 % and +20.00 on 800.00; the fee-engine surcharges must be ignored.
    KettenEingabe stunden;
    stunden.berNetto = C("800");
    stunden.mwstPro = C("16");
    stunden.stdReNetZuAbPro = C("-5");
    stunden.stdReNetZuAbDM = C("20");
    stunden.stdReBrZuAbPro = C("1");
    stunden.stdReBrZuAbDM = C("-1.05");
    stunden.inZuSchBerNettoPro = C("50");
    stunden.inZuSchBruttoDM = C("999");

    // A fee calculation with a gross surcharge; the S/B fields must be ignored.
    KettenEingabe brutto = beispiel;
    brutto.summAz = {};
    brutto.skontoPro = {};
    brutto.inZuSchBruttoPro = C("5");
    brutto.inZuSchBruttoDM = C("10");
    brutto.stdReNetZuAbPro = C("50");
    brutto.stdReBrZuAbDM = C("999");

    struct Case {
        const char* fall;
        KettenEingabe e;
        const char* typ;
        const char* w[13];
    } cases[] = {
        {"Beispiel",
         beispiel,
         "R",
         {"0", "0", "100", "150", "1150", "184", "1334", "0", "0", "1134", "-22.68", "1111.32", "153.29"}},
        {"Euro",
         euro,
         "R",
         {"0", "0", "51.13", "76.69", "587.98", "94.08", "682.06", "0", "0", "579.8016", "-11.6", "568.2",
          "78.37"}},
        {"Ueberzahlt",
         ueberzahlt,
         "A",
         {"0", "0", "0", "0", "1000", "160", "1160", "0", "0", "-340", "6.8", "-333.2", "-45.96"}},
        {"Stunden",
         stunden,
         "S",
         {"-40", "9.05", "0", "-20", "780", "124.8", "904.8", "0", "8", "912.8", "0", "912.8", "125.9"}},
        {"Bauleitung gleich S",
         stunden,
         "B",
         {"-40", "9.05", "0", "-20", "780", "124.8", "904.8", "0", "8", "912.8", "0", "912.8", "125.9"}},
        {"Bruttozuschlag",
         brutto,
         "V",
         {"0", "0", "100", "150", "1150", "184", "1334", "66.7", "76.7", "1410.7", "0", "1410.7", "194.58"}},
        {"Leer", KettenEingabe{}, "", {"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"}},
        {"Leer S", KettenEingabe{}, "S", {"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"}},
    };
    for (const auto& c : cases)
        ExpectChain(velu::CalcRechnung(c.e, c.typ), c.w, c.fall);
}

TEST(CalcRechnung, VatRateAtMinusHundredNeverDivides) {
    KettenEingabe e;
    e.berNetto = C("100");
    for (const char* satz : {"-100", "-150"}) {
        e.mwstPro = C(satz);
        const auto r = velu::CalcRechnung(e, "R");
        EXPECT_EQ(r.mwstenthalten, Currency{}) << satz;
        EXPECT_FALSE(velu::MwstProGueltig(e.mwstPro)) << satz;
    }
    EXPECT_TRUE(velu::MwstProGueltig(C("-99.9999")));
    EXPECT_TRUE(velu::MwstProGueltig(C("0")));
}

TEST(CalcRechnung, OverflowThrowsInsteadOfWrapping) {
    KettenEingabe e;
    e.berNetto = Currency::FromRaw(INT64_MAX - 10);
    e.inZuSchBerNettoDM = C("1000");
    EXPECT_THROW(velu::CalcRechnung(e, "R"), velu::CurrencyOverflow);
}

TEST(MwstProAusBetrag, WorksBackFromSubtotal) {
    struct Case {
        const char *mwstDM, *zwSumm;
        std::optional<const char*> satz;
    } cases[] = {
        {"184", "1150", "16"},                                   // from BerNetto 1000 it would be 18
        {"160.01", "1000", "16"},                                // nearest whole number
        {"-16", "-100", "16"},         {"5", "0", std::nullopt}, // no subtotal: rate stays empty
        {"-200", "100", std::nullopt},                           // would be -200 %
    };
    for (const auto& c : cases) {
        const auto satz = velu::MwstProAusBetrag(C(c.mwstDM), C(c.zwSumm));
        ASSERT_EQ(satz.has_value(), c.satz.has_value()) << c.mwstDM;
        if (satz) {
            EXPECT_EQ(*satz, C(*c.satz)) << c.mwstDM;
        }
    }
}
