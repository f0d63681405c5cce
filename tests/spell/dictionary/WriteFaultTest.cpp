#include "SpellTestSupport.h"

#include "DictionaryEngine.h"
#include "DictionarySet.h"
#include "UserFile.h"
#include "WordImport.h"
#include "platform/win32/FileApi.h"

#include <functional>
#include <map>
#include <set>

namespace wortex::test {
namespace {

using Words = std::set<std::string>;

// A change of a dictionary fails at its n-th write or n-th sync, for every n the change has: the call
// says so, and the file, opened afresh, holds what it held before plus exactly the changes acknowledged.
// The cache is the smallest there is, so pages of a change also reach the disk before its end.
class WriteFault : public ::testing::Test {
protected:
    void SetUp() override {
        win32::SetUiServices(&ui);
        ASSERT_EQ(InitDictionarySide(24), 1);
        base = dir.file("basis.wxd");
        work = dir.file("arbeit.wxd");
        ASSERT_EQ(CreateDictionaryFile(base, 'D'), 1);
        DBHandle h = OpenDictionary(false, base);
        ASSERT_NE(h, 0);
        for (int i = 0; i < 400; ++i)
            baseWords.insert(word(i));
        for (const auto& w : baseWords)
            ASSERT_EQ(AddDictionaryWord(h, w.c_str(), false, false, 0, 0), 1) << w;
        CloseDictionary(h);
        baseBytes = readAll(base);
    }
    void TearDown() override {
        win32::SetFileFaultHook({});
        TermDictionarySide();
        win32::SetUiServices(nullptr);
    }
    // Distinct words that spread over the whole tree.
    static std::string word(int i) {
        static const char* const stems[] = {"haus", "baum", "kind", "wald", "stein", "feld", "berg"};
        std::string w = stems[i % 7];
        for (int k = i / 7; k; k /= 20)
            w += static_cast<char>('a' + k % 20);
        return w + "ung";
    }
    Words wordsOf(const std::string& path) {
        DBHandle h = OpenDictionary(false, path);
        EXPECT_NE(h, 0) << "the file opens";
        Words out;
        if (!h) return out;
        DictionaryNode* n = FindDictionaryNode(h);
        EXPECT_EQ(CheckDictionaryTree(n->words), 1);
        WalkWords(n->words, false, [&](const char* w, std::uint32_t, std::uint32_t, int) {
            out.insert(w);
            return true;
        });
        EXPECT_EQ(GetWordCount(n->words), out.size()) << "count agrees with the tree";
        CloseDictionary(h);
        return out;
    }
    // Counts the writes and syncs of op on a fresh copy of the base file.
    std::map<win32::FileOp, int> count(const std::function<void(DBHandle)>& op) {
        writeAll(work, baseBytes);
        DBHandle h = OpenDictionary(false, work);
        std::map<win32::FileOp, int> seen;
        win32::SetFileFaultHook([&](win32::FileOp f) {
            ++seen[f];
            return false;
        });
        op(h);
        CloseDictionary(h);
        win32::SetFileFaultHook({});
        return seen;
    }
    // Runs op on a fresh copy with the n-th operation of the kind failing; op returns the words the file
    // must hold afterwards and whether any call said it failed.
    template <class Op> void everyFault(win32::FileOp kind, const char* what, Op op) {
        int total = count([&](DBHandle h) { op(h); })[kind];
        ASSERT_GT(total, 0) << what;
        for (int n = 1; n <= total; ++n) {
            SCOPED_TRACE(std::string(what) + " failing at " + std::to_string(n) + " of " +
                         std::to_string(total));
            writeAll(work, baseBytes);
            ui.shown.clear();
            DBHandle h = OpenDictionary(false, work);
            ASSERT_NE(h, 0);
            int seen = 0;
            win32::SetFileFaultHook([&](win32::FileOp f) { return f == kind && ++seen == n; });
            auto [expected, failed] = op(h);
            win32::SetFileFaultHook({});
            CloseDictionary(h);
            EXPECT_TRUE(failed) << "a call says it failed";
            ASSERT_FALSE(ui.shown.empty());
            EXPECT_EQ(ui.shown.front().text, "Write Error");
            EXPECT_EQ(wordsOf(work), expected);
        }
    }

