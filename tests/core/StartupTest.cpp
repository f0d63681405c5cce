#include "Deklarationen.h"
#include "StartupFakes.h"

#include "core/AppState.h"
#include "core/ErsterStart.h"
#include "core/LoginProvider.h"
#include "core/Migration.h"
#include "core/Startup.h"
#include "platform/archive/OfficeEntry.h"
#include "platform/forms/MessageBox.h"
#include "platform/outside/IniUmgebung.h"
#include "platform/outside/ProjektListe.h"
#include "platform/settings/SettingsStore.h"

#include <QAction>
#include <QCalendarWidget>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QLockFile>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QTranslator>
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing_velu;
using velu::App;
using velu::forms::MessageBoxScript;

namespace {

struct FakeLogin : velu::LoginProvider {
    bool annehmen;
    QStringList* log;
    FakeLogin(bool a, QStringList* l) : annehmen(a), log(l) {}
    bool Login(velu::db::Database&, int mb, int mp, QString& benutzer, int32_t& rechte) override {
        *log << QString("Login %1 %2").arg(mb).arg(mp);
        if (!annehmen) return false;
        benutzer = "MEIER";
        rechte = 12;
        return true;
    }
};

struct StartLauf {
    QStringList log;
    std::unique_ptr<QLockFile> lock;
    velu::StartErgebnis Run(const QString& buero) {
        velu::StartOptionen opt;
        opt.bueroOrdner = buero;
        opt.programmDaten = buero + "/gibtsnicht";
        opt.zeigeHauptfenster = [this] { log << "Hauptfenster"; };
        opt.zeigeSplash = [this] { log << "Splash"; };
        return velu::Main(opt, lock);
    }
};

} // namespace

TEST(Startup, SwitchesOffWorkAsSupervisorWithTheStoredRights) {
    struct Case {
        std::optional<int> gespeichert;
        int erwartet;
    };
    for (const Case& c : {Case{8191, 8191}, Case{5, 5}, Case{std::nullopt, 0}}) {
        Buero b(c.gespeichert ? 1 : 0, 0, c.gespeichert);
        QStringList loginLog;
        App().SetLogin(std::make_shared<FakeLogin>(true, &loginLog));
        StartLauf lauf;
        MessageBoxScript script;
        ASSERT_EQ(lauf.Run(b.buero), velu::StartErgebnis::Laeuft);
        EXPECT_EQ(App().AktBenutzer(), "SUPERVISOR");
        EXPECT_EQ(App().AktRechte(), c.erwartet);
        EXPECT_TRUE(loginLog.isEmpty());
        EXPECT_EQ(lauf.log, (QStringList{"Hauptfenster", "Splash"}));
        EXPECT_EQ(ArtVon(App().ProjektDB()), "Projekt 1");
        EXPECT_EQ(App().ProjektDBPfad(), b.ProjektDB("00000001"));
        EXPECT_TRUE(script.Shown().empty());
        EXPECT_EQ(App().MwStSatz(), velu::Currency::FromUnits(19));
    }
}

TEST(Startup, UsersOrPasswordsInUseAskTheLogin) {
    struct Case {
        int benutzer, passwort;
        bool annehmen;
        QString flags;
    };
    for (const Case& c :
         {Case{2, 0, true, "Login 1 0"}, Case{1, -1, true, "Login 0 -1"}, Case{3, -1, false, "Login 1 -1"}}) {
        Buero b(c.benutzer, c.passwort, 8191);
        QStringList loginLog;
        App().SetLogin(std::make_shared<FakeLogin>(c.annehmen, &loginLog));
        StartLauf lauf;
        const auto r = lauf.Run(b.buero);
        EXPECT_EQ(loginLog, QStringList{c.flags});
        if (c.annehmen) {
            EXPECT_EQ(r, velu::StartErgebnis::Laeuft);
            EXPECT_EQ(App().AktBenutzer(), "MEIER");
            EXPECT_EQ(App().AktRechte(), 12);
        } else {
            EXPECT_EQ(r, velu::StartErgebnis::LoginAbgelehnt);
            EXPECT_TRUE(lauf.log.isEmpty());
        }
    }
}

TEST(Startup, SupervisorStandInLogsInOrRefuses) {
    Buero b(2, 0, 77);
    int32_t rechte = 0;
    QString name;
    EXPECT_TRUE(velu::OpenStammDB());
    EXPECT_TRUE(velu::SupervisorLogin(true).Login(*App().StammDB(), 1, 0, name, rechte));
    EXPECT_EQ(name, "SUPERVISOR");
    EXPECT_EQ(rechte, 77);
    EXPECT_FALSE(velu::SupervisorLogin(false).Login(*App().StammDB(), 1, 0, name, rechte));
}

