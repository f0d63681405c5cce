// A restore killed between the steps of its swap, and what killed backups and restores leave behind: the next
// start puts a whole project back and removes what belongs to no running process.
#include "StartupFakes.h"

#include "WorkFolderNames.h"
#include "core/DataSwap.h"
#include "core/Datensicherung.h"
#include "core/Startup.h"
#include "core/StartupRecovery.h"
#include "platform/archive/ZipArchive.h"
#include "platform/forms/MessageBox.h"
#include "platform/outside/ProjektListe.h"
#include "platform/settings/SettingsStore.h"

#include <QLockFile>
#include <optional>

#include <algorithm>
#include <map>
#include <set>

#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing_velu;
using velu::App;
using velu::forms::MessageBoxScript;
using velu::forms::MsgResult;
namespace fs = std::filesystem;

namespace {

constexpr int Berechnungen = 400;

// Every calculation's name, "" when the project database is not open.
std::set<std::string> Namen(velu::db::Database* db, size_t* anzahl) {
    std::set<std::string> out;
    *anzahl = 0;
    if (!db) return out;
    auto rs = db->OpenRecordset("SELECT ReBezeichnung FROM BeReList");
    for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext(), ++*anzahl)
        out.insert(rs.GetText("ReBezeichnung").substr(0, 3));
    return out;
}

void SetzeNamen(const QString& datei, const std::string& was) {
    auto db = velu::db::Database::Open(Fs(datei));
    ASSERT_TRUE(db);
    velu::db::Transaction t(*db);
    db->Execute("DELETE FROM BeReList");
    for (int i = 0; i < Berechnungen; ++i) {
        const velu::db::Value name = was + " Berechnung " + std::to_string(i);
        db->Execute("INSERT INTO BeReList (ReBezeichnung) VALUES (?)", velu::db::Params().Add(name));
    }
    t.Commit();
}

// A mark in the master database, to tell the old one from the restored one.
void Marke(const QString& datei, const std::string& wert) {
    auto db = velu::db::Database::Open(Fs(datei));
    ASSERT_TRUE(db);
    db->Execute("CREATE TABLE IF NOT EXISTS Marke (Wert TEXT)");
    db->Execute("DELETE FROM Marke");
    const velu::db::Value w = wert;
    db->Execute("INSERT INTO Marke (Wert) VALUES (?)", velu::db::Params().Add(w));
}

std::string MarkeVon(velu::db::Database& db) {
    auto rs = db.OpenRecordset("SELECT Wert FROM Marke");
    return rs.Empty() ? "" : rs.GetText("Wert");
}

// Names in the projects folder other than the projects, the list and lock files.
std::vector<std::string> Fremdes(const QString& projekte) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(Fs(projekte))) {
        const std::string n = e.path().filename().string();
        if (n == "00000001.PRO" || n == "00000002.PRO" || n == "Projekte.mdb" ||
            e.path().extension() == ".lck")
            continue;
        out.push_back(n);
    }
    return out;
}

struct Buero400 : Buero {
    QTemporaryDir temp;
    // Unset before stays unset: an empty TMPDIR makes later tests of the process fail to find a temp folder.
    std::optional<QByteArray> tmpVorher =
        qEnvironmentVariableIsSet("TMPDIR") ? std::optional(qgetenv("TMPDIR")) : std::nullopt;
    std::shared_ptr<velu::settings::SettingsStore> store =
        std::make_shared<velu::settings::SettingsStore>(tmp.path() + "/einstellungen.ini");

    Buero400() {
        SetzeNamen(ProjektDB("00000001"), "neu");
        velu::outside::ProjektListe(projekte).Anlegen();
        velu::outside::ProjektListe(projekte).Eintragen("00000001", "Erstes");
        qputenv("TMPDIR", temp.path().toUtf8());
        App().SetEinstellungen(store);
    }
    ~Buero400() {
        if (tmpVorher)
            qputenv("TMPDIR", *tmpVorher);
        else
            qunsetenv("TMPDIR");
    }

    // The next start of the program on this office.
    velu::StartErgebnis Start() {
        App().CloseDatabases();
        velu::StartOptionen opt;
        opt.bueroOrdner = buero;
        opt.programmDaten = buero + "/gibtsnicht";
        std::unique_ptr<QLockFile> lock;
        return velu::Main(opt, lock);
    }
};

