#include "SpellTestSupport.h"

#include "DictionarySet.h"
#include "Doz3Format.h"
#include "UserFile.h"

#include "platform/win32/FileApi.h"

#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace wortex::test {
namespace {

class DictSet : public ::testing::Test {
protected:
    void SetUp() override {
        win32::SetUiServices(&ui);
        ASSERT_EQ(InitDictionarySide(120), 1);
    }
    void TearDown() override {
        CloseUserFile();
        TermDictionarySide();
        win32::SetUiServices(nullptr);
    }
    DBHandle make(const std::string& name, char language, bool readOnly = false) {
        std::string p = dir.file(name);
        EXPECT_EQ(CreateDictionaryFile(p, language), 1);
        return OpenDictionary(readOnly, p);
    }
    std::vector<std::string> shown() const {
        std::vector<std::string> out;
        for (const auto& s : ui.shown)
            out.push_back(s.text + "|" + s.caption);
        return out;
    }
    TempDir dir;
    win32::ScriptedUi ui;
};

TEST_F(DictSet, MainDictionaryAndReadOnly) {
    DBHandle ro = make("ro.wxd", 'd', true);
    ASSERT_NE(ro, 0);
    EXPECT_EQ(GetMainDictionary(nullptr), 0) << "a read-only dictionary never becomes the main one";
    DBHandle a = make("a.wxd", 'd');
    DBHandle b = make("b.wxe", 'e');
    std::string name;
    EXPECT_EQ(GetMainDictionary(&name), a);
    EXPECT_EQ(name, dir.file("a.wxd"));
    EXPECT_EQ(SetMainDictionary(ro), 0);
    EXPECT_EQ(SetMainDictionary(b), 1);
    EXPECT_EQ(EnumDictionaries(2, &name), a);
    EXPECT_EQ(EnumDictionaries(4, &name), 0);
    EXPECT_EQ(GetDictionaryLanguageOf(b), 'E');
    EXPECT_EQ(IsDictionaryReadOnly(ro), 1);
    EXPECT_EQ(IsDictionaryReadOnly(a), 0);
    EXPECT_EQ(IsDictionaryReadOnly(999), 1);
    EXPECT_EQ(AddDictionaryWord(ro, "haus", false, false, 0, 0), 0);
    EXPECT_EQ(CreateDictionaryFile(dir.file("a.wxd"), 'd'), 0) << "open in the engine";
    CloseDictionary(b);
    EXPECT_EQ(GetMainDictionary(nullptr), 0);
    EXPECT_EQ(CreateDictionaryFile(dir.file("b.wxe"), 'e'), 1) << "a closed file is replaced";
}

// A dictionary opened again under another spelling of its path is the one already open: one entry of the
// set, one handle.
TEST_F(DictSet, OneFileUnderOtherSpellingsIsOneDictionary) {
    DBHandle a = make("a.wxd", 'd');
    ASSERT_NE(a, 0);
    std::filesystem::create_symlink(dir.file("a.wxd"), dir.file("verweis.wxd"));
    std::filesystem::create_directory(dir.file("unter"));
    for (const std::string& other :
         {dir.path() + "/./a.wxd", dir.path() + "/unter/../a.wxd", dir.file("verweis.wxd")})
        EXPECT_EQ(OpenDictionary(false, other), a) << other;
    EXPECT_EQ(EnumDictionaries(2, nullptr), 0);
    CloseDictionary(a);
    EXPECT_EQ(EnumDictionaries(1, nullptr), 0);
}

// No insert dictionary by choice (a named one that failed, or the box unticked) stays so when another
// dictionary is opened later; only choosing one, or a fresh set, gives one again.
TEST_F(DictSet, NoMainDictionaryByChoiceStaysSo) {
    DBHandle a = make("a.wxd", 'd');
    EXPECT_EQ(GetMainDictionary(nullptr), a);
    ClearMainDictionary();
    DBHandle b = make("b.wxd", 'd');
    EXPECT_EQ(GetMainDictionary(nullptr), 0);
    EXPECT_EQ(AddDictionaryWord(0, "haus", false, false, 0, 0), 0);
    EXPECT_EQ(SetMainDictionary(b), 1);
    EXPECT_EQ(AddDictionaryWord(0, "haus", false, false, 0, 0), 1);
    EXPECT_EQ(FindWordInDictionaries(0, "haus", 0, false), b);
    CloseAllDictionaries();
    ClearMainDictionary();
    CloseAllDictionaries();
    a = OpenDictionary(false, dir.file("a.wxd"));
    EXPECT_EQ(GetMainDictionary(nullptr), a) << "a fresh set";
}

TEST_F(DictSet, WordsAcrossDictionaries) {
    DBHandle a = make("a.wxd", 'd');
    DBHandle b = make("b.wxd", 'd');
    ASSERT_EQ(AddDictionaryWord(a, "Haus", false, false, 0, 0), 1);
    EXPECT_EQ(AddDictionaryWord(b, "haus", true, false, 0, 0), 0) << "in another dictionary";
    EXPECT_EQ(AddDictionaryWord(b, "haus.,", false, false, 0, 0), 0) << "stray punctuation";
    char spelling[64];
    EXPECT_EQ(FindWordInDictionaries(0, "HAUS", 0, false, spelling), a);
    EXPECT_EQ(std::string(spelling), "Haus") << "the leading capital became the word's capital mark";
    EXPECT_EQ(FindWordInDictionaries(0, "Haus", 0, true), a);
    EXPECT_EQ(FindWordInDictionaries(0, "haus", 0, true), 0) << "exact spelling";
    EXPECT_EQ(FindWordInDictionaries(0, "haus", 'E', false), 0);
    ASSERT_EQ(AddDictionaryWord(b, "baum", false, false, 0, 0), 1);
    EXPECT_EQ(ChangeDictionaryWord(b, "baum", "Haus", true, false), 0) << "new word known elsewhere";
    EXPECT_EQ(FindWordInDictionaries(b, "baum", 0, false), b) << "old word kept";
    EXPECT_EQ(ChangeDictionaryWord(b, "baum", "B\xe4ume", true, false), 1);
    EXPECT_EQ(FindWordInDictionaries(b, "baum", 0, false), 0);
    ASSERT_EQ(AddDictionaryWord(b, "Haus", false, false, 0, 0), 1);
    EXPECT_EQ(DeleteDictionaryWord(0, "haus"), 1);
    EXPECT_EQ(FindWordInDictionaries(0, "haus", 0, false), 0) << "gone from every dictionary";
    EXPECT_EQ(DeleteDictionaryWord(0, "haus"), 0);
    char w[64] = {};
    ASSERT_EQ(FirstListWord(b, w, false), 1);
    EXPECT_EQ(GetDictionaryWordCount(b), 1u);
}

TEST_F(DictSet, RefusedFilesAndMessages) {
    // An old-format file: its header names another format.
    std::string old = dir.file("alt.wxd");
    ASSERT_EQ(CreateDictionaryFile(old, 'd'), 1);
    auto bytes = readAll(old);
    bytes[340 + 48] = 11;
    writeAll(old, bytes);
    EXPECT_EQ(OpenDictionary(false, old), 0);
    // A root record that points into nowhere.
    std::string bad = dir.file("kaputt.wxd");
    ASSERT_EQ(CreateDictionaryFile(bad, 'd'), 1);
    bytes = readAll(bad);
    doz3::put32(bytes.data() + 1048 + 6, 0x00FFFFF0);
    writeAll(bad, bytes);
    EXPECT_EQ(OpenDictionary(false, bad), 0);
    EXPECT_EQ(OpenDictionary(false, dir.file("fehlt.wxd")), 0);
    EXPECT_EQ(shown(), (std::vector<std::string>{
                           "Altes Dateiformat.\nErstellen Sie im Dialog \"W\xf6rterbuchbearbeitung\" ein "
                           "<<Neu>>-es W\xf6rterbuch, und importieren\nSie das alte Verzeichnis mittels "
                           "(Einf\xfcgen) <<aus W\xf6rterbuch>>.|Wortex",
                           "W\xf6rterbuch konnte nicht ge\xf6"
                           "ffnet werden.|Wortex"}));
    EXPECT_EQ(ui.shown[0].style, win32::MB_ICONEXCLAMATION);
    EXPECT_EQ(EnumDictionaries(1, nullptr), 0) << "failed opens leave no node";
}

TEST_F(DictSet, UserFile) {
    DBHandle main = make("WORTEX.WXD", 'd');
    ASSERT_NE(main, 0);
    std::string name;
    DBHandle u = GetUserFile(&name);
    ASSERT_NE(u, 0);
    EXPECT_EQ(name, dir.file("WORTEX.WUD"));
    EXPECT_EQ(FindDictionaryNode(u)->language, 'U');
    ASSERT_EQ(AddUserWord("Teh", "the", kUserReplace), 1);
    char fix[64];
    int action = 0;
    ASSERT_EQ(LookupUserWord("teh", fix, &action), 1);
    EXPECT_EQ(std::string(fix), "the");
    EXPECT_EQ(action, kUserReplace);
    ASSERT_EQ(AddUserWord("teh", "", kUserIgnore), 1) << "replaces the old entry";
    ASSERT_EQ(LookupUserWord("teh", fix, &action), 1);
    EXPECT_EQ(std::string(fix), "");
    EXPECT_EQ(action, kUserIgnore);
    EXPECT_EQ(AddUserWord("teh", std::string(64, 'x').c_str(), kUserReplace), 0);
    ASSERT_EQ(LookupUserWord("teh", fix, &action), 1) << "a refused change keeps the old entry";
    EXPECT_EQ(action, kUserIgnore);
    EXPECT_EQ(DeleteUserWord("teh"), 1);
    EXPECT_EQ(LookupUserWord("teh", fix, &action), 0);

    EXPECT_EQ(UserFileNameFor("/a.wb/dict/wortex.wxe"), "/a.wb/dict/wortex.wue");
    EXPECT_EQ(UserFileNameFor("/a.wb/dict/wortex"), "") << "only the extension counts";

    // A user file that exists but is no dictionary is reported, never created over.
    CloseUserFile();
    std::string junk = dir.file("junk.wud");
    writeAll(junk, std::vector<unsigned char>(100, 7));
    ui.shown.clear();
    EXPECT_EQ(OpenUserFile(junk), 0);
    EXPECT_EQ(readAll(junk), std::vector<unsigned char>(100, 7));
    EXPECT_EQ(shown(), std::vector<std::string>{"W\xf6rterbuch konnte nicht ge\xf6"
                                                "ffnet werden.|Wortex"});
}

// Word k of a process: letters only, so every one is a valid word; its correction varies in length so that
// freed records of several sizes are taken again.
std::string wortNr(char prozess, int k) {
    std::string w(1, prozess);
    for (int n = k + 1; n > 0; n /= 26)
        w += static_cast<char>('a' + n % 26);
    return w + "x";
}
std::string korrekturNr(int k) {
    return std::string(static_cast<std::size_t>(1 + k % 17), static_cast<char>('a' + k % 26));
}

// A user who waits for the other process: every lock problem is answered with Retry.
struct Wiederholen : win32::ScriptedUi {
    int messageBox(win32::HWND, const std::string&, const std::string&, win32::UINT) override {
        return win32::IDRETRY;
    }
};

// Adds words 0 to n-1 and deletes each even one once the next is in: only the odd ones stay. The two
// processes take turns, one edit each, handing over through pipes.
int userFileArbeit(const std::string& path, char prozess, int n, int warten, int weiter, bool beginnt) {
    Wiederholen ui;
    win32::SetUiServices(&ui);
    if (InitDictionarySide(120) != 1) return 10;
    if (OpenUserFile(path) != 1) return 11;
    int fehler = 0;
    char zug = 0;
    for (int k = 0; k < n; ++k) {
        if ((k > 0 || !beginnt) && read(warten, &zug, 1) != 1) return 12;
        if (AddUserWord(wortNr(prozess, k).c_str(), korrekturNr(k).c_str(), kUserReplace) != 1) ++fehler;
        if (k % 2 == 1 && DeleteUserWord(wortNr(prozess, k - 1).c_str()) != 1) ++fehler;
        // The last turn is the other process's: after it nobody waits.
        if ((k < n - 1 || beginnt) && write(weiter, &zug, 1) != 1) return 13;
    }
    CloseUserFile();
    TermDictionarySide();
    return fehler == 0 ? 0 : 1;
}

TEST_F(DictSet, TwoProcessesEditingOneUserFileKeepEveryEntry) {
    const std::string path = dir.file("GEMEINSAM.WUD");
    ASSERT_EQ(OpenUserFile(path), 1);
    CloseUserFile();
    constexpr int n = 300;
    int zuQ[2], zuP[2];
    ASSERT_EQ(pipe(zuQ), 0);
    ASSERT_EQ(pipe(zuP), 0);
    pid_t kinder[2];
    for (int i = 0; i < 2; ++i) {
        kinder[i] = fork();
        ASSERT_GE(kinder[i], 0);
        // p starts; each hands the turn to the other after one edit.
        if (kinder[i] == 0) {
            const bool p = i == 0;
            close(p ? zuP[1] : zuQ[1]);
            close(p ? zuQ[0] : zuP[0]);
            _exit(p ? userFileArbeit(path, 'p', n, zuP[0], zuQ[1], true)
                    : userFileArbeit(path, 'q', n, zuQ[0], zuP[1], false));
        }
    }
    for (int fd : {zuQ[0], zuQ[1], zuP[0], zuP[1]})
        close(fd);
    for (pid_t kind : kinder) {
        int status = 0;
        ASSERT_EQ(waitpid(kind, &status, 0), kind);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0);
    }
    ASSERT_EQ(OpenUserFile(path), 1);
    int falsch = 0;
    for (char prozess : {'p', 'q'})
        for (int k = 0; k < n; ++k) {
            char fix[64];
            int action = 0;
            const int da = LookupUserWord(wortNr(prozess, k).c_str(), fix, &action);
            if (k % 2 == 0 ? da != 0 : (da != 1 || korrekturNr(k) != fix || action != kUserReplace)) ++falsch;
        }
    EXPECT_EQ(falsch, 0);
    // The file takes new entries afterwards: its free space is intact.
    for (int k = 0; k < 200; ++k)
        ASSERT_EQ(AddUserWord(wortNr('r', k).c_str(), korrekturNr(k).c_str(), kUserReplace), 1);
    for (int k = 0; k < 200; ++k) {
        char fix[64];
        int action = 0;
        ASSERT_EQ(LookupUserWord(wortNr('r', k).c_str(), fix, &action), 1);
        EXPECT_EQ(korrekturNr(k), fix);
    }
}

} // namespace
} // namespace wortex::test
