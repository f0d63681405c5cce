// The look-up memo of a run over a text answers exactly as the dictionaries and the user file do, also
// after they changed and for words that share a place in its tables.
#include "LookupMemo.h"
#include "Suggestions.h"
#include "UserFile.h"

#include "SpellTestSupport.h"

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace wortex::test {
namespace {

class Memo : public DictionaryTest {
protected:
    // Memo and dictionaries agree on the word: handle, correction and every mark.
    void expectSame(LookupMemo& memo, const std::string& word) {
        char direct[64] = {}, memoed[64] = {};
        unsigned char directMarks[64] = {}, memoMarks[64] = {};
        DBHandle expected = FindBestCorrection(0, 0, word.c_str(), direct, directMarks, false);
        EXPECT_EQ(memo.FindBestCorrection(word.c_str(), memoed, memoMarks), expected) << word;
        EXPECT_STREQ(memoed, direct) << word;
        std::size_t n = std::strlen(direct);
        EXPECT_EQ(std::memcmp(memoMarks, directMarks, n + 1), 0) << word;
    }
    DBHandle found(LookupMemo& memo, const char* word) {
        char correction[64];
        unsigned char marks[64];
        return memo.FindBestCorrection(word, correction, marks);
    }
};

TEST_F(Memo, AnswersFollowEveryChangeOfTheDictionaries) {
    DBHandle main = make("HAUPT.WXD", 'D', {"kran", "bagger", "Haus"});
    ASSERT_EQ(SetMainDictionary(main), 1);
    LookupMemo memo;
    EXPECT_EQ(found(memo, "kran"), main);
    EXPECT_EQ(found(memo, "plan"), 0);

    ASSERT_EQ(AddDictionaryWord(main, "plan", false, false, 0, 0), 1);
    EXPECT_EQ(found(memo, "plan"), main) << "a word added since";
    ASSERT_EQ(DeleteDictionaryWord(main, "kran"), 1);
    EXPECT_EQ(found(memo, "kran"), 0) << "a word deleted since";

    DBHandle second = make("ZWEI.WXD", 'D', {"kran"});
    EXPECT_EQ(found(memo, "kran"), second) << "a dictionary opened since";
    CloseDictionary(second);
    EXPECT_EQ(found(memo, "kran"), 0) << "a dictionary closed since";

    for (const char* w : {"haus", "~haus", "bagger", "baggr", "xyz"})
        expectSame(memo, w);
}

TEST_F(Memo, UserFileAnswersFollowItsChanges) {
    make("HAUPT.WXD", 'D', {"kran"});
    ASSERT_EQ(OpenUserFile(dir.file("EIGEN.WUD")), 1);
    LookupMemo memo;
    char correction[64] = "alt";
    int action = -1;
    EXPECT_EQ(memo.LookupUserWord("kranich", correction, &action), 0);
    EXPECT_STREQ(correction, "");
    EXPECT_EQ(action, 0);

    ASSERT_EQ(AddUserWord("kranich", "Kranich", kUserReplace), 1);
    EXPECT_EQ(memo.LookupUserWord("kranich", correction, &action), 1);
    EXPECT_STREQ(correction, "Kranich");
    EXPECT_EQ(action, kUserReplace);
    EXPECT_EQ(memo.LookupUserWord("kranich", nullptr, nullptr), 1);

    CloseUserFile();
    EXPECT_EQ(memo.LookupUserWord("kranich", correction, &action), 0) << "the user file closed since";
}

// Many more words than places, in random order and twice over: every answer is the dictionary's own.
TEST_F(Memo, WordsSharingAPlaceGetTheirOwnAnswers) {
    std::vector<std::string> stored, asked;
    std::mt19937 random(7);
    auto word = [&](std::size_t length) {
        std::string w;
        for (std::size_t k = 0; k < length; ++k)
            w += static_cast<char>('a' + random() % 26);
        return w;
    };
    for (int i = 0; i < 300; ++i)
        stored.push_back(word(4 + i % 9));
    make("HAUPT.WXD", 'D', stored);
    asked = stored;
    for (int i = 0; i < 2 * static_cast<int>(LookupMemo::kCorrections); ++i)
        asked.push_back(word(3 + i % 10));
    // Near misses take the correction search's costed paths.
    for (const auto& w : stored)
        asked.push_back(w.substr(0, w.size() - 1) + "e");
    for (int round = 0; round < 2; ++round) {
        std::shuffle(asked.begin(), asked.end(), random);
        LookupMemo memo;
        for (const auto& w : asked)
            expectSame(memo, w);
        for (const auto& w : asked)
            expectSame(memo, w);
    }
}

} // namespace
} // namespace wortex::test