    TempDir dir;
    win32::ScriptedUi ui;
    std::string base, work;
    Words baseWords;
    std::vector<unsigned char> baseBytes;
};

TEST_F(WriteFault, AddsAndDeletesKeepEveryAcknowledgedWordAndAllBefore) {
    for (win32::FileOp kind : {win32::FileOp::Write, win32::FileOp::Flush}) {
        everyFault(kind, "add", [&](DBHandle h) {
            Words expected = baseWords;
            bool failed = false;
            for (int i = 400; i < 412; ++i) {
                std::string w = word(i);
                if (AddDictionaryWord(h, w.c_str(), false, false, 0, 0) == 1)
                    expected.insert(w);
                else
                    failed = true;
            }
            return std::pair(expected, failed);
        });
        everyFault(kind, "delete", [&](DBHandle h) {
            Words expected = baseWords;
            bool failed = false;
            for (int i = 0; i < 400; i += 37) {
                std::string w = word(i);
                if (DeleteDictionaryWord(h, w.c_str()) == 1)
                    expected.erase(w);
                else
                    failed = true;
            }
            return std::pair(expected, failed);
        });
        everyFault(kind, "change", [&](DBHandle h) {
            Words expected = baseWords;
            bool failed = false;
            for (int i = 3; i < 400; i += 53) {
                std::string from = word(i), to = word(i + 1000);
                if (ChangeDictionaryWord(h, from.c_str(), to.c_str(), false, false) == 1) {
                    expected.erase(from);
                    expected.insert(to);
                } else {
                    failed = true;
                }
            }
            return std::pair(expected, failed);
        });
    }
}

// An import is one change: it is stored whole or not at all, and a failure is reported as such.
TEST_F(WriteFault, ImportIsStoredWholeOrNotAtAll) {
    std::string text;
    for (int i = 400; i < 1000; ++i)
        text += word(i) + (i % 9 ? " " : "\n");
    const std::string list = dir.file("liste.txt");
    writeAll(list, std::vector<unsigned char>(text.begin(), text.end()));
    Words imported = baseWords;
    for (int i = 400; i < 1000; ++i)
        imported.insert(word(i));
    for (win32::FileOp kind : {win32::FileOp::Write, win32::FileOp::Flush})
        everyFault(kind, "import", [&](DBHandle h) {
            TextImport import;
            bool stored = ImportTextFile(h, list, import) == 1;
            EXPECT_EQ(import.added, stored ? 600u : 0u) << "no word counted that is not in the file";
            EXPECT_EQ(import.notStored, !stored);
            return std::pair(stored ? imported : baseWords, !stored);
        });
}

// The correction file: a pair that is replaced keeps its old correction unless the new one is
// acknowledged; pairs added before the failure stay.
TEST_F(WriteFault, CorrectionPairsKeepTheirOldCorrectionOrTakeTheAcknowledgedOne) {
    const std::string userBase = dir.file("basis.wud");
    ASSERT_EQ(OpenUserFile(userBase), 1);
    std::map<std::string, std::string> pairs;
    for (int i = 0; i < 200; ++i)
        pairs[word(i)] = word(i + 2000);
    for (const auto& [w, fix] : pairs)
        ASSERT_EQ(AddUserWord(w.c_str(), fix.c_str(), kUserReplace), 1);
    OpenUserFile("");
    const auto userBytes = readAll(userBase);
    const std::string userWork = dir.file("arbeit.wud");
    auto changes = [&] {
        std::map<std::string, std::string> expected = pairs;
        bool failed = false;
        for (int i = 0; i < 260; i += 29) {
            std::string w = word(i), fix = word(i + 3000);
            if (AddUserWord(w.c_str(), fix.c_str(), kUserReplace) == 1)
                expected[w] = fix;
            else
                failed = true;
        }
        return std::pair(expected, failed);
    };
    for (win32::FileOp kind : {win32::FileOp::Write, win32::FileOp::Flush}) {
        writeAll(userWork, userBytes);
        ASSERT_EQ(OpenUserFile(userWork), 1);
        int total = 0;
        win32::SetFileFaultHook([&](win32::FileOp f) { return f == kind && (++total, false); });
        changes();
        win32::SetFileFaultHook({});
        OpenUserFile("");
        ASSERT_GT(total, 0);
        for (int n = 1; n <= total; ++n) {
            SCOPED_TRACE("failing at " + std::to_string(n) + " of " + std::to_string(total));
            writeAll(userWork, userBytes);
            ui.shown.clear();
            ASSERT_EQ(OpenUserFile(userWork), 1);
            int seen = 0;
            win32::SetFileFaultHook([&](win32::FileOp f) { return f == kind && ++seen == n; });
            auto [expected, failed] = changes();
            win32::SetFileFaultHook({});
            OpenUserFile("");
            EXPECT_TRUE(failed);
            ASSERT_EQ(OpenUserFile(userWork), 1) << "the file opens";
            std::map<std::string, std::string> found;
            for (int i = 0; i < 260; ++i) {
                char fix[64];
                int action = 0;
                if (LookupUserWord(word(i).c_str(), fix, &action)) found[word(i)] = fix;
            }
            EXPECT_EQ(found, expected);
            OpenUserFile("");
        }
    }
}

} // namespace
} // namespace wortex::test
