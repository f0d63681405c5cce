// The dictionary editing, description and choose-word dialogs drawn by the Qt back-end. With
// VELU_SCREENSHOT_DICTIONARY, VELU_SCREENSHOT_DESCRIPTION or VELU_SCREENSHOT_CHOOSEWORD set they are
// written as PNGs (scripts/screenshot wortex-dictionary, wortex-description, wortex-chooseword).
#include "spell/DialogTestSupport.h"
#include "TestApp.h"

#include "platform/win32/qt/QtUi.h"
#include "DescriptionDialog.h"
#include "DictionaryEditDialog.h"
#include "StyleNetwork.h"

#include "platform/win32/EditControl.h"
#include "DialogTemplates.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

namespace wortex::test {
namespace {

class QtStyleDialogs : public DialogTest {
protected:
    void SetUp() override {
        testApp();
        DialogTest::SetUp();
        ForgetStyleDialogPlaces();
        ForgetDictionaryEditPlaces();
        h = dictionary("deutsch.wxd", 'D',
                       {"Auto", "Automobil", "Bahn", "Fahrzeug", "Gef\xe4hrt", "Haus", "Heim", "Karre",
                        "Kraftwagen", "Laster", "Omnibus", "Personenwagen", "Rad", "Schiff", "Wagen", "Zug"});
    }
    // Grabs the open dialog into the file the variable names, then closes it.
    static void grabLater(const char* variable) {
        QTimer::singleShot(400, [variable] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = dynamic_cast<win32::qt::DialogView*>(w); d && d->isVisible()) {
                    QApplication::processEvents();
                    const QString file = qEnvironmentVariable(variable);
                    QDir().mkpath(QFileInfo(file).absolutePath());
                    EXPECT_TRUE(d->grab().save(file));
                    EXPECT_GT(QFileInfo(file).size(), 1000);
                    d->close();
                }
        });
    }
    DBHandle h = 0;
};

TEST_F(QtStyleDialogs, DictionaryScreenshot) {
    if (qEnvironmentVariable("VELU_SCREENSHOT_DICTIONARY").isEmpty())
        GTEST_SKIP() << "VELU_SCREENSHOT_DICTIONARY not set";
    win32::qt::QtUi qtUi;
    win32::SetUiServices(&qtUi);
    grabLater("VELU_SCREENSHOT_DICTIONARY");
    DictionaryEditDialog(0, [](unsigned) {});
    win32::SetUiServices(&ui);
}

TEST_F(QtStyleDialogs, DescriptionScreenshot) {
    if (qEnvironmentVariable("VELU_SCREENSHOT_DESCRIPTION").isEmpty())
        GTEST_SKIP() << "VELU_SCREENSHOT_DESCRIPTION not set";
    int setting = 0;
    ASSERT_NE(SetMeaningDescription(h, 1, "Wagen",
                                    "Ein Fahrzeug auf R\xe4"
                                    "dern, zum Bef\xf6rdern von Personen oder Lasten."),
              0u);
    ASSERT_NE(SetMeaningDescription(h, 2, "Wagen",
                                    "Sternbild: der Gro\xdf"
                                    "e Wagen."),
              0u);
    for (const char* w : {"Auto", "Fahrzeug", "Karre", "Kraftwagen", "Personenwagen"})
        ASSERT_NE(LinkStyleWord(h, "Wagen", 1, w, setting, false), 0) << w;
    win32::qt::QtUi qtUi;
    win32::SetUiServices(&qtUi);
    grabLater("VELU_SCREENSHOT_DESCRIPTION");
    char out[64] = {};
    EXPECT_EQ(OpenDescriptionDialog(0, h, "Wagen", out, true), 2);
    win32::SetUiServices(&ui);
}

