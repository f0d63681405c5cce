#include "SpellTestSupport.h"

#include "Configuration.h"
#include "DictionarySet.h"
#include "UserFile.h"

#include "platform/win32/FileApi.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace wortex::test {
namespace {

// Runs in a folder of its own as the current directory, with a second folder as the library's.
class Config : public ::testing::Test {
protected:
    void SetUp() override {
        old = std::filesystem::current_path();
        std::filesystem::create_directory(lib.path() + "/lib");
        std::filesystem::current_path(cwd.path());
        SetLibraryDirectory(lib.path() + "/lib");
        win32::SetUiServices(&ui);
        ASSERT_EQ(InitDictionarySide(120), 1);
    }
    void TearDown() override {
        win32::SetFileFaultHook({});
        CloseUserFile();
        TermDictionarySide();
        win32::SetUiServices(nullptr);
        SetLibraryDirectory("");
        std::filesystem::current_path(old);
    }
    void ini(const std::string& text, bool besideLibrary = false) {
        std::string p = besideLibrary ? lib.path() + "/lib/WORTEX.INI" : cwd.file("WORTEX.INI");
        writeAll(p, {text.begin(), text.end()});
    }
    std::string iniText(bool besideLibrary = false) {
        auto b = readAll(besideLibrary ? lib.path() + "/lib/WORTEX.INI" : cwd.file("WORTEX.INI"));
        return {b.begin(), b.end()};
    }
    std::uint32_t read(std::uint32_t* place = nullptr) {
        std::uint32_t options = 0xDEAD, where = 9;
        ReadConfiguration(&where, &options);
        if (place) *place = where;
        return options;
    }
    void dictionary(const std::string& path, char language) {
        ASSERT_EQ(CreateDictionaryFile(path, language), 1);
    }
    std::vector<std::string> open() {
        std::vector<std::string> names;
        std::string n;
        for (int i = 1; EnumDictionaries(i, &n); ++i)
            names.push_back(std::filesystem::path(n).filename().string());
        return names;
    }
    std::string insertName() {
        std::string n;
        GetMainDictionary(&n);
        return std::filesystem::path(n).filename().string();
    }

