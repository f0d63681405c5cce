// Print templates with character formats nested far beyond any real template: refused like any unreadable
// text, before the reader's recursion can exhaust the stack.
#include "TestApp.h"
#include "platform/richtext/VeluDoc.h"

#include <QTextDocument>
#include <gtest/gtest.h>

using namespace velu::richtext;

namespace {

QString Verschachtelt(const QString& auf, const QString& zu, int n) {
    QString xml = "<velu-doc version=\"1\"><p>";
    for (int i = 0; i < n; ++i)
        xml += auf;
    xml += "tief";
    for (int i = 0; i < n; ++i)
        xml += zu;
    return xml + "</p></velu-doc>";
}

TEST(VeluDocTiefe, DeepInlineTagsAreRefusedShallowOnesRead) {
    testApp();
    const std::pair<QString, QString> tags[] = {
        {"<b>", "</b>"},        {"<i>", "</i>"}, {"<u>", "</u>"}, {"<font size=\"9\">", "</font>"},
        {"<b><i>", "</i></b>"},
    };
    for (const auto& [auf, zu] : tags) {
        SCOPED_TRACE(auf.toStdString());
        for (int n : {10000, 50000}) {
            QTextDocument doc;
            ASSERT_TRUE(PasteVeluDoc(doc, "<velu-doc version=\"1\"><p>bleibt</p></velu-doc>"));
            QString error;
            EXPECT_FALSE(PasteVeluDoc(doc, Verschachtelt(auf, zu, n), &error));
            EXPECT_TRUE(error.contains("verschachtelt")) << error.toStdString();
            EXPECT_EQ(doc.toPlainText(), "bleibt") << "the document stays as it was";
        }
        QTextDocument doc;
        QString error;
        EXPECT_TRUE(PasteVeluDoc(doc, Verschachtelt(auf, zu, 90), &error)) << error.toStdString();
        EXPECT_EQ(doc.toPlainText(), "tief");
    }
}

} // namespace
