#pragma once
// Description of a database's tables, from which the DDL of the template and master databases is made.
// Declared types follow the house conventions: keys INTEGER PRIMARY KEY AUTOINCREMENT, currency, percent and
// quantity columns CURRENCY (integer ten-thousandths), Booleans BOOLEAN (-1/0), dates DATE (text YYYY-MM-DD).
// Numeric, currency and Boolean columns default to 0 unless a column states otherwise.
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velu::schema {

enum class ColType {
    Key,      // INTEGER PRIMARY KEY AUTOINCREMENT
    RowId,    // INTEGER PRIMARY KEY: a print or scratch copy keeps the source's key
    Long,     // 32-bit integer
    Integer,  // 16-bit integer
    Currency, // ten-thousandths; also percentages and quantities
    Bool,     // -1 / 0
    Text,     // with a size
    Memo,     // text without a size
    Date,     // "YYYY-MM-DD"
};

struct Column {
    std::string name;
    ColType type = ColType::Text;
    int size = 0;                   // Text only
    bool nullDefault = false;       // no DEFAULT: NULL carries a meaning
    std::optional<std::string> def; // SQL literal replacing the type's default
    bool unique = false;
};

struct Table {
    std::string name;
    std::vector<Column> columns;

    const Column* Find(std::string_view column) const; // without regard to case
    bool Has(std::string_view column) const { return Find(column) != nullptr; }
    std::vector<std::string> ColumnNames() const;
    // Column names whose twin "AlDisp" & name exists in the table.
    std::vector<std::string> TwinnedColumns() const;
};

// A column list built by appending single columns and families.
class ColumnList {
public:
    ColumnList& operator<<(Column c) {
        cols_.push_back(std::move(c));
        return *this;
    }
    ColumnList& operator<<(const std::vector<Column>& cs) {
        cols_.insert(cols_.end(), cs.begin(), cs.end());
        return *this;
    }
    operator std::vector<Column>() const { return cols_; }

private:
    std::vector<Column> cols_;
};

class SchemaDef {
public:
    // extra: statements run after the tables (indexes, triggers).
    SchemaDef(std::vector<Table> tables, std::vector<std::string> extra = {})
        : tables_(std::move(tables)), extra_(std::move(extra)) {}
    const std::vector<Table>& Tables() const { return tables_; }
    const Table* Find(std::string_view table) const; // without regard to case
    const Table& Get(std::string_view table) const;  // throws std::out_of_range

    // CREATE TABLE statements of every table, in order, then the extra statements.
    std::vector<std::string> DDL() const;
    static std::string CreateTableSQL(const Table& t);
    static std::string DeclaredType(const Column& c);
    static std::string Quote(std::string_view identifier);

private:
    std::vector<Table> tables_;
    std::vector<std::string> extra_;
};

// Builders for the column lists of the schema files.
Column Key(std::string name);
Column RowId(std::string name);
Column Long(std::string name);
Column Int(std::string name);
Column Cur(std::string name);
Column Pct(std::string name); // percent: stored like currency
Column Bool(std::string name);
Column Text(std::string name, int size = 50);
Column Memo(std::string name);
Column Date(std::string name);
Column NullDefault(Column c);
Column Default(Column c, std::string literal);
Column Unique(Column c);
// The "AlDisp" twins of the given currency columns, in the given order.
std::vector<Column> Twins(std::initializer_list<std::string_view> names);
// name & i for i = from..to, each made by make.
std::vector<Column> Family(std::string_view stem, int from, int to, Column (*make)(std::string),
                           bool twoDigits = false);

bool EqualsNoCase(std::string_view a, std::string_view b);

} // namespace velu::schema
