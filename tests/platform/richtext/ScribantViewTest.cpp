#include "platform/richtext/ScribantView.h"
#include "FileDialogProbe.h"
#include "TestApp.h"
#include "TestDir.h"
#include "platform/forms/MessageBox.h"
#include "platform/richtext/VeluDoc.h"

#include <QDialog>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSettings>
#include <QLabel>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

using namespace velu::richtext;

namespace {

QString Doc(const QString& body) {
    return "<velu-doc version=\"1\">" + body + "</velu-doc>";
}

void Type(QWidget* w, const QString& text) {
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(w, &press);
    }
}

} // namespace

TEST(ScribantView, TypingAtAFieldsEndStaysOutsideIt) {
    testApp();
    struct Case {
        int position;
        QString expected;
    } cases[] = {
        {3, Doc("<p>a <field n=\"5\">XY</field>z</p>")},
        {2, Doc("<p>a <field n=\"5\">XzY</field></p>")},
        {1, Doc("<p>a z<field n=\"5\">XY</field></p>")},
    };
    for (const auto& k : cases) {
        ScribantView v;
        ASSERT_TRUE(v.Control().PasteData(Doc("<p>a <field n=\"5\">XY</field></p>"), VeluDocFormat, -1));
        v.ShowContext(ScribantPro::Body);
        QTextCursor c = v.Editor()->textCursor();
        c.setPosition(k.position + 1);
        v.Editor()->setTextCursor(c);
        Type(v.Editor(), "z");
        EXPECT_EQ(WriteVeluDoc(*v.Control().Document(ScribantPro::Body)), k.expected) << k.position;
    }
}

TEST(ScribantView, PageViewShowsOnePicturePerPage) {
    testApp();
    ScribantView v;
    v.Control().PasteData(Doc("<p>eins</p><pagebreak/><p>zwei <field n=\"91\"> </field></p>"), VeluDocFormat,
                          -1);
    int ereignisse = 0;
    QObject::connect(&v.Control(), &ScribantPro::NewPage, [&] { ++ereignisse; });
    v.Control().TogglePageView();
    EXPECT_TRUE(v.Control().PageView());
    EXPECT_EQ(ereignisse, 2);
    EXPECT_NE(v.findChild<QLabel*>("Seite2"), nullptr);
    EXPECT_EQ(v.findChild<QLabel*>("Seite3"), nullptr);
    // Field numbers are shown on a copy; the document keeps its placeholders.
    v.SetShowFieldNumbers(true);
    v.RefreshPages();
    EXPECT_EQ(v.Control().FieldText(91), " ");
    EXPECT_EQ(v.Control().FieldNumbers(), QList<int>{91});
    int key = Qt::Key_A, shift = 0;
    EXPECT_FALSE(v.TranslateKey(key, shift));
    v.Control().TogglePageView();
    EXPECT_FALSE(v.Control().PageView());
}

TEST(ScribantView, FormatDialogSetsTheMargins) {
    testApp();
    struct Case {
        bool accept;
        double top;
    } cases[] = {{true, 33.5}, {false, ScribantPro::DefaultTop}};
    for (const auto& k : cases) {
        ScribantView v;
        QTimer::singleShot(0, [&] {
            auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            EXPECT_EQ(dlg->windowTitle(), "Dokumentenformat");
            dlg->findChild<QDoubleSpinBox*>("RandOben")->setValue(33.5);
            k.accept ? dlg->accept() : dlg->reject();
        });
        EXPECT_EQ(v.FormatDialog(), k.accept);
        EXPECT_DOUBLE_EQ(v.Control().TopMargin(), k.top);
        EXPECT_DOUBLE_EQ(v.Control().LeftMargin(), ScribantPro::DefaultLeft);
    }
}

TEST(ScribantView, SavingAsPdfStartsInTheDocumentsFolder) {
    testApp();
    // Not the folder the program was started from: the documents folder, or home where there is none.
    const QString dokumente = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString erwartet = !dokumente.isEmpty() && QDir(dokumente).exists() ? dokumente : QDir::homePath();
    ASSERT_NE(QDir(erwartet).absolutePath(), QDir::current().absolutePath());
    ScribantView v;
    const QString gesehen = ProbeFileDialog([&] { EXPECT_FALSE(v.SaveAsDialog()); }).directory;
    EXPECT_EQ(gesehen, QDir(erwartet).absolutePath());
}

// The save dialog proposes the document's name (characters a file name cannot hold made "-"), says where it
// wrote the file, and opens the next time in the folder saved to.
TEST(ScribantView, SavingAsPdfProposesTheNameAndRemembersTheFolder) {
    testApp();
    TestDir ordner;
    // The remembered folder goes into a settings file of this test's own, not into the one other tests read.
    TestDir einstellungen;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QString::fromStdString(einstellungen.Path().string()));
    const QString pdf = QString::fromStdString((ordner / "Rechnung R-2026-017.pdf").string());
    ScribantView v;
    ScribantView::SetPdfName(&v, "R-2026/017");
    velu::forms::MessageBoxScript boxen;
    const QString vorgeschlagen = ProbeFileDialog([&] { EXPECT_TRUE(v.SaveAsDialog()); }, pdf).selectedFile;
    EXPECT_EQ(QFileInfo(vorgeschlagen).fileName(), "R-2026-017.pdf");
    EXPECT_TRUE(QFileInfo::exists(pdf));
    ASSERT_EQ(boxen.Shown().size(), 1u);
    EXPECT_EQ(boxen.Shown()[0].text,
              "Das Dokument wurde als PDF-Datei gespeichert:\n" + QDir::toNativeSeparators(pdf));

    ScribantView naechste;
    ScribantView::SetPdfName(&naechste, "Einladung");
    const FileDialogStart start = ProbeFileDialog([&] { EXPECT_FALSE(naechste.SaveAsDialog()); });
    EXPECT_EQ(start.directory, QDir(QString::fromStdString(ordner.Path().string())).absolutePath());
    EXPECT_EQ(QFileInfo(start.selectedFile).fileName(), "Einladung.pdf");
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope,
                       QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}
