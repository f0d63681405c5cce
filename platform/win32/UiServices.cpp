#include "platform/win32/UiServices.h"

namespace win32 {

namespace {
UiServices*& current() {
    static UiServices* services = nullptr;
    return services;
}
ScriptedUi& fallback() {
    static ScriptedUi ui;
    return ui;
}
} // namespace

int FirstButton(UINT style) {
    switch (style & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return IDOK;
    case MB_ABORTRETRYIGNORE:
        return IDABORT;
    case MB_YESNOCANCEL:
    case MB_YESNO:
        return IDYES;
    case MB_RETRYCANCEL:
        return IDRETRY;
    default:
        return IDOK;
    }
}

int ScriptedUi::messageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) {
    int answer = FirstButton(style);
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    shown.push_back({owner, text, caption, style, answer});
    return answer;
}

short ScriptedUi::keyState(int virtualKey) {
    auto k = keysDown.find(virtualKey);
    return k != keysDown.end() && k->second ? static_cast<short>(0x8000) : 0;
}

UiServices& Ui() {
    return current() ? *current() : fallback();
}
void SetUiServices(UiServices* services) {
    current() = services;
}

int MessageBox(HWND owner, const std::string& text, const std::string& caption, UINT style) {
    return Ui().messageBox(owner, text, caption, style);
}

bool MessageBeep(UINT type) {
    Ui().messageBeep(type);
    return true;
}

short GetKeyState(int virtualKey) {
    return Ui().keyState(virtualKey);
}

} // namespace win32
