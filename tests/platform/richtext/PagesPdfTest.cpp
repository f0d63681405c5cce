#include "TestApp.h"
#include "TestDir.h"
#include "platform/richtext/PdfTestText.h"
#include "platform/richtext/ScribantPro.h"
#include "platform/richtext/VeluDoc.h"

#include <QImage>
#include <array>
#include <QPrinter>
#include <gtest/gtest.h>

using namespace velu::richtext;

namespace {

QString Doc(const QString& body) {
    return "<velu-doc version=\"1\">" + body + "</velu-doc>";
}

// A body of three pages: two forced breaks, plus a header and a footer with the page number.
void DreiSeiten(ScribantPro& c) {
    c.SetContext(ScribantPro::Header);
    c.PasteData(Doc("<p>Projekt <field n=\"100\"> </field></p>"), VeluDocFormat, -1);
    c.SetContext(ScribantPro::Footer);
    c.PasteData(Doc("<p align=\"center\">Seite <field n=\"91\"> </field></p>"), VeluDocFormat, -1);
    c.SetContext(ScribantPro::Body);
    c.PasteData(Doc("<p>Erste Seite</p><pagebreak/><p>Zweite Seite</p><pagebreak/><p>Dritte Seite</p>"),
                VeluDocFormat, -1);
}

} // namespace

TEST(PagesPdf, PageEventNumbersEveryPageAndStartsAgain) {
    testApp();
    if (!PdfTextAvailable()) GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    TestDir dir;
    ScribantPro c;
    DreiSeiten(c);
    ASSERT_TRUE(c.SetFieldText(100, "Neubau Schule"));
    int zaehler = 0;
    QList<int> ereignisse;
    QObject::connect(&c, &ScribantPro::NewPage, [&](int page) {
        ereignisse << page;
        ++zaehler;
        c.SetFieldText(91, QString::number(zaehler));
    });
    for (int lauf = 1; lauf <= 2; ++lauf) {
        zaehler = 0;
        ereignisse.clear();
        const QString pdf = QString::fromStdString((dir / ("lauf" + std::to_string(lauf) + ".pdf")).string());
        ASSERT_TRUE(c.SavePdf(pdf));
        EXPECT_EQ(ereignisse, (QList<int>{1, 2, 3}));
        EXPECT_EQ(PdfPageCount(pdf), 3);
        const char* texte[] = {"Erste Seite", "Zweite Seite", "Dritte Seite"};
        for (int n = 1; n <= 3; ++n) {
            const QString seite = PdfText(pdf, n);
            EXPECT_TRUE(seite.contains(QStringLiteral("Seite %1").arg(n)))
                << lauf << ": " << seite.toStdString();
            EXPECT_TRUE(seite.contains(texte[n - 1])) << seite.toStdString();
            EXPECT_TRUE(seite.contains("Projekt Neubau Schule")) << seite.toStdString();
            for (int other = 1; other <= 3; ++other) {
                if (other == n) continue;
                EXPECT_FALSE(seite.contains(texte[other - 1])) << n << ": " << seite.toStdString();
            }
        }
    }
}

