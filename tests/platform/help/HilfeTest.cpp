#include "TestApp.h"
#include "platform/help/Hilfe.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QWidget>
#include <gtest/gtest.h>

using namespace velu::help;

namespace {
void app() {
    testApp();
}

QString Seite() {
    return Handbuch() ? Handbuch()->source().fileName() : QString();
}
} // namespace

TEST(Hilfe, OpensAtTopicAndOnlyRaisesAnOpenViewer) {
    app();
    CloseHandbuch();
    ShowHilfe("MwSt");
    ASSERT_NE(Handbuch(), nullptr);
    EXPECT_EQ(Handbuch()->windowTitle(), "Velunta 4.0 Handbuch");
    EXPECT_EQ(Seite(), "MwSt.html");
    EXPECT_TRUE(Handbuch()->toPlainText().contains("Mehrwertsteuer"));
    QTextBrowser* erst = Handbuch();
    ShowHilfe("LBild");
    EXPECT_EQ(Handbuch(), erst);
    EXPECT_EQ(Seite(), "MwSt.html");
    CloseHandbuch();
    EXPECT_EQ(Handbuch(), nullptr);
    CloseHandbuch(); // nothing open: returns at once
}

TEST(Hilfe, EmptyOrUnknownTopicOpensTheStartPage) {
    app();
    for (const QString& topic : {QString(), QString("GibtEsNicht")}) {
        CloseHandbuch();
        ShowHilfe(topic);
        EXPECT_EQ(Seite(), "index.html") << topic.toStdString();
    }
    CloseHandbuch();
}

TEST(Hilfe, EveryDeliveredPageIsCompiledIn) {
    app();
    // The source folder from the environment, else from this file's place in it.
    QString quelle = qEnvironmentVariable("VELU_SOURCE_DIR");
    if (quelle.isEmpty()) quelle = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../../..";
    const QDir dir(quelle + "/data/help");
    const QStringList pages = dir.entryList({"*.html"});
    ASSERT_FALSE(pages.isEmpty());
    for (const QString& p : pages)
        EXPECT_TRUE(HatThema(QFileInfo(p).completeBaseName())) << p.toStdString();
}

TEST(Hilfe, F1OnAFormOpensItsTopic) {
    app();
    CloseHandbuch();
    QWidget form;
    InstallHelpKey(&form, "Mitarbeiter");
    form.show();
    form.activateWindow();
    QApplication::setActiveWindow(&form);
    QApplication::processEvents();
    QKeyEvent press(QEvent::ShortcutOverride, Qt::Key_F1, Qt::NoModifier);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&form, &press);
    QApplication::sendEvent(&form, &key);
    QApplication::processEvents();
    EXPECT_EQ(Seite(), "Mitarbeiter.html");
    CloseHandbuch();
}
