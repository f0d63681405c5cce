#include "platform/db/QueryDef.h"

#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/db/Text.h"

namespace velu::db {

QueryDef::QueryDef(Database& db, std::string name, std::string sql)
    : db_(&db), name_(std::move(name)), sql_(std::move(sql)) {}

QueryDef& QueryDef::SetParameter(std::string_view name, Value v) {
    // A leading colon is accepted too; a name set again replaces its value.
    if (!name.empty() && name.front() == ':') name.remove_prefix(1);
    Params next;
    for (const auto& [n, value] : params_.Named())
        if (!EqualsNoCase(n, name)) next.Set(n, value);
    next.Set(std::string(name), std::move(v));
    for (const Value& p : params_.Positional())
        next.Add(p);
    params_ = std::move(next);
    return *this;
}

QueryDef& QueryDef::SetParameter(int index, Value v) {
    if (index < 1) throw DbError("Ungültige Parameternummer " + std::to_string(index) + ".");
    std::vector<Value> positional = params_.Positional();
    if (positional.size() < static_cast<size_t>(index)) positional.resize(static_cast<size_t>(index));
    positional[static_cast<size_t>(index) - 1] = std::move(v);
    Params next;
    for (const auto& [n, value] : params_.Named())
        next.Set(n, value);
    for (Value& p : positional)
        next.Add(std::move(p));
    params_ = std::move(next);
    return *this;
}

Recordset QueryDef::OpenRecordset() {
    return db_->ReadStored(name_, sql_, params_);
}

int64_t QueryDef::Execute() {
    return db_->ExecuteStored(name_, sql_, params_);
}

} // namespace velu::db
