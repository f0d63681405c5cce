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

// Stored SQL comes with the file: it may read, an action query may change rows, nothing else, and nothing
// runs past the time limit.
TEST(QueryDef, StoredSqlRunsOnlyWhatItsKindAllowsAndWithinTheTimeLimit) {
    TestDir dir;
    auto db = Database::Create(dir / "VELUDAT32.MDB");
    ASSERT_TRUE(db);
    db->SetStoredSqlTimeLimit(std::chrono::milliseconds(300));
    db->Execute("CREATE TABLE Re (LfNr INTEGER PRIMARY KEY, Name TEXT)");
    db->Execute("INSERT INTO Re (LfNr, Name) VALUES (1, 'a'), (2, 'b'), (3, 'c')");
    const std::string aussen = (dir / "aussen.mdb").string();
    const std::string endlos = "WITH RECURSIVE r(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM r) ";
    const std::string nicht = " der Datenbank VELUDAT32.MDB wird nicht ausgeführt, sie stammt nicht von "
                              "diesem Programm (";
    struct Case {
        const char* name;
        std::string sql;
        bool lesen;
        std::string fehler; // after "Die gespeicherte Abfrage <name>"; empty: runs
        int64_t zeilen;     // rows of Re afterwards
    };
    const Case cases[] = {
        {"qLesen", "SELECT Name FROM Re WHERE LfNr > 1", true, "", 3},
        {"qLoeschen", "DELETE FROM Re WHERE LfNr = 3", false, "", 2},
        {"qLiestLoeschend", "DELETE FROM Re", true, nicht + "sie verändert Daten, soll aber nur lesen).", 2},
        {"qVacuumLesen", "VACUUM INTO '" + aussen + "'", true, nicht + "VACUUM).", 2},
        {"qVacuum", "VACUUM INTO '" + aussen + "'", false, nicht + "VACUUM).", 2},
        {"qAttach", "ATTACH DATABASE '" + aussen + "' AS x", false, nicht + "ATTACH).", 2},
        {"qPragma", "PRAGMA journal_mode = WAL", true, nicht + "PRAGMA journal_mode).", 2},
        {"qAbfragen", "UPDATE _QueryDefs SET SQL = 'SELECT 1'", false,
         nicht + "sie verändert die Tabelle _QueryDefs).", 2},
        {"qAufbau", "DROP TABLE Re", false,
         nicht + "sie ändert den Aufbau der Datenbank oder steuert Transaktionen).", 2},
        {"qZweite", "DELETE FROM Re WHERE LfNr = 1; VACUUM INTO '" + aussen + "'", false, nicht + "VACUUM).",
         2},
        {"qEndlos", endlos + "SELECT count(*) FROM r", true,
         " der Datenbank VELUDAT32.MDB lief länger als 1 Sekunden und wurde abgebrochen; es wurde nichts "
         "verändert.",
         2},
        {"qEndlosSchreiben", "INSERT INTO Re (Name) " + endlos + "SELECT x FROM r", false,
         " der Datenbank VELUDAT32.MDB lief länger als 1 Sekunden und wurde abgebrochen; es wurde nichts "
         "verändert.",
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db->SetQueryDef(c.name, c.sql);
        auto q = db->StoredQuery(c.name);
        const auto start = std::chrono::steady_clock::now();
        std::string fehler;
        try {
            if (c.lesen)
                q.OpenRecordset();
            else
                q.Execute();
        } catch (const DbError& e) {
            fehler = e.what();
        }
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(fehler,
                  c.fehler.empty() ? "" : "Die gespeicherte Abfrage " + std::string(c.name) + c.fehler);
        EXPECT_EQ(db->OpenRecordset("SELECT count(*) AS n FROM Re").GetText("n"), std::to_string(c.zeilen));
        EXPECT_FALSE(std::filesystem::exists(aussen));
        EXPECT_EQ(db->OpenRecordset("PRAGMA journal_mode").GetText("journal_mode"), "delete");
        if (auto a = db->GetQueryDef("qAbfragen")) EXPECT_EQ(a->SQL(), cases[7].sql);
    }
    // The guard is gone afterwards: the program's own statements run as before.
    db->Execute("PRAGMA user_version = 3");
    EXPECT_EQ(db->OpenRecordset("PRAGMA user_version").GetText("user_version"), "3");
}

// A recordset of a stored query read again runs under the guard of its first read: a query that has grown
// slow since is stopped with the same message, and the rows read before stay.
TEST(QueryDef, RequeryOfAStoredQueryRunsWithinTheTimeLimit) {
    TestDir dir;
    auto db = Database::Create(dir / "VELUDAT32.MDB");
    ASSERT_TRUE(db);
    db->Execute("CREATE TABLE Re (LfNr INTEGER PRIMARY KEY, Name TEXT)");
    db->Execute("INSERT INTO Re (LfNr, Name) VALUES (3, 'c')");
    db->SetQueryDef("qBis",
                    "WITH RECURSIVE r(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM r WHERE x < (SELECT "
                    "max(LfNr) FROM Re)) SELECT count(*) AS n FROM r");
    auto rs = db->StoredQuery("qBis").OpenRecordset();
    EXPECT_EQ(rs.GetText("n"), "3");

    // Now the query counts to a million; the limit is shortened so that nothing waits for it.
    db->Execute("INSERT INTO Re (LfNr, Name) VALUES (1000000, 'z')");
    db->SetStoredSqlTimeLimit(std::chrono::milliseconds(1));
    std::string fehler;
    try {
        rs.Requery();
    } catch (const DbError& e) {
        fehler = e.what();
    }
    EXPECT_EQ(fehler,
              "Die gespeicherte Abfrage qBis der Datenbank VELUDAT32.MDB lief länger als 1 Sekunden und "
              "wurde abgebrochen; es wurde nichts verändert.");
    EXPECT_EQ(rs.RecordCount(), 1);
    EXPECT_EQ(rs.GetText("n"), "3");

    // Within the limit it reads again, and the guard is gone afterwards.
    db->Execute("DELETE FROM Re WHERE LfNr = 1000000");
    rs.Requery();
    EXPECT_EQ(rs.GetText("n"), "3");
    db->Execute("PRAGMA user_version = 3");
    EXPECT_EQ(db->OpenRecordset("PRAGMA user_version").GetText("user_version"), "3");
}
