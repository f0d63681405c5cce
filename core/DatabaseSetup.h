#pragma once
// Creating the project (and template) database and the master database from the schema and query
// descriptions, and telling a file of ours from any other SQLite file.
//
// Every database we create has two tables besides its schema:
//   _Meta (Key TEXT PRIMARY KEY, Value TEXT) with the rows
//       Kind          = "Projekt" (project database and its template VELUVOR32.MDB) or "Stamm"
//       (VELUDAT32.MDB) SchemaVersion = "1"
//   _QueryDefs (Name TEXT PRIMARY KEY COLLATE NOCASE, SQL TEXT NOT NULL): the stored queries.
#include "platform/db/Database.h"

#include <filesystem>
#include <memory>
#include <string>

namespace velu {

enum class DbKind { Projekt, Stamm };

class DatabaseSetup {
public:
    static constexpr int SchemaVersion = 1;
    static const char* KindName(DbKind kind);

    // A new file with all tables, stored queries and _Meta; the project database starts empty, the master
    // database holds the user "SUPERVISOR" (all rights, no password) and the switches off. nullptr (and
    // *error) when the file exists or cannot be written; a half-written file is removed.
    static std::unique_ptr<db::Database> CreateProjektDB(const std::filesystem::path& file,
                                                         std::string* error = nullptr);
    static std::unique_ptr<db::Database> CreateStammDB(const std::filesystem::path& file,
                                                       std::string* error = nullptr);

    // True when _Meta names the file as a database of that kind.
    static bool CheckMeta(db::Database& db, DbKind kind);
    // How the database declares the program's tables otherwise than the program does for that kind (a
    // column's type or constraints, another key, constraint or table option, a unique index of its own), as
    // a German sentence naming the table; empty when they agree. Tables and fields of its own are allowed as
    // long as they declare no key on the program's tables. A missing table or field is not looked at here:
    // the backup refuses it, and at work it fails aloud where it is used.
    static std::string Abweichung(db::Database& db, DbKind kind);
    // Opens and checks; a file that is not a database of that kind, or whose tables are declared otherwise,
    // is refused like a missing one (nullptr, with a German *error).
    static std::unique_ptr<db::Database> OpenChecked(const std::filesystem::path& file, DbKind kind,
                                                     db::OpenMode mode = db::OpenMode::Shared,
                                                     std::string* error = nullptr);
};

} // namespace velu
