#include "UserDialogs.h"

#include "DialogTemplates.h"
#include "Support.h"
#include "UserFile.h"
#include "WordList.h"

#include "platform/win32/UiServices.h"

#include <memory>
#include <optional>

namespace wortex {

using namespace win32;

namespace {

constexpr int kInputWord = 1310;
constexpr int kReplacement = 1311;
constexpr int kAlwaysIgnore = 1312;
constexpr int kWordHelp = 1308;
constexpr int kWordOk = 102;
constexpr int kWordCancel = 101;

constexpr int kListHelp = 1301;
constexpr int kListIgnore = 1302;
constexpr int kCorrection = 1303;
constexpr int kDelete = 1304;
constexpr int kChange = 1305;
constexpr int kFileName = 1306;
constexpr int kInsert = 1307;

std::string cut63(std::string s) {
    if (s.size() > 63) s.resize(63);
    return s;
}

void centreOnOwner(DialogModel& dialog) {
    RECT parent = GetDesktopRect();
    if (DialogModel* owner = DialogFromWindow(dialog.owner())) parent = owner->rect;
    int w = dialog.rect.right - dialog.rect.left, h = dialog.rect.bottom - dialog.rect.top;
    dialog.rect.left = parent.left + (parent.right - parent.left - w) / 2;
    dialog.rect.top = parent.top + (parent.bottom - parent.top - h) / 2;
    dialog.rect.right = dialog.rect.left + w;
    dialog.rect.bottom = dialog.rect.top + h;
}

std::optional<RECT>& listRect() {
    static std::optional<RECT> rect;
    return rect;
}

class UserList {
public:
    UserList(const std::function<void(unsigned)>& help) : help_(help) {}

    LRESULT proc(DialogModel& dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            if (listRect()) dialog.rect = *listRect();
            std::string name;
            DBHandle h = GetUserFile(&name);
            dialog.setText(kFileName, name);
            list_ = std::make_unique<WordList>(dialog, h);
            list_->first();
            showEntry(dialog);
            return 1;
        }
        if (message == WM_CLOSE) {
            if (editing_)
                endEditing(dialog, false);
            else
                finish(dialog, IDCANCEL);
            return 1;
        }
        LRESULT result = 0;
        if (message != WM_COMMAND) {
            if (editing_ || !list_ || !list_->handle(message, wParam, lParam, result)) return 0;
            showEntry(dialog);
            return result;
        }
        const int id = static_cast<int>(LoWord(wParam));
        const UINT notify = HiWord(wParam);
        if (editing_) return editingCommand(dialog, id, notify);
        if (id == kCorrection) {
            if (notify == EN_SETFOCUS) {
                MessageBeep(0);
                dialog.setFocus(kChange);
            }
            return 1;
        }
        if (list_->handle(message, wParam, lParam, result)) {
            showEntry(dialog);
            return 1;
        }
        switch (id) {
        case kChange:
            startEditing(dialog);
            return 1;
        case kListIgnore:
            switchAction(dialog);
            return 1;
        case kDelete: {
            std::string word = list_->selectedWord();
            if (!word.empty() && DeleteUserWord(word.c_str())) list_->refresh();
            showEntry(dialog);
            return 1;
        }
        case kInsert: {
            std::string added;
            if (UserWordDialog(dialog.window(), help_, &added) == kWordOk) list_->go(added);
            showEntry(dialog);
            return 1;
        }
        case kListHelp:
            help_(11);
            return 1;
        case IDOK:
        case IDCANCEL:
            finish(dialog, id);
            return 1;
        default:
            return 0;
        }
    }

private:
    void finish(DialogModel& dialog, int result) {
        listRect() = dialog.rect;
        dialog.end(result);
    }

    void showEntry(DialogModel& dialog) {
        char correction[64] = {};
        int action = 0;
        std::string word = list_->selectedWord();
        if (word.empty() || !LookupUserWord(word.c_str(), correction, &action)) action = 0;
        action_ = action;
        dialog.setChecked(kListIgnore, action & kUserIgnore);
        dialog.setText(kCorrection, correction);
        dialog.setReadOnly(kCorrection, true);
        dialog.enable(kChange, (action & kUserReplace) != 0);
        dialog.enable(kListIgnore, action != 0);
        dialog.enable(kDelete, action != 0);
    }

