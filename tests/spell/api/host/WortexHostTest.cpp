// A host of the spell-checking library: everything goes through WX_Init and window messages.
#include "Wortex32.h"
#include "platform/win32/Dialog.h"
#include "platform/win32/EditControl.h"
#include "platform/win32/GlobalMemory.h"
#include "platform/win32/UiServices.h"
#include "platform/win32/Window.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace win32;

namespace {

using InitFn = WX_InitFn;
using AttachRecord = WX_AttachRecord;

std::string hexPid(DWORD pid) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", pid);
    return buffer;
}

class Host : public ::testing::Test {
protected:
    void SetUp() override {
        SetUiServices(&ui);
        std::string pattern = (std::filesystem::temp_directory_path() / "wxhostXXXXXX").string();
        dir = ::mkdtemp(pattern.data());
        // WX_Init reads and 1141 writes WORTEX.INI in the current directory.
        previous = std::filesystem::current_path();
        std::filesystem::current_path(dir);
        load();
    }
    void TearDown() override {
        while (IsWindow(api) && send(1164, 0, 0)) {
        }
        if (lib) dlclose(lib);
        SetUiServices(nullptr);
        std::error_code ec;
        std::filesystem::current_path(previous, ec);
        std::filesystem::remove_all(dir, ec);
    }
    void load() {
        lib = dlopen(WORTEX32_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(lib, nullptr) << dlerror();
        init = reinterpret_cast<InitFn>(dlsym(lib, "WX_Init"));
        ASSERT_NE(init, nullptr);
        api = init();
        ASSERT_TRUE(IsWindow(api));
    }
    LRESULT send(UINT message, WPARAM wParam, LPARAM lParam) {
        return SendMessage(api, message, wParam, lParam);
    }
    template <class T> LRESULT send(UINT message, WPARAM wParam, const T* buffer) {
        return SendMessage(api, message, wParam, reinterpret_cast<LPARAM>(buffer));
    }
    // A dictionary with the given words; returns its handle.
    LRESULT dictionary(const std::string& name, char language, const std::vector<std::string>& words) {
        std::string path = dir + "/" + name;
        EXPECT_NE(send(1134, static_cast<WPARAM>(language), path.c_str()), 0);
        LRESULT h = send(1135, 0, path.c_str());
        EXPECT_NE(h, 0);
        for (const auto& w : words)
            EXPECT_EQ(send(1137, static_cast<WPARAM>(h), w.c_str()), 1) << w;
        return h;
    }

    // A process of its own that starts the library afresh (reading WORTEX.INI), runs body and exits with
    // its result; the messages the start and body showed come back, one "text|caption" each.
    int freshProcess(const std::function<int(HWND)>& body, std::vector<std::string>* shown = nullptr) {
        const std::string messages = dir + "/meldungen.txt";
        pid_t child = ::fork();
        if (child == 0) {
            ui.shown.clear();
            HWND own = init();
            int result = own ? body(own) : 99;
            std::ofstream out(messages, std::ios::binary | std::ios::trunc);
            for (const auto& m : ui.shown)
                out << m.text << "|" << m.caption << '\0';
            out.close();
            SendMessage(own, 1164, 0, 0);
            ::_exit(result);
        }
        int status = 0;
        if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
        if (shown) {
            shown->clear();
            std::ifstream in(messages, std::ios::binary);
            for (std::string m; std::getline(in, m, '\0');)
                shown->push_back(m);
        }
        return WEXITSTATUS(status);
    }
    std::string iniValue(const std::string& key) {
        std::ifstream in(dir + "/WORTEX.INI");
        for (std::string line; std::getline(in, line);)
            if (line.rfind(key + "=", 0) == 0)
                return line.substr(key.size() + 1, line.find('\r') - key.size() - 1);
        return "(fehlt)";
    }

    ScriptedUi ui;
    std::string dir;
    std::filesystem::path previous;
    void* lib = nullptr;
    InitFn init = nullptr;
    HWND api = 0;
};

} // namespace

