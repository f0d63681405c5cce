// The library's own dialogs stand where the check and the style network ask for them, without WX_Init; a
// stand-in of the description dialog reaches the check too.
#include "CheckDialogs.h"
#include "CorrectionDialogs.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace wortex::test {
namespace {

TEST(LibraryDialogs, TheCheckAsksThroughTheLibrarysDialogs) {
    const CheckDialogs& hooks = CheckDialogHooks();
    EXPECT_EQ(hooks.suggestions, &SuggestionsDialog);
    EXPECT_EQ(hooks.correctionMessage, &CorrectionMessageDialog);
    ASSERT_NE(hooks.description, nullptr);
}

std::string askedWord;
int standIn(win32::HWND, DBHandle, const char* word, char* wordOut, bool mayReplace) {
    askedWord = word;
    std::strcpy(wordOut, "Haus");
    return mayReplace ? 1 : 2;
}

TEST(LibraryDialogs, AStandInOfTheDescriptionDialogAnswersTheCheck) {
    auto* saved = DescriptionDialog;
    DescriptionDialog = &standIn;
    char out[64] = {};
    int answer = ShowDescription(0, 0, "Hauss", out, true);
    DescriptionDialog = saved;
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(askedWord, "Hauss");
    EXPECT_STREQ(out, "Haus");
}

} // namespace
} // namespace wortex::test
