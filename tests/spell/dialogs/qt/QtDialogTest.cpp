// The Qt back-end draws the library's dialog templates: the view follows the model and the user's actions
// reach the dialog procedure. With VELU_SCREENSHOT set, the settings and the correction list are written as
// PNGs (scripts/screenshot wortex-settings, wortex-userlist).
#include "spell/DialogTestSupport.h"
#include "TestApp.h"

#include "platform/win32/qt/QtUi.h"
#include "UserDialogs.h"
#include "UserFile.h"
#include "WordList.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>
#include <thread>

namespace wortex::test {
namespace {

class QtDialogs : public DialogTest {
protected:
    void SetUp() override {
        testApp();
        DialogTest::SetUp();
    }
    std::unique_ptr<win32::DialogModel> settingsModel(SettingsState& state) {
        const auto* t = win32::FindDialogTemplate(DialogModule(), kSettingsDialog);
        auto model = std::make_unique<win32::DialogModel>(
            *t,
            [&](win32::DialogModel& d, win32::UINT m, win32::WPARAM w, win32::LPARAM l) {
                return SettingsPageProc(d, m, w, l, state, host);
            },
            0);
        return model;
    }
    static void save(QWidget& view, const char* name) {
        const QString file = qEnvironmentVariable(name);
        QDir().mkpath(QFileInfo(file).absolutePath());
        ASSERT_TRUE(view.grab().save(file));
        EXPECT_GT(QFileInfo(file).size(), 1000);
    }
};

// The library hands folders over with a closing backslash: the dialog opens in that folder with the
// initial name, not with "folder\" as the name.
TEST_F(QtDialogs, FileDialogOpensInTheFolderGivenTheWindowsWay) {
    win32::qt::QtUi qtUi;
    const std::string folder = cwd.path() + "\\";
    for (const char* initial : {"", "buero.wxd", "*.TXT"}) {
        SCOPED_TRACE(initial);
        QString shownFolder, shownName;
        QTimer::singleShot(200, [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QFileDialog*>(w); d && d->isVisible()) {
                    shownFolder = d->directory().absolutePath();
                    if (auto* name = d->findChild<QLineEdit*>("fileNameEdit")) shownName = name->text();
                    d->reject();
                }
        });
        win32::FileDialogRequest r;
        r.title = "Neues W\xf6rterbuch";
        r.filter = "W\xf6rterb\xfccher|*.wx?";
        r.initialDirectory = folder;
        r.fileName = initial;
        r.save = true;
        EXPECT_FALSE(qtUi.fileDialog(r));
        EXPECT_EQ(shownFolder, QDir(QString::fromStdString(cwd.path())).absolutePath());
        EXPECT_EQ(shownName.toStdString(),
                  std::string(initial).find('*') == std::string::npos ? initial : "");
    }
}

// Widgets belong to the application's thread: a request another thread sends gets the answers of a host
// without a screen, and no window is made.
TEST_F(QtDialogs, AnotherThreadGetsTheAnswersOfAHostWithoutAScreen) {
    win32::qt::QtUi qtUi;
    SettingsState state;
    auto model = settingsModel(state);
    model->send(win32::WM_INITDIALOG, 0, 0);
    const auto widgets = QApplication::topLevelWidgets().size();
    int answer = 0;
    bool chosen = true;
    std::thread([&] {
        answer = qtUi.messageBox(0, "Rechtschreibepr\xfc" "fung abbrechen?", "Wortex", win32::MB_YESNO);
        win32::FileDialogRequest r;
        chosen = qtUi.fileDialog(r);
        qtUi.runDialog(*model);
    }).join();
    EXPECT_EQ(answer, win32::IDYES);
    EXPECT_FALSE(chosen);
    EXPECT_TRUE(model->ended()) << "closed unanswered";
    EXPECT_EQ(QApplication::topLevelWidgets().size(), widgets);
}

TEST_F(QtDialogs, ViewFollowsTheModelAndActsOnIt) {
    dictionary("deutsch.wxd", 'd', {"haus"});
    SettingsState state;
    state.embedded = true;
    auto model = settingsModel(state);
    model->send(win32::WM_INITDIALOG, 0, 0);
    win32::qt::DialogView view(*model);
    auto* autoCheck = view.findChild<QCheckBox*>("30055");
    ASSERT_NE(autoCheck, nullptr);
    EXPECT_TRUE(autoCheck->isChecked());
    autoCheck->click();
    EXPECT_EQ(host.word & 0x2, 0u) << "ticking the box changed the option word";
    EXPECT_FALSE(autoCheck->isChecked());

    auto* save = view.findChild<QPushButton*>("30053");
    ASSERT_NE(save, nullptr);
    EXPECT_TRUE(save->isEnabled());
    model->enable(30053, false);
    EXPECT_FALSE(save->isEnabled()) << "a control the model disables is disabled in the view";

    auto* list = view.findChild<QListWidget*>("30001");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 1);
    EXPECT_TRUE(list->item(0)->text().endsWith("deutsch.wxd"));
    EXPECT_EQ(view.palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
    // A greyed-out caption stays readable on the grey.
    const QColor grau = save->palette().color(QPalette::Disabled, QPalette::ButtonText);
    EXPECT_GT(std::abs(grau.lightness() - QColor(0xC0, 0xC0, 0xC0).lightness()), 40);
    EXPECT_EQ(autoCheck->palette().color(QPalette::Disabled, QPalette::WindowText), grau);
    EXPECT_EQ(win32::qt::FromAnsi("W\xf6rterb\xfc"
                                  "cher \x80"),
              QString::fromUtf8("Wörterbücher €"));
    EXPECT_EQ(win32::qt::ToAnsi(QString::fromUtf8("Größe €")), "Gr\xf6\xdf"
                                                               "e \x80");
}

TEST_F(QtDialogs, SettingsScreenshot) {
    if (qEnvironmentVariable("VELU_SCREENSHOT_SETTINGS").isEmpty())
        GTEST_SKIP() << "VELU_SCREENSHOT_SETTINGS not set";
    dictionary("deutsch.wxd", 'd', {"haus", "baum", "dach"});
    dictionary("english.wxe", 'e', {"house"});
    ASSERT_EQ(OpenUserFile(cwd.file("deutsch.wud")), 1);
    SettingsState state;
    state.embedded = true;
    auto model = settingsModel(state);
    model->send(win32::WM_INITDIALOG, 0, 0);
    model->select(30001, 0);
    win32::qt::DialogView view(*model);
    view.show();
    QApplication::processEvents();
    save(view, "VELU_SCREENSHOT_SETTINGS");
}

TEST_F(QtDialogs, UserListScreenshot) {
    if (qEnvironmentVariable("VELU_SCREENSHOT_USERLIST").isEmpty())
        GTEST_SKIP() << "VELU_SCREENSHOT_USERLIST not set";
    ASSERT_EQ(OpenUserFile(cwd.file("deutsch.wud")), 1);
    for (auto [w, c] : std::vector<std::pair<const char*, const char*>>{{"bzw", "beziehungsweise"},
                                                                        {"dh", "d.h."},
                                                                        {"etc", ""},
                                                                        {"mfg", "Mit freundlichen Gr\xfc\xdf"
                                                                                "en"},
                                                                        {"usw", "und so weiter"},
                                                                        {"zb", "z.B."},
                                                                        {"ggf", "gegebenenfalls"},
                                                                        {"vgl", ""}})
        ASSERT_EQ(AddUserWord(w, c, *c ? kUserReplace : kUserIgnore), 1);
    win32::qt::QtUi qtUi;
    win32::SetUiServices(&qtUi);
    QTimer::singleShot(300, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = dynamic_cast<win32::qt::DialogView*>(w); d && d->isVisible()) {
                auto* list = d->findChild<QListWidget*>("451");
                if (list && list->count() > 1) list->setCurrentRow(1);
                QApplication::processEvents();
                save(*d, "VELU_SCREENSHOT_USERLIST");
                d->close();
            }
    });
    UserListDialog(0, [](unsigned) {});
    win32::SetUiServices(&ui);
}

} // namespace
} // namespace wortex::test
