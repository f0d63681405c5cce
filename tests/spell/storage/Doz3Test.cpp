#include "SpellTestSupport.h"

#include "Doz3Format.h"
#include "platform/win32/FileApi.h"
#include "platform/win32/Kernel.h"

#include <cstring>
#include <map>
#include <random>
#include <sys/stat.h>
#include <tuple>

namespace wortex::test {
namespace {

using namespace win32;

std::uint32_t le32(const std::vector<unsigned char>& b, std::size_t at) {
    return doz3::get32(b.data() + at);
}
std::uint16_t le16(const std::vector<unsigned char>& b, std::size_t at) {
    return doz3::get16(b.data() + at);
}

class Doz3 : public EngineTest {
protected:
    void TearDown() override {
        SetFileFaultHook({});
        Kernel::instance().setTickSource({});
        EngineTest::TearDown();
    }
    std::vector<std::string> problems(const std::string& path, std::vector<std::uint32_t> tables,
                                      std::vector<Doz3Checker::Record> records = {}) {
        return Doz3Checker::fromFile(path).check(tables, records);
    }
    // A handle of "another process": its own open file description, so its locks conflict with ours.
    HANDLE otherOpen(const std::string& path) {
        return CreateFile(path, GENERIC_READ | GENERIC_WRITE, 3, OPEN_EXISTING);
    }
};

TEST_F(Doz3, NewFileHeaderAndFirstTable) {
    std::string path = dir.file("neu.wxd");
    DBHandle h = createAndOpen("neu.wxd");
    auto bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 340u);
    EXPECT_EQ(le32(bytes, 0), 1u) << "change counter";
    EXPECT_EQ(le16(bytes, 4), 1024);
    EXPECT_EQ(le32(bytes, 6), 0u);
    EXPECT_EQ(le16(bytes, 10), 340);
    EXPECT_EQ(le16(bytes, 12), 1024);
    EXPECT_EQ(le16(bytes, 14), 1);
    EXPECT_EQ(le32(bytes, 18), 0u);
    EXPECT_EQ(le16(bytes, 22), 0);
    EXPECT_EQ(std::string(bytes.begin() + 24, bytes.begin() + 28), "DOZ3");
    EXPECT_EQ(le32(bytes, 48), 1024u) << "space ends past the file";
    for (std::size_t i = 52; i < 340; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_TRUE(problems(path, {}).empty());

    std::uint32_t t = CreateDBTable(h, 0);
    EXPECT_EQ(t, 1024u) << "the first chunk goes where space ends";
    EXPECT_EQ(CreateDBTable(h, 40), 2048u);
    CloseDBFile(h);
    bytes = readAll(path);
    EXPECT_EQ(le32(bytes, 0), 3u) << "each table creation released the file once";
    EXPECT_EQ(le32(bytes, 48), 3072u);
    EXPECT_EQ(le16(bytes, 1024 + 4), 1024);
    EXPECT_EQ(le32(bytes, 1024 + 6), 1024u);
    EXPECT_EQ(le16(bytes, 1024 + 10), 24);
    EXPECT_EQ(le16(bytes, 1024 + 14), 1) << "0 pages per chunk counts as 1";
    EXPECT_EQ(le16(bytes, 2048 + 14), 16) << "clamped to 16";
    EXPECT_TRUE(problems(path, {1024, 2048}).empty());
}

// The content stamp moves with every write, open and close, except for writes into an excluded file.
TEST_F(Doz3, ContentStampMovesWithWritesOpensAndCloses) {
    DBHandle shared = createAndOpen("woerter.db");
    DBHandle own = createAndOpen("verlauf.db");
    ExcludeFromContentStamp(own);
    const unsigned char bytes[4] = {1, 2, 3, 4};
    std::uint64_t before = DBContentStamp();
    unsigned char read[4] = {};
    ASSERT_EQ(ReadDBBytes(shared, 0, read, 4), 1);
    EXPECT_EQ(DBContentStamp(), before) << "a read";
    ASSERT_EQ(WriteDBBytes(own, 512, bytes, 4), 1);
    ASSERT_NE(AllocDBRecord(own, 40, 0), 0u);
    EXPECT_EQ(DBContentStamp(), before) << "writes into the excluded file";
    ASSERT_EQ(WriteDBBytes(shared, 512, bytes, 4), 1);
    std::uint64_t written = DBContentStamp();
    EXPECT_NE(written, before) << "a write";
    DBHandle again = OpenDBFile(dir.file("woerter.db"), 4);
    ASSERT_NE(again, 0);
    EXPECT_NE(DBContentStamp(), written) << "an open";
    std::uint64_t opened = DBContentStamp();
    CloseDBFile(own);
    EXPECT_NE(DBContentStamp(), opened) << "a close";
    CloseDBFile(again);
    CloseDBFile(shared);
}

TEST_F(Doz3, DirectoryRegistersTenNames) {
    DBHandle h = createAndOpen("dir.wxd");
    EXPECT_EQ(FindDBTable(h, "Worte"), 0u);
    for (std::uint32_t i = 0; i < 10; ++i)
        ASSERT_EQ(AddDBTable(h, ("T" + std::to_string(i)).c_str(), 1000 + i), 1);
    EXPECT_EQ(FindDBTable(h, "T7"), 1007u);
    EXPECT_EQ(FindDBTable(h, "t7"), 0u) << "names are case-sensitive";
    EXPECT_EQ(AddDBTable(h, "T10", 2000), 0);
    EXPECT_EQ(shownTexts(), std::vector<std::string>{"Too many DB files|DOZ3 Error"});
    EXPECT_EQ(ui.shown[0].style, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(FindDBTable(h, "T10"), 0u);
    EXPECT_EQ(AddDBTable(h, "a name of twenty chr", 5), 0) << "at most 19 characters";
    CloseDBFile(h);
}

TEST_F(Doz3, HandlesOnOnePathShareTheFile) {
    std::string path = dir.file("Geteilt.WXD");
    DBHandle a = createAndOpen("Geteilt.WXD");
    DBHandle b = OpenDBFile(dir.file("geteilt.wxd"), 4);
    ASSERT_NE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(IsDBFileOpen(dir.file("GETEILT.wxd")), 1);
    ASSERT_EQ(WriteDBBytes(a, 600, "abc", 3), 1);
    char buf[4] = {};
    EXPECT_EQ(ReadDBBytes(b, 600, buf, 3), 1) << "same record, same cache";
    EXPECT_STREQ(buf, "abc");
    char name[260];
    ASSERT_EQ(GetDBFileName(b, name), 1);
    EXPECT_EQ(std::string(name), CanonicalPath(path));
    EXPECT_EQ(CreateDBFile(path), 0) << "an open file is not replaced";
    CloseDBFile(a);
    EXPECT_EQ(IsDBFileOpen(path), 1);
    CloseDBFile(b);
    EXPECT_EQ(IsDBFileOpen(path), 0);
    EXPECT_EQ(GetDBFileName(b, name), 0);
    EXPECT_EQ(OpenDBFile(dir.file("fehlt.wxd"), 4), 0);
    EXPECT_EQ(OpenDBFile(dir.path(), 4), 0) << "a directory";
    EXPECT_EQ(OpenDBFile("fehlt-ohne-pfad.wxd", 4), 0);
}

TEST_F(Doz3, ReadAcrossTheEndReturnsWhatExists) {
    std::string path = dir.file("ende.wxd");
    DBHandle h = createAndOpen("ende.wxd");
    unsigned char buf[100];
    std::memset(buf, 0xAA, sizeof buf);
    EXPECT_EQ(ReadDBBytes(h, 300, buf, 100), 0);
    EXPECT_EQ(buf[0], 0) << "header bytes 300..339 were copied";
    EXPECT_EQ(buf[39], 0);
    EXPECT_EQ(buf[40], 0xAA) << "nothing past the end";
    EXPECT_EQ(ReadDBBytes(h, 5000, buf, 0), 1) << "length 0";
    // A read over a page boundary.
    std::vector<unsigned char> pattern(1500);
    for (std::size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = static_cast<unsigned char>(i * 7);
    ASSERT_EQ(WriteDBBytes(h, 1000, pattern.data(), 1500), 1);
    std::vector<unsigned char> back(1500);
    EXPECT_EQ(ReadDBBytes(h, 1000, back.data(), 1500), 1);
    EXPECT_EQ(back, pattern);
    CloseDBFile(h);
    auto bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 2500u);
    EXPECT_TRUE(std::equal(pattern.begin(), pattern.end(), bytes.begin() + 1000));
}

TEST_F(Doz3, ShortReadLeavesNoStaleBytesInTheCache) {
    // Fill every cache buffer with 0xFF from one file, then extend a short file inside its first page.
    std::string full = dir.file("voll.wxd");
    writeAll(full, std::vector<unsigned char>(130 * 1024, 0xFF));
    DBHandle f = OpenDBTextFile(full, 4);
    ASSERT_NE(f, 0);
    unsigned char sink[1024];
    for (std::uint32_t p = 0; p < 130; ++p)
        ReadDBBytes(f, 0, sink, sizeof sink);
    CloseDBFile(f);

    std::string path = dir.file("kurz.wxd");
    DBHandle h = createAndOpen("kurz.wxd");
    ASSERT_EQ(WriteDBBytes(h, 900, "x", 1), 1);
    char buf[8];
    EXPECT_EQ(ReadDBBytes(h, 500, buf, 8), 1);
    for (char c : buf)
        EXPECT_EQ(c, 0);
    CloseDBFile(h);
    auto bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 901u);
    for (std::size_t i = 340; i < 900; ++i)
        ASSERT_EQ(bytes[i], 0) << i;
}

using Entries = std::vector<std::pair<std::uint32_t, std::uint16_t>>;

// The free entries of a table, block after block.
Entries freeEntries(const std::string& path, std::uint32_t table) {
    auto bytes = readAll(path);
    Entries out;
    for (std::uint32_t block = le32(bytes, table + 18); block; block = le32(bytes, block))
        for (int i = 0; i < 339 && le16(bytes, block + 12 + 6 * i); ++i)
            out.push_back({le32(bytes, block + 8 + 6 * i), le16(bytes, block + 12 + 6 * i)});
    return out;
}

bool has(const Entries& e, std::uint32_t offset, std::uint16_t length) {
    return std::find(e.begin(), e.end(), std::make_pair(offset, length)) != e.end();
}

TEST_F(Doz3, FreeListJoinsNeighboursAndPicksEntries) {
    std::string path = dir.file("frei.wxd");
    DBHandle h = createAndOpen("frei.wxd");
    ASSERT_EQ(LockDBFile(h, 0), 1);
    std::uint32_t t = CreateDBTable(h, 16);
    std::uint32_t r[6];
    for (auto& x : r)
        x = AllocDBRecord(h, 100, t);
    std::uint32_t guard = AllocDBRecord(h, 10, t);
    for (int i = 1; i < 6; ++i)
        ASSERT_EQ(r[i], r[0] + 100 * i) << "carved one after another";
    EXPECT_EQ(AllocDBRecord(h, 0, t), 0u);

    FreeDBRecord(h, r[1], 100, t); // needs the first free block: a new chunk, the first chunk's tail freed
    FreeDBRecord(h, r[2], 100, t); // follows the entry
    FreeDBRecord(h, r[0], 100, t); // precedes it
    FreeDBRecord(h, r[4], 100, t);
    FreeDBRecord(h, r[3], 100, t); // fills the gap: one entry of 500
    UnlockDBFile(h, 0);
    const std::uint16_t tail = 1024 - 24 - 610;
    EXPECT_EQ(freeEntries(path, t), (Entries{{r[0], 500}, {guard + 10, tail}})) << "ascending, joined";
    EXPECT_EQ(le16(readAll(path), t + 22), 2) << "free count";
    EXPECT_TRUE(problems(path, {t}, {{r[5], 100, t}, {guard, 10, t}}).empty());

    ASSERT_EQ(LockDBFile(h, 0), 1);
    FreeDBRecord(h, guard, 1, t);
    ASSERT_EQ(FlushDBFile(h), 1);
    EXPECT_EQ(freeEntries(path, t).size(), 2u) << "a 1-byte record is never recorded";
    EXPECT_EQ(AllocDBRecord(h, 390, t), guard + 10) << "exact fit";
    std::uint32_t a = AllocDBRecord(h, 300, t);
    EXPECT_EQ(a, r[0]) << "the shortest entry longer than size + 5";
    std::uint32_t pad = AllocDBRecord(h, 176, t);
    EXPECT_EQ(pad, r[0] + 300);
    // 24 bytes left of the entry: a 20-byte request passes over it, a 24-byte one takes it.
    ASSERT_EQ(FlushDBFile(h), 1);
    EXPECT_TRUE(has(freeEntries(path, t), r[0] + 476, 24));
    std::uint32_t b = AllocDBRecord(h, 20, t);
    EXPECT_NE(b, r[0] + 476);
    EXPECT_EQ(AllocDBRecord(h, 24, t), r[0] + 476);
    UnlockDBFile(h, 0);
    EXPECT_TRUE(freeEntries(path, t).empty());
    EXPECT_TRUE(problems(path, {t},
                         {{r[5], 100, t},
                          {guard + 10, 390, t},
                          {a, 300, t},
                          {pad, 176, t},
                          {b, 20, t},
                          {r[0] + 476, 24, t}})
                    .empty());
    CloseDBFile(h);
}

TEST_F(Doz3, JoiningStopsAt30000) {
    std::string path = dir.file("lang.wxd");
    DBHandle h = createAndOpen("lang.wxd");
    ASSERT_EQ(LockDBFile(h, 0), 1);
    for (std::uint16_t second : {10, 11}) {
        std::uint32_t t = CreateDBTable(h, 1);
        AllocDBRecord(h, 1000, t); // fills the first chunk exactly: no tail
        std::uint32_t a = AllocDBRecord(h, 29990, t);
        std::uint32_t b = AllocDBRecord(h, second, t);
        AllocDBRecord(h, 10, t);
        ASSERT_EQ(b, a + 29990);
        FreeDBRecord(h, a, 29990, t);
        FreeDBRecord(h, b, second, t);
        Entries e = (UnlockDBFile(h, 0), freeEntries(path, t));
        ASSERT_EQ(LockDBFile(h, 0), 1);
        if (second == 10) {
            EXPECT_TRUE(has(e, a, 30000)) << "joined to exactly 30000";
        } else {
            EXPECT_TRUE(has(e, a, 29990) && has(e, b, 11)) << "not joined beyond 30000";
        }
    }
    UnlockDBFile(h, 0);
    CloseDBFile(h);
}

TEST_F(Doz3, YoungTableGetsNewChunkBeforeItsTailIsFreed) {
    // The tail of the first chunk needs a free block, which itself needs a chunk: no endless recursion.
    std::string path = dir.file("jung.wxd");
    DBHandle h = createAndOpen("jung.wxd");
    ASSERT_EQ(LockDBFile(h, 0), 1);
    std::uint32_t t = CreateDBTable(h, 1);
    std::uint32_t r = AllocDBRecord(h, 1001, t);
    ASSERT_NE(r, 0u);
    std::uint32_t f = AllocDBRecord(h, 1000, 0); // the header page's tail likewise
    ASSERT_NE(f, 0u);
    UnlockDBFile(h, 0);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(has(freeEntries(path, t), t + 24, 1000)) << "the first chunk's tail is free";
    EXPECT_TRUE(has(freeEntries(path, 0), 340, 684)) << "and the header page's";
    auto found = problems(path, {t}, {{r, 1001, t}, {f, 1000, 0}});
    EXPECT_TRUE(found.empty()) << found.front();
    CloseDBFile(h);
}

TEST_F(Doz3, BadFreesAreRefusedWithMessages) {
    std::string path = dir.file("doppelt.wxd");
    DBHandle h = createAndOpen("doppelt.wxd");
    ASSERT_EQ(LockDBFile(h, 0), 1);
    std::uint32_t t = CreateDBTable(h, 1);
    std::uint32_t a = AllocDBRecord(h, 50, t);
    std::uint32_t b = AllocDBRecord(h, 50, t);
    AllocDBRecord(h, 50, t);
    FreeDBRecord(h, a, 50, t);
    FreeDBRecord(h, a, 50, t);
    FreeDBRecord(h, a + 10, 50, t);
    FreeDBRecord(h, b, 0, t); // nothing
    UnlockDBFile(h, 0);
    EXPECT_EQ(shownTexts(),
              (std::vector<std::string>{"Deallocate twice|DOZ3 Error", "Bad Deallocate|DOZ3 Error"}));
    for (const auto& s : ui.shown)
        EXPECT_EQ(s.style, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_TRUE(has(freeEntries(path, t), a, 50)) << "recorded once";
    ui.shown.clear();
    UnlockDBFile(h, 0);
    EXPECT_EQ(shownTexts(), std::vector<std::string>{"File already unlocked|Program error"});
    EXPECT_EQ(ui.shown[0].style, MB_OK);
    CloseDBFile(h);
}

TEST_F(Doz3, NestedLocksWriteTheCounterOnceAndByteLocksInsideCostNothing) {
    std::string path = dir.file("lock.wxd");
    DBHandle h = createAndOpen("lock.wxd");
    HANDLE other = otherOpen(path);
    ASSERT_NE(other, 0u);
    const DWORD now = LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY;
    ASSERT_EQ(LockDBFile(h, 0), 1);
    ASSERT_EQ(LockDBFile(h, 0), 1);
    EXPECT_FALSE(LockFileEx(other, now, 500, 1)) << "whole file held";
    EXPECT_EQ(LockDBFile(h, 77), 1);
    EXPECT_TRUE(LockFileEx(other, now, 100000000, 1));
    UnlockFileEx(other, 100000000, 1);
    ASSERT_EQ(WriteDBBytes(h, 400, "z", 1), 1);
    UnlockDBFile(h, 77);
    UnlockDBFile(h, 0);
    EXPECT_EQ(le32(readAll(path), 0), 1u) << "inner unlock: nothing written";
    EXPECT_EQ(readAll(path).size(), 340u);
    UnlockDBFile(h, 0);
    EXPECT_EQ(le32(readAll(path), 0), 2u);
    EXPECT_TRUE(LockFileEx(other, now, 500, 1)) << "released";
    UnlockFileEx(other, 500, 1);
    // A one-byte lock on its own flushes when released.
    ASSERT_EQ(LockDBFile(h, 1024), 1);
    EXPECT_FALSE(LockFileEx(other, now, 1024, 1));
    EXPECT_TRUE(LockFileEx(other, now, 1025, 1));
    UnlockFileEx(other, 1025, 1);
    ASSERT_EQ(WriteDBBytes(h, 401, "y", 1), 1);
    UnlockDBFile(h, 1024);
    EXPECT_EQ(le32(readAll(path), 0), 3u);
    // A byte lock held when the whole file is locked and released stays held.
    ASSERT_EQ(LockDBFile(h, 2048), 1);
    ASSERT_EQ(LockDBFile(h, 0), 1);
    UnlockDBFile(h, 0);
    EXPECT_FALSE(LockFileEx(other, now, 2048, 1)) << "byte still locked";
    EXPECT_TRUE(LockFileEx(other, now, 2047, 1));
    EXPECT_TRUE(LockFileEx(other, now, 2049, 1));
    UnlockFileEx(other, 2047, 3);
    UnlockDBFile(h, 2048);
    EXPECT_TRUE(LockFileEx(other, now, 2048, 1));
    CloseHandle(other);
    EXPECT_TRUE(ui.shown.empty());
    CloseDBFile(h);
}

// A lock another process holds is waited for some seconds; then the user is asked, in German, whether to
// give up, wait on or go on without it.
TEST_F(Doz3, LockProblemWaitsThenAsksAbortRetryIgnore) {
    std::string path = dir.file("besetzt.wxd");
    DBHandle h = createAndOpen("besetzt.wxd");
    HANDLE other = otherOpen(path);
    ASSERT_TRUE(LockFileEx(other, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1));
    DWORD clock = 0;
    int ticksAsked = 0;
    Kernel::instance().setTickSource([&] {
        ++ticksAsked;
        return clock += 1000;
    });
    char full[260] = {};
    ASSERT_EQ(GetDBFileName(h, full), 1);
    const std::string question =
        std::string("Die Datei ") + full + " wird gerade von einem anderen Programm ge\xe4ndert.|Wortex";

    ui.answers = {IDABORT};
    EXPECT_EQ(LockDBFile(h, 0), 0);
    ASSERT_EQ(shownTexts(), std::vector<std::string>{question});
    EXPECT_EQ(ui.shown[0].style, MB_ABORTRETRYIGNORE | MB_ICONQUESTION);
    EXPECT_EQ(ticksAsked, 10) << "five clock steps of waiting before the question";
    EXPECT_EQ(WriteDBBytes(h, 400, "a", 1), 1);
    UnlockDBFile(h, 0);
    EXPECT_EQ(ui.shown.back().text, "File already unlocked") << "Abort changed nothing";

    ui.shown.clear();
    ui.answers = {IDRETRY, IDIGNORE};
    EXPECT_EQ(LockDBFile(h, 0), 1);
    EXPECT_EQ(ui.shown.size(), 2u) << "asked again after ten more tries";
    EXPECT_GE(ticksAsked, 30);
    UnlockDBFile(h, 0);

    // The other side lets go while the lock is waited for: no question at all.
    ui.shown.clear();
    ticksAsked = 0;
    Kernel::instance().setTickSource([&] {
        if (++ticksAsked == 7) UnlockFileEx(other, 0, 1);
        return clock += 1000;
    });
    EXPECT_EQ(LockDBFile(h, 0), 1);
    EXPECT_TRUE(ui.shown.empty());
    UnlockDBFile(h, 0);
    CloseHandle(other);
    CloseDBFile(h);
}

// Readers share the file with readers of other processes; a writer's lock, of another process or of the
// reader's own, keeps them out only while it is held, and gives the reader its shared lock back.
TEST_F(Doz3, ReadersShareTheFileAndWritersWaitForThem) {
    std::string path = dir.file("geteilt.wxd");
    DBHandle h = createAndOpen("geteilt.wxd");
    HANDLE other = otherOpen(path);
    ASSERT_NE(other, 0u);
    const DWORD now = LOCKFILE_FAIL_IMMEDIATELY;
    const DWORD write = LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY;
    auto sharedFree = [&](std::uint64_t at) {
        bool ok = LockFileEx(other, now, at, 1);
        if (ok) UnlockFileEx(other, at, 1);
        return ok;
    };
    auto writeFree = [&](std::uint64_t at) {
        bool ok = LockFileEx(other, write, at, 1);
        if (ok) UnlockFileEx(other, at, 1);
        return ok;
    };

    // Another reader holds the file: this one opens and reads beside it, without a question.
    ASSERT_TRUE(LockFileEx(other, now, 0, 100000000));
    ASSERT_EQ(LockDBFileShared(h), 1);
    ASSERT_EQ(LockDBFileShared(h), 1);
    UnlockDBFileShared(h);
    UnlockFileEx(other, 0, 100000000);
    EXPECT_FALSE(writeFree(500)) << "the outer read lock still holds";
    EXPECT_TRUE(sharedFree(500));

    // A write of its own inside the read: the byte is the writer's while it writes, then shared again.
    ASSERT_EQ(LockDBFile(h, 1024), 1);
    EXPECT_FALSE(sharedFree(1024));
    EXPECT_TRUE(sharedFree(2000));
    ASSERT_EQ(WriteDBBytes(h, 400, "r", 1), 1);
    UnlockDBFile(h, 1024);
    EXPECT_TRUE(sharedFree(1024));
    EXPECT_FALSE(writeFree(1024));
    ASSERT_EQ(LockDBFile(h, 0), 1);
    EXPECT_FALSE(sharedFree(3000));
    UnlockDBFile(h, 0);
    EXPECT_TRUE(sharedFree(3000));
    EXPECT_FALSE(writeFree(3000));
    UnlockDBFileShared(h);
    EXPECT_TRUE(writeFree(0));
    EXPECT_TRUE(writeFree(1024));
    EXPECT_EQ(readAll(path)[400], 'r');

    // A writer of another process holds the file: the reader waits for it, as a writer does.
    ASSERT_TRUE(LockFileEx(other, write, 0, 1));
    DWORD clock = 0;
    int ticksAsked = 0;
    Kernel::instance().setTickSource([&] {
        if (++ticksAsked == 3) UnlockFileEx(other, 0, 1);
        return clock += 1000;
    });
    EXPECT_EQ(LockDBFileShared(h), 1);
    EXPECT_FALSE(writeFree(0));
    UnlockDBFileShared(h);
    EXPECT_TRUE(ui.shown.empty());
    CloseHandle(other);
    CloseDBFile(h);
}

TEST_F(Doz3, ChangeCounterTellsOtherHandlesToDropTheirPages) {
    std::string path = dir.file("zaehler.wxd");
    DBHandle h = createAndOpen("zaehler.wxd");
    ASSERT_EQ(LockDBFile(h, 0), 1);
    ASSERT_EQ(WriteDBBytes(h, 500, "old", 3), 1);
    UnlockDBFile(h, 0);
    char buf[4] = {};
    ASSERT_EQ(ReadDBBytes(h, 500, buf, 3), 1);
    // Another writer changes the file on disk and raises the counter.
    HANDLE other = otherOpen(path);
    DWORD n;
    WriteFileAt(other, 500, "new", 3, &n);
    unsigned char counter[4];
    doz3::put32(counter, 99);
    WriteFileAt(other, 0, counter, 4, &n);
    CloseHandle(other);
    ASSERT_EQ(ReadDBBytes(h, 500, buf, 3), 1);
    EXPECT_STREQ(buf, "old") << "no lock, no refresh";
    ASSERT_EQ(LockDBFile(h, 0), 1);
    ASSERT_EQ(ReadDBBytes(h, 500, buf, 3), 1);
    EXPECT_STREQ(buf, "new");
    UnlockDBFile(h, 0);
    CloseDBFile(h);
}

TEST_F(Doz3, CounterOnDiskNeverGoesBack) {
    // The counter is written past the cache; a cached page 0 must carry it too, or writing the header
    // record back later puts the old counter on disk.
    TermDBEngine();
    ASSERT_EQ(InitDBEngine(24), 1);
    std::string path = dir.file("rueck.wxd");
    DBHandle h = createAndOpen("rueck.wxd");
    ASSERT_EQ(LockDBFile(h, 0), 1);
    AllocDBRecord(h, 10, 0);
    UnlockDBFile(h, 0);
    EXPECT_EQ(le32(readAll(path), 0), 2u);
    ASSERT_EQ(LockDBFile(h, 0), 1);
    AllocDBRecord(h, 10, 0);
    std::vector<unsigned char> page(1024, 7);
    for (std::uint32_t p = 2; p < 40; ++p)
        WriteDBBytes(h, p * 1024, page.data(), 1024); // evicts page 0
    EXPECT_EQ(le32(readAll(path), 0), 2u);
    EXPECT_EQ(le16(readAll(path), 10), 360) << "page 0 did reach the disk";
    // Pages flushed under the lock still raise the counter at the final unlock.
    ASSERT_EQ(FlushDBFile(h), 1);
    EXPECT_EQ(le32(readAll(path), 0), 2u);
    UnlockDBFile(h, 0);
    EXPECT_EQ(le32(readAll(path), 0), 3u);
    // Closing with the lock still held raises it as well, so other processes see the change.
    ASSERT_EQ(LockDBFile(h, 0), 1);
    AllocDBRecord(h, 10, 0);
    CloseDBFile(h);
    EXPECT_EQ(le32(readAll(path), 0), 4u);
}

TEST_F(Doz3, FailedWriteIsReportedAndTheFileTakesNoMoreChanges) {
    std::string path = dir.file("fehler.wxd");
    DBHandle h = createAndOpen("fehler.wxd");
    ASSERT_EQ(LockDBFile(h, 0), 1);
    std::uint32_t t = CreateDBTable(h, 1);
    std::uint32_t r = AllocDBRecord(h, 8, t);
    ASSERT_EQ(WriteDBBytes(h, r, "original", 8), 1);
    UnlockDBFile(h, 0);
    auto before = readAll(path);

    SetFileFaultHook([](FileOp op) { return op == FileOp::Write; });
    ASSERT_EQ(LockDBFile(h, 0), 1);
    ASSERT_EQ(WriteDBBytes(h, r, "changed!", 8), 1) << "still only in the cache";
    UnlockDBFile(h, 0);
    EXPECT_EQ(shownTexts(), std::vector<std::string>{"Write Error|DOZ3 Error"});
    SetFileFaultHook({});
    EXPECT_EQ(WriteDBBytes(h, r, "again!!!", 8), 0);
    EXPECT_EQ(AllocDBRecord(h, 8, t), 0u);
    EXPECT_EQ(CreateDBTable(h, 1), 0u);
    CloseDBFile(h);
    EXPECT_EQ(readAll(path), before) << "the old data stays";
    EXPECT_EQ(ui.shown.size(), 1u) << "reported once";

    // A failed flush is reported too.
    h = OpenDBFile(path, 4);
    ui.shown.clear();
    SetFileFaultHook([](FileOp op) { return op == FileOp::Flush; });
    ASSERT_EQ(LockDBFile(h, 0), 1);
    WriteDBBytes(h, r, "changed!", 8);
    UnlockDBFile(h, 0);
    EXPECT_EQ(shownTexts(), std::vector<std::string>{"Write Error|DOZ3 Error"});
    SetFileFaultHook({});
    EXPECT_EQ(WriteDBBytes(h, r, "again!!!", 8), 0);
    CloseDBFile(h);
}

TEST_F(Doz3, CreateReplacesThroughATemporaryFile) {
    std::string path = dir.file("ersetzen.wxd");
    writeAll(path, std::vector<unsigned char>(5000, 'x'));
    SetFileFaultHook([](FileOp op) { return op == FileOp::Rename; });
    EXPECT_EQ(CreateDBFile(path), 0);
    EXPECT_EQ(readAll(path).size(), 5000u) << "old file intact";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary left";
    SetFileFaultHook({});
    EXPECT_EQ(CreateDBFile(path), 1);
    EXPECT_EQ(readAll(path).size(), 340u);
    EXPECT_EQ(CreateDBFile(dir.file("nicht/da.wxd")), 0);
    EXPECT_EQ(CreateDBFile(dir.path()), 0);
}

// Two hosts making one new file at the same moment: the one that comes second leaves the first one's file
// (and whatever it already wrote) in place.
TEST_F(Doz3, CreatingAFileThatAppearedMeanwhileKeepsIt) {
    std::string path = dir.file("eigene.wxd");
    SetFileFaultHook([&](FileOp op) {
        if (op == FileOp::Rename) writeAll(path, std::vector<unsigned char>(777, 'y'));
        return false;
    });
    EXPECT_EQ(CreateDBFile(path, true), 0);
    SetFileFaultHook({});
    EXPECT_EQ(readAll(path), std::vector<unsigned char>(777, 'y'));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary left";
    std::filesystem::remove(path);
    EXPECT_EQ(CreateDBFile(path, true), 1);
    EXPECT_EQ(readAll(path).size(), 340u);
}

// The file that replaces another keeps its permissions (a private history stays private), and whatever
// lies at the temporary name is never written through.
TEST_F(Doz3, ReplacementKeepsTheModeAndNeverFollowsALink) {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    struct Case {
        const char* name;
        int oldMode; // -1: no file before
        mode_t expected;
    } cases[] = {
        {"private history", 0600, 0600},
        {"group readable", 0640, 0640},
        {"new file", -1, 0666 & ~mask},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = dir.file(std::string(c.name) + ".wxd");
        if (c.oldMode >= 0) {
            writeAll(path, std::vector<unsigned char>(10, 'x'));
            ::chmod(path.c_str(), static_cast<mode_t>(c.oldMode));
        }
        ASSERT_EQ(CreateDBFile(path), 1);
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, c.expected);
        EXPECT_FALSE(std::filesystem::exists(path + ".~tmp"));
    }

    // A link planted at the temporary name, to a file or to nowhere: refused, nothing written through it.
    const std::string victim = dir.file("opfer.txt");
    writeAll(victim, {'w', 'i', 'c', 'h', 't', 'i', 'g'});
    for (const std::string& target : {victim, dir.file("gibt-es-nicht")}) {
        SCOPED_TRACE(target);
        std::string path = dir.file("verlauf.wxd");
        writeAll(path, std::vector<unsigned char>(10, 'x'));
        std::filesystem::remove(path + ".~tmp");
        std::filesystem::create_symlink(target, path + ".~tmp");
        EXPECT_EQ(CreateDBFile(path), 0);
        EXPECT_TRUE(std::filesystem::is_symlink(path + ".~tmp"));
        EXPECT_EQ(readAll(path).size(), 10u) << "old file intact";
    }
    EXPECT_EQ(readAll(victim), (std::vector<unsigned char>{'w', 'i', 'c', 'h', 't', 'i', 'g'}));
    EXPECT_FALSE(std::filesystem::exists(dir.file("gibt-es-nicht")));

    // A regular file left there by an interrupted write does not block the next creation.
    std::string path = dir.file("rest.wxd");
    writeAll(path + ".~tmp", std::vector<unsigned char>(7000, 'r'));
    EXPECT_EQ(CreateDBFile(path), 1);
    EXPECT_EQ(readAll(path).size(), 340u);
    EXPECT_FALSE(std::filesystem::exists(path + ".~tmp"));
}

TEST_F(Doz3, MalformedFilesAreErrorsNotCrashes) {
    std::string good = dir.file("gut.wxd");
    DBHandle h = createAndOpen("gut.wxd");
    ASSERT_EQ(LockDBFile(h, 0), 1);
    std::uint32_t t = CreateDBTable(h, 1);
    std::uint32_t r[4];
    for (auto& x : r)
        x = AllocDBRecord(h, 40, t);
    FreeDBRecord(h, r[1], 40, t);
    UnlockDBFile(h, 0);
    CloseDBFile(h);
    const auto bytes = readAll(good);
    const std::uint32_t block = le32(bytes, t + 18);
    ASSERT_NE(block, 0u);

    struct Case {
        const char* what;
        std::size_t at;
        std::uint32_t value;
        int width;
        bool engineNotices; // else the engine works around it, and only the checker objects
    };
    const Case cases[] = {
        {"end of space far out", 48, 0xFFFFF000u, 4, true},
        {"end of space inside the header", 48, 100, 4, true},
        {"table chunk past the end", t + 6, 0x7FFFFF00u, 4, true},
        {"used beyond the chunk", t + 10, 0xFFFF, 2, true},
        {"chunk size zero", t + 12, 0, 2, true},
        {"free list in a circle", block, block, 4, false},
        {"free block past the end", t + 18, 0x00FFFFF0u, 4, true},
        {"free entry past the end", block + 8, 0x00FFFFF0u, 4, true},
        {"pages per chunk zero", t + 14, 0, 2, true},
        {"header chunk past the end", 6, 0x10000u, 4, true},
    };
    for (const Case& c : cases) {
        std::string path = dir.file("kaputt.wxd");
        auto bad = bytes;
        if (c.width == 4)
            doz3::put32(bad.data() + c.at, c.value);
        else
            doz3::put16(bad.data() + c.at, c.value);
        writeAll(path, bad);
        EXPECT_FALSE(Doz3Checker::fromFile(path).check({t}).empty()) << c.what;
        ui.shown.clear();
        DBHandle k = OpenDBFile(path, 4);
        ASSERT_NE(k, 0) << c.what;
        ASSERT_EQ(LockDBFile(k, 0), 1);
        for (int i = 0; i < 5; ++i) {
            std::uint32_t x = AllocDBRecord(k, 40, t);
            FreeDBRecord(k, x ? x : r[2], 40, t);
            AllocDBRecord(k, 3000, 0);
        }
        UnlockDBFile(k, 0);
        CloseDBFile(k);
        if (!c.engineNotices) continue;
        EXPECT_EQ(shownTexts(), std::vector<std::string>{"Bad DB File|DOZ3 Error"}) << c.what;
        EXPECT_EQ(readAll(path), bad) << c.what << ": a damaged file is left as it was";
    }
}

TEST_F(Doz3, CheckerFindsOverlapsAndGaps) {
    std::string path = dir.file("pruef.wxd");
    DBHandle h = createAndOpen("pruef.wxd");
    ASSERT_EQ(LockDBFile(h, 0), 1);
    std::uint32_t t = CreateDBTable(h, 1);
    std::uint32_t a = AllocDBRecord(h, 40, t);
    std::uint32_t b = AllocDBRecord(h, 40, t);
    AllocDBRecord(h, 40, t);
    FreeDBRecord(h, a, 40, t);
    UnlockDBFile(h, 0);
    CloseDBFile(h);
    Doz3Checker ok = Doz3Checker::fromFile(path);
    EXPECT_TRUE(ok.check({t}, {{b, 40, t}}).empty());
    EXPECT_FALSE(ok.check({t}, {{a + 8, 40, t}}).empty()) << "a live record over a free entry";
    EXPECT_FALSE(ok.check({t}, {{b, 40, t}, {b + 39, 2, t}}).empty()) << "two records overlap";
    EXPECT_FALSE(ok.check({t}, {{t + 1100, 4, t}}).empty()) << "a record outside its table";
    EXPECT_FALSE(ok.check({}).empty()) << "a table the checker was not told of leaves a gap";
    EXPECT_TRUE(ok.check({}, {}, false).empty());
    auto bytes = readAll(path);
    doz3::put16(bytes.data() + t + 22, 5);
    EXPECT_FALSE(Doz3Checker(bytes).check({t}).empty()) << "free count";
    EXPECT_FALSE(Doz3Checker({1, 2, 3}).check({}).empty());
}

TEST_F(Doz3, TextLinesCrLfAndBreaksAtBlanks) {
    std::string path = dir.file("text.txt");
    writeAll(path, std::vector<unsigned char>{});
    std::string text = "erste Zeile\r\n\r\nzwei drei vier\r\nohneLeerzeichenLang\r\nabcdefgh ijk\r\nletzte";
    writeAll(path, {text.begin(), text.end()});
    DBHandle h = OpenDBTextFile(path, 3);
    ASSERT_NE(h, 0);
    std::vector<std::string> lines;
    char buf[9]; // 8 characters and the NUL
    while (ReadDBTextLine(h, buf, sizeof buf))
        lines.push_back(buf);
    EXPECT_EQ(lines, (std::vector<std::string>{"erste ", "Zeile", "", "zwei ", "drei ", "vier", "ohneLeer",
                                               "zeichenL", "ang", "abcdefgh", " ijk", "letzte"}));
    EXPECT_EQ(ReadDBTextLine(h, buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
    SetDBPosition(h, 6);
    EXPECT_EQ(GetDBPosition(h), 6u);
    char big[100];
    ASSERT_EQ(ReadDBTextLine(h, big, sizeof big), 1);
    EXPECT_STREQ(big, "Zeile");
    char two[8];
    SetDBPosition(h, 0);
    EXPECT_EQ(ReadDBBytes(h, 12345, two, 5), 1) << "sequential: the offset is the running position";
    EXPECT_EQ(std::string(two, 5), "erste");
    EXPECT_EQ(GetDBPosition(h), 5u);
    char one[1];
    EXPECT_EQ(ReadDBTextLine(h, one, 1), 0) << "no room for a character";
    CloseDBFile(h);
}

TEST_F(Doz3, ShareModesOfOpen) {
    std::string path = dir.file("teilen.wxd");
    ASSERT_EQ(CreateDBFile(path), 1);
    struct Case {
        int mode;
        bool otherReads, otherWrites;
    };
    for (Case c : {Case{1, false, false}, Case{2, true, true}, Case{3, true, false}, Case{4, true, true},
                   Case{5, true, false}, Case{6, false, false}, Case{9, false, false}}) {
        DBHandle h = OpenDBFile(path, c.mode);
        ASSERT_NE(h, 0) << c.mode;
        HANDLE r = CreateFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
        HANDLE w =
            CreateFile(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
        EXPECT_EQ(r != 0, c.otherReads) << "mode " << c.mode;
        EXPECT_EQ(w != 0, c.otherWrites) << "mode " << c.mode;
        if (r) CloseHandle(r);
        if (w) CloseHandle(w);
        CloseDBFile(h);
    }
    DBHandle ro = OpenDBFile(path, 3);
    EXPECT_EQ(WriteDBBytes(ro, 400, "x", 1), 1) << "into the cache";
    CloseDBFile(ro);
    EXPECT_EQ(shownTexts(), std::vector<std::string>{"Write Error|DOZ3 Error"})
        << "a read-only file takes no writes";
    EXPECT_EQ(readAll(path).size(), 340u);
}

TEST(Doz3Engine, CacheSizeIsClampedAndUseIsCounted) {
    struct Case {
        std::uint16_t asked, got;
    };
    for (Case c : {Case{0, 60}, Case{5, 24}, Case{24, 24}, Case{120, 120}, Case{5000, 3000}}) {
        ASSERT_EQ(InitDBEngine(c.asked), 1);
        EXPECT_EQ(DBCachePages(), c.got) << c.asked;
        ASSERT_EQ(InitDBEngine(7), 1) << "second call only counts";
        EXPECT_EQ(DBCachePages(), c.got);
        TermDBEngine();
        EXPECT_EQ(DBCachePages(), c.got) << "still in use";
        TermDBEngine();
        EXPECT_EQ(DBCachePages(), 0);
    }
    EXPECT_EQ(OpenDBFile("/tmp", 4), 0) << "no engine";
}

TEST_F(Doz3, CacheEvictsOldestPagesAndWritesThemBack) {
    TermDBEngine();
    ASSERT_EQ(InitDBEngine(24), 1);
    std::string path = dir.file("gross.wxd");
    DBHandle h = createAndOpen("gross.wxd");
    std::vector<unsigned char> page(1024);
    for (std::uint32_t p = 1; p <= 100; ++p) {
        std::fill(page.begin(), page.end(), static_cast<unsigned char>(p));
        ASSERT_EQ(WriteDBBytes(h, p * 1024, page.data(), 1024), 1);
    }
    EXPECT_GE(readAll(path).size(), 70u * 1024) << "evicted pages reached the disk before any flush";
    for (std::uint32_t p = 100; p >= 1; --p) {
        ASSERT_EQ(ReadDBBytes(h, p * 1024, page.data(), 1024), 1);
        ASSERT_EQ(page[0], p);
        ASSERT_EQ(page[1023], p);
    }
    CloseDBFile(h);
    auto bytes = readAll(path);
    ASSERT_EQ(bytes.size(), 101u * 1024);
    for (std::uint32_t p = 1; p <= 100; ++p)
        ASSERT_EQ(bytes[p * 1024 + 500], p);
}

// The cache as the engine keeps it: the handle's hint first, then the slot holding the page; on a miss every
// used slot ages by one and the first free slot, else the oldest (the first on ties), takes the page after
// its dirty bytes went back.
struct CacheModel {
    using Event = std::tuple<FileOp, std::uint64_t, DWORD>;
    struct Slot {
        std::uint16_t file = 0, age = 0;
        std::uint32_t page = 0;
        std::uint16_t dirtyStart = 1024, dirtyEnd = 0;
    };
    explicit CacheModel(std::size_t n) : slots(n) {}
    Slot& get(DBHandle h, std::uint16_t file, std::uint32_t page) {
        std::uint16_t& hint = hints[h];
        if (hint && slots[hint - 1].file == file && slots[hint - 1].page == page)
            return slots[hint - 1].age = 1, slots[hint - 1];
        for (std::size_t i = 0; i < slots.size(); ++i)
            if (slots[i].file == file && slots[i].page == page) {
                hint = static_cast<std::uint16_t>(i + 1);
                return slots[i].age = 1, slots[i];
            }
        for (Slot& s : slots)
            if (s.age && s.age < 30000) ++s.age;
        std::size_t victim = 0;
        for (std::size_t i = 0; i < slots.size(); ++i) {
            if (slots[i].age == 0) {
                victim = i;
                break;
            }
            if (slots[i].age > slots[victim].age) victim = i;
        }
        Slot& s = slots[victim];
        if (s.file && s.dirtyStart < s.dirtyEnd)
            events.emplace_back(FileOp::Write, s.page + s.dirtyStart, DWORD(s.dirtyEnd - s.dirtyStart));
        s = Slot{file, 1, page};
        events.emplace_back(FileOp::Read, page, 1024);
        hint = static_cast<std::uint16_t>(victim + 1);
        return s;
    }
    // Closing a file's last handle frees its slots and forgets the handle's hint.
    void close(DBHandle h, std::uint16_t file) {
        for (Slot& s : slots)
            if (s.file == file) s = Slot{0, 0, s.page}; // a free slot keeps the offset it had
        hints.erase(h);
    }
    std::vector<DBCacheSlotState> state() const {
        std::vector<DBCacheSlotState> out;
        for (const Slot& s : slots)
            out.push_back({s.file, s.age, s.page});
        return out;
    }
    std::vector<Slot> slots;
    std::map<DBHandle, std::uint16_t> hints;
    std::vector<Event> events;
};

TEST_F(Doz3, CacheAgesAndFileReadsFollowTheEvictionOrder) {
    TermDBEngine();
    ASSERT_EQ(InitDBEngine(24), 1);
    std::vector<unsigned char> filler(64 * 1024, 7);
    for (const char* name : {"a.wxd", "b.wxd"}) {
        ASSERT_EQ(CreateDBFile(dir.file(name)), 1);
        std::ofstream(dir.file(name), std::ios::binary | std::ios::app)
            .write(reinterpret_cast<const char*>(filler.data()), std::streamsize(filler.size()));
    }
    // Two handles on the first file (file number 1), each with its own hint, and one on the second.
    struct Open {
        DBHandle h;
        std::uint16_t file;
    };
    std::vector<Open> opens{{OpenDBFile(dir.file("a.wxd"), 4), 1},
                            {OpenDBFile(dir.file("a.wxd"), 4), 1},
                            {OpenDBFile(dir.file("b.wxd"), 4), 2}};
    for (const Open& o : opens)
        ASSERT_NE(o.h, 0);
    ASSERT_EQ(GetDBCacheState(), CacheModel(24).state()) << "opening reads past the cache";

    CacheModel model(24);
    std::vector<CacheModel::Event> traced;
    auto record = [&](FileOp op, std::uint64_t offset, DWORD length) {
        traced.emplace_back(op, offset, length);
    };
    SetFileTraceHook(record);
    std::mt19937 rng(1208);
    unsigned char byte = 0;
    for (int i = 0; i < 4000; ++i) {
        if (i == 2000) {
            // Closing the second file in the middle leaves free slots, which the next misses take first.
            SetFileTraceHook({});
            CloseDBFile(opens[2].h);
            model.close(opens[2].h, 2);
            ASSERT_EQ(GetDBCacheState(), model.state());
            opens[2].h = OpenDBFile(dir.file("b.wxd"), 4);
            ASSERT_NE(opens[2].h, 0);
            SetFileTraceHook(record);
        }
        const Open& o = opens[rng() % opens.size()];
        // Mostly a few hot pages, as a lookup's upper levels are; now and then any page of the file.
        std::uint32_t page = (rng() % 4 ? 1 + rng() % 12 : 1 + rng() % 63) * 1024;
        std::uint16_t pos = static_cast<std::uint16_t>(rng() % 1024);
        CacheModel::Slot& s = model.get(o.h, o.file, page);
        if (rng() % 5 == 0) {
            ASSERT_EQ(WriteDBBytes(o.h, page + pos, &byte, 1), 1);
            s.dirtyStart = std::min(s.dirtyStart, pos);
            s.dirtyEnd = std::max<std::uint16_t>(s.dirtyEnd, pos + 1);
        } else {
            ASSERT_EQ(ReadDBBytes(o.h, page + pos, &byte, 1), 1);
        }
        if (i % 250 == 0) {
            ASSERT_EQ(GetDBCacheState(), model.state()) << "request " << i;
        }
    }
    SetFileTraceHook({});
    EXPECT_EQ(GetDBCacheState(), model.state());
    EXPECT_EQ(traced, model.events);
    EXPECT_GT(model.events.size(), 500u) << "the sequence evicts often";
    for (const Open& o : opens)
        CloseDBFile(o.h);
}

} // namespace
} // namespace wortex::test
