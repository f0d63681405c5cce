// Looking words up over the set of open dictionaries allocates no memory per call: every allocation of the
// test program is counted.
#include "SpellTestSupport.h"

#include "DictionarySet.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace wortex::test {
namespace {

class LookupAllocations : public DictionaryTest {};

TEST_F(LookupAllocations, FindWordInDictionariesAllocatesNothingPerCall) {
    std::string first = dir.file("erste.wxd"), second = dir.file("zweite.wxd");
    ASSERT_EQ(CreateDictionaryFile(first, 'd'), 1);
    ASSERT_EQ(CreateDictionaryFile(second, 'd'), 1);
    DBHandle a = OpenDictionary(false, first), b = OpenDictionary(false, second);
    ASSERT_NE(a, 0);
    ASSERT_NE(b, 0);
    // Enough words, long ones among them, that the pages outgrow the cache and lookups evict.
    std::mt19937 rng(77);
    const char letters[] = "abdeghiklmnorstuz\xe4\xf6\xfc\xdf";
    std::vector<std::string> words;
    ASSERT_EQ(LockDictionary(a), 1);
    for (int i = 0; i < 8000; ++i) {
        std::string w;
        for (int k = 0, n = 3 + static_cast<int>(rng() % 28); k < n; ++k)
            w.push_back(letters[rng() % (sizeof letters - 1)]);
        if (AddDictionaryWord(a, w.c_str(), false, false, i % 3 ? 0 : i, 0)) words.push_back(w);
    }
    UnlockDictionary(a);
    ASSERT_EQ(AddDictionaryWord(b, "Zweitwort", false, true, 5, 6), 1);
    ASSERT_GT(std::filesystem::file_size(first), 130u * 1024) << "larger than the cache";

    struct Case {
        std::string word;
        bool exact;
        DBHandle want;
    };
    std::vector<Case> cases{{"Zweitwort", false, b},         {"Zweitwort", true, b}, {"zweitwort", true, 0},
                            {"gibtesnicht", false, 0},       {"x", false, 0},        {"", false, 0},
                            {std::string(70, 'a'), false, 0}};
    for (std::size_t i = 0; i < words.size(); i += 7) {
        cases.push_back({words[i], false, a});
        std::string typo = words[i];
        typo[typo.size() / 2] = 'q'; // no word holds a q
        cases.push_back({typo, i % 2 == 0, 0});
    }
    char spelling[64];
    std::uint32_t va = 0, vb = 0;
    int mark = 0;
    for (int round = 0; round < 2; ++round) {
        long before = allocations.load();
        for (const Case& c : cases)
            ASSERT_EQ(FindWordInDictionaries(0, c.word.c_str(), 0, c.exact, spelling, {&va, &vb, &mark}),
                      c.want)
                << c.word;
        // The first round may set up tables of the library once.
        if (round == 1) {
            EXPECT_EQ(allocations.load() - before, 0) << "allocations in " << cases.size() << " calls";
        }
    }
    EXPECT_EQ(
        FindWordInDictionaries(b, "Zweitwort", GetDictionaryLanguageOf(b), true, spelling, {&va, &vb, &mark}),
        b);
    EXPECT_STREQ(spelling, "Zweitwort");
    EXPECT_EQ(va, 5u);
    EXPECT_EQ(vb, 6u);
    EXPECT_EQ(mark, 1);
}

} // namespace
} // namespace wortex::test
