// Texts as users have them: hard line breaks after words, capitalised words at line starts, typing across
// Return. Checked through the EDIT stand-in, the rich-text control and a host adapter over lines in memory,
// with the shipped options and with automatic hyphenation off; the text must change only where a
// correction is intended.
#include "HostText.h"
#include "SuggestionAnswers.h"
#include "SpellTestSupport.h"

#include "platform/win32/EditControl.h"
#include "ApiWindow.h"
#include "Attachments.h"
#include "TextCheck.h"

#include <cstring>
#include <map>
#include <string>
#include <vector>

using namespace win32;

namespace wortex::test {
namespace {

constexpr std::uint32_t kShipped = 0x3F07E;

enum class Kind { Edit, Rich, Host };
const char* nameOf(Kind k) {
    return k == Kind::Edit ? "EDIT" : k == Kind::Rich ? "rich text" : "host adapter";
}

class LineEnds : public ::testing::Test {
protected:
    void SetUp() override {
        SetUiServices(&ui);
        api = WX_Init();
        std::string path = dir.file("woerter.wxd");
        ASSERT_NE(SendMessage(api, 1134, 'D', reinterpret_cast<LPARAM>(path.c_str())), 0);
        dictionary = SendMessage(api, 1135, 0, reinterpret_cast<LPARAM>(path.c_str()));
    }
    void TearDown() override {
        close();
        while (SendMessage(api, 1164, 0, 0)) {
        }
        SetUiServices(nullptr);
    }
    void words(const std::vector<std::string>& list) {
        for (const auto& w : list)
            ASSERT_EQ(SendMessage(api, 1137, static_cast<WPARAM>(dictionary), reinterpret_cast<LPARAM>(w.c_str())),
                      1)
                << w;
    }
    void options(std::uint32_t o) { SendMessage(api, 1126, 2, static_cast<LPARAM>(o)); }
    void open(Kind k, const std::string& text, int wrap = 0) {
        close();
        kind = k;
        std::uintptr_t adapter = kEditAdapter;
        if (k == Kind::Edit) {
            edit = CreateWindowEx(0, kEditClass, text.c_str(), ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
            SetEditWrapWidth(edit, wrap);
        } else if (k == Kind::Rich) {
            edit = CreateWindowEx(0, kRichTextClass, text.c_str(), 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
            adapter = kRichTextAdapter;
        } else {
            host().set(text);
            edit = HostWindow();
            adapter = reinterpret_cast<std::uintptr_t>(&HostAdapter);
        }
        AttachRecord r{edit, 0, adapter};
        ASSERT_EQ(SendMessage(api, 1194, 0, reinterpret_cast<LPARAM>(&r)), 1);
    }
    void close() {
        if (edit) DestroyWindow(edit);
        edit = 0;
    }
    std::string text() const { return kind == Kind::Host ? host().text() : WindowText(edit); }
    std::pair<int, int> caret() {
        LibraryState* s = LockLibraryState();
        EditAttachment* a = FindAttachment(*s, edit);
        std::int32_t line = -1;
        auto column = a ? static_cast<int>(Adapter(*a, kAdGetCaret, 0, reinterpret_cast<LPARAM>(&line))) : -1;
        UnlockLibraryState();
        return {column, line};
    }
    LRESULT check() {
        CheckRange r{edit, 0, 0, 0, 0x7FFFFFFF};
        return SendMessage(api, 1201, 1, reinterpret_cast<LPARAM>(&r));
    }
    void type(const std::string& keys) {
        for (char ch : keys) {
            if (ch == '\n') {
                SendMessage(edit, WM_KEYDOWN, VK_RETURN, 0);
                SendMessage(edit, WM_CHAR, VK_RETURN, 0);
            } else {
                SendMessage(edit, WM_CHAR, static_cast<unsigned char>(ch), 0);
            }
        }
    }
    // Answers the suggestions dialog from a table; words without an entry are ignored.
    void answer(const std::map<std::string, std::string>& replacements) {
        AnswerSuggestions(ui, asked, replacements);
        ui.dialogScripts[1000] = [](DialogModel& d) { d.click(102); };
    }
    static std::pair<int, int> endOf(const std::string& t) {
        std::size_t last = t.rfind("\r\n");
        std::size_t from = last == std::string::npos ? 0 : last + 2;
        int lines = 0;
        for (std::size_t p = t.find("\r\n"); p != std::string::npos; p = t.find("\r\n", p + 2))
            ++lines;
        return {static_cast<int>(t.size() - from), lines};
    }

    TempDir dir;
    ScriptedUi ui;
    HWND api = 0, edit = 0;
    LRESULT dictionary = 0;
    Kind kind = Kind::Edit;
    std::vector<std::string> asked;
};

const Kind kKinds[] = {Kind::Edit, Kind::Rich, Kind::Host};
const std::uint32_t kOptionSets[] = {kShipped, kShipped & ~kOptionAutoSplit};

} // namespace

// Lines that end in a word, followed by lines that begin with a capitalised word, some of which the check
// corrects: only the intended corrections change the text, and the check reaches the last line.
TEST_F(LineEnds, HardLineEndsKeepTheirWords) {
    words({"Das", "ist", "gut", "hier", "einige", "Zitate", "Befehl", "gibt", "der", "Plan", "den", "Auftrag",
           "Genehmigung", "Stadt", "Bauherr", "Rechnung", "Architektur"});
    struct Case {
        const char* name;
        const char* before;
        const char* after;
    } cases[] = {
        {"capitalised word after a line ending in a word", "Das ist gut\r\nHier einige Zitate",
         "Das ist gut\r\nHier einige Zitate"},
        {"no gluing over a hard break", "Der Befehl\r\ngibt den Plan", "Der Befehl\r\ngibt den Plan"},
        {"long words at line starts", "Der Plan\r\nGenehmigung der Stadt\r\nRechnung der Bauherr",
         "Der Plan\r\nGenehmigung der Stadt\r\nRechnung der Bauherr"},
        {"a typo at a line start", "Der Plan ist gut\r\nGenemigung der Stadt",
         "Der Plan ist gut\r\nGenehmigung der Stadt"},
    };
    for (std::uint32_t o : kOptionSets) {
        options(o);
        for (Kind k : kKinds) {
            for (const Case& c : cases) {
                answer({{"Genemigung", "Genehmigung"}});
                asked.clear();
                open(k, c.before);
                EXPECT_EQ(check(), 1);
                std::string where = std::string(nameOf(k)) + ", " + c.name + ", options " + std::to_string(o);
                EXPECT_EQ(text(), c.after) << where;
                EXPECT_EQ(caret(), endOf(c.after)) << where << ": the check reached the last line";
            }
        }
    }
}

// A paragraph the window wraps: the check may hyphenate a word at a line start into the line above, but
// it loses no text and corrects only the typos, with automatic hyphenation on and off.
TEST_F(LineEnds, WrappedParagraphLosesNothing) {
    words({"Bauherr", "zahlt", "die", "Rechnung", "den", "Plan", "der", "Stadt", "und", "Genehmigung",
           "Architektur", "ist", "gut", "Auftrag", "liegt", "vor", "Das"});
    const std::string right = "Der Bauherr zahlt die Rechnung, der Plan der Stadt liegt vor und die "
                              "Genehmigung ist gut. Das Auftrag der Architektur ist gut und der Plan liegt "
                              "vor.\r\nDer Bauherr zahlt.";
    std::string typed = right;
    typed.replace(typed.find("Rechnung"), 8, "Rechnnung");
    typed.replace(typed.find("Genehmigung"), 11, "Genemigung");
    typed.replace(typed.find("Architektur"), 11, "Arhitektur");
    auto plain = [](std::string t) {
        std::erase(t, '-');
        return t;
    };
    for (std::uint32_t o : kOptionSets) {
        options(o);
        for (int wrap : {24, 31, 40}) {
            answer({{"Rechnnung", "Rechnung"}, {"Genemigung", "Genehmigung"}, {"Arhitektur", "Architektur"}});
            asked.clear();
            open(Kind::Edit, typed, wrap);
            EXPECT_EQ(check(), 1);
            EXPECT_EQ(plain(text()), right) << "wrap " << wrap << ", options " << o;
            EXPECT_EQ(asked, (std::vector<std::string>{"Rechnnung", "Genemigung", "Arhitektur"})) << wrap;
            EXPECT_EQ(caret(), std::make_pair(static_cast<int>(SendMessage(edit, EM_LINELENGTH,
                                                                           static_cast<WPARAM>(text().size()), 0)),
                                              static_cast<int>(SendMessage(edit, EM_GETLINECOUNT, 0, 0)) - 1))
                << "the check reached the last line, wrap " << wrap;
        }
    }
}

// Typing with the immediate check on, across Return.
TEST_F(LineEnds, TypingAcrossReturn) {
    words({"Das", "Haus", "Neue", "Zeile", "steht"});
    struct Case {
        const char* keys;
        const char* after;
    } cases[] = {
        {"Das Haus\nNeue Zeile ", "Das Haus\r\nNeue Zeile "},
        {"Das Haus steht\nDas Haus ", "Das Haus steht\r\nDas Haus "},
        {"Das Haus\n\nNeue Zeile\n", "Das Haus\r\n\r\nNeue Zeile\r\n"},
    };
    for (std::uint32_t o : kOptionSets) {
        options(o);
        for (Kind k : {Kind::Edit, Kind::Host}) {
            for (const Case& c : cases) {
                open(k, "");
                type(c.keys);
                EXPECT_EQ(text(), c.after) << nameOf(k) << ", options " << o;
                EXPECT_EQ(caret(), endOf(c.after)) << nameOf(k) << ", options " << o;
            }
        }
    }
}

// A host adapter that does not tell how its lines end: every line end counts as a break of the text, so no
// word runs on over it and nothing is written across it.
TEST_F(LineEnds, AHostThatDoesNotTellLineEndsLosesNothing) {
    words({"Das", "ist", "gut", "hier", "einige", "Zitate", "Plan", "Genehmigung", "der", "Stadt"});
    struct Case {
        const char* before;
        const char* after;
    } cases[] = {
        {"Das ist gut\r\nHier einige Zitate", "Das ist gut\r\nHier einige Zitate"},
        {"Der Plan ist gut\r\nGenehmigung der Stadt", "Der Plan ist gut\r\nGenehmigung der Stadt"},
        {"Das ist gut\r\nHier\r\nHier einige Zitate", "Das ist gut\r\nHier\r\nHier einige Zitate"},
    };
    answer({});
    for (std::uint32_t o : kOptionSets) {
        options(o);
        for (const Case& c : cases) {
            open(Kind::Host, c.before);
            host().tellsBreaks = false;
            EXPECT_EQ(check(), 1);
            EXPECT_EQ(text(), c.after) << o;
            EXPECT_EQ(caret(), endOf(c.after)) << o;
            host().tellsBreaks = true;
        }
    }
}

} // namespace wortex::test
