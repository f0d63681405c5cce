#pragma once
// Backup and restore of the five data sets (current project, all projects, fee tables with the template
// database, serial letters, addresses) into zip archives of platform/archive.
//
// A backup copies every SQLite database through SQLite's backup API into a snapshot first, so the archive
// is consistent even while someone else writes. A restore refuses an archive that lacks what its data set
// needs before it asks anything, and never touches the old data before the new data is unpacked and checked:
// it compares the archive's size with the free space, unpacks beside the target, checks every database
// (integrity check, and the kind of the program's own databases, the address book and the serial letters),
// then swaps the folder or files in (DataSwap; the files of one data set as one SwapSet, safe against a crash
// between any of their steps); any failure leaves the old data as it was and says why.
// Databases held by another user are not replaced.
//
// Messages go through forms::MsgBox (scripted in tests) with owner's caption rules.
#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>

class QWidget;

namespace velu::outside {
class ProjektUmgebung;
}

namespace velu {

// The data set numbers 1 to 5 of the backup dialog.
enum Datensatz : int {
    AktuellesProjekt = 1,
    AlleProjekte = 2,
    HoaiTabellen = 3,
    Serienbriefe = 4,
    Adressen = 5
};

// What the single-project dialog decided (GetZiel plus the texts of its two entry fields).
struct ProjektZiel {
    bool abbruch = false;
    bool ueberschreiben = false;
    QString ziel;   // the chosen project folder
    QString nummer; // new project number, 8 digits
    QString name;   // new project name
};

// Adds a project to the project list "Projekte.mdb" of projekteOrdner or renames the row of that number, in
// one transaction; the table is created when missing. Returns 0, or the error number of the failure.
int TrageProjektEin(const QString& projekteOrdner, const QString& nummer, const QString& name);

// The note a project restore keeps with its swap, so that a restore killed after the swap still gets its
// entry in the project list at the next start; nullopt when note is no such note.
std::string ProjektEintragsNotiz(const QString& nummer, const QString& name);
std::optional<std::pair<QString, QString>> LeseProjektEintragsNotiz(const std::string& note);

class Datensicherung {
public:
    // sysPfad: the program's system folder, the base of the default paths of the single-file data sets.
    Datensicherung(outside::ProjektUmgebung& umgebung, QString sysPfad, QWidget* owner = nullptr);

    // Backs up data set nummer (1 to 5) into archiv and reports the outcome in a message titled
    // "Datensicherung". Returns whether the archive was written.
    bool CallSicherung(int nummer, const QString& archiv);

    // The single-project dialog: gets the descriptor read back ("PROJEKT°nr°name°date"); returns nullopt
    // when the descriptor has fewer than four fields, else the user's decision.
    using ProjektWahl = std::function<std::optional<ProjektZiel>(const QString& deskriptor)>;

    // Restores archiv; caption titles the messages about the archive itself. Returns whether data was
    // restored.
    bool SicherungBack(const QString& archiv, const QString& caption, const ProjektWahl& waehleProjekt);

    // Registers a restored project in ProjekteOrdner/Projekte.mdb (adds it or renames the row of that
    // number) in one transaction; the table is created when missing. Reports a failure titled caption.
    bool MakeProjekteintrag(const QString& nummer, const QString& name, const QString& caption);

    // Checkpath of the single-project dialog: nummerText becomes the 8-digit number; asks whether an existing
    // project folder may be overwritten (datum is the backup's date). A number that is not 1 to 8 digits is
    // refused with a message (result with empty ziel, not abbruch). title: the dialog's caption.
    static ProjektZiel Checkpath(outside::ProjektUmgebung& umgebung, QString& nummerText,
                                 const QString& datum, const QString& title, QWidget* owner = nullptr);

    // Test seams. nachDemEntpacken runs after unpacking and checking, before the swap; a non-empty text fails
    // the restore. zwischenDenSchritten runs between the swap's steps; ohneAustausch swaps as on a file
    // system without an exchange of two names; schreiben writes the unpacked data; freierPlatz tells a
    // folder's free bytes.
    std::function<std::string(const QString& entpackt)> nachDemEntpacken;
    std::function<void(const char* schritt)> zwischenDenSchritten;
    bool ohneAustausch = false;
    std::function<int(int fd, const char* daten, std::size_t laenge)> schreiben;
    std::function<std::optional<std::uintmax_t>(const std::filesystem::path& ordner)> freierPlatz;

private:
    QString Pfad(const char* einstellung, const char* datei) const;
    bool Fehler(const QString& title, const QString& text) const;

    outside::ProjektUmgebung& umgebung_;
    QString sysPfad_;
    QWidget* owner_;
};

} // namespace velu
