#pragma once
// User-interface services the library asks of its host: message boxes, beeps, the keyboard state, modal
// dialogs, file dialogs and the cursor. The scripted back-end answers from queues and scripts and records
// what was asked, for tests and headless runs.
#include "platform/win32/Dialog.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace win32 {

class UiServices {
public:
    virtual ~UiServices() = default;
    virtual int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) = 0;
    virtual void messageBeep(UINT type) = 0;
    // Bit 15 set while the key is down, as GetKeyState.
    virtual short keyState(int virtualKey) = 0;
    virtual bool winHelp(HWND, const std::string&, UINT, std::uintptr_t) { return true; }

    // Runs the dialog (after its WM_INITDIALOG) until it ends; returns its result.
    virtual LRESULT runDialog(DialogModel& dialog);
    // Fills request.fileName with the full name chosen; false when cancelled.
    virtual bool fileDialog(FileDialogRequest& request);
    virtual void cursorShown(bool show) { (void)show; }
    virtual void cursorSet(UINT cursor) { (void)cursor; }
    virtual RECT desktop() { return {0, 0, 1024, 768}; }
    virtual int textWidth(const std::string& text) { return 7 * static_cast<int>(text.size()); }
    // How many entries a list box shows at once.
    virtual int listPageSize(DialogModel& dialog, int id) {
        (void)dialog, (void)id;
        return 10;
    }
};

class ScriptedUi : public UiServices {
public:
    struct Shown {
        HWND owner;
        std::string text;
        std::string caption;
        UINT style;
        int answer;
    };

    int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) override;
    void messageBeep(UINT type) override { beeps.push_back(type); }
    short keyState(int virtualKey) override;
    bool winHelp(HWND window, const std::string& file, UINT command, std::uintptr_t data) override {
        helpCalls.push_back({window, file, command, data});
        return true;
    }
    LRESULT runDialog(DialogModel& dialog) override;
    bool fileDialog(FileDialogRequest& request) override;
    void cursorShown(bool show) override;
    void cursorSet(UINT cursor) override;
    RECT desktop() override { return desktopRect; }

    // Answers given in order; when the queue is empty a box gets its first button (OK, Abort, Yes, Retry).
    std::deque<int> answers;
    std::vector<Shown> shown;
    std::vector<UINT> beeps;
    std::map<int, bool> keysDown;
    struct HelpCall {
        HWND window;
        std::string file;
        UINT command;
        std::uintptr_t data;
    };
    std::vector<HelpCall> helpCalls;

    // Per dialog number: what the user does; a dialog still open afterwards is closed.
    std::map<int, std::function<void(DialogModel&)>> dialogScripts;
    // Answers of the file dialogs in order, full names; an empty one (or none left) cancels.
    std::deque<std::string> fileAnswers;
    std::vector<FileDialogRequest> fileDialogs;
    // Every dialog, file dialog and cursor call, in order ("dialog 30000", "ShowCursor 1", ...).
    std::vector<std::string> calls;
    int cursorCount = 0;
    RECT desktopRect{0, 0, 1024, 768};
};

// The services in use; without one installed a process-wide ScriptedUi answers.
UiServices& Ui();
void SetUiServices(UiServices* services);

// The answer of a message box nobody sees: its first button (OK, Abort, Yes, Retry).
int FirstButton(UINT style);

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style);
bool MessageBeep(UINT type);
short GetKeyState(int virtualKey);

} // namespace win32
