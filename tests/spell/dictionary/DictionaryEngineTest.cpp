#include "SpellTestSupport.h"

#include "DictionaryEngine.h"
#include "Doz3Format.h"
#include "Letters.h"

#include <algorithm>
#include <cstring>
#include <random>
#include <set>

namespace wortex::test {
namespace {

class DictEngine : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        path = dir.file("test.wxd");
        ASSERT_EQ(CreateDBFile(path), 1);
        ASSERT_EQ(CreateDictionary(path, 'd'), 1);
        h = OpenDBFile(path, 4);
        ASSERT_NE(h, 0);
        ASSERT_EQ(OpenDictionaryTable(h, words, 1), 1);
    }
    void TearDown() override {
        CloseDBFile(h);
        EngineTest::TearDown();
    }
    std::string lookup(const char* w, bool caps = false) {
        char buf[64];
        std::strcpy(buf, w);
        return LookupWord(words, buf, caps) ? buf : "-";
    }
    // The page the root record points at, 0 when it can't be read.
    std::uint32_t rootPage() {
        unsigned char root[30];
        return ReadDBBytes(h, words.rootRecord(), root, 30) == 1 ? doz3::get32(root + 6) : 0;
    }
    std::vector<std::string> all(bool forward = true) {
        std::vector<std::string> out;
        char buf[64] = {};
        for (int ok = forward ? FirstWord(words, buf, false) : LastWord(words, buf, false); ok;
             ok = forward ? NextWord(words, buf, false) : PreviousWord(words, buf, false))
            out.push_back(buf);
        return out;
    }
    std::string path;
    DBHandle h = 0;
    DictCollection words;
};

TEST_F(DictEngine, FreshFileLayout) {
    CloseDBFile(h);
    auto b = readAll(path);
    auto headerAt = Doz3Checker(b).directoryOffsets();
    ASSERT_EQ(headerAt, (std::vector<std::uint32_t>{340, 394}));
    for (std::uint32_t at : headerAt) {
        const unsigned char* p = b.data() + at;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(p + 34)), "#WXT#");
        EXPECT_EQ(doz3::get32(p + 40), at);
        EXPECT_EQ(doz3::get16(p + 48), 12);
        EXPECT_EQ(doz3::get16(p + 32), 30);
        std::uint32_t root = doz3::get32(p + 26);
        EXPECT_EQ(doz3::get32(p + 44), root);
        EXPECT_EQ(root, doz3::get32(p + 18) + 24) << "first record of the word-tree table";
        EXPECT_EQ(doz3::get32(b.data() + root), 0u);
        EXPECT_EQ(doz3::get32(b.data() + root + 6), 0u);
        EXPECT_EQ(b[root + 29], 'D') << "language letter upper-cased";
    }
    EXPECT_TRUE(Doz3Checker(b).check({1024, 2048, 3072, 4096}).empty());
    h = OpenDBFile(path, 4);
}

// One word: the root page holds a single entry with the rest of the word as its tail.
TEST_F(DictEngine, OneWordPageBytes) {
    ASSERT_EQ(InsertWord(words, "Haus", false, 0, 0), 1);
    CloseDBFile(h);
    auto b = readAll(path);
    ASSERT_EQ(doz3::get32(b.data() + 1048), 1u) << "word count";
    ASSERT_EQ(doz3::get32(b.data() + 1048 + 6), 1079u)
        << "root page right after the root record and its size";
    std::vector<unsigned char> page(b.begin() + 1078, b.begin() + 1085);
    EXPECT_EQ(page, (std::vector<unsigned char>{6, 0x32, 0x03, 3, 0x0A, 0x68, 0x60}));
    EXPECT_TRUE(Doz3Checker(b).check({1024, 2048, 3072, 4096}, {{1048, 30, 1024}, {1078, 7, 1024}}).empty());
    h = OpenDBFile(path, 4);
    ASSERT_EQ(OpenDictionaryTable(h, words, 1), 1);
    EXPECT_EQ(lookup("haus"), "Haus");
}

