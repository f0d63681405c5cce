// Random words and marks through HyphenateWord: a "~" only between letters, never first or last, a vowel
// in every piece, never inside ch, ck or ph unless the marks set a joint there, at most 63 characters, and
// the letters unchanged except a c that became k before k.
#include "SmallDictionary.h"
#include "Hyphenation.h"
#include "Letters.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
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
    char language = (data[0] & 1) ? 'E' : 'D';
    ++data;
    --size;
    // The word up to the first NUL (at most 63 characters), the marks after it.
    std::string word;
    std::size_t k = 0;
    for (; k < size && data[k] && word.size() < 63; ++k)
        word.push_back(static_cast<char>(data[k]));
    unsigned char marks[64] = {};
    for (std::size_t m = 0; k + 1 + m < size && m < 64; ++m)
        marks[m] = data[k + 1 + m];
    char out[64];
    std::memset(out, 'x', sizeof out);
    int r = HyphenateWord(language, word.c_str(), marks, out);
    check(std::memchr(out, 0, sizeof out) != nullptr);
    if (!r) {
        check(out[0] == 0);
        return 0;
    }
    std::string result = out, plain;
    for (char c : word)
        if (c != '~') plain.push_back(c);
    check(result.size() <= 63);
    check(result.front() != '~' && result.back() != '~');
    std::string letters;
    bool vowel = false;
    for (std::size_t i = 0; i < result.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(result[i]);
        if (c != '~') {
            letters.push_back(result[i]);
            vowel = vowel || (IsAnsiLetter(c) && IsAnsiVowel(c));
            continue;
        }
        unsigned char a = static_cast<unsigned char>(result[i - 1]),
                      b = static_cast<unsigned char>(result[i + 1]);
        check(IsAnsiLetter(a) && IsAnsiLetter(b));
        check(vowel);
        vowel = false;
        unsigned char la = AnsiToLower(a), lb = AnsiToLower(b);
        bool pair = (la == 'c' && (lb == 'h' || lb == 'k')) || (la == 'p' && lb == 'h');
        check(!pair || (marks[letters.size() - 1] & 4));
    }
    check(vowel);
    check(letters.size() == plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        unsigned char a = AnsiToLower(static_cast<unsigned char>(plain[i]));
        unsigned char b = AnsiToLower(static_cast<unsigned char>(letters[i]));
        check(a == b || (a == 'c' && b == 'k' && i + 1 < plain.size() &&
                         AnsiToLower(static_cast<unsigned char>(plain[i + 1])) == 'k'));
    }
    return 0;
}
