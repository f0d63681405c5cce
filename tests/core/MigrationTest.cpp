#include "core/Migration.h"
#include "TestDir.h"
#include "core/DatabaseSetup.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace velu;

namespace {

// An older project database VELUPRO.MDB: one currency (DM), no twins, the service profile inside Grunddaten.
// Without site supervision it also lacks KOST57, PSatz57, Fertigstell57 and Pausch57.
void MakeOldProject(const std::filesystem::path& file, bool withSiteSupervision,
                    bool duplicatePayment = false) {
    auto db = db::Database::Create(file);
    ASSERT_TRUE(db);
    std::string be = "CREATE TABLE BeReList (ReBezeichnung TEXT, LfNr INTEGER PRIMARY KEY, REType TEXT, "
                     "Gruppierung INTEGER, Redatum DATE, ReNummer TEXT, BerNetto CURRENCY, MwstPro CURRENCY, "
                     "MwstDM CURRENCY, Endbetrag CURRENCY, Modif BOOLEAN, Ursprung INTEGER, ZuPara TEXT";
    if (withSiteSupervision)
        be += ", KOST57 CURRENCY, PSatz57 CURRENCY, Fertigstell57 CURRENCY, Pausch57 CURRENCY";
    db->Execute(be + ")");
    db->Execute(
        "CREATE TABLE Grunddaten (LfNr INTEGER PRIMARY KEY, LfNrBeReList INTEGER, Anlagegruppe SMALLINT, "
        "Honorarzone SMALLINT, HOAIALT BOOLEAN, TotalDMLP1 CURRENCY, HonrarNetto CURRENCY, "
        "GrHonorarAb1 CURRENCY, LeistungsbildLFNR INTEGER, LeistungsbildBez TEXT, LeistungsbildPara TEXT, "
        "HoaiTafelZuordnung INTEGER, LiTX01 TEXT, proz01 CURRENCY, KoZU01 SMALLINT, Einheit SMALLINT)");
    db->Execute(
        "CREATE TABLE Projektaufwand (LfNr INTEGER PRIMARY KEY, Numm TEXT, Leistung TEXT, Satz CURRENCY, "
        "Menge CURRENCY, Summ CURRENCY, interSatz CURRENCY, interSumm CURRENCY, Phzuordnung SMALLINT, "
        "Datum DATE)");
    db->Execute(
        "CREATE TABLE PunkteTab (LfNr INTEGER PRIMARY KEY, LfNrBeReList INTEGER, ZuordnungAnlGrp SMALLINT, "
        "Text TEXT, MaxPunkte SMALLINT, VergebenePunkte SMALLINT)");
    db->Execute(
        "CREATE TABLE StdRePos (LfNr INTEGER PRIMARY KEY, REZuordnung INTEGER, Leistung TEXT, Satz CURRENCY, "
        "Menge CURRENCY, Summ CURRENCY)");
    // Without a key, so a damaged older file can hold the same number twice.
    db->Execute("CREATE TABLE Zahlung (LfNr INTEGER, LfNrBeReList INTEGER, Ursprung INTEGER, Datum DATE, "
                "Bemerkung TEXT, Zahlung CURRENCY)");
    for (const char* t : {"ZuBerNetto", "ZuBrutto"})
        db->Execute(std::string("CREATE TABLE ") + t +
                    " (LfNr INTEGER PRIMARY KEY, LfNrBeReList INTEGER, Bezeichnung TEXT, ZuAbPro CURRENCY, "
                    "ZuAbDM CURRENCY)");
    db->Execute(
        "CREATE TABLE ZuLP (LfNr INTEGER PRIMARY KEY, LfNrBeReList INTEGER, ZuordnungAnlGrp SMALLINT, "
        "Bezeichnung TEXT, ZuAb CURRENCY, LP SMALLINT)");
    db->Execute(
        "CREATE TABLE ZuNetto (LfNr INTEGER PRIMARY KEY, LfNrBeReList INTEGER, ZuordnungAnlGrp SMALLINT, "
        "Bezeichnung TEXT, ZuAbPro CURRENCY, ZuAbDM CURRENCY)");
    db->Execute("CREATE TABLE AnrechenbareKosten (LfNr INTEGER PRIMARY KEY, LfNrBeReList INTEGER, "
                "ZuordnungAnlGrp SMALLINT, Phase SMALLINT, Kostenstellennr TEXT, Bezeichnung TEXT, "
                "Eigenleistung CURRENCY, FremdLeistung CURRENCY)");

    db->Execute(
        withSiteSupervision
            ? "INSERT INTO BeReList VALUES ('Rechnung 1', 3, 'R', 0, '1999-05-01', 'R-1', 1000000, 160000, "
              "160000, 1160000, -1, 3, '15', 50000, 21000, 1000000, 1000000)"
            : "INSERT INTO BeReList VALUES ('Rechnung 1', 3, 'R', 0, '1999-05-01', 'R-1', 1000000, 160000, "
              "160000, 1160000, -1, 3, '15')");
    db->Execute(
        "INSERT INTO Grunddaten VALUES (10, 3, 1, 3, -1, 1000000, 1000000, 5000000, 6, 'Gebäude', '15', "
        "5, 'Grundlagenermittlung', 30000, 1, 1), (11, 3, 2, 2, -1, 200000, 200000, 0, 6, 'Gebäude', '15', "
        "5, 'Grundlagenermittlung', 30000, 1, 1)");
    db->Execute(
        "INSERT INTO Projektaufwand VALUES (1, '1', 'Pläne', 1000000, 10000, 1000000, 500000, 500000, 2, "
        "'1999-04-01')");
    db->Execute("INSERT INTO StdRePos VALUES (1, 3, 'Beratung', 1000000, 20000, 2000000)");
    db->Execute("INSERT INTO Zahlung VALUES (1, 3, 3, '1999-06-01', 'Abschlag', 1000000)");
    if (duplicatePayment)
        db->Execute("INSERT INTO Zahlung VALUES (1, 3, 3, '1999-07-01', 'doppelt', 500000)");
    db->Execute("INSERT INTO ZuNetto VALUES (1, 3, 1, 'Umbau', 200000, 1000000)");
    db->Execute("INSERT INTO AnrechenbareKosten VALUES (1, 3, 1, 1, '300', 'Bauwerk', 1000000, 0)");
}

std::string FileBytes(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

struct MigrationRun {
    TestDir dir;
    std::filesystem::path alt = dir / "VELUPRO.MDB", neu = dir / "Velupro32.mdb";
    std::vector<std::string> asked, shown;
    Migration::Result result{};

    MigrationRun(bool answer, bool withSite, bool duplicatePayment = false) {
        MakeOldProject(alt, withSite, duplicatePayment);
        DatabaseSetup::CreateProjektDB(neu);
        const std::string before = FileBytes(alt);
        result = Migration::UpdateAltDaten(
            alt, neu,
            [&](const std::string& q) {
                asked.push_back(q);
                return answer;
            },
            [&](const std::string& m) { shown.push_back(m); });
        EXPECT_EQ(FileBytes(alt), before) << "the older file must stay unchanged";
    }
    int64_t Int(const std::string& sql, const char* field) {
        auto db = db::Database::Open(neu);
        auto rs = db->OpenRecordset(sql);
        return rs.Empty() ? -999 : rs.GetInt(field, -998);
    }
};

} // namespace

TEST(MigrationTest, AmountsGetTheirTwinsAndProfilesAreSplitOff) {
    MigrationRun r(true, true);
    ASSERT_EQ(r.result, Migration::Result::Migrated);
    ASSERT_EQ(r.asked.size(), 1u);
    EXPECT_EQ(r.asked[0],
              "Es wurden Berechnungen mit einer älteren Version der HOAI gefunden.\nSollen diese Daten "
              "übernommen werden ?\nHinweis: Die alte Berechnungen wird nicht gelöscht.");
    EXPECT_TRUE(r.shown.empty());
    struct Case {
        const char* sql;
        const char* field;
        int64_t value;
    };
    const Case cases[] = {
        // 100.00 DM -> 51.1292 EUR, everywhere an amount has a twin.
        {"SELECT * FROM BeReList WHERE LfNr = 3", "AlDispBerNetto", 511292},
        {"SELECT * FROM BeReList WHERE LfNr = 3", "BerNetto", 1000000},
        {"SELECT * FROM BeReList WHERE LfNr = 3", "AlDispPausch57", 511292},
        {"SELECT * FROM BeReList WHERE LfNr = 3", "PSatz57", 21000},
        {"SELECT * FROM BeReList WHERE LfNr = 3", "INPUTType", 0},
        {"SELECT * FROM Projektaufwand", "AlDispSatz", 511292},
        {"SELECT * FROM Projektaufwand", "AlDispinterSumm", 255646},
        {"SELECT * FROM Projektaufwand", "SchonVerbucht", -1},
        {"SELECT * FROM StdRePos", "AlDispSumm", 1022584},
        {"SELECT * FROM Zahlung", "AlDispZahlung", 511292},
        {"SELECT * FROM ZuNetto", "AlDispZuAbDM", 511292},
        {"SELECT * FROM AnrechenbareKosten", "AlDispEigenleistung", 511292},
        {"SELECT * FROM Grunddaten WHERE LfNr = 10", "AlDispTotalDMLP1", 511292},
        {"SELECT * FROM Grunddaten WHERE LfNr = 10", "AlDispGrHonorarAb1", 2556459},
        {"SELECT * FROM Grunddaten WHERE LfNr = 10", "Honorarzone", 3},
        {"SELECT Count(*) AS n FROM Leistungsbild", "n", 2},
        // Each basic-data row is linked to the profile row made from it.
        {"SELECT Count(*) AS n FROM Grunddaten g JOIN Leistungsbild l ON l.LfNr = g.ZuordnungLBTabelle "
         "AND l.ZuordnungAnlGrp = g.AnlageGruppe AND l.LfNrBeReList = g.LfNrBeReList",
         "n", 2},
        {"SELECT * FROM Leistungsbild WHERE ZuordnungAnlGrp = 2", "HoaiTafelZuordnung", 5},
        {"SELECT * FROM Leistungsbild WHERE ZuordnungAnlGrp = 2", "HOAIALT", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(r.Int(c.sql, c.field), c.value) << c.sql << " / " << c.field;
    EXPECT_FALSE(std::filesystem::exists(r.dir / "Velupro32.mdb.neu"));
}

TEST(MigrationTest, OlderFileWithoutSiteSupervisionColumnsMigrates) {
    MigrationRun r(true, false);
    ASSERT_EQ(r.result, Migration::Result::Migrated) << (r.shown.empty() ? "" : r.shown[0]);
    for (const char* f : {"KOST57", "PSatz57", "Fertigstell57", "Pausch57", "AlDispPausch57"})
        EXPECT_EQ(r.Int("SELECT * FROM BeReList", f), 0) << f;
    EXPECT_EQ(r.Int("SELECT * FROM BeReList", "AlDispEndbetrag"), 593099);
}

TEST(MigrationTest, DeclinedCopiesNothing) {
    MigrationRun r(false, true);
    EXPECT_EQ(r.result, Migration::Result::Declined);
    EXPECT_EQ(r.Int("SELECT Count(*) AS n FROM BeReList", "n"), 0);
    EXPECT_TRUE(r.shown.empty());
}

TEST(MigrationTest, FailureInTheMiddleLeavesNoProjectDatabase) {
    // The fourth table (Zahlung) holds one key twice, after three tables were already copied.
    MigrationRun r(true, true, true);
    EXPECT_EQ(r.result, Migration::Result::Failed);
    ASSERT_EQ(r.shown.size(), 1u);
    EXPECT_NE(r.shown[0].find("nicht übernommen"), std::string::npos) << r.shown[0];
    EXPECT_FALSE(std::filesystem::exists(r.neu));
    EXPECT_FALSE(std::filesystem::exists(r.dir / "Velupro32.mdb.neu"));
}
