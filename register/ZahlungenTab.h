#pragma once
// The "Zahlungen" tab of the register: the grid of the payments received on the current calculation (table
// Zahlung), in the calculation's entry currency or its twin as the display currency asks, and the date
// picker of its date column.
//
// The grid is bound to exactly one calculation, whose number and group it writes into every row it stores;
// it is bound again for every calculation the register makes current and unbound where there is none, so it
// never shows or edits another calculation's payments.
#ifndef Q_MOC_RUN
#include "core/Currency.h"
#endif

#include <QWidget>

#include <cstdint>
#include <memory>

class QLabel;

namespace velu {
class DatePicSSDB;
namespace db {
class Database;
}
namespace forms {
class BoundGridModel;
class BoundGridView;
} // namespace forms
} // namespace velu

namespace velu::reg {

class ZahlungenTab : public QWidget {
    Q_OBJECT
public:
    // Grid columns by index.
    enum Spalte { Bemerkung, Datum, Betrag, AlDispBetrag, LfNrBeReList, Ursprung };

    explicit ZahlungenTab(QWidget* parent = nullptr);
    ~ZahlungenTab() override;

    // Binds the grid to calculation lfnr of group ursprung; what was typed for the previous one is written
    // to that one first. A database failure leaves the grid unbound and throws.
    void Connect(db::Database& db, int64_t lfnr, int64_t ursprung, int inputType, int displayType);
    // No rows, no input.
    void Disconnect();
    bool Bound() const { return lfnr_ != 0; }
    int64_t LfNr() const { return lfnr_; }

    // Shows the amount column of the display currency (currency mode 2 * entry + display + 1).
    void SchaltZahhlungen(int displayType);
    // Caption and colours of the entry currency.
    void ZeigeWaehrung(int inputType);

    // Writes the pending row; nothing while the date picker is open. False when the row was refused.
    bool Commit();
    // The date button of the date column: opens the picker under the current date cell.
    void DatumKnopf();
    bool PickerOffen() const { return pickerOffen_; }

    forms::BoundGridView* SSDBGrid1() const { return grid_; }
    forms::BoundGridModel* Model() const { return model_.get(); }
    DatePicSSDB* DatePicSSDB1() const { return picker_; }

    static const QString LoeschFrage;

private:
    void Unbind();
    void PickerErgebnis(const QString& datum, int aktion);
    void NachEingabe(int row, int column);
    // The lines that name a payment in the deletion question: date, amount and remark.
    QString ZahlungText(int row) const;
    // Title of its messages: the caption of the window it sits in.
    QString Titel() const;

    forms::BoundGridView* grid_ = nullptr;
    QLabel* caption_ = nullptr;
    DatePicSSDB* picker_ = nullptr;
    std::unique_ptr<forms::BoundGridModel> model_;
    int64_t lfnr_ = 0;
    int64_t ursprung_ = 0;
    int inputType_ = 0;
    int displayType_ = 0;
    bool pickerOffen_ = false;
};

} // namespace velu::reg
