#include "DialogTestSupport.h"

#include "CorrectionDialogs.h"
#include "DescriptionDialog.h"
#include "StyleNetwork.h"

namespace wortex::test {
namespace {

using win32::DialogModel;
using Words = std::vector<std::string>;

class DescriptionDlg : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        ForgetStyleDialogPlaces();
        h = dictionary("stil.wxd", 'D', {"auto", "wagen", "karre", "Haus"});
    }
    void TearDown() override {
        SetStyleDialogs({});
        DialogTest::TearDown();
    }
    int open(const char* word, std::function<void(DialogModel&)> script, bool mayReplace = true,
             DBHandle handle = 0) {
        ui.dialogScripts[kDescriptionDialog] = std::move(script);
        out[0] = 0;
        return OpenDescriptionDialog(0, handle, word, out, mayReplace);
    }
    static Words items(DialogModel& d, int id) {
        Words w;
        for (int i = 0; i < d.itemCount(id); ++i)
            w.push_back(d.itemText(id, i));
        return w;
    }
    int link(const char* t, int m, const char* n) {
        int setting = 0;
        return LinkStyleWord(h, t, m, n, setting, false);
    }

    DBHandle h = 0;
    char out[64] = {};
};

TEST_F(DescriptionDlg, WordWithoutStyleData) {
    bool seen = false;
    EXPECT_EQ(open("auto",
                   [&](DialogModel& d) {
                       seen = true;
                       EXPECT_EQ(d.text(411), "auto");
                       EXPECT_EQ(d.text(412), "") << "no meaning number";
                       EXPECT_EQ(items(d, 401), Words{"auto"});
                       EXPECT_FALSE(d.enabled(401));
                       EXPECT_EQ(d.text(408), "");
                       EXPECT_EQ(d.focus(), 408);
                       EXPECT_FALSE(d.enabled(405));
                       EXPECT_FALSE(d.visible(404));
                       EXPECT_FALSE(d.enabled(410)) << "the list word is the start word";
                       EXPECT_FALSE(d.enabled(1503));
                       d.type(408, "Fahrzeug  ");
                       EXPECT_TRUE(d.enabled(405));
                       d.click(405);
                       EXPECT_EQ(d.text(412), "") << "meaning 2 is stored only when it gets something";
                       EXPECT_EQ(d.text(408), "");
                       EXPECT_FALSE(d.enabled(405));
                       ASSERT_TRUE(d.enabled(406));
                       d.click(406);
                       EXPECT_EQ(d.text(408), "Fahrzeug");
                       d.click(1600);
                   }),
              2);
    EXPECT_TRUE(seen);
    EXPECT_EQ(MeaningDescription(
                  *FindDictionaryNode(h),
                  [&] {
                      std::uint32_t r = 0;
                      StyleRecordOf(*FindDictionaryNode(h), "auto", r);
                      return r;
                  }(),
                  1),
              "Fahrzeug");
}

TEST_F(DescriptionDlg, WordInNoDictionaryIsRefused) {
    EXPECT_EQ(open("fehlt", [](DialogModel&) { FAIL() << "no dialog"; }), 2);
    ASSERT_EQ(texts().size(), 1u);
    EXPECT_EQ(texts()[0].substr(0, 20), "Diese Funktion kann ");
}

TEST_F(DescriptionDlg, OtherWordSelectedAndRemoved) {
    ASSERT_EQ(link("auto", 1, "wagen"), 1);
    SetMeaningDescription(h, 1, "wagen", "erste");
    SetMeaningDescription(h, 2, "wagen", "zweite");
    ASSERT_EQ(link("wagen", 2, "karre"), 1);
    // wagen: meaning 1 with auto, meaning 2 with karre.
    EXPECT_EQ(open("karre",
                   [&](DialogModel& d) {
                       EXPECT_EQ(items(d, 401), (Words{"karre", "wagen"}));
                       EXPECT_TRUE(d.enabled(401));
                       d.select(401, 1);
                       EXPECT_EQ(d.text(413), "wagen");
                       EXPECT_EQ(d.text(412), " 2 von 2") << "wagen's meaning that holds karre";
                       EXPECT_EQ(d.text(408), "zweite");
                       EXPECT_TRUE(d.enabled(410));
                       d.click(403);
                       EXPECT_EQ(d.text(413), "karre");
                       EXPECT_EQ(items(d, 401), Words{"karre"});
                       d.click(1600);
                   }),
              2);
    EXPECT_EQ(GetLinkingMeaning(h, "wagen", "karre"), 0);
    EXPECT_EQ(GetLinkingMeaning(h, "wagen", "auto"), 1);
}

