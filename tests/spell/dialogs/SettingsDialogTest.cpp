#include "DialogTestSupport.h"

#include "platform/win32/FileApi.h"

namespace wortex::test {
namespace {

using win32::DialogModel;

class Settings : public DialogTest {};

TEST_F(Settings, PlacedTopRightAndReopenedWhereClosed) {
    ForgetSettingsDialogPlace();
    ui.desktopRect = {0, 0, 1600, 900};
    win32::RECT seen{};
    settings([&](DialogModel& d) {
        seen = d.rect;
        d.rect = {100, 50, 640, 520};
        d.click(30054);
    });
    EXPECT_EQ(seen.left, 1596 - 560);
    EXPECT_EQ(seen.top, 4);
    settings([&](DialogModel& d) { seen = d.rect; });
    EXPECT_EQ(seen.left, 100);
    EXPECT_EQ(seen.top, 50);
    ForgetSettingsDialogPlace();
}

TEST_F(Settings, CursorShownAroundTheDialogAndHelpTopic) {
    settings([](DialogModel& d) { d.click(30052); });
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"ShowCursor 1", "dialog 30000", "ShowCursor 0"}));
    EXPECT_EQ(ui.cursorCount, 0);
    EXPECT_EQ(host.topics, std::vector<unsigned>{3});
}

