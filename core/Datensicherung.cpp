#include "core/Datensicherung.h"
#include "core/ProjektDeskriptor.h"

#include "core/DataSwap.h"
#include "core/DatabaseSetup.h"
#include "core/StartupRecovery.h"
#include "core/TableDeclaration.h"
#include "platform/archive/OfficeEntry.h"
#include "platform/archive/WorkFolder.h"
#include "platform/archive/WorkLock.h"
#include "platform/archive/ZipArchive.h"
#include "platform/db/Database.h"
#include "platform/db/DbError.h"
#include "platform/db/Recordset.h"
#include "platform/forms/MessageBox.h"
#include "platform/outside/Adressbuch.h"
#include "platform/outside/ProjektListe.h"
#include "platform/outside/ProjektUmgebung.h"
#include "platform/outside/Serienbriefe.h"

#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QStringList>

#include <sqlite3.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace velu {

namespace fs = std::filesystem;
using forms::MsgBox;
using forms::MsgButtons;
using forms::MsgIcon;
using forms::MsgResult;

namespace {

const QString Grad = QStringLiteral("°");
const QString Unlesbar = QStringLiteral("Die Datensicherung konnte nicht erfolgreich zurückgelesen werden.");

fs::path Fs(const QString& p) {
    return fs::path(p.toStdString());
}
QString Qs(const fs::path& p) {
    return QString::fromStdString(p.string());
}
QString Qs(const std::string& s) {
    return QString::fromStdString(s);
}

QString OhneSchraegstrich(QString p) {
    while (p.size() > 1 && (p.endsWith('/') || p.endsWith('\\')))
        p.chop(1);
    return p;
}

bool IstSqlite(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    char head[16] = {};
    in.read(head, sizeof head);
    return in.gcount() == 16 && std::string(head, 16) == std::string("SQLite format 3\0", 16);
}

// Lock files and rollback journals belong to a running database, not to its data.
bool Beiwerk(const fs::path& file) {
    const std::string n = file.filename().string();
    auto endsWith = [&](const char* s) {
        const std::string e(s);
        return n.size() >= e.size() && n.compare(n.size() - e.size(), e.size(), e) == 0;
    };
    return endsWith(".lck") || endsWith("-journal") || archive::IsWorkMarker(file);
}

bool IstDatenbankName(const fs::path& file) {
    return QString::fromStdString(file.extension().string()).compare(".mdb", Qt::CaseInsensitive) == 0;
}

// The databases whose kind and layout the program knows, by file name: its own, the project list, the
// address book and the serial letters.
enum class Art { Keine, Stamm, Projekt, Adressen, Briefe, Liste };

Art ArtNachName(const fs::path& file) {
    const QString n = QString::fromStdString(file.filename().string()).toUpper();
    if (n == "VELUDAT32.MDB") return Art::Stamm;
    if (n == "VELUVOR32.MDB" || n == "VELUPRO32.MDB") return Art::Projekt;
    if (n == "ZADRESS32.MDB") return Art::Adressen;
    if (n == "SERIENBRIEFE.MDB") return Art::Briefe;
    if (n == "PROJEKTE.MDB") return Art::Liste;
    return Art::Keine;
}

// Whether the database says it is of that kind (its _Meta row and main table).
bool SagtArt(db::Database& d, Art art) {
    switch (art) {
    case Art::Stamm:
        return DatabaseSetup::CheckMeta(d, DbKind::Stamm);
    case Art::Projekt:
        return DatabaseSetup::CheckMeta(d, DbKind::Projekt);
    case Art::Adressen:
        return outside::Adressbuch::IstAdressbuch(d);
    case Art::Briefe:
        return outside::Serienbriefe::IstSerienbriefe(d);
    default:
        return true;
    }
}

// A database's layout: its tables with their fields, the names of its other objects (views) and its
// triggers; names in capitals, as SQLite compares them, mapped to the names as written.
struct Aufbau {
    struct Tabelle {
        std::string name;
        std::map<std::string, std::string> felder;
    };
    std::map<std::string, Tabelle> tabellen;
    std::set<std::string> andere;               // views
    std::map<std::string, std::string> trigger; // name → SQL
    // The stored queries (name in capitals → name, SQL), where the database has them.
    std::optional<std::map<std::string, std::pair<std::string, std::string>>> abfragen;
};

std::vector<std::vector<std::string>> Zeilen(sqlite3* db, const char* sql, const std::string& param = {}) {
    std::vector<std::vector<std::string>> out;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK)
        throw db::DbError(std::string("Der Aufbau kann nicht gelesen werden: ") + sqlite3_errmsg(db));
    if (!param.empty()) sqlite3_bind_text(st, 1, param.c_str(), -1, SQLITE_TRANSIENT);
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            const auto* t = sqlite3_column_text(st, i);
            row.emplace_back(t ? reinterpret_cast<const char*>(t) : "");
        }
        out.push_back(std::move(row));
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
        throw db::DbError("Der Aufbau kann nicht gelesen werden: " + db::DbError::CodeText(rc));
    return out;
}

// Reads only the schema: no view is ever run.
Aufbau LeseAufbau(db::Database& d) {
    Aufbau a;
    for (const auto& row : Zeilen(d.Handle(), "SELECT type, name, sql FROM sqlite_master")) {
        const std::string& type = row[0];
        const std::string& name = row[1];
        if (type == "table") {
            Aufbau::Tabelle t{name, {}};
            for (const auto& f : Zeilen(d.Handle(), "SELECT name FROM pragma_table_info(?1)", name))
                t.felder[NameKey(f[0])] = f[0];
            a.tabellen[NameKey(name)] = std::move(t);
        } else if (type == "trigger") {
            a.trigger[NameKey(name)] = row[2];
        } else if (type != "index") {
            a.andere.insert(NameKey(name));
        }
    }
    // The program runs these: they are read as data here, never run.
    if (const auto it = a.tabellen.find("_QUERYDEFS");
        it != a.tabellen.end() && it->second.felder.count("NAME") && it->second.felder.count("SQL")) {
        a.abfragen.emplace();
        for (const auto& row : Zeilen(d.Handle(), "SELECT Name, SQL FROM _QueryDefs"))
            (*a.abfragen)[NameKey(row[0])] = {row[0], row[1]};
    }
    return a;
}

