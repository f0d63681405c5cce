#include "platform/db/Database.h"

#include "platform/archive/OfficeEntry.h"
#include "platform/db/DbError.h"
#include "platform/db/FileLock.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"
#include "platform/db/Statement.h"
#include "platform/db/StatementCache.h"
#include "platform/db/Text.h"

#include <sqlite3.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <system_error>
#include <unistd.h>

namespace velu::db {

namespace fs = std::filesystem;

namespace {

std::string Quoted(const fs::path& p) {
    return "'" + p.string() + "'";
}

void CloseConnection(sqlite3* db) {
    if (!db) return;
    while (sqlite3_stmt* s = sqlite3_next_stmt(db, nullptr))
        sqlite3_finalize(s);
    sqlite3_close(db);
}

void SetError(std::string* error, std::string text) {
    if (error) *error = std::move(text);
}

// Opens an existing file read-write without the create flag and applies the connection settings. Returns
// the SQLite result code; SQLITE_NOTADB / SQLITE_CORRUPT mean the file is no usable database.
int OpenConnection(const fs::path& file, sqlite3** out) {
    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, 5000);
        // Reading the schema version makes SQLite read the header, which fails for a file that is no
        // database.
        rc =
            sqlite3_exec(db, "PRAGMA schema_version; PRAGMA journal_mode=DELETE;", nullptr, nullptr, nullptr);
    }
    if (rc != SQLITE_OK) {
        rc = sqlite3_errcode(db) ? sqlite3_extended_errcode(db) : rc;
        CloseConnection(db);
        return rc;
    }
    *out = db;
    return SQLITE_OK;
}

bool IsDamagedCode(int rc) {
    int primary = rc & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

} // namespace

namespace {
// Kept stored queries go stale when a row of "_QueryDefs" changes through this connection, whichever way.
void OnRowChange(void* cache, int, const char*, const char* table, sqlite3_int64) {
    if (table && EqualsNoCase(table, "_QueryDefs")) static_cast<StatementCache*>(cache)->ForgetQueryDefs();
}

bool MentionsQueryDefs(const char* sql) {
    static constexpr std::string_view word = "_querydefs";
    std::string_view s(sql ? sql : "");
    for (size_t i = 0; i + word.size() <= s.size(); ++i) {
        size_t k = 0;
        while (k < word.size() && std::tolower(static_cast<unsigned char>(s[i + k])) == word[k])
            ++k;
        if (k == word.size()) return true;
    }
    return false;
}
} // namespace

Database::Database(sqlite3* db, fs::path path, int lockFd)
    : db_(db), path_(std::move(path)), lockFd_(lockFd), cache_(std::make_unique<StatementCache>()) {
    sqlite3_update_hook(db_, OnRowChange, cache_.get());
}

Database::~Database() {
    cache_->Clear();
    CloseConnection(db_);
    for (auto& [alias, fd] : attachLocks_)
        ::close(fd);
    if (lockFd_ >= 0) ::close(lockFd_);
}

std::unique_ptr<Database> Database::Open(const fs::path& wanted, OpenMode mode, std::string* error) {
    const fs::path file = ResolvePath(wanted.string());
    // A database that is a link is not the office's own: a co-worker may have put it there to have the
    // program write elsewhere.
    if (archive::IsLink(file)) {
        SetError(error, archive::LinkText(file));
        return nullptr;
    }
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) {
        SetError(error, "Die Datei " + Quoted(file) + " wurde nicht gefunden.");
        return nullptr;
    }
    int fd = -1;
    std::string why;
    switch (LockFile(file, mode == OpenMode::Exclusive, &fd, &why)) {
    case LockResult::Held:
        SetError(error, "Die Datei " + Quoted(file) + " wird von einem anderen Benutzer verwendet.");
        return nullptr;
    case LockResult::Failed:
        SetError(error, "Die Sperrdatei zu " + Quoted(file) + " kann nicht angelegt werden: " + why);
        return nullptr;
    case LockResult::Ok:
        break;
    }
    sqlite3* db = nullptr;
    int rc = OpenConnection(file, &db);
    if (rc != SQLITE_OK) {
        ::close(fd);
        if (IsDamagedCode(rc))
            SetError(error, "Die Datei " + Quoted(file) + " ist keine gültige Datenbank oder beschädigt.");
        else if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
            SetError(error, "Die Datei " + Quoted(file) + " wird von einem anderen Benutzer verwendet.");
        else
            SetError(error,
                     "Die Datei " + Quoted(file) + " kann nicht geöffnet werden: " + DbError::CodeText(rc));
        return nullptr;
    }
    return std::unique_ptr<Database>(new Database(db, file, fd));
}

