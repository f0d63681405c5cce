#pragma once
// An older project database as the migration finds it, for the tests of the migration and of backups of a
// migrated project.
#include "core/DatabaseSetup.h"
#include "platform/db/Database.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace velu {

// An older project database VELUPRO.MDB: one currency (DM), no twins, the service profile inside Grunddaten.
// Without site supervision it also lacks KOST57, PSatz57, Fertigstell57 and Pausch57.
inline void MakeOldProject(const std::filesystem::path& file, bool withSiteSupervision,
                           bool duplicatePayment = false) {
    auto db = db::Database::Create(file);
    ASSERT_TRUE(db);
    std::string be = "CREATE TABLE BeReList (ReBezeichnung TEXT, LfNr INTEGER PRIMARY KEY, REType TEXT, "
                     "Gruppierung INTEGER, Redatum DATE, ReNummer TEXT, BerNetto CURRENCY, MwstPro CURRENCY, "
                     "MwstDM CURRENCY, Endbetrag CURRENCY, Modif BOOLEAN, Ursprung INTEGER, ZuPara TEXT";
    if (withSiteSupervision)
        be += ", KOST57 CURRENCY, PSatz57 CURRENCY, Fertigstell57 CURRENCY, Pausch57 CURRENCY";
    db->Execute(be + ")");
    db->Execute(
        "CREATE TABLE Grunddaten (LfNr INTEGER PRIMARY KEY, LfNrBeReList INTEGER, Anlagegruppe SMALLINT, "
        "Honorarzone SMALLINT, HOAIALT BOOLEAN, TotalDMLP1 CURRENCY, HonrarNetto CURRENCY, "
        "GrHonorarAb1 CURRENCY, LeistungsbildLFNR INTEGER, LeistungsbildBez TEXT, LeistungsbildPara TEXT, "
        "HoaiTafelZuordnung INTEGER, LiTX01 TEXT, proz01 CURRENCY, KoZU01 SMALLINT, Einheit SMALLINT)");
    db->Execute(
        "CREATE TABLE Projektaufwand (LfNr INTEGER PRIMARY KEY, Numm TEXT, Leistung TEXT, Satz CURRENCY, "
        "Menge CURRENCY, Summ CURRENCY, interSatz CURRENCY, interSumm CURRENCY, Phzuordnung SMALLINT, "
        "Datum DATE)");
    db->Execute(
        "CREATE TABLE PunkteTab (LfNr INTEGER PRIMARY KEY, LfNrBeReList INTEGER, ZuordnungAnlGrp SMALLINT, "
        "Text TEXT, MaxPunkte SMALLINT, VergebenePunkte SMALLINT)");
    db->Execute(
        "CREATE TABLE StdRePos (LfNr INTEGER PRIMARY KEY, REZuordnung INTEGER, Leistung TEXT, Satz CURRENCY, "
        "Menge CURRENCY, Summ CURRENCY)");
    // Without a key, so a damaged older file can hold the same number twice.
    db->Execute("CREATE TABLE Zahlung (LfNr INTEGER, LfNrBeReList INTEGER, Ursprung INTEGER, Datum DATE, "
                "Bemerkung TEXT, Zahlung CURRENCY)");
    for (const char* t : {"ZuBerNetto", "ZuBrutto"})
        db->Execute(std::string("CREATE TABLE ") + t +
                    " (LfNr INTEGER PRIMARY KEY, LfNrBeReList INTEGER, Bezeichnung TEXT, ZuAbPro CURRENCY, "
                    "ZuAbDM CURRENCY)");
    db->Execute(
        "CREATE TABLE ZuLP (LfNr INTEGER PRIMARY KEY, LfNrBeReList INTEGER, ZuordnungAnlGrp SMALLINT, "
        "Bezeichnung TEXT, ZuAb CURRENCY, LP SMALLINT)");
    db->Execute(
        "CREATE TABLE ZuNetto (LfNr INTEGER PRIMARY KEY, LfNrBeReList INTEGER, ZuordnungAnlGrp SMALLINT, "
        "Bezeichnung TEXT, ZuAbPro CURRENCY, ZuAbDM CURRENCY)");
    db->Execute("CREATE TABLE AnrechenbareKosten (LfNr INTEGER PRIMARY KEY, LfNrBeReList INTEGER, "
                "ZuordnungAnlGrp SMALLINT, Phase SMALLINT, Kostenstellennr TEXT, Bezeichnung TEXT, "
                "Eigenleistung CURRENCY, FremdLeistung CURRENCY)");

    db->Execute(
        withSiteSupervision
            ? "INSERT INTO BeReList VALUES ('Rechnung 1', 3, 'R', 0, '1999-05-01', 'R-1', 1000000, 160000, "
              "160000, 1160000, -1, 3, '15', 50000, 21000, 1000000, 1000000)"
            : "INSERT INTO BeReList VALUES ('Rechnung 1', 3, 'R', 0, '1999-05-01', 'R-1', 1000000, 160000, "
              "160000, 1160000, -1, 3, '15')");
    db->Execute(
        "INSERT INTO Grunddaten VALUES (10, 3, 1, 3, -1, 1000000, 1000000, 5000000, 6, 'Gebäude', '15', "
        "5, 'Grundlagenermittlung', 30000, 1, 1), (11, 3, 2, 2, -1, 200000, 200000, 0, 6, 'Gebäude', '15', "
        "5, 'Grundlagenermittlung', 30000, 1, 1)");
    db->Execute(
        "INSERT INTO Projektaufwand VALUES (1, '1', 'Pläne', 1000000, 10000, 1000000, 500000, 500000, 2, "
        "'1999-04-01')");
    db->Execute("INSERT INTO StdRePos VALUES (1, 3, 'Beratung', 1000000, 20000, 2000000)");
    db->Execute("INSERT INTO Zahlung VALUES (1, 3, 3, '1999-06-01', 'Abschlag', 1000000)");
    if (duplicatePayment)
        db->Execute("INSERT INTO Zahlung VALUES (1, 3, 3, '1999-07-01', 'doppelt', 500000)");
    db->Execute("INSERT INTO ZuNetto VALUES (1, 3, 1, 'Umbau', 200000, 1000000)");
    db->Execute("INSERT INTO AnrechenbareKosten VALUES (1, 3, 1, 1, '300', 'Bauwerk', 1000000, 0)");
}

} // namespace velu
