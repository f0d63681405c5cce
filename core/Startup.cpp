#include "core/Startup.h"

#include "core/StartupRecovery.h"

#include "core/AppState.h"
#include "core/Benutzer.h"
#include "core/DatabaseSetup.h"
#include "core/ErsterStart.h"
#include "core/LogIn.h"
#include "core/LoginProvider.h"
#include "core/Migration.h"
#include "core/MwSt.h"
#include "platform/archive/OfficeEntry.h"
#include "platform/archive/ZipArchive.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/QueryDef.h"
#include "platform/db/Recordset.h"
#include "platform/forms/MessageBox.h"
#include "platform/outside/AussenProgramme.h"
#include "platform/outside/IniUmgebung.h"
#include "platform/outside/ProjektListe.h"
#include "platform/outside/ProjektUmgebung.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QLocale>
#include <QLockFile>
#include <QStandardPaths>
#include <QTranslator>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velu {

using forms::MsgBox;
using forms::MsgButtons;
using forms::MsgIcon;

namespace {
std::filesystem::path Fs(const QString& p) {
    return std::filesystem::path(p.toStdString());
}
QString Qs(const std::filesystem::path& p) {
    return QString::fromStdString(p.string());
}

QString HauptCaption() {
    QWidget* w = App().Hauptfenster();
    return w ? w->windowTitle() : QString();
}
} // namespace

QString ProgrammDatenOrdner() {
    const QString env = qEnvironmentVariable("VELU_DATA_DIR");
    if (!env.isEmpty()) return QDir::cleanPath(env);
    return QCoreApplication::applicationDirPath() + QStringLiteral("/data");
}