    std::filesystem::path old;
    TempDir cwd, lib;
    win32::ScriptedUi ui;
};

std::string allFlags(const char* value) {
    std::string text = "[Configuration]\n";
    for (const auto& f : kOptionFlags)
        text += std::string(f.key) + "=" + value + "\n";
    return text;
}

TEST_F(Config, OptionWordFromTheFlags) {
    struct Case {
        std::string text;
        std::uint32_t options;
    } cases[] = {
        {"", 0x3F07E},
        {allFlags("yes"), 0x7F37E},
        {allFlags("no"), 0},
        {"[Configuration]\nPriority-ou/ss=yes\n", 0xBF07E},
        {"[configuration]\nautocheck=No\nAutoSkip=nein\nAutoSplit=N\n", 0x3F070},
        {"[Configuration]\nConfirmCorr=\nConfirmSplit=ja\nAutoCheck=0\n", 0x3F37E},
    };
    for (const auto& c : cases) {
        ini(c.text);
        EXPECT_EQ(read(), c.options) << c.text;
        EXPECT_TRUE(ui.shown.empty()) << c.text;
        CloseAllDictionaries();
    }
    EXPECT_EQ(NormaliseOptions(0xFFFFFFFF), 0x7F37E);
    EXPECT_EQ(NormaliseOptions(0xC0000), 0x40000);
}

TEST_F(Config, DictionariesAndUserFileFromTheFile) {
    for (const char* n : {"eins.wxd", "zwei.wxd", "drei.wxd"})
        dictionary(cwd.file(n), 'd');
    ini("[Dictionaries]\nFiles=eins.wxd;zwei.wxd, drei.wxd\nInsertFile=zwei.wxd\n");
    read();
    EXPECT_EQ(open(), (std::vector<std::string>{"eins.wxd", "zwei.wxd", "drei.wxd"}));
    EXPECT_EQ(insertName(), "zwei.wxd");
    std::string user;
    ASSERT_NE(GetUserFile(&user), 0);
    EXPECT_EQ(std::filesystem::path(user).filename(), "zwei.wud");
    CloseUserFile();
    CloseAllDictionaries();

    dictionary(cwd.file("fach.dic"), 'd');
    ini("[Dictionaries]\nFiles=fach.dic\nInsertFile=fach.dic\n");
    read();
    EXPECT_EQ(insertName(), "fach.dic");
    EXPECT_FALSE(std::filesystem::exists(cwd.file("fach.udc")));
    EXPECT_EQ(GetUserFile(nullptr), 0) << "an insert file without .WX has no user file";
}

TEST_F(Config, LongValuesAreReadWhole) {
    std::string deep = cwd.path();
    while (deep.size() < 300)
        deep += "/verzeichnis";
    std::filesystem::create_directories(deep);
    dictionary(cwd.file("spaet.wxd"), 'd');
    ini("[Dictionaries]\nFiles=" + std::string(5100, ';') +
        "spaet.wxd\nInsertFile=spaet.wxd\n[Configuration]\nUserFile=" + deep + "/eigen.wud\n");
    read();
    EXPECT_EQ(open(), std::vector<std::string>{"spaet.wxd"}) << "a name behind 5000 characters";
    // The engine refuses a path that long: refused with a message, never opened or created under a cut name;
    // the start names it.
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[1].text, "Diese in WORTEX.INI eingetragenen Dateien konnten nicht ge\xf6"
                                "ffnet werden:\n" +
                                    deep + "/eigen.wud\nSie bleiben in WORTEX.INI eingetragen.");
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::recursive_directory_iterator(cwd.path()))
        if (e.is_regular_file()) files.push_back(e.path().filename().string());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"WORTEX.INI", "spaet.wxd"}));
}

// A list of names beyond any office's use opens the first ones only and says so; a list up to the limit
// opens every name without a message.
TEST_F(Config, DictionaryNamesAreCappedWithAMessage) {
    std::vector<std::string> names;
    for (std::size_t i = 0; i <= kMaxDictionaryNames; ++i) {
        names.push_back("d" + std::to_string(i) + ".wxd");
        dictionary(cwd.file(names.back()), 'd');
    }
    struct Case {
        const char* name;
        std::string files;
        std::size_t opened;
        bool message;
    } cases[] = {
        {"up to the limit", "", kMaxDictionaryNames, false},
        {"one more", "", kMaxDictionaryNames, true},
        {"60 000 names", "", kMaxDictionaryNames, true},
    };
    for (std::size_t i = 0; i < kMaxDictionaryNames; ++i)
        cases[0].files += names[i] + ";";
    cases[1].files = cases[0].files + ";;, " + names[kMaxDictionaryNames];
    cases[2].files = cases[0].files;
    for (int i = 0; i < 60000; ++i)
        cases[2].files += "fehlt" + std::to_string(i) + ";";
    cases[2].files += names[kMaxDictionaryNames];
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_LT(c.files.size(), kMaxConfigurationSize);
        ini("[Dictionaries]\nFiles=" + c.files + "\nInsertFile=" + names[kMaxDictionaryNames] + "\n");
        ui.shown.clear();
        read();
        std::vector<std::string> expected(names.begin(), names.begin() + static_cast<long>(c.opened));
        EXPECT_EQ(open(), expected);
        EXPECT_EQ(insertName(), "") << "a name behind the limit is not opened, and none takes its place";
        // The last message says that no dictionary takes new words.
        ASSERT_EQ(ui.shown.size(), c.message ? 2u : 1u);
        EXPECT_EQ(ui.shown.back().text, "Das Einf\xfcgew\xf6rterbuch " + names[kMaxDictionaryNames] +
                                            " kann nicht beschrieben werden.\nNeue W\xf6rter werden in kein "
                                            "W\xf6rterbuch eingef\xfcgt.");
        if (c.message) {
            EXPECT_EQ(ui.shown[0].text, "Die Einstellungsdatei WORTEX.INI nennt zu viele W\xf6rterb\xfc"
                                        "cher.\nNur die ersten 64 wurden ge\xf6"
                                        "ffnet.");
            EXPECT_EQ(ui.shown[0].caption, "Wortex");
        }
        CloseUserFile();
        CloseAllDictionaries();
    }
}

