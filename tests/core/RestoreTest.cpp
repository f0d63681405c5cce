#include "AltProjekt.h"
#include "DaSiFixture.h"
#include "Deklarationen.h"

#include "core/DaSiin.h"
#include "core/DaSiinPro.h"
#include "core/Datensicherung.h"
#include "core/Migration.h"
#include "platform/archive/ZipArchive.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/outside/Adressbuch.h"
#include "platform/outside/ProjektListe.h"
#include "platform/outside/Serienbriefe.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>

#include "platform/settings/SettingsStore.h"

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace dasi_test;
using velu::forms::MessageBoxScript;
using velu::forms::MsgButtons;
using velu::forms::MsgResult;

namespace {

const QString Unlesbar = "Die Datensicherung konnte nicht erfolgreich zurückgelesen werden.";

class RestoreTest : public DaSiTest {
public:
    void Backup(int nummer) {
        MessageBoxScript script;
        velu::Datensicherung engine(u, Sys());
        ASSERT_TRUE(engine.CallSicherung(nummer, archiv)) << script.LastText().toStdString();
    }
    QString Datum() const {
        return QString::fromStdString(velu::archive::ReadInfo(archiv.toStdString())->created);
    }
    // The row of the project list for nummer, "" when there is none.
    std::string Eintrag(const std::string& nummer) {
        auto db = velu::db::Database::Open(Liste());
        const velu::db::Value nr = nummer;
        auto rs = db->OpenRecordset("SELECT PRBZ FROM PROJEKT WHERE PrNr = ?", velu::db::Params().Add(nr));
        return rs.Empty() ? "" : "=" + rs.GetText("PRBZ");
    }
    void Veraendern() {
        auto db = velu::db::Database::Open(projekt / "Velupro32.mdb");
        db->Execute("INSERT INTO Daten (Text) VALUES ('nach der Sicherung')");
        MakeDb(root / "office/Projekte/00000009.PRO/Velupro32.mdb", "Projekt", 1);
    }
    fs::path Office() const { return root / "office"; }
};

// Drives DaSiinPro as a user would: new number and name, then OK.
std::function<void(velu::DaSiinPro&)> Eingabe(QString nummer, QString name) {
    return [=](velu::DaSiinPro& d) {
        d.findChild<QLineEdit*>("XtraText1_0")->setText(nummer);
        d.findChild<QLineEdit*>("XtraText1_1")->setText(name);
        d.Band().Click("OK");
    };
}

TEST_F(RestoreTest, ProjectRestoredUnderNewNumberAndRegistered) {
    Backup(1);
    velu::DaSiin form(u, Sys());
    EXPECT_EQ(form.windowTitle(), "Datensicherung zurücklesen");
    form.SetDateiDialog([&](QWidget*, int modus) { return modus == 1 ? archiv : QString(); });
    QString gezeigt;
    form.SetProjektDialog([&](velu::DaSiinPro& d) {
        gezeigt =
            d.findChild<QLabel*>("LabelNummer")->text() + "/" + d.findChild<QLabel*>("LabelName")->text();
        Eingabe("44", "Kopie Kita")(d);
    });
    MessageBoxScript script({MsgResult::OK, MsgResult::OK});
    form.Band().Click("LW");
    form.Band().Click("OK");
    EXPECT_EQ(gezeigt, "00000007/Neubau Kita");
    ASSERT_EQ(script.Shown().size(), 2u);
    const auto& frage = script.Shown()[0];
    EXPECT_EQ(frage.text,
              "Sie wollen das Projekt 00000044 mit der Datensicherung vom " + Datum() +
                  "\nüberschreiben. Alle nach der Sicherung gemachten Änderungen werden gelöscht\n\n"
                  "Sind Sie da wirklich sicher");
    EXPECT_EQ(frage.title, "Zurückschreiben von Projekt 00000044");
    EXPECT_EQ(frage.buttons, MsgButtons::OKCancel);
    EXPECT_EQ(frage.defaultButton, 1);
    EXPECT_EQ(script.Shown()[1].text, "Die Datensicherung wurde erfolgreich zurückgelesen.");

    const fs::path neu = root / "office/Projekte/00000044.PRO";
    EXPECT_EQ(Dump(neu / "Velupro32.mdb"), Dump(projekt / "Velupro32.mdb"));
    EXPECT_EQ(ReadFile(neu / "Prodat"), ReadFile(projekt / "Prodat"));
    EXPECT_EQ(Eintrag("00000044"), "=Kopie Kita");
    EXPECT_EQ(Eintrag("00000007"), "=Neubau Kita");
}

// A project whose name holds a line break (stored before the fields kept them out), a degree sign or a
// percent sign is backed up with a description that reads back whole, and restored under its whole name
// after the question that names the backup's date; the archive of an older program, which wrote every name
// as it was, still reads.
TEST_F(RestoreTest, AProjectNameReadsBackWholeFromItsBackup) {
    struct Fall {
        const char* name;
        const char* alt; // the description an older program wrote; empty: this program backs up
        const char* beschreibung;
    } faelle[] = {
        {"Kita Nord\nBauteil B", "", "PROJEKT°00000007°°Kita Nord%0ABauteil B"},
        {"Kita Nord\r\nBauteil B", "", "PROJEKT°00000007°°Kita Nord%0D%0ABauteil B"},
        {"Kühlhaus -18°C, 50 %", "", "PROJEKT°00000007°°Kühlhaus -18%C2%B0C, 50 %25"},
        {"Neubau Kita", "", "PROJEKT°00000007°Neubau Kita"},
        {"Anbau 20%-Zuschlag %0A", "PROJEKT°00000007°Anbau 20%-Zuschlag %0A", ""},
    };
    int neu = 43;
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.name);
        const QString name = QString::fromUtf8(f.name);
        const QString nummer = QString::number(++neu);
        if (*f.alt) {
            const fs::path db = root / "alt.mdb";
            fs::copy_file(projekt / "Velupro32.mdb", db, fs::copy_options::overwrite_existing);
            ASSERT_EQ(velu::archive::WriteArchive(archiv.toStdString(), {f.alt, "05.12.2026 17:30:00"},
                                                  {{"Velupro32.mdb", db}}),
                      "");
        } else {
            u.name = name;
            Backup(1);
            EXPECT_EQ(velu::archive::ReadInfo(archiv.toStdString())->descriptor, f.beschreibung);
        }
        ASSERT_TRUE(Datum().contains(QRegularExpression("^\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d$")))
            << Datum().toStdString();
        velu::DaSiin form(u, Sys());
        form.SetDateiDialog([&](QWidget*, int modus) { return modus == 1 ? archiv : QString(); });
        QString gezeigt;
        form.SetProjektDialog([&](velu::DaSiinPro& d) {
            gezeigt = d.findChild<QLabel*>("LabelName")->text();
            d.findChild<QLineEdit*>("XtraText1_0")->setText(nummer);
            d.Band().Click("OK");
        });
        MessageBoxScript script({MsgResult::OK, MsgResult::OK});
        form.Band().Click("LW");
        form.Band().Click("OK");
        EXPECT_EQ(gezeigt, name);
        ASSERT_EQ(script.Shown().size(), 2u) << script.LastText().toStdString();
        EXPECT_TRUE(script.Shown()[0].text.startsWith("Sie wollen das Projekt 000000" + nummer +
                                                      " mit der Datensicherung vom " + Datum() +
                                                      "\nüberschreiben."))
            << script.Shown()[0].text.toStdString();
        EXPECT_EQ(script.Shown()[1].text, "Die Datensicherung wurde erfolgreich zurückgelesen.");
        EXPECT_EQ(Eintrag("000000" + nummer.toStdString()), "=" + name.toStdString());
    }
}

