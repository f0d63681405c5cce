// A German dictionary built by the library's own import from Debian's wngerman list.
#include "SpellTestSupport.h"
#include "WngermanList.h"

#include "DictionarySet.h"
#include "Letters.h"
#include "WordImport.h"

#include <chrono>
#include <cstring>
#include <random>
#include <set>
#include <unordered_set>

namespace wortex::test {
namespace {

bool plainWord(const std::string& w) {
    if (w.size() < 2 || w.size() > 62) return false;
    for (unsigned char c : w) {
        unsigned code = LetterToCode(AnsiToLower(c)) >> 1;
        if (!IsAnsiLetter(c) || code < 5 || code > 63) return false;
    }
    return true;
}

// Built once for all cases of this program: the import of the whole list takes a while.
class Wngerman : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!std::filesystem::exists(kWngermanPath)) return;
        win32::SetUiServices(&ui());
        ASSERT_EQ(InitDictionarySide(120), 1);
        dir() = std::make_unique<TempDir>();
        lines() = readWngerman(&skipped());
        std::string list = dir()->file("ngerman.txt");
        writeLines(list, lines());
        ASSERT_EQ(CreateDictionaryFile(dir()->file("ngerman.wxd"), 'd'), 1);
        handle() = OpenDictionary(false, dir()->file("ngerman.wxd"));
        ASSERT_NE(handle(), 0);
        TextImport import;
        auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(ImportTextFile(handle(), list, import), 1);
        seconds() = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        added() = import.added;
    }
    static void TearDownTestSuite() {
        if (!dir()) return;
        TermDictionarySide();
        dir().reset();
        win32::SetUiServices(nullptr);
    }
    void SetUp() override {
        if (!handle()) GTEST_SKIP() << kWngermanPath << " is missing: install the package wngerman";
    }
    static bool find(const std::string& w, std::string* stored = nullptr) {
        char buf[64];
        std::strcpy(buf, w.c_str());
        DBHandle h = FindWordInDictionaries(handle(), buf, 0, false, buf);
        if (stored) *stored = buf;
        return h != 0;
    }
    void EveryImportedWordIsFound();
    void MisspellingsAreMostlyNotFound();
    void NounsKeepTheirCapital();
    static win32::ScriptedUi& ui() {
        static win32::ScriptedUi u;
        return u;
    }
    static std::unique_ptr<TempDir>& dir() {
        static std::unique_ptr<TempDir> d;
        return d;
    }
    static std::vector<std::string>& lines() {
        static std::vector<std::string> l;
        return l;
    }
    static DBHandle& handle() {
        static DBHandle h = 0;
        return h;
    }
    static std::size_t& skipped() {
        static std::size_t n = 0;
        return n;
    }
    static double& seconds() {
        static double s = 0;
        return s;
    }
    static std::uint32_t& added() {
        static std::uint32_t n = 0;
        return n;
    }
};

void Wngerman::EveryImportedWordIsFound() {
    std::size_t plain = 0, missing = 0;
    for (const auto& w : lines()) {
        if (!plainWord(w)) continue;
        ++plain;
        if (!find(w)) {
            ++missing;
            ADD_FAILURE() << w;
            if (missing > 10) break;
        }
    }
    EXPECT_EQ(missing, 0u);
    EXPECT_EQ(GetDictionaryWordCount(handle()), added());
    EXPECT_GT(added(), plain * 9 / 10);
    std::printf("wngerman: %zu lines (%zu not in Windows-1252), %zu plain words, %u entries, import %.1f s\n",
                lines().size(), skipped(), plain, added(), seconds());
}

void Wngerman::MisspellingsAreMostlyNotFound() {
    std::mt19937 rng(1234);
    const std::string letters = "abcdefghijklmnopqrstuvwxyz\xe4\xf6\xfc\xdf";
    std::vector<const std::string*> plain;
    for (const auto& w : lines())
        if (plainWord(w) && w.size() >= 4) plain.push_back(&w);
    ASSERT_FALSE(plain.empty());
    int found = 0;
    for (int i = 0; i < 1000; ++i) {
        std::string w = *plain[rng() % plain.size()];
        std::size_t at = rng() % w.size();
        char c;
        do
            c = letters[rng() % letters.size()];
        while (AnsiToLower(static_cast<unsigned char>(w[at])) == static_cast<unsigned char>(c));
        w[at] = c;
        if (find(w)) ++found;
    }
    std::printf("wngerman: %d of 1000 one-letter misspellings are words of the list\n", found);
    EXPECT_LT(found, 150);
}

void Wngerman::NounsKeepTheirCapital() {
    std::unordered_set<std::string> lower;
    for (const auto& w : lines())
        if (!w.empty() && AnsiToLower(static_cast<unsigned char>(w[0])) == static_cast<unsigned char>(w[0]))
            lower.insert(w);
    std::size_t checked = 0, lost = 0;
    for (std::size_t i = 1; i < lines().size(); ++i) {
        const std::string& w = lines()[i];
        const std::string& prev = lines()[i - 1];
        unsigned char first = static_cast<unsigned char>(w[0]);
        if (!plainWord(w) || AnsiToLower(first) == first || prev.empty() ||
            !IsAnsiLetter(static_cast<unsigned char>(prev.back())))
            continue;
        std::string l = w;
        AnsiStrLower(l.data());
        if (lower.count(l)) continue; // the small form of the list took the capital away
        ++checked;
        std::string stored;
        if (!find(w, &stored) || static_cast<unsigned char>(stored[0]) != first) {
            if (++lost <= 10) ADD_FAILURE() << w << " -> " << stored;
        }
    }
    EXPECT_GT(checked, 100000u);
    EXPECT_EQ(lost, 0u);
}

// One case: CTest runs every case in a process of its own, and the list is imported once per process.
TEST_F(Wngerman, ImportedDictionary) {
    {
        SCOPED_TRACE("every imported word is found");
        EveryImportedWordIsFound();
    }
    {
        SCOPED_TRACE("misspellings");
        MisspellingsAreMostlyNotFound();
    }
    {
        SCOPED_TRACE("capitals");
        NounsKeepTheirCapital();
    }
}

} // namespace
} // namespace wortex::test
