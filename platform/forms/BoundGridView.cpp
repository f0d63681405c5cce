#include "platform/forms/BoundGridView.h"

#include "platform/forms/GridFocus.h"
#include "platform/forms/TextLimitHint.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>

#include <utility>

namespace velu::forms {

// Remembers the open editor so that Commit() can take it over; limits number and date cells to their
// column's length; notes a text the model refuses, so that the view can give it back.
class BoundGridDelegate : public QStyledItemDelegate {
public:
    explicit BoundGridDelegate(BoundGridView* view) : QStyledItemDelegate(view), view_(view) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        if (const BoundGridModel* m = view_->BoundModel()) {
            const auto& cols = m->Columns();
            if (index.column() >= 0 && index.column() < int(cols.size())) {
                const BoundColumn& c = cols[size_t(index.column())];
                // A plain text is refused by the model with its limit named, never cut in the editor.
                const bool text = c.art == BoundColumn::Art::Text && !c.lesen;
                if (c.maxLength > 0 && !text) {
                    edit->setMaxLength(c.maxLength);
                    ShowTextLimitHint(*edit);
                }
            }
        }
        (void)option;
        view_->editor_ = edit;
        return edit;
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        auto* edit = qobject_cast<QLineEdit*>(editor);
        if (!edit) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        if (!model->setData(index, edit->text(), Qt::EditRole) && view_->model_ &&
            view_->model_->EingabeBehalten())
            view_->abgelehnt_ = {index, edit->text()};
    }

    void destroyEditor(QWidget* editor, const QModelIndex& index) const override {
        if (view_->editor_ == editor) view_->editor_ = nullptr;
        QStyledItemDelegate::destroyEditor(editor, index);
    }

private:
    BoundGridView* view_;
};

BoundGridView::BoundGridView(QWidget* parent) : QTableView(parent) {
    setItemDelegate(new BoundGridDelegate(this));
    // Single cell selection leaves a header click without effect of its own: the row becomes current here,
    // so that Delete removes the row the user pointed at.
    connect(verticalHeader(), &QHeaderView::sectionPressed, this, &BoundGridView::ZeileGeklickt);
    KeepFocusAfterEditor(*this);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A cell is one line: "30.000.000,00 €" must not break before its currency.
    setWordWrap(false);
}

void BoundGridView::SetBoundModel(BoundGridModel* model) {
    // A refused text does not come back in another model's cell.
    abgelehnt_ = {};
    if (QWidget* ed = editor_) QTableView::closeEditor(ed, QAbstractItemDelegate::NoHint);
    model_ = model;
    setModel(model);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &BoundGridView::CurrentRowChanged);
    ApplyColumnVisibility();
}

void BoundGridView::ApplyColumnVisibility() {
    if (!model_) return;
    const auto& cols = model_->Columns();
    for (size_t i = 0; i < cols.size(); ++i)
        setColumnHidden(int(i), !cols[i].visible);
}

bool BoundGridView::CommitEditor() {
    QWidget* ed = editor_;
    if (!ed) return true;
    abgelehnt_ = {};
    commitData(ed);
    const bool ok = !abgelehnt_.index.isValid();
    closeEditor(ed, QAbstractItemDelegate::NoHint);
    if (editor_ == ed) editor_ = nullptr;
    return ok;
}

bool BoundGridView::Commit() {
    const bool zelle = CommitEditor();
    const bool zeile = model_ ? model_->Commit() : true;
    return zelle && zeile;
}

void BoundGridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (!abgelehnt_.index.isValid()) {
        QTableView::closeEditor(editor, hint);
        return;
    }
    const Abgelehnt a = std::exchange(abgelehnt_, {});
    // Neither on to the next cell nor back to the stored value: the refused text is corrected where it was.
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (currentIndex() == a.index)
        WiederOeffnen(a);
    else // the user clicked elsewhere; the view is still moving its current cell
        QTimer::singleShot(0, this, [this, a] { WiederOeffnen(a); });
}

