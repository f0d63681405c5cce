#include "expenses/BerechWaehrungAusw.h"

#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QRadioButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu::expenses {

const QString BerechWährungAusw::Hinweis = QString::fromUtf8(
    "Um Rundungsprobleme zu vermeiden, sollten Sie immer die Währung als Berechnungswährung wählen in der "
    "auch die Rechnung gestelt wird.");

BerechWährungAusw::BerechWährungAusw(QWidget* parent, QString systemWaehrung) : QDialog(parent) {
    setObjectName("BerechWährungAusw");
    setWindowTitle(QString::fromUtf8("Berechnungswährung"));
    bar_ = new forms::ToolBand(this);
    bar_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    bar_->AddTools({{"Band1", "OK", "OK", QString::fromUtf8("Währung übernehmen")},
                    {"Band1", "EXIT", "Beenden", QString::fromUtf8("Währung übernehmen")}});
    bar_->SetHandler([this](const QString&) { QDialog::done(QDialog::Accepted); });

    auto* rahmen = new QGroupBox(QString::fromUtf8("Berechnungswährung"), this);
    rahmen->setObjectName("Frame1");
    auto* innen = new QVBoxLayout(rahmen);
    const char* texte[2] = {"DM", "ERU"};
    for (int i = 0; i < 2; ++i) {
        option_[i] = new QRadioButton(texte[i], rahmen);
        option_[i]->setObjectName(QString("Option2(%1)").arg(i));
        innen->addWidget(option_[i]);
    }
    auto* hinweis = new QLabel(Hinweis, this);
    hinweis->setObjectName("Label1");
    hinweis->setWordWrap(true);
    auto* haupt = new QVBoxLayout(this);
    haupt->setMenuBar(bar_->ToolBar("Band1"));
    haupt->addWidget(rahmen);
    haupt->addWidget(hinweis);

    if (systemWaehrung.isEmpty()) systemWaehrung = QLocale::system().toCurrencyString(2);
    option_[systemWaehrung.contains("DM") ? 0 : 1]->setChecked(true);
    help::InstallHelpKey(this, objectName());
}

int BerechWährungAusw::Waehrung() const {
    return option_[1]->isChecked() ? 1 : 0;
}

void BerechWährungAusw::reject() {
    bar_->Click("Band1", "EXIT");
}

void BerechWährungAusw::closeEvent(QCloseEvent* event) {
    if (isVisible()) QDialog::done(QDialog::Accepted);
    event->accept();
}

} // namespace velu::expenses
