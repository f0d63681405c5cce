// Report header values and planning dates from Prodat and the project environment.
#include "documents/Projektinfo.h"
#include "GridEnter.h"
#include "TestApp.h"
#include "TestDir.h"
#include "documents/CRModul.h"
#include "platform/forms/MessageBox.h"
#include "platform/outside/Prodat.h"
#include "platform/outside/ProjektDatenMaske.h"
#include "platform/outside/ProjektUmgebung.h"
#include "platform/report/ReportFixture.h"

#include <QFileInfo>
#include <QLineEdit>

using namespace velu;

namespace {

class Umgebung : public outside::ProjektUmgebung {
public:
    QString ordner, nummer = "00000007", name = "Neubau Kita";
    QString ProjekteOrdner() override { return ordner + "/"; }
    bool DateiExistiert(const QString& p) override { return QFileInfo::exists(p); }
    QString ProjektOrdner() override { return ordner; }
    QString PfadVonEinstellung(const QString&, const QString& standard) override { return standard; }
    void AktProjekt(QString& a, QString& b, QString& c, QString&, QString&) override {
        a = nummer;
        b = ordner;
        c = name;
    }
    bool SetAktProjekt(const QString&, const QString&) override { return true; }
};

} // namespace

TEST(ProjektinfoTest, HeaderValuesAreQuotedFormulaTexts) {
    TestDir dir;
    Umgebung u;
    u.ordner = QString::fromStdString(dir.Path().string());
    const QString prodat = u.ordner + "/Prodat";

    // No file: empty lines, name and number from the environment.
    Projektkopf k = AllProjektinfo(u);
    EXPECT_EQ(QStringList(k.begin() + 1, k.end()),
              QStringList({"''", "''", "''", "''", "''", "''", "'Neubau Kita'", "'00000007'"}));

    ASSERT_TRUE(outside::SchreibeProdatFelder(prodat, {{0, "  Schule Nord"},
                                                       {1, "'"},
                                                       {2, "Bauteil B"},
                                                       {3, "nicht gelesen"},
                                                       {4, "Müller's Bau"},
                                                       {5, "Stadt 'Süd'"},
                                                       {6, ""}}));
    u.name = "Müller's Haus";
    u.nummer = "0'1";
    k = AllProjektinfo(u);
    EXPECT_EQ(QStringList(k.begin() + 1, k.end()),
              QStringList({"'Schule Nord'", "''''", "'Bauteil B'", "'Müller''s Bau'", "'Stadt ''Süd'''", "''",
                           "'Müller''s Haus'", "'0''1'"}));
}

TEST(ProjektinfoTest, AnApostropheInTheProjectNamePrintsUnchanged) {
    testApp();
    ReportFixture f;
    f.Rechnung(1, "R", 1);
    f.Vorlage("kopf.rpt", R"({
      "tables": [{"alias": "BeReList", "table": "BeReList"}],
      "formulas": [{"name": "Projektbezeichnung", "text": "''"}, {"name": "Projektnummer", "text": "''"},
                   {"name": "Bauherr1", "text": "''"}],
      "bands": {"reportHeader": {"height": 5, "items": [
        {"type": "formula", "name": "Projektbezeichnung", "width": 60},
        {"type": "formula", "name": "Projektnummer", "x": 70, "width": 30},
        {"type": "formula", "name": "Bauherr1", "x": 110, "width": 60}]}}
    })");
    Umgebung u;
    u.ordner = QString::fromStdString(f.dir.Path().string());
    u.name = "Müller's Haus";
    {
        // The client typed into the project data as the clerk does.
        outside::ProjektDatenMaske maske(u.ordner + "/Prodat",
                                         outside::ProjektInfo{u.nummer, u.ordner, u.name});
        maske.show();
        maske.Feld(4)->setFocus();
        eingabe::Tasten(*maske.Feld(4), "O'Brien & Söhne");
        forms::MessageBoxScript boxen;
        ASSERT_TRUE(maske.Speichern()) << boxen.LastText().toStdString();
    }
    const Projektkopf k = AllProjektinfo(u);

    CRModul m{report::Umfeld{}};
    QString pfad = QString::fromStdString((f.dir / "kopf.rpt").string());
    ASSERT_EQ(m.CROpenReport(pfad), 0);
    ASSERT_EQ(m.CRSetTableLocations({{"BeReList", f.projekt}}), 0);
    ASSERT_EQ(m.CRSetFormula({{"Projektbezeichnung", k[7]}, {"Projektnummer", k[8]}, {"Bauherr1", k[4]}}), 0);
    const QString html = QString::fromStdString((f.dir / "kopf.htm").string());
    ASSERT_EQ(m.CRExport(html), 0);
    QFile datei(html);
    ASSERT_TRUE(datei.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(datei.readAll());
    EXPECT_TRUE(text.contains("Müller&#x27;s Haus") || text.contains("Müller's Haus")) << text.toStdString();
    EXPECT_TRUE(text.contains("00000007"));
    // The client's apostrophe prints as typed, as on the invoices.
    EXPECT_TRUE(text.contains("O&#x27;Brien &amp; Söhne") || text.contains("O'Brien &amp; Söhne"))
        << text.toStdString();
    EXPECT_FALSE(text.contains("O Brien"));
}

TEST(ProjektinfoTest, PlanningDatesComeFromFieldsOneSixtyOnward) {
    TestDir dir;
    Umgebung u;
    const QString prodat = QString::fromStdString((dir / "Prodat").string());
    std::array<QString, 13> werte{};
    GetVorPlanungsdaten(u, prodat, werte);
    for (const QString& w : werte)
        EXPECT_TRUE(w.isEmpty());

    std::vector<std::pair<int, QString>> felder = {{0, " Kita Ost "}, {159, "davor"}, {171, "danach"}};
    for (int i = 160; i <= 170; ++i)
        felder.emplace_back(i, QString("  F%1  ").arg(i));
    ASSERT_TRUE(outside::SchreibeProdatFelder(prodat, felder));
    GetVorPlanungsdaten(u, prodat, werte);
    EXPECT_TRUE(werte[0].isEmpty());
    for (int i = 1; i <= 11; ++i)
        EXPECT_EQ(werte[size_t(i)], QString("F%1").arg(i + 159)) << i;
    EXPECT_EQ(werte[12], "Kita Ost");
}
