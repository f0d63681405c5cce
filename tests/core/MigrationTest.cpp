#include "core/Migration.h"
#include "AltProjekt.h"
#include "TestDir.h"
#include "core/DatabaseSetup.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace velu;

namespace {

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
