#include "platform/win32/Profile.h"
#include "platform/win32/FileApi.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

class Profile : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "wxprofXXXXXX").string();
        dir = ::mkdtemp(pattern.data());
        file = dir + "/test.ini";
    }
    void TearDown() override {
        win32::SetFileFaultHook({});
        std::filesystem::remove_all(dir);
    }
    void put(const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
    std::string content() const {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string get(const char* section, const char* key, const char* def = "", win32::DWORD size = 64) {
        char buf[64] = {};
        win32::DWORD n = win32::GetPrivateProfileString(section, key, def, buf, size, file);
        return std::string(buf, n);
    }
    int filesInDir() const {
        return static_cast<int>(std::distance(std::filesystem::directory_iterator(dir), {}));
    }
    std::string dir, file;
};

TEST_F(Profile, ReadsByNameWithoutCaseWithDefaultsAndCuts) {
    put("; comment\r\n[Dictionaries]\r\nFiles = a.wxd;b.wxd \r\n[Configuration]\nAutoCheck=no\nQuoted=\"x "
        "y\"\n");
    struct Case {
        const char* section;
        const char* key;
        const char* def;
        win32::DWORD size;
        std::string expected;
    } cases[] = {
        {"dictionaries", "FILES", "", 64, "a.wxd;b.wxd"}, {"Configuration", "autocheck", "yes", 64, "no"},
        {"Configuration", "Missing", "yes", 64, "yes"},   {"Nowhere", "AutoCheck", "dflt  ", 64, "dflt"},
        {"Dictionaries", "Files", "", 6, "a.wxd"},        {"Configuration", "Quoted", "", 64, "x y"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(get(c.section, c.key, c.def, c.size), c.expected) << c.section << "/" << c.key;

    char buf[64];
    win32::DWORD n = win32::GetPrivateProfileString(nullptr, nullptr, "", buf, sizeof buf, file);
    EXPECT_EQ(std::string(buf, n), std::string("Dictionaries\0Configuration\0", 27));
    n = win32::GetPrivateProfileString("Configuration", nullptr, "", buf, sizeof buf, file);
    EXPECT_EQ(std::string(buf, n), std::string("AutoCheck\0Quoted\0", 17));
    EXPECT_EQ(buf[n], 0);
}

TEST_F(Profile, AListOfNamesEndsWithinTheBufferAtEverySize) {
    put("[Ab]\r\n[Cde]\r\n[F]\r\n");
    const std::string all("Ab\0Cde\0F\0", 9);
    for (win32::DWORD size = 2; size <= 12; ++size) {
        char buf[32];
        std::memset(buf, 'x', sizeof buf);
        win32::DWORD n = win32::GetPrivateProfileString(nullptr, nullptr, "", buf, size, file);
        EXPECT_EQ(std::string(buf + size, sizeof buf - size), std::string(sizeof buf - size, 'x'))
            << "nothing written past " << size;
        if (size >= all.size() + 1) {
            EXPECT_EQ(std::string(buf, n + 1), all + '\0') << size;
        } else {
            // Cut: as much of the list as fits, ending in two NULs at the buffer's end.
            EXPECT_EQ(n, size - 2) << size;
            EXPECT_EQ(std::string(buf, n), all.substr(0, n)) << size;
            EXPECT_EQ(buf[size - 2], 0) << size;
            EXPECT_EQ(buf[size - 1], 0) << size;
        }
    }
}

TEST_F(Profile, WritesSetDeleteKeyAndSection) {
    put("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    EXPECT_TRUE(win32::WritePrivateProfileString("a", "X", "9", file));
    EXPECT_TRUE(win32::WritePrivateProfileString("A", "z", "3", file));
    EXPECT_EQ(content(), "[A]\r\nX=9\r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
    EXPECT_TRUE(win32::WritePrivateProfileString("B", "y", nullptr, file));
    EXPECT_EQ(get("B", "y", "none"), "none");
    EXPECT_TRUE(win32::WritePrivateProfileString("a", nullptr, nullptr, file));
    EXPECT_EQ(get("A", "X", "gone"), "gone");
    EXPECT_TRUE(win32::WritePrivateProfileString("C", "k", "v", file));
    EXPECT_EQ(get("C", "k"), "v");
    EXPECT_EQ(filesInDir(), 1) << "no temporary file left";
}

TEST_F(Profile, AFailedRewriteLeavesTheOldFile) {
    const std::string old = "[A]\r\nx=1\r\n";
    for (win32::FileOp failing : {win32::FileOp::Write, win32::FileOp::Flush, win32::FileOp::Rename}) {
        put(old);
        win32::SetFileFaultHook([failing](win32::FileOp op) { return op == failing; });
        win32::ProfileEdit edit(file);
        edit.text().removeSection("A");
        edit.text().set("B", "y", "2");
        EXPECT_FALSE(edit.commit()) << static_cast<int>(failing);
        win32::SetFileFaultHook({});
        EXPECT_EQ(content(), old);
        EXPECT_EQ(filesInDir(), 1);
    }
}

TEST_F(Profile, MissingFileIsCreatedAtFirstWrite) {
    EXPECT_EQ(get("A", "x", "d"), "d");
    EXPECT_TRUE(win32::WritePrivateProfileString("A", "x", "1", file));
    EXPECT_EQ(content(), "[A]\r\nx=1\r\n");
    EXPECT_FALSE(win32::WritePrivateProfileString("A", "x", "1", dir + "/missing/dir/f.ini"));
}

} // namespace
