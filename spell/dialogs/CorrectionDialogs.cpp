#include "CorrectionDialogs.h"

#include "DescriptionDialog.h"

#include "Attachments.h"
#include "DialogTemplates.h"
#include "DictionarySet.h"
#include "Letters.h"
#include "SettingsDialog.h"
#include "Suggestions.h"
#include "Support.h"
#include "UserFile.h"
#include "WordFinding.h"
#include "platform/win32/GlobalMemory.h"
#include "platform/win32/StringTable.h"
#include "platform/win32/UiServices.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace wortex {

using namespace win32;

namespace {

constexpr UINT WM_PAINT = 0x000F;

constexpr int kInText = 1114;
constexpr int kReplacementField = 1101;
constexpr int kDictionaryName = 1103;
constexpr int kList = 1106;
constexpr int kOtherFiles = 1105;
constexpr int kNewSuggestions = 1107;
constexpr int kExtended = 1602;
constexpr int kInsertWord = 1104;
constexpr int kDescription = 1102;
constexpr int kAlwaysReplace = 1110;
constexpr int kAlwaysIgnore = 1109;
constexpr int kReplaceButton = 1111;
constexpr int kIgnoreButton = 1112;
constexpr int kStopButton = 1113;
constexpr int kSuggestionsHelp = 1108;
constexpr std::size_t kMaxReplacement = 62;

// At the first opening in a process at the top right of the desktop, afterwards where it was closed.
void placeTopRight(DialogModel& dialog, std::optional<RECT>& remembered) {
    if (remembered) {
        dialog.rect = *remembered;
        return;
    }
    RECT desk = GetDesktopRect();
    int w = dialog.rect.right - dialog.rect.left, h = dialog.rect.bottom - dialog.rect.top;
    dialog.rect.left = desk.right - w - 4;
    dialog.rect.top = desk.top + 4;
    dialog.rect.right = dialog.rect.left + w;
    dialog.rect.bottom = dialog.rect.top + h;
}

std::string stringOf(UINT id) {
    char buffer[256] = {};
    LoadString(DialogModule(), id, buffer, sizeof buffer);
    return buffer;
}

class Suggestions {
public:
    Suggestions(const char* word, bool mayReplace, bool mayIgnore, const HelpFn& help)
        : word_(word), mayReplace_(mayReplace), mayIgnore_(mayIgnore), help_(help) {}

    std::string replacement;

    LRESULT proc(DialogModel& d, UINT message, WPARAM wParam, LPARAM) {
        switch (message) {
        case WM_INITDIALOG:
            init(d);
            return 0;
        case WM_PAINT:
            if (!filled_) fill(d);
            return 1;
        case WM_CLOSE:
            finish(d, kStop);
            return 1;
        case WM_COMMAND:
            return command(d, static_cast<int>(LoWord(wParam)), HiWord(wParam));
        default:
            return 0;
        }
    }

private:
    int defaultButton() const { return mayIgnore_ ? kIgnoreButton : kStopButton; }

    void init(DialogModel& d) {
        placeTopRight(d, rect());
        d.setText(kInText, word_);
        d.setText(kReplacementField, word_);
        std::string name;
        insert_ = GetMainDictionary(&name);
        const Control* field = d.control(kDictionaryName);
        d.setText(kDictionaryName, insert_ ? ShortenedFileName(name, field ? field->layout.width : 200) : "");
        bool several = insert_ && EnumDictionaries(2, nullptr) != 0; // positions count from 1
        d.setChecked(kOtherFiles, several);
        d.enable(kOtherFiles, several);
        d.show(kIgnoreButton, mayIgnore_);
        d.enable(kList, false);
        refresh(d);
        d.setFocus(defaultButton());
    }

    std::string cased(std::string s) const {
        CaseLike(word_.c_str(), s.data());
        return s;
    }

