#include "TestDir.h"

#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velu::db;
namespace fs = std::filesystem;

namespace {

std::vector<std::string> Listing(const fs::path& folder) {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::unique_ptr<Database> NewDb(const fs::path& file) {
    std::string error;
    auto db = Database::Create(file, &error);
    EXPECT_TRUE(db) << error;
    return db;
}

} // namespace

TEST(Database, OpeningAMissingFileFailsAndCreatesNothing) {
    TestDir dir;
    for (OpenMode mode : {OpenMode::Shared, OpenMode::Exclusive}) {
        std::string error;
        EXPECT_EQ(Database::Open(dir / "VELUDAT32.MDB", mode, &error), nullptr);
        EXPECT_NE(error.find("nicht gefunden"), std::string::npos) << error;
    }
    EXPECT_EQ(Database::TestOpen(dir / "VELUDAT32.MDB"), LockState::Missing);
    EXPECT_TRUE(Listing(dir.Path()).empty());
}

TEST(Database, CreateRefusesAnExistingFileAndOpenFindsTheData) {
    TestDir dir;
    fs::path file = dir / "a.mdb";
    {
        auto db = NewDb(file);
        db->Execute("CREATE TABLE t (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name TEXT); INSERT INTO t (Name) "
                    "VALUES ('x')");
        EXPECT_EQ(db->RecordsAffected(), 1);
        EXPECT_EQ(db->LastInsertId(), 1);
        EXPECT_TRUE(db->HasTable("T"));
        EXPECT_FALSE(db->HasTable("u"));
        EXPECT_EQ(db->Columns("t"), (std::vector<std::string>{"ID", "Name"}));
    }
    std::string error;
    EXPECT_EQ(Database::Create(file, &error), nullptr);
    EXPECT_NE(error.find("existiert bereits"), std::string::npos);
    auto db = Database::Open(file);
    ASSERT_TRUE(db);
    EXPECT_EQ(db->OpenRecordset("SELECT Name FROM t").GetText("name"), "x");
    auto mode = db->OpenRecordset("PRAGMA journal_mode");
    EXPECT_EQ(mode.GetText("journal_mode"), "delete");
}

TEST(Database, LocksBetweenOpensOfOneProcess) {
    TestDir dir;
    fs::path file = dir / "a.mdb";
    NewDb(file).reset();
    EXPECT_EQ(Database::TestOpen(file), LockState::Free);
    {
        auto shared = Database::Open(file);
        ASSERT_TRUE(shared);
        EXPECT_TRUE(Database::Open(file)) << "two shared opens coexist";
        std::string error;
        EXPECT_EQ(Database::Open(file, OpenMode::Exclusive, &error), nullptr);
        EXPECT_NE(error.find("anderen Benutzer"), std::string::npos) << error;
        EXPECT_EQ(Database::TestOpen(file), LockState::Locked);
    }
    {
        auto exclusive = Database::Open(file, OpenMode::Exclusive);
        ASSERT_TRUE(exclusive);
        EXPECT_EQ(Database::Open(file), nullptr);
    }
    EXPECT_EQ(Database::TestOpen(file), LockState::Free);
}

TEST(Database, ALockHeldByAnotherProcessIsSeen) {
    TestDir dir;
    fs::path file = dir / "a.mdb";
    NewDb(file).reset();
    for (OpenMode childMode : {OpenMode::Shared, OpenMode::Exclusive}) {
        int ready[2], finish[2];
        ASSERT_EQ(pipe(ready), 0);
        ASSERT_EQ(pipe(finish), 0);
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            auto db = Database::Open(file, childMode);
            char c = db ? 'y' : 'n';
            (void)!write(ready[1], &c, 1);
            (void)!read(finish[0], &c, 1); // hold the lock until the parent is done
            _exit(0);
        }
        char c = 0;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        EXPECT_EQ(c, 'y');
        EXPECT_EQ(Database::TestOpen(file), LockState::Locked);
        EXPECT_EQ(Database::Open(file, OpenMode::Exclusive), nullptr);
        EXPECT_EQ(Database::Open(file, OpenMode::Shared) != nullptr, childMode == OpenMode::Shared);
        (void)!write(finish[1], "x", 1);
        int status = 0;
        waitpid(pid, &status, 0);
        for (int fd : {ready[0], ready[1], finish[0], finish[1]})
            close(fd);
        EXPECT_EQ(Database::TestOpen(file), LockState::Free);
    }
}

