#pragma once
// Which amount columns of the cost grid a calculation shows, with their captions and unit, by currency mode
// and unit of the fee table's axis. Free of widgets so the table of rules can be tested on its own.
#include <array>
#include <cstdint>
#include <string>

namespace velu::fee {

// 2 x calculation currency + display currency + 1: 1 DM/DM, 2 DM shown as euro, 3 euro shown as DM, 4
// euro/euro.
int16_t WaehrungsModus(int16_t berechnung, int16_t anzeige);
// Modes 2 and 3 show the "AlDisp" twins.
inline bool ZeigtZwilling(int16_t modus) {
    return modus == 2 || modus == 3;
}

// Columns in the order Eigenleistung, FremdLeistung, AlDispEigenleistung, AlDispFremdLeistung. What a rule
// does not decide stays as passed in.
struct KostenSpalten {
    std::array<bool, 4> sichtbar{true, true, true, true};
    std::array<std::string, 4> titel{"Kosten", "Kosten § 10 Abs.4", "Kosten", "Kosten § 10 Abs.4"};
    std::string einheit;
};

// einheit: 1 money, 2 hectares, 3 billing units; fremdZaehlt: costs of others count (Integrationspl).
void ConfigGrid(int16_t modus, int16_t einheit, bool fremdZaehlt, KostenSpalten& spalten);

} // namespace velu::fee