    void fill(DialogModel& d) {
        filled_ = true;
        d.clearItems(kList);
        SetCursor(IDC_WAIT);
        if (HGLOBAL block = MakeSuggestionList(word_.c_str(), d.checked(kExtended))) {
            auto* p = static_cast<const char*>(GlobalLock(block));
            std::size_t n = GlobalSize(block) / kSuggestionSlot;
            for (std::size_t k = 0; k < n && p[k * kSuggestionSlot]; ++k)
                d.addItem(kList, std::string(p + k * kSuggestionSlot));
            GlobalUnlock(block);
            GlobalFree(block);
        }
        SetCursor(IDC_ARROW);
        d.enable(kList, d.itemCount(kList) > 0);
        refresh(d);
        d.enable(kNewSuggestions, false);
        d.setFocus(d.itemCount(kList) > 0 ? kList : defaultButton());
    }

    bool canReplace(const DialogModel& d) const { return mayReplace_ && d.text(kReplacementField) != word_; }

    void refresh(DialogModel& d) {
        bool replace = canReplace(d);
        d.enable(kReplaceButton, replace);
        d.enable(kAlwaysReplace, replace);
        std::uint32_t a = 0, b = 0;
        WordOut out;
        out.valueA = &a;
        out.valueB = &b;
        std::string text = d.text(kReplacementField);
        bool found = !text.empty() && FindWordInDictionaries(d.checked(kOtherFiles) ? 0 : insert_,
                                                             text.c_str(), 0, false, nullptr, out);
        d.enable(kInsertWord, !found && !insertFailed_);
        d.enable(kDescription, found);
        if (found) d.setText(kDescription, stringOf(a || b ? 467 : 466));
    }

    // The word into the user file, opened on demand; a refusal is said, the dialog still ends as asked.
    void storeInUserFile(DialogModel& d, const std::string& correction, int action) {
        bool open = GetUserFile(nullptr) != 0;
        if (open && AddUserWord(word_.c_str(), correction.c_str(), action)) return;
        MessageBoxFromString(DialogModule(), d.window(), open ? 200 : 1313, "Wortex", MB_ICONEXCLAMATION);
    }

    void take(DialogModel& d) {
        int k = d.selection(kList);
        if (k < 0) return;
        d.setText(kReplacementField, cased(d.itemText(kList, k)));
        refresh(d);
    }

    void finish(DialogModel& d, int result) {
        replacement = d.text(kReplacementField);
        if (replacement.size() > 63) replacement.resize(63);
        rect() = d.rect;
        d.end(result);
    }

    LRESULT command(DialogModel& d, int id, UINT notify) {
        switch (id) {
        case kReplacementField:
            if (notify != EN_CHANGE) return 0;
            if (d.text(kReplacementField).size() > kMaxReplacement) {
                MessageBeep(0);
                d.setText(kReplacementField, d.text(kReplacementField).substr(0, kMaxReplacement));
            }
            edited_ = true;
            d.setSelection(kList, -1);
            d.setChecked(kExtended, false);
            d.enable(kNewSuggestions, true);
            refresh(d);
            return 1;
        case kList:
            if (notify == LBN_SELCHANGE) take(d);
            if (notify == LBN_DBLCLK) {
                take(d);
                if (canReplace(d)) finish(d, kReplace);
            }
            return 1;
        case kOtherFiles:
            refresh(d);
            return 1;
        case kNewSuggestions:
        case kExtended:
            fill(d);
            return 1;
        case kInsertWord: {
            std::string text = d.text(kReplacementField);
            if (!AddDictionaryWord(0, text.c_str(), d.checked(kOtherFiles), false, 0, 0)) {
                MessageBoxFromString(DialogModule(), d.window(), 200, "Wortex", MB_ICONEXCLAMATION);
                insertFailed_ = true;
                d.enable(kInsertWord, false);
                return 1;
            }
            refresh(d);
            if (mayIgnore_ && !edited_) finish(d, kIgnore);
            return 1;
        }
        case kDescription: {
            char out[kWordSize] = {};
            std::string text = d.text(kReplacementField);
            if (DescriptionDialog(d.window(), 0, text.c_str(), out, mayReplace_) == 1) {
                d.setText(kReplacementField, cased(out));
                finish(d, kReplace);
            }
            return 1;
        }
        case kAlwaysReplace:
            storeInUserFile(d, d.text(kReplacementField), kUserReplace);
            finish(d, kReplace);
            return 1;
        case kAlwaysIgnore:
            storeInUserFile(d, "", kUserIgnore);
            finish(d, kIgnore);
            return 1;
        case kReplaceButton:
            if (canReplace(d)) finish(d, kReplace);
            return 1;
        case kIgnoreButton:
            finish(d, mayIgnore_ ? kIgnore : kStop);
            return 1;
        case kStopButton:
            finish(d, kStop);
            return 1;
        case kSuggestionsHelp:
            help_(10);
            return 1;
        case IDOK:
            if (d.focus() == kList && mayReplace_) {
                take(d);
                if (canReplace(d)) finish(d, kReplace);
            } else if (d.focus() == kReplacementField) {
                d.setFocus(defaultButton());
            } else {
                finish(d, mayIgnore_ ? kIgnore : kStop);
            }
            return 1;
        case IDCANCEL:
            if (d.focus() == kReplacementField)
                d.setFocus(defaultButton());
            else
                finish(d, kStop);
            return 1;
        default:
            return 0;
        }
    }