// What the database lacks of the layout the program makes (soll): every table a table with every field, and
// no trigger but the program's own. Extra tables and fields are allowed. Empty when nothing is wrong.
std::string Abweichung(const Aufbau& ist, const Aufbau& soll) {
    for (const auto& [key, t] : soll.tabellen) {
        if (key.rfind("SQLITE_", 0) == 0) continue;
        const auto it = ist.tabellen.find(key);
        if (it == ist.tabellen.end()) {
            if (ist.andere.count(key))
                return "Die Tabelle " + t.name + " ist keine Tabelle, sondern eine Abfrage.";
            return "Die Tabelle " + t.name + " fehlt.";
        }
        for (const auto& [feld, name] : t.felder)
            if (!it->second.felder.count(feld))
                return "In der Tabelle " + t.name + " fehlt das Feld " + name + ".";
    }
    for (const auto& [key, sql] : ist.trigger)
        if (const auto it = soll.trigger.find(key); it == soll.trigger.end() || it->second != sql)
            return "Der Trigger " + key + " stammt nicht von diesem Programm.";
    // The stored queries are the program's, not the office's: any other text would run as the program.
    if (soll.abfragen) {
        if (!ist.abfragen) return "Die Tabelle _QueryDefs fehlt.";
        for (const auto& [key, q] : *ist.abfragen)
            if (const auto it = soll.abfragen->find(key);
                it == soll.abfragen->end() || it->second.second != q.second)
                return "Die gespeicherte Abfrage " + q.first + " stammt nicht von diesem Programm.";
        for (const auto& [key, q] : *soll.abfragen)
            if (!ist.abfragen->count(key)) return "Die gespeicherte Abfrage " + q.first + " fehlt.";
    }
    return {};
}

// The layouts the program itself makes, each made once per check in a work folder that goes afterwards.
class Vorbilder {
public:
    // nullptr (with *error) when the program's own database of that kind cannot be made.
    const Aufbau* Von(Art art, std::string* error) {
        if (const auto it = aufbau_.find(art); it != aufbau_.end()) return &it->second;
        if (!ordner_) {
            ordner_ = archive::WorkFolder::Create(Fs(QDir::tempPath()), SnapshotPrefix, error);
            if (!ordner_) return nullptr;
        }
        const fs::path p = ordner_->Path() / ("vorbild" + std::to_string(aufbau_.size()));
        std::error_code ec;
        fs::create_directory(p, ec);
        std::unique_ptr<db::Database> d;
        QString fehler;
        switch (art) {
        case Art::Stamm:
            d = DatabaseSetup::CreateStammDB(p / "VELUDAT32.MDB", error);
            break;
        case Art::Projekt:
            d = DatabaseSetup::CreateProjektDB(p / "VELUPRO32.MDB", error);
            break;
        case Art::Adressen:
            if (auto b = outside::Adressbuch::Oeffnen(Qs(p / "ZADRESS32.MDB"), &fehler))
                d = db::Database::Open(p / "ZADRESS32.MDB");
            break;
        case Art::Briefe:
            if (auto b = outside::Serienbriefe::Oeffnen(Qs(p / "SERIENBRIEFE.MDB"), &fehler))
                d = db::Database::Open(p / "SERIENBRIEFE.MDB");
            break;
        default:
            if (outside::ProjektListe(Qs(p) + "/").Anlegen(&fehler))
                d = db::Database::Open(p / "Projekte.mdb");
            break;
        }
        if (!d) {
            if (error && error->empty()) *error = fehler.toStdString();
            return nullptr;
        }
        return &(aufbau_[art] = LeseAufbau(*d));
    }

private:
    std::unique_ptr<archive::WorkFolder> ordner_;
    std::map<Art, Aufbau> aufbau_;
};

// Copies a database through the backup API into target; empty on success.
std::string Schnappschuss(const fs::path& source, const fs::path& target) {
    std::string err;
    auto db = db::Database::Open(source, db::OpenMode::Shared, &err);
    if (!db) return err;
    sqlite3* out = nullptr;
    int rc = sqlite3_open_v2(target.c_str(), &out, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup* b = sqlite3_backup_init(out, "main", db->Handle(), "main");
        if (!b) {
            rc = sqlite3_errcode(out);
        } else {
            do {
                rc = sqlite3_backup_step(b, -1);
                if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) sqlite3_sleep(50);
            } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
            if (rc == SQLITE_DONE) rc = SQLITE_OK;
            sqlite3_backup_finish(b);
        }
    }
    sqlite3_close(out);
    if (rc != SQLITE_OK)
        return "Die Datenbank '" + source.string() +
               "' kann nicht gesichert werden: " + db::DbError::CodeText(rc);
    return {};
}

