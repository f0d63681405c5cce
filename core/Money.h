#pragma once
// Conversion between DM and euro, rounding to cents, and keeping an amount and its twin in step.
#include "core/Currency.h"
#include "platform/db/Recordset.h"
#include "platform/db/Value.h"

namespace velu {

inline constexpr double DMEuroFaktor = 1.95583;

// Currency code: 0 = DM, anything else = euro.
using WaehrungCode = int16_t;
inline constexpr WaehrungCode DM = 0;
inline constexpr WaehrungCode EUR = 1;

// richtung 0: euro to DM (multiply), otherwise DM to euro (divide); four places, not rounded to cents.
Currency DMEuroUmrechnung(Currency betrag, int richtung);

// Adds one ten-thousandth, then rounds to cents with ties to even.
Currency RundCY(Currency x);

// An empty (Null) value gives the default; any other value comes back unchanged.
db::Value NullWert(const db::Value& value, const db::Value& defaultValue);

void ConvertWertePaar(Currency betrag, WaehrungCode betragWährung, WaehrungCode zielWährung, Currency& wert,
                      Currency& altWert);

// modus 1: typed into the main field; 2: typed into the twin. Returns false (and writes nothing) for any
// other modus.
bool WährungsWert(int modus, Currency betrag, WaehrungCode währung, Currency& wert, Currency& altWert);

// Percentage of an amount: a * b / 100 through double, back to four places, rounded to cents.
Currency ProzentVon(Currency betrag, Currency prozent);

// Currency columns hold integer ten-thousandths; a real value (from SQL arithmetic) is brought to four
// places.
Currency GetCY(const db::Recordset& rs, std::string_view field, Currency def = {});
inline void SetCY(db::Recordset& rs, std::string_view field, Currency c) {
    rs.Set(field, c.Raw());
}

} // namespace velu
