#include "TestDir.h"
#include "core/Currency.h"
#include "core/DatabaseSetup.h"
#include "core/MasterDataLoader.h"
#include "core/Money.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

using namespace velu;

namespace {

std::filesystem::path CsvDir() {
    // The test's own source location when the environment does not name the source tree.
    const char* src = std::getenv("VELU_SOURCE_DIR");
    std::filesystem::path root =
        src ? std::filesystem::path(src)
            : std::filesystem::path(__FILE__).parent_path().parent_path().parent_path();
    return root / "data" / "hoai";
}

class MasterDataTest : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = DatabaseSetup::CreateStammDB(dir_ / "VELUDAT32.MDB");
        ASSERT_TRUE(db_);
        MasterDataLoader::Load(*db_, CsvDir());
    }
    int64_t TableNr(const std::string& kurz) {
        auto rs = db_->OpenRecordset("SELECT LfNr FROM TafelVerzeichnis WHERE HoaiPara = :k",
                                     db::Params().Set("k", kurz));
        return rs.Empty() ? -1 : rs.GetInt("LfNr");
    }
    TestDir dir_;
    std::unique_ptr<db::Database> db_;
};

} // namespace

TEST_F(MasterDataTest, FeeTableLookupOnParagraph35) {
    auto q = db_->GetQueryDef("GetTafel");
    ASSERT_TRUE(q);
    q->SetParameter("TafelLfnr", TableNr("35"));
    auto rs = q->OpenRecordset();
    ASSERT_EQ(rs.RecordCount(), 20);
    Currency prev = Currency::FromRaw(-1);
    bool found = false;
    for (; !rs.EOF_(); rs.MoveNext()) {
        Currency a = GetCY(rs, "AKosten");
        EXPECT_GT(a, prev);
        prev = a;
        if (a == Currency::FromString("977915")) { // 500 000 EUR in DM
            found = true;
            EXPECT_EQ(GetCY(rs, "S5"), Currency::FromString("123021.707")); // zone III minimum 62 900 EUR
            EXPECT_EQ(GetCY(rs, "S5"), GetCY(rs, "S4"));                    // band continuous
        }
    }
    EXPECT_TRUE(found);
}

TEST_F(MasterDataTest, TableHeadersAndExtremes) {
    struct Case {
        const char* kurz;
        int zones;
        const char* minDM;
        const char* maxDM;
        bool alt;
    };
    for (const Case& c :
         {Case{"35", 5, "48895.75", "48895750", false}, Case{"56", 3, "9779.15", "7823320", false},
          Case{"16", 5, "50000.794", "1955830", true}}) {
        const int64_t nr = TableNr(c.kurz);
        auto info = db_->GetQueryDef("GetInfoTafelverz");
        info->SetParameter(1, nr);
        auto rs = info->OpenRecordset();
        ASSERT_FALSE(rs.Empty()) << c.kurz;
        EXPECT_EQ(rs.GetInt("ZonenAnz"), c.zones) << c.kurz;
        EXPECT_EQ(GetCY(rs, "MinWert"), Currency::FromString(c.minDM)) << c.kurz;
        EXPECT_EQ(GetCY(rs, "MaxWert"), Currency::FromString(c.maxDM)) << c.kurz;
        // The editor's view: field 0 lowest, field 1 highest, then one value per zone, 0 for a zone not
        // there.
        auto max = db_->GetQueryDef("GetMaxTafelwerte");
        max->SetParameter("Lfnr", nr);
        auto m = max->OpenRecordset();
        EXPECT_EQ(GetCY(m, "MinWert"), Currency::FromString(c.minDM));
        EXPECT_EQ(GetCY(m, "MaxWert"), Currency::FromString(c.maxDM));
        EXPECT_NE(m.GetInt("Zone" + std::to_string(c.zones)), 0) << c.kurz;
        if (c.zones < 5) {
            EXPECT_EQ(m.GetInt("Zone" + std::to_string(c.zones + 1)), 0) << c.kurz;
        }
    }
}

TEST_F(MasterDataTest, RegulationFilterOfHeadersAndProfiles) {
    struct Case {
        db::Value alt;
        int tables, profiles;
    };
    for (const Case& c : {Case{db::Value{}, 4, 5}, Case{std::string(), 4, 5}, Case{int64_t{0}, 4, 5},
                          Case{int64_t{-1}, 1, 1}, Case{int64_t{1}, 1, 1}}) {
        auto t = db_->GetQueryDef("LoadTafelBezeichnungen");
        t->SetParameter("ALT", c.alt);
        auto l = db_->GetQueryDef("LoadLeistungsbilder");
        l->SetParameter("ALT", c.alt);
        EXPECT_EQ(t->OpenRecordset().RecordCount(), c.tables);
        EXPECT_EQ(l->OpenRecordset().RecordCount(), c.profiles);
    }
}

