// The reports dialog: its controls and currency tools, the preset from the register, waiting for a preview,
// the messages of the routines, and the register's report tools opening it.
#include "documents/PrintFormKO.h"
#include "DruckausgabeFixture.h"
#include "GridEnter.h"
#include "core/AppState.h"
#include "documents/DokumentDruckAufruf.h"
#include "documents/DruckAufrufRechnung.h"
#include "documents/RechnungDruckAufruf.h"
#include "platform/db/Recordset.h"
#include "platform/forms/FormTag.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/ToolBand.h"
#include "platform/report/VorschauFenster.h"
#include "platform/settings/SettingsStore.h"
#include "register/BerAuswahl.h"

#include <QGroupBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>

using namespace velu;
using namespace berichte;
using forms::MessageBoxScript;

namespace {

QString Vorlagenordner(const QString& ziel, const QString& ohneFormel) {
    // The delivered templates, one of them without the formula "Projektnummer".
    QDir().mkpath(ziel);
    for (const QString& d : QDir(GelieferteBerichte()).entryList({"*.rpt"})) {
        QFile f(GelieferteBerichte() + "/" + d);
        f.open(QIODevice::ReadOnly);
        QJsonObject o = QJsonDocument::fromJson(f.readAll()).object();
        if (d == ohneFormel) {
            QJsonArray formeln;
            for (const QJsonValue v : o["formulas"].toArray())
                if (v.toObject()["name"].toString() != "Projektnummer") formeln.append(v);
            o["formulas"] = formeln;
        }
        QFile g(ziel + "/" + d);
        g.open(QIODevice::WriteOnly);
        g.write(QJsonDocument(o).toJson());
    }
    return ziel;
}

} // namespace

TEST(PrintFormKOTest, ControlsAndCurrencyTools) {
    DruckausgabeFixture t;
    ProgrammZustand z(t);
    CRModul cr{report::Umfeld{}};
    PrintFormKO d(cr, t.Quellen(), GelieferteBerichte());
    EXPECT_EQ(d.windowTitle(), "Druckausgabe");
    for (int i = 0; i <= 10; ++i) {
        auto* o = d.findChild<QRadioButton*>(QString("Option1(%1)").arg(i));
        ASSERT_TRUE(o) << i;
        EXPECT_EQ(o->text(), Druckausgabe::OptionCaptions[size_t(i)]);
    }
    EXPECT_EQ(d.findChild<QRadioButton*>("Option1(3)")->text(),
              "Projektaufwand nach Leistungsphasen extern ");
    EXPECT_EQ(d.findChild<QRadioButton*>("Option1(4)")->text(), "offene Posten ");
    auto* text1 = d.findChild<QSpinBox*>("Text1");
    ASSERT_TRUE(text1);
    EXPECT_EQ(std::make_pair(text1->minimum(), text1->maximum()), std::make_pair(1, 99));
    EXPECT_EQ(d.findChild<QLineEdit*>("DTPicker1")->text(), QDate::currentDate().toString("dd.MM.yyyy"));
    EXPECT_TRUE(d.ActiveBar1().Checked("Band1", "DM"));
    EXPECT_FALSE(d.ActiveBar1().Checked("Band1", "EUR"));
    EXPECT_EQ(d.wasIstZUDrucken(), 0);
    EXPECT_EQ(d.Routinen().Kopf()[7], "'Kita Stadtpark'");
    struct Fall {
        int option;
        bool waehrung;
    };
    for (const Fall& f : {Fall{6, false}, Fall{5, true}, Fall{4, false}, Fall{0, true}, Fall{7, false},
                          Fall{8, false}, Fall{10, true}}) {
        d.findChild<QRadioButton*>(QString("Option1(%1)").arg(f.option))->click();
        EXPECT_EQ(d.ActiveBar1().Visible("Band1", "DM"), f.waehrung) << f.option;
        EXPECT_EQ(d.ActiveBar1().Visible("Band1", "EUR"), f.waehrung) << f.option;
        EXPECT_EQ(d.wasIstZUDrucken(), f.option);
    }
    d.ActiveBar1().Click("Band1", "EUR");
    EXPECT_FALSE(d.ActiveBar1().Checked("Band1", "DM"));
}

