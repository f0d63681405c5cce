#pragma once
// The grid over a BoundGridModel: hides the model's invisible columns, writes the pending row when the
// current row changes, and deletes the current row on the Delete key (through the model, which asks).
//
// A typed text the model refuses stays in the reopened cell editor for correction. Number and date cells
// take no more characters than their column's length (with a hint beside the cell); a text cell takes any
// text and the model refuses one that is too long. Escape outside a cell editor drops the row's unwritten
// edits (an unfinished new row goes entirely) and goes no further while there were any; a click on a row's
// header makes that row the current one.
//
// Qt reports a row change after the fact, so zeileVerlassen carries the row that was left; it is emitted
// after that row's edits were written (or refused). zeileAktuell follows with the new current row.
#include "platform/forms/BoundGridModel.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>

namespace velu::forms {

class BoundGridView : public QTableView {
    Q_OBJECT
public:
    explicit BoundGridView(QWidget* parent = nullptr);

    void SetBoundModel(BoundGridModel* model);
    BoundGridModel* BoundModel() const { return model_; }
    // After the model's column visibility changed.
    void ApplyColumnVisibility();

    // Columns as wide as their captions and contents; amount columns wide enough for an eight-digit sum
    // with its currency, so that large amounts neither wrap nor are cut.
    void FitColumnsToContents();

    // Takes over the cell being typed and writes the pending row. Call before every command and on close.
    // False when a typed cell or the row was refused.
    bool Commit();
    // Closes an open cell editor, taking its text over into the model; false when the model refused the
    // text, which then stays in the reopened editor.
    bool CommitEditor();
    bool IsEditing() const { return editor_ != nullptr; }

    int CurrentRow() const;
    void SetCurrentRow(int row);
    bool AllowDelete() const { return allowDelete_; }
    void SetAllowDelete(bool allow) { allowDelete_ = allow; }

signals:
    void zeileVerlassen(int row);
    void zeileAktuell(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    friend class BoundGridDelegate;
    struct Abgelehnt {
        QPersistentModelIndex index;
        QString text;
    };
    void CurrentRowChanged(const QModelIndex& current, const QModelIndex& previous);
    void ZeileGeklickt(int row);
    void WiederOeffnen(const Abgelehnt& a);

    BoundGridModel* model_ = nullptr;
    QPointer<QWidget> editor_;
    bool allowDelete_ = true;
    // The text the model refused while the editor was being closed.
    Abgelehnt abgelehnt_;
};

} // namespace velu::forms
