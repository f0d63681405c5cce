// The twelve report operations: geometry and window options, formulas, copies, calls out of order, replacing
// a report, missing templates, preview, print into a file, export, and the program's formats and connections.
#include "documents/CRModul.h"
#include "TestApp.h"
#include "core/AppState.h"
#include "platform/report/ReportFehler.h"
#include "platform/report/ReportFixture.h"
#include "platform/report/VorschauFenster.h"

#include <QDialog>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

using namespace velu;

namespace {

struct Modul : ReportFixture {
    CRModul m{report::Umfeld{}};
    QString liste = Vorlage("liste.rpt", ListenVorlage());

    int Oeffne(QString pfad) {
        const long rc = m.CROpenReport(pfad);
        if (rc == 0 && m.Report()->Vorl().FindeTabelle("BeReList"))
            EXPECT_EQ(m.CRSetTableLocations({{"BeReList", projekt}}), 0);
        return int(rc);
    }
    QString Datei(const char* name) { return QString::fromStdString((dir / name).string()); }
};

QString Lies(const QString& pfad) {
    QFile f(pfad);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

TEST(CRModulTest, WindowGeometryIsCentredAtEightyFivePercent) {
    struct Fall {
        int w, h, offset;
        long left, top, width, height;
    };
    const Fall faelle[] = {
        {1024, 768, 0, 77, 58, 870, 653},
        {1920, 1080, 0, 144, 81, 1632, 918},
        {1024, 768, 10, 67, 48, 870, 653},
        {800, 600, 0, 60, 45, 680, 510},
    };
    for (const Fall& f : faelle) {
        long l, t, b, h;
        CRModul::FensterGeometrie(f.w, f.h, f.offset, l, t, b, h);
        EXPECT_EQ(std::vector<long>({l, t, b, h}), std::vector<long>({f.left, f.top, f.width, f.height}))
            << f.w << "x" << f.h << " offset " << f.offset;
    }
}

TEST(CRModulTest, WindowOptionsAreKeptByDispatchId) {
    CRModul m{report::Umfeld{}};
    m.CRWindowOptions(0);
    for (int id : {10, 5, 7, 14, 11, 12, 9})
        EXPECT_TRUE(m.Fensteroption(id)) << id;
    for (int id : {4, 6, 8, 16, 15})
        EXPECT_FALSE(m.Fensteroption(id)) << id;
    EXPECT_EQ(m.Fensteroptionen().size(), 12u);
    m.CRWindowOptions(0x21B);
    for (const auto& [id, an] : m.Fensteroptionen())
        EXPECT_TRUE(an) << id;
    m.CRWindowOptions(0x1);
    EXPECT_TRUE(m.Fensteroption(4));
    EXPECT_FALSE(m.Fensteroption(6));
}

TEST(CRModulTest, FormulasStopAtTheFirstThatFails) {
    Modul t;
    t.Vorlage("drei.rpt", R"({"formulas": [{"name": "A", "text": "''"}, {"name": "B", "text": "''"},
                                          {"name": "C", "text": "''"}]})");
    ASSERT_EQ(t.Oeffne(t.Datei("drei.rpt")), 0);
    EXPECT_EQ(t.m.CRSetFormula({{"A", "'1'"}, {"B", "'2'"}, {"Fehlt", "'3'"}, {"C", "'4'"}}), 3);
    EXPECT_EQ(*t.m.Report()->FormelText("A"), "'1'");
    EXPECT_EQ(*t.m.Report()->FormelText("B"), "'2'");
    EXPECT_EQ(*t.m.Report()->FormelText("C"), "''");
    EXPECT_EQ(t.m.CRSetFormula({{"A", "'x'"}, {"B", "'O'Brien'"}}), 2);
    EXPECT_EQ(t.m.CRSetFormula({{"A", "'x'"}, {"B", "'O''Brien'"}, {"C", "1"}}), 0);
    // Only the first n entries count.
    EXPECT_EQ(t.m.CRSetFormula({{"A", "'y'"}, {"Fehlt", "1"}}, 1), 0);
}

TEST(CRModulTest, CopiesBelowOnePrintOneAndTellTheCaller) {
    testApp();
    Modul t;
    t.Rechnung(1, "R", 1, 12345600);
    ASSERT_EQ(t.Oeffne(t.liste), 0);
    t.m.SetDruckDatei(t.Datei("druck.pdf"));
    for (int vorher : {0, -2, 1, 2}) {
        int kopien = vorher;
        EXPECT_EQ(t.m.CRPrintOut(0, 0, kopien), 0) << t.m.Fehlertext().toStdString();
        EXPECT_EQ(kopien, std::max(1, vorher));
    }
}

