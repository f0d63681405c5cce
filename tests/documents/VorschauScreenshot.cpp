// Writes a PNG of a report preview when VELU_SCREENSHOT names the file (scripts/screenshot vorschau).
#include "TestApp.h"
#include "documents/CRModul.h"
#include "platform/report/ReportFixture.h"
#include "platform/report/VorschauFenster.h"

#include <QDir>
#include <QFileInfo>

using namespace velu;

TEST(VorschauScreenshot, WritesPng) {
    const QString datei = qEnvironmentVariable("VELU_SCREENSHOT");
    if (datei.isEmpty()) GTEST_SKIP() << "VELU_SCREENSHOT not set";
    testApp();
    ReportFixture f;
    const char* texte[] = {"1. Abschlag Vorplanung", "2. Abschlag Entwurfsplanung", "3. Abschlag Genehmigung",
                           "4. Abschlag Ausführungsplanung"};
    for (int i = 1; i <= 4; ++i) {
        velu::db::Params p;
        p.Add(int64_t(i)).Add("AZ 2024-" + std::to_string(i)).Add(std::string(texte[i - 1]));
        p.Add(int64_t(i) * 123456789)
            .Add(int64_t(i) * 19711700)
            .Add("2024-0" + std::to_string(2 * i) + "-15");
        f.db->Execute(
            "INSERT INTO BeReList (LfNr, ReNummer, ReBezeichnung, Endbetrag, Mwstenthalten, Redatum, "
            "REType, Ursprung) VALUES (?, ?, ?, ?, ?, ?, 'R', 1)",
            p);
    }
    CRModul m{report::Umfeld{}};
    QString pfad = QString::fromUtf8(qgetenv("VELU_BINARY_DIR")) + "/data/reports/HOAI/VELUNTA4030.rpt";
    ASSERT_EQ(m.CROpenReport(pfad), 0);
    m.CRSetDatum("24.12.2024");
    ASSERT_EQ(m.CRSetFormula({{"Vorhaben1", "'Neubau Kindertagesstätte'"},
                              {"Vorhaben2", "'Am Stadtpark 4'"},
                              {"Bauherr1", "'Stadt Neustadt'"},
                              {"Bauherr2", "'Hochbauamt'"},
                              {"Projektbezeichnung", "'Kita Stadtpark'"},
                              {"Projektnummer", "'00000007'"},
                              {"ReNummer", "'AZ 2024-4'"}}),
              0);
    ASSERT_EQ(m.CRSetTableLocations({{"BeReList", f.projekt}}), 0);
    ASSERT_EQ(m.CRPreview("Abschlagsrechnungen", 0, 0, 0), 0);
    report::VorschauFenster* v = m.Vorschau();
    ASSERT_TRUE(v);
    QApplication::processEvents();
    QDir().mkpath(QFileInfo(datei).absolutePath());
    ASSERT_TRUE(v->grab().save(datei));
    EXPECT_GT(QFileInfo(datei).size(), 1000);
    m.CRRelease();
}
