#include "SettingsDialog.h"

#include "Configuration.h"
#include "DialogTemplates.h"
#include "DictionarySet.h"
#include "Support.h"
#include "UserDialogs.h"
#include "UserFile.h"

#include "platform/win32/FileApi.h"
#include "platform/win32/StringTable.h"
#include "platform/win32/UiServices.h"

#include <optional>

namespace wortex {

using namespace win32;

namespace {

constexpr int kList = 30001;
constexpr int kOpen = 30002;
constexpr int kNew = 30003;
constexpr int kClose = 30004;
constexpr int kInsert = 30005;
constexpr int kWordCount = 30006;
constexpr int kLanguage = 30007;
constexpr int kUserOpen = 30050;
constexpr int kUserEdit = 30051;
constexpr int kHelp = 30052;
constexpr int kSave = 30053;
constexpr int kEnd = 30054;
constexpr int kPriorityEszett = 30069;
constexpr int kPriorityOu = 30070;
constexpr int kCurrentDirectory = 30071;
constexpr int kPriorityEszettText = 30072;
constexpr int kPriorityOuText = 30073;
constexpr int kUserName = 30074;

std::optional<RECT>& remembered() {
    static std::optional<RECT> rect;
    return rect;
}

std::string& lastDictionaryDirectory() {
    static std::string dir;
    return dir;
}

std::string libraryString(UINT id) {
    char buf[256];
    LoadString(DialogModule(), id, buf, sizeof buf);
    return buf;
}

// The request of a file dialog with its title and filter from the string table; the first pattern of the
// filter is the initial name.
FileDialogRequest fileRequest(HWND owner, UINT title, UINT filter, const std::string& directory) {
    FileDialogRequest r;
    r.owner = owner;
    r.title = libraryString(title);
    r.filter = libraryString(filter);
    std::size_t a = r.filter.find('|');
    std::size_t b = a == std::string::npos ? a : r.filter.find('|', a + 1);
    if (b != std::string::npos) r.fileName = r.filter.substr(a + 1, b - a - 1);
    r.initialDirectory = directory;
    return r;
}

void rememberDirectory(const std::string& file) {
    std::string dir = file, name;
    SplitFileName(dir, name);
    lastDictionaryDirectory() = dir;
}

std::string dictionaryDirectory() {
    if (lastDictionaryDirectory().empty()) lastDictionaryDirectory() = LibraryDirectory();
    return lastDictionaryDirectory();
}

bool sameFile(const std::string& a, const std::string& b) {
    std::string x = CanonicalPath(a), y = CanonicalPath(b);
    if (x.empty() || y.empty()) return false;
    return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), [](char p, char q) {
               return std::tolower(static_cast<unsigned char>(p)) ==
                      std::tolower(static_cast<unsigned char>(q));
           });
}

DBHandle selectedDictionary(const DialogModel& dialog) {
    int sel = dialog.selection(kList);
    return sel < 0 ? 0 : static_cast<DBHandle>(dialog.itemData(kList, sel));
}

void addEntry(DialogModel& dialog, SettingsState& state, DBHandle h) {
    int width = dialog.control(kList) ? dialog.control(kList)->layout.width : 0;
    int index = dialog.addItem(kList, ShortenedFileName(GetDictionaryFileName(h), width), h);
    state.entries.push_back(h);
    dialog.setSelection(kList, index);
}

void openDictionaryFile(DialogModel& dialog, SettingsState& state, const std::string& file, UINT failure) {
    for (int i = dialog.itemCount(kList) - 1; i >= 0; --i) {
        DBHandle h = static_cast<DBHandle>(dialog.itemData(kList, i));
        if (sameFile(GetDictionaryFileName(h), file)) {
            CloseDictionary(h);
            dialog.deleteItem(kList, i);
            std::erase(state.entries, h);
        }
    }
    DBHandle h = OpenDictionary(false, file);
    if (!h) {
        MessageBoxFromString(DialogModule(), dialog.window(), failure, "Wortex", MB_ICONEXCLAMATION);
        return;
    }
    addEntry(dialog, state, h);
    ShowDictionaryDetails(dialog);
}