std::unique_ptr<Database> Database::Create(const fs::path& file, std::string* error) {
    // O_EXCL makes "only where none exists" hold against a concurrent creator too.
    int f = ::open(file.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (f < 0) {
        if (errno == EEXIST && archive::IsLink(file))
            SetError(error, archive::LinkText(file));
        else if (errno == EEXIST)
            SetError(error, "Die Datei " + Quoted(file) + " existiert bereits.");
        else
            SetError(error,
                     "Die Datei " + Quoted(file) + " kann nicht angelegt werden: " + std::strerror(errno));
        return nullptr;
    }
    ::close(f);
    auto db = Open(file, OpenMode::Shared, error);
    if (!db) {
        std::error_code ec;
        fs::remove(file, ec);
    }
    return db;
}

LockState Database::TestOpen(const fs::path& wanted) {
    const fs::path file = ResolvePath(wanted.string());
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return LockState::Missing;
    int fd = -1;
    switch (LockFile(file, true, &fd)) {
    case LockResult::Held:
        return LockState::Locked;
    case LockResult::Failed:
        return LockState::Locked; // cannot take the lock: treat as not available for exclusive use
    case LockResult::Ok:
        break;
    }
    sqlite3* db = nullptr;
    int rc = OpenConnection(file, &db);
    LockState state = LockState::Free;
    if (rc != SQLITE_OK) {
        state = IsDamagedCode(rc) ? LockState::Damaged : LockState::Locked;
    } else {
        sqlite3_stmt* s = nullptr;
        rc = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &s, nullptr);
        if (rc == SQLITE_OK) rc = sqlite3_step(s);
        if (rc == SQLITE_ROW) {
            auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
            if (!text || std::strcmp(text, "ok") != 0) state = LockState::Damaged;
        } else {
            int code = sqlite3_extended_errcode(db);
            state = ((code & 0xff) == SQLITE_BUSY || (code & 0xff) == SQLITE_LOCKED) ? LockState::Locked
                                                                                     : LockState::Damaged;
        }
        sqlite3_finalize(s);
        CloseConnection(db);
    }
    ::close(fd);
    return state;
}

fs::path Database::ResolvePath(std::string_view path) {
    std::string s(path);
    for (char& c : s)
        if (c == '\\') c = '/';
    fs::path p(s);
    std::error_code ec;
    if (fs::exists(p, ec) || !p.has_filename()) return p;
    fs::path folder = p.parent_path();
    std::string wanted = FoldCase(p.filename().string());
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (FoldCase(it->path().filename().string()) == wanted) return folder / it->path().filename();
    }
    return p;
}

namespace {
bool ChangesSchema(const char* sql) {
    std::string_view s(sql ? sql : "");
    size_t at = s.find_first_not_of(" \t\r\n");
    if (at == std::string_view::npos) return false;
    std::string word = FoldCase(s.substr(at, 8));
    for (const char* kw : {"create", "alter", "drop", "attach", "detach", "vacuum"})
        if (word.rfind(kw, 0) == 0) return true;
    return false;
}
} // namespace

void Database::Execute(std::string_view sql, const Params& params) {
    std::string_view rest = sql;
    while (!rest.empty()) {
        std::string_view tail;
        Statement st(db_, cache_.get(), rest, &tail);
        rest = tail;
        if (!st.Valid()) continue;
        st.Bind(params);
        while (st.Step()) {
        }
        if (!sqlite3_stmt_readonly(st.Get())) {
            affected_ = sqlite3_changes64(db_);
            // Kept statements may describe tables as they were before a schema change.
            if (ChangesSchema(sqlite3_sql(st.Get()))) cache_->Clear();
            // Emptying a whole table passes by the row hook.
            else if (MentionsQueryDefs(sqlite3_sql(st.Get())))
                cache_->ForgetQueryDefs();
        }
    }
}

int64_t Database::RecordsAffected() const {
    return affected_;
}

int64_t Database::LastInsertId() const {
    return sqlite3_last_insert_rowid(db_);
}