    static std::optional<RECT>& rect() {
        static std::optional<RECT> r;
        return r;
    }

    std::string word_;
    bool mayReplace_, mayIgnore_;
    HelpFn help_;
    bool filled_ = false, edited_ = false, insertFailed_ = false;
    DBHandle insert_ = 0;
};

// Correction message dialog.
constexpr int kWordField = 1001;
constexpr int kCorrectionField = 1002;
constexpr int kCorrectOne = 1004;
constexpr int kInsert = 1011;
constexpr int kPrevious = 1012;
constexpr int kNext = 1013;
constexpr int kCorrectionHelp = 1014;
constexpr int kUndo = 1017;
constexpr int kCorrectCapital = 1018;
constexpr int kListCaption = 1021;
constexpr int kNumber = 1022;
constexpr int kOf = 1023;
constexpr int kCount = 1024;
constexpr int kClose = 102;

struct KindBox {
    int id;
    std::uint32_t checkedBy;
    std::uint32_t enabledBy; // 0: always
};
constexpr KindBox kKindBoxes[] = {
    {1003, 0x4, 0x4},
    {1005, 0x40000000, 0},
    {1006, 0x8 | 0x20000000, 0x8},
    {1007, 0x20000, 0x20000},
    {1008, 0x40000 | 0x80000, 0x40000 | 0x80000},
    {1016, 0x10000, 0x10000},
    {1009, 0x2000 | 0x4000 | 0x8000, 0x2000 | 0x4000 | 0x8000},
    {1010, 0x1000, 0x1000},
};

std::string plainWord(const std::string& shown) {
    std::string out;
    for (char c : shown)
        if (c != '~' && c != '+' && c != '\\') out += c;
    return out;
}

class CorrectionMessage {
public:
    CorrectionMessage(std::uint32_t options, EditAttachment& a, CorrectionRecord* one, const HelpFn& help)
        : options_(options), a_(a), one_(one), help_(help) {}