void showUserFile(DialogModel& dialog) {
    std::string name;
    DBHandle h = GetUserFile(&name);
    dialog.setText(kUserName, h ? name : std::string());
    dialog.enable(kUserEdit, h != 0);
}

void showOptions(DialogModel& dialog, std::uint32_t options) {
    for (const auto& f : kOptionFlags)
        dialog.setChecked(f.control, (options & f.bit) != 0);
    dialog.enable(kPriorityEszett, !(options & kOptionPriorityOu));
    dialog.enable(kPriorityOu, !(options & kOptionPriorityEszett));
    if (options & kOptionPriorityOu) dialog.setChecked(kPriorityEszett, false);
}

void placeDialog(DialogModel& dialog) {
    int width = dialog.rect.right - dialog.rect.left, height = dialog.rect.bottom - dialog.rect.top;
    if (remembered()) {
        dialog.rect = *remembered();
        return;
    }
    RECT desk = GetDesktopRect();
    dialog.rect.left = desk.right - width - 4;
    dialog.rect.top = desk.top + 4;
    dialog.rect.right = dialog.rect.left + width;
    dialog.rect.bottom = dialog.rect.top + height;
}

} // namespace

std::string ShortenedFileName(const std::string& name, int clientWidth) {
    std::string shown = name;
    std::size_t cut = 0;
    while (GetTextWidth(shown) > clientWidth - 8 && shown.size() >= 5) {
        ++cut;
        if (cut + 2 >= name.size()) break;
        shown = ".." + name.substr(cut + 2);
    }
    return shown;
}

void FillDictionaryList(DialogModel& dialog, SettingsState& state) {
    dialog.clearItems(kList);
    state.entries.clear();
    for (int i = 1; DBHandle h = EnumDictionaries(i, nullptr); ++i)
        addEntry(dialog, state, h);
    dialog.setSelection(kList, dialog.itemCount(kList) ? 0 : -1);
    ShowDictionaryDetails(dialog);
}

void ShowDictionaryDetails(DialogModel& dialog) {
    DBHandle h = selectedDictionary(dialog);
    char language = h ? GetDictionaryLanguageOf(h) : 0;
    dialog.enable(kInsert, h && language != 'U' && !IsDictionaryReadOnly(h));
    dialog.setChecked(kInsert, h && GetMainDictionary(nullptr) == h);
    dialog.setText(kWordCount, h ? std::to_string(GetDictionaryWordCount(h)) : std::string());
    dialog.setText(kLanguage, language ? std::string(1, language) : std::string());
    dialog.enable(kClose, h != 0);
    UINT eszett = 0, ou = 0;
    if (language == 'D')
        eszett = 310, ou = 312;
    else if (language == 'E')
        eszett = 311, ou = 313;
    dialog.show(kPriorityEszett, eszett != 0);
    dialog.show(kPriorityOu, ou != 0);
    dialog.setText(kPriorityEszettText, eszett ? libraryString(eszett) : std::string());
    dialog.setText(kPriorityOuText, ou ? libraryString(ou) : std::string());
}

bool DictionaryListCommand(DialogModel& dialog, SettingsState& state, int id, UINT notify) {
    switch (id) {
    case kList:
        if (notify == LBN_SELCHANGE) ShowDictionaryDetails(dialog);
        return true;
    case kOpen: {
        FileDialogRequest r = fileRequest(dialog.window(), 601, 600, dictionaryDirectory());
        r.mustExist = true;
        if (GetOpenFileName(r)) {
            rememberDirectory(r.fileName);
            openDictionaryFile(dialog, state, r.fileName, 603);
        }
        return true;
    }
    case kNew: {
        FileDialogRequest r = fileRequest(dialog.window(), 602, 600, dictionaryDirectory());
        r.overwritePrompt = true;
        if (GetSaveFileName(r)) {
            rememberDirectory(r.fileName);
            char language = static_cast<char>(std::toupper(static_cast<unsigned char>(r.fileName.back())));
            if (!CreateDictionaryFile(r.fileName, language))
                MessageBoxFromString(DialogModule(), dialog.window(), 604, "Wortex", MB_ICONEXCLAMATION);
            else
                openDictionaryFile(dialog, state, r.fileName, 603);
        }
        return true;
    }
    case kClose: {
        int sel = dialog.selection(kList);
        if (sel >= 0) {
            DBHandle h = selectedDictionary(dialog);
            CloseDictionary(h);
            std::erase(state.entries, h);
            dialog.deleteItem(kList, sel);
            dialog.setSelection(kList, dialog.itemCount(kList) ? 0 : -1);
            ShowDictionaryDetails(dialog);
        }
        return true;
    }
    case kInsert:
        ForgetUnopenedInsertFile();
        if (DBHandle h = selectedDictionary(dialog); h && dialog.checked(kInsert))
            SetMainDictionary(h);
        else
            ClearMainDictionary();
        ShowDictionaryDetails(dialog);
        return true;
    default:
        return false;
    }
}

