#pragma once
// Internal to velu_db: one prepared statement with parameter binding and typed column reads.
#include "platform/db/Params.h"
#include "platform/db/Value.h"

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace velu::db {

class StatementCache;

[[noreturn]] void ThrowSqlite(sqlite3* db, int rc);

class Statement {
public:
    // Prepares the first statement of sql; *tail (when given) receives the rest. An empty statement (only
    // blanks or comments) leaves Valid() false.
    Statement(sqlite3* db, std::string_view sql, std::string_view* tail = nullptr);
    // The same, reusing a statement of the cache; it goes back to the cache when done, unless sql held more
    // than one statement (tail then receives the rest, as above).
    Statement(sqlite3* db, StatementCache* cache, std::string_view sql, std::string_view* tail = nullptr);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Valid() const { return stmt_ != nullptr; }
    sqlite3_stmt* Get() const { return stmt_; }
    // Number under which the cache knows this statement (0 for one it does not keep); a statement prepared
    // again gets a new one.
    uint64_t Serial() const { return serial_; }
    // Times SQLite prepared the statement again on its own after a schema change.
    int Reprepares() const;

    // Binds named parameters by name without regard to case, "?" in order of appearance, "?NNN" by number;
    // parameters without a value are Null.
    void Bind(const Params& params);
    void Bind(int index, const Value& v);
    // True while a row is available; throws DbError on failure.
    bool Step();
    void Reset();

    int ColumnCount() const;
    Value Column(int i) const;

private:
    void Prepare(std::string_view sql, std::string_view* tail);

    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    StatementCache* cache_ = nullptr; // where the statement goes back to; null: finalised
    std::string sql_;
    uint64_t serial_ = 0;
};

} // namespace velu::db
