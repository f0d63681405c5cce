// Field 408 of the description dialog lent to the library as a host's edit window: attached with status
// field 414 while the dialog is open, checked by "Prüfen" through the check loop and its dialogs.
#include "DialogTestSupport.h"

#include "ApiWindow.h"
#include "Attachments.h"
#include "DescriptionDialog.h"
#include "StyleNetwork.h"
#include "Support.h"
#include "TextCheck.h"

#include "platform/win32/EditControl.h"

namespace wortex::test {
namespace {

using win32::DialogModel;
using win32::HWND;
using Words = std::vector<std::string>;

constexpr win32::UINT kPaint = 0x000F;

class DescriptionCheck : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        ForgetStyleDialogPlaces();
        api = WX_Init();
        ASSERT_TRUE(win32::IsWindow(api));
        h = dictionary("stil.wxd", 'D', {"Fahrzeug", "mit", "Motor", "Wagen", "Rad"});
    }
    void TearDown() override {
        while (win32::SendMessage(api, 1164, 0, 0)) {
        }
        DialogTest::TearDown();
    }
    int open(const char* word, std::function<void(DialogModel&)> script) {
        ui.dialogScripts[kDescriptionDialog] = std::move(script);
        char out[64] = {};
        return OpenDescriptionDialog(0, h, word, out, true);
    }
    static int attachments() {
        int n = 0;
        LibraryState* s = LockLibraryState();
        for (win32::HGLOBAL at = s->attachments; at;) {
            ++n;
            auto* a = static_cast<EditAttachment*>(LockBlock(at));
            win32::HGLOBAL next = a ? a->next : 0;
            UnlockBlock(at);
            at = next;
        }
        UnlockLibraryState();
        return n;
    }
    static EditAttachment* attachmentOf(HWND window) {
        LibraryState* s = LockLibraryState();
        EditAttachment* a = FindAttachment(*s, window);
        UnlockLibraryState();
        return a;
    }
    std::string description(const char* word, int meaning) {
        std::uint32_t r = 0;
        StyleRecordOf(*FindDictionaryNode(h), word, r);
        return MeaningDescription(*FindDictionaryNode(h), r, meaning);
    }
    // Dialog 1101 answered with the listed suggestion, recording the word and what 414 showed meanwhile.
    void pickSuggestion(const std::string& suggestion, DialogModel*& description) {
        ui.dialogScripts[1101] = [this, suggestion, &description](DialogModel& d) {
            asked.push_back(d.text(1114) + "|" + (description ? description->text(414) : "?"));
            d.send(kPaint, 0, 0);
            for (int k = 0; k < d.itemCount(1106); ++k)
                if (d.itemText(1106, k) == suggestion) {
                    d.doubleClick(1106, k);
                    return;
                }
            ADD_FAILURE() << suggestion << " was not suggested";
            d.click(1112);
        };
    }

    HWND api = 0;
    DBHandle h = 0;
    Words asked;
};

TEST_F(DescriptionCheck, FieldIsAttachedOnlyWhileTheDialogIsOpen) {
    const struct {
        const char* how;
        std::function<void(DialogModel&)> end;
    } cases[] = {
        {"Schliessen", [](DialogModel& d) { d.click(1600); }},
        {"Escape", [](DialogModel& d) { d.escape(); }},
        {"ended by the back-end", [](DialogModel& d) { d.end(win32::IDCANCEL); }},
        {"closed by the back-end", [](DialogModel&) {}},
    };
    for (const auto& c : cases) {
        HWND field = 0;
        ui.answers = {win32::IDNO};
        open("Wagen", [&](DialogModel& d) {
            field = d.controlWindow(408);
            EditAttachment* a = attachmentOf(field);
            ASSERT_NE(a, nullptr) << c.how;
            EXPECT_EQ(a->statusWindow, d.controlWindow(414));
            EXPECT_EQ(a->adapter, &EditAdapterProc);
            EXPECT_EQ(attachments(), 1);
            // The library reads the field as any host window.
            d.type(408, "Ein Rad mit Motor");
            win32::SendMessage(field, win32::EM_SETSEL, 4, 4);
            AttachmentStateRecord state{};
            state.current.editWindow = field;
            EXPECT_EQ(win32::SendMessage(api, 1204, 0, reinterpret_cast<win32::LPARAM>(&state)), 1);
            EXPECT_STREQ(state.atCaret.word, "Rad");
            EXPECT_EQ(state.bits & 0xE000u, 0xE000u) << "a dictionary word";
            c.end(d);
        });
        EXPECT_EQ(attachments(), 0) << c.how;
        EXPECT_FALSE(win32::IsWindow(field)) << c.how;
    }
}

TEST_F(DescriptionCheck, CheckCorrectsTheFieldFromItsStart) {
    // The misspelt word goes through dialog 1101; the small letter at the sentence start is an automatic
    // correction, listed by dialog 1000 after the check or, with ConfirmCorr, confirmed in it one by one.
    const struct {
        std::uint32_t options;
        Words corrections;
    } cases[] = {
        {0x3F07E, {"list of 1: mit -> Mit"}},
        {0x3F07E | kOptionConfirmCorr, {"one: mit -> Mit"}},
    };
    for (const auto& c : cases) {
        win32::SendMessage(api, 1126, 2, static_cast<win32::LPARAM>(c.options));
        SetMeaningDescription(h, 1, "Wagen", "");
        asked.clear();
        ui.shown.clear();
        Words corrections;
        ui.dialogScripts[1000] = [&](DialogModel& d) {
            bool list = d.visible(1022);
            corrections.push_back((list ? "list of " + d.text(1024) : std::string("one")) + ": " +
                                  d.text(1001) + " -> " + d.text(1002));
            d.click(list ? 102 : 1004);
        };
        DialogModel* shown = nullptr;
        pickSuggestion("Fahrzeug", shown);
        EXPECT_EQ(open("Wagen",
                       [&](DialogModel& d) {
                           shown = &d;
                           ASSERT_TRUE(d.enabled(415));
                           d.type(408, "Farhzeug mit Motor. mit Rad");
                           d.click(415);
                           EXPECT_EQ(d.text(408), "Fahrzeug mit Motor. Mit Rad");
                           EXPECT_EQ(win32::WindowText(d.controlWindow(408)), d.text(408));
                           EXPECT_EQ(d.text(414), "") << "emptied after the check";
                           ui.answers = {win32::IDYES};
                           d.click(1600);
                       }),
                  2);
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0].substr(0, 17), "Farhzeug|Farhzeug") << "the word reported in 414 while 1101 asks";
        EXPECT_EQ(corrections, c.corrections);
        EXPECT_EQ(texts(), Words{"Beschreibung nicht gesichert. Sichern?|Wortex"})
            << "the corrected text is a change";
        EXPECT_EQ(description("Wagen", 1), "Fahrzeug mit Motor. Mit Rad");
        EXPECT_EQ(attachments(), 0);
    }
}

} // namespace
} // namespace wortex::test
