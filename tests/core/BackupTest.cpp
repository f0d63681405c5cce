#include "Bildschirmfoto.h"
#include "DaSiFixture.h"

#include "WorkFolderNames.h"
#include "core/DaSiOut.h"
#include "core/DaSiin.h"
#include "core/DaSiinPro.h"
#include "core/Datensicherung.h"
#include "core/QueryDefs.h"
#include "platform/archive/ZipArchive.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"

#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QThread>
#include <QToolBar>

using namespace dasi_test;
using velu::forms::MessageBoxScript;

namespace {

using BackupTest = DaSiTest;

TEST_F(BackupTest, EachDataSetGetsItsDescriptorAndFiles) {
    struct Case {
        int nummer;
        std::string descriptor;
        std::vector<std::string> entries;
        QString shown;
    };
    const std::vector<Case> cases = {
        {1,
         "PROJEKT°00000007°Neubau Kita",
         {"Prodat", "Velupro32.mdb"},
         "Das Projekt 00000007 Neubau Kita wurde in "},
        {2,
         "ALLEPROJEKE",
         {"00000007.PRO/Prodat", "00000007.PRO/Velupro32.mdb", "Projekte.mdb"},
         "Alle Projekte wurden in "},
        {3, "VELUDATEN°VELUVORLAGE", {"VELUDAT32.MDB", "VELUVOR32.MDB"}, "Die HOAI - Tabellen wurden in "},
    };
    for (const auto& c : cases) {
        MessageBoxScript script;
        velu::Datensicherung engine(u, Sys());
        ASSERT_TRUE(engine.CallSicherung(c.nummer, archiv)) << script.LastText().toStdString();
        auto info = velu::archive::ReadInfo(archiv.toStdString());
        ASSERT_TRUE(info);
        EXPECT_EQ(info->descriptor, c.descriptor);
        auto names = *velu::archive::ListEntries(archiv.toStdString());
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, c.entries) << c.nummer;
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.Shown()[0].title, "Datensicherung");
        EXPECT_TRUE(script.Shown()[0].text.startsWith(c.shown));
    }
}

TEST_F(BackupTest, DatabaseInUseIsCopiedConsistently) {
    // Another user has the project database open with an unfinished transaction.
    auto other = velu::db::Database::Open(projekt / "Velupro32.mdb");
    ASSERT_TRUE(other);
    const std::string before = Dump(projekt / "Velupro32.mdb");
    other->Begin();
    other->Execute("INSERT INTO Daten (Text) VALUES ('halb fertig')");
    MessageBoxScript script;
    velu::Datensicherung engine(u, Sys());
    ASSERT_TRUE(engine.CallSicherung(1, archiv)) << script.LastText().toStdString();
    other->Rollback();
    QTemporaryDir out;
    ASSERT_EQ(velu::archive::ExtractAll(archiv.toStdString(), out.path().toStdString()), "");
    EXPECT_EQ(Dump(fs::path(out.path().toStdString()) / "Velupro32.mdb"), before);
}

TEST_F(BackupTest, MissingFileIsReportedAndNoArchiveWritten) {
    MessageBoxScript script;
    velu::Datensicherung engine(u, Sys());
    EXPECT_FALSE(engine.CallSicherung(4, archiv)); // no serial-letter database
    EXPECT_TRUE(script.LastText().startsWith("Die Datensicherung konnte nicht erstellt werden."));
    EXPECT_FALSE(fs::exists(archiv.toStdString()));
}

