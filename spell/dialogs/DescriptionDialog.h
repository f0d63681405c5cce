#pragma once
// The description dialog (400) through which the user reads and edits a word's meanings, the choose-word
// dialog (450) and the conflict dialog of the style-word lists (1500).
#include "platform/win32/Dialog.h"
#include "Doz3.h"

#include <functional>
#include <string>

namespace wortex {

constexpr int kDescriptionDialog = 400;
constexpr int kChooseWordDialog = 450;
constexpr int kConflictDialog = 1500;

// What the dialogs do for help.
struct StyleDialogHost {
    std::function<void(unsigned topic)> help;
};
StyleDialogHost& StyleDialogServices();

// h 0 looks the word up in all open dictionaries. meaningOut set: the choose-meaning form, for the new
// member wordOut (in). 1 = take the list word (copied to wordOut) or, in the choose-meaning form, the
// meaning shown (in meaningOut); 2 = closed or the word is in no dictionary.
int DescriptionDialogFull(win32::HWND owner, DBHandle h, const char* word, char* wordOut, int* meaningOut,
                          bool copying, int& copySetting, bool mayReplace);
// The suggestions dialog's form.
int OpenDescriptionDialog(win32::HWND owner, DBHandle h, const char* word, char* wordOut, bool mayReplace);

// 1 and the chosen word (64 bytes), otherwise the dialog's result and an empty word.
int ChooseWordDialog(win32::HWND owner, DBHandle h, char* wordOut);

void ConflictDialog(win32::HWND owner, const char* member, const char* target, const char* with,
                    int& copySetting, bool copying);

// A new process opens them at their first places again.
void ForgetStyleDialogPlaces();

} // namespace wortex
