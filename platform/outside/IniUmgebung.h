#pragma once
// The project environment kept in "umgebung.ini" of the office data folder:
//
//   [Umgebung]   ProjekteOrdner=<folder of all projects>/   AktProjekt=<number>   AktProjektName=<name>
//   [Pfade]      VELUDATEN=...  VELUVORLAGE=...  VELUREPORTS=...  STDBRIEF=...  ADRESSMDB=...
//
// The project chooser writes the current project; the program only reads it.
#include "platform/outside/ProjektUmgebung.h"

namespace velu::outside {

// The office data folder: $VELUNTA_HOME, else ~/.local/share/Velunta32 (no trailing separator).
QString BueroOrdner();

// The folder of project number within projekteOrdner: the number padded with zeros to 8 digits + ".PRO".
QString ProjektOrdnerVon(const QString& projekteOrdner, const QString& nummer);

class IniUmgebung : public ProjektUmgebung {
public:
    // iniDatei: path of umgebung.ini; the projects folder defaults to "Projekte/" beside it.
    explicit IniUmgebung(QString iniDatei);

    QString ProjekteOrdner() override;
    bool DateiExistiert(const QString& pfad) override;
    QString ProjektOrdner() override;
    QString PfadVonEinstellung(const QString& name, const QString& standard) override;
    void AktProjekt(QString& a, QString& b, QString& c, QString& d, QString& e) override;
    using ProjektUmgebung::AktProjekt;

    // Writers for the project chooser and the first start. Return false when the file cannot be written.
    bool SetAktProjekt(const QString& nummer, const QString& name) override;
    bool SetProjekteOrdner(const QString& ordner);
    bool SetPfad(const QString& name, const QString& pfad);

    const QString& IniDatei() const { return ini_; }

private:
    bool Write(const QString& key, const QString& value);
    QString ini_;
};

} // namespace velu::outside