void BoundGridView::WiederOeffnen(const Abgelehnt& a) {
    if (!a.index.isValid()) return;
    setCurrentIndex(a.index);
    edit(a.index);
    if (auto* e = qobject_cast<QLineEdit*>(editor_.data())) e->setText(a.text);
}

void BoundGridView::ZeileGeklickt(int row) {
    if (!model_ || row < 0 || row >= model_->rowCount()) return;
    if (editor_ && !CommitEditor()) return;
    SetCurrentRow(row);
    if (CurrentRow() == row)
        selectionModel()->select(model_->index(row, 0),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void BoundGridView::FitColumnsToContents() {
    if (!model_) return;
    resizeColumnsToContents();
    const int betrag = fontMetrics().horizontalAdvance(QStringLiteral("30.000.000,00 €")) +
                       2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 12;
    const auto& cols = model_->Columns();
    for (size_t i = 0; i < cols.size(); ++i)
        if (cols[i].art == BoundColumn::Art::Zahl && columnWidth(int(i)) < betrag)
            setColumnWidth(int(i), betrag);
}

int BoundGridView::CurrentRow() const {
    return currentIndex().isValid() ? currentIndex().row() : -1;
}

void BoundGridView::SetCurrentRow(int row) {
    if (!model_ || row < 0 || row >= model_->rowCount()) return;
    int column = currentIndex().isValid() ? currentIndex().column() : 0;
    if (isColumnHidden(column))
        for (column = 0; column < model_->columnCount() && isColumnHidden(column); ++column) {
        }
    setCurrentIndex(model_->index(row, column));
}

void BoundGridView::CurrentRowChanged(const QModelIndex& current, const QModelIndex& previous) {
    if (!model_) return;
    // The view has already taken the editor's text over by now.
    if (previous.isValid()) {
        model_->Commit();
        emit zeileVerlassen(previous.row());
    }
    emit zeileAktuell(current.isValid() ? current.row() : -1);
}

void BoundGridView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && state() != EditingState && model_ && model_->HasPending()) {
        // Half-typed edits are dropped here; the window around the grid is not closed with them.
        model_->Discard();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Delete && state() != EditingState && model_) {
        if (allowDelete_) model_->DeleteRow(CurrentRow());
        event->accept();
        return;
    }
    // Down from the new-row line stores what was typed there and opens a fresh new-row line.
    if (event->key() == Qt::Key_Down && model_ && model_->IsNewRowLine(CurrentRow())) {
        const int row = CurrentRow();
        if (!CommitEditor()) {
            event->accept();
            return;
        }
        // An editor of a column's own delegate sits under the viewport and holds the focus.
        QWidget* ed = state() == EditingState ? QApplication::focusWidget() : nullptr;
        if (ed && viewport()->isAncestorOf(ed)) {
            while (ed->parentWidget() != viewport())
                ed = ed->parentWidget();
            commitData(ed);
            closeEditor(ed, QAbstractItemDelegate::NoHint);
        }
        if (model_->PendingRow() == row && model_->Commit()) SetCurrentRow(row + 1);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

QModelIndex BoundGridView::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    // Tab from the last column of the new-row line stores the row and goes on in the fresh new-row line.
    const QModelIndex i = currentIndex();
    if (cursorAction == MoveNext && model_ && i.isValid() && model_->IsNewRowLine(i.row())) {
        int letzte = model_->columnCount() - 1, erste = 0;
        while (letzte > 0 && isColumnHidden(letzte))
            --letzte;
        while (erste < letzte && isColumnHidden(erste))
            ++erste;
        if (i.column() == letzte) {
            if (model_->PendingRow() != i.row() || !model_->Commit() || model_->IsNewRowLine(i.row()))
                return i;
            return model_->index(i.row() + 1, erste);
        }
    }
    return QTableView::moveCursor(cursorAction, modifiers);
}

} // namespace velu::forms
