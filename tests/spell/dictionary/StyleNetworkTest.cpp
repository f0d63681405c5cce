#include "SpellTestSupport.h"

#include "DictionarySet.h"
#include "Doz3Format.h"
#include "StyleNetwork.h"

#include "platform/win32/FileApi.h"

#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace wortex::test {
namespace {

using Bytes = std::vector<unsigned char>;
using Words = std::vector<std::string>;

TEST(DescriptionPacking, KnownTextsPackAndUnpack) {
    const struct {
        std::string text;
        Bytes packed;
    } cases[] = {
        {"abc", {0x80, 0x22}},
        {"aaa", {0x80, 0x00}},
        {"aaaa", {0x00, 0x04, 0x61}},
        {"\xc4", {0x00, 0xC4}},
        {"abcA", {0x80, 0x22, 0x41}},
        {"\xfc"
         "ber",
         {0xFC, 0x24, 0x72}},
        {"Stra\xdf"
         "e",
         {0x53, 0xCE, 0x20, 0x00, 0xDF, 0x65}},
        {std::string(128, 'x'), {0x00, 0x7F, 0x78, 0x78}},
        {"", {}},
    };
    for (const auto& c : cases) {
        Bytes out(2 * c.text.size() + 1);
        std::size_t n = PackDescription(c.text.c_str(), out.data());
        out.resize(n);
        EXPECT_EQ(out, c.packed) << c.text;
        EXPECT_EQ(UnpackDescription(c.packed.data(), c.packed.size()), c.text);
    }
}

TEST(DescriptionPacking, UnpackingStaysInsideItsBounds) {
    const struct {
        Bytes packed;
        std::size_t capacity;
        std::string text;
    } cases[] = {
        {{0x00, 0x00, 0x61, 0x62}, 10, "b"}, // a run of 0 gives nothing and takes its three bytes
        {{0x80}, 10, ""},                    // a triple cut off
        {{0x61, 0x00}, 10, "a"},             // an escape cut off
        {{0x61, 0x00, 0x05}, 10, "a"},       // a run without its character
        {{0x00, 0x7F, 0x78}, 5, "xxxx"},     // the caller's buffer
        {{0x80, 0x22, 0x80, 0x22}, 4, "abc"},
    };
    for (const auto& c : cases) {
        std::vector<char> out(c.capacity + 8, '#');
        UnpackDescription(c.packed.data(), out.data(), c.packed.size(), c.capacity);
        EXPECT_EQ(std::string(out.data()), c.text);
        EXPECT_EQ(out[c.capacity], '#') << "written beyond the buffer";
    }
}

class StyleNet : public ::testing::Test {
protected:
    void SetUp() override {
        win32::SetUiServices(&ui);
        ASSERT_EQ(InitDictionarySide(120), 1);
        path = dir.file("stil.wxd");
        ASSERT_EQ(CreateDictionaryFile(path, 'd'), 1);
        h = OpenDictionary(false, path);
        ASSERT_NE(h, 0);
        for (const char* w : {"auto", "wagen", "kraftwagen", "karre", "haus", "heim", "Bau"})
            ASSERT_EQ(AddDictionaryWord(h, w, false, false, 0, 0), 1) << w;
        StyleDialogs d;
        d.conflict = [this](const char* n, const char* t, const char* w, int&, bool) {
            conflicts.push_back(std::string(n) + "|" + t + "|" + w);
        };
        d.chooseMeaning = [this](DBHandle, const char*, const char*, int&, bool) {
            ++chosen;
            return chooseAnswer;
        };
        SetStyleDialogs(d);
    }
    void TearDown() override {
        SetStyleDialogs({});
        TermDictionarySide();
        win32::SetUiServices(nullptr);
    }
    DictionaryNode& node() { return *FindDictionaryNode(h); }
    std::uint32_t record(const char* w) {
        std::uint32_t r = 0;
        StyleRecordOf(node(), w, r);
        return r;
    }
    std::vector<Meaning> meanings(const char* w) {
        std::vector<Meaning> m;
        ReadStyleRecord(node().styles, record(w), m);
        return m;
    }
    Bytes bytesAt(std::uint32_t at, std::uint16_t n) {
        Bytes b(n);
        EXPECT_EQ(ReadDBBytes(h, at, b.data(), n), 1);
        return b;
    }
    Words members(const char* w, int meaning) {
        Words out;
        char m[64] = "";
        while (NextGroupMember(h, w, meaning, m))
            out.emplace_back(m);
        return out;
    }
    std::string description(const char* w, int meaning) {
        return MeaningDescription(node(), record(w), meaning);
    }
    int link(const char* t, int m, const char* n) {
        int setting = 0;
        return LinkStyleWord(h, t, m, n, setting, false);
    }

