// The library's help through the Qt back-end: message 1128 and the dialogs' "Hilfe" open the German help
// page of their topic in one help window.
#include "TestApp.h"

#include "platform/win32/qt/QtUi.h"
#include "ApiWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>

#include <cstring>
#include <string>

namespace {

const std::string kIndex = std::string(VELU_SOURCE_DIR) + "/data/wortex-help/index.html";

class QtHelp : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        win32::SetUiServices(&qtUi);
    }
    void TearDown() override {
        qtUi.winHelp(0, kIndex, win32::HELP_QUIT, 0);
        QApplication::processEvents();
        win32::SetUiServices(nullptr);
    }
    QTextBrowser* browser() const {
        return qtUi.helpWindow() ? qtUi.helpWindow()->findChild<QTextBrowser*>("hilfeText") : nullptr;
    }
    QString page() const { return browser() ? QFileInfo(browser()->source().toLocalFile()).fileName() : ""; }

    win32::qt::QtUi qtUi;
};

} // namespace

// Every topic the library's dialogs ask for has its page; a topic without one shows the contents.
TEST_F(QtHelp, TopicsOpenTheirPagesInOneWindow) {
    struct Case {
        unsigned topic;
        const char* page;
        const char* title;
    } cases[] = {
        {12, "index.html", "Wortex Hilfe"},
        {3, "thema-3.html", "Einstellungen"},
        {10, "thema-10.html", "Korrekturvorschläge"},
        {4, "thema-4.html", "Korrekturmeldung"},
        {6, "thema-6.html", "Wörterbuchbearbeitung"},
        {11, "thema-11.html", "Anwender-Korrekturdatei"},
        {5, "thema-5.html", "Eintrag der Korrekturdatei"},
        {9, "thema-9.html", "Beschreibung und Stilwörter"},
        {8, "thema-8.html", "Wort aus dem Wörterbuch wählen"},
        {2, "thema-2.html", "Stilwörterliste: Konflikt"},
        {99, "index.html", "Wortex Hilfe"},
    };
    QWidget* first = nullptr;
    for (const Case& c : cases) {
        EXPECT_TRUE(qtUi.winHelp(0, kIndex, win32::HELP_CONTEXT, c.topic)) << c.topic;
        ASSERT_NE(browser(), nullptr);
        EXPECT_EQ(page(), c.page) << c.topic;
        EXPECT_EQ(browser()->documentTitle(), QString::fromUtf8(c.title)) << c.topic;
        EXPECT_TRUE(qtUi.helpWindow()->windowTitle().endsWith(QString::fromUtf8(c.title))) << c.topic;
        EXPECT_TRUE(qtUi.helpWindow()->windowTitle().startsWith("Wortex Hilfe")) << c.topic;
        EXPECT_TRUE(qtUi.helpWindow()->isVisible());
        if (!first) first = qtUi.helpWindow();
        EXPECT_EQ(qtUi.helpWindow(), first) << "one help window";
    }
    // The links between the pages lead to pages that are there.
    qtUi.winHelp(0, kIndex, win32::HELP_CONTEXT, 12);
    QDir pages = QFileInfo(QString::fromStdString(kIndex)).dir();
    for (const QString& name : pages.entryList({"*.html"})) {
        QFile f(pages.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QString html = QString::fromUtf8(f.readAll());
        for (qsizetype at = html.indexOf("href=\""); at >= 0; at = html.indexOf("href=\"", at + 1)) {
            QString target = html.mid(at + 6, html.indexOf('"', at + 6) - at - 6);
            EXPECT_TRUE(pages.exists(target)) << name.toStdString() << " -> " << target.toStdString();
        }
    }
    qtUi.winHelp(0, kIndex, win32::HELP_QUIT, 0);
    QApplication::processEvents();
    EXPECT_EQ(qtUi.helpWindow(), nullptr) << "closed by HELP_QUIT";
}

// Through the library: message 1128 opens the contents, the settings dialog's "Hilfe" the settings page.
TEST_F(QtHelp, MessageAndDialogButtonOpenTheirPages) {
    win32::HWND api = WX_Init();
    wortex::LibraryState* s = wortex::LockLibraryState();
    std::strcpy(s->helpFile, kIndex.c_str());
    wortex::UnlockLibraryState();

    EXPECT_EQ(win32::SendMessage(api, 1128, 0, 0), 0);
    EXPECT_EQ(page(), "index.html");

    QString shown;
    QTimer::singleShot(300, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = dynamic_cast<win32::qt::DialogView*>(w); d && d->isVisible()) {
                if (auto* help = d->findChild<QPushButton*>("30052")) help->click();
                QApplication::processEvents();
                shown = page();
                d->close();
            }
    });
    win32::SendMessage(api, 1127, 0, 0);
    EXPECT_EQ(shown, "thema-3.html");
    while (win32::SendMessage(api, 1164, 0, 0)) {
    }
    QApplication::processEvents();
    EXPECT_EQ(qtUi.helpWindow(), nullptr) << "the library's exit closes the help";
}

TEST_F(QtHelp, Screenshot) {
    const QString file = qEnvironmentVariable("VELU_SCREENSHOT_HELP");
    if (file.isEmpty()) GTEST_SKIP() << "VELU_SCREENSHOT_HELP not set";
    ASSERT_TRUE(qtUi.winHelp(0, kIndex, win32::HELP_CONTEXT, 3));
    QApplication::processEvents();
    QDir().mkpath(QFileInfo(file).absolutePath());
    ASSERT_TRUE(qtUi.helpWindow()->grab().save(file));
    EXPECT_GT(QFileInfo(file).size(), 1000);
}
