#include "register/InvoiceChain.h"
#include "core/CurrencyPrint.h"

#include <gtest/gtest.h>

// The cases name only the inputs they use; every other one is 0.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

using velu::Currency;
using namespace velu::reg;

namespace {
Currency C(const char* s) {
    return Currency::FromString(s);
}
} // namespace

TEST(InvoiceChainNet, RoundsEachStepToCents) {
    struct Case {
        const char *netto, *pro, *betrag, *mwst;
        const char *proDM, *zuAb, *zwSumm, *mwstDM, *brutto;
    } cases[] = {
        {"1000", "10", "50", "16", "100", "150", "1150", "184", "1334"},
        {"0.05", "50", "0", "16", "0.03", "0.03", "0.08", "0.01",
         "0.09"}, // 0.025 goes up: RundCY adds 0.0001
        {"800", "-5", "20", "16", "-40", "-20", "780", "124.8", "904.8"},
        {"511.29", "10", "25.5646", "16", "51.13", "76.69", "587.98", "94.08", "682.06"},
        {"0", "0", "0", "0", "0", "0", "0", "0", "0"},
    };
    for (const auto& c : cases) {
        Currency proDM, zuAb, zwSumm, mwstDM, brutto;
        CalcBerNetto(C(c.netto), C(c.pro), C(c.betrag), C(c.mwst), proDM, zuAb, zwSumm, mwstDM, brutto);
        EXPECT_EQ(proDM, C(c.proDM)) << c.netto;
        EXPECT_EQ(zuAb, C(c.zuAb)) << c.netto;
        EXPECT_EQ(zwSumm, C(c.zwSumm)) << c.netto;
        EXPECT_EQ(mwstDM, C(c.mwstDM)) << c.netto;
        EXPECT_EQ(brutto, C(c.brutto)) << c.netto;
    }
}

TEST(InvoiceChain, WholeChain) {
    struct Case {
        const char* name;
        bool stdRe;
        RechnungsEingaben in;
        // inZuSchBerNettoProDM, stdReNetZuAbProDM, zuAbBrNetto, zwSumm, mwstDM, brutto, inZuSchBruttoProDM,
        // stdReBrZuAbProDM, zuAbBrutto, skontofaehig, skontoDM, endbetrag, mwstenthalten
        const char* out[13];
    } cases[] = {
        {"Beispiel",
         false,
         {.berNetto = C("1000"),
          .mwstPro = C("16"),
          .skontoPro = C("2"),
          .summAz = C("200"),
          .inZuSchBerNettoPro = C("10"),
          .inZuSchBerNettoDM = C("50")},
         {"100", "0", "150", "1150", "184", "1334", "0", "0", "0", "1134", "-22.68", "1111.32", "153.29"}},
        // The twins of the example entered in DM: net fee rounded, surcharge amount and payments unrounded.
        {"Beispiel in Euro",
         false,
         {.berNetto = C("511.29"),
          .mwstPro = C("16"),
          .skontoPro = C("2"),
          .summAz = C("102.2583"),
          .inZuSchBerNettoPro = C("10"),
          .inZuSchBerNettoDM = C("25.5646")},
         {"51.13", "0", "76.69", "587.98", "94.08", "682.06", "0", "0", "0", "579.8017", "-11.6", "568.2",
          "78.37"}},
        {"Zahlungen über Brutto",
         false,
         {.berNetto = C("1000"), .mwstPro = C("16"), .skontoPro = C("2"), .summAz = C("2000")},
         {"0", "0", "0", "1000", "160", "1160", "0", "0", "0", "-840", "16.8", "-823.2", "-113.54"}},
        {"Stundenlohn -5 % und +20,00",
         true,
         {.berNetto = C("800"),
          .mwstPro = C("16"),
          .inZuSchBerNettoPro = C("10"),
          .inZuSchBruttoPro = C("10"),
          .stdReNetZuAbPro = C("-5"),
          .stdReNetZuAbDM = C("20")},
         {"0", "-40", "-20", "780", "124.8", "904.8", "0", "0", "0", "904.8", "0", "904.8", "124.8"}},
        {"Zuschlag auf Brutto",
         false,
         {.berNetto = C("1000"),
          .mwstPro = C("16"),
          .inZuSchBruttoPro = C("5"),
          .inZuSchBruttoDM = C("10"),
          .stdReNetZuAbPro = C("50"),
          .stdReBrZuAbPro = C("50")},
         {"0", "0", "0", "1000", "160", "1160", "58", "0", "68", "1228", "0", "1228", "169.38"}},
        {"Stundenlohn mit Bruttozuschlag",
         true,
         {.berNetto = C("100"), .mwstPro = C("16"), .stdReBrZuAbPro = C("10"), .stdReBrZuAbDM = C("-1.6")},
         {"0", "0", "0", "100", "16", "116", "0", "11.6", "10", "126", "0", "126", "17.38"}},
        {"alles leer", false, {}, {"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"}},
        {"alles leer Stundenlohn",
         true,
         {},
         {"0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0", "0"}},
        // At -100 % the VAT contained would divide by zero; it stays 0.
        {"MwSt -100",
         false,
         {.berNetto = C("100"), .mwstPro = C("-100")},
         {"0", "0", "0", "100", "-100", "0", "0", "0", "0", "0", "0", "0", "0"}},
        {"MwSt -150",
         false,
         {.berNetto = C("100"), .mwstPro = C("-150")},
         {"0", "0", "0", "100", "-150", "-50", "0", "0", "0", "-50", "0", "-50", "0"}},
    };
    for (const auto& c : cases) {
        RechnungsErgebnis r = BerechneRechnung(c.in, c.stdRe);
        const Currency got[13] = {r.inZuSchBerNettoProDM,
                                  r.stdReNetZuAbProDM,
                                  r.zuAbBrNetto,
                                  r.zwSumm,
                                  r.mwstDM,
                                  r.brutto,
                                  r.inZuSchBruttoProDM,
                                  r.stdReBrZuAbProDM,
                                  r.zuAbBrutto,
                                  r.skontofaehig,
                                  r.skontoDM,
                                  r.endbetrag,
                                  r.mwstenthalten};
        for (int i = 0; i < 13; ++i)
            EXPECT_EQ(got[i], C(c.out[i])) << c.name << " output " << i;
    }
}

TEST(InvoiceChain, SurchargeFieldsFollowType) {
    EXPECT_TRUE(NutztStdReZuschlaege('S'));
    EXPECT_TRUE(NutztStdReZuschlaege('B'));
    for (char t : {'A', 'R', 'E', 'V', '\0'})
        EXPECT_FALSE(NutztStdReZuschlaege(t)) << t;
}

TEST(InvoiceChainVat, RefusesMinusHundredAndBelow) {
    EXPECT_FALSE(MwstProZulaessig(C("-100")));
    EXPECT_FALSE(MwstProZulaessig(C("-250")));
    EXPECT_TRUE(MwstProZulaessig(C("-99.99")));
    EXPECT_TRUE(MwstProZulaessig(C("0")));
    EXPECT_TRUE(MwstProZulaessig(C("16")));
}
