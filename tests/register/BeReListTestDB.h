#pragma once
// The register table with the columns of the project database, for tests of the register.
#include "platform/db/Database.h"

#include <string>

inline const char* const BeReListBetraege[] = {"BerNetto",
                                               "ZuAbBrNetto",
                                               "InZuSchBerNettoDM",
                                               "InZuSchBerNettoProDM",
                                               "ZwSumm",
                                               "MwstDM",
                                               "Brutto",
                                               "ZuAbBrutto",
                                               "InZuSchBruttoDM",
                                               "InZuSchBruttoProDM",
                                               "SummAz",
                                               "Skontofaehig",
                                               "SkontoDM",
                                               "Mwstenthalten",
                                               "Endbetrag",
                                               "StdReNetZuAbDM",
                                               "StdReNetZuAbProDM",
                                               "StdReBrZuAbDM",
                                               "StdReBrZuAbProDM",
                                               "Pausch57"};
inline const char* const BeReListProzente[] = {"InZuSchBerNettoPro", "InZuSchBruttoPro", "MwstPro",
                                               "SkontoPro",          "StdReNetZuAbPro",  "StdReBrZuAbPro"};

// Percents in the given column type; every amount with its AlDisp twin.
inline void BeReListAnlegen(velu::db::Database& db, const std::string& prozentTyp) {
    std::string sql =
        "CREATE TABLE BeReList (LfNr INTEGER PRIMARY KEY AUTOINCREMENT, ReBezeichnung TEXT, "
        "REType TEXT, Gruppierung TEXT, Gruppenbezeichnung TEXT, Ursprung INTEGER, Redatum TEXT, "
        "ReNummer TEXT, Modif INTEGER, INPUTType INTEGER, DisplayType INTEGER, "
        "ZwSummBrutto CURRENCY, ZuPara TEXT, KOST57 CURRENCY, PSatz57 DOUBLE, Fertigstell57 DOUBLE";
    for (const char* b : BeReListBetraege)
        sql += std::string(", ") + b + " CURRENCY, AlDisp" + b + " CURRENCY";
    for (const char* p : BeReListProzente)
        sql += std::string(", ") + p + " " + prozentTyp;
    db.Execute(sql + ")");
}