TEST_F(DictEngine, CapitalsAndDuplicates) {
    ASSERT_EQ(InsertWord(words, "Haus", false, 0, 0), 1);
    EXPECT_EQ(InsertWord(words, "haus", false, 0, 0), 0) << "same word";
    EXPECT_EQ(InsertWord(words, "h", false, 0, 0), 0) << "too short";
    EXPECT_EQ(InsertWord(words,
                         "h\xfe"
                         "x",
                         false, 0, 0),
              0)
        << "a letter outside the table";
    EXPECT_EQ(InsertWord(words, "~m~a~x", true, 7, 9), 1);
    EXPECT_EQ(lookup("HAUS"), "Haus");
    EXPECT_EQ(lookup("max", true), "~m~a~x");
    std::uint32_t a = 0, bv = 0;
    int mark = 0;
    char buf[64] = "max";
    ASSERT_EQ(LookupWord(words, buf, false, {&a, &bv, &mark}), 1);
    EXPECT_EQ(std::string(buf), "Max");
    EXPECT_EQ(a, 7u);
    EXPECT_EQ(bv, 9u);
    EXPECT_EQ(mark, 1);
    EXPECT_EQ(GetWordCount(words), 2u);
    EXPECT_EQ(GetDictionaryLanguage(words), 'D');
}

TEST_F(DictEngine, TailSplitAndNavigation) {
    ASSERT_EQ(InsertWord(words, "hausboot", false, 0, 0), 1);
    ASSERT_EQ(InsertWord(words, "hauskatze", false, 0, 0), 1);
    ASSERT_EQ(InsertWord(words, "haus", false, 0, 0), 1);
    ASSERT_EQ(InsertWord(words, "abc", false, 0, 0), 1);
    ASSERT_EQ(InsertWord(words, "zebra", false, 0, 0), 1);
    ASSERT_EQ(InsertWord(words, "h\xe4user", false, 0, 0), 1);
    std::vector<std::string> expected{"abc", "haus", "hausboot", "hauskatze", "h\xe4user", "zebra"};
    EXPECT_EQ(all(), expected);
    EXPECT_EQ(all(false), std::vector<std::string>(expected.rbegin(), expected.rend()));
    char buf[64] = "hausb";
    ASSERT_EQ(NextWord(words, buf, false), 1);
    EXPECT_EQ(std::string(buf), "hausboot");
    std::strcpy(buf, "hausb");
    ASSERT_EQ(PreviousWord(words, buf, false), 1);
    EXPECT_EQ(std::string(buf), "haus");
    buf[0] = 0;
    ASSERT_EQ(NextWord(words, buf, false), 1) << "continues from the word buffer";
    EXPECT_EQ(std::string(buf), "hausboot");
    for (const auto& w : expected)
        EXPECT_EQ(lookup(w.c_str()), w);
    EXPECT_EQ(lookup("hau"), "-");
    EXPECT_EQ(lookup("hausbootx"), "-");
}

TEST_F(DictEngine, SuffixCompression) {
    char codes[64] = "ohnungen";
    EncodeWord(kCurrentFormat, codes, false);
    std::string stored = CompressTail(codes);
    ASSERT_EQ(stored.size(), 4u);
    EXPECT_EQ(static_cast<unsigned char>(stored[3]), 170 + 6) << "\"ungen\" as one byte";
    std::string back;
    ASSERT_TRUE(ExpandTail(stored, back));
    EXPECT_EQ(back, std::string(codes));
    ASSERT_EQ(InsertWord(words, "Wohnungen", false, 0, 0), 1);
    EXPECT_EQ(lookup("wohnungen"), "Wohnungen");
    EXPECT_FALSE(ExpandTail(std::string(1, char(231)), back));
}

