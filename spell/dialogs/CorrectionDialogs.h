#pragma once
// The dialogs through which the user decides about a reported word (suggestions, 1101) and reviews the
// automatic corrections of a check (correction message, 1000).
#include "platform/win32/Dialog.h"
#include "CheckDialogs.h"
#include "CorrectionRecord.h"
#include "DictionaryFile.h"

#include <cstdint>
#include <functional>

namespace wortex {

struct EditAttachment;

constexpr int kSuggestionsDialog = 1101;
constexpr int kCorrectionDialog = 1000;

// replacement: 64 bytes, written on kReplace. The attachment may be null.
int SuggestionsDialog(win32::HWND owner, EditAttachment* a, const char* word, char* replacement,
                      bool mayReplace, bool mayIgnore, const HelpFn& help);

// The description dialog of a word; 1 when its word (64 bytes, out) is to replace. Tests put a stand-in
// here.
extern int (*DescriptionDialog)(win32::HWND owner, DBHandle h, const char* word, char* wordOut,
                                bool mayReplace);

// With a record: confirms that one correction (its correction is replaced by the edited one on 1).
// Without: walks the attachment's history. 1 = correct, 0 = closed.
int CorrectionMessageDialog(win32::HWND owner, std::uint32_t options, EditAttachment& a,
                            CorrectionRecord* one, const HelpFn& help);

} // namespace wortex
