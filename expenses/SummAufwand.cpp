#include "expenses/SummAufwand.h"

#include "core/MoneyFormat.h"
#include "expenses/PositionsPanel.h"
#include "expenses/ZeilenRechnung.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu::expenses {

SummAufwand::SummAufwand(db::Database& projektDB, QWidget* parent) : QDialog(parent), db_(projektDB) {
    setObjectName("SummAufwand");
    setWindowTitle("Summen ");
    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    forms::ToolDef dm{"Band1", "DM", "DM", "Anzeige in DM"};
    forms::ToolDef eur{"Band1", "EUR", "EUR", "Anzeige in Euro"};
    dm.checkable = eur.checkable = true;
    bar_->AddTools({{"Band1", "OK", "OK", QString::fromUtf8("Fenster schließen")},
                    {"Band1", "EXIT", "Beenden", QString::fromUtf8("Fenster schließen")},
                    dm,
                    eur});
    bar_->SetHandler([this](const QString& key) { ToolClick(key); });

    tab_ = new QTabBar(this);
    tab_->setObjectName("SSTab1");
    tab_->addTab("Summe");
    tab_->addTab("Interne Summe");
    auto* picture = new QWidget(this);
    picture->setObjectName("Picture1");
    auto* felder = new QGridLayout(picture);
    // Top to bottom: the phases 1 to 9, no assignment, hourly work, the total.
    const int reihenfolge[12] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 10, 11};
    for (int zeile = 0; zeile < 12; ++zeile) {
        const int k = reihenfolge[zeile];
        const QString text = k >= 1 && k <= 9 ? QStringLiteral("Summe LP %1").arg(k)
                             : k == 0         ? QStringLiteral("keine Zuordnung")
                             : k == 10        ? QStringLiteral("Stundenlohnarbeiten")
                                              : QStringLiteral("Summe ");
        auto* label = new QLabel(text, picture);
        label->setObjectName(QString("Label1(%1)").arg(k));
        auto* feld = new QLineEdit(picture);
        feld->setObjectName(QString("XtraText1(%1)").arg(k));
        feld->setReadOnly(true);
        feld->setAlignment(Qt::AlignRight);
        feld_[size_t(k)] = feld;
        felder->addWidget(label, zeile, 0);
        felder->addWidget(feld, zeile, 1);
    }
    auto* haupt = new QVBoxLayout(this);
    haupt->setMenuBar(bar_->ToolBar("Band1"));
    haupt->addWidget(tab_);
    haupt->addWidget(picture);
    connect(tab_, &QTabBar::currentChanged, this, [this] { displayArray(); });
    help::InstallHelpKey(this, objectName());
}

void SummAufwand::MakeConections(int eingabe, int anzeige) {
    summen_ = AufwandSummen();
    summen_.Lesen(db_);
    eingabe_ = eingabe != 0 ? 1 : 0;
    SwitchWährung(anzeige);
}

void SummAufwand::SwitchWährung(int anzeige) {
    anzeige_ = anzeige != 0 ? 1 : 0;
    bar_->SetChecked("Band1", "EUR", anzeige_ != 0);
    bar_->SetChecked("Band1", "DM", anzeige_ == 0);
    displayArray();
}

void SummAufwand::displayArray() {
    const int modus = Waehrungsmodus(eingabe_, anzeige_);
    const AufwandSummen::Reihe& werte = summen_.Anzeige(modus, tab_->currentIndex() == 1);
    for (size_t k = 0; k < feld_.size(); ++k)
        feld_[k]->setText(QString::fromStdString(FormatBetrag(werte[k], AnzeigeWaehrung(modus))));
}

void SummAufwand::ToolClick(const QString& key) {
    if (key == "OK" || key == "EXIT") {
        bar_->SetTag("X");
        QDialog::done(QDialog::Accepted);
    } else if (key == "DM") {
        SwitchWährung(0);
    } else if (key == "EUR") {
        SwitchWährung(1);
    }
}

void SummAufwand::reject() {
    bar_->Click("Band1", "EXIT");
}

void SummAufwand::closeEvent(QCloseEvent* event) {
    if (isVisible()) QDialog::done(QDialog::Rejected);
    event->accept();
}

} // namespace velu::expenses