Recordset Database::OpenRecordset(std::string_view sql, const Params& params) {
    return Recordset::Open(*this, std::string(sql), params);
}

int64_t Database::DataVersion() {
    Statement st(db_, cache_.get(), "PRAGMA data_version");
    return st.Step() ? std::get<int64_t>(st.Column(0)) : 0;
}

std::optional<QueryDef> Database::GetQueryDef(std::string_view name) {
    // Kept definitions hold until this connection changes them (see OnRowChange, Execute, Rollback) or
    // another one commits anything.
    const int64_t version = DataVersion();
    if (version != queryDefsVersion_) {
        cache_->ForgetQueryDefs();
        queryDefsVersion_ = version;
    }
    std::string key = FoldCase(name);
    if (const auto* q = cache_->QueryDef(key)) return QueryDef(*this, q->name, q->sql);
    if (!HasTable("_QueryDefs")) return std::nullopt;
    Statement st(db_, "SELECT Name, SQL FROM _QueryDefs WHERE Name = ?1 COLLATE NOCASE");
    st.Bind(1, std::string(name));
    if (!st.Step()) return std::nullopt;
    Value n = st.Column(0), q = st.Column(1);
    auto* ns = std::get_if<std::string>(&n);
    auto* qs = std::get_if<std::string>(&q);
    StatementCache::StoredQuery kept{ns ? *ns : std::string(name), qs ? *qs : std::string()};
    cache_->KeepQueryDef(key, kept);
    return QueryDef(*this, std::move(kept.name), std::move(kept.sql));
}

QueryDef Database::StoredQuery(std::string_view name) {
    auto q = GetQueryDef(name);
    if (!q)
        throw DbError("Die gespeicherte Abfrage " + std::string(name) + " fehlt in der Datenbank " +
                      path_.filename().string() + ".");
    return std::move(*q);
}

void Database::SetQueryDef(std::string_view name, std::string_view sql) {
    Execute("CREATE TABLE IF NOT EXISTS _QueryDefs (Name TEXT PRIMARY KEY COLLATE NOCASE, SQL TEXT)");
    Execute("INSERT INTO _QueryDefs (Name, SQL) VALUES (?1, ?2) "
            "ON CONFLICT(Name) DO UPDATE SET SQL = excluded.SQL",
            Params().Add(std::string(name)).Add(std::string(sql)));
}

namespace {

bool OwnTable(const char* table) {
    if (!table) return false;
    const std::string t = FoldCase(table);
    return t == "_querydefs" || t == "_meta" || t.rfind("sqlite_", 0) == 0;
}

// Whether a statement's text begins with VACUUM (after blanks and comments).
bool IsVacuum(const char* sql) {
    std::string_view s(sql ? sql : "");
    for (;;) {
        const size_t at = s.find_first_not_of(" \t\r\n");
        if (at == std::string_view::npos) return false;
        s.remove_prefix(at);
        if (s.rfind("--", 0) == 0) {
            const size_t nl = s.find('\n');
            if (nl == std::string_view::npos) return false;
            s.remove_prefix(nl);
        } else if (s.rfind("/*", 0) == 0) {
            const size_t close = s.find("*/");
            if (close == std::string_view::npos) return false;
            s.remove_prefix(close + 2);
        } else {
            return FoldCase(s.substr(0, 6)) == "vacuum";
        }
    }
}

// Watches stored SQL on db: an authorizer while each of its statements is prepared once (Check), and a time
// limit while it runs, gone with the guard.
class StoredSqlGuard {
public:
    StoredSqlGuard(sqlite3* db, bool read, std::chrono::milliseconds limit)
        : db_(db), read_(read), end_(std::chrono::steady_clock::now() + limit) {
        sqlite3_progress_handler(db_, 1000, &StoredSqlGuard::Progress, this);
    }
    ~StoredSqlGuard() { sqlite3_progress_handler(db_, 0, nullptr, nullptr); }
    StoredSqlGuard(const StoredSqlGuard&) = delete;
    StoredSqlGuard& operator=(const StoredSqlGuard&) = delete;

