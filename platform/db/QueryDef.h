#pragma once
// A stored query from the "_QueryDefs" table (columns Name, SQL), with named (":Name") or positional ("?")
// parameters.
#include "platform/db/Params.h"

#include <string>
#include <string_view>

namespace velu::db {

class Database;
class Recordset;

class QueryDef {
public:
    QueryDef(Database& db, std::string name, std::string sql);
    const std::string& Name() const { return name_; }
    const std::string& SQL() const { return sql_; }

    // Parameter by name, without the colon; case does not matter.
    QueryDef& SetParameter(std::string_view name, Value v);
    // Positional parameter, 1-based.
    QueryDef& SetParameter(int index, Value v);

    Recordset OpenRecordset();
    // For action queries; returns the number of rows changed.
    int64_t Execute();

private:
    Database* db_;
    std::string name_;
    std::string sql_;
    Params params_;
};

} // namespace velu::db
