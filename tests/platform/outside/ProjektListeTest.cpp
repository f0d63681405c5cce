#include "platform/outside/ProjektListe.h"
#include "GridEnter.h"
#include "TestApp.h"
#include "platform/outside/DruckVorlagenEditor.h"
#include "platform/outside/ProjektAuswahl.h"
#include "platform/outside/Serienbriefe.h"
#include "platform/outside/StandInProgramme.h"

#include "platform/db/Database.h"
#include "platform/forms/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolTip>
#include <gtest/gtest.h>

using namespace velu::outside;

namespace {
void app() {
    testApp();
}
} // namespace

TEST(ProjektListe, NumbersAreOneToEightDigits) {
    struct Case {
        const char* in;
        const char* out;
    };
    for (const Case& c :
         {Case{"1", "00000001"}, Case{" 42 ", "00000042"}, Case{"12345678", "12345678"},
          Case{"123456789", nullptr}, Case{"", nullptr}, Case{"12a", nullptr}, Case{"-1", nullptr}}) {
        auto r = NormProjektNummer(c.in);
        if (c.out)
            EXPECT_EQ(r, QString(c.out)) << c.in;
        else
            EXPECT_FALSE(r) << c.in;
    }
}

TEST(ProjektListe, CreatesProjectsWithFolderAndDataFile) {
    QTemporaryDir tmp;
    ProjektListe liste(tmp.path() + "/Projekte/");
    QString nr = "7";
    QString fehler;
    ASSERT_TRUE(liste.ProjektAnlegen(nr, " Schule Nord ", &fehler)) << fehler.toStdString();
    EXPECT_EQ(nr, "00000007");
    const QString ordner = tmp.path() + "/Projekte/00000007.PRO";
    EXPECT_TRUE(QDir(ordner).exists());
    QFile prodat(ordner + "/Prodat");
    ASSERT_TRUE(prodat.open(QIODevice::ReadOnly));
    EXPECT_EQ(prodat.size(), ProdatSatzLaenge);
    EXPECT_EQ(LeseProdatFeld(ordner + "/Prodat", 0), "Schule Nord");
    EXPECT_EQ(LeseProdatFeld(ordner + "/Prodat", 1), "");

    struct Bad {
        const char* nummer;
        const char* name;
        const char* meldung;
    };
    for (const Bad& b :
         {Bad{"7", "Doppelt", "gibt es schon"}, Bad{"x", "Name", "1 bis 8 Ziffern"},
          Bad{"8", "", "1 bis 30 Zeichen"}, Bad{"8", "0123456789012345678901234567890", "1 bis 30"}}) {
        QString n = b.nummer;
        EXPECT_FALSE(liste.ProjektAnlegen(n, b.name, &fehler)) << b.nummer;
        EXPECT_TRUE(fehler.contains(b.meldung)) << fehler.toStdString();
    }
    ASSERT_TRUE(liste.Eintragen("00000007", "Schule Nord, 2. BA"));
    ASSERT_TRUE(liste.Eintragen("00000003", "Halle"));
    auto alle = liste.Liste();
    ASSERT_TRUE(alle);
    ASSERT_EQ(alle->size(), 2u);
    EXPECT_EQ(alle->at(0).nummer, "00000003");
    EXPECT_EQ(alle->at(1).name, "Schule Nord, 2. BA");
    EXPECT_FALSE(QDir(tmp.path() + "/Projekte/00000008.PRO").exists());
}

TEST(ProjektListe, ProdatFieldsKeepTheOthers) {
    QTemporaryDir tmp;
    const QString p = tmp.path() + "/Prodat";
    ASSERT_TRUE(SchreibeProdat(p, "Vorhaben"));
    ASSERT_TRUE(SchreibeProdatFelder(p, {{4, "Bauherr Müller"}, {199, "Ende"}, {200, "ignoriert"}}));
    EXPECT_EQ(LeseProdatFeld(p, 0), "Vorhaben");
    EXPECT_EQ(LeseProdatFeld(p, 4), "Bauherr Müller");
    EXPECT_EQ(LeseProdatFeld(p, 199), "Ende");
    EXPECT_EQ(LeseProdatFeld(p, 200), "");
    EXPECT_EQ(QFileInfo(p).size(), ProdatSatzLaenge);
    EXPECT_EQ(LeseProdatFeld(tmp.path() + "/fehlt", 0), "");
}

