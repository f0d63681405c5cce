#include "platform/db/StatementCache.h"

#include <sqlite3.h>

namespace velu::db {

sqlite3_stmt* StatementCache::Take(const std::string& sql) {
    auto it = kept_.find(sql);
    if (it == kept_.end()) return nullptr;
    sqlite3_stmt* s = it->second;
    kept_.erase(it);
    return s;
}

void StatementCache::Give(const std::string& sql, sqlite3_stmt* stmt) {
    if (kept_.size() >= Limit || !kept_.emplace(sql, stmt).second) sqlite3_finalize(stmt);
}

void StatementCache::Clear() {
    for (auto& [sql, s] : kept_)
        sqlite3_finalize(s);
    kept_.clear();
}

} // namespace velu::db