    LRESULT proc(DialogModel& d, UINT message, WPARAM wParam, LPARAM) {
        if (message == WM_INITDIALOG) return init(d);
        if (message == WM_CLOSE) {
            finish(d, 0);
            return 1;
        }
        if (message != WM_COMMAND) return 0;
        int id = static_cast<int>(LoWord(wParam));
        for (const KindBox& box : kKindBoxes)
            if (id == box.id) {
                d.setChecked(id, (record_.kind & box.checkedBy) != 0);
                MessageBeep(0);
                d.setFocus(kClose);
                return 1;
            }
        switch (id) {
        case kCorrectOne:
            if (one_) {
                std::string text = d.text(kCorrectionField).substr(0, 63);
                std::memset(one_->correction, 0, sizeof one_->correction);
                std::memcpy(one_->correction, text.data(), text.size());
                finish(d, 1);
            }
            return 1;
        case kUndo:
            writeBack(d, plainWord(d.text(kWordField)));
            return 1;
        case kCorrectCapital:
            writeBack(d, d.text(kCorrectionField));
            return 1;
        case kInsert: {
            std::string word = plainWord(d.text(kWordField));
            if (!AddDictionaryWord(0, word.c_str(), false, false, 0, 0))
                MessageBoxFromString(DialogModule(), d.window(), 200, "Wortex", MB_ICONEXCLAMATION);
            else
                d.enable(kInsert, false);
            return 1;
        }
        case kPrevious:
            if (shown_ > 0) show(d, shown_ - 1);
            return 1;
        case kNext:
            if (shown_ + 1 < offsets_.size()) show(d, shown_ + 1);
            return 1;
        case kCorrectionHelp:
            help_(4);
            return 1;
        case IDCANCEL:
            if (d.focus() == kWordField || d.focus() == kCorrectionField) {
                d.setText(kWordField, record_.shown);
                d.setText(kCorrectionField, record_.correction);
                d.setFocus(kClose);
            } else {
                finish(d, 0);
            }
            return 1;
        case kClose:
            finish(d, 0);
            return 1;
        default:
            return 0;
        }
    }

    std::size_t recordsRead() const { return offsets_.size(); }

private:
    LRESULT init(DialogModel& d) {
        placeTopRight(d, rect());
        if (one_) {
            record_ = *one_;
            d.setText(kListCaption, "");
            for (int id : {kNumber, kOf, kCount, kUndo, kCorrectCapital, kPrevious, kNext})
                d.show(id, false);
            fields(d);
            d.enable(kInsert, insertAllowed());
            return 1;
        }
        d.show(kCorrectOne, false);
        d.setText(kOf, stringOf(418));
        readHistory();
        if (offsets_.empty()) {
            finish(d, 0);
            return 1;
        }
        show(d, offsets_.size() - 1);
        d.setFocus(offsets_.size() > 1 ? kPrevious : kClose);
        return 1;
    }

    // The chain from the first record, as far as its offsets lie in the file and repeat none.
    void readHistory() {
        std::set<std::uint32_t> seen;
        std::uint32_t at = static_cast<std::uint32_t>(a_.firstRecord);
        CorrectionRecord r;
        while (at && seen.insert(at).second && ReadCorrectionRecord(a_.historyHandle, at, r)) {
            offsets_.push_back(at);
            at = r.next;
        }
    }

    bool insertAllowed() const {
        std::string word = plainWord(record_.shown);
        return GetMainDictionary(nullptr) != 0 && !word.empty() &&
               !FindWordInDictionaries(0, word.c_str(), 0, false);
    }

    void fields(DialogModel& d) {
        d.setText(kWordField, record_.shown);
        d.setText(kCorrectionField, record_.correction);
        for (const KindBox& box : kKindBoxes) {
            d.setChecked(box.id, (record_.kind & box.checkedBy) != 0);
            d.enable(box.id, box.enabledBy == 0 || (options_ & box.enabledBy) != 0);
        }
    }

    void show(DialogModel& d, std::size_t k) {
        shown_ = k;
        if (!ReadCorrectionRecord(a_.historyHandle, offsets_[k], record_)) return;
        Adapter(a_, kAdSetCaret, static_cast<WPARAM>(record_.startColumn), record_.startLine);
        MarkRecord mark{};
        std::memcpy(mark.marked, record_.correction, sizeof mark.marked);
        mark.startColumn = record_.startColumn;
        mark.startLine = record_.startLine;
        mark.endColumn = record_.endColumn;
        mark.endLine = record_.endLine;
        std::memcpy(mark.inText, record_.correction, sizeof mark.inText);
        std::memcpy(mark.correction, record_.shown, sizeof mark.correction);
        Adapter(a_, kAdShowMark, 2, reinterpret_cast<LPARAM>(&mark));
        ThawForDrawing(a_);
        fields(d);
        d.setReadOnly(kCorrectionField, true);
        d.setText(kNumber, std::to_string(k + 1));
        d.setText(kCount, std::to_string(offsets_.size()));
        d.enable(kInsert, insertAllowed());
        d.enable(kUndo, (record_.kind & ~(0x40000000u | 0x4u)) != 0);
        d.enable(kCorrectCapital, (record_.kind & 0x40000000u) != 0);
        d.enable(kPrevious, k > 0);
        d.enable(kNext, k + 1 < offsets_.size());
    }

