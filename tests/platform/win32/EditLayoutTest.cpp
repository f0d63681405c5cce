// The EDIT control keeps its layout across edits: after any sequence of changes its lines, line answers and
// caret moves must be those of a control given the final text at once.
#include "platform/win32/EditControl.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <ostream>
#include <random>
#include <string>
#include <vector>

using namespace win32;

namespace {

struct Answers {
    std::vector<LRESULT> index, length, lineOf, lengthAt;
    std::vector<std::string> text;
    bool operator==(const Answers&) const = default;
};

void PrintTo(const Answers& a, std::ostream* os) {
    auto list = [&](const char* name, const std::vector<LRESULT>& v) {
        *os << name << ":";
        for (LRESULT x : v)
            *os << " " << x;
        *os << "\n";
    };
    list("index", a.index);
    list("length", a.length);
    list("lineOf", a.lineOf);
    list("lengthAt", a.lengthAt);
    for (const auto& t : a.text)
        *os << "[" << t << "]";
}

HWND makeEdit(const std::string& text, bool multi, int wrap) {
    HWND h =
        CreateWindowEx(0, kEditClass, text.c_str(), multi ? ES_MULTILINE : 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    SetEditWrapWidth(h, wrap);
    return h;
}

Answers answers(HWND h) {
    Answers a;
    auto n = SendMessage(h, EM_GETLINECOUNT, 0, 0);
    for (LRESULT i = 0; i <= n; ++i) {
        LRESULT start = SendMessage(h, EM_LINEINDEX, static_cast<WPARAM>(i), 0);
        a.index.push_back(start);
        if (i == n) break;
        a.length.push_back(SendMessage(h, EM_LINELENGTH, static_cast<WPARAM>(start), 0));
        std::vector<char> buffer(512);
        std::uint16_t max = 511;
        std::memcpy(buffer.data(), &max, 2);
        auto got =
            SendMessage(h, EM_GETLINE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(buffer.data()));
        a.text.emplace_back(buffer.data(), static_cast<std::size_t>(got));
    }
    auto size = static_cast<WPARAM>(GetWindowTextLength(h));
    for (WPARAM p = 0; p <= size; ++p) {
        a.lineOf.push_back(SendMessage(h, EM_LINEFROMCHAR, p, 0));
        a.lengthAt.push_back(SendMessage(h, EM_LINELENGTH, p, 0));
    }
    a.lineOf.push_back(SendMessage(h, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0));
    a.index.push_back(SendMessage(h, EM_LINEINDEX, static_cast<WPARAM>(-1), 0));
    a.lengthAt.push_back(SendMessage(h, EM_LINELENGTH, static_cast<WPARAM>(-1), 0));
    return a;
}

std::pair<DWORD, DWORD> selection(HWND h) {
    DWORD a = 0, b = 0;
    SendMessage(h, EM_GETSEL, reinterpret_cast<WPARAM>(&a), reinterpret_cast<LPARAM>(&b));
    return {a, b};
}

// A control given the text and selection of edit at once.
HWND freshCopy(HWND edit, bool multi, int wrap) {
    HWND h = makeEdit(WindowText(edit), multi, wrap);
    auto [anchor, caret] = selection(edit);
    SendMessage(h, EM_SETSEL, anchor, caret);
    return h;
}

} // namespace

TEST(EditLayout, RandomEditsGiveTheLayoutOfTheFinalText) {
    const char* const pieces[] = {"a",  "wort", " ",      "   ", "-",        "\r\n",
                                  "\r", "\n",   "ab-cd ", "\t",  "xyzxyzxyz"};
    const WPARAM chars[] = {'e', ' ', '-', VK_BACK, VK_RETURN, '\t'};
    const WPARAM keys[] = {VK_DELETE, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END};
    struct Case {
        bool multi;
        int wrap;
    } cases[] = {{true, 0}, {true, 1}, {true, 2}, {true, 3}, {true, 5}, {true, 8}, {true, 13}, {false, 4}};
    for (const Case& c : cases) {
        std::mt19937 random(static_cast<unsigned>(7 + c.wrap * 2 + c.multi));
        auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
        HWND edit = makeEdit("eins zwei drei\r\nvier", c.multi, c.wrap);
        for (int step = 0; step < 600; ++step) {
            const std::size_t size = WindowText(edit).size();
            switch (pick(5)) {
            case 0: {
                std::string with;
                for (std::size_t k = pick(4); k > 0; --k)
                    with += pieces[pick(std::size(pieces))];
                WPARAM from = pick(size + 1);
                LPARAM to = static_cast<LPARAM>(size > 200 ? size : from + pick(size + 1 - from));
                SendMessage(edit, EM_SETSEL, from, to);
                SendMessage(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(with.c_str()));
                break;
            }
            case 1:
                SendMessage(edit, WM_CHAR, chars[pick(std::size(chars))], 0);
                break;
            case 2:
                SendMessage(edit, WM_KEYDOWN, keys[pick(std::size(keys))], 0);
                break;
            case 3: {
                // Forward only, so that a control given the same selection has its caret at the same end.
                std::size_t from = pick(size + 1), to = pick(size + 1);
                SendMessage(edit, EM_SETSEL, std::min(from, to), static_cast<LPARAM>(std::max(from, to)));
                break;
            }
            default:
                if (pick(20) == 0) SetWindowText(edit, pieces[pick(std::size(pieces))]);
                break;
            }
            HWND fresh = freshCopy(edit, c.multi, c.wrap);
            ASSERT_EQ(answers(edit), answers(fresh)) << "wrap " << c.wrap << ", step " << step;
            WPARAM key = keys[1 + pick(std::size(keys) - 1)];
            SendMessage(edit, WM_KEYDOWN, key, 0);
            SendMessage(fresh, WM_KEYDOWN, key, 0);
            ASSERT_EQ(selection(edit), selection(fresh)) << "wrap " << c.wrap << ", step " << step;
            DestroyWindow(fresh);
        }
        // A new width lays the kept text out anew.
        SetEditWrapWidth(edit, c.wrap + 3);
        HWND fresh = freshCopy(edit, c.multi, c.wrap + 3);
        EXPECT_EQ(answers(edit), answers(fresh)) << "wrap " << c.wrap + 3;
        DestroyWindow(fresh);
        DestroyWindow(edit);
    }
}

TEST(EditLayout, ChangesThatMoveTheBreakOfAnEarlierLine) {
    struct Case {
        const char* text;
        int wrap;
        WPARAM from;
        LPARAM to;
        const char* with;
        std::vector<LRESULT> starts; // after the change
    } cases[] = {
        {"ab cd\rxy", 5, 6, 6, "\n", {0, 7}}, // a CR LF comes to stand at the width
        {"ab cd\r\nxy", 5, 6, 7, "", {0, 3}}, // and goes again
        {"ab   cd", 3, 5, 6, " ", {0, 6}},    // the blanks hanging over the end grow
        {"ab-c defgh", 4, 5, 6, " ", {0, 6}}, // at the start of the next line
        {"ab-cdefg", 5, 2, 3, "", {0, 5}},    // a hyphen that allowed the break goes
        {"a-b-c-d-e-f", 2, 1, 1, "x", {0, 2, 3, 5, 7, 9, 11}},
        {"eins\r\nzwei drei vier", 6, 4, 6, "", {0, 6, 9, 14}}, // two paragraphs become one
    };
    for (const Case& c : cases) {
        HWND edit = makeEdit(c.text, true, c.wrap);
        SendMessage(edit, EM_SETSEL, c.from, c.to);
        SendMessage(edit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(c.with));
        HWND fresh = freshCopy(edit, true, c.wrap);
        EXPECT_EQ(answers(edit), answers(fresh)) << c.text;
        std::vector<LRESULT> starts;
        for (LRESULT i = 0; i < SendMessage(edit, EM_GETLINECOUNT, 0, 0); ++i)
            starts.push_back(SendMessage(edit, EM_LINEINDEX, static_cast<WPARAM>(i), 0));
        EXPECT_EQ(starts, c.starts) << c.text;
        DestroyWindow(fresh);
        DestroyWindow(edit);
    }
}