// Integrity, kind and layout of an unpacked database; empty when it is sound.
std::string PruefeDatenbank(const fs::path& file, Vorbilder& vorbilder) {
    const std::string name = file.filename().string();
    if (!IstSqlite(file)) return "Die Datenbank " + name + " ist keine gültige Datenbank.";
    std::string err;
    auto db = db::Database::Open(file, db::OpenMode::Exclusive, &err);
    if (!db) return err;
    try {
        auto rs = db->OpenRecordset("PRAGMA integrity_check");
        if (rs.Empty() || rs.GetText(rs.FieldNames().at(0)) != "ok")
            return "Die Datenbank " + name + " ist beschädigt.";
        const Art art = ArtNachName(file);
        if (art == Art::Keine) return {};
        const std::string keine = art == Art::Liste
                                      ? "Die Datenbank " + name + " ist keine Projektliste."
                                      : "Die Datenbank " + name + " ist keine Datenbank dieses Programms.";
        if (!SagtArt(*db, art) || (art == Art::Liste && !db->HasTable("PROJEKT"))) return keine;
        // A file of the right kind with other tables or fields would fail (or hang) in use.
        const Aufbau* soll = vorbilder.Von(art, &err);
        if (!soll) return "Die Datenbank " + name + " kann nicht geprüft werden: " + err;
        if (const std::string anders = Abweichung(LeseAufbau(*db), *soll); !anders.empty())
            return keine + " " + anders;
        // Keys, constraints and types of the program's own databases as the program declares them.
        if (art == Art::Stamm || art == Art::Projekt)
            if (const std::string anders =
                    DatabaseSetup::Abweichung(*db, art == Art::Stamm ? DbKind::Stamm : DbKind::Projekt);
                !anders.empty())
                return keine + " " + anders;
    } catch (const db::DbError& e) {
        return "Die Datenbank " + name + " ist beschädigt: " + e.what();
    }
    return {};
}

// Checks the program's own databases below folder; other files, an old Access file named *.mdb among them,
// are the office's and go back as they are.
std::string PruefeOrdner(const fs::path& folder) {
    Vorbilder vorbilder;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (!it->is_regular_file() || ArtNachName(it->path()) == Art::Keine) continue;
        std::string why = PruefeDatenbank(it->path(), vorbilder);
        if (!why.empty()) return why;
    }
    if (ec) return "Der Ordner '" + folder.string() + "' kann nicht gelesen werden: " + ec.message();
    return {};
}

// A file of folder whose name is name in any case, empty when there is none.
fs::path DateiIn(const fs::path& folder, const QString& name) {
    std::error_code ec;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator();
         it.increment(ec))
        if (Qs(it->path().filename()).compare(name, Qt::CaseInsensitive) == 0) return it->path();
    return {};
}

// Every project the unpacked project list names must come with its folder and database, else restoring
// would leave listed projects without their data. Empty when all are there.
std::string FehlendeProjekte(const fs::path& entpackt) {
    const fs::path liste = DateiIn(entpackt, "Projekte.mdb");
    std::string err;
    auto db = db::Database::Open(liste, db::OpenMode::Shared, &err);
    if (!db) return err;
    try {
        for (const auto& row : Zeilen(db->Handle(), "SELECT PrNr FROM PROJEKT ORDER BY PrNr")) {
            const QString nr = Qs(row[0]).trimmed();
            static const QRegularExpression ziffern(QStringLiteral("^[0-9]{1,8}$"));
            const QString ordner = ("00000000" + nr).right(8) + ".PRO";
            const fs::path o = ziffern.match(nr).hasMatch() ? DateiIn(entpackt, ordner) : fs::path();
            std::error_code ec;
            if (o.empty() || !fs::is_directory(o, ec) || DateiIn(o, "Velupro32.mdb").empty())
                return ("Die Datensicherung enthält das Projekt " + nr + " der Projektliste nicht (Ordner " +
                        ordner + " mit Velupro32.mdb).")
                    .toStdString();
        }
    } catch (const db::DbError& e) {
        return "Die Datenbank Projekte.mdb ist beschädigt: " + std::string(e.what());
    }
    return {};
}

// Gives the project folders of an unpacked all-projects archive the names the program opens
// ("00000001.PRO", whatever case the archive used). Empty, or why it cannot.
std::string ProjektOrdnerNamen(const fs::path& entpackt) {
    static const QRegularExpression projekt(QStringLiteral("^[0-9]{8}\\.pro$"),
                                            QRegularExpression::CaseInsensitiveOption);
    std::vector<std::pair<fs::path, fs::path>> umbenennen;
    std::set<std::string> namen;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(entpackt, ec)) {
        const QString n = Qs(e.path().filename());
        if (!e.is_directory() || !projekt.match(n).hasMatch()) continue;
        const QString soll = n.left(8) + ".PRO";
        if (!namen.insert(soll.toStdString()).second)
            return ("Die Datensicherung enthält den Projektordner " + soll +
                    " zweimal in verschiedener Schreibung.")
                .toStdString();
        if (soll != n) umbenennen.emplace_back(e.path(), entpackt / soll.toStdString());
    }
    for (const auto& [von, nach] : umbenennen)
        if (::renameat2(AT_FDCWD, von.c_str(), AT_FDCWD, nach.c_str(), RENAME_NOREPLACE) != 0)
            return "Der Ordner '" + von.filename().string() +
                   "' kann nicht umbenannt werden: " + archive::WriteErrorText(errno);
    return {};
}

// The checks of an unpacked archive of kind art (the first 8 characters of its descriptor) before it may
// replace anything; the same checks follow every backup. Empty, or why it cannot be restored.
std::string PruefeEntpackt(const QString& art, const fs::path& entpackt) {
    std::string why = art == "ALLEPROJ" ? ProjektOrdnerNamen(entpackt) : std::string();
    if (why.empty()) why = PruefeOrdner(entpackt);
    if (why.empty() && art == "ALLEPROJ") why = FehlendeProjekte(entpackt);
    return why;
}

