#include "masterdata/TafelVerwendung.h"
#include "StammFixture.h"
#include "masterdata/TafelStore.h"

#include <fstream>
#include <functional>

using namespace velu;
using namespace velu::masterdata;

namespace {

// A master database with an unused copy of the § 35 table, and project databases beside it.
struct TafelVerwendungTest : StammFixture {
    TafelVerwendungTest() {
        StammFixture::SetUp();
        kopie_ = std::get<int64_t>(TafelStore(*stamm_).CopyAufr(Tafel("35")));
    }
    void SetUp() override {}
    void TestBody() override {}

    // A project database with one calculation whose profile row links tafel (0: none).
    std::filesystem::path Projekt(const std::string& nummer, int64_t tafel,
                                  const std::string& name = "Angebot") {
        const auto ordner = dir_.Path() / (nummer + ".PRO");
        std::filesystem::create_directories(ordner);
        std::string error;
        auto db = DatabaseSetup::CreateProjektDB(ordner / "Velupro32.mdb", &error);
        EXPECT_TRUE(db) << error;
        db->Execute("INSERT INTO BeReList (ReBezeichnung, REType) VALUES (?, 'A')", db::Params().Add(name));
        const int64_t lfnr = db->LastInsertId();
        db->Execute(
            "INSERT INTO Leistungsbild (LfNrBeReList, ZuordnungAnlGrp, HoaiTafelZuordnung) VALUES (?, 1, ?)",
            db::Params().Add(lfnr).Add(tafel));
        projekte_.push_back({nummer, ordner / "Velupro32.mdb"});
        return ordner / "Velupro32.mdb";
    }

    int64_t kopie_ = 0;
    std::vector<ProjektDatei> projekte_;
};

} // namespace

TEST(TafelVerwendung, FreeCopyHasNoUsers) {
    TafelVerwendungTest t;
    t.Projekt("00000001", t.Tafel("35"));
    t.Projekt("00000002", 0);
    t.projekte_.push_back({"00000003", t.dir_.Path() / "00000003.PRO" / "Velupro32.mdb"}); // never opened
    TafelVerwendung v(*t.stamm_, nullptr, {});
    EXPECT_TRUE(v.Verwender(t.kopie_, t.projekte_).empty());
}

TEST(TafelVerwendung, EveryKindOfUserIsNamed) {
    struct Fall {
        const char* name;
        std::function<void(TafelVerwendungTest&)> anlegen;
        bool aktuell;
        std::string zeile;
    } faelle[] = {
        {"template",
         [](TafelVerwendungTest& t) {
             t.stamm_->Execute(
                 "UPDATE Leistungsbilder SET HoaiTafelZuordnung = ?, ParagBezeichnung = 'Meins' "
                 "WHERE LfNr = (SELECT Max(LfNr) FROM Leistungsbilder)",
                 db::Params().Add(t.kopie_));
         },
         false, "Leistungsbild Meins"},
        {"calculation of another listed project",
         [](TafelVerwendungTest& t) { t.Projekt("00000007", t.kopie_, "Erstes Angebot"); }, false,
         "Projekt 00000007: Berechnung Erstes Angebot"},
        {"calculation of the current project",
         [](TafelVerwendungTest& t) { t.Projekt("00000008", t.kopie_, "Rechnung"); }, true,
         "Projekt 00000008: Berechnung Rechnung"},
        {"unreadable project database",
         [](TafelVerwendungTest& t) {
             const auto ordner = t.dir_.Path() / "00000009.PRO";
             std::filesystem::create_directories(ordner);
             std::ofstream(ordner / "Velupro32.mdb") << "kein SQLite";
             t.projekte_.push_back({"00000009", ordner / "Velupro32.mdb"});
         },
         false, "Projekt 00000009: die Projektdatenbank kann nicht gelesen werden"},
    };
    for (const auto& f : faelle) {
        TafelVerwendungTest t;
        t.Projekt("00000001", t.Tafel("35"));
        f.anlegen(t);
        std::unique_ptr<db::Database> akt;
        if (f.aktuell) akt = db::Database::Open(t.projekte_.back().datei);
        TafelVerwendung v(*t.stamm_, akt.get(), "00000008");
        const auto zeilen = v.Verwender(t.kopie_, t.projekte_);
        ASSERT_EQ(zeilen.size(), 1u) << f.name;
        EXPECT_EQ(zeilen[0], f.zeile) << f.name;
    }
}

TEST(TafelVerwendung, CurrentProjectOutsideTheListIsChecked) {
    TafelVerwendungTest t;
    const auto datei = t.Projekt("00000005", t.kopie_);
    t.projekte_.clear();
    auto akt = db::Database::Open(datei);
    TafelVerwendung v(*t.stamm_, akt.get(), "00000005");
    EXPECT_EQ(v.Verwender(t.kopie_, t.projekte_).size(), 1u);
}