TEST_F(MasterDataTest, ProfilesPointsCataloguesAndLastUsed) {
    auto rs = db_->OpenRecordset("SELECT * FROM Leistungsbilder ORDER BY LfNr");
    ASSERT_EQ(rs.RecordCount(), 6);
    for (; !rs.EOF_(); rs.MoveNext()) {
        const int64_t kat = rs.GetInt("Punktekatzuordnung");
        EXPECT_TRUE(kat == 0 || kat >= 2) << rs.GetText("ParagBezeichnung");
        int64_t sum = 0;
        for (int i = 1; i <= 9; ++i)
            sum += rs.GetInt("proz0" + std::to_string(i));
        EXPECT_EQ(sum, 100 * 10000) << rs.GetText("ParagBezeichnung");
        EXPECT_EQ(rs.GetInt("Einheit"), 1);
        EXPECT_EQ(rs.GetInt("STDLeistungbild"), -1);
    }
    auto pv = db_->GetQueryDef("GetPunkteverz");
    pv->SetParameter("LfnRPunkteVerz", int64_t{2});
    auto z = pv->OpenRecordset();
    ASSERT_FALSE(z.Empty());
    EXPECT_EQ(z.GetInt("Hzone5BisPunkt"), 42);
    EXPECT_EQ(
        db_->OpenRecordset("SELECT Sum(MaxPunkte) AS s FROM Punkte WHERE LFNRPUNKTVERZ = 2").GetInt("s"), 42);

    // The default profile is the first row of GETLBBezeichnungen: § 34 Gebäude until another is used.
    auto first = [&] { return db_->GetQueryDef("GETLBBezeichnungen")->OpenRecordset().GetInt("LfNr"); };
    EXPECT_EQ(first(), 1);
    db_->GetQueryDef("SetLastUsednull")->Execute();
    db_->GetQueryDef("SetLastUsed")->SetParameter(1, int64_t{3}).Execute();
    EXPECT_EQ(first(), 3);
}

TEST_F(MasterDataTest, UsersTemplatesAndCostPlan) {
    auto pw = db_->GetQueryDef("GetAkPasswort");
    pw->SetParameter("name", std::string("supervisor"));
    auto u = pw->OpenRecordset();
    ASSERT_FALSE(u.Empty());
    EXPECT_EQ(u.GetInt("Rechte"), 8191);
    EXPECT_EQ(db_->GetQueryDef("MitBenutzer")->OpenRecordset().GetInt("Benutzer"), 1);
    EXPECT_EQ(db_->GetQueryDef("MitPasswort")->OpenRecordset().GetInt("ohnePasswort", 99), 0);
    db_->GetQueryDef("SetMitPasswort")->SetParameter("NewVal", int64_t{-1}).Execute();
    EXPECT_EQ(db_->GetQueryDef("MitPasswort")->OpenRecordset().GetInt("ohnePasswort"), -1);

    for (const char* kind :
         {"DrHOAIAngebote", "DrHOAIRechnungen", "DrHOAIRechnungörtlicheBauleitungl",
          "DrHOAIRechnungZusammenstell", "DrHOAIStdRechnungen", "DrHOAIVergAngebot", "DrHOAIVergRechnung"}) {
        auto rs = db_->GetQueryDef(kind)->OpenRecordset();
        ASSERT_EQ(rs.RecordCount(), 1) << kind;
        EXPECT_EQ(rs.GetInt("UNICODEFLAG"), 1);
        EXPECT_NE(rs.GetText("TextVorlagen").find("<field n=\"90\">"), std::string::npos) << kind;
    }
    auto kp = db_->GetQueryDef("GatAllKP")->OpenRecordset();
    ASSERT_EQ(kp.RecordCount(), 1);
    EXPECT_EQ(db_->OpenRecordset("SELECT Count(*) AS n FROM KONTENPL").GetInt("n"), 8);
}

TEST(MasterDataLoaderTest, EuroToDMAndMalformedInput) {
    EXPECT_EQ(MasterDataLoader::EuroToDMRaw(62900), 1230217070);
    EXPECT_EQ(MasterDataLoader::EuroToDMRaw(1), 19558); // 1.95583 -> 1.9558
    EXPECT_EQ(MasterDataLoader::EuroToDMRaw(5), 97792); // 9.77915 -> 9.7792
    EXPECT_EQ(MasterDataLoader::EuroToDMRaw(0), 0);

    // A table whose zones are not continuous is refused and nothing is stored.
    TestDir dir;
    for (const auto& e : std::filesystem::directory_iterator(CsvDir()))
        std::filesystem::copy_file(e.path(), dir / e.path().filename().string());
    {
        std::ofstream f(dir / "honorartafel-2021-p40-freianlagen.csv", std::ios::trunc);
        f << "anrechenbare_kosten_eur,z1_von,z1_bis,z2_von,z2_bis\n20000,1,2,3,4\n";
    }
    auto db = DatabaseSetup::CreateStammDB(dir / "s.mdb");
    EXPECT_THROW(MasterDataLoader::Load(*db, dir.Path()), std::runtime_error);
    EXPECT_EQ(db->OpenRecordset("SELECT Count(*) AS n FROM Tafel").GetInt("n"), 0);
}
