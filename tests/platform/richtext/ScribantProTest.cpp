#include "platform/richtext/ScribantPro.h"
#include "TestApp.h"
#include "TestDir.h"
#include "platform/richtext/Cp1252.h"
#include "platform/richtext/VeluDoc.h"

#include <QFile>
#include <QTextDocument>
#include <QTextTable>
#include <gtest/gtest.h>

using namespace velu::richtext;

namespace {

QString Doc(const QString& body) {
    return "<velu-doc version=\"1\">" + body + "</velu-doc>";
}

void Paste(ScribantPro& c, int context, const QString& body) {
    c.SetContext(context);
    ASSERT_TRUE(c.PasteData(Doc(body), VeluDocFormat, int(Doc(body).size())));
    c.SetContext(ScribantPro::Body);
}

QString Written(const ScribantPro& c, int context) {
    return WriteVeluDoc(*c.Document(context));
}

} // namespace

TEST(ScribantPro, FieldsAreSetEverywhereAndStayFields) {
    testApp();
    ScribantPro c;
    Paste(c, ScribantPro::Header, "<p>Projekt <b><field n=\"100\"> </field></b></p>");
    Paste(c, ScribantPro::Body,
          "<p>Name: <field n=\"100\"> </field>, <field n=\"3034\"> </field></p><p><field n=\"3000\"> "
          "</field></p>");

    // One set reaches header and body; each run keeps its own format.
    EXPECT_TRUE(c.SetFieldText(100, "Neubau Schule"));
    EXPECT_EQ(Written(c, ScribantPro::Header),
              Doc("<p>Projekt <b><field n=\"100\">Neubau Schule</field></b></p>"));
    EXPECT_TRUE(Written(c, ScribantPro::Body).contains("Name: <field n=\"100\">Neubau Schule</field>"));

    // A nine-line value stays one field and is replaced as a whole.
    QStringList zeilen;
    for (int i = 1; i <= 9; ++i)
        zeilen << (i == 4 ? QString() : QStringLiteral("%1.000,00 €").arg(i));
    EXPECT_TRUE(c.SetFieldText(3034, zeilen.join("\r\n")));
    EXPECT_EQ(c.FieldText(3034), zeilen.join(QChar::LineSeparator));
    EXPECT_EQ(c.Document(ScribantPro::Body)->firstBlock().next().text(), " ");
    EXPECT_TRUE(c.SetFieldText(3034, "kurz"));
    EXPECT_EQ(c.FieldText(3034), "kurz");

    // An empty value keeps the field alive.
    EXPECT_TRUE(c.SetFieldText(100, ""));
    EXPECT_EQ(c.FieldText(100), "");
    EXPECT_TRUE(c.SetFieldText(100, "wieder da"));
    EXPECT_EQ(c.FieldText(100), "wieder da");

    // An unknown number changes nothing.
    const QString vorher = Written(c, ScribantPro::Body) + Written(c, ScribantPro::Header);
    EXPECT_FALSE(c.SetFieldText(4711, "x"));
    EXPECT_EQ(Written(c, ScribantPro::Body) + Written(c, ScribantPro::Header), vorher);
}

TEST(ScribantPro, SearchAndInsertAtTheStatementField) {
    testApp();
    TestDir dir;
    const QString html = QString::fromStdString((dir / "statement.html").string());
    QFile f(html);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><body><table border=\"1\"><tr><td>Leistungsphase 1</td><td align=\"right\">1.234,00 "
            "\xe2\x82\xac</td></tr></table></body></html>");
    f.close();

    struct Case {
        QString body;
        int found;
    } cases[] = {
        {"<p>ohne Honorarnachweis <field n=\"3001\"> </field></p>", 0},
        {"<p>Nachweis:</p><p><field n=\"3000\"> </field></p><p>Ende</p>", 3000},
    };
    for (const auto& k : cases) {
        ScribantPro c;
        Paste(c, ScribantPro::Body, k.body);
        EXPECT_EQ(c.FindField(1, true, {1, 3000}), k.found) << k.body.toStdString();
        EXPECT_EQ(c.GoToFoundField(0), k.found != 0);
        if (!k.found) continue;
        ASSERT_TRUE(c.InsertFile(html, 3));
        const QString out = Written(c, ScribantPro::Body);
        const int table = out.indexOf("<table");
        const int field = out.indexOf("<field n=\"3000\">");
        ASSERT_GE(table, 0) << out.toStdString();
        EXPECT_LT(table, field) << out.toStdString();
        EXPECT_TRUE(out.contains("Leistungsphase 1"));
        EXPECT_TRUE(c.SetFieldText(3000, " "));
        EXPECT_EQ(c.FindField(1, true, {1, 3000}), 3000);
    }
    ScribantPro c;
    EXPECT_FALSE(c.InsertFile(QString::fromStdString((dir / "fehlt.html").string()), 3));
}

