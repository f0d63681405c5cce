// Random text pairs through CompareTexts: the score stays within 0..65535, a text scores 0 against itself,
// and the work stays bounded.
#include "Suggestions.h"

#include <cstdint>
#include <cstdlib>
#include <string>

using namespace wortex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    int limit = data[0] & 7;
    bool extended = data[0] & 8;
    std::string all(reinterpret_cast<const char*>(data + 1), size - 1), first, second;
    std::size_t cut = all.find('\0');
    first = all.substr(0, cut);
    if (cut != std::string::npos) second = all.substr(cut + 1);
    second = second.substr(0, second.find('\0'));
    int score = CompareTexts(first.c_str(), second.c_str(), limit, extended);
    if (score < 0 || score > kNoSimilarity) std::abort();
    int self = CompareTexts(first.c_str(), first.c_str(), limit, extended);
    if (self != 0 && self != kNoSimilarity) std::abort();
    return 0;
}
