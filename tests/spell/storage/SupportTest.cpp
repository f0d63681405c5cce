#include "Support.h"

#include "platform/win32/GlobalMemory.h"
#include "platform/win32/Kernel.h"
#include "platform/win32/StringTable.h"
#include "platform/win32/UiServices.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace wortex {
namespace {

using namespace win32;

class SupportTest : public ::testing::Test {
protected:
    void SetUp() override { SetUiServices(&ui); }
    void TearDown() override {
        SetUiServices(nullptr);
        Kernel::instance().setTickSource({});
    }
    ScriptedUi ui;
};

TEST_F(SupportTest, IntToString) {
    struct Case {
        std::int32_t value;
        int radix, width;
        const char* want;
    };
    const Case cases[] = {{255, 16, 4, "00FF"},
                          {7, 10, 3, "  7"},
                          {-5, 10, 0, "-5"},
                          {0, 2, 0, "0"},
                          {5, 2, 8, "00000101"},
                          {1234, 10, 2, "1234"},
                          {-2147483647 - 1, 10, 0, "-2147483648"},
                          {-1, 16, 0, "-1"}};
    for (const Case& c : cases) {
        char buf[48];
        EXPECT_EQ(IntToString(c.value, buf, c.radix, c.width), static_cast<int>(std::strlen(c.want)));
        EXPECT_STREQ(buf, c.want) << c.value;
    }
}

TEST_F(SupportTest, FindDeleteInsertReplace) {
    EXPECT_EQ(FindText("er", 2, "\xC4rger", 0, false), 3u);
    EXPECT_EQ(FindText("\xE4R", 2, "\xC4rger", 0, true), 0u) << "case ignored by the upper-case forms";
    EXPECT_EQ(FindText("\xE4R", 2, "\xC4rger", 0, false), kNotFound);
    EXPECT_EQ(FindText("r", 1, "\xC4rger", 2, false), 4u);
    EXPECT_EQ(FindText("r", 1, "abc", 4, false), kNotFound) << "start beyond the end";
    EXPECT_EQ(FindText("", 0, "abc", 3, false), 3u);

    char text[32] = "Hausaufgabe";
    DeleteText(text, 4, 4);
    EXPECT_STREQ(text, "Hausabe");
    DeleteText(text, 5, 100);
    EXPECT_STREQ(text, "Hausa");
    EXPECT_TRUE(InsertText(text, sizeof text, 4, "tier"));
    EXPECT_STREQ(text, "Haustiera");
    char tiny[6] = "abc";
    EXPECT_FALSE(InsertText(tiny, sizeof tiny, 1, "xyz")) << "would not fit";
    EXPECT_STREQ(tiny, "abc");

    char r[64] = "ein aa und aaa";
    EXPECT_EQ(ReplaceAll("aa", "a", 0, r, sizeof r), 2) << "the search goes on after each replacement";
    EXPECT_STREQ(r, "ein a und aa");
    char s[64] = "x-x-x";
    EXPECT_EQ(ReplaceAll("x", "xx", 2, s, sizeof s), 2);
    EXPECT_STREQ(s, "x-xx-xx");
}

TEST_F(SupportTest, TrimRightAndCapitals) {
    char buf[8] = {'a', 'b', ' ', ' ', 'c', ' ', ' ', ' '};
    TrimRight(buf, sizeof buf);
    EXPECT_STREQ(buf, "ab  c") << "no end within the capacity: cut at capacity - 1";
    char buf2[16] = "Wort   ";
    TrimRight(buf2, sizeof buf2);
    EXPECT_STREQ(buf2, "Wort");

    char t[16] = "stra\xDF"
                 "e";
    EXPECT_EQ(MatchCapitals("ABC", t), 1);
    EXPECT_STREQ(t, "STRA\xDF"
                    "E");
    char u[16] = "haus";
    EXPECT_EQ(MatchCapitals("Abc", u), 0);
    EXPECT_STREQ(u, "haus");
}

TEST_F(SupportTest, ProcessDataCountsUsesPerProcess) {
    ProcessDataRoot root;
    EXPECT_EQ(LockProcessData(root), nullptr);
    EXPECT_EQ(CreateProcessData(root, 456), 1);
    auto* p = static_cast<unsigned char*>(LockProcessData(root));
    ASSERT_NE(p, nullptr);
    for (int i = 0; i < 456; ++i)
        ASSERT_EQ(p[i], 0) << "zeroed";
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignof(void*), 0u) << "fit for addresses";
    p[0] = 42;
    UnlockProcessData(root);
    EXPECT_EQ(CreateProcessData(root, 456), 0) << "second call only counts";
    EXPECT_EQ(GetProcessDataUseCount(root), 2);
    EXPECT_EQ(ReleaseProcessData(root), 0);
    p = static_cast<unsigned char*>(LockProcessData(root));
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p[0], 42);
    UnlockProcessData(root);
    EXPECT_EQ(ReleaseProcessData(root), 1);
    EXPECT_EQ(root.first, nullptr);
    EXPECT_EQ(LockProcessData(root), nullptr);
    EXPECT_EQ(ReleaseProcessData(root), 0);
}

TEST_F(SupportTest, BlockLockCountFaultsBeep) {
    HGLOBAL b = AllocBlock(10);
    ASSERT_NE(b, 0u);
    EXPECT_EQ(AllocBlock(kMaxBlockSize + 1), 0u);
    UnlockBlock(b);
    EXPECT_EQ(ui.beeps.size(), 3u) << "unlocking an unlocked block";
    ui.beeps.clear();
    for (int i = 0; i < 200; ++i)
        LockBlock(b);
    EXPECT_TRUE(ui.beeps.empty());
    LockBlock(b);
    EXPECT_EQ(ui.beeps.size(), 2u) << "past 200 locks";
    for (int i = 0; i < 201; ++i)
        UnlockBlock(b);
    EXPECT_EQ(GlobalLockCount(b), 0u);
    FreeBlock(b);
}

