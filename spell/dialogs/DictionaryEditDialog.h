#pragma once
// The dictionary editing dialog (300): the open dictionaries as in the settings dialog, a word list of the
// selected one with its actions, and the imports from a text file and from another dictionary.
#include "platform/win32/Dialog.h"

#include <functional>
#include <string>

namespace wortex {

// The text-file dialog of the word import: title string, the chosen full name out; true when one was
// chosen. It starts in a folder of its own, remembered for the process.
bool ChooseTextFile(win32::HWND owner, win32::UINT title, std::string& fileName);

// Modal; help topics go to help.
win32::LRESULT DictionaryEditDialog(win32::HWND owner, const std::function<void(unsigned)>& help);

// A new process starts the dialog and the text-file folder afresh.
void ForgetDictionaryEditPlaces();

} // namespace wortex
