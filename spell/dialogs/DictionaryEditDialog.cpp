#include "DictionaryEditDialog.h"

#include "DescriptionDialog.h"
#include "DialogTemplates.h"
#include "DictionaryImport.h"
#include "DictionarySet.h"
#include "Hyphenation.h"
#include "Letters.h"
#include "SettingsDialog.h"
#include "Support.h"
#include "WordImport.h"
#include "WordList.h"

#include "platform/win32/FileApi.h"
#include "platform/win32/StringTable.h"
#include "platform/win32/UiServices.h"

#include <optional>

namespace wortex {

using namespace win32;

namespace {

constexpr int kDictionaries = 30001;
constexpr int kWordCount = 30006;
constexpr int kHelp = 301;
constexpr int kEnd = 102;
constexpr int kSearch = 452;
constexpr int kDescribe = 453;
constexpr int kCorrect = 454;
constexpr int kCase = 455;
constexpr int kDelete = 456;
constexpr int kInsert = 457;
constexpr int kFromText = 458;
constexpr int kFromDictionary = 459;
constexpr int kHyphens = 460;
constexpr int kKeepFlag = 461;

std::string libraryString(UINT id) {
    char buf[256];
    LoadString(DialogModule(), id, buf, sizeof buf);
    return buf;
}

struct Remembered {
    std::optional<RECT> dialog;
    std::string textFolder;
};
Remembered& remembered() {
    static Remembered r;
    return r;
}

bool styleOrUserFile(DBHandle h) {
    return GetDictionaryLanguageOf(h) == 'U';
}

// The key check of an import: a key message taken from the queue.
bool keyWaiting() {
    MSG msg;
    if (!PeekMessage(&msg, 0, 0, 0, PM_REMOVE) || msg.message != WM_KEYDOWN) return false;
    SetCursor(IDC_ARROW);
    return true;
}

class Editor {
public:
    explicit Editor(const std::function<void(unsigned)>& help) : help_(help) {}

    LRESULT proc(DialogModel& d, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_INITDIALOG) {
            place(d);
            FillDictionaryList(d, state_);
            attach(d);
            return 1;
        }
        if (message == WM_CLOSE) {
            finish(d, IDCANCEL);
            return 1;
        }
        int id = static_cast<int>(LoWord(wParam));
        UINT notify = HiWord(wParam);
        if (message == WM_COMMAND && mode_) return editing(d, id, notify);
        LRESULT result = 0;
        if (list_ && list_->handle(message, wParam, lParam, result)) {
            update(d);
            return result;
        }
        if (message != WM_COMMAND) return 0;
        if (DictionaryListCommand(d, state_, id, notify)) {
            if (selected(d) != dictionary_) attach(d);
            update(d);
            return 1;
        }
        std::string word = list_ ? list_->selectedWord() : std::string();
        switch (id) {
        case kSearch:
        case kCorrect:
        case kInsert:
            startEditing(d, id, id == kCorrect ? word : std::string());
            return 1;
        case kDescribe:
            if (!word.empty()) {
                char out[64] = {};
                OpenDescriptionDialog(d.window(), dictionary_, word.c_str(), out, false);
                list_->refresh(word);
            }
            break;
        case kCase:
            if (!word.empty()) {
                std::string other = word;
                unsigned char c = static_cast<unsigned char>(other[0]);
                other[0] = static_cast<char>(AnsiToLower(c) == c ? AnsiToUpper(c) : AnsiToLower(c));
                if (!ChangeDictionaryWord(dictionary_, word.c_str(), other.c_str(), false,
                                          d.checked(kKeepFlag)))
                    MessageBoxFromString(DialogModule(), d.window(), 201, "Wortex", MB_ICONEXCLAMATION);
                else
                    list_->go(other);
            }
            break;
        case kDelete:
            if (!word.empty() && DeleteDictionaryWord(dictionary_, word.c_str())) list_->go(word);
            break;
        case kFromText:
        case kFromDictionary:
            runImport(d, id == kFromText);
            break;
        case kHyphens:
            if (list_) list_->refresh();
            break; // the update shows them
        case kHelp:
            if (help_) help_(6);
            return 1;
        case kEnd:
        case IDOK:
        case IDCANCEL:
            finish(d, id);
            return 1;
        default:
            return 0;
        }
        update(d);
        return 1;
    }

private:
    static DBHandle selected(const DialogModel& d) {
        int sel = d.selection(kDictionaries);
        return sel < 0 ? 0 : static_cast<DBHandle>(d.itemData(kDictionaries, sel));
    }

