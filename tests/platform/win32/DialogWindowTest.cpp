// The dialog model's edit fields and texts as windows of the EDIT stand-in: the model and the window hold
// one text, whoever changes it, and the windows go with the dialog.
#include "platform/win32/Dialog.h"
#include "platform/win32/EditControl.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace win32 {
namespace {

using K = ControlKind;

const DialogTemplate& sample() {
    static const DialogTemplate t{9001,
                                  "Probe",
                                  400,
                                  300,
                                  {
                                      {-1, K::Static, 8, 8, 100, 18, "Beschreibung:"},
                                      {10, K::Edit, 8, 30, 300, 120, "erste\r\nzweite"},
                                      {11, K::Edit, 8, 160, 300, 22, "kurz"},
                                      {12, K::ReadOnlyEdit, 8, 190, 300, 22, ""},
                                      {13, K::Static, 8, 220, 300, 18, ""},
                                      {14, K::ListBox, 320, 30, 70, 100, ""},
                                      {1, K::DefaultButton, 320, 200, 70, 26, "OK"},
                                  }};
    return t;
}

class DialogWindows : public ::testing::Test {
protected:
    DialogModel& open() {
        model = std::make_unique<DialogModel>(
            sample(),
            [this](DialogModel&, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
                if (message == WM_COMMAND && HiWord(wParam) == EN_CHANGE) ++changes[LoWord(wParam)];
                return 0;
            },
            0);
        model->changed = [this] { ++notices; };
        return *model;
    }
    static std::string caret(HWND w) {
        DWORD s = 0, e = 0;
        SendMessage(w, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        return std::to_string(s) + "-" + std::to_string(e);
    }

    std::unique_ptr<DialogModel> model;
    std::map<int, int> changes;
    int notices = 0;
};

TEST_F(DialogWindows, FieldsAndTextsWithAnIdHaveEditWindows) {
    DialogModel& d = open();
    const struct {
        int id;
        bool window, multiLine;
        std::string text;
    } cases[] = {
        {10, true, true, "erste\r\nzweite"},
        {11, true, false, "kurz"},
        {12, true, false, ""},
        {13, true, false, ""},
        {14, false, false, ""},
        {1, false, false, ""},
    };
    for (const auto& c : cases) {
        HWND w = d.controlWindow(c.id);
        EXPECT_EQ(w != 0, c.window) << c.id;
        if (!w) continue;
        EXPECT_TRUE(IsWindow(w));
        EXPECT_EQ((GetWindowLongPtr(w, GWL_STYLE) & ES_MULTILINE) != 0, c.multiLine) << c.id;
        EXPECT_EQ(WindowText(w), c.text) << c.id;
    }
    EXPECT_EQ(SendMessage(d.controlWindow(10), EM_GETLINECOUNT, 0, 0), 2) << "CR LF ends a line";
}

TEST_F(DialogWindows, ModelWritesGoToTheWindowWithoutChangeNotice) {
    DialogModel& d = open();
    HWND w = d.controlWindow(10);
    d.setText(10, "neu");
    EXPECT_EQ(WindowText(w), "neu");
    EXPECT_EQ(d.text(10), "neu");
    EXPECT_EQ(changes[10], 0) << "as SetDlgItemText in a dialog's own code";
    d.type(10, "getippt");
    EXPECT_EQ(WindowText(w), "getippt");
    EXPECT_EQ(changes[10], 1);
    EXPECT_EQ(caret(w), "7-7") << "the caret behind what was typed";
    EXPECT_EQ(d.focus(), 10);
}

TEST_F(DialogWindows, ChangesMadeThroughTheWindowReachTheModel) {
    DialogModel& d = open();
    HWND w = d.controlWindow(10);
    struct Case {
        const char* what;
        std::function<void()> act;
        std::string text;
        int changeNotices;
    };
    const Case cases[] = {
        {"WM_SETTEXT", [&] { SetWindowText(w, "Ein Fahrzeuk"); }, "Ein Fahrzeuk", 1},
        {"a replaced selection",
         [&] {
             SendMessage(w, EM_SETSEL, 11, 12);
             SendMessage(w, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("g"));
         },
         "Ein Fahrzeug", 1},
        {"typed keys",
         [&] {
             SendMessage(w, EM_SETSEL, 12, 12);
             SendMessage(w, WM_CHAR, '!', 0);
             SendMessage(w, WM_CHAR, VK_RETURN, 0);
         },
         "Ein Fahrzeug!\r\n", 2},
        {"reading and moving the caret",
         [&] {
             char line[32] = {};
             line[0] = 20;
             SendMessage(w, EM_GETLINE, 0, reinterpret_cast<LPARAM>(line));
             SendMessage(w, EM_LINEINDEX, 1, 0);
             SendMessage(w, EM_SETSEL, 0, 0);
         },
         "Ein Fahrzeug!\r\n", 0},
        {"the same text again", [&] { SetWindowText(w, "Ein Fahrzeug!\r\n"); }, "Ein Fahrzeug!\r\n", 0},
    };
    for (const Case& c : cases) {
        changes[10] = 0;
        int before = notices;
        c.act();
        EXPECT_EQ(d.text(10), c.text) << c.what;
        EXPECT_EQ(changes[10], c.changeNotices) << c.what;
        EXPECT_EQ(notices > before, c.changeNotices > 0) << c.what << ": the view is told";
    }
    SetWindowText(d.controlWindow(13), "Fahrzeuk -> Fahrzeug");
    EXPECT_EQ(d.text(13), "Fahrzeuk -> Fahrzeug") << "a text control";
    EXPECT_EQ(changes[13], 0) << "a text control sends no EN_CHANGE";
}

// A procedure chained over a control window, as a library subclassing an edit window puts it.
std::vector<UINT>& chained() {
    static std::vector<UINT> m;
    return m;
}
WNDPROC chainedPrevious = nullptr;
LRESULT ChainedProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    chained().push_back(message);
    if (message == WM_DESTROY) SetWindowLongPtr(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(chainedPrevious));
    return CallWindowProc(chainedPrevious, w, message, wParam, lParam);
}

TEST_F(DialogWindows, ChainedProcedureSeesTheModelsWritesAndTheWindowsGoWithTheDialog) {
    chained().clear();
    DialogModel& d = open();
    HWND w = d.controlWindow(10);
    chainedPrevious = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ChainedProc)));
    d.setText(10, "Haus");
    EXPECT_EQ(chained(), std::vector<UINT>{WM_SETTEXT});
    SendMessage(w, EM_SETSEL, 0, 1);
    SendMessage(w, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("M"));
    EXPECT_EQ(d.text(10), "Maus") << "through the chain to the field";
    EXPECT_EQ(changes[10], 1);

    std::vector<HWND> windows{w, d.controlWindow(11), d.controlWindow(12), d.controlWindow(13)};
    chained().clear();
    model.reset();
    for (HWND h : windows)
        EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(chained().front(), WM_DESTROY) << "the chained procedure can let go of the window";
    EXPECT_EQ(changes[10], 1) << "nothing is told to a dialog that is gone";
}

} // namespace
} // namespace win32