TEST(PrintFormKOTest, PresetHidesTheOptionsAndShortensTheDialog) {
    DruckausgabeFixture t;
    ProgrammZustand z(t);
    CRModul cr{report::Umfeld{}};
    PrintFormKO d(cr, t.Quellen(), GelieferteBerichte());
    d.show();
    QApplication::processEvents();
    const int hoehe = d.height();
    d.findChild<QRadioButton*>("Option1(2)")->setChecked(true);
    d.PrintMode2(12, 42, "R 2001/07", 40);
    EXPECT_FALSE(d.findChild<QGroupBox*>("Frame1")->isVisible());
    EXPECT_LT(d.height(), hoehe);
    EXPECT_EQ(d.wasIstZUDrucken(), 12);
}

TEST(PrintFormKOTest, APreviewKeepsTheDialogDisabledUntilItCloses) {
    DruckausgabeFixture t;
    ProgrammZustand z(t);
    CRModul cr{report::Umfeld{}};
    PrintFormKO d(cr, t.Quellen(), GelieferteBerichte());
    d.show();
    bool gesehen = false;
    QTimer warten;
    QObject::connect(&warten, &QTimer::timeout, [&] {
        report::VorschauFenster* v = cr.Vorschau();
        if (!v) return;
        warten.stop();
        gesehen = !d.isEnabled() && cr.Report();
        EXPECT_EQ(v->windowTitle(), "Projektaufwand nach Leistungsphasen");
        // A second command meanwhile changes nothing.
        EXPECT_FALSE(d.ActiveBar1().Click("Band1", "PRINT"));
        v->close();
    });
    warten.start(10);
    MessageBoxScript script;
    ASSERT_TRUE(d.ActiveBar1().Click("Band1", "PREVIEW"));
    EXPECT_TRUE(gesehen);
    EXPECT_TRUE(d.isEnabled());
    EXPECT_FALSE(cr.Report());
    EXPECT_TRUE(script.Shown().empty()) << script.LastText().toStdString();
}

TEST(PrintFormKOTest, MessagesOfTheRoutines) {
    DruckausgabeFixture t;
    ProgrammZustand z(t);
    QTemporaryDir leer;
    const QString ohne = Vorlagenordner(leer.path() + "/ohne", "VELUNTA4016.rpt");
    const QString ohne11 = Vorlagenordner(leer.path() + "/ohne11", "VELUNTA4033.rpt");
    struct Fall {
        const char* name;
        QString ordner;
        int option, preset;
        QString meldung;
        bool offen; // the report stays open afterwards
    };
    const Fall faelle[] = {
        {"missing template", leer.path(), 0, 0, "Fehler bei ReportOpen #53", false},
        {"fee report without project number", ohne, 5, 0, "Fehler bei SetFotmulars Formel #8", false},
        {"preset report without project number", ohne11, -1, 11, "Fehler bei SetFotmulars Formel #8", true},
    };
    for (const Fall& f : faelle) {
        CRModul cr{report::Umfeld{}};
        cr.SetDruckDatei(leer.path() + "/m.pdf");
        PrintFormKO d(cr, t.Quellen(), f.ordner);
        d.show();
        if (f.option >= 0) d.findChild<QRadioButton*>(QString("Option1(%1)").arg(f.option))->setChecked(true);
        if (f.preset) d.PrintMode2(f.preset, 42, "R 2001/07", 40);
        MessageBoxScript script;
        d.ActiveBar1().Click("Band1", "PRINT");
        ASSERT_EQ(script.Shown().size(), 1u) << f.name;
        EXPECT_EQ(script.LastText(), f.meldung) << f.name;
        EXPECT_EQ(script.Shown()[0].title, QApplication::applicationDisplayName()) << f.name;
        EXPECT_TRUE(d.isVisible()) << f.name;
        EXPECT_EQ(cr.Report() != nullptr, f.offen) << f.name;
        // No hidden expense row is left behind.
        EXPECT_TRUE(t.projekt->OpenRecordset("SELECT * FROM Projektaufwand WHERE HIDE <> 0").Empty())
            << f.name;
    }
}

