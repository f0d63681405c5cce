// Output of a laid-out report: PDF text as pdftotext reads it, and the HTML export that a document takes in.
#include "FileDialogProbe.h"
#include "ReportFixture.h"
#include "TestApp.h"
#include "platform/forms/MessageBox.h"
#include "platform/report/Ausgabe.h"
#include "platform/report/Druck.h"
#include "platform/report/VorschauFenster.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTextDocument>
#include <QTimer>

using namespace velu::report;

namespace {

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    if (!p.waitForFinished(30000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// 60 rows of 1.234,56: three pages.
struct DreiSeiten : ReportFixture {
    std::unique_ptr<Report> r;
    DreiSeiten() {
        for (int i = 1; i <= 60; ++i)
            Rechnung(i, "R", 1, 12345600);
        r = Oeffne(Vorlage("liste.rpt", ListenVorlage({}, 10)));
    }
};

} // namespace

TEST(ReportPdfTest, ThreePagesWithGermanAmounts) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    testApp();
    DreiSeiten f;
    ASSERT_TRUE(f.r);
    DisplayList dl;
    ASSERT_EQ(f.r->Erzeuge(Umfeld{}, dl), 0);
    ASSERT_EQ(dl.seiten.size(), 3u);
    const QString pdf = QString::fromStdString((f.dir / "liste.pdf").string());
    ASSERT_EQ(SchreibePdf(dl, pdf, "Liste"), 0);
    const QString text = PdfText(pdf);
    const QStringList seiten = text.split(QChar('\f'), Qt::SkipEmptyParts);
    ASSERT_GE(seiten.size(), 3) << text.toStdString();
    for (int s = 0; s < 3; ++s) {
        EXPECT_TRUE(seiten[s].contains(QString("Seite %1 von 3").arg(s + 1))) << seiten[s].toStdString();
        EXPECT_TRUE(seiten[s].contains("1.234,56")) << s;
    }
    EXPECT_TRUE(seiten[2].contains("74.073,60"));
    EXPECT_EQ(text.count("1.234,56"), 60);

    // A print job into a file in place of the printer: every copy, no dialog.
    DruckAuftrag a;
    a.kopien = 2;
    a.pdfDatei = QString::fromStdString((f.dir / "druck.pdf").string());
    ASSERT_EQ(Drucke(dl, a), 0);
    EXPECT_EQ(PdfText(a.pdfDatei).count("Seite 1 von 3"), 2);

    EXPECT_NE(SchreibePdf(dl, QString::fromStdString((f.dir / "fehlt" / "x.pdf").string())), 0);
}

TEST(ReportHtmlTest, ExportHoldsTheSameTextsWithoutPageBands) {
    testApp();
    DreiSeiten f;
    ASSERT_TRUE(f.r);
    QString html;
    ASSERT_EQ(f.r->ErzeugeHtml(Umfeld{}, html), 0);
    QTextDocument doc;
    doc.setHtml(html);
    const QString text = doc.toPlainText();
    EXPECT_EQ(text.count("1.234,56"), 60);
    EXPECT_TRUE(text.contains("74.073,60"));
    EXPECT_TRUE(text.contains("Summe"));
    EXPECT_FALSE(text.contains("Seite")) << "no page bands in a continuous export";
    EXPECT_FALSE(text.contains("Liste"));
    EXPECT_TRUE(html.contains("<table"));

    // Every text of the pages' body is in the export, in order.
    DisplayList dl;
    ASSERT_EQ(f.r->Erzeuge(Umfeld{}, dl), 0);
    int ab = 0;
    for (const QStringList& seite : Texte(dl))
        for (const QString& t : seite) {
            if (t == "Liste" || t.startsWith("Seite")) continue;
            const int i = text.indexOf(t, ab);
            ASSERT_GE(i, 0) << t.toStdString();
            ab = i;
        }

    // Markup in data is text, not markup.
    f.Rechnung(99, "<", 1);
    ASSERT_EQ(f.r->ErzeugeHtml(Umfeld{}, html), 0);
    EXPECT_TRUE(html.contains("&lt;"));
}

TEST(ReportVorschauTest, SavingAsPdfProposesTheTitleRemembersTheFolderAndSaysWhereItWent) {
    testApp();
    // The remembered folder goes into a settings file of this test's own.
    TestDir einstellungen, ordner;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(einstellungen.Path().string()));
    // First: not the folder the program was started from, but the documents folder (or home).
    const QString dokumente = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString erwartet = !dokumente.isEmpty() && QDir(dokumente).exists() ? dokumente : QDir::homePath();
    ASSERT_NE(QDir(erwartet).absolutePath(), QDir::current().absolutePath());
    DreiSeiten f;
    ASSERT_TRUE(f.r);
    DisplayList dl;
    ASSERT_EQ(f.r->Erzeuge(Umfeld{}, dl), 0);
    velu::report::VorschauFenster v(dl, "Honorarübersicht 2026/12");
    const QString gesehen = ProbeFileDialog([&] { EXPECT_FALSE(v.AlsPdf()); }).selectedFile;
    EXPECT_EQ(QFileInfo(gesehen).absolutePath(), QDir(erwartet).absolutePath());
    EXPECT_EQ(QFileInfo(gesehen).fileName(), "Honorarübersicht 2026-12.pdf");

    // Saved: the user is told where, and the next save starts in that folder.
    const QString pdf = QDir(QString::fromStdString(ordner.Path().string())).filePath("Liste.pdf");
    velu::forms::MessageBoxScript boxen;
    ProbeFileDialog([&] { EXPECT_TRUE(v.AlsPdf()); }, pdf);
    EXPECT_TRUE(QFileInfo(pdf).size() > 0);
    ASSERT_EQ(boxen.Shown().size(), 1u);
    EXPECT_EQ(boxen.Shown()[0].text,
              "Der Bericht wurde als PDF-Datei gespeichert:\n" + QDir::toNativeSeparators(pdf));
    const FileDialogStart naechste = ProbeFileDialog([&] { EXPECT_FALSE(v.AlsPdf()); });
    EXPECT_EQ(naechste.directory, QDir(QString::fromStdString(ordner.Path().string())).absolutePath());

    // A folder that is gone by now: the save fails aloud and nothing claims success.
    const QString weg = QDir(QString::fromStdString(ordner.Path().string())).filePath("fehlt/x.pdf");
    velu::forms::MessageBoxScript fehler;
    ProbeFileDialog([&] { EXPECT_FALSE(v.AlsPdf()); }, weg);
    ASSERT_EQ(fehler.Shown().size(), 1u);
    EXPECT_TRUE(fehler.Shown()[0].text.startsWith("Der Bericht konnte nicht gespeichert werden:"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}
