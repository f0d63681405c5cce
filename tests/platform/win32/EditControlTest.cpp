#include "platform/win32/EditControl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace win32;

namespace {

struct Edit {
    HWND h;
    Edit(const char* text, bool multi = true, int wrap = 0) {
        h = CreateWindowEx(0, kEditClass, text, multi ? ES_MULTILINE : 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
        SetEditWrapWidth(h, wrap);
    }
    ~Edit() { DestroyWindow(h); }
    std::vector<std::string> lines() const {
        std::vector<std::string> out;
        auto n = SendMessage(h, EM_GETLINECOUNT, 0, 0);
        for (LRESULT i = 0; i < n; ++i) {
            char buffer[300] = {};
            std::uint16_t max = 299;
            std::memcpy(buffer, &max, 2);
            auto got = SendMessage(h, EM_GETLINE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer));
            out.emplace_back(buffer, static_cast<std::size_t>(got));
        }
        return out;
    }
    std::pair<DWORD, DWORD> sel() const {
        DWORD a = 0, b = 0;
        SendMessage(h, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
        return {a, b};
    }
};

} // namespace

TEST(EditControl, WrapsSoftLinesAtTheWidth) {
    struct Case {
        const char* text;
        int width;
        std::vector<std::string> lines;
    } cases[] = {
        {"eins zwei drei", 0, {"eins zwei drei"}},
        {"eins zwei drei", 9, {"eins zwei ", "drei"}},
        {"eins zwei drei", 5, {"eins ", "zwei ", "drei"}},
        {"eins     zwei", 6, {"eins     ", "zwei"}},             // blanks hang at the line end
        {"Haus-T\xfcr offen", 7, {"Haus-", "T\xfcr ", "offen"}}, // after a hyphen
        {"Donaudampfschiff", 6, {"Donaud", "ampfsc", "hiff"}},
        {"ab\r\ncd ef gh\r\n", 5, {"ab", "cd ef ", "gh", ""}},
    };
    for (const Case& c : cases) {
        Edit e(c.text, true, c.width);
        EXPECT_EQ(e.lines(), c.lines) << c.text << " / " << c.width;
    }
}

TEST(EditControl, LineMessagesAndSelection) {
    Edit e("eins\r\nzwei drei\r\n", true, 0);
    EXPECT_EQ(SendMessage(e.h, EM_LINEINDEX, 1, 0), 6);
    EXPECT_EQ(SendMessage(e.h, EM_LINEINDEX, 2, 0), 17);
    EXPECT_EQ(SendMessage(e.h, EM_LINEINDEX, 3, 0), -1);
    EXPECT_EQ(SendMessage(e.h, EM_LINELENGTH, 8, 0), 9);
    EXPECT_EQ(SendMessage(e.h, EM_LINEFROMCHAR, 16, 0), 1);
    SendMessage(e.h, EM_SETSEL, 10, 8);
    EXPECT_EQ(e.sel(), (std::pair<DWORD, DWORD>{8, 10}));
    EXPECT_EQ(SendMessage(e.h, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0), 1);
    EXPECT_EQ(SendMessage(e.h, EM_LINEINDEX, static_cast<WPARAM>(-1), 0), 6);
    SendMessage(e.h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("EI"));
    EXPECT_EQ(WindowText(e.h), "eins\r\nzwEI drei\r\n");
    EXPECT_EQ(e.sel(), (std::pair<DWORD, DWORD>{10, 10}));
    SendMessage(e.h, EM_SETSEL, 0, -1);
    EXPECT_EQ(e.sel(), (std::pair<DWORD, DWORD>{0, 17}));
}

TEST(EditControl, SingleLineHasOneLine) {
    Edit e("ab\r\ncd", false);
    EXPECT_EQ(SendMessage(e.h, EM_GETLINECOUNT, 0, 0), 1);
    SendMessage(e.h, EM_SETSEL, 0, 0);
    SendMessage(e.h, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("x\r\ny"));
    EXPECT_EQ(WindowText(e.h).substr(0, 2), "xy");
}

TEST(EditControl, Typing) {
    struct Step {
        UINT message;
        WPARAM key;
    };
    struct Case {
        const char* start;
        DWORD caret;
        std::vector<Step> steps;
        const char* text;
        DWORD caretAfter;
    } cases[] = {
        {"ab", 2, {{WM_CHAR, 'c'}}, "abc", 3},
        {"ab", 1, {{WM_CHAR, VK_RETURN}}, "a\r\nb", 3},
        {"a\r\nb", 3, {{WM_CHAR, VK_BACK}}, "ab", 1},
        {"a\r\nb", 1, {{WM_KEYDOWN, VK_DELETE}}, "ab", 1},
        {"ab", 0, {{WM_CHAR, VK_BACK}}, "ab", 0},
        {"abc", 3, {{WM_KEYDOWN, VK_LEFT}, {WM_KEYDOWN, VK_LEFT}, {WM_CHAR, 'x'}}, "axbc", 2},
        {"a\r\nb", 1, {{WM_KEYDOWN, VK_RIGHT}, {WM_CHAR, 'x'}}, "a\r\nxb", 4},
        {"abc\r\nd", 2, {{WM_KEYDOWN, VK_DOWN}}, "abc\r\nd", 6},
        {"abc\r\nde", 6, {{WM_KEYDOWN, VK_UP}, {WM_KEYDOWN, VK_END}}, "abc\r\nde", 3},
        {"abc", 2, {{WM_KEYDOWN, VK_HOME}, {WM_KEYDOWN, VK_DELETE}}, "bc", 0},
    };
    for (const Case& c : cases) {
        Edit e(c.start);
        SendMessage(e.h, EM_SETSEL, c.caret, c.caret);
        for (const Step& s : c.steps)
            SendMessage(e.h, s.message, s.key, 0);
        EXPECT_EQ(WindowText(e.h), c.text) << c.start;
        EXPECT_EQ(e.sel().second, c.caretAfter) << c.start;
    }
}

TEST(RichTextControl, CaretSelectionAndReplace) {
    HWND h = CreateWindowEx(0, kRichTextClass, "eins zwei\r\ndrei vier\r\nf\xfcnf", 0, 0, 0, 0, 0, 0, 0, 0,
                            nullptr);
    EXPECT_EQ(SendMessage(h, RT_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessage(h, RT_LINELENGTH, 0, 1), 9);
    SendMessage(h, RT_SETCARET, 5, 0);
    SendMessage(h, RT_SELECT, 4, 1); // to column 4 of line 1
    SendMessage(h, RT_REPLACESEL, 0, reinterpret_cast<LPARAM>("X"));
    auto* caret = reinterpret_cast<std::int32_t*>(SendMessage(h, RT_GETCARET, 0, 0));
    EXPECT_EQ(caret[0], 6);
    EXPECT_EQ(caret[1], 0);
    EXPECT_EQ(WindowText(h), "eins X vier\r\nf\xfcnf");
    char buffer[64];
    EXPECT_NE(SendMessage(h, RT_GETCARETLINE, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_STREQ(buffer, "eins X vier");
    EXPECT_EQ(SendMessage(h, RT_FIRSTVISIBLE, 0, 0), 0);
    SetRichTextView(h, 2, 1, true);
    auto* first = reinterpret_cast<std::int32_t*>(SendMessage(h, RT_FIRSTVISIBLE, 0, 0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first[1], 1);
    EXPECT_NE(SendMessage(h, RT_VIEWUNCHANGED, 0, 0), 0);
    SendMessage(h, RT_SETSTATUS, 3, reinterpret_cast<LPARAM>("abcdef"));
    EXPECT_EQ(WindowText(h), "abc");
    DestroyWindow(h);
}
