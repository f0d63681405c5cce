#pragma once
// Internal to velu_db: what a recordset query's result looks like, read from its prepared statement and the
// schema, and kept with the statement so that opening the same query again does not describe it again.
#include "platform/db/Text.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace velu::db {

struct RecordsetColumn {
    std::string name, decl, table, origin, schema;
};

// Field name -> column, looked up without regard to case on every field access: open addressing over the
// names' folded hashes, so a lookup costs one hash and, as a rule, one comparison.
class FieldIndex {
public:
    FieldIndex() = default;
    // The slots point into the names given to Build.
    FieldIndex(const FieldIndex&) = delete;
    FieldIndex& operator=(const FieldIndex&) = delete;
    // The first of equal names wins.
    void Build(const std::vector<std::string>& names, const std::vector<int>& columns);
    int Find(std::string_view name) const;

private:
    struct Slot {
        size_t hash;
        int column; // -1: empty
        std::string_view name;
    };
    std::vector<Slot> slots_;
};

struct RecordsetShape {
    std::string sql; // as run, with the hidden key column where one was added
    std::vector<RecordsetColumn> cols;
    bool hiddenKey = false; // column 0 is the rowid, not shown
    std::vector<std::string> names;
    FieldIndex byName; // over names

    std::string notEditable; // why editing is refused; empty when editable
    std::string schema, table;
    int keyCol = -1;
    std::string target;              // "schema"."table"
    std::vector<std::string> quoted; // origin column name per column, quoted
    std::string rereadSql;           // base-table columns of one row by key
    std::vector<int> rereadCols;     // the columns it reads, in order

    // The statement (by its cache serial) it describes, and how often SQLite had re-prepared that statement
    // then: once it has re-prepared again, the schema changed and the description may be stale.
    uint64_t serial = 0;
    int reprepares = 0;
};

} // namespace velu::db
