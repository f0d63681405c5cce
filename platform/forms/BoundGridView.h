#pragma once
// The grid over a BoundGridModel: hides the model's invisible columns, limits text cells to their column's
// length, writes the pending row when the current row changes, and deletes the current row on the Delete
// key (through the model, which asks).
//
// Qt reports a row change after the fact, so zeileVerlassen carries the row that was left; it is emitted
// after that row's edits were written (or refused). zeileAktuell follows with the new current row.
#include "platform/forms/BoundGridModel.h"

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
    bool Commit();
    // Closes an open cell editor, taking its text over into the model.
    void CommitEditor();
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

private:
    friend class BoundGridDelegate;
    void CurrentRowChanged(const QModelIndex& current, const QModelIndex& previous);

    BoundGridModel* model_ = nullptr;
    QPointer<QWidget> editor_;
    bool allowDelete_ = true;
};

} // namespace velu::forms