TEST(PagesPdf, PrinterAndPageViewShareTheRenderer) {
    testApp();
    if (!PdfTextAvailable()) GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    TestDir dir;
    ScribantPro c;
    // A body long enough to flow over onto a second page by itself.
    QString lang;
    for (int i = 1; i <= 90; ++i)
        lang += QStringLiteral("<p>Zeile %1</p>").arg(i);
    c.PasteData(Doc(lang), VeluDocFormat, -1);
    c.SetContext(ScribantPro::Footer);
    c.PasteData(Doc("<p>Seite <field n=\"91\"> </field></p>"), VeluDocFormat, -1);
    int seite = 0;
    QObject::connect(&c, &ScribantPro::NewPage, [&](int page) {
        int pos = 0, n = 0;
        c.PagePosition(pos, n);
        EXPECT_EQ(pos + 1, page);
        seite = page;
        c.SetFieldText(91, QString::number(page));
    });
    EXPECT_EQ(c.Repaginate(), 2);

    const QString pdf = QString::fromStdString((dir / "drucker.pdf").string());
    c.Printer().setOutputFormat(QPrinter::PdfFormat);
    c.Printer().setOutputFileName(pdf);
    ASSERT_TRUE(c.PrintDocument());
    EXPECT_EQ(seite, 2);
    EXPECT_EQ(PdfPageCount(pdf), 2);
    EXPECT_TRUE(PdfText(pdf, 1).contains("Zeile 1\n"));
    EXPECT_TRUE(PdfText(pdf, 2).contains("Zeile 90"));
    EXPECT_TRUE(PdfText(pdf, 2).contains("Seite 2"));
    EXPECT_FALSE(PdfText(pdf, 1).contains("Zeile 90"));

    // A file that cannot be written is a failure, not an empty success.
    EXPECT_FALSE(c.SavePdf(QString::fromStdString((dir / "fehlt" / "x.pdf").string())));

    const QList<QImage> bilder = c.RenderPages(0.5);
    ASSERT_EQ(bilder.size(), 2);
    EXPECT_NEAR(bilder[0].width() / double(bilder[0].height()), 210.0 / 297.0, 0.01);
}

namespace {

// The page (from 1) whose text holds text, 0 when none does.
int SeiteVon(const QString& pdf, const QString& text) {
    const QStringList seiten = PdfText(pdf).split(QChar('\f'));
    for (int i = 0; i < seiten.size(); ++i)
        if (seiten[i].contains(text)) return i + 1;
    return 0;
}

} // namespace

// Wherever the page ends, the greeting and the signature share the page of the text's last paragraph; with a
// page break of the document's own before the greeting, the pages stay as that break makes them.
TEST(PagesPdf, TheClosingStaysWithTheLastParagraph) {
    testApp();
    if (!PdfTextAvailable()) GTEST_SKIP() << "pdftotext fehlt (poppler-utils)";
    TestDir dir;
    const QString schluss = "<p>Wir freuen uns auf Ihren Auftrag.</p><p></p><p>Mit freundlichen Grüßen</p>"
                            "<p></p><p></p><p>Ingenieurbüro Muster</p>";
    const QString pdf = QString::fromStdString((dir / "schluss.pdf").string());
    auto seiten = [&] {
        return std::array<int, 3>{SeiteVon(pdf, "Wir freuen uns"), SeiteVon(pdf, "Mit freundlichen"),
                                  SeiteVon(pdf, "Ingenieurbüro Muster")};
    };
    bool grussVorn = false; // some length put the greeting at the top of a page without the keeping
    for (int zeilen = 52; zeilen <= 62; ++zeilen) {
        SCOPED_TRACE(zeilen);
        QString text;
        for (int i = 1; i <= zeilen; ++i)
            text += QStringLiteral("<p>Zeile %1</p>").arg(i);
        for (bool eigenerUmbruch : {false, true}) {
            SCOPED_TRACE(eigenerUmbruch ? "eigener Umbruch" : "");
            ScribantPro c;
            c.SetContext(ScribantPro::Body);
            const QString s = eigenerUmbruch ? QString(schluss).replace("<p>Mit", "<pagebreak/><p>Mit") : schluss;
            c.PasteData(Doc(text + s), VeluDocFormat, -1);
            ASSERT_TRUE(c.SavePdf(pdf));
            const auto ohne = seiten();
            if (!eigenerUmbruch) grussVorn |= ohne[1] > ohne[0];
            ASSERT_TRUE(c.KeepClosingTogether());
            ASSERT_TRUE(c.SavePdf(pdf));
            const auto mit = seiten();
            ASSERT_GT(mit[0], 0);
            if (eigenerUmbruch) {
                EXPECT_EQ(mit, ohne);
            } else {
                EXPECT_EQ(mit[1], mit[0]);
                EXPECT_EQ(mit[2], mit[0]);
            }
        }
    }
    EXPECT_TRUE(grussVorn) << "no length put the page end into the closing";
}
