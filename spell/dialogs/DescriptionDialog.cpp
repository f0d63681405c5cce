#include "DescriptionDialog.h"

#include "LibraryState.h"
#include "Attachments.h"
#include "DialogTemplates.h"
#include "DictionarySet.h"
#include "Letters.h"
#include "SettingsDialog.h"
#include "StyleNetwork.h"
#include "Support.h"
#include "TextCheck.h"
#include "WordList.h"

#include "platform/win32/EditControl.h"
#include "platform/win32/StringTable.h"
#include "platform/win32/UiServices.h"

#include <cstring>
#include <optional>

namespace wortex {

using namespace win32;

namespace {

constexpr int kList = 401;
constexpr int kAddWord = 402;
constexpr int kRemoveWord = 403;
constexpr int kWordForms = 404;
constexpr int kNewMeaning = 405;
constexpr int kPrevMeaning = 406;
constexpr int kNextMeaning = 407;
constexpr int kText = 408;
constexpr int kHelp = 409;
constexpr int kTake = 410;
constexpr int kStartWord = 411;
constexpr int kMeaningOf = 412;
constexpr int kListWord = 413;
constexpr int kStatus = 414;
constexpr int kCheck = 415;
constexpr int kClose = 1600;
constexpr int kWordGroup = 1601;
constexpr int kCopyGroup = 1508;
constexpr int kSettings[3] = {1503, 1505, 1507};
constexpr std::size_t kWord = 64;

std::string libraryString(UINT id) {
    char buf[256];
    LoadString(DialogModule(), id, buf, sizeof buf);
    return buf;
}

struct Places {
    std::optional<RECT> description, chooseWord, conflict;
};
Places& places() {
    static Places p;
    return p;
}

void moveTo(DialogModel& d, int left, int top, int height) {
    int width = d.rect.right - d.rect.left;
    d.rect = {left, top, left + width, top + height};
}

void placeTopRight(DialogModel& d, const std::optional<RECT>& remembered) {
    if (remembered) {
        d.rect = *remembered;
        return;
    }
    RECT desk = GetDesktopRect();
    moveTo(d, desk.right - (d.rect.right - d.rect.left) - 4, desk.top + 4, d.rect.bottom - d.rect.top);
}

void copyOut(const std::string& from, char* out) {
    std::strncpy(out, from.c_str(), kWord - 1);
    out[kWord - 1] = 0;
}

bool startsCapital(const std::string& w) {
    unsigned char c = w.empty() ? 0 : static_cast<unsigned char>(w[0]);
    return IsAnsiLetter(c) && AnsiToLower(c) != c;
}

bool allCapitals(const std::string& w) {
    bool letters = false;
    for (unsigned char c : w) {
        if (!IsAnsiLetter(c)) continue;
        if (AnsiToUpper(c) != c) return false;
        letters = true;
    }
    return letters && w.size() > 1;
}

HWND libraryWindow() {
    LibraryState* s = LockLibraryState();
    HWND api = s ? s->apiWindow : 0;
    UnlockLibraryState();
    return api;
}

void showSetting(DialogModel& d, int setting, bool copying) {
    for (int i = 0; i < 3; ++i)
        d.setChecked(kSettings[i], copying && setting == i);
}

class Description {
public:
    Description(DBHandle h, const char* word, const char* member, int* meaningOut, bool copying,
                int& copySetting, bool mayReplace)
        : handle_(h), start_(word), list_(member ? member : word), meaningOut_(meaningOut), copying_(copying),
          setting_(copySetting), mayReplace_(mayReplace) {}

    // false: the word is in no dictionary (message 202 shown).
    bool find(HWND owner) {
        char spelling[kWord] = {};
        DBHandle found = FindWordInDictionaries(handle_, start_.c_str(), 0, false, spelling);
        if (!found) {
            MessageBoxFromString(DialogModule(), owner, 202, "Wortex", MB_ICONEXCLAMATION);
            return false;
        }
        allCaps_ = allCapitals(start_);
        firstCap_ = startsCapital(start_) && !startsCapital(spelling);
        if (!handle_) handle_ = found;
        return true;
    }