// A date typed over the one shown is checked before any report is opened: Home and typing puts the new date
// in front of the old one, which is refused and kept for correction; typed over all of it, it is taken.
TEST(PrintFormKOTest, ATypedDateIsTakenWholeOrRefusedBeforeTheReport) {
    using velu::eingabe::Taste;
    using velu::eingabe::Tasten;
    DruckausgabeFixture t;
    ProgrammZustand z(t);
    QTemporaryDir leer;
    struct Fall {
        Qt::Key taste;
        Qt::KeyboardModifiers mod;
        QString imFeld;
        QString meldung;
    } faelle[] = {
        {Qt::Key_Home, Qt::NoModifier, "15.03.2026" + QDate::currentDate().toString("dd.MM.yyyy"),
         QString::fromUtf8("Datum:\n„15.03.2026") + QDate::currentDate().toString("dd.MM.yyyy") +
             QString::fromUtf8("“ ist kein Datum. Bitte geben Sie das Datum als TT.MM.JJJJ ein.")},
        // Taken: the run goes on to the report, whose template is missing here.
        {Qt::Key_A, Qt::ControlModifier, "15.03.2026", "Fehler bei ReportOpen #53"},
    };
    for (const Fall& f : faelle) {
        SCOPED_TRACE(f.imFeld.toStdString());
        CRModul cr{report::Umfeld{}};
        cr.SetDruckDatei(leer.path() + "/m.pdf");
        PrintFormKO d(cr, t.Quellen(), leer.path());
        d.show();
        d.activateWindow();
        QApplication::processEvents();
        auto* datum = d.findChild<QLineEdit*>("DTPicker1");
        velu::eingabe::Klicken(*datum);
        ASSERT_EQ(d.focusWidget(), datum);
        Taste(d, f.taste, f.mod);
        Tasten(d, "15.03.2026");
        MessageBoxScript script;
        d.ActiveBar1().Click("Band1", "PRINT");
        ASSERT_EQ(script.Shown().size(), 1u);
        EXPECT_EQ(script.LastText(), f.meldung);
        EXPECT_EQ(datum->text(), f.imFeld);
        EXPECT_TRUE(d.isVisible());
    }
}

TEST(PrintFormKOTest, FormulasAndSelectionsOfTheRoutines) {
    DruckausgabeFixture t;
    EXPECT_EQ(Druckausgabe::AuswahlAbschlaege(42, 40),
              "{BeReList.LfNr}<= 42 and not ({BeReList.REType} in ['A', 'V']) and {BeReList.Ursprung} = 40");
    EXPECT_EQ(Druckausgabe::AuswahlEineBerechnung(42), "{BeReList.LfNr}= 42");
    struct Kopien {
        const char* text;
        int n;
    };
    for (const Kopien& k : {Kopien{"", 1}, Kopien{"abc", 1}, Kopien{"0", 1}, Kopien{"3", 3}, Kopien{"2,6", 3},
                            Kopien{"-4", 1}, Kopien{" 7 ", 7}})
        EXPECT_EQ(Druckausgabe::Kopien(k.text), k.n) << k.text;

    struct Fall {
        int preset;
        QString auswahl, reNummer;
    };
    const Fall faelle[] = {
        {11, "{BeReList.LfNr}= 42", {}},
        {12, "{BeReList.LfNr}<= 42 and not ({BeReList.REType} in ['A', 'V']) and {BeReList.Ursprung} = 40",
         "'R 2001/07'"},
        {13, "", {}},
        {14, "{BeReList.LfNr}= 42", {}},
    };
    for (const Fall& f : faelle) {
        CRModul cr{report::Umfeld{}};
        auto r = t.Routinen(cr);
        r->PrintMode2(f.preset, 42, "R 2001/07", 40);
        cr.SetDruckDatei(QString::fromStdString((t.dir / "p.pdf").string()));
        r->Dispatch(0, 3);
        ASSERT_TRUE(cr.Report()) << f.preset;
        EXPECT_EQ(cr.Report()->Auswahl(), f.auswahl) << f.preset;
        if (!f.reNummer.isEmpty()) EXPECT_EQ(*cr.Report()->FormelText("ReNummer"), f.reNummer);
        EXPECT_EQ(*cr.Report()->FormelText("Projektnummer"), "'00000001'");
        EXPECT_EQ(cr.Report()->Datum(), "24.12.2024");
    }
    for (bool dm : {true, false}) {
        CRModul cr{report::Umfeld{}};
        auto r = t.Routinen(cr, dm);
        QString pfad = GelieferteBerichte() + "/VELUNTA4011.rpt";
        ASSERT_EQ(cr.CROpenReport(pfad), 0);
        r->AusgabeWährung();
        EXPECT_EQ(*cr.Report()->FormelText("_InWaehrung"), dm ? "0" : "1");
        EXPECT_EQ(r->SetCommReportFields(), 0);
    }
}

