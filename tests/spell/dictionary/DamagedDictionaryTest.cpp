#include "SpellTestSupport.h"

#include "DictionaryEngine.h"
#include "DictionarySet.h"
#include "Doz3Format.h"
#include "UserFile.h"

#include <random>

namespace wortex::test {
namespace {

const std::string kBadFile = "Bad DB File|DOZ3 Error";
const std::string kNotOpened = "W\xf6rterbuch konnte nicht ge\xf6"
                               "ffnet werden.|Wortex";

// A user's dictionary of 200 words, damaged as a disk or a copy damages files: it is refused for taking
// words with a message and left as it is, or it opens with every word it counts.
class Damaged : public DictionaryTest {
protected:
    void SetUp() override {
        DictionaryTest::SetUp();
        good = dir.file("eigen.wxd");
        std::vector<std::string> words;
        for (int i = 0; i < 200; ++i) {
            std::string w = "wort";
            for (int k = i; k; k /= 9)
                w += static_cast<char>('a' + k % 9);
            words.push_back(w + (i % 3 ? "ung" : "er"));
        }
        CloseDictionary(make("eigen.wxd", 'D', words));
        bytes = readAll(good);
        ASSERT_GT(bytes.size(), 5000u);
    }
    // Opens a damaged copy for writing: refused with a bad-file message and the copy unchanged, or opened
    // with as many words listed as counted.
    void expectRefusedOrWhole(const std::vector<unsigned char>& damaged, const std::string& what,
                              bool mustRefuse) {
        SCOPED_TRACE(what);
        std::string path = dir.file("kaputt.wxd");
        writeAll(path, damaged);
        ui.shown.clear();
        DBHandle h = OpenDictionary(false, path);
        if (h) {
            EXPECT_FALSE(mustRefuse) << "opened";
            std::uint32_t listed = 0;
            char w[64] = {};
            for (int ok = FirstListWord(h, w, false); ok && listed < 1000; ok = NextListWord(h, w, false))
                ++listed;
            EXPECT_EQ(listed, GetDictionaryWordCount(h)) << "a word counted is listed";
            EXPECT_TRUE(ui.shown.empty());
            CloseDictionary(h);
            return;
        }
        ASSERT_EQ(ui.shown.size(), 1u);
        std::string shown = ui.shown[0].text + "|" + ui.shown[0].caption;
        EXPECT_TRUE(shown == kBadFile || shown == kNotOpened) << shown;
        EXPECT_EQ(readAll(path), damaged) << "the file stays as it was";
    }

    std::string good;
    std::vector<unsigned char> bytes;
};

TEST_F(Damaged, CutShortIsRefusedAtEveryPoint) {
    for (std::size_t k = 1; k < 34; ++k) {
        std::size_t cut = bytes.size() * k / 34;
        expectRefusedOrWhole({bytes.begin(), bytes.begin() + static_cast<long>(cut)},
                             "cut to " + std::to_string(cut) + " of " + std::to_string(bytes.size()), true);
    }
    expectRefusedOrWhole({bytes.begin(), bytes.end() - 1}, "one byte short", true);
}

TEST_F(Damaged, CountAndLinksThatDisagreeAreRefused) {
    DBHandle h = OpenDictionary(true, good);
    DictionaryNode* n = FindDictionaryNode(h);
    std::uint32_t root = n->words.rootRecord(), page = RootPageOf(n->words);
    CloseDictionary(h);
    auto patched = [&](std::uint32_t at, std::uint32_t value) {
        auto b = bytes;
        doz3::put32(b.data() + at, value);
        return b;
    };
    expectRefusedOrWhole(patched(root, 201), "count one too high", true);
    expectRefusedOrWhole(patched(root, 199), "count one too low", true);
    expectRefusedOrWhole(patched(root + 6, static_cast<std::uint32_t>(bytes.size()) + 4000),
                         "root page outside the file", true);
    expectRefusedOrWhole(patched(root + 6, page + 1), "root page off by one", true);
    // The same file read only is opened: nothing goes into it, and look-ups stay within the file.
    writeAll(dir.file("nur.wxd"), patched(root, 201));
    ui.shown.clear();
    h = OpenDictionary(true, dir.file("nur.wxd"));
    EXPECT_NE(h, 0);
    EXPECT_TRUE(ui.shown.empty());
    CloseDictionary(h);
}

TEST_F(Damaged, FlippedBytesNeverLoseAWordSilently) {
    std::mt19937 rng(55);
    for (int set = 0; set < 35; ++set) {
        auto b = bytes;
        for (int i = 0; i < 4; ++i)
            b[std::uniform_int_distribution<std::size_t>(1024, b.size() - 1)(rng)] ^=
                static_cast<unsigned char>(1 << std::uniform_int_distribution<int>(0, 7)(rng));
        expectRefusedOrWhole(b, "flipped set " + std::to_string(set), false);
    }
}

// The user correction file is refused the same way and is never created afresh over the damaged one.
TEST_F(Damaged, UserFileCutShortIsRefusedAndKept) {
    std::string user = dir.file("eigen.wud");
    ASSERT_EQ(OpenUserFile(user), 1);
    for (int i = 0; i < 60; ++i) {
        std::string w = "fehler";
        w += static_cast<char>('a' + i % 26);
        w += static_cast<char>('a' + i / 26);
        ASSERT_EQ(AddUserWord(w.c_str(), "richtig", kUserReplace), 1) << w;
    }
    OpenUserFile("");
    auto whole = readAll(user);
    std::vector<unsigned char> cut(whole.begin(), whole.begin() + static_cast<long>(whole.size() * 9 / 10));
    writeAll(user, cut);
    ui.shown.clear();
    EXPECT_EQ(OpenUserFile(user), 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text + "|" + ui.shown[0].caption, kBadFile);
    EXPECT_EQ(readAll(user), cut);
}

} // namespace
} // namespace wortex::test