TEST_F(Host, OnlyWxInitIsExported) {
    std::string command = std::string(NM_PATH) + " -D --defined-only " + WORTEX32_PATH;
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> symbols;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string s = line;
        s.erase(s.find_last_not_of("\r\n") + 1);
        symbols.push_back(s.substr(s.rfind(' ') + 1));
    }
    pclose(pipe);
    EXPECT_EQ(symbols, std::vector<std::string>{"WX_Init"});
}

TEST_F(Host, InitExitLifeCycle) {
    std::string cls = hexPid(static_cast<DWORD>(::getpid()));
    EXPECT_EQ(WindowText(api), cls);
    EXPECT_EQ(init(), api) << "one window per process";
    EXPECT_EQ(send(1126, 0, 0), 0x3F07E);
    EXPECT_EQ(send(1164, 0, 0), 1);
    EXPECT_TRUE(IsWindow(api));
    EXPECT_EQ(send(1126, 0, 0), 0x3F07E) << "still works after the first exit";
    // Outside the table: what DefWindowProc answers (the title length for WM_GETTEXTLENGTH).
    EXPECT_EQ(send(WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(cls.size()));
    EXPECT_EQ(send(1198, 0, 0), 0);
    EXPECT_EQ(send(1300, 5, 7), 0);
    EXPECT_EQ(send(1128, 0, 0), 0);
    EXPECT_EQ(send(1164, 0, 0), 1);
    EXPECT_FALSE(IsWindow(api));
    EXPECT_FALSE(GetClassInfo(0, cls.c_str(), nullptr)) << "the class goes with the last exit";
    ASSERT_EQ(ui.helpCalls.size(), 2u);
    EXPECT_EQ(ui.helpCalls[0].command, HELP_CONTEXT);
    EXPECT_EQ(ui.helpCalls[0].data, 12u);
    // No WORTEX.HLP on the search path: the library's own help pages beside it.
    EXPECT_EQ(ui.helpCalls[0].file,
              (std::filesystem::path(WORTEX32_PATH).parent_path() / "wortex-help" / "index.html").string());
    EXPECT_EQ(ui.helpCalls[1].command, HELP_QUIT);

    ASSERT_EQ(dlclose(lib), 0);
    lib = nullptr;
    load();
    EXPECT_EQ(WindowText(api), cls);
    EXPECT_EQ(send(1126, 0, 0), 0x3F07E);
}

TEST_F(Host, AForkedChildHasItsOwnWindowAndState) {
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int fails = 0;
        // The parent's window in a process without state: DefWindowProc.
        if (SendMessage(api, 1126, 0, 0) != 0) fails |= 1;
        if (SendMessage(api, WM_GETTEXTLENGTH, 0, 0) != static_cast<LRESULT>(WindowText(api).size()))
            fails |= 2;
        HWND own = init();
        if (!own || own == api) fails |= 4;
        if (WindowText(own) != hexPid(static_cast<DWORD>(::getpid()))) fails |= 8;
        if (SendMessage(own, 1126, 0, 0) != 0x3F07E) fails |= 16;
        if (SendMessage(own, 1164, 0, 0) != 1 || IsWindow(own)) fails |= 32;
        ::_exit(fails);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(Host, TooManyExitsAnswerZero) {
    EXPECT_EQ(send(1164, 0, 0), 1);
    EXPECT_EQ(send(1164, 0, 0), 0);
}

TEST_F(Host, DictionaryMessages) {
    LRESULT d = dictionary("haupt.wxd", 'D', {"Winter", "Rechnung", "Haus", "Maus"});
    LRESULT e = dictionary("zwei.wxd", 'E', {"house"});
    struct Case {
        UINT message;
        WPARAM wParam;
        const char* word;
        const char* second; // at offset 64
        LRESULT result;
        const char* out; // at offset 64 (null: not checked)
    } cases[] = {
        {1140, static_cast<WPARAM>(d), "winter", "", d, "Winter"},
        {1140, static_cast<WPARAM>(d) | 0x2000, "Winter", "", d, "Win~ter"},
        {1140, static_cast<WPARAM>(d) | 0x4000, "winter", "", 0, nullptr}, // the stored spelling differs
        {1140, 0, "house", "", e, "house"},
        {1140, 0, "Hauss", "", 0, nullptr},
        {1037, 0, "Rechnnung", "", d, "Rechnung"},
        {1137, static_cast<WPARAM>(e) | 0x8000, "Haus", "", 0, nullptr}, // check-all: another has it
        {1139, static_cast<WPARAM>(d), "Maus", "Laus", 1, nullptr},
        {1140, 0, "Laus", "", d, "Laus"},
        {1138, static_cast<WPARAM>(d), "Laus", "", 1, nullptr},
        {1140, 0, "Laus", "", 0, nullptr},
        {1142, static_cast<WPARAM>(d), nullptr, nullptr, 'D', nullptr},
        {1142, static_cast<WPARAM>(e), nullptr, nullptr, 'E', nullptr},
        {1143, static_cast<WPARAM>(d), nullptr, nullptr, 3, nullptr},
        {1038, static_cast<WPARAM>(d), nullptr, nullptr, 1, nullptr},
        {1039, static_cast<WPARAM>(d), nullptr, nullptr, 1, nullptr}, // what was changed under it stands
        {1140, 0, nullptr, nullptr, 0, nullptr},                      // no record: 0
        {1037, 0, nullptr, nullptr, 0, nullptr},
        {1125, 0, nullptr, nullptr, 0, nullptr},
        {1127, 0, nullptr, nullptr, 1, nullptr},
        {1130, 0, nullptr, nullptr, 1, nullptr},
        {1141, 1, nullptr, nullptr, 0, nullptr},
    };
    for (const Case& c : cases) {
        char buffer[128] = {};
        if (c.word) std::strcpy(buffer, c.word);
        if (c.second) std::strcpy(buffer + 64, c.second);
        LRESULT r = send(c.message, c.wParam, c.word ? static_cast<const void*>(buffer) : nullptr);
        EXPECT_EQ(r, c.result) << c.message << " " << (c.word ? c.word : "");
        if (c.out) EXPECT_STREQ(buffer + 64, c.out) << c.message << " " << c.word;
    }

    char word[64] = {};
    std::vector<std::string> listed;
    for (LRESULT more = send(1032, static_cast<WPARAM>(d), word); more;
         more = send(1033, static_cast<WPARAM>(d), word))
        listed.push_back(word);
    EXPECT_EQ(listed, (std::vector<std::string>{"Haus", "Rechnung", "Winter"}));
    EXPECT_NE(send(1035, static_cast<WPARAM>(d), word), 0);
    EXPECT_STREQ(word, "Winter");
    EXPECT_NE(send(1034, static_cast<WPARAM>(d), word), 0);
    EXPECT_STREQ(word, "Rechnung");

    // Suggestions: (n + 1) slots of 64, the last empty, freed by the host.
    HGLOBAL block = static_cast<HGLOBAL>(send(1036, 0, "Rechnnung"));
    ASSERT_NE(block, 0u);
    std::size_t slots = GlobalSize(block) / 64;
    ASSERT_GE(slots, 2u);
    EXPECT_EQ(GlobalSize(block) % 64, 0u);
    const char* p = static_cast<const char*>(GlobalLock(block));
    EXPECT_STREQ(p, "Rechnung");
    EXPECT_STREQ(p + (slots - 1) * 64, "");
    GlobalUnlock(block);
    EXPECT_EQ(GlobalFree(block), 0u);

    const char texts[] = "Rechnung\0Rechnnung";
    EXPECT_EQ(send(1124, 0, texts), 1);
    EXPECT_EQ(send(1124, 0x8000, texts), 1);

    char name[260];
    EXPECT_EQ(send(1144, 1, name), d);
    EXPECT_EQ(std::string(name), dir + "/haupt.wxd");
    EXPECT_EQ(send(1144, 2, name), e);
    EXPECT_EQ(send(1144, 3, name), 0);
    send(1146, static_cast<WPARAM>(e), 0);
    EXPECT_EQ(send(1145, 0, name), e);
    EXPECT_EQ(std::string(name), dir + "/zwei.wxd");

    std::string open = dir + "/haupt.wxd";
    EXPECT_EQ(send(1134, 'D', open.c_str()), 0) << "an open file is not replaced";
    std::string longName = dir + "/" + std::string(270, 'x') + ".wxd";
    EXPECT_EQ(send(1135, 0, longName.c_str()), 0);
    EXPECT_EQ(send(1136, static_cast<WPARAM>(e), 0), 0);
    EXPECT_EQ(send(1144, 2, name), 0);
}

TEST_F(Host, TwoProcessesShareADictionary) {
    LRESULT d = dictionary("geteilt.wxd", 'D', {"Haus"});
    std::string path = dir + "/geteilt.wxd";
    char buffer[128] = {};
    std::strcpy(buffer, "Garten");
    EXPECT_EQ(send(1140, 0, buffer), 0);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        HWND own = init();
        LRESULT h = SendMessage(own, 1135, 0, reinterpret_cast<LPARAM>(path.c_str()));
        LRESULT added = SendMessage(own, 1137, static_cast<WPARAM>(h), reinterpret_cast<LPARAM>("Garten"));
        SendMessage(own, 1164, 0, 0);
        ::_exit(h && added == 1 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    std::strcpy(buffer, "Garten");
    EXPECT_EQ(send(1140, 0, buffer), d) << "the next look-up sees the other process's word";
    EXPECT_EQ(send(1143, static_cast<WPARAM>(d), LPARAM{0}), 2);
}

TEST_F(Host, AttachmentsThroughMessages) {
    HWND edit = CreateWindowEx(0, kEditClass, "eins zwei", ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
    HWND other = CreateWindowEx(0, kEditClass, "", 0, 0, 0, 0, 0, 0, 0, 0, nullptr);
    auto editProc = GetWindowLongPtr(edit, GWLP_WNDPROC);
    AttachRecord r{edit, 0, 0};
    AttachRecord notAttached{other, 0, 0};
    EXPECT_EQ(send(1194, 0, &r), 1);
    EXPECT_NE(GetWindowLongPtr(edit, GWLP_WNDPROC), editProc);
    EXPECT_EQ(send(1194, 2, &r), 1) << "attaching again";
    EXPECT_EQ(send(1194, 1, &notAttached), 0);
    EXPECT_EQ(send(1194, 0, LPARAM{0}), 0);

    // Immediate checking starts with AutoCheck (on by default).
    struct Step {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        LRESULT result;
        LRESULT immediateAfter;
    } steps[] = {
        {1195, 0, 0, 1, 1},
        {1195, 1, 0, 1, 0},
        {1195, 2, 0, 0, 1},
        {1126, 2, 0x3F07E & ~0x2, 0x3F07E, 0}, // AutoCheck off: every window
        {1195, 2, 0, 0, 1},
        {1126, 2, 0x3F07E & ~0x2 & ~0x10, 0x3F07E & ~0x2, 1}, // AutoCheck kept: windows left
        {1126, 2, 0x3F07E, 0x3F07E & ~0x2 & ~0x10, 1},
        {1126, 0, 0, 0x3F07E, 1},
    };
    for (const Step& s : steps) {
        LPARAM l = s.message == 1195 ? static_cast<LPARAM>(edit) : s.lParam;
        EXPECT_EQ(send(s.message, s.wParam, l), s.result) << s.message << " " << s.wParam;
        EXPECT_EQ(send(1195, 0, static_cast<LPARAM>(edit)), s.immediateAfter) << s.message;
    }
    EXPECT_EQ(send(1195, 0, static_cast<LPARAM>(other)), 0);

    EXPECT_EQ(send(1194, 1, &r), 1);
    EXPECT_EQ(GetWindowLongPtr(edit, GWLP_WNDPROC), editProc);
    EXPECT_EQ(send(1194, 1, &r), 0);
    EXPECT_TRUE(ui.shown.empty());
    DestroyWindow(edit);
    DestroyWindow(other);
}

namespace {
WNDPROC hostPrevious = nullptr;
int hostSeen = 0;
LRESULT HostSubclass(HWND h, UINT m, WPARAM w, LPARAM l) {
    ++hostSeen;
    return CallWindowProc(hostPrevious, h, m, w, l);
}
} // namespace

TEST_F(Host, DetachingAWindowSubclassedAgainWarnsAndKeepsItWorking) {
    HWND edit = CreateWindowEx(0, kEditClass, "eins", ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
    AttachRecord r{edit, 0, 0};
    ASSERT_EQ(send(1194, 0, &r), 1);
    hostPrevious = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostSubclass)));
    EXPECT_EQ(send(1194, 1, &r), 1);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text,
              "Fatal error!\nEdit window was subclassed again.\nRestore original window procedure "
              "before DestroyWindow(Edit) or FreeLibrary(Wortex)!");
    EXPECT_EQ(ui.shown[0].caption, "Wortex exit safety check");
    EXPECT_EQ(ui.shown[0].owner, 0u);
    EXPECT_EQ(ui.shown[0].style, 0u);
    EXPECT_EQ(GetWindowLongPtr(edit, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&HostSubclass));
    // The window still answers through the chain.
    EXPECT_EQ(WindowText(edit), "eins");
    SendMessage(edit, WM_CHAR, 'x', 0);
    EXPECT_EQ(WindowText(edit), "xeins");
    EXPECT_GT(hostSeen, 0);
    // The last exit unloads nothing while the library's procedure is still chained.
    while (send(1164, 0, 0)) {
    }
    dlclose(lib);
    lib = nullptr;
    EXPECT_EQ(WindowText(edit), "xeins");
    DestroyWindow(edit);
}

TEST_F(Host, WindowDestroyDetachesAndExitDetachesTheRest) {
    HWND a = CreateWindowEx(0, kEditClass, "", ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
    HWND b = CreateWindowEx(0, kEditClass, "", ES_MULTILINE, 0, 0, 0, 0, 0, 0, 0, nullptr);
    auto editProc = GetWindowLongPtr(b, GWLP_WNDPROC);
    AttachRecord ra{a, 0, 0}, rb{b, 0, 0};
    ASSERT_EQ(send(1194, 0, &ra), 1);
    ASSERT_EQ(send(1194, 0, &rb), 1);
    DestroyWindow(a);
    EXPECT_EQ(send(1195, 0, static_cast<LPARAM>(a)), 0);
    EXPECT_EQ(send(1164, 0, 0), 1);
    EXPECT_EQ(GetWindowLongPtr(b, GWLP_WNDPROC), editProc);
    EXPECT_TRUE(ui.shown.empty());
    DestroyWindow(b);
}

// A user's dictionary and correction file on a share that is not mounted at a start: the start names them,
// no other dictionary takes the user's new words, and "Speichern" in the settings keeps every name, so the
// next start after the share is back opens them again.
TEST_F(Host, NamesThatCannotBeOpenedAtAStartAreReportedAndKept) {
    ASSERT_NE(send(1134, 'D', (dir + "/haupt.wxd").c_str()), 0);
    {
        std::ofstream ini(dir + "/WORTEX.INI");
        ini << "[Dictionaries]\nFiles=haupt.wxd;teilung/eigen.wxd\nInsertFile=teilung/eigen.wxd\n"
               "[Configuration]\nUserFile=teilung/eigen.wud\n";
    }
    ui.dialogScripts[30000] = [](DialogModel& d) {
        d.click(30055); // an option on and off again enables "Speichern"
        d.click(30055);
        d.click(30053);
        d.click(30054);
    };
    std::vector<std::string> shown;
    EXPECT_EQ(freshProcess(
                  [](HWND own) {
                      int fails = 0;
                      if (SendMessage(own, 1145, 0, 0) != 0) fails |= 1;
                      if (SendMessage(own, 1137, 0, reinterpret_cast<LPARAM>("Zw\xf6rbelhaus")) != 0)
                          fails |= 2;
                      if (SendMessage(own, 1127, 0, 0) == 0) fails |= 4;
                      return fails;
                  },
                  &shown),
              0);
    EXPECT_EQ(shown,
              (std::vector<std::string>{
                  "W\xf6rterbuch konnte nicht erzeugt werden.|Wortex",
                  "Diese in WORTEX.INI eingetragenen Dateien konnten nicht ge\xf6"
                  "ffnet werden:\nteilung/eigen.wxd\nteilung/eigen.wud\nSie bleiben in WORTEX.INI "
                  "eingetragen.\n\nDas Einf\xfcgew\xf6rterbuch teilung/eigen.wxd kann nicht beschrieben "
                  "werden.\nNeue W\xf6rter werden in kein W\xf6rterbuch eingef\xfcgt.|Wortex"}));
    std::string main = std::filesystem::canonical(dir + "/haupt.wxd").string();
    EXPECT_EQ(iniValue("Files"), main + ";teilung/eigen.wxd");
    EXPECT_EQ(iniValue("InsertFile"), "teilung/eigen.wxd");
    EXPECT_EQ(iniValue("UserFile"), "teilung/eigen.wud");
    LRESULT h = send(1135, 0, main.c_str());
    EXPECT_EQ(send(1143, static_cast<WPARAM>(h), LPARAM{0}), 0) << "nothing went into the main dictionary";
    send(1136, static_cast<WPARAM>(h), LPARAM{0});

    // The share is back.
    std::filesystem::create_directory(dir + "/teilung");
    ASSERT_NE(send(1134, 'D', (dir + "/teilung/eigen.wxd").c_str()), 0);
    std::string own = std::filesystem::canonical(dir + "/teilung/eigen.wxd").string();
    EXPECT_EQ(freshProcess(
                  [&](HWND process) {
                      char name[260] = {};
                      int fails = 0;
                      if (SendMessage(process, 1145, 0, reinterpret_cast<LPARAM>(name)) == 0 || name != own)
                          fails |= 1;
                      if (SendMessage(process, 1137, 0, reinterpret_cast<LPARAM>("Zw\xf6rbelhaus")) != 1)
                          fails |= 2;
                      return fails;
                  },
                  &shown),
              0);
    EXPECT_EQ(shown, std::vector<std::string>{}) << "the user file was created beside its dictionary";
    EXPECT_TRUE(std::filesystem::exists(dir + "/teilung/eigen.wud"));
    h = send(1135, 0, own.c_str());
    char word[128] = "zw\xf6rbelhaus"; // the found form comes back at 64
    EXPECT_EQ(send(1140, 0, word), h) << "the word went into the user's dictionary";
}

// A UTF-8 word list imported through the dictionary dialog of a host: the words come out as written, read
// by this process from the file the other one wrote; what was left out is counted in a message.
TEST_F(Host, AWordListImportedThroughTheDialogIsTakenAsWritten) {
    std::string own = dir + "/eigen.wxd";
    ASSERT_NE(send(1134, 'D', own.c_str()), 0);
    {
        std::ofstream ini(dir + "/WORTEX.INI");
        ini << "[Dictionaries]\nFiles=eigen.wxd\nInsertFile=eigen.wxd\n";
        std::ofstream list(dir + "/liste.txt", std::ios::binary);
        list << "Zw\xC3\xB6rbelhaus\nMp3player Zwo1zwo \xC3\x9c"
                "bermuffel \xC5\x81\xC3\xB3\x64\xC5\xBA\n"
             << std::string(63, 'l') << " " << std::string(64, 'm')
             << "\nStra\xC3\x9F"
                "e.\n";
    }
    ui.fileAnswers = {dir + "/liste.txt"};
    ui.dialogScripts[300] = [](DialogModel& d) {
        d.click(458);
        d.click(102);
    };
    std::vector<std::string> shown;
    EXPECT_EQ(freshProcess(
                  [](HWND process) {
                      SendMessage(process, 1125, 0, 0);
                      return 0;
                  },
                  &shown),
              0);
    EXPECT_EQ(shown, std::vector<std::string>{
                         "Nicht eingef\xfcgt wurden:\n2 W\xf6rter mit Ziffern\n1 Wort mit mehr als "
                         "63 Zeichen\n1 Wort mit Zeichen, die das W\xf6rterbuch nicht aufnehmen "
                         "kann|Wortex"});
    LRESULT h = send(1135, 0, own.c_str());
    ASSERT_NE(h, 0);
    std::vector<std::string> words;
    char word[64] = {};
    for (LRESULT more = send(1032, static_cast<WPARAM>(h) | 0x4000, word); more;
         more = send(1033, static_cast<WPARAM>(h) | 0x4000, word))
        words.push_back(word);
    EXPECT_EQ(words, (std::vector<std::string>{std::string(63, 'l'),
                                               "Stra\xdf"
                                               "e",
                                               "\xdc"
                                               "bermuffel",
                                               "Zw\xf6rbelhaus"}));
}
