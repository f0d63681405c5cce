#include "core/DaSiinPro.h"
#include "core/ProjektDeskriptor.h"

#include "core/Datensicherung.h"
#include "platform/forms/ToolBand.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu {

DaSiinPro::DaSiinPro(outside::ProjektUmgebung& umgebung, QWidget* parent)
    : QDialog(parent), umgebung_(umgebung) {
    setObjectName("DaSiinPro");
    setWindowTitle(QStringLiteral("Projekt zurücklesen"));
    setModal(true);
    band_ = new forms::ToolBand(this);
    band_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    band_->AddTools({{"Band1", "OK", QStringLiteral("Sicherung starten")},
                     {"Band1", "EXIT", QStringLiteral(" Maske verlassen")}});
    band_->SetHandler([this](const QString& key) { Werkzeug(key); });
    // Placed after the band was made, so the band is the layout's first row and not also its menu bar.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(band_->ToolBar("Band1"));
    auto* form = new QFormLayout;
    layout->addLayout(form);
    altNummer_ = new QLabel(this);
    altNummer_->setObjectName("LabelNummer");
    altName_ = new QLabel(this);
    altName_->setObjectName("LabelName");
    form->addRow(QStringLiteral("Original Projektnummer"), altNummer_);
    form->addRow(QStringLiteral("Original Projekbezeichnung"), altName_);
    for (int i = 0; i < 2; ++i) {
        xtraText1_[i] = new QLineEdit(this);
        xtraText1_[i]->setObjectName(QStringLiteral("XtraText1_%1").arg(i));
    }
    xtraText1_[0]->setMaxLength(8);
    xtraText1_[1]->setMaxLength(30);
    // Wide enough to show a whole project name of 30 characters, capitals included.
    xtraText1_[1]->setMinimumWidth(xtraText1_[1]->fontMetrics().horizontalAdvance(QString(30, QChar('N'))));
    form->addRow(QStringLiteral("Neue Projektnummer"), xtraText1_[0]);
    form->addRow(QStringLiteral("Neue Projekbezeichnung"), xtraText1_[1]);
    layout->addStretch(1);
}

void DaSiinPro::MakeConections(const QString& deskriptor, bool& fehler) {
    // The archive's description with the backup's date behind its last "°".
    const qsizetype grad = deskriptor.lastIndexOf(QStringLiteral("°"));
    const auto projekt = grad > 0 ? LeseProjektDeskriptor(deskriptor.left(grad)) : std::nullopt;
    if (!projekt) {
        fehler = true;
        return;
    }
    fehler = false;
    altNummer_->setText(projekt->nummer);
    altName_->setText(projekt->name);
    xtraText1_[0]->setText(projekt->nummer);
    xtraText1_[1]->setText(projekt->name);
    datum_ = deskriptor.mid(grad + 1);
}

void DaSiinPro::Checkpath(QString& ziel) {
    QString nr = xtraText1_[0]->text();
    const ProjektZiel z = Datensicherung::Checkpath(umgebung_, nr, datum_, windowTitle(), this);
    xtraText1_[0]->setText(nr);
    ziel = z.ziel;
    if (z.abbruch) abbruch_ = true;
    if (z.ueberschreiben) ueberschreiben_ = true;
}

void DaSiinPro::GetZiel(bool& abbruch, bool& ueberschreiben, QString& ziel) const {
    abbruch = abbruch_;
    ueberschreiben = ueberschreiben_;
    ziel = ziel_;
}

QString DaSiinPro::Nummer() const {
    return xtraText1_[0]->text();
}
QString DaSiinPro::Name() const {
    return xtraText1_[1]->text();
}

void DaSiinPro::Werkzeug(const QString& key) {
    if (key == "OK") {
        ueberschreiben_ = false; // only the answer to this number's question counts
        Checkpath(ziel_);
        if (abbruch_ || !ziel_.isEmpty()) hide();
    } else if (key == "EXIT") {
        abbruch_ = true;
        hide();
    }
}

// The close box leaves like EXIT, so the restore never runs without a target.
void DaSiinPro::closeEvent(QCloseEvent* e) {
    abbruch_ = true;
    e->ignore();
    hide();
}

} // namespace velu
