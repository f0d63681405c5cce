// Checking a text in process, where the attachment's state and every adapter command can be seen.
#include "SpellTestSupport.h"

#include "platform/win32/EditControl.h"
#include "ApiWindow.h"
#include "Attachments.h"
#include "TextCheck.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace win32;

namespace wortex::test {
namespace {

// A host adapter that counts the commands and lets the EDIT adapter do the work; it can't copy the line
// unreadable.
std::vector<UINT> commands;
std::int32_t unreadable = -1;
LRESULT CountingAdapter(HWND h, UINT command, WPARAM w, LPARAM l) {
    commands.push_back(command);
    if (command == kAdGetLine && reinterpret_cast<LineRecord*>(l)->line == unreadable) return 0;
    return EditAdapterProc(h, command, w, l);
}

class TextCheck : public ::testing::Test {
protected:
    void SetUp() override {
        SetUiServices(&ui);
        api = WX_Init();
        std::string path = dir.file("woerter.wxd");
        ASSERT_NE(SendMessage(api, 1134, 'D', reinterpret_cast<LPARAM>(path.c_str())), 0);
        dictionary = SendMessage(api, 1135, 0, reinterpret_cast<LPARAM>(path.c_str()));
        for (const char* w : {"Die", "neue", "Genehmigung", "ist", "da", "Haus"})
            ASSERT_EQ(SendMessage(api, 1137, static_cast<WPARAM>(dictionary), reinterpret_cast<LPARAM>(w)),
                      1);
    }
    void TearDown() override {
        if (edit) DestroyWindow(edit);
        while (SendMessage(api, 1164, 0, 0)) {
        }
        SetUiServices(nullptr);
    }
    void window(const char* text, int wrap) {
        edit = CreateWindowEx(0, kEditClass, text, ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
        SetEditWrapWidth(edit, wrap);
        AttachRecord r{edit, 0, reinterpret_cast<std::uintptr_t>(&CountingAdapter)};
        ASSERT_EQ(SendMessage(api, 1194, 0, reinterpret_cast<LPARAM>(&r)), 1);
    }
    EditAttachment& attachment() {
        LibraryState* s = LockLibraryState();
        EditAttachment* a = FindAttachment(*s, edit);
        UnlockLibraryState();
        return *a;
    }

    TempDir dir;
    ScriptedUi ui;
    HWND api = 0, edit = 0;
    LRESULT dictionary = 0;
};

} // namespace

// At wrap 11 even "Ge-" does not fit behind "Die neue ": the trial writes put the text back and leave the
// change range as it was, which the suggestions dialog on the unknown word after them sees.
TEST_F(TextCheck, TrialWritesThatFindNoPointLeaveTextAndChangeRange) {
    const char* text = "Die neue Genehmigung ist da. Gartn";
    window(text, 11);
    struct Seen {
        std::string text;
        std::int32_t low, high;
    };
    std::vector<Seen> seen;
    ui.dialogScripts[1101] = [&](DialogModel& d) {
        seen.push_back({WindowText(edit), attachment().changeLow, attachment().changeHigh});
        d.click(1112);
    };
    attachment().changeLow = attachment().changeHigh = 0;
    commands.clear();
    CheckRange range{edit, 0, 0, 0, 0};
    EXPECT_EQ(SendMessage(api, 1201, 0, reinterpret_cast<LPARAM>(&range)), 1);
    EXPECT_GE(std::count(commands.begin(), commands.end(), kAdReplace), 2) << "a trial and the write back";
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].text, text);
    EXPECT_EQ(seen[0].low, 0);
    EXPECT_EQ(seen[0].high, 0);
    EXPECT_EQ(WindowText(edit), text);
}

// A second 1204 with nothing between comes from the library's cache without any adapter command; any other
// message to the library or the window in between has it worked out again.
TEST_F(TextCheck, AttachmentStateComesFromTheCacheUntilAnotherRequest) {
    window("Haus Gartn", 0);
    SendMessage(api, 1195, 1, static_cast<LPARAM>(edit)); // no typing check on the keys below
    SendMessage(edit, EM_SETSEL, 1, 1);
    AttachmentStateRecord first{};
    first.current.editWindow = edit;
    ASSERT_EQ(SendMessage(api, 1204, 0, reinterpret_cast<LPARAM>(&first)), 1);
    ASSERT_STREQ(first.atCaret.word, "Haus");
    struct Case {
        const char* name;
        std::function<void()> between;
        bool cached;
        const char* atCaret;
    } cases[] = {
        {"nothing", [] {}, true, "Haus"},
        {"nothing, again", [] {}, true, "Haus"},
        {"options read", [&] { SendMessage(api, 1126, 0, 0); }, false, "Haus"},
        {"caret moved by a key",
         [&] {
             SendMessage(edit, EM_SETSEL, 6, 6);
             SendMessage(edit, WM_KEYDOWN, VK_RIGHT, 0);
         },
         false, "Gartn"},
        {"nothing after it", [] {}, true, "Gartn"},
        {"line change notice", [&] { SendMessage(edit, kLineChanged, 0, 0); }, false, "Gartn"},
    };
    for (const Case& c : cases) {
        c.between();
        commands.clear();
        AttachmentStateRecord r{};
        r.current.editWindow = edit;
        EXPECT_EQ(SendMessage(api, 1204, 0, reinterpret_cast<LPARAM>(&r)), 1) << c.name;
        EXPECT_EQ(commands.empty(), c.cached) << c.name;
        EXPECT_STREQ(r.atCaret.word, c.atCaret) << c.name;
        EXPECT_EQ((r.bits & 0xE000) != 0, std::strcmp(c.atCaret, "Haus") == 0) << c.name;
    }
}

} // namespace wortex::test

