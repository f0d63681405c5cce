#include "platform/win32/FileApi.h"
#include "platform/win32/StringTable.h"
#include "platform/win32/UiServices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

namespace win32 {
namespace {

class Win32Files : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "wx32XXXXXX").string();
        dir = ::mkdtemp(pattern.data());
    }
    void TearDown() override {
        SetFileFaultHook({});
        std::filesystem::remove_all(dir);
    }
    std::string dir;
};

TEST_F(Win32Files, ReadWriteSizeTruncateAndPositionedAccess) {
    std::string path = dir + "/a.bin";
    EXPECT_EQ(CreateFile(path, GENERIC_READ, 0, OPEN_EXISTING), 0u) << "missing file";
    HANDLE h = CreateFile(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(h, 0u);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(h, "hello world", 11, &n));
    EXPECT_EQ(n, 11u);
    EXPECT_EQ(GetFileSize(h), 11u);
    ASSERT_TRUE(WriteFileAt(h, 20, "X", 1, &n));
    EXPECT_EQ(GetFileSize(h), 21u);
    char buf[32] = {};
    ASSERT_TRUE(ReadFileAt(h, 6, buf, 30, &n));
    EXPECT_EQ(n, 15u) << "a read at the end returns what exists";
    EXPECT_STREQ(buf, "world");
    EXPECT_EQ(SetFilePointer(h, 5, FILE_BEGIN), 5u);
    ASSERT_TRUE(SetEndOfFile(h));
    EXPECT_EQ(GetFileSize(h), 5u);
    EXPECT_TRUE(FlushFileBuffers(h));
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(CreateFile(dir, GENERIC_READ, 0, OPEN_EXISTING), 0u) << "a directory is no file";

    HANDLE ro = CreateFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(ro, 0u);
    EXPECT_FALSE(WriteFile(ro, "x", 1, &n)) << "read-only handle";
    CloseHandle(ro);
}

