// Random words through MakeSuggestionList and FindBestCorrection on a small dictionary: at most 40
// suggestions, each once, then one empty slot; a correction within 63 characters whose marks the cost sum
// accepts when one is found.
#include "SmallDictionary.h"
#include "platform/win32/GlobalMemory.h"
#include "Letters.h"
#include "Suggestions.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

using namespace wortex;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::openSmallDictionary();
    if (size < 1) return 0;
    bool extended = data[0] & 1, exact = data[0] & 2;
    std::string word(reinterpret_cast<const char*>(data + 1), size - 1);
    word = word.substr(0, word.find('\0'));
    win32::HGLOBAL block = MakeSuggestionList(word.c_str(), extended);
    check(block != 0);
    std::size_t slots = win32::GlobalSize(block) / kSuggestionSlot;
    check(slots >= 1 && slots <= kMaxSuggestions + 1);
    auto* p = static_cast<const char*>(win32::GlobalLock(block));
    std::set<std::string> seen;
    for (std::size_t k = 0; k + 1 < slots; ++k) {
        const char* w = p + k * kSuggestionSlot;
        check(std::memchr(w, 0, kSuggestionSlot) != nullptr && *w);
        std::string lower = w;
        AnsiStrLower(lower.data());
        check(seen.insert(lower).second);
    }
    check(p[(slots - 1) * kSuggestionSlot] == 0);
    win32::GlobalUnlock(block);
    win32::GlobalFree(block);
    char correction[64];
    unsigned char marks[kMarkCount];
    std::memset(correction, 'x', sizeof correction);
    DBHandle h = FindBestCorrection(0, 0, word.c_str(), correction, marks, exact);
    check(std::memchr(correction, 0, sizeof correction) != nullptr);
    if (h) check(CorrectionCost(correction, marks) >= 0);
    char replacement[64];
    BestReplacement(word.c_str(), replacement);
    check(std::memchr(replacement, 0, sizeof replacement) != nullptr);
    return 0;
}
