#pragma once
// The invoice chain and the net-fee recomputations on the current BeReList row of the register. Every
// operation either writes all of its fields or none and says why in German.
#include "core/Money.h"
#include "register/Rechnungskette.h"

#include <optional>
#include <string>
#include <string_view>

namespace velu {
namespace db {
class Database;
class Recordset;
} // namespace db

struct KettenStatus {
    std::string fehler; // German message for the user; empty when the operation succeeded
    bool Ok() const { return fehler.empty(); }
};

// Prefix of a run: "" for mode 0 (entry currency), "AlDisp" for any other mode (the twins).
std::string_view KettenPrefix(int mode);

// Percent fields: a CURRENCY column holds ten-thousandths, a column of another numeric type plain units.
Currency LeseProzent(const db::Recordset& rs, std::string_view feld);
void SetzeProzent(db::Recordset& rs, std::string_view feld, Currency wert);

KettenEingabe LeseKettenEingabe(const db::Recordset& rs, std::string_view prefix);

// Edits the current row, writes prefix & name of the thirteen outputs, updates.
KettenStatus WriteBerechnung(db::Recordset& rs, std::string_view prefix, const KettenErgebnis& r);

// Runs the chain on the current row in the currency of mode (0 plain, else "AlDisp"). reType is the
// register's type letter. A stored VAT rate of -100 or below is refused and nothing is written.
KettenStatus CalcRechnung(db::Recordset& rs, int mode, std::string_view reType);

// Both runs in one transaction: either both currencies get the new totals or the row keeps the old ones.
KettenStatus CalcRechnungBeide(db::Database& db, db::Recordset& rs, std::string_view reType);

// Takes a typed percent (MwstPro, SkontoPro, StdReNetZuAbPro, StdReBrZuAbPro) into the current row; a VAT
// rate of -100 or below is refused with a message and nothing is written.
KettenStatus PutProzent(db::Recordset& rs, std::string_view feld, Currency wert);

// Old rows stored the VAT amount without its rate: when MwstPro is Null and MwstDM is not 0, the rate is
// worked back from ZwSumm and written. satz gets the rate written, nullopt when nothing was repaired (also
// when ZwSumm is 0: the rate then stays empty).
KettenStatus RepariereMwstPro(db::Recordset& rs, std::optional<Currency>& satz);

// Sums the fee calculation's editors left behind (stored queries GetLeistungsbildPara, GETHonorarBerNetto,
// GetZuBerNetto, GetZuBrutto); Null counts as 0.
struct HonorarSummen {
    std::optional<std::string> zuPara; // section designation, may be Null
    Currency netto;
    Currency zuBerNettoPro, zuBerNettoDM;
    Currency zuBruttoPro, zuBruttoDM;
};

// Runs the four queries with BerListNr = lfnr; nullopt (and *fehler) when one is missing or fails.
std::optional<HonorarSummen> LeseHonorarSummen(db::Database& db, int64_t lfnr, std::string* fehler);
// Writes net fee, surcharge sums with their twins in the other currency and ZuPara into the current row.
KettenStatus SchreibeHonorarBerNetto(db::Recordset& rs, const HonorarSummen& s, WaehrungCode inputType);
KettenStatus CalcHonorarBerNetto(db::Database& db, db::Recordset& rs, int64_t lfnr, WaehrungCode inputType);

// Sum of an hourly-rate invoice's positions (stored query GetStdRePos); nullopt (and *fehler) on failure.
std::optional<Currency> LeseStdRePos(db::Database& db, int64_t lfnr, std::string* fehler);
// BerNetto = summe, AlDispBerNetto = its twin rounded to cents, ZuPara = "XXX".
KettenStatus SchreibeStdReNetto(db::Recordset& rs, Currency summe, WaehrungCode inputType);
KettenStatus CalcStdReNetto(db::Database& db, db::Recordset& rs, int64_t lfnr, WaehrungCode inputType);

} // namespace velu