bool KopiereDatei(const QString& von, const QString& nach, QString* fehler,
                  const std::function<void(const char* schritt)>& zwischenDenSchritten) {
    const std::filesystem::path ziel = Fs(nach);
    const std::string name = ziel.filename().string();
    const std::string kopie = name + ".kopie";
    auto scheitert = [&](const std::string& text) {
        if (fehler) *fehler = QString::fromStdString(text);
        return false;
    };
    auto schreibfehler = [&](const std::string& datei, int err) {
        return scheitert("Die Datei '" + datei +
                         "' kann nicht geschrieben werden: " + archive::WriteErrorText(err));
    };
    auto lesefehler = [&](int err) {
        const std::string datei = "Die Datei '" + von.toStdString() + "' ";
        if (err == ENOENT) return scheitert(datei + "fehlt.");
        if (err == EINVAL) return scheitert(datei + "ist keine gewöhnliche Datei.");
        return scheitert(datei + "kann nicht gelesen werden: " + archive::WriteErrorText(err));
    };
    auto schritt = [&](const char* s) {
        if (zwischenDenSchritten) zwischenDenSchritten(s);
    };
    // The folder is opened once and everything below goes relative to it: a co-worker's link at either name
    // is never written through, and the copy never lands in a folder swapped in meanwhile.
    const archive::UniqueFd ordner = archive::OpenFolder(ziel.parent_path());
    if (!ordner) {
        const int err = errno;
        if (archive::IsLink(ziel.parent_path())) return scheitert(archive::LinkText(ziel.parent_path()));
        if (err == ENOENT) return scheitert("Der Ordner '" + ziel.parent_path().string() + "' fehlt.");
        return schreibfehler(nach.toStdString(), err);
    }
    const int d = ordner.Get();
    // What stands at the target (a database another clerk made meanwhile) is kept; a link is refused.
    auto stehtSchon = [&]() {
        const auto st = archive::EntryAt(d, name);
        if (st && S_ISLNK(st->st_mode)) return scheitert(archive::LinkText(ziel));
        if (st && S_ISREG(st->st_mode)) return true;
        return schreibfehler(nach.toStdString(), EEXIST);
    };
    if (archive::EntryAt(d, name)) return stehtSchon();

    ::unlinkat(d, kopie.c_str(), 0); // an interrupted copy's leftover; a link goes as a link
    schritt("anlegen");
    // The template may be delivered through a link; it is only read, and only when it is a plain file.
    const archive::UniqueFd quelle(::open(Fs(von).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat qst {};
    if (!quelle || ::fstat(quelle.Get(), &qst) != 0 || !S_ISREG(qst.st_mode))
        return lesefehler(quelle ? EINVAL : errno);
    ::fcntl(quelle.Get(), F_SETFL, ::fcntl(quelle.Get(), F_GETFL) & ~O_NONBLOCK);
    archive::UniqueFd aus = archive::CreateFileAt(d, kopie, qst.st_mode & 0777);
    if (!aus) {
        const int err = errno;
        const auto st = archive::EntryAt(d, kopie);
        if (st && S_ISLNK(st->st_mode)) return scheitert(archive::LinkText(ziel.parent_path() / kopie));
        return schreibfehler((ziel.parent_path() / kopie).string(), err);
    }
    struct stat unsere {};
    ::fstat(aus.Get(), &unsere);
    auto istUnsere = [&](const std::string& n) {
        const auto st = archive::EntryAt(d, n);
        return st && archive::SameEntry(*st, unsere);
    };
    auto verwirf = [&](bool ok) {
        if (istUnsere(kopie)) ::unlinkat(d, kopie.c_str(), 0);
        return ok;
    };
    ::fchmod(aus.Get(), qst.st_mode & 0777); // as the template's, whatever the umask
    char puffer[65536];
    for (;;) {
        const ssize_t n = ::read(quelle.Get(), puffer, sizeof puffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return verwirf(lesefehler(errno));
        if (n == 0) break;
        for (ssize_t fertig = 0; fertig < n;) {
            const ssize_t w = ::write(aus.Get(), puffer + fertig, static_cast<size_t>(n - fertig));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) return verwirf(schreibfehler(nach.toStdString(), errno));
            fertig += w;
        }
    }
    if (::fsync(aus.Get()) != 0 && errno != EINVAL) return verwirf(schreibfehler(nach.toStdString(), errno));
    schritt("umbenennen");
    if (!istUnsere(kopie))
        return scheitert(
            "Die Kopie '" + (ziel.parent_path() / kopie).string() +
            "' wurde während des Kopierens verschoben oder durch etwas anderes ersetzt. Es wurde "
            "nichts angelegt; bitte prüfen Sie den Ordner '" +
            ziel.parent_path().string() + "'.");
    if (archive::RenameFree(d, kopie, name) != 0) {
        const int err = errno;
        verwirf(false);
        return err == EEXIST ? stehtSchon() : schreibfehler(nach.toStdString(), err);
    }
    ::fsync(d);
    return true;
}

bool SupervisorLogin::Login(db::Database& stammDB, int, int, QString& benutzer, int32_t& rechte) {
    if (!annehmen_) return false;
    benutzer = SupervisorName;
    std::string passwort;
    rechte = 0;
    GetAkPasswort(stammDB, benutzer, rechte, passwort);
    return true;
}

bool DialogLogin::Login(db::Database& stammDB, int mitBenutzer, int mitPasswort, QString& benutzer,
                        int32_t& rechte) {
    auto r =
        RunLogin(stammDB, App().Hauptfenster(), mitBenutzer != 0, mitPasswort != 0, &App().Einstellungen());
    if (!r) return false;
    benutzer = r->benutzer;
    rechte = r->rechte;
    return true;
}

bool OpenStammDB() {
    AppState& app = App();
    const QString pfad = app.StammDBPfad();
    std::string err;
    std::shared_ptr<db::Database> db =
        DatabaseSetup::OpenChecked(Fs(pfad), DbKind::Stamm, db::OpenMode::Shared, &err);
    if (!db) {
        // The error numbers of the original database engine: file not found, unrecognised format.
        const int nummer = QFileInfo::exists(pfad) ? 3343 : 3024;
        MsgBox(nullptr, "Es ist ein Fehler beim öffnen von " + pfad + " aufgetreten " + "\n" +
                            QString::fromStdString(err) + "\n" + "Fehlernummer " + QString::number(nummer));
        return false;
    }
    app.SetStammDB(std::move(db));
    return true;
}

bool TestOpenDB(const QString& pfad) {
    return db::Database::TestOpen(Fs(pfad)) != db::LockState::Free;
}

ProjektOeffnung OpenProjektDB() {
    AppState& app = App();
    outside::ProjektUmgebung& u = app.Umgebung();
    QWidget* owner = app.Hauptfenster();
    if (u.AktProjekt().nummer.isEmpty()) {
        MsgBox(owner, "Es ist kein Projekt ausgewählt.", MsgButtons::OK, MsgIcon::Exclamation);
        return ProjektOeffnung::Fehler;
    }
    const QString ordner = u.ProjektOrdner();
    // A database stored under another case of its name is the project's own, not one to create beside it.
    const QString pfad =
        Qs(db::Database::ResolvePath((ordner + QStringLiteral("/Velupro32.mdb")).toStdString()));

    // A project folder or database that is a link is not the office's: nothing is made or opened through it.
    for (QString p : {ordner, pfad}) {
        while (p.size() > 1 && p.endsWith('/'))
            p.chop(1);
        if (archive::IsLink(Fs(p))) {
            MsgBox(owner,
                   "Die Projektdatenbank " + pfad + " kann nicht geöffnet werden." + "\n" +
                       QString::fromStdString(archive::LinkText(Fs(p))),
                   MsgButtons::OK, MsgIcon::Critical);
            return ProjektOeffnung::Fehler;
        }
    }

    if (!u.DateiExistiert(pfad)) {
        // Only a listed project gets its database on first opening; a number the list does not show (its
        // project went with a restore of older data) would become a project nobody can find.
        QString fehler;
        const auto liste = outside::ProjektListe(u.ProjekteOrdner()).Liste(&fehler);
        const QString nummer = u.AktProjekt().nummer;
        const bool gelistet =
            liste && std::any_of(liste->begin(), liste->end(),
                                 [&](const outside::ProjektEintrag& e) { return e.nummer == nummer; });
        if (!gelistet) {
            MsgBox(owner,
                   liste
                       ? "Das Projekt " + nummer + " steht nicht in der Projektliste; seine Datenbank wird " +
                             "nicht neu angelegt. Bitte wählen Sie ein Projekt aus der Liste."
                       : "Die Projektliste konnte nicht gelesen werden; die Datenbank des Projekts " +
                             nummer + " wird daher nicht angelegt.\n" + fehler,
                   MsgButtons::OK, MsgIcon::Exclamation);
            return ProjektOeffnung::Fehler;
        }
        const QString vorlage = u.PfadVonEinstellung("VELUVORLAGE", app.SysPfad() + "/VELUVOR32.MDB");
        if (!QDir().mkpath(ordner) || !KopiereDatei(vorlage, pfad, &fehler)) {
            MsgBox(owner,
                   "Die Projektdatenbank " + pfad + " konnte nicht aus der Vorlage " + vorlage +
                       " angelegt werden." + "\n" + fehler,
                   MsgButtons::OK, MsgIcon::Critical);
            return ProjektOeffnung::Fehler;
        }
        const QString alt =
            Qs(db::Database::ResolvePath((ordner + QStringLiteral("/VELUPRO.MDB")).toStdString()));
        if (u.DateiExistiert(alt)) {
            if (app.Migration()) {
                app.Migration()(alt, pfad);
            } else {
                Migration::UpdateAltDaten(
                    Fs(alt), Fs(pfad),
                    [owner](const std::string& text) {
                        return MsgBox(owner, QString::fromStdString(text), MsgButtons::YesNo,
                                      MsgIcon::Question,
                                      QString::fromUtf8(Migration::Titel)) == forms::MsgResult::Yes;
                    },
                    [owner](const std::string& text) {
                        MsgBox(owner, QString::fromStdString(text), MsgButtons::OK, MsgIcon::Critical,
                               QString::fromUtf8(Migration::Titel));
                    });
            }
            // A failed migration removes the new database and has said why; the next start tries again.
            if (!u.DateiExistiert(pfad)) return ProjektOeffnung::Fehler;
        }
    }

    switch (db::Database::TestOpen(Fs(pfad))) {
    case db::LockState::Free:
        break;
    case db::LockState::Locked:
        return ProjektOeffnung::Gesperrt;
    case db::LockState::Missing:
        MsgBox(owner, "Die Projektdatenbank " + pfad + " wurde nicht gefunden.", MsgButtons::OK,
               MsgIcon::Critical);
        return ProjektOeffnung::Fehler;
    case db::LockState::Damaged:
        MsgBox(owner, "Die Projektdatenbank " + pfad + " ist beschädigt und kann nicht geöffnet werden.",
               MsgButtons::OK, MsgIcon::Critical);
        return ProjektOeffnung::Fehler;
    }

    std::string err;
    std::shared_ptr<db::Database> db =
        DatabaseSetup::OpenChecked(Fs(pfad), DbKind::Projekt, db::OpenMode::Shared, &err);
    if (!db) {
        MsgBox(owner,
               "Die Projektdatenbank " + pfad + " konnte nicht geöffnet werden." + "\n" +
                   QString::fromStdString(err),
               MsgButtons::OK, MsgIcon::Critical);
        return ProjektOeffnung::Fehler;
    }
    app.SetProjekt(std::move(db), pfad);
    return ProjektOeffnung::Offen;
}

void OpenProjektDB(bool& gesperrt) {
    gesperrt = OpenProjektDB() != ProjektOeffnung::Offen;
}

void CallShowHoai(bool& gewechselt) {
    AppState& app = App();
    auto prog = app.Programme().CreateProjektVerwaltung();
    if (!prog) return;
    prog->SetPxEntry(51);
    outside::ProjektUmgebung& u = app.Umgebung();
    const outside::ProjektInfo vorher = u.AktProjekt();
    QString nr = vorher.nummer;
    int abbruch = 0;
    bool offen = false;
    for (;;) {
        const int ergebnis = prog->ShowHoai(nr, QString(), 0, 0, abbruch);
        if (abbruch != 0 || ergebnis == 0) break;
        const outside::ProjektInfo neu = u.AktProjekt();
        if (neu.nummer == nr) break;
        const ProjektOeffnung r = OpenProjektDB();
        if (r == ProjektOeffnung::Offen) {
            gewechselt = true;
            offen = true;
            break;
        }
        if (r == ProjektOeffnung::Gesperrt)
            MsgBox(app.Hauptfenster(),
                   "Diese HOAI- Berechnung in Projekt Nr :" + neu.nummer + " wird" + "\n" +
                       "momentan von einem anderen Benutzer bearbeitet." + "\n" + "\n" +
                       "Die Berechnung kan daher nicht geöffner werden",
                   MsgButtons::OK, MsgIcon::Critical, HauptCaption());
        nr = vorher.nummer;
    }
    // The project program made its choice current already; a switch that did not happen takes it back, so
    // the environment names the project whose database is in force.
    if (!offen && u.AktProjekt().nummer != vorher.nummer) u.SetAktProjekt(vorher.nummer, vorher.name);
}

void CallShowProdat() {
    auto prog = App().Programme().CreateProjektVerwaltung();
    if (!prog) return;
    prog->SetPxEntry(51);
    prog->ShowProdat(1);
}

namespace {

// Takes the single-instance lock. Several clerks share the office folder, so the lock lies where only this
// user's processes on this computer reach it; a lock that cannot be made (no runtime folder, a full disk)
// is no second instance.
StartErgebnis EinzelnStarten(const StartOptionen& opt, std::unique_ptr<QLockFile>& lock) {
    const QString ordner = opt.laufzeitOrdner.isEmpty()
                               ? QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation)
                               : opt.laufzeitOrdner;
    if (ordner.isEmpty()) return StartErgebnis::Laeuft;
    const QString name = "Velunta32-" + outside::BueroSchluessel(opt.bueroOrdner) + ".lock";
    lock = std::make_unique<QLockFile>(ordner + "/" + name);
    // The lock lives as long as the program; only a dead owner makes it stale.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) return StartErgebnis::Laeuft;
    const bool gehalten = lock->error() == QLockFile::LockFailedError;
    lock.reset();
    return gehalten ? StartErgebnis::ZweiteInstanz : StartErgebnis::Laeuft;
}

} // namespace

StartErgebnis Main(const StartOptionen& opt, std::unique_ptr<QLockFile>& lock) {
    AppState& app = App();
    if (!QDir().mkpath(opt.bueroOrdner)) {
        MsgBox(nullptr, "Der Datenordner " + opt.bueroOrdner + " konnte nicht angelegt werden.",
               MsgButtons::OK, MsgIcon::Critical);
        return StartErgebnis::BueroFehler;
    }
    if (EinzelnStarten(opt, lock) == StartErgebnis::ZweiteInstanz) return StartErgebnis::ZweiteInstanz;

    if (!app.HatUmgebung()) {
        const QString ini = opt.bueroOrdner + QStringLiteral("/umgebung.ini");
        if (!QFileInfo::exists(ini)) {
            QString fehler;
            if (!RichteBueroEin(opt.bueroOrdner, opt.programmDaten, &fehler)) {
                MsgBox(nullptr,
                       "Der Datenordner konnte nicht eingerichtet werden." + QStringLiteral("\n") + fehler,
                       MsgButtons::OK, MsgIcon::Critical);
                return StartErgebnis::BueroFehler;
            }
        }
        app.SetUmgebung(app.NeueUmgebung(opt.bueroOrdner));
    }

    std::optional<Currency> mwst = opt.leseMwSt ? opt.leseMwSt() : std::nullopt;
    app.SetMwStSatz(mwst.value_or(StandardMwStSatz()));

    app.SetPfade(opt.programmDaten + QStringLiteral("/reports/HOAI"),
                 opt.bueroOrdner + QStringLiteral("/STD_SYS"), QStringLiteral("qrc:/help/index.html"));

    RecoverAfterCrash(app.Umgebung(), app.SysPfad(), &app.Einstellungen());
    app.SetStammDBPfad(app.Umgebung().PfadVonEinstellung("VELUDATEN", app.SysPfad() + "/VELUDAT32.MDB"));
    if (!OpenStammDB()) return StartErgebnis::StammDBFehler;

    int mitBenutzer = 0, mitPasswort = 0;
    try {
        mitBenutzer = IsMitBenutzer(*app.StammDB()) ? 1 : 0;
        mitPasswort = IsMitPasswort(*app.StammDB());
    } catch (const db::DbError& e) {
        MsgBox(nullptr, MeldungBenutzerUnlesbar + "\n" + QString::fromUtf8(e.what()), MsgButtons::OK,
               MsgIcon::Critical);
        return StartErgebnis::StammDBFehler;
    }
    if (mitBenutzer != 0 || mitPasswort != 0) {
        QString benutzer;
        int32_t rechte = 0;
        if (!app.Login().Login(*app.StammDB(), mitBenutzer, mitPasswort, benutzer, rechte))
            return StartErgebnis::LoginAbgelehnt;
        app.SetBenutzer(benutzer, rechte);
    } else {
        int32_t rechte = 0;
        std::string passwort;
        try {
            GetAkPasswort(*app.StammDB(), SupervisorName, rechte, passwort);
        } catch (const db::DbError& e) {
            // The program still starts as before, but says why it has no rights.
            rechte = 0;
            MsgBox(nullptr,
                   MeldungBenutzerUnlesbar + "\n" + QString::fromUtf8(e.what()) + "\n" +
                       "Das Programm startet als SUPERVISOR ohne Rechte.",
                   MsgButtons::OK, MsgIcon::Critical);
        }
        app.SetBenutzer(SupervisorName, rechte);
    }

    bool gesperrt = false;
    OpenProjektDB(gesperrt);
    if (opt.zeigeHauptfenster) opt.zeigeHauptfenster();
    if (gesperrt) {
        bool gewechselt = false;
        CallShowHoai(gewechselt);
    }
    if (opt.zeigeSplash) opt.zeigeSplash();
    return StartErgebnis::Laeuft;
}

bool DeutscheOberflaeche() {
    const QLocale deutsch(QLocale::German, QLocale::Germany);
    QLocale::setDefault(deutsch);
    QCoreApplication* app = QCoreApplication::instance();
    if (!app) return false;
    const QString name = QStringLiteral("qtbase_de");
    auto* qt = app->findChild<QTranslator*>(name, Qt::FindDirectChildrenOnly);
    if (!qt) {
        qt = new QTranslator(app);
        qt->setObjectName(name);
        if (!qt->load(deutsch, QStringLiteral("qtbase"), QStringLiteral("_"),
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            delete qt;
            return false;
        }
    }
    QCoreApplication::installTranslator(qt);
    return true;
}

} // namespace velu