TEST(ProjektListe, ChooserCreatesAndChooses) {
    app();
    QTemporaryDir tmp;
    ProjektListe liste(tmp.path() + "/P/");
    QString nr = "1";
    ASSERT_TRUE(liste.ProjektAnlegen(nr, "Erstes"));
    nr = "2";
    ASSERT_TRUE(liste.ProjektAnlegen(nr, "Zweites"));
    ProjektAuswahl dlg(tmp.path() + "/P/", "00000002");
    auto* tabelle = dlg.findChild<QTableWidget*>("Projekte");
    ASSERT_EQ(tabelle->rowCount(), 2);
    EXPECT_EQ(tabelle->currentRow(), 1);
    velu::forms::MessageBoxScript script;
    dlg.findChild<QLineEdit*>("Nummer")->setText("x");
    dlg.findChild<QLineEdit*>("Bezeichnung")->setText("Drittes");
    EXPECT_FALSE(dlg.Anlegen());
    EXPECT_EQ(script.LastText(), "Die Projektnummer muss aus 1 bis 8 Ziffern bestehen.");
    dlg.findChild<QLineEdit*>("Nummer")->setText("3");
    EXPECT_TRUE(dlg.Anlegen());
    EXPECT_EQ(tabelle->rowCount(), 3);
    EXPECT_TRUE(dlg.Auswaehlen());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Gewaehlt().nummer, "00000003");
    EXPECT_EQ(dlg.Gewaehlt().name, "Drittes");
}

// Two clerks create a project of one number at the same moment: the second clerk's creation runs between
// the first one's check of the number and its row. One of them has the project, the other is told.
TEST(ProjektListe, OfTwoClerksCreatingOneNumberOnlyOneHasIt) {
    QTemporaryDir tmp;
    const QString ordner = tmp.path() + "/Projekte/";
    ProjektListe a(ordner), b(ordner);
    bool bHat = false;
    a.zwischenDenSchritten = [&](const char* schritt) {
        if (std::string(schritt) != "eintragen") return;
        QString nr = "17";
        bHat = b.ProjektAnlegen(nr, "Bürgerhaus");
    };
    QString nr = "17", fehler;
    EXPECT_FALSE(a.ProjektAnlegen(nr, "Turnhalle", &fehler));
    EXPECT_EQ(fehler, "Ein Projekt mit der Nummer 00000017 gibt es schon.");
    EXPECT_TRUE(bHat);
    const auto liste = a.Liste();
    ASSERT_TRUE(liste);
    ASSERT_EQ(liste->size(), 1u);
    EXPECT_EQ(liste->front().name, "Bürgerhaus");
    EXPECT_EQ(LeseProdatFeld(ordner + "00000017.PRO/Prodat", 0), "Bürgerhaus");
}

TEST(Reorganisation, ChecksAndCompactsOrSaysWhy) {
    QTemporaryDir tmp;
    const QString gut = tmp.path() + "/gut.mdb";
    {
        auto db = velu::db::Database::Create(std::filesystem::path(gut.toStdString()));
        ASSERT_TRUE(db);
        db->Execute("CREATE TABLE t (x TEXT)");
        for (int i = 0; i < 200; ++i)
            db->Execute("INSERT INTO t VALUES (?)", velu::db::Params().Add(std::string(500, 'a')));
        db->Execute("DELETE FROM t");
    }
    const auto vorher = QFileInfo(gut).size();
    EXPECT_EQ(ReorganisiereDatei(gut), "");
    EXPECT_LT(QFileInfo(gut).size(), vorher);

    const QString kaputt = tmp.path() + "/kaputt.mdb";
    QFile f(kaputt);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(2048, 'z'));
    f.close();
    EXPECT_FALSE(ReorganisiereDatei(kaputt).isEmpty());
    EXPECT_FALSE(ReorganisiereDatei(tmp.path() + "/fehlt.mdb").isEmpty());
    EXPECT_FALSE(QFileInfo::exists(tmp.path() + "/fehlt.mdb"));

    auto offen = velu::db::Database::Open(std::filesystem::path(gut.toStdString()));
    EXPECT_FALSE(ReorganisiereDatei(gut).isEmpty());
}

TEST(StandIns, WithoutAMasterDatabaseTheTemplateEditorSaysSo) {
    app();
    QTemporaryDir tmp;
    IniUmgebung u(tmp.path() + "/umgebung.ini");
    StandInProgramme p(u);
    velu::forms::MessageBoxScript script;
    p.CreateKopfUndFussProgramm()->ShowKopfUndFuss(1);
    ASSERT_EQ(script.Shown().size(), 1u);
    EXPECT_EQ(script.Shown()[0].text, StammDBNichtGefunden);
}