    bool Expired() const { return expired_; }
    // Prepares each statement of sql once before anything runs: the reason one is refused, else empty.
    // The run then prepares the same text on the same schema, which the authorizer has let through; the
    // program's own statements around it (a recordset's look at its table) are not the stored SQL's.
    std::string Check(std::string_view sql) {
        sqlite3_set_authorizer(db_, &StoredSqlGuard::Authorize, this);
        struct Off {
            sqlite3* db;
            ~Off() { sqlite3_set_authorizer(db, nullptr, nullptr); }
        } off{db_};
        const char* at = sql.data();
        const char* end = at + sql.size();
        while (at < end) {
            sqlite3_stmt* st = nullptr;
            const char* tail = nullptr;
            const int rc = sqlite3_prepare_v2(db_, at, static_cast<int>(end - at), &st, &tail);
            if (rc != SQLITE_OK) {
                sqlite3_finalize(st);
                return refused_.empty() ? std::string(sqlite3_errmsg(db_)) : refused_;
            }
            if (st) {
                const bool vacuum = IsVacuum(sqlite3_sql(st));
                const bool writes = !sqlite3_stmt_readonly(st);
                sqlite3_finalize(st);
                if (vacuum) return "VACUUM";
                if (read_ && writes) return "sie verändert Daten, soll aber nur lesen";
            }
            at = tail;
        }
        return {};
    }

private:
    static constexpr const char* Aufbau = "sie ändert den Aufbau der Datenbank oder steuert Transaktionen";
    static int Authorize(void* self, int action, const char* a1, const char* a2, const char*, const char*) {
        auto* g = static_cast<StoredSqlGuard*>(self);
        switch (action) {
        case SQLITE_SELECT:
        case SQLITE_READ:
        case SQLITE_FUNCTION:
        case SQLITE_RECURSIVE:
            return SQLITE_OK;
        case SQLITE_PRAGMA:
            if (!a2) return SQLITE_OK; // reads a setting
            return g->Deny("PRAGMA " + std::string(a1 ? a1 : ""));
        case SQLITE_INSERT:
        case SQLITE_UPDATE:
        case SQLITE_DELETE:
            if (a1 && FoldCase(a1).rfind("sqlite_", 0) == 0) return g->Deny(Aufbau);
            if (g->read_) return g->Deny("sie verändert Daten, soll aber nur lesen");
            if (OwnTable(a1)) return g->Deny("sie verändert die Tabelle " + std::string(a1));
            return SQLITE_OK;
        case SQLITE_ATTACH:
            return g->Deny("ATTACH");
        case SQLITE_DETACH:
            return g->Deny("DETACH");
        default:
            return g->Deny(Aufbau);
        }
    }
    // The first refusal names the cause; SQLite may ask on about the same statement.
    int Deny(std::string why) {
        if (refused_.empty()) refused_ = std::move(why);
        return SQLITE_DENY;
    }
    static int Progress(void* self) {
        auto* g = static_cast<StoredSqlGuard*>(self);
        if (std::chrono::steady_clock::now() < g->end_) return 0;
        g->expired_ = true;
        return 1;
    }

    sqlite3* db_;
    bool read_;
    std::chrono::steady_clock::time_point end_;
    bool expired_ = false;
    std::string refused_;
};

} // namespace

Recordset Database::ReadStored(std::string_view name, std::string_view sql, const Params& params) {
    Recordset rs;
    RunStored(name, sql, true, [&] { rs = OpenRecordset(sql, params); });
    rs.SetStored(std::string(name));
    return rs;
}

int64_t Database::ExecuteStored(std::string_view name, std::string_view sql, const Params& params) {
    RunStored(name, sql, false, [&] { Execute(sql, params); });
    return RecordsAffected();
}

void Database::RunStored(std::string_view name, std::string_view sql, bool read,
                         const std::function<void()>& run) {
    const std::string what =
        "Die gespeicherte Abfrage " + std::string(name) + " der Datenbank " + path_.filename().string();
    StoredSqlGuard guard(db_, read, storedLimit_);
    if (const std::string why = guard.Check(sql); !why.empty())
        throw DbError(what + " wird nicht ausgeführt, sie stammt nicht von diesem Programm (" + why + ").",
                      SQLITE_AUTH);
    try {
        run();
    } catch (const DbError& e) {
        if (!guard.Expired()) throw;
        const auto seconds = (storedLimit_.count() + 999) / 1000;
        throw DbError(what + " lief länger als " + std::to_string(seconds) +
                          " Sekunden und wurde abgebrochen; es wurde nichts verändert.",
                      SQLITE_INTERRUPT);
    }
}

