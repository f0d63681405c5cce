#include "fee/PunkteKatalog.h"
#include "FeeTestDb.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>

namespace velu::fee::test {
namespace {

constexpr int32_t Nr = 7;

int32_t KatalogNr(db::Database& stamm, const std::string& bez) {
    db::Recordset rs = stamm.OpenRecordset("SELECT LfNr FROM PunkteVerzeichnis WHERE Bezeichnung = :b",
                                           db::Params().Set("b", bez));
    return rs.Empty() ? 0 : static_cast<int32_t>(rs.GetInt("LfNr"));
}

// Awards the whole total on the first criterion of the calculation and group, 0 on the others.
void Vergeben(db::Database& projekt, int16_t gruppe, int64_t punkte) {
    projekt.Execute(
        "UPDATE PunkteTab SET VergebenePunkte = 0 WHERE LfNrBeReList = :nr AND ZuordnungAnlGrp = :g",
        db::Params().Set("nr", int64_t{Nr}).Set("g", int64_t{gruppe}));
    projekt.Execute("UPDATE PunkteTab SET VergebenePunkte = :p WHERE LfNr = (SELECT Min(LfNr) FROM PunkteTab "
                    "WHERE LfNrBeReList = :nr AND ZuordnungAnlGrp = :g)",
                    db::Params().Set("p", punkte).Set("nr", int64_t{Nr}).Set("g", int64_t{gruppe}));
}

// A catalogue of our own: one criterion, bounds as given (von1, bis1, ..., von5, bis5; -1 leaves it Null).
int32_t EigenerKatalog(db::Database& stamm, const std::array<int64_t, 10>& b) {
    stamm.Execute("INSERT INTO PunkteVerzeichnis (Bezeichnung) VALUES ('Test')");
    const auto nr = static_cast<int32_t>(stamm.LastInsertId());
    for (int i = 0; i < 10; ++i) {
        if (b[size_t(i)] < 0) continue;
        const std::string feld = "Hzone" + std::to_string(i / 2 + 1) + (i % 2 == 0 ? "VonPunkt" : "BisPunkt");
        stamm.Execute("UPDATE PunkteVerzeichnis SET " + feld + " = :v WHERE LfNr = :nr",
                      db::Params().Set("v", b[size_t(i)]).Set("nr", int64_t{nr}));
    }
    stamm.Execute("INSERT INTO Punkte (LFNRPUNKTVERZ, Text, MaxPunkte) VALUES (:k, 'Kriterium', 99)",
                  db::Params().Set("k", int64_t{nr}));
    return nr;
}

class PunkteKatalogTest : public ::testing::Test {
protected:
    FeeDbs dbs;
    PunkteKatalog kat{*dbs.projekt, *dbs.stamm};
    int32_t gebaeude = KatalogNr(*dbs.stamm, "§ 35 Gebäude");
};

TEST_F(PunkteKatalogTest, DeliveredBuildingsCatalogueGivesTheZoneOfEachTotal) {
    ASSERT_GT(gebaeude, 1);
    ASSERT_EQ(kat.PunkteTabConnect(gebaeude, 1, Nr).RecordCount(), 6);
    struct Fall {
        int64_t punkte;
        int16_t zone;
        ZonenErgebnis grund;
    } faelle[] = {
        {0, 0, ZonenErgebnis::KeinePunkte},  {1, 1, ZonenErgebnis::Zone},
        {10, 1, ZonenErgebnis::Zone},        {11, 2, ZonenErgebnis::Zone},
        {18, 2, ZonenErgebnis::Zone},        {19, 3, ZonenErgebnis::Zone},
        {26, 3, ZonenErgebnis::Zone},        {27, 4, ZonenErgebnis::Zone},
        {34, 4, ZonenErgebnis::Zone},        {35, 5, ZonenErgebnis::Zone},
        {42, 5, ZonenErgebnis::Zone},        {43, 0, ZonenErgebnis::KeinBereich},
        {-3, 0, ZonenErgebnis::KeinBereich},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.punkte);
        Vergeben(*dbs.projekt, 1, f.punkte);
        const HOAIZonenWert w = kat.HOAIZone(gebaeude, 1, Nr);
        EXPECT_EQ(w.zone, f.zone);
        EXPECT_EQ(w.grund, f.grund);
        EXPECT_EQ(w.punkte, f.punkte);
    }
}

TEST_F(PunkteKatalogTest, CriteriaAreCopiedOncePerCalculationAndPlantGroup) {
    db::Recordset rs = kat.PunkteTabConnect(gebaeude, 1, Nr);
    ASSERT_EQ(rs.RecordCount(), 6);
    rs.MoveFirst();
    EXPECT_EQ(rs.GetText("Text"), "Anforderungen an die Einbindung in die Umgebung");
    EXPECT_EQ(rs.GetInt("MaxPunkte"), 6);
    EXPECT_EQ(rs.GetInt("VergebenePunkte", -1), 0);
    rs.MoveLast();
    EXPECT_EQ(rs.GetText("Text"), "Ausbau");

    // A second opening shows the stored points and copies nothing.
    Vergeben(*dbs.projekt, 1, 12);
    EXPECT_EQ(kat.PunkteTabConnect(gebaeude, 1, Nr).RecordCount(), 6);
    EXPECT_EQ(kat.PunkteSumme(1, Nr), 12);
    // Another plant group and another calculation have their own rows.
    EXPECT_EQ(kat.PunkteTabConnect(gebaeude, 2, Nr).RecordCount(), 6);
    EXPECT_EQ(kat.PunkteSumme(2, Nr), 0);
    EXPECT_EQ(kat.PunkteSumme(1, Nr + 1), 0);
    EXPECT_EQ(kat.HOAIZone(gebaeude, 1, Nr + 1).grund, ZonenErgebnis::KeinePunkte);
    // A catalogue without criteria copies nothing.
    EXPECT_EQ(kat.PunkteTabConnect(999, 3, Nr).RecordCount(), 0);
    EXPECT_EQ(kat.TranzPunkteKat(999, 3, Nr), 0);
}

TEST(ZoneAusPunkten, BoundsAndOverlaps) {
    const ZonenGrenzen g{{0, 11, 19, 27, 35}, {10, 18, 26, 34, 42}};
    const ZonenGrenzen ueberlappend{{0, 8, 19, 27, 35}, {10, 18, 26, 34, 42}};
    struct Fall {
        const ZonenGrenzen* g;
        int64_t p;
        int16_t zone;
    } faelle[] = {
        {&g, 0, 0},             // the lower bound of zone 1 is excluded
        {&g, 11, 2},            // the lower bound of zone 2 is included
        {&g, 42, 5},            // so is the upper bound
        {&ueberlappend, 9, 2},  // in zones 1 and 2: the higher one wins
        {&ueberlappend, 10, 2}, //
        {&ueberlappend, 8, 2},  //
        {&ueberlappend, 7, 1},
    };
    for (const auto& f : faelle) {
        SCOPED_TRACE(f.p);
        EXPECT_EQ(ZoneAusPunkten(f.p, *f.g), f.zone);
    }
}

TEST_F(PunkteKatalogTest, OwnCataloguesEdgeCases) {
    // Zone 1 begins below 0: a total of 0 still gives no zone, the catalogue is not read.
    const int32_t negativ = EigenerKatalog(*dbs.stamm, {-5, 10, 11, 18, 19, 26, 27, 34, 35, 42});
    // A gap between zone 1 and zone 2, bounds of zones 3 to 5 missing (read as 0).
    const int32_t luecke = EigenerKatalog(*dbs.stamm, {0, 10, 20, 30, -1, -1, -1, -1, -1, -1});
    ASSERT_EQ(kat.PunkteTabConnect(negativ, 1, Nr).RecordCount(), 1);
    EXPECT_EQ(kat.HOAIZone(negativ, 1, Nr).zone, 0);
    EXPECT_EQ(kat.HOAIZone(negativ, 1, Nr).grund, ZonenErgebnis::KeinePunkte);

    ASSERT_EQ(kat.PunkteTabConnect(luecke, 2, Nr).RecordCount(), 1);
    Vergeben(*dbs.projekt, 2, 15);
    EXPECT_EQ(kat.HOAIZone(luecke, 2, Nr).grund, ZonenErgebnis::KeinBereich);
    Vergeben(*dbs.projekt, 2, 20);
    EXPECT_EQ(kat.HOAIZone(luecke, 2, Nr).zone, 2);
    const auto g = kat.Grenzen(luecke);
    ASSERT_TRUE(g);
    EXPECT_EQ(g->von[4], 0);
    EXPECT_EQ(g->bis[4], 0);

    // Points stored for a catalogue number without a row: no zone, and the caller learns why.
    EXPECT_FALSE(kat.Grenzen(12345));
    EXPECT_EQ(kat.HOAIZone(12345, 2, Nr).grund, ZonenErgebnis::KeinVerzeichnis);
    EXPECT_EQ(kat.HOAIZone(12345, 2, Nr).punkte, 20);
}

TEST_F(PunkteKatalogTest, PointsAreDiscardedOnlyWhenNoneWereAwarded) {
    auto zeilen = [&](int16_t g) { return kat.Kriterien(g, Nr).RecordCount(); };
    kat.PunkteTabConnect(gebaeude, 1, Nr);
    kat.PunkteTabConnect(gebaeude, 2, Nr);
    // +3 and -3: a total of 0, but points were awarded.
    dbs.projekt->Execute(
        "UPDATE PunkteTab SET VergebenePunkte = 3 WHERE LfNr = (SELECT Min(LfNr) FROM PunkteTab "
        "WHERE ZuordnungAnlGrp = 1)");
    dbs.projekt->Execute(
        "UPDATE PunkteTab SET VergebenePunkte = -3 WHERE LfNr = (SELECT Max(LfNr) FROM PunkteTab "
        "WHERE ZuordnungAnlGrp = 1)");
    EXPECT_FALSE(kat.PunkteVerwerfen(1, Nr));
    EXPECT_EQ(zeilen(1), 6);
    EXPECT_TRUE(kat.PunkteVerwerfen(2, Nr));
    EXPECT_EQ(zeilen(2), 0);
    EXPECT_EQ(zeilen(1), 6);
}

TEST(PunktePruefen, AtMostTheCriterionsMaximum) {
    EXPECT_EQ(PunkteKatalog::PunktePruefen(5, 7).value_or(""),
              "Diese Position kann mit höchstens 5 Punkten bewertet werden");
    EXPECT_FALSE(PunkteKatalog::PunktePruefen(5, 5));
    EXPECT_FALSE(PunkteKatalog::PunktePruefen(5, 0));
    EXPECT_FALSE(PunkteKatalog::PunktePruefen(5, -2)); // no lower bound
    EXPECT_TRUE(PunkteKatalog::PunktePruefen(0, 1));
}

} // namespace
} // namespace velu::fee::test
