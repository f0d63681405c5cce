#include "core/DatabaseSetup.h"

#include "core/ProjektSchema.h"
#include "core/QueryDefs.h"
#include "core/StammSchema.h"
#include "core/TableDeclaration.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"

#include <sqlite3.h>

#include <map>
#include <stdexcept>
#include <system_error>

namespace velu {

namespace {

std::unique_ptr<db::Database> Create(const std::filesystem::path& file, DbKind kind, std::string* error) {
    auto db = db::Database::Create(file, error);
    if (!db) return nullptr;
    try {
        const schema::SchemaDef& def = kind == DbKind::Projekt ? ProjektSchema::Get() : StammSchema::Get();
        const auto& queries = kind == DbKind::Projekt ? QueryDefs::Projekt() : QueryDefs::Stamm();
        db::Transaction tx(*db);
        db->Execute("CREATE TABLE \"_Meta\" (\"Key\" TEXT PRIMARY KEY, \"Value\" TEXT)");
        db->Execute(
            "CREATE TABLE \"_QueryDefs\" (\"Name\" TEXT PRIMARY KEY COLLATE NOCASE, \"SQL\" TEXT NOT NULL)");
        for (const auto& sql : def.DDL())
            db->Execute(sql);
        db->Execute("INSERT INTO _Meta (Key, Value) VALUES ('Kind', :kind), ('SchemaVersion', :version)",
                    db::Params()
                        .Set("kind", std::string(DatabaseSetup::KindName(kind)))
                        .Set("version", std::to_string(DatabaseSetup::SchemaVersion)));
        for (const auto& q : queries)
            db->Execute("INSERT INTO _QueryDefs (Name, SQL) VALUES (:name, :sql)",
                        db::Params().Set("name", q.name).Set("sql", q.sql));
        if (kind == DbKind::Stamm) {
            db->Execute("INSERT INTO Zugriff (Benutzername, Passwort, OhnePasswort, Rechte) "
                        "VALUES ('SUPERVISOR', '', -1, 8191)");
            db->Execute("INSERT INTO Optionen (Nr, MitPasswort) VALUES (1, 0)");
        }
        tx.Commit();
    } catch (const std::exception& e) {
        if (error) *error = e.what();
        db.reset();
        std::error_code ec;
        std::filesystem::remove(file, ec);
        return nullptr;
    }
    return db;
}

// The declarations of a schema's tables, by name in capitals, each with its name as written.
using Deklarationen = std::map<std::string, std::pair<std::string, TableDeclaration>>;

Deklarationen Parsed(const schema::SchemaDef& def) {
    Deklarationen d;
    for (const auto& t : def.Tables()) {
        auto decl = TableDeclaration::Parse(schema::SchemaDef::CreateTableSQL(t));
        if (!decl) throw std::logic_error("unparsable schema of table " + t.name);
        d[NameKey(t.name)] = {t.name, std::move(*decl)};
    }
    return d;
}

} // namespace

std::string DatabaseSetup::Abweichung(db::Database& db, DbKind kind) {
    static const Deklarationen projekt = Parsed(ProjektSchema::Get());
    static const Deklarationen stamm = Parsed(StammSchema::Get());
    const Deklarationen& soll = kind == DbKind::Projekt ? projekt : stamm;
    struct Eintrag {
        std::string type, name, table, sql;
    };
    std::map<std::string, Eintrag> objekte; // tables and views by name in capitals
    std::vector<Eintrag> eindeutig;         // unique indexes on the program's tables
    sqlite3_stmt* st = nullptr;
    int rc = sqlite3_prepare_v2(db.Handle(), "SELECT type, name, tbl_name, sql FROM sqlite_master", -1, &st,
                                nullptr);
    auto text = [&](int i) {
        const auto* t = sqlite3_column_text(st, i);
        return std::string(t ? reinterpret_cast<const char*>(t) : "");
    };
    while (rc == SQLITE_OK && (rc = sqlite3_step(st)) == SQLITE_ROW) {
        rc = SQLITE_OK;
        Eintrag e{text(0), text(1), text(2), text(3)};
        if (e.type == "index" && soll.count(NameKey(e.table)) && TableDeclaration::IsUniqueIndex(e.sql))
            eindeutig.push_back(std::move(e));
        else if (e.type == "table" || e.type == "view")
            objekte[NameKey(e.name)] = std::move(e);
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        return "Der Aufbau der Datenbank kann nicht gelesen werden: " + db::DbError::CodeText(rc);
    for (const auto& [key, t] : soll) {
        const auto it = objekte.find(key);
        if (it == objekte.end() || it->second.type != "table") continue;
        const auto ist = TableDeclaration::Parse(it->second.sql);
        if (!ist) return "Die Tabelle " + t.first + " ist anders angelegt als von diesem Programm.";
        if (std::string d = TableDeclaration::Difference(t.first, *ist, t.second); !d.empty()) return d;
    }
    if (!eindeutig.empty())
        return "Der eindeutige Index " + eindeutig[0].name + " der Tabelle " +
               soll.at(NameKey(eindeutig[0].table)).first + " stammt nicht von diesem Programm.";
    return {};
}

const char* DatabaseSetup::KindName(DbKind kind) {
    return kind == DbKind::Projekt ? "Projekt" : "Stamm";
}

std::unique_ptr<db::Database> DatabaseSetup::CreateProjektDB(const std::filesystem::path& file,
                                                             std::string* error) {
    return Create(file, DbKind::Projekt, error);
}

std::unique_ptr<db::Database> DatabaseSetup::CreateStammDB(const std::filesystem::path& file,
                                                           std::string* error) {
    return Create(file, DbKind::Stamm, error);
}

bool DatabaseSetup::CheckMeta(db::Database& db, DbKind kind) {
    try {
        if (!db.HasTable("_Meta")) return false;
        auto rs = db.OpenRecordset("SELECT Value FROM _Meta WHERE Key = 'Kind'");
        return !rs.Empty() && rs.GetText("Value") == KindName(kind);
    } catch (const db::DbError&) {
        return false;
    }
}

std::unique_ptr<db::Database> DatabaseSetup::OpenChecked(const std::filesystem::path& file, DbKind kind,
                                                         db::OpenMode mode, std::string* error) {
    auto db = db::Database::Open(file, mode, error);
    if (!db) return nullptr;
    const std::string keine =
        "Die Datei " + file.string() +
        (kind == DbKind::Stamm ? " ist keine Stammdatenbank." : " ist keine Projektdatenbank.");
    if (!CheckMeta(*db, kind)) {
        if (error) *error = keine;
        return nullptr;
    }
    // A table declared otherwise (another key, a conflict clause, another type) would have ordinary saves
    // change other rows or read amounts wrongly.
    if (std::string anders = Abweichung(*db, kind); !anders.empty()) {
        if (error) *error = keine + " " + anders;
        return nullptr;
    }
    return db;
}

} // namespace velu