void Database::Attach(const fs::path& wanted, std::string_view alias) {
    const fs::path file = ResolvePath(wanted.string());
    if (!IsIdentifier(alias))
        throw DbError("Ungültiger Name für eine angefügte Datenbank: " + std::string(alias));
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) throw DbError("Die Datei " + Quoted(file) + " wurde nicht gefunden.");
    std::string key = FoldCase(alias);
    if (attachLocks_.count(key)) throw DbError("Der Name " + std::string(alias) + " ist bereits vergeben.");
    int fd = -1;
    std::string why;
    switch (LockFile(file, false, &fd, &why)) {
    case LockResult::Held:
        throw DbError("Die Datei " + Quoted(file) + " wird von einem anderen Benutzer verwendet.");
    case LockResult::Failed:
        throw DbError("Die Sperrdatei zu " + Quoted(file) + " kann nicht angelegt werden: " + why);
    case LockResult::Ok:
        break;
    }
    try {
        // The alias is a checked identifier; the path is bound.
        Execute("ATTACH DATABASE ?1 AS " + std::string(alias), Params().Add(file.string()));
    } catch (...) {
        ::close(fd);
        throw;
    }
    attachLocks_[key] = fd;
}

void Database::Detach(std::string_view alias) {
    if (!IsIdentifier(alias))
        throw DbError("Ungültiger Name für eine angefügte Datenbank: " + std::string(alias));
    Execute("DETACH DATABASE " + std::string(alias));
    auto it = attachLocks_.find(FoldCase(alias));
    if (it != attachLocks_.end()) {
        ::close(it->second);
        attachLocks_.erase(it);
    }
}

bool Database::HasTable(std::string_view table) {
    Statement st(db_, "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?1 COLLATE NOCASE");
    st.Bind(1, std::string(table));
    return st.Step();
}

std::vector<std::string> Database::Columns(std::string_view table) {
    Statement st(db_, "SELECT name FROM pragma_table_info(?1) ORDER BY cid");
    st.Bind(1, std::string(table));
    std::vector<std::string> out;
    while (st.Step()) {
        Value v = st.Column(0);
        if (auto* s = std::get_if<std::string>(&v)) out.push_back(*s);
    }
    return out;
}

void Database::Begin() {
    if (depth_ > 0 && sqlite3_get_autocommit(db_)) { // SQLite rolled back on its own
        depth_ = 0;
        cache_->ForgetQueryDefs();
    }
    if (depth_ == 0)
        Execute("BEGIN IMMEDIATE");
    else
        Execute("SAVEPOINT velu_sp" + std::to_string(depth_));
    ++depth_;
}

void Database::Commit() {
    if (depth_ == 0) throw DbError("Keine Transaktion aktiv.");
    if (sqlite3_get_autocommit(db_)) {
        depth_ = 0;
        cache_->ForgetQueryDefs();
        throw DbError("Die Transaktion wurde bereits zurückgesetzt.");
    }
    if (depth_ == 1)
        Execute("COMMIT");
    else
        Execute("RELEASE velu_sp" + std::to_string(depth_ - 1));
    --depth_;
}

void Database::Rollback() {
    if (depth_ == 0) return;
    // Stored queries read or written inside the undone work may be gone.
    cache_->ForgetQueryDefs();
    if (sqlite3_get_autocommit(db_)) {
        depth_ = 0;
        return;
    }
    if (depth_ == 1) {
        Execute("ROLLBACK");
    } else {
        std::string sp = "velu_sp" + std::to_string(depth_ - 1);
        Execute("ROLLBACK TO " + sp + "; RELEASE " + sp);
    }
    --depth_;
}

bool Database::InTransaction() const {
    return !sqlite3_get_autocommit(db_);
}

Transaction::Transaction(Database& db) : db_(db) {
    db_.Begin();
}

Transaction::~Transaction() {
    if (done_) return;
    try {
        db_.Rollback();
    } catch (...) {
        // A destructor must not throw; SQLite rolls back an unfinished transaction when the connection
        // closes.
    }
}

void Transaction::Commit() {
    if (done_) throw DbError("Die Transaktion ist bereits abgeschlossen.");
    db_.Commit();
    done_ = true;
}

} // namespace velu::db
