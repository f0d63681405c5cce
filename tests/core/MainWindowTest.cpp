#include "StartupFakes.h"

#include "core/AppState.h"
#include "core/Datensicherung.h"
#include "core/MDIVelunta.h"
#include "core/Platzhalter.h"
#include "core/Startup.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/help/Hilfe.h"
#include "platform/outside/AdressMaske.h"
#include "platform/outside/IniUmgebung.h"
#include "platform/outside/ProjektListe.h"
#include "platform/outside/SerienbriefFenster.h"
#include "platform/outside/StandInProgramme.h"

#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

using namespace testing_velu;
using velu::App;
using velu::MDIVelunta;
using velu::forms::MessageBoxScript;

namespace {

// A dialog that closes itself as soon as it is shown, recording that it ran.
class SofortDialog : public QDialog {
public:
    SofortDialog(const QString& name, QStringList& log, QWidget* owner) : QDialog(owner), log_(log) {
        setObjectName(name);
    }

protected:
    void showEvent(QShowEvent* e) override {
        QDialog::showEvent(e);
        log_ << "Form " + objectName() + QString(" Datenbanken=%1").arg(App().StammDB() ? 1 : 0);
        QTimer::singleShot(0, this, [this] { close(); });
    }

private:
    QStringList& log_;
};

// A child window that records its closing and may refuse it.
class Kind : public QWidget {
public:
    Kind(const QString& name, QStringList& log, bool& bleibt) : log_(log), bleibt_(bleibt) {
        setObjectName(name);
    }

protected:
    void closeEvent(QCloseEvent* e) override {
        log_ << "Schliesse " + objectName();
        if (bleibt_)
            e->ignore();
        else
            e->accept();
    }

private:
    QStringList& log_;
    bool& bleibt_;
};

struct Fenster : Buero {
    bool kindBleibt = false;
    std::unique_ptr<MDIVelunta> w;

    explicit Fenster(int32_t rechte, bool mitProjekt = true) {
        App().SetBenutzer("SUPERVISOR", rechte);
        EXPECT_TRUE(velu::OpenStammDB());
        if (mitProjekt) {
            EXPECT_EQ(velu::OpenProjektDB(), velu::ProjektOeffnung::Offen);
        }
        for (const char* name : {"PrintFormKO", "LBild", "HOAITAFEL", "Grundleistung", "Mitarbeiter",
                                 "Zugangsrechte", "MwSt", "DaSiOut", "DaSiin"}) {
            const QString n = name;
            App().Formen().Register(
                n, [this, n](QWidget* owner) { return new SofortDialog(n, protokoll.log, owner); });
        }
        for (const char* name : {"BerAuswahl", "Aufwand"}) {
            const QString n = name;
            App().Formen().Register(n,
                                    [this, n](QWidget*) { return new Kind(n, protokoll.log, kindBleibt); });
        }
        w = std::make_unique<MDIVelunta>();
        w->show();
    }
    ~Fenster() {
        velu::help::CloseHandbuch();
        kindBleibt = false;
        w.reset();
    }
    velu::forms::ToolBand& bar() { return w->ActiveBar1(); }
};

const char* const MitRecht[][2] = {
    {"Band1", "ZENTRIX"},       {"Band1", "PRODAT"},
    {"Band1", "CALCHONORAR"},   {"Band1", "PROAUF"},
    {"Band1", "PRINT"},         {"Band1", "SERIE"},
    {"Band1", "ADRESS"},        {"PopupBand1", "DRVORLAG"},
    {"PopupBand1", "REORG"},    {"PopupBand1", "SAVE"},
    {"PopupBand2", "LBANLAGE"}, {"PopupBand2", "HONORARANL"},
    {"PopupBand2", "GRUNDANL"}, {"PopupBand2", "MITARBEITANL"},
};
const int Bits[] = {0, 1, 2, 3, 11, 4, 4, 5, 6, 6, 7, 8, 10, 12};
const char* const OhneRecht[][2] = {
    {"Band1", "SERVICE"},       {"Band1", "HELP1"},          {"Band1", "EXIT"},
    {"PopupBand1", "OPTIONS"},  {"PopupBand2", "ZUGANGANL"}, {"PopupBand2", "MWST"},
    {"PopupBand3", "HELP1"},    {"PopupBand3", "ABOUT"},     {"PopupBand4", "MAKEDASI"},
    {"PopupBand4", "DASIBACK"},
};

} // namespace