TEST_F(BackupTest, DialogChoosesDataSetAndFile) {
    velu::DaSiOut form(u, Sys());
    EXPECT_EQ(form.windowTitle(), "Datensicherung erstellen");
    auto* label = form.findChild<QLabel*>("Label3");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->text().toStdString(), Vorgabe().string());
    short n = 0;
    form.Wasistzusichern(n);
    EXPECT_EQ(n, 1); // the current project, which the dialog shows as chosen
    EXPECT_TRUE(form.findChild<QRadioButton*>("Option1_0")->isChecked());

    int asked = 0;
    QString answer;
    form.SetDateiDialog([&](QWidget*, int modus) {
        ++asked;
        EXPECT_EQ(modus, 0);
        return answer;
    });
    {
        // Cancelling the file dialog leaves the label alone.
        MessageBoxScript script;
        form.Band().Click("LW");
        EXPECT_EQ(asked, 1);
        EXPECT_EQ(label->text().toStdString(), Vorgabe().string());
        EXPECT_TRUE(script.Shown().empty());
    }
    answer = archiv;
    form.Band().Click("LW");
    EXPECT_EQ(label->text(), archiv);
    form.findChild<QRadioButton*>("Option1_2")->setChecked(true);
    form.Wasistzusichern(n);
    EXPECT_EQ(n, 3);
    MessageBoxScript script;
    form.Band().Click("OK");
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(velu::archive::ReadInfo(archiv.toStdString())->descriptor, "VELUDATEN°VELUVORLAGE");
}

// The tool band is the first row: whole, and the next row follows right below it, with no empty band between.
TEST_F(BackupTest, ToolBandSitsRightAboveTheRows) {
    struct Fall {
        std::unique_ptr<QDialog> form;
        const char* ersteZeile;
    };
    Fall faelle[] = {
        {std::make_unique<velu::DaSiOut>(u, Sys()), "Option1_0"},
        {std::make_unique<velu::DaSiin>(u, Sys()), "Label3"},
        {std::make_unique<velu::DaSiinPro>(u), "LabelNummer"},
    };
    for (auto& f : faelle) {
        SCOPED_TRACE(f.form->objectName().toStdString());
        f.form->show();
        QApplication::processEvents();
        auto* bar = f.form->findChild<QToolBar*>("Band1");
        auto* zeile = f.form->findChild<QWidget*>(f.ersteZeile);
        ASSERT_TRUE(bar && zeile);
        EXPECT_GE(bar->width(), bar->sizeHint().width());
        const int unterBand = bar->mapTo(f.form.get(), QPoint(0, bar->height())).y();
        const int abstand = zeile->mapTo(f.form.get(), QPoint(0, 0)).y() - unterBand;
        EXPECT_GE(abstand, 0);
        EXPECT_LE(abstand, 12);
    }
}

// A project name of full length (30 characters, in capitals) is shown whole in the restore's name field.
TEST_F(BackupTest, ProjectNameFieldShowsAWholeName) {
    velu::DaSiinPro d(u);
    bool fehler = true;
    const QString name = "NEUBAU KITA SONNENHOF BAUTEIL2";
    d.MakeConections("PROJEKT°00004711°" + name + "°09.12.2026", fehler);
    ASSERT_FALSE(fehler);
    d.show();
    QApplication::processEvents();
    auto* feld = d.findChild<QLineEdit*>("XtraText1_1");
    ASSERT_TRUE(feld);
    EXPECT_EQ(feld->text().size(), 30);
    // The frame and the inner margins of the field take some pixels on either side.
    EXPECT_GE(feld->width(), feld->fontMetrics().horizontalAdvance(feld->text()) + 10);
}

} // namespace

namespace {

TEST_F(BackupTest, NoCurrentProjectIsReported) {
    u.aktuell.clear();
    MessageBoxScript script;
    velu::Datensicherung engine(u, Sys());
    EXPECT_FALSE(engine.CallSicherung(1, archiv));
    EXPECT_TRUE(script.LastText().startsWith("Die Datensicherung konnte nicht erstellt werden.\nDer Ordner"));
    EXPECT_FALSE(fs::exists(archiv.toStdString()));
}

} // namespace

// The dialog as it opens, its archive preset in the documents folder, into the screenshot file.
template <class Dialog> void Foto() {
    const QString datei = velu::test::BildschirmfotoDatei();
    if (datei.isEmpty()) GTEST_SKIP() << "VELU_SCREENSHOT not set";
    testApp();
    TestUmgebung u;
    Dialog form(u, QDir::tempPath());
    form.move(400, 300);
    form.show();
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        QThread::msleep(20);
    }
    ASSERT_TRUE(velu::test::Bildschirmfoto({&form}, datei));
    EXPECT_GT(QFileInfo(datei).size(), 1000);
}

