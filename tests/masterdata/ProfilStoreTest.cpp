#include "masterdata/ProfilStore.h"
#include "StammFixture.h"

#include <QString>

using namespace velu;
using namespace velu::masterdata;

TEST(ProfilStoreCaption, ShortNameIsPaddedOrCutToThree) {
    struct Fall {
        const char* kurz;
        const char* caption;
        const char* zurueck;
    } faelle[] = {
        {"AB", "§ AB   name", "AB "},
        {"12345", "§ 123  name", "123"},
        {"", "§      name", "   "},
        {"äöü", "§ äöü  name", "äöü"},
    };
    for (const auto& f : faelle) {
        const std::string c = ProfilStore::MenueCaption(f.kurz, "name");
        EXPECT_EQ(c, f.caption) << f.kurz;
        EXPECT_EQ(ProfilStore::KurzAus(c), f.zurueck) << f.kurz;
        EXPECT_EQ(ProfilStore::BezAus(c), "name") << f.kurz;
    }
}

TEST(ProfilStoreZahlen, TypedPercentagesAndGroups) {
    struct Fall {
        const char* text;
        std::optional<db::Value> proz;
        std::optional<db::Value> gruppe;
    } faelle[] = {
        {"", db::Value(), db::Value()},
        {"  ", db::Value(), db::Value()},
        {"2,5", db::Value(int64_t{25000}), db::Value(int64_t{2})},
        {"15", db::Value(int64_t{150000}), db::Value(int64_t{15})},
        {"x", std::nullopt, std::nullopt},
        {"1,2,3", std::nullopt, std::nullopt},
    };
    for (const auto& f : faelle) {
        EXPECT_EQ(ProfilStore::ProzentWert(f.text), f.proz) << f.text;
        EXPECT_EQ(ProfilStore::GruppeWert(f.text), f.gruppe) << f.text;
    }
    EXPECT_EQ(ProfilStore::ProzentText(db::Value(int64_t{25000})), "2,5");
    EXPECT_EQ(ProfilStore::ProzentText(db::Value(int64_t{320000})), "32");
    EXPECT_EQ(ProfilStore::ProzentText(db::Value()), "");
}

class ProfilStoreTest : public StammFixture {
protected:
    int64_t Profil(const std::string& bez, bool alt = false) {
        auto rs = stamm_->OpenRecordset(
            "SELECT LfNr FROM Leistungsbilder WHERE ParagBezeichnung = ? AND HOAIALT = ? ORDER BY LfNr",
            db::Params().Add(bez).Add(int64_t{alt ? -1 : 0}));
        return rs.Empty() ? 0 : rs.GetInt("LfNr");
    }
};

TEST_F(ProfilStoreTest, SaveWritesTheProfileOfItsNumberOnly) {
    ProfilStore store(*stamm_);
    const int64_t gebaeude = Profil("Gebäude");
    const int64_t innen = Profil("Innenräume");
    // Phase 10 holds the half percent that the edits below leave to make 100 %.
    stamm_->Execute("UPDATE Leistungsbilder SET LiTX10 = 'Zehn', proz10 = 5000, KoZU10 = 4, Einheit = 7 "
                    "WHERE LfNr = ?",
                    db::Params().Add(gebaeude));
    const std::string innenVorher = Text("Leistungsbilder", innen, "ParagBezeichnung");
    auto d = store.Laden(gebaeude);
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->builtIn);
    EXPECT_FALSE(d->einheit); // 7 selects no option
    EXPECT_EQ(d->proz[0], "2");
    d->bez = "Gebäude neu";
    d->proz[0] = "";
    d->gruppe[1] = "";
    d->proz[2] = "16,5";
    ASSERT_EQ(store.Speichern(gebaeude, *d), std::nullopt); // built in: saved all the same
    EXPECT_EQ(Text("Leistungsbilder", gebaeude, "ParagBezeichnung"), "Gebäude neu");
    EXPECT_TRUE(db::IsNull(Feld("Leistungsbilder", gebaeude, "proz01")));
    EXPECT_TRUE(db::IsNull(Feld("Leistungsbilder", gebaeude, "KoZU02")));
    EXPECT_EQ(std::get<int64_t>(Feld("Leistungsbilder", gebaeude, "proz03")), 165000);
    EXPECT_EQ(std::get<int64_t>(Feld("Leistungsbilder", gebaeude, "Einheit")), 7);
    EXPECT_EQ(Text("Leistungsbilder", gebaeude, "LiTX10"), "Zehn");
    EXPECT_EQ(std::get<int64_t>(Feld("Leistungsbilder", gebaeude, "proz10")), 5000);
    EXPECT_EQ(Text("Leistungsbilder", innen, "ParagBezeichnung"), innenVorher);

    d->einheit = 2;
    ASSERT_EQ(store.Speichern(gebaeude, *d), std::nullopt);
    EXPECT_EQ(std::get<int64_t>(Feld("Leistungsbilder", gebaeude, "Einheit")), 2);
}

TEST_F(ProfilStoreTest, NonNumberSavesNothing) {
    ProfilStore store(*stamm_);
    const int64_t gebaeude = Profil("Gebäude");
    auto d = store.Laden(gebaeude);
    ASSERT_TRUE(d);
    d->bez = "Anders";
    for (int feld = 0; feld < 2; ++feld) {
        auto e = *d;
        (feld == 0 ? e.proz : e.gruppe)[4] = "viel";
        EXPECT_EQ(store.Speichern(gebaeude, e), std::string("Die Eingabe muss nummerisch sein"));
        EXPECT_EQ(Text("Leistungsbilder", gebaeude, "ParagBezeichnung"), "Gebäude");
    }
}