TEST(Startup, MasterDatabaseMissingEndsWithTheMessage) {
    Buero b;
    QFile::remove(b.sys + "/VELUDAT32.MDB");
    StartLauf lauf;
    MessageBoxScript script;
    EXPECT_EQ(lauf.Run(b.buero), velu::StartErgebnis::StammDBFehler);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.LastText().startsWith("Es ist ein Fehler beim öffnen von " + b.sys +
                                             "/VELUDAT32.MDB aufgetreten \n"));
    EXPECT_TRUE(script.LastText().contains("\nFehlernummer 3024"));
    EXPECT_TRUE(lauf.log.isEmpty());
}

TEST(Startup, MigrationOfferedOnlyWhenTheProjectDatabaseWasMissing) {
    struct Case {
        bool neueDB, alteDB;
        bool angeboten;
    };
    for (const Case& c : {Case{true, true, true}, Case{false, true, false}, Case{true, false, false}}) {
        Buero b;
        b.umgebung->nummer = "00000003";
        b.Liste("00000003");
        if (!c.neueDB) MachLeereDB(b.ProjektDB("00000003"), "Projekt 3");
        if (c.alteDB) MachLeereDB(b.Ordner("00000003") + "/VELUPRO.MDB", "Alt");
        QStringList angebote;
        App().SetMigration([&](const QString& alt, const QString& neu) { angebote << alt << neu; });
        MessageBoxScript script;
        EXPECT_EQ(velu::OpenProjektDB(), velu::ProjektOeffnung::Offen);
        if (c.angeboten)
            EXPECT_EQ(angebote,
                      (QStringList{b.Ordner("00000003") + "/VELUPRO.MDB", b.ProjektDB("00000003")}));
        else
            EXPECT_TRUE(angebote.isEmpty());
        EXPECT_EQ(ArtVon(App().ProjektDB()), c.neueDB ? "Vorlage" : "Projekt 3");
        EXPECT_TRUE(script.Shown().empty());
    }
}

TEST(Startup, FailedTemplateCopyIsReportedAndLeavesNoFile) {
    Buero b;
    ASSERT_EQ(velu::OpenProjektDB(), velu::ProjektOeffnung::Offen);
    auto vorher = App().ProjektDBHandle();
    QFile::remove(b.sys + "/VELUVOR32.MDB");
    b.umgebung->nummer = "00000003";
    b.Liste("00000003");
    MessageBoxScript script;
    bool gesperrt = false;
    velu::OpenProjektDB(gesperrt);
    EXPECT_TRUE(gesperrt);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.LastText().contains("konnte nicht aus der Vorlage"));
    EXPECT_FALSE(QFileInfo::exists(b.ProjektDB("00000003")));
    EXPECT_FALSE(QFileInfo::exists(b.ProjektDB("00000003") + ".kopie"));
    EXPECT_EQ(App().ProjektDBHandle(), vorher);
    EXPECT_EQ(App().ProjektDBPfad(), b.ProjektDB("00000001"));
}

