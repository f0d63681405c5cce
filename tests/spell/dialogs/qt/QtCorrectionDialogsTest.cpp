// The suggestions and correction message dialogs drawn by the Qt back-end. With VELU_SCREENSHOT_SUGGESTIONS
// or VELU_SCREENSHOT_CORRECTIONS set they are written as PNGs (scripts/screenshot wortex-suggestions,
// wortex-corrections).
#include "spell/DialogTestSupport.h"
#include "TestApp.h"

#include "platform/win32/EditControl.h"
#include "platform/win32/qt/QtUi.h"
#include "ApiWindow.h"
#include "Attachments.h"
#include "CorrectionDialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <cstring>

namespace wortex::test {
namespace {

class QtCorrectionDialogs : public DialogTest {
protected:
    void SetUp() override {
        testApp();
        DialogTest::SetUp();
    }
    // Grabs the open dialog into the file the variable names, then closes it.
    static void grabLater(const char* variable, int listRows = 0) {
        QTimer::singleShot(400, [variable, listRows] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = dynamic_cast<win32::qt::DialogView*>(w); d && d->isVisible()) {
                    auto* list = d->findChild<QListWidget*>("1106");
                    if (list) EXPECT_GE(list->count(), listRows);
                    QApplication::processEvents();
                    const QString file = qEnvironmentVariable(variable);
                    QDir().mkpath(QFileInfo(file).absolutePath());
                    EXPECT_TRUE(d->grab().save(file));
                    EXPECT_GT(QFileInfo(file).size(), 1000);
                    d->close();
                }
        });
    }
};

TEST_F(QtCorrectionDialogs, SuggestionsScreenshot) {
    if (qEnvironmentVariable("VELU_SCREENSHOT_SUGGESTIONS").isEmpty())
        GTEST_SKIP() << "VELU_SCREENSHOT_SUGGESTIONS not set";
    dictionary(
        "deutsch.wxd", 'd',
        {"rechtschreibung", "rechtschreibungen", "rechtschreibfehler", "rechtsprechung", "schreibung"});
    win32::qt::QtUi qtUi;
    win32::SetUiServices(&qtUi);
    grabLater("VELU_SCREENSHOT_SUGGESTIONS", 1);
    char replacement[64] = {};
    EXPECT_EQ(SuggestionsDialog(0, nullptr, "Rechtschreibunk", replacement, true, true, [](unsigned) {}),
              kStop);
    win32::SetUiServices(&ui);
}

// A click on a suggestion, also on the row that is current already, puts it into the replacement field
// and allows replacing with it.
TEST_F(QtCorrectionDialogs, ClickingASuggestionPutsItIntoTheReplacementField) {
    dictionary("deutsch.wxd", 'd', {"fahrzeug", "faserzeug", "fr\xfchzeug"});
    win32::qt::QtUi qtUi;
    win32::SetUiServices(&qtUi);
    std::vector<std::string> seen;
    QTimer::singleShot(300, [&seen] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = dynamic_cast<win32::qt::DialogView*>(w); d && d->isVisible()) {
                auto* list = d->findChild<QListWidget*>("1106");
                auto* field = d->findChild<QLineEdit*>("1101");
                auto* replace = d->findChild<QPushButton*>("1111");
                ASSERT_TRUE(list && field && replace);
                ASSERT_GE(list->count(), 2);
                for (int row : {1, 0}) {
                    const QPoint at = list->visualItemRect(list->item(row)).center();
                    for (QEvent::Type t : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                        QMouseEvent e(t, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                                      t == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                      Qt::NoModifier);
                        QApplication::sendEvent(list->viewport(), &e);
                    }
                    QApplication::processEvents();
                    // With the case of the word in the text.
                    EXPECT_EQ(field->text().compare(list->item(row)->text(), Qt::CaseInsensitive), 0) << row;
                    seen.push_back(field->text().toStdString() +
                                   (replace->isEnabled() ? "|enabled" : "|disabled"));
                }
                replace->click();
            }
    });
    char replacement[64] = {};
    EXPECT_EQ(SuggestionsDialog(0, nullptr, "Farhzeug", replacement, true, true, [](unsigned) {}), kReplace);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1], "Fahrzeug|enabled");
    EXPECT_NE(seen[0], seen[1]);
    EXPECT_NE(seen[0].find("|enabled"), std::string::npos);
    EXPECT_STREQ(replacement, "Fahrzeug");
    win32::SetUiServices(&ui);
}

TEST_F(QtCorrectionDialogs, CorrectionsScreenshot) {
    if (qEnvironmentVariable("VELU_SCREENSHOT_CORRECTIONS").isEmpty())
        GTEST_SKIP() << "VELU_SCREENSHOT_CORRECTIONS not set";
    win32::HWND api = WX_Init();
    ASSERT_EQ(InitDBEngine(120), 1);
    win32::HWND edit = win32::CreateWindowEx(0, win32::kEditClass, "Das Haus der M\xfcller",
                                             win32::ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
    AttachRecord attach{edit, 0, kEditAdapter};
    ASSERT_EQ(win32::SendMessage(api, 1194, 0, reinterpret_cast<win32::LPARAM>(&attach)), 1);
    LibraryState* s = LockLibraryState();
    EditAttachment& a = *FindAttachment(*s, edit);
    UnlockLibraryState();
    ASSERT_EQ(CreateDBFile(cwd.file("HIST.TMP")), 1);
    DBHandle h = OpenDBFile(cwd.file("HIST.TMP"), 4);
    struct {
        const char* inText;
        const char* correction;
        std::uint32_t kind;
        int column;
    } rows[] = {
        {"das", "Das", 0x2000, 0}, {"Hasu", "Haus", 0x10000000, 4}, {"Mueller", "M\xfcller", 0x20000, 13}};
    std::uint32_t at[3];
    for (auto& o : at)
        o = AllocDBRecord(h, kCorrectionRecordSize, 0);
    for (int k = 0; k < 3; ++k) {
        CorrectionRecord r{};
        std::strcpy(r.inText, rows[k].inText);
        std::strcpy(r.shown, rows[k].inText);
        std::strcpy(r.correction, rows[k].correction);
        r.kind = rows[k].kind;
        r.startColumn = rows[k].column;
        r.endColumn = rows[k].column + static_cast<int>(std::strlen(rows[k].correction));
        r.previous = k ? at[k - 1] : 0;
        r.next = k < 2 ? at[k + 1] : 0;
        ASSERT_EQ(WriteCorrectionRecord(h, at[k], r), 1);
    }
    a.historyHandle = h;
    a.firstRecord = static_cast<std::int32_t>(at[0]);
    a.lastRecord = static_cast<std::int32_t>(at[2]);
    a.recordCount = 3;
    win32::qt::QtUi qtUi;
    win32::SetUiServices(&qtUi);
    grabLater("VELU_SCREENSHOT_CORRECTIONS");
    EXPECT_EQ(CorrectionMessageDialog(0, 0x3F07E, a, nullptr, [](unsigned) {}), 0);
    win32::SetUiServices(&ui);
    CloseDBFile(h);
    TermDBEngine();
    win32::DestroyWindow(edit);
    while (win32::SendMessage(api, 1164, 0, 0)) {
    }
}

} // namespace
} // namespace wortex::test
