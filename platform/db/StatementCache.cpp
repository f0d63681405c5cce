#include "platform/db/StatementCache.h"

#include "platform/db/RecordsetShape.h"

#include <sqlite3.h>

namespace velu::db {

sqlite3_stmt* StatementCache::Take(const std::string& sql, uint64_t* serial) {
    auto it = kept_.find(sql);
    if (it == kept_.end()) return nullptr;
    sqlite3_stmt* s = it->second.stmt;
    *serial = it->second.serial;
    kept_.erase(it);
    return s;
}

void StatementCache::Give(const std::string& sql, sqlite3_stmt* stmt, uint64_t serial) {
    if (kept_.size() >= Limit || !kept_.emplace(sql, Kept{stmt, serial}).second) sqlite3_finalize(stmt);
}

std::shared_ptr<const RecordsetShape> StatementCache::Shape(const std::string& sql) const {
    auto it = shapes_.find(sql);
    return it == shapes_.end() ? nullptr : it->second;
}

void StatementCache::KeepShape(const std::string& sql, std::shared_ptr<const RecordsetShape> shape) {
    // A shape is only good with its statement, so it need not outlive the statements' limit.
    if (shapes_.size() >= Limit) shapes_.clear();
    shapes_[sql] = std::move(shape);
}

const StatementCache::StoredQuery* StatementCache::QueryDef(const std::string& foldedName) const {
    auto it = queryDefs_.find(foldedName);
    return it == queryDefs_.end() ? nullptr : &it->second;
}

void StatementCache::KeepQueryDef(const std::string& foldedName, StoredQuery q) {
    if (queryDefs_.size() >= Limit) queryDefs_.clear();
    queryDefs_[foldedName] = std::move(q);
}

void StatementCache::Clear() {
    for (auto& [sql, k] : kept_)
        sqlite3_finalize(k.stmt);
    kept_.clear();
    shapes_.clear();
    queryDefs_.clear();
}

} // namespace velu::db
