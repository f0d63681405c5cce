#pragma once
// The dialogs that edit the user correction file: add a word (1309) and the correction list (1300).
#include "platform/win32/Dialog.h"

#include <functional>
#include <string>

namespace wortex {

// help(topic) opens the library's help; added (may be null) receives the word stored. Returns 102 when a
// word was stored.
win32::LRESULT UserWordDialog(win32::HWND owner, const std::function<void(unsigned)>& help,
                              std::string* added);
win32::LRESULT UserListDialog(win32::HWND owner, const std::function<void(unsigned)>& help);

} // namespace wortex
