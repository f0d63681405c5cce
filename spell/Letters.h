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

bool IsWordChar(unsigned char c);
bool IsValidWord(const char* text);
bool TrimWord(char* text);

unsigned char AnsiToLower(unsigned char c);
unsigned char AnsiToUpper(unsigned char c);
void AnsiStrLower(char* text);
void AnsiStrUpper(char* text);
bool IsAnsiLetter(unsigned char c);
bool IsAnsiVowel(unsigned char c);
int AnsiCompareNoCase(const char* a, const char* b);
void AnsiToOem437(char* text, std::size_t length);
void Oem437ToAnsi(char* text, std::size_t length);

} // namespace wortex