// The place of the old data (a target, or one of the names its swap uses) that file lies in or is; empty
// when none. Links are resolved, so an archive reached through one is found too.
fs::path ErsetzterOrt(const fs::path& file, const std::vector<fs::path>& ziele) {
    std::error_code ec;
    const fs::path datei = fs::weakly_canonical(file, ec);
    if (ec) return {};
    for (const auto& z : ziele)
        for (const char* suffix : {"", ".neu", ".alt", ".neu-entpackt", ".arbeit"}) {
            const fs::path ort = fs::weakly_canonical(fs::path(z.string() + suffix), ec);
            if (ec) continue;
            const auto [ende, rest] = std::mismatch(ort.begin(), ort.end(), datei.begin(), datei.end());
            if (ende == ort.end()) return z;
        }
    return {};
}

// Takes an exclusive hold on every database below path (or path itself when a file), so nobody opens one of
// them between this check and the swap. Returns the path of a database another user holds, else nullopt.
std::optional<fs::path> Festhalten(const fs::path& path,
                                   std::vector<std::unique_ptr<db::Database>>& gehalten) {
    auto halte = [&](const fs::path& f) -> bool {
        // A link is no database of the office: it goes with the old data, nobody holds it through us.
        if (archive::IsLink(f) || !(IstDatenbankName(f) || IstSqlite(f))) return true;
        switch (db::Database::TestOpen(f)) {
        case db::LockState::Locked:
            return false;
        case db::LockState::Free:
            if (auto db = db::Database::Open(f, db::OpenMode::Exclusive)) {
                gehalten.push_back(std::move(db));
                return true;
            }
            return false; // taken in the meantime
        default:
            return true; // a damaged old file is replaced all the same
        }
    };
    std::error_code ec;
    if (fs::is_regular_file(path, ec)) return halte(path) ? std::nullopt : std::optional(path);
    if (!fs::is_directory(path, ec)) return std::nullopt;
    for (auto it = fs::recursive_directory_iterator(path, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec))
        if (it->is_regular_file() && !Beiwerk(it->path()) && !halte(it->path())) return it->path();
    return std::nullopt;
}

// Whether the archive's content fits into folder's free space, times faktor (single files are unpacked and
// then copied beside their targets); empty when it does, else the German reason.
std::string PlatzFuer(const fs::path& archiv, const fs::path& folder, int faktor,
                      const std::function<std::optional<std::uintmax_t>(const fs::path&)>& freierPlatz) {
    std::string err;
    const auto groesse = archive::UncompressedSize(archiv, &err);
    if (!groesse) return err;
    std::optional<std::uintmax_t> frei;
    if (freierPlatz) {
        frei = freierPlatz(folder);
    } else {
        std::error_code ec;
        const auto space = fs::space(folder, ec);
        if (!ec) frei = space.available;
    }
    const std::uintmax_t noetig = *groesse * static_cast<std::uintmax_t>(faktor);
    if (!frei || noetig <= *frei) return {};
    const QLocale de(QLocale::German, QLocale::Germany);
    auto mb = [&](std::uintmax_t n) {
        return de.toString(static_cast<double>(n) / (1024.0 * 1024.0), 'f', 1);
    };
    return ("Auf dem Datenträger ist nicht genug Platz frei: Das Zurücklesen braucht " + mb(noetig) +
            " MB, frei sind " + mb(*frei) + " MB.")
        .toStdString();
}

struct Einzeldatei {
    QString eintrag; // name in the archive
    fs::path ziel;   // configured path
};

bool GleicherName(const std::string& a, const QString& b) {
    return Qs(a).compare(b, Qt::CaseInsensitive) == 0;
}

// What a data set cannot do without, checked on the entry list before anything is asked or touched: a
// project needs its database, all projects need the project list and a database in every project folder, a
// single-file set its files. Returns the German reason, empty when nothing is missing.
QString FehltImArchiv(const QString& art, const std::vector<std::string>& eintraege) {
    auto hat = [&](const QString& name) {
        for (const auto& e : eintraege)
            if (GleicherName(e, name)) return true;
        return false;
    };
    auto fehlt = [](const QString& name) {
        return "Die Datensicherung enthält die Datei " + name + " nicht.";
    };
    QStringList noetig;
    if (art == "PROJEKT" + Grad) {
        noetig = {"Velupro32.mdb"};
    } else if (art == "ALLEPROJ") {
        noetig = {"Projekte.mdb"};
        QStringList ordner;
        for (const auto& e : eintraege) {
            const QString name = Qs(e);
            const qsizetype schnitt = name.indexOf('/');
            if (schnitt <= 0) continue;
            const QString o = name.left(schnitt);
            if (o.endsWith(".PRO", Qt::CaseInsensitive) && !ordner.contains(o)) ordner << o;
        }
        for (const QString& o : ordner)
            if (!hat(o + "/Velupro32.mdb"))
                return "Die Datensicherung enthält im Ordner " + o + " die Datei Velupro32.mdb nicht.";
    } else if (art == "VELUDATE") {
        noetig = {"VELUDAT32.MDB", "VELUVOR32.MDB"};
    } else if (art == "SERIENBR") {
        noetig = {"SERIENBRIEFE.MDB"};
    } else if (art == "ADRESSEN") {
        noetig = {"ZADRESS32.MDB"};
    }
    for (const QString& n : noetig)
        if (!hat(n)) return fehlt(n);
    return {};
}

// Whether an archive just written can be restored: the restore's checks, on a copy unpacked into a work
// folder. Empty, or why not.
std::string PruefeArchiv(const fs::path& archiv) {
    std::string err;
    const auto info = archive::ReadInfo(archiv, &err);
    if (!info) return err;
    const QString art = Qs(info->descriptor).left(8);
    const auto eintraege = archive::ListEntries(archiv, &err);
    if (!eintraege) return err;
    if (const QString fehlt = FehltImArchiv(art, *eintraege); !fehlt.isEmpty()) return fehlt.toStdString();
    const auto temp = archive::WorkFolder::Create(Fs(QDir::tempPath()), SnapshotPrefix, &err);
    if (!temp) return err;
    err = archive::ExtractAll(archiv, temp->Path());
    return err.empty() ? PruefeEntpackt(art, temp->Path()) : err;
}