    void place(DialogModel& d) {
        if (remembered().dialog) {
            d.rect = *remembered().dialog;
            return;
        }
        RECT desk = GetDesktopRect();
        int width = d.rect.right - d.rect.left, height = d.rect.bottom - d.rect.top;
        d.rect.left = desk.right - width - 4;
        d.rect.top = desk.top + 4;
        d.rect.right = d.rect.left + width;
        d.rect.bottom = d.rect.top + height;
    }

    void finish(DialogModel& d, int result) {
        remembered().dialog = d.rect;
        state_.entries.clear();
        d.end(result);
    }

    void attach(DialogModel& d) {
        dictionary_ = selected(d);
        list_.reset();
        if (dictionary_) {
            list_.emplace(d, dictionary_);
            list_->first();
        } else {
            d.clearItems(kWordListBox);
            d.setText(kWordListField, "");
        }
        update(d);
    }

    void update(DialogModel& d) {
        bool words = list_ && !list_->page().empty();
        bool editable = dictionary_ && !styleOrUserFile(dictionary_);
        // A dictionary opened read only shows its words and descriptions; the changes would do nothing.
        bool writable = editable && !IsDictionaryReadOnly(dictionary_);
        for (int id : {kWordListBox, kSearch, kHyphens})
            d.enable(id, words);
        d.enable(kDescribe, words && editable);
        for (int id : {kCorrect, kCase, kDelete})
            d.enable(id, words && writable);
        for (int id : {kInsert, kFromText, kFromDictionary})
            d.enable(id, writable);
        std::uint32_t a = 0;
        int mark = 0;
        std::string word = list_ ? list_->selectedWord() : std::string();
        if (!word.empty())
            FindWordInDictionaries(dictionary_, word.c_str(), 0, false, nullptr, {&a, nullptr, &mark});
        d.setText(kDescribe, libraryString(a ? 467 : 466));
        char language = dictionary_ ? GetDictionaryLanguageOf(dictionary_) : 0;
        UINT flagText = language == 'D' ? 468 : language == 'E' ? 469 : 0;
        d.show(kKeepFlag, flagText != 0);
        d.setText(kKeepFlag, flagText ? libraryString(flagText) : std::string());
        d.setChecked(kKeepFlag, mark != 0);
        d.setText(kWordCount,
                  dictionary_ ? std::to_string(GetDictionaryWordCount(dictionary_)) : std::string());
        if (d.checked(kHyphens)) showHyphens(d, language);
    }

    // The page's words with their hyphenation points; the list part keeps the words themselves.
    void showHyphens(DialogModel& d, char language) {
        int sel = d.selection(kWordListBox);
        for (int i = 0; list_ && i < static_cast<int>(list_->page().size()); ++i) {
            const std::string& w = list_->page()[i];
            char out[64];
            if (w.find('~') != std::string::npos || !HyphenateWord(language, w.c_str(), nullptr, out))
                continue;
            d.deleteItem(kWordListBox, i);
            d.insertItem(kWordListBox, i, out);
        }
        d.setSelection(kWordListBox, sel);
    }

    void startEditing(DialogModel& d, int id, const std::string& text) {
        mode_ = id;
        for (int b : {kSearch, kDescribe, kCorrect, kCase, kDelete, kInsert, kFromText, kFromDictionary})
            d.enable(b, b == id);
        d.setText(kWordListField, text);
        d.setFocus(kWordListField);
    }

    void stopEditing(DialogModel& d) {
        mode_ = 0;
        if (list_) d.setText(kWordListField, list_->selectedWord());
        update(d);
    }

