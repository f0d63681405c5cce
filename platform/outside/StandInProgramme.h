#pragma once
// Our own stand-ins for the outside programs:
// - project administration: the chooser over Projekte.mdb (ProjektAuswahl), which makes the chosen project
//   current in umgebung.ini; the project-data mask edits the description and client lines of Prodat;
// - reorganisation: integrity check and VACUUM of each database file, with a progress dialog;
// - About box: a dialog of our own;
// - header-and-footer texts: the editor of the print templates of the master database (DruckVorlagenEditor);
// - address program: the address book (AdressMaske), which can write the current project's client lines;
// - serial-letter program: letters in SERIENBRIEFE.MDB merged with the address book (SerienbriefFenster).
#include "platform/outside/AussenProgramme.h"
#include "platform/outside/IniUmgebung.h"
#include "platform/outside/Prodat.h"

#include <QPointer>
#include <QWidget>
#include <functional>

namespace velu::outside {

class StandInProgramme : public AussenProgramme {
public:
    // owner: the window the stand-ins' dialogs and messages belong to (may be set later).
    explicit StandInProgramme(IniUmgebung& umgebung, QWidget* owner = nullptr)
        : umgebung_(umgebung), owner_(owner) {}
    void SetOwner(QWidget* owner) { owner_ = owner; }
    // Whether the clerk may create projects; one who may not is offered only the choice of a project.
    void SetDarfAnlegen(std::function<bool()> darf) { darfAnlegen_ = std::move(darf); }

    std::unique_ptr<ProjektVerwaltung> CreateProjektVerwaltung() override;
    std::unique_ptr<AdressProgramm> CreateAdressProgramm() override;
    std::unique_ptr<SerienbriefProgramm> CreateSerienbriefProgramm() override;
    std::unique_ptr<KopfUndFussProgramm> CreateKopfUndFussProgramm() override;
    std::unique_ptr<Reorganisation> CreateReorganisation(const std::vector<QString>& dateien) override;
    std::unique_ptr<AboutBox> CreateAboutBox() override;

private:
    IniUmgebung& umgebung_;
    QPointer<QWidget> owner_;
    std::function<bool()> darfAnlegen_;
};

// Integrity check and VACUUM of one database file, opened exclusively. Returns an empty text on success,
// else the German reason.
QString ReorganisiereDatei(const QString& datei);

} // namespace velu::outside
