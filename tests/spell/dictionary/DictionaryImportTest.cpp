#include "SpellTestSupport.h"

#include "DictionaryImport.h"
#include "DictionarySet.h"
#include "Doz3Format.h"

#include <cstring>

namespace wortex::test {
namespace {

using Bytes = std::vector<unsigned char>;
using Words = std::vector<std::string>;

const std::string kRefused = "W\xf6rterbuch konnte nicht ge\xf6"
                             "ffnet werden.|Wortex";

// A dictionary file written record by record: one collection under the older name, its header (format 11
// unless given) and root record, and pages of entries, each with its one size byte.
class RawDict {
public:
    RawDict(const std::string& path, char language) {
        EXPECT_EQ(CreateDBFile(path), 1);
        h_ = OpenDBFile(path, 4);
        EXPECT_EQ(LockDBFile(h_, 0), 1);
        tree_ = CreateDBTable(h_, 2);
        headerAt_ = AllocDBRecord(h_, 54, 0);
        EXPECT_EQ(AddDBTable(h_, "QStdSpellChecker", headerAt_), 1);
        rootAt_ = AllocDBRecord(h_, 30, tree_);
        language_ = static_cast<unsigned char>(language);
    }
    // The offset of the page's first entry byte.
    std::uint32_t page(const Bytes& entries) {
        Bytes rec{static_cast<unsigned char>(entries.size())};
        rec.insert(rec.end(), entries.begin(), entries.end());
        std::uint32_t at = AllocDBRecord(h_, static_cast<std::uint16_t>(rec.size()), tree_);
        patch(at, rec);
        return at + 1;
    }
    void patch(std::uint32_t at, const Bytes& b) {
        EXPECT_EQ(WriteDBBytes(h_, at, b.data(), static_cast<std::uint16_t>(b.size())), 1);
    }
    void finish(std::uint32_t rootPage, int format = 11) {
        Bytes header(54), root(30);
        doz3::put32(&header[18], tree_);
        doz3::put32(&header[26], rootAt_);
        doz3::put16(&header[32], 30);
        std::memcpy(&header[34], "#WXT#", 6);
        doz3::put32(&header[40], headerAt_);
        doz3::put32(&header[44], rootAt_);
        doz3::put16(&header[48], static_cast<std::uint16_t>(format));
        patch(headerAt_, header);
        doz3::put32(&root[6], rootPage);
        root[29] = language_;
        patch(rootAt_, root);
        UnlockDBFile(h_, 0);
        CloseDBFile(h_);
    }

private:
    DBHandle h_ = 0;
    std::uint32_t tree_ = 0, headerAt_ = 0, rootAt_ = 0;
    unsigned char language_ = 0;
};

// Old letter byte: the old code less 96, bit 7 when a word ends at it.
unsigned char L(unsigned char oldCode, bool end = false) {
    return static_cast<unsigned char>(oldCode - 96 + (end ? 128 : 0));
}
Bytes link(unsigned char letter, std::uint32_t to) {
    return {letter, static_cast<unsigned char>(32 + (to >> 16)), static_cast<unsigned char>(to >> 8),
            static_cast<unsigned char>(to)};
}
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class DictImport : public ::testing::Test {
protected:
    void SetUp() override {
        win32::SetUiServices(&ui);
        ASSERT_EQ(InitDictionarySide(120), 1);
        ASSERT_EQ(CreateDictionaryFile(dir.file("neu.wxd"), 'd'), 1);
        target = OpenDictionary(false, dir.file("neu.wxd"));
        ASSERT_NE(target, 0);
    }
    void TearDown() override {
        TermDictionarySide();
        win32::SetUiServices(nullptr);
    }
    int run(const std::string& path) {
        ui.shown.clear();
        return ImportDictionaryFile(target, path, progress);
    }
    Words shownTexts() const {
        Words out;
        for (const auto& m : ui.shown)
            out.push_back(m.text + "|" + m.caption);
        return out;
    }
    bool has(const std::string& w) { return FindWordInDictionaries(target, w.c_str(), 0, true) == target; }
    // Ten words over four pages, with German endings and DOS letters, and one that can't be a word.
    std::uint32_t sample(const std::string& path) {
        RawDict f(path, 'd');
        std::uint32_t d = f.page({L('i', true), 0, L('s'), 1, 't'});          // bei, best
        std::uint32_t c = f.page({L('o'), 1, 't', L(129), 3, 'c', 'k', 'e'}); // brot, brücke
        std::uint32_t b = f.page(link(L('e', true), d) + Bytes{L(132), 1, 'r'} + link(L('r'), c)); // be, bär
        std::uint32_t root = f.page(link(L('b'), b) + Bytes{L('a'), 3, 144,     'e', 'n', // ÿ gives a blank
                                                            L('c'), 3, 'a',     'f', 130, // café
                                                            L('f'), 2, 'u',     146,      // fuß
                                                            L('h'), 1, 150 + 3,           // h "aus"
                                                            L('w'), 4, 'o',     'h', 'n', 150 + 42}); // "ung"
        f.finish(root);
        return root;
    }
    TempDir dir;
    win32::ScriptedUi ui;
    DBHandle target = 0;
    TextImport progress;
};

TEST_F(DictImport, OldFileIsReadAndImported) {
    std::string old = dir.file("alt.wxd");
    sample(old);
    EXPECT_EQ(OpenDictionary(false, old), 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.substr(0, 18), "Altes Dateiformat.") << "the set points to the import";

    DBHandle h = OpenDBFile(old, 2);
    DictCollection c;
    ASSERT_EQ(OpenDictionaryTable(h, c, 2), 1) << "the older name serves both kinds";
    char w[64] = "B\xc4R";
    ASSERT_EQ(LookupWord(c, w, true), 1) << "looked up in code page 437, given back in Windows-1252";
    EXPECT_EQ(std::string(w), "b\xe4r");
    ASSERT_EQ(LastWord(c, w, false), 1);
    ASSERT_EQ(PreviousWord(c, w, false), 1);
    EXPECT_EQ(std::string(w), "haus");
    EXPECT_EQ(InsertWord(c, "neu", false, 0, 0), 0) << "an old file is only read";
    CloseDBFile(h);

    ASSERT_EQ(run(old), 1);
    const Words all{"be",
                    "bei",
                    "best",
                    "b\xe4r",
                    "brot",
                    "br\xfc"
                    "cke",
                    "caf\xe9",
                    "fu\xdf",
                    "haus",
                    "wohnung"};
    EXPECT_EQ(progress.added, all.size()) << "the word with the blank is passed over, not the ones behind it";
    EXPECT_EQ(GetDictionaryWordCount(target), all.size());
    for (const std::string& word : all)
        EXPECT_TRUE(has(word)) << word;
}

// A tail byte from 150 up stands for an ending of the collection's language.
TEST_F(DictImport, OldEndingsByLanguage) {
    struct Case {
        char language;
        unsigned char ending;
        std::string word; // empty: refused
    } cases[] = {
        {'D', 150, "xangen"},   {'d', 151, "xan"},      {'D', 150 + 45, "xzu"}, {'D', 150 + 46, ""},
        {'F', 151, "xant"},     {'F', 150 + 30, "xem"}, {'F', 150 + 31, ""},    {'E', 151, "xacc"},
        {'E', 150 + 56, "xow"}, {'?', 150 + 73, "xun"}, {'E', 150 + 74, ""},
    };
    for (const Case& k : cases) {
        std::string path = dir.file(std::string("e") + k.language + std::to_string(k.ending) + ".wxd");
        RawDict f(path, k.language);
        f.finish(f.page({L('x'), 1, k.ending}));
        EXPECT_EQ(run(path), k.word.empty() ? 0 : 1) << k.language << +k.ending;
        EXPECT_EQ(shownTexts(), k.word.empty() ? Words{kRefused} : Words{}) << k.language << +k.ending;
        EXPECT_TRUE(k.word.empty() || has(k.word)) << k.word;
    }
}

// Every length, link and letter is checked: a malformed source is refused with the message, and nothing of
// it reaches the target.
TEST_F(DictImport, MalformedFilesAreRefused) {
    struct Case {
        const char* what;
        Bytes root;
    } cases[] = {
        {"entry cut after its letter", {L('h')}},
        {"tail longer than the page", {L('h'), 5, 'a'}},
        {"link cut short", {L('h'), 32, 0}},
        {"link past the end of the file", link(L('h'), 0x7fffff)},
        {"link to offset 0", link(L('h'), 0)},
        {"letter beyond the old coding", {0x80 | 60, 0}},
        {"tail byte below a", {L('h'), 2, 'a', 'A'}},
        {"the same letter twice", {L('h'), 1, 'a', L('h', true), 0}},
        {"a page that holds no word", {L('h'), 0, L('i'), 0}},
        {"word longer than 63 letters", Bytes{L('h'), 15} + Bytes(15, 150)},
    };
    std::vector<std::string> files;
    for (const Case& k : cases) {
        files.push_back(dir.file(std::string(k.what) + ".wxd"));
        RawDict f(files.back(), 'D');
        f.finish(f.page(k.root));
    }
    // A page that links to itself twice, and a chain of pages deeper than a word can be.
    files.push_back(dir.file("loop.wxd"));
    RawDict loop(files.back(), 'D');
    std::uint32_t p = loop.page(link(L('a'), 0) + link(L('b'), 0));
    loop.patch(p, link(L('a'), p) + link(L('b'), p));
    loop.finish(p);
    files.push_back(dir.file("deep.wxd"));
    RawDict deep(files.back(), 'D');
    p = deep.page({L('a', true), 0});
    for (int i = 0; i < 64; ++i)
        p = deep.page(link(L('a'), p));
    deep.finish(p);
    // A good file cut short in its root page.
    files.push_back(dir.file("cut.wxd"));
    p = sample(files.back());
    auto bytes = readAll(files.back());
    bytes.resize(p + 3);
    writeAll(files.back(), bytes);
    for (const std::string& file : files) {
        EXPECT_EQ(run(file), 0) << file;
        ASSERT_FALSE(ui.shown.empty()) << file;
        EXPECT_EQ(shownTexts().back(), kRefused) << file;
        EXPECT_EQ(GetDictionaryWordCount(target), 0u) << file;
    }
}

// A current-format page of two links back to itself: every walk over it ends.
TEST_F(DictImport, SelfLinkedCurrentPageEnds) {
    std::string path = dir.file("schleife.wxd");
    RawDict f(path, 'D');
    Bytes entries{10, 128, 0, 0, 0, 12, 128, 0, 0, 0}; // a and à, each linking to the page
    std::uint32_t p = f.page(entries);
    entries[2] = entries[7] = static_cast<unsigned char>(p);
    entries[3] = entries[8] = static_cast<unsigned char>(p >> 8);
    f.patch(p, entries);
    f.finish(p, 12);
    // Its pages never end: refused for taking words, with the engine's message for a bad file.
    EXPECT_EQ(OpenDictionary(false, path), 0);
    EXPECT_EQ(shownTexts(), Words{"Bad DB File|DOZ3 Error"});
    ui.shown.clear();
    DBHandle h = OpenDictionary(true, path);
    ASSERT_NE(h, 0) << "the root page itself holds together";
    char w[64] = "ab";
    EXPECT_EQ(NextListWord(h, w, false), 0);
    EXPECT_EQ(LastListWord(h, w, false), 0);
    CloseDictionary(h);
    EXPECT_EQ(run(path), 0);
    EXPECT_EQ(shownTexts(), Words{kRefused});
}

TEST_F(DictImport, CurrentFileCarriesMarksAndCapitals) {
    std::string src = dir.file("quelle.wxd");
    ASSERT_EQ(CreateDictionaryFile(src, 'd'), 1);
    DBHandle s = OpenDictionary(false, src);
    for (const char* w : {"Haus", "Mc~donald", "Weg"})
        ASSERT_EQ(AddDictionaryWord(s, w, false, false, 0, 0), 1) << w;
    ASSERT_EQ(AddDictionaryWord(s, "zebra", false, true, 7, 0), 1);
    CloseDictionary(s);
    ASSERT_EQ(AddDictionaryWord(target, "weg", false, false, 0, 0), 1);
    ASSERT_EQ(run(src), 1);
    EXPECT_EQ(progress.added, 3u);
    for (const char* w : {"Haus", "Mc~donald", "Weg"})
        EXPECT_TRUE(has(w)) << w << ": weg became Weg";
    int mark = 0;
    std::uint32_t a = 1;
    ASSERT_EQ(FindWordInDictionaries(target, "zebra", 0, false, nullptr, {&a, nullptr, &mark}), target);
    EXPECT_EQ(mark, 1);
    EXPECT_EQ(a, 0u) << "a description link of the source means nothing here";
}

TEST_F(DictImport, KeyAnsweredYesStops) {
    std::string old = dir.file("alt.wxd");
    sample(old);
    progress.keyPressed = [] { return true; };
    ui.answers = {win32::IDNO, win32::IDYES};
    ASSERT_EQ(run(old), 1);
    EXPECT_EQ(progress.added, 1u) << "two words offered, the first of them passed over";
    EXPECT_EQ(shownTexts(), (Words{"Wortimport abbrechen?|Wortex", "Wortimport abbrechen?|Wortex"}));
    EXPECT_EQ(run(dir.file("fehlt.wxd")), 0);
    EXPECT_EQ(shownTexts(), Words{kRefused});
}

} // namespace
} // namespace wortex::test