TEST_F(Win32Files, InjectedFaultsFailWritesFlushesAndRenames) {
    std::string path = dir + "/f.bin";
    HANDLE h = CreateFile(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(h, 0u);
    SetFileFaultHook([](FileOp op) { return op != FileOp::Truncate; });
    DWORD n = 1;
    EXPECT_FALSE(WriteFile(h, "x", 1, &n));
    EXPECT_EQ(n, 0u);
    EXPECT_FALSE(WriteFileAt(h, 0, "x", 1, &n));
    EXPECT_FALSE(FlushFileBuffers(h));
    EXPECT_FALSE(MoveFileEx(path, dir + "/g.bin", MOVEFILE_REPLACE_EXISTING));
    SetFileFaultHook({});
    EXPECT_TRUE(MoveFileEx(path, dir + "/g.bin", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetFileAttributes(path), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributes(dir + "/g.bin"), FILE_ATTRIBUTE_NORMAL);
    CloseHandle(h);
}

TEST_F(Win32Files, OpenFileDescriptionLocksConflictBetweenHandlesOfOneProcess) {
    std::string path = dir + "/l.bin";
    HANDLE a = CreateFile(path, GENERIC_READ | GENERIC_WRITE, 3, CREATE_ALWAYS);
    HANDLE b = CreateFile(path, GENERIC_READ | GENERIC_WRITE, 3, OPEN_EXISTING);
    ASSERT_TRUE(a && b);
    const DWORD now = LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY;
    ASSERT_TRUE(LockFileEx(a, now, 0, 100000000));
    EXPECT_TRUE(LockFileEx(a, now, 10, 1)) << "a handle does not conflict with itself";
    EXPECT_FALSE(LockFileEx(b, now, 10, 1));
    EXPECT_TRUE(LockFileEx(b, now, 100000000, 1)) << "past the locked range";
    EXPECT_TRUE(UnlockFileEx(a, 0, 100000000));
    EXPECT_TRUE(LockFileEx(b, now, 10, 1));
    CloseHandle(b);
    EXPECT_TRUE(LockFileEx(a, now, 10, 1)) << "closing a handle releases its locks";
    CloseHandle(a);
}

TEST_F(Win32Files, PathsCanonicalWithoutRegardToCaseOfTheLastElement) {
    std::string path = dir + "/Dict.WXD";
    CloseHandle(CreateFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS));
    std::string canonical = CanonicalPath(path);
    EXPECT_EQ(CanonicalPath(dir + "/dict.wxd"), canonical);
    EXPECT_EQ(CanonicalPath(dir + "\\.\\DICT.wxd"), canonical) << "backslashes and dots";
    std::filesystem::create_symlink(path, dir + "/link.wxd");
    EXPECT_EQ(CanonicalPath(dir + "/link.wxd"), canonical) << "links resolve to their file";
    EXPECT_EQ(CanonicalPath(dir + "/missing/x"), "");

    char cwd[4096];
    ASSERT_TRUE(::getcwd(cwd, sizeof cwd));
    ASSERT_EQ(::chdir(dir.c_str()), 0);
    EXPECT_EQ(SearchPath("dict.wxd"), canonical);
    EXPECT_EQ(SearchPath("nothing.here"), "");
    EXPECT_EQ(GetFullPathName("sub\\x.txt"), CanonicalPath(dir) + "/sub/x.txt");
    ASSERT_EQ(::chdir(cwd), 0);
}

TEST(StringTable, LoadStringTruncatesAndMissingGivesZero) {
    RegisterStringTable(7, {{607, "Altes Dateiformat."}});
    char buf[8];
    EXPECT_EQ(LoadString(7, 607, buf, sizeof buf), 7);
    EXPECT_STREQ(buf, "Altes D");
    EXPECT_EQ(LoadString(7, 608, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(LoadString(8, 607, buf, sizeof buf), 0);
}

TEST(ScriptedUi, AnswersFromQueueElseFirstButtonAndRecords) {
    ScriptedUi ui;
    SetUiServices(&ui);
    ui.answers = {IDRETRY};
    EXPECT_EQ(MessageBox(0, "Lock Problem.", "DOZ3", MB_ABORTRETRYIGNORE | MB_ICONQUESTION), IDRETRY);
    EXPECT_EQ(MessageBox(0, "Lock Problem.", "DOZ3", MB_ABORTRETRYIGNORE | MB_ICONQUESTION), IDABORT);
    EXPECT_EQ(MessageBox(0, "Frage", "Wortex", MB_YESNO), IDYES);
    ASSERT_EQ(ui.shown.size(), 3u);
    EXPECT_EQ(ui.shown[0].caption, "DOZ3");
    ui.keysDown[VK_SHIFT] = true;
    EXPECT_LT(GetKeyState(VK_SHIFT), 0);
    EXPECT_EQ(GetKeyState(VK_CONTROL), 0);
    MessageBeep(MB_OK);
    EXPECT_EQ(ui.beeps.size(), 1u);
    SetUiServices(nullptr);
}

} // namespace
} // namespace win32

namespace win32 {
namespace {

TEST_F(Win32Files, ShareModesRefuseConflictingOpens) {
    std::string path = dir + "/s.bin";
    CloseHandle(CreateFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS));
    const DWORD rw = GENERIC_READ | GENERIC_WRITE, all = FILE_SHARE_READ | FILE_SHARE_WRITE;
    struct Case {
        DWORD access1, share1, access2, share2;
        bool secondOpens;
    };
    const Case cases[] = {
        {GENERIC_READ, 0, GENERIC_READ, all, false}, // first denies everything
        {GENERIC_READ, FILE_SHARE_READ, GENERIC_READ, FILE_SHARE_READ, true},
        {GENERIC_READ, FILE_SHARE_READ, rw, all, false}, // first denies writing
        {rw, all, rw, all, true},                        // the library's mode
        {rw, all, GENERIC_READ, FILE_SHARE_READ, false}, // second denies the first's writing
        {rw, FILE_SHARE_WRITE, GENERIC_READ, all, false},
        {GENERIC_READ, all, GENERIC_READ, FILE_SHARE_READ, true},
    };
    for (const Case& c : cases) {
        HANDLE a = CreateFile(path, c.access1, c.share1, OPEN_EXISTING);
        ASSERT_NE(a, 0u);
        HANDLE b = CreateFile(path, c.access2, c.share2, OPEN_EXISTING);
        EXPECT_EQ(b != 0, c.secondOpens)
            << c.access1 << "/" << c.share1 << " then " << c.access2 << "/" << c.share2;
        if (b) CloseHandle(b);
        CloseHandle(a);
        HANDLE again = CreateFile(path, rw, 0, OPEN_EXISTING);
        EXPECT_NE(again, 0u) << "closing releases the share locks";
        CloseHandle(again);
    }
    HANDLE a = CreateFile(path, rw, all, OPEN_EXISTING);
    DWORD n;
    WriteFile(a, "keep", 4, &n);
    EXPECT_EQ(CreateFile(path, rw, 0, CREATE_ALWAYS), 0u);
    EXPECT_EQ(GetFileSize(a), 4u) << "a refused CREATE_ALWAYS truncates nothing";
    CloseHandle(a);
}

// Positioned reads see what other handles and processes did to the file since the last read, whether the
// file was rewritten, grew or shrank, and a read past the end comes back short.
TEST_F(Win32Files, PositionedReadsSeeChangesByOtherHandlesAndProcesses) {
    const std::string path = dir + "/m.bin";
    const DWORD rw = GENERIC_READ | GENERIC_WRITE, all = FILE_SHARE_READ | FILE_SHARE_WRITE;
    auto inChild = [&](const std::function<void(int fd)>& change) {
        pid_t pid = ::fork();
        if (pid == 0) {
            int fd = ::open(path.c_str(), O_RDWR);
            change(fd);
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
    };
    auto putAt = [](int fd, off_t at, const char* text) { (void)!::pwrite(fd, text, std::strlen(text), at); };
    auto viaHandle = [&](const std::function<void(HANDLE)>& change) {
        HANDLE other = CreateFile(path, rw, all, OPEN_EXISTING);
        change(other);
        CloseHandle(other);
    };
    HANDLE h = 0;
    struct Case {
        const char* what;
        std::function<void()> change;
        std::uint64_t offset;
        DWORD length, expected;
        char first;
    };
    const Case cases[] = {
        {"unchanged", [] {}, 100, 4, 4, 'a'},
        {"read across the end", [] {}, 65536 - 10, 100, 10, 'a'},
        {"read past the end", [] {}, 70000, 100, 0, 0},
        {"rewritten by a process", [&] { inChild([&](int fd) { putAt(fd, 100, "B"); }); }, 100, 2, 2, 'B'},
        {"grown by a process", [&] { inChild([&](int fd) { putAt(fd, 200000, "C"); }); }, 200000, 9, 1, 'C'},
        {"grown far by a process", [&] { inChild([&](int fd) { putAt(fd, 5 << 20, "D"); }); }, 5 << 20, 1, 1,
         'D'},
        {"shrunk by a process", [&] { inChild([](int fd) { (void)!::ftruncate(fd, 8192); }); }, 32768, 16, 0,
         0},
        {"shrunk by a process, read across", [&] { inChild([](int fd) { (void)!::ftruncate(fd, 8192); }); },
         8000, 1024, 192, 'a'},
        {"rewritten by a handle",
         [&] {
             viaHandle([](HANDLE o) {
                 DWORD n;
                 WriteFileAt(o, 300, "E", 1, &n);
             });
         },
         300, 1, 1, 'E'},
        {"shrunk by a handle",
         [&] {
             viaHandle([](HANDLE o) {
                 SetFilePointer(o, 4000, FILE_BEGIN);
                 SetEndOfFile(o);
             });
         },
         3990, 100, 10, 'a'},
        {"grown by the reading handle",
         [&] {
             DWORD n;
             WriteFileAt(h, 100000, "F", 1, &n);
         },
         100000, 1, 1, 'F'},
    };
    for (const Case& c : cases) {
        std::string bytes(65536, 'a');
        HANDLE w = CreateFile(path, rw, all, CREATE_ALWAYS);
        DWORD n = 0;
        ASSERT_TRUE(WriteFile(w, bytes.data(), static_cast<DWORD>(bytes.size()), &n));
        CloseHandle(w);
        h = CreateFile(path, rw, all, OPEN_EXISTING);
        ASSERT_NE(h, 0u);
        char buf[1024] = {};
        // Twice: the first read finds the file's size, the second reads what the first found.
        for (int k = 0; k < 2; ++k) {
            ASSERT_TRUE(ReadFileAt(h, 60000, buf, 1024, &n));
            EXPECT_EQ(n, 1024u) << c.what;
        }
        c.change();
        buf[0] = 0;
        n = 12345;
        ASSERT_TRUE(ReadFileAt(h, c.offset, buf, c.length, &n)) << c.what;
        EXPECT_EQ(n, c.expected) << c.what;
        EXPECT_EQ(buf[0], c.first) << c.what;
        CloseHandle(h);
    }
}

} // namespace
} // namespace win32