TEST_F(SupportTest, MessageBoxFromStringTable) {
    RegisterStringTable(3, {{607, "Altes Dateiformat."}});
    ui.answers = {IDOK};
    EXPECT_EQ(MessageBoxFromString(3, 0, 607, "Wortex", MB_OK | MB_ICONEXCLAMATION), IDOK);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Altes Dateiformat.");
    EXPECT_EQ(ui.shown[0].caption, "Wortex");
    EXPECT_EQ(ui.shown[0].style, MB_OK | MB_ICONEXCLAMATION);
}

TEST_F(SupportTest, PathRoutines) {
    std::string p = "dir";
    AppendBackslash(p);
    EXPECT_EQ(p, "dir\\");
    AppendBackslash(p);
    EXPECT_EQ(p, "dir\\");
    std::string e;
    AppendBackslash(e);
    EXPECT_EQ(e, "");
    std::string s = "a/b\\c.wxd", name;
    SplitFileName(s, name);
    EXPECT_EQ(s, "a/b\\");
    EXPECT_EQ(name, "c.wxd");
    bool isDir = false;
    EXPECT_EQ(FileExists("/", &isDir), 1);
    EXPECT_TRUE(isDir);
    EXPECT_EQ(FileExists("/no/such/file", &isDir), 0);
    std::string bare = "no-such-file.wxd";
    EXPECT_FALSE(ResolvePath(bare));
    std::string rel = "x\\y.wxd";
    EXPECT_TRUE(ResolvePath(rel));
    EXPECT_EQ(rel.front(), '/');
    EXPECT_EQ(CurrentDirectory().back(), '\\');
    EXPECT_EQ(ModuleDirectory(0).back(), '\\');
    std::string t1 = MakeTempFileName(), t2 = MakeTempFileName();
    EXPECT_NE(t1, t2);
    std::remove(t1.c_str());
    std::remove(t2.c_str());
    char buf[4];
    EXPECT_EQ(LineEnd(buf), 2);
    EXPECT_STREQ(buf, "\r\n");
}

TEST_F(SupportTest, TicksCountStepsOf546Tenths) {
    DWORD now = 0;
    Kernel::instance().setTickSource([&] { return now; });
    now = 546;
    EXPECT_EQ(Ticks(), 10u);
    now = 0xFFFFFFFFu;
    EXPECT_EQ(Ticks(), static_cast<std::uint32_t>(0xFFFFFFFFull * 10 / 546)) << "no overflow of the product";
}

TEST_F(SupportTest, TranslateKeyMessage) {
    struct Case {
        UINT message;
        WPARAM param;
        bool shift, control, alt;
        std::uint16_t want;
    };
    const Case cases[] = {
        {WM_LBUTTONDOWN, 0, false, false, false, 0x8101},
        {WM_NCLBUTTONDOWN, 0, true, false, false, 0x8301},
        {WM_RBUTTONDOWN, 0, false, true, false, 0x8502},
        {WM_KEYDOWN, VK_F1, false, false, false, 0x8011},
        {WM_KEYDOWN, VK_F12, false, true, false, 0x841C},
        {WM_KEYDOWN, VK_LEFT, true, false, false, 0x8234},
        {WM_KEYDOWN, VK_BACK, false, false, false, 0x8008},
        {WM_KEYDOWN, VK_RETURN, false, true, false, 0x840D},
        {WM_KEYDOWN, VK_SPACE, false, false, false, 0},
        {WM_KEYDOWN, VK_SPACE, false, true, false, 0x8420},
        {WM_KEYDOWN, VK_OEM_MINUS, false, false, false, 0},
        {WM_KEYDOWN, VK_SUBTRACT, false, false, true, 0x882D},
        {WM_KEYDOWN, VK_OEM_COMMA, false, false, false, 0},
        {WM_KEYDOWN, 'A', false, false, false, 0},
        {WM_SYSKEYDOWN, VK_DELETE, false, false, true, 0x882E},
        {WM_CHAR, 'a', false, false, false, 'a'},
        {WM_CHAR, 'A', true, false, false, 'A'},
        {WM_CHAR, 'a', false, false, true, 0x8861},
        {WM_CHAR, '@', false, true, true, '@'},
        {WM_CHAR, 0xA6, false, true, true, 0xA6},
        {WM_CHAR, 27, false, false, false, 0x801B},
        {WM_CHAR, 1, false, true, false, 0x8441},
        {WM_CHAR, 127, false, true, false, 0x8008},
        {WM_CHAR, 31, false, true, false, 0},
        {WM_CHAR, ' ', true, false, false, 0},
        {WM_CHAR, ' ', false, false, false, ' '},
        {WM_CHAR, ',', false, true, false, 0},
        {WM_SYSCHAR, 'x', false, false, true, 0x8878},
        {WM_SYSCHAR, 109, false, false, true, 0},
        {WM_SYSCHAR, '-', true, false, true, 0x8A2D},
        {WM_SYSCHAR, 0, false, false, true, 0},
        {0x0200, 0, false, false, false, 0},
    };
    for (const Case& c : cases) {
        ui.keysDown = {{VK_SHIFT, c.shift}, {VK_CONTROL, c.control}, {VK_MENU, c.alt}};
        EXPECT_EQ(TranslateKeyMessage(c.message, c.param), c.want)
            << "message " << c.message << " param " << c.param;
    }
}

} // namespace
} // namespace wortex