    TempDir dir;
    win32::ScriptedUi ui;
    std::string path;
    DBHandle h = 0;
    Words conflicts;
    int chosen = 0, chooseAnswer = 1;
};

TEST_F(StyleNet, DescriptionRecordsAndTheirOffsets) {
    std::uint32_t table = node().styles.descriptionTable(), at = 0;
    bool changed = false;
    WriteDescription(h, table, at, changed, "abc");
    ASSERT_TRUE(changed);
    EXPECT_EQ(bytesAt(at, 6), (Bytes{0x04, 0x00, 0x02, 0x00, 0x80, 0x22}));
    EXPECT_EQ(DescriptionSize(h, table, at), 4u);
    std::uint32_t first = at;
    WriteDescription(h, table, at, changed, "xyz");
    EXPECT_FALSE(changed) << "equal packed length keeps the record";
    EXPECT_EQ(at, first);
    std::string text;
    EXPECT_EQ(ReadDescription(h, table, at, text), 1);
    EXPECT_EQ(text, "xyz");
    WriteDescription(h, table, at, changed, "Ein langer Text");
    EXPECT_TRUE(changed);
    WriteDescription(h, table, at, changed, "");
    EXPECT_TRUE(changed);
    EXPECT_EQ(at, 0u);
    EXPECT_EQ(ReadDescription(h, table, 0, text), 1);
    EXPECT_EQ(text, "");
    EXPECT_EQ(DescriptionSize(h, table, 0), 0u);
}

TEST_F(StyleNet, DescriptionRecordThatDoesNotHoldTogetherReadsEmpty) {
    std::uint32_t table = node().styles.descriptionTable(), at = 0;
    bool changed = false;
    WriteDescription(h, table, at, changed, "abc");
    unsigned char wrongSize[2] = {0x09, 0x00};
    ASSERT_EQ(WriteDBBytes(h, at, wrongSize, 2), 1);
    std::string text = "x";
    EXPECT_EQ(ReadDescription(h, table, at, text), 0);
    EXPECT_EQ(text, "");
}

TEST_F(StyleNet, MeaningsAppendedAndDropped) {
    std::uint32_t r = AppendMeaning(node().words, node().styles, "auto", 0);
    ASSERT_NE(r, 0u);
    EXPECT_EQ(record("auto"), r);
    EXPECT_EQ(bytesAt(r, 10), (Bytes{0x08, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    // Describing meaning 2 of a word with one meaning appends it.
    EXPECT_NE(SetMeaningDescription(h, 1, "auto", "Fahrzeug"), 0u);
    EXPECT_NE(SetMeaningDescription(h, 2, "auto", "Kurzform"), 0u);
    EXPECT_NE(SetMeaningDescription(h, 3, "auto", "dritte"), 0u);
    ASSERT_EQ(meanings("auto").size(), 3u);
    // An empty description removes a meaning without group: the old meaning 3 becomes meaning 2.
    std::uint32_t before = record("auto");
    EXPECT_NE(SetMeaningDescription(h, 2, "auto", ""), 0u);
    EXPECT_EQ(meanings("auto").size(), 2u);
    EXPECT_EQ(description("auto", 1), "Fahrzeug");
    EXPECT_EQ(description("auto", 2), "dritte");
    EXPECT_EQ(bytesAt(record("auto"), 2), (Bytes{0x10, 0x00})) << before;
    EXPECT_NE(SetMeaningDescription(h, 2, "auto", ""), 0u);
    EXPECT_EQ(SetMeaningDescription(h, 1, "auto", ""), 0u);
    EXPECT_EQ(record("auto"), 0u) << "the last meaning took the record and value A with it";
    EXPECT_EQ(SetMeaningDescription(h, 1, "fehlt", "x"), 0u);
}

TEST_F(StyleNet, LimitsRefuseWhatWouldOverflow) {
    std::string tooLong(kMaxDescription + 1, 'a');
    EXPECT_EQ(SetMeaningDescription(h, 1, "haus", tooLong.c_str()), 0u);
    EXPECT_EQ(record("haus"), 0u);
    std::uint32_t r = 0;
    for (std::size_t i = 0; i < kMaxMeanings; ++i)
        r = AppendMeaning(node().words, node().styles, "heim", r);
    ASSERT_EQ(meanings("heim").size(), kMaxMeanings);
    EXPECT_EQ(AppendMeaning(node().words, node().styles, "heim", r), r);
    EXPECT_EQ(meanings("heim").size(), kMaxMeanings);
}

TEST_F(StyleNet, BrokenStyleRecordCountsAsNone) {
    std::uint32_t r = AppendMeaning(node().words, node().styles, "auto", 0);
    unsigned char odd[2] = {0x07, 0x00};
    ASSERT_EQ(WriteDBBytes(h, r, odd, 2), 1);
    EXPECT_TRUE(meanings("auto").empty());
    EXPECT_EQ(SetMeaningDescription(h, 1, "auto", "x"), r);
    EXPECT_EQ(bytesAt(r, 2), (Bytes{0x07, 0x00})) << "nothing written over it";
    EXPECT_EQ(link("auto", 1, "wagen"), 0);
    EXPECT_TRUE(members("auto", 1).empty());
}

TEST_F(StyleNet, LinkingBuildsAGroupAndUnlinkingDissolvesIt) {
    EXPECT_EQ(link("auto", 1, "Auto"), 0) << "a word into its own list";
    EXPECT_TRUE(conflicts.empty());
    ASSERT_EQ(link("auto", 1, "wagen"), 1);
    EXPECT_EQ(chosen, 0) << "a member without style data takes meaning 1";
    EXPECT_EQ(members("auto", 1), (Words{"auto", "wagen"}));
    EXPECT_EQ(members("wagen", 1), (Words{"auto", "wagen"}));
    EXPECT_EQ(meanings("auto")[0].group, meanings("wagen")[0].group);
    EXPECT_EQ(GetLinkingMeaning(h, "wagen", "auto"), 1);
    ASSERT_EQ(link("auto", 1, "Bau"), 1);
    EXPECT_EQ(members("wagen", 1), (Words{"auto", "Bau", "wagen"}));
    // Unlinking one of three keeps the group.
    EXPECT_EQ(UnlinkStyleWord(h, 1, "Bau"), 0u);
    EXPECT_EQ(members("auto", 1), (Words{"auto", "wagen"}));
    // One of two: the group goes, and the other's meaning without description with it.
    SetMeaningDescription(h, 1, "auto", "Fahrzeug");
    EXPECT_EQ(UnlinkStyleWord(h, 1, "wagen"), 0u);
    EXPECT_EQ(record("wagen"), 0u);
    ASSERT_EQ(meanings("auto").size(), 1u);
    EXPECT_EQ(meanings("auto")[0].group, 0u);
    EXPECT_EQ(description("auto", 1), "Fahrzeug");
}

TEST_F(StyleNet, ConflictsDirectAndThroughAThirdWord) {
    ASSERT_EQ(link("auto", 1, "wagen"), 1);
    // wagen already shares a group with auto.
    EXPECT_EQ(link("auto", 2, "wagen"), 0);
    EXPECT_EQ(conflicts, (Words{"wagen|auto|wagen"}));
    // karre in two groups: with kraftwagen in meaning 1, with haus in meaning 2 (chosen in the dialog).
    ASSERT_EQ(link("karre", 1, "kraftwagen"), 1);
    chooseAnswer = 2;
    ASSERT_EQ(link("haus", 1, "karre"), 2);
    EXPECT_EQ(chosen, 1) << "a member with style data chooses its meaning";
    EXPECT_EQ(members("karre", 1), (Words{"karre", "kraftwagen"}));
    EXPECT_EQ(members("karre", 2), (Words{"haus", "karre"}));
    // kraftwagen into haus's other meaning: connected through karre.
    EXPECT_EQ(link("haus", 2, "kraftwagen"), 0);
    EXPECT_EQ(conflicts, (Words{"wagen|auto|wagen", "kraftwagen|haus|karre"}));
    EXPECT_EQ(chosen, 1);
    // While copying with setting 2 no dialog shows; a conflict still links nothing.
    int setting = 2;
    EXPECT_EQ(LinkStyleWord(h, "haus", 2, "kraftwagen", setting, true), 0);
    EXPECT_EQ(conflicts.size(), 2u);
    // Without conflict, setting 2 takes the first meaning and setting 1 only an unambiguous one.
    EXPECT_EQ(LinkStyleWord(h, "heim", 1, "karre", setting, true), 1);
    setting = 1;
    EXPECT_EQ(LinkStyleWord(h, "Bau", 1, "karre", setting, true), 0) << "karre has two meanings";
    EXPECT_EQ(LinkStyleWord(h, "Bau", 1, "wagen", setting, true), 1);
    EXPECT_EQ(conflicts.size(), 2u);
    EXPECT_EQ(chosen, 1);
}

TEST_F(StyleNet, UnlinkingEveryMeaningKeepsDescribedOnes) {
    ASSERT_EQ(link("auto", 1, "wagen"), 1);
    SetMeaningDescription(h, 2, "auto", "zweite");
    ASSERT_EQ(link("auto", 3, "karre"), 1);
    ASSERT_EQ(meanings("auto").size(), 3u);
    SetMeaningDescription(h, 1, "auto", "erste");
    std::uint32_t r = UnlinkStyleWord(h, 0, "auto");
    EXPECT_NE(r, 0u);
    auto m = meanings("auto");
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].group, 0u);
    EXPECT_EQ(description("auto", 1), "erste");
    EXPECT_EQ(description("auto", 2), "zweite");
    EXPECT_EQ(record("wagen"), 0u);
    EXPECT_EQ(record("karre"), 0u);
}

} // namespace
} // namespace wortex::test

