#pragma once
// The word list of a dialog: list 451 shows one page of a dictionary's words in list order, a scroll bar
// beside it pages by the first two letters, field 462 holds the selected or typed word.
#include "platform/win32/Dialog.h"
#include "Doz3.h"

#include <string>
#include <vector>

namespace wortex {

constexpr int kWordListBox = 451;
constexpr int kWordListField = 462;
constexpr int kWordListScrollBar = 479;

// The scroll position of a word: code of its first letter × 64 + code of its second.
int WordListPosition(const std::string& word);

class WordList {
public:
    WordList(win32::DialogModel& dialog, DBHandle dictionary);

    void first();
    void lineDown();
    void lineUp();
    void pageUp();
    void pageDown();
    void last();
    // The page from the first word that is not before the word or prefix.
    void go(const std::string& word);
    // The page filled again from its top word, the selection on the word if it is there.
    void refresh(const std::string& select = {});

    const std::vector<std::string>& page() const { return page_; }
    std::string selectedWord() const;
    int pageSize() const { return pageSize_; }

    // WM_VSCROLL, WM_VKEYTOITEM and the list's selection; true when the message was the list's.
    bool handle(win32::UINT message, win32::WPARAM wParam, win32::LPARAM lParam, win32::LRESULT& result);

private:
    void fill(const std::string& top, const std::string& keep, bool selectLast = false);
    std::string following(const std::string& word);
    std::string preceding(const std::string& word);
    // The word if the dictionary holds it, else the first after it; empty when none.
    std::string firstFrom(const std::string& word);

    win32::DialogModel& dialog_;
    DBHandle dictionary_;
    int pageSize_;
    std::vector<std::string> page_;
};

} // namespace wortex