// Copies the file name of the folder von to the new name ziel, made exclusively (whatever stands there, a
// link included, is refused, never written through); *st: the new file's identity. Empty, or why not.
std::string KopiereNeu(int von, const std::string& name, const fs::path& ziel, struct stat* st) {
    const archive::UniqueFd quelle = archive::OpenPlainFileAt(von, name);
    const archive::UniqueFd ordner = archive::OpenFolder(ziel.parent_path());
    archive::UniqueFd aus =
        ordner ? archive::CreateFileAt(ordner.Get(), ziel.filename().string()) : archive::UniqueFd();
    auto fehler = [&](int err) {
        return "Die Datei '" + ziel.string() + "' kann nicht geschrieben werden: " +
               (err == EEXIST ? std::string("An ihrer Stelle liegt schon etwas, das nicht zu dieser "
                                            "Rücksicherung gehört.")
                              : archive::WriteErrorText(err));
    };
    if (!quelle || !aus) return fehler(errno);
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(quelle.Get(), buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fehler(errno);
        if (n == 0) break;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(aus.Get(), buf + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w < 0) return fehler(errno);
            done += w;
        }
    }
    if (::fsync(aus.Get()) != 0 && errno != EINVAL) return fehler(errno);
    ::fstat(aus.Get(), st);
    return {};
}

// Where a backup writes its archive until it is checked: a marked name beside the archive.
constexpr const char* PruefPrefix = ".velusicherung-";

} // namespace

Datensicherung::Datensicherung(outside::ProjektUmgebung& umgebung, QString sysPfad, QWidget* owner)
    : umgebung_(umgebung), sysPfad_(std::move(sysPfad)), owner_(owner) {}

QString Datensicherung::Pfad(const char* einstellung, const char* datei) const {
    const QString p = umgebung_.PfadVonEinstellung(
        QString::fromLatin1(einstellung), OhneSchraegstrich(sysPfad_) + "/" + QString::fromLatin1(datei));
    return Qs(db::Database::ResolvePath(p.toStdString()));
}

bool Datensicherung::Fehler(const QString& title, const QString& text) const {
    MsgBox(owner_, text, MsgButtons::OK, MsgIcon::Critical, title);
    return false;
}

