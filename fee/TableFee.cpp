#include "fee/TableFee.h"

#include "core/Money.h"

namespace velu::fee {

void CalcTafelHonorar(const TafelLookup& lookup, Abschnitte<Currency>& summen, Abschnitte<int16_t>& status,
                      bool uebernahme, int32_t tafel, int16_t zone, const Abschnitte<Currency>& eigen,
                      const Abschnitte<Currency>& satz, bool dritterStop, MinMaxAbschnitte& anteil,
                      Abschnitte<Currency>& honorar, Abschnitte<Currency>& tafelMin, Abschnitte<Currency>& tafelMax) {
    Abschnitte<TafelErgebnis> paar{};
    for (int k = 1; k <= 3; ++k) {
        if (uebernahme && k > 1) {
            // An offer prices every section like the first.
            paar[k] = paar[1];
            tafelMin[k] = tafelMin[1];
            tafelMax[k] = tafelMax[1];
            honorar[k] = honorar[1];
            continue;
        }
        Currency kosten = summen[k];
        if (eigen[k] >= summen[k]) {
            kosten = eigen[k];
            summen[k] = eigen[k];
        }
        if (k == 3 && dritterStop) kosten = Currency{};
        if (kosten <= Currency{}) continue;
        lookup(kosten, tafel, zone, paar[k], status[k]);
        if (status[k] == TafelGefunden) {
            tafelMin[k] = paar[k][0];
            tafelMax[k] = paar[k][1];
            // The group's share in the proportion of its own costs to the lookup costs.
            const double a = eigen[k].ToDouble();
            const double K = kosten.ToDouble();
            paar[k][0] = RundCY(Currency::FromDouble(a * (paar[k][0].ToDouble() / K)));
            paar[k][1] = RundCY(Currency::FromDouble(a * (paar[k][1].ToDouble() / K)));
            honorar[k] = GetHonorarSatzUemin(paar[k], satz[k]);
        } else {
            paar[k][0] = Currency{};
            paar[k][1] = Currency{};
            honorar[k] = Currency{};
        }
    }
    for (int k = 1; k <= 3; ++k) {
        anteil[k][0] = paar[k][0];
        anteil[k][1] = paar[k][1];
    }
}

} // namespace velu::fee