TEST_F(DescriptionDlg, DoubleClickTakesTheListWordInTheStartWordsCase) {
    ASSERT_EQ(link("auto", 1, "wagen"), 1);
    EXPECT_EQ(open("AUTO", [&](DialogModel& d) { d.doubleClick(401, 1); }), 1);
    EXPECT_STREQ(out, "WAGEN");
    EXPECT_EQ(open("Auto", [&](DialogModel& d) { d.doubleClick(401, 1); }), 1);
    EXPECT_STREQ(out, "Wagen") << "a sentence start's capital";
    EXPECT_EQ(open(
                  "auto", [&](DialogModel& d) { d.doubleClick(401, 1); }, false),
              2);
}

TEST_F(DescriptionDlg, AddingAWordThroughTheChooseWordDialog) {
    ui.dialogScripts[kChooseWordDialog] = [](DialogModel& d) {
        EXPECT_EQ(d.focus(), 451);
        ASSERT_GE(d.itemCount(451), 3);
        d.click(2);
    };
    EXPECT_EQ(open("auto",
                   [&](DialogModel& d) {
                       d.click(402);
                       EXPECT_EQ(items(d, 401), Words{"auto"}) << "Abbrechen leaves the dialog as it was";
                       ui.dialogScripts[kChooseWordDialog] = [](DialogModel& c) {
                           c.select(451, 3); // wagen
                           c.click(463);
                       };
                       d.click(402);
                       EXPECT_EQ(items(d, 401), (Words{"auto", "wagen"}));
                       EXPECT_EQ(d.text(413), "wagen");
                       d.click(1600);
                   }),
              2);
    EXPECT_EQ(GetLinkingMeaning(h, "auto", "wagen"), 1);
    char chosen[64] = "x";
    ui.dialogScripts[kChooseWordDialog] = [](DialogModel& c) { c.click(2); };
    EXPECT_EQ(ChooseWordDialog(0, h, chosen), 2);
    EXPECT_STREQ(chosen, "");
}

TEST_F(DescriptionDlg, ChooseMeaningForm) {
    SetMeaningDescription(h, 1, "wagen", "Fahrzeug");
    SetMeaningDescription(h, 2, "wagen", "Kinderwagen");
    int meaning = 0, setting = 0;
    char member[64] = "wagen";
    ui.dialogScripts[kDescriptionDialog] = [&](DialogModel& d) {
        EXPECT_EQ(d.caption, "Wortex Stilwort Bedeutung ausw\xe4hlen");
        EXPECT_EQ(d.text(410), "Bedeutung ok");
        EXPECT_EQ(d.text(1600), "Nicht eintragen");
        EXPECT_EQ(d.text(413), "wagen");
        EXPECT_FALSE(d.enabled(402));
        d.doubleClick(401, 0);
        EXPECT_FALSE(d.ended()) << "a double click does not end it";
        d.click(407);
        EXPECT_EQ(d.text(408), "Kinderwagen");
        d.click(410);
    };
    EXPECT_EQ(DescriptionDialogFull(0, h, "auto", member, &meaning, false, setting, false), 1);
    EXPECT_EQ(meaning, 2);
    // The same through the linking: the member gets its meaning 2.
    EXPECT_EQ(link("auto", 1, "wagen"), 2);
    EXPECT_EQ(GetLinkingMeaning(h, "wagen", "auto"), 2);
}

TEST_F(DescriptionDlg, ReadOnlyDictionary) {
    ASSERT_EQ(link("auto", 1, "wagen"), 1);
    SetMeaningDescription(h, 1, "auto", "Fahrzeug");
    std::string path = GetDictionaryFileName(h);
    CloseDictionary(h);
    h = OpenDictionary(true, path);
    ASSERT_NE(h, 0);
    EXPECT_EQ(open("auto",
                   [&](DialogModel& d) {
                       EXPECT_EQ(d.text(408), "Fahrzeug");
                       EXPECT_TRUE(d.control(408)->readOnly);
                       EXPECT_FALSE(d.enabled(402));
                       EXPECT_FALSE(d.enabled(403));
                       EXPECT_FALSE(d.enabled(415));
                       EXPECT_EQ(items(d, 401), (Words{"auto", "wagen"}));
                       d.click(1600);
                   }),
              2);
}

