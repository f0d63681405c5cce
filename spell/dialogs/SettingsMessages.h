#pragma once
// The api window's settings messages: the modal settings dialog (1127), the settings page a host shows
// itself (1129 make its state, 1131 pass it a message, 1130 end it) and writing the configuration (1141).
#include "LibraryState.h"

namespace wortex {

// The record of message 1131.
struct SettingsPageMessage {
    win32::HWND window;
    win32::UINT message;
    win32::WPARAM wParam;
    win32::LPARAM lParam;
    win32::LPARAM state;
};

win32::LRESULT SettingsMessage(LibraryState& s, win32::UINT message, win32::WPARAM wParam,
                               win32::LPARAM lParam);

} // namespace wortex
