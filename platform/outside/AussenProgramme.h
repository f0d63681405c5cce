#pragma once
// The outside programs of the office suite as the program calls them. Each is created anew for every use
// through an AussenProgramme factory; a factory returns nullptr for a program it cannot create. Every caller
// sets PxEntry to 51 first. Tests install fakes of these interfaces.
#include <QPixmap>
#include <QString>
#include <memory>
#include <vector>

class QWidget;

namespace velu::outside {

// "Zentrix.ProClass": the project-administration program.
class ProjektVerwaltung {
public:
    virtual ~ProjektVerwaltung() = default;
    virtual void SetPxEntry(int v) = 0;
    // Lets the user choose a project, starting at nummer. Returns 0 or sets abbruch non-zero when no project
    // was chosen; after a choice the environment's AktProjekt reports the chosen project.
    virtual int ShowHoai(QString& nummer, const QString& p2, int p3, int p4, int& abbruch) = 0;
    // Shows the project-data mask of the current project.
    virtual void ShowProdat(int modus) = 0;
};

class AdressProgramm {
public:
    virtual ~AdressProgramm() = default;
    virtual void SetPxEntry(int v) = 0;
    virtual void ShowAdressMask(const QString& maske, int p2, QStringList& p3, int& p4) = 0;
};

class SerienbriefProgramm {
public:
    virtual ~SerienbriefProgramm() = default;
    virtual void SetPxEntry(int v) = 0;
    // Opens the serial-letter window; fenster receives it (nullptr when none was opened). The caller waits
    // while that window exists.
    virtual void showSerie(QWidget*& fenster) = 0;
};

class KopfUndFussProgramm {
public:
    virtual ~KopfUndFussProgramm() = default;
    virtual void SetPxEntry(int v) = 0;
    virtual void ShowKopfUndFuss(int modus) = 0;
};

class Reorganisation {
public:
    virtual ~Reorganisation() = default;
    virtual void SetPxEntry(int v) = 0;
    // Reorganises the databases (closed by the caller); returns when done.
    virtual void showREORGVELU() = 0;
};

class AboutBox {
public:
    virtual ~AboutBox() = default;
    virtual void SetPictureIn(const QPixmap& p) = 0;
    // Position in pixels on the screen.
    virtual void SetPosLeft(int x) = 0;
    virtual void SetPosTop(int y) = 0;
    virtual void SetAppTitel(const QString& t) = 0;
    virtual void SetVersion(const QString& v) = 0;
    virtual void SetProduktName(const QString& n) = 0;
    // 17 shows the box (modal).
    virtual void Action(int code) = 0;
};

class AussenProgramme {
public:
    virtual ~AussenProgramme() = default;
    virtual std::unique_ptr<ProjektVerwaltung> CreateProjektVerwaltung() = 0;
    virtual std::unique_ptr<AdressProgramm> CreateAdressProgramm() = 0;
    virtual std::unique_ptr<SerienbriefProgramm> CreateSerienbriefProgramm() = 0;
    virtual std::unique_ptr<KopfUndFussProgramm> CreateKopfUndFussProgramm() = 0;
    // dateien: the database files to reorganise.
    virtual std::unique_ptr<Reorganisation> CreateReorganisation(const std::vector<QString>& dateien) = 0;
    virtual std::unique_ptr<AboutBox> CreateAboutBox() = 0;
};

} // namespace velu::outside
