#include "DialogTestSupport.h"

#include "platform/win32/EditControl.h"
#include "ApiWindow.h"
#include "Attachments.h"
#include "CorrectionDialogs.h"

#include <algorithm>
#include <cstring>

namespace wortex::test {
namespace {

using namespace win32;
constexpr UINT WM_PAINT = 0x000F;

class SuggestionsDlg : public DialogTest {
protected:
    // Runs dialog 1101 for word; the script runs after the first paint unless paint is false.
    int run(const char* word, std::function<void(DialogModel&)> script, bool mayReplace = true,
            bool mayIgnore = true, bool paint = true) {
        ui.dialogScripts[kSuggestionsDialog] = [=](DialogModel& d) {
            if (paint) d.send(WM_PAINT, 0, 0);
            script(d);
        };
        replacement[0] = 0;
        return SuggestionsDialog(0, nullptr, word, replacement, mayReplace, mayIgnore,
                                 [this](unsigned t) { topics.push_back(t); });
    }
    static int indexOf(DialogModel& d, const std::string& text) {
        for (int k = 0; k < d.itemCount(1106); ++k)
            if (d.itemText(1106, k) == text) return k;
        return -1;
    }
    char replacement[64] = {};
    std::vector<unsigned> topics;
};

TEST_F(SuggestionsDlg, OpeningStateAndFirstPaint) {
    dictionary("deutsch.wxd", 'd', {"haus", "maus"});
    bool checked = true, enabled = true, replaceOn = true, alwaysOn = true, emptyBeforePaint = false;
    int count = 0, selection = 0, focus = 0;
    run(
        "Hauss",
        [&](DialogModel& d) {
            checked = d.checked(1105);
            enabled = d.enabled(1105);
            replaceOn = d.enabled(1111);
            alwaysOn = d.enabled(1110);
            emptyBeforePaint = d.itemCount(1106) == 0;
            d.send(WM_PAINT, 0, 0);
            count = d.itemCount(1106);
            selection = d.selection(1106);
            focus = d.focus();
            EXPECT_EQ(d.text(1114), "Hauss");
            EXPECT_FALSE(d.enabled(1107)) << "new suggestions disabled after the search";
            EXPECT_TRUE(d.enabled(1104)) << "the word itself is in no dictionary";
            EXPECT_FALSE(d.enabled(1102));
        },
        true, true, false);
    EXPECT_FALSE(checked) << "one dictionary open";
    EXPECT_FALSE(enabled);
    EXPECT_FALSE(replaceOn) << "replacement equal to the word";
    EXPECT_FALSE(alwaysOn);
    EXPECT_TRUE(emptyBeforePaint);
    EXPECT_GT(count, 0);
    EXPECT_EQ(selection, -1) << "no suggestion selected automatically";
    EXPECT_EQ(focus, 1106);
    EXPECT_NE(std::find(ui.calls.begin(), ui.calls.end(), "SetCursor 32514"), ui.calls.end());
    EXPECT_EQ(ui.calls.front(), "ShowCursor 1");
    EXPECT_EQ(ui.calls.back(), "ShowCursor 0");
}

TEST_F(SuggestionsDlg, TwoDictionariesCheckOtherFiles) {
    dictionary("deutsch.wxd", 'd', {"haus"});
    dictionary("zwei.wxd", 'd', {"maus"});
    run("Hauss", [](DialogModel& d) {
        EXPECT_TRUE(d.checked(1105));
        EXPECT_TRUE(d.enabled(1105));
    });
}

TEST_F(SuggestionsDlg, SuggestionTakesTheCaseOfTheWord) {
    dictionary("deutsch.wxd", 'd', {"haus"});
    struct Case {
        const char* word;
        const char* taken;
    } cases[] = {{"HAUSS", "HAUS"}, {"Hauss", "Haus"}, {"hauss", "haus"}};
    for (const Case& c : cases) {
        std::string text;
        bool replaceOn = false;
        EXPECT_EQ(run(c.word,
                      [&](DialogModel& d) {
                          int k = indexOf(d, "haus");
                          ASSERT_GE(k, 0);
                          d.select(1106, k);
                          text = d.text(1101);
                          replaceOn = d.enabled(1111);
                          d.click(1111);
                      }),
                  kReplace)
            << c.word;
        EXPECT_EQ(text, c.taken);
        EXPECT_TRUE(replaceOn);
        EXPECT_STREQ(replacement, c.taken);
    }
}

TEST_F(SuggestionsDlg, ResultsEnterAndEscape) {
    dictionary("deutsch.wxd", 'd', {"haus"});
    struct Case {
        const char* name;
        bool mayIgnore;
        std::function<void(DialogModel&)> script;
        int result;
    } cases[] = {
        {"replace", true,
         [](DialogModel& d) {
             d.type(1101, "Haus");
             d.click(1111);
         },
         kReplace},
        {"ignore", true, [](DialogModel& d) { d.click(1112); }, kIgnore},
        {"stop", true, [](DialogModel& d) { d.click(1113); }, kStop},
        {"close", true, [](DialogModel& d) { d.close(); }, kStop},
        {"enter elsewhere", true,
         [](DialogModel& d) {
             d.setFocus(1105);
             d.enter();
         },
         kIgnore},
        {"enter without ignore", false,
         [](DialogModel& d) {
             d.setFocus(1105);
             d.enter();
         },
         kStop},
        {"escape", true,
         [](DialogModel& d) {
             d.setFocus(1113);
             d.escape();
         },
         kStop},
        {"enter in the list", true,
         [](DialogModel& d) {
             d.select(1106, indexOf(d, "haus"));
             d.enter();
         },
         kReplace},
        {"double click", true, [](DialogModel& d) { d.doubleClick(1106, indexOf(d, "haus")); }, kReplace},
        {"enter in the field goes to the default button", true,
         [](DialogModel& d) {
             d.type(1101, "Haus");
             d.enter();
             EXPECT_EQ(d.focus(), 1112);
             EXPECT_FALSE(d.ended());
             d.type(1101, "Haus");
             d.escape();
             EXPECT_EQ(d.focus(), 1112);
             EXPECT_FALSE(d.ended());
             d.click(1113);
         },
         kStop},
    };
    for (const Case& c : cases)
        EXPECT_EQ(run("Hauss", c.script, true, c.mayIgnore), c.result) << c.name;
    run(
        "Hauss",
        [](DialogModel& d) {
            EXPECT_FALSE(d.visible(1112)) << "hidden when ignoring is not allowed";
            d.click(1108);
            d.click(1113);
        },
        true, false);
    EXPECT_EQ(topics, std::vector<unsigned>{10});
}

TEST_F(SuggestionsDlg, InsertFailureAndUserFile) {
    dictionary("deutsch.wxd", 'd', {"haus"});
    CloseAllDictionaries();
    ASSERT_NE(OpenDictionary(true, cwd.file("deutsch.wxd")), 0);
    bool insertAfter = true;
    run("Hauss", [&](DialogModel& d) {
        d.type(1101, "Mauss");
        ASSERT_TRUE(d.enabled(1104));
        d.click(1104);
        insertAfter = d.enabled(1104);
        d.click(1113);
    });
    EXPECT_EQ(texts(), std::vector<std::string>{"Wort konnte nicht eingef\xfcgt werden.|Wortex"});
    EXPECT_FALSE(insertAfter);

    ASSERT_EQ(OpenUserFile(cwd.file("deutsch.wud")), 1);
    EXPECT_EQ(run("Hauss",
                  [](DialogModel& d) {
                      d.type(1101, "Haus");
                      d.click(1110);
                  }),
              kReplace);
    EXPECT_EQ(run("Mauss", [](DialogModel& d) { d.click(1109); }), kIgnore);
    char correction[64];
    int action = 0;
    ASSERT_EQ(LookupUserWord("Hauss", correction, &action), 1);
    EXPECT_EQ(action, kUserReplace);
    EXPECT_STREQ(correction, "Haus");
    ASSERT_EQ(LookupUserWord("Mauss", correction, &action), 1);
    EXPECT_EQ(action, kUserIgnore);
}

// "Immer ..." opens the main dictionary's user file when none is open; without one it says so and the
// dialog still ends as clicked.
TEST_F(SuggestionsDlg, AlwaysButtonsOpenTheUserFileOrSayThereIsNone) {
    dictionary("deutsch.wxd", 'd', {"haus"});
    CloseAllDictionaries();
    ASSERT_NE(OpenDictionary(true, cwd.file("deutsch.wxd")), 0);
    EXPECT_EQ(run("Mauss", [](DialogModel& d) { d.click(1109); }), kIgnore);
    EXPECT_EQ(texts(), std::vector<std::string>{"Keine Benutzerdatei offen.|Wortex"});

    ui.shown.clear();
    CloseAllDictionaries();
    DBHandle main = OpenDictionary(false, cwd.file("deutsch.wxd"));
    ASSERT_EQ(SetMainDictionary(main), 1);
    EXPECT_EQ(run("Mauss", [](DialogModel& d) { d.click(1109); }), kIgnore);
    EXPECT_EQ(run("Hauss",
                  [](DialogModel& d) {
                      d.type(1101, "Haus");
                      d.click(1110);
                  }),
              kReplace);
    EXPECT_TRUE(texts().empty());
    int action = 0;
    EXPECT_EQ(LookupUserWord("Mauss", nullptr, &action), 1);
    EXPECT_EQ(action, kUserIgnore);
    EXPECT_EQ(LookupUserWord("Hauss", nullptr, &action), 1);
    EXPECT_EQ(action, kUserReplace);
}

TEST_F(SuggestionsDlg, DescriptionLabelAndInsert) {
    DBHandle h = dictionary("deutsch.wxd", 'd', {"haus"});
    ASSERT_EQ(AddDictionaryWord(h, "stil", false, false, 7, 0), 1);
    std::string label, described;
    bool descriptionOn = false;
    run("Hauss", [&](DialogModel& d) {
        d.type(1101, "haus");
        label = d.text(1102);
        descriptionOn = d.enabled(1102);
        d.type(1101, "stil");
        described = d.text(1102);
        d.click(1102); // no description dialog yet: nothing happens
        EXPECT_FALSE(d.ended());
        d.click(1113);
    });
    EXPECT_EQ(label, "  &Beschreibung/Stil");
    EXPECT_EQ(described, "* &Beschreibung/Stil");
    EXPECT_TRUE(descriptionOn);
    EXPECT_EQ(run("Dachs", [](DialogModel& d) { d.click(1104); }), kIgnore) << "inserted, not edited";
    EXPECT_NE(FindWordInDictionaries(0, "Dachs", 0, true), 0);
}

// Dialog 1000 over an attached window and a history file.
class CorrectionDlg : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        api = WX_Init();
        ASSERT_EQ(InitDBEngine(120), 1);
    }
    void TearDown() override {
        if (history) CloseDBFile(history);
        TermDBEngine();
        if (edit) DestroyWindow(edit);
        while (SendMessage(api, 1164, 0, 0)) {
        }
        DialogTest::TearDown();
    }
    EditAttachment& attach(const char* text) {
        edit = CreateWindowEx(0, kEditClass, text, ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
        AttachRecord r{edit, 0, kEditAdapter};
        EXPECT_EQ(SendMessage(api, 1194, 0, reinterpret_cast<LPARAM>(&r)), 1);
        LibraryState* s = LockLibraryState();
        EditAttachment* a = FindAttachment(*s, edit);
        UnlockLibraryState();
        return *a;
    }
    // Records chained in order; each corrected word lies on line 0.
    void historyOf(EditAttachment& a, const std::vector<CorrectionRecord>& records) {
        std::string path = cwd.file("HIST.TMP");
        ASSERT_EQ(CreateDBFile(path), 1);
        history = OpenDBFile(path, 4);
        ASSERT_NE(history, 0);
        std::vector<std::uint32_t> at;
        for (std::size_t k = 0; k < records.size(); ++k)
            at.push_back(AllocDBRecord(history, kCorrectionRecordSize, 0));
        for (std::size_t k = 0; k < records.size(); ++k) {
            CorrectionRecord r = records[k];
            r.previous = k ? at[k - 1] : 0;
            r.next = k + 1 < at.size() ? at[k + 1] : 0;
            ASSERT_EQ(WriteCorrectionRecord(history, at[k], r), 1);
        }
        a.historyHandle = history;
        a.firstRecord = static_cast<std::int32_t>(at.front());
        a.lastRecord = static_cast<std::int32_t>(at.back());
        a.recordCount = static_cast<std::int32_t>(at.size());
        offsets = at;
    }
    static CorrectionRecord record(const char* inText, const char* correction, std::uint32_t kind,
                                   int column) {
        CorrectionRecord r{};
        std::strcpy(r.inText, inText);
        std::strcpy(r.shown, inText);
        std::strcpy(r.correction, correction);
        r.kind = kind;
        r.startColumn = column;
        r.endColumn = column + static_cast<int>(std::strlen(correction));
        return r;
    }
    int run(EditAttachment& a, CorrectionRecord* one, std::function<void(DialogModel&)> script,
            std::uint32_t options = 0x3F07E) {
        ui.dialogScripts[kCorrectionDialog] = std::move(script);
        return CorrectionMessageDialog(0, options, a, one, [](unsigned) {});
    }
    HWND api = 0, edit = 0;
    DBHandle history = 0;
    std::vector<std::uint32_t> offsets;
};

TEST_F(CorrectionDlg, OneCorrection) {
    EditAttachment& a = attach("Der Satz");
    CorrectionRecord one = record("der", "Der", 0x2000, 0);
    bool hidden = false;
    EXPECT_EQ(run(a, &one,
                  [&](DialogModel& d) {
                      hidden = !d.visible(1022) && !d.visible(1017) && !d.visible(1012) && !d.visible(1013) &&
                               d.visible(1004) && d.text(1021).empty();
                      EXPECT_TRUE(d.checked(1009));
                      d.type(1002, "DER");
                      d.click(1004);
                  }),
              1);
    EXPECT_TRUE(hidden);
    EXPECT_STREQ(one.correction, "DER");
    EXPECT_EQ(run(a, &one, [](DialogModel& d) { d.escape(); }), 0);
    EXPECT_EQ(run(a, &one,
                  [](DialogModel& d) {
                      d.type(1001, "xyz");
                      d.escape();
                      EXPECT_EQ(d.text(1001), "der") << "Escape in a field restores it";
                      EXPECT_EQ(d.focus(), 102);
                      d.click(102);
                  }),
              0);
}

TEST_F(CorrectionDlg, KindBoxesShowOnly) {
    EditAttachment& a = attach("Der Satz");
    struct Case {
        std::uint32_t kind, options;
        int box;
        bool checked, enabled;
    } cases[] = {
        {0x4, 0x3F07E, 1003, true, true},      {0x20000000, 0x3F07E, 1006, true, true},
        {0x8, 0x3F076, 1006, true, false},     {0x20000, 0x3F07E, 1007, true, true},
        {0x80000, 0x3F07E, 1008, true, false}, {0x80000, 0x7F07E, 1008, true, true},
        {0x10000, 0x3F07E, 1016, true, true},  {0x8000, 0x3F07E, 1009, true, true},
        {0x1000, 0x3E07E, 1010, true, false},  {0x40000000, 0, 1005, true, true},
        {0x2000, 0x3F07E, 1010, false, true},
    };
    for (const Case& c : cases) {
        CorrectionRecord one = record("der", "Der", c.kind, 0);
        bool checked = false, enabled = false, after = false;
        ui.beeps.clear();
        run(
            a, &one,
            [&](DialogModel& d) {
                checked = d.checked(c.box);
                enabled = d.enabled(c.box);
                d.click(c.box);
                after = d.checked(c.box);
                EXPECT_EQ(d.focus(), enabled ? 102 : d.focus());
            },
            c.options);
        EXPECT_EQ(checked, c.checked) << c.box << " " << c.kind;
        EXPECT_EQ(enabled, c.enabled) << c.box << " " << c.kind;
        EXPECT_EQ(after, c.checked) << "a click does not change it";
        EXPECT_EQ(ui.beeps.size(), enabled ? 1u : 0u);
    }
}

TEST_F(CorrectionDlg, HistoryWalkAndUndo) {
    EditAttachment& a = attach("Haus Der Maus");
    historyOf(a, {record("Hus", "Haus", 0x10000000, 0), record("der", "Der", 0x2000, 5),
                  record("Mauss", "Maus", 0x20000, 9)});
    std::string number, count;
    bool previousOn = false, nextOn = true;
    EXPECT_EQ(run(a, nullptr,
                  [&](DialogModel& d) {
                      number = d.text(1022);
                      count = d.text(1024);
                      previousOn = d.enabled(1012);
                      nextOn = d.enabled(1013);
                      EXPECT_EQ(d.focus(), 1012);
                      EXPECT_FALSE(d.visible(1004));
                      d.click(1012);
                      EXPECT_EQ(d.text(1022), "2");
                      EXPECT_EQ(d.text(1001), "der");
                      d.click(1017); // undo record 2
                      EXPECT_EQ(d.text(1022), "1");
                      EXPECT_EQ(d.text(1024), "1");
                      d.click(102);
                  }),
              0);
    EXPECT_EQ(number + " von " + count, "3 von 3");
    EXPECT_FALSE(nextOn);
    EXPECT_TRUE(previousOn);
    EXPECT_EQ(WindowText(edit), "Haus der Maus");
    EXPECT_EQ(a.recordCount, 1);
    EXPECT_EQ(a.lastRecord, static_cast<std::int32_t>(offsets[0]));
    CorrectionRecord first;
    ASSERT_EQ(ReadCorrectionRecord(history, offsets[0], first), 1);
    EXPECT_EQ(first.next, 0u);

    EXPECT_EQ(run(a, nullptr, [](DialogModel& d) { d.click(1017); }), 0);
    EXPECT_EQ(WindowText(edit), "Hus der Maus");
    EXPECT_EQ(a.wantedColumn, 3);
    EXPECT_EQ(a.wantedLine, 0);
    EXPECT_EQ(a.recordCount, 0);
}

TEST_F(CorrectionDlg, BrokenChainEndsTheWalk) {
    EditAttachment& a = attach("Haus Der Maus");
    historyOf(a, {record("Hus", "Haus", 0x10000000, 0), record("der", "Der", 0x2000, 5)});
    CorrectionRecord r;
    ASSERT_EQ(ReadCorrectionRecord(history, offsets[1], r), 1);
    r.next = offsets[0]; // a loop
    ASSERT_EQ(WriteCorrectionRecord(history, offsets[1], r), 1);
    std::string count;
    run(a, nullptr, [&](DialogModel& d) { count = d.text(1024); });
    EXPECT_EQ(count, "2");
    r.next = 0x7FFFFFF0; // beyond the file
    ASSERT_EQ(WriteCorrectionRecord(history, offsets[1], r), 1);
    run(a, nullptr, [&](DialogModel& d) { count = d.text(1024); });
    EXPECT_EQ(count, "2");
}

} // namespace
} // namespace wortex::test