TEST_F(QtStyleDialogs, DescriptionFieldAndItsWindowFollowEachOther) {
    using namespace win32;
    int changes = 0;
    DialogModel model(
        *FindDialogTemplate(DialogModule(), kDescriptionTemplate),
        [&](DialogModel&, UINT m, WPARAM w, LPARAM) -> LRESULT {
            if (m == WM_COMMAND && LoWord(w) == 408 && HiWord(w) == EN_CHANGE) ++changes;
            return 0;
        },
        0);
    qt::DialogView view(model);
    auto* field = view.findChild<QPlainTextEdit*>("408");
    auto* status = view.findChild<QLabel*>("414");
    ASSERT_NE(field, nullptr);
    ASSERT_NE(status, nullptr);
    HWND window = model.controlWindow(408);
    auto caret = [&] {
        DWORD s = 0, e = 0;
        SendMessage(window, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        return e;
    };

    // Typed in the widget: the window holds the text with its own line ends, the caret where the cursor is.
    field->setPlainText(QString::fromUtf8("Ein Fahrzeug\nauf Rädern"));
    EXPECT_EQ(WindowText(window), "Ein Fahrzeug\r\nauf R\xe4"
                                  "dern");
    QTextCursor cursor = field->textCursor();
    cursor.setPosition(13);
    field->setTextCursor(cursor);
    field->insertPlainText("-");
    EXPECT_EQ(WindowText(window), "Ein Fahrzeug\r\n-auf R\xe4"
                                  "dern");
    EXPECT_EQ(caret(), 15u) << "behind the dash, counting CR LF";
    EXPECT_EQ(changes, 2);

    // Changed in the window, as the library's check replaces a word: the widget follows, cursor and all.
    SendMessage(window, EM_SETSEL, 4, 12);
    SendMessage(window, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("Auto"));
    EXPECT_EQ(field->toPlainText(), QString::fromUtf8("Ein Auto\n-auf Rädern"));
    EXPECT_EQ(field->textCursor().position(), 8);
    EXPECT_EQ(changes, 3);
    SetWindowText(model.controlWindow(414), "Farhzeug");
    EXPECT_EQ(status->text(), "Farhzeug");
}

TEST_F(QtStyleDialogs, DialogBelowShowsWhatChangedBeforeAnotherOpens) {
    using namespace win32;
    qt::QtUi qtUi;
    SetUiServices(&qtUi);
    const DialogTemplate& description = *FindDialogTemplate(DialogModule(), kDescriptionTemplate);
    QString shownMeanwhile, statusMeanwhile;
    DialogModel model(
        description,
        [&](DialogModel& d, UINT m, WPARAM w, LPARAM) -> LRESULT {
            if (m != WM_COMMAND || LoWord(w) != 415) return 0;
            // As the check: the field corrected and the word reported, then a dialog asks.
            SetWindowText(d.controlWindow(408), "Fahrzeug");
            SetWindowText(d.controlWindow(414), "Farhzeug");
            DialogModel asking(*FindDialogTemplate(DialogModule(), kChooseWordTemplate), nullptr, 0);
            QTimer::singleShot(0, [&] {
                for (QWidget* top : QApplication::topLevelWidgets())
                    if (top->objectName() == "400") {
                        shownMeanwhile = top->findChild<QPlainTextEdit*>("408")->toPlainText();
                        statusMeanwhile = top->findChild<QLabel*>("414")->text();
                    }
                asking.end(2);
                for (QWidget* top : QApplication::topLevelWidgets())
                    if (auto* v = dynamic_cast<qt::DialogView*>(top); v && v->objectName() == "450")
                        v->sync();
            });
            Ui().runDialog(asking);
            return 1;
        },
        0);
    qt::DialogView view(model);
    view.findChild<QPushButton*>("415")->click();
    EXPECT_EQ(shownMeanwhile, "Fahrzeug");
    EXPECT_EQ(statusMeanwhile, "Farhzeug");
    SetUiServices(&ui);
}

TEST_F(QtStyleDialogs, ChooseWordScreenshot) {
    if (qEnvironmentVariable("VELU_SCREENSHOT_CHOOSEWORD").isEmpty())
        GTEST_SKIP() << "VELU_SCREENSHOT_CHOOSEWORD not set";
    win32::qt::QtUi qtUi;
    win32::SetUiServices(&qtUi);
    grabLater("VELU_SCREENSHOT_CHOOSEWORD");
    char out[64] = {};
    EXPECT_EQ(ChooseWordDialog(0, h, out), 2);
    EXPECT_STREQ(out, "");
    win32::SetUiServices(&ui);
}

} // namespace
} // namespace wortex::test
