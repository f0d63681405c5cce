#pragma once
// Drop-down lists in grid cells. A list open in a cell is remembered, so that the row can take its choice
// over before it is written.

#include <QPointer>
#include <QString>
#include <QStyledItemDelegate>

#include <utility>
#include <vector>

namespace velu::forms {

class ListenDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Takes an open list over into its cell and closes it.
    void Abschliessen();
    // The list open in a cell, if any.
    QWidget* OffeneListe() const { return offen_; }

protected:
    // Called by createEditor for the list it has made.
    void Offen(QWidget* liste) const { offen_ = liste; }

private:
    mutable QPointer<QWidget> offen_;
};

// A list of texts with a number behind each; the cell stores the number of the chosen text.
class NummernDropDown : public ListenDelegate {
public:
    // zelleZeigtText: the cell's edit value is the text (true) or the number (false).
    NummernDropDown(QString name, std::vector<std::pair<QString, int>> eintraege, bool zelleZeigtText,
                    QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    QString name_;
    std::vector<std::pair<QString, int>> eintraege_;
    bool zelleZeigtText_;
};

} // namespace velu::forms