namespace wortex::test {
namespace {

TEST_F(StyleNet, DeletingAndRenamingCarryTheStyleData) {
    ASSERT_EQ(link("auto", 1, "wagen"), 1);
    ASSERT_EQ(link("auto", 1, "karre"), 1);
    SetMeaningDescription(h, 1, "karre", "alt");
    ASSERT_EQ(ChangeDictionaryWord(h, "karre", "Karre", false, false), 1);
    EXPECT_EQ(members("auto", 1), (Words{"auto", "Karre", "wagen"}));
    ASSERT_EQ(DeleteDictionaryWord(h, "Karre"), 1);
    EXPECT_EQ(members("auto", 1), (Words{"auto", "wagen"}));
    ASSERT_EQ(AddDictionaryWord(h, "karre", false, false, 0, 0), 1);
    EXPECT_EQ(record("karre"), 0u);
    ASSERT_EQ(DeleteDictionaryWord(h, "wagen"), 1);
    EXPECT_EQ(record("auto"), 0u) << "the group of two went with the deleted word";
}

// Another process holding the style lock: an open file description of its own.
class HeldByOther {
public:
    HeldByOther(const std::string& path, std::uint32_t key) : fd_(::open(path.c_str(), O_RDWR)) {
        struct flock fl {};
        fl.l_type = F_WRLCK;
        fl.l_whence = SEEK_SET;
        fl.l_start = key;
        fl.l_len = 1;
        held_ = fd_ >= 0 && ::fcntl(fd_, F_OFD_SETLK, &fl) == 0;
    }
    ~HeldByOther() {
        if (fd_ >= 0) ::close(fd_);
    }
    bool held() const { return held_; }

private:
    int fd_;
    bool held_ = false;
};

TEST_F(StyleNet, RefusedStyleLockChangesNothing) {
    ASSERT_EQ(link("auto", 1, "wagen"), 1);
    SetMeaningDescription(h, 1, "auto", "Fahrzeug");
    Bytes before = readAll(path);
    std::uint32_t autoRecord = record("auto"), wagenRecord = record("wagen");
    {
        ASSERT_EQ(FlushDBFile(h), 1);
        before = readAll(path);
        HeldByOther other(path, node().styles.wordTable());
        ASSERT_TRUE(other.held());
        ui.answers.assign(20, win32::IDABORT);
        EXPECT_EQ(SetMeaningDescription(h, 1, "auto", "anders"), autoRecord);
        EXPECT_EQ(SetMeaningDescription(h, 2, "karre", "neu"), 0u);
        EXPECT_EQ(link("auto", 1, "karre"), 0);
        EXPECT_EQ(link("wagen", 1, "heim"), 0);
        EXPECT_EQ(UnlinkStyleWord(h, 1, "wagen"), wagenRecord);
        EXPECT_EQ(UnlinkStyleWord(h, 0, "auto"), autoRecord);
        EXPECT_EQ(GetLinkingMeaning(h, "auto", "wagen"), 0);
        ASSERT_EQ(FlushDBFile(h), 1);
        EXPECT_EQ(readAll(path), before) << "the style data stayed as it was";
        EXPECT_TRUE(conflicts.empty());
        EXPECT_FALSE(ui.shown.empty()) << "the lock question was asked";
    }
    EXPECT_EQ(GetLinkingMeaning(h, "auto", "wagen"), 1);
    EXPECT_EQ(description("auto", 1), "Fahrzeug");
}

TEST_F(StyleNet, CopyingTakesOverDescriptionsAndWholeGroups) {
    // Source: auto ~ kraftwagen ~ wagen, auto described; the destination lacks kraftwagen.
    std::string src = dir.file("quelle.wxd");
    ASSERT_EQ(CreateDictionaryFile(src, 'd'), 1);
    DBHandle s = OpenDictionary(false, src);
    for (const char* w : {"auto", "kraftwagen", "wagen"})
        ASSERT_EQ(AddDictionaryWord(s, w, false, false, 0, 0), 1);
    int setting = 0;
    ASSERT_EQ(LinkStyleWord(s, "auto", 1, "wagen", setting, false), 1);
    ASSERT_EQ(LinkStyleWord(s, "auto", 1, "kraftwagen", setting, false), 1);
    ASSERT_NE(SetMeaningDescription(s, 1, "auto", "Fahrzeug"), 0u);
    DictionaryNode* sn = FindDictionaryNode(s);
    ASSERT_EQ(DeleteDictionaryWord(h, "kraftwagen"), 1);
    std::uint32_t r = 0;
    auto copy = [&](const char* w) {
        StyleRecordOf(*sn, w, r);
        return CopyStyleEntries(sn->words, sn->styles, h, w, r, setting);
    };
    EXPECT_EQ(copy("auto"), 1) << "its description";
    EXPECT_EQ(description("auto", 1), "Fahrzeug");
    EXPECT_TRUE(members("auto", 1).empty()) << "auto is not the group's last member";
    EXPECT_EQ(copy("wagen"), 1) << "wagen is the last member: the group comes over";
    EXPECT_EQ(members("auto", 1), (Words{"auto", "wagen"}));
    EXPECT_EQ(copy("kraftwagen"), 0) << "not in the destination";
    EXPECT_EQ(chosen, 1) << "with setting 0 the described auto's meaning was asked for";
    CloseDictionary(s);
}

} // namespace
} // namespace wortex::test