TEST(Database, ALinkPlantedInPlaceOfTheLockFileIsNotFollowed) {
    TestDir dir, draussen;
    fs::path file = dir / "a.mdb";
    NewDb(file).reset();
    fs::remove(dir / "a.mdb.lck");
    fs::create_symlink(draussen / "angelegt", dir / "a.mdb.lck");
    std::string error;
    EXPECT_EQ(Database::Open(file, OpenMode::Shared, &error), nullptr);
    EXPECT_EQ(error.rfind("Die Sperrdatei zu '" + file.string() + "' kann nicht angelegt werden: ", 0), 0u)
        << error;
    EXPECT_FALSE(fs::exists(draussen / "angelegt")) << "nothing is created where the link points";
}

TEST(Database, DamagedFiles) {
    TestDir dir;
    std::ofstream(dir / "text.mdb") << "Dies ist keine Datenbank, nur ein Text, der lang genug ist.\n";
    EXPECT_EQ(Database::TestOpen(dir / "text.mdb"), LockState::Damaged);
    std::string error;
    EXPECT_EQ(Database::Open(dir / "text.mdb", OpenMode::Shared, &error), nullptr);
    EXPECT_NE(error.find("keine gültige Datenbank"), std::string::npos) << error;

    // A real database whose pages are overwritten halfway fails the quick check.
    fs::path file = dir / "broken.mdb";
    {
        auto db = NewDb(file);
        db->Execute("CREATE TABLE t (a TEXT); CREATE INDEX ia ON t(a)");
        for (int i = 0; i < 200; ++i)
            db->Execute("INSERT INTO t VALUES (?)", Params().Add(std::string(100, char('a' + i % 26))));
    }
    auto size = fs::file_size(file);
    {
        std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(static_cast<std::streamoff>(size / 2));
        std::string junk(4096, '\x5a');
        f.write(junk.data(), static_cast<std::streamsize>(junk.size()));
    }
    EXPECT_EQ(Database::TestOpen(file), LockState::Damaged);
}

TEST(Database, ResolvePath) {
    TestDir dir("Müller's Büro");
    std::ofstream(dir / "VELUDAT32.MDB") << "";
    struct Case {
        std::string in, out;
    } cases[] = {
        {"veludat32.mdb", "VELUDAT32.MDB"},
        {"VeluDat32.Mdb", "VELUDAT32.MDB"},
        {"VELUDAT32.MDB", "VELUDAT32.MDB"},
        {"missing.mdb", "missing.mdb"},
    };
    for (const auto& c : cases) {
        std::string in = dir.Path().string() + "/" + c.in;
        std::replace(in.begin(), in.end(), '/', '\\');
        EXPECT_EQ(Database::ResolvePath(in), dir.Path() / c.out) << c.in;
    }
    std::ofstream(dir / "ÄRGER.mdb") << "";
    EXPECT_EQ(Database::ResolvePath((dir.Path() / "ärger.MDB").string()), dir.Path() / "ÄRGER.mdb");
}

