#pragma once
// The dialogs a check shows the user: the suggestions for a reported word, the review of its automatic
// corrections and a word's description. They live in the dialogs layer above, which puts them here when it
// is linked; a check without them treats every question as closed.
#include "platform/win32/Win32Types.h"
#include "CorrectionRecord.h"
#include "DictionaryFile.h"

#include <cstdint>
#include <functional>

namespace wortex {

struct EditAttachment;

// Results of the suggestions dialog.
constexpr int kReplace = 1;
constexpr int kIgnore = 2;
constexpr int kStop = 4;

using HelpFn = std::function<void(unsigned)>;

struct CheckDialogs {
    // replacement: 64 bytes, written on kReplace. The attachment may be null.
    int (*suggestions)(win32::HWND owner, EditAttachment* a, const char* word, char* replacement,
                       bool mayReplace, bool mayIgnore, const HelpFn& help) = nullptr;
    // With a record: confirms that one correction. Without: walks the attachment's history. 1 = correct.
    int (*correctionMessage)(win32::HWND owner, std::uint32_t options, EditAttachment& a,
                             CorrectionRecord* one, const HelpFn& help) = nullptr;
    // 1 when its word (64 bytes, out) is to replace.
    int (*description)(win32::HWND owner, DBHandle h, const char* word, char* wordOut,
                       bool mayReplace) = nullptr;
};
CheckDialogs& CheckDialogHooks();

// Through the hooks; without one: kStop, 0 and 2 (closed).
int ShowSuggestions(win32::HWND owner, EditAttachment* a, const char* word, char* replacement, bool mayReplace,
                    bool mayIgnore, const HelpFn& help);
int ShowCorrectionMessage(win32::HWND owner, std::uint32_t options, EditAttachment& a, CorrectionRecord* one,
                          const HelpFn& help);
int ShowDescription(win32::HWND owner, DBHandle h, const char* word, char* wordOut, bool mayReplace);

} // namespace wortex