TEST_F(Config, DefaultDictionaryBesideTheLibrary) {
    read();
    EXPECT_TRUE(open().empty()) << "nothing named and no WORTEX.WXD";
    dictionary(lib.path() + "/lib/WORTEX.WXD", 'd');
    read();
    EXPECT_EQ(open(), std::vector<std::string>{"WORTEX.WXD"});
    EXPECT_EQ(insertName(), "WORTEX.WXD");
    std::string user;
    EXPECT_NE(GetUserFile(&user), 0);
    EXPECT_EQ(user, lib.path() + "/lib/WORTEX.WUD");
}

TEST_F(Config, PlaceOfTheFile) {
    ini("[Configuration]\nAutoCheck=no\n", true);
    std::uint32_t place = 9;
    EXPECT_EQ(read(&place), 0x3F07C);
    EXPECT_EQ(place, kPlaceLibrary);
    ini("[Configuration]\nAutoSkip=no\n");
    EXPECT_EQ(read(&place), 0x3F07A);
    EXPECT_EQ(place, kPlaceCurrentDirectory);
}

TEST_F(Config, WritesKeysInOrderAndEveryFlagRoundTrips) {
    dictionary(cwd.file("a.wxd"), 'd');
    dictionary(cwd.file("b.wxe"), 'e');
    ini("; kept\n[Dictionaries]\nFiles=a.wxd;b.wxe\nInsertFile=b.wxe\n[Other]\nk=v\n");
    read();
    ASSERT_TRUE(WriteConfiguration(kPlaceCurrentDirectory, 0x4102));
    std::string expected =
        "; kept\r\n[Other]\r\nk=v\r\n[Dictionaries]\r\nFiles=" + cwd.file("a.wxd") + ";" + cwd.file("b.wxe") +
        "\r\nInsertFile=" + cwd.file("b.wxe") + "\r\n[Configuration]\r\nUserFile=" + cwd.file("b.wue") +
        "\r\nAutoCheck=yes\r\nAutoSkip=no\r\nAutoSplit=no\r\nErrorBeep=no\r\nCorrBeep=no\r\n"
        "AbbrevBeep=no\r\nConfirmCorr=yes\r\nConfirmSplit=no\r\nUserCorrect=no\r\n"
        "BeginCorrect=no\r\nCapCorrect=yes\r\nPRopCorrect=no\r\nAddChars=no\r\n"
        "AccentCorrect=no\r\nPriority-o/\xdf=no\r\nPriority-ou/ss=no\r\n";
    EXPECT_EQ(iniText(), expected);
    for (const auto& f : kOptionFlags) {
        for (std::uint32_t word : {f.bit, NormaliseOptions(~f.bit)}) {
            ASSERT_TRUE(WriteConfiguration(kPlaceCurrentDirectory, word));
            CloseUserFile();
            CloseAllDictionaries();
            EXPECT_EQ(read(), word) << f.key;
        }
    }
    ASSERT_TRUE(WriteConfiguration(kPlaceLibrary, 0));
    EXPECT_NE(iniText(true).find("AutoCheck=no"), std::string::npos);
}