TEST_F(DictEngine, DeleteCascadesAndValues) {
    ASSERT_EQ(InsertWord(words, "haus", false, 0, 0), 1);
    ASSERT_EQ(DeleteWord(words, "Haus"), 1);
    EXPECT_EQ(DeleteWord(words, "haus"), 0);
    EXPECT_EQ(GetWordCount(words), 0u);
    char buf[64];
    EXPECT_EQ(FirstWord(words, buf, false), 0) << "root page 0 again";

    for (const char* w : {"haus", "hausboot", "hausbau"})
        ASSERT_EQ(InsertWord(words, w, false, 0, 0), 1);
    EXPECT_EQ(SetWordValue(words, "hausbau", 42, 4), 1);
    std::uint32_t a = 0;
    std::strcpy(buf, "hausbau");
    ASSERT_EQ(LookupWord(words, buf, false, {&a}), 1);
    EXPECT_EQ(a, 42u);
    EXPECT_EQ(SetWordValue(words, "hausbau", 0, 4), 1);
    std::strcpy(buf, "hausbau");
    ASSERT_EQ(LookupWord(words, buf, false, {&a}), 1);
    EXPECT_EQ(a, 0u);
    for (const char* w : {"hausboot", "haus", "hausbau"})
        ASSERT_EQ(DeleteWord(words, w), 1) << w;
    EXPECT_EQ(FirstWord(words, buf, false), 0);
    CloseDBFile(h);
    // Every page was given back: only the root record stays in the word-tree table.
    auto b = readAll(path);
    EXPECT_TRUE(Doz3Checker(b).check({1024, 2048, 3072, 4096}).empty());
    EXPECT_EQ(doz3::get32(b.data() + 1048 + 6), 0u);
    h = OpenDBFile(path, 4);
    ASSERT_EQ(OpenDictionaryTable(h, words, 1), 1);
}

// Pages placed beyond 16 MiB need 4-byte links.
TEST_F(DictEngine, LongLinks) {
    ASSERT_EQ(InsertWord(words, "abend", false, 0, 0), 1);
    ASSERT_EQ(LockDBFile(h, 0), 1);
    unsigned char one = 1;
    for (int i = 0; i < 290; ++i) {
        std::uint32_t at = AllocDBRecord(h, 60000, 0);
        ASSERT_NE(at, 0u);
        ASSERT_EQ(WriteDBBytes(h, at + 59999, &one, 1), 1);
    }
    // A record the word-tree table's current chunk can't hold moves the table to a new chunk out there.
    ASSERT_GE(AllocDBRecord(h, 3000, words.wordTable()), 16777216u);
    UnlockDBFile(h, 0);
    ASSERT_EQ(InsertWord(words, "abendrot", false, 0, 0), 1);
    ASSERT_EQ(InsertWord(words, "abendessen", false, 0, 0), 1);
    // The root page now links "a" to a page far out.
    std::uint32_t page = rootPage();
    ASSERT_NE(page, 0u);
    unsigned char entry[6];
    ASSERT_EQ(ReadDBBytes(h, page, entry, 6), 1);
    EXPECT_EQ(entry[1], kEntryLink | kEntryLongLink);
    EXPECT_GE(doz3::get32(entry + 2), 16777216u);
    EXPECT_EQ(all(), (std::vector<std::string>{"abend", "abendessen", "abendrot"}));
}

TEST_F(DictEngine, RefusesMalformedPages) {
    ASSERT_EQ(InsertWord(words, "haus", false, 0, 0), 1);
    std::uint32_t page = rootPage();
    ASSERT_NE(page, 0u);
    struct Case {
        std::uint32_t at;
        unsigned char byte;
    };
    for (Case k : {Case{page - 1, 200}, Case{page + 2, 60}, Case{page + 1, 0x81}, Case{page, 0}}) {
        unsigned char old;
        ASSERT_EQ(ReadDBBytes(h, k.at, &old, 1), 1);
        ASSERT_EQ(WriteDBBytes(h, k.at, &k.byte, 1), 1);
        EXPECT_EQ(lookup("haus"), "-") << k.at;
        EXPECT_EQ(InsertWord(words, "hausx", false, 0, 0), 0);
        ASSERT_EQ(WriteDBBytes(h, k.at, &old, 1), 1);
    }
    EXPECT_EQ(lookup("haus"), "haus");
}

