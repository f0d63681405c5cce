#include "DialogTestSupport.h"

#include "UserDialogs.h"
#include "WordList.h"

namespace wortex::test {
namespace {

using win32::DialogModel;

class UserDialogs : public DialogTest {
protected:
    void openUserFile(std::vector<std::pair<std::string, std::string>> entries) {
        ASSERT_EQ(OpenUserFile(cwd.file("eigen.wud")), 1);
        for (const auto& [word, correction] : entries)
            ASSERT_EQ(AddUserWord(word.c_str(), correction.c_str(),
                                  correction.empty() ? kUserIgnore : kUserReplace),
                      1);
    }
    std::pair<int, std::string> entry(const char* word) {
        char correction[64] = {};
        int action = 0;
        LookupUserWord(word, correction, &action);
        return {action, correction};
    }
    std::function<void(unsigned)> help = [this](unsigned t) { host.help(t); };
};

TEST_F(UserDialogs, ListRefusedWithoutUserFile) {
    EXPECT_EQ(UserListDialog(0, help), 0);
    EXPECT_EQ(texts(), std::vector<std::string>{"Keine Benutzerdatei offen.|Wortex"});
    EXPECT_TRUE(ui.calls.empty()) << "no dialog, no cursor";
}

TEST_F(UserDialogs, AddWord) {
    openUserFile({});
    ui.dialogScripts[kUserWordDialog] = [&](DialogModel& d) {
        d.click(102);
        EXPECT_FALSE(d.ended()) << "an empty word is refused";
        EXPECT_EQ(ui.beeps.size(), 1u);
        EXPECT_EQ(d.focus(), 1310);
        d.type(1311, "Ersatz");
        d.click(1312);
        EXPECT_EQ(d.text(1311), "");
        EXPECT_FALSE(d.enabled(1311));
        d.click(1312);
        EXPECT_TRUE(d.enabled(1311));
        EXPECT_EQ(d.focus(), 1311);
        d.click(1312);
        d.type(1310, "Bzw");
        d.enter();
    };
    std::string added;
    EXPECT_EQ(UserWordDialog(0, help, &added), 102);
    EXPECT_EQ(added, "Bzw");
    EXPECT_EQ(entry("bzw"), (std::pair<int, std::string>{kUserIgnore, ""}));

    ui.dialogScripts[kUserWordDialog] = [&](DialogModel& d) {
        d.type(1310, "zb");
        d.type(1311, "z.B.");
        d.click(1308);
        d.click(102);
    };
    EXPECT_EQ(UserWordDialog(0, help, nullptr), 102);
    EXPECT_EQ(entry("zb"), (std::pair<int, std::string>{kUserReplace, "z.B."}));
    EXPECT_EQ(host.topics, std::vector<unsigned>{5});

    CloseUserFile();
    ui.dialogScripts[kUserWordDialog] = [&](DialogModel& d) {
        d.type(1310, "wort");
        d.click(102);
        EXPECT_FALSE(d.ended());
        EXPECT_EQ(d.focus(), 1310);
    };
    EXPECT_EQ(UserWordDialog(0, help, nullptr), 101);
    EXPECT_EQ(texts(), std::vector<std::string>{"Wort konnte nicht eingef\xfcgt werden.|Wortex"});
}

TEST_F(UserDialogs, CorrectionList) {
    openUserFile({{"bzw", ""}, {"zb", "z.B."}, {"usw", "u.s.w."}});
    ui.dialogScripts[kUserListDialog] = [&](DialogModel& d) {
        EXPECT_EQ(d.text(1306), cwd.file("eigen.wud"));
        ASSERT_EQ(d.itemCount(451), 3);
        d.select(451, 2);
        EXPECT_EQ(d.itemText(451, 2), "zb");
        EXPECT_EQ(d.text(1303), "z.B.");
        EXPECT_FALSE(d.checked(1302));
        EXPECT_TRUE(d.enabled(1305));

        d.select(451, 0);
        EXPECT_TRUE(d.checked(1302));
        EXPECT_FALSE(d.enabled(1305)) << "no correction to change for an ignore entry";
        d.setFocus(1303);
        EXPECT_EQ(d.focus(), 1305) << "the field is entered only through the button";

        d.click(1302); // ignore -> replace, correction field opened
        EXPECT_EQ(entry("bzw"), (std::pair<int, std::string>{kUserReplace, ""}));
        EXPECT_EQ(d.focus(), 1303);
        d.type(1303, "beziehungsweise");
        std::size_t beeps = ui.beeps.size();
        d.command(1304, win32::BN_CLICKED);
        EXPECT_EQ(ui.beeps.size(), beeps + 1) << "other commands beep while editing";
        EXPECT_EQ(d.focus(), 1303);
        d.enter();
        EXPECT_EQ(entry("bzw"), (std::pair<int, std::string>{kUserReplace, "beziehungsweise"}));
        EXPECT_EQ(d.text(1303), "beziehungsweise");

        d.select(451, 2);
        d.click(1302); // replace -> ignore, correction emptied
        EXPECT_EQ(entry("zb"), (std::pair<int, std::string>{kUserIgnore, ""}));
        EXPECT_EQ(d.text(1303), "");

        d.select(451, 1);
        d.click(1304);
        EXPECT_EQ(entry("usw").first, 0);
        EXPECT_EQ(d.itemCount(451), 2);
        d.select(451, 0);
        d.click(1304);
        EXPECT_EQ(entry("bzw").first, 0);
        ASSERT_EQ(d.itemCount(451), 1) << "the first entry goes from the list at once";
        EXPECT_EQ(d.itemText(451, 0), "zb");
        d.click(1301);
    };
    EXPECT_EQ(UserListDialog(0, help), win32::IDCANCEL);
    EXPECT_EQ(host.topics, std::vector<unsigned>{11});
    EXPECT_EQ(ui.cursorCount, 0);
}

TEST_F(UserDialogs, InsertFromTheListAndReopenWhereClosed) {
    openUserFile({{"bzw", ""}});
    ui.dialogScripts[kUserWordDialog] = [](DialogModel& d) {
        d.type(1310, "etc");
        d.type(1311, "usw.");
        d.click(102);
    };
    win32::RECT closedAt{};
    ui.dialogScripts[kUserListDialog] = [&](DialogModel& d) {
        d.click(1307);
        ASSERT_EQ(d.itemCount(451), 2);
        EXPECT_EQ(d.itemText(451, d.selection(451)), "etc");
        EXPECT_EQ(d.text(1303), "usw.");
        d.rect = {30, 40, 490, 370};
        closedAt = d.rect;
    };
    UserListDialog(0, help);
    ui.dialogScripts[kUserListDialog] = [&](DialogModel& d) { EXPECT_EQ(d.rect.left, closedAt.left); };
    UserListDialog(0, help);
}

class WordListTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        std::vector<std::string> words;
        for (const char* w : {"abend", "baum", "dach", "ei", "feld", "gabel", "garten", "haus", "hafen",
                              "hand", "hund", "igel", "jahr", "kalt", "lampe", "maus", "nase", "ofen", "zug"})
            words.push_back(w);
        h = dictionary("liste.wxd", 'd', words);
    }
    DBHandle h = 0;
};

