#pragma once
// Row arithmetic of the hourly-rate positions and of the expense records, free of widgets: a quantity, one
// rate pair (the rate in the entry currency and its twin in the other) and the resulting amount pair. The
// expense records carry two such pairs (external and internal rate); each is computed alone.
//
// Currency mode = 2 × entry + display + 1: 1 DM/DM, 2 entered in DM shown in euro, 3 entered in euro shown
// in DM, 4 euro/euro. In modes 1 and 4 the user types and sees the plain rate, in 2 and 3 its twin.
#include "core/Currency.h"
#include "core/Money.h"

#include <optional>
#include <string_view>

namespace velu::expenses {

int Waehrungsmodus(int eingabe, int anzeige);
// Modes 1 and 4 show the plain columns (Satz, Summ), modes 2 and 3 the twins.
bool ZeigtHauptspalten(int modus);
// The currency of the amounts shown: DM in modes 1 and 3, euro in 2 and 4.
WaehrungCode AnzeigeWaehrung(int modus);
// Sign of the money format "###,##0.00 " + sign: "DM" or "€".
std::string_view Waehrungszeichen(int modus);

// The field names of one rate pair in a row.
struct Satzfelder {
    std::string_view satz, alDispSatz, summ, alDispSumm;
};
inline constexpr Satzfelder ExterneSaetze{"Satz", "AlDispSatz", "Summ", "AlDispSumm"};
inline constexpr Satzfelder InterneSaetze{"interSatz", "AlDispinterSatz", "interSumm", "AlDispinterSumm"};

struct Satzpaar {
    Currency satz, alDispSatz, summ, alDispSumm;
    bool operator==(const Satzpaar&) const = default;
};

// Column argument of calcSumme that means: only the quantity changed, the rates stay as they are.
inline constexpr int NurMenge = 2;

// Recomputes a row after an edit. Unless spalte is NurMenge the typed (visible) rate is taken and its partner
// worked out from it (in modes 2 and 3 the typed twin stays as typed and the entry-currency rate is its
// conversion to four places); then Summ = RundCY(menge × Satz), and its twin the plain conversion in modes 1
// and 4, RundCY(menge × twin rate) in modes 2 and 3, where the twin is what the user sees.
// nullopt when an amount leaves the money range: the row must keep its old values.
std::optional<Satzpaar> calcSumme(int modus, int spalte, Currency menge, const Satzpaar& alt);

// A rate offered in both currencies (an employee's or a catalogue row's, dm and euro): the one of the entry
// currency taken as it stands, its twin converted, then both sums.
std::optional<Satzpaar> SatzUebernehmen(int modus, Currency menge, Satzpaar alt, Currency dm, Currency euro);

// An employee's rate is taken only while the row has none (an empty rate counts as 0); a catalogue row's
// always.
inline bool MitarbeiterSatzGilt(Currency satzDerZeile) {
    return satzDerZeile == Currency{};
}

// A row whose date is empty gets today's date when any column but the date itself is edited.
bool HeuteEintragen(bool datumLeer, std::string_view bearbeitetesFeld);

} // namespace velu::expenses