bool Datensicherung::CallSicherung(int nummer, const QString& archiv) {
    const QString title = QStringLiteral("Datensicherung");
    if (nummer < 1 || nummer > 5) nummer = 1;
    QString deskriptor;
    QString text;                     // what was saved, with its verb: "Die Adressen wurden"
    fs::path ordner;                  // folder data sets
    std::vector<Einzeldatei> dateien; // single-file data sets, stored under their usual names
    switch (nummer) {
    case AktuellesProjekt: {
        const auto p = umgebung_.AktProjekt();
        ordner = Fs(OhneSchraegstrich(umgebung_.ProjektOrdner()));
        deskriptor = ProjektDeskriptor(p.nummer, p.name);
        text = "Das Projekt " + p.nummer + " " + p.name + " wurde";
        break;
    }
    case AlleProjekte:
        ordner = Fs(OhneSchraegstrich(umgebung_.ProjekteOrdner()));
        deskriptor = "ALLEPROJEKE";
        text = "Alle Projekte wurden";
        break;
    case HoaiTabellen:
        dateien = {{"VELUDAT32.MDB", Fs(Pfad("VELUDATEN", "VELUDAT32.MDB"))},
                   {"VELUVOR32.MDB", Fs(Pfad("VELUVORLAGE", "VELUVOR32.MDB"))}};
        deskriptor = "VELUDATEN" + Grad + "VELUVORLAGE";
        text = "Die HOAI - Tabellen wurden";
        break;
    case Serienbriefe:
        dateien = {{"SERIENBRIEFE.MDB", Fs(Pfad("STDBRIEF", "SERIENBRIEFE.MDB"))}};
        deskriptor = "SERIENBRIEFE";
        text = "Die Serienbriefe wurden";
        break;
    default:
        dateien = {{"ZADRESS32.MDB", Fs(Pfad("ADRESSMDB", "ZADRESS32.MDB"))}};
        deskriptor = "ADRESSEN";
        text = "Die Adressen wurden";
        break;
    }

    const fs::path archivPfad = db::Database::ResolvePath(archiv.toStdString());
    std::vector<std::pair<std::string, fs::path>> quellen; // archive name, file
    std::error_code ec;
    if (nummer <= AlleProjekte) {
        if (ordner.empty() || !fs::is_directory(ordner, ec))
            return Fehler(title, "Die Datensicherung konnte nicht erstellt werden." + QString("\n") +
                                     "Der Ordner '" + Qs(ordner) + "' wurde nicht gefunden.");
        // Links are no data of the office: one would be left out or lead outside, and the archive could
        // not be restored as it was backed up.
        if (archive::IsLink(ordner))
            return Fehler(title, "Die Datensicherung konnte nicht erstellt werden." + QString("\n") +
                                     Qs(archive::LinkText(ordner)));
        for (auto it = fs::recursive_directory_iterator(ordner, ec);
             !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            const fs::path rel = it->path().lexically_relative(ordner);
            if (Beiwerk(it->path()) || IsSwapWork(ordner / *rel.begin())) continue;
            if (it->is_symlink())
                return Fehler(title, "Die Datensicherung konnte nicht erstellt werden." + QString("\n") +
                                         Qs(archive::LinkText(it->path())));
            if (!it->is_regular_file()) continue;
            std::error_code gleich;
            if (fs::equivalent(it->path(), archivPfad, gleich)) continue; // the archive itself
            quellen.emplace_back(rel.generic_string(), it->path());
        }
        if (ec)
            return Fehler(title, "Die Datensicherung konnte nicht erstellt werden." + QString("\n") +
                                     Qs(ec.message()));
    } else {
        for (const auto& d : dateien) {
            if (archive::IsLink(d.ziel))
                return Fehler(title, "Die Datensicherung konnte nicht erstellt werden." + QString("\n") +
                                         Qs(archive::LinkText(d.ziel)));
            if (!fs::is_regular_file(d.ziel, ec))
                return Fehler(title, "Die Datensicherung konnte nicht erstellt werden." + QString("\n") +
                                         "Die Datei '" + Qs(d.ziel) + "' wurde nicht gefunden.");
            quellen.emplace_back(d.eintrag.toStdString(), d.ziel);
        }
    }

    // Snapshots live in a work folder that goes on every way out; one that a killed backup left goes now.
    const fs::path tempOrdner = Fs(QDir::tempPath());
    archive::RemoveAbandonedWork(tempOrdner, SnapshotPrefix);
    std::string tempFehler;
    const auto temp = archive::WorkFolder::Create(tempOrdner, SnapshotPrefix, &tempFehler);
    if (!temp)
        return Fehler(title, "Die Datensicherung konnte nicht erstellt werden." + QString("\n") +
                                 "Es kann kein temporärer Ordner angelegt werden: " + Qs(tempFehler));
    std::vector<archive::ArchiveFile> files;
    int n = 0;
    for (const auto& [name, file] : quellen) {
        if (IstSqlite(file)) {
            const fs::path copy = temp->Path() / ("db" + std::to_string(n++));
            const std::string why = Schnappschuss(file, copy);
            if (!why.empty())
                return Fehler(title,
                              "Die Datensicherung konnte nicht erstellt werden." + QString("\n") + Qs(why));
            files.push_back({name, copy});
        } else {
            files.push_back({name, file});
        }
    }
    archive::ArchiveInfo info{deskriptor.toStdString(),
                              QDateTime::currentDateTime().toString("dd.MM.yyyy hh:mm:ss").toStdString()};
    // Written under a marked name beside the archive and checked as a restore would check it: only an
    // archive that can be restored takes the archive's name.
    const fs::path archivOrdner = archivPfad.parent_path().empty() ? fs::path(".") : archivPfad.parent_path();
    archive::RemoveAbandonedWork(archivOrdner, PruefPrefix);
    archive::RemoveAbandonedPartials(archivPfad);
    const auto pruef = archive::WorkLock::TakeNew(archivOrdner, PruefPrefix, &tempFehler);
    if (!pruef)
        return Fehler(title,
                      "Die Datensicherung konnte nicht erstellt werden." + QString("\n") + Qs(tempFehler));
    // The marker belongs to the check; the writer takes one of its own for the archive's name.
    const fs::path neuesArchiv = pruef->Item().string() + ".zip";
    struct Weg {
        fs::path p;
        ~Weg() { ::unlink(p.c_str()); }
    } wegDamit{neuesArchiv};
    std::string why = archive::WriteArchive(neuesArchiv, info, files);
    if (!why.empty())
        return Fehler(title, "Die Datensicherung konnte nicht erstellt werden." + QString("\n") + Qs(why));
    why = PruefeArchiv(neuesArchiv);
    if (!why.empty())
        return Fehler(title, "Die Datensicherung konnte nicht erstellt werden." + QString("\n") +
                                 "Das Archiv ließe sich nicht zurücklesen: " + Qs(why));
    if (::rename(neuesArchiv.c_str(), archivPfad.c_str()) != 0)
        return Fehler(title, "Die Datensicherung konnte nicht erstellt werden." + QString("\n") +
                                 "Das Archiv '" + Qs(archivPfad) +
                                 "' kann nicht geschrieben werden: " + Qs(archive::WriteErrorText(errno)));
    MsgBox(owner_, text + " in " + Qs(archivPfad) + " gesichert.", MsgButtons::OK, MsgIcon::Information,
           title);
    return true;
}

ProjektZiel Datensicherung::Checkpath(outside::ProjektUmgebung& umgebung, QString& nummerText,
                                      const QString& datum, const QString& title, QWidget* owner) {
    ProjektZiel z;
    const QString eingabe = nummerText.trimmed();
    bool ziffern = !eingabe.isEmpty() && eingabe.size() <= 8;
    for (QChar c : eingabe)
        ziffern = ziffern && c >= '0' && c <= '9';
    if (!ziffern) {
        // The number becomes a folder name: anything but digits is refused.
        MsgBox(owner, QStringLiteral("Die Projektnummer muss aus 1 bis 8 Ziffern bestehen."), MsgButtons::OK,
               MsgIcon::Critical, title);
        return z;
    }
    const QString nr = ("00000000" + eingabe).right(8);
    nummerText = nr;
    z.nummer = nr;
    const QString folder = umgebung.ProjekteOrdner() + nr + ".PRO";
    std::error_code ec;
    const bool vorhanden = fs::is_directory(Fs(folder), ec) && !fs::is_empty(Fs(folder), ec);
    if (vorhanden) {
        const QString frage = "Das Projekt " + nr + " ist schon vorhanden. Soll es mit der " + "\n" +
                              "Datensicherung vom " + datum + " überschrieben werden" + "\n" +
                              "Alle nach der Sicherung gemachten Änderungen werden gelöscht" + "\n" + "\n" +
                              "Sind Sie da wirklich sicher";
        switch (MsgBox(owner, frage, MsgButtons::YesNoCancel, MsgIcon::Question, title, 2)) {
        case MsgResult::Yes:
            z.ziel = folder;
            z.ueberschreiben = true;
            break;
        case MsgResult::No:
            break;
        default:
            z.abbruch = true;
            break;
        }
    } else {
        z.ziel = folder;
    }
    return z;
}