TEST(Startup, DamagedProjectDatabaseIsNotHeldByAnotherUser) {
    Buero b;
    QFile f(b.ProjektDB("00000002"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(QByteArray(4096, 'x'));
    f.close();
    b.umgebung->nummer = "00000002";
    MessageBoxScript script;
    EXPECT_EQ(velu::OpenProjektDB(), velu::ProjektOeffnung::Fehler);
    EXPECT_TRUE(script.LastText().contains("beschädigt"));
    EXPECT_EQ(App().ProjektDB(), nullptr);
    EXPECT_TRUE(velu::TestOpenDB(b.ProjektDB("00000002")));
    EXPECT_TRUE(velu::TestOpenDB(b.ProjektDB("00000009")));
    // Without a current project nothing is created.
    b.umgebung->nummer.clear();
    EXPECT_EQ(velu::OpenProjektDB(), velu::ProjektOeffnung::Fehler);
    EXPECT_EQ(script.LastText(), "Es ist kein Projekt ausgewählt.");
    EXPECT_FALSE(QDir(b.projekte + ".PRO").exists());
    EXPECT_FALSE(QDir(b.projekte + "00000000.PRO").exists());
    EXPECT_FALSE(velu::TestOpenDB(b.ProjektDB("00000001")));
}

TEST(Startup, KopiereDateiLeavesNothingOnFailure) {
    QTemporaryDir tmp;
    QString fehler;
    EXPECT_FALSE(velu::KopiereDatei(tmp.path() + "/fehlt", tmp.path() + "/ziel", &fehler));
    EXPECT_EQ(fehler, "Die Datei '" + tmp.path() + "/fehlt' fehlt.");
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files).size(), 0);
    EXPECT_FALSE(velu::KopiereDatei(tmp.path() + "/fehlt", tmp.path() + "/kein/ordner/ziel", &fehler));
    EXPECT_EQ(fehler, "Der Ordner '" + tmp.path() + "/kein/ordner' fehlt.");
    EXPECT_FALSE(velu::KopiereDatei(tmp.path(), tmp.path() + "/ziel", &fehler));
    EXPECT_EQ(fehler, "Die Datei '" + tmp.path() + "' ist keine gewöhnliche Datei.");
    QFile q(tmp.path() + "/quelle");
    ASSERT_TRUE(q.open(QIODevice::WriteOnly));
    q.write("abc");
    q.close();
    EXPECT_TRUE(velu::KopiereDatei(tmp.path() + "/quelle", tmp.path() + "/ziel"));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files), (QStringList{"quelle", "ziel"}));
}

