#pragma once
// Internal to velu_db: what a connection keeps between uses, all of it dropped together when the schema
// changes. Prepared statements are reused by SQL text, so recordsets that open the same query again do not
// parse it again; a statement in use is taken out and comes back reset. Beside them: the description of each
// recordset query (columns, base table, key), tied to the statement it was read from, and the stored queries
// read from "_QueryDefs".
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

struct sqlite3_stmt;

namespace velu::db {

struct RecordsetShape;

class StatementCache {
public:
    StatementCache() = default;
    ~StatementCache() { Clear(); }
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // A prepared statement for exactly this text, or nullptr; *serial receives the number it was kept under.
    sqlite3_stmt* Take(const std::string& sql, uint64_t* serial);
    // Keeps a reset statement; one per text, further ones and those beyond the limit are finalised.
    void Give(const std::string& sql, sqlite3_stmt* stmt, uint64_t serial);
    // A number no other statement of this cache has had, for a newly prepared one.
    uint64_t NewSerial() { return ++serial_; }

    // Description of a recordset query by its SQL text as given; nullptr when none is kept.
    std::shared_ptr<const RecordsetShape> Shape(const std::string& sql) const;
    void KeepShape(const std::string& sql, std::shared_ptr<const RecordsetShape> shape);

    // Stored query by folded name: its name as stored and its SQL.
    struct StoredQuery {
        std::string name, sql;
    };
    const StoredQuery* QueryDef(const std::string& foldedName) const;
    void KeepQueryDef(const std::string& foldedName, StoredQuery q);
    void ForgetQueryDefs() { queryDefs_.clear(); }

    // Finalises all kept statements and forgets everything (before closing, and after the schema changed).
    void Clear();

private:
    static constexpr size_t Limit = 256;
    struct Kept {
        sqlite3_stmt* stmt;
        uint64_t serial;
    };
    std::unordered_map<std::string, Kept> kept_;
    std::unordered_map<std::string, std::shared_ptr<const RecordsetShape>> shapes_;
    std::unordered_map<std::string, StoredQuery> queryDefs_;
    uint64_t serial_ = 0;
};

} // namespace velu::db
