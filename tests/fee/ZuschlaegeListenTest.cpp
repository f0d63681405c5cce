#include "fee/ZuschlaegeListen.h"
#include "FeeTestDb.h"
#include "FeeTestSupport.h"

#include <gtest/gtest.h>

namespace velu::fee::test {
namespace {

void Zeile(db::Database& p, const char* tabelle, int32_t nr, int gruppe, const char* pro, const char* betrag,
           const char* twin) {
    const bool jeGruppe = std::string(tabelle) == "ZuNetto";
    db::Params q;
    q.Set("nr", int64_t{nr}).Set("pro", C(pro).Raw()).Set("b", C(betrag).Raw()).Set("t", C(twin).Raw());
    if (jeGruppe) q.Set("g", int64_t{gruppe});
    p.Execute(std::string("INSERT INTO ") + tabelle + " (LfNrBeReList, " +
                  (jeGruppe ? "ZuordnungAnlGrp, " : "") +
                  "Bezeichnung, ZuAbPro, ZuAbDM, AlDispZuAbDM) VALUES (:nr, " + (jeGruppe ? ":g, " : "") +
                  "'x', :pro, :b, :t)",
              q);
}

void Phase(db::Database& p, int32_t nr, int gruppe, const char* zuab, int64_t lp) {
    p.Execute(
        "INSERT INTO ZuLP (LfNrBeReList, ZuordnungAnlGrp, Bezeichnung, ZuAb, LP) VALUES (:nr, :g, 'x', :z, "
        ":lp)",
        db::Params().Set("nr", int64_t{nr}).Set("g", int64_t{gruppe}).Set("z", C(zuab).Raw()).Set("lp", lp));
}

TEST(ZuschlagModus, FourModes) {
    EXPECT_EQ(ZuschlagModus(DM, DM), 1);
    EXPECT_EQ(ZuschlagModus(DM, EUR), 2);
    EXPECT_EQ(ZuschlagModus(EUR, DM), 3);
    EXPECT_EQ(ZuschlagModus(EUR, EUR), 4);
    EXPECT_EQ(ZuschlagModus(5, -1), 4); // any code other than 0 is euro
    EXPECT_TRUE(ZeigtHauptbetrag(1));
    EXPECT_FALSE(ZeigtHauptbetrag(2));
    EXPECT_FALSE(ZeigtHauptbetrag(3));
    EXPECT_TRUE(ZeigtHauptbetrag(4));
}

TEST(BetragEingegeben, TwinOfATypedAmount) {
    struct Fall {
        bool zwilling;
        const char* getippt;
        WaehrungCode anzeige;
        const char *haupt, *twin;
    } faelle[] = {
        {true, "100", EUR, "195.58", "99.9985"},   // DM calculation shown in euro
        {false, "100", DM, "100", "51.1292"},      // DM calculation shown in DM
        {false, "100", EUR, "100", "195.583"},     // euro shown in euro
        {true, "100", DM, "51.13", "100.0016"},    // euro calculation shown in DM
        {false, "10.005", DM, "10.005", "5.1155"}, // the typed main amount stays as typed
        {true, "-50", EUR, "-97.79", "-49.9992"},  // a discount
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.getippt);
        const ZuschlagBetrag b = BetragEingegeben(f.zwilling, C(f.getippt), f.anzeige);
        EXPECT_EQ(b.zuAbDM, C(f.haupt));
        EXPECT_EQ(b.alDispZuAbDM, C(f.twin));
    }
}

TEST(LPPruefen, PhasesOneToNine) {
    struct Fall {
        db::Value lp;
        bool ok;
        int64_t gespeichert;
    } faelle[] = {
        {db::Value(), true, 1},
        {db::Value(int64_t{0}), true, 1},
        {db::Value(int64_t{1}), true, 1},
        {db::Value(int64_t{9}), true, 9},
        {db::Value(int64_t{10}), false, 1},
        {db::Value(int64_t{-1}), false, 1},
        {db::Value(std::string("4")), true, 4},
        {db::Value(2.5), false, 1},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(!LPPruefen(f.lp), f.ok);
        EXPECT_EQ(LPSpeicherwert(f.lp), f.gespeichert);
    }
    EXPECT_EQ(LPPruefen(db::Value(int64_t{12})).value_or(""), LPMeldung);
}

TEST(ZuschlagSummen, StoredQueriesTotalEachList) {
    FeeDbs dbs;
    db::Database& p = *dbs.projekt;
    // Nothing stored: every total is 0.
    EXPECT_EQ(SummZuBerNetto(p, 1).betrag, Currency{});
    EXPECT_EQ(SummZuLP(p, 1, 1)[0], Currency{});

    Zeile(p, "ZuNetto", 1, 1, "5", "100", "51.1292");
    Zeile(p, "ZuNetto", 1, 1, "-2", "-20", "-10.2258");
    Zeile(p, "ZuNetto", 1, 2, "7", "0", "0"); // another plant group
    Zeile(p, "ZuBerNetto", 1, 0, "3", "200", "102.2583");
    Zeile(p, "ZuBerNetto", 1, 0, "-1.5", "-50", "-25.5646");
    Zeile(p, "ZuBerNetto", 2, 0, "99", "999", "999"); // another calculation
    Zeile(p, "ZuBrutto", 1, 0, "0", "-300", "-153.3875");

    const ZuschlagSumme netto = SummZuNetto(p, 1, 1);
    EXPECT_EQ(netto.prozent, C("3"));
    EXPECT_EQ(netto.betrag, C("80"));
    EXPECT_EQ(netto.alDispBetrag, C("40.9034"));
    EXPECT_EQ(SummZuNetto(p, 1, 2).prozent, C("7"));
    const ZuschlagSumme ber = SummZuBerNetto(p, 1);
    EXPECT_EQ(ber.prozent, C("1.5"));
    EXPECT_EQ(ber.betrag, C("150"));
    EXPECT_EQ(ber.alDispBetrag, C("76.6937"));
    const ZuschlagSumme brutto = SummZuBrutto(p, 1);
    EXPECT_EQ(brutto.prozent, C("0"));
    EXPECT_EQ(brutto.betrag, C("-300"));
    EXPECT_EQ(SummZuBrutto(p, 2).betrag, Currency{});

    Phase(p, 1, 1, "2", 3);
    Phase(p, 1, 1, "1.5", 3);
    Phase(p, 1, 1, "-1", 9);
    Phase(p, 1, 1, "50", 0); // older rows outside 1 to 9 count nowhere
    Phase(p, 1, 1, "50", 10);
    Phase(p, 1, 2, "4", 1);
    const auto lp = SummZuLP(p, 1, 1);
    for (int i = 0; i < 9; ++i) {
        SCOPED_TRACE(i + 1);
        EXPECT_EQ(lp[size_t(i)], i == 2 ? C("3.5") : i == 8 ? C("-1") : Currency{});
    }
    EXPECT_EQ(SummZuLP(p, 1, 2)[0], C("4"));
}

} // namespace
} // namespace velu::fee::test
