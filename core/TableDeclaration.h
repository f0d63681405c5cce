#pragma once
// A table's declarations as its CREATE TABLE statement gives them, normalised so that two statements that
// declare the same compare equal however they are spelt (case, quotes, spaces, comments): each column's type
// and constraints, the table constraints and the table options. The size of a TEXT column is left out, as
// SQLite ignores it and the program has widened one (Zugriff.Passwort) since databases were first made.
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velu {

// A name as SQLite compares names (ASCII case ignored): in capitals.
std::string NameKey(std::string name);

struct TableDeclaration {
    struct Column {
        std::string name;    // as written
        std::string decl;    // type and constraints, normalised
        std::string written; // the same as written, for messages
    };
    struct Constraint {
        std::string decl, written;
        bool operator<(const Constraint& o) const { return decl < o.decl; }
    };
    std::map<std::string, Column> columns; // by name in capitals
    std::vector<Constraint> constraints;   // table constraints, sorted
    Constraint options;                    // WITHOUT ROWID, STRICT

    // nullopt when sql is no CREATE TABLE statement with a column list.
    static std::optional<TableDeclaration> Parse(std::string_view sql);

    // What a table declared as ist differs in from soll, as a German sentence naming the table (table);
    // empty when it declares each column of soll that it has as soll does, with no other key, constraint or
    // option. Columns of its own that declare no key are allowed; a missing column is not looked at here.
    static std::string Difference(const std::string& table, const TableDeclaration& ist,
                                  const TableDeclaration& soll);

    // Whether sql is a CREATE UNIQUE INDEX statement.
    static bool IsUniqueIndex(std::string_view sql);
};

} // namespace velu
