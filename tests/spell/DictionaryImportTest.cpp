#include "SpellTestSupport.h"

#include "spell/DictionaryImport.h"
#include "spell/DictionarySet.h"
#include "spell/Doz3Format.h"

#include <cstring>

namespace wortex::test {
namespace {

using Bytes = std::vector<unsigned char>;
using Words = std::vector<std::string>;

const std::string kRefused = "W\xf6rterbuch konnte nicht ge\xf6"
                             "ffnet werden.|Wortex";

// An old-format file written record by record: its one collection under the older name, header format 11,
// pages of old entries.
class OldFile {
public:
    OldFile(const std::string& path, char language) : path_(path) {
        EXPECT_EQ(CreateDBFile(path), 1);
        h_ = OpenDBFile(path, 4);
        EXPECT_EQ(LockDBFile(h_, 0), 1);
        tree_ = CreateDBTable(h_, 2);
        headerAt_ = AllocDBRecord(h_, 54, 0);
        EXPECT_EQ(AddDBTable(h_, "QStdSpellChecker", headerAt_), 1);
        rootAt_ = AllocDBRecord(h_, 30, tree_);
        root_[29] = static_cast<unsigned char>(language);
    }
    // The offset of the page's first entry byte; its size is the byte before.
    std::uint32_t page(const Bytes& entries) {
        Bytes rec{static_cast<unsigned char>(entries.size())};
        rec.insert(rec.end(), entries.begin(), entries.end());
        std::uint32_t at = AllocDBRecord(h_, static_cast<std::uint16_t>(rec.size()), tree_);
        EXPECT_EQ(WriteDBBytes(h_, at, rec.data(), static_cast<std::uint16_t>(rec.size())), 1);
        return at + 1;
    }
    void patch(std::uint32_t at, const Bytes& b) {
        WriteDBBytes(h_, at, b.data(), static_cast<std::uint16_t>(b.size()));
    }
    void finish(std::uint32_t rootPage, std::uint32_t count, int format = 11) {
        unsigned char header[54] = {};
        doz3::put32(header + 18, tree_);
        doz3::put32(header + 26, rootAt_);
        doz3::put16(header + 32, 30);
        std::memcpy(header + 34, "#WXT#", 6);
        doz3::put32(header + 40, headerAt_);
        doz3::put32(header + 44, rootAt_);
        doz3::put16(header + 48, static_cast<std::uint16_t>(format));
        WriteDBBytes(h_, headerAt_, header, 54);
        doz3::put32(root_, count);
        doz3::put32(root_ + 6, rootPage);
        WriteDBBytes(h_, rootAt_, root_, 30);
        UnlockDBFile(h_, 0);
        CloseDBFile(h_);
    }

private:
    std::string path_;
    DBHandle h_ = 0;
    std::uint32_t tree_ = 0, headerAt_ = 0, rootAt_ = 0;
    unsigned char root_[30] = {};
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
        newTarget();
    }
    void TearDown() override {
        TermDictionarySide();
        win32::SetUiServices(nullptr);
    }
    void newTarget() {
        CloseAllDictionaries();
        ASSERT_EQ(CreateDictionaryFile(dir.file("neu.wxd"), 'd'), 1);
        target = OpenDictionary(false, dir.file("neu.wxd"));
        ASSERT_NE(target, 0);
    }
    Words shownTexts() const {
        Words out;
        for (const auto& m : ui.shown)
            out.push_back(m.text + "|" + m.caption);
        return out;
    }
    Words words() {
        Words out;
        char w[64] = {};
        for (int ok = FirstListWord(target, w, true); ok; ok = NextListWord(target, w, true))
            out.push_back(w);
        return out;
    }
    // The file of the examples below: ten words over four pages, with German endings and DOS letters.
    std::uint32_t sample(const std::string& path) {
        OldFile f(path, 'd');
        std::uint32_t d = f.page({L('i', true), 0, L('s'), 1, 't'});          // bei, best
        std::uint32_t c = f.page({L('o'), 1, 't', L(129), 3, 'c', 'k', 'e'}); // brot, brücke
        std::uint32_t b = f.page(link(L('e', true), d) + Bytes{L(132), 1, 'r'} + link(L('r'), c)); // be, bär
        std::uint32_t root =
            f.page(link(L('b'), b) + Bytes{L('a'), 3, 144,     'e', 'n',             // a, ÿ as a blank, en
                                           L('c'), 3, 'a',     'f', 130,             // café
                                           L('f'), 2, 'u',     146,                  // fuß
                                           L('h'), 1, 150 + 3,                       // h+"aus"
                                           L('w'), 4, 'o',     'h', 'n', 150 + 42}); // w-oh-n+"ung"
        f.finish(root, 11);
        return root;
    }
    TempDir dir;
    win32::ScriptedUi ui;
    DBHandle target = 0;
    TextImport progress;
};

const Words kSample{"be",
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

TEST_F(DictImport, OldFileIsReadAndImported) {
    std::string old = dir.file("alt.wxd");
    sample(old);
    // The set refuses it for use and points to the progress.
    EXPECT_EQ(OpenDictionary(false, old), 0);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.substr(0, 18), "Altes Dateiformat.");

    DBHandle h = OpenDBFile(old, 2);
    DictCollection c;
    ASSERT_EQ(OpenDictionaryTable(h, c, 2), 1) << "the older name serves both kinds";
    char w[64] = "B\xc4R";
    ASSERT_EQ(LookupWord(c, w, true), 1) << "looked up in code page 437, given back in Windows-1252";
    EXPECT_EQ(std::string(w), "b\xe4r");
    std::strcpy(w, "bus");
    EXPECT_EQ(LookupWord(c, w, false), 0);
    EXPECT_EQ(InsertWord(c, "neu", false, 0, 0), 0) << "an old file is only read";
    CloseDBFile(h);

    std::vector<std::string> shown;
    progress.shown = [&](const char* word, bool added, std::uint32_t) {
        if (added) shown.push_back(word);
    };
    ASSERT_EQ(ImportDictionaryFile(target, old, progress), 1);
    // The word with the blank is passed over, and the words behind it still come.
    EXPECT_EQ(progress.added, kSample.size());
    EXPECT_EQ(GetDictionaryWordCount(target), kSample.size());
    for (const std::string& word : kSample)
        EXPECT_EQ(FindWordInDictionaries(target, word.c_str(), 0, true), target) << word;
    EXPECT_EQ(shown.size(), kSample.size());
    EXPECT_EQ(words().size(), kSample.size());
}

// The endings of a tail byte from 150 up belong to the collection's language.
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
        newTarget();
        ui.shown.clear();
        std::string path = dir.file(std::string("e") + k.language + std::to_string(k.ending) + ".wxd");
        OldFile f(path, k.language);
        f.finish(f.page({L('x'), 1, k.ending}), 1);
        EXPECT_EQ(ImportDictionaryFile(target, path, progress), k.word.empty() ? 0 : 1)
            << k.language << +k.ending;
        EXPECT_EQ(words(), k.word.empty() ? Words{} : Words{k.word}) << k.language << +k.ending;
        EXPECT_EQ(shownTexts(), k.word.empty() ? Words{kRefused} : Words{}) << k.language << +k.ending;
    }
}

