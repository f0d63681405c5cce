#include "core/DaSiin.h"

#include "core/DaSiinPro.h"

#include <QFileInfo>
#include <QLabel>

namespace velu {

DaSiin::DaSiin(outside::ProjektUmgebung& umgebung, QString sysPfad, settings::SettingsStore* store,
               QWidget* parent)
    : DaSiDialog(umgebung, std::move(sysPfad), store, parent, "DaSiin",
                 QStringLiteral("Datensicherung zurücklesen"), 1),
      umgebung_(umgebung) {
    zeigePro_ = [](DaSiinPro& d) { d.exec(); };
    Abschliessen();
    vorgabe_ = label3_->text();
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
    const bool ok = engine_.SicherungBack(archiv, windowTitle(),
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
    if (ok) Merken(archiv);
}

} // namespace velu