// The single-project dialog answered: project 1 is overwritten under its own number and name.
velu::Datensicherung::ProjektWahl Projekt1Ueberschreiben(const Buero400& b) {
    return [ziel = b.Ordner("00000001")](const QString&) {
        velu::ProjektZiel z;
        z.ziel = ziel;
        z.ueberschreiben = true;
        z.nummer = "00000001";
        z.name = "Erstes";
        return std::optional(z);
    };
}

struct Abbruch {
    int datensatz; // 1 the project, 2 all projects, 3 the master and template databases
    bool austausch;
    std::string schritt; // empty: not killed, the steps are written to mitschnitt
    int mal = 1;         // killed at the mal-th time the step comes
    std::string erwartet = "alt";
};

// Backs up data set c.datensatz, changes the office, and restores the backup in a child process that ends at
// the step; then starts the program as the next start would and checks that the old data or the new is back
// whole, the master and template databases together, and nothing else lies beside them.
void AbbrechenUndStarten(const Abbruch& c, const fs::path& mitschnitt = {}) {
    SCOPED_TRACE(std::to_string(c.datensatz) + (c.austausch ? ", exchange, " : ", renames, ") + c.schritt +
                 " " + std::to_string(c.mal));
    Buero400 b;
    const QString archiv = b.tmp.path() + "/archiv.zip";
    Marke(b.sys + "/VELUDAT32.MDB", "neu");
    Marke(b.sys + "/VELUVOR32.MDB", "neu");
    {
        MessageBoxScript script;
        velu::Datensicherung engine(*b.umgebung, b.sys);
        ASSERT_TRUE(engine.CallSicherung(c.datensatz, archiv)) << script.LastText().toStdString();
    }
    SetzeNamen(b.ProjektDB("00000001"), "alt");
    Marke(b.sys + "/VELUDAT32.MDB", "alt");
    Marke(b.sys + "/VELUVOR32.MDB", "alt");
    App().CloseDatabases();

    const pid_t kind = fork();
    ASSERT_GE(kind, 0);
    if (kind == 0) {
        MessageBoxScript script({MsgResult::OK, MsgResult::OK, MsgResult::OK});
        velu::Datensicherung engine(*b.umgebung, b.sys);
        engine.ohneAustausch = !c.austausch;
        int mal = 0;
        engine.zwischenDenSchritten = [&](const char* schritt) {
            if (!mitschnitt.empty()) std::ofstream(mitschnitt, std::ios::app) << schritt << "\n";
            if (schritt == c.schritt && ++mal == c.mal) _exit(0);
        };
        engine.SicherungBack(archiv, "Datensicherung zurücklesen", Projekt1Ueberschreiben(b));
        _exit(c.schritt.empty() ? 0 : 7); // 7: the step never came
    }
    int status = 0;
    ASSERT_EQ(waitpid(kind, &status, 0), kind);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 0) << "not killed at that step";

    MessageBoxScript script;
    ASSERT_EQ(b.Start(), velu::StartErgebnis::Laeuft) << script.LastText().toStdString();
    EXPECT_TRUE(script.Shown().empty()) << script.LastText().toStdString();
    size_t anzahl = 0;
    const std::string projekt = c.datensatz == 3 ? "alt" : c.erwartet;
    EXPECT_EQ(Namen(App().ProjektDB(), &anzahl), std::set<std::string>{projekt});
    EXPECT_EQ(anzahl, static_cast<size_t>(Berechnungen));
    EXPECT_EQ(ArtVon(App().ProjektDB()), "Projekt 1"); // not a fresh copy of the template
    const std::string tabellen = c.datensatz == 3 ? c.erwartet : "alt";
    EXPECT_EQ(MarkeVon(*App().StammDB()), tabellen);
    {
        auto vorlage = velu::db::Database::Open(Fs(b.sys + "/VELUVOR32.MDB"));
        ASSERT_TRUE(vorlage);
        EXPECT_EQ(MarkeVon(*vorlage), tabellen) << "the template database belongs to the master database";
        EXPECT_EQ(ArtVon(vorlage.get()), "Vorlage");
    }
    EXPECT_EQ(Fremdes(b.projekte), std::vector<std::string>{});
    for (const QString& ordner : {b.buero, b.sys})
        for (const QString& n : QDir(ordner).entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            EXPECT_TRUE(n == "Projekte" || n == "STD_SYS" || n.endsWith(".MDB") || n.endsWith(".lck") ||
                        n.endsWith(".ini") || n.endsWith(".lock"))
                << n.toStdString();
}

} // namespace

