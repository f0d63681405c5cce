#pragma once
// Lookup of a zone's minimum and maximum fee in one fee table of the master database.
#include "fee/FeeArithmetic.h"

#include <cstdint>

namespace velu::db {
class Database;
class Recordset;
} // namespace velu::db

namespace velu::fee {

// Reads AKosten and the zone's pair S(2z-1)/S(2z) of the current row; a zone outside 1 to 5 leaves werte(1)
// and werte(2) as they were.
void ReadTafelZeile(int16_t zone, const db::Recordset& zeile, TafelZeile& werte);

// Interpolated minimum and maximum at kosten in table TafelLfnr (stored query "GetTafel"). status is written
// only on failure: 1 no rows, 2 below the first row, 3 above the last; ergebnis is then all zero.
void GetTafelWerte(db::Database& stammDB, Currency kosten, int32_t TafelLfnr, int16_t zone,
                   TafelErgebnis& ergebnis, int16_t& status);

} // namespace velu::fee