TEST_F(RestoreTest, CurrentProjectBackedUpAndRestoredThroughTheDialogsTools) {
    const std::string vorher = Dump(projekt / "Velupro32.mdb");
    {
        velu::DaSiOut aus(u, Sys());
        aus.SetDateiDialog([](QWidget*, int) -> QString {
            ADD_FAILURE() << "file dialog not expected";
            return {};
        });
        aus.findChild<QRadioButton*>("Option1_0")->setChecked(true);
        MessageBoxScript script;
        aus.Band().Click("OK");
        ASSERT_TRUE(fs::exists(Vorgabe())) << script.LastText().toStdString();
        EXPECT_EQ(velu::archive::ReadInfo(Vorgabe().string())->descriptor, "PROJEKT°00000007°Neubau Kita");
    }
    Veraendern();
    ASSERT_NE(Dump(projekt / "Velupro32.mdb"), vorher);

    velu::DaSiin ein(u, Sys());
    EXPECT_EQ(ein.findChild<QLabel*>("Label3")->text().toStdString(), Vorgabe().string());
    ein.SetDateiDialog([](QWidget*, int) -> QString {
        ADD_FAILURE() << "file dialog not expected";
        return {};
    });
    ein.SetProjektDialog(Eingabe("7", "Neubau Kita"));
    // Overwrite the existing project, confirm, and the archiver's report.
    MessageBoxScript script({MsgResult::Yes, MsgResult::OK, MsgResult::OK});
    ein.Band().Click("OK");
    ASSERT_EQ(script.Shown().size(), 3u) << script.LastText().toStdString();
    EXPECT_TRUE(
        script.Shown()[1].text.startsWith("Sie wollen das Projekt 00000007 mit der Datensicherung vom "));
    EXPECT_EQ(Dump(projekt / "Velupro32.mdb"), vorher);
    EXPECT_EQ(Eintrag("00000007"), "=Neubau Kita");
}

TEST_F(RestoreTest, AllProjectsComeBackAsBackedUp) {
    const std::string vorher = Snapshot(Office());
    Backup(2);
    Veraendern();
    ASSERT_NE(Snapshot(Office()), vorher);
    MessageBoxScript script({MsgResult::OK, MsgResult::OK});
    velu::Datensicherung engine(u, Sys());
    ASSERT_TRUE(engine.SicherungBack(archiv, "Datensicherung zurücklesen", {}))
        << script.LastText().toStdString();
    EXPECT_EQ(script.Shown()[0].text,
              "Sie wollen die gesamten Projete mit der Datensicherung vom " + Datum() +
                  "\nüberschreiben. Alle nach der Sicherung gemachten Änderungen werden "
                  "gelöscht\n\nSind Sie da wirklich sicher");
    EXPECT_EQ(script.Shown()[0].title, "Zurückschreiben aller Projekte");
    EXPECT_EQ(Snapshot(Office()), vorher);
}

TEST_F(RestoreTest, FailuresLeaveTheDataAsItWas) {
    struct Case {
        const char* name;
        std::function<void(RestoreTest&)> prepare; // makes the archive and whatever else the case needs
        QString message;                           // start of the message shown last
    };
    const std::vector<Case> cases = {
        {"corrupt archive",
         [](RestoreTest& t) { std::ofstream(t.archiv.toStdString(), std::ios::binary) << "PK\3\4kaputt"; },
         Unlesbar},
        {"entry leaving the folder",
         [](RestoreTest& t) {
             std::ofstream(t.root / "x") << "boese";
             // Our writer refuses such names, so the entry is renamed in the finished file.
             velu::archive::WriteArchive(t.archiv.toStdString(), {"ALLEPROJEKE", "01.01.2026 00:00:00"},
                                         {{"Projekte.mdb", t.Liste()}, {"zz/x", t.root / "x"}});
             std::string bytes = ReadFile(t.archiv.toStdString());
             for (size_t at; (at = bytes.find("zz/x")) != std::string::npos;)
                 bytes.replace(at, 4, "../x");
             std::ofstream(t.archiv.toStdString(), std::ios::binary) << bytes;
             fs::remove(t.root / "x");
         },
         "Die Datensicherung konnte nicht zurückgelesen werden."},
        {"damaged database",
         [](RestoreTest& t) {
             std::ofstream(t.root / "kaputt.mdb") << "keine Datenbank";
             velu::archive::WriteArchive(
                 t.archiv.toStdString(), {"ALLEPROJEKE", "01.01.2026 00:00:00"},
                 {{"Projekte.mdb", t.Liste()}, {"00000007.PRO/Velupro32.mdb", t.root / "kaputt.mdb"}});
         },
         "Die Datensicherung konnte nicht zurückgelesen werden."},
        {"database in use", [](RestoreTest& t) { t.Backup(2); },
         "Die Datensicherung konnte nicht zurückgelesen werden."},
        {"failure after unpacking", [](RestoreTest& t) { t.Backup(2); },
         "Die Datensicherung konnte nicht zurückgelesen werden.\nTestfehler"},
        {"foreign descriptor",
         [](RestoreTest& t) {
             velu::archive::WriteArchive(t.archiv.toStdString(), {"IRGENDWAS", "x"},
                                         {{"Prodat", t.projekt / "Prodat"}});
         },
         "Die angegebene Datei ist keine gültige Datensicherung"},
    };
    for (const auto& c : cases) {
        fs::remove(archiv.toStdString());
        c.prepare(*this);
        Veraendern();
        const std::string vorher = Snapshot(Office());
        std::unique_ptr<velu::db::Database> belegt;
        if (std::string(c.name) == "database in use")
            belegt = velu::db::Database::Open(projekt / "Velupro32.mdb");
        velu::Datensicherung engine(u, Sys());
        if (std::string(c.name) == "failure after unpacking")
            engine.nachDemEntpacken = [](const QString&) { return std::string("Testfehler"); };
        MessageBoxScript script({MsgResult::OK, MsgResult::OK});
        EXPECT_FALSE(engine.SicherungBack(archiv, "Datensicherung zurücklesen", {})) << c.name;
        EXPECT_TRUE(script.LastText().startsWith(c.message))
            << c.name << ": " << script.LastText().toStdString();
        belegt.reset();
        EXPECT_EQ(Snapshot(Office()), vorher) << c.name;
        EXPECT_FALSE(fs::exists(root / "x")) << c.name;
        fs::remove_all(root / "office/Projekte/00000009.PRO");
    }
}

TEST_F(RestoreTest, RegistrationOnlyAfterASuccessfulRestore) {
    Backup(1);
    const std::string vorher = Snapshot(Office());
    {
        // Cancel at the final confirmation.
        velu::DaSiin form(u, Sys());
        form.SetDateiDialog([&](QWidget*, int) { return archiv; });
        form.SetProjektDialog(Eingabe("44", "Kopie"));
        MessageBoxScript script({MsgResult::Cancel});
        form.Band().Click("OK");
        EXPECT_EQ(script.Shown().size(), 1u);
    }
    {
        // A failure after unpacking.
        velu::DaSiin form(u, Sys());
        form.SetDateiDialog([&](QWidget*, int) { return archiv; });
        form.SetProjektDialog(Eingabe("44", "Kopie"));
        form.Engine().nachDemEntpacken = [](const QString&) { return std::string("Testfehler"); };
        MessageBoxScript script({MsgResult::OK, MsgResult::OK});
        form.Band().Click("OK");
        EXPECT_TRUE(script.LastText().contains("Testfehler"));
    }
    {
        // EXIT of the project dialog.
        velu::DaSiin form(u, Sys());
        form.SetDateiDialog([&](QWidget*, int) { return archiv; });
        form.SetProjektDialog([](velu::DaSiinPro& d) { d.Band().Click("EXIT"); });
        MessageBoxScript script;
        form.Band().Click("OK");
        EXPECT_TRUE(script.Shown().empty());
    }
    EXPECT_EQ(Eintrag("00000044"), "");
    EXPECT_EQ(Snapshot(Office()), vorher);
}

TEST_F(RestoreTest, ExistingProjectYesNoCancel) {
    struct Case {
        MsgResult answer;
        bool visible, abbruch, ueberschreiben, hatZiel;
    };
    const QString folder = u.projekte + "00000007.PRO";
    for (const Case& c :
         {Case{MsgResult::Yes, false, false, true, true}, Case{MsgResult::No, true, false, false, false},
          Case{MsgResult::Cancel, false, true, false, false}}) {
        velu::DaSiinPro d(u);
        EXPECT_EQ(d.windowTitle(), "Projekt zurücklesen");
        bool fehler = true;
        d.MakeConections("PROJEKT°7°Neubau Kita°05.12.2026 17:30:00", fehler);
        ASSERT_FALSE(fehler);
        d.show();
        MessageBoxScript script({c.answer});
        d.Band().Click("OK");
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].text, "Das Projekt 00000007 ist schon vorhanden. Soll es mit der "
                                          "\nDatensicherung vom 05.12.2026 17:30:00 "
                                          "überschrieben werden\nAlle nach der Sicherung gemachten "
                                          "Änderungen werden gelöscht\n\nSind Sie da "
                                          "wirklich sicher");
        EXPECT_EQ(script.Shown()[0].title, "Projekt zurücklesen");
        EXPECT_EQ(script.Shown()[0].buttons, MsgButtons::YesNoCancel);
        EXPECT_EQ(script.Shown()[0].defaultButton, 2);
        EXPECT_EQ(d.isVisible(), c.visible);
        bool abbruch = false, ueber = false;
        QString ziel;
        d.GetZiel(abbruch, ueber, ziel);
        EXPECT_EQ(abbruch, c.abbruch);
        EXPECT_EQ(ueber, c.ueberschreiben);
        EXPECT_EQ(ziel, c.hatZiel ? folder : QString());
        EXPECT_EQ(d.Nummer(), "00000007");
    }
}

