#pragma once
// One SQLite database file. Opening never creates a file; Create does, and only where none exists. Open,
// TestOpen and Attach find the file whatever the case of its last path element (ResolvePath).
// Every open holds a shared lock on "<file>.lck"; an exclusive open holds it exclusively. The locks are
// open-file-description locks, so they work between threads of one process too. The .lck file stays beside
// the database (removing it while another opener holds it would break the lock).
#include "platform/db/Params.h"
#include "platform/db/Value.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace velu::db {

class Recordset;
class QueryDef;
class StatementCache;

enum class OpenMode { Shared, Exclusive };

// Outcome of a test-open (exclusive, then closed again).
enum class LockState { Free, Locked, Missing, Damaged };

class Database {
public:
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // nullptr when the file is missing, a link, not a database, or (Exclusive) held by someone else; *error
    // then says why, in German.
    static std::unique_ptr<Database> Open(const std::filesystem::path& file, OpenMode mode = OpenMode::Shared,
                                          std::string* error = nullptr);
    // Creates a new empty database file; nullptr (with *error) when the file exists or cannot be written.
    static std::unique_ptr<Database> Create(const std::filesystem::path& file, std::string* error = nullptr);
    // Tries an exclusive open of the file and closes it again.
    static LockState TestOpen(const std::filesystem::path& file);
    // Backslashes become slashes; the last element is looked up without regard to case in its folder.
    static std::filesystem::path ResolvePath(std::string_view path);

    const std::filesystem::path& Path() const { return path_; }
    sqlite3* Handle() const { return db_; }

    // Runs one or more statements; throws DbError on failure.
    void Execute(std::string_view sql, const Params& params = {});
    // Rows changed by the last statement.
    int64_t RecordsAffected() const;
    int64_t LastInsertId() const;

    // A result set; editable when it reads from one base table including its key.
    Recordset OpenRecordset(std::string_view sql, const Params& params = {});
    // A stored query of this database's "_QueryDefs" table; nullopt when there is none of that name.
    std::optional<QueryDef> GetQueryDef(std::string_view name);
    // The same for a query the program cannot do without: DbError naming query and file when it is missing.
    QueryDef StoredQuery(std::string_view name);
    // Defines or replaces a stored query.
    void SetQueryDef(std::string_view name, std::string_view sql);
    // Stored SQL came with the file, not with the program: it runs under an authorizer that refuses ATTACH,
    // DETACH, VACUUM, PRAGMA with a value, schema changes, transactions and writes to the program's own
    // tables (_QueryDefs, _Meta, sqlite_*); read as a recordset, any write. It stops after the time limit.
    // DbError naming the query and the file when it is refused or stopped.
    Recordset ReadStored(std::string_view name, std::string_view sql, const Params& params);
    int64_t ExecuteStored(std::string_view name, std::string_view sql, const Params& params);
    void SetStoredSqlTimeLimit(std::chrono::milliseconds limit) { storedLimit_ = limit; }

    // Attaches another file under an alias (bound path, never glued into SQL). The file must exist (ATTACH
    // would create it) and is held shared through its .lck until Detach; DbError otherwise.
    void Attach(const std::filesystem::path& file, std::string_view alias);
    void Detach(std::string_view alias);

    bool HasTable(std::string_view table);
    std::vector<std::string> Columns(std::string_view table);

    // Prepared statements kept for reuse; for the data layer's own use.
    StatementCache* Statements() const { return cache_.get(); }

    // Used by Transaction. Begin() inside a running transaction opens a SAVEPOINT, so transactions nest: an
    // inner Rollback() undoes only the inner work, the outer one still decides about everything.
    void Begin();
    void Commit();
    void Rollback();
    bool InTransaction() const;

private:
    friend class Recordset; // reads a stored query again under its guard
    Database(sqlite3* db, std::filesystem::path path, int lockFd);
    void RunStored(std::string_view name, std::string_view sql, bool read, const std::function<void()>& run);
    // Changes when another connection has committed to the main database since the last call.
    int64_t DataVersion();
    sqlite3* db_;
    std::filesystem::path path_;
    int lockFd_;
    int64_t affected_ = 0;
    int depth_ = 0;                          // nesting of Begin(): 1 = BEGIN, more = savepoints
    int64_t queryDefsVersion_ = -1;          // DataVersion() when the kept stored queries were read
    std::map<std::string, int> attachLocks_; // folded alias -> shared lock on the attached file
    std::unique_ptr<StatementCache> cache_;
    std::chrono::milliseconds storedLimit_{std::chrono::seconds(30)};
};

// Rolls back on destruction unless Commit() was called. May be nested (see Database::Begin).
class Transaction {
public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

private:
    Database& db_;
    bool done_ = false;
};

} // namespace velu::db