// A page once read whole is searched only up to the letter wanted; a change of its bytes after that must
// still be seen, also behind that letter.
TEST_F(DictEngine, APageChangedAfterALookUpIsReadWholeAgain) {
    ASSERT_EQ(InsertWord(words, "haus", false, 0, 0), 1);
    ASSERT_EQ(InsertWord(words, "zebra", false, 0, 0), 1);
    std::uint32_t page = rootPage();
    ASSERT_NE(page, 0u);
    unsigned char head[2];
    ASSERT_EQ(ReadDBBytes(h, page - 2, head, 2), 1);
    ASSERT_LT(head[1], 128) << "a short page";
    std::vector<unsigned char> bytes(head[1]);
    ASSERT_EQ(ReadDBBytes(h, page, bytes.data(), static_cast<std::uint16_t>(bytes.size())), 1);
    auto z = std::find(bytes.begin(), bytes.end(), LetterToCode('z'));
    ASSERT_NE(z, bytes.end());
    std::uint32_t at = page + static_cast<std::uint32_t>(z - bytes.begin());
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(lookup("haus"), "haus");
        EXPECT_EQ(lookup("zebra"), "zebra");
        // z becomes a, out of letter order behind the h of "haus".
        unsigned char a = LetterToCode('a');
        ASSERT_EQ(WriteDBBytes(h, at, &a, 1), 1);
        EXPECT_EQ(lookup("haus"), "-") << round;
        EXPECT_EQ(lookup("zebra"), "-") << round;
        unsigned char back = LetterToCode('z');
        ASSERT_EQ(WriteDBBytes(h, at, &back, 1), 1);
    }
}

// Random inserts and deletes against std::set, all words looked up after each batch.
TEST_F(DictEngine, DifferentialAgainstSet) {
    std::mt19937 rng(4711);
    const char letters[] = "aeinrstu\xe4\xf6\xdf";
    std::set<std::string> model;
    auto randomWord = [&] {
        std::string w;
        int n = 2 + static_cast<int>(rng() % 9);
        for (int i = 0; i < n; ++i)
            w.push_back(letters[rng() % (sizeof letters - 1)]);
        return w;
    };
    for (int batch = 0; batch < 50; ++batch) {
        // One whole-file lock per batch, as a bulk import holds it: the file is flushed once per batch.
        ASSERT_EQ(LockDBFile(h, 0), 1);
        for (int i = 0; i < 1000; ++i) {
            std::string w = randomWord();
            if (rng() % 3 == 0) {
                ASSERT_EQ(DeleteWord(words, w.c_str()), model.erase(w) ? 1 : 0) << w;
            } else {
                ASSERT_EQ(InsertWord(words, w.c_str(), false, 0, 0), model.insert(w).second ? 1 : 0) << w;
            }
        }
        ASSERT_EQ(GetWordCount(words), model.size());
        for (const auto& w : model)
            ASSERT_EQ(lookup(w.c_str()), w);
        UnlockDBFile(h, 0);
    }
    std::vector<std::string> inOrder(model.begin(), model.end());
    std::sort(inOrder.begin(), inOrder.end(), [](const std::string& a, const std::string& b) {
        return CompareWords(a.c_str(), b.c_str()) < 0;
    });
    EXPECT_EQ(all(), inOrder);
    CloseDBFile(h);
    EXPECT_TRUE(Doz3Checker::fromFile(path).check({1024, 2048, 3072, 4096}, {}, false).empty());
    h = OpenDBFile(path, 4);
}