TEST_F(RestoreTest, ProjectNumberMustBeDigits) {
    const std::vector<std::pair<QString, QString>> cases = {{"44", u.projekte + "00000044.PRO"},
                                                            {"12345678", u.projekte + "12345678.PRO"},
                                                            {"4a", ""},
                                                            {"../../x", ""},
                                                            {"", ""},
                                                            {"4 4", ""}};
    for (const auto& [eingabe, ziel] : cases) {
        velu::DaSiinPro d(u);
        bool fehler = true;
        d.MakeConections("PROJEKT°7°Kita°05.12.2026", fehler);
        d.findChild<QLineEdit*>("XtraText1_0")->setText(eingabe);
        d.show();
        MessageBoxScript script;
        d.Band().Click("OK");
        bool abbruch = true, ueber = true;
        QString z;
        d.GetZiel(abbruch, ueber, z);
        EXPECT_EQ(z, ziel) << eingabe.toStdString();
        EXPECT_FALSE(abbruch);
        EXPECT_EQ(d.isVisible(), ziel.isEmpty()) << eingabe.toStdString();
        if (ziel.isEmpty()) {
            EXPECT_EQ(script.LastText(), "Die Projektnummer muss aus 1 bis 8 Ziffern bestehen.");
        }
    }
    // A descriptor without the date is no backup of a project.
    velu::DaSiinPro d(u);
    bool fehler = false;
    d.MakeConections("PROJEKT°7°Kita", fehler);
    EXPECT_TRUE(fehler);
}

TEST_F(RestoreTest, TablesGoToTheirConfiguredPathsWhateverTheCase) {
    const fs::path vorlage = root / "vorlagen/Vorlage.mdb";
    MakeDb(vorlage, "Vorlage", 1);
    u.pfade["VELUVORLAGE"] = QString::fromStdString(vorlage.string());
    MakeDb(root / "neu/a.mdb", "Stamm", 7);
    MakeDb(root / "neu/b.mdb", "Vorlage", 9);
    ASSERT_EQ(velu::archive::WriteArchive(
                  archiv.toStdString(), {"VELUDATEN°VELUVORLAGE", "01.01.2026 00:00:00"},
                  {{"veludat32.mdb", root / "neu/a.mdb"}, {"Veluvor32.Mdb", root / "neu/b.mdb"}}),
              "");
    MessageBoxScript script({MsgResult::OK, MsgResult::OK});
    velu::Datensicherung engine(u, Sys());
    ASSERT_TRUE(engine.SicherungBack(archiv, "Datensicherung zurücklesen", {}))
        << script.LastText().toStdString();
    EXPECT_EQ(script.Shown()[0].title, "Zurückschreiben der HOAI - Tabellen und Vorlagen");
    EXPECT_TRUE(script.Shown()[0].text.startsWith("Sie wollen Die HOAI - Tabellen und Vorlagen  mit der"));
    EXPECT_EQ(Dump(sys / "VELUDAT32.MDB"), Dump(root / "neu/a.mdb"));
    EXPECT_EQ(Dump(vorlage), Dump(root / "neu/b.mdb"));
    EXPECT_FALSE(fs::exists(sys / "VELUVOR32.MDB.neu"));
    for (const auto& e : fs::directory_iterator(sys))
        EXPECT_EQ(e.path().string().find(".alt"), std::string::npos) << e.path();
}

} // namespace

namespace {

TEST_F(RestoreTest, DatabaseOfTheWrongKindIsRefused) {
    MakeDb(root / "neu/a.mdb", "Projekt", 7); // a project database where the master database belongs
    MakeDb(root / "neu/b.mdb", "Vorlage", 9);
    ASSERT_EQ(velu::archive::WriteArchive(
                  archiv.toStdString(), {"VELUDATEN°VELUVORLAGE", "01.01.2026 00:00:00"},
                  {{"VELUDAT32.MDB", root / "neu/a.mdb"}, {"VELUVOR32.MDB", root / "neu/b.mdb"}}),
              "");
    const std::string vorher = Snapshot(sys);
    MessageBoxScript script({MsgResult::OK, MsgResult::OK});
    velu::Datensicherung engine(u, Sys());
    EXPECT_FALSE(engine.SicherungBack(archiv, "Datensicherung zurücklesen", {}));
    EXPECT_TRUE(script.LastText().contains("keine Datenbank dieses Programms"))
        << script.LastText().toStdString();
    EXPECT_EQ(Snapshot(sys), vorher);
}

} // namespace

