#include "core/DatabaseSetup.h"

#include "core/ProjektSchema.h"
#include "core/QueryDefs.h"
#include "core/StammSchema.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"

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

} // namespace

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
    if (!CheckMeta(*db, kind)) {
        if (error)
            *error = "Die Datei " + file.string() +
                     (kind == DbKind::Stamm ? " ist keine Stammdatenbank." : " ist keine Projektdatenbank.");
        return nullptr;
    }
    return db;
}

} // namespace velu