TEST(MainWindow, RightsMaskEnablesTheTools) {
    for (int32_t mask : {0, 8191, 8191 & ~(1 << 6), 8191 & ~(1 << 4), 8191 & ~(1 << 9), 1 << 11}) {
        SCOPED_TRACE(mask);
        Fenster f(mask);
        for (size_t i = 0; i < std::size(MitRecht); ++i)
            EXPECT_EQ(f.bar().Enabled(MitRecht[i][0], MitRecht[i][1]), (mask >> Bits[i] & 1) == 1)
                << MitRecht[i][1];
        for (const auto& t : OhneRecht)
            EXPECT_TRUE(f.bar().Enabled(t[0], t[1])) << t[1];
        EXPECT_EQ(f.bar().Caption("PopupBand2", "ZUGANGANL"),
                  (mask >> 9 & 1) ? "Zugangsrechte bearbeiten" : "Passwort ändern");
    }
}

TEST(MainWindow, ProjectCommandsNeedAnOpenProjectDatabase) {
    Fenster f(8191, false);
    for (const char* key : {"CALCHONORAR", "PROAUF", "PRINT"})
        EXPECT_FALSE(f.bar().Enabled("Band1", key)) << key;
    EXPECT_TRUE(f.bar().Enabled("Band1", "ZENTRIX"));
    EXPECT_EQ(velu::OpenProjektDB(), velu::ProjektOeffnung::Offen);
    for (const char* key : {"CALCHONORAR", "PROAUF", "PRINT"})
        EXPECT_TRUE(f.bar().Enabled("Band1", key)) << key;
}

TEST(MainWindow, CaptionAndStatusBar) {
    Fenster f(8191);
    EXPECT_EQ(f.w->windowTitle(), "Velunta 4.0");
    EXPECT_EQ(f.w->Panel(2)->text(), "00000001");
    EXPECT_EQ(f.w->Panel(3)->text(), "Erstes");
    EXPECT_EQ(f.w->Panel(4)->text(), QDate::currentDate().toString("dd.MM.yyyy"));
    f.bar().Tool("Band1", "PRODAT")->hover();
    EXPECT_EQ(f.w->Panel(1)->text(), "Projektdaten");
    emit f.bar().ToolLeave();
    EXPECT_EQ(f.w->Panel(1)->text(), "");
    // A change of project shows the new one.
    f.protokoll.wahl = {QString("00000002")};
    f.bar().Click("Band1", "ZENTRIX");
    EXPECT_EQ(f.w->Panel(2)->text(), "00000002");
    EXPECT_EQ(f.w->Panel(3)->text(), "Zweites");
}

TEST(MainWindow, ToolIconsShareOneSizeSoCaptionsLineUp) {
    Fenster f(8191);
    QToolBar* band = f.bar().ToolBar("Band1");
    ASSERT_TRUE(band);
    const QSize groesse = band->iconSize();
    int mitBild = 0;
    for (QAction* a : band->actions()) {
        if (a->icon().isNull()) continue;
        ++mitBild;
        EXPECT_EQ(a->icon().pixmap(groesse).size(), groesse) << a->text().toStdString();
    }
    EXPECT_EQ(mitBild, 10);
}

