#pragma once
// The invoice chain of one calculation: net fee, surcharges, VAT, gross fee, payments on account, cash
// discount, final amount and the VAT contained. Pure arithmetic over one currency; the BeReList layer
// (BeReListKette.h) reads the inputs and writes the results.
#include "core/Currency.h"

#include <optional>
#include <string_view>

namespace velu {

// Results of CalcBerNetto.
struct BerNettoTeil {
    Currency proDM;  // percent part of the net surcharge
    Currency zuAb;   // total net surcharge
    Currency zwSumm; // subtotal on which VAT is charged
    Currency mwstDM;
    Currency brutto;
};

// Inputs of one run; Null fields are read as 0. Amounts are those of the run's currency (plain or twin),
// percents serve both runs.
struct KettenEingabe {
    Currency berNetto;
    Currency mwstPro;
    Currency skontoPro;
    Currency summAz; // as stored: positive payments
    Currency inZuSchBerNettoPro, inZuSchBerNettoDM;
    Currency inZuSchBruttoPro, inZuSchBruttoDM;
    Currency stdReNetZuAbPro, stdReNetZuAbDM;
    Currency stdReBrZuAbPro, stdReBrZuAbDM;
};

// The thirteen outputs, in the order WriteBerechnung stores them.
struct KettenErgebnis {
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
    Currency skontoDM; // negative for a positive amount eligible for discount
    Currency endbetrag;
    Currency mwstenthalten;

    bool operator==(const KettenErgebnis&) const = default;
};

// Hourly-rate invoices ("S") and site supervision ("B") carry entered surcharges; every other type letter
// (A, R, E, V, also an empty one) the surcharge totals of the fee engine.
bool IstStdReTyp(std::string_view reType);

// A VAT rate of -100 % or below would make the gross fee zero or negative and the VAT contained undefined.
bool MwstProGueltig(Currency mwstPro);

// money(pro * (betrag / 100)) brought to cents.
Currency ProzentTeil(Currency pro, Currency betrag);

BerNettoTeil CalcBerNetto(Currency netto, Currency pro, Currency betrag, Currency mwstPro);

// Throws CurrencyOverflow when an amount leaves the range. With an invalid VAT rate the VAT contained is 0
// (the layer above refuses such a rate before it gets here).
KettenErgebnis CalcRechnung(const KettenEingabe& e, std::string_view reType);

// Rate of an old row that stored only the VAT amount, worked back from the subtotal the VAT was charged on:
// the whole number nearest to mwstDM / (zwSumm / 100). nullopt when the subtotal is 0 or the result is not a
// valid rate.
std::optional<Currency> MwstProAusBetrag(Currency mwstDM, Currency zwSumm);

} // namespace velu
