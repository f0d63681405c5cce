// The settings through the api window: WX_Init reads WORTEX.INI, 1126 keeps the option word sound, 1127
// shows the settings dialog, 1129-1131 drive a page the host shows, 1141 writes the file.
#include "DialogTestSupport.h"

#include "ApiWindow.h"
#include "LibraryStrings.h"
#include "SettingsMessages.h"

namespace wortex::test {
namespace {

class ApiSettings : public DialogTest {
protected:
    void start() {
        api = WX_Init();
        ASSERT_NE(api, 0u);
    }
    void TearDown() override {
        if (api)
            while (win32::IsWindow(api) && win32::SendMessage(api, 1164, 0, 0)) {
            }
        DialogTest::TearDown();
    }
    win32::LRESULT send(win32::UINT message, win32::WPARAM wParam = 0, win32::LPARAM lParam = 0) {
        return win32::SendMessage(api, message, wParam, lParam);
    }
    void ini(const std::string& text) { writeAll(cwd.file("WORTEX.INI"), {text.begin(), text.end()}); }
    std::string iniText() {
        auto b = readAll(cwd.file("WORTEX.INI"));
        return {b.begin(), b.end()};
    }
    win32::HWND api = 0;
};

TEST_F(ApiSettings, InitReadsTheFileAndOptionWordStaysSound) {
    ini("[Configuration]\nAutoCheck=no\n");
    start();
    EXPECT_EQ(send(1126), 0x3F07C);
    EXPECT_EQ(send(1144, 1), 0) << "no dictionary named, no WORTEX.WXD";
    struct Case {
        std::uint32_t set, kept;
    } cases[] = {
        {0xFFFFFFFF, 0x7F37E},
        {0xC0000, 0x40000},
        {0x80000 | 0x1, 0x80000},
        {0, 0},
    };
    for (const auto& c : cases) {
        send(1126, 2, static_cast<win32::LPARAM>(c.set));
        EXPECT_EQ(send(1126), static_cast<win32::LRESULT>(c.kept)) << std::hex << c.set;
    }
}

TEST_F(ApiSettings, ModalDialogWithCursorAndOptionToggle) {
    start();
    ui.dialogScripts[kSettingsDialog] = [](win32::DialogModel& d) {
        d.click(30055);
        d.click(30052);
    };
    EXPECT_NE(send(1127), 0);
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"ShowCursor 1", "dialog 30000", "ShowCursor 0"}));
    EXPECT_EQ(send(1126), 0x3F07C) << "the box went through the option word";
    ASSERT_EQ(ui.helpCalls.size(), 1u);
    EXPECT_EQ(ui.helpCalls[0].command, win32::HELP_CONTEXT);
    EXPECT_EQ(ui.helpCalls[0].data, 3u);
}

TEST_F(ApiSettings, PageShownByTheHost) {
    start();
    win32::LRESULT state = send(1129);
    ASSERT_NE(state, 0);
    const auto* t = win32::FindDialogTemplate(LibraryInstance(), kSettingsDialog);
    ASSERT_NE(t, nullptr) << "the templates are there once WX_Init ran";
    win32::DialogModel page(
        *t,
        [&](win32::DialogModel& d, win32::UINT m, win32::WPARAM w, win32::LPARAM l) {
            SettingsPageMessage record{d.window(), m, w, l, state};
            return send(1131, 0, reinterpret_cast<win32::LPARAM>(&record));
        },
        0);
    page.send(win32::WM_INITDIALOG, 0, 0);
    page.click(30054);
    page.enter();
    page.escape();
    EXPECT_FALSE(page.ended()) << "the page ignores OK, Cancel and Ende";
    page.click(30057);
    EXPECT_EQ(send(1126), 0x3F07A);
    EXPECT_EQ(send(1130, 0, state), 1);
    SettingsPageMessage stale{page.window(), win32::WM_COMMAND, 30057, 0, state};
    EXPECT_EQ(send(1131, 0, reinterpret_cast<win32::LPARAM>(&stale)), 0) << "a freed state is refused";
    EXPECT_EQ(send(1126), 0x3F07A);
}

TEST_F(ApiSettings, WriteMessageAndItsFailure) {
    start();
    send(1126, 2, 0x2);
    EXPECT_EQ(send(1141, 1), 0);
    EXPECT_NE(iniText().find("AutoCheck=yes\r\nAutoSkip=no"), std::string::npos);
    const std::string old = iniText();
    send(1126, 2, 0x4);
    win32::SetFileFaultHook([](win32::FileOp op) { return op == win32::FileOp::Flush; });
    EXPECT_EQ(send(1141, 1), 0);
    win32::SetFileFaultHook({});
    EXPECT_EQ(iniText(), old);
    EXPECT_EQ(texts(),
              std::vector<std::string>{"Die Einstellungen konnten nicht gespeichert werden.|Wortex"});
}

} // namespace
} // namespace wortex::test