    LRESULT proc(DialogModel& d, UINT message, WPARAM wParam, LPARAM) {
        switch (message) {
        case WM_INITDIALOG:
            open(d);
            return text(d).empty() ? 0 : 1;
        case WM_CLOSE:
            closing(d);
            return 1;
        case WM_COMMAND:
            return command(d, static_cast<int>(LoWord(wParam)), HiWord(wParam));
        default:
            return 0;
        }
    }

    const std::string& listWord() const { return list_; }
    int meaning() const { return meaning_; }

private:
    bool choosing() const { return meaningOut_ != nullptr; }
    bool writable() const { return !IsDictionaryReadOnly(handle_); }
    std::string text(DialogModel& d) const { return d.text(kText); }

    void open(DialogModel& d) {
        int height = d.rect.bottom - d.rect.top;
        const Control* group = d.control(kCopyGroup);
        int cut = group ? group->layout.y + 8 : height;
        RECT desk = GetDesktopRect();
        if (choosing()) {
            int h = copying_ ? height : cut;
            moveTo(d, (desk.left + desk.right - (d.rect.right - d.rect.left)) / 2,
                   (desk.top + desk.bottom - h) / 2, h);
        } else if (places().description) {
            d.rect = *places().description;
        } else {
            moveTo(d, desk.left + 4, desk.top + 4, cut);
        }
        meaning_ = 1;
        for (int id : {kCopyGroup, kSettings[0], kSettings[1], kSettings[2]})
            d.enable(id, copying_);
        showSetting(d, setting_, copying_);
        if (choosing()) {
            d.setText(kTake, libraryString(1314));
            d.setText(kClose, libraryString(1315));
            d.setText(kWordGroup, libraryString(1317));
            d.caption = libraryString(1316);
        }
        d.show(kWordForms, false);
        d.enable(kWordForms, false);
        d.setReadOnly(kText, !writable());
        attach(d);
        d.setText(kStartWord, start_);
        show(d, true);
    }

    // Field 408 is lent to the library like a host's edit window, 414 showing the word reported.
    void attach(DialogModel& d) {
        api_ = libraryWindow();
        AttachRecord r{d.controlWindow(kText), d.controlWindow(kStatus), kEditAdapter};
        attached_ = api_ && r.editWindow && SendMessage(api_, 1194, 0, reinterpret_cast<LPARAM>(&r)) == 1;
    }

    void detach(DialogModel& d) {
        if (!attached_) return;
        attached_ = false;
        AttachRecord r{d.controlWindow(kText), 0, kEditAdapter};
        if (IsWindow(api_)) SendMessage(api_, 1194, 1, reinterpret_cast<LPARAM>(&r));
    }

    // The library's check loop over field 408 from its start.
    void check(DialogModel& d) {
        HWND field = d.controlWindow(kText);
        if (!attached_ || !IsWindow(api_)) return;
        SendMessage(field, EM_SETSEL, 0, 0);
        CheckRange range{field, 0, 0, 0, 0};
        SendMessage(api_, 1201, 0, reinterpret_cast<LPARAM>(&range));
    }

    std::string cased(std::string w) const {
        if (allCaps_) {
            AnsiStrUpper(w.data());
        } else if (firstCap_ && !w.empty()) {
            w[0] = static_cast<char>(AnsiToUpper(static_cast<unsigned char>(w[0])));
        }
        return w;
    }

    DictionaryNode* node() const { return FindDictionaryNode(handle_); }