int TrageProjektEin(const QString& projekteOrdner, const QString& nummer, const QString& name) {
    const fs::path liste = Fs(projekteOrdner + "Projekte.mdb");
    auto db = db::Database::Open(db::Database::ResolvePath(liste.string()));
    if (!db) return SQLITE_CANTOPEN;
    try {
        db::Transaction t(*db);
        if (!db->HasTable("PROJEKT")) db->Execute("CREATE TABLE PROJEKT (PrNr TEXT, PRBZ TEXT)");
        db->Execute("CREATE UNIQUE INDEX IF NOT EXISTS Pindex ON PROJEKT (PrNr)");
        const auto nr = db::Params().Add(nummer.toStdString());
        auto rs = db->OpenRecordset("SELECT PrNr, PRBZ FROM PROJEKT WHERE PrNr = ?", nr);
        if (rs.Empty()) {
            rs.AddNew();
            rs.Set("PrNr", nummer.toStdString());
        } else {
            rs.Edit();
        }
        rs.Set("PRBZ", name.toStdString());
        rs.Update();
        t.Commit();
    } catch (const db::DbError& e) {
        return e.code() ? e.code() : SQLITE_ERROR;
    }
    return 0;
}

std::string ProjektEintragsNotiz(const QString& nummer, const QString& name) {
    // The name is one line of at most 30 characters; a line break in it would end the note.
    QString n = name;
    n.replace('\n', ' ').replace('\r', ' ');
    return ("eintrag=" + nummer + "\t" + n).toStdString();
}

std::optional<std::pair<QString, QString>> LeseProjektEintragsNotiz(const std::string& note) {
    const std::string kopf = "eintrag=";
    if (note.rfind(kopf, 0) != 0) return std::nullopt;
    const QString rest = Qs(note.substr(kopf.size()));
    const qsizetype tab = rest.indexOf('\t');
    if (tab <= 0) return std::nullopt;
    return std::pair(rest.left(tab), rest.mid(tab + 1));
}

bool Datensicherung::MakeProjekteintrag(const QString& nummer, const QString& name, const QString& caption) {
    const int code = TrageProjektEin(umgebung_.ProjekteOrdner(), nummer, name);
    if (code == 0) return true;
    return Fehler(caption, "Problem beim Eintragen des Projektes" + QString::number(code));
}

