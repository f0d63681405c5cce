#include "core/Money.h"

namespace velu {

Currency DMEuroUmrechnung(Currency betrag, int richtung) {
    double v = betrag.ToDouble();
    return Currency::FromDouble(richtung == 0 ? v * DMEuroFaktor : v / DMEuroFaktor);
}

Currency RundCY(Currency x) {
    int64_t y = (x + Currency::FromRaw(1)).Raw();
    // Floor division by 100 so the remainder is always 0..99, whatever the sign.
    int64_t q = y / 100;
    int64_t r = y % 100;
    if (r < 0) {
        r += 100;
        --q;
    }
    if (r > 50 || (r == 50 && (q & 1) != 0)) ++q;
    return Currency::FromRaw(0) + Currency::FromRaw(q) * 100;
}

db::Value NullWert(const db::Value& value, const db::Value& defaultValue) {
    return db::IsNull(value) ? defaultValue : value;
}

void ConvertWertePaar(Currency betrag, WaehrungCode betragWährung, WaehrungCode zielWährung, Currency& wert,
                      Currency& altWert) {
    const bool fromDM = betragWährung == 0;
    const bool toDM = zielWährung == 0;
    if (fromDM == toDM)
        wert = RundCY(betrag);
    else if (toDM)
        wert = RundCY(DMEuroUmrechnung(betrag, 0));
    else
        wert = RundCY(DMEuroUmrechnung(betrag, 1));
    altWert = DMEuroUmrechnung(wert, toDM ? 1 : 0);
}

bool WährungsWert(int modus, Currency betrag, WaehrungCode währung, Currency& wert, Currency& altWert) {
    const int d = währung == 0 ? 1 : 0;
    switch (modus) {
    case 1:
        wert = betrag;
        altWert = DMEuroUmrechnung(betrag, d);
        return true;
    case 2:
        wert = RundCY(DMEuroUmrechnung(betrag, d));
        altWert = DMEuroUmrechnung(wert, 1 - d);
        return true;
    default:
        return false;
    }
}

Currency ProzentVon(Currency betrag, Currency prozent) {
    return RundCY(Currency::FromDouble(betrag.ToDouble() * prozent.ToDouble() / 100.0));
}

} // namespace velu