TEST(ProdatMaske, ShowsWholeLinesOfTheFieldLength) {
    app();
    QTemporaryDir tmp;
    IniUmgebung u(tmp.path() + "/umgebung.ini");
    ProjektListe liste(u.ProjekteOrdner());
    QString nr = "7";
    ASSERT_TRUE(liste.ProjektAnlegen(nr, "Neubau Kita Sonnenhof"));
    ASSERT_TRUE(u.SetAktProjekt(nr, "Neubau Kita Sonnenhof"));
    // A short line and a line as long as the field (40 characters) with capitals and umlauts.
    const QString voll = "Kindertagesstätte Große Wiese, 2. Ausbau";
    ASSERT_EQ(voll.size(), ProdatFeldLaenge);
    ASSERT_TRUE(SchreibeProdatFelder(u.ProjektOrdner() + "/Prodat", {{1, voll}, {4, "Stadt Überlingen"}}));

    StandInProgramme p(u);
    int geprueft = 0;
    QTimer::singleShot(0, [&] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        for (auto* e : w->findChildren<QLineEdit*>()) {
            ++geprueft;
            const QString text = e->text().isEmpty() ? voll : e->text();
            // The line edit keeps a few pixels of its own inside the frame.
            EXPECT_LE(e->fontMetrics().horizontalAdvance(text) + 8, e->contentsRect().width())
                << e->objectName().toStdString() << ": " << text.toStdString();
        }
        for (auto* l : w->findChildren<QLabel*>())
            EXPECT_GE(l->width(), l->sizeHint().width()) << l->text().toStdString();
        const QString datei = qEnvironmentVariable("VELU_SCREENSHOT");
        if (!datei.isEmpty()) EXPECT_TRUE(w->grab().save(datei));
        w->close();
    });
    p.CreateProjektVerwaltung()->ShowProdat(0);
    EXPECT_EQ(geprueft, 7);
}

TEST(Namenslaenge, AProjectOrSerialLetterNameBeyondItsFieldIsRefusedNotCut) {
    app();
    QTemporaryDir tmp;
    velu::forms::MessageBoxScript script;
    {
        ProjektAuswahl dlg(tmp.path() + "/P/", "");
        dlg.show();
        auto* nummer = dlg.findChild<QLineEdit*>("Nummer");
        auto* name = dlg.findChild<QLineEdit*>("Bezeichnung");
        nummer->setFocus();
        velu::eingabe::Tasten(*nummer, "7");
        name->setFocus();
        const QString lang = "Kindertagesstätte Sonnenhof Ost"; // 31 characters
        velu::eingabe::Tasten(*name, lang);
        EXPECT_EQ(name->text(), lang) << "every typed character is taken";
        EXPECT_EQ(QToolTip::text(), "Der Text ist 31 Zeichen lang; höchstens 30 Zeichen sind möglich.");
        EXPECT_FALSE(dlg.Anlegen());
        EXPECT_EQ(script.LastText(), "Die Projektbezeichnung muss 1 bis 30 Zeichen lang sein.");
        EXPECT_EQ(name->text(), lang);
        EXPECT_FALSE(QFileInfo::exists(tmp.path() + "/P/00000007"));
        velu::eingabe::Taste(*name, Qt::Key_Backspace);
        EXPECT_TRUE(dlg.Anlegen()) << script.LastText().toStdString();
    }
    auto briefe = Serienbriefe::Oeffnen(tmp.path() + "/SERIENBRIEFE.MDB");
    ASSERT_TRUE(briefe);
    const int64_t lfnr = briefe->Neu("Einladung");
    ASSERT_GT(lfnr, 0);
    DruckVorlagenEditor e(briefe->Datenbank());
    e.NurArt(Serienbriefe::Art, "Serienbriefe");
    ASSERT_TRUE(e.Waehle(Serienbriefe::Art, lfnr));
    e.show();
    auto* bez = e.findChild<QLineEdit*>("Bezeichnung");
    bez->setFocus();
    bez->selectAll();
    const QString lang = QString("Einladung zum Richtfest ").repeated(4).left(81);
    velu::eingabe::Tasten(*bez, lang);
    EXPECT_EQ(bez->text(), lang);
    const size_t vorher = script.Shown().size();
    EXPECT_FALSE(e.Speichern());
    ASSERT_EQ(script.Shown().size(), vorher + 1);
    EXPECT_EQ(script.LastText(),
              "Bezeichnung:\nDer Text ist 81 Zeichen lang; höchstens 80 Zeichen sind möglich.");
    EXPECT_EQ(bez->text(), lang);
    EXPECT_EQ(briefe->Briefe().at(0).name, "Einladung");
    velu::eingabe::Taste(*bez, Qt::Key_Backspace);
    EXPECT_TRUE(e.Speichern()) << script.LastText().toStdString();
    EXPECT_EQ(briefe->Briefe().at(0).name, lang.left(80).trimmed());
}
