#include "core/Anwendung.h"
#include "core/AppState.h"
#include "app/DatensicherungFormen.h"
#include "core/MDIVelunta.h"
#include "core/MwSt.h"
#include "core/Splash.h"
#include "core/Startup.h"
#include "documents/CRModul.h"
#include "documents/DokumentDruckAufruf.h"
#include "documents/PrintFormKO.h"
#include "expenses/Aufwand.h"
#include "masterdata/HOAITAFEL.h"
#include "platform/outside/IniUmgebung.h"
#include "register/BerAuswahl.h"
#include "ui/GitterDatumsWahl.h"

#include <QApplication>
#include <QLockFile>

#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") && !std::getenv("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "Velunta32: Kein Bildschirm vorhanden (DISPLAY ist nicht gesetzt).\n");
        return 1;
    }
    velu::Anwendung app(argc, argv);
    QApplication::setApplicationDisplayName("Velunta 4.0");
    if (!velu::DeutscheOberflaeche())
        std::fprintf(stderr, "Velunta32: Die deutschen Texte von Qt fehlen (Paket qt6-translations-l10n).\n");
    // The splash and help windows must not keep the program alive after the main window.
    QApplication::setQuitOnLastWindowClosed(false);

    // The one access to the report engine; it outlives every form that prints.
    velu::CRModul crModul;
    velu::PrintFormKO::Registrieren(velu::App().Formen(), crModul);
    velu::reg::RegisterBerAuswahl(velu::App().Formen(), velu::DokumentDruckAufruf::Fabrik(crModul));
    velu::masterdata::RegistriereStammdaten(velu::App().Formen());
    velu::expenses::RegisterAufwand(velu::App().Formen());

    std::unique_ptr<velu::MDIVelunta> fenster;
    velu::StartOptionen opt;
    opt.bueroOrdner = velu::outside::BueroOrdner();
    opt.programmDaten = velu::ProgrammDatenOrdner();
    opt.leseMwSt = [] { return velu::LeseMwStSatz(velu::App().Einstellungen()); };
    opt.zeigeHauptfenster = [&fenster] {
        fenster = std::make_unique<velu::MDIVelunta>();
        QObject::connect(fenster.get(), &velu::MDIVelunta::Beendet, qApp,
                         [](int code) { QApplication::exit(code); });
        fenster->show();
    };
    opt.zeigeSplash = [] { velu::ShowSplash(); };

    velu::RegistriereDatensicherung(velu::App().Formen());
    velu::RegistriereDatumsWahl();

    std::unique_ptr<QLockFile> lock;
    switch (velu::Main(opt, lock)) {
    case velu::StartErgebnis::Laeuft:
        break;
    case velu::StartErgebnis::ZweiteInstanz:
        return 0;
    case velu::StartErgebnis::LoginAbgelehnt:
        return 0;
    case velu::StartErgebnis::BueroFehler:
    case velu::StartErgebnis::StammDBFehler:
        return 1;
    }
    const int code = app.exec();
    fenster.reset();
    velu::App().Reset();
    return code;
}
