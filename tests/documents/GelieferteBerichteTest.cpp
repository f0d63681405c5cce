// The delivered templates, as the build puts them into the program's data folder: each opens, and the list
// of payments on account prints the rows its selection picks, into a PDF.
#include "TestApp.h"
#include "documents/CRModul.h"
#include "platform/report/ReportFixture.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

using namespace velu;

namespace {
QString ReportOrdner() {
    return QString::fromUtf8(qgetenv("VELU_BINARY_DIR")) + "/data/reports/HOAI";
}
} // namespace

TEST(GelieferteBerichteTest, EveryTemplateOpens) {
    const QStringList dateien = QDir(ReportOrdner()).entryList({"*.rpt"}, QDir::Files);
    ASSERT_FALSE(dateien.isEmpty()) << ReportOrdner().toStdString();
    for (const QString& d : dateien) {
        CRModul m{report::Umfeld{}};
        QString pfad = ReportOrdner() + "/" + d;
        EXPECT_EQ(m.CROpenReport(pfad), 0) << d.toStdString() << ": " << m.Fehlertext().toStdString();
    }
}

TEST(GelieferteBerichtePdfTest, PaymentsOnAccountPrintTheSelectedRows) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    testApp();
    ReportFixture f;
    f.Rechnung(1, "R", 40, 12345600, "AZ 1");
    f.Rechnung(2, "A", 40, 99990000, "Angebot");
    f.Rechnung(3, "R", 40, 100050, "AZ 2");
    f.Rechnung(4, "R", 41, 77770000, "andere Gruppe");
    f.Rechnung(5, "R", 40, 55550000, "später");

    CRModul m{report::Umfeld{}};
    QString pfad = ReportOrdner() + "\\velunta4030.RPT";
    ASSERT_EQ(m.CROpenReport(pfad), 0);
    m.CRSetDatum("24.12.2024");
    m.CRSetSelection(
        "{BeReList.LfNr}<= 3 and not ({BeReList.REType} in ['A', 'V']) and {BeReList.Ursprung} = 40");
    ASSERT_EQ(m.CRSetFormula({{"Vorhaben1", "'Schule Nord'"},
                              {"Vorhaben2", "''"},
                              {"Vorhaben3", "''"},
                              {"Bauherr1", "'Stadt'"},
                              {"Bauherr2", "''"},
                              {"Bauherr3", "''"},
                              {"Projektbezeichnung", "'Müller''s Haus'"},
                              {"Projektnummer", "'00000007'"}}),
              0);
    ASSERT_EQ(m.CRSetTableLocations({{"BeReList", f.projekt}}), 0);
    m.CRSetFormula({{"ReNummer", "'AZ 2'"}});
    const QString pdf = QString::fromStdString((f.dir / "az.pdf").string());
    m.SetDruckDatei(pdf);
    int kopien = 1;
    ASSERT_EQ(m.CRPrintOut(0, 0, kopien), 0) << m.Fehlertext().toStdString();

    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    for (const char* soll : {"Abschlagsrechnungen", "zur Rechnung AZ 2", "Müller's Haus", "Schule Nord",
                             "AZ 1", "1.234,56", "10,01", "1.244,57", "24.12.2024", "Seite 1 von 1"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(soll))) << soll << "\n" << text.toStdString();
    for (const char* nicht : {"Angebot", "andere Gruppe", "später", "5.555,00"})
        EXPECT_FALSE(text.contains(QString::fromUtf8(nicht))) << nicht;
}
