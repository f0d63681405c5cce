#pragma once
// The library's dialog templates, kept with the library like its string table.
#include "platform/win32/Dialog.h"

namespace wortex {

constexpr int kSettingsDialog = 30000;
constexpr int kUserWordDialog = 1309;
constexpr int kUserListDialog = 1300;
constexpr int kSuggestionsTemplate = 1101;
constexpr int kCorrectionTemplate = 1000;
constexpr int kDescriptionTemplate = 400;
constexpr int kChooseWordTemplate = 450;
constexpr int kConflictTemplate = 1500;
constexpr int kDictionaryEditTemplate = 300;

// The module handle under which the library's strings and dialogs are registered (on first use).
win32::HINSTANCE DialogModule();

} // namespace wortex