    void show(DialogModel& d, bool fresh) {
        current_ = list_;
        list_ = cased(list_);
        updating_ = true;
        d.setText(kListWord, list_);
        d.setText(kStatus, "");
        d.setText(kText, "");
        record_ = 0;
        if (DBHandle found = FindWordInDictionaries(handle_, current_.c_str(), 0, false, nullptr, {&record_}))
            handle_ = found;
        DictionaryNode* n = node();
        count_ = n ? MeaningCount(*n, record_) : 0;
        int selected = 0;
        if (fresh || meaning_ > count_) {
            meaning_ = std::max(1, std::min(meaning_, count_ + 1));
            d.clearItems(kList);
            listCount_ = 0;
            if (meaning_ <= count_) {
                char member[kWord] = "";
                while (NextGroupMember(handle_, current_.c_str(), meaning_, member)) {
                    if (AnsiCompareNoCase(member, current_.c_str()) == 0) selected = listCount_;
                    d.addItem(kList, member);
                    ++listCount_;
                }
            }
            if (!listCount_) d.addItem(kList, current_);
        }
        std::string description = n ? MeaningDescription(*n, record_, meaning_) : std::string();
        d.setText(kText, description);
        updating_ = false;
        changed_ = false;
        if (description.empty()) d.setFocus(kText);
        d.setText(kMeaningOf, count_ > 1 ? " " + std::to_string(meaning_) + " " + libraryString(418) + " " +
                                               std::to_string(count_)
                                         : std::string());
        if (fresh) d.setSelection(kList, selected);
        buttons(d);
    }

    void buttons(DialogModel& d) {
        bool w = writable();
        d.enable(kList, !choosing() && listCount_ != 0);
        d.enable(kAddWord, !choosing() && w);
        d.enable(kRemoveWord, !choosing() && d.selection(kList) >= 0 && w);
        d.enable(kNewMeaning, changed_ || meaning_ <= count_);
        d.enable(kPrevMeaning, meaning_ > 1);
        d.enable(kNextMeaning, meaning_ < count_);
        d.enable(kTake, choosing() || (mayReplace_ && AnsiCompareNoCase(list_.c_str(), start_.c_str()) != 0));
        d.enable(kCheck, w);
    }

    // 1 when the meaning was shown.
    int save(DialogModel& d, bool always) {
        bool change = false;
        if (changed_) {
            std::string t = text(d);
            while (!t.empty() && t.back() == ' ')
                t.pop_back();
            std::uint32_t now = SetMeaningDescription(handle_, meaning_, current_.c_str(), t.c_str());
            change = now != record_;
            record_ = now;
            changed_ = false;
        }
        DictionaryNode* n = node();
        if (!n || MeaningCount(*n, record_) == 0) change = true;
        if (!change && !always) return 0;
        if (AnsiCompareNoCase(list_.c_str(), current_.c_str()) != 0)
            if (int m = GetLinkingMeaning(handle_, list_.c_str(), current_.c_str())) meaning_ = m;
        show(d, true);
        return 1;
    }

    void end(DialogModel& d, LRESULT result) {
        if (!choosing()) places().description = d.rect;
        detach(d);
        d.end(result);
    }

    void closing(DialogModel& d) {
        bool inText = d.focus() == kText;
        if (changed_) {
            if (MessageBoxFromString(DialogModule(), d.window(), 416, "Wortex", MB_YESNO | MB_ICONQUESTION) ==
                IDYES)
                save(d, false);
            changed_ = false;
            if (inText) {
                d.setFocus(kClose);
                return;
            }
        }
        end(d, 2);
    }