// A database stored under another case of its name is found, held and attached as itself, with one lock
// file whatever case the caller used.
TEST(Database, OpensWhateverTheCaseOfTheFileName) {
    TestDir dir;
    {
        auto db = NewDb(dir / "VELUPRO32.MDB");
        db->Execute("CREATE TABLE t (x INTEGER)");
    }
    auto other = NewDb(dir / "other.mdb");
    for (const char* name : {"Velupro32.mdb", "velupro32.MDB", "VELUPRO32.MDB"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(Database::TestOpen(dir / name), LockState::Free);
        auto db = Database::Open(dir / name);
        ASSERT_TRUE(db);
        EXPECT_EQ(db->Path(), dir / "VELUPRO32.MDB");
        EXPECT_EQ(Database::TestOpen(dir / "velupro32.mdb"), LockState::Locked);
        other->Attach(dir / name, "p");
        EXPECT_NO_THROW(other->Execute("INSERT INTO p.t (x) VALUES (1)"));
        other->Detach("p");
    }
    EXPECT_FALSE(fs::exists(dir / "Velupro32.mdb"));
    EXPECT_FALSE(fs::exists(dir / "Velupro32.mdb.lck"));
}

TEST(Database, FailedTransactionLeavesTheFileAsBefore) {
    TestDir dir;
    fs::path file = dir / "a.mdb";
    auto db = NewDb(file);
    db->Execute(
        "CREATE TABLE t (ID INTEGER PRIMARY KEY, Name TEXT NOT NULL); INSERT INTO t VALUES (1, 'alt')");
    auto before = Listing(dir.Path());
    try {
        Transaction tx(*db);
        db->Execute("UPDATE t SET Name = 'neu'");
        db->Execute("INSERT INTO t (Name) VALUES (NULL)"); // violates NOT NULL
        tx.Commit();
        FAIL() << "constraint not reported";
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("NOT NULL"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(db->InTransaction());
    EXPECT_EQ(db->OpenRecordset("SELECT Name FROM t").GetText("Name"), "alt");
    EXPECT_EQ(Listing(dir.Path()), before) << "no journal left behind";

    // Nested: the inner rollback undoes only its own work.
    {
        Transaction outer(*db);
        db->Execute("UPDATE t SET Name = 'außen'");
        {
            Transaction inner(*db);
            db->Execute("UPDATE t SET Name = 'innen'");
        }
        EXPECT_TRUE(db->InTransaction());
        outer.Commit();
    }
    EXPECT_EQ(db->OpenRecordset("SELECT Name FROM t").GetText("Name"), "außen");
    db.reset();
    auto again = Database::Open(file);
    EXPECT_EQ(again->OpenRecordset("SELECT Name FROM t").GetText("Name"), "außen");
}

TEST(Database, TypedTextAndPathsPassThroughBoundParameters) {
    TestDir dir("Müller's Büro");
    const std::string nasty = "O'Brien \"x\"; DROP TABLE t";
    auto db = NewDb(dir / "a.mdb");
    db->Execute("CREATE TABLE t (ID INTEGER PRIMARY KEY, Name TEXT)");
    db->Execute("INSERT INTO t (Name) VALUES (:Name)", Params().Set("name", nasty));
    {
        auto other = NewDb(dir / "O'Neil.mdb");
        other->Execute("CREATE TABLE u (Name TEXT)");
    }
    db->Attach(dir / "O'Neil.mdb", "Fremd");
    db->Execute("INSERT INTO Fremd.u SELECT Name FROM t");
    EXPECT_EQ(db->OpenRecordset("SELECT Name FROM Fremd.u").GetText("Name"), nasty);
    EXPECT_EQ(db->OpenRecordset("SELECT Name FROM t WHERE Name = ?", Params().Add(nasty)).RecordCount(), 1);
    EXPECT_THROW(db->Attach(dir / "O'Neil.mdb", "x; DROP TABLE t"), DbError);
    EXPECT_THROW(db->Attach(dir / "fehlt.mdb", "Fehlt"), DbError);
    EXPECT_FALSE(fs::exists(dir / "fehlt.mdb")) << "attach must not create the file";
    EXPECT_EQ(Database::TestOpen(dir / "O'Neil.mdb"), LockState::Locked) << "attached file is held shared";
    db->Detach("fremd");
    EXPECT_EQ(Database::TestOpen(dir / "O'Neil.mdb"), LockState::Free);
    EXPECT_TRUE(db->HasTable("t"));
}

TEST(Database, UnexpectedFailuresThrowWithSqlitesMessage) {
    TestDir dir;
    auto db = NewDb(dir / "a.mdb");
    try {
        db->Execute("SELECT * FROM gibtsnicht");
        FAIL();
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("no such table: gibtsnicht"), std::string::npos);
        EXPECT_NE(e.code(), 0);
    }
    Transaction tx(*db);
    tx.Commit();
    EXPECT_THROW(tx.Commit(), DbError);
    EXPECT_FALSE(db->InTransaction());
}

TEST(Database, AWriteLockHeldTooLongIsReportedInGerman) {
    TestDir dir;
    auto db = NewDb(dir / "a.mdb");
    db->Execute("CREATE TABLE t (LfNr INTEGER PRIMARY KEY AUTOINCREMENT, Wert INTEGER)");
    db->Execute("INSERT INTO t (Wert) VALUES (1)");
    auto anderer = Database::Open(dir / "a.mdb");
    ASSERT_TRUE(anderer);
    sqlite3_busy_timeout(db->Handle(), 50);
    Transaction halten(*anderer);
    anderer->Execute("UPDATE t SET Wert = 2");

    auto belegt = [](const std::function<void()>& schreiben) {
        try {
            schreiben();
        } catch (const DbError& e) {
            EXPECT_TRUE(e.Belegt());
            return std::string(e.what());
        }
        return std::string("kein Fehler");
    };
    const std::string meldung =
        "Die Daten werden gerade von einem anderen Benutzer geändert. Bitte versuchen Sie es noch einmal.";
    EXPECT_EQ(belegt([&] { db->Execute("UPDATE t SET Wert = 3"); }), meldung);
    EXPECT_EQ(belegt([&] { Transaction tx(*db); }), meldung);
    Recordset rs = db->OpenRecordset("SELECT * FROM t");
    rs.MoveFirst();
    rs.Edit();
    rs.Set("Wert", int64_t{4});
    EXPECT_EQ(belegt([&] { rs.Update(); }), meldung);
    if (rs.Editing()) rs.CancelUpdate();

    halten.Commit();
    db->Execute("UPDATE t SET Wert = 5");
    Recordset neu = db->OpenRecordset("SELECT Wert FROM t");
    neu.MoveFirst();
    EXPECT_EQ(neu.GetInt("Wert"), 5);
    // Other failures keep SQLite's own words.
    try {
        db->Execute("SELECT * FROM gibtsnicht");
    } catch (const DbError& e) {
        EXPECT_FALSE(e.Belegt());
    }
}

// A database that is a link is refused, naming it, and nothing is written where it points (no lock file, no
// journal): the same whether the link leads into the office or out of it.
TEST(Database, ADatabaseThatIsALinkIsRefused) {
    TestDir dir, draussen;
    NewDb(draussen / "echt.mdb").reset();
    fs::remove(draussen / "echt.mdb.lck");
    fs::create_symlink(draussen / "echt.mdb", dir / "VELUDAT32.MDB");
    for (OpenMode mode : {OpenMode::Shared, OpenMode::Exclusive}) {
        std::string error;
        EXPECT_EQ(Database::Open(dir / "veludat32.mdb", mode, &error), nullptr);
        EXPECT_EQ(error,
                  "'" + (dir / "VELUDAT32.MDB").string() +
                      "' ist eine Verknüpfung. Daten des Programms werden nicht über Verknüpfungen "
                      "gelesen oder geschrieben; bitte ersetzen Sie die Verknüpfung durch den Ordner oder "
                      "die Datei selbst.");
    }
    EXPECT_FALSE(fs::exists(draussen / "echt.mdb.lck"));
    EXPECT_FALSE(fs::exists(dir / "VELUDAT32.MDB.lck"));
}