TEST_F(Config, WritingKeepsTheModeOfTheFile) {
    ini("[Configuration]\nAutoCheck=no\n");
    std::filesystem::permissions(cwd.file("WORTEX.INI"), std::filesystem::perms(0640));
    read();
    ASSERT_TRUE(WriteConfiguration(kPlaceCurrentDirectory, 0x2));
    EXPECT_NE(iniText().find("AutoCheck=yes"), std::string::npos);
    EXPECT_EQ(std::filesystem::status(cwd.file("WORTEX.INI")).permissions(), std::filesystem::perms(0640));
}

TEST_F(Config, FailedWriteKeepsTheOldFile) {
    const std::string old = "[Configuration]\nAutoCheck=no\n";
    for (win32::FileOp failing : {win32::FileOp::Write, win32::FileOp::Flush, win32::FileOp::Rename}) {
        ini(old);
        ui.shown.clear();
        win32::SetFileFaultHook([failing](win32::FileOp op) { return op == failing; });
        EXPECT_FALSE(WriteConfiguration(kPlaceCurrentDirectory, 0x2));
        win32::SetFileFaultHook({});
        EXPECT_EQ(iniText(), old);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(cwd.path()), {}), 1);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text, "Die Einstellungen konnten nicht gespeichert werden.");
        EXPECT_EQ(ui.shown[0].caption, "Wortex");
        EXPECT_EQ(ui.shown[0].style, win32::MB_ICONEXCLAMATION);
    }
}

TEST_F(Config, MalformedFileGivesTheDefaultsAndAMessage) {
    dictionary(cwd.file("a.wxd"), 'd');
    const std::string names = "[Dictionaries]\nFiles=a.wxd\n[Configuration]\nAutoCheck=no\n";
    struct Case {
        const char* kind;
        std::string text;
    } cases[] = {
        {"NUL byte", names + std::string("x=\0", 3) + "\n"},
        {"stray line", names + "just text\n"},
        {"open section", names + "[Broken\n"},
        {"empty key", names + "=value\n"},
        {"too long", names + ";" + std::string(kMaxConfigurationSize, 'x') + "\n"},
    };
    for (const auto& c : cases) {
        ini(c.text);
        ui.shown.clear();
        EXPECT_EQ(read(), 0x3F07E) << c.kind;
        EXPECT_TRUE(open().empty()) << c.kind;
        ASSERT_EQ(ui.shown.size(), 1u) << c.kind;
        EXPECT_EQ(ui.shown[0].caption, "Wortex");
        EXPECT_EQ(ui.shown[0].style, win32::MB_ICONEXCLAMATION);
        CloseAllDictionaries();
    }
    std::filesystem::remove(cwd.file("WORTEX.INI"));
    std::filesystem::create_directory(lib.path() + "/lib/WORTEX.INI");
    ui.shown.clear();
    EXPECT_EQ(read(), 0x3F07E) << "unreadable";
    EXPECT_EQ(ui.shown.size(), 1u);
}

