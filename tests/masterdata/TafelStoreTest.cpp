#include "masterdata/TafelStore.h"
#include "StammFixture.h"

#include <QString>

using namespace velu;
using namespace velu::masterdata;

namespace {

int64_t Neu(const std::variant<int64_t, std::string>& r) {
    if (const auto* s = std::get_if<std::string>(&r)) ADD_FAILURE() << *s;
    const auto* n = std::get_if<int64_t>(&r);
    return n ? *n : 0;
}

} // namespace

TEST(TafelStoreZonen, HighestZoneWithValuesCounts) {
    struct Fall {
        std::array<int64_t, 5> zonen;
        std::optional<int16_t> erwartet;
    } faelle[] = {
        {{1, 1, 1, 0, 0}, 3}, {{1, 0, 1, 0, 0}, 3}, {{0, 0, 0, 0, 0}, std::nullopt},
        {{7, 0, 0, 0, 0}, 1}, {{0, 0, 0, 0, 9}, 5}, {{1, 1, 1, 1, 1}, 5},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(TafelStore::ZonenAnzahl(f.zonen), f.erwartet) << f.zonen[0] << f.zonen[1] << f.zonen[2];
}

TEST(TafelStoreText, NamesAreCutByCharacters) {
    EXPECT_EQ(ErsteZeichen("§ 35 Gebäude", 6), "§ 35 G");
    EXPECT_EQ(ErsteZeichen("äöü", 2), "äö");
    EXPECT_EQ(ErsteZeichen("ab", 5), "ab");
}

using TafelStoreTest = StammFixture;

TEST_F(TafelStoreTest, CopyOf56WithoutItsLastRowGetsZonesAndExtremesWhenSaved) {
    TafelStore store(*stamm_);
    const int64_t kopie = Neu(store.CopyAufr(Tafel("56")));
    stamm_->Execute("DELETE FROM Tafel WHERE LfNrTafel = ? AND AKosten = (SELECT Max(AKosten) FROM Tafel "
                    "WHERE LfNrTafel = ?)",
                    db::Params().Add(kopie).Add(kopie));
    stamm_->Execute("UPDATE TafelVerzeichnis SET ZonenAnz = 5 WHERE LfNr = ?", db::Params().Add(kopie));
    ASSERT_EQ(store.SaveStuff(kopie, "XXX", "Kopie"), std::nullopt);
    EXPECT_EQ(std::get<int64_t>(Feld("TafelVerzeichnis", kopie, "ZonenAnz")), 3);
    EXPECT_EQ(std::get<int64_t>(Feld("TafelVerzeichnis", kopie, "MinWert")), CY("9779.15").Raw());
    EXPECT_EQ(std::get<int64_t>(Feld("TafelVerzeichnis", kopie, "MaxWert")), CY("6845405.00").Raw());
}

TEST_F(TafelStoreTest, TableWithoutZoneValuesStoresNoZoneCount) {
    TafelStore store(*stamm_);
    const int64_t kopie = Neu(store.CopyAufr(Tafel("56")));
    stamm_->Execute("UPDATE Tafel SET S1 = NULL, S2 = NULL, S3 = NULL, S4 = NULL, S5 = NULL, S6 = NULL "
                    "WHERE LfNrTafel = ?",
                    db::Params().Add(kopie));
    ASSERT_EQ(store.SaveStuff(kopie, "XXX", "Kopie"), std::nullopt);
    EXPECT_TRUE(db::IsNull(Feld("TafelVerzeichnis", kopie, "ZonenAnz")));
}

TEST_F(TafelStoreTest, CopyOf35IsAnEditableDeletableTableWithTheSameRows) {
    TafelStore store(*stamm_);
    const int64_t quelle = Tafel("35");
    const int64_t kopie = Neu(store.CopyAufr(quelle));
    const std::string bez = Text("TafelVerzeichnis", kopie, "HoaiBez");
    EXPECT_EQ(bez, "Kopie von § 35 Gebäude und In");
    EXPECT_EQ(QString::fromStdString(bez).size(), 29);
    EXPECT_EQ(Text("TafelVerzeichnis", kopie, "HoaiPara"), "XXX");
    EXPECT_EQ(std::get<int64_t>(Feld("TafelVerzeichnis", kopie, "STDHOAI")), 0);
    EXPECT_EQ(std::get<int64_t>(Feld("TafelVerzeichnis", kopie, "HOAIALT")), 0);
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Tafel WHERE LfNrTafel = ?", db::Params().Add(kopie)), 20);
    EXPECT_EQ(Zeilen(kopie), Zeilen(quelle));
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Tafel WHERE LfNrTafel = ? AND BEZTAFEL = 'XXX' AND STDHOAI = 0",
                   db::Params().Add(kopie)),
              20);
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Tafeltemp"), 0);

    ASSERT_EQ(store.SaveStuff(kopie, "K35", "Meine Tafel"), std::nullopt);
    EXPECT_EQ(Text("TafelVerzeichnis", kopie, "HoaiBez"), "Meine Tafel");
    EXPECT_EQ(
        Zahl("SELECT Count(*) FROM Tafel WHERE LfNrTafel = ? AND BEZTAFEL = 'K35'", db::Params().Add(kopie)),
        20);

    ASSERT_EQ(store.DELTafel(kopie), std::nullopt);
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Tafel WHERE LfNrTafel = ?", db::Params().Add(kopie)), 0);
    EXPECT_EQ(Zahl("SELECT Count(*) FROM TafelVerzeichnis WHERE LfNr = ?", db::Params().Add(kopie)), 0);
    EXPECT_EQ(Zeilen(quelle).empty(), false);
}

