#pragma once
// Payments received on a calculation (table Zahlung), kept in the calculation's entry currency (Zahlung) and
// in the other one (AlDispZahlung). No widgets.
#include "core/Currency.h"
#include "platform/db/Database.h"

#include <cstdint>

namespace velu::reg {

// The payments of the earlier calculations (smaller LfNr) of group ursprung, summed in the entry currency
// inputType of calculation lfnr and rounded to cents: each payment counts with the amount that is in that
// currency, its main amount when its own calculation was entered in the same currency, else its twin.
// andere is the sum converted into the other currency (not rounded). Without payments both are 0.
void GetVorZahlungen(db::Database& db, int64_t lfnr, int64_t ursprung, int inputType, Currency& andere,
                     Currency& summe);

} // namespace velu::reg