// An insert dictionary and a user file that another program holds for writing: the start says so, no
// other dictionary takes new words, and a save writes every name back as WORTEX.INI had it. A dictionary
// named twice under other spellings of its path is opened once.
TEST_F(Config, NamesThatCannotTakeWordsStayAndNothingElseTakesTheirWords) {
    dictionary(cwd.file("a.wxd"), 'd');
    dictionary(cwd.file("b.wxd"), 'd');
    dictionary(cwd.file("b.wud"), 'U');
    std::filesystem::create_symlink(cwd.file("a.wxd"), cwd.file("verweis.wxd"));
    using namespace win32;
    HANDLE holdB =
        CreateFile(cwd.file("b.wxd"), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
    HANDLE holdUser =
        win32::CreateFile(cwd.file("b.wud"), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_TRUE(holdB && holdUser);
    ini("[Dictionaries]\nFiles=a.wxd ./a.wxd verweis.wxd b.wxd\nInsertFile=b.wxd\n[Configuration]\n"
        "UserFile=b.wud\n");
    read();
    EXPECT_EQ(open(), (std::vector<std::string>{"a.wxd", "b.wxd"}));
    EXPECT_EQ(insertName(), "");
    EXPECT_EQ(AddDictionaryWord(0, "Zw\xf6rbelhaus", false, false, 0, 0), 0);
    EXPECT_EQ(GetDictionaryWordCount(EnumDictionaries(1, nullptr)), 0u) << "a.wxd took no word";
    std::vector<std::string> texts;
    for (const auto& m : ui.shown)
        texts.push_back(m.text);
    EXPECT_EQ(texts, (std::vector<std::string>{
                         "W\xf6rterbuch konnte nicht ge\xf6"
                         "ffnet werden.",
                         "Diese in WORTEX.INI eingetragenen Dateien konnten nicht ge\xf6"
                         "ffnet werden:\nb.wud\nSie bleiben in WORTEX.INI eingetragen.\n\nDas Einf\xfcgew\xf6"
                         "rterbuch b.wxd kann nicht beschrieben werden.\nNeue W\xf6rter werden in kein "
                         "W\xf6rterbuch eingef\xfcgt."}));
    ASSERT_TRUE(WriteConfiguration(kPlaceCurrentDirectory, DefaultOptions()));
    std::string text = iniText();
    EXPECT_NE(text.find("\r\nFiles=" + cwd.file("a.wxd") + ";" + cwd.file("b.wxd") + "\r\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("\r\nInsertFile=b.wxd\r\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\r\nUserFile=b.wud\r\n"), std::string::npos) << text;
    win32::CloseHandle(holdB);
    win32::CloseHandle(holdUser);
}

// The sample WORTEX.INI: a save rewrites its two sections as the settings say, and every explanation of
// the file stands above them, where it stays.
TEST_F(Config, SampleExplanationsSurviveASave) {
    std::ifstream in(std::string(VELU_SOURCE_DIR) + "/cmake/WORTEX.INI.in", std::ios::binary);
    std::string sample((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(sample.empty());
    dictionary(cwd.file("haupt.wxd"), 'd');
    sample.replace(sample.find("@WORTEX_INI_DICTIONARY@"), 23, cwd.file("haupt.wxd"));
    ini(sample);
    read();
    ASSERT_TRUE(WriteConfiguration(kPlaceCurrentDirectory, DefaultOptions()));
    std::string saved = iniText();
    std::istringstream lines(sample);
    int comments = 0;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind(";", 0) == 0) {
            ++comments;
            EXPECT_NE(saved.find(line + "\r\n"), std::string::npos) << line;
        }
    EXPECT_GE(comments, 6);
}

// A user file named through a link whose file is gone is reported and left a link: no empty file is made
// in its place or at its target.
TEST_F(Config, DanglingLinkUserFileIsReportedNotReplaced) {
    std::filesystem::create_symlink(cwd.file("teilung/eigen.wud"), cwd.file("eigen.wud"));
    std::filesystem::create_directory(cwd.file("teilung"));
    std::filesystem::remove(cwd.file("teilung"));
    ini("[Configuration]\nUserFile=eigen.wud\n");
    read();
    EXPECT_FALSE(IsUserFileOpen());
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text, "W\xf6rterbuch konnte nicht ge\xf6"
                                "ffnet werden.");
    EXPECT_EQ(ui.shown[1].text, "Diese in WORTEX.INI eingetragenen Dateien konnten nicht ge\xf6"
                                "ffnet werden:\neigen.wud\nSie bleiben in WORTEX.INI eingetragen.");
    EXPECT_TRUE(std::filesystem::is_symlink(cwd.file("eigen.wud")));
    EXPECT_FALSE(std::filesystem::exists(cwd.file("teilung")));
    // The same through the dialog's choice of a file.
    ui.shown.clear();
    std::filesystem::create_directory(cwd.file("teilung"));
    EXPECT_EQ(OpenUserFile(cwd.file("eigen.wud")), 0);
    EXPECT_EQ(ui.shown.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(cwd.file("teilung/eigen.wud")));
}

} // namespace
} // namespace wortex::test
