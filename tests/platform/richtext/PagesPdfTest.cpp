#include "TestApp.h"
#include "TestDir.h"
#include "platform/richtext/PdfTestText.h"
#include "platform/richtext/ScribantPro.h"
#include "platform/richtext/VeluDoc.h"

#include <QImage>
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
