// Random inserts and deletes against an in-memory map of the live records; the structure checker runs
// after every batch, and a second process reads the result.
#include "SpellTestSupport.h"

#include <map>
#include <random>
#include <sys/wait.h>

namespace wortex::test {
namespace {

struct Live {
    std::uint16_t size;
    std::uint32_t table;
    std::uint32_t seed;
};

void fill(std::vector<unsigned char>& buf, std::uint16_t size, std::uint32_t seed) {
    buf.resize(size);
    std::uint32_t x = seed * 2654435761u + 1;
    for (auto& b : buf) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<unsigned char>(x);
    }
}

// Every live record reads back as written; returns the number of mismatches.
int verify(DBHandle h, const std::map<std::uint32_t, Live>& live) {
    int bad = 0;
    std::vector<unsigned char> want, got;
    for (const auto& [offset, r] : live) {
        fill(want, r.size, r.seed);
        got.assign(r.size, 0);
        if (!ReadDBBytes(h, offset, got.data(), r.size) || got != want) ++bad;
    }
    return bad;
}

class Doz3Differential : public EngineTest {};

TEST_F(Doz3Differential, RandomRecordsMatchModelAndSurviveReopenInAnotherProcess) {
    const std::string path = dir.file("diff.wxd");
    DBHandle h = createAndOpen("diff.wxd");
    ASSERT_EQ(LockDBFile(h, 0), 1);
    std::vector<std::uint32_t> tables{0};
    for (std::uint16_t ppc : {1, 4, 16})
        tables.push_back(CreateDBTable(h, ppc));
    UnlockDBFile(h, 0);
    for (auto t : tables)
        ASSERT_TRUE(t == 0 || t >= 1024);

    std::mt19937 rng(20261208);
    std::map<std::uint32_t, Live> live;
    std::vector<std::uint32_t> order; // live offsets, for picking one at random
    std::vector<unsigned char> buf;
    const int kOps = 100000, kBatch = 5000;
    std::uint32_t seed = 1;
    for (int batch = 0; batch < kOps / kBatch; ++batch) {
        ASSERT_EQ(LockDBFile(h, 0), 1);
        for (int i = 0; i < kBatch; ++i) {
            // Grow to about 6000 live records, thin them out to fragment the free lists into several
            // blocks, then grow again so that the fragments are reused.
            std::uint32_t insertPercent = batch < 8 ? (order.size() < 6000 ? 65 : 50) : batch < 13 ? 25 : 60;
            bool insert = order.empty() || rng() % 100 < insertPercent;
            if (insert) {
                std::uint32_t pick = rng() % 100;
                auto size = static_cast<std::uint16_t>(pick < 70   ? 1 + rng() % 64
                                                       : pick < 97 ? 1 + rng() % 700
                                                                   : 1 + rng() % 9000);
                std::uint32_t table = tables[rng() % tables.size()];
                std::uint32_t at = AllocDBRecord(h, size, table);
                ASSERT_NE(at, 0u);
                ASSERT_EQ(live.count(at), 0u) << "offset handed out twice";
                fill(buf, size, seed);
                ASSERT_EQ(WriteDBBytes(h, at, buf.data(), size), 1);
                live[at] = {size, table, seed++};
                order.push_back(at);
            } else {
                std::size_t k = rng() % order.size();
                std::uint32_t at = order[k];
                order[k] = order.back();
                order.pop_back();
                const Live r = live[at];
                FreeDBRecord(h, at, r.size, r.table);
                live.erase(at);
            }
        }
        UnlockDBFile(h, 0);
        ASSERT_TRUE(ui.shown.empty()) << ui.shown.front().text;

        std::vector<Doz3Checker::Record> records;
        for (const auto& [offset, r] : live)
            records.push_back({offset, r.size, r.table});
        auto problems = Doz3Checker::fromFile(path).check({tables.begin() + 1, tables.end()}, records);
        ASSERT_TRUE(problems.empty()) << "batch " << batch << ": " << problems.front();
        if (batch % 5 == 4) {
            ASSERT_EQ(verify(h, live), 0);
        }
    }
    ASSERT_EQ(verify(h, live), 0);
    CloseDBFile(h);

    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // A process of its own: its own engine state, handle and descriptor.
        int rc = 3;
        if (InitDBEngine(120)) {
            DBHandle h2 = OpenDBFile(path, 4);
            rc = h2 == 0 ? 2 : verify(h2, live) == 0 ? 0 : 1;
            CloseDBFile(h2);
            TermDBEngine();
        }
        _exit(rc);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
} // namespace wortex::test
