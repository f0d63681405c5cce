#include "TestDir.h"
#include "core/DatabaseSetup.h"
#include "core/ProjektSchema.h"
#include "core/StammSchema.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>

using namespace velu;
using velu::db::Params;

TEST(SchemaTest, CreatedDatabasesReopenWithTheirKind) {
    TestDir dir;
    std::string error;
    ASSERT_TRUE(DatabaseSetup::CreateProjektDB(dir / "VELUVOR32.MDB", &error)) << error;
    ASSERT_TRUE(DatabaseSetup::CreateStammDB(dir / "VELUDAT32.MDB", &error)) << error;

    struct Case {
        const char* file;
        DbKind kind;
        bool accepted;
    };
    for (const Case& c :
         {Case{"VELUVOR32.MDB", DbKind::Projekt, true}, Case{"VELUVOR32.MDB", DbKind::Stamm, false},
          Case{"VELUDAT32.MDB", DbKind::Stamm, true}, Case{"VELUDAT32.MDB", DbKind::Projekt, false}}) {
        std::string why;
        auto db = DatabaseSetup::OpenChecked(dir / c.file, c.kind, db::OpenMode::Shared, &why);
        EXPECT_EQ(db != nullptr, c.accepted) << c.file;
        if (!c.accepted) {
            EXPECT_NE(why.find("keine"), std::string::npos) << why;
        }
    }
    // Every described table is there with its columns in order.
    auto projekt = db::Database::Open(dir / "VELUVOR32.MDB");
    for (const auto& t : ProjektSchema::Get().Tables()) {
        ASSERT_TRUE(projekt->HasTable(t.name)) << t.name;
        EXPECT_EQ(projekt->Columns(t.name), t.ColumnNames()) << t.name;
    }
    auto stamm = db::Database::Open(dir / "VELUDAT32.MDB");
    for (const auto& t : StammSchema::Get().Tables())
        EXPECT_EQ(stamm->Columns(t.name), t.ColumnNames()) << t.name;
}

TEST(SchemaTest, ForeignOrMissingFilesAreRefusedAndNothingIsOverwritten) {
    TestDir dir;
    {
        auto other = db::Database::Create(dir / "other.mdb");
        other->Execute("CREATE TABLE x (a)");
    }
    std::string why;
    EXPECT_FALSE(DatabaseSetup::OpenChecked(dir / "other.mdb", DbKind::Stamm, db::OpenMode::Shared, &why));
    EXPECT_FALSE(DatabaseSetup::OpenChecked(dir / "missing.mdb", DbKind::Stamm, db::OpenMode::Shared, &why));
    EXPECT_FALSE(std::filesystem::exists(dir / "missing.mdb"));
    // Creating over an existing file fails and leaves it alone.
    EXPECT_FALSE(DatabaseSetup::CreateStammDB(dir / "other.mdb", &why));
    auto db = db::Database::Open(dir / "other.mdb");
    ASSERT_TRUE(db);
    EXPECT_TRUE(db->HasTable("x"));
}

TEST(SchemaTest, ColumnDefaultsAndOrder) {
    TestDir dir;
    auto db = DatabaseSetup::CreateProjektDB(dir / "p.mdb");
    ASSERT_TRUE(db);
    EXPECT_EQ(db->Columns("BeReList").at(1), "LfNr");
    db->Execute("INSERT INTO BeReList (ReBezeichnung) VALUES ('x')");
    db->Execute("INSERT INTO Grunddaten (LfNrBeReList) VALUES (1)");
    auto be = db->OpenRecordset("SELECT * FROM BeReList");
    auto gd = db->OpenRecordset("SELECT * FROM Grunddaten");
    struct Case {
        db::Recordset* rs;
        const char* field;
        bool null;
        int64_t value;
    };
    for (const Case& c :
         {Case{&be, "PSatz57", true, 0}, Case{&be, "Fertigstell57", true, 0}, Case{&be, "KOST57", false, 0},
          Case{&be, "Modif", false, 0}, Case{&be, "BerNetto", false, 0},
          Case{&be, "AlDispEndbetrag", false, 0}, Case{&gd, "Honorarzone", false, 1},
          Case{&gd, "TeilleistPro1", true, 0}, Case{&gd, "TeilleistPro9", true, 0},
          Case{&gd, "SatzUemin2", false, 0}, Case{&gd, "AlDispTotalDMLP9", false, 0}}) {
        EXPECT_EQ(c.rs->IsNull(c.field), c.null) << c.field;
        if (!c.null) {
            EXPECT_EQ(c.rs->GetInt(c.field, 99), c.value) << c.field;
        }
    }
    // Keys are never handed out again after a delete.
    db->Execute("DELETE FROM BeReList");
    db->Execute("INSERT INTO BeReList (ReBezeichnung) VALUES ('y')");
    EXPECT_EQ(db->LastInsertId(), 2);
}

TEST(SchemaTest, NewProfileRowLinksTheBasicDataOfItsPlantGroup) {
    TestDir dir;
    auto db = DatabaseSetup::CreateProjektDB(dir / "p.mdb");
    db->Execute("INSERT INTO Grunddaten (LfNrBeReList, AnlageGruppe) VALUES (7, 1), (7, 2), (8, 1)");
    db->Execute("INSERT INTO Leistungsbild (LfNrBeReList, ZuordnungAnlGrp) VALUES (7, 2)");
    const int64_t lb = db->LastInsertId();
    auto rs = db->OpenRecordset(
        "SELECT LfNrBeReList, AnlageGruppe, ZuordnungLBTabelle FROM Grunddaten ORDER BY LfNr");
    std::vector<int64_t> links;
    for (; !rs.EOF_(); rs.MoveNext())
        links.push_back(rs.GetInt("ZuordnungLBTabelle"));
    EXPECT_EQ(links, (std::vector<int64_t>{0, lb, 0}));
}
