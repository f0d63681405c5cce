#pragma once
// The arithmetic of the fee computation, free of any database: every rounding step in the order the fee
// regulation's worked examples need it.
#include "core/Currency.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace velu::fee {

// Indexed by cost section 1 to 3; index 0 is unused.
template <typename T> using Abschnitte = std::array<T, 4>;

// Result codes of the check of the basic data.
inline constexpr int16_t PruefungOk = 0;
inline constexpr int16_t FehltLeistungsbild = 1;
inline constexpr int16_t ZoneZuGross = 2;
inline constexpr int16_t ZoneNichtPositiv = 4;
inline constexpr int16_t SatzNegativ = 8;
inline constexpr int16_t SatzUeber100 = 16;
// A cost section whose eligible costs sum to less than 0: nothing is recomputed until it is corrected.
inline constexpr int16_t KostenNegativ = 64;
inline constexpr int16_t KostenAusserhalbTafel = -1;
inline constexpr int16_t KeineTafel = -2;


// Product of two amounts as an amount: exact, brought to four places with ties to even.
Currency MulCY(Currency a, Currency b);

// a x b / 100: the four-place product, through double divided by 100, back to four places, rounded to cents.
Currency ProzentCY(Currency a, Currency b);

// Row triple of a fee table: (0) axis value, (1) minimum, (2) maximum of one zone.
using TafelZeile = std::array<Currency, 3>;
// Result pair (0) minimum, (1) maximum; index 2 stays 0.
using TafelErgebnis = std::array<Currency, 3>;

// Lookup status of a cost section.
inline constexpr int16_t TafelGefunden = 0;
inline constexpr int16_t TafelOhneZeilen = 1;
inline constexpr int16_t TafelUnterhalb = 2;
inline constexpr int16_t TafelOberhalb = 3;

void InterpolTafel(Currency kosten, const TafelZeile& oben, const TafelZeile& unten, TafelErgebnis& ergebnis);

// Fee at a rate above minimum between minMax(0) and minMax(1).
Currency GetHonorarSatzUemin(const TafelErgebnis& minMax, Currency satz);

// Eligible costs of one cost section from its own costs and the costs of others.
struct AnreKosten {
    Currency eigen;  // A
    Currency fremd;  // F as counted
    Currency summe;  // S
    int16_t modus = 0; // 0 no costs of others, 1 counted in full, 2 quarter in full and excess at one half
};
AnreKosten BerechneAnreKosten(Currency eigen, Currency fremd, bool fremdZaehlt);

// One service phase from its section's base fee.
struct PhasenWerte {
    Currency grundL;        // G: base fee x share
    Currency vollZuschlag;  // V: G x surcharge
    Currency teilleistung;  // T: G x partial service
    Currency zuschlag;      // Z: V x partial service
    Currency total;         // T + Z
};
PhasenWerte BerechnePhase(Currency basis, Currency anteil, Currency zuschlagPro, Currency teilleistPro);

// Surcharge on the net fee from its percentage and the calculated net fee.
struct BerNettoWerte {
    Currency zuschlagAusProzent; // P
    Currency berNetto;           // C
};
BerNettoWerte BerechneBerNetto(Currency netto, Currency prozent, Currency betrag);

// Code of a zone and three rates, checked in the order zone above the table's zones, zone not positive, each
// rate below 0 or above 100; a later failing check replaces an earlier code.
int16_t PruefeZoneUndSaetze(double zone, int64_t maxZone, const Abschnitte<Currency>& satz);

// The leading number of a text as the zone field is read ("3 " is 3, "2.5" is 2, "abc" has none); nullopt
// when the text does not start with a number.
std::optional<double> LeadingNumber(std::string_view text);

} // namespace velu::fee