// scripts/screenshot dasiout
TEST(BackupScreenshot, WritesPng) {
    Foto<velu::DaSiOut>();
}

// scripts/screenshot dasiin
TEST(RestoreScreenshot, WritesPng) {
    Foto<velu::DaSiin>();
}

namespace {

// A backup of all projects leaves out what a restore in progress (or a killed one) keeps beside a project.
TEST_F(BackupTest, AllProjectsLeaveOutWorkOfRestores) {
    const fs::path projekte = root / "office/Projekte";
    fs::create_directories(projekte / "00000009.PRO.neu");
    std::ofstream(projekte / "00000009.PRO.neu/Velupro32.mdb") << "halb";
    std::ofstream(projekte / "00000009.PRO.arbeit") << "";
    // Names no swap makes, or a swap's name without its marker, are the user's copies and are backed up.
    fs::create_directories(projekte / "00000007.PRO.neu-Ab12Cd");
    std::ofstream(projekte / "00000007.PRO.neu-Ab12Cd/Prodat") << "Kopie";
    fs::create_directories(projekte / "00000008.PRO.alt");
    std::ofstream(projekte / "00000008.PRO.alt/Notiz.txt") << "Kopie";
    std::ofstream(projekte / "00000007.PRO.arbeit") << "";
    std::ofstream(projekte / "00000007.PRO/Notiz.txt") << "bleibt";
    MessageBoxScript script;
    velu::Datensicherung engine(u, Sys());
    ASSERT_TRUE(engine.CallSicherung(2, archiv)) << script.LastText().toStdString();
    auto names = *velu::archive::ListEntries(archiv.toStdString());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"00000007.PRO.neu-Ab12Cd/Prodat", "00000007.PRO/Notiz.txt",
                                               "00000007.PRO/Prodat", "00000007.PRO/Velupro32.mdb",
                                               "00000008.PRO.alt/Notiz.txt", "Projekte.mdb"}));
}

} // namespace

namespace {

// The next backup removes the snapshot folder and the partial archive a killed backup left; those of a
// running backup stay.
TEST_F(BackupTest, NextBackupRemovesWhatAKilledOneLeft) {
    const fs::path temp = root / "temp";
    fs::create_directories(temp / "velunta-sicherung-Tot123");
    std::ofstream(temp / "velunta-sicherung-Tot123/db0") << "Kopie der Projektdatenbank";
    std::ofstream(temp / "velunta-sicherung-Tot123.arbeit") << "";
    std::ofstream(archiv.toStdString() + ".Tot456") << "halbes Archiv";
    std::ofstream(archiv.toStdString() + ".arbeit") << ""; // the killed writer's marker
    const bool hatteTmp = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray vorher = qgetenv("TMPDIR");
    qputenv("TMPDIR", QByteArray::fromStdString(temp.string()));
    auto laufend = velu::archive::WorkFolder::Create(temp, "velunta-sicherung-");
    ASSERT_TRUE(laufend);
    MessageBoxScript script;
    velu::Datensicherung engine(u, Sys());
    const bool ok = engine.CallSicherung(1, archiv);
    if (hatteTmp)
        qputenv("TMPDIR", vorher);
    else
        qunsetenv("TMPDIR");
    ASSERT_TRUE(ok) << script.LastText().toStdString();
    EXPECT_EQ(velu::test::SortedNames(temp), velu::test::OnlyRunning(*laufend));
    EXPECT_FALSE(fs::exists(archiv.toStdString() + ".Tot456"));
    EXPECT_TRUE(fs::exists(archiv.toStdString()));
}

} // namespace

