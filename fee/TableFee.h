#pragma once
// Table fee of the three cost sections of one plant group, in the fee table's unit (axis unit, fees in DM).
#include "fee/FeeArithmetic.h"

#include <array>
#include <cstdint>
#include <functional>

namespace velu::db {
class Database;
}

namespace velu::fee {

using MinMaxAbschnitte = std::array<std::array<Currency, 2>, 4>;

// The fee-table lookup as CalcTafelHonorar sees it (GetTafelWerte on the master database in the program).
using TafelLookup = std::function<void(Currency kosten, int32_t tafel, int16_t zone, TafelErgebnis& ergebnis,
                                       int16_t& status)>;

// summen: in the costs of all plant groups per section, out the lookup costs; eigen: the group's own costs.
// Outputs of a section that is not computed keep their values.
void CalcTafelHonorar(const TafelLookup& lookup, Abschnitte<Currency>& summen, Abschnitte<int16_t>& status,
                      bool uebernahme, int32_t tafel, int16_t zone, const Abschnitte<Currency>& eigen,
                      const Abschnitte<Currency>& satz, bool dritterStop, MinMaxAbschnitte& anteil,
                      Abschnitte<Currency>& honorar, Abschnitte<Currency>& tafelMin, Abschnitte<Currency>& tafelMax);

void CalcTafelHonorar(db::Database& stammDB, Abschnitte<Currency>& summen, Abschnitte<int16_t>& status,
                      bool uebernahme, int32_t tafel, int16_t zone, const Abschnitte<Currency>& eigen,
                      const Abschnitte<Currency>& satz, bool dritterStop, MinMaxAbschnitte& anteil,
                      Abschnitte<Currency>& honorar, Abschnitte<Currency>& tafelMin, Abschnitte<Currency>& tafelMax);

} // namespace velu::fee
