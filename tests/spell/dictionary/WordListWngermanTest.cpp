// The word list over a dictionary of real German words: a slice of Debian's wngerman list.
#include "DialogTestSupport.h"
#include "WngermanList.h"

#include "WordList.h"

#include <cstring>

namespace wortex::test {
namespace {

class WordListWngerman : public DialogTest {};

TEST_F(WordListWngerman, LastPageAndThumb) {
    if (!std::filesystem::exists(kWngermanPath))
        GTEST_SKIP() << kWngermanPath << " is missing: install wngerman";
    std::vector<std::string> lines = readWngerman();
    DBHandle h = dictionary("slice.wxd", 'd');
    int added = 0;
    for (std::size_t i = 0; i < lines.size(); i += 200)
        added += AddDictionaryWord(h, lines[i].c_str(), false, false, 0, 0);
    AddDictionaryWord(h, lines.back().c_str(), false, false, 0, 0);
    ASSERT_GT(added, 1000);

    const auto* t = win32::FindDialogTemplate(DialogModule(), kUserListDialog);
    win32::DialogModel d(*t, nullptr, 0);
    WordList list(d, h);
    char last[64] = {};
    ASSERT_EQ(LastListWord(h, last, true), 1);
    list.last();
    ASSERT_EQ(list.page().size(), 10u);
    EXPECT_EQ(list.page().back(), last);

    win32::LRESULT r = 0;
    list.handle(win32::WM_VSCROLL, win32::MakeWParam(win32::SB_THUMBPOSITION, 1605), kWordListScrollBar, r);
    ASSERT_FALSE(list.page().empty());
    char before[64];
    std::strcpy(before, list.page().front().c_str());
    ASSERT_EQ(PreviousListWord(h, before, true), 1);
    EXPECT_LT(WordListPosition(before), 1605) << before << " comes before ha";
    EXPECT_GE(WordListPosition(list.page().front()), 1605) << list.page().front();
}

} // namespace
} // namespace wortex::test