namespace {

// Archives that lack what their data set needs, restored through the dialog as a user would: each is refused
// with its reason and leaves the office as it was, byte for byte.
TEST_F(RestoreTest, ArchiveLackingItsDataSetChangesNothing) {
    const fs::path quelle = root / "quelle";
    MakeDb(quelle / "projekt.mdb", "Projekt", 4);
    fs::create_directories(quelle);
    std::ofstream(quelle / "text") << "nur ein Text";
    std::ofstream(quelle / "kaputt") << "keine Datenbank";
    fs::copy_file(Liste(), quelle / "liste.mdb");
    struct Case {
        const char* name;
        std::string descriptor;
        std::vector<std::pair<std::string, std::string>> entries; // name in the archive, file in quelle
        bool projektDialog;                                       // asked for the number first
        bool frueh;                                               // refused before any question
        QString message;                                          // contained in the last message
    };
    const std::string projekt = "PROJEKT°00000007°Neubau Kita";
    const QString ohneDb = "Die Datensicherung enthält die Datei Velupro32.mdb nicht.";
    const QString ohneListe = "Die Datensicherung enthält die Datei Projekte.mdb nicht.";
    const std::vector<Case> cases = {
        {"project, no entries", projekt, {}, false, true, ohneDb},
        {"project, a text file only", projekt, {{"liesmich.txt", "text"}}, false, true, ohneDb},
        {"project, Prodat only", projekt, {{"Prodat", "text"}}, false, true, ohneDb},
        {"project, database in a sub-folder",
         projekt,
         {{"x/Velupro32.mdb", "projekt.mdb"}},
         false,
         true,
         ohneDb},
        {"all projects, no entries", "ALLEPROJEKE", {}, false, true, ohneListe},
        {"all projects, no project list",
         "ALLEPROJEKE",
         {{"00000007.PRO/Velupro32.mdb", "projekt.mdb"}},
         false,
         true,
         ohneListe},
        {"all projects, a project folder without database",
         "ALLEPROJEKE",
         {{"Projekte.mdb", "liste.mdb"},
          {"00000007.PRO/Velupro32.mdb", "projekt.mdb"},
          {"00000009.pro/Prodat", "text"}},
         false,
         true,
         "Die Datensicherung enthält im Ordner 00000009.pro die Datei Velupro32.mdb nicht."},
        {"all projects, the list is no project list",
         "ALLEPROJEKE",
         {{"Projekte.mdb", "projekt.mdb"}, {"00000007.PRO/Velupro32.mdb", "projekt.mdb"}},
         false,
         false,
         "Die Datenbank Projekte.mdb ist keine Projektliste."},
        {"project, damaged database in capitals",
         projekt,
         {{"VELUPRO32.MDB", "kaputt"}},
         true,
         false,
         "Die Datenbank VELUPRO32.MDB ist keine gültige Datenbank."},
        {"serial letters without their file",
         "SERIENBRIEFE",
         {{"Serienbriefe.txt", "text"}},
         false,
         true,
         "Die Datensicherung enthält die Datei SERIENBRIEFE.MDB nicht."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(archiv.toStdString());
        if (c.entries.empty()) {
            EmptyArchive(archiv.toStdString(), c.descriptor);
        } else {
            std::vector<velu::archive::ArchiveFile> files;
            for (const auto& [name, datei] : c.entries)
                files.push_back({name, quelle / datei});
            ASSERT_EQ(velu::archive::WriteArchive(archiv.toStdString(), {c.descriptor, "01.01.2026 00:00:00"},
                                                  files),
                      "");
        }
        const std::string vorher = Bytes(Office());
        velu::DaSiin form(u, Sys());
        form.SetDateiDialog([&](QWidget*, int) { return archiv; });
        bool gefragt = false;
        form.SetProjektDialog([&](velu::DaSiinPro& d) {
            gefragt = true;
            Eingabe("7", "Neubau Kita")(d);
        });
        // Overwrite the project, confirm, then the report.
        MessageBoxScript script;
        if (c.projektDialog) script.Answer(MsgResult::Yes);
        script.Answer(MsgResult::OK);
        script.Answer(MsgResult::OK);
        form.Band().Click("LW");
        form.Band().Click("OK");
        EXPECT_EQ(gefragt, c.projektDialog);
        EXPECT_TRUE(script.LastText().contains(c.message)) << script.LastText().toStdString();
        EXPECT_NE(script.LastText(), "Die Datensicherung wurde erfolgreich zurückgelesen.");
        if (c.frueh) {
            EXPECT_EQ(script.Shown().size(), 1u);
            EXPECT_TRUE(script.LastText().startsWith(Unlesbar));
        }
        EXPECT_EQ(Bytes(Office()), vorher);
    }
}

} // namespace

namespace {

// A full disk while unpacking, a disk too small for the archive, and a write refused by the system: each is
// reported as a failed write with its cause and file, never as a damaged archive, and leaves the office and
// the system folder byte for byte as before.
TEST_F(RestoreTest, FullDiskIsReportedAsSuchAndChangesNothing) {
    Backup(2);
    const std::string allProjects = ReadFile(archiv.toStdString());
    Backup(3);
    const std::string tables = ReadFile(archiv.toStdString());
    Backup(1);
    const std::string project = ReadFile(archiv.toStdString());
    struct Case {
        const char* name;
        const std::string& archive;
        std::function<void(velu::Datensicherung&)> prepare;
        QString message;
        bool projekt = true; // asks whether the existing project may be overwritten
    };
    auto vollNach = [](size_t bytes) {
        return [bytes](velu::Datensicherung& e) {
            auto geschrieben = std::make_shared<size_t>(0);
            e.schreiben = [bytes, geschrieben](int fd, const char* data, size_t len) {
                if (*geschrieben + len > bytes) return ENOSPC;
                *geschrieben += len;
                return ::write(fd, data, len) == static_cast<ssize_t>(len) ? 0 : errno;
            };
        };
    };
    const QString voll = "kann nicht geschrieben werden: Auf dem Datenträger ist kein Platz mehr frei.";
    const std::vector<Case> cases = {
        {"project, disk full", project, vollNach(1000), voll},
        {"all projects, disk full", allProjects, vollNach(70000), voll, false},
        {"tables, disk full", tables, vollNach(1000), voll, false},
        {"project, too little free space", project,
         [](velu::Datensicherung& e) {
             e.freierPlatz = [](const fs::path&) { return std::uintmax_t{4096}; };
         },
         "Auf dem Datenträger ist nicht genug Platz frei: Das Zurücklesen braucht "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::ofstream(archiv.toStdString(), std::ios::binary | std::ios::trunc) << c.archive;
        Veraendern();
        const std::string vorher = Bytes(Office()) + Bytes(sys);
        velu::DaSiin form(u, Sys());
        form.SetDateiDialog([&](QWidget*, int) { return archiv; });
        form.SetProjektDialog(Eingabe("7", "Neubau Kita"));
        c.prepare(form.Engine());
        MessageBoxScript script;
        if (c.projekt) script.Answer(MsgResult::Yes);
        script.Answer(MsgResult::OK);
        script.Answer(MsgResult::OK);
        form.Band().Click("LW");
        form.Band().Click("OK");
        EXPECT_TRUE(script.LastText().startsWith("Die Datensicherung konnte nicht zurückgelesen werden."))
            << script.LastText().toStdString();
        EXPECT_TRUE(script.LastText().contains(c.message)) << script.LastText().toStdString();
        EXPECT_FALSE(script.LastText().contains("beschädigt")) << script.LastText().toStdString();
        EXPECT_EQ(Bytes(Office()) + Bytes(sys), vorher);
        fs::remove_all(root / "office/Projekte/00000009.PRO");
    }
}

// A real write refused by the system (the process's file size limit) while unpacking.
TEST_F(RestoreTest, RefusedWriteIsNotADamagedArchive) {
    Backup(1);
    Veraendern();
    const std::string vorher = Bytes(Office());
    velu::DaSiin form(u, Sys());
    form.SetDateiDialog([&](QWidget*, int) { return archiv; });
    form.SetProjektDialog(Eingabe("7", "Neubau Kita"));
    MessageBoxScript script({MsgResult::Yes, MsgResult::OK, MsgResult::OK});
    form.Band().Click("LW");
    rlimit alt{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &alt), 0);
    const auto signal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit klein = alt;
    klein.rlim_cur = 2048;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &klein), 0);
    form.Band().Click("OK");
    setrlimit(RLIMIT_FSIZE, &alt);
    std::signal(SIGXFSZ, signal);
    EXPECT_TRUE(
        script.LastText().contains("Velupro32.mdb' kann nicht geschrieben werden: Die Datei ist für den "
                                   "Datenträger zu groß."))
        << script.LastText().toStdString();
    EXPECT_EQ(Bytes(Office()), vorher);
}

// A restored folder keeps the mode and the group of the folder it replaces, so the other users of a shared
// office keep their access; in a folder whose set-group-ID bit hands its group on, the restored files get it
// too. A new folder gets the umask's default.
TEST_F(RestoreTest, RestoredFolderKeepsTheModeOfTheOneItReplaces) {
    const mode_t maske = ::umask(0);
    ::umask(maske);
    struct Case {
        const char* name;
        int datensatz;
        fs::path ordner;
        std::optional<fs::perms> vorher; // nullopt: the folder does not exist yet
        QString nummer;
        gid_t gruppe = 0; // the office's group (100, "users"), 0 where the folder keeps the process's
    };
    const fs::path projekte = root / "office/Projekte";
    const std::vector<Case> cases = {
        {"project shared with the group", 1, projekte / "00000007.PRO", fs::perms(0770), "7"},
        {"project readable by all", 1, projekte / "00000007.PRO", fs::perms(0755), "7"},
        {"new project number", 1, projekte / "00000044.PRO", std::nullopt, "44"},
        {"all projects", 2, projekte, fs::perms(0775), ""},
        {"project of the office group", 1, projekte / "00000007.PRO", fs::perms(02770), "7", 100},
        {"all projects of the office group", 2, projekte, fs::perms(02770), "", 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Backup(c.datensatz);
        if (c.gruppe) ASSERT_EQ(::chown(c.ordner.c_str(), static_cast<uid_t>(-1), c.gruppe), 0);
        if (c.vorher) fs::permissions(c.ordner, *c.vorher);
        velu::DaSiin form(u, Sys());
        form.SetDateiDialog([&](QWidget*, int) { return archiv; });
        form.SetProjektDialog(Eingabe(c.nummer, "Kita"));
        MessageBoxScript script;
        if (c.vorher && c.datensatz == 1) script.Answer(MsgResult::Yes);
        script.Answer(MsgResult::OK);
        script.Answer(MsgResult::OK);
        form.Band().Click("LW");
        form.Band().Click("OK");
        EXPECT_EQ(script.LastText(), "Die Datensicherung wurde erfolgreich zurückgelesen.");
        const auto erwartet = c.vorher.value_or(fs::perms(0777 & ~maske));
        EXPECT_EQ(fs::status(c.ordner).permissions(), erwartet);
        struct stat st {};
        ASSERT_EQ(::stat(c.ordner.c_str(), &st), 0);
        EXPECT_EQ(st.st_gid, c.gruppe ? c.gruppe : ::getegid());
        if (c.gruppe) {
            const fs::path datenbank =
                c.ordner / (c.datensatz == 1 ? "Velupro32.mdb" : "00000007.PRO/Velupro32.mdb");
            ASSERT_EQ(::stat(datenbank.c_str(), &st), 0);
            EXPECT_EQ(st.st_gid, c.gruppe) << datenbank;
            ASSERT_EQ(::chown(c.ordner.c_str(), static_cast<uid_t>(-1), ::getegid()), 0);
        }
    }
}

// The restore dialog offers the archive just written, also after the program was started again.
TEST_F(RestoreTest, RestoreOffersTheArchiveJustWritten) {
    velu::settings::SettingsStore store(QString::fromStdString((root / "einstellungen.ini").string()));
    const QString gewaehlt = QString::fromStdString((root / "Sicherungen/Montag.zip").string());
    fs::create_directories(root / "Sicherungen");
    {
        velu::DaSiOut aus(u, Sys(), &store);
        aus.SetDateiDialog([&](QWidget*, int) { return gewaehlt; });
        MessageBoxScript script;
        aus.Band().Click("LW");
        aus.Band().Click("OK");
        ASSERT_TRUE(fs::exists(gewaehlt.toStdString())) << script.LastText().toStdString();
    }
    velu::DaSiin ein(u, Sys(), &store);
    EXPECT_EQ(ein.findChild<QLabel*>("Label3")->text(), gewaehlt);
    velu::DaSiOut wieder(u, Sys(), &store);
    EXPECT_EQ(wieder.findChild<QLabel*>("Label3")->text(), gewaehlt);
    // An archive that is gone is not offered.
    fs::remove(gewaehlt.toStdString());
    velu::DaSiin danach(u, Sys(), &store);
    EXPECT_EQ(danach.findChild<QLabel*>("Label3")->text().toStdString(), Vorgabe().string());
}

} // namespace