// A restore is killed at each step of its swap, on a file system with an exchange of two names and on one
// without. The next start finds all calculations, of the old project or of the new, and nothing else beside
// it. The tables, two databases, are killed at every step their swap passes through: the next start finds
// both old or both new, never one of each; until a new database is in place the old ones come back.
TEST(Recovery, SwapKilledBetweenItsStepsIsRecoveredAtTheNextStart) {
    const Abbruch cases[] = {
        {1, true, "bereit", 1, "alt"},     {1, true, "eingesetzt", 1, "neu"},
        {1, false, "bereit", 1, "alt"},    {1, false, "vermerkt", 1, "alt"},
        {1, false, "beiseite", 1, "alt"},  {1, false, "eingesetzt", 1, "neu"},
        {2, true, "eingesetzt", 1, "neu"}, {2, false, "beiseite", 1, "alt"},
    };
    for (const Abbruch& c : cases)
        AbbrechenUndStarten(c);

    for (const bool austausch : {true, false}) {
        QTemporaryDir dir;
        const fs::path mitschnitt = Fs(dir.path()) / "schritte.txt";
        AbbrechenUndStarten({3, austausch, "", 1, "neu"}, mitschnitt);
        std::vector<std::string> schritte;
        std::ifstream in(mitschnitt);
        for (std::string s; std::getline(in, s);)
            schritte.push_back(s);
        // Two files, each through its own steps, and the set noted before them.
        ASSERT_EQ(std::count(schritte.begin(), schritte.end(), "eingesetzt"), 2);
        EXPECT_EQ(std::count(schritte.begin(), schritte.end(), "abgeschlossen"), 2);
        EXPECT_EQ(schritte.front(), "vorgemerkt");
        std::map<std::string, int> mal;
        bool drin = false;
        for (const auto& s : schritte) {
            drin = drin || s == "eingesetzt";
            AbbrechenUndStarten({3, austausch, s, ++mal[s], drin ? "neu" : "alt"});
        }
    }
}

// A kill between the two renames of a swap leaves no project folder, the old data in "<folder>.alt" and the
// marker noting it. The start puts the old folder back instead of creating an empty project; the names older
// versions used ("<folder>.alt0", "<folder>.neu-XXXXXX") are no swap's of this one and stay as they are.
TEST(Recovery, FolderLeftWithoutItsPlaceComesBackWhole) {
    Buero400 b;
    SetzeNamen(b.ProjektDB("00000001"), "alt");
    const fs::path ordner = Fs(b.Ordner("00000001"));
    const fs::path alt(ordner.string() + ".alt");
    fs::rename(ordner, alt);
    std::ofstream(ordner.string() + ".arbeit") << "alt=" << alt.string() << "\n";
    for (const char* kopie : {".alt0", ".neu-Xy12Ab"})
        fs::copy(alt, fs::path(ordner.string() + kopie), fs::copy_options::recursive);
    MessageBoxScript script;
    ASSERT_EQ(b.Start(), velu::StartErgebnis::Laeuft);
    EXPECT_TRUE(script.Shown().empty()) << script.LastText().toStdString();
    size_t anzahl = 0;
    EXPECT_EQ(Namen(App().ProjektDB(), &anzahl), std::set<std::string>{"alt"});
    EXPECT_EQ(anzahl, static_cast<size_t>(Berechnungen));
    EXPECT_EQ(ArtVon(App().ProjektDB()), "Projekt 1");
    EXPECT_EQ(Fremdes(b.projekte),
              (std::vector<std::string>{"00000001.PRO.alt0", "00000001.PRO.neu-Xy12Ab"}));
}

