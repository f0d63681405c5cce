// What a connection keeps between uses (stored queries, query descriptions) must never outlive a change.
#include "TestDir.h"

#include "platform/db/Database.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>

#include <functional>

using namespace velu::db;

namespace {

struct Files {
    TestDir dir;
    std::unique_ptr<Database> db;
    Files() {
        db = Database::Create(dir / "Velupro32.mdb");
        db->Execute("CREATE TABLE Re (LfNr INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT)");
        db->Execute("INSERT INTO Re (Name) VALUES ('eins'), ('zwei')");
        db->SetQueryDef("qryRe", "SELECT Name FROM Re ORDER BY LfNr");
    }
    std::string Sql(const char* name) {
        auto q = db->GetQueryDef(name);
        return q ? q->SQL() : "<keine>";
    }
};

} // namespace

TEST(ConnectionCache, StoredQueriesFollowEveryChange) {
    const std::string neu = "SELECT Name FROM Re ORDER BY LfNr DESC";
    struct Case {
        const char* how;
        std::function<void(Files&)> change;
        std::string expected;
    } cases[] = {
        {"SetQueryDef", [&](Files& f) { f.db->SetQueryDef("QRYRE", neu); }, neu},
        {"UPDATE",
         [&](Files& f) {
             f.db->Execute("UPDATE _QueryDefs SET SQL = ?1 WHERE Name = 'qryRe'", Params().Add(neu));
         },
         neu},
        {"DELETE of all rows", [](Files& f) { f.db->Execute("DELETE FROM _querydefs"); }, "<keine>"},
        {"DROP TABLE", [](Files& f) { f.db->Execute("DROP TABLE _QueryDefs"); }, "<keine>"},
        {"recordset edit",
         [&](Files& f) {
             auto rs = f.db->OpenRecordset("SELECT SQL FROM _QueryDefs WHERE Name = 'qryRe'");
             rs.Edit();
             rs.Set("SQL", neu);
             rs.Update();
         },
         neu},
        {"rolled back",
         [&](Files& f) {
             Transaction tx(*f.db);
             f.db->SetQueryDef("qryRe", neu);
             EXPECT_EQ(f.Sql("qryRe"), neu) << "inside the transaction";
         },
         "SELECT Name FROM Re ORDER BY LfNr"},
        {"another connection",
         [&](Files& f) {
             auto other = Database::Open(f.dir / "Velupro32.mdb");
             ASSERT_TRUE(other);
             other->SetQueryDef("qryRe", neu);
         },
         neu},
    };
    for (const auto& c : cases) {
        Files f;
        EXPECT_EQ(f.Sql("qryre"), "SELECT Name FROM Re ORDER BY LfNr") << c.how;
        c.change(f);
        EXPECT_EQ(f.Sql("qryRe"), c.expected) << c.how;
    }
}

TEST(ConnectionCache, ReopenedQueriesFollowSchemaChangesOfAnotherConnection) {
    Files f;
    const char* sql = "SELECT * FROM Re ORDER BY 1";
    ASSERT_EQ(f.db->OpenRecordset(sql).FieldNames().size(), 2u);
    {
        auto other = Database::Open(f.dir / "Velupro32.mdb");
        ASSERT_TRUE(other);
        other->Execute("ALTER TABLE Re ADD COLUMN Betrag CURRENCY DEFAULT 5");
    }
    auto rs = f.db->OpenRecordset(sql);
    ASSERT_EQ(rs.FieldNames().size(), 3u);
    EXPECT_EQ(rs.DeclType("betrag"), "CURRENCY");
    rs.Edit();
    rs.Set("Betrag", int64_t{7});
    rs.Update();
    EXPECT_EQ(f.db->OpenRecordset("SELECT Betrag FROM Re WHERE LfNr = 1").GetInt("Betrag"), 7);

    // A table that lost its INTEGER PRIMARY KEY in between is edited by its rowid.
    {
        auto other = Database::Open(f.dir / "Velupro32.mdb");
        other->Execute("CREATE TABLE Neu (Nr INTEGER, Name TEXT); INSERT INTO Neu SELECT LfNr, Name FROM Re; "
                       "DROP TABLE Re; ALTER TABLE Neu RENAME TO Re");
    }
    auto again = f.db->OpenRecordset(sql);
    ASSERT_EQ(again.FieldNames(), (std::vector<std::string>{"Nr", "Name"}));
    EXPECT_EQ(again.Key(), 1);
}

TEST(ConnectionCache, KeptDescriptionsServeEditsAndFieldsAsTheFirstOpen) {
    Files f;
    f.db->Execute("CREATE TABLE Maß (\"Größe\" INTEGER, Art TEXT)");
    f.db->Execute("INSERT INTO Maß VALUES (1, 'a')");
    for (int round = 0; round < 3; ++round) {
        // Without the key in the SELECT the rowid is read as a hidden column, also from the kept description.
        auto rs = f.db->OpenRecordset("SELECT \"Größe\", Art FROM Maß");
        ASSERT_EQ(rs.FieldNames().size(), 2u) << round;
        EXPECT_FALSE(rs.HasField("GRÖSSE")) << "ß is no folded SS";
        EXPECT_EQ(rs.GetInt("GRÖßE"), round + 1) << round;
        rs.Edit();
        rs.Set("größe", int64_t{round + 2});
        rs.Update();
        EXPECT_EQ(rs.Key(), 1);
    }
}

TEST(ConnectionCache, FieldLookupOverManyNames) {
    Files f;
    // Names that differ in one character only, equal names of different case (the first wins), and more
    // names than a small table has slots.
    std::string cols, select;
    for (int i = 1; i <= 40; ++i) {
        cols += (i > 1 ? ", " : "") + std::string("TeilleistDM") + std::to_string(i) + " INTEGER";
        select += (i > 1 ? ", " : "") + std::string("TeilleistDM") + std::to_string(i);
    }
    f.db->Execute("CREATE TABLE Breit (LfNr INTEGER PRIMARY KEY, " + cols + ")");
    f.db->Execute(
        "INSERT INTO Breit (LfNr, TeilleistDM1, TeilleistDM17, TeilleistDM40) VALUES (1, 10, 170, 400)");
    auto rs =
        f.db->OpenRecordset("SELECT LfNr, " + select + ", TeilleistDM17 * 2 AS teilleistdm17 FROM Breit");
    EXPECT_EQ(rs.GetInt("teilleistdm1"), 10);
    EXPECT_EQ(rs.GetInt("TEILLEISTDM17"), 170) << "the first of equal names";
    EXPECT_EQ(rs.GetInt("TeilleistDM40"), 400);
    EXPECT_TRUE(rs.IsNull("TeilleistDM4"));
    EXPECT_FALSE(rs.HasField("TeilleistDM41"));
    EXPECT_FALSE(rs.HasField(""));
}