// Every length, link and letter is checked: a malformed source is refused with the message and the target
// stays as it was.
TEST_F(DictImport, MalformedOldFilesAreRefused) {
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
        {"word longer than 63 letters",
         {L('h'), 15, 150, 150, 150, 150, 150, 150, 150, 150, 150, 150, 150, 150, 150, 150, 150}},
    };
    for (const Case& k : cases) {
        ui.shown.clear();
        std::string path = dir.file(std::string(k.what) + ".wxd");
        OldFile f(path, 'D');
        f.finish(f.page(k.root), 1);
        EXPECT_EQ(ImportDictionaryFile(target, path, progress), 0) << k.what;
        EXPECT_EQ(shownTexts(), Words{kRefused}) << k.what;
        EXPECT_EQ(GetDictionaryWordCount(target), 0u) << k.what;
    }
    // Pages that link to themselves or to each other, and a chain deeper than a word can be.
    std::string path = dir.file("loop.wxd");
    {
        OldFile f(path, 'D');
        std::uint32_t p = f.page(link(L('a'), 0) + link(L('b'), 0));
        f.patch(p, link(L('a'), p) + link(L('b'), p));
        f.finish(p, 1);
    }
    std::string deep = dir.file("deep.wxd");
    {
        OldFile f(deep, 'D');
        std::uint32_t p = f.page({L('a', true), 0});
        for (int i = 0; i < 64; ++i)
            p = f.page(link(L('a'), p));
        f.finish(p, 1);
    }
    // A good file cut short.
    std::string cut = dir.file("cut.wxd");
    std::uint32_t rootPage = sample(cut);
    auto bytes = readAll(cut);
    bytes.resize(rootPage + 3);
    writeAll(cut, bytes);
    for (const std::string& p : {path, deep, cut}) {
        ui.shown.clear();
        EXPECT_EQ(ImportDictionaryFile(target, p, progress), 0) << p;
        ASSERT_FALSE(ui.shown.empty()) << p;
        EXPECT_EQ(shownTexts().back(), kRefused) << p;
        EXPECT_EQ(GetDictionaryWordCount(target), 0u) << p;
    }
}