// What killed backups and restores left goes at the next start; what a running one works on stays.
TEST(Recovery, LeftoversOfDeadProcessesGoAtStart) {
    Buero400 b;
    const fs::path temp = Fs(b.temp.path());
    const fs::path projekte = Fs(b.projekte);
    auto datei = [](const fs::path& p, const std::string& inhalt) {
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << inhalt;
    };
    // A backup's snapshot folder with a copy of the project database, and a partial archive, both dead.
    fs::create_directories(temp / "velunta-sicherung-AbCd12");
    fs::copy_file(Fs(b.ProjektDB("00000001")), temp / "velunta-sicherung-AbCd12/db0");
    datei(temp / "velunta-sicherung-AbCd12.arbeit", "");
    const fs::path archiv = Fs(b.tmp.path()) / "Sicherungen/archiv.zip";
    datei(archiv, "PK fertig");
    datei(fs::path(archiv.string() + ".Qw3Er5"), std::string(5000, 'z'));
    datei(fs::path(archiv.string() + ".arbeit"), "");
    velu::MerkeArchiv(*b.store, QString::fromStdString(archiv.string()));
    // A dead restore's staging of project 2, and set-aside old master data with its unpacking folder.
    datei(projekte / "00000002.PRO.neu/Velupro32.mdb", "halb");
    datei(projekte / "00000002.PRO.arbeit", "");
    datei(Fs(b.sys + "/VELUDAT32.MDB.alt"), "alt");
    datei(Fs(b.sys + "/VELUDAT32.MDB.neu-entpackt/VELUDAT32.MDB"), "halb");
    datei(Fs(b.sys + "/VELUDAT32.MDB.arbeit"), "alt=" + b.sys.toStdString() + "/VELUDAT32.MDB.alt\n");
    // Work of a running process: its marker is held.
    auto laufend = velu::archive::WorkFolder::Create(temp, "velunta-sicherung-");
    ASSERT_TRUE(laufend);
    datei(laufend->Path() / "db0", "läuft");
    datei(projekte / "00000003.PRO.neu/Velupro32.mdb", "läuft");
    auto laufendeRuecksicherung =
        velu::archive::WorkLock::Take(velu::archive::WorkLock::MarkerOf(projekte / "00000003.PRO"));
    ASSERT_TRUE(laufendeRuecksicherung);

    MessageBoxScript script;
    ASSERT_EQ(b.Start(), velu::StartErgebnis::Laeuft);
    EXPECT_TRUE(script.Shown().empty()) << script.LastText().toStdString();

    EXPECT_EQ(velu::test::SortedNames(temp), velu::test::OnlyRunning(*laufend));
    EXPECT_TRUE(fs::exists(archiv));
    EXPECT_FALSE(fs::exists(fs::path(archiv.string() + ".Qw3Er5")));
    EXPECT_EQ(Fremdes(b.projekte), (std::vector<std::string>{"00000003.PRO.arbeit", "00000003.PRO.neu"}))
        << "the running restore's work stays";
    EXPECT_FALSE(fs::exists(Fs(b.sys + "/VELUDAT32.MDB.alt")));
    EXPECT_FALSE(fs::exists(Fs(b.sys + "/VELUDAT32.MDB.neu-entpackt")));
    EXPECT_FALSE(fs::exists(Fs(b.sys + "/VELUDAT32.MDB.arbeit")));
    EXPECT_TRUE(fs::exists(Fs(b.sys + "/VELUDAT32.MDB")));
    laufendeRuecksicherung.reset();
    laufend.reset();
}

// A project restored under a new number and killed right after its folder went in: the next start enters it
// in the project list; killed before, neither folder nor entry appear.
TEST(Recovery, ProjectKilledAfterItsSwapIsEnteredInTheListAtTheNextStart) {
    for (const auto& [schritt, eingetragen] : {std::pair{"bereit", false}, std::pair{"eingesetzt", true}}) {
        SCOPED_TRACE(schritt);
        Buero400 b;
        const QString archiv = b.tmp.path() + "/archiv.zip";
        {
            MessageBoxScript script;
            velu::Datensicherung engine(*b.umgebung, b.sys);
            ASSERT_TRUE(engine.CallSicherung(1, archiv)) << script.LastText().toStdString();
        }
        App().CloseDatabases();
        const pid_t kind = fork();
        ASSERT_GE(kind, 0);
        if (kind == 0) {
            MessageBoxScript script({MsgResult::OK, MsgResult::OK});
            velu::Datensicherung engine(*b.umgebung, b.sys);
            engine.zwischenDenSchritten = [&](const char* s) {
                if (std::string(s) == schritt) _exit(0);
            };
            engine.SicherungBack(archiv, "Datensicherung zurücklesen", [&](const QString&) {
                velu::ProjektZiel z;
                z.ziel = b.Ordner("00000044");
                z.nummer = "00000044";
                z.name = "Kopie Kita";
                return std::optional(z);
            });
            _exit(7);
        }
        int status = 0;
        ASSERT_EQ(waitpid(kind, &status, 0), kind);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

        MessageBoxScript script;
        ASSERT_EQ(b.Start(), velu::StartErgebnis::Laeuft);
        auto liste = velu::outside::ProjektListe(b.projekte).Liste();
        ASSERT_TRUE(liste);
        QStringList eintraege;
        for (const auto& e : *liste)
            eintraege << e.nummer + "=" + e.name;
        EXPECT_EQ(eintraege.contains("00000044=Kopie Kita"), eingetragen)
            << eintraege.join(",").toStdString();
        EXPECT_EQ(QFileInfo::exists(b.ProjektDB("00000044")), eingetragen);
        EXPECT_EQ(Fremdes(b.projekte),
                  eingetragen ? std::vector<std::string>{"00000044.PRO"} : std::vector<std::string>{});
    }
}

