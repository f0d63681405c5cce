#include "platform/db/DbError.h"

#include <sqlite3.h>

namespace velu::db {

std::string DbError::Text(int sqliteCode) {
    switch (sqliteCode & 0xff) {
    case SQLITE_FULL:
        return "Auf dem Datenträger ist kein Platz mehr frei.";
    case SQLITE_READONLY:
        return "Die Datenbank ist schreibgeschützt und kann nicht geändert werden.";
    case SQLITE_PERM:
        return "Der Zugriff auf die Datenbank wurde verweigert.";
    case SQLITE_IOERR:
        return "Beim Lesen oder Schreiben der Datenbank ist ein Fehler des Datenträgers aufgetreten.";
    case SQLITE_CANTOPEN:
        return "Die Datenbankdatei kann nicht geöffnet werden.";
    case SQLITE_CORRUPT:
        return "Die Datenbank ist beschädigt.";
    case SQLITE_NOTADB:
        return "Die Datei ist keine gültige Datenbank.";
    case SQLITE_NOMEM:
        return "Der Arbeitsspeicher reicht nicht aus.";
    case SQLITE_TOOBIG:
        return "Der Wert ist zu groß für die Datenbank.";
    case SQLITE_NOLFS:
        return "Das Betriebssystem unterstützt so große Dateien nicht.";
    default:
        return {};
    }
}

std::string DbError::CodeText(int sqliteCode) {
    std::string t = Text(sqliteCode);
    return t.empty() ? sqlite3_errstr(sqliteCode) : t;
}

std::string DbError::Message(sqlite3* db, int sqliteCode) {
    std::string t = Text(sqliteCode);
    if (!t.empty()) return t;
    return db ? sqlite3_errmsg(db) : sqlite3_errstr(sqliteCode);
}

} // namespace velu::db