TEST(MainWindow, EachToolKeyDispatchesToItsHandler) {
    struct Case {
        const char* band;
        const char* key;
        QStringList erwartet;
    };
    const Case cases[] = {
        {"PopupBand3", "ABOUT", {"About 17 Velunta 4.0 win 4.00"}},
        {"Band1", "ADRESS", {"Adress PROJEKTADRESS"}},
        {"PopupBand4", "MAKEDASI", {"Form DaSiOut Datenbanken=0"}},
        {"PopupBand4", "DASIBACK", {"Form DaSiin Datenbanken=0"}},
        {"PopupBand1", "REORG", {"Reorg 2 offen=0"}},
        {"Band1", "ZENTRIX", {"PxEntry 51", "ShowHoai 00000001"}},
        {"PopupBand1", "DRVORLAG", {"KopfUndFuss 1"}},
        {"Band1", "PRODAT", {"PxEntry 51", "ShowProdat 1"}},
        {"PopupBand2", "MWST", {"Form MwSt Datenbanken=1"}},
        {"Band1", "PRINT", {"Form PrintFormKO Datenbanken=1"}},
        {"PopupBand2", "LBANLAGE", {"Form LBild Datenbanken=1"}},
        {"PopupBand2", "HONORARANL", {"Form HOAITAFEL Datenbanken=1"}},
        {"PopupBand2", "ZUGANGANL", {"Form Zugangsrechte Datenbanken=1"}},
        {"PopupBand2", "GRUNDANL", {"Form Grundleistung Datenbanken=1"}},
        {"PopupBand2", "MITARBEITANL", {"Form Mitarbeiter Datenbanken=1"}},
        {"Band1", "SERIE", {"Serie"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        Fenster f(8191);
        MessageBoxScript script;
        EXPECT_TRUE(f.bar().Click(c.band, c.key));
        EXPECT_EQ(f.protokoll.log, c.erwartet);
        EXPECT_TRUE(script.Shown().empty()) << script.LastText().toStdString();
        // Whatever ran, both databases are open again afterwards.
        EXPECT_NE(App().StammDB(), nullptr);
        EXPECT_NE(App().ProjektDB(), nullptr);
        EXPECT_TRUE(f.w->ActiveBar1().ToolBar("Band1")->isEnabled());
    }
}

TEST(MainWindow, ChildWindowsOpenMaximisedOnceAndHideTheMainBand) {
    for (const char* key : {"CALCHONORAR", "PROAUF"}) {
        SCOPED_TRACE(key);
        Fenster f(8191);
        EXPECT_TRUE(f.bar().Click("Band1", key));
        ASSERT_EQ(f.w->MdiArea()->subWindowList().size(), 1);
        QMdiSubWindow* sub = f.w->MdiArea()->subWindowList().front();
        EXPECT_TRUE(sub->isMaximized());
        EXPECT_FALSE(f.bar().BandVisible("Band1"));
        EXPECT_EQ(f.w->BerAuswahlOffen, QString(key) == "CALCHONORAR" ? 1 : 0);
        f.w->ToolDispatch(key);
        EXPECT_EQ(f.w->MdiArea()->subWindowList().size(), 1);
        sub->close();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::processEvents();
        EXPECT_TRUE(f.w->MdiArea()->subWindowList().isEmpty());
        EXPECT_TRUE(f.bar().BandVisible("Band1"));
        EXPECT_EQ(f.w->BerAuswahlOffen, 0);
    }
}

TEST(MainWindow, UnregisteredFormsArePlaceholders) {
    Fenster f(8191);
    App().Formen().Clear();
    EXPECT_TRUE(f.bar().Click("Band1", "CALCHONORAR"));
    ASSERT_EQ(f.w->MdiArea()->subWindowList().size(), 1);
    QWidget* kind = f.w->MdiArea()->subWindowList().front()->widget();
    EXPECT_EQ(kind->objectName(), "BerAuswahl");
    EXPECT_EQ(kind->windowTitle(), "Honorarberechnung");
    auto* text = kind->findChild<QLabel*>("PlatzhalterText");
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->text().contains(velu::PlatzhalterText));
    std::unique_ptr<QWidget> d(App().Formen().Create("HOAITAFEL", f.w.get()));
    EXPECT_NE(qobject_cast<QDialog*>(d.get()), nullptr);
    EXPECT_EQ(d->windowTitle(), "Honorartafel bearbeiten");
}

TEST(MainWindow, BackupRestoreAndReorganisationRefusedWhileAChildWindowIsOpen) {
    for (const char* key : {"MAKEDASI", "DASIBACK", "REORG"}) {
        SCOPED_TRACE(key);
        Fenster f(8191);
        f.bar().Click("Band1", "PROAUF");
        auto stamm = App().StammDBHandle();
        f.protokoll.log.clear();
        MessageBoxScript script;
        f.w->ToolDispatch(key);
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_TRUE(script.LastText().startsWith("Bitte schließen Sie zuerst"));
        EXPECT_TRUE(f.protokoll.log.isEmpty());
        EXPECT_EQ(App().StammDBHandle(), stamm);
    }
}

TEST(MainWindow, OpensMaximised) {
    Fenster f(8191);
    QApplication::processEvents();
    EXPECT_TRUE(f.w->isMaximized());
    EXPECT_EQ(f.w->frameGeometry(), QGuiApplication::primaryScreen()->availableGeometry());
}

TEST(MainWindow, BackupDialogKeepsItsToolsWhileTheMainWindowWaits) {
    for (int modus : {0, 1}) {
        Fenster f(8191);
        bool eigene = false, haupt = true;
        App().Formen().Register(modus == 0 ? "DaSiOut" : "DaSiin", [&](QWidget* owner) {
            auto* d = new QDialog(owner);
            auto* leiste = new QToolBar(d);
            leiste->addAction("Sicherung starten");
            QTimer::singleShot(0, d, [&, d, leiste] {
                eigene = leiste->isEnabled();
                haupt = f.bar().ToolBar("Band1")->isEnabled();
                d->close();
            });
            return d;
        });
        f.w->ShowMakeDaSi(modus);
        EXPECT_TRUE(eigene) << modus;
        EXPECT_FALSE(haupt) << modus;
        EXPECT_TRUE(f.bar().ToolBar("Band1")->isEnabled()) << modus;
    }
}

TEST(MainWindow, ProjectHeldAfterBackupOffersTheProjectProgram) {
    Fenster f(8191);
    std::unique_ptr<velu::db::Database> fremd;
    App().Formen().Register("DaSiOut", [&](QWidget* owner) {
        // While the dialog is open someone else takes the project.
        fremd = velu::db::Database::Open(Fs(f.ProjektDB("00000001")));
        return new SofortDialog("DaSiOut", f.protokoll.log, owner);
    });
    f.protokoll.wahl = {QString("00000002")};
    f.w->ShowMakeDaSi(0);
    EXPECT_EQ(f.protokoll.log.filter("ShowHoai"), QStringList{"ShowHoai 00000001"});
    EXPECT_EQ(ArtVon(App().ProjektDB()), "Projekt 2");
}

// All projects restored from an archive older than the current project: that project went with the restore,
// and the clerk chooses one of those restored; its database is not made again from the template.
TEST(MainWindow, RestoreOfAllProjectsOlderThanTheCurrentOneLeavesNoHiddenProject) {
    Fenster f(8191);
    const QString archiv = f.tmp.path() + "/alle.zip";
    {
        MessageBoxScript script;
        ASSERT_TRUE(velu::Datensicherung(*f.umgebung, f.sys).CallSicherung(2, archiv))
            << script.LastText().toStdString();
    }
    QString nr = "4";
    ASSERT_TRUE(velu::outside::ProjektListe(f.projekte).ProjektAnlegen(nr, "Nach der Sicherung"));
    f.umgebung->SetAktProjekt(nr, "Nach der Sicherung");
    ASSERT_EQ(velu::OpenProjektDB(), velu::ProjektOeffnung::Offen);

    App().Formen().Register("DaSiin", [&](QWidget* owner) {
        velu::Datensicherung(*f.umgebung, f.sys).SicherungBack(archiv, "Datensicherung zurücklesen", {});
        return new SofortDialog("DaSiin", f.protokoll.log, owner);
    });
    f.protokoll.wahl = {QString("00000002")};
    MessageBoxScript script({velu::forms::MsgResult::OK});
    f.w->ShowMakeDaSi(1);
    EXPECT_EQ(f.protokoll.log.filter("ShowHoai"), QStringList{"ShowHoai 00000004"});
    EXPECT_EQ(ArtVon(App().ProjektDB()), "Projekt 2");
    EXPECT_TRUE(script.Shown().back().text.startsWith("Das Projekt 00000004 steht nicht in der Projektliste"))
        << script.LastText().toStdString();

    auto liste = velu::outside::ProjektListe(f.projekte).Liste();
    ASSERT_TRUE(liste);
    QStringList gelistet, mitDatenbank;
    for (const auto& e : *liste)
        gelistet << e.nummer;
    for (const QString& o : QDir(f.projekte).entryList({"*.PRO"}, QDir::Dirs))
        if (!QDir(f.projekte + o).entryList({"*.mdb"}, QDir::Files).isEmpty()) mitDatenbank << o.left(8);
    EXPECT_EQ(gelistet, (QStringList{"00000001", "00000002"}));
    EXPECT_EQ(mitDatenbank, (QStringList{"00000001", "00000002"}));
}

TEST(MainWindow, HelpCommandsAndAboutWithoutComponent) {
    Fenster f(8191);
    velu::help::CloseHandbuch();
    f.bar().Click("PopupBand3", "HELP1");
    ASSERT_NE(velu::help::Handbuch(), nullptr);
    EXPECT_EQ(velu::help::Handbuch()->source().fileName(), "index.html");
    f.protokoll.ohneProgramme = true;
    MessageBoxScript script;
    f.bar().Click("PopupBand3", "ABOUT");
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_TRUE(script.LastText().startsWith("AbourScreen nicht verfügbar \n"));
    EXPECT_EQ(script.Shown()[0].title, "Velunta 4.0");
}

TEST(MainWindow, ExitClosesChildWindowsFirstAndStopsWhenOneRefuses) {
    Fenster f(8191);
    int beendet = 0;
    QObject::connect(f.w.get(), &MDIVelunta::Beendet, [&](int) { ++beendet; });
    f.bar().Click("Band1", "CALCHONORAR");
    f.bar().Click("Band1", "PROAUF");
    f.kindBleibt = true;
    f.bar().Click("Band1", "EXIT");
    EXPECT_TRUE(f.w->isVisible());
    EXPECT_EQ(beendet, 0);
    f.kindBleibt = false;
    f.protokoll.log.clear();
    velu::help::ShowHilfe("");
    f.w->ToolDispatch("EXIT");
    EXPECT_FALSE(f.w->isVisible());
    EXPECT_EQ(beendet, 1);
    EXPECT_EQ(f.protokoll.log.filter("Schliesse").size(), 2);
    EXPECT_EQ(velu::help::Handbuch(), nullptr);
}

TEST(MainWindowScreenshot, WritesPng) {
    Fenster f(8191);
    f.w->showNormal();
    f.w->resize(1440, 640);
    f.bar().Tool("Band1", "CALCHONORAR")->hover();
    QApplication::processEvents();
    QString datei = qEnvironmentVariable("VELU_SCREENSHOT");
    if (datei.isEmpty()) datei = qEnvironmentVariable("VELU_BINARY_DIR", ".") + "/screenshots/MDIVelunta.png";
    QDir().mkpath(QFileInfo(datei).absolutePath());
    ASSERT_TRUE(f.w->grab().save(datei));
    EXPECT_GT(QFileInfo(datei).size(), 1000);
}

// The address and serial-letter tools with the program's own outside programs: each opens its window over
// the files the settings name; while the serial-letter window is open the main window's commands rest.
TEST(MainWindow, AddressAndSerialLetterToolsOpenTheirWindows) {
    Fenster f(8191);
    auto ini = std::make_shared<velu::outside::IniUmgebung>(f.buero + "/umgebung.ini");
    ASSERT_TRUE(ini->SetProjekteOrdner(f.projekte));
    ASSERT_TRUE(ini->SetAktProjekt("00000001", "Erstes"));
    ASSERT_TRUE(ini->SetPfad("STDBRIEF", f.sys + "/SERIENBRIEFE.MDB"));
    ASSERT_TRUE(ini->SetPfad("ADRESSMDB", f.sys + "/ZADRESS32.MDB"));
    App().SetProgramme(std::make_shared<velu::outside::StandInProgramme>(*ini, f.w.get()));

    QString adressen;
    QTimer::singleShot(0, [&] {
        if (auto* m = qobject_cast<velu::outside::AdressMaske*>(QApplication::activeModalWidget())) {
            adressen = m->windowTitle();
            m->reject();
        }
    });
    EXPECT_TRUE(f.bar().Click("Band1", "ADRESS"));
    EXPECT_EQ(adressen, "Adressverwaltung");
    EXPECT_TRUE(QFileInfo::exists(f.sys + "/ZADRESS32.MDB"));

    bool offen = false, gesperrt = false;
    QTimer::singleShot(0, [&] {
        auto* s = f.w->findChild<velu::outside::SerienbriefFenster*>();
        offen = s && s->isVisible();
        gesperrt = !f.bar().ToolBar("Band1")->isEnabled() && !f.w->MdiArea()->isEnabled();
        // Still waiting a moment later.
        QTimer::singleShot(50, [&, s] {
            gesperrt = gesperrt && !f.bar().ToolBar("Band1")->isEnabled();
            if (s) s->close();
        });
    });
    MessageBoxScript script;
    EXPECT_TRUE(f.bar().Click("Band1", "SERIE"));
    EXPECT_TRUE(offen);
    EXPECT_TRUE(gesperrt);
    EXPECT_TRUE(f.bar().ToolBar("Band1")->isEnabled()) << "enabled again once the window is gone";
    EXPECT_TRUE(f.w->MdiArea()->isEnabled());
    EXPECT_TRUE(QFileInfo::exists(f.sys + "/SERIENBRIEFE.MDB"));
    EXPECT_TRUE(script.Shown().empty()) << script.LastText().toStdString();
    App().SetProgramme(nullptr);
}
