#include "SettingsMessages.h"

#include "Configuration.h"
#include "SettingsDialog.h"

#include <map>
#include <memory>

namespace wortex {

using namespace win32;

namespace {

// The library seen from its dialogs: the option word goes through message 1126, so that attached windows
// follow a change of AutoCheck.
class ApiSettingsHost : public SettingsHost {
public:
    explicit ApiSettingsHost(LibraryState& s) : s_(s) {}
    std::uint32_t options() override { return s_.options; }
    void setOptions(std::uint32_t options) override { SendMessage(s_.apiWindow, 1126, 2, options); }
    std::uint32_t place() override { return s_.configurationPlace; }
    void setPlace(std::uint32_t place) override { s_.configurationPlace = place; }
    void help(unsigned topic) override { WinHelp(s_.apiWindow, s_.helpFile, HELP_CONTEXT, topic); }

private:
    LibraryState& s_;
};

// The pages made by 1129 and not yet ended by 1130; the process owns what a host never ends.
std::map<SettingsState*, std::unique_ptr<SettingsState>>& pages() {
    static std::map<SettingsState*, std::unique_ptr<SettingsState>> p;
    return p;
}

SettingsState* pageOf(LPARAM handle) {
    auto it = pages().find(reinterpret_cast<SettingsState*>(handle));
    return it == pages().end() ? nullptr : it->first;
}

} // namespace

LRESULT SettingsMessage(LibraryState& s, UINT message, WPARAM wParam, LPARAM lParam) {
    ApiSettingsHost host(s);
    switch (message) {
    case 1127: {
        HWND active = GetActiveWindow();
        LRESULT r = SettingsDialog(active, host);
        SetActiveWindow(active);
        return r;
    }
    case 1129: {
        auto state = std::make_unique<SettingsState>();
        state->embedded = true;
        SettingsState* handle = state.get();
        pages()[handle] = std::move(state);
        return reinterpret_cast<LRESULT>(handle);
    }
    case 1130:
        if (SettingsState* state = pageOf(lParam)) pages().erase(state);
        return 1;
    case 1131: {
        const auto* record = reinterpret_cast<const SettingsPageMessage*>(lParam);
        SettingsState* state = record ? pageOf(record->state) : nullptr;
        DialogModel* page = record ? DialogFromWindow(record->window) : nullptr;
        if (!state || !page) return 0;
        return SettingsPageProc(*page, record->message, record->wParam, record->lParam, *state, host);
    }
    case 1141:
        s.configurationPlace = wParam == kPlaceCurrentDirectory ? kPlaceCurrentDirectory : kPlaceLibrary;
        WriteConfiguration(s.configurationPlace, s.options);
        return 0;
    default:
        return 0;
    }
}

} // namespace wortex
