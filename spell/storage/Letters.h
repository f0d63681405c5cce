#pragma once
// Letter coding of dictionary words and the Windows-1252 character-set services of the library. All texts
// are NUL-terminated Windows-1252 bytes.
#include <cstddef>

namespace wortex {

// Coding of the current dictionaries; every other format number means the old coding.
constexpr int kCurrentFormat = 12;
constexpr unsigned char kCapitalBit = 1;

unsigned char LetterToCode(unsigned char letter);
unsigned char CodeToLetter(unsigned char code);
void EncodeWord(int format, char* word, bool keepCapitals);
// capacity bounds the text form, which is longer than the codes by one "~" per capital.
void DecodeWord(int format, char* word, bool showCapitals, std::size_t capacity = 64);
int CompareCodes(const char* a, const char* b);
int CompareWords(const char* a, const char* b);

// Windows-1252 letters and their cases. Word finding asks them for every character: the rules below fill
// tables once at compile time, and the functions read them.
namespace letters_detail {
constexpr unsigned char toLower(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7))
        return static_cast<unsigned char>(c + 32);
    if (c == 0x8C) return 0x9C;
    if (c == 0x8A) return 0x9A;
    if (c == 0x9F) return 0xFF;
    return c;
}

constexpr unsigned char toUpper(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
        return static_cast<unsigned char>(c - 32);
    if (c == 0x9C) return 0x8C;
    if (c == 0x9A) return 0x8A;
    if (c == 0xFF) return 0x9F;
    return c;
}

constexpr bool isLetter(unsigned char c) {
    unsigned char l = toLower(c);
    return (l >= 'a' && l <= 'z') || (l >= 0xDF && l != 0xF7) || l == 0x9A || l == 0x9C;
}

struct Tables {
    unsigned char lower[256];
    unsigned char upper[256];
    bool letter[256];
};

constexpr Tables makeTables() {
    Tables t{};
    for (int c = 0; c < 256; ++c) {
        t.lower[c] = toLower(static_cast<unsigned char>(c));
        t.upper[c] = toUpper(static_cast<unsigned char>(c));
        t.letter[c] = isLetter(static_cast<unsigned char>(c));
    }
    return t;
}

inline constexpr Tables kTables = makeTables();
} // namespace letters_detail

inline unsigned char AnsiToLower(unsigned char c) {
    return letters_detail::kTables.lower[c];
}

inline unsigned char AnsiToUpper(unsigned char c) {
    return letters_detail::kTables.upper[c];
}

inline bool IsAnsiLetter(unsigned char c) {
    return letters_detail::kTables.letter[c];
}

inline bool IsWordChar(unsigned char c) {
    return c == '\'' || c == '-' || c == '.' || IsAnsiLetter(c);
}

// The longest word, as the public header states it: 63 characters in a 64-byte buffer.
constexpr std::size_t kMaxWordLength = 63;
// Letters, "-", ".", "'" and "~" only, 2 to kMaxWordLength of them.
bool IsValidWord(const char* text);
bool TrimWord(char* text);

void AnsiStrLower(char* text);
void AnsiStrUpper(char* text);
bool IsAnsiVowel(unsigned char c);
int AnsiCompareNoCase(const char* a, const char* b);
void AnsiToOem437(char* text, std::size_t length);
void Oem437ToAnsi(char* text, std::size_t length);

} // namespace wortex
