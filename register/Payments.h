#pragma once
// Payments received on a calculation (table Zahlung), kept in the calculation's entry currency (Zahlung) and
// in the other one (AlDispZahlung). No widgets.
#include "core/Currency.h"
#include "platform/db/Database.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velu::reg {

// The payments of the earlier calculations (smaller LfNr) of group ursprung, summed in the entry currency
// inputType of calculation lfnr and rounded to cents: each payment counts with the amount that is in that
// currency, its main amount when its own calculation was entered in the same currency, else its twin.
// andere is the sum converted into the other currency (not rounded). Without payments both are 0.
void GetVorZahlungen(db::Database& db, int64_t lfnr, int64_t ursprung, int inputType, Currency& andere,
                     Currency& summe);

// What an invoice of the project still asks for. An invoice whose payments on account are not 0 took the
// payments of the earlier invoices of its group over ("…"): its final amount already holds what those left
// open, so it stands for all of them and they owe nothing of their own. Payments an earlier invoice received
// after the take-over, or that it left out, are counted against the invoice that stands for it (Nachtrag).
struct Forderung {
    int64_t lfnr = 0, ursprung = 0;
    std::string typ;
    int eingabe = 0; // entry currency, 0 DM
    bool abgeloest = false;
    Currency ende, endeAnders;
    Currency bezahlt, bezahltAnders;
    // Earlier payments of the group less the payments on account deducted; converted for the other currency.
    Currency nachtrag, nachtragAnders;

    Currency Offen() const { return abgeloest ? Currency{} : ende - bezahlt - nachtrag; }
    Currency OffenAnders() const {
        return abgeloest ? Currency{} : endeAnders - bezahltAnders - nachtragAnders;
    }
    // In currency waehrung (0 DM), as amounts are printed: each rounded to cents.
    Currency Nachtrag(int waehrung) const;
};

// Every invoice that asks for payment (types R, S, B) in the order of LfNr.
std::vector<Forderung> Forderungen(db::Database& db);

// The payments of the earlier calculations (smaller LfNr) of group ursprung, per calculation in LfNr order,
// summed in currency waehrung (0 DM) and rounded to cents, with the VAT rate of the calculation they paid
// (mwstPro for a payment whose calculation is gone; such a payment counts as entered in currency eingabe).
struct Vorzahlung {
    int64_t lfnr = 0;
    Currency mwstPro, betrag;
};
std::vector<Vorzahlung> Vorzahlungen(db::Database& db, int64_t lfnr, int64_t ursprung, int eingabe,
                                     int waehrung, Currency mwstPro);

} // namespace velu::reg
