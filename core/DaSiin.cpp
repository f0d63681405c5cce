#include "core/DaSiin.h"

#include "core/DaSiinPro.h"
#include "platform/forms/ToolBand.h"
#include "platform/forms/WindowPos.h"

#include <QFileInfo>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

namespace velu {

DaSiin::DaSiin(outside::ProjektUmgebung& umgebung, QString sysPfad, settings::SettingsStore* store,
               QWidget* parent)
    : QDialog(parent), umgebung_(umgebung), engine_(umgebung, std::move(sysPfad), this), store_(store) {
    setObjectName("DaSiin");
    setWindowTitle(QStringLiteral("Datensicherung zurücklesen"));
    auto* layout = new QVBoxLayout(this);
    band_ = new forms::ToolBand(this);
    band_->AddBand("Band1", forms::ToolBand::BandKind::ToolBar);
    band_->AddTools({{"Band1", "OK", QStringLiteral("Sicherung starten")},
                     {"Band1", "LW", QStringLiteral(" Laufwerk wählen")},
                     {"Band1", "EXIT", QStringLiteral(" Maske verlassen")}});
    band_->SetHandler([this](const QString& key) { Werkzeug(key); });
    layout->addWidget(band_->ToolBar("Band1"));
    vorgabe_ = VorgabeArchiv();
    label3_ = new QLabel(vorgabe_, this);
    label3_->setObjectName("Label3");
    layout->addWidget(label3_);
    zeigePro_ = [](DaSiinPro& d) { d.exec(); };
    if (store_) forms::LoadWindowPos(*this, *store_);
}

DaSiin::~DaSiin() {
    if (store_) forms::SaveWindowPos(*this, *store_);
}

void DaSiin::Getdateiname(short modus, QString& name) {
    name = dialog_ ? dialog_(this, modus) : QString();
}

void DaSiin::MakeProjekteintrag(QString& nummer, QString& name) {
    engine_.MakeProjekteintrag(nummer, name, windowTitle());
}

void DaSiin::SicherungBack() {
    QString archiv = label3_->text();
    // The preset archive does not exist (no backup made here yet): ask for one instead of failing.
    if (archiv == vorgabe_ && !QFileInfo::exists(archiv)) {
        Getdateiname(1, archiv);
        if (archiv.isEmpty()) return;
        label3_->setText(archiv);
    }
    engine_.SicherungBack(archiv, windowTitle(),
                          [this](const QString& deskriptor) -> std::optional<ProjektZiel> {
                              DaSiinPro pro(umgebung_, this);
                              bool fehler = false;
                              pro.MakeConections(deskriptor, fehler);
                              if (fehler) return std::nullopt;
                              zeigePro_(pro);
                              ProjektZiel z;
                              pro.GetZiel(z.abbruch, z.ueberschreiben, z.ziel);
                              z.nummer = pro.Nummer();
                              z.name = pro.Name();
                              return z;
                          });
}

void DaSiin::Werkzeug(const QString& key) {
    if (key == "LW") {
        QString name;
        Getdateiname(1, name);
        if (!name.isEmpty()) label3_->setText(name);
    } else if (key == "OK") {
        SicherungBack();
    } else if (key == "EXIT") {
        band_->SetBandVisible("Band1", false);
        close();
    }
}

} // namespace velu
