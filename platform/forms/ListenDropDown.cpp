#include "platform/forms/ListenDropDown.h"

#include <QComboBox>

namespace velu::forms {

void ListenDelegate::Abschliessen() {
    if (QWidget* liste = offen_) {
        emit commitData(liste);
        emit closeEditor(liste);
    }
}

NummernDropDown::NummernDropDown(QString name, std::vector<std::pair<QString, int>> eintraege,
                                 bool zelleZeigtText, QObject* parent)
    : ListenDelegate(parent), name_(std::move(name)), eintraege_(std::move(eintraege)),
      zelleZeigtText_(zelleZeigtText) {}

QWidget* NummernDropDown::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                       const QModelIndex&) const {
    auto* box = new QComboBox(parent);
    box->setObjectName(name_);
    for (const auto& [text, nummer] : eintraege_)
        box->addItem(text, nummer);
    Offen(box);
    return box;
}

void NummernDropDown::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = static_cast<QComboBox*>(editor);
    const QVariant wert = index.data(Qt::EditRole);
    const int i = zelleZeigtText_ ? box->findText(wert.toString()) : box->findData(wert.toInt());
    box->setCurrentIndex(i < 0 ? 0 : i);
}

void NummernDropDown::setModelData(QWidget* editor, QAbstractItemModel* model,
                                   const QModelIndex& index) const {
    model->setData(index, QString::number(static_cast<QComboBox*>(editor)->currentData().toInt()),
                   Qt::EditRole);
}

} // namespace velu::forms
