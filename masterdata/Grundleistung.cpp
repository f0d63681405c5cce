#include "masterdata/Grundleistung.h"

#include "masterdata/BetragSpalten.h"

#include <QComboBox>
#include <QStyledItemDelegate>

namespace velu::masterdata {

namespace {

// The drop-down of the assignment column.
class ZuordnungDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* box = new QComboBox(parent);
        box->setObjectName("SSDBDropDown2");
        for (int i = 0; i <= 10; ++i)
            box->addItem(Grundleistung::ZuordnungText(i), i);
        return box;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* box = static_cast<QComboBox*>(editor);
        const auto wert = Grundleistung::ZuordnungWert(index.data(Qt::EditRole).toString());
        box->setCurrentIndex(wert ? int(*wert) : 0);
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override {
        model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
    }
};

} // namespace

QString Grundleistung::ZuordnungText(int64_t zuordnung) {
    if (zuordnung == 0) return "Keine Zuordnung";
    if (zuordnung >= 1 && zuordnung <= 9) return QString("Leistungsphase %1").arg(zuordnung);
    if (zuordnung == 10) return "Stundenlohnarbeiten";
    return QString::number(zuordnung);
}

std::optional<int64_t> Grundleistung::ZuordnungWert(const QString& text) {
    const QString t = text.trimmed();
    for (int i = 0; i <= 10; ++i)
        if (t.compare(ZuordnungText(i), Qt::CaseInsensitive) == 0) return i;
    bool ok = false;
    const int n = t.toInt(&ok);
    if (ok && n >= 0 && n <= 10) return n;
    return std::nullopt;
}

namespace {

StammGridDialog::Aufbau GrundleistungAufbau() {
    StammGridDialog::Aufbau a;
    a.name = "Grundleistung";
    a.caption = "Grundleistung";
    a.table = "AufwandVerz";
    a.spalten.push_back(TextSpalte("Positionsnummer", "Positionsnummer", 8));
    a.spalten.push_back(TextSpalte("Leistung", "Bezeichnung", 255));
    a.spalten.push_back(TextSpalte("Einheit", "Einheit", 20));
    forms::BoundColumn z;
    z.field = "zuordnung";
    z.caption = "Zuordnung";
    z.art = forms::BoundColumn::Art::Ganzzahl;
    z.anzeigen = [](const db::Value& v) -> QVariant {
        const auto* i = std::get_if<int64_t>(&v);
        return i ? Grundleistung::ZuordnungText(*i) : QString();
    };
    z.lesen = [](const QString& text) -> std::optional<db::Value> {
        if (text.trimmed().isEmpty()) return db::Value();
        const auto w = Grundleistung::ZuordnungWert(text);
        return w ? std::optional<db::Value>(db::Value(*w)) : std::nullopt;
    };
    a.spalten.push_back(z);
    a.spalten.push_back(BetragSpalte("interSatz", "Satz intern DM"));
    a.spalten.push_back(BetragSpalte("Satz", "Satz extern DM"));
    a.spalten.push_back(BetragSpalte("AlDispinterSatz", "Satz intern €", " €"));
    a.spalten.push_back(BetragSpalte("AlDispSatz", "Satz extern", " €"));
    a.paare = {{"interSatz", "AlDispinterSatz"}, {"Satz", "AlDispSatz"}};
    a.loeschFrage = forms::BoundGridModel::LoeschFrage;
    a.breitSpalte = 1;
    return a;
}

} // namespace

Grundleistung::Grundleistung(db::Database& stamm, QWidget* parent)
    : StammGridDialog(stamm, GrundleistungAufbau(), parent) {
    SSDBGrid1().setItemDelegateForColumn(3, new ZuordnungDelegate(&SSDBGrid1()));
}

} // namespace velu::masterdata