namespace {

// Every file and folder below root with its bytes, mode and group: what must not change.
std::string Inhalt(const fs::path& root) {
    std::map<std::string, std::string> items;
    for (const auto& e : fs::recursive_directory_iterator(root)) {
        struct stat st {};
        ::lstat(e.path().c_str(), &st);
        std::string was = std::to_string(st.st_mode) + " " + std::to_string(st.st_gid);
        if (e.is_regular_file()) {
            std::ifstream in(e.path(), std::ios::binary);
            was += " " + std::string(std::istreambuf_iterator<char>(in), {});
        }
        items[fs::relative(e.path(), root).string()] = was;
    }
    std::string out;
    for (const auto& [k, v] : items)
        out += k + ": " + v + "\n";
    return out;
}

std::string Lies(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return in ? std::string(std::istreambuf_iterator<char>(in), {}) : "<fehlt>";
}

QStringList Eintraege(const QString& projekte) {
    QStringList out;
    const auto liste = velu::outside::ProjektListe(projekte).Liste();
    for (const auto& e : liste.value_or(std::vector<velu::outside::ProjektEintrag>{}))
        out << e.nummer + "=" + e.name;
    return out;
}

} // namespace

// Markers planted in the shared office: one would move a folder from outside into the office, one would
// delete a file outside (a set naming it with its identity), one would rename another project in the list.
// The start follows none of them: nothing outside changes, nothing inside goes, the foreign markers stay,
// and one message says which were not followed and why.
TEST(Recovery, PlantedMarkersNamingOtherPlacesAreNotFollowed) {
    Buero400 b;
    const fs::path draussen = Fs(b.tmp.path()) / "draussen";
    fs::create_directories(draussen / "ordner");
    std::ofstream(draussen / "ordner/wichtig.txt") << "fremde Daten";
    std::ofstream(draussen / "datei.txt") << "fremde Datei";
    struct stat st {};
    ASSERT_EQ(::stat((draussen / "datei.txt").c_str(), &st), 0);
    const fs::path projekte = Fs(b.projekte);
    const fs::path adressen = Fs(b.sys) / "ZADRESS32.MDB";
    std::ofstream(adressen) << "Adressen";
    std::ofstream(projekte / "99999999.PRO.arbeit") << "alt=" << (draussen / "ordner").string() << "\n";
    std::ofstream(fs::path(adressen.string() + ".arbeit"))
        << "satz\n1:1\t-\t" << adressen.string() << "\n"
        << st.st_dev << ":" << st.st_ino << "\t-\t" << (draussen / "datei.txt").string() << "\nende\n";
    std::ofstream(projekte / "00000002.PRO.arbeit") << "eintrag=00000001\tGekapert\n";
    const std::string vorherDraussen = Inhalt(draussen);
    const std::string vorherProjekt2 = Inhalt(Fs(b.Ordner("00000002")));
    const QStringList vorherListe = Eintraege(b.projekte);

    MessageBoxScript script;
    ASSERT_EQ(b.Start(), velu::StartErgebnis::Laeuft) << script.LastText().toStdString();
    EXPECT_EQ(Inhalt(draussen), vorherDraussen);
    EXPECT_EQ(Eintraege(b.projekte), vorherListe);
    EXPECT_EQ(Lies(adressen), "Adressen");
    EXPECT_EQ(Inhalt(Fs(b.Ordner("00000002"))), vorherProjekt2);
    size_t anzahl = 0;
    EXPECT_EQ(Namen(App().ProjektDB(), &anzahl), std::set<std::string>{"neu"});
    EXPECT_EQ(anzahl, static_cast<size_t>(Berechnungen));
    EXPECT_EQ(Fremdes(b.projekte), std::vector<std::string>{"99999999.PRO.arbeit"});
    EXPECT_TRUE(fs::exists(adressen.string() + ".arbeit"));

    ASSERT_EQ(script.Shown().size(), 1u);
    const QString text = script.LastText();
    for (const fs::path& p : {projekte / "99999999.PRO.arbeit", draussen / "ordner",
                              fs::path(adressen.string() + ".arbeit"), draussen / "datei.txt"})
        EXPECT_TRUE(text.contains(QString::fromStdString(p.string()))) << p << "\n" << text.toStdString();
    EXPECT_EQ(text.count("Sie wurde nicht befolgt"), 3) << text.toStdString();
    EXPECT_TRUE(text.contains("will das Projekt 00000001 in die Projektliste eintragen"))
        << text.toStdString();
}