int ChooseUserFile(HWND owner) {
    FileDialogRequest r = fileRequest(owner, 605, 606, GetCurrentDirectory());
    r.createPrompt = true;
    if (!GetOpenFileName(r)) return 0;
    return OpenUserFile(r.fileName);
}

LRESULT SettingsPageProc(DialogModel& dialog, UINT message, WPARAM wParam, LPARAM, SettingsState& state,
                         SettingsHost& host) {
    switch (message) {
    case WM_INITDIALOG:
        if (!state.embedded) placeDialog(dialog);
        FillDictionaryList(dialog, state);
        showUserFile(dialog);
        showOptions(dialog, host.options());
        dialog.setChecked(kCurrentDirectory, host.place() == kPlaceCurrentDirectory);
        dialog.enable(kSave, false);
        return 1;
    case WM_CLOSE:
        if (state.embedded) return 1;
        dialog.command(kEnd, BN_CLICKED);
        return 1;
    case WM_COMMAND:
        break;
    default:
        return 0;
    }
    const int id = static_cast<int>(LoWord(wParam));
    const UINT notify = HiWord(wParam);
    if (DictionaryListCommand(dialog, state, id, notify)) return 1;
    for (const auto& f : kOptionFlags)
        if (f.control == id) {
            std::uint32_t options = host.options();
            options = dialog.checked(id) ? options | f.bit : options & ~f.bit;
            host.setOptions(NormaliseOptions(options));
            showOptions(dialog, host.options());
            dialog.enable(kSave, true);
            return 1;
        }
    switch (id) {
    case kUserName:
        if (notify == EN_SETFOCUS) {
            MessageBeep(0);
            dialog.setFocus(kUserOpen);
        }
        return 1;
    case kUserOpen:
        ChooseUserFile(dialog.window());
        showUserFile(dialog);
        dialog.enable(kSave, true);
        return 1;
    case kUserEdit:
        UserListDialog(dialog.window(), [&](unsigned topic) { host.help(topic); });
        return 1;
    case kCurrentDirectory:
        dialog.enable(kSave, true);
        return 1;
    case kHelp:
        host.help(3);
        return 1;
    case kSave:
        host.setPlace(dialog.checked(kCurrentDirectory) ? kPlaceCurrentDirectory : kPlaceLibrary);
        if (WriteConfiguration(host.place(), host.options())) dialog.enable(kSave, false);
        return 1;
    case kEnd:
    case IDOK:
    case IDCANCEL:
        if (state.embedded) return 1;
        remembered() = dialog.rect;
        state.entries.clear();
        dialog.end(id);
        return 1;
    default:
        return 0;
    }
}

void ForgetSettingsDialogPlace() {
    remembered().reset();
}

LRESULT SettingsDialog(HWND owner, SettingsHost& host) {
    SettingsState state;
    ShowCursor(true);
    DialogBoxParam(DialogModule(), kSettingsDialog, owner, [&](DialogModel& d, UINT m, WPARAM w, LPARAM l) {
        return SettingsPageProc(d, m, w, l, state, host);
    });
    ShowCursor(false);
    return 1;
}

} // namespace wortex
