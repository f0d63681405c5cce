#pragma once
// The four lists of surcharges and discounts of a calculation and their totals: on the net fee per plant
// group (ZuNetto), on the adjusted net fee (ZuBerNetto) and on the gross amount (ZuBrutto) per calculation,
// and per service phase and plant group (ZuLP). A discount is a row with a negative value; every total is a
// plain sum. The dialog Zuschlaege edits the rows; the basic data and the register read the totals.
#include "core/Currency.h"
#include "core/Money.h"
#include "platform/db/Recordset.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace velu::db {
class Database;
}

namespace velu::fee {

// Tab index of the dialog = list.
enum ZuschlagListe : int16_t { ListeNetto = 0, ListeBerNetto = 1, ListeBrutto = 2, ListeLP = 3 };

struct ZuschlagTabelle {
    const char* tabelle;
    const char* reiter; // caption of the dialog's tab
    bool jeGruppe;      // rows belong to a plant group as well
};
// nullptr outside 0 to 3.
const ZuschlagTabelle* Tabelle(int liste);

// 1 DM shown as DM, 2 DM shown as euro, 3 euro shown as DM, 4 euro shown as euro.
int16_t ZuschlagModus(WaehrungCode berechnung, WaehrungCode anzeige);
// Modes 1 and 4 show the main amount ZuAbDM, modes 2 and 3 its twin AlDispZuAbDM.
inline bool ZeigtHauptbetrag(int16_t modus) {
    return modus == 1 || modus == 4;
}

// The rows of a list for the calculation (and plant group where the list has one), editable, by key.
db::Recordset ZuschlagZeilen(db::Database& projekt, int liste, int32_t berListNr, int16_t gruppe);

// An amount typed in the display currency: into the main field (zwilling false; kept as typed, twin not
// rounded) or into the twin (main field converted and rounded to cents, twin the rounded main converted
// back).
struct ZuschlagBetrag {
    Currency zuAbDM;
    Currency alDispZuAbDM;
};
ZuschlagBetrag BetragEingegeben(bool zwilling, Currency betrag, WaehrungCode anzeige);

// Service phase of a ZuLP row: no value or 0 is stored as phase 1; anything else outside 1 to 9 is refused
// with the message returned.
std::optional<std::string> LPPruefen(const db::Value& lp);
int64_t LPSpeicherwert(const db::Value& lp);
inline const char* const LPMeldung = "Die Leistungsphase muss zwischen 1 und 9 liegen";

struct ZuschlagSumme {
    Currency prozent;
    Currency betrag;       // in the calculation currency
    Currency alDispBetrag; // its twin
};
// SummZuSchBerNetto: the surcharges on the net fee of a plant group.
ZuschlagSumme SummZuNetto(db::Database& projekt, int32_t berListNr, int16_t gruppe);
// GetZuBerNetto and GetZuBrutto: the register's totals of a calculation.
ZuschlagSumme SummZuBerNetto(db::Database& projekt, int32_t berListNr);
ZuschlagSumme SummZuBrutto(db::Database& projekt, int32_t berListNr);
// SummZuLP: the surcharge percent of phases 1 to 9 (index 0 to 8), 0 for a phase without rows. Rows of a
// phase outside 1 to 9 (older data) are left out.
std::array<Currency, 9> SummZuLP(db::Database& projekt, int32_t berListNr, int16_t gruppe);

} // namespace velu::fee
