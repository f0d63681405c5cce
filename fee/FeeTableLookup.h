#pragma once
// Lookup of a zone's minimum and maximum fee in one fee table of the master database.
#include "fee/FeeArithmetic.h"

#include <cstdint>
#include <vector>

namespace velu::db {
class Database;
class Recordset;
} // namespace velu::db

namespace velu::fee {

// Reads AKosten and the zone's pair S(2z-1)/S(2z) of the current row; a zone outside 1 to 5 leaves werte(1)
// and werte(2) as they were.
void ReadTafelZeile(int16_t zone, const db::Recordset& zeile, TafelZeile& werte);

// The rows of one fee table as the lookup needs them: axis value and S1 to S10, empty fees read as 0.
struct TafelDaten {
    struct Zeile {
        Currency akosten;
        Currency s[11]; // S1 to S10 at 1 to 10
    };
    std::vector<Zeile> zeilen;
};
// Reads table TafelLfnr through the stored query "GetTafel" in the query's order.
TafelDaten LoadTafel(db::Database& stammDB, int32_t TafelLfnr);
// The search of GetTafelWerte on rows already read.
void SucheTafelWerte(const TafelDaten& tafel, Currency kosten, int16_t zone, TafelErgebnis& ergebnis,
                     int16_t& status);

// Interpolated minimum and maximum at kosten in table TafelLfnr (stored query "GetTafel"). status is written
// only on failure: 1 no rows, 2 below the first row, 3 above the last; ergebnis is then all zero.
void GetTafelWerte(db::Database& stammDB, Currency kosten, int32_t TafelLfnr, int16_t zone,
                   TafelErgebnis& ergebnis, int16_t& status);

} // namespace velu::fee