namespace {

// The next restore of a project first removes what a killed restore of it left beside the folder. The names
// older versions used are no swap's of this one: they may be the user's copies and stay.
TEST_F(RestoreTest, NextRestoreRemovesWhatAKilledOneLeft) {
    Backup(1);
    const fs::path projekte = root / "office/Projekte";
    for (const char* rest :
         {"00000007.PRO.neu", "00000007.PRO.alt", "00000007.PRO.alt0", "00000007.PRO.neu-Ab12Cd"}) {
        fs::create_directories(projekte / rest);
        std::ofstream(projekte / rest / "Velupro32.mdb") << "halb";
    }
    std::ofstream(projekte / "00000007.PRO.arbeit")
        << "alt=" << (projekte / "00000007.PRO.alt").string() << "\n";
    Veraendern();
    velu::DaSiin form(u, Sys());
    form.SetDateiDialog([&](QWidget*, int) { return archiv; });
    form.SetProjektDialog(Eingabe("7", "Neubau Kita"));
    MessageBoxScript script({MsgResult::Yes, MsgResult::OK, MsgResult::OK});
    form.Band().Click("LW");
    form.Band().Click("OK");
    EXPECT_EQ(script.LastText(), "Die Datensicherung wurde erfolgreich zurückgelesen.");
    std::vector<std::string> namen;
    for (const auto& e : fs::directory_iterator(projekte))
        if (e.path().extension() != ".lck") namen.push_back(e.path().filename().string());
    std::sort(namen.begin(), namen.end());
    EXPECT_EQ(namen, (std::vector<std::string>{"00000007.PRO", "00000007.PRO.alt0", "00000007.PRO.neu-Ab12Cd",
                                               "00000009.PRO", "Projekte.mdb"}));
}

} // namespace

namespace {

// The second database of the tables cannot go in (its staged copy vanishes at a step of its swap) after the
// first went in: the restore fails, says the data is unchanged, and both databases are as before, byte for
// byte, also where the master database did not exist yet.
TEST_F(RestoreTest, TablesSecondSwapFailingPutsTheFirstBack) {
    Backup(3);
    auto db = velu::db::Database::Open(sys / "VELUDAT32.MDB");
    db->Execute("INSERT INTO Daten (Text) VALUES ('nach der Sicherung')");
    db.reset();
    struct Case {
        bool austausch;
        const char* schritt; // the second time it comes, the second database's staged copy goes
        bool stammFehlt;
    };
    for (const Case& c : {Case{true, "bereit", false}, Case{false, "bereit", false},
                          Case{false, "beiseite", false}, Case{true, "bereit", true}}) {
        SCOPED_TRACE(std::string(c.austausch ? "exchange, " : "renames, ") + c.schritt +
                     (c.stammFehlt ? ", no master database before" : ""));
        const fs::path weg = root / "weg.mdb";
        if (c.stammFehlt) fs::rename(sys / "VELUDAT32.MDB", weg);
        const std::string vorher = Bytes(sys);
        MessageBoxScript script({MsgResult::OK, MsgResult::OK});
        velu::Datensicherung engine(u, Sys());
        engine.ohneAustausch = !c.austausch;
        int mal = 0;
        engine.zwischenDenSchritten = [&](const char* s) {
            if (std::string(s) == c.schritt && ++mal == 2) fs::remove(sys / "VELUVOR32.MDB.neu");
        };
        EXPECT_FALSE(engine.SicherungBack(archiv, "Datensicherung zurücklesen", {}));
        EXPECT_EQ(mal, 2);
        EXPECT_TRUE(script.LastText().endsWith("Die bisherigen Daten sind unverändert."))
            << script.LastText().toStdString();
        EXPECT_EQ(Bytes(sys), vorher);
        if (c.stammFehlt) fs::rename(weg, sys / "VELUDAT32.MDB");
    }
}

} // namespace

namespace {

// Restores archiv as a user would through the engine (set up by vorher): a project goes over project 7,
// every question is answered OK. Returns the messages shown.
std::vector<MessageBoxScript::Entry>
Zuruecklesen(RestoreTest& t, bool* ok, const std::function<void(velu::Datensicherung&)>& vorher = {}) {
    MessageBoxScript script({MsgResult::OK, MsgResult::OK, MsgResult::OK});
    velu::Datensicherung engine(t.u, t.Sys());
    if (vorher) vorher(engine);
    *ok = engine.SicherungBack(t.archiv, "Datensicherung zurücklesen", [&](const QString&) {
        velu::ProjektZiel z;
        z.ziel = QString::fromStdString(t.projekt.string());
        z.ueberschreiben = true;
        z.nummer = "00000007";
        z.name = "Neubau Kita";
        return std::optional(z);
    });
    return script.Shown();
}

} // namespace

namespace {

// "All projects" archives whose project list names projects they do not hold (only the list, or the list and
// one of its two projects): refused before anything changes, naming the missing project; no project is lost.
TEST_F(RestoreTest, AllProjectsArchiveMustHoldEveryListedProject) {
    const fs::path quelle = root / "quelle";
    fs::create_directories(quelle);
    fs::copy_file(Liste(), quelle / "Projekte.mdb");
    ASSERT_TRUE(velu::outside::ProjektListe(QString::fromStdString(quelle.string()) + "/")
                    .Eintragen("00000009", "Schule"));
    MakeDb(quelle / "projekt.mdb", "Projekt", 4);
    struct Case {
        const char* name;
        std::vector<velu::archive::ArchiveFile> files;
        QString fehlt;
    };
    const std::vector<Case> cases = {
        {"the list only", {{"Projekte.mdb", quelle / "Projekte.mdb"}}, "00000007"},
        {"the list and one project",
         {{"Projekte.mdb", quelle / "Projekte.mdb"}, {"00000007.PRO/Velupro32.mdb", quelle / "projekt.mdb"}},
         "00000009"},
    };
    Veraendern(); // project 9 exists in the office as well
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(velu::archive::WriteArchive(archiv.toStdString(), {"ALLEPROJEKE", "01.01.2026 00:00:00"},
                                              c.files),
                  "");
        const std::string vorher = Bytes(Office());
        bool ok = true;
        const auto shown = Zuruecklesen(*this, &ok);
        EXPECT_FALSE(ok);
        ASSERT_FALSE(shown.empty());
        EXPECT_TRUE(shown.back().text.contains("Die Datensicherung enthält das Projekt " + c.fehlt +
                                               " der Projektliste nicht"))
            << shown.back().text.toStdString();
        EXPECT_TRUE(shown.back().text.endsWith("Die bisherigen Daten sind unverändert."));
        EXPECT_EQ(Bytes(Office()), vorher);
    }
}

// An archive lying in the folder a restore replaces (the backup may be written there), also when reached
// through a link: refused before the question; the archive and the office stay as they were.
TEST_F(RestoreTest, ArchiveInsideTheReplacedFolderIsRefused) {
    const fs::path projekte = root / "office/Projekte";
    fs::create_directory_symlink(projekte, root / "verweis");
    struct Case {
        const char* name;
        int datensatz;
        fs::path archiv;
        fs::path ersetzt;
    };
    const std::vector<Case> cases = {
        {"project", 1, projekt / "sicherung.zip", projekt},
        {"all projects", 2, projekte / "alle.zip", projekte},
        {"all projects through a link", 2, root / "verweis/alle2.zip", projekte},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        archiv = QString::fromStdString(c.archiv.string());
        Backup(c.datensatz);
        const std::string vorher = Bytes(Office());
        bool ok = true;
        const auto shown = Zuruecklesen(*this, &ok);
        EXPECT_FALSE(ok);
        ASSERT_EQ(shown.size(), 1u) << shown.back().text.toStdString();
        EXPECT_TRUE(
            shown[0].text.contains("', das beim Zurücklesen ersetzt wird. Bitte kopieren Sie sie zuerst "
                                   "an einen anderen Ort."))
            << shown[0].text.toStdString();
        EXPECT_TRUE(shown[0].text.contains(QString::fromStdString(c.ersetzt.string())));
        EXPECT_EQ(Bytes(Office()), vorher);
        EXPECT_TRUE(velu::archive::ReadInfo(c.archiv));
    }
}

