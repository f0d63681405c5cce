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
// after the take-over, or that it left out, are counted against the invoice that stands for it (nachtrag).
struct Forderung {
    int64_t lfnr = 0, ursprung = 0;
    std::string typ;
    int eingabe = 0; // entry currency, 0 DM
    bool abgeloest = false;
    Currency ende, endeAnders;
    Currency bezahlt; // in the entry currency, as stored
    // The payments each rounded to cents as they are printed, in DM [0] and in euro [1].
    Currency gedruckt[2];
    // Earlier payments of the group less the payments on account deducted, in the entry currency.
    Currency nachtrag;

    Currency Offen() const { return abgeloest ? Currency{} : ende - bezahlt - nachtrag; }
    // What it owes in currency waehrung (0 DM), rounded to cents. In the other currency the amount owed in
    // the entry currency is converted once, so that every report owes the same cent.
    Currency OffenIn(int waehrung) const;
    // What the printed final amount less the printed payments leaves beyond what it owes, in waehrung.
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
