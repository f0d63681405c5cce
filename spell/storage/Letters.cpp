#include "Letters.h"

#include <cstring>

namespace wortex {

namespace {

// Letters by collation code 2..63: accented forms follow their base letter.
constexpr unsigned char kLetters[64] = {
    0,   0,    '\'', '-',  '.',  'a',  0xE0, 0xE1, 0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 'b',  'c',  0xE7,
    'd', 0xF0, 'e',  0xE8, 0xE9, 0xEA, 0xEB, 'f',  'g',  'h',  'i',  0xEC, 0xED, 0xEE, 0xEF, 'j',
    'k', 'l',  'm',  'n',  0xF1, 'o',  0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF8, 0x9C, 'p',  'q',  'r',
    's', 0x9A, 0xDF, 't',  'u',  0xF9, 0xFA, 0xFB, 0xFC, 'v',  'w',  'x',  'y',  0xFD, 0xFF, 'z'};

struct CodeTable {
    unsigned char code[256];
    CodeTable() {
        for (int c = 0; c < 256; ++c)
            code[c] = static_cast<unsigned char>(c);
        for (int k = 2; k < 64; ++k)
            code[kLetters[k]] = static_cast<unsigned char>(k << 1);
    }
};
const CodeTable kCodes;

// Code page 437 positions 128..167 in Windows-1252; 152 and 158 have no counterpart and become blanks.
constexpr unsigned char kOemHigh[40] = {0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB,
                                        0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5, 0xC9, 0xE6, 0xC6, 0xF4,
                                        0xF6, 0xF2, 0xFB, 0xF9, ' ',  0xD6, 0xDC, 0xA2, 0xA3, 0xA5,
                                        ' ',  0x83, 0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA};

struct AnsiToOemTable {
    unsigned char map[256];
    AnsiToOemTable() {
        for (int c = 0; c < 256; ++c)
            map[c] = c < 128 ? static_cast<unsigned char>(c) : 254;
        const unsigned char pairs[][2] = {
            {0x83, 159}, {0xA2, 155}, {0xA3, 156}, {0xA5, 157}, {0xAA, 166}, {0xBA, 167}, {0xC4, 142},
            {0xC5, 143}, {0xC6, 146}, {0xC7, 128}, {0xC9, 144}, {0xD1, 165}, {0xD6, 153}, {0xDC, 154},
            {0xDF, 225}, {0xE0, 133}, {0xE1, 160}, {0xE2, 131}, {0xE4, 132}, {0xE5, 134}, {0xE6, 145},
            {0xE7, 135}, {0xE8, 138}, {0xE9, 130}, {0xEA, 136}, {0xEB, 137}, {0xEC, 141}, {0xED, 161},
            {0xEE, 140}, {0xEF, 139}, {0xF1, 164}, {0xF2, 149}, {0xF3, 162}, {0xF4, 147}, {0xF6, 148},
            {0xF7, 246}, {0xF9, 151}, {0xFA, 163}, {0xFB, 150}, {0xFC, 129}, {0xFF, 152}, {0xCC, 141},
            {0xCD, 161}, {0xCE, 140}, {0xCF, 139}};
        for (const auto& p : pairs)
            map[p[0]] = p[1];
    }
};
const AnsiToOemTable kAnsiToOem;

unsigned char oldCode(unsigned char c) {
    if (c < 'a') return 'a';
    if (c >= 160 && c <= 164) return static_cast<unsigned char>(c - 160 + 123);
    if (c >= 150 && c <= 152) return static_cast<unsigned char>(c - 150 + 142);
    if (c == 225) return 146;
    if (c > 149) return 149;
    return c;
}

unsigned char oldLetter(unsigned char c) {
    if (c >= 123 && c <= 127) return static_cast<unsigned char>(c - 123 + 160);
    if (c >= 142 && c <= 144) return static_cast<unsigned char>(c - 142 + 150);
    if (c == 146) return 225;
    return c;
}

unsigned char uc(char c) {
    return static_cast<unsigned char>(c);
}

} // namespace

unsigned char LetterToCode(unsigned char letter) {
    return kCodes.code[letter];
}

unsigned char CodeToLetter(unsigned char code) {
    unsigned k = code >> 1;
    if (k < 2 || k > 63) return code;
    return kLetters[k];
}

void EncodeWord(int format, char* word, bool keepCapitals) {
    if (format == kCurrentFormat) {
        std::size_t out = 0;
        bool capital = false;
        for (std::size_t i = 0; word[i]; ++i) {
            unsigned char c = uc(word[i]);
            if (c == '~') {
                capital = keepCapitals;
                continue;
            }
            unsigned char code = LetterToCode(AnsiToLower(c));
            if (capital) code |= kCapitalBit;
            capital = false;
            word[out++] = static_cast<char>(code);
        }
        word[out] = 0;
        return;
    }
    std::size_t n = std::strlen(word);
    AnsiStrLower(word);
    AnsiToOem437(word, n);
    for (std::size_t i = 0; i < n; ++i)
        word[i] = static_cast<char>(oldCode(uc(word[i])));
}

void DecodeWord(int format, char* word, bool showCapitals, std::size_t capacity) {
    if (capacity == 0) return;
    std::size_t n = std::strlen(word);
    if (n >= capacity) n = capacity - 1;
    if (format != kCurrentFormat) {
        word[n] = 0;
        for (std::size_t i = 0; i < n; ++i)
            word[i] = static_cast<char>(oldLetter(uc(word[i])));
        Oem437ToAnsi(word, n);
        return;
    }
    char codes[256];
    if (n > sizeof codes) n = sizeof codes;
    std::memcpy(codes, word, n);
    std::size_t out = 0;
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char code = uc(codes[i]);
        bool capital = showCapitals && (code & kCapitalBit) && (code >> 1) >= 2 && (code >> 1) <= 63;
        std::size_t need = capital ? 2 : 1;
        if (out + need > capacity - 1) break;
        if (capital) word[out++] = '~';
        word[out++] = static_cast<char>(CodeToLetter(code));
    }
    word[out] = 0;
}