namespace wortex::test {
namespace {

// The history of a check's corrections may hold the user's text: no one else may read it.
TEST_F(TextCheck, HistoryFileIsPrivate) {
    window("Die neue Gartn", 0);
    std::vector<std::string> seen;
    ui.dialogScripts[1101] = [&](DialogModel& d) {
        const std::string file = attachment().historyFile;
        struct stat st {};
        seen.push_back(file.empty() || ::stat(file.c_str(), &st) != 0 ? "keine Datei"
                                                                      : std::to_string(st.st_mode & 07777));
        d.click(1112);
    };
    CheckRange range{edit, 0, 0, 0, 0};
    EXPECT_EQ(SendMessage(api, 1201, 0, reinterpret_cast<LPARAM>(&range)), 1);
    EXPECT_EQ(seen, std::vector<std::string>{std::to_string(0600)});
    EXPECT_EQ(attachment().historyFile[0], 0) << "closed and deleted after the check";
}

// A range that starts before the text is checked from the text's start, at once.
TEST_F(TextCheck, RangesBeforeTheTextStartAtItsBeginning) {
    const char* text = "Die neue Gartn\r\nist da.";
    struct Case {
        std::int32_t column, line;
    } cases[] = {{INT_MIN, 0}, {-5, 0}, {0, -3}, {INT_MIN, INT_MIN}, {INT_MIN + 1, 1}};
    for (const Case& c : cases) {
        window(text, 0);
        std::vector<std::string> asked;
        ui.dialogScripts[1101] = [&](DialogModel& d) {
            asked.push_back(d.text(1114));
            d.click(1112);
        };
        auto started = std::chrono::steady_clock::now();
        CheckRange range{edit, c.column, c.line, 0, INT_MAX};
        EXPECT_EQ(SendMessage(api, 1201, 1, reinterpret_cast<LPARAM>(&range)), 1)
            << c.column << ", " << c.line;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2))
            << c.column << ", " << c.line;
        EXPECT_EQ(asked, std::vector<std::string>(c.line == 1 ? 0 : 1, "Gartn"))
            << c.column << ", " << c.line;
        EXPECT_EQ(WindowText(edit), text);
        DestroyWindow(edit);
        edit = 0;
    }
}

// A line the adapter can't copy ends the check as failed: 1201 gives 0 and the library says so, the text
// stays as it was.
TEST_F(TextCheck, ALineThatCannotBeReadFailsTheCheck) {
    const char* text = "Die neue Gartn\r\nist da Gartn.\r\nDie neue";
    window(text, 0);
    std::vector<std::string> asked;
    ui.dialogScripts[1101] = [&](DialogModel& d) {
        asked.push_back(d.text(1114));
        d.click(1112);
    };
    unreadable = 1;
    CheckRange range{edit, 0, 0, 0, INT_MAX};
    EXPECT_EQ(SendMessage(api, 1201, 1, reinterpret_cast<LPARAM>(&range)), 0);
    unreadable = -1;
    EXPECT_EQ(asked, std::vector<std::string>{"Gartn"});
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Wort konnte nicht ersetzt werden.");
    EXPECT_TRUE(ui.beeps.empty());
    EXPECT_EQ(WindowText(edit), text);
}

// The word dialog on a word hyphenated over a line break of the text: the replacement keeps the break and
// its hyphen where it can, and never joins the lines.
TEST_F(TextCheck, WordDialogKeepsALineBreakInsideTheWord) {
    for (const char* w : {"Rechnung", "Abrechnung"})
        SendMessage(api, 1137, static_cast<WPARAM>(dictionary), reinterpret_cast<LPARAM>(w));
    struct Case {
        const char* replacement;
        const char* after;
    } cases[] = {
        {"Rechnung", "Die Rech-\r\nnung ist da."},
        {"Rechnungen", "Die Rech-\r\nnungen ist da."},
        {"Abrechnung", "Die Abrechnung\r\n ist da."},
    };
    for (const Case& c : cases) {
        window("Die Rech-\r\nnnung ist da.", 0);
        SendMessage(api, 1195, 1, static_cast<LPARAM>(edit)); // no typing check on the caret keys
        SendMessage(edit, EM_SETSEL, 13, 13);
        std::string asked;
        ui.dialogScripts[1101] = [&](DialogModel& d) {
            asked = d.text(1114);
            d.type(1101, c.replacement);
            d.click(1111);
        };
        EXPECT_EQ(SendMessage(api, 1196, 0x12, static_cast<LPARAM>(edit)), 1) << c.replacement;
        EXPECT_EQ(asked, "Rech~nnung");
        EXPECT_EQ(WindowText(edit), c.after);
        DestroyWindow(edit);
        edit = 0;
    }
}

} // namespace
} // namespace wortex::test