TEST_F(DescriptionDlg, ClosingWithAChangedDescriptionAsks) {
    const struct {
        int answer;
        bool escapeInText;
        std::string stored;
    } cases[] = {{win32::IDYES, false, "neu"}, {win32::IDNO, false, ""}, {win32::IDYES, true, "neu"}};
    for (const auto& c : cases) {
        SetMeaningDescription(h, 1, "haus", "");
        ui.shown.clear();
        ui.answers = {c.answer};
        bool stayed = false;
        EXPECT_EQ(open("haus",
                       [&](DialogModel& d) {
                           d.type(408, "neu");
                           if (c.escapeInText) {
                               d.escape();
                               stayed = !d.ended() && d.focus() == 1600;
                               d.click(1600);
                           } else {
                               d.click(1600);
                           }
                       }),
                  2);
        EXPECT_EQ(texts(), Words{"Beschreibung nicht gesichert. Sichern?|Wortex"});
        EXPECT_EQ(stayed, c.escapeInText);
        std::uint32_t r = 0;
        StyleRecordOf(*FindDictionaryNode(h), "haus", r);
        EXPECT_EQ(MeaningDescription(*FindDictionaryNode(h), r, 1), c.stored);
    }
}

TEST_F(DescriptionDlg, ConflictDialogShowsTheWordsAndTheSetting) {
    int setting = 1;
    ui.dialogScripts[kConflictDialog] = [](DialogModel& d) {
        EXPECT_EQ(d.text(1502), "wagen");
        EXPECT_EQ(d.text(1504), "auto");
        EXPECT_EQ(d.text(1506), "karre");
        EXPECT_TRUE(d.checked(1505));
        d.click(1507);
        EXPECT_TRUE(d.checked(1507));
        EXPECT_FALSE(d.checked(1505));
        d.click(1);
    };
    ConflictDialog(0, "wagen", "auto", "karre", setting, true);
    EXPECT_EQ(setting, 2);
    ui.dialogScripts[kConflictDialog] = [](DialogModel& d) {
        EXPECT_FALSE(d.enabled(1503));
        EXPECT_FALSE(d.checked(1507));
    };
    ConflictDialog(0, "wagen", "auto", "wagen", setting, false);
}

TEST_F(DescriptionDlg, SuggestionsButtonOpensIt) {
    EXPECT_EQ(DescriptionDialog, &OpenDescriptionDialog);
}

} // namespace
} // namespace wortex::test

namespace wortex::test {
namespace {

TEST_F(DescriptionDlg, PlacedTopLeftCutAboveTheCopyGroupAndRemembered) {
    ui.desktopRect = {0, 0, 1600, 900};
    win32::RECT first{}, second{};
    open("auto", [&](DialogModel& d) {
        first = d.rect;
        d.rect = {100, 120, 100 + (first.right - first.left), 120 + (first.bottom - first.top)};
        d.click(1600);
    });
    EXPECT_EQ(first.left, 4);
    EXPECT_EQ(first.top, 4);
    EXPECT_EQ(first.bottom - first.top, 406 + 8) << "ends 8 pixels below the group's top edge";
    open("auto", [&](DialogModel& d) {
        second = d.rect;
        d.click(1600);
    });
    EXPECT_EQ(second.left, 100);
    EXPECT_EQ(second.top, 120);
    // The choose-meaning form is centred, and shows the group while copying.
    int meaning = 0, setting = 2;
    char member[64] = "wagen";
    ui.dialogScripts[kDescriptionDialog] = [&](DialogModel& d) {
        EXPECT_EQ(d.rect.left, (1600 - (d.rect.right - d.rect.left)) / 2);
        EXPECT_EQ(d.rect.bottom - d.rect.top, 470);
        EXPECT_TRUE(d.enabled(1507));
        EXPECT_TRUE(d.checked(1507));
        d.click(1503);
        d.click(1600);
    };
    EXPECT_EQ(DescriptionDialogFull(0, h, "auto", member, &meaning, true, setting, false), 2);
    EXPECT_EQ(setting, 0) << "the choice holds for the rest of the run";
}

} // namespace
} // namespace wortex::test