int CompareCodes(const char* a, const char* b) {
    for (std::size_t i = 0;; ++i) {
        unsigned ca = uc(a[i]) & ~1u, cb = uc(b[i]) & ~1u;
        if (!a[i] || !b[i]) return a[i] ? 1 : b[i] ? -1 : 0;
        if (ca != cb) return ca < cb ? -1 : 1;
    }
}

int CompareWords(const char* a, const char* b) {
    std::size_t la = std::strlen(a), lb = std::strlen(b);
    char* ca = new char[la + 1];
    char* cb = new char[lb + 1];
    std::memcpy(ca, a, la + 1);
    std::memcpy(cb, b, lb + 1);
    EncodeWord(kCurrentFormat, ca, false);
    EncodeWord(kCurrentFormat, cb, false);
    int r = CompareCodes(ca, cb);
    delete[] ca;
    delete[] cb;
    return r;
}

bool IsValidWord(const char* text) {
    std::size_t n = 0;
    for (; text[n]; ++n) {
        unsigned char c = uc(text[n]);
        if (!(IsAnsiLetter(c) || c == '-' || c == '.' || c == '\'' || c == '~')) return false;
    }
    return n >= 2 && n <= kMaxWordLength;
}

bool TrimWord(char* text) {
    std::size_t n = std::strlen(text);
    std::size_t lead = 0;
    while (lead < n && !IsAnsiLetter(uc(text[lead])))
        ++lead;
    if (lead) {
        std::memmove(text, text + lead, n - lead + 1);
        n -= lead;
    }
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char c = uc(text[i]);
        unsigned char next = uc(text[i + 1]);
        if (c == '.' && next && !IsAnsiLetter(next)) {
            text[i + 1] = 0;
            return true;
        }
        if ((c == '\'' || c == '~' || c == '-') && !IsAnsiLetter(next)) {
            text[i] = 0;
            return true;
        }
    }
    return lead > 0;
}

void AnsiStrLower(char* text) {
    for (; *text; ++text)
        *text = static_cast<char>(AnsiToLower(uc(*text)));
}

void AnsiStrUpper(char* text) {
    for (; *text; ++text)
        *text = static_cast<char>(AnsiToUpper(uc(*text)));
}

bool IsAnsiVowel(unsigned char c) {
    unsigned char u = AnsiToUpper(c);
    switch (u) {
    case 'A':
    case 'E':
    case 'I':
    case 'O':
    case 'U':
    case 'Y':
    case 0x8C:
    case 0x9F:
        return true;
    default:
        break;
    }
    return u >= 0xC0 && u <= 0xDE && u != 0xC7 && u != 0xD0 && u != 0xD1 && u != 0xD7;
}

int AnsiCompareNoCase(const char* a, const char* b) {
    for (std::size_t i = 0;; ++i) {
        unsigned char ca = AnsiToUpper(uc(a[i])), cb = AnsiToUpper(uc(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (!ca) return 0;
    }
}

void AnsiToOem437(char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i)
        text[i] = static_cast<char>(kAnsiToOem.map[uc(text[i])]);
}

void Oem437ToAnsi(char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        unsigned char c = uc(text[i]);
        if (c < 128) continue;
        if (c <= 167)
            text[i] = static_cast<char>(kOemHigh[c - 128]);
        else
            text[i] = static_cast<char>(c == 225 ? 0xDF : 1);
    }
}

} // namespace wortex