// Databases that say they are of the right kind but are laid out otherwise: an address book without the
// field AdrNr, serial letters without LFNR, a project whose BeReList is a view over an endless recursive
// query. Each is refused before anything changes, naming what is wrong.
TEST_F(RestoreTest, DatabaseOfTheRightKindButAnotherLayoutIsRefused) {
    const fs::path quelle = root / "quelle";
    fs::create_directories(quelle);
    {
        ASSERT_TRUE(
            velu::outside::Adressbuch::Oeffnen(QString::fromStdString((quelle / "adressen").string())));
        auto db = velu::db::Database::Open(quelle / "adressen");
        db->Execute("ALTER TABLE Adressen RENAME COLUMN AdrNr TO Nr");
    }
    {
        ASSERT_TRUE(
            velu::outside::Serienbriefe::Oeffnen(QString::fromStdString((quelle / "briefe").string())));
        auto db = velu::db::Database::Open(quelle / "briefe");
        db->Execute("ALTER TABLE DruckVorlagen RENAME COLUMN LFNR TO Nr");
    }
    {
        MakeDb(quelle / "projekt", "Projekt", 2);
        auto db = velu::db::Database::Open(quelle / "projekt");
        db->Execute("DROP TABLE BeReList");
        db->Execute("CREATE VIEW BeReList AS WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) "
                    "SELECT n AS LfNr, 'x' AS ReBezeichnung FROM r");
    }
    struct Case {
        std::string descriptor, eintrag, datei;
        QString warum;
    };
    const std::vector<Case> cases = {
        {"ADRESSEN", "ZADRESS32.MDB", "adressen", "In der Tabelle Adressen fehlt das Feld AdrNr."},
        {"SERIENBRIEFE", "SERIENBRIEFE.MDB", "briefe", "In der Tabelle DruckVorlagen fehlt das Feld LFNR."},
        {"PROJEKT°00000007°Neubau Kita", "Velupro32.mdb", "projekt",
         "Die Tabelle BeReList ist keine Tabelle, sondern eine Abfrage."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.descriptor);
        ASSERT_EQ(velu::archive::WriteArchive(archiv.toStdString(), {c.descriptor, "01.01.2026 00:00:00"},
                                              {{c.eintrag, quelle / c.datei}}),
                  "");
        const std::string vorher = Bytes(Office()) + Bytes(sys);
        bool ok = true;
        const auto shown = Zuruecklesen(*this, &ok);
        EXPECT_FALSE(ok);
        ASSERT_FALSE(shown.empty());
        EXPECT_TRUE(shown.back().text.contains("Die Datenbank " + QString::fromStdString(c.eintrag) +
                                               " ist keine Datenbank dieses Programms. " + c.warum))
            << shown.back().text.toStdString();
        EXPECT_EQ(Bytes(Office()) + Bytes(sys), vorher);
    }
}

} // namespace

namespace {

// An archive whose project database holds 4 MB but states 1000 bytes (in its local and central headers):
// unpacking writes no more than the stated size, refuses the archive as damaged, and leaves the office as it
// was.
TEST_F(RestoreTest, EntryLongerThanStatedIsRefusedAtItsStatedSize) {
    const fs::path gross = root / "gross";
    std::ofstream(gross, std::ios::binary) << std::string(4 << 20, 'x');
    ASSERT_EQ(velu::archive::WriteArchive(archiv.toStdString(),
                                          {"PROJEKT°00000007°Neubau Kita", "01.01.2026 00:00:00"},
                                          {{"Velupro32.mdb", gross}}),
              "");
    std::string bytes = ReadFile(archiv.toStdString());
    auto setze = [&](const char* kopf, size_t feld) {
        const size_t at = bytes.find(kopf, 0, 4);
        ASSERT_NE(at, std::string::npos);
        const std::string klein("\xe8\x03\0\0", 4); // 1000, little-endian
        bytes.replace(at + feld, 4, klein);
    };
    setze("PK\3\4", 22);
    setze("PK\1\2", 24);
    std::ofstream(archiv.toStdString(), std::ios::binary | std::ios::trunc) << bytes;
    ASSERT_EQ(velu::archive::UncompressedSize(archiv.toStdString()), 1000u);

    Veraendern();
    const std::string vorher = Bytes(Office());
    size_t geschrieben = 0;
    bool ok = true;
    const auto shown = Zuruecklesen(*this, &ok, [&](velu::Datensicherung& engine) {
        engine.schreiben = [&](int fd, const char* data, size_t len) {
            geschrieben += len;
            return ::write(fd, data, len) == static_cast<ssize_t>(len) ? 0 : errno;
        };
    });
    EXPECT_FALSE(ok);
    EXPECT_LE(geschrieben, 1000u);
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(shown.back().text.contains(
        "Die Datei 'Velupro32.mdb' im Archiv ist beschädigt: Sie ist länger, als das Archiv angibt."))
        << shown.back().text.toStdString();
    EXPECT_TRUE(shown.back().text.endsWith("Die bisherigen Daten sind unverändert."));
    EXPECT_TRUE(Bytes(Office()) == vorher);
}

} // namespace

