// Checking a text through the library as a host sees it: WX_Init, messages, an attached EDIT window and the
// scripted dialogs.
#include "HostText.h"
#include "RealText.h"
#include "SuggestionAnswers.h"
#include "Wortex32.h"
#include "platform/win32/EditControl.h"
#include "platform/win32/FileApi.h"
#include "platform/win32/GlobalMemory.h"
#include "platform/win32/UiServices.h"
#include "platform/win32/Window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace win32;

// A package the test reads is missing: a failure under CI, which installs it, else a skip.
#define REQUIRE_INSTALLED(present, what)                                                                     \
    if (!(present)) {                                                                                        \
        if (wortex::test::UnderCi()) FAIL() << what << " is missing: scripts/setup.sh installs it for CI";   \
        GTEST_SKIP() << what << " not installed";                                                            \
    }

namespace {

using InitFn = WX_InitFn;
using AttachRecord = WX_AttachRecord;
using CheckRange = WX_CheckRange;
using WordRecord = WX_WordRecord;
using StateRecord = WX_StateRecord;

constexpr std::uint32_t kDefaults = WX_DEFAULT_OPTIONS;

std::vector<std::string> tempFiles() {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(GetTempPath(), ec))
        if (e.path().filename().string().rfind("wx", 0) == 0) names.push_back(e.path().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Check : public ::testing::Test {
protected:
    void SetUp() override {
        SetUiServices(&ui);
        std::string pattern = (std::filesystem::temp_directory_path() / "wxcheckXXXXXX").string();
        dir = ::mkdtemp(pattern.data());
        // The configuration file is read and written in the current directory: the test's own.
        home = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        beforeInit();
        // History files go into it as well, where no other test puts any.
        const char* tmp = std::getenv("TMPDIR");
        oldTmp = tmp ? tmp : "";
        setenv("TMPDIR", dir.c_str(), 1);
        lib = dlopen(WORTEX32_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib, nullptr) << dlerror();
        api = reinterpret_cast<InitFn>(dlsym(lib, WX_INIT_NAME))();
        ASSERT_TRUE(IsWindow(api));
    }
    // Runs in the test's folder before the library is loaded and reads its settings.
    virtual void beforeInit() {}
    void TearDown() override {
        if (edit) DestroyWindow(edit);
        if (status) DestroyWindow(status);
        while (IsWindow(api) && send(1164, 0, 0)) {
        }
        if (lib) dlclose(lib);
        SetUiServices(nullptr);
        std::error_code ec;
        std::filesystem::current_path(home, ec);
        if (oldTmp.empty())
            unsetenv("TMPDIR");
        else
            setenv("TMPDIR", oldTmp.c_str(), 1);
        std::filesystem::remove_all(dir, ec);
    }
    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessage(api, message, wParam, lParam);
    }
    template <class T> LRESULT send(UINT message, WPARAM wParam, const T* p) {
        return SendMessage(api, message, wParam, reinterpret_cast<LPARAM>(p));
    }
    LRESULT dictionary(const std::vector<std::string>& words) {
        std::string path = dir + "/woerter.wxd";
        EXPECT_NE(send(1134, 'D', path.c_str()), 0);
        LRESULT h = send(1135, 0, path.c_str());
        for (const auto& w : words)
            EXPECT_EQ(send(1137, static_cast<WPARAM>(h), w.c_str()), 1) << w;
        return h;
    }
    bool wngerman() {
        if (!std::filesystem::exists(WNGERMAN_DICTIONARY)) return false;
        return send(1135, 1, WNGERMAN_DICTIONARY) != 0;
    }
    void window(const std::string& text, int wrap) {
        edit = CreateWindowEx(0, kEditClass, text.c_str(), ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
        status = CreateWindowEx(0, kEditClass, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
        SetEditWrapWidth(edit, wrap);
        AttachRecord r{edit, status, 0};
        ASSERT_EQ(send(1194, 0, &r), 1);
    }
    void options(std::uint32_t o) { send(1126, 2, static_cast<LPARAM>(o)); }
    LRESULT checkAll() {
        CheckRange r{edit, 0, 0, 0, 0};
        SendMessage(edit, EM_SETSEL, 0, 0);
        return send(1201, 0, &r);
    }
    std::pair<int, int> caret() {
        DWORD s = 0, e = 0;
        SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        auto line = static_cast<int>(SendMessage(edit, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0));
        return {static_cast<int>(e - SendMessage(edit, EM_LINEINDEX, static_cast<WPARAM>(line), 0)), line};
    }
    void type(const std::string& text) {
        for (char ch : text)
            SendMessage(edit, WM_CHAR, static_cast<unsigned char>(ch), 0);
    }
    // Answers dialog 1101 with replacements by word; a word without one is ignored.
    void answerSuggestions(const std::map<std::string, std::string>& replacements) {
        wortex::test::AnswerSuggestions(ui, asked, replacements);
    }

    ScriptedUi ui;
    std::string dir;
    std::filesystem::path home;
    std::string oldTmp;
    void* lib = nullptr;
    HWND api = 0, edit = 0, status = 0;
    std::vector<std::string> asked;
};

const std::string kParagraph =
    "Das Architekturb\xfcro hat die Unterlagen f\xfcr den Bauantrag volst\xe4ndig \r\n"
    "vorbereitet. Die zeichnungen des Erdgeschosses und die Beschreibnug \r\n"
    "des Gebaeudes liegen der Stadt seit Montag vor. nach der Genemigung \r\n"
    "beginnt die Ausf\xfchrungsplanung, und die Ausschreibung der Rohbauarbeiten \r\n"
    "folgt im Fr\xfchjahr. Der Bauherr erh\xe4lt mit der n\xe4"
    "chsten Rechnnung eine \r\n"
    "\xdc"
    "bersicht \xfc"
    "ber alle Leistungen und die bisher bezahlten Abschlagszahlungen. \r\n";

std::string fixed(std::string text) {
    const std::pair<std::string, std::string> changes[] = {
        {"volst\xe4ndig", "vollst\xe4ndig"}, {"zeichnungen", "Zeichnungen"}, {"Beschreibnug", "Beschreibung"},
        {"Gebaeudes", "Geb\xe4udes"},        {"nach der", "Nach der"},       {"Genemigung", "Genehmigung"},
        {"Rechnnung", "Rechnung"},
    };
    for (const auto& [from, to] : changes)
        text.replace(text.find(from), from.size(), to);
    return text;
}

// A hard-wrapped paragraph of 40 lines as users write them: every line ends in a word or a full stop without
// a blank, some lines begin with a capitalised word.
const std::string kHardWrapped =
    "Das Architekturb\xfcro hat die Unterlagen f\xfcr den Bauantrag vollst\xe4ndig\r\n"
    "vorbereitet. Die Zeichnungen des Erdgeschosses und die Beschreibung\r\n"
    "des Geb\xe4udes liegen der Stadt seit Montag vor. Nach der Genehmigung\r\n"
    "beginnt die Ausf\xfchrungsplanung, und die Ausschreibung der Rohbauarbeiten\r\n"
    "folgt im Fr\xfchjahr. Der Bauherr erh\xe4lt mit der n\xe4"
    "chsten Rechnung eine\r\n"
    "\xdc"
    "bersicht \xfc"
    "ber alle Leistungen und die bisher bezahlten Abschlagszahlungen.\r\n"
    "Die Kosten des Projekts werden nach der Honorarordnung berechnet, und\r\n"
    "jede Leistungsphase wird einzeln abgerechnet. F\xfcr die Grundlagenermittlung\r\n"
    "und die Vorplanung sind zusammen neun Prozent des Honorars vorgesehen.\r\n"
    "Die Entwurfsplanung folgt mit weiteren f\xfcnfzehn Prozent, die\r\n"
    "Genehmigungsplanung mit drei Prozent. Wenn der Bauherr \xc4nderungen\r\n"
    "w\xfcnscht, werden die zus\xe4tzlichen Leistungen gesondert vereinbart und\r\n"
    "nach dem tats\xe4"
    "chlichen Aufwand abgerechnet. Das B\xfcro f\xfchrt daf\xfcr ein\r\n"
    "Verzeichnis der Stunden, das der Rechnung beigelegt wird. In jedem\r\n"
    "Monat pr\xfc"
    "ft die Bauleitung die Arbeiten auf der Baustelle und\r\n"
    "schreibt ein kurzes Protokoll. M\xe4ngel werden darin genau beschrieben,\r\n"
    "damit die Firmen sie rasch beheben k\xf6nnen. Am Ende der Bauzeit\r\n"
    "findet die Abnahme statt, bei der alle Beteiligten anwesend sind.\r\n"
    "Danach beginnt die Frist f\xfcr die Gew\xe4hrleistung, die in der Regel\r\n"
    "f\xfcnf Jahre dauert. W\xe4hrend dieser Zeit sammelt das B\xfcro alle Hinweise\r\n"
    "des Bauherrn und leitet sie an die zust\xe4ndigen Firmen weiter.\r\n"
    "Die Schlussrechnung wird erst gestellt, wenn alle Unterlagen\r\n"
    "\xfc"
    "bergeben sind. Dazu geh\xf6ren die Pl\xe4ne des ausgef\xfchrten Geb\xe4udes,\r\n"
    "die Bedienungsanleitungen der technischen Anlagen und eine\r\n"
    "Zusammenstellung der Kosten. Der Bauherr hat danach vier Wochen\r\n"
    "Zeit, die Rechnung zu pr\xfc"
    "fen. Offene Fragen kl\xe4rt er am besten\r\n"
    "in einem Gespr\xe4"
    "ch mit dem B\xfcro, damit keine Missverst\xe4ndnisse\r\n"
    "entstehen. Bezahlt er die Rechnung nicht rechtzeitig, erh\xe4lt er\r\n"
    "eine freundliche Erinnerung. Die meisten Bauherren zahlen jedoch\r\n"
    "p\xfcnktlich, weil sie mit der Arbeit des B\xfcros zufrieden sind.\r\n"
    "Im n\xe4"
    "chsten Jahr plant das B\xfcro einen Neubau f\xfcr eine Schule am\r\n"
    "Rande der Stadt. Die Gemeinde hat daf\xfcr einen Wettbewerb\r\n"
    "ausgeschrieben, an dem sich viele B\xfcros beteiligen. Die Entw\xfcrfe\r\n"
    "werden im Herbst von einer Jury beurteilt, und der Gewinner\r\n"
    "erh\xe4lt den Auftrag f\xfcr die weitere Planung. Das B\xfcro hofft, mit\r\n"
    "seinem Entwurf zu \xfc"
    "berzeugen, der viel Holz und gro\xdf"
    "e Fenster\r\n"
    "vorsieht. Die Kinder sollen in hellen R\xe4umen lernen, und der\r\n"
    "Garten soll allen offenstehen. Bis dahin gibt es noch viel zu tun,\r\n"
    "aber das Team freut sich auf die neue Aufgabe und beginnt schon\r\n"
    "bald mit den ersten Skizzen.";

// Typos a user makes in it: the first three are asked about, the others corrected automatically.
const std::pair<const char*, const char*> kTypos[] = {
    {"Genemigungsplanung", "Genehmigungsplanung"},
    {"volst\xe4ndig", "vollst\xe4ndig"},
    {"Genemigung", "Genehmigung"},
    {"Verzeichniss", "Verzeichnis"},
    {"Rechnnung", "Rechnung"},
    {"Gew\xe4hrleistunng", "Gew\xe4hrleistung"},
    {"zeichnungen", "Zeichnungen"},
    {"Gebaeudes", "Geb\xe4udes"},
};

std::string withTypos() {
    std::string t = kHardWrapped;
    for (const auto& [typo, right] : kTypos)
        t.replace(t.find(right), std::strlen(right), typo);
    return t;
}

enum class Kind { Edit, Rich, Host, HostNotTelling };
const Kind kKinds[] = {Kind::Edit, Kind::Rich, Kind::Host};
const char* nameOf(Kind k) {
    return k == Kind::Edit   ? "EDIT"
           : k == Kind::Rich ? "rich text"
           : k == Kind::Host ? "host adapter"
                             : "host adapter answering 0 to 60010";
}
const std::uint32_t kOptionSets[] = {kDefaults,
                                     kDefaults & ~static_cast<std::uint32_t>(WX_OPTION_AUTO_SPLIT)};

// Where the caret of a text stands at its end.
std::pair<int, int> endOf(const std::string& t) {
    std::size_t last = t.rfind("\r\n");
    int lines = 0;
    for (std::size_t p = t.find("\r\n"); p != std::string::npos; p = t.find("\r\n", p + 2))
        ++lines;
    return {static_cast<int>(t.size() - (last == std::string::npos ? 0 : last + 2)), lines};
}

} // namespace

// Through each kind of window, with the shipped options and with automatic hyphenation off: the paragraph
// without typos comes out byte for byte, the one with typos with only the intended corrections, and the
// check reaches the last line.
class Paragraphs : public Check {
protected:
    void open(Kind k, const std::string& text) {
        kind = k;
        std::uintptr_t adapter = WX_EDIT_ADAPTER;
        if (k == Kind::Edit) {
            edit = CreateWindowEx(0, kEditClass, text.c_str(), ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
        } else if (k == Kind::Rich) {
            edit = CreateWindowEx(0, kRichTextClass, text.c_str(), 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
            adapter = WX_RICHTEXT_ADAPTER;
        } else {
            wortex::test::host().set(text);
            wortex::test::host().tellsBreaks = k == Kind::Host;
            edit = wortex::test::HostWindow();
            adapter = reinterpret_cast<std::uintptr_t>(&wortex::test::HostAdapter);
        }
        AttachRecord r{edit, 0, adapter};
        ASSERT_EQ(send(WX_MSG_ATTACH, WX_ATTACH, &r), 1);
    }
    void close() {
        DestroyWindow(edit);
        edit = 0;
    }
    bool hosted() const { return kind == Kind::Host || kind == Kind::HostNotTelling; }
    std::string text() { return hosted() ? wortex::test::host().text() : WindowText(edit); }
    std::pair<int, int> caretNow() {
        if (kind == Kind::Edit) return caret();
        if (hosted()) return {wortex::test::host().column, wortex::test::host().line};
        auto* p = reinterpret_cast<std::int32_t*>(SendMessage(edit, RT_GETCARET, 0, 0));
        return {p[0], p[1]};
    }
    LRESULT checkWhole() {
        WX_CheckRange r{edit, 0, 0, 0, 0x7FFFFFFF};
        return send(WX_MSG_CHECK_TEXT, 1, &r);
    }
    Kind kind = Kind::Edit;
};

TEST_F(Paragraphs, HardWrappedComeOutWithOnlyTheIntendedCorrections) {
    if (!wngerman()) GTEST_SKIP() << "no wngerman dictionary";
    answerSuggestions({});
    for (std::uint32_t o : kOptionSets) {
        options(o);
        for (Kind k : kKinds) {
            std::string where = std::string(nameOf(k)) + ", options " + std::to_string(o);
            asked.clear();
            open(k, kHardWrapped);
            EXPECT_EQ(checkWhole(), 1);
            EXPECT_EQ(text(), kHardWrapped) << where;
            EXPECT_EQ(asked, std::vector<std::string>{}) << where;
            EXPECT_EQ(caretNow(), endOf(kHardWrapped)) << where << ": the check reached the last line";
            close();

            std::map<std::string, std::string> replacements;
            for (const auto& [typo, right] : kTypos)
                replacements[typo] = right;
            answerSuggestions(replacements);
            int corrections = 0;
            ui.dialogScripts[1000] = [&](DialogModel& d) {
                corrections = std::stoi(d.text(1024));
                d.click(102);
            };
            asked.clear();
            open(k, withTypos());
            EXPECT_EQ(checkWhole(), 1);
            EXPECT_EQ(text(), kHardWrapped) << where;
            EXPECT_EQ(asked,
                      (std::vector<std::string>{"volst\xe4ndig", "Genemigung", "Rechnnung",
                                                "Genemigungsplanung", "Verzeichniss", "Gew\xe4hrleistunng"}))
                << where;
            EXPECT_EQ(corrections, 2) << where;
            EXPECT_EQ(caretNow(), endOf(kHardWrapped)) << where << ": the check reached the last line";
            close();
        }
    }
}

// Typing with the immediate check on, across Return, through the EDIT stand-in and a host adapter.
TEST_F(Paragraphs, TypingAcrossReturn) {
    if (!wngerman()) GTEST_SKIP() << "no wngerman dictionary";
    struct Case {
        const char* keys;
        const char* after;
    } cases[] = {
        {"Das Haus\rNeue Zeile ", "Das Haus\r\nNeue Zeile "},
        {"Der Befehl\rgibt den Plan\rGenehmigung der Stadt ",
         "Der Befehl\r\ngibt den Plan\r\nGenehmigung der Stadt "},
        {"Das ist gut\rHier einige Zitate\r", "Das ist gut\r\nHier einige Zitate\r\n"},
        {"Die zeichnungen\rliegen vor. ", "Die Zeichnungen\r\nliegen vor. "},
    };
    for (std::uint32_t o : kOptionSets) {
        options(o);
        for (Kind k : {Kind::Edit, Kind::Host}) {
            for (const Case& c : cases) {
                open(k, "");
                for (const char* p = c.keys; *p; ++p) {
                    if (*p == '\r') SendMessage(edit, WM_KEYDOWN, VK_RETURN, 0);
                    SendMessage(edit, WM_CHAR, static_cast<unsigned char>(*p), 0);
                }
                EXPECT_EQ(text(), c.after) << nameOf(k) << ", options " << o;
                EXPECT_EQ(caretNow(), endOf(c.after)) << nameOf(k) << ", options " << o;
                close();
            }
        }
    }
}

namespace {

const std::vector<std::string>& realTexts() {
    static const std::vector<std::string> texts =
        wortex::test::RealTextParagraphs(VELU_SOURCE_DIR "/tests/spell/data/realtext.txt");
    return texts;
}

// Every automatic correction offered is refused (ConfirmCorr on, the dialog closed) or made silently.
const std::uint32_t kRefusing = kDefaults | static_cast<std::uint32_t>(WX_OPTION_CONFIRM_CORR);
const std::uint32_t kRealOptionSets[] = {kDefaults, kRefusing,
                                         kDefaults & ~static_cast<std::uint32_t>(WX_OPTION_AUTO_SPLIT)};
const Kind kAllKinds[] = {Kind::Edit, Kind::Rich, Kind::Host, Kind::HostNotTelling};

} // namespace

// Real paragraphs through every kind of window and adapter: every report is ignored, and under the shipped
// options as with every automatic correction refused, the text comes back byte for byte, the check returns
// 1 and reaches the last line.
class RealText : public Paragraphs {
protected:
    void SetUp() override {
        Paragraphs::SetUp();
        ui.dialogScripts[1000] = [this](DialogModel& d) {
            if (!d.visible(1022)) offered.push_back(d.text(1001) + " -> " + d.text(1002));
            d.click(102);
        };
    }
    // Checks text in a window of the kind; the text as the check left it.
    std::string checked(Kind k, const std::string& before, LRESULT& result) {
        open(k, before);
        result = checkWhole();
        std::string after = text();
        last = caretNow();
        close();
        return after;
    }
    void typeKeys(const std::string& keys) {
        for (char ch : keys) {
            if (ch == '\n') continue;
            if (ch == '\r') SendMessage(edit, WM_KEYDOWN, VK_RETURN, 0);
            SendMessage(edit, WM_CHAR, static_cast<unsigned char>(ch), 0);
        }
    }
    // An EDIT window that wraps its lines at wrap, attached with the text.
    void openWrapped(const std::string& before, int wrap) {
        edit = CreateWindowEx(0, kEditClass, before.c_str(), ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
        SetEditWrapWidth(edit, wrap);
        AttachRecord r{edit, 0, WX_EDIT_ADAPTER};
        ASSERT_EQ(send(WX_MSG_ATTACH, WX_ATTACH, &r), 1);
        kind = Kind::Edit;
    }
    // The window holds expected; with automatic hyphenation on, hyphens added at the ends of lines it
    // wrapped aside: no letter, no case and no hyphen of expected changes.
    void expectWrapped(std::uint32_t o, const std::string& expected, const std::string& where) {
        const std::string now = text();
        std::string kept;
        for (std::size_t i = 0; i < now.size(); ++i) {
            const auto at = static_cast<WPARAM>(i);
            const bool added = (o & WX_OPTION_AUTO_SPLIT) && now[i] == '-' && i + 1 < now.size() &&
                               now[i + 1] != '\r' && kept.size() < expected.size() &&
                               expected[kept.size()] != '-' &&
                               SendMessage(edit, EM_LINEFROMCHAR, at + 1, 0) > SendMessage(edit, EM_LINEFROMCHAR, at, 0);
            if (!added) kept += now[i];
        }
        EXPECT_EQ(kept, expected) << where << "\nin the window:\n" << now;
    }
    std::vector<std::string> offered;
    std::pair<int, int> last;
};

TEST_F(RealText, ParagraphsComeBackByteForByte) {
    if (!wngerman()) GTEST_SKIP() << "no wngerman dictionary";
    ASSERT_GE(realTexts().size(), 8u);
    answerSuggestions({});
    for (std::uint32_t o : kRealOptionSets) {
        options(o);
        for (Kind k : kAllKinds) {
            for (const std::string& paragraph : realTexts()) {
                std::string where =
                    std::string(nameOf(k)) + ", options " + std::to_string(o) + ":\n" + paragraph;
                LRESULT result = 0;
                offered.clear();
                EXPECT_EQ(checked(k, paragraph, result), paragraph) << where;
                EXPECT_EQ(result, 1) << where;
                EXPECT_EQ(last, endOf(paragraph)) << where << "\nthe check reached the last line";
                EXPECT_EQ(offered, std::vector<std::string>{}) << where;
            }
        }
    }
    EXPECT_TRUE(ui.beeps.empty());
    EXPECT_TRUE(ui.shown.empty());
}

// The smallest cases of lost text, with a typo after them that must still be asked about and corrected.
TEST_F(RealText, TheCheckGoesOnPastLineStartsToTheTypo) {
    if (!wngerman()) GTEST_SKIP() << "no wngerman dictionary";
    struct Case {
        const char* before;
        const char* after;
        const char* asked; // the last word asked about
    } cases[] = {
        {"Die Datei hei\xdft\r\nDATEI und ist ein Block.\r\nDas ist eine Rechnnung.",
         "Die Datei hei\xdft\r\nDATEI und ist ein Block.\r\nDas ist eine Rechnung.", "Rechnnung"},
        {"Das ist nicht schlimm, und so\r\ngeht's weiter mit der Arbeit.\r\nDas ist eine Rechnnung.",
         "Das ist nicht schlimm, und so\r\ngeht's weiter mit der Arbeit.\r\nDas ist eine Rechnung.",
         "Rechnnung"},
        {"BESCHREIBUNG\r\n       Das ist eine Rechnnung.", "BESCHREIBUNG\r\n       Das ist eine Rechnung.",
         "Rechnnung"},
        {"Die Taste EINF\xdcGEN- oder\r\nNVIDIA GPU mit der Rech-\r\nnnung.",
         "Die Taste EINF\xdcGEN- oder\r\nNVIDIA GPU mit der Rech-\r\nnung.", "Rech~nnung"},
    };
    for (std::uint32_t o : kRealOptionSets) {
        options(o);
        for (Kind k : kAllKinds) {
            for (const Case& c : cases) {
                answerSuggestions(
                    {{"Rechnnung", "Rechnung"}, {"Rech~nnung", "Rechnung"}, {"Rech-nnung", "Rechnung"}});
                asked.clear();
                LRESULT result = 0;
                std::string where =
                    std::string(nameOf(k)) + ", options " + std::to_string(o) + ": " + c.before;
                EXPECT_EQ(checked(k, c.before, result), c.after) << where;
                EXPECT_EQ(result, 1) << where;
                EXPECT_EQ(asked.empty() ? "" : asked.back(), c.asked) << where;
                EXPECT_EQ(last, endOf(c.after)) << where;
            }
        }
    }
}

// The same paragraphs typed key by key with the immediate check on come out as typed.
TEST_F(RealText, TypedParagraphsComeOutAsTyped) {
    if (!wngerman()) GTEST_SKIP() << "no wngerman dictionary";
    for (std::uint32_t o : kRealOptionSets) {
        options(o);
        for (Kind k : {Kind::Edit, Kind::Host, Kind::HostNotTelling}) {
            for (const std::string& paragraph : realTexts()) {
                open(k, "");
                typeKeys(paragraph);
                std::string where =
                    std::string(nameOf(k)) + ", options " + std::to_string(o) + ":\n" + paragraph;
                EXPECT_EQ(text(), paragraph) << where;
                EXPECT_EQ(caretNow(), endOf(paragraph)) << where;
                close();
            }
        }
    }
    EXPECT_TRUE(ui.shown.empty());
}

// Typed with every automatic correction refused, English words at line starts and headings in capitals
// stay as typed.
TEST_F(RealText, TypedWithCorrectionsRefused) {
    if (!wngerman()) GTEST_SKIP() << "no wngerman dictionary";
    const char* cases[] = {
        "im englischen Original des Handbuchs\raccount's inactivity period. Ein Wert",
        "Das Konto wird gesperrt.\r\rSIEHE AUCH\r       passwd(1), shadow(5)",
        "Die Taste EINF\xdcGEN- oder\rENTFERNEN und NVIDIA GPU ",
    };
    options(kRefusing);
    for (Kind k : {Kind::Edit, Kind::Host, Kind::HostNotTelling}) {
        for (const char* keys : cases) {
            std::string typed = keys;
            for (std::size_t at = 0; (at = typed.find('\r', at)) != std::string::npos; at += 2)
                typed.insert(at + 1, "\n");
            open(k, "");
            typeKeys(keys);
            EXPECT_EQ(text(), typed) << nameOf(k);
            EXPECT_EQ(caretNow(), endOf(typed)) << nameOf(k);
            close();
        }
    }
    EXPECT_TRUE(ui.shown.empty());
}

// Wrapped by the window as well: the check may hyphenate at the wraps, but loses and adds no other
// character; without automatic hyphenation the text comes back byte for byte.
TEST_F(RealText, WrappedParagraphsLoseNothing) {
    if (!wngerman()) GTEST_SKIP() << "no wngerman dictionary";
    answerSuggestions({});
    for (std::uint32_t o : kRealOptionSets) {
        options(o);
        for (int wrap : {31, 44, 60}) {
            for (const std::string& paragraph : realTexts()) {
                openWrapped(paragraph, wrap);
                EXPECT_EQ(checkWhole(), 1);
                expectWrapped(o, paragraph,
                              "wrap " + std::to_string(wrap) + ", options " + std::to_string(o) + ":\n" +
                                  paragraph);
                close();
            }
        }
    }
    EXPECT_TRUE(ui.shown.empty());
}

// Typed into a window that wraps its lines: automatic hyphenation may put hyphens at the wraps, nothing else
// changes, and the caret stays at the end of what was typed.
TEST_F(RealText, TypedIntoAWrappingWindowLosesNothing) {
    if (!wngerman()) GTEST_SKIP() << "no wngerman dictionary";
    for (std::uint32_t o : kRealOptionSets) {
        options(o);
        for (int wrap : {31, 44}) {
            for (const std::string& paragraph : realTexts()) {
                openWrapped("", wrap);
                typeKeys(paragraph);
                std::string where =
                    "wrap " + std::to_string(wrap) + ", options " + std::to_string(o) + ":\n" + paragraph;
                expectWrapped(o, paragraph, where);
                DWORD from = 0, to = 0;
                SendMessage(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
                EXPECT_EQ(to, text().size()) << where;
                close();
            }
        }
    }
    EXPECT_TRUE(ui.shown.empty());
}

// Debian's German manual pages, read plainly from their sources.
TEST_F(RealText, InstalledManualPagesComeBackByteForByte) {
    REQUIRE_INSTALLED(wngerman(), "the wngerman dictionary");
    std::vector<std::filesystem::path> pages;
    std::error_code ec;
    for (const char* section : {"/usr/share/man/de/man1", "/usr/share/man/de/man8"})
        for (const auto& e : std::filesystem::directory_iterator(section, ec))
            if (e.path().extension() == ".gz") pages.push_back(e.path());
    REQUIRE_INSTALLED(!pages.empty(), "manpages-de");
    std::sort(pages.begin(), pages.end());
    if (pages.size() > 12) pages.resize(12);
    answerSuggestions({});
    for (std::uint32_t o : {kDefaults, kRefusing}) {
        options(o);
        for (Kind k : kAllKinds) {
            for (const auto& page : pages) {
                std::string text = wortex::test::PlainManualPage(page);
                if (text.empty()) continue;
                LRESULT result = 0;
                offered.clear();
                std::string where =
                    std::string(nameOf(k)) + ", options " + std::to_string(o) + ": " + page.string();
                // The pages hold English words that German writes as nouns ("user", "set"): the shipped
                // options give them their capital, but change no other character.
                auto folded = [o](std::string t) {
                    if (o == kDefaults)
                        for (char& ch : t)
                            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
                    return t;
                };
                EXPECT_EQ(folded(checked(k, text, result)), folded(text)) << where;
                EXPECT_EQ(result, 1) << where;
                EXPECT_EQ(last, endOf(text)) << where;
            }
        }
    }
}

// The library as cmake --install ships it: its sample WORTEX.INI in the host's folder, naming the German
// dictionary; every report is ignored, every correction offered is refused unless a test accepts it.
class Shipped : public RealText {
protected:
    void beforeInit() override {
        std::filesystem::copy_file(SHIPPED_WORTEX_INI, std::filesystem::path(dir) / "WORTEX.INI");
    }
    void accept(bool yes) {
        ui.dialogScripts[1000] = [this, yes](DialogModel& d) {
            if (!d.visible(1022)) offered.push_back(d.text(1001) + " -> " + d.text(1002));
            d.click(yes ? 1004 : 102);
        };
    }
    std::uint32_t shippedOptions() { return static_cast<std::uint32_t>(send(WX_MSG_OPTIONS, 0, 0)); }
};

// Corrections change only what is wrong. Under the shipped settings every correction is asked for, and
// refused the text stays as it was; with ConfirmCorr off the corrections left are made without asking,
// and none of them touches a word the dictionary accepts, a respelling to no word, a word after an
// abbreviation, an ordinal or "...", a word with inner capitals or digits, a shell line or a quoted command.
TEST_F(Shipped, CorrectionsChangeOnlyWhatIsWrong) {
    REQUIRE_INSTALLED(std::filesystem::exists(WNGERMAN_DICTIONARY), "the wngerman dictionary");
    ASSERT_EQ(send(WX_MSG_DICTIONARY_AT, 1, static_cast<const char*>(nullptr)) != 0, true);
    const std::uint32_t shipped = shippedOptions();
    ASSERT_TRUE(shipped & WX_OPTION_CONFIRM_CORR) << "the sample WORTEX.INI asks before correcting";
    answerSuggestions({});
    struct Case {
        const char* text;
        std::vector<std::string> offered; // under the shipped settings
        const char* withoutConfirm;       // with ConfirmCorr off: nullptr = unchanged
    } cases[] = {
        // Not corrected at all.
        {"Die Mobiltelefone sind verbreitet.", {}, nullptr},
        {"Die Nudeln 20 Min. kochen lassen.", {}, nullptr},
        {"Nach 8. mathematische Methode rechnen.", {}, nullptr},
        {"8. mathematische Methode", {}, nullptr},
        {"Er zog nach Monterey/Cal. nach dem Studium.", {}, nullptr},
        {"Siehe Abb. unten und Tel. sowie ca. zehn, Nr. drei, S. vier.", {}, nullptr},
        {"Und so weiter... dann kam er.", {}, nullptr},
        {"Sein Name war 'BitKoenig' damals.", {}, nullptr},
        {"Das Paket daemontools startet Dienste.", {}, nullptr},
        {"Wechseln Sie dorthin:\r\n$ cd gentoo\r\n# apt install paket", {}, nullptr},
        {"Dann mit \xbbgit clone\xab holen.", {}, nullptr},
        {"Die \xbbinfo\xab-Seiten sind ausf\xfchrlicher.", {}, nullptr},
        {"Die Datei mp3 und der Wert 3fach.", {}, nullptr},
        {"Dann mit \x84svn co\x93 holen.", {}, nullptr},
        // Still corrections, asked for under the shipped settings.
        {"Die Dateien liegen im Verzeichnis debian und werden gelesen.",
         {"debian -> Debian"},
         "Die Dateien liegen im Verzeichnis Debian und werden gelesen."},
        {"die Planung liegt vor. nach der Genehmigung",
         {"die -> Die", "nach -> Nach"},
         "Die Planung liegt vor. Nach der Genehmigung"},
        {"Er H\xd6rt zu.", {"H\xd6rt -> H\xf6rt"}, "Er H\xf6rt zu."},
        // wngerman holds "Vierteln" only as a noun: the capital is asked for, and refused it stays small.
        {"Zwiebeln sch\xe4len, putzen, vierteln. Dann braten.",
         {"vierteln -> Vierteln"},
         "Zwiebeln sch\xe4len, putzen, Vierteln. Dann braten."},
        {"Die zeichnungen liegen vor.", {"zeichnungen -> Zeichnungen"}, "Die Zeichnungen liegen vor."},
        {"Das Geb\xe4ude des Gebaeudes.", {"Gebaeudes -> Geb\xe4udes"}, "Das Geb\xe4ude des Geb\xe4udes."},
    };
    for (const Case& c : cases) {
        for (bool yes : {false, true}) {
            options(shipped);
            accept(yes);
            offered.clear();
            LRESULT result = 0;
            std::string after = checked(Kind::Host, c.text, result);
            EXPECT_EQ(offered, c.offered) << c.text;
            std::string expected = yes && c.withoutConfirm ? c.withoutConfirm : c.text;
            EXPECT_EQ(after, expected) << c.text << (yes ? ", accepted" : ", refused");
        }
        options(shipped & ~static_cast<std::uint32_t>(WX_OPTION_CONFIRM_CORR));
        offered.clear();
        LRESULT result = 0;
        EXPECT_EQ(checked(Kind::Host, c.text, result), c.withoutConfirm ? c.withoutConfirm : c.text)
            << c.text << ", ConfirmCorr off";
    }
}

// Typed with the shipped settings: a correction offered while typing is asked for and, refused, leaves
// what was typed.
TEST_F(Shipped, TypedNamesStayAsTyped) {
    REQUIRE_INSTALLED(std::filesystem::exists(WNGERMAN_DICTIONARY), "the wngerman dictionary");
    accept(false);
    for (const char* keys :
         {"Sven Rudolph kommt. ", "Die daemontools laufen. ", "mit \xbbgit clone\xab holen "}) {
        open(Kind::Host, "");
        typeKeys(keys);
        EXPECT_EQ(text(), keys);
        close();
    }
}

// An English paragraph and a shell session inside German text: unchanged unless a correction is accepted;
// the shell session also with ConfirmCorr off.
TEST_F(Shipped, EnglishAndShellInsideGermanTextStay) {
    REQUIRE_INSTALLED(std::filesystem::exists(WNGERMAN_DICTIONARY), "the wngerman dictionary");
    answerSuggestions({});
    const std::string english = "Im englischen Original steht dazu:\r\n"
                                "If not, a list of all packages is shown. The user can then choose one\r\n"
                                "of them and install it with the package manager.\r\n"
                                "Die deutsche \xdc"
                                "bersetzung folgt dem Original.";
    const std::string shell = "So holen Sie die Quellen:\r\n"
                              "$ cd gentoo\r\n"
                              "$ git clone https://example.org/repo.git\r\n"
                              "# apt install build-essential devscripts\r\n"
                              "$ make install DESTDIR=/tmp/ziel\r\n"
                              "Danach liegt das Paket im Verzeichnis.";
    const std::uint32_t shipped = shippedOptions();
    accept(false);
    for (const std::string& t : {english, shell}) {
        offered.clear();
        LRESULT result = 0;
        EXPECT_EQ(checked(Kind::Edit, t, result), t);
        EXPECT_EQ(last, endOf(t));
        const std::vector<std::string> englishOffered = {"not -> Not", "list -> List", "user -> User",
                                                         "it -> It", "manager -> Manager"};
        EXPECT_EQ(offered, t == english ? englishOffered : std::vector<std::string>{}) << t;
    }
    options(shipped & ~static_cast<std::uint32_t>(WX_OPTION_CONFIRM_CORR));
    LRESULT result = 0;
    EXPECT_EQ(checked(Kind::Edit, shell, result), shell);
}

// The sample settings send new words into a dictionary of the user's own beside them, made at the first
// start; the shared dictionary stays as it was, even where its file could be written.
TEST_F(Shipped, NewWordsGoIntoTheUsersOwnDictionary) {
    REQUIRE_INSTALLED(std::filesystem::exists(WNGERMAN_DICTIONARY), "the wngerman dictionary");
    auto bytes = [](const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string shared = bytes(WNGERMAN_DICTIONARY);
    char name[260] = {};
    const LRESULT own = send(WX_MSG_MAIN_DICTIONARY, 0, name);
    ASSERT_NE(own, 0);
    EXPECT_EQ(std::filesystem::path(name), std::filesystem::path(dir) / "EIGENE.WXD");
    EXPECT_EQ(send(WX_MSG_ADD_WORD, 0, "Wortexwort"), 1);
    char word[128] = "Wortexwort";
    EXPECT_EQ(send(WX_MSG_FIND_WORD, 0, word), own);
    EXPECT_EQ(send(WX_MSG_WORD_COUNT, static_cast<WPARAM>(own), static_cast<const char*>(nullptr)), 1);
    send(WX_MSG_EXIT, 0, 0);
    EXPECT_TRUE(bytes(WNGERMAN_DICTIONARY) == shared) << "the shared dictionary was written";
    api = reinterpret_cast<InitFn>(dlsym(lib, WX_INIT_NAME))();
    char again[128] = "Wortexwort";
    EXPECT_NE(send(WX_MSG_FIND_WORD, 0, again), 0) << "the own dictionary is opened at the next start";
}

// Two hosts start while a third checks: each opens the shared dictionary its WORTEX.INI names, reads
// beside the others and never sees a lock question. The checking process is caught in the middle of a
// look-up (its reader's lock on the dictionary held) when the two others open it.
TEST_F(Shipped, HostsOpenTheSharedDictionaryWhileAnotherChecks) {
    REQUIRE_INSTALLED(std::filesystem::exists(WNGERMAN_DICTIONARY), "the wngerman dictionary");
    auto init = reinterpret_cast<InitFn>(dlsym(lib, WX_INIT_NAME));
    std::vector<int> exits;
    ui.dialogScripts[1101] = [&](DialogModel& d) {
        asked.push_back(d.text(1114));
        if (exits.empty()) {
            HANDLE reader = CreateFile(WNGERMAN_DICTIONARY, GENERIC_READ, 3, OPEN_EXISTING);
            EXPECT_TRUE(LockFileEx(reader, LOCKFILE_FAIL_IMMEDIATELY, 0, 100000000));
            std::vector<pid_t> children;
            for (int k = 0; k < 2; ++k) {
                pid_t child = ::fork();
                if (child == 0) {
                    ui.shown.clear();
                    HWND own = init();
                    char name[260] = {};
                    LRESULT h = SendMessage(own, WX_MSG_DICTIONARY_AT, 1, reinterpret_cast<LPARAM>(name));
                    char word[128] = "Rechnung";
                    LRESULT known = SendMessage(own, WX_MSG_FIND_WORD, 0, reinterpret_cast<LPARAM>(word));
                    SendMessage(own, WX_MSG_EXIT, 0, 0);
                    ::_exit(!h ? 2 : !known ? 3 : !ui.shown.empty() ? 4 : 0);
                }
                children.push_back(child);
            }
            for (pid_t child : children) {
                int status = 0;
                exits.push_back(child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status)
                                    ? WEXITSTATUS(status)
                                    : -1);
            }
            UnlockFileEx(reader, 0, 100000000);
            CloseHandle(reader);
        }
        d.click(1112);
    };
    const std::string text = "Die Rechnnung liegt vor.";
    LRESULT result = 0;
    EXPECT_EQ(checked(Kind::Edit, text, result), text);
    EXPECT_EQ(asked, std::vector<std::string>{"Rechnnung"});
    EXPECT_EQ(exits, (std::vector<int>{0, 0})) << "2: no dictionary, 3: a look-up failed, 4: a box was shown";
    EXPECT_TRUE(ui.shown.empty());
}

// A host without dialogs goes on from the caret after each stop (1201 with wParam 0): behind a word with an
// apostrophe ending it reaches the next word, never reports one place twice, and comes to the end.
TEST_F(Check, ResumeGoesOnBehindAWordWithAnApostropheEnding) {
    REQUIRE_INSTALLED(wngerman(), "the wngerman dictionary");
    struct Case {
        const char* text;
        std::vector<std::string> stops;
    } cases[] = {
        {"Let's say you have just finished.", {"Let", "say", "you", "have", "finished"}},
        {"dann w\xe4r's ein Pfahl.", {"w\xe4r"}},
        {"Ja, that's it, sagte er.", {"that"}},
    };
    for (const Case& c : cases) {
        window(c.text, 0);
        asked.clear();
        // Closed unanswered, as a host without dialogs has it: the check stops at the word.
        ui.dialogScripts[1101] = [&](DialogModel& d) { asked.push_back(d.text(1114)); };
        std::vector<std::pair<int, int>> stops;
        checkAll();
        for (int k = 0; k < 12 && caret() != endOf(c.text); ++k) {
            stops.push_back(caret());
            CheckRange r{edit, 0, 0, 0, 0};
            EXPECT_EQ(send(WX_MSG_CHECK_TEXT, 0, &r), 1);
        }
        EXPECT_EQ(asked, c.stops) << c.text;
        EXPECT_EQ(caret(), endOf(c.text)) << c.text;
        EXPECT_TRUE(std::adjacent_find(stops.begin(), stops.end(), std::greater_equal<>()) == stops.end())
            << c.text << ": a place reported twice";
        DestroyWindow(edit);
        DestroyWindow(status);
        edit = status = 0;
    }
}

// The same behind an unknown word written directly before dots or any other punctuation of a German text
// and a word: every resume goes on behind it, and a bounded number of them reach the end.
TEST_F(Check, ResumeGoesOnBehindAWordBeforeAnyPunctuation) {
    REQUIRE_INSTALLED(wngerman(), "the wngerman dictionary");
    std::vector<std::string> texts = {"a..z", "foo..bar"};
    for (const char* p : {"..", "...", "....", "\x85", ".", ",", ";", ":", "!", "?", "-", "--", "\x96", "\x97",
                          "'", "\x92", "\x91", "\"", "\x84", "\x93", "\x82", "\x8b", "\x9b", "\xbb", "\xab",
                          "(", ")", "[", "]", "/", "&", "%", "*", "+", "=", "\xa7", ".-", "'...", ".\xab"}) {
        texts.push_back(std::string("Das Hauss") + p + "Garten");
        texts.push_back(std::string("Jaa") + p + "also");
    }
    ui.dialogScripts[1101] = [](DialogModel&) {};
    for (const std::string& text : texts) {
        window(text, 0);
        checkAll();
        std::vector<std::pair<int, int>> stops;
        for (int k = 0; k < 4 && caret() != endOf(text); ++k) {
            stops.push_back(caret());
            CheckRange r{edit, 0, 0, 0, 0};
            send(WX_MSG_CHECK_TEXT, 0, &r);
        }
        EXPECT_EQ(caret(), endOf(text)) << text;
        EXPECT_TRUE(std::adjacent_find(stops.begin(), stops.end(), std::greater_equal<>()) == stops.end())
            << text << ": a place reported twice";
        DestroyWindow(edit);
        DestroyWindow(status);
        edit = status = 0;
    }
}

// With the installed settings a word typed into a paragraph of a window that wraps its lines and deleted
// again, then a check with every question refused, leave the paragraph byte for byte: no hyphen stays
// inside a line. So too with automatic hyphenation switched on in the settings, which then asks.
TEST_F(Shipped, TypingAndDeletingInAWrappingWindowChangesNothing) {
    REQUIRE_INSTALLED(std::filesystem::exists(WNGERMAN_DICTIONARY), "the wngerman dictionary");
    answerSuggestions({});
    const std::string typed = "Rechnnung und ";
    const std::uint32_t shipped = shippedOptions();
    for (std::uint32_t o : {shipped, shipped | static_cast<std::uint32_t>(WX_OPTION_AUTO_SPLIT)}) {
        options(o);
        for (const std::string& paragraph : realTexts()) {
            openWrapped(paragraph, 60);
            const std::size_t at = paragraph.find(' ', paragraph.size() / 3) + 1;
            SendMessage(edit, EM_SETSEL, at, at);
            typeKeys(typed);
            for (std::size_t k = 0; k < typed.size(); ++k) {
                SendMessage(edit, WM_KEYDOWN, VK_BACK, 0);
                SendMessage(edit, WM_CHAR, 8, 0);
            }
            const std::string where = "options " + std::to_string(o) + ":\n" + paragraph;
            EXPECT_EQ(text(), paragraph) << where;
            EXPECT_EQ(checkWhole(), 1) << where;
            EXPECT_EQ(text(), paragraph) << where;
            close();
        }
    }
}

// Automatic hyphenation switched on without asking, every other correction refused: a word is broken only
// at a line end, between its letters as written; names with capitals inside keep their case and letters,
// a hyphen of the author at a wrap stays.
TEST_F(Shipped, HyphenationAddsOnlyHyphensAtLineEnds) {
    REQUIRE_INSTALLED(std::filesystem::exists(WNGERMAN_DICTIONARY), "the wngerman dictionary");
    answerSuggestions({});
    const std::uint32_t o = (shippedOptions() | static_cast<std::uint32_t>(WX_OPTION_AUTO_SPLIT)) &
                            ~static_cast<std::uint32_t>(WX_OPTION_CONFIRM_SPLIT);
    options(o);
    const std::string names = "Mit PostScript, JavaScript und McDonald ist die sprach-unabh\xe4ngigen "
                              "Hardware-spezifische Dokumentation der Funktionen fertig.";
    for (int wrap = 8; wrap <= 40; ++wrap) {
        openWrapped(names, wrap);
        EXPECT_EQ(checkWhole(), 1);
        expectWrapped(o, names, "wrap " + std::to_string(wrap));
        close();
    }
    for (const std::string& paragraph : realTexts()) {
        for (int wrap : {23, 37, 60}) {
            openWrapped(paragraph, wrap);
            EXPECT_EQ(checkWhole(), 1);
            expectWrapped(o, paragraph, "wrap " + std::to_string(wrap) + ":\n" + paragraph);
            close();
        }
    }
}

namespace {

// Debian's German manual pages (every section) and reference, in the order of their files.
struct CorpusPiece {
    std::filesystem::path file;
    std::size_t piece; // of the reference, cut at blank lines
};

std::vector<CorpusPiece> corpus() {
    std::vector<CorpusPiece> pieces;
    std::error_code ec;
    for (const auto& section : std::filesystem::directory_iterator("/usr/share/man/de", ec))
        for (const auto& e : std::filesystem::directory_iterator(section.path(), ec))
            if (e.path().extension() == ".gz") pieces.push_back({e.path(), 0});
    std::sort(pieces.begin(), pieces.end(), [](const auto& a, const auto& b) { return a.file < b.file; });
    return pieces;
}

const char kReference[] = "/usr/share/debian-reference/debian-reference.de.txt.gz";
constexpr int kCorpusShards = 8;
constexpr std::size_t kReferenceLines = 80;

} // namespace

// The whole of Debian's German manual pages and of its German reference through a host adapter with the
// shipped settings: byte for byte as they were, the check returning 1 at their ends. In shards that ctest
// runs side by side.
class WholeCorpus : public Shipped, public ::testing::WithParamInterface<int> {};

TEST_P(WholeCorpus, ComesBackByteForByte) {
    REQUIRE_INSTALLED(std::filesystem::exists(WNGERMAN_DICTIONARY), "the wngerman dictionary");
    const std::vector<CorpusPiece> pages = corpus();
    REQUIRE_INSTALLED(pages.size() > 1000, "manpages-de");
    REQUIRE_INSTALLED(std::filesystem::exists(kReference), "debian-reference-de");
    std::vector<std::pair<std::string, std::string>> texts;
    const int shard = GetParam();
    for (std::size_t k = static_cast<std::size_t>(shard); k < pages.size(); k += kCorpusShards)
        texts.emplace_back(pages[k].file.string(), wortex::test::PlainManualPage(pages[k].file));
    const auto reference = wortex::test::PlainTextPieces(kReference, kReferenceLines);
    ASSERT_GT(reference.size(), 100u);
    for (std::size_t k = static_cast<std::size_t>(shard); k < reference.size(); k += kCorpusShards)
        texts.emplace_back(std::string(kReference) + ", piece " + std::to_string(k), reference[k]);
    answerSuggestions({});
    accept(false);
    std::size_t checkedPages = 0;
    for (const auto& [name, text] : texts) {
        if (text.empty()) continue;
        LRESULT result = 0;
        EXPECT_EQ(checked(Kind::Host, text, result), text) << name;
        EXPECT_EQ(result, 1) << name;
        EXPECT_EQ(last, endOf(text)) << name;
        ++checkedPages;
    }
    EXPECT_GT(checkedPages, texts.size() * 9 / 10);
}

INSTANTIATE_TEST_SUITE_P(Shards, WholeCorpus, ::testing::Range(0, kCorpusShards));

// The list of the corrections a check made (dialog 1000 at its end, ConfirmCorr off) holds only corrections
// that changed the text: none that spells the word as it stood ("trans+form -> transform").
TEST_F(RealText, HistoryListsOnlyWhatChanged) {
    REQUIRE_INSTALLED(wngerman(), "the wngerman dictionary");
    const std::vector<CorpusPiece> pages = corpus();
    REQUIRE_INSTALLED(pages.size() > 1000, "manpages-de");
    answerSuggestions({});
    std::vector<std::pair<std::string, std::string>> listed;
    ui.dialogScripts[1000] = [&](DialogModel& d) {
        if (d.visible(1022)) {
            int count = std::stoi(d.text(1024));
            for (int k = 0; k < count; ++k) {
                listed.emplace_back(d.text(1001), d.text(1002));
                if (k + 1 < count) d.click(1012);
            }
        }
        d.click(102);
    };
    options(kDefaults);
    for (std::size_t k = 0; k < pages.size(); k += 8) {
        LRESULT result = 0;
        checked(Kind::Host, wortex::test::PlainManualPage(pages[k].file), result);
    }
    std::vector<std::string> unchanged;
    for (auto [shown, correction] : listed) {
        std::string plain = shown;
        std::erase_if(plain, [](char c) { return c == '+' || c == '\\'; });
        if (plain == correction) unchanged.push_back(shown + " -> " + correction);
    }
    EXPECT_GT(listed.size(), 50u);
    EXPECT_EQ(unchanged, std::vector<std::string>{});
}

// 1036 gives a host the suggestions in the case of the word it asked about, as the dialog offers them.
TEST_F(Check, SuggestionsComeInTheCaseOfTheWordAskedAbout) {
    REQUIRE_INSTALLED(wngerman(), "the wngerman dictionary");
    auto list = [&](const char* word) {
        std::vector<std::string> out;
        auto block = static_cast<HGLOBAL>(send(WX_MSG_SUGGESTIONS, 0, word));
        const char* p = static_cast<const char*>(GlobalLock(block));
        for (std::size_t k = 0; p && k < GlobalSize(block) / 64 && p[64 * k]; ++k)
            out.emplace_back(p + 64 * k);
        GlobalUnlock(block);
        GlobalFree(block);
        return out;
    };
    auto cased = [](std::vector<std::string> words, bool all) {
        for (auto& w : words)
            for (std::size_t k = 0; k < (all ? w.size() : 1); ++k)
                w[k] = static_cast<char>(std::toupper(static_cast<unsigned char>(w[k])));
        return words;
    };
    const auto small = list("greznen");
    ASSERT_FALSE(small.empty());
    EXPECT_NE(std::find(small.begin(), small.end(), "grenzen"), small.end());
    EXPECT_EQ(list("Greznen"), cased(small, false));
    EXPECT_EQ(list("GREZNEN"), cased(small, true));
}

TEST_F(Check, ParagraphThroughTheLoop) {
    if (!wngerman()) GTEST_SKIP() << "no wngerman dictionary";
    std::string text = kParagraph;
    window(text, 100);
    answerSuggestions({{"volst\xe4ndig", "vollst\xe4ndig"},
                       {"Beschreibnug", "Beschreibung"},
                       {"Genemigung", "Genehmigung"},
                       {"Rechnnung", "Rechnung"}});
    std::vector<std::vector<std::string>> history;
    std::size_t filesDuring = 0;
    ui.dialogScripts[1000] = [&](DialogModel& d) {
        filesDuring = tempFiles().size();
        std::vector<std::string> seen;
        int count = std::stoi(d.text(1024));
        for (int k = 0; k < count; ++k) {
            seen.push_back(d.text(1001) + " -> " + d.text(1002));
            if (k + 1 < count) d.click(1012);
        }
        history.push_back(seen);
        d.click(102);
    };
    auto before = tempFiles();
    EXPECT_EQ(checkAll(), 1);
    EXPECT_EQ(asked, (std::vector<std::string>{"volst\xe4ndig", "Beschreibnug", "Genemigung", "Rechnnung"}));
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0], (std::vector<std::string>{"nach -> Nach", "Gebaeudes -> Geb\xe4udes",
                                                    "zeichnungen -> Zeichnungen"}));
    EXPECT_EQ(WindowText(edit), fixed(text));
    EXPECT_EQ(filesDuring, before.size() + 1) << "the history is kept in a temporary file";
    EXPECT_EQ(tempFiles(), before) << "the history file is gone";

    // Each replacement is among the suggestions for its word.
    const std::pair<const char*, const char*> offered[] = {{"volst\xe4ndig", "vollst\xe4ndig"},
                                                           {"Beschreibnug", "Beschreibung"},
                                                           {"Genemigung", "Genehmigung"},
                                                           {"Rechnnung", "Rechnung"}};
    for (const auto& [word, replacement] : offered) {
        auto block = static_cast<HGLOBAL>(send(1036, 0, word));
        ASSERT_NE(block, 0u) << word;
        const char* p = static_cast<const char*>(GlobalLock(block));
        bool found = false;
        for (std::size_t k = 0; k < GlobalSize(block) / 64; ++k)
            found = found || std::string(p + 64 * k) == replacement;
        GlobalUnlock(block);
        GlobalFree(block);
        EXPECT_TRUE(found) << word;
    }
}

TEST_F(Check, StopKeepsTheCaretAfterTheWordAndRemovesTheHistory) {
    dictionary({"Die", "Zeichnungen", "und", "hier"});
    window("Die zeichnungen und Gartn hier \r\n", 0);
    answerSuggestions({});
    ui.dialogScripts[1101] = [](DialogModel& d) { d.click(1113); };
    int records = 0;
    ui.dialogScripts[1000] = [&](DialogModel& d) {
        records = std::stoi(d.text(1024));
        d.click(102);
    };
    auto before = tempFiles();
    EXPECT_EQ(checkAll(), 1);
    EXPECT_EQ(records, 1) << "the correction made before the stop";
    EXPECT_EQ(caret(), (std::pair<int, int>{25, 0}));
    EXPECT_EQ(tempFiles(), before);
    EXPECT_EQ(WindowText(edit), "Die Zeichnungen und Gartn hier \r\n");
}

// A word answered once is not asked about again in the same check, unless a later change of the
// dictionaries explains it: a word inserted from the dialog, or added by another process meanwhile.
TEST_F(Check, ChangesWhileADialogIsOpenCountForTheRestOfTheCheck) {
    std::string path = dir + "/woerter.wxd";
    dictionary({"und"});
    window("Kran und Kran und Bagger und Bagger und Plan und Plan \r\n", 0);
    auto init = reinterpret_cast<InitFn>(dlsym(lib, WX_INIT_NAME));
    int childStatus = -1;
    ui.dialogScripts[1101] = [&](DialogModel& d) {
        std::string word = d.text(1114);
        asked.push_back(word);
        if (word == "Kran") {
            d.type(1101, "Kran");
            d.click(1104); // into the dictionary
        } else if (word == "Bagger") {
            pid_t child = ::fork();
            if (child == 0) {
                HWND own = init();
                LRESULT h = SendMessage(own, 1135, 0, reinterpret_cast<LPARAM>(path.c_str()));
                LRESULT added =
                    SendMessage(own, 1137, static_cast<WPARAM>(h), reinterpret_cast<LPARAM>("Bagger"));
                SendMessage(own, 1164, 0, 0);
                ::_exit(h && added == 1 ? 0 : 1);
            }
            int status = 0;
            if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
                childStatus = WEXITSTATUS(status);
        }
        if (!d.ended()) d.click(1112);
    };
    EXPECT_EQ(checkAll(), 1);
    EXPECT_EQ(childStatus, 0) << "the other process added its word";
    EXPECT_EQ(asked, (std::vector<std::string>{"Kran", "Bagger", "Plan", "Plan"}));
}

TEST_F(Check, EmptyTextAndCancelQuestion) {
    dictionary({"eins", "zwei", "drei"});
    window("", 0);
    SendMessage(edit, EM_SETSEL, 0, 0);
    EXPECT_EQ(checkAll(), 1);
    EXPECT_EQ(caret(), (std::pair<int, int>{0, 0}));
    DestroyWindow(edit);
    DestroyWindow(status);

    window("eins zwei \r\ndrei eins \r\nzwei drei \r\n", 0);
    struct Case {
        int answer;
        std::pair<int, int> caretAfter;
    } cases[] = {{IDNO, {0, 3}}, {IDYES, {9, 0}}};
    for (const Case& c : cases) {
        ui.shown.clear();
        ui.answers = {c.answer};
        PostMessage(edit, WM_KEYDOWN, 'A', 0);
        EXPECT_EQ(checkAll(), 1);
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text, "Rechtschreibepr\xfc"
                                    "fung abbrechen?");
        EXPECT_EQ(ui.shown[0].caption, "Wortex");
        EXPECT_EQ(ui.shown[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
        EXPECT_EQ(ui.shown[0].owner, edit);
        EXPECT_EQ(caret(), c.caretAfter) << c.answer;
        MSG m;
        EXPECT_FALSE(PeekMessage(&m, edit, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) << "the key is dropped";
    }
    // A line that ends in a word with an apostrophe ending: the caret goes behind the whole word, not
    // behind the part the analysis looked up.
    DestroyWindow(edit);
    DestroyWindow(status);
    send(WX_MSG_ADD_WORD, 0, "geht");
    window("eins geht's \r\ndrei \r\n", 0);
    ui.answers = {IDYES};
    PostMessage(edit, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(checkAll(), 1);
    EXPECT_EQ(caret(), (std::pair<int, int>{11, 0}));
}

TEST_F(Check, ConfirmCorrAsksForEveryCorrectionWithoutHistory) {
    dictionary({"Die", "Zeichnungen", "liegen", "vor"});
    options(kDefaults | 0x100);
    window("Die zeichnungen liegen vor. die Zeichnungen \r\n", 0);
    int asks = 0;
    std::vector<std::string> files;
    ui.dialogScripts[1000] = [&](DialogModel& d) {
        ++asks;
        files = tempFiles();
        d.click(1004);
    };
    auto before = tempFiles();
    EXPECT_EQ(checkAll(), 1);
    EXPECT_EQ(asks, 2);
    EXPECT_EQ(files, before) << "no temporary file";
    EXPECT_EQ(WindowText(edit), "Die Zeichnungen liegen vor. Die Zeichnungen \r\n");
}

TEST_F(Check, HyphenationByTrialWrites) {
    dictionary({"Die", "neue", "Genehmigung", "ist", "da"});
    struct Case {
        int wrap;
        const char* after;
    } cases[] = {
        {15, "Die neue Geneh-migung ist da."},
        {12, "Die neue Ge-nehmigung ist da."},
        {11, "Die neue Genehmigung ist da."},
    };
    for (const Case& c : cases) {
        window("Die neue Genehmigung ist da.", c.wrap);
        EXPECT_EQ(checkAll(), 1);
        EXPECT_EQ(WindowText(edit), c.after) << c.wrap;
        DestroyWindow(edit);
        DestroyWindow(status);
        edit = status = 0;
    }
}

TEST_F(Check, TypingHyphenatesWithAutoSplit) {
    dictionary({"Die", "neue", "Genehmigung"});
    struct Case {
        std::uint32_t options;
        const char* after;
    } cases[] = {
        {kDefaults, "Die neue Geneh-migung "},
        {kDefaults & ~0x8u, "Die neue Genehmigung "},
    };
    for (const Case& c : cases) {
        options(c.options);
        window("", 15);
        type("Die neue Genehmigung ");
        EXPECT_EQ(WindowText(edit), c.after);
        EXPECT_EQ(caret(), (std::pair<int, int>{c.options & 0x8 ? 7 : 12, 1}));
        DestroyWindow(edit);
        DestroyWindow(status);
        edit = status = 0;
    }
}

TEST_F(Check, TypingReportsAndCorrects) {
    dictionary({"Der", "Bauherr", "zahlt", "die", "Rechnung", "Zeichnungen"});
    window("", 0);
    type("Der Bauherr zahlt die Rechnnung ");
    WordRecord marked{edit, 0, 0, 0, 0, {}};
    EXPECT_EQ(send(1199, 0, &marked), 1);
    EXPECT_STREQ(marked.word, "Rechnnung");
    EXPECT_EQ(WindowText(status), "Rechnnung -> Rechnung");
    EXPECT_EQ(ui.beeps.size(), 1u);
    // A word without any other spelling is shown alone, not as "Xqzvw -> Xqzvw".
    type("Xqzvw ");
    EXPECT_EQ(send(1199, 0, &marked), 1);
    EXPECT_STREQ(marked.word, "Xqzvw");
    EXPECT_EQ(WindowText(status), "Xqzvw");

    type("die zeichnungen ");
    EXPECT_EQ(WindowText(edit), "Der Bauherr zahlt die Rechnnung Xqzvw die Zeichnungen ");
    EXPECT_EQ(caret().first, 54);

    // Keys that check nothing.
    std::string text = WindowText(edit);
    std::size_t beeps = ui.beeps.size();
    type("zeichnungen");
    SendMessage(edit, WM_KEYDOWN, VK_BACK, 0);
    SendMessage(edit, WM_CHAR, 8, 0);
    SendMessage(edit, WM_KEYDOWN, VK_DELETE, 0);
    ui.keysDown[VK_MENU] = true;
    SendMessage(edit, WM_SYSKEYDOWN, 'X', 0);
    ui.keysDown[VK_MENU] = false;
    EXPECT_EQ(ui.beeps.size(), beeps);
    EXPECT_EQ(WindowText(edit), text + "zeichnunge") << "no correction";
}

TEST_F(Check, WordMessages) {
    LRESULT d = dictionary({"Haus", "Garten", "Maus"});
    window("Haus Gartn Maus", 0);
    SendMessage(edit, EM_SETSEL, 6, 6);
    struct Case {
        UINT message;
        WPARAM wParam;
        LRESULT result;
    } cases[] = {
        {1196, 0x10, 1},               // the word is taken
        {1196, 0x00, 0},               // not in a dictionary
        {1202, 0x00, 1}, {1197, 4, 0}, // nothing pending
        {1203, 0, 0},                  // no mark
    };
    for (const Case& c : cases)
        EXPECT_EQ(send(c.message, c.wParam, static_cast<LPARAM>(edit)), c.result) << c.message;
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Wort konnte nicht eingef\xfcgt werden.");
    EXPECT_EQ(ui.shown[0].caption, "Wortex");

    // 1202 with report: marked, correction pending.
    EXPECT_EQ(send(1202, 2, static_cast<LPARAM>(edit)), 1);
    WordRecord w{edit, 0, 0, 0, 0, {}};
    EXPECT_EQ(send(1199, 0, &w), 1);
    EXPECT_EQ(std::string(w.word), "Gartn");
    EXPECT_EQ((std::vector<int>{w.startColumn, w.startLine, w.endColumn, w.endLine}),
              (std::vector<int>{5, 0, 10, 0}));
    EXPECT_EQ(send(1197, 4, static_cast<LPARAM>(edit)), 1);
    EXPECT_EQ(WindowText(edit), "Haus Gartn Maus") << "4 only tests";
    EXPECT_EQ(send(1197, 0, static_cast<LPARAM>(edit)), 1);
    EXPECT_EQ(WindowText(edit), "Haus Garten Maus");
    EXPECT_EQ(send(1199, 0, &w), 0) << "the mark went with the correction";

    // 1203 inserts the marked word.
    SetWindowText(edit, "Haus Hof");
    SendMessage(edit, EM_SETSEL, 6, 6);
    EXPECT_EQ(send(1202, 2, static_cast<LPARAM>(edit)), 1);
    EXPECT_EQ(send(1203, 0, static_cast<LPARAM>(edit)), 1);
    char word[128] = "Hof";
    EXPECT_EQ(send(1140, 0, word), d);

    // A mark whose text changed is no longer valid.
    SetWindowText(edit, "Haus Gartn");
    SendMessage(edit, EM_SETSEL, 6, 6);
    EXPECT_EQ(send(1202, 2, static_cast<LPARAM>(edit)), 1);
    SetWindowText(edit, "Haus Gurke");
    EXPECT_EQ(send(1199, 0, &w), 0);
    EXPECT_EQ(send(1199, 0, &w), 0) << "cleared";

    // 1200: the word at the caret.
    SendMessage(edit, EM_SETSEL, 1, 1);
    EXPECT_EQ(send(1200, 0, &w), 1);
    EXPECT_STREQ(w.word, "Haus");

    // 1196 with the dialog: replace.
    ui.dialogScripts[1101] = [](DialogModel& m) {
        m.type(1101, "Garten");
        m.click(1111);
    };
    SetWindowText(edit, "Haus Gartn");
    SendMessage(edit, EM_SETSEL, 6, 6);
    EXPECT_EQ(send(1196, 0x12, static_cast<LPARAM>(edit)), 1);
    EXPECT_EQ(WindowText(edit), "Haus Garten");
    EXPECT_EQ(caret(), (std::pair<int, int>{11, 0}));
}

TEST_F(Check, AttachmentStateBitsAndCache) {
    window("Haus Gartn", 0);
    StateRecord r{};
    r.current.editWindow = edit;
    SendMessage(edit, EM_SETSEL, 1, 1);
    EXPECT_EQ(send(1204, 0, &r), 1);
    EXPECT_EQ(r.bits, 0x4u | 0x2u) << "no dictionary";
    EXPECT_EQ(r.options, kDefaults);
    LRESULT d = dictionary({"Haus"});
    send(1146, static_cast<WPARAM>(d), 0);
    struct Case {
        int caret;
        std::uint32_t bits;
    } cases[] = {
        {1, 0x1 | 0x2 | 0x4 | 0x8 | 0x20 | 0x100 | 0x1000 | 0xE000},
        {6, 0x1 | 0x2 | 0x4 | 0x8 | 0x20 | 0x100 | 0x1000},
    };
    for (const Case& c : cases) {
        SendMessage(edit, EM_SETSEL, static_cast<WPARAM>(c.caret), c.caret);
        send(1126, 0, 0); // a request between: no cached answer
        r = {};
        r.current.editWindow = edit;
        EXPECT_EQ(send(1204, 0, &r), 1);
        EXPECT_EQ(r.bits, c.bits) << c.caret;
        EXPECT_EQ(std::string(r.atCaret.word), c.caret == 1 ? "Haus" : "Gartn");
    }
    // Nothing between: the cache answers even though the text changed behind the library's back.
    SendMessage(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Maus"));
    StateRecord again{};
    again.current.editWindow = edit;
    EXPECT_EQ(send(1204, 0, &again), 1);
    EXPECT_STREQ(again.atCaret.word, "Gartn");
    // Another request in between: worked out afresh.
    send(1126, 0, 0);
    again = {};
    again.current.editWindow = edit;
    SendMessage(edit, EM_SETSEL, 1, 1);
    EXPECT_EQ(send(1204, 0, &again), 1);
    EXPECT_STREQ(again.atCaret.word, "Maus");
}

// A host that updates its menus while a library dialog is open: the state it is told while the dialog
// closes the only dictionary, and after the dialog, is that of no dictionary.
TEST_F(Check, AttachmentStateAfterADialogClosedTheLastDictionary) {
    LRESULT d = dictionary({"Haus"});
    send(WX_MSG_SET_MAIN_DICTIONARY, static_cast<WPARAM>(d), 0);
    window("Haus Gartn", 0);
    SendMessage(edit, EM_SETSEL, 1, 1);
    auto state = [&] {
        StateRecord r{};
        r.current.editWindow = edit;
        EXPECT_EQ(send(WX_MSG_STATE, 0, &r), 1);
        return r.bits;
    };
    const std::uint32_t known =
        WX_STATE_DICTIONARY_OPEN | WX_STATE_MAIN_DICTIONARY | WX_STATE_CARET_WORD_KNOWN;
    std::vector<std::uint32_t> during;
    ui.dialogScripts[30000] = [&](DialogModel& m) {
        during.push_back(state());
        during.push_back(state());
        m.select(30001, 0);
        m.click(30004);
        during.push_back(state());
    };
    send(WX_MSG_SETTINGS_DIALOG, 0, 0);
    ASSERT_EQ(during.size(), 3u);
    EXPECT_EQ(during[0] & known, known);
    EXPECT_EQ(during[1] & known, known);
    EXPECT_EQ(during[2] & known, 0u) << "closed in the dialog";
    EXPECT_EQ(state() & known, 0u) << "after the dialog";
    EXPECT_EQ(send(WX_MSG_DICTIONARY_AT, 1, 0), 0);
    EXPECT_EQ(state() & known, 0u);
}

// Help goes to the library's own German pages beside it: the contents for 1128, the settings page for the
// settings dialog's "Hilfe".
TEST_F(Check, HelpOpensTheLibrarysOwnPages) {
    const std::string index =
        (std::filesystem::path(WORTEX32_PATH).parent_path() / "wortex-help" / "index.html").string();
    ASSERT_TRUE(std::filesystem::exists(index));
    EXPECT_EQ(send(WX_MSG_HELP, 0, 0), 0);
    ui.dialogScripts[30000] = [](DialogModel& d) { d.click(30052); };
    send(WX_MSG_SETTINGS_DIALOG, 0, 0);
    ASSERT_EQ(ui.helpCalls.size(), 2u);
    const std::pair<std::uintptr_t, const char*> asked[] = {{12, "index.html"}, {3, "thema-3.html"}};
    for (std::size_t k = 0; k < 2; ++k) {
        EXPECT_EQ(ui.helpCalls[k].file, index);
        EXPECT_EQ(ui.helpCalls[k].command, static_cast<UINT>(HELP_CONTEXT));
        EXPECT_EQ(ui.helpCalls[k].data, asked[k].first);
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(index).parent_path() / asked[k].second));
    }
}

TEST_F(Check, ExitFromADialogWaitsForTheCheck) {
    dictionary({"Haus"});
    window("Haus Gartn Haus", 0);
    bool windowDuringCheck = false;
    ui.dialogScripts[1101] = [&](DialogModel& d) {
        EXPECT_EQ(SendMessage(api, 1164, 0, 0), 1);
        windowDuringCheck = IsWindow(api);
        d.click(1112);
    };
    EXPECT_EQ(checkAll(), 1);
    EXPECT_TRUE(windowDuringCheck);
    EXPECT_FALSE(IsWindow(api)) << "ended after the check returned";
}

namespace {

// A host adapter over lines in memory whose window refuses to delete text.
struct StubbornText {
    std::vector<std::string> lines;
    std::int32_t column = 0, line = 0;
};
StubbornText stubborn;

using LineRecord = WX_LineRecord;
using ReplaceRecord = WX_ReplaceRecord;

LRESULT StubbornAdapter(HWND, UINT command, WPARAM wParam, LPARAM lParam) {
    auto& t = stubborn;
    auto lineAt = [&](LPARAM l) -> std::string* {
        return l >= 0 && static_cast<std::size_t>(l) < t.lines.size() ? &t.lines[static_cast<std::size_t>(l)]
                                                                      : nullptr;
    };
    switch (command) {
    case 60001:
        *reinterpret_cast<std::int32_t*>(lParam) = t.line;
        return t.column;
    case 60002:
        t.column = static_cast<std::int32_t>(wParam);
        t.line = static_cast<std::int32_t>(lParam);
        return 1;
    case 60005:
        return lineAt(lParam) ? static_cast<LRESULT>(lineAt(lParam)->size()) : -1;
    case 60006: {
        auto* r = reinterpret_cast<LineRecord*>(lParam);
        std::string* l = lineAt(r->line);
        if (!l) return 0;
        std::snprintf(r->text, r->size, "%s", l->c_str());
        return 1;
    }
    case 60007: {
        auto* r = reinterpret_cast<ReplaceRecord*>(lParam);
        std::string* l = lineAt(r->startLine);
        if (l && r->text[0] && r->startLine == r->endLine)
            l->replace(static_cast<std::size_t>(r->startColumn),
                       static_cast<std::size_t>(r->endColumn - r->startColumn), r->text);
        r->outColumn = r->startColumn + static_cast<std::int32_t>(std::strlen(r->text));
        r->outLine = r->startLine;
        return 1;
    }
    case WX_AD_LINE_BREAK:
        return lineAt(lParam + 1) ? WX_SOFT_BREAK : WX_HARD_BREAK;
    default:
        return command >= 60000 && command <= 60009 ? 1 : 0;
    }
}

} // namespace

// The window wraps its lines but refuses to delete text: the trial hyphen stays, and the check says so
// instead of going on as if it had finished.
TEST_F(Check, AWindowThatKeepsATrialHyphenFailsTheCheck) {
    dictionary({"Die", "neue", "Genehmigung", "ist", "da"});
    stubborn = {{"Die neue ", "Genehmigung ist Gartn."}, 0, 0};
    edit = CreateWindowEx(0, kEditClass, "", ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
    AttachRecord r{edit, 0, reinterpret_cast<std::uintptr_t>(&StubbornAdapter)};
    ASSERT_EQ(send(1194, 0, &r), 1);
    answerSuggestions({});
    CheckRange range{edit, 0, 0, 0, 0};
    EXPECT_EQ(send(1201, 0, &range), 0);
    EXPECT_TRUE(ui.beeps.empty());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Wort konnte nicht ersetzt werden.");
    EXPECT_EQ(ui.shown[0].caption, "Wortex");
    EXPECT_TRUE(asked.empty()) << "the check stopped at the word it could not put back";
    EXPECT_EQ(stubborn.lines[1], "Ge-nehmigung ist Gartn.");
}
