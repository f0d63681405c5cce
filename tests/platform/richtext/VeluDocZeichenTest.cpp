// Characters that XML has no place for: a document holding them is written so that it reads back, with a
// blank in their place, and texts that earlier writers stored with them raw read again.
#include "TestApp.h"
#include "platform/richtext/ScribantPro.h"
#include "platform/richtext/VeluDoc.h"

#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace velu::richtext;

namespace {

QString Doc(const QString& body) {
    return "<velu-doc version=\"1\">" + body + "</velu-doc>";
}

// What XML 1.0 (production Char) admits, apart from CR and LF, which a paragraph of the document cannot hold.
bool XmlZeichen(char32_t c) {
    return c == 0x9 || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) || c >= 0x10000;
}

// The document's text after the writer's documented replacement: a blank for every character XML refuses.
QString Erwartet(const QTextDocument& doc) {
    const QString roh = doc.toRawText();
    QString out;
    for (qsizetype i = 0; i < roh.size(); ++i) {
        const QChar c = roh[i];
        if (c == QChar::ParagraphSeparator) {
            out += c; // the block ends themselves
        } else if (c.isHighSurrogate() && i + 1 < roh.size() && roh[i + 1].isLowSurrogate()) {
            out.append(c).append(roh[i + 1]);
            ++i;
        } else {
            out += (!c.isSurrogate() && XmlZeichen(c.unicode())) ? c : QChar(' ');
        }
    }
    return out;
}

// Written, stored as UTF-8 (as the template file keeps it) and read into a new document.
QString Zurueck(const QTextDocument& doc, QString* error) {
    QTextDocument neu;
    if (!PasteVeluDoc(neu, QString::fromUtf8(WriteVeluDoc(doc).toUtf8()), error)) return QStringLiteral("#");
    return neu.toRawText();
}

} // namespace

TEST(VeluDocZeichen, EveryCodePointReadsBackAfterTheWriter) {
    testApp();
    // Every code point, 2048 to a paragraph; lone surrogate halves come after.
    std::vector<char32_t> alle;
    for (char32_t c = 0; c <= 0x10FFFF; ++c)
        if (c < 0xD800 || c > 0xDFFF) alle.push_back(c);
    for (size_t von = 0; von < alle.size(); von += 2048) {
        const size_t bis = std::min(alle.size(), von + 2048);
        QTextDocument doc;
        QTextCursor(&doc).insertText(QString::fromUcs4(alle.data() + von, qsizetype(bis - von)) +
                                     QChar(0xD800) + QChar(0xDC00) + "x" + QChar(0xDFFF) + QChar(0xDBFF));
        QString error;
        const QString zurueck = Zurueck(doc, &error);
        ASSERT_TRUE(error.isEmpty()) << "from U+" << std::hex << uint32_t(alle[von]) << ": "
                                     << error.toStdString();
        ASSERT_EQ(zurueck, Erwartet(doc)) << "from U+" << std::hex << uint32_t(alle[von]);
    }
}

TEST(VeluDocZeichen, PastedControlCharactersSaveAndReadAsBlanks) {
    testApp();
    // As they come in: a form feed from a PDF, a word processor's vertical tab, and others the control shows.
    const std::pair<QString, const char*> faelle[] = {
        {QString("Seite 1\fSeite 2"), "form feed"},     {QString("Zeile\vZeile"), "vertical tab"},
        {QString("a") + QChar(0x01) + "b", "U+0001"},   {QString("a") + QChar(0x1F) + "b", "U+001F"},
        {QString("a") + QChar(0) + "b", "NUL"},         {QString("a") + QChar(0xFFFE) + "b", "U+FFFE"},
        {QString("a") + QChar(0xFFFF) + "b", "U+FFFF"},
    };
    for (const auto& [text, name] : faelle) {
        // In the body, in a field value and in a font name.
        ScribantPro c;
        c.SetContext(ScribantPro::Body);
        ASSERT_TRUE(c.PasteData(Doc("<p><font face=\"Sans\">vor <field n=\"7\"> </field></font></p>"),
                                VeluDocFormat, -1));
        QTextCursor(c.Document(ScribantPro::Body)).insertText(text, QTextCharFormat());
        c.SetFieldText(7, text);
        QTextCharFormat f;
        f.setFontFamilies({"Sans" + text});
        QTextCursor(c.Document(ScribantPro::Body)).insertText("F", f);
        const QString xml = WriteVeluDoc(*c.Document(ScribantPro::Body));
        QTextDocument doc;
        QString error;
        ASSERT_TRUE(PasteVeluDoc(doc, xml, &error)) << name << ": " << error.toStdString();
        QString blank = text;
        for (QChar& ch : blank)
            if (ch != 'a' && ch != 'b' && !ch.isLetterOrNumber() && ch != ' ') ch = ' ';
        EXPECT_EQ(doc.toRawText(), "F" + blank + "vor " + blank) << name;
        ScribantPro kopie;
        c.CopyTo(kopie);
        EXPECT_EQ(kopie.FieldText(7), blank)
            << name << ": a copy (as for every serial letter) keeps the field";
    }
}

TEST(VeluDocZeichen, TextsStoredWithRawControlCharactersReadAgain) {
    testApp();
    const std::pair<QString, QString> faelle[] = {
        {Doc(QString("<p>Seite 1\fSeite 2</p>")), "Seite 1 Seite 2"},
        {Doc(QString("<p>a\vb<field n=\"3\">") + QChar(0) + "</field></p>"), "a b "},
        {Doc(QString("<p>a") + QChar(0xFFFE) + QChar(0xDC00) + "b</p>"), "a  b"},
        {Doc(QString("<p><font face=\"A\x01\">x</font></p>")), "x"},
    };
    for (const auto& [xml, text] : faelle) {
        QTextDocument doc;
        QString error;
        ASSERT_TRUE(PasteVeluDoc(doc, xml, &error)) << text.toStdString() << ": " << error.toStdString();
        EXPECT_EQ(doc.toRawText(), text);
    }
}

TEST(VeluDocZeichen, TheEmptyFieldMarkIsDroppedOnlyInAField) {
    testApp();
    QTextDocument doc;
    ASSERT_TRUE(PasteVeluDoc(doc, Doc("<p>a<field n=\"5\"></field>b</p>")));
    QTextCursor(&doc).insertText(QString("z") + QChar(EmptyFieldMark) + "w", QTextCharFormat());
    EXPECT_EQ(WriteVeluDoc(doc), Doc("<p>z\u200Bwa<field n=\"5\"></field>b</p>"));
}
