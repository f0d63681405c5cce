#pragma once
// Tables of the master database VELUDAT32.MDB.
//
// Names chosen here where the system reaches a table only through stored queries: TafelVerzeichnis (fee-table
// headers), PunkteVerzeichnis (points catalogues), KontenplanVerzeichnis (cost-account plans), DruckVorlagen
// (print templates, with the column Dokumentart 1 to 7 that the seven template queries select by) and
// Optionen (one row, key Nr = 1, holding the password switch MitPasswort). Users count as in use when Zugriff
// holds more than one user. Leistungsbilder carries LastUsed, the mark of the template used last.
// AufwandVerz, Mitarbeiter, Vorplanung and Offeneposten get a key LfNr as their last column, so grids that
// show the other columns in order are not disturbed.
#include "core/SchemaDef.h"

namespace velu {

class StammSchema {
public:
    static const schema::SchemaDef& Get();
};

} // namespace velu