TEST_F(TafelStoreTest, BuiltInTablesAreNeverWritten) {
    TafelStore store(*stamm_);
    const int64_t t = Tafel("35");
    const std::string vorher = Zeilen(t);
    TafelZeile z;
    z.akosten = CY("1");
    EXPECT_EQ(store.SaveStuff(t, "XX", "Neu"), std::string(TafelStore::MeldungStandard));
    EXPECT_EQ(store.DELTafel(t), std::string(TafelStore::MeldungStandard));
    EXPECT_EQ(store.ZeilePruefen(t, z), std::string(TafelStore::MeldungStandard));
    EXPECT_EQ(Text("TafelVerzeichnis", t, "HoaiPara"), "35");
    EXPECT_EQ(Zeilen(t), vorher);
}

TEST_F(TafelStoreTest, RowCheck) {
    TafelStore store(*stamm_);
    const int64_t t = Neu(store.CopyAufr(Tafel("56")));
    // The copy's first rows in DM: 9 779,15 / 19 558,30 with zone 1 from 4 169,8296 / 7 215,0569.
    auto rs = stamm_->OpenRecordset("SELECT LfNr FROM Tafel WHERE LfNrTafel = ? ORDER BY AKosten",
                                    db::Params().Add(t));
    const int64_t ersteZeile = rs.GetInt("LfNr");
    auto zeile = [](int64_t key, const char* kosten, std::initializer_list<const char*> s) {
        TafelZeile z;
        z.lfnr = key;
        if (kosten) z.akosten = CY(kosten);
        size_t i = 0;
        for (const char* w : s) {
            if (w) z.s[i] = CY(w);
            ++i;
        }
        return z;
    };
    struct Fall {
        const char* name;
        TafelZeile zeile;
        Meldung erwartet;
    } faelle[] = {
        {"no costs", zeile(0, nullptr, {"1"}), std::string(TafelStore::MeldungKeineKosten)},
        {"costs of another row", zeile(0, "19558.30", {}), std::string(TafelStore::MeldungDoppelt)},
        {"own costs again", zeile(ersteZeile, "9779.15", {"4169.8296"}), std::nullopt},
        {"between two rows, rising", zeile(0, "12000", {"5000"}), std::nullopt},
        {"falls below the lower row", zeile(0, "12000", {"4000"}), std::string(TafelStore::MeldungSteigen)},
        {"equals the lower row", zeile(0, "12000", {"4169.8296"}), std::string(TafelStore::MeldungSteigen)},
        {"reaches the upper row", zeile(0, "12000", {"7215.0569"}), std::string(TafelStore::MeldungSteigen)},
        {"zone 3 out of step", zeile(0, "12000", {"5000", nullptr, nullptr, nullptr, "1"}),
         std::string(TafelStore::MeldungSteigen)},
        {"empty and zero cells unused",
         zeile(0, "12000", {nullptr, "0", nullptr, nullptr, nullptr, nullptr, "9"}), std::nullopt},
        {"below the first row", zeile(0, "100", {"1"}), std::nullopt},
        {"below the first row, too high", zeile(0, "100", {"5000"}), std::string(TafelStore::MeldungSteigen)},
        {"above the last row", zeile(0, "99999999", {"99999999"}), std::nullopt},
    };
    for (const auto& f : faelle)
        EXPECT_EQ(store.ZeilePruefen(t, f.zeile), f.erwartet) << f.name;
}

TEST_F(TafelStoreTest, FailedCopyLeavesNoHeaderAndNoRows) {
    TafelStore store(*stamm_);
    const int64_t koepfe = Zahl("SELECT Count(*) FROM TafelVerzeichnis");
    const int64_t zeilen = Zahl("SELECT Count(*) FROM Tafel");
    // The rows fail after the header was written.
    stamm_->Execute(
        "CREATE TRIGGER kaputt BEFORE INSERT ON Tafel BEGIN SELECT RAISE(ABORT, 'Platte voll'); END");
    const auto r = store.CopyAufr(Tafel("35"));
    ASSERT_TRUE(std::holds_alternative<std::string>(r));
    EXPECT_NE(std::get<std::string>(r).find("Die Tafel konnte nicht kopiert werden."), std::string::npos);
    EXPECT_EQ(Zahl("SELECT Count(*) FROM TafelVerzeichnis"), koepfe);
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Tafel"), zeilen);
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Tafeltemp"), 0);
}

TEST_F(TafelStoreTest, FailedDeleteKeepsHeaderAndRows) {
    TafelStore store(*stamm_);
    const int64_t kopie = Neu(store.CopyAufr(Tafel("35")));
    stamm_->Execute(
        "CREATE TRIGGER kaputt BEFORE DELETE ON TafelVerzeichnis BEGIN SELECT RAISE(ABORT, 'x'); END");
    EXPECT_TRUE(store.DELTafel(kopie).has_value());
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Tafel WHERE LfNrTafel = ?", db::Params().Add(kopie)), 20);
    EXPECT_EQ(Zahl("SELECT Count(*) FROM TafelVerzeichnis WHERE LfNr = ?", db::Params().Add(kopie)), 1);
}