    void startEditing(DialogModel& dialog) {
        if (list_->selectedWord().empty()) return;
        editing_ = true;
        dialog.setReadOnly(kCorrection, false);
        dialog.setFocus(kCorrection);
    }

    void endEditing(DialogModel& dialog, bool store) {
        editing_ = false;
        std::string word = list_->selectedWord();
        if (store && !word.empty())
            AddUserWord(word.c_str(), cut63(dialog.text(kCorrection)).c_str(), action_);
        showEntry(dialog);
    }

    void switchAction(DialogModel& dialog) {
        std::string word = list_->selectedWord();
        if (word.empty()) {
            showEntry(dialog);
            return;
        }
        int action = (action_ & kUserIgnore) ? kUserReplace : kUserIgnore;
        editing_ = false;
        AddUserWord(word.c_str(), "", action);
        showEntry(dialog);
        if (action == kUserReplace) startEditing(dialog);
    }

    LRESULT editingCommand(DialogModel& dialog, int id, UINT notify) {
        switch (id) {
        case kCorrection:
            if (notify == EN_KILLFOCUS) endEditing(dialog, true);
            return 1;
        case IDOK:
        case kChange:
            endEditing(dialog, true);
            return 1;
        case kListIgnore:
            switchAction(dialog);
            return 1;
        case IDCANCEL:
            endEditing(dialog, false);
            return 1;
        default:
            MessageBeep(0);
            // Back into the field without the notifications that would store the correction.
            if (dialog.focus() != kCorrection) {
                editing_ = false;
                dialog.setFocus(kCorrection);
                editing_ = true;
            }
            return 1;
        }
    }

    std::function<void(unsigned)> help_;
    std::unique_ptr<WordList> list_;
    bool editing_ = false;
    int action_ = 0;
};

} // namespace

LRESULT UserWordDialog(HWND owner, const std::function<void(unsigned)>& help, std::string* added) {
    if (added) added->clear();
    return DialogBoxParam(
        DialogModule(), kUserWordDialog, owner,
        [&](DialogModel& dialog, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
            if (message == WM_INITDIALOG) {
                centreOnOwner(dialog);
                dialog.setFocus(kInputWord);
                return 0;
            }
            if (message == WM_CLOSE) {
                dialog.end(kWordCancel);
                return 1;
            }
            if (message != WM_COMMAND) return 0;
            switch (LoWord(wParam)) {
            case kAlwaysIgnore:
                if (dialog.checked(kAlwaysIgnore)) {
                    dialog.setText(kReplacement, "");
                    dialog.enable(kReplacement, false);
                } else {
                    dialog.enable(kReplacement, true);
                    dialog.setFocus(kReplacement);
                }
                return 1;
            case kWordOk: {
                std::string word = cut63(dialog.text(kInputWord));
                if (word.empty()) {
                    MessageBeep(0);
                    dialog.setFocus(kInputWord);
                    return 1;
                }
                bool ignore = dialog.checked(kAlwaysIgnore);
                std::string correction = ignore ? "" : cut63(dialog.text(kReplacement));
                if (!AddUserWord(word.c_str(), correction.c_str(), ignore ? kUserIgnore : kUserReplace)) {
                    MessageBoxFromString(DialogModule(), dialog.window(), 200, "Wortex", MB_ICONEXCLAMATION);
                    dialog.setFocus(kInputWord);
                    return 1;
                }
                if (added) *added = word;
                dialog.end(kWordOk);
                return 1;
            }
            case kWordCancel:
            case IDCANCEL:
                dialog.end(kWordCancel);
                return 1;
            case kWordHelp:
                help(5);
                return 1;
            default:
                return 0;
            }
        });
}

LRESULT UserListDialog(HWND owner, const std::function<void(unsigned)>& help) {
    if (!GetUserFile(nullptr)) {
        MessageBoxFromString(DialogModule(), owner, 1313, "Wortex", MB_OK);
        return 0;
    }
    ShowCursor(true);
    UserList list(help);
    LRESULT r =
        DialogBoxParam(DialogModule(), kUserListDialog, owner,
                       [&](DialogModel& d, UINT m, WPARAM w, LPARAM l) { return list.proc(d, m, w, l); });
    ShowCursor(false);
    return r;
}

} // namespace wortex