TEST_F(WordListTest, PositionsAndPaging) {
    EXPECT_EQ(WordListPosition("ha"), 25 * 64 + 5);
    EXPECT_EQ(WordListPosition("hafen"), 1605);

    const auto* t = win32::FindDialogTemplate(DialogModule(), kUserListDialog);
    ASSERT_NE(t, nullptr);
    DialogModel d(*t, nullptr, 0);
    WordList list(d, h);
    ASSERT_EQ(list.pageSize(), 10);
    EXPECT_EQ(d.control(kWordListScrollBar)->scrollMin, WordListPosition("abend"));
    EXPECT_EQ(d.control(kWordListScrollBar)->scrollMax, WordListPosition("zug"));

    list.first();
    EXPECT_EQ(list.page().front(), "abend");
    EXPECT_EQ(list.page().size(), 10u);

    win32::LRESULT r = 0;
    EXPECT_TRUE(list.handle(win32::WM_VSCROLL, win32::MakeWParam(win32::SB_THUMBPOSITION, 1605),
                            kWordListScrollBar, r));
    EXPECT_EQ(list.page().front(), "hafen") << "the first word not before ha";
    EXPECT_EQ(d.scrollPos(kWordListScrollBar), 1605);

    list.last();
    EXPECT_EQ(list.page().back(), "zug");
    EXPECT_EQ(list.page().size(), 10u);

    list.first();
    d.setSelection(kWordListBox, 9);
    std::string lastShown = list.page().back();
    list.handle(win32::WM_VKEYTOITEM, win32::MakeWParam(win32::VK_DOWN, 9), kWordListBox, r);
    EXPECT_EQ(list.page().front(), "baum") << "one word down";
    EXPECT_EQ(list.selectedWord(), list.page().back());
    EXPECT_NE(list.selectedWord(), lastShown);
    d.setSelection(kWordListBox, 0);
    list.handle(win32::WM_VKEYTOITEM, win32::MakeWParam(win32::VK_UP, 0), kWordListBox, r);
    EXPECT_EQ(list.page().front(), "abend");

    struct Move {
        int code;
        std::string top;
    } moves[] = {
        {win32::SB_PAGEDOWN, "haus"}, {win32::SB_PAGEDOWN, "haus"}, {win32::SB_PAGEUP, "abend"},
        {win32::SB_BOTTOM, "haus"},   {win32::SB_TOP, "abend"},     {win32::SB_LINEDOWN, "baum"},
        {win32::SB_LINEUP, "abend"},
    };
    for (const auto& m : moves) {
        list.handle(win32::WM_VSCROLL, win32::MakeWParam(m.code, 0), kWordListScrollBar, r);
        EXPECT_EQ(list.page().front(), m.top) << m.code;
    }
    list.handle(win32::WM_VKEYTOITEM, win32::MakeWParam('D', 0), kWordListBox, r);
    EXPECT_EQ(list.page().front(), "dach");
    EXPECT_EQ(list.selectedWord(), "dach");
    list.handle(win32::WM_VKEYTOITEM, win32::MakeWParam('M', 0), kWordListBox, r);
    EXPECT_EQ(list.page().front(), "haus") << "near the end the last page";
    EXPECT_EQ(list.selectedWord(), "maus");
    d.type(kWordListField, "ei");
    list.handle(win32::WM_COMMAND, win32::MakeWParam(kWordListField, win32::EN_CHANGE), 0, r);
    EXPECT_EQ(list.page().front(), "ei");
    EXPECT_EQ(d.text(kWordListField), "ei");
}

} // namespace
} // namespace wortex::test
