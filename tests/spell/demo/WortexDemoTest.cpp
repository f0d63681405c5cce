// The demo host: its editor lent to the loaded library through the host adapter. With VELU_SCREENSHOT_WORTEX
// set, the paragraph is typed into it on the wngerman dictionary and the window is drawn with the suggestions
// dialog of the check open (scripts/screenshot wortex).
#include "TestApp.h"
#include "spell/RealText.h"

#include "platform/win32/UiServices.h"
#include "platform/win32/qt/QtUi.h"
#include "tools/wortex-demo/DemoWindow.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <dlfcn.h>
#include <filesystem>

using namespace win32;
using wortex::demo::DemoWindow;

namespace {

class Demo : public ::testing::Test {
protected:
    void SetUp() override {
        testApp();
        SetUiServices(&ui);
        std::string pattern = (std::filesystem::temp_directory_path() / "wxdemoXXXXXX").string();
        dir = ::mkdtemp(pattern.data());
        home = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        lib = dlopen(WORTEX32_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib, nullptr) << dlerror();
        api = reinterpret_cast<HWND (*)()>(dlsym(lib, "WX_Init"))();
        ASSERT_TRUE(IsWindow(api));
    }
    void TearDown() override {
        while (IsWindow(api) && SendMessage(api, 1164, 0, 0)) {
        }
        if (lib) dlclose(lib);
        SetUiServices(nullptr);
        std::error_code ec;
        std::filesystem::current_path(home, ec);
        std::filesystem::remove_all(dir, ec);
    }
    void dictionary(const std::vector<const char*>& words) {
        std::string path = dir + "/demo.wxd";
        SendMessage(api, 1134, 'D', reinterpret_cast<LPARAM>(path.c_str()));
        LRESULT h = SendMessage(api, 1135, 0, reinterpret_cast<LPARAM>(path.c_str()));
        for (const char* w : words)
            SendMessage(api, 1137, static_cast<WPARAM>(h), reinterpret_cast<LPARAM>(w));
    }

    ScriptedUi ui;
    std::string dir;
    std::filesystem::path home;
    void* lib = nullptr;
    HWND api = 0;
};

} // namespace

TEST_F(Demo, TypingMarksAndCorrectsThroughTheHostAdapter) {
    dictionary({"Der", "Bauherr", "zahlt", "die", "Rechnung", "Zeichnungen"});
    DemoWindow w(api);
    w.type(QString::fromUtf8("Der Bauherr zahlt die Rechnnung "));
    EXPECT_EQ(w.statusBar()->currentMessage(), "Rechnnung -> Rechnung");
    ASSERT_EQ(w.editor()->extraSelections().size(), 1);
    EXPECT_EQ(w.editor()->extraSelections()[0].cursor.selectedText(), "Rechnnung");
    w.type(QString::fromUtf8("die zeichnungen "));
    EXPECT_EQ(w.editor()->toPlainText(), "Der Bauherr zahlt die Rechnnung die Zeichnungen ");
    EXPECT_EQ(w.editor()->textCursor().position(), 48);

    ui.dialogScripts[1101] = [](DialogModel& d) {
        d.type(1101, "Rechnung");
        d.click(1111);
    };
    ui.dialogScripts[1000] = [](DialogModel& d) { d.click(102); };
    EXPECT_EQ(w.checkText(), 1);
    EXPECT_EQ(w.editor()->toPlainText(), "Der Bauherr zahlt die Rechnung die Zeichnungen ");
    EXPECT_TRUE(w.editor()->extraSelections().isEmpty()) << "the mark goes at the end of the check";
}

// Typing across Return with the immediate check and automatic hyphenation on, then a check of what was typed:
// the lines stay as typed, corrections go only where intended.
TEST_F(Demo, TypingAcrossReturnKeepsTheLines) {
    dictionary({"Das", "Haus", "Neue", "Zeile", "Der", "Befehl", "gibt", "den", "Plan", "Genehmigung"});
    struct Case {
        const char* keys;
        const char* after;
    } cases[] = {
        {"Das Haus\nNeue Zeile ", "Das Haus\nNeue Zeile "},
        {"Der Befehl\ngibt den Plan\nGenehmigung ", "Der Befehl\ngibt den Plan\nGenehmigung "},
        {"Das Haus\n\nNeue Zeile\n", "Das Haus\n\nNeue Zeile\n"},
    };
    for (const Case& c : cases) {
        DemoWindow w(api);
        w.type(QString::fromUtf8(c.keys));
        EXPECT_EQ(w.editor()->toPlainText(), c.after) << c.keys;
        EXPECT_EQ(w.editor()->textCursor().position(), QString(c.after).size()) << c.keys;
        ui.dialogScripts[1101] = [&](DialogModel& d) {
            ADD_FAILURE() << "asked about " << d.text(1114);
            d.click(1112);
        };
        EXPECT_EQ(w.checkText(), 1);
        EXPECT_EQ(w.editor()->toPlainText(), c.after) << c.keys;
        QTextCursor end = w.editor()->textCursor();
        end.movePosition(QTextCursor::End);
        EXPECT_EQ(w.editor()->textCursor().position(), end.position()) << "the check reached the end";
    }
}