// A co-worker's link at the staged name or at the target, planted between the copy's steps, or a target
// folder that is a link: the file outside the office keeps its bytes and mode, no link takes the target.
TEST(Startup, KopiereDateiNeverWritesThroughALink) {
    namespace fs = std::filesystem;
    QTemporaryDir tmp;
    const fs::path root = tmp.path().toStdString();
    const fs::path buero = root / "buero", aussen = root / "aussen", privat = aussen / "privat.txt";
    const fs::path ziel = buero / "Velupro32.mdb", kopie = buero / "Velupro32.mdb.kopie";
    fs::create_directories(buero);
    fs::create_directories(aussen);
    const QString vorlage = QString::fromStdString((root / "VELUVOR32.MDB").string());
    {
        QFile q(vorlage);
        ASSERT_TRUE(q.open(QIODevice::WriteOnly));
        q.write("vorlage");
    }
    auto inhalt = [](const fs::path& p) {
        QFile f(QString::fromStdString(p.string()));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<fehlt>");
    };
    auto beiSchritt = [](const char* wann, std::function<void()> tu) {
        return [wann, tu](const char* schritt) {
            if (std::string(schritt) == wann) tu();
        };
    };
    const QString verweis = QString::fromStdString(velu::archive::LinkText(ziel));
    struct Case {
        const char* name;
        std::function<void()> vorher;
        std::function<void(const char*)> zwischen;
        QString fehler;    // empty: copied
        QByteArray danach; // what the target holds afterwards, read through whatever stands there
    };
    const Case cases[] = {
        {"link at the target", [&] { fs::create_symlink(privat, ziel); }, {}, verweis, "nur meins"},
        {"dangling link at the target",
         [&] { fs::create_symlink(aussen / "neu.mdb", ziel); },
         {},
         verweis,
         "<fehlt>"},
        {"link at the staged name before it is made",
         {},
         beiSchritt("anlegen", [&] { fs::create_symlink(privat, kopie); }),
         QString::fromStdString(velu::archive::LinkText(kopie)),
         "<fehlt>"},
        {"link at the target before the rename",
         {},
         beiSchritt("umbenennen", [&] { fs::create_symlink(privat, ziel); }),
         verweis,
         "nur meins"},
        {"staged copy replaced by a link before the rename",
         {},
         beiSchritt("umbenennen",
                    [&] {
                        fs::rename(kopie, root / "beiseite");
                        fs::create_symlink(privat, kopie);
                    }),
         "Die Kopie '" + QString::fromStdString(kopie.string()) +
             "' wurde während des Kopierens verschoben oder durch etwas anderes ersetzt. Es wurde nichts "
             "angelegt; bitte prüfen Sie den Ordner '" +
             QString::fromStdString(buero.string()) + "'.",
         "<fehlt>"},
        {"database made by another clerk meanwhile is kept",
         {},
         beiSchritt("umbenennen", [&] { std::ofstream(ziel) << "von nebenan"; }),
         {},
         "von nebenan"},
        {"leftover staged copy", [&] { std::ofstream(kopie) << "halb"; }, {}, {}, "vorlage"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        { std::ofstream(privat) << "nur meins"; }
        fs::permissions(privat, fs::perms::owner_read | fs::perms::owner_write);
        if (c.vorher) c.vorher();
        QString fehler;
        const bool ok =
            velu::KopiereDatei(vorlage, QString::fromStdString(ziel.string()), &fehler, c.zwischen);
        EXPECT_EQ(ok, c.fehler.isEmpty());
        EXPECT_EQ(fehler, c.fehler);
        EXPECT_EQ(inhalt(privat), "nur meins");
        EXPECT_EQ(fs::status(privat).permissions(), fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_FALSE(fs::exists(aussen / "neu.mdb"));
        EXPECT_EQ(inhalt(ziel), c.danach);
        if (!c.fehler.isEmpty() && c.fehler != verweis) {
            EXPECT_FALSE(fs::is_symlink(ziel));
        }
        EXPECT_FALSE(fs::exists(fs::symlink_status(kopie)) && !fs::is_symlink(kopie))
            << "no staged copy is left";
        for (const fs::path& p : {ziel, kopie, root / "beiseite"})
            fs::remove(p);
    }

    // A target folder that is a link is not the office's: nothing is copied into it.
    fs::create_directory_symlink(aussen, root / "verweis");
    QString fehler;
    EXPECT_FALSE(velu::KopiereDatei(
        vorlage, QString::fromStdString((root / "verweis/Velupro32.mdb").string()), &fehler));
    EXPECT_EQ(fehler, QString::fromStdString(velu::archive::LinkText(root / "verweis")));
    EXPECT_FALSE(fs::exists(aussen / "Velupro32.mdb"));
    EXPECT_FALSE(fs::exists(aussen / "Velupro32.mdb.kopie"));
}

TEST(Startup, ProjectSwitchKeepsThePreviousProjectUnlessTheNewOneOpened) {
    struct Case {
        const char* name;
        std::vector<std::optional<QString>> wahl;
        bool sperreZiel;
        bool gewechselt;
        QString projekt; // number in force afterwards
        QStringList aufrufe;
        int meldungen;
    };
    const Case cases[] = {
        {"gleiches Projekt", {QString("00000001")}, false, false, "00000001", {"ShowHoai 00000001"}, 0},
        {"abgebrochen", {std::nullopt}, false, false, "00000001", {"ShowHoai 00000001"}, 0},
        {"anderes Projekt", {QString("00000002")}, false, true, "00000002", {"ShowHoai 00000001"}, 0},
        {"gesperrt, dann abgebrochen",
         {QString("00000002"), std::nullopt},
         true,
         false,
         "00000001",
         {"ShowHoai 00000001", "ShowHoai 00000001"},
         1},
        {"gesperrt, dann neu angelegt",
         {QString("00000002"), QString("00000003")},
         true,
         true,
         "00000003",
         {"ShowHoai 00000001", "ShowHoai 00000001"},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Buero b;
        b.Liste("00000003");
        ASSERT_EQ(velu::OpenProjektDB(), velu::ProjektOeffnung::Offen);
        auto vorher = App().ProjektDBHandle();
        std::unique_ptr<velu::db::Database> fremd;
        if (c.sperreZiel) fremd = velu::db::Database::Open(Fs(b.ProjektDB("00000002")));
        b.protokoll.wahl = c.wahl;
        MessageBoxScript script;
        bool gewechselt = false;
        velu::CallShowHoai(gewechselt);
        EXPECT_EQ(gewechselt, c.gewechselt);
        EXPECT_EQ(b.umgebung->nummer, c.projekt);
        EXPECT_EQ(App().ProjektDBPfad(), b.ProjektDB(c.projekt));
        if (!c.gewechselt) {
            EXPECT_EQ(App().ProjektDBHandle(), vorher);
        }
        QStringList aufrufe = b.protokoll.log.filter("ShowHoai");
        EXPECT_EQ(aufrufe, c.aufrufe);
        EXPECT_TRUE(b.protokoll.log.contains("PxEntry 51"));
        ASSERT_EQ(int(script.Shown().size()), c.meldungen);
        if (c.meldungen) {
            EXPECT_EQ(script.LastText(), "Diese HOAI- Berechnung in Projekt Nr :00000002 wird\n"
                                         "momentan von einem anderen Benutzer bearbeitet.\n\n"
                                         "Die Berechnung kan daher nicht geöffner werden");
        }
    }
}

TEST(Startup, MissingProjectProgramDoesNothing) {
    Buero b;
    b.protokoll.ohneProgramme = true;
    bool gewechselt = false;
    velu::CallShowHoai(gewechselt);
    velu::CallShowProdat();
    EXPECT_FALSE(gewechselt);
    EXPECT_TRUE(b.protokoll.log.isEmpty());
    b.protokoll.ohneProgramme = false;
    velu::CallShowProdat();
    EXPECT_EQ(b.protokoll.log, (QStringList{"PxEntry 51", "ShowProdat 1"}));
}

TEST(Startup, ProjectHeldAtStartShowsTheWindowThenTheProjectProgram) {
    Buero b;
    auto fremd = velu::db::Database::Open(Fs(b.ProjektDB("00000001")));
    ASSERT_TRUE(fremd);
    b.protokoll.wahl = {QString("00000002")};
    StartLauf lauf;
    MessageBoxScript script;
    ASSERT_EQ(lauf.Run(b.buero), velu::StartErgebnis::Laeuft);
    EXPECT_EQ(lauf.log, (QStringList{"Hauptfenster", "Splash"}));
    EXPECT_EQ(b.protokoll.log.filter("ShowHoai"), QStringList{"ShowHoai 00000001"});
    EXPECT_EQ(ArtVon(App().ProjektDB()), "Projekt 2");
    EXPECT_TRUE(script.Shown().empty());
}

// A clerk without the right to create projects whose project is in use at start gets the program's project
// dialog with nothing but the choice.
TEST(Startup, ProjectHeldAtStartOffersAClerkWithoutTheProjectRightOnlyTheChoice) {
    for (int rechte : {8191 & ~1, 8191}) {
        SCOPED_TRACE(rechte);
        Buero b(0, 0, rechte);
        App().SetEinstellungen(std::make_shared<velu::settings::SettingsStore>(b.tmp.path() + "/heim.ini"));
        App().SetUmgebung(App().NeueUmgebung(b.buero));
        App().SetProgramme(nullptr);
        auto fremd = velu::db::Database::Open(Fs(b.ProjektDB("00000001")));
        bool anlegen = rechte & 1 ? false : true;
        QTimer::singleShot(0, [&] {
            QWidget* d = QApplication::activeModalWidget();
            ASSERT_TRUE(d && d->objectName() == "ProjektAuswahl");
            anlegen = d->findChild<QPushButton*>("Anlegen") != nullptr;
            d->findChild<QTableWidget*>("Projekte")->selectRow(1);
            d->findChild<QPushButton*>("Auswaehlen")->click();
        });
        StartLauf lauf;
        MessageBoxScript script;
        ASSERT_EQ(lauf.Run(b.buero), velu::StartErgebnis::Laeuft);
        EXPECT_EQ(anlegen, (rechte & 1) != 0);
        EXPECT_EQ(ArtVon(App().ProjektDB()), "Projekt 2");
        EXPECT_TRUE(script.Shown().empty()) << script.LastText().toStdString();
    }
}

TEST(Startup, SecondInstanceEnds) {
    Buero b;
    StartLauf erste, zweite;
    ASSERT_EQ(erste.Run(b.buero), velu::StartErgebnis::Laeuft);
    MessageBoxScript script;
    EXPECT_EQ(zweite.Run(b.buero), velu::StartErgebnis::ZweiteInstanz);
    EXPECT_TRUE(zweite.log.isEmpty());
    EXPECT_TRUE(script.Shown().empty());
    erste.lock.reset();
    EXPECT_EQ(zweite.Run(b.buero), velu::StartErgebnis::Laeuft);
}

TEST(Startup, FirstStartSetsUpTheOfficeFolder) {
    app();
    App().Reset();
    QTemporaryDir tmp;
    const QString daten = tmp.path() + "/programm/data";
    const QString buero = tmp.path() + "/buero";
    QDir().mkpath(daten);
    MachStammDB(daten + "/VELUDAT32.MDB", 0, 0, 8191);
    MachLeereDB(daten + "/VELUVOR32.MDB", "Vorlage");

    for (int lauf = 0; lauf < 2; ++lauf) {
        App().Reset();
        velu::StartOptionen opt;
        opt.bueroOrdner = buero;
        opt.programmDaten = daten;
        std::unique_ptr<QLockFile> lock;
        MessageBoxScript script;
        ASSERT_EQ(velu::Main(opt, lock), velu::StartErgebnis::Laeuft) << script.LastText().toStdString();
        EXPECT_EQ(App().StammDBPfad(), buero + "/STD_SYS/VELUDAT32.MDB");
        EXPECT_EQ(App().ProjektDBPfad(), buero + "/Projekte/00000001.PRO/Velupro32.mdb");
        EXPECT_EQ(ArtVon(App().ProjektDB()), "Vorlage");
        EXPECT_EQ(App().AktRechte(), 8191);
        EXPECT_EQ(App().Umgebung().AktProjekt().name, "Demoprojekt");
        auto liste = velu::outside::ProjektListe(buero + "/Projekte/").Liste();
        ASSERT_TRUE(liste);
        ASSERT_EQ(liste->size(), 1u);
        EXPECT_EQ(liste->front().nummer, "00000001");
        EXPECT_EQ(velu::outside::LeseProdatFeld(buero + "/Projekte/00000001.PRO/Prodat", 0), "Demoprojekt");
    }
    App().Reset();
}

TEST(Startup, FirstStartWithoutDeliveredDataSaysWhy) {
    app();
    App().Reset();
    QTemporaryDir tmp;
    velu::StartOptionen opt;
    opt.bueroOrdner = tmp.path() + "/buero";
    opt.programmDaten = tmp.path() + "/leer";
    std::unique_ptr<QLockFile> lock;
    MessageBoxScript script;
    EXPECT_EQ(velu::Main(opt, lock), velu::StartErgebnis::BueroFehler);
    EXPECT_TRUE(script.LastText().contains("VELUDAT32.MDB wurde nicht gefunden"));
    EXPECT_FALSE(QFileInfo::exists(opt.bueroOrdner + "/umgebung.ini"));
    App().Reset();
}

TEST(Startup, MigrationAsksAndAFailedOneLeavesNoProjectDatabase) {
    using velu::forms::MsgResult;
    struct Case {
        MsgResult antwort;
        velu::ProjektOeffnung erwartet;
        size_t meldungen;
    };
    for (const Case& c : {Case{MsgResult::No, velu::ProjektOeffnung::Offen, 1},
                          Case{MsgResult::Yes, velu::ProjektOeffnung::Fehler, 2}}) {
        Buero b;
        b.umgebung->nummer = "00000003";
        b.Liste("00000003");
        QDir().mkpath(b.Ordner("00000003"));
        QFile alt(b.Ordner("00000003") + "/VELUPRO.MDB");
        ASSERT_TRUE(alt.open(QIODevice::WriteOnly));
        alt.write(QByteArray(4096, 'q')); // not a database: taking it over fails
        alt.close();
        MessageBoxScript script({c.antwort});
        EXPECT_EQ(velu::OpenProjektDB(), c.erwartet);
        ASSERT_EQ(script.Shown().size(), c.meldungen);
        EXPECT_EQ(script.Shown()[0].text, QString::fromStdString(velu::Migration::FrageText()));
        EXPECT_EQ(QFileInfo::exists(b.ProjektDB("00000003")), c.erwartet == velu::ProjektOeffnung::Offen);
    }
}

TEST(Startup, AFileOfAnotherKindIsRefusedAsDamaged) {
    Buero b;
    QFile::remove(b.ProjektDB("00000002"));
    MachStammDB(b.ProjektDB("00000002"), 0, 0, 8191); // a master database where a project database belongs
    b.umgebung->nummer = "00000002";
    MessageBoxScript script;
    EXPECT_EQ(velu::OpenProjektDB(), velu::ProjektOeffnung::Fehler);
    EXPECT_TRUE(script.LastText().startsWith("Die Projektdatenbank " + b.ProjektDB("00000002") +
                                             " konnte nicht geöffnet werden."));
    EXPECT_EQ(App().ProjektDB(), nullptr);
}

// A master or project database whose tables the program declares otherwise is not opened, the table named,
// and stays as it was; the program's own older layout opens.
TEST(Startup, TablesDeclaredOtherwiseAreNotOpened) {
    for (const auto& d : velu_test::Deklarationen()) {
        SCOPED_TRACE(d.was);
        Buero b;
        const bool projekt = std::string(d.datei) == "Velupro32.mdb";
        const QString datei = projekt ? b.ProjektDB("00000001") : b.sys + "/" + d.datei;
        velu_test::Umbauen(datei.toStdString(), d);
        QFile f(datei);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray vorher = f.readAll();
        f.close();
        MessageBoxScript script;
        const bool offen =
            projekt ? velu::OpenProjektDB() == velu::ProjektOeffnung::Offen : velu::OpenStammDB();
        EXPECT_EQ(offen, d.warum.empty());
        EXPECT_EQ(offen, (projekt ? App().ProjektDB() : App().StammDB()) != nullptr);
        const QString warum = QString::fromStdString(d.warum);
        if (d.warum.empty())
            EXPECT_TRUE(script.Shown().empty());
        else if (projekt)
            EXPECT_EQ(script.LastText().toStdString(),
                      ("Die Projektdatenbank " + datei + " konnte nicht geöffnet werden.\nDie Datei " +
                       datei + " ist keine Projektdatenbank. " + warum)
                          .toStdString());
        else
            EXPECT_EQ(script.LastText().toStdString(),
                      ("Es ist ein Fehler beim öffnen von " + datei + " aufgetreten \nDie Datei " + datei +
                       " ist keine Stammdatenbank. " + warum + "\nFehlernummer 3343")
                          .toStdString());
        App().Reset();
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), vorher);
    }
}

TEST(Startup, QtTextsAndCalendarsInGermanWhateverTheSystemSays) {
    testApp();
    const QLocale vorher;
    QLocale::setDefault(QLocale::c()); // as the system gives it under LANG=C.UTF-8
    const QString englisch = QCoreApplication::translate("QLineEdit", "&Undo");
    ASSERT_TRUE(velu::DeutscheOberflaeche()) << "Qt's German catalogue (qt6-translations-l10n) is missing";
    // The installed catalogue decides the wording; it must be a translation.
    const QString rueckgaengig = QCoreApplication::translate("QLineEdit", "&Undo");
    EXPECT_NE(rueckgaengig, englisch);
    {
        QLineEdit feld;
        std::unique_ptr<QMenu> menue(feld.createStandardContextMenu());
        ASSERT_FALSE(menue->actions().isEmpty());
        EXPECT_EQ(menue->actions().front()->text().section('\t', 0, 0), rueckgaengig);

        QCalendarWidget kalender;
        kalender.setCurrentPage(2026, 12);
        auto* monat = kalender.findChild<QToolButton*>("qt_calendar_monthbutton");
        ASSERT_TRUE(monat);
        EXPECT_EQ(monat->text(), "Dezember");
        EXPECT_EQ(kalender.locale().language(), QLocale::German); // and with it the names of the days
    }
    // A second call installs nothing twice.
    EXPECT_TRUE(velu::DeutscheOberflaeche());
    EXPECT_EQ(qApp->findChildren<QTranslator*>().size(), 1);

    for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
    QLocale::setDefault(vorher);
    EXPECT_EQ(QCoreApplication::translate("QLineEdit", "&Undo"), englisch);
}

// A project database stored under another case of its name is opened as the project's own; no empty one is
// made from the template beside it.
TEST(Startup, ProjectDatabaseFoundWhateverTheCaseOfItsName) {
    for (const char* name : {"VELUPRO32.MDB", "velupro32.mdb", "Velupro32.MDB"}) {
        SCOPED_TRACE(name);
        Buero b;
        b.umgebung->nummer = "00000003";
        MachLeereDB(b.Ordner("00000003") + "/" + name, "Projekt 3");
        MachLeereDB(b.Ordner("00000003") + "/VELUPRO.MDB", "Alt");
        bool angeboten = false;
        App().SetMigration([&](const QString&, const QString&) { angeboten = true; });
        MessageBoxScript script;
        EXPECT_EQ(velu::OpenProjektDB(), velu::ProjektOeffnung::Offen);
        EXPECT_EQ(ArtVon(App().ProjektDB()), "Projekt 3");
        EXPECT_EQ(App().ProjektDBPfad(), b.Ordner("00000003") + "/" + name);
        EXPECT_FALSE(angeboten);
        EXPECT_TRUE(script.Shown().empty());
        EXPECT_EQ(QDir(b.Ordner("00000003")).entryList({"*.mdb"}, QDir::Files).size(), 2)
            << QDir(b.Ordner("00000003")).entryList().join(",").toStdString();
    }
}

// The office folder is shared: a lock there left by a clerk on another computer, or a name there that cannot
// hold a lock, ends no start. Only the same user on this computer is a second instance, and the lock lies
// in that user's runtime folder.
TEST(Startup, OnlyTheSameUserOnThisComputerIsASecondInstance) {
    struct Case {
        const char* name;
        std::function<void(const QString& buero, const QString& laufzeit)> plant;
        velu::StartErgebnis zweite; // a second start while the first runs
    };
    const Case cases[] = {
        {"lock of another computer in the office folder",
         [](const QString& buero, const QString&) {
             QFile f(buero + "/Velunta32.lock");
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write("4242\nvelunta32\nkanzlei-pc2\n");
         },
         velu::StartErgebnis::ZweiteInstanz},
        {"a folder in place of the office's old lock",
         [](const QString& buero, const QString&) { ASSERT_TRUE(QDir().mkpath(buero + "/Velunta32.lock")); },
         velu::StartErgebnis::ZweiteInstanz},
        {"no runtime folder to hold the lock",
         [](const QString&, const QString& laufzeit) { QDir(laufzeit).removeRecursively(); },
         velu::StartErgebnis::Laeuft},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Buero b;
        QTemporaryDir laufzeit;
        c.plant(b.buero, laufzeit.path());
        auto start = [&](std::unique_ptr<QLockFile>& lock) {
            velu::StartOptionen opt;
            opt.bueroOrdner = b.buero;
            opt.programmDaten = b.buero + "/gibtsnicht";
            opt.laufzeitOrdner = laufzeit.path();
            return velu::Main(opt, lock);
        };
        MessageBoxScript script;
        std::unique_ptr<QLockFile> erste, zweite;
        ASSERT_EQ(start(erste), velu::StartErgebnis::Laeuft);
        EXPECT_TRUE(script.Shown().empty());
        if (c.zweite == velu::StartErgebnis::ZweiteInstanz) {
            ASSERT_TRUE(erste);
            EXPECT_TRUE(erste->fileName().startsWith(laufzeit.path() + "/Velunta32-"));
        }
        EXPECT_EQ(start(zweite), c.zweite);
        EXPECT_TRUE(script.Shown().empty());
    }
}

// A project folder planted as a link is not opened: nothing is created through it, and the message names it.
TEST(Startup, ProjectFolderThatIsALinkIsRefusedAndNothingIsCreatedThroughIt) {
    Buero b;
    QTemporaryDir aussen;
    QDir(b.Ordner("00000001")).removeRecursively();
    ASSERT_TRUE(QFile::link(aussen.path(), b.Ordner("00000001")));
    MessageBoxScript script;
    EXPECT_EQ(velu::OpenProjektDB(), velu::ProjektOeffnung::Fehler);
    EXPECT_TRUE(
        QDir(aussen.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden).isEmpty());
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text,
              "Die Projektdatenbank " + b.ProjektDB("00000001") + " kann nicht geöffnet werden.\n'" +
                  b.Ordner("00000001") +
                  "' ist eine Verknüpfung. Daten des Programms werden nicht über Verknüpfungen gelesen oder "
                  "geschrieben; bitte ersetzen Sie die Verknüpfung durch den Ordner oder die Datei selbst.");
}

