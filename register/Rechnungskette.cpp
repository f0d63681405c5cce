#include "register/Rechnungskette.h"

#include "core/Money.h"

#include <cmath>

namespace velu {

namespace {
const Currency MinMwstPro = Currency::FromUnits(-100);
}

bool IstStdReTyp(std::string_view reType) {
    return reType == "S" || reType == "B";
}

bool MwstProGueltig(Currency mwstPro) {
    return mwstPro > MinMwstPro;
}

Currency ProzentTeil(Currency pro, Currency betrag) {
    return RundCY(Currency::FromDouble(pro.ToDouble() * (betrag.ToDouble() / 100.0)));
}

BerNettoTeil CalcBerNetto(Currency netto, Currency pro, Currency betrag, Currency mwstPro) {
    BerNettoTeil t;
    t.proDM = ProzentTeil(pro, netto);
    t.zuAb = RundCY(t.proDM + betrag);
    t.zwSumm = RundCY(t.zuAb + netto);
    t.mwstDM = ProzentTeil(mwstPro, t.zwSumm);
    t.brutto = RundCY(t.mwstDM + t.zwSumm);
    return t;
}

KettenErgebnis CalcRechnung(const KettenEingabe& e, std::string_view reType) {
    KettenErgebnis r;
    const Currency summAz = -e.summAz; // payments on account enter negated

    BerNettoTeil netto;
    if (IstStdReTyp(reType)) {
        netto = CalcBerNetto(e.berNetto, e.stdReNetZuAbPro, e.stdReNetZuAbDM, e.mwstPro);
        r.stdReNetZuAbProDM = netto.proDM;
        r.stdReBrZuAbProDM = ProzentTeil(e.stdReBrZuAbPro, netto.brutto);
        r.zuAbBrutto = RundCY(e.stdReBrZuAbDM + r.stdReBrZuAbProDM);
    } else {
        netto = CalcBerNetto(e.berNetto, e.inZuSchBerNettoPro, e.inZuSchBerNettoDM, e.mwstPro);
        r.inZuSchBerNettoProDM = netto.proDM;
        r.inZuSchBruttoProDM = ProzentTeil(e.inZuSchBruttoPro, netto.brutto);
        r.zuAbBrutto = RundCY(e.inZuSchBruttoDM + r.inZuSchBruttoProDM);
    }
    r.zuAbBrNetto = netto.zuAb;
    r.zwSumm = netto.zwSumm;
    r.mwstDM = netto.mwstDM;
    r.brutto = netto.brutto;

    r.skontofaehig = summAz + r.brutto + r.zuAbBrutto;
    r.skontoDM = -ProzentTeil(e.skontoPro, r.skontofaehig);
    r.endbetrag = RundCY(r.skontofaehig + r.skontoDM);
    if (MwstProGueltig(e.mwstPro)) {
        const double teiler = e.mwstPro.ToDouble() / 100.0 + 1.0;
        r.mwstenthalten = RundCY(r.endbetrag - Currency::FromDouble(r.endbetrag.ToDouble() / teiler));
    }
    return r;
}

std::optional<Currency> MwstProAusBetrag(Currency mwstDM, Currency zwSumm) {
    const Currency basis = Currency::FromDouble(zwSumm.ToDouble() / 100.0);
    if (basis == Currency{}) return std::nullopt;
    const double satz = std::nearbyint(mwstDM.ToDouble() / basis.ToDouble());
    if (!std::isfinite(satz) || std::fabs(satz) > 1e9) return std::nullopt;
    const Currency pro = Currency::FromUnits(static_cast<int64_t>(satz));
    if (!MwstProGueltig(pro)) return std::nullopt;
    return pro;
}

} // namespace velu
