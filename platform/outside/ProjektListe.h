#pragma once
// The project list "Projekte.mdb" of the project-administration program (table PROJEKT: PrNr, PRBZ, unique
// index Pindex on PrNr) and the creation of a project: its folder "<number>.PRO" and its data file "Prodat"
// (see Prodat.h). The project database itself is created
// by the program when it first opens the project.
#include "platform/outside/Prodat.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace velu::outside {

struct ProjektEintrag {
    QString nummer;
    QString name;
};

// A project number as typed, made into the stored form (8 digits, leading zeros); nullopt when it is not
// 1 to 8 digits.
std::optional<QString> NormProjektNummer(const QString& eingabe);

class ProjektListe {
public:
    // projekteOrdner ends with "/" (as ProjektUmgebung::ProjekteOrdner gives it).
    explicit ProjektListe(QString projekteOrdner);

    QString Datei() const { return ordner_ + QStringLiteral("Projekte.mdb"); }

    // Creates the folder and an empty Projekte.mdb when none exists yet.
    bool Anlegen(QString* fehler = nullptr);
    // Every project by number; nullopt (with *fehler) when the list cannot be read.
    std::optional<std::vector<ProjektEintrag>> Liste(QString* fehler = nullptr);
    // Adds the project or renames the one of that number.
    bool Eintragen(const QString& nummer, const QString& name, QString* fehler = nullptr);
    // Creates a new project: checks number and name, claims the number with its list row (refused when it is
    // listed, also when another clerk claimed it a moment ago), then creates the folder and Prodat. On
    // success nummer holds the stored form.
    bool ProjektAnlegen(QString& nummer, const QString& name, QString* fehler = nullptr);

    // Test seam: runs after the number was checked, before its row is written ("eintragen").
    std::function<void(const char* schritt)> zwischenDenSchritten;

private:
    QString ordner_;
};

} // namespace velu::outside
