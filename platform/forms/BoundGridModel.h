#pragma once
// A table model over a db::Recordset, the stand-in for a data grid bound to a recordset.
//
// Usage by a form:
//   BoundGridModel model(db.OpenRecordset("SELECT * FROM Kosten WHERE LfNrBeReList = :nr", params),
//                        {{"Kostenstelle", "Kostenstelle"}, {"Betrag", "Betrag", BoundColumn::Art::Zahl}});
//   BoundGridModel::Callbacks cb;
//   cb.schluesselFuellen = [&](db::Recordset& rs, bool) { rs.Set("LfNrBeReList", nr); };
//   cb.fragen = ...; cb.melden = ...;          // plug the message-box helper in here
//   model.SetCallbacks(std::move(cb));
//   view.SetBoundModel(&model);                // BoundGridView: commits on row change
//   ... before every command and on close: view.Commit();
//
// Rules:
// - Edits of one row are kept pending in the model and written (Edit/AddNew, keys, Update) when the row is
//   committed: Commit(), an edit of another row, or the view's row change. Only one row is pending at a time.
// - The last line is the new-row line (unless switched off): editing it makes a pending new row, which is
//   added when committed; a new blank line then follows it. Blank text typed into the line makes no
//   pending row, and a new row whose values are all Null or blank is dropped instead of added.
// - Cells of numeric columns must read as numbers ("1.234,5" or "1234.5"; empty is Null); anything else is
//   refused with "Die Eingabe muss nummerisch sein" (or the grid's own text) and the cell keeps its value.
//   A text longer than its column's length is refused with the column and the limit named, never cut.
// - A refused or failed store shows a message (zeilePruefen's, or speicherFehler's for a DbError) and drops
//   the pending edits, so the table keeps its old data and the grid shows it again.
// - DeleteRow asks "Soll diese Zeile gelöscht werden" (No as default) unless the question is switched off;
//   vorLoeschen can refuse first.
// - Fields of the recordset that no column names are never shown (e.g. a stored password).
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"

#include <QAbstractTableModel>
#include <QString>
#include <QVariant>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace velu::forms {

struct BoundColumn {
    enum class Art { Text, Ganzzahl, Zahl };

    std::string field;
    QString caption;
    Art art = Art::Text;
    bool readOnly = false; // shown, not typed into; SetValue still writes it
    bool visible = true;   // the view hides the column; it stays in the model
    int maxLength = 0;     // text columns; 0 = no limit
    // Optional for special columns (amounts in a display currency, flags as words, ...): how a stored value
    // is shown, and how typed text becomes a value (nullopt: not valid, the numeric message is shown).
    std::function<QVariant(const db::Value&)> anzeigen;
    std::function<std::optional<db::Value>(const QString&)> lesen;
    // Why lesen refused a text (default: the numeric message).
    std::function<QString(const QString&)> ablehnung;
};

// A Boolean field (True -1, False 0) shown as "Ja"/"Nein" (Null as nothing); typed "Ja"/"Nein", "-1"/"1"/"0"
// or nothing (False) are taken, anything else is refused.
BoundColumn FlagSpalte(std::string field, QString caption);

class BoundGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    struct Callbacks {
        // Fills the keys of a row about to be written (LfNrBeReList, ZuordnungAnlGrp, ...); neu for AddNew.
        std::function<void(db::Recordset& rs, bool neu)> schluesselFuellen;
        // Checks a pending row before it is written; a message refuses it.
        std::function<std::optional<QString>(int row)> zeilePruefen;
        // Whether a stored row may be changed and deleted (default: yes).
        std::function<bool(int row)> zeileAenderbar;
        // Before a row is deleted; false cancels (the callback tells the user why, if at all).
        std::function<bool(int row)> vorLoeschen;
        // Yes/No question, No as default; true for Yes. Default: MsgBox with "Ja"/"Nein".
        std::function<bool(const QString& frage)> fragen;
        // Shows a failure. Default: MsgCritical.
        std::function<void(const QString& text)> melden;
        // The caller's message for a failed write (e.g. a duplicate key). Default: the error's text.
        std::function<QString(const db::DbError& e)> speicherFehler;
        // After a typed cell was taken into the pending row (e.g. to set a currency twin with SetValue).
        std::function<void(int row, int column)> nachEingabe;
    };

    BoundGridModel(db::Recordset rs, std::vector<BoundColumn> columns, QObject* parent = nullptr);

    void SetCallbacks(Callbacks cb) { cb_ = std::move(cb); }
    void SetLoeschfrage(bool an) { loeschfrage_ = an; }
    // The message for a cell that does not read as a number (default NumerischMeldung).
    void SetNumerischMeldung(QString text) { numerisch_ = std::move(text); }
    void SetNeueZeile(bool an);

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Typed input: validated, then kept pending. Committing another pending row first.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    const std::vector<BoundColumn>& Columns() const { return columns_; }
    int ColumnOf(std::string_view field) const; // -1 when no column shows the field
    void SetColumnVisible(int column, bool visible);

    int StoredRows() const; // rows without the new-row line
    bool IsNewRowLine(int row) const;
    // The value a row shows for a field: pending if edited, else stored (Null on the new-row line). The field
    // need not be a column.
    db::Value Value(int row, std::string_view field) const;
    // Sets a field of a row programmatically (read-only columns and non-column fields included), pending.
    bool SetValue(int row, std::string_view field, db::Value v);

    // Whether the text setData refused last is to stay typed for correction: a date that is none or a text
    // that is too long. A cell that is no number shows its old value again.
    bool EingabeBehalten() const { return behalten_; }

    bool HasPending() const { return pendingRow_ >= 0; }
    int PendingRow() const { return pendingRow_; }
    // Writes the pending row; true when nothing was pending or it was written.
    bool Commit();
    // Drops the pending edits.
    void Discard();
    // Deletes a stored row (vorLoeschen, then the question); true when deleted.
    bool DeleteRow(int row);
    // Reads the rows again (pending edits are dropped).
    void Requery();

    db::Recordset& Rows() { return rs_; }

    static const QString NumerischMeldung;
    static const QString LoeschFrage;

signals:
    void zeileGespeichert(int row);

private:
    bool Position(int row) const;
    QVariant Anzeige(const BoundColumn& col, const db::Value& v) const;
    // nullopt when the text is refused, with the column's own message (empty: the numeric message).
    std::optional<db::Value> Lesen(const BoundColumn& col, const QString& text, QString& meldung) const;
    bool Aenderbar(int row) const;
    // Whether the pending values are all Null or blank text.
    bool NurLeer() const;
    void Melden(const QString& text) const;
    bool Fragen(const QString& text) const;

    mutable db::Recordset rs_;
    std::vector<BoundColumn> columns_;
    Callbacks cb_;
    bool loeschfrage_ = true;
    QString numerisch_ = NumerischMeldung;
    bool neueZeile_ = true;
    int zeilen_; // stored rows as the views know them; changes only inside begin/end notifications
    int pendingRow_ = -1;
    bool behalten_ = false;
    std::map<std::string, db::Value> pending_;
};

} // namespace velu::forms
