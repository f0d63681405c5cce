#pragma once
// The invoice chain of one calculation: surcharges on the net fee, subtotal, VAT, gross fee, surcharges on
// the gross fee, payments on account, cash discount, final amount and the VAT contained in it. Pure
// arithmetic on one currency's amounts; the register runs it once per currency (plain fields and their
// "AlDisp" twins).
#include "core/Currency.h"

namespace velu::reg {

// The net part of the chain. Percentages are amounts of percent points (16 % = 16.0000).
void CalcBerNetto(Currency netto, Currency pro, Currency betrag, Currency mwstPro, Currency& proDM,
                  Currency& zuAb, Currency& zwSumm, Currency& mwstDM, Currency& brutto);

// Inputs of one run; an empty (Null) field counts as 0. Percentages serve both runs, amounts are those of
// the run's currency.
struct RechnungsEingaben {
    Currency berNetto;
    Currency mwstPro;
    Currency skontoPro;
    Currency summAz; // sum of payments on account as stored (positive)
    Currency inZuSchBerNettoPro, inZuSchBerNettoDM;
    Currency inZuSchBruttoPro, inZuSchBruttoDM;
    Currency stdReNetZuAbPro, stdReNetZuAbDM;
    Currency stdReBrZuAbPro, stdReBrZuAbDM;
};

// The thirteen outputs, in the order they are written.
struct RechnungsErgebnis {
    Currency stdReNetZuAbProDM;
    Currency stdReBrZuAbProDM;
    Currency inZuSchBerNettoProDM;
    Currency zuAbBrNetto;
    Currency zwSumm;
    Currency mwstDM;
    Currency brutto;
    Currency inZuSchBruttoProDM;
    Currency zuAbBrutto;
    Currency skontofaehig;
    Currency skontoDM;
    Currency endbetrag;
    Currency mwstenthalten;
};

// Hourly-rate invoices ("S") and site supervision ("B") take their surcharges from the StdRe fields, every
// other type from the fee engine's InZuSch fields.
bool NutztStdReZuschlaege(char reType);

RechnungsErgebnis BerechneRechnung(const RechnungsEingaben& e, bool stdReZuschlaege);

// Lowest VAT rate the chain accepts is above this: at -100 % the VAT contained would divide by zero.
inline constexpr int64_t MwstProUntergrenze = -100;
bool MwstProZulaessig(Currency mwstPro);
// The VAT an amount holds at that rate, worked back from it and rounded to cents; 0 for a rate not allowed.
Currency EnthalteneMwst(Currency betrag, Currency mwstPro);
// A cash discount lowers the amount due: 0 to 100 %.
bool SkontoProZulaessig(Currency skontoPro);

} // namespace velu::reg
