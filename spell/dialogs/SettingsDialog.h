#pragma once
// The settings dialog: the open dictionaries, the user correction file and the option flags; modal, or as
// a page that a host shows itself and feeds message by message.
#include "platform/win32/Dialog.h"

#include <cstdint>
#include <string>
#include <vector>

namespace wortex {

// What the dialog needs of the library: the option word (set as message 1126 with wParam 2 does), the
// configuration place and help.
class SettingsHost {
public:
    virtual ~SettingsHost() = default;
    virtual std::uint32_t options() = 0;
    virtual void setOptions(std::uint32_t options) = 0;
    virtual std::uint32_t place() = 0;
    virtual void setPlace(std::uint32_t place) = 0;
    virtual void help(unsigned topic) = 0;
};

struct SettingsState {
    bool embedded = false;
    std::vector<std::uint16_t> entries; // dictionary handles in list order
};

// The shortened form of a file name that fits a list of the given client width.
std::string ShortenedFileName(const std::string& name, int clientWidth);

// The dictionary-list part (30001-30007), shared with the dictionary editing dialog.
void FillDictionaryList(win32::DialogModel& dialog, SettingsState& state);
void ShowDictionaryDetails(win32::DialogModel& dialog);
// true when the command belonged to the part.
bool DictionaryListCommand(win32::DialogModel& dialog, SettingsState& state, int id, win32::UINT notify);

// Asks for a user correction file and opens it; 1 when one is open afterwards.
int ChooseUserFile(win32::HWND owner);

win32::LRESULT SettingsPageProc(win32::DialogModel& dialog, win32::UINT message, win32::WPARAM wParam,
                                win32::LPARAM lParam, SettingsState& state, SettingsHost& host);
// A new process opens the dialog at the top right of the desktop again.
void ForgetSettingsDialogPlace();
// Dialog 30000, modal, with the cursor shown while it is open; nonzero.
win32::LRESULT SettingsDialog(win32::HWND owner, SettingsHost& host);

} // namespace wortex
