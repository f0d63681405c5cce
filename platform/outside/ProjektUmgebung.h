#pragma once
// The project environment of the office suite: where the projects lie, which project is current, and where
// the shared files are, by setting name. Paths use "/" as the separator.
#include <QString>

namespace velu::outside {

// The five results of AktProjekt. nummer is also the key of the project's folder and of its backups.
struct ProjektInfo {
    QString nummer; // first result
    QString ordner; // second result: the project's folder
    QString name;   // third result
    QString frei4;  // fourth and fifth results: unused by this program
    QString frei5;
};

class ProjektUmgebung {
public:
    virtual ~ProjektUmgebung() = default;
    // Folder holding every project folder and Projekte.mdb; ends with "/".
    virtual QString ProjekteOrdner() = 0;
    virtual bool DateiExistiert(const QString& pfad) = 0;
    // Folder of the current project, without a trailing separator.
    virtual QString ProjektOrdner() = 0;
    // The path stored under the setting name ("VELUDATEN", "VELUVORLAGE", "VELUREPORTS", "STDBRIEF",
    // "ADRESSMDB"), else standard.
    virtual QString PfadVonEinstellung(const QString& name, const QString& standard) = 0;
    virtual void AktProjekt(QString& a, QString& b, QString& c, QString& d, QString& e) = 0;
    // Makes a project current again (the program puts the previous project back when a switch fails);
    // false when that cannot be stored.
    virtual bool SetAktProjekt(const QString& nummer, const QString& name) = 0;

    ProjektInfo AktProjekt() {
        ProjektInfo p;
        AktProjekt(p.nummer, p.ordner, p.name, p.frei4, p.frei5);
        return p;
    }
};

} // namespace velu::outside