namespace {

std::string LinkText(const fs::path& p) {
    return "'" + p.string() +
           "' ist eine Verknüpfung. Daten des Programms werden nicht über Verknüpfungen gelesen oder "
           "geschrieben; bitte ersetzen Sie die Verknüpfung durch den Ordner oder die Datei selbst.";
}

// "gesichert" means the archive can be restored: a project folder that is a link, or a link in a project
// folder leading out of it, is named with what to do instead of being left out or failing as a bad name;
// an archive the restore would refuse (a database whose stored queries are not the program's) is not
// written. An older archive of the same name stays as it was.
TEST_F(BackupTest, OnlyAnArchiveThatCanBeRestoredIsReportedAsBackedUp) {
    const fs::path projekte = root / "office/Projekte";
    const fs::path aussen = root / "outside";
    fs::create_directories(aussen / "00000003.PRO");
    MakeDb(aussen / "00000003.PRO/Velupro32.mdb", "Projekt", 1);
    std::ofstream(aussen / "geheim.txt") << "geheim";
    std::ofstream(archiv.toStdString()) << "ältere Sicherung";
    struct Case {
        const char* name;
        int nummer;
        std::function<void()> pflanze, weg;
        std::string warum;
    };
    const Case cases[] = {
        {"project folder that is a link", 2,
         [&] { fs::create_directory_symlink(aussen / "00000003.PRO", projekte / "00000003.PRO"); },
         [&] { fs::remove(projekte / "00000003.PRO"); }, "\n" + LinkText(projekte / "00000003.PRO")},
        {"link in the project folder leading outside", 1,
         [&] { fs::create_symlink(aussen / "geheim.txt", projekt / "geheim.txt"); },
         [&] { fs::remove(projekt / "geheim.txt"); }, "\n" + LinkText(projekt / "geheim.txt")},
        {"the same in an all-projects backup", 2,
         [&] { fs::create_symlink(aussen / "geheim.txt", projekt / "geheim.txt"); },
         [&] { fs::remove(projekt / "geheim.txt"); }, "\n" + LinkText(projekt / "geheim.txt")},
        {"stored query not the program's", 1,
         [&] {
             velu::db::Database::Open(projekt / "Velupro32.mdb")
                 ->Execute("UPDATE _QueryDefs SET SQL = 'SELECT 1' WHERE Name = 'GetGrunddaten'");
         },
         [&] {
             velu::db::Database::Open(projekt / "Velupro32.mdb")
                 ->Execute("UPDATE _QueryDefs SET SQL = ?1 WHERE Name = 'GetGrunddaten'",
                           velu::db::Params().Add(
                               velu::QueryDefs::Find(velu::QueryDefs::Projekt(), "GetGrunddaten")->sql));
         },
         "\nDas Archiv ließe sich nicht zurücklesen: Die Datenbank Velupro32.mdb ist keine Datenbank dieses "
         "Programms. Die gespeicherte Abfrage GetGrunddaten stammt nicht von diesem Programm."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.pflanze();
        MessageBoxScript script;
        velu::Datensicherung engine(u, Sys());
        EXPECT_FALSE(engine.CallSicherung(c.nummer, archiv));
        EXPECT_EQ(script.LastText().toStdString(),
                  "Die Datensicherung konnte nicht erstellt werden." + c.warum);
        EXPECT_EQ(ReadFile(archiv.toStdString()), "ältere Sicherung");
        EXPECT_EQ(ReadFile(aussen / "geheim.txt"), "geheim");
        // Nothing of the attempt stays beside the archive.
        std::vector<std::string> neben;
        for (const auto& e : fs::directory_iterator(root))
            if (e.path().filename().string().rfind(".velu", 0) == 0) neben.push_back(e.path().string());
        EXPECT_EQ(neben, std::vector<std::string>{});
        c.weg();
        MessageBoxScript gut;
        ASSERT_TRUE(engine.CallSicherung(c.nummer, archiv)) << gut.LastText().toStdString();
        std::ofstream(archiv.toStdString()) << "ältere Sicherung";
    }
}

} // namespace