namespace wortex::test {
namespace {

TEST_F(StyleNet, LinkingAWordWithAGroupJoinsTheGroups) {
    ASSERT_EQ(link("auto", 1, "wagen"), 1);
    ASSERT_EQ(link("karre", 1, "heim"), 1);
    std::uint32_t second = meanings("heim")[0].group;
    chooseAnswer = 1;
    ASSERT_EQ(link("auto", 1, "karre"), 1);
    EXPECT_EQ(chosen, 1);
    const Words all{"auto", "heim", "karre", "wagen"};
    for (const char* w : {"auto", "heim", "karre", "wagen"})
        EXPECT_EQ(members(w, 1), all) << w;
    EXPECT_EQ(meanings("heim")[0].group, meanings("auto")[0].group);
    EXPECT_NE(meanings("heim")[0].group, second) << "the second group is gone";
}

} // namespace
} // namespace wortex::test

namespace wortex::test {
namespace {

// A second process that tries the style byte whenever asked, through an open file description of its own,
// and lets go of it at once.
class OtherProcess {
public:
    OtherProcess(const std::string& path, std::uint32_t key) {
        int ask[2], answer[2];
        if (::pipe(ask) != 0 || ::pipe(answer) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ask[1]);
            ::close(answer[0]);
            int fd = ::open(path.c_str(), O_RDWR);
            char c;
            while (::read(ask[0], &c, 1) == 1) {
                struct flock fl {};
                fl.l_type = F_WRLCK;
                fl.l_whence = SEEK_SET;
                fl.l_start = key;
                fl.l_len = 1;
                char got = fd >= 0 && ::fcntl(fd, F_OFD_SETLK, &fl) == 0 ? 'f' : 'h';
                if (got == 'f') {
                    fl.l_type = F_UNLCK;
                    ::fcntl(fd, F_OFD_SETLK, &fl);
                }
                if (::write(answer[1], &got, 1) != 1) break;
            }
            ::_exit(0);
        }
        ::close(ask[0]);
        ::close(answer[1]);
        ask_ = ask[1];
        answer_ = answer[0];
    }
    ~OtherProcess() {
        if (ask_ >= 0) ::close(ask_);
        if (answer_ >= 0) ::close(answer_);
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
    }
    // Whether the other process's try-lock failed: the byte is held.
    bool refused() {
        char c = '?';
        return ask_ >= 0 && ::write(ask_, "?", 1) == 1 && ::read(answer_, &c, 1) == 1 && c == 'h';
    }

private:
    pid_t pid_ = -1;
    int ask_ = -1, answer_ = -1;
};

TEST_F(StyleNet, StyleOperationsKeepOtherProcessesOutUntilTheyEnd) {
    OtherProcess other(path, node().styles.wordTable());
    ASSERT_EQ(link("heim", 1, "haus"), 1);
    const struct {
        const char* what;
        std::function<bool()> run;
    } cases[] = {
        {"a new group", [&] { return link("auto", 1, "wagen") == 1; }},
        {"a word into a group", [&] { return link("auto", 1, "karre") == 1; }},
        {"two groups joined", [&] { return link("auto", 1, "heim") == 1; }},
        {"a word out of a group", [&] { return UnlinkStyleWord(h, 1, "karre") == 0; }},
        {"a word out of every group", [&] { return UnlinkStyleWord(h, 0, "auto") == 0; }},
    };
    std::vector<bool> refusedAtWrites;
    win32::SetFileTraceHook([&](win32::FileOp op, std::uint64_t, win32::DWORD) {
        if (op == win32::FileOp::Write) refusedAtWrites.push_back(other.refused());
    });
    for (const auto& c : cases) {
        refusedAtWrites.clear();
        EXPECT_TRUE(c.run()) << c.what;
        EXPECT_FALSE(refusedAtWrites.empty()) << c.what;
        EXPECT_EQ(std::count(refusedAtWrites.begin(), refusedAtWrites.end(), false), 0)
            << c.what << ": every write of the operation happens with the lock held";
        EXPECT_FALSE(other.refused()) << c.what << ": free once it ended";
    }
    win32::SetFileTraceHook({});
    EXPECT_EQ(members("haus", 1), (Words{"haus", "heim", "wagen"}));
}

} // namespace
} // namespace wortex::test
