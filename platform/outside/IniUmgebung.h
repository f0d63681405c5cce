#pragma once
// The project environment of one office: "umgebung.ini" in the office data folder holds what every clerk of
// the office shares,
//
//   [Umgebung]   ProjekteOrdner=<folder of all projects>/
//   [Pfade]      VELUDATEN=...  VELUVORLAGE=...  VELUREPORTS=...  STDBRIEF=...  ADRESSMDB=...
//
// with paths inside the office stored relative to it, so the office folder can be copied or moved. The
// current project is each clerk's own: it lives in this program while it runs and is kept in the clerk's own
// settings, so another clerk's choice never changes it.
#include "platform/outside/ProjektUmgebung.h"

#include <memory>
#include <optional>

namespace velu::settings {
class SettingsStore;
}

namespace velu::outside {

// The office data folder: $VELUNTA_HOME, else ~/.local/share/Velunta32 (no trailing separator).
QString BueroOrdner();

// A short name of the office folder (hex digits of a hash of its absolute path), for what a clerk keeps per
// office in his own folders.
QString BueroSchluessel(const QString& buero);

// The folder of project number within projekteOrdner: the number padded with zeros to 8 digits + ".PRO".
QString ProjektOrdnerVon(const QString& projekteOrdner, const QString& nummer);

class IniUmgebung : public ProjektUmgebung {
public:
    // iniDatei: path of umgebung.ini, whose folder is the office; the projects folder defaults to "Projekte/"
    // beside it. eigene: the clerk's own settings, which keep his current project from one start to the
    // next; without them it is kept only while the program runs.
    explicit IniUmgebung(QString iniDatei, std::shared_ptr<settings::SettingsStore> eigene = nullptr);
    ~IniUmgebung() override;

    QString ProjekteOrdner() override;
    bool DateiExistiert(const QString& pfad) override;
    QString ProjektOrdner() override;
    QString PfadVonEinstellung(const QString& name, const QString& standard) override;
    // The clerk's current project; until he chose one, the one he last had in this office, else the office's
    // last one of older versions, else the first of the project list.
    void AktProjekt(QString& a, QString& b, QString& c, QString& d, QString& e) override;
    using ProjektUmgebung::AktProjekt;

    // Makes the project current for this program at once; false when the clerk's settings cannot keep it.
    bool SetAktProjekt(const QString& nummer, const QString& name) override;
    // Writers for the first start. A path inside the office is stored relative to it. False when the file
    // cannot be written.
    bool SetProjekteOrdner(const QString& ordner);
    bool SetPfad(const QString& name, const QString& pfad);

    const QString& IniDatei() const { return ini_; }

private:
    struct Projekt {
        QString nummer, name;
    };
    const Projekt& Aktuell();
    QString Buero() const;
    QString Gelesen(const QString& key) const;
    QString AltesBuero() const;
    bool Write(const QString& key, const QString& value);
    QString ini_;
    std::shared_ptr<settings::SettingsStore> eigene_;
    std::optional<Projekt> aktuell_;
};

} // namespace velu::outside