namespace {

const QString Nicht = "Die Datensicherung konnte nicht zurückgelesen werden.\n";
const QString Unveraendert = "\nDie bisherigen Daten sind unverändert.";

std::string Modus(const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? std::to_string(st.st_mode & 07777) : "-";
}

// Archives whose stored queries are not the program's: an endless query that would hang every start, and one
// that writes a copy of the database to any path. Refused before anything changes; nothing is written
// outside the office.
TEST_F(RestoreTest, StoredQueriesOfAnArchiveMustBeTheProgramsOwn) {
    const fs::path boese = root / "boese";
    const fs::path aussen = root / "aussen.mdb";
    fs::create_directories(boese);
    fs::copy_file(sys / "VELUDAT32.MDB", boese / "VELUDAT32.MDB");
    fs::copy_file(sys / "VELUVOR32.MDB", boese / "VELUVOR32.MDB");
    fs::copy_file(projekt / "Velupro32.mdb", boese / "Velupro32.mdb");
    auto aendern = [](const fs::path& db, const char* name, const std::string& sql) {
        velu::db::Database::Open(db)->Execute("UPDATE _QueryDefs SET SQL = ?1 WHERE Name = ?2",
                                              velu::db::Params().Add(sql).Add(std::string(name)));
    };
    aendern(
        boese / "VELUDAT32.MDB", "MitBenutzer",
        "WITH RECURSIVE r(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM r) SELECT count(*) AS Benutzer FROM r");
    aendern(boese / "Velupro32.mdb", "GetGrunddaten", "VACUUM INTO '" + aussen.string() + "'");
    struct Case {
        const char* name;
        std::string descriptor;
        std::vector<velu::archive::ArchiveFile> files;
        QString warum;
    };
    const Case cases[] = {
        {"fee tables with an endless MitBenutzer",
         "VELUDATEN°VELUVORLAGE",
         {{"VELUDAT32.MDB", boese / "VELUDAT32.MDB"}, {"VELUVOR32.MDB", boese / "VELUVOR32.MDB"}},
         "Die Datenbank VELUDAT32.MDB ist keine Datenbank dieses Programms. Die gespeicherte Abfrage "
         "MitBenutzer stammt nicht von diesem Programm."},
        {"project with VACUUM INTO",
         "PROJEKT°00000007°Neubau Kita",
         {{"Velupro32.mdb", boese / "Velupro32.mdb"}, {"Prodat", projekt / "Prodat"}},
         "Die Datenbank Velupro32.mdb ist keine Datenbank dieses Programms. Die gespeicherte Abfrage "
         "GetGrunddaten stammt nicht von diesem Programm."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(
            velu::archive::WriteArchive(archiv.toStdString(), {c.descriptor, "01.01.2026 00:00:00"}, c.files),
            "");
        const std::string office = Bytes(Office()), system = Bytes(sys);
        bool ok = true;
        const auto shown = Zuruecklesen(*this, &ok);
        EXPECT_FALSE(ok);
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[1].text, Nicht + c.warum + Unveraendert);
        EXPECT_EQ(Bytes(Office()), office);
        EXPECT_EQ(Bytes(sys), system);
        EXPECT_FALSE(fs::exists(aussen));
    }
}

// Databases whose tables carry the program's names and fields but other declarations: no backup of them is
// written and no archive holding them is restored, each naming the table, and the office stays as it was.
// The program's own older layout is backed up and comes back.
TEST_F(RestoreTest, TablesDeclaredOtherwiseAreNeitherBackedUpNorRestored) {
    const fs::path original = root / "original";
    for (const auto& d : velu_test::Deklarationen()) {
        SCOPED_TRACE(d.was);
        const bool projektDb = std::string(d.datei) == "Velupro32.mdb";
        const fs::path datei = projektDb ? projekt / "Velupro32.mdb" : sys / d.datei;
        const QString warum =
            QString::fromStdString(d.warum.empty() ? ""
                                                   : "Die Datenbank " + std::string(d.datei) +
                                                         " ist keine Datenbank dieses Programms. " + d.warum);
        fs::copy_file(datei, original, fs::copy_options::overwrite_existing);
        velu_test::Umbauen(datei, d);
        fs::remove(archiv.toStdString());
        {
            MessageBoxScript script;
            velu::Datensicherung engine(u, Sys());
            EXPECT_EQ(engine.CallSicherung(projektDb ? 1 : 3, archiv), warum.isEmpty())
                << script.LastText().toStdString();
            if (!warum.isEmpty()) {
                EXPECT_EQ(script.LastText(),
                          "Die Datensicherung konnte nicht erstellt werden.\nDas Archiv ließe sich "
                          "nicht zurücklesen: " +
                              warum);
                EXPECT_FALSE(fs::exists(archiv.toStdString()));
                const std::vector<velu::archive::ArchiveFile> dateien =
                    projektDb ? std::vector<velu::archive::ArchiveFile>{{"Velupro32.mdb", datei},
                                                                        {"Prodat", projekt / "Prodat"}}
                              : std::vector<velu::archive::ArchiveFile>{
                                    {"VELUDAT32.MDB", datei}, {"VELUVOR32.MDB", sys / "VELUVOR32.MDB"}};
                ASSERT_EQ(velu::archive::WriteArchive(
                              archiv.toStdString(),
                              {projektDb ? "PROJEKT°00000007°Neubau Kita" : "VELUDATEN°VELUVORLAGE",
                               "01.01.2026 00:00:00"},
                              dateien),
                          "");
            }
        }
        fs::copy_file(original, datei, fs::copy_options::overwrite_existing);
        const std::string office = Bytes(Office()), system = Bytes(sys);
        bool ok = false;
        const auto shown = Zuruecklesen(*this, &ok);
        EXPECT_EQ(ok, warum.isEmpty());
        if (warum.isEmpty()) {
            auto db = velu::db::Database::Open(datei);
            EXPECT_NE(db->OpenRecordset("SELECT sql FROM sqlite_master WHERE name = ?",
                                        velu::db::Params().Add(std::string(d.tabelle)))
                          .GetText("sql")
                          .find(d.nach),
                      std::string::npos);
            continue;
        }
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[1].text, Nicht + warum + Unveraendert);
        EXPECT_EQ(Bytes(Office()), office);
        EXPECT_EQ(Bytes(sys), system);
    }
}

// Single-file restores: a co-worker's link at the staged name, planted after the leftover check or after the
// staged copy got its mode, never has the database written, chmod'ed or put in place through it.
TEST_F(RestoreTest, LinkPlantedAtTheStagedNameIsNeverWrittenThrough) {
    const fs::path privat = root / "heim/privat.txt";
    std::ofstream(privat) << "nur meins";
    fs::permissions(privat, fs::perms::owner_read | fs::perms::owner_write);
    const fs::path neu = sys / "VELUDAT32.MDB.neu";
    Backup(3);
    velu::db::Database::Open(sys / "VELUDAT32.MDB")->Execute("INSERT INTO Daten (Text) VALUES ('danach')");
    const std::string stamm = Dump(sys / "VELUDAT32.MDB"), vorlage = Dump(sys / "VELUVOR32.MDB");
    struct Case {
        const char* name;
        std::function<void(velu::Datensicherung&)> pflanze;
        QString warum;
    };
    const Case cases[] = {
        {"after the leftover check",
         [&](velu::Datensicherung& e) {
             e.nachDemEntpacken = [&](const QString&) {
                 fs::create_symlink(privat, neu);
                 return std::string();
             };
         },
         "Die Datei '" + QString::fromStdString(neu.string()) +
             "' kann nicht geschrieben werden: An ihrer Stelle liegt schon etwas, das nicht zu dieser "
             "Rücksicherung gehört."},
        {"between mode and swap",
         [&](velu::Datensicherung& e) {
             e.zwischenDenSchritten = [&](const char* schritt) {
                 if (std::string(schritt) != "bereit" || fs::exists(root / "beiseite.mdb")) return;
                 fs::rename(neu, root / "beiseite.mdb");
                 fs::create_symlink(privat, neu);
             };
         },
         "Die vorbereitete Kopie '" + QString::fromStdString((sys / "VELUDAT32.MDB").string()) +
             ".neu' wurde während des Zurücklesens verschoben oder durch etwas anderes ersetzt. Es wurde "
             "nichts übernommen; bitte prüfen Sie den Ordner '" +
             QString::fromStdString(sys.string()) + "'."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool ok = true;
        const auto shown = Zuruecklesen(*this, &ok, c.pflanze);
        EXPECT_FALSE(ok);
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[1].text, Nicht + c.warum + Unveraendert);
        EXPECT_EQ(ReadFile(privat), "nur meins");
        EXPECT_EQ(Modus(privat), "384"); // 0600
        EXPECT_FALSE(fs::is_symlink(sys / "VELUDAT32.MDB"));
        EXPECT_EQ(Dump(sys / "VELUDAT32.MDB"), stamm);
        EXPECT_EQ(Dump(sys / "VELUVOR32.MDB"), vorlage);
        fs::remove(neu);
        fs::remove(root / "beiseite.mdb");
    }
}

// A project restore whose staged folder is moved aside and replaced by a link while the archive unpacks:
// nothing lands outside the office, and the link never takes the project's place.
TEST_F(RestoreTest, StagedFolderReplacedByALinkWhileUnpackingRedirectsNothing) {
    Backup(1);
    const std::string vorher = Bytes(projekt);
    const fs::path aussen = root / "heim/aussen";
    fs::create_directories(aussen);
    const fs::path neu = root / "office/Projekte/00000007.PRO.neu";
    bool ok = true;
    const auto shown = Zuruecklesen(*this, &ok, [&](velu::Datensicherung& e) {
        e.schreiben = [&](int fd, const char* daten, std::size_t laenge) {
            if (!fs::is_symlink(neu)) {
                fs::rename(neu, root / "beiseite");
                fs::create_directory_symlink(aussen, neu);
            }
            return ::write(fd, daten, laenge) == static_cast<ssize_t>(laenge) ? 0 : errno;
        };
    });
    EXPECT_FALSE(ok);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, Nicht + "Die vorbereitete Kopie '" + QString::fromStdString(projekt.string()) +
                                 ".neu' wurde während des Zurücklesens verschoben oder durch etwas anderes "
                                 "ersetzt. Es wurde nichts übernommen; bitte prüfen Sie den Ordner '" +
                                 QString::fromStdString((root / "office/Projekte").string()) + "'." +
                                 Unveraendert);
    EXPECT_TRUE(fs::is_empty(aussen));
    EXPECT_FALSE(fs::is_symlink(projekt));
    EXPECT_EQ(Bytes(projekt), vorher);
}