// A current-format page of two links back to itself: every walk over it must end.
TEST_F(DictImport, SelfLinkedCurrentPageEnds) {
    std::string path = dir.file("schleife.wxd");
    ASSERT_EQ(CreateDictionaryFile(path, 'd'), 1);
    {
        DBHandle h = OpenDBFile(path, 4);
        ASSERT_EQ(LockDBFile(h, 0), 1);
        DictCollection c;
        ASSERT_EQ(OpenDictionaryTable(h, c, 1), 1);
        std::uint32_t at = AllocDBRecord(h, 11, c.wordTable()) + 1;
        auto lo = static_cast<unsigned char>(at), hi = static_cast<unsigned char>(at >> 8);
        Bytes page{10, 10, 128, lo, hi, 0, 12, 128, lo, hi, 0}; // size, then a and à linking to the page
        ASSERT_EQ(WriteDBBytes(h, at - 1, page.data(), 11), 1);
        unsigned char root[30];
        ASSERT_EQ(ReadDBBytes(h, c.rootRecord(), root, 30), 1);
        doz3::put32(root + 6, at);
        ASSERT_EQ(WriteDBBytes(h, c.rootRecord(), root, 30), 1);
        UnlockDBFile(h, 0);
        CloseDBFile(h);
    }
    DBHandle h = OpenDictionary(false, path);
    ASSERT_NE(h, 0) << "the root page itself holds together";
    char w[64] = {};
    EXPECT_EQ(FirstListWord(h, w, false), 0);
    EXPECT_EQ(LastListWord(h, w, false), 0);
    std::strcpy(w, "ab");
    EXPECT_EQ(NextListWord(h, w, false), 0);
    CloseDictionary(h);
    ui.shown.clear();
    EXPECT_EQ(ImportDictionaryFile(target, path, progress), 0);
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
    ASSERT_EQ(ImportDictionaryFile(target, src, progress), 1);
    EXPECT_EQ(progress.added, 3u);
    EXPECT_EQ(words(), (Words{"Haus", "Mc~donald", "Weg", "zebra"})) << "weg became Weg";
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
    ASSERT_EQ(ImportDictionaryFile(target, old, progress), 1);
    EXPECT_EQ(progress.added, 1u) << "two words offered, the first of them passed over";
    EXPECT_EQ(shownTexts(), (Words{"Wortimport abbrechen?|Wortex", "Wortimport abbrechen?|Wortex"}));
    EXPECT_EQ(ImportDictionaryFile(target, dir.file("fehlt.wxd"), progress), 0);
    EXPECT_EQ(shownTexts().back(), kRefused);
}

} // namespace
} // namespace wortex::test
