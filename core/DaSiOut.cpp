#include "core/DaSiOut.h"

#include "core/StartupRecovery.h"
#include "platform/forms/ToolBand.h"
#include "platform/forms/WindowPos.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QRadioButton>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu {

QString VorgabeArchiv() {
    QString ordner = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (ordner.isEmpty() || !QDir(ordner).exists()) ordner = QDir::homePath();
    return QDir(ordner).filePath(QStringLiteral("ARCHIV.ZIP"));
}

QString ZeigeDateiDialog(QWidget* parent, int modus, const QString& vorschlag) {
    QFileDialog d(parent);
    const QFileInfo vorher(vorschlag);
    const bool gibtEs = !vorschlag.isEmpty() && vorher.isFile();
    d.setDirectory(gibtEs ? vorher.absolutePath() : QFileInfo(VorgabeArchiv()).absolutePath());
    d.setNameFilter(QStringLiteral("Datensicherung (*.zip)"));
    d.setDefaultSuffix(QStringLiteral("zip"));
    d.setOption(QFileDialog::DontUseNativeDialog, false);
    if (modus != 1) {
        d.setWindowTitle(QStringLiteral("Sicherung erstellen unter"));
        d.setAcceptMode(QFileDialog::AcceptSave);
        d.setFileMode(QFileDialog::AnyFile);
    } else {
        d.setWindowTitle(QStringLiteral("Datensicherung öffnen"));
        d.setAcceptMode(QFileDialog::AcceptOpen);
        d.setFileMode(QFileDialog::ExistingFile);
        d.selectFile(gibtEs ? vorher.fileName() : QStringLiteral("Archiv.zip"));
    }
    if (d.exec() != QDialog::Accepted || d.selectedFiles().isEmpty()) return {};
    return d.selectedFiles().front();
}

DaSiDialog::DaSiDialog(outside::ProjektUmgebung& umgebung, QString sysPfad, settings::SettingsStore* store,
                       QWidget* parent, const char* name, const QString& titel, short modus)
    : QDialog(parent), engine_(umgebung, std::move(sysPfad), this), store_(store), modus_(modus) {
    dialog_ = [this](QWidget* p, int m) {
        return ZeigeDateiDialog(p, m, label3_ ? label3_->text() : QString());
    };
    setObjectName(name);
    setWindowTitle(titel);
    // The band exists before the layout, so it is placed once, as the layout's first row, and not also as
    // its menu bar (which left an empty band of its height below it).
    band_ = new forms::ToolBand(this);
    band_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    band_->AddTools({{"Band1", "OK", QStringLiteral("Sicherung starten")},
                     {"Band1", "LW", QStringLiteral(" Laufwerk wählen")},
                     {"Band1", "EXIT", QStringLiteral(" Maske verlassen")}});
    band_->SetHandler([this](const QString& key) { Werkzeug(key); });
    layout_ = new QVBoxLayout(this);
    layout_->addWidget(band_->ToolBar("Band1"));
}

void DaSiDialog::Abschliessen() {
    const QString letztes = store_ ? LetztesArchiv(*store_) : QString();
    label3_ = new QLabel(!letztes.isEmpty() && QFileInfo(letztes).isFile() ? letztes : VorgabeArchiv(), this);
    label3_->setObjectName("Label3");
    layout_->addWidget(label3_);
    // Spare height goes below the last row, so the rows stay together under the band.
    layout_->addStretch(1);
    if (store_) forms::LoadWindowPos(*this, *store_);
}

DaSiDialog::~DaSiDialog() {
    if (store_) forms::SaveWindowPos(*this, *store_);
}

void DaSiDialog::Merken(const QString& archiv) {
    if (store_) MerkeArchiv(*store_, QFileInfo(archiv).absoluteFilePath());
}

void DaSiDialog::Getdateiname(short modus, QString& name) {
    name = dialog_ ? dialog_(this, modus) : QString();
}

void DaSiDialog::Werkzeug(const QString& key) {
    if (key == "LW") {
        QString name;
        Getdateiname(modus_, name);
        if (!name.isEmpty()) label3_->setText(name);
    } else if (key == "OK") {
        Starten();
    } else if (key == "EXIT") {
        band_->SetBandVisible("Band1", false);
        close();
    }
}

DaSiOut::DaSiOut(outside::ProjektUmgebung& umgebung, QString sysPfad, settings::SettingsStore* store,
                 QWidget* parent)
    : DaSiDialog(umgebung, std::move(sysPfad), store, parent, "DaSiOut",
                 QStringLiteral("Datensicherung erstellen"), 0) {
    const char* texte[5] = {"aktuelles Projekt", "alle Projekte", "HOAI - Tabellen und Vorlagen",
                            "Serienbriefe", "Adressen"};
    for (int i = 0; i < 5; ++i) {
        option1_[i] = new QRadioButton(QString::fromUtf8(texte[i]), this);
        option1_[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        layout_->addWidget(option1_[i]);
    }
    // The set backed up when the user picks none, shown as chosen.
    option1_[0]->setChecked(true);
    Abschliessen();
}

void DaSiOut::Wasistzusichern(short& nummer) const {
    nummer = 1;
    for (short i = 0; i < 5; ++i)
        if (option1_[i]->isChecked()) {
            nummer = static_cast<short>(i + 1);
            return;
        }
}

void DaSiOut::CallSicherung() {
    const QString archiv = label3_->text();
    short nummer = 1;
    Wasistzusichern(nummer);
    if (engine_.CallSicherung(nummer, archiv)) Merken(archiv);
}

} // namespace velu