TEST(PrintFormKOTest, TheRegistersReportToolOpensTheDialogPreset) {
    DruckausgabeFixture t;
    ProgrammZustand z(t);
    App().SetProjekt(nullptr, t.projektPfad);
    t.projekt->Execute("UPDATE BeReList SET Modif = -1, Gruppenbezeichnung = 'Neubau'");
    CRModul cr{report::Umfeld{}};
    struct Gesehen {
        QString caption, tag;
        int preset = 0;
        int64_t lfnr = 0, ursprung = 0;
        bool frame = true;
    } g;
    struct Host : reg::RegisterHost {
        db::Database* db;
        reg::BerechnungEditor* editor = nullptr;
        db::Database* ProjektDB() override { return db; }
        QString ProjektText() override { return "00000001"; }
        uint32_t AktRechte() override { return 8191; }
        reg::BerechnungEditor& Editor() override { return *editor; }
    };
    auto host = std::make_unique<Host>();
    host->db = t.projekt.get();
    host->SetDrucken(std::make_unique<DokumentDruckAufruf>(cr, nullptr, [&g](QDialog& d) {
        auto& f = static_cast<PrintFormKO&>(d);
        g = {f.windowTitle(),         forms::FormTag(f),
             f.Routinen().Preset(),   f.Routinen().LfNr(),
             f.Routinen().Ursprung(), f.findChild<QGroupBox*>("Frame1")->isVisibleTo(&f)};
    }));
    reg::BerAuswahl w(std::move(host));
    QTreeWidgetItemIterator it(w.TreeView1());
    for (; *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toString() == "@42") w.NodeClick(*it);
    ASSERT_TRUE(w.ActiveBar1().Click("PopupBand1", "PRINTKO"));
    EXPECT_EQ(g.preset, 11);
    EXPECT_EQ(g.lfnr, 42);
    EXPECT_EQ(g.ursprung, 40);
    EXPECT_EQ(g.tag, "T2");
    EXPECT_EQ(g.caption, "Kostenübersicht");
    EXPECT_FALSE(g.frame);

    // An invoice opens its own print dialog, no longer the message that printing comes later.
    MessageBoxScript script;
    bool geoeffnet = false;
    documents::DruckAufrufHook() = [&](documents::DruckAufrufRechnung& d) {
        geoeffnet = true;
        QTimer::singleShot(0, &d, [&d] { d.ActiveBar1().Click("Band1", "EXIT"); });
    };
    w.Host().Drucken().Rechnung(2, "24.12.2024", 0, 0, 42);
    documents::DruckAufrufHook() = nullptr;
    EXPECT_TRUE(geoeffnet);
    EXPECT_NE(script.LastText(), "Das Drucken ist noch nicht verfügbar.");
    App().SetProjekt(nullptr, {});
}

TEST(PrintFormKOTest, EscUnloadsTheDialogWithThePresetPreview) {
    DruckausgabeFixture t;
    ProgrammZustand z(t);
    CRModul cr{report::Umfeld{}};
    PrintFormKO d(cr, t.Quellen(), GelieferteBerichte());
    d.setWindowTitle("Zahlungsübersicht");
    d.show();
    d.PrintMode2(13, 42, "R 2001/07", 40);
    MessageBoxScript script;
    ASSERT_TRUE(d.ActiveBar1().Click("Band1", "PREVIEW"));
    // A preset report's preview is not waited for.
    ASSERT_TRUE(cr.Vorschau());
    EXPECT_EQ(cr.Vorschau()->windowTitle(), "Zahlungsübersicht");
    EXPECT_TRUE(d.isEnabled());
    d.reject();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_FALSE(cr.Vorschau());
    EXPECT_FALSE(cr.Report());
    EXPECT_TRUE(script.Shown().empty());
}
