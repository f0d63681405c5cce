#include "platform/db/Statement.h"

#include "platform/db/DbError.h"
#include "platform/db/StatementCache.h"
#include "platform/db/Text.h"

#include <sqlite3.h>

#include <cstdlib>

namespace velu::db {

void ThrowSqlite(sqlite3* db, int rc) {
    static_assert(DbError::BusyCode == SQLITE_BUSY && DbError::LockedCode == SQLITE_LOCKED);
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED) throw DbError(DbError::BelegtMeldung, rc);
    throw DbError(DbError::Message(db, rc), rc);
}

Statement::Statement(sqlite3* db, std::string_view sql, std::string_view* tail) : db_(db) {
    Prepare(sql, tail);
}

Statement::Statement(sqlite3* db, StatementCache* cache, std::string_view sql, std::string_view* tail)
    : db_(db), sql_(sql) {
    if (cache && (stmt_ = cache->Take(sql_, &serial_))) {
        cache_ = cache;
        if (tail) *tail = {};
        return;
    }
    std::string_view rest;
    Prepare(sql, &rest);
    if (tail) *tail = rest;
    // Only a text that is one statement can be found again by its text.
    if (cache && stmt_ && rest.find_first_not_of(" \t\r\n;") == std::string_view::npos) {
        cache_ = cache;
        serial_ = cache->NewSerial();
    }
}

int Statement::Reprepares() const {
    return stmt_ ? sqlite3_stmt_status(stmt_, SQLITE_STMTSTATUS_REPREPARE, 0) : 0;
}

void Statement::Prepare(std::string_view sql, std::string_view* tail) {
    const char* rest = nullptr;
    int rc = sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                                &stmt_, &rest);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        ThrowSqlite(db_, rc);
    }
    if (tail) *tail = sql.substr(static_cast<size_t>(rest - sql.data()));
}

Statement::~Statement() {
    if (cache_ && stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
        cache_->Give(sql_, stmt_, serial_);
    } else {
        sqlite3_finalize(stmt_);
    }
}

void Statement::Bind(int index, const Value& v) {
    int rc = SQLITE_OK;
    if (auto* i = std::get_if<int64_t>(&v)) {
        rc = sqlite3_bind_int64(stmt_, index, *i);
    } else if (auto* d = std::get_if<double>(&v)) {
        rc = sqlite3_bind_double(stmt_, index, *d);
    } else if (auto* t = std::get_if<std::string>(&v)) {
        rc = sqlite3_bind_text64(stmt_, index, t->data(), t->size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    } else if (auto* b = std::get_if<Blob>(&v)) {
        // An empty blob stays a blob, not Null.
        rc = b->empty() ? sqlite3_bind_zeroblob(stmt_, index, 0)
                        : sqlite3_bind_blob64(stmt_, index, b->data(), b->size(), SQLITE_TRANSIENT);
    } else {
        rc = sqlite3_bind_null(stmt_, index);
    }
    if (rc != SQLITE_OK) ThrowSqlite(db_, rc);
}

void Statement::Bind(const Params& params) {
    if (!stmt_) return;
    const auto& named = params.Named();
    const auto& positional = params.Positional();
    int count = sqlite3_bind_parameter_count(stmt_);
    size_t nextPositional = 0;
    for (int i = 1; i <= count; ++i) {
        const char* name = sqlite3_bind_parameter_name(stmt_, i);
        const Value* value = nullptr;
        if (!name) {
            if (nextPositional < positional.size()) value = &positional[nextPositional];
            ++nextPositional;
        } else if (name[0] == '?') {
            long n = std::strtol(name + 1, nullptr, 10);
            if (n >= 1 && static_cast<size_t>(n) <= positional.size()) value = &positional[n - 1];
        } else {
            std::string_view bare(name + 1);
            // The last value set under a name wins.
            for (auto it = named.rbegin(); it != named.rend(); ++it) {
                if (EqualsNoCase(it->first, bare)) {
                    value = &it->second;
                    break;
                }
            }
        }
        Bind(i, value ? *value : Value{});
    }
}

bool Statement::Step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    ThrowSqlite(db_, rc);
}

void Statement::Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

int Statement::ColumnCount() const {
    return sqlite3_column_count(stmt_);
}

Value Statement::Column(int i) const {
    // One call into the connection for the type and a number: a row of a wide table has hundreds of them.
    // Numbers are read from the column's value as it is, without conversion; texts and blobs go through the
    // column interface.
    sqlite3_value* v = sqlite3_column_value(stmt_, i);
    switch (sqlite3_value_type(v)) {
    case SQLITE_INTEGER:
        return static_cast<int64_t>(sqlite3_value_int64(v));
    case SQLITE_FLOAT:
        return sqlite3_value_double(v);
    case SQLITE_TEXT: {
        auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
        return std::string(p, static_cast<size_t>(sqlite3_column_bytes(stmt_, i)));
    }
    case SQLITE_BLOB: {
        auto* p = static_cast<const uint8_t*>(sqlite3_column_blob(stmt_, i));
        return Blob(p, p + sqlite3_column_bytes(stmt_, i));
    }
    default:
        return Value{};
    }
}

} // namespace velu::db
