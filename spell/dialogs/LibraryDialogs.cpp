#include "LibraryDialogs.h"

#include "CheckDialogs.h"
#include "CorrectionDialogs.h"
#include "DescriptionDialog.h"
#include "StyleNetwork.h"

#include <cstring>

namespace wortex {

namespace {

// Through the pointer, so that a stand-in put there reaches the check too.
int description(win32::HWND owner, DBHandle h, const char* word, char* wordOut, bool mayReplace) {
    return DescriptionDialog(owner, h, word, wordOut, mayReplace);
}

StyleDialogs styleDialogs() {
    StyleDialogs d;
    d.conflict = [](const char* member, const char* target, const char* with, int& setting, bool copying) {
        ConflictDialog(0, member, target, with, setting, copying);
    };
    d.chooseMeaning = [](DBHandle h, const char* target, const char* member, int& setting, bool copying) {
        char buf[64];
        std::strncpy(buf, member, 63);
        buf[63] = 0;
        int meaning = 0;
        return DescriptionDialogFull(0, h, target, buf, &meaning, copying, setting, false) == 1 ? meaning : 0;
    };
    return d;
}

[[maybe_unused]] const bool installed = [] {
    InstallDialogs();
    return true;
}();

} // namespace

void InstallDialogs() {
    CheckDialogs& check = CheckDialogHooks();
    check.suggestions = &SuggestionsDialog;
    check.correctionMessage = &CorrectionMessageDialog;
    check.description = &description;
    SetDefaultStyleDialogs(styleDialogs());
}

} // namespace wortex
