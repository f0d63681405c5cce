#include "platform/outside/ProjektAuswahl.h"

#include "platform/forms/MessageBox.h"
#include "platform/forms/TextLimitHint.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace velu::outside {

using forms::MsgCritical;

ProjektAuswahl::ProjektAuswahl(const QString& projekteOrdner, const QString& vorwahl, QWidget* parent,
                               bool mitAnlegen)
    : QDialog(parent), liste_(projekteOrdner) {
    setObjectName("ProjektAuswahl");
    setWindowTitle("Projektverwaltung");
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(new QLabel("Projekte:"));
    tabelle_ = new QTableWidget(0, 2, this);
    tabelle_->setObjectName("Projekte");
    tabelle_->setHorizontalHeaderLabels({"Nummer", "Bezeichnung"});
    tabelle_->horizontalHeader()->setStretchLastSection(true);
    tabelle_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tabelle_->setSelectionMode(QAbstractItemView::SingleSelection);
    tabelle_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lay->addWidget(tabelle_);

    auto* knoepfe = new QHBoxLayout;
    if (mitAnlegen) {
        auto* neu = new QFormLayout;
        nummer_ = new QLineEdit(this);
        nummer_->setObjectName("Nummer");
        // Longer texts are refused, limit named, when the project is created; never cut while typing.
        forms::ShowLengthLimit(*nummer_, 8);
        name_ = new QLineEdit(this);
        name_->setObjectName("Bezeichnung");
        forms::ShowLengthLimit(*name_, 30);
        neu->addRow("Neue Projektnummer", nummer_);
        neu->addRow("Neue Projektbezeichnung", name_);
        lay->addLayout(neu);
        auto* anlegen = new QPushButton("Projekt anlegen", this);
        anlegen->setObjectName("Anlegen");
        knoepfe->addWidget(anlegen);
        connect(anlegen, &QPushButton::clicked, this, [this] { Anlegen(); });
    }
    auto* waehlen = new QPushButton("Auswählen", this);
    waehlen->setObjectName("Auswaehlen");
    waehlen->setDefault(true);
    auto* abbrechen = new QPushButton("Abbrechen", this);
    abbrechen->setObjectName("Abbrechen");
    knoepfe->addStretch();
    knoepfe->addWidget(waehlen);
    knoepfe->addWidget(abbrechen);
    lay->addLayout(knoepfe);

    connect(waehlen, &QPushButton::clicked, this, [this] { Auswaehlen(); });
    connect(tabelle_, &QTableWidget::cellDoubleClicked, this, [this] { Auswaehlen(); });
    connect(abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    resize(480, 420);
    Fuellen(vorwahl);
}

void ProjektAuswahl::Fuellen(const QString& vorwahl) {
    QString fehler;
    if (!liste_.Anlegen(&fehler)) {
        MsgCritical(this, "Die Projektliste konnte nicht geöffnet werden.\n" + fehler);
        return;
    }
    auto liste = liste_.Liste(&fehler);
    if (!liste) {
        MsgCritical(this, "Die Projektliste konnte nicht gelesen werden.\n" + fehler);
        return;
    }
    tabelle_->setRowCount(0);
    for (const auto& p : *liste) {
        const int r = tabelle_->rowCount();
        tabelle_->insertRow(r);
        tabelle_->setItem(r, 0, new QTableWidgetItem(p.nummer));
        tabelle_->setItem(r, 1, new QTableWidgetItem(p.name));
        if (p.nummer == vorwahl) tabelle_->selectRow(r);
    }
    if (tabelle_->currentRow() < 0 && tabelle_->rowCount() > 0) tabelle_->selectRow(0);
}

bool ProjektAuswahl::Anlegen() {
    if (!nummer_) return false;
    QString nummer = nummer_->text();
    QString fehler;
    if (!liste_.ProjektAnlegen(nummer, name_->text(), &fehler)) {
        MsgCritical(this, fehler);
        return false;
    }
    nummer_->clear();
    name_->clear();
    Fuellen(nummer);
    return true;
}

bool ProjektAuswahl::Auswaehlen() {
    const int r = tabelle_->currentRow();
    if (r < 0) {
        MsgCritical(this, "Bitte wählen Sie ein Projekt aus.");
        return false;
    }
    gewaehlt_ = {tabelle_->item(r, 0)->text(), tabelle_->item(r, 1)->text()};
    accept();
    return true;
}

} // namespace velu::outside