    LRESULT command(DialogModel& d, int id, UINT notify) {
        switch (id) {
        case kText:
            if (notify == EN_CHANGE && !updating_) {
                changed_ = true;
                d.enable(kNewMeaning, true);
            } else if (notify == EN_KILLFOCUS) {
                buttons(d);
            }
            return 1;
        case kList:
            if (notify == LBN_SELCHANGE) {
                int sel = d.selection(kList);
                if (sel < 0) return 1;
                list_ = d.itemText(kList, sel);
                if (!save(d, false)) {
                    if (int m = GetLinkingMeaning(handle_, list_.c_str(), current_.c_str())) meaning_ = m;
                    show(d, false);
                }
            } else if (notify == LBN_DBLCLK) {
                save(d, false);
                if (mayReplace_ && !choosing()) end(d, 1);
            }
            return 1;
        case IDOK:
            save(d, false);
            if (d.focus() == kList && mayReplace_ && !choosing())
                end(d, 1);
            else if (d.focus() == kText)
                d.setFocus(kCheck);
            return 1;
        case kAddWord: {
            save(d, false);
            char chosen[kWord] = {};
            if (ChooseWordDialog(d.window(), handle_, chosen) != 1 || !*chosen) return 1;
            int none = 0;
            if (int k = LinkStyleWord(handle_, current_.c_str(), meaning_, chosen, none, false)) {
                list_ = chosen;
                meaning_ = k;
            } else if (int m = GetLinkingMeaning(handle_, chosen, current_.c_str())) {
                list_ = chosen;
                meaning_ = m;
            }
            show(d, true);
            return 1;
        }
        case kRemoveWord:
            save(d, false);
            UnlinkStyleWord(handle_, meaning_, current_.c_str());
            list_ = start_;
            meaning_ = 1;
            show(d, true);
            return 1;
        case kWordForms:
            save(d, false);
            return 1;
        case kNewMeaning:
            save(d, false);
            meaning_ = count_ + 1;
            show(d, true);
            return 1;
        case kPrevMeaning:
        case kNextMeaning:
            save(d, false);
            meaning_ += id == kPrevMeaning ? -1 : 1;
            show(d, true);
            d.setFocus(kList);
            return 1;
        case kHelp:
            if (StyleDialogServices().help) StyleDialogServices().help(9);
            return 1;
        case kTake:
            save(d, false);
            end(d, 1);
            return 1;
        case kStartWord:
        case kListWord:
            if (notify == EN_SETFOCUS) {
                save(d, false);
                MessageBeep(0);
                d.setFocus(kClose);
            }
            return 1;
        case kCheck:
            save(d, true);
            check(d);
            d.setText(kStatus, "");
            return 1;
        case kClose:
        case IDCANCEL:
            closing(d);
            return 1;
        default:
            for (int i = 0; i < 3; ++i)
                if (id == kSettings[i]) {
                    setting_ = i;
                    showSetting(d, setting_, copying_);
                    return 1;
                }
            return 0;
        }
    }