bool Datensicherung::SicherungBack(const QString& archiv, const QString& caption,
                                   const ProjektWahl& waehleProjekt) {
    const fs::path archivPfad = db::Database::ResolvePath(archiv.toStdString());
    const auto info = archive::ReadInfo(archivPfad);
    if (!info) return Fehler(caption, Unlesbar);
    QString deskriptor = Qs(info->descriptor);
    const QString datum = Qs(info->created);
    const QString art = deskriptor.left(8);
    const auto eintraege = archive::ListEntries(archivPfad);
    if (!eintraege) return Fehler(caption, Unlesbar);
    if (const QString fehlt = FehltImArchiv(art, *eintraege); !fehlt.isEmpty())
        return Fehler(caption, Unlesbar + "\n" + fehlt);

    QString genannt; // the thing named in the confirmation
    QString titel;   // caption of the messages about the restore
    fs::path ordner; // folder data sets: the folder replaced as a whole
    std::vector<Einzeldatei> dateien;
    ProjektZiel projekt;
    if (art == "PROJEKT" + Grad) {
        deskriptor += Grad + datum;
        if (!waehleProjekt) return false;
        const auto wahl = waehleProjekt(deskriptor);
        if (!wahl) return Fehler(caption, Unlesbar);
        projekt = *wahl;
        // Closing the dialog without a target is a cancel too.
        if (projekt.abbruch || projekt.ziel.isEmpty()) return false;
        ordner = Fs(OhneSchraegstrich(projekt.ziel));
        genannt = "das Projekt " + projekt.nummer;
        titel = "Zurückschreiben von Projekt " + projekt.nummer;
    } else if (art == "ALLEPROJ") {
        ordner = Fs(OhneSchraegstrich(umgebung_.ProjekteOrdner()));
        genannt = "die gesamten Projete";
        titel = "Zurückschreiben aller Projekte";
    } else if (art == "VELUDATE") {
        dateien = {{"VELUDAT32.MDB", Fs(Pfad("VELUDATEN", "VELUDAT32.MDB"))},
                   {"VELUVOR32.MDB", Fs(Pfad("VELUVORLAGE", "VELUVOR32.MDB"))}};
        genannt = "Die HOAI - Tabellen und Vorlagen ";
        titel = "Zurückschreiben der HOAI - Tabellen und Vorlagen";
    } else if (art == "SERIENBR") {
        dateien = {{"SERIENBRIEFE.MDB", Fs(Pfad("STDBRIEF", "SERIENBRIEFE.MDB"))}};
        genannt = "die Serienbriefe";
        titel = "Zurückschreiben der Serienbriefe";
    } else if (art == "ADRESSEN") {
        dateien = {{"ZADRESS32.MDB", Fs(Pfad("ADRESSMDB", "ZADRESS32.MDB"))}};
        genannt = "die Adressen";
        titel = "Zurückschreiben der Adressen";
    } else {
        return Fehler(caption, QStringLiteral("Die angegebene Datei ist keine gültige Datensicherung"));
    }

    auto misslungen = [&](const QString& why) {
        return Fehler(titel, "Die Datensicherung konnte nicht zurückgelesen werden." + QString("\n") + why +
                                 "\n" + "Die bisherigen Daten sind unverändert.");
    };
    std::vector<fs::path> ziele;
    if (!ordner.empty()) ziele.push_back(ordner);
    for (const auto& d : dateien)
        ziele.push_back(d.ziel);
    // Data that is a link is not the office's own: it is not replaced through the link.
    for (const auto& z : ziele)
        if (archive::IsLink(z)) return misslungen(Qs(archive::LinkText(z)));
    // The archive would go with the old data it replaces.
    if (const fs::path ort = ErsetzterOrt(archivPfad, ziele); !ort.empty())
        return misslungen("Die Datensicherung '" + Qs(archivPfad) + "' liegt in '" + Qs(ort) +
                          "', das beim Zurücklesen ersetzt wird. Bitte kopieren Sie sie zuerst an einen "
                          "anderen Ort.");

    const QString frage = "Sie wollen " + genannt + " mit der Datensicherung vom " + datum + "\n" +
                          "überschreiben. Alle nach der Sicherung gemachten Änderungen werden gelöscht" +
                          "\n" + "\n" + "Sind Sie da wirklich sicher";
    if (MsgBox(owner_, frage, MsgButtons::OKCancel, MsgIcon::Question, titel, 1) != MsgResult::OK)
        return false;

    // The swap keeps other restores of the targets out and first recovers what a dead one left; the files of
    // one data set go in all together or not at all.
    std::string err;
    const auto tausch = SwapSet::Begin(ziele, &err);
    if (!tausch) return misslungen(Qs(err));
    // Nothing is replaced that another user holds open.
    std::vector<std::unique_ptr<db::Database>> gehalten;
    for (const auto& z : ziele)
        if (auto belegt = Festhalten(z, gehalten))
            return misslungen("Die Datei '" + Qs(*belegt) + "' wird von einem anderen Benutzer verwendet.");

    // Unpacked beside the target, so the swap is a rename within one file system: a folder data set right
    // into its staged folder, single files into a folder beside the first and then staged beside each. The
    // folder is made exclusively and then used only through its descriptor: a co-worker who moves it aside
    // or puts a link in its place redirects nothing, and the swap finds that it is no longer ours.
    const fs::path entpackt = ordner.empty() ? (*tausch)[0].Unpacked() : (*tausch)[0].Staged();
    std::string why = PlatzFuer(archivPfad, entpackt.parent_path(), ordner.empty() ? 2 : 1, freierPlatz);
    if (!why.empty()) return misslungen(Qs(why));
    const archive::UniqueFd eltern = archive::OpenFolder(entpackt.parent_path());
    archive::UniqueFd arbeit =
        eltern ? archive::CreateFolderAt(eltern.Get(), entpackt.filename().string()) : archive::UniqueFd();
    if (!arbeit)
        return misslungen(
            "Der Ordner '" + Qs(entpackt) + "' kann nicht angelegt werden: " +
            Qs(errno == EEXIST ? std::string("er ist schon vorhanden") : archive::WriteErrorText(errno)));
    struct stat arbeitSt {};
    ::fstat(arbeit.Get(), &arbeitSt);
    struct Weg {
        int eltern = -1;
        std::string name;
        struct stat st {};
        ~Weg() {
            if (const auto e = archive::EntryAt(eltern, name); e && archive::SameEntry(*e, st))
                archive::RemoveAt(eltern, name);
        }
    } wegDamit;
    if (ordner.empty()) {
        wegDamit.eltern = eltern.Get();
        wegDamit.name = entpackt.filename().string();
        wegDamit.st = arbeitSt;
    } else {
        (*tausch)[0].NoteStaged(arbeitSt);
    }
    why = archive::ExtractAllAt(archivPfad, arbeit.Get(), entpackt, schreiben);
    if (!why.empty()) return misslungen(Qs(why));
    const fs::path durch = archive::PathOf(arbeit.Get());

    // Single files: each archive entry, whatever the case of its name, to its own configured path.
    std::error_code ec;
    std::vector<std::string> neu(dateien.size());
    for (size_t i = 0; i < dateien.size(); ++i) {
        for (const auto& e : fs::directory_iterator(durch, ec))
            if (e.is_regular_file() &&
                Qs(e.path().filename()).compare(dateien[i].eintrag, Qt::CaseInsensitive) == 0)
                neu[i] = e.path().filename().string();
        if (neu[i].empty())
            return misslungen("Die Datensicherung enthält die Datei " + dateien[i].eintrag + " nicht.");
    }
    why = PruefeEntpackt(art, durch);
    if (why.empty() && nachDemEntpacken) why = nachDemEntpacken(Qs(entpackt));
    if (!why.empty()) return misslungen(Qs(why));
    for (size_t i = 0; i < dateien.size(); ++i) {
        const fs::path staged = (*tausch)[i].Staged();
        why = KopiereNeu(arbeit.Get(), neu[i], staged, &arbeitSt);
        if (!why.empty()) return misslungen(Qs(why));
        (*tausch)[i].NoteStaged(arbeitSt);
    }
    // Gone before the swap: once the first file's marker goes, nothing marks the folder as work any more.
    if (ordner.empty()) {
        archive::RemoveAt(eltern.Get(), entpackt.filename().string());
        wegDamit.eltern = -1;
    }

    // A restored project gets its entry in the project list even when the program dies right after the swap.
    const bool projektArt = art == "PROJEKT" + Grad;
    if (projektArt && !(*tausch)[0].SetNote(ProjektEintragsNotiz(projekt.nummer, projekt.name)))
        return misslungen("Die Arbeitsnotiz neben '" + Qs(ordner) + "' kann nicht geschrieben werden.");

    why = tausch->Swap(zwischenDenSchritten, !ohneAustausch);
    if (!why.empty()) return misslungen(Qs(why));
    gehalten.clear();
    if (projektArt) MakeProjekteintrag(projekt.nummer, projekt.name, caption);
    tausch->Finish(zwischenDenSchritten);

    MsgBox(owner_, QStringLiteral("Die Datensicherung wurde erfolgreich zurückgelesen."), MsgButtons::OK,
           MsgIcon::Information, titel);
    return true;
}

} // namespace velu
