#include "fee/KostenSpalten.h"

namespace velu::fee {

int16_t WaehrungsModus(int16_t berechnung, int16_t anzeige) {
    return static_cast<int16_t>(2 * berechnung + anzeige + 1);
}

void ConfigGrid(int16_t modus, int16_t einheit, bool fremdZaehlt, KostenSpalten& s) {
    auto& v = s.sichtbar;
    if (einheit == 1) {
        if (modus == 1 || modus == 4)
            v = {true, true, false, false};
        else if (modus == 2 || modus == 3)
            v = {false, false, true, true};
        if (!fremdZaehlt) v[1] = v[3] = false;
    } else if (einheit == 2 || einheit == 3) {
        v = {true, false, false, false};
    }

    s.titel[1] = s.titel[2] = s.titel[3] = "";
    if (einheit == 1) {
        s.titel[0] = "Kosten";
        s.titel[1] = "Kosten §10 Abs.4";
        s.titel[2] = s.titel[0];
        s.titel[3] = s.titel[1];
    } else if (einheit == 2) {
        s.titel[0] = "Fläche ha";
    } else if (einheit == 3) {
        s.titel[0] = "Verr. Einheiten VE";
    }

    if (einheit == 1) {
        if (modus == 1 || modus == 3)
            s.einheit = "DM";
        else if (modus == 2 || modus == 4)
            s.einheit = "€";
    } else if (einheit == 2) {
        s.einheit = "ha";
    } else if (einheit == 3) {
        s.einheit = "";
    }
}

} // namespace velu::fee
