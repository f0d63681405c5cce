// The dictionary editing, description and choose-word dialogs drawn by the Qt back-end. With
// VELU_SCREENSHOT_DICTIONARY, VELU_SCREENSHOT_DESCRIPTION or VELU_SCREENSHOT_CHOOSEWORD set they are
// written as PNGs (scripts/screenshot wortex-dictionary, wortex-description, wortex-chooseword).
#include "../DialogTestSupport.h"
#include "TestApp.h"

#include "platform/win32/qt/QtUi.h"
#include "spell/DescriptionDialog.h"
#include "spell/DictionaryEditDialog.h"
#include "spell/StyleNetwork.h"

#include <QDir>
#include <QFileInfo>
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