TEST(CRModulTest, CallsBeforeAnOpenDoNoHarm) {
    Modul t;
    CRModul& m = t.m;
    m.CRRelease();
    m.CRSetDatum("01.01.2024");
    m.CRSetSelection("{BeReList.LfNr}= 1");
    m.CRWindowOptions(0);
    int kopien = 0;
    QString sub = "x.rpt", tab = "BeReList";
    EXPECT_EQ(m.CRPrintOut(0, 0, kopien), report::KeinBericht);
    EXPECT_EQ(kopien, 1);
    EXPECT_EQ(m.CRPreview("Titel", 0, 0, 0), report::KeinBericht);
    EXPECT_EQ(m.CRExport(t.Datei("x.htm")), report::KeinBericht);
    EXPECT_EQ(m.CRSetTableLocations({{"BeReList", t.projekt}}), report::KeinBericht);
    EXPECT_EQ(m.CRSetTableLocation(sub, tab, t.projekt), report::KeinBericht);
    EXPECT_EQ(m.CRSetFormula({{"Titel", "''"}}), 1);
    EXPECT_EQ(m.CRSetFormula({}), 0);
    EXPECT_EQ(m.Vorschau(), nullptr);
    m.CRRelease();
}

TEST(CRModulTest, OpeningFindsTheTemplateAndASecondOpenReplacesTheFirst) {
    testApp();
    Modul t;
    t.Rechnung(1, "R", 1);
    // Backslashes and another letter case find the file.
    QString pfad = QString::fromStdString(t.dir.Path().string()) + "\\LISTE.RPT";
    ASSERT_EQ(t.Oeffne(pfad), 0);
    report::Report* erster = t.m.Report();
    ASSERT_EQ(t.m.CRPreview("Liste", 0, 0, 0), 0);
    QPointer<report::VorschauFenster> vorschau = t.m.Vorschau();
    ASSERT_TRUE(vorschau);

    QString fehlt = t.Datei("fehlt.rpt");
    EXPECT_EQ(t.m.CROpenReport(fehlt), 53);
    EXPECT_EQ(t.m.Report(), erster) << "a failed open keeps the open report";
    EXPECT_TRUE(vorschau);
    QString kaputt = t.Vorlage("kaputt.rpt", "{");
    EXPECT_EQ(t.m.CROpenReport(kaputt), report::VorlageDefekt);

    ASSERT_EQ(t.Oeffne(t.liste), 0);
    EXPECT_NE(t.m.Report(), nullptr);
    EXPECT_FALSE(vorschau) << "the former report's preview is closed";
}

TEST(CRModulTest, PreviewOpensAtTheComputedGeometryAndClosesOnRelease) {
    testApp();
    Modul t;
    for (int i = 1; i <= 3; ++i)
        t.Rechnung(i, "R", 1, 100050);
    ASSERT_EQ(t.Oeffne(t.liste), 0);
    QWidget owner;
    owner.show();
    ASSERT_EQ(t.m.CRPreview("Projektaufwand", 0, 0, qint64(owner.winId())), 0);
    QPointer<report::VorschauFenster> v = t.m.Vorschau();
    ASSERT_TRUE(v);
    long l, o, b, h;
    t.m.CRWindowGeometry(0, l, o, b, h);
    EXPECT_EQ(v->geometry(), QRect(int(l), int(o), int(b), int(h)));
    EXPECT_EQ(v->windowTitle(), "Projektaufwand");
    EXPECT_EQ(v->parentWidget(), &owner);
    EXPECT_TRUE(v->isVisible());
    EXPECT_EQ(v->Seiten().seiten.size(), 1u);
    EXPECT_TRUE(t.m.Fensteroption(10));
    t.m.CRRelease();
    EXPECT_FALSE(v);
    EXPECT_EQ(t.m.Report(), nullptr);
}

TEST(CRModulTest, HtmlExportAndTheProgramsFormatsAndConnections) {
    testApp();
    Modul t;
    t.Rechnung(1, "R", 1, 12345600);
    // The program's own connection, inside a transaction that has not committed yet.
    std::shared_ptr<db::Database> db(std::move(t.db));
    App().SetProjekt(db, t.projekt);
    db::Transaction tr(*db);
    velu::db::Params p;
    db->Execute("INSERT INTO BeReList (LfNr, REType, Ursprung, Endbetrag) VALUES (2, 'R', 1, 100050)");

    CRModul m;
    QString pfad = t.liste;
    ASSERT_EQ(m.CROpenReport(pfad), 0);
    ASSERT_EQ(m.CRSetTableLocations({{"BeReList", t.projekt}}), 0);
    const QString html = t.Datei("export.htm");
    ASSERT_EQ(m.CRExport(html), 0) << m.Fehlertext().toStdString();
    const QString text = Lies(html);
    EXPECT_TRUE(text.contains("1.234,56"));
    EXPECT_TRUE(text.contains("10,01")) << "the program's rounding of amounts";
    EXPECT_TRUE(text.contains("1.244,57"));
    EXPECT_EQ(m.CRExport(t.Datei("nicht/da.htm")), report::SchreibFehler);
    m.CRRelease();
    App().SetProjekt(nullptr, {});
}

TEST(CRModulTest, CancellingThePrintDialogReturnsItsCode) {
    testApp();
    Modul t;
    t.Rechnung(1, "R", 1);
    ASSERT_EQ(t.Oeffne(t.liste), 0);
    // Whatever dialog comes up is cancelled.
    QTimer abbruch;
    QObject::connect(&abbruch, &QTimer::timeout, [] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            if (auto* d = qobject_cast<QDialog*>(w)) d->reject();
        }
    });
    abbruch.start(50);
    int kopien = 1;
    EXPECT_EQ(t.m.CRPrintOut(0, 1, kopien), report::DruckAbgebrochen);
}
