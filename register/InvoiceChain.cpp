#include "register/InvoiceChain.h"

#include "core/Money.h"

namespace velu::reg {

namespace {

// A percentage of an amount, computed as pro × (amount / 100) in double precision and brought back to four
// places; rounding to cents is the caller's step.
Currency ProzentAnteil(Currency pro, Currency betrag) {
    return Currency::FromDouble(pro.ToDouble() * (betrag.ToDouble() / 100.0));
}

} // namespace

bool MwstProZulaessig(Currency mwstPro) {
    return mwstPro > Currency::FromUnits(MwstProUntergrenze);
}

bool SkontoProZulaessig(Currency skontoPro) {
    return skontoPro >= Currency{} && skontoPro <= Currency::FromUnits(100);
}

void CalcBerNetto(Currency netto, Currency pro, Currency betrag, Currency mwstPro, Currency& proDM,
                  Currency& zuAb, Currency& zwSumm, Currency& mwstDM, Currency& brutto) {
    proDM = RundCY(ProzentAnteil(pro, netto));
    zuAb = RundCY(proDM + betrag);
    zwSumm = RundCY(zuAb + netto);
    mwstDM = RundCY(ProzentAnteil(mwstPro, zwSumm));
    brutto = RundCY(mwstDM + zwSumm);
}

bool NutztStdReZuschlaege(char reType) {
    return reType == 'S' || reType == 'B';
}

RechnungsErgebnis BerechneRechnung(const RechnungsEingaben& e, bool stdReZuschlaege) {
    RechnungsErgebnis r;
    const Currency summAz = -e.summAz; // payments on account enter negated
    if (!stdReZuschlaege) {
        CalcBerNetto(e.berNetto, e.inZuSchBerNettoPro, e.inZuSchBerNettoDM, e.mwstPro, r.inZuSchBerNettoProDM,
                     r.zuAbBrNetto, r.zwSumm, r.mwstDM, r.brutto);
        r.inZuSchBruttoProDM = RundCY(ProzentAnteil(e.inZuSchBruttoPro, r.brutto));
        r.zuAbBrutto = RundCY(e.inZuSchBruttoDM + r.inZuSchBruttoProDM);
    } else {
        CalcBerNetto(e.berNetto, e.stdReNetZuAbPro, e.stdReNetZuAbDM, e.mwstPro, r.stdReNetZuAbProDM,
                     r.zuAbBrNetto, r.zwSumm, r.mwstDM, r.brutto);
        r.stdReBrZuAbProDM = RundCY(ProzentAnteil(e.stdReBrZuAbPro, r.brutto));
        r.zuAbBrutto = RundCY(e.stdReBrZuAbDM + r.stdReBrZuAbProDM);
    }
    r.skontofaehig = summAz + r.brutto + r.zuAbBrutto;
    r.skontoDM = -RundCY(ProzentAnteil(e.skontoPro, r.skontofaehig));
    r.endbetrag = RundCY(r.skontofaehig + r.skontoDM);
    // A rate of -100 % or below has no meaningful net share; such rates are refused on input, and a stored
    // one must not divide by zero here.
    if (MwstProZulaessig(e.mwstPro)) r.mwstenthalten = EnthalteneMwst(r.endbetrag, e.mwstPro);
    return r;
}

Currency EnthalteneMwst(Currency betrag, Currency mwstPro) {
    if (!MwstProZulaessig(mwstPro)) return Currency{};
    const double teiler = mwstPro.ToDouble() / 100.0 + 1.0;
    return RundCY(betrag - Currency::FromDouble(betrag.ToDouble() / teiler));
}

} // namespace velu::reg