// Copies the user made by hand beside the data, under names that begin like a swap's: the start, the backups
// and restores of a project, the tables and all projects, and the next start keep every one of them.
TEST(Recovery, HandMadeCopiesBesideTheDataStay) {
    Buero400 b;
    const fs::path buero = Fs(b.buero);
    const std::map<fs::path, std::string> kopien = {
        {buero / "Projekte.alt/notiz.txt", "Stand Mai"},
        {buero / "Projekte.neu_2025/notiz.txt", "Plan 2025"},
        {buero / "Projekte/00000001.PRO.alt/notiz.txt", "vor dem Umbau"},
        {buero / "STD_SYS/VELUDAT32.MDB.alt-vor-update", "Tabellen vor dem Update"},
    };
    for (const auto& [p, inhalt] : kopien) {
        fs::create_directories(p.parent_path());
        std::ofstream(p) << inhalt;
    }
    auto alleDa = [&](const char* wann) {
        for (const auto& [p, inhalt] : kopien)
            EXPECT_EQ(Lies(p), inhalt) << wann << ": " << p;
    };
    MessageBoxScript script({MsgResult::OK, MsgResult::OK, MsgResult::OK, MsgResult::OK, MsgResult::OK,
                             MsgResult::OK, MsgResult::OK, MsgResult::OK, MsgResult::OK});
    ASSERT_EQ(b.Start(), velu::StartErgebnis::Laeuft);
    alleDa("start");
    App().CloseDatabases();

    velu::Datensicherung engine(*b.umgebung, b.sys);
    std::map<int, QString> archive;
    for (int datensatz : {1, 2, 3}) {
        archive[datensatz] = b.tmp.path() + "/sicherung" + QString::number(datensatz) + ".zip";
        ASSERT_TRUE(engine.CallSicherung(datensatz, archive[datensatz])) << script.LastText().toStdString();
    }
    alleDa("backup");
    const auto eintraege = velu::archive::ListEntries(archive[2].toStdString());
    ASSERT_TRUE(eintraege);
    EXPECT_NE(std::find(eintraege->begin(), eintraege->end(), "00000001.PRO.alt/notiz.txt"),
              eintraege->end());
    for (int datensatz : {1, 3, 2}) {
        SCOPED_TRACE(datensatz);
        EXPECT_TRUE(
            engine.SicherungBack(archive[datensatz], "Datensicherung zurücklesen", Projekt1Ueberschreiben(b)))
            << script.LastText().toStdString();
        alleDa("restore");
    }
    ASSERT_EQ(b.Start(), velu::StartErgebnis::Laeuft);
    alleDa("next start");
}

namespace {

// A link a co-worker put at T.alt while T's place is empty is never renamed into T's place: T stays empty,
// the link goes, and what it points to stays as it was.
TEST(Recovery, LinkAtTheOldNameIsNeverPutInPlace) {
    QTemporaryDir tmp;
    const fs::path projekte = fs::path(tmp.path().toStdString()) / "Projekte";
    const fs::path aussen = fs::path(tmp.path().toStdString()) / "aussen";
    fs::create_directories(projekte);
    fs::create_directories(aussen);
    std::ofstream(aussen / "fremd.txt") << "fremd";
    const fs::path ziel = projekte / "00000005.PRO";
    fs::create_directory_symlink(aussen, projekte / "00000005.PRO.alt");
    std::ofstream(projekte / "00000005.PRO.arbeit")
        << "alt=" << (projekte / "00000005.PRO.alt").string() << "\n";
    std::string abgelehnt;
    EXPECT_EQ(velu::RecoverSwap(ziel, {ziel}, &abgelehnt), "");
    EXPECT_EQ(abgelehnt, "");
    EXPECT_FALSE(fs::exists(fs::symlink_status(ziel)));
    EXPECT_FALSE(fs::exists(fs::symlink_status(projekte / "00000005.PRO.alt")));
    std::ifstream in(aussen / "fremd.txt");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "fremd");
}

} // namespace
