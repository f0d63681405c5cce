#include "platform/forms/BoundGridView.h"

#include "platform/forms/GridFocus.h"
#include "platform/forms/TextLimitHint.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyledItemDelegate>

namespace velu::forms {

// Remembers the open editor so that Commit() can take it over; limits text to the column's length.
class BoundGridDelegate : public QStyledItemDelegate {
public:
    explicit BoundGridDelegate(BoundGridView* view) : QStyledItemDelegate(view), view_(view) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        if (const BoundGridModel* m = view_->BoundModel()) {
            const auto& cols = m->Columns();
            if (index.column() >= 0 && index.column() < int(cols.size()) &&
                cols[size_t(index.column())].maxLength > 0) {
                edit->setMaxLength(cols[size_t(index.column())].maxLength);
                ShowTextLimitHint(*edit);
            }
        }
        (void)option;
        view_->editor_ = edit;
        return edit;
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
    KeepFocusAfterEditor(*this);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // A cell is one line: "30.000.000,00 €" must not break before its currency.
    setWordWrap(false);
}

void BoundGridView::SetBoundModel(BoundGridModel* model) {
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

void BoundGridView::CommitEditor() {
    if (QWidget* ed = editor_) {
        commitData(ed);
        closeEditor(ed, QAbstractItemDelegate::NoHint);
        editor_ = nullptr;
    }
}

bool BoundGridView::Commit() {
    CommitEditor();
    return model_ ? model_->Commit() : true;
}

void BoundGridView::FitColumnsToContents() {
    if (!model_) return;
    resizeColumnsToContents();
    const int betrag = fontMetrics().horizontalAdvance(QStringLiteral("30.000.000,00 €")) +
                       2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 12;
    const auto& cols = model_->Columns();
    for (size_t i = 0; i < cols.size(); ++i)
        if (cols[i].art == BoundColumn::Art::Zahl && columnWidth(int(i)) < betrag) setColumnWidth(int(i), betrag);
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
    if (event->key() == Qt::Key_Delete && state() != EditingState && model_) {
        if (allowDelete_) model_->DeleteRow(CurrentRow());
        event->accept();
        return;
    }
    // Down from the new-row line stores what was typed there and opens a fresh new-row line.
    if (event->key() == Qt::Key_Down && model_ && model_->IsNewRowLine(CurrentRow())) {
        const int row = CurrentRow();
        CommitEditor();
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
            if (model_->PendingRow() != i.row() || !model_->Commit() || model_->IsNewRowLine(i.row())) return i;
            return model_->index(i.row() + 1, erste);
        }
    }
    return QTableView::moveCursor(cursorAction, modifiers);
}

} // namespace velu::forms
