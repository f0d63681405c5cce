#pragma once
// Tables of the program declared otherwise than the program declares them: each is rebuilt from its own
// CREATE TABLE statement with one part replaced (its indexes and triggers made again).
#include "platform/db/Database.h"
#include "platform/db/Recordset.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace velu_test {

struct Deklaration {
    const char* was;
    const char* datei; // "Velupro32.mdb" or "VELUDAT32.MDB"
    const char* tabelle;
    const char* von;
    const char* nach;
    std::string warum; // empty: the program's own older layout, which still opens
};

inline const std::vector<Deklaration>& Deklarationen() {
    static const std::vector<Deklaration> d = {
        {"key declared descending", "Velupro32.mdb", "BeReList", "\"LfNr\" INTEGER PRIMARY KEY AUTOINCREMENT",
         "\"LfNr\" INTEGER PRIMARY KEY DESC",
         "In der Tabelle BeReList ist das Feld LfNr anders angelegt als von diesem Programm: INTEGER PRIMARY "
         "KEY DESC statt INTEGER PRIMARY KEY AUTOINCREMENT."},
        {"unique that replaces", "Velupro32.mdb", "Zahlung", "\"AlDispZahlung\" CURRENCY DEFAULT 0",
         "\"AlDispZahlung\" CURRENCY DEFAULT 0, UNIQUE (LfNrBeReList) ON CONFLICT REPLACE",
         "Die Tabelle Zahlung ist anders angelegt als von diesem Programm: UNIQUE (LfNrBeReList) ON CONFLICT "
         "REPLACE."},
        {"amount declared as text", "Velupro32.mdb", "BeReList", "\"BerNetto\" CURRENCY", "\"BerNetto\" TEXT",
         "In der Tabelle BeReList ist das Feld BerNetto anders angelegt als von diesem Programm: TEXT "
         "DEFAULT 0 "
         "statt CURRENCY DEFAULT 0."},
        {"master table amount declared as text", "VELUDAT32.MDB", "Tafel", "\"AKosten\" CURRENCY",
         "\"AKosten\" TEXT",
         "In der Tabelle Tafel ist das Feld AKosten anders angelegt als von diesem Programm: TEXT DEFAULT 0 "
         "statt CURRENCY DEFAULT 0."},
        {"a unique index of the office's own", "VELUDAT32.MDB", "Zugriff", "", "",
         "Der eindeutige Index Zugriff_Rechte der Tabelle Zugriff stammt nicht von diesem Programm."},
        {"older layout: a shorter password field", "VELUDAT32.MDB", "Zugriff", "\"Passwort\" TEXT(128)",
         "\"Passwort\" TEXT(20)", ""},
    };
    return d;
}

inline void Umbauen(const std::filesystem::path& file, const Deklaration& d) {
    auto db = velu::db::Database::Open(file);
    ASSERT_TRUE(db);
    if (!*d.von) {
        db->Execute(std::string("CREATE UNIQUE INDEX ") + d.tabelle + "_Rechte ON " + d.tabelle +
                    " (Rechte)");
        return;
    }
    auto rs = db->OpenRecordset("SELECT type, sql FROM sqlite_master WHERE tbl_name = ? AND sql IS NOT NULL",
                                velu::db::Params().Add(std::string(d.tabelle)));
    std::string tabelle;
    std::vector<std::string> dazu;
    for (; !rs.EOF_(); rs.MoveNext())
        (rs.GetText("type") == "table" ? tabelle : dazu.emplace_back()) = rs.GetText("sql");
    const size_t at = tabelle.find(d.von);
    ASSERT_NE(at, std::string::npos) << tabelle;
    tabelle.replace(at, std::string(d.von).size(), d.nach);
    db->Execute("BEGIN");
    db->Execute(std::string("DROP TABLE \"") + d.tabelle + "\"");
    db->Execute(tabelle);
    for (const auto& sql : dazu)
        db->Execute(sql);
    db->Execute("COMMIT");
}

} // namespace velu_test