// All-projects archives with lower-case folder names come back under the names the program opens; a
// project whose folder comes twice in different case is refused.
TEST_F(RestoreTest, LowerCaseProjectFoldersComeBackUnderTheNamesTheProgramOpens) {
    const fs::path quelle = root / "quelle";
    fs::create_directories(quelle);
    fs::copy_file(Liste(), quelle / "projekte.mdb");
    fs::copy_file(projekt / "Velupro32.mdb", quelle / "projekt.mdb");
    const std::string projektDb = Dump(projekt / "Velupro32.mdb");
    ASSERT_EQ(velu::archive::WriteArchive(archiv.toStdString(), {"ALLEPROJEKE", "01.01.2026 00:00:00"},
                                          {{"projekte.mdb", quelle / "projekte.mdb"},
                                           {"00000007.pro/velupro32.mdb", quelle / "projekt.mdb"},
                                           {"00000007.pro/Prodat", projekt / "Prodat"}}),
              "");
    bool ok = false;
    auto shown = Zuruecklesen(*this, &ok);
    ASSERT_TRUE(ok) << shown.back().text.toStdString();
    const fs::path projekte = root / "office/Projekte";
    std::vector<std::string> namen;
    for (const auto& e : fs::directory_iterator(projekte))
        if (e.is_directory()) namen.push_back(e.path().filename().string());
    EXPECT_EQ(namen, std::vector<std::string>{"00000007.PRO"});
    EXPECT_EQ(Dump(velu::db::Database::ResolvePath((projekte / "00000007.PRO/Velupro32.mdb").string())),
              projektDb);

    ASSERT_EQ(velu::archive::WriteArchive(archiv.toStdString(), {"ALLEPROJEKE", "01.01.2026 00:00:00"},
                                          {{"Projekte.mdb", quelle / "projekte.mdb"},
                                           {"00000007.pro/Velupro32.mdb", quelle / "projekt.mdb"},
                                           {"00000007.PRO/Velupro32.mdb", quelle / "projekt.mdb"}}),
              "");
    const std::string vorher = Bytes(Office());
    shown = Zuruecklesen(*this, &ok);
    EXPECT_FALSE(ok);
    EXPECT_EQ(shown.back().text, Nicht +
                                     "Die Datensicherung enthält den Projektordner 00000007.PRO zweimal in "
                                     "verschiedener Schreibung." +
                                     Unveraendert);
    EXPECT_EQ(Bytes(Office()), vorher);
}

// Files of a project folder that only look like databases (an old Access file, an empty file, a text) are
// the office's: backed up and restored as they are, and the restore checks only the program's own databases.
TEST_F(RestoreTest, ForeignMdbFilesComeBackAsFiles) {
    const std::map<std::string, std::string> fremde = {
        {"alt.mdb", std::string("\0\1\0\0Standard Jet DB\0", 19) + std::string(64, 'x')},
        {"leer.mdb", ""},
        {"notiz.MDB", "Anruf Bauherr Dienstag"},
    };
    for (const auto& [name, inhalt] : fremde)
        std::ofstream(projekt / name, std::ios::binary) << inhalt;
    for (int satz : {1, 2}) {
        SCOPED_TRACE(satz);
        Backup(satz);
        for (const auto& [name, inhalt] : fremde)
            std::ofstream(projekt / name, std::ios::binary) << "geändert";
        bool ok = false;
        const auto shown = Zuruecklesen(*this, &ok);
        ASSERT_TRUE(ok) << shown.back().text.toStdString();
        for (const auto& [name, inhalt] : fremde)
            EXPECT_EQ(ReadFile(projekt / name), inhalt) << name;
    }
}

} // namespace

namespace {

// The program's own backups of every kind, from an office as offices are: hand-made copies beside the data,
// foreign files among it and a migrated project with its older database. Each comes back equal after the
// data changed: databases row for row, other files byte for byte.
TEST_F(RestoreTest, OwnBackupsOfEveryKindFromARealOfficeComeBackEqual) {
    const fs::path projekte = root / "office/Projekte";
    u.pfade["STDBRIEF"] = QString::fromStdString((root / "briefe/SERIENBRIEFE.MDB").string());
    u.pfade["ADRESSMDB"] = QString::fromStdString((root / "adressen/ZADRESS32.MDB").string());
    fs::create_directories(root / "briefe");
    fs::create_directories(root / "adressen");
    ASSERT_GT(velu::outside::Serienbriefe::Oeffnen(u.pfade["STDBRIEF"])->Neu("Einladung"), 0);
    velu::outside::Adresse a;
    a.name = QString::fromUtf8("Gemeinde Müllheim");
    ASSERT_TRUE(velu::outside::Adressbuch::Oeffnen(u.pfade["ADRESSMDB"])->Speichern(a));
    // Hand-made copies and foreign files.
    fs::copy(projekt, projekte / "00000007.PRO - Kopie", fs::copy_options::recursive);
    fs::create_directories(projekte / "00000008.PRO.alt");
    std::ofstream(projekte / "00000008.PRO.alt/Notiz.txt") << "Kopie";
    fs::copy_file(sys / "VELUDAT32.MDB", sys / "VELUDAT32 - Kopie.MDB");
    const std::map<fs::path, std::string> fremde = {
        {projekt / "notiz.MDB", "Anruf Bauherr Dienstag"},
        {projekt / "leer.mdb", ""},
        {projekt / "Plaene/alt.mdb", std::string("\0\1\0\0Standard Jet DB", 19)},
        {projekte / "Liesmich.txt", "Ablage der Projekte"},
    };
    fs::create_directories(projekt / "Plaene");
    for (const auto& [datei, inhalt] : fremde)
        std::ofstream(datei, std::ios::binary) << inhalt;
    // A project migrated from its older database, which stays beside the new one.
    const fs::path migriert = projekte / "00000009.PRO";
    fs::create_directories(migriert);
    velu::MakeOldProject(migriert / "VELUPRO.MDB", true);
    ASSERT_TRUE(velu::DatabaseSetup::CreateProjektDB(migriert / "Velupro32.mdb"));
    ASSERT_EQ(velu::Migration::UpdateAltDaten(
                  migriert / "VELUPRO.MDB", migriert / "Velupro32.mdb",
                  [](const std::string&) { return true; }, [](const std::string& m) { ADD_FAILURE() << m; }),
              velu::Migration::Result::Migrated);
    ASSERT_TRUE(velu::outside::ProjektListe(u.projekte).Eintragen("00000009", "Altbau"));

    auto aendern = [&](const fs::path& db) {
        velu::db::Database::Open(db)->Execute(
            "CREATE TABLE IF NOT EXISTS Spaeter (x); INSERT INTO Spaeter VALUES (1)");
    };
    struct Case {
        int nummer;
        fs::path baum;                // what the data set holds
        std::function<void()> danach; // a change after the backup
    };
    const Case cases[] = {
        {1, projekt,
         [&] {
             aendern(projekt / "Velupro32.mdb");
             std::ofstream(projekt / "notiz.MDB") << "geändert";
             fs::remove(projekt / "Plaene/alt.mdb");
         }},
        {2, projekte,
         [&] {
             aendern(migriert / "Velupro32.mdb");
             fs::remove(migriert / "VELUPRO.MDB");
             fs::remove_all(projekte / "00000007.PRO - Kopie");
             std::ofstream(projekte / "Liesmich.txt") << "geändert";
         }},
        {3, sys, [&] { aendern(sys / "VELUDAT32.MDB"); }},
        {4, root / "briefe",
         [&] { velu::outside::Serienbriefe::Oeffnen(u.pfade["STDBRIEF"])->Neu("Nachtrag"); }},
        {5, root / "adressen",
         [&] {
             velu::outside::Adresse b;
             b.name = "Nachtrag";
             velu::outside::Adressbuch::Oeffnen(u.pfade["ADRESSMDB"])->Speichern(b);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nummer);
        Backup(c.nummer);
        const std::string vorher = Snapshot(c.baum);
        std::map<fs::path, std::string> bytes;
        for (const auto& [datei, inhalt] : fremde)
            bytes[datei] = ReadFile(datei);
        c.danach();
        ASSERT_NE(Snapshot(c.baum), vorher);
        bool ok = false;
        const auto shown = Zuruecklesen(*this, &ok);
        ASSERT_TRUE(ok) << shown.back().text.toStdString();
        EXPECT_EQ(Snapshot(c.baum), vorher);
        for (const auto& [datei, inhalt] : fremde)
            EXPECT_EQ(ReadFile(datei), bytes[datei]) << datei;
    }
    // The copy beside the master database is the office's, not a backup's.
    EXPECT_EQ(Dump(sys / "VELUDAT32 - Kopie.MDB").find("Spaeter"), std::string::npos);
}

} // namespace

namespace {

// An office folder whose set-group-ID bit hands its group on: the staged folder made in it inherits the bit
// and is still taken as the restore's own.
TEST_F(RestoreTest, ProjectComesBackIntoAFolderThatHandsOnItsGroup) {
    const fs::path projekte = root / "office/Projekte";
    fs::permissions(projekte, fs::perms(02775));
    Backup(1);
    const std::string vorher = Dump(projekt / "Velupro32.mdb");
    Veraendern();
    bool ok = false;
    const auto shown = Zuruecklesen(*this, &ok);
    ASSERT_TRUE(ok) << shown.back().text.toStdString();
    EXPECT_EQ(Dump(projekt / "Velupro32.mdb"), vorher);
}

} // namespace
