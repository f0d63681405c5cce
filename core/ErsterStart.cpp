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
    if (eintraege->empty()) {
        QString nummer = DemoProjektNummer;
        if (!liste.ProjektAnlegen(nummer, DemoProjektName, fehler)) return false;
    }

    // Stored relative to the office, so the folder can be copied or moved. Each clerk starts on the first
    // project of the list until he chooses another.
    outside::IniUmgebung ini(buero + "/umgebung.ini");
    const bool ok = ini.SetProjekteOrdner(projekte) && ini.SetPfad("VELUDATEN", sys + "/VELUDAT32.MDB") &&
                    ini.SetPfad("VELUVORLAGE", sys + "/VELUVOR32.MDB") &&
                    ini.SetPfad("STDBRIEF", sys + "/SERIENBRIEFE.MDB") &&
                    ini.SetPfad("ADRESSMDB", sys + "/ZADRESS32.MDB");
    if (!ok) return Fehler(fehler, "Die Datei " + ini.IniDatei() + " konnte nicht geschrieben werden.");
    return true;
}

} // namespace velu
