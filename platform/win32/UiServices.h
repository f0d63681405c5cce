#pragma once
// User-interface services the library asks of its host: message boxes, beeps and the keyboard state. The
// scripted back-end answers from a queue and records what was shown, for tests and headless runs.
#include "platform/win32/Win32Types.h"

#include <deque>
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
};

// The services in use; without one installed a process-wide ScriptedUi answers.
UiServices& Ui();
void SetUiServices(UiServices* services);

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style);
bool MessageBeep(UINT type);
short GetKeyState(int virtualKey);

} // namespace win32
