#pragma once
// The data side of the calculation register: the overview recordset on "Rechnungsübersicht", the current
// calculation and its currencies, the invoice chain stored into its BeReList row, the recomputation of its
// net fee after an editor ran, and the single-field writes of the register window. No widgets.
//
// Every write goes to the current calculation by its key. Database failures throw db::DbError; the window
// shows them.
#include "core/Currency.h"
#include "platform/db/Database.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"
#include "register/BerechnungEditor.h"
#include "register/InvoiceChain.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velu::reg {

// One row of the register tree, in the query's order.
struct TreeRow {
    int64_t ursprung = 0;
    std::string reBezeichnung;
    std::string gruppenbezeichnung;
    int64_t lfNr = 0;
};

inline constexpr int MaxBezeichnungLaenge = 30;
// A label cut to its first 30 characters (characters, not bytes).
std::string KuerzeBezeichnung(std::string_view text);

// Type letter of option index 0..5 and back ("A" offer ... "B" site supervision); -1 / empty when unknown.
char TypBuchstabe(int optionIndex);
int TypOption(std::string_view reType);

class CalculationRegister {
public:
    explicit CalculationRegister(db::Database& projektDB);

    db::Database& Datenbank() { return db_; }

    // (Re)opens the overview recordset; no calculation is current afterwards.
    void Open();
    // The rows of the tree, read afresh from the query.
    std::vector<TreeRow> TreeRows();
    int RecordCount() const;

    // Makes the calculation current and takes over its currencies and type. When it is not found nothing is
    // current and false comes back.
    bool FindBerechnung(int64_t lfnr);
    bool HasCurrent() const { return current_.has_value(); }
    int64_t CurrentLfNr() const { return current_.value_or(0); }
    // Read access to the current row (DbError when none is current).
    const db::Recordset& Row();

    int InputType() const { return inputType_; }
    int DisplayType() const { return displayType_; }
    const std::string& ReType() const { return reType_; }
    bool Modif();

    // The invoice chain: mode 0 on the plain amounts, any other on the "AlDisp" twins.
    void CalcRechnung(int mode);
    RechnungsEingaben ReadEingaben(const std::string& prefix);
    void WriteBerechnung(const std::string& prefix, const RechnungsErgebnis& r);

    // Net fee, surcharges and section designation from the fee engine's rows; net fee of an hourly-rate
    // invoice from its positions.
    void CalcHonorarBerNetto(int64_t lfnr);
    void CalcStdReNetto(int64_t lfnr);

    // Opens the current calculation in the editor of its type, then marks it modified, reruns the chain in
    // both currencies and makes it current again. nummerText and knotenText complete the editor's caption.
    // Returns what the editor reported; NichtVerfuegbar changes nothing. A type without an editor is still
    // marked modified and totalled.
    EditorErgebnis EDITRe(BerechnungEditor& editor, const std::string& nummerText,
                          const std::string& knotenText);

    // A typed field of the details tab taken over: schreiben stores it, then the chain runs in both
    // currencies, all in one transaction. On failure the row stays as stored (and is read again) and the
    // error passes on.
    void Uebernehmen(const std::function<void()>& schreiben);

    // Single writes of the register window on the current row.
    void PutWährungsDaten(Currency wert, Currency altWert, std::string_view spalte,
                          std::string_view altSpalte);
    void PutProzent(std::string_view spalte, Currency prozent);
    void PutText(std::string_view spalte, const std::string& text);
    void PutDatum(const std::string& iso); // Redatum, "YYYY-MM-DD"
    void SetReType(char typ);
    void SetDisplayType(int displayType);
    void SetModif(bool modif);
    // Gives every calculation of group ursprung the new name (already cut to 30), keeping the current row.
    void Updategruppe(int64_t ursprung, const std::string& name);

    // Amount and percent of a field of the current row; Null counts as 0.
    Currency Betrag(std::string_view feld);
    Currency Prozent(std::string_view feld);

    // An old row without MwstPro but with VAT: the whole rate nearest to VAT / (subtotal / 100), stored and
    // returned. Nothing when there is nothing to repair or the subtotal is 0.
    std::optional<Currency> RepairMwstPro();

private:
    db::Recordset& row();
    // Uebernehmen for calculation lfnr, which is current again afterwards, also after a failure.
    void uebernehmen(int64_t lfnr, const std::function<void()>& schreiben);
    db::Recordset RunQuery(std::string_view name, int64_t berListNr);

    db::Database& db_;
    db::Recordset overview_;
    bool open_ = false;
    std::optional<int64_t> current_;
    int inputType_ = 0;
    int displayType_ = 0;
    std::string reType_;
};

// Percentages may be stored as CURRENCY (ten-thousandths) or as reals; column types decide, and values of
// expressions follow their storage class (integer: ten-thousandths, real: percent points).
Currency ReadProzent(const db::Recordset& rs, std::string_view feld);
Currency ReadBetrag(const db::Recordset& rs, std::string_view feld);

} // namespace velu::reg
