#include "SpellTestSupport.h"

#include "DictionarySet.h"
#include "Letters.h"
#include "WordImport.h"

namespace wortex::test {
namespace {

class Import : public ::testing::Test {
protected:
    void SetUp() override {
        win32::SetUiServices(&ui);
        ASSERT_EQ(InitDictionarySide(120), 1);
        ASSERT_EQ(CreateDictionaryFile(dir.file("d.wxd"), 'd'), 1);
        target = OpenDictionary(false, dir.file("d.wxd"));
        ASSERT_NE(target, 0);
    }
    void TearDown() override {
        TermDictionarySide();
        win32::SetUiServices(nullptr);
    }
    std::vector<std::string> run(const std::string& text, const std::string& name = "t.txt") {
        std::string path = dir.file(name);
        writeAll(path, std::vector<unsigned char>(text.begin(), text.end()));
        EXPECT_EQ(ImportTextFile(target, path, import), 1);
        return words();
    }
    std::vector<std::string> words() {
        std::vector<std::string> out;
        char w[64] = {};
        for (int ok = FirstListWord(target, w, false); ok; ok = NextListWord(target, w, false))
            out.push_back(w);
        return out;
    }
    TempDir dir;
    win32::ScriptedUi ui;
    DBHandle target = 0;
    TextImport import;
};

using Words = std::vector<std::string>;

TEST_F(Import, ScannerCases) {
    struct Case {
        std::string text;
        Words expected;
    } cases[] = {
        {"usw. und", {"und", "usw."}},
        {"Haus. Der", {"Der", "Haus"}},
        {"das Haus", {"das", "Haus"}},
        {"z.B. der", {"der", "z.b."}},
        {"Nord-S\xfc"
         "d",
         {"Nord", "S\xfc"
                  "d"}},
        {"Baden-w\xfcrttemberg", {"Baden-w\xfcrttemberg"}},
        {"Wohnungs-\r\nbau Nord-\r\nS\xfc"
         "d",
         {"Nord",
          "S\xfc"
          "d",
          "Wohnungsbau"}},
        {"eins\nzwei\r\ndrei", {"drei", "eins", "zwei"}},
        {"(Klammer), 1999 ab", {"ab", "Klammer"}},
        {"Satz, Komma; Semikolon & Und", {"Komma", "Satz", "Semikolon", "Und"}},
        {"x" + std::string(70, 'a') + " danach", {"danach"}},
    };
    for (const Case& c : cases) {
        CloseAllDictionaries();
        ASSERT_EQ(CreateDictionaryFile(dir.file("d.wxd"), 'd'), 1);
        target = OpenDictionary(false, dir.file("d.wxd"));
        EXPECT_EQ(run(c.text), c.expected) << c.text.substr(0, 30);
        EXPECT_EQ(import.added, c.expected.size()) << c.text.substr(0, 30);
    }
}

// A list as users save it: UTF-8 with or without the byte order mark, or Windows-1252. Words keep the case
// they are written in; a word with digits, with a character the dictionary cannot hold, or longer than 63
// characters is left out whole and counted, never imported as a fragment.
TEST_F(Import, ListsAreTakenAsWritten) {
    const std::string long63(63, 'l'), long64(64, 'm');
    struct Case {
        const char* name;
        std::string text;
        Words expected;
        ImportSkips skipped;
    } cases[] = {
        {"UTF-8 with BOM",
         "\xEF\xBB\xBF\xC3\x9c"
         "bermuffel Stra\xC3\x9F"
         "e\nna\xC3\xAFve \xC5\x81\xC3\xB3\x64\xC5\xBA gut\n",
         {"gut", "na\xefve",
          "Stra\xdf"
          "e",
          "\xdc"
          "bermuffel"},
         {0, 1, 0}},
        {"UTF-8 without BOM",
         "\xC3\x9c"
         "bermuffel \xC5\x81\xC3\xB3\x64\xC5\xBA\r\nK\xC3\xA4se\r\n",
         {"K\xe4se", "\xdc"
                     "bermuffel"},
         {0, 1, 0}},
        {"Windows-1252",
         "Zw\xf6rbelhaus\nMp3player Zwo1zwo gut.\nA4-Blatt 2x\n" + long63 + " " + long64 + " Ende\n",
         {"Blatt", "Ende", "gut", long63, "Zw\xf6rbelhaus"},
         {4, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CloseAllDictionaries();
        ASSERT_EQ(CreateDictionaryFile(dir.file("d.wxd"), 'd'), 1);
        target = OpenDictionary(false, dir.file("d.wxd"));
        Words got = run(c.text);
        // Read back from the file, with the capitals as stored.
        CloseAllDictionaries();
        target = OpenDictionary(false, dir.file("d.wxd"));
        Words stored;
        char w[64] = {};
        for (int ok = FirstListWord(target, w, true); ok; ok = NextListWord(target, w, true))
            stored.push_back(w[0] == '~' ? std::string(1, static_cast<char>(AnsiToUpper(w[1]))) + (w + 2)
                                         : w);
        EXPECT_EQ(stored, c.expected);
        EXPECT_EQ(got, c.expected);
        EXPECT_EQ(import.added, c.expected.size());
        EXPECT_EQ(import.skipped.withDigits, c.skipped.withDigits);
        EXPECT_EQ(import.skipped.notHeld, c.skipped.notHeld);
        EXPECT_EQ(import.skipped.tooLong, c.skipped.tooLong);
    }
    // 1137 takes the longest word the header allows and refuses a longer one whole.
    EXPECT_EQ(AddDictionaryWord(target, std::string(63, 'n').c_str(), false, false, 0, 0), 1);
    EXPECT_EQ(AddDictionaryWord(target, std::string(64, 'o').c_str(), false, false, 0, 0), 0);
    EXPECT_EQ(AddDictionaryWord(target, std::string(63, 'o').c_str(), false, false, 0, 0), 1)
        << "not taken as its 63-letter fragment before";
    EXPECT_EQ(ImportSkipText({4, 1, 1}),
              "Nicht eingef\xfcgt wurden:\n4 W\xf6rter mit Ziffern\n1 Wort mit mehr als 63 "
              "Zeichen\n1 Wort mit Zeichen, die das W\xf6rterbuch nicht aufnehmen kann");
    EXPECT_EQ(ImportSkipText({}), "");
}

TEST_F(Import, LowerCaseOccurrenceDropsTheCapital) {
    EXPECT_EQ(run("ein Weg und weg"), (Words{"ein", "und", "weg"}));
    char w[64] = "weg";
    ASSERT_EQ(FindWordInDictionaries(target, w, 0, false, w), target);
    EXPECT_EQ(std::string(w), "weg");
}

TEST_F(Import, DosTextAndLongLines) {
    EXPECT_EQ(run("Stra\xe1"
                  "e gro\xe1\r\n",
                  "t.ASC"),
              (Words{"gro\xdf", "Stra\xdf"
                                "e"}));
    // Lines far longer than the working line, and one endless run of letters, are read in bounded pieces.
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "wort" + std::string(1, char('a' + i % 26)) + std::string(1, char('a' + i / 26)) + " ";
    text += std::string(5000, 'q') + " schluss\n";
    Words got = run(text);
    EXPECT_EQ(got.size(), 200u + 3u) << "200 new words, schluss and the two above";
    EXPECT_NE(std::find(got.begin(), got.end(), "schluss"), got.end());
    for (const auto& w : got)
        EXPECT_EQ(w.find("qq"), std::string::npos) << w;
}

TEST_F(Import, KeyCheckAndMessages) {
    std::string text;
    for (int i = 0; i < 40; ++i)
        text += "wort" + std::string(1, char('a' + i % 26)) + std::string(1, char('a' + i / 26)) + " ";
    int checks = 0;
    import.keyPressed = [&] { return ++checks == 1;
};
ui.answers = {win32::IDNO};
EXPECT_EQ(run(text).size(), 40u) << "answered No: nothing lost";
ASSERT_EQ(ui.shown.size(), 1u);
EXPECT_EQ(ui.shown[0].text + "|" + ui.shown[0].caption, "Wortimport abbrechen?|Wortex");
EXPECT_EQ(ui.shown[0].style, win32::MB_YESNO | win32::MB_ICONQUESTION);

CloseAllDictionaries();
ASSERT_EQ(CreateDictionaryFile(dir.file("d.wxd"), 'd'), 1);
target = OpenDictionary(false, dir.file("d.wxd"));
checks = 0;
ui.answers = {win32::IDYES};
EXPECT_LT(run(text).size(), 40u) << "answered Yes: stopped";

ui.shown.clear();
EXPECT_EQ(ImportTextFile(target, dir.file("fehlt.txt"), import), 0);
ASSERT_EQ(ui.shown.size(), 1u);
EXPECT_EQ(ui.shown[0].text + "|" + ui.shown[0].caption, "Textdatei konnte nicht ge\xf6"
                                                        "ffnet werden.|Wortex");
} // namespace

} // namespace wortex::test
} // namespace wortex::test
