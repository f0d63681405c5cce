#include "CheckDialogs.h"

namespace wortex {

CheckDialogs& CheckDialogHooks() {
    static CheckDialogs hooks;
    return hooks;
}

int ShowSuggestions(win32::HWND owner, EditAttachment* a, const char* word, char* replacement, bool mayReplace,
                    bool mayIgnore, const HelpFn& help) {
    auto* show = CheckDialogHooks().suggestions;
    return show ? show(owner, a, word, replacement, mayReplace, mayIgnore, help) : kStop;
}

int ShowCorrectionMessage(win32::HWND owner, std::uint32_t options, EditAttachment& a, CorrectionRecord* one,
                          const HelpFn& help) {
    auto* show = CheckDialogHooks().correctionMessage;
    return show ? show(owner, options, a, one, help) : 0;
}

int ShowDescription(win32::HWND owner, DBHandle h, const char* word, char* wordOut, bool mayReplace) {
    auto* show = CheckDialogHooks().description;
    return show ? show(owner, h, word, wordOut, mayReplace) : 2;
}

} // namespace wortex