TEST(ScribantPro, PasteClearAndText) {
    testApp();
    ScribantPro c;
    EXPECT_EQ(c.Text(), "");
    EXPECT_FALSE(c.SelectAll(false));
    // Any format but velu-doc is plain text; length cuts the text.
    EXPECT_TRUE(c.PasteData("Zeile 1\r\nZeile 2<b>", "rtf", 16));
    EXPECT_EQ(c.Text(), "Zeile 1\nZeile 2");
    EXPECT_FALSE(c.PasteData(Doc("<p>kaputt"), VeluDocFormat, 100));
    EXPECT_FALSE(c.LastError().isEmpty());
    EXPECT_EQ(c.Text(), "Zeile 1\nZeile 2");
    EXPECT_TRUE(c.SelectAll(false));
    c.Clear();
    EXPECT_EQ(c.Text(), "");
    c.SetContext(7);
    EXPECT_EQ(c.GetContext(), ScribantPro::Body);
}

TEST(ScribantPro, MarginsFontAndTabs) {
    testApp();
    struct Case {
        double in, out;
    } cases[] = {
        {20, 20}, {0, 0}, {100, 100}, {100.5, ScribantPro::DefaultTop}, {-1, ScribantPro::DefaultTop}};
    for (const auto& k : cases) {
        ScribantPro c;
        c.SetTopMargin(k.in);
        EXPECT_DOUBLE_EQ(c.TopMargin(), k.out) << k.in;
    }
    ScribantPro c;
    c.SetSBFont(120, 0x0000FF, 700, 1, "DejaVu Serif", 240);
    const QFont f = c.Document(ScribantPro::Footer)->defaultFont();
    EXPECT_DOUBLE_EQ(f.pointSizeF(), 12.0);
    EXPECT_EQ(f.weight(), QFont::Bold);
    EXPECT_TRUE(f.italic());
    EXPECT_EQ(f.families().value(0), "DejaVu Serif");
    EXPECT_EQ(c.TextColor(), QColor(255, 0, 0));
    // Only the size: the rest stays.
    c.SetSBFont(80, 0, 400, 0, "DejaVu Sans", 0x10);
    EXPECT_DOUBLE_EQ(c.Document(ScribantPro::Body)->defaultFont().pointSizeF(), 8.0);
    EXPECT_EQ(c.Document(ScribantPro::Body)->defaultFont().families().value(0), "DejaVu Serif");
    c.SetTabWidth(125);
    EXPECT_NEAR(PxToMm(c.Document(ScribantPro::Header)->defaultTextOption().tabStopDistance()), 12.5, 1e-9);
}

TEST(ScribantPro, WidensWindows1252) {
    const struct {
        QString bytes, wide;
    } cases[] = {
        {QString::fromLatin1("\x80 \x93x\x94 \xfc\xdf"), QString::fromUtf8("€ “x” üß")},
        {QString::fromLatin1("\x81\x8d\x8f\x90\x9d"), QString::fromLatin1("\x81\x8d\x8f\x90\x9d")},
        {"plain", "plain"},
    };
    for (const auto& k : cases)
        EXPECT_EQ(WidenCp1252(k.bytes), k.wide);
}
