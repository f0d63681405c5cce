#include "Letters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wortex {
namespace {

std::string encoded(const std::string& text, bool keep = true, int format = kCurrentFormat) {
    char buf[128] = {};
    text.copy(buf, sizeof buf - 1);
    EncodeWord(format, buf, keep);
    return buf;
}

std::string decoded(const std::string& codes, bool show = true, int format = kCurrentFormat) {
    char buf[128] = {};
    codes.copy(buf, sizeof buf - 1);
    DecodeWord(format, buf, show, sizeof buf);
    return buf;
}

TEST(Letters, EveryLetterHasItsCodeAndBack) {
    // Windows-1252 letters in code order from code 2.
    const std::string order =
        "'-.a\xE0\xE1\xE2\xE3\xE4\xE5\xE6"
        "bc\xE7"
        "d\xF0"
        "e\xE8\xE9\xEA\xEB"
        "fghi\xEC\xED\xEE\xEF"
        "jklmn\xF1o\xF2\xF3\xF4\xF5\xF6\xF8\x9Cpqrs\x9A\xDFtu\xF9\xFA\xFB\xFCvwxy\xFD\xFFz";
    ASSERT_EQ(order.size(), 62u);
    for (std::size_t i = 0; i < order.size(); ++i) {
        auto c = static_cast<unsigned char>(order[i]);
        EXPECT_EQ(LetterToCode(c), (i + 2) << 1) << "letter " << int(c);
        EXPECT_EQ(CodeToLetter(static_cast<unsigned char>(((i + 2) << 1) | 1)), c) << "capital bit ignored";
    }
    EXPECT_EQ(LetterToCode('!'), '!') << "outside the table a character is its own code";
    EXPECT_EQ(CodeToLetter(2), 2);
    EXPECT_EQ(CodeToLetter(200), 200);
}

TEST(Letters, TextFormWithTildeAndUmlautsRoundTrips) {
    // ~Ärger: capital ä, then r g e r; shown again as ~ärger.
    std::string codes = encoded("~\xC4rger");
    ASSERT_EQ(codes.size(), 5u);
    EXPECT_EQ(static_cast<unsigned char>(codes[0]), (10 << 1) | 1);
    EXPECT_EQ(static_cast<unsigned char>(codes[1]), 47 << 1);
    EXPECT_EQ(static_cast<unsigned char>(codes[2]), 24 << 1);
    EXPECT_EQ(static_cast<unsigned char>(codes[3]), 18 << 1);
    EXPECT_EQ(decoded(codes), "~\xE4rger");
    EXPECT_EQ(decoded(codes, false), "\xE4rger");
    EXPECT_EQ(encoded("~\xC4rger", false), encoded("\xE4rger"));

    for (std::string word : {"~m~a~x",
                             "~gr\xFC\xDF"
                             "e",
                             "~stra\xDF"
                             "en~bahn",
                             "o'~neil", "\xF6l-~f\xE4sser"}) {
        EXPECT_EQ(decoded(encoded(word)), word);
    }
    EXPECT_EQ(decoded(encoded("~m~a~x"), true), "~m~a~x");
    // The text form is cut to the buffer, never beyond it, and never between a "~" and its letter.
    char small[4] = {};
    std::string codesMax = encoded("~m~a~x");
    codesMax.copy(small, 3);
    DecodeWord(kCurrentFormat, small, true, sizeof small);
    EXPECT_STREQ(small, "~m");
}

TEST(Letters, OldCodingOfOtherFormats) {
    // ä is 132 in code page 437 and stays; ú (163) is stored as 126; characters below "a" become "a".
    EXPECT_EQ(encoded("\xC4pfel", true, 11), "\x84pfel");
    EXPECT_EQ(encoded("\xFA-1", true, 11), "\x7E"
                                           "aa");
    EXPECT_EQ(encoded("\xFB", true, 11), "\x8E") << "150 stored as 142";
    EXPECT_EQ(encoded("\xDF", true, 11), "\x92") << "225 stored as 146";
    EXPECT_EQ(decoded(encoded("gr\xFC\xDF"
                              "e",
                              true, 11),
                      true, 11),
              "gr\xFC\xDF"
              "e");
    EXPECT_EQ(decoded(encoded("\xFA\xFB\xF1", true, 11), true, 11), "\xFA\xFB\xF1");
}

TEST(Letters, SortOrderAndComparisons) {
    struct Case {
        const char* a;
        const char* b;
        int want;
    };
    const Case cases[] = {
        {"a\xE9", "b", -1},  {"\xE9", "f", -1},     {"e", "\xE9", -1}, {"abc", "abcd", -1},
        {"Haus", "haus", 0}, {"\xE4rger", "b", -1}, {"z", "\xFF", 1},  {"", "", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CompareWords(c.a, c.b), c.want) << c.a << " / " << c.b;
    EXPECT_EQ(CompareCodes(encoded("~haus").c_str(), encoded("haus").c_str()), 0);
    EXPECT_EQ(AnsiCompareNoCase("stra\xDF"
                                "e",
                                "STRA\xDF"
                                "E"),
              0);
    EXPECT_EQ(AnsiCompareNoCase("\xE4", "\xC4"), 0);
    EXPECT_EQ(AnsiCompareNoCase("a", "b"), -1);
    EXPECT_EQ(AnsiCompareNoCase("b", "ab"), 1);
}

TEST(Letters, CaseMappingIsItsOwnInverse) {
    EXPECT_EQ(AnsiToUpper(0xE0), 0xC0);
    EXPECT_EQ(AnsiToUpper(0xFF), 0x9F);
    EXPECT_EQ(AnsiToUpper(0xDF), 0xDF) << "ß has no capital";
    EXPECT_EQ(AnsiToUpper(0xF7), 0xF7) << "÷ is no letter";
    EXPECT_EQ(AnsiToLower(0xD7), 0xD7) << "× is no letter";
    EXPECT_EQ(AnsiToLower(0x8C), 0x9C);
    EXPECT_EQ(AnsiToLower(0x8A), 0x9A);
    for (int c = 0; c < 256; ++c) {
        auto ch = static_cast<unsigned char>(c);
        if (AnsiToLower(ch) != ch) {
            EXPECT_EQ(AnsiToUpper(AnsiToLower(ch)), ch) << c;
        }
        if (AnsiToUpper(ch) != ch) {
            EXPECT_EQ(AnsiToLower(AnsiToUpper(ch)), ch) << c;
        }
    }
    char text[] = "Gr\xFC\xDF"
                  "e \xC0";
    AnsiStrUpper(text);
    EXPECT_STREQ(text, "GR\xDC\xDF"
                       "E \xC0");
    AnsiStrLower(text);
    EXPECT_STREQ(text, "gr\xFC\xDF"
                       "e \xE0");
}

TEST(Letters, LetterVowelAndWordCharacterClasses) {
    for (int c : std::initializer_list<int>{'a', 'Z', 0xDF, 0xFF, 0x9A, 0x8A, 0x9C, 0xC4, 0xFE})
        EXPECT_TRUE(IsAnsiLetter(static_cast<unsigned char>(c))) << c;
    for (int c : std::initializer_list<int>{'1', '-', 0xF7, 0xD7, 0x80, ' '})
        EXPECT_FALSE(IsAnsiLetter(static_cast<unsigned char>(c))) << c;
    for (int c : std::initializer_list<int>{'a', 'Y', 0x9C, 0xFF, 0xC4, 0xE9, 0xDE})
        EXPECT_TRUE(IsAnsiVowel(static_cast<unsigned char>(c))) << c;
    for (int c : std::initializer_list<int>{'b', 0xC7, 0xD0, 0xF1, 0xD7, 0xDF})
        EXPECT_FALSE(IsAnsiVowel(static_cast<unsigned char>(c))) << c;
    for (unsigned char c : {'\'', '-', '.', 'q'})
        EXPECT_TRUE(IsWordChar(c));
    EXPECT_FALSE(IsWordChar('~'));
}

TEST(Letters, ValidWordLengthAndCharacters) {
    EXPECT_FALSE(IsValidWord("a"));
    EXPECT_TRUE(IsValidWord("ab"));
    EXPECT_TRUE(IsValidWord("~a")) << "each ~ counts";
    EXPECT_TRUE(IsValidWord(std::string(63, 'x').c_str())) << "as long as the header allows";
    EXPECT_FALSE(IsValidWord(std::string(64, 'x').c_str()));
    EXPECT_TRUE(IsValidWord("o'neil-b.c"));
    EXPECT_FALSE(IsValidWord("ab1"));
    EXPECT_FALSE(IsValidWord("a b"));
}

TEST(Letters, TrimWord) {
    struct Case {
        const char* in;
        const char* out;
        bool changed;
    };
    const Case cases[] = {
        {"Haus", "Haus", false},    {"\"Haus", "Haus", true},
        {"Haus.", "Haus.", false},  {"z.B.", "z.B.", false},
        {"Haus.\"", "Haus.", true}, {"Haus'", "Haus", true},
        {"Haus-", "Haus", true},    {"o'neil", "o'neil", false},
        {"Haus-1", "Haus", true},   {"(Haus)", "Haus)", true},
        {"12", "", true},           {"Haus~", "Haus", true},
    };
    for (const Case& c : cases) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%s", c.in);
        EXPECT_EQ(TrimWord(buf), c.changed) << c.in;
        EXPECT_STREQ(buf, c.out) << c.in;
    }
}

TEST(Letters, CodePage437Conversions) {
    std::string dos = "Stra\xE1"
                      "e \xC4\xB3\x98\x9E\x84\x81\x94\x80\x9B";
    Oem437ToAnsi(dos.data(), dos.size());
    EXPECT_EQ(dos, "Stra\xDF"
                   "e \x01\x01  \xE4\xFC\xF6\xC7\xA2");

    std::string ansi = "\xC4\xD6\xDC\xE4\xF6\xFC\xDF\xCC\xCD\x80\x83\xBA\xD8\xFF\xF7 az";
    AnsiToOem437(ansi.data(), ansi.size());
    EXPECT_EQ(ansi, "\x8E\x99\x9A\x84\x94\x81\xE1\x8D\xA1\xFE\x9F\xA7\xFE\x98\xF6 az");
    // German text survives the way to DOS and back.
    std::string round = "\xC4rger \xFC"
                        "ber Gr\xF6\xDF"
                        "e";
    std::string copy = round;
    AnsiToOem437(copy.data(), copy.size());
    Oem437ToAnsi(copy.data(), copy.size());
    EXPECT_EQ(copy, round);
}

} // namespace
} // namespace wortex
