#include "TestDir.h"

#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>

using namespace velu::db;

TEST(QueryDef, NamedAndPositionalParameters) {
    TestDir dir;
    auto db = Database::Create(dir / "VELUDAT32.MDB");
    ASSERT_TRUE(db);
    EXPECT_FALSE(db->GetQueryDef("fehlt")) << "no _QueryDefs table yet";
    db->Execute("CREATE TABLE Re (LfNr INTEGER PRIMARY KEY, Name TEXT)");
    db->SetQueryDef("qryNeu", "INSERT INTO Re (LfNr, Name) VALUES (?, ?)");
    db->SetQueryDef("qryListe",
                    "SELECT Name FROM Re WHERE LfNr >= :LfNrBeReList OR Name = :Name ORDER BY LfNr");
    db->SetQueryDef("qryLeeren", "DELETE FROM Re WHERE LfNr > ?1");

    auto neu = db->GetQueryDef("QRYNEU");
    ASSERT_TRUE(neu);
    EXPECT_EQ(neu->Name(), "qryNeu");
    for (int i = 1; i <= 3; ++i) {
        neu->SetParameter(1, int64_t{i}).SetParameter(2, std::string("O'Brien ") + std::to_string(i));
        EXPECT_EQ(neu->Execute(), 1);
    }
    auto liste = db->GetQueryDef("qryListe");
    liste->SetParameter("lfnrberelist", int64_t{2});
    auto rs = liste->OpenRecordset();
    EXPECT_EQ(rs.RecordCount(), 2) << "unset :Name binds Null";
    liste->SetParameter(":LFNRBERELIST", int64_t{3}).SetParameter("Name", std::string("O'Brien 1"));
    rs = liste->OpenRecordset();
    ASSERT_EQ(rs.RecordCount(), 2);
    EXPECT_EQ(rs.GetText("Name"), "O'Brien 1");

    db->SetQueryDef("QRYLEEREN", "DELETE FROM Re WHERE LfNr >= ?1");
    auto leeren = db->GetQueryDef("qryLeeren");
    EXPECT_EQ(leeren->SQL(), "DELETE FROM Re WHERE LfNr >= ?1") << "redefinition replaces";
    EXPECT_EQ(leeren->SetParameter(1, int64_t{2}).Execute(), 2);
    EXPECT_EQ(leeren->Execute(), 0);
    EXPECT_THROW(leeren->SetParameter(0, int64_t{1}), DbError);
}

TEST(QueryDef, MissingStoredQueryNamesQueryAndFile) {
    TestDir dir;
    auto db = Database::Create(dir / "VELUDAT32.MDB");
    ASSERT_TRUE(db);
    db->SetQueryDef("qryDa", "SELECT 1 AS Eins");
    EXPECT_EQ(db->StoredQuery("QRYDA").OpenRecordset().GetInt("Eins"), 1);
    try {
        db->StoredQuery("qryFehlt");
        FAIL() << "no error for a missing query";
    } catch (const DbError& e) {
        EXPECT_STREQ(e.what(), "Die gespeicherte Abfrage qryFehlt fehlt in der Datenbank VELUDAT32.MDB.");
    }
}
