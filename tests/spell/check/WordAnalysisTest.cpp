#include "SpellTestSupport.h"

#include "ApiWindow.h"
#include "Attachments.h"
#include "DictionarySet.h"
#include "Suggestions.h"
#include "UserFile.h"
#include "WordAnalysis.h"
#include "platform/win32/EditControl.h"

#include <cstring>
#include <string>
#include <vector>

using namespace win32;

namespace wortex::test {
namespace {

class Words : public ::testing::Test {
protected:
    void SetUp() override {
        SetUiServices(&ui);
        api = WX_Init();
        dict = make("WORTEX.WXD", 'D',
                    {"der", "gut", "dr.", "Haus", "Rechtschreibung",
                     "Pr\xFC"
                     "fung",
                     "ist", "vielleicht", "strasse",
                     "Stra\xDF"
                     "e"});
    }
    void TearDown() override {
        for (HWND h : windows)
            DestroyWindow(h);
        CloseUserFile();
        CloseAllDictionaries();
        while (SendMessage(api, 1164, 0, 0)) {
        }
        SetUiServices(nullptr);
    }
    DBHandle make(const std::string& name, char language, const std::vector<std::string>& words,
                  const std::vector<std::string>& marked = {}) {
        std::string p = dir.file(name);
        EXPECT_EQ(CreateDictionaryFile(p, language), 1);
        DBHandle h = OpenDictionary(false, p);
        for (const auto& w : words)
            EXPECT_EQ(AddDictionaryWord(h, w.c_str(), false, false, 0, 0), 1) << w;
        for (const auto& w : marked)
            EXPECT_EQ(AddDictionaryWord(h, w.c_str(), false, true, 0, 0), 1) << w;
        return h;
    }
    EditAttachment& attach(const char* text, int wrap = 0) {
        HWND edit = CreateWindowEx(0, kEditClass, text, ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
        SetEditWrapWidth(edit, wrap);
        windows.push_back(edit);
        AttachRecord r{edit, 0, kEditAdapter};
        EXPECT_EQ(SendMessage(api, 1194, 0, reinterpret_cast<LPARAM>(&r)), 1);
        LibraryState* s = LockLibraryState();
        EditAttachment* a = FindAttachment(*s, edit);
        UnlockLibraryState();
        return *a;
    }
    HWND api = 0;
    DBHandle dict = 0;
    std::vector<HWND> windows;
    TempDir dir;
    ScriptedUi ui;
};

TEST(WordBoundsTest, Table) {
    struct Case {
        const char* text;
        int position, start, end;
    } cases[] = {
        {"Haus", 2, 0, 4},
        {"ein Haus", 4, 4, 8},
        {"ein Haus ", 8, 4, 8}, // back over the blank to the word
        {"Nord-S\xFC"
         "d",
         2, 0, 4}, // a hyphen before a capital ends a word
        {"Nord-S\xFC"
         "d",
         6, 5, 8},
        {"Rechtschrei-", 3, 0, 12}, // a final hyphen belongs to the word
        {"\"'Haus", 5, 2, 6},       // leading non-letters are passed
        {"  ", 1, 0, 0},
        {"Dr. med", 1, 0, 3},
    };
    for (const Case& c : cases) {
        std::int32_t s = -1, e = -1;
        WordBounds(c.text, static_cast<std::int32_t>(std::strlen(c.text)), c.position, s, e);
        EXPECT_EQ(s, c.start) << c.text << " @" << c.position;
        EXPECT_EQ(e, c.end) << c.text << " @" << c.position;
    }
}

TEST_F(Words, FindingJoinsLinesAndTellsTheSentenceClass) {
    struct Case {
        const char* text;
        int column, line;
        bool found;
        const char* word;
        int startColumn, startLine, endColumn, endLine;
        int sentenceClass;
        bool joined, fullStop;
        int wrap = 0; // the window wraps its lines at this width
    } cases[] = {
        // A word runs on where the window wrapped the line...
        {"Die Rechtschrei-bung ist", 6, 0, true, "Rechtschrei~bung", 4, 0, 4, 1, 0, false, false, 16},
        {"Die Rechtschrei-bung ist", 2, 1, true, "Rechtschrei~bung", 4, 0, 4, 1, 0, false, false, 16},
        {"Die Rechtschrei-Pr\xFC"
         "fung",
         6, 0, true, "Rechtschrei", 4, 0, 15, 0, 0, false, false, 16},
        {"Rechtschreibung", 6, 0, true, "Rechtschreibung", 0, 0, 4, 1, 2, true, false, 11},
        // ...and over a line break in the text only by the hyphen that ends the line above.
        {"Die Rechtschrei-\r\nbung ist", 6, 0, true, "Rechtschrei~bung", 4, 0, 4, 1, 0, false, false},
        {"Die Rechtschrei-\r\nbung ist", 2, 1, true, "Rechtschrei~bung", 4, 0, 4, 1, 0, false, false},
        {"Die ASCII-\r\nDaten", 6, 0, true, "ASCII", 4, 0, 9, 0, 0, false, false},
        {"Die ein-\r\nfache\r\nDatei", 1, 2, true, "Datei", 0, 2, 5, 2, 0, false, false},
        {"Haupt- und\r\n-neben", 1, 1, true, "neben", 1, 1, 6, 1, 0, false, false},
        {"Der Befehl\r\ngibt", 5, 0, true, "Befehl", 4, 0, 10, 0, 0, false, false},
        {"Der Befehl\r\ngibt", 1, 1, true, "gibt", 0, 1, 4, 1, 0, false, false},
        {"Ende? der", 7, 0, true, "der", 6, 0, 9, 0, 2, false, false},
        {"Ende! der", 7, 0, true, "der", 6, 0, 9, 0, 2, false, false},
        {"x \xA1 der", 5, 0, true, "der", 4, 0, 7, 0, 2, false, false},
        {"x \xBF der", 5, 0, true, "der", 4, 0, 7, 0, 2, false, false},
        {"Gut. der", 6, 0, true, "der", 5, 0, 8, 0, 2, false, false},
        {"Dr. der", 5, 0, true, "der", 4, 0, 7, 0, 1, false, false},
        {"der Gut.", 6, 0, true, "Gut", 4, 0, 7, 0, 0, false, true},
        {"der", 1, 0, true, "der", 0, 0, 3, 0, 2, false, false},
        {"  der", 3, 0, true, "der", 2, 0, 5, 0, 0, false, false},
        {"Gut.\r\nder", 1, 1, true, "der", 0, 1, 3, 1, 2, false, false},
        {"Haus \"", 5, 0, true, "Haus", 0, 0, 4, 0, 2, false, false},
        {"  ", 1, 0, false, "", 0, 0, 0, 0, 0, false, false},
        {"Haus", -1, 0, false, "", 0, 0, 0, 0, 0, false, false},
        {"-- Haus", 6, 0, true, "Haus", 3, 0, 7, 0, 0, false, false},
        {"Haus --", 6, 0, true, "Haus", 0, 0, 4, 0, 2, false, false},
    };
    for (const Case& c : cases) {
        EditAttachment& a = attach(c.text, c.wrap);
        FoundWord w;
        EXPECT_EQ(FindWordAt(a, c.column, c.line, w), c.found) << c.text;
        if (!c.found) continue;
        EXPECT_STREQ(w.word, c.word) << c.text;
        EXPECT_EQ(w.startColumn, c.startColumn) << c.text;
        EXPECT_EQ(w.startLine, c.startLine) << c.text;
        EXPECT_EQ(w.endColumn, c.endColumn) << c.text;
        EXPECT_EQ(w.endLine, c.endLine) << c.text;
        EXPECT_EQ(w.sentenceClass, c.sentenceClass) << c.text;
        EXPECT_EQ(w.joined, c.joined) << c.text;
        EXPECT_EQ(w.fullStop, c.fullStop) << c.text;
    }
}

// Options, paths and identifiers are told by the characters around the word, also over a wrap; a hyphen
// inside a compound or before a capital is none.
TEST_F(Words, OptionsPathsAndIdentifiersAreTold) {
    struct Case {
        const char* text;
        int column, line;
        const char* word;
        bool technical;
        int wrap = 0;
    } cases[] = {
        {"mit --version die", 8, 0, "version", true},
        {"mit -name wird", 6, 0, "name", true},
        {"-name wird", 2, 0, "name", true},
        {"die Datei debian/rules im", 12, 0, "debian", true},
        {"die Datei debian/rules im", 19, 0, "rules", true},
        {"in ~/.bashrc und", 7, 0, "bashrc", true},
        {"der Wert MAX_LEN ist", 10, 0, "MAX", true},
        {"siehe http://example", 8, 0, "http", true},
        {"der E-Mail und", 6, 0, "Mail", false},
        {"die Haus-T\xfcr und", 10, 0, "T\xfcr", false},
        {"Hinweis: die Datei", 3, 0, "Hinweis", false},
        {"z. B. die Datei", 7, 0, "die", false},
        {"mit --\r\nversion", 2, 1, "version", false},
        {"mit der Option --version", 2, 1, "version", true, 16},
        // A shell session's lines, a command quoted whole and a name run on in digits are typed so.
        {"$ cd gentoo", 3, 0, "cd", true},
        {"  # apt install paket", 6, 0, "apt", true},
        {"#include und", 3, 0, "include", false},
        {"mit \xbbgit clone\xab holen", 10, 0, "clone", true},
        {"die \xbbinfo\xab-Seiten", 6, 0, "info", true},
        {"mit \x84svn co\x93 holen", 10, 0, "co", true},
        {"sagte \x84"
         "Das Haus\x93 und",
         12, 0, "Haus", false},
        {"die \xbbinfo-Seiten ohne Ende", 6, 0, "info", false},
        {"ein mp3 und", 4, 0, "mp", true},
        {"der 3fach und", 6, 0, "fach", true},
    };
    for (const Case& c : cases) {
        EditAttachment& a = attach(c.text, c.wrap);
        FoundWord w;
        ASSERT_TRUE(FindWordAt(a, c.column, c.line, w)) << c.text;
        EXPECT_STREQ(w.word, c.word) << c.text;
        EXPECT_EQ(w.technical, c.technical) << c.text;
    }
}

TEST_F(Words, SentenceClassOfLongRunIsStart) {
    std::string line = std::string(70, 'a') + ". der";
    EXPECT_EQ(SentenceClass(line.c_str(), static_cast<std::int32_t>(line.size()) - 4), kSentenceStart);
}

// Found for the check loop, a word may keep its class after a full stop undecided; the decision, made later
// or by the analysis, is the one FindWordAt gives at once.
TEST_F(Words, SentenceClassLeftToTheAnalysis) {
    struct Case {
        const char* text;
        int column, line;
        int found, decided;
    } cases[] = {
        {"Gut. der", 6, 0, kSentenceUndecided, 2},
        {"Gut. Der", 6, 0, kSentenceUndecided, 2},
        {"Gut.\r\nDer", 1, 1, kSentenceUndecided, 2}, // the look back over the line end
        {"Eintrag. der", 10, 0, kSentenceUndecided, 2},
        {"'Haus. Der", 8, 0, 1, 1}, // TrimWord cuts the run: no look-up needed
        {"Ende? Der", 7, 0, 2, 2},
        // Common abbreviations end no sentence without a look-up, whether a dictionary has them or not.
        {"Dr. der", 5, 0, 1, 1},
        {"Dr. Der", 5, 0, 1, 1},
        {"Dr.\r\nder", 1, 1, 1, 1},
        {"z.B. Der", 6, 0, 1, 1},
        {"z. B. f\xfcr", 7, 0, 1, 1},
        {"d. h. die", 7, 0, 1, 1},
        {"Dateien usw. und", 14, 0, 1, 1},
        {"Pfad bzw. der", 11, 0, 1, 1},
        {"Werte etc. die", 12, 0, 1, 1},
        {"vgl.\r\ndie", 1, 1, 1, 1},
        // Abbreviations of units and places, ordinals and list numbers, an ellipsis.
        {"20 Min. kochen", 9, 0, 1, 1},
        {"Monterey/Cal. nach", 15, 0, 1, 1},
        {"Tel. und", 6, 0, 1, 1},
        {"siehe S. die", 10, 0, 1, 1},
        {"8. mathematische", 5, 0, 1, 1},
        {"am 3. Mai", 7, 0, 1, 1},
        {"und so... weiter", 11, 0, 1, 1},
    };
    for (const Case& c : cases) {
        EditAttachment& a = attach(c.text);
        FoundWord w, exact;
        ASSERT_TRUE(FindWordAt(a, c.column, c.line, w, false)) << c.text;
        EXPECT_EQ(w.sentenceClass, c.found) << c.text;
        DecideSentenceClass(w);
        EXPECT_EQ(w.sentenceClass, c.decided) << c.text;
        ASSERT_TRUE(FindWordAt(a, c.column, c.line, exact)) << c.text;
        EXPECT_EQ(exact.sentenceClass, c.decided) << c.text;
    }
    // The analysis decides the class of a small word itself.
    FoundWord w;
    ASSERT_TRUE(FindWordAt(attach("Gut. Der"), 6, 0, w, false));
    w.word[0] = 'd';
    AnalysisResult r;
    AnalyseWord(w, AnalysisContext{kDefaultOptions}, r);
    EXPECT_STREQ(r.correction, "Der");
    EXPECT_TRUE(r.kind & kKindSentenceCapital);
}

TEST(WordDifferenceTest, Table) {
    struct Case {
        const char* word;
        const char* correction;
        int caret;
        int result;
        const char* text;
        int startColumn, endColumn, caretAfter;
    } cases[] = {
        {"Hus", "Haus", 3, 1, "a", 1, 1, 4},     {"Hauaus", "Haus", 0, 1, "", 3, 5, 0},
        {"Haus", "Hauaus", 4, 1, "au", 3, 3, 6}, {"Haus", "Haus", 2, 0, "", 4, 4, 2},
        {"Hsu", "Haus", 1, 1, "aus", 1, 3, 1},   {"Rechtschrei~bung", "Rechtschrei-bung", 0, 0, "", 0, 0, 0},
    };
    auto lengths = [](void*, std::int32_t) -> std::int32_t { return 100; };
    for (const Case& c : cases) {
        FoundWord w{};
        std::strcpy(w.word, c.word);
        w.endColumn = static_cast<std::int32_t>(std::strlen(c.word));
        WordChange change;
        EXPECT_EQ(WordDifference(lengths, nullptr, c.word, c.correction, w, c.caret, change), c.result)
            << c.word;
        if (!c.result) continue;
        EXPECT_STREQ(change.text, c.text) << c.word;
        EXPECT_EQ(change.start.column, c.startColumn) << c.word;
        EXPECT_EQ(change.end.column, c.endColumn) << c.word;
        EXPECT_EQ(change.caret, c.caretAfter) << c.word;
        std::string applied = std::string(c.word).substr(0, static_cast<std::size_t>(change.start.column)) +
                              change.text +
                              std::string(c.word).substr(static_cast<std::size_t>(change.end.column));
        EXPECT_EQ(applied, c.correction) << c.word;
    }
}

TEST_F(Words, DifferenceOverALineEnd) {
    EditAttachment& a = attach("Die Rechtschrei-bunk ist", 16);
    FoundWord w;
    ASSERT_TRUE(FindWordAt(a, 5, 0, w));
    WordChange change;
    ASSERT_EQ(WordDifference(a, w.word, "Rechtschrei~bung", w, 0, change), 1);
    EXPECT_STREQ(change.text, "g");
    EXPECT_EQ(change.start.column, 3);
    EXPECT_EQ(change.start.line, 1);
    EXPECT_EQ(change.end.column, 4);
    EXPECT_EQ(change.end.line, 1);
}

TEST(MarkTable, EveryRow) {
    struct Case {
        const char* name;
        const char* word;
        const char* correction;
        std::vector<unsigned char> marks; // per letter of the correction, then the end
        bool fullStop;
        const char* shown;
        std::uint32_t kind;
        bool takenBack;
    } cases[] = {
        {"plain", "Haus", "Haus", {0, 0, 0, 0, 0}, false, "Haus", 0, false},
        {"three characters", "k~kx", "cx", {0xE0, 0, 0}, false, "k~kx", kKindShownAsHyphenation, false},
        {"two, 0x80 0x40", "a~b", "ab", {0xC0, 0, 0}, false, "a~b", kKindShownAsHyphenation, false},
        {"two, 0x80 0x20", "abc", "xc", {0xA0, 0, 0}, false, "abc", kKindShownAsHyphenation, false},
        {"umlaut typed as pair",
         "Mueller",
         "M\xFCller",
         {0, 0x60, 0, 0, 0, 0, 0},
         false,
         "Mueller",
         kKindAccent,
         false},
        {"0x40 with joint", "ab", "ab", {0x44, 0, 0}, false, "a+b", kKindCompound, false},
        {"hyphen added", "ab", "a-b", {0, 0x10, 0, 0}, false, "ab", kKindSpecialChar, false},
        {"apostrophe added", "ab", "a'b", {0, 0x10, 0, 0}, false, "ab", kKindSpecialChar, false},
        {"full stop taken back", "Dr", "dr.", {0, 0, 0x10, 0}, true, "Dr", 0, true},
        {"full stop added", "Dr", "dr.", {0, 0, 0x10, 0}, false, "Dr", kKindSpecialChar, false},
        {"letter added", "Hus", "Haus", {0, 0x10, 0, 0, 0}, false, "Hus", 0, false},
        {"accent", "cafe", "caf\xE9", {0, 0, 0, 0x20, 0}, false, "cafe", kKindAccent, false},
        {"0x40 alone, hyphen", "a-b", "ab", {0x40, 0, 0}, false, "a-b", kKindSpecialChar, false},
        {"0x40 alone",
         "aeb",
         "\xE4"
         "b",
         {0x40, 0, 0},
         false,
         "aeb",
         0,
         false},
        {"0x80 alone, hyphen", "a-b", "ab", {0x80, 0, 0}, false, "a-b", kKindSpecialChar, false},
        {"0x80 alone", "a~b", "ab", {0x80, 0, 0}, false, "a~b", kKindShownAsHyphenation, false},
        {"capital on first letter",
         "haus",
         "Haus",
         {0x8, 0, 0, 0, 0},
         false,
         "haus",
         kKindDictionaryCapital,
         false},
        {"capital inside", "ab", "aB", {0, 0x8, 0}, false, "aB", 0, false},
        {"joint",
         "hausboot",
         "hausboot",
         {0, 0, 0, 0x4, 0, 0, 0, 0, 0},
         false,
         "haus+boot",
         kKindCompound,
         false},
        {"stuck", "hausx", "hausx", {0, 0, 0, 0, 0x1, 0}, false, "hausx", kKindUnknown, false},
        {"stuck after joint",
         "hausxoot",
         "hausxoot",
         {0, 0, 0, 0x4, 0x1, 0, 0, 0, 0},
         false,
         "haus\\xoot",
         kKindCompound | kKindUnknown,
         false},
        {"stuck later in compound",
         "hausbxot",
         "hausbxot",
         {0, 0, 0, 0x4, 0, 0x1, 0, 0, 0},
         false,
         "haus+b\\xot",
         kKindCompound | kKindUnknown,
         false},
        {"typed capital, stored tilde", "Haus", "Haus", {0x3, 0, 0, 0, 0}, false, "Haus", 0, false},
    };
    for (const Case& c : cases) {
        unsigned char marks[kMarkCount] = {};
        std::copy(c.marks.begin(), c.marks.end(), marks);
        MarkTableResult r;
        ApplyMarkTable(c.word, c.correction, marks, c.fullStop, r);
        EXPECT_STREQ(r.shown, c.shown) << c.name;
        EXPECT_EQ(r.kind, c.kind) << c.name;
        EXPECT_EQ(r.fullStopTakenBack, c.takenBack) << c.name;
        EXPECT_FALSE(r.apostropheS) << c.name;
    }
    unsigned char marks[kMarkCount] = {0, 0, 0, 0, 0x1};
    MarkTableResult r;
    ApplyMarkTable("Haus's", "Haus", marks, false, r);
    EXPECT_TRUE(r.apostropheS);
    std::string longWord(63, 'a');
    unsigned char joints[kMarkCount];
    std::fill(std::begin(joints), std::end(joints), 0x4);
    ApplyMarkTable(longWord.c_str(), longWord.c_str(), joints, false, r);
    EXPECT_EQ(std::strlen(r.shown), 63u) << "cut at the word's size";
}

int NewForm(void*, FoundWord&, char* correction, const unsigned char*, char) {
    std::strcpy(correction, "Rech~nung");
    return 1;
}

TEST_F(Words, AnalysisTable) {
    ASSERT_NE(GetUserFile(nullptr), 0);
    ASSERT_EQ(AddUserWord("vieleicht", "vielleicht", kUserReplace), 1);
    struct Case {
        const char* name;
        const char* text;
        int column;
        std::uint32_t options;
        const char* correction;
        std::uint32_t kind;
        std::uint16_t flags;
        bool hyphenate = false;
    } cases[] = {
        {"sentence start", "Gut. der", 6, kDefaultOptions, "Der", 0x2020, 0x41},
        {"after abbreviation", "Dr. der", 5, kDefaultOptions, "Der", 0x40000040, 0x3},
        {"BeginCorrect off", "Gut. der", 6, kDefaultOptions & ~0x2000u, "Der", 0x2010, 0x83},
        {"unknown", "ein xqzt hier", 6, kDefaultOptions, nullptr, 0x10000010, 0x83},
        {"user file", "ein vieleicht", 6, kDefaultOptions, "vielleicht", 0x1020, 0x41},
        {"known word", "ein Haus", 6, kDefaultOptions, "Haus", 0, 0},
        {"all capitals", "ein HAUS", 6, kDefaultOptions, "HAUS", 0, 0},
        {"two capitals", "ein HAus", 6, kDefaultOptions, "Haus", 0x8020, 0x41},
        {"new hyphenation", "die Rechnung", 6, kDefaultOptions, "Rech~nung", 0x28, 0x41, true},
        // Compounds: a noun with a suffix such as "ung" joins with an "s"; an adjective with a suffix
        // such as "lich" begins none.
        {"compound with joint s", "ein Erholungsurlaub", 6, kDefaultOptions, "Erholungsurlaub", 0x4, 0x1},
        {"compound without joint s", "ein Erholungurlaub", 6, kDefaultOptions, nullptr, 0x10000010, 0x83},
        {"compound after an adjective", "ein wirklichsets", 6, kDefaultOptions, nullptr, 0x10000010, 0x83},
    };
    make("R.WXD", 'D', {"rechnung"});
    make("C.WXD", 'D', {"Erholung", "Urlaub", "wirklich", "Sets"});
    for (const Case& c : cases) {
        EditAttachment& a = attach(c.text);
        FoundWord w;
        ASSERT_TRUE(FindWordAt(a, c.column, 0, w)) << c.name;
        AnalysisContext context{c.options};
        if (c.hyphenate) context.hyphenate = &NewForm;
        AnalysisResult r;
        AnalyseWord(w, context, r);
        if (c.correction) EXPECT_STREQ(r.correction, c.correction) << c.name;
        EXPECT_EQ(r.kind, c.kind) << c.name;
        EXPECT_EQ(r.flags, c.flags) << c.name;
    }
    EditAttachment& a = attach("ein vieleicht");
    FoundWord w;
    ASSERT_TRUE(FindWordAt(a, 6, 0, w));
    AnalysisResult r;
    AnalyseWord(w, AnalysisContext{kDefaultOptions & ~0x1000u}, r);
    EXPECT_EQ(r.kind & kKindUserFile, 0u) << "not asked with UserCorrect off";
}

// Capitals that the dictionaries keep only on the first letter: an acronym's plural and a unit written
// with a prefix letter stay as written; two capitals typed by mistake are still corrected.
TEST_F(Words, AcronymPluralsAndUnitsKeepTheirCapitals) {
    // As an import of a word list stores them: capitals past the first letter are lost.
    make("U.WXD", 'D', {"Cds", "Pcs", "Kb", "Mbyte", "Byte", "Ghz", "Hz", "Haus", "Bauten"});
    const struct {
        const char* text;
        std::uint32_t kind;
        std::uint16_t flags;
        const char* correction;
    } cases[] = {
        {"die CDs", 0, 0, nullptr},
        {"die PCs", 0, 0, nullptr},
        {"ein kB", 0, 0, nullptr},
        {"ein MByte", 0, 0, nullptr},
        {"ein GHz", 0, 0, nullptr},
        {"ein HAus", 0x8020, 0x41, "Haus"},
        {"die BAuten", 0x8020, 0x41, "Bauten"},
        {"die kb", 0x4020, 0x41, "Kb"},
    };
    for (const auto& c : cases) {
        EditAttachment& a = attach(c.text);
        FoundWord w;
        ASSERT_TRUE(FindWordAt(a, static_cast<int>(std::strlen(c.text)) - 1, 0, w)) << c.text;
        AnalysisResult r;
        AnalyseWord(w, AnalysisContext{kDefaultOptions}, r);
        EXPECT_EQ(r.kind, c.kind) << c.text;
        EXPECT_EQ(r.flags, c.flags) << c.text;
        if (c.correction) EXPECT_STREQ(r.correction, c.correction) << c.text;
    }
}

TEST_F(Words, SharpSRuleAndWordMark) {
    for (bool marked : {false, true}) {
        CloseAllDictionaries();
        if (marked)
            make(std::string("M1.WXD"), 'D',
                 {"Stra\xDF"
                  "e"},
                 {"strasse"});
        else
            make(std::string("M0.WXD"), 'D',
                 {"strasse", "Stra\xDF"
                             "e"});
        EditAttachment& a = attach("die Strasse");
        FoundWord w;
        ASSERT_TRUE(FindWordAt(a, 6, 0, w));
        AnalysisResult r;
        AnalyseWord(w, AnalysisContext{kDefaultOptions | 0x40000}, r);
        if (marked) {
            EXPECT_EQ(r.kind & kKindSharpS, 0u);
            EXPECT_STREQ(r.correction, "Strasse");
        } else {
            EXPECT_NE(r.kind & kKindSharpS, 0u);
            EXPECT_STREQ(r.correction, "Stra\xDF"
                                       "e");
        }
    }
}

TEST_F(Words, FullStopTakenBackEndsOneColumnFurther) {
    EditAttachment& a = attach("der Dr. kommt");
    FoundWord w;
    ASSERT_TRUE(FindWordAt(a, 5, 0, w));
    ASSERT_TRUE(w.fullStop);
    EXPECT_EQ(w.endColumn, 6);
    AnalysisResult r;
    AnalyseWord(w, AnalysisContext{kDefaultOptions}, r);
    EXPECT_EQ(w.endColumn, 7);
    EXPECT_STREQ(w.word, "Dr.");
}

} // namespace
} // namespace wortex::test