TEST_F(Settings, ShortenedNames) {
    struct Case {
        std::string name;
        int width;
        std::string shown;
    } cases[] = {
        {"/home/buero/woerterbuecher/deutsch.wxd", 200, "..oerterbuecher/deutsch.wxd"},
        {"/kurz.wxd", 200, "/kurz.wxd"},
        {"abcdefgh", 20, "..gh"},
        {"abcd", 8, "abcd"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShortenedFileName(c.name, c.width), c.shown) << c.name;
}

TEST_F(Settings, ListDetailsAndLanguageTexts) {
    DBHandle d = dictionary("deutsch.wxd", 'd', {"haus", "baum"});
    DBHandle e = dictionary("english.wxe", 'e');
    DBHandle f = dictionary("francais.wxf", 'f');
    struct Row {
        int index;
        DBHandle h;
        std::string count, language, eszett, ou;
        bool boxes, insert;
    } rows[] = {
        {0, d, "2", "D", "ss durch \xdf ersetzen wenn verzeichnet", "\xdf immer durch ss ersetzen", true,
         true},
        {1, e, "0", "E", "o durch ou ersetzen wenn verzeichnet", "ou durch o ersetzen wenn verzeichnet", true,
         false},
        {2, f, "0", "F", "", "", false, false},
    };
    settings([&](DialogModel& d) {
        ASSERT_EQ(d.itemCount(30001), 3);
        for (const auto& r : rows) {
            d.select(30001, r.index);
            EXPECT_EQ(static_cast<DBHandle>(d.itemData(30001, r.index)), r.h);
            EXPECT_EQ(d.text(30006), r.count);
            EXPECT_EQ(d.text(30007), r.language);
            EXPECT_EQ(d.text(30072), r.eszett);
            EXPECT_EQ(d.text(30073), r.ou);
            EXPECT_EQ(d.visible(30069), r.boxes);
            EXPECT_EQ(d.visible(30070), r.boxes);
            EXPECT_EQ(d.checked(30005), r.insert);
        }
        d.select(30001, 1);
        d.click(30005);
        EXPECT_EQ(GetMainDictionary(nullptr), e);
        d.click(30005);
        EXPECT_EQ(GetMainDictionary(nullptr), 0);
        d.click(30004);
        EXPECT_EQ(d.itemCount(30001), 2);
        EXPECT_EQ(d.selection(30001), 0);
    });
    EXPECT_EQ(EnumDictionaries(3, nullptr), 0) << "closed in the dialog";
}

TEST_F(Settings, OpenNewAndTheirFailures) {
    dictionary("a.wxd", 'd');
    ui.fileAnswers = {cwd.file("a.wxd"), cwd.file("fach.wxe"), cwd.file("missing.wxd"),
                      cwd.file("no/dir/x.wxd")};
    settings([&](DialogModel& d) {
        d.click(30002);
        EXPECT_EQ(d.itemCount(30001), 1) << "the listed file is closed before it is opened again";
        d.click(30003);
        ASSERT_EQ(d.itemCount(30001), 2);
        EXPECT_EQ(d.selection(30001), 1);
        EXPECT_EQ(d.text(30007), "E");
        d.click(30002);
        d.click(30003);
    });
    EXPECT_EQ(texts(), (std::vector<std::string>{"W\xf6rterbuch konnte nicht ge\xf6"
                                                 "ffnet werden.|Wortex",
                                                 "W\xf6rterbuch konnte nicht erzeugt werden.|Wortex"}));
    ASSERT_EQ(ui.fileDialogs.size(), 4u);
    EXPECT_EQ(ui.fileDialogs[0].title, "W\xf6rterbuch \xf6"
                                       "ffnen");
    EXPECT_EQ(ui.fileDialogs[0].fileName, "*.WX?");
    EXPECT_EQ(ui.fileDialogs[1].title, "Neues W\xf6rterbuch anlegen");
    EXPECT_TRUE(ui.fileDialogs[1].save && ui.fileDialogs[1].overwritePrompt);
    EXPECT_EQ(ui.fileDialogs[2].initialDirectory, cwd.path() + "/");
}

TEST_F(Settings, OptionBoxesAndPriorities) {
    dictionary("deutsch.wxd", 'd');
    settings([&](DialogModel& d) {
        EXPECT_TRUE(d.checked(30055));
        d.click(30055);
        EXPECT_EQ(host.word, 0x3F07Cu);
        EXPECT_TRUE(d.enabled(30053));
        d.click(30070);
        EXPECT_EQ(host.word & 0xC0000, 0x80000u);
        EXPECT_FALSE(d.enabled(30069));
        EXPECT_FALSE(d.checked(30069));
        d.click(30070);
        EXPECT_TRUE(d.enabled(30069));
        d.click(30069);
        EXPECT_EQ(host.word & 0xC0000, 0x40000u);
        EXPECT_FALSE(d.enabled(30070));
        d.click(30058);
        EXPECT_EQ(host.word & 0x100, 0x100u);
    });
}

TEST_F(Settings, SaveWritesAndPlaceSwitches) {
    SetLibraryDirectory(cwd.path() + "/lib");
    std::filesystem::create_directory(cwd.path() + "/lib");
    host.where = kPlaceCurrentDirectory;
    settings([&](DialogModel& d) {
        EXPECT_TRUE(d.checked(30071));
        EXPECT_FALSE(d.enabled(30053));
        d.click(30071);
        EXPECT_TRUE(d.enabled(30053));
        d.click(30053);
        EXPECT_FALSE(d.enabled(30053)) << "disabled after a successful save";
        EXPECT_EQ(host.where, kPlaceLibrary);
        EXPECT_TRUE(std::filesystem::exists(cwd.path() + "/lib/WORTEX.INI"));

        d.click(30055);
        win32::SetFileFaultHook([](win32::FileOp op) { return op == win32::FileOp::Rename; });
        d.click(30053);
        win32::SetFileFaultHook({});
        EXPECT_TRUE(d.enabled(30053)) << "a failed save stays possible";
    });
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Die Einstellungen konnten nicht gespeichert werden.");
}

TEST_F(Settings, UserFileFieldAndChoice) {
    ui.fileAnswers = {cwd.file("eigen.wud")};
    settings([&](DialogModel& d) {
        EXPECT_EQ(d.text(30074), "");
        EXPECT_FALSE(d.enabled(30051));
        d.setFocus(30074);
        EXPECT_EQ(d.focus(), 30050);
        EXPECT_EQ(ui.beeps.size(), 1u);
        d.click(30050);
        EXPECT_EQ(d.text(30074), cwd.file("eigen.wud"));
        EXPECT_TRUE(d.enabled(30051));
        EXPECT_TRUE(d.enabled(30053));
    });
    ASSERT_EQ(ui.fileDialogs.size(), 1u);
    EXPECT_EQ(ui.fileDialogs[0].title, "Anwender-Korrekturdatei w\xe4hlen/anlegen");
    EXPECT_EQ(ui.fileDialogs[0].fileName, "*.WU?");
    EXPECT_TRUE(ui.fileDialogs[0].createPrompt);
}

TEST_F(Settings, EmbeddedPageIgnoresTheEndButtons) {
    SettingsState state;
    state.embedded = true;
    const auto* t = win32::FindDialogTemplate(DialogModule(), kSettingsDialog);
    ASSERT_NE(t, nullptr);
    DialogModel page(
        *t,
        [&](DialogModel& d, win32::UINT m, win32::WPARAM w, win32::LPARAM l) {
            return SettingsPageProc(d, m, w, l, state, host);
        },
        0);
    page.rect = {10, 20, 550, 490};
    page.send(win32::WM_INITDIALOG, 0, 0);
    EXPECT_EQ(page.rect.left, 10) << "the page does not move itself";
    page.click(30054);
    page.enter();
    page.escape();
    page.close();
    EXPECT_FALSE(page.ended());
    page.click(30056);
    EXPECT_EQ(host.word & 0x8, 0u);
}

} // namespace
} // namespace wortex::test
