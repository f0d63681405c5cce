#include "core/SchemaDef.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace velu::schema {

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

const Column* Table::Find(std::string_view column) const {
    for (const auto& c : columns)
        if (EqualsNoCase(c.name, column)) return &c;
    return nullptr;
}

std::vector<std::string> Table::ColumnNames() const {
    std::vector<std::string> names;
    for (const auto& c : columns)
        names.push_back(c.name);
    return names;
}

std::vector<std::string> Table::TwinnedColumns() const {
    std::vector<std::string> names;
    for (const auto& c : columns)
        if (c.type == ColType::Currency && Has("AlDisp" + c.name)) names.push_back(c.name);
    return names;
}

const Table* SchemaDef::Find(std::string_view table) const {
    for (const auto& t : tables_)
        if (EqualsNoCase(t.name, table)) return &t;
    return nullptr;
}

const Table& SchemaDef::Get(std::string_view table) const {
    if (const Table* t = Find(table)) return *t;
    throw std::out_of_range("no table " + std::string(table));
}

std::string SchemaDef::Quote(std::string_view identifier) {
    std::string q = "\"";
    for (char ch : identifier) {
        if (ch == '"') q += '"';
        q += ch;
    }
    return q + "\"";
}

std::string SchemaDef::DeclaredType(const Column& c) {
    switch (c.type) {
    case ColType::Key:
        return "INTEGER PRIMARY KEY AUTOINCREMENT";
    case ColType::RowId:
        return "INTEGER PRIMARY KEY";
    case ColType::Long:
        return "INTEGER";
    case ColType::Integer:
        return "SMALLINT";
    case ColType::Currency:
        return "CURRENCY";
    case ColType::Bool:
        return "BOOLEAN";
    case ColType::Text:
        return "TEXT(" + std::to_string(c.size) + ")";
    case ColType::Memo:
        return "TEXT";
    case ColType::Date:
        return "DATE";
    }
    return "TEXT";
}

std::string SchemaDef::CreateTableSQL(const Table& t) {
    std::string sql = "CREATE TABLE " + Quote(t.name) + " (";
    bool first = true;
    for (const auto& c : t.columns) {
        sql += first ? "\n  " : ",\n  ";
        first = false;
        sql += Quote(c.name) + " " + DeclaredType(c);
        if (c.unique) sql += " UNIQUE";
        if (c.type == ColType::Key || c.type == ColType::RowId || c.nullDefault) continue;
        if (c.def) {
            sql += " DEFAULT " + *c.def;
        } else if (c.type != ColType::Text && c.type != ColType::Memo && c.type != ColType::Date) {
            sql += " DEFAULT 0";
        }
    }
    return sql + "\n)";
}

std::vector<std::string> SchemaDef::DDL() const {
    std::vector<std::string> out;
    for (const auto& t : tables_)
        out.push_back(CreateTableSQL(t));
    out.insert(out.end(), extra_.begin(), extra_.end());
    return out;
}

namespace {
Column Make(std::string name, ColType type, int size = 0) {
    Column c;
    c.name = std::move(name);
    c.type = type;
    c.size = size;
    return c;
}
} // namespace

Column Key(std::string name) {
    return Make(std::move(name), ColType::Key);
}
Column RowId(std::string name) {
    return Make(std::move(name), ColType::RowId);
}
Column Long(std::string name) {
    return Make(std::move(name), ColType::Long);
}
Column Int(std::string name) {
    return Make(std::move(name), ColType::Integer);
}
Column Cur(std::string name) {
    return Make(std::move(name), ColType::Currency);
}
Column Pct(std::string name) {
    return Make(std::move(name), ColType::Currency);
}
Column Bool(std::string name) {
    return Make(std::move(name), ColType::Bool);
}
Column Text(std::string name, int size) {
    return Make(std::move(name), ColType::Text, size);
}
Column Memo(std::string name) {
    return Make(std::move(name), ColType::Memo);
}
Column Date(std::string name) {
    return Make(std::move(name), ColType::Date);
}

Column NullDefault(Column c) {
    c.nullDefault = true;
    return c;
}

Column Default(Column c, std::string literal) {
    c.def = std::move(literal);
    return c;
}

Column Unique(Column c) {
    c.unique = true;
    return c;
}

std::vector<Column> Twins(std::initializer_list<std::string_view> names) {
    std::vector<Column> out;
    for (auto n : names)
        out.push_back(Cur("AlDisp" + std::string(n)));
    return out;
}

std::vector<Column> Family(std::string_view stem, int from, int to, Column (*make)(std::string),
                           bool twoDigits) {
    std::vector<Column> out;
    for (int i = from; i <= to; ++i) {
        std::string n = std::to_string(i);
        if (twoDigits && i < 10) n = "0" + n;
        out.push_back(make(std::string(stem) + n));
    }
    return out;
}

} // namespace velu::schema
