#pragma once
// Internal to velu_db: prepared statements kept per connection and reused by SQL text, so recordsets that open
// the same query again do not parse it again. A statement in use is taken out; it comes back reset.
#include <string>
#include <unordered_map>

struct sqlite3_stmt;

namespace velu::db {

class StatementCache {
public:
    StatementCache() = default;
    ~StatementCache() { Clear(); }
    StatementCache(const StatementCache&) = delete;
    StatementCache& operator=(const StatementCache&) = delete;

    // A prepared statement for exactly this text, or nullptr.
    sqlite3_stmt* Take(const std::string& sql);
    // Keeps a reset statement; one per text, further ones and those beyond the limit are finalised.
    void Give(const std::string& sql, sqlite3_stmt* stmt);
    // Finalises all kept statements (before closing, and after the schema changed).
    void Clear();

private:
    static constexpr size_t Limit = 256;
    std::unordered_map<std::string, sqlite3_stmt*> kept_;
};

} // namespace velu::db