    DBHandle handle_;
    std::string start_, list_, current_;
    int* meaningOut_;
    bool copying_;
    int& setting_;
    bool mayReplace_;
    bool allCaps_ = false, firstCap_ = false, changed_ = false, updating_ = false, attached_ = false;
    HWND api_ = 0;
    int listCount_ = 0, count_ = 0, meaning_ = 1;
    std::uint32_t record_ = 0;
};

} // namespace

StyleDialogHost& StyleDialogServices() {
    static StyleDialogHost host;
    return host;
}

int DescriptionDialogFull(HWND owner, DBHandle h, const char* word, char* wordOut, int* meaningOut,
                          bool copying, int& copySetting, bool mayReplace) {
    std::string member = meaningOut && wordOut ? std::string(wordOut) : std::string();
    Description state(h, word, meaningOut ? member.c_str() : nullptr, meaningOut, copying, copySetting,
                      mayReplace);
    if (!state.find(owner)) return 2;
    ShowCursor(true);
    LRESULT r =
        DialogBoxParam(DialogModule(), kDescriptionTemplate, owner,
                       [&](DialogModel& d, UINT m, WPARAM w, LPARAM l) { return state.proc(d, m, w, l); });
    ShowCursor(false);
    if (r != 1) return 2;
    if (meaningOut)
        *meaningOut = state.meaning();
    else if (wordOut)
        copyOut(state.listWord(), wordOut);
    return 1;
}

int OpenDescriptionDialog(HWND owner, DBHandle h, const char* word, char* wordOut, bool mayReplace) {
    int setting = 0;
    return DescriptionDialogFull(owner, h, word, wordOut, nullptr, false, setting, mayReplace);
}

int ChooseWordDialog(HWND owner, DBHandle h, char* wordOut) {
    if (wordOut) *wordOut = 0;
    std::optional<WordList> list;
    std::string chosen;
    auto take = [&](DialogModel& d) {
        chosen = list->selectedWord();
        if (chosen.empty()) return;
        places().chooseWord = d.rect;
        d.end(1);
    };
    auto proc = [&](DialogModel& d, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
        if (message == WM_INITDIALOG) {
            placeTopRight(d, places().chooseWord);
            list.emplace(d, h);
            list->first();
            const Control* name = d.control(464);
            d.setText(464, ShortenedFileName(GetDictionaryFileName(h), name ? name->layout.width : 0));
            d.setFocus(kWordListBox);
            return 0;
        }
        int id = static_cast<int>(LoWord(wParam));
        UINT notify = HiWord(wParam);
        if (message == WM_COMMAND && id == kWordListBox && notify == LBN_DBLCLK) {
            take(d);
            return 1;
        }
        LRESULT result = 0;
        if (list && list->handle(message, wParam, lParam, result)) return result;
        if (message == WM_CLOSE) {
            places().chooseWord = d.rect;
            d.end(2);
            return 1;
        }
        if (message != WM_COMMAND) return 0;
        switch (id) {
        case IDOK:
        case 463:
            if ((d.focus() == kWordListBox || d.focus() == 463) && d.selection(kWordListBox) >= 0) {
                take(d);
                return 1;
            }
            if (id == 463) return 1;
            [[fallthrough]];
        case IDCANCEL:
        case 102:
            places().chooseWord = d.rect;
            d.end(2);
            return 1;
        case 452:
            d.setText(kWordListField, "");
            d.setFocus(kWordListField);
            return 1;
        case 457: {
            std::string typed = d.text(kWordListField);
            if (typed.empty()) {
                d.setFocus(kWordListField);
            } else if (!AddDictionaryWord(h, typed.c_str(), false, false, 0, 0)) {
                MessageBoxFromString(DialogModule(), d.window(), 200, "Wortex", MB_ICONEXCLAMATION);
            } else {
                list->go(typed);
            }
            return 1;
        }
        case 472:
            if (StyleDialogServices().help) StyleDialogServices().help(8);
            return 1;
        default:
            return 0;
        }
    };
    ShowCursor(true);
    LRESULT r = DialogBoxParam(DialogModule(), kChooseWordTemplate, owner, proc);
    ShowCursor(false);
    if (r == 1 && wordOut) copyOut(chosen, wordOut);
    return r == 1 ? 1 : static_cast<int>(r);
}

void ConflictDialog(HWND owner, const char* member, const char* target, const char* with, int& copySetting,
                    bool copying) {
    auto proc = [&](DialogModel& d, UINT message, WPARAM wParam, LPARAM) -> LRESULT {
        if (message == WM_INITDIALOG) {
            if (places().conflict) {
                d.rect = *places().conflict;
            } else {
                RECT desk = GetDesktopRect();
                moveTo(d, (desk.left + desk.right - (d.rect.right - d.rect.left)) / 2,
                       (desk.top + desk.bottom - (d.rect.bottom - d.rect.top)) / 2,
                       d.rect.bottom - d.rect.top);
            }
            d.setText(1502, member);
            d.setText(1504, target);
            d.setText(1506, with);
            for (int id : kSettings)
                d.enable(id, copying);
            showSetting(d, copySetting, copying);
            return 1;
        }
        if (message == WM_CLOSE) {
            places().conflict = d.rect;
            d.end(2);
            return 1;
        }
        if (message != WM_COMMAND) return 0;
        int id = static_cast<int>(LoWord(wParam));
        for (int i = 0; i < 3; ++i)
            if (id == kSettings[i]) {
                copySetting = i;
                showSetting(d, copySetting, copying);
                return 1;
            }
        if (id == 1501) {
            if (StyleDialogServices().help) StyleDialogServices().help(2);
            return 1;
        }
        if (id == IDOK || id == IDCANCEL) {
            places().conflict = d.rect;
            d.end(id);
            return 1;
        }
        return 0;
    };
    ShowCursor(true);
    DialogBoxParam(DialogModule(), kConflictTemplate, owner, proc);
    ShowCursor(false);
}

void ForgetStyleDialogPlaces() {
    places() = {};
}

} // namespace wortex