// Manual pages and hard-wrapped paragraphs pasted into the demo's editor and checked through its adapter on
// the wngerman dictionary, every report ignored and every automatic correction refused: the check ends at
// the last line and the text is as pasted.
TEST_F(Demo, PastedManualPagesComeBackAsPasted) {
    if (!std::filesystem::exists(WNGERMAN_DICTIONARY) ||
        !SendMessage(api, 1135, 1, reinterpret_cast<LPARAM>(WNGERMAN_DICTIONARY)))
        GTEST_SKIP() << "no wngerman dictionary";
    SendMessage(api, 1126, 2, static_cast<LPARAM>(0x3F07E | 0x100));
    int asked = 0;
    ui.dialogScripts[1101] = [&](DialogModel& d) {
        ++asked;
        d.click(1112);
    };
    ui.dialogScripts[1000] = [](DialogModel& d) { d.click(102); };
    const auto paragraphs =
        wortex::test::RealTextParagraphs(VELU_SOURCE_DIR "/tests/spell/data/realtext.txt");
    ASSERT_FALSE(paragraphs.empty());
    for (const std::string& p : paragraphs) {
        QString pasted = QString::fromLatin1(p.c_str()).replace("\r\n", "\n");
        DemoWindow w(api);
        w.editor()->setPlainText(pasted);
        EXPECT_EQ(w.checkText(), 1) << p;
        EXPECT_EQ(w.editor()->toPlainText(), pasted) << p;
        EXPECT_EQ(w.editor()->textCursor().position(), pasted.size()) << "the check reached the end\n" << p;
        EXPECT_EQ(w.statusBar()->currentMessage(), QString::fromUtf8("Pr\u00fcfung beendet.")) << p;
    }
    EXPECT_GT(asked, 0) << "the pages hold words the dictionary lacks";
}

TEST_F(Demo, Screenshot) {
    const QString file = qEnvironmentVariable("VELU_SCREENSHOT_WORTEX");
    if (file.isEmpty()) GTEST_SKIP() << "VELU_SCREENSHOT_WORTEX not set";
    if (!std::filesystem::exists(WNGERMAN_DICTIONARY) ||
        !SendMessage(api, 1135, 1, reinterpret_cast<LPARAM>(WNGERMAN_DICTIONARY)))
        GTEST_SKIP() << "no wngerman dictionary";
    qt::QtUi qtUi;
    SetUiServices(&qtUi);
    {
        DemoWindow w(api);
        w.move(20, 20);
        w.show();
        w.type(QString::fromUtf8(
            "Das Architekturbüro hat die Unterlagen für den Bauantrag volständig \n"
            "vorbereitet. Die zeichnungen des Erdgeschosses und die Beschreibnug \n"
            "des Gebaeudes liegen der Stadt seit Montag vor. nach der Genemigung \n"
            "beginnt die Ausführungsplanung, und die Ausschreibung der Rohbauarbeiten \n"
            "folgt im Frühjahr. Der Bauherr erhält mit der nächsten Rechnnung eine \n"
            "Übersicht über alle Leistungen und die bisher bezahlten Abschlagszahlungen. "));
        QApplication::processEvents();
        bool grabbed = false;
        // The first dialog is drawn with the window; it and any later one are closed.
        QTimer closer;
        QObject::connect(&closer, &QTimer::timeout, [&] {
            for (QWidget* d : QApplication::topLevelWidgets())
                if (auto* v = dynamic_cast<qt::DialogView*>(d); v && v->isVisible()) {
                    if (!grabbed) {
                        QApplication::processEvents();
                        QDir().mkpath(QFileInfo(file).absolutePath());
                        QRect area = w.frameGeometry().united(v->frameGeometry()).adjusted(-10, -10, 10, 10);
                        grabbed = w.screen()
                                      ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                                      .save(file);
                    }
                    v->close();
                }
        });
        closer.start(600);
        w.checkText();
        EXPECT_TRUE(grabbed);
        EXPECT_GT(QFileInfo(file).size(), 1000);
    }
    SetUiServices(&ui);
}
