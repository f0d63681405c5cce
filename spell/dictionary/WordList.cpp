#include "WordList.h"

#include "DictionaryEngine.h"
#include "DictionarySet.h"
#include "Letters.h"

#include "platform/win32/UiServices.h"

#include <algorithm>
#include <cstring>

namespace wortex {

using namespace win32;

namespace {

constexpr int kLetterSpan = 64; // code("z") + 1

int letterCode(char c) {
    return LetterToCode(AnsiToLower(static_cast<unsigned char>(c))) >> 1;
}

char letterOf(int code) {
    return static_cast<char>(CodeToLetter(static_cast<unsigned char>(code << 1)));
}

void copyWord(const std::string& from, char out[64]) {
    std::strncpy(out, from.c_str(), 63);
    out[63] = 0;
}

} // namespace

int WordListPosition(const std::string& word) {
    if (word.empty()) return 0;
    return letterCode(word[0]) * kLetterSpan + (word.size() > 1 ? letterCode(word[1]) : 0);
}

WordList::WordList(DialogModel& dialog, DBHandle dictionary)
    : dialog_(dialog), dictionary_(dictionary),
      pageSize_(std::max(1, Ui().listPageSize(dialog, kWordListBox))) {
    char firstWord[64] = {}, lastWord[64] = {};
    FirstListWord(dictionary_, firstWord, true);
    LastListWord(dictionary_, lastWord, true);
    dialog_.setScrollRange(kWordListScrollBar, WordListPosition(firstWord), WordListPosition(lastWord));
}

std::string WordList::following(const std::string& word) {
    char w[64];
    copyWord(word, w);
    return !word.empty() && NextListWord(dictionary_, w, true) ? std::string(w) : std::string();
}

std::string WordList::preceding(const std::string& word) {
    char w[64];
    copyWord(word, w);
    return !word.empty() && PreviousListWord(dictionary_, w, true) ? std::string(w) : std::string();
}

void WordList::fill(const std::string& top, const std::string& keep, bool selectLast) {
    page_.clear();
    for (std::string w = top; !w.empty() && static_cast<int>(page_.size()) < pageSize_; w = following(w))
        page_.push_back(w);
    dialog_.clearItems(kWordListBox);
    for (const auto& w : page_)
        dialog_.addItem(kWordListBox, w);
    auto at = std::find(page_.begin(), page_.end(), keep);
    int sel = page_.empty() ? -1 : static_cast<int>(page_.size()) - 1;
    if (!selectLast && at != page_.end()) sel = static_cast<int>(at - page_.begin());
    dialog_.setSelection(kWordListBox, sel);
    dialog_.setScrollPos(kWordListScrollBar, page_.empty() ? 0 : WordListPosition(page_.front()));
    dialog_.setText(kWordListField, selectedWord());
}

std::string WordList::selectedWord() const {
    int sel = dialog_.selection(kWordListBox);
    return sel >= 0 && sel < static_cast<int>(page_.size()) ? page_[sel] : std::string();
}

void WordList::first() {
    char w[64] = {};
    fill(FirstListWord(dictionary_, w, true) ? w : "", selectedWord());
}

void WordList::last() {
    char w[64] = {};
    if (!LastListWord(dictionary_, w, true)) return fill("", "");
    std::string top = w;
    for (int i = 1; i < pageSize_; ++i) {
        std::string before = preceding(top);
        if (before.empty()) break;
        top = before;
    }
    fill(top, selectedWord());
}

void WordList::lineDown() {
    if (page_.empty() || following(page_.back()).empty()) return;
    fill(page_.size() > 1 ? page_[1] : following(page_.front()), selectedWord(), true);
}

void WordList::lineUp() {
    std::string before = page_.empty() ? std::string() : preceding(page_.front());
    if (before.empty()) return;
    fill(before, before);
}

void WordList::pageDown() {
    std::string next = page_.empty() ? std::string() : following(page_.back());
    if (next.empty()) return last();
    fill(next, selectedWord());
    if (static_cast<int>(page_.size()) < pageSize_) last();
}

void WordList::pageUp() {
    if (page_.empty()) return first();
    std::string top = page_.front();
    for (int i = 0; i < pageSize_; ++i) {
        std::string before = preceding(top);
        if (before.empty()) break;
        top = before;
    }
    fill(top, selectedWord());
}

std::string WordList::firstFrom(const std::string& word) {
    char w[64];
    copyWord(word, w);
    DictionaryNode* n = FindDictionaryNode(dictionary_);
    if (n && LookupWord(n->words, w, true)) return w;
    copyWord(word, w);
    return NextListWord(dictionary_, w, true) ? std::string(w) : std::string();
}

void WordList::go(const std::string& word) {
    std::string found = firstFrom(word);
    if (found.empty()) return last();
    fill(found, found);
    // Near the end the page is the last one, so that it stays full.
    if (static_cast<int>(page_.size()) < pageSize_) last();
}

void WordList::refresh(const std::string& select) {
    std::string keep = select.empty() ? selectedWord() : select;
    if (!select.empty()) return go(select);
    // The top word itself may be the one just deleted.
    fill(page_.empty() ? std::string() : firstFrom(page_.front()), keep);
    if (page_.empty()) first();
}

bool WordList::handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_VSCROLL && lParam == kWordListScrollBar) {
        const Control* bar = dialog_.control(kWordListScrollBar);
        int code = static_cast<int>(LoWord(wParam)), pos = static_cast<int>(HiWord(wParam));
        switch (code) {
        case SB_LINEUP:
            lineUp();
            break;
        case SB_LINEDOWN:
            lineDown();
            break;
        case SB_PAGEUP:
            pageUp();
            break;
        case SB_PAGEDOWN:
            pageDown();
            break;
        case SB_TOP:
            first();
            break;
        case SB_BOTTOM:
            last();
            break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            if (bar && pos <= bar->scrollMin)
                first();
            else if (bar && pos >= bar->scrollMax)
                last();
            else
                go(std::string{letterOf(pos / kLetterSpan), letterOf(pos % kLetterSpan)});
            break;
        case SB_ENDSCROLL:
            dialog_.setFocus(kWordListBox);
            break;
        }
        result = 0;
        return true;
    }
    if (message == WM_VKEYTOITEM && lParam == kWordListBox) {
        int key = static_cast<int>(LoWord(wParam));
        int sel = dialog_.selection(kWordListBox);
        result = -2;
        switch (key) {
        case VK_PRIOR:
            pageUp();
            return true;
        case VK_NEXT:
            pageDown();
            return true;
        case VK_HOME:
            first();
            return true;
        case VK_END:
            last();
            return true;
        case VK_UP:
            if (sel == 0)
                lineUp();
            else
                dialog_.setSelection(kWordListBox, sel - 1);
            dialog_.setText(kWordListField, selectedWord());
            return true;
        case VK_DOWN:
            if (sel == static_cast<int>(page_.size()) - 1)
                lineDown();
            else
                dialog_.setSelection(kWordListBox, sel + 1);
            dialog_.setText(kWordListField, selectedWord());
            return true;
        default:
            if ((key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z')) {
                go(std::string(1, static_cast<char>(AnsiToLower(static_cast<unsigned char>(key)))));
                return true;
            }
            result = -1;
            return true;
        }
    }
    if (message == WM_COMMAND && static_cast<int>(LoWord(wParam)) == kWordListBox) {
        if (HiWord(wParam) == LBN_SELCHANGE) dialog_.setText(kWordListField, selectedWord());
        result = 0;
        return true;
    }
    if (message == WM_COMMAND && static_cast<int>(LoWord(wParam)) == kWordListField &&
        HiWord(wParam) == EN_CHANGE) {
        std::string typed = dialog_.text(kWordListField);
        if (!typed.empty()) {
            go(typed);
            dialog_.setText(kWordListField, typed);
        }
        result = 0;
        return true;
    }
    return false;
}

} // namespace wortex