    LRESULT editing(DialogModel& d, int id, UINT notify) {
        if (id == kWordListField) {
            if (notify == EN_CHANGE && mode_ == kSearch && list_) {
                std::string typed = d.text(kWordListField);
                if (!typed.empty()) list_->go(typed);
                d.setText(kWordListField, typed);
            }
            return 1;
        }
        if (id == IDCANCEL || id == kEnd) {
            stopEditing(d);
            return 1;
        }
        if (id != IDOK && id != mode_) {
            if (notify == BN_CLICKED) {
                MessageBeep(0);
                d.setFocus(kWordListField);
            }
            return 1;
        }
        std::string typed = d.text(kWordListField);
        std::string word = list_ ? list_->selectedWord() : std::string();
        bool flag = d.checked(kKeepFlag);
        if (typed.empty() || !list_) {
            stopEditing(d);
            return 1;
        }
        if (mode_ == kCorrect &&
            !ChangeDictionaryWord(dictionary_, word.c_str(), typed.c_str(), false, flag)) {
            MessageBoxFromString(DialogModule(), d.window(), 201, "Wortex", MB_ICONEXCLAMATION);
            d.setFocus(kWordListField);
            return 1;
        }
        if (mode_ == kInsert && !AddDictionaryWord(dictionary_, typed.c_str(), false, flag, 0, 0)) {
            MessageBoxFromString(DialogModule(), d.window(), 200, "Wortex", MB_ICONEXCLAMATION);
            d.setFocus(kWordListField);
            return 1;
        }
        list_->go(typed);
        stopEditing(d);
        return 1;
    }

    void runImport(DialogModel& d, bool fromText) {
        std::string file;
        if (fromText) {
            if (!ChooseTextFile(d.window(), 530, file)) return;
        } else {
            FileDialogRequest r;
            r.owner = d.window();
            r.title = libraryString(531);
            r.filter = libraryString(600);
            std::size_t a = r.filter.find('|'), b = r.filter.find('|', a + 1);
            if (b != std::string::npos) r.fileName = r.filter.substr(a + 1, b - a - 1);
            r.mustExist = true;
            if (!GetOpenFileName(r)) return;
            file = r.fileName;
        }
        std::string caption = d.caption;
        d.caption = libraryString(465);
        SetCursor(IDC_WAIT);
        TextImport import;
        import.owner = d.window();
        import.keyPressed = keyWaiting;
        import.shown = [&](const char* word, bool added, std::uint32_t count) { SetCursor(IDC_WAIT);
        if (added) d.setText(kWordCount, std::to_string(count));
        d.enable(kWordListField, added);
        d.setText(kWordListField, word);
    };
    bool read = fromText ? ImportTextFile(dictionary_, file, import) == 1
                         : ImportDictionaryFile(dictionary_, file, import) == 1;
    d.caption = caption;
    // An import that could not be stored took its words back: the count shows what the file holds.
    d.setText(kWordCount, std::to_string(GetDictionaryWordCount(dictionary_)));
    d.enable(kWordListField, true);
    SetCursor(IDC_ARROW);
    list_->first();
    if (std::string left = ImportSkipText(import.skipped); read && !left.empty())
        MessageBox(d.window(), left.c_str(), "Wortex", MB_ICONASTERISK);
}

std::function<void(unsigned)>
    help_;
SettingsState state_;
DBHandle dictionary_ = 0;
std::optional<WordList> list_;
int mode_ = 0;
}; // namespace

} // namespace wortex

bool ChooseTextFile(HWND owner, UINT title, std::string& fileName) {
    FileDialogRequest r;
    r.owner = owner;
    r.title = libraryString(title).substr(0, 79);
    r.filter = libraryString(534);
    r.fileName = "*.TXT";
    r.defaultExtension = "TXT";
    if (remembered().textFolder.empty()) remembered().textFolder = GetCurrentDirectory();
    r.initialDirectory = remembered().textFolder;
    r.mustExist = true;
    if (!GetOpenFileName(r) || r.fileName.size() > 259) return false;
    fileName = r.fileName;
    std::string dir = fileName, name;
    SplitFileName(dir, name);
    remembered().textFolder = dir;
    return true;
}

LRESULT DictionaryEditDialog(HWND owner, const std::function<void(unsigned)>& help) {
    Editor editor(help);
    ShowCursor(true);
    LRESULT r =
        DialogBoxParam(DialogModule(), kDictionaryEditTemplate, owner,
                       [&](DialogModel& d, UINT m, WPARAM w, LPARAM l) { return editor.proc(d, m, w, l); });
    ShowCursor(false);
    return r;
}

void ForgetDictionaryEditPlaces() {
    remembered() = {};
}

} // namespace wortex
