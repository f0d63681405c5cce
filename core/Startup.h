#pragma once
// Start-up of the program and the procedures that (re)open its databases and change the current project.
// They work on the process-wide state (velu::App()).
#include "core/Currency.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class QLockFile;

namespace velu::db {
class Database;
}

namespace velu {

// Opens StammDBPfad (shared) into StammDB. On failure shows "Es ist ein Fehler beim öffnen von ..." and
// returns false; the caller then ends the program.
bool OpenStammDB();

enum class ProjektOeffnung {
    Offen,    // ProjektDB and ProjektDBPfad now refer to the current project's database
    Gesperrt, // held by another user; the previous database stays in force
    Fehler,   // missing, damaged or not created from the template; reported, the previous one stays
};

// Opens the environment's current project database, first creating it from the template when it is missing
// (and then offering the migration when the older database lies beside it). Handle and path are replaced
// only when the new database opened.
ProjektOeffnung OpenProjektDB();
// gesperrt: True when the database was not opened (held by another user, or a failure already reported).
void OpenProjektDB(bool& gesperrt);

// True when the database at pfad cannot be opened exclusively now (locked, missing or damaged).
bool TestOpenDB(const QString& pfad);

// Lets the user choose another project in the project-administration program and switches to it; gewechselt
// becomes True only when another project's database was opened. A cancelled or refused choice keeps the
// previous project current, also in the environment.
void CallShowHoai(bool& gewechselt);
// The project-data mask of the project-administration program.
void CallShowProdat();

// Copies a file through a temporary name beside the target, so a failed copy leaves no partial target. Both
// names are reached from the target's folder without following links: a link at either is never written
// through, a target that is a link is refused, and a file that stands at the target already (another clerk
// made it meanwhile) is kept. zwischenDenSchritten (a test seam) runs before the copy is made ("anlegen")
// and before it takes the target's name ("umbenennen").
bool KopiereDatei(const QString& von, const QString& nach, QString* fehler = nullptr,
                  const std::function<void(const char* schritt)>& zwischenDenSchritten = {});

// German for every text Qt itself shows (context menus of text fields, file and message dialogs) and for
// every calendar and date, whatever the system's language. Call once the application exists, before any
// window. False when Qt's German catalogue is not installed; the locale is German all the same.
bool DeutscheOberflaeche();

// The program's own folders.
QString ProgrammDatenOrdner(); // delivered data: $VELU_DATA_DIR, else <folder of the executable>/data

enum class StartErgebnis { Laeuft, ZweiteInstanz, BueroFehler, StammDBFehler, LoginAbgelehnt };

struct StartOptionen {
    QString bueroOrdner;                               // office data folder
    QString programmDaten;                             // delivered data folder
    std::function<std::optional<Currency>()> leseMwSt; // the stored VAT rate; nullopt: unreadable
    std::function<void()> zeigeHauptfenster;
    std::function<void()> zeigeSplash;
    // Where this user's processes on this computer keep their locks; empty: the runtime folder
    // ($XDG_RUNTIME_DIR).
    QString laufzeitOrdner;
};

// The start-up sequence. lock receives the single-instance lock, which must live as long as the program: one
// per office folder in the user's runtime folder, so only the same user starting the program twice on the
// same computer ends silently (ZweiteInstanz); a lock that cannot be taken otherwise lets the program start
// without it. Returns Laeuft when the main window is up and the event loop should run; any other result ends
// the program (a second instance silently, the others after their message).
StartErgebnis Main(const StartOptionen& opt, std::unique_ptr<QLockFile>& lock);

} // namespace velu
