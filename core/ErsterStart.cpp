#include "core/ErsterStart.h"

#include "core/Startup.h"
#include "platform/outside/IniUmgebung.h"
#include "platform/outside/ProjektListe.h"

#include <QDir>
#include <QFileInfo>

namespace velu {

namespace {
bool Fehler(QString* out, const QString& text) {
    if (out) *out = text;
    return false;
}

bool Liefere(const QString& name, const QString& programmDaten, const QString& sys, QString* fehler) {
    const QString ziel = sys + "/" + name;
    if (QFileInfo::exists(ziel)) return true;
    const QString quelle = programmDaten + "/" + name;
    if (!QFileInfo::exists(quelle))
        return Fehler(fehler, "Die mitgelieferte Datenbank " + quelle + " wurde nicht gefunden.");
    return KopiereDatei(quelle, ziel, fehler);
}
} // namespace

bool RichteBueroEin(const QString& buero, const QString& programmDaten, QString* fehler) {
    const QString sys = buero + "/STD_SYS";
    const QString projekte = buero + "/Projekte/";
    if (!QDir().mkpath(sys) || !QDir().mkpath(projekte))
        return Fehler(fehler, "Der Datenordner " + buero + " konnte nicht angelegt werden.");
    if (!Liefere("VELUDAT32.MDB", programmDaten, sys, fehler)) return false;
    if (!Liefere("VELUVOR32.MDB", programmDaten, sys, fehler)) return false;

    outside::ProjektListe liste(projekte);
    if (!liste.Anlegen(fehler)) return false;
    auto eintraege = liste.Liste(fehler);
    if (!eintraege) return false;
    outside::ProjektEintrag aktuell{DemoProjektNummer, DemoProjektName};
    if (eintraege->empty()) {
        if (!liste.ProjektAnlegen(aktuell.nummer, aktuell.name, fehler)) return false;
    } else {
        aktuell = eintraege->front();
    }

    outside::IniUmgebung ini(buero + "/umgebung.ini");
    const bool ok = ini.SetProjekteOrdner(projekte) && ini.SetPfad("VELUDATEN", sys + "/VELUDAT32.MDB") &&
                    ini.SetPfad("VELUVORLAGE", sys + "/VELUVOR32.MDB") &&
                    ini.SetPfad("STDBRIEF", sys + "/SERIENBRIEFE.MDB") &&
                    ini.SetPfad("ADRESSMDB", sys + "/ZADRESS32.MDB") &&
                    ini.SetAktProjekt(aktuell.nummer, aktuell.name);
    if (!ok) return Fehler(fehler, "Die Datei " + ini.IniDatei() + " konnte nicht geschrieben werden.");
    return true;
}

} // namespace velu