TEST_F(ProfilStoreTest, CopyOfBuiltInProfileIsAUserProfileOfTheCurrentRegulation) {
    ProfilStore store(*stamm_);
    const int64_t alt = Profil("Gebäude", true);
    stamm_->Execute("UPDATE Leistungsbilder SET LiTX10 = 'Zehn', proz10 = 10000, LastUsed = -1, "
                    "ParagBezeichnung = ? WHERE LfNr = ?",
                    db::Params().Add(std::string("Gebäude ") + std::string(60, 'x')).Add(alt));
    const auto r = store.CopyLBild(alt);
    ASSERT_TRUE(std::holds_alternative<int64_t>(r));
    const int64_t kopie = std::get<int64_t>(r);
    EXPECT_EQ(QString::fromStdString(Text("Leistungsbilder", kopie, "ParagBezeichnung")),
              QString("Kopie von Gebäude ") + QString(32, 'x'));
    EXPECT_EQ(std::get<int64_t>(Feld("Leistungsbilder", kopie, "STDLeistungbild")), 0);
    EXPECT_EQ(std::get<int64_t>(Feld("Leistungsbilder", kopie, "HOAIALT")), 0);
    EXPECT_EQ(std::get<int64_t>(Feld("Leistungsbilder", kopie, "LastUsed")), 0);
    EXPECT_EQ(Text("Leistungsbilder", kopie, "LiTX10"), "Zehn");
    EXPECT_EQ(std::get<int64_t>(Feld("Leistungsbilder", kopie, "proz10")), 10000);
    EXPECT_EQ(Feld("Leistungsbilder", kopie, "HoaiTafelZuordnung"),
              Feld("Leistungsbilder", alt, "HoaiTafelZuordnung"));
    EXPECT_EQ(Feld("Leistungsbilder", kopie, "proz05"), Feld("Leistungsbilder", alt, "proz05"));

    EXPECT_TRUE(store.Loeschen(alt).has_value()); // built in
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Leistungsbilder WHERE LfNr = ?", db::Params().Add(alt)), 1);
    EXPECT_EQ(store.Loeschen(kopie), std::nullopt);
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Leistungsbilder WHERE LfNr = ?", db::Params().Add(kopie)), 0);
}

TEST_F(ProfilStoreTest, CopyNamedAfterGebaeude) {
    ProfilStore store(*stamm_);
    const auto r = store.CopyLBild(Profil("Gebäude"));
    ASSERT_TRUE(std::holds_alternative<int64_t>(r));
    EXPECT_EQ(Text("Leistungsbilder", std::get<int64_t>(r), "ParagBezeichnung"), "Kopie von Gebäude");
    const auto liste = store.Profile(db::Value());
    ASSERT_FALSE(liste.empty());
    EXPECT_EQ(liste.back().bez, "Kopie von Gebäude");
    for (const auto& e : store.Profile(db::Value(int64_t{-1})))
        EXPECT_NE(e.lfnr, std::get<int64_t>(r));
}

TEST_F(ProfilStoreTest, FailedCopyLeavesNoProfile) {
    ProfilStore store(*stamm_);
    const int64_t vorher = Zahl("SELECT Count(*) FROM Leistungsbilder");
    stamm_->Execute(
        "CREATE TRIGGER kaputt AFTER INSERT ON Leistungsbilder BEGIN SELECT RAISE(ABORT, 'x'); END");
    EXPECT_TRUE(std::holds_alternative<std::string>(store.CopyLBild(Profil("Gebäude"))));
    EXPECT_EQ(Zahl("SELECT Count(*) FROM Leistungsbilder"), vorher);
}

TEST_F(ProfilStoreTest, SharesMustAddUpToHundredWithPhaseTen) {
    ProfilStore store(*stamm_);
    const int64_t gebaeude = Profil("Gebäude"); // 2, 7, 15, 3, 25, 10, 4, 32, 2
    struct Fall {
        const char* lp1;
        int64_t proz10; // raw, stored
        std::optional<std::string> meldung;
    } faelle[] = {
        {"2", 0, std::nullopt},
        {"5", 0,
         "Die Bewertungen der Leistungsphasen ergeben zusammen 103 %. Ein Leistungsbild kann nur mit "
         "zusammen 100 % gespeichert werden."},
        {"1,99", 0,
         "Die Bewertungen der Leistungsphasen ergeben zusammen 99,99 %. Ein Leistungsbild kann nur mit "
         "zusammen 100 % gespeichert werden."},
        {"1", 10000, std::nullopt}, // phase 10 holds the missing percent
        {"2", 10000,
         "Die Bewertungen der Leistungsphasen ergeben zusammen 101 %. Ein Leistungsbild kann nur mit "
         "zusammen 100 % gespeichert werden."},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.lp1);
        stamm_->Execute("UPDATE Leistungsbilder SET proz01 = 20000, proz10 = ? WHERE LfNr = ?",
                        db::Params().Add(f.proz10).Add(gebaeude));
        auto d = store.Laden(gebaeude);
        ASSERT_TRUE(d);
        d->proz[0] = f.lp1;
        EXPECT_EQ(store.Speichern(gebaeude, *d), f.meldung);
        // A refused profile keeps its stored share.
        EXPECT_EQ(Feld("Leistungsbilder", gebaeude, "proz01"),
                  f.meldung ? db::Value(int64_t{20000}) : *ProfilStore::ProzentWert(f.lp1));
    }
}
