#include "fee/Parag57Rechnung.h"
#include "FeeTestSupport.h"
#include "TestDir.h"
#include "core/DatabaseSetup.h"
#include "fee/PauschalRechnung.h"

#include <gtest/gtest.h>

// GCC 12 reports the moves of db::Value temporaries into Params as maybe-uninitialized (a known false
// positive of std::variant with inlining).
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"

namespace velu::fee {
namespace {

using test::C;

TEST(Parag57Rechnung, FeeRoundsRateBeforeShare) {
    struct Fall {
        const char *kosten, *satz, *fertig, *honorar;
    } faelle[] = {
        {"100000", "2.1", "100", "2100"},
        {"1000.25", "2.1", "50", "10.51"}, // a = 21.01; one rounding of the
                                           // whole product would give 10.50
        {"1000000", "2.1", "0", "0"},
        {"1000.25", "0", "100", "0"},
        {"-1000", "2.1", "100", "-21"},
        {"0", "2.1", "100", "0"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.kosten + std::string(" x ") + f.satz + " x " + f.fertig);
        EXPECT_EQ(Honorar57(C(f.kosten), C(f.satz), C(f.fertig)), C(f.honorar));
    }
}

TEST(Parag57Rechnung, FormatsPercentagesWithoutSign) {
    EXPECT_EQ(FormatZahl2(C("2.1")), "2,10");
    EXPECT_EQ(FormatZahl2(C("1234.5")), "1.234,50");
    EXPECT_EQ(FormatZahl2(C("-0.5")), "-0,50");
}

class Parag57Db : public ::testing::Test {
protected:
    void SetUp() override {
        db = DatabaseSetup::CreateProjektDB(dir / "Velupro32.mdb");
        ASSERT_TRUE(db);
    }
    void Kosten(int32_t key, const char* betrag) {
        db->Execute("INSERT INTO AnrechenbareKosten (LfNrBeReList, Phase, ZuordnungAnlGrp, Eigenleistung) "
                    "VALUES (:k, 1, 1, :b)",
                    db::Params().Set("k", int64_t{key}).Set("b", C(betrag).Raw()));
    }
    TestDir dir;
    std::unique_ptr<db::Database> db;
};

TEST_F(Parag57Db, StandardRateOnlyWhileNoneIsStored) {
    struct Fall {
        const char* name;
        std::optional<Currency> gespeichert;
        Currency satz, honorar;
    } faelle[] = {
        {"no rate stored: 2.1", std::nullopt, C("2.1"), C("2100")},
        {"a stored 0 stays 0", C("0"), C("0"), C("0")},
        {"a stored rate is kept", C("3"), C("3"), C("3000")},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.name);
        Parag57Rechnung r(*db);
        r.MakeConnection(1, C("100000"), f.gespeichert, C("100"), {}, {}, DM, DM);
        const Parag57Werte w = r.GetDaten();
        EXPECT_EQ(w.satz, f.satz);
        EXPECT_EQ(w.honorar, f.honorar);
        EXPECT_EQ(w.kosten, C("100000")); // no cost line changed: the handed-over costs stand
    }
}

TEST_F(Parag57Db, FeeTwinFollowsCalculationCurrency) {
    struct Fall {
        WaehrungCode berechnung, anzeige;
        const char *twin, *angezeigt;
    } faelle[] = {
        {DM, DM, "1073.713", "2100"},
        {DM, EUR, "1073.713", "1073.713"},
        {EUR, DM, "4107.243", "4107.243"},
        {EUR, EUR, "4107.243", "2100"},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(WährungsModus(f.berechnung, f.anzeige));
        Parag57Rechnung r(*db);
        r.MakeConnection(1, C("100000"), std::nullopt, C("100"), {}, {}, f.berechnung, f.anzeige);
        EXPECT_EQ(r.Honorar(), C("2100"));
        EXPECT_EQ(r.AlDispHonorar(), C(f.twin));
        EXPECT_EQ(r.AnzeigeHonorar(), C(f.angezeigt));
    }
}

TEST_F(Parag57Db, CostsSummedAgainAfterAChangeEvenWithNoLineLeft) {
    Kosten(7, "600.25");
    Kosten(7, "400");
    Kosten(8, "99999"); // another calculation
    Parag57Rechnung r(*db);
    r.MakeConnection(7, C("5"), C("2.1"), C("50"), {}, {}, DM, DM);
    r.SumKostenEX();
    EXPECT_EQ(r.Kosten(), C("5"));
    r.KostenGeaendert();
    const Parag57Werte w = r.GetDaten();
    EXPECT_EQ(w.kosten, C("1000.25"));
    EXPECT_EQ(w.honorar, C("10.51"));
    EXPECT_FALSE(r.KostenSindGeaendert());
    // With every line deleted the sum is taken all the same: no costs, no fee.
    db->Execute("DELETE FROM AnrechenbareKosten WHERE LfNrBeReList = 7");
    r.KostenGeaendert();
    const Parag57Werte leer = r.GetDaten();
    EXPECT_EQ(leer.kosten, C("0"));
    EXPECT_EQ(leer.honorar, C("0"));
    EXPECT_EQ(leer.alDispHonorar, C("0"));
}

} // namespace
} // namespace velu::fee