// Two processes of one user on this computer: while the other one holds the lock, the start ends silently;
// once that process is killed (its lock file left behind), the next start runs.
TEST(Startup, SecondProcessOfTheSameUserEndsSilentlyUntilTheFirstIsGone) {
    Buero b;
    QTemporaryDir laufzeit;
    velu::StartOptionen opt;
    opt.bueroOrdner = b.buero;
    opt.programmDaten = b.buero + "/gibtsnicht";
    opt.laufzeitOrdner = laufzeit.path();
    std::unique_ptr<QLockFile> lock;
    ASSERT_EQ(velu::Main(opt, lock), velu::StartErgebnis::Laeuft);
    const QString pfad = lock->fileName();
    lock.reset();
    int bereit[2];
    ASSERT_EQ(::pipe(bereit), 0);
    const pid_t erste = ::fork();
    if (erste == 0) {
        QLockFile l(pfad);
        l.setStaleLockTime(0);
        const char c = l.tryLock(0) ? 'y' : 'n';
        (void)!::write(bereit[1], &c, 1);
        for (;;)
            ::pause();
    }
    char c = 0;
    ASSERT_EQ(::read(bereit[0], &c, 1), 1);
    EXPECT_EQ(c, 'y');
    MessageBoxScript script;
    EXPECT_EQ(velu::Main(opt, lock), velu::StartErgebnis::ZweiteInstanz);
    EXPECT_FALSE(lock);
    ::kill(erste, SIGKILL);
    ::waitpid(erste, nullptr, 0);
    EXPECT_EQ(velu::Main(opt, lock), velu::StartErgebnis::Laeuft);
    EXPECT_TRUE(script.Shown().empty());
    for (int fd : bereit)
        ::close(fd);
}