    // Writes text over the corrected word; the record shown and those after it leave the list.
    void writeBack(DialogModel& d, const std::string& text) {
        EmptyLineCache(a_);
        FoundWord found;
        if (FindWordAt(a_, record_.startColumn, record_.startLine, found)) {
            WordChange change;
            if (WordDifference(a_, found.word, text.c_str(), found, 0, change)) {
                for (char* p = change.text; *p; ++p)
                    if (*p == '~') *p = '-';
                ReplaceRecord rr{
                    change.start.column, change.start.line, change.end.column, change.end.line, 0, 0,
                    change.text};
                Adapter(a_, kAdReplace, 0, reinterpret_cast<LPARAM>(&rr));
                EmptyLineCache(a_);
            }
        }
        if (shown_ == 0) {
            FoundWord after;
            if (FindWordAt(a_, record_.startColumn, record_.startLine, after)) {
                a_.wantedColumn = after.endColumn;
                a_.wantedLine = after.endLine;
            }
            a_.firstRecord = a_.lastRecord = 0;
            a_.recordCount = 0;
            finish(d, 0);
            return;
        }
        std::size_t previous = shown_ - 1;
        CorrectionRecord p;
        if (ReadCorrectionRecord(a_.historyHandle, offsets_[previous], p)) {
            p.next = 0;
            WriteCorrectionRecord(a_.historyHandle, offsets_[previous], p);
        }
        a_.lastRecord = static_cast<std::int32_t>(offsets_[previous]);
        a_.recordCount = static_cast<std::int32_t>(previous + 1);
        offsets_.resize(previous + 1);
        show(d, previous);
    }

    void finish(DialogModel& d, LRESULT result) {
        rect() = d.rect;
        d.end(result);
    }

    static std::optional<RECT>& rect() {
        static std::optional<RECT> r;
        return r;
    }

    std::uint32_t options_;
    EditAttachment& a_;
    CorrectionRecord* one_;
    HelpFn help_;
    CorrectionRecord record_{};
    std::vector<std::uint32_t> offsets_;
    std::size_t shown_ = 0;
};

} // namespace

int (*DescriptionDialog)(HWND owner, DBHandle h, const char* word, char* wordOut,
                         bool mayReplace) = &OpenDescriptionDialog;

int SuggestionsDialog(HWND owner, EditAttachment*, const char* word, char* replacement, bool mayReplace,
                      bool mayIgnore, const HelpFn& help) {
    Suggestions s(word, mayReplace, mayIgnore, help);
    ShowCursor(true);
    LRESULT r =
        DialogBoxParam(DialogModule(), kSuggestionsTemplate, owner,
                       [&](DialogModel& d, UINT m, WPARAM w, LPARAM l) { return s.proc(d, m, w, l); });
    ShowCursor(false);
    int result = r == kReplace ? kReplace : r == kIgnore ? kIgnore : kStop;
    if (result == kReplace && replacement) {
        std::memset(replacement, 0, kWordSize);
        std::memcpy(replacement, s.replacement.data(), std::min<std::size_t>(s.replacement.size(), 63));
    }
    return result;
}

int CorrectionMessageDialog(HWND owner, std::uint32_t options, EditAttachment& a, CorrectionRecord* one,
                            const HelpFn& help) {
    CorrectionMessage c(options, a, one, help);
    ShowCursor(true);
    LRESULT r =
        DialogBoxParam(DialogModule(), kCorrectionTemplate, owner,
                       [&](DialogModel& d, UINT m, WPARAM w, LPARAM l) { return c.proc(d, m, w, l); });
    ShowCursor(false);
    return r == 1 ? 1 : 0;
}

} // namespace wortex