// The same inserts, deletes, value changes and lookups through a cache of 24 pages and one of 3000: every
// answer and the file's bytes come out the same, and the answers follow std::set.
TEST_F(DictEngine, SmallAndLargeCacheGiveTheSameAnswersAndBytes) {
    CloseDBFile(h);
    h = 0;
    struct Run {
        std::vector<std::string> answers;
        std::vector<unsigned char> bytes;
    };
    auto run = [&](std::uint16_t pages) {
        TermDBEngine();
        EXPECT_EQ(InitDBEngine(pages), 1);
        EXPECT_EQ(DBCachePages(), pages);
        Run out;
        std::string file = dir.file("cache" + std::to_string(pages) + ".wxd");
        EXPECT_EQ(CreateDBFile(file), 1);
        EXPECT_EQ(CreateDictionary(file, 'd'), 1);
        DBHandle db = OpenDBFile(file, 4);
        DictCollection c;
        EXPECT_EQ(OpenDictionaryTable(db, c, 1), 1);
        std::mt19937 rng(2612);
        const char letters[] = "abeilnorstu\xe4\xfc";
        std::set<std::string> model;
        auto randomWord = [&] {
            std::string w;
            for (int i = 0, n = 2 + static_cast<int>(rng() % 12); i < n; ++i)
                w.push_back(letters[rng() % (sizeof letters - 1)]);
            return w;
        };
        for (int batch = 0; batch < 12; ++batch) {
            // Most batches under one lock, as an import runs; the others lock and flush per word.
            bool locked = batch % 3 != 2;
            if (locked) {
                EXPECT_EQ(LockDBFile(db, 0), 1);
            }
            for (int i = 0; i < (locked ? 1000 : 100); ++i) {
                std::string w = randomWord();
                char buf[64];
                std::strcpy(buf, w.c_str());
                std::uint32_t a = 0;
                int r = 0;
                switch (rng() % 5) {
                case 0:
                    r = DeleteWord(c, w.c_str());
                    EXPECT_EQ(r, model.erase(w) ? 1 : 0) << w;
                    break;
                case 1:
                    r = LookupWord(c, buf, true, {&a});
                    EXPECT_EQ(r, model.count(w) ? 1 : 0) << w;
                    break;
                case 2:
                    r = SetWordValue(c, w.c_str(), rng() % 3 ? rng() : 0, kEntryValueA);
                    break;
                default:
                    r = InsertWord(c, w.c_str(), rng() % 2, rng() % 2 ? rng() : 0, 0);
                    EXPECT_EQ(r, model.insert(w).second ? 1 : 0) << w;
                }
                out.answers.push_back(std::to_string(r) + " " + buf + " " + std::to_string(a));
            }
            if (locked) UnlockDBFile(db, 0);
            for (const auto& w : model) {
                char buf[64];
                std::strcpy(buf, w.c_str());
                EXPECT_EQ(LookupWord(c, buf, false), 1) << w;
            }
            char buf[64] = {};
            for (int ok = FirstWord(c, buf, true); ok; ok = NextWord(c, buf, true))
                out.answers.push_back(buf);
        }
        EXPECT_EQ(GetWordCount(c), model.size());
        CloseDBFile(db);
        out.bytes = readAll(file);
        return out;
    };
    Run small = run(24), large = run(3000);
    ASSERT_EQ(small.answers.size(), large.answers.size());
    for (std::size_t i = 0; i < small.answers.size(); ++i)
        ASSERT_EQ(small.answers[i], large.answers[i]) << "answer " << i;
    EXPECT_GT(small.bytes.size(), 24u * 1024) << "the file outgrows the small cache";
    EXPECT_TRUE(small.bytes == large.bytes) << "file bytes differ";
    TermDBEngine();
    ASSERT_EQ(InitDBEngine(120), 1);
    h = OpenDBFile(path, 4);
}

} // namespace
} // namespace wortex::test
