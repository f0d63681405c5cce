#include "platform/richtext/VeluDoc.h"
#include "TestApp.h"

#include <QTextDocument>
#include <gtest/gtest.h>

using namespace velu::richtext;

namespace {

QString Doc(const QString& body) {
    return "<velu-doc version=\"1\">" + body + "</velu-doc>";
}

} // namespace

TEST(VeluDoc, CanonicalTextsComeBackUnchanged) {
    testApp();
    const QString cases[] = {
        Doc(""),
        Doc("<p>Text mit &amp; und &lt;Klammern&gt;</p><p></p><p>zweiter</p>"),
        Doc("<p align=\"right\">rechts</p><p align=\"center\">Mitte</p><p align=\"justify\">Block</p>"),
        Doc("<p tabs=\"45 120.5c 165r\">a<tab/>b<tab/>c<tab/>d</p>"),
        Doc("<p>Zeile 1<br/>Zeile 2</p>"),
        Doc("<p><font face=\"DejaVu Serif\" size=\"14\" "
            "color=\"#336699\"><b><i><u>alles</u></i></b></font></p>"),
        Doc("<p><b>Endbetrag: <field n=\"3315\"> </field></b> danach</p>"),
        Doc("<p>leer:<field n=\"7\"></field>.</p>"),
        Doc("<p><font size=\"8\">Seite <field n=\"91\">1</field> von <field n=\"92\">2</field></font></p>"),
        Doc("<p>vorher</p><pagebreak/><p>nachher</p>"),
        Doc("<table widths=\"25,48\" border=\"0.5\"><tr><td><p><b>Nr.</b></p></td><td><p align=\"right\">"
            "<field n=\"3055\"> </field></p></td></tr><tr><td><p>a</p><p>b</p></td><td><p></p></td></tr>"
            "</table><p>nach der Tabelle</p>"),
        Doc("<p>vor der Tabelle</p><table widths=\"30\"><tr><td><p>x</p></td></tr></table>"),
        Doc("<table><tr><td><p>1</p></td></tr></table><table><tr><td><p>2</p></td></tr></table>"),
        Doc("<pagebreak/><table><tr><td><p>neue Seite</p></td></tr></table><p></p>"),
    };
    for (const QString& xml : cases) {
        QTextDocument doc;
        QString error;
        ASSERT_TRUE(PasteVeluDoc(doc, xml, &error)) << xml.toStdString() << ": " << error.toStdString();
        EXPECT_EQ(WriteVeluDoc(doc).toStdString(), xml.toStdString());
    }
}

TEST(VeluDoc, UnreadableTextsChangeNothing) {
    testApp();
    const QString cases[] = {
        "Kein XML",
        "<html><p>x</p></html>",
        Doc("<p>offen"),
        Doc("<p><blink>x</blink></p>"),
        Doc("<p><field n=\"x\">a</field></p>"),
        Doc("<p><field n=\"0\">a</field></p>"),
        Doc("<p><field n=\"5\"><field n=\"6\">a</field></field></p>"),
        Doc("<p align=\"oben\">x</p>"),
        Doc("<p tabs=\"-5\">x</p>"),
        Doc("<p><font size=\"0\">x</font></p>"),
        Doc("<p><font color=\"keine\">x</font></p>"),
        Doc("<table><tr><td><p>1</p></td><td><p>2</p></td></tr><tr><td><p>3</p></td></tr></table>"),
        Doc("<table widths=\"10,20,30\"><tr><td><p>1</p></td></tr></table>"),
        Doc("<table></table>"),
        Doc("<table><tr><p>1</p></tr></table>"),
    };
    for (const QString& xml : cases) {
        QTextDocument doc;
        ASSERT_TRUE(PasteVeluDoc(doc, Doc("<p>bleibt</p>")));
        QString error;
        EXPECT_FALSE(PasteVeluDoc(doc, xml, &error)) << xml.toStdString();
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(WriteVeluDoc(doc), Doc("<p>bleibt</p>")) << xml.toStdString();
    }
}

TEST(VeluDoc, LineEndsInsideAParagraphAreBlanks) {
    testApp();
    QTextDocument doc;
    ASSERT_TRUE(PasteVeluDoc(doc, "<velu-doc version=\"1\">\r\n  <p>eins\r\nzwei\ndrei</p>\n"
                                  "  <p><field n=\"3\">a\nb</field></p>\n</velu-doc>\n"));
    EXPECT_EQ(doc.blockCount(), 2);
    EXPECT_EQ(WriteVeluDoc(doc), Doc("<p>eins zwei drei</p><p><field n=\"3\">a b</field></p>"));
}

TEST(VeluDoc, PastingAppendsToWhatIsThere) {
    testApp();
    struct Case {
        QString first, second, result;
    } cases[] = {
        {Doc("<p>a</p>"), Doc("<p>b</p>"), Doc("<p>a</p><p>b</p>")},
        {Doc("<table><tr><td><p>t</p></td></tr></table>"), Doc("<p>b</p>"),
         Doc("<table><tr><td><p>t</p></td></tr></table><p>b</p>")},
        {Doc(""), Doc("<p align=\"right\">r</p>"), Doc("<p align=\"right\">r</p>")},
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        ASSERT_TRUE(PasteVeluDoc(doc, c.first));
        ASSERT_TRUE(PasteVeluDoc(doc, c.second));
        EXPECT_EQ(WriteVeluDoc(doc), c.result);
    }
}
