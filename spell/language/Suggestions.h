#pragma once
// What was meant by a word that no dictionary holds: the costed correction search along the letter tree,
// the variant search behind the suggestion list and the best replacement, the similarity of two texts, and
// the ss/ß and o/ou replacements of the text check.
#include "DictionaryFile.h"
#include "platform/win32/Win32Types.h"

#include <cstdint>

namespace wortex {

// Correction marks, one byte per letter of a correction.
constexpr unsigned char kMarkTypedTilde = 0x01;  // the input has "~" before this letter; or where a
                                                 // search that found nothing got stuck
constexpr unsigned char kMarkStoredTilde = 0x02; // the stored word has "~" (a capital) here
constexpr unsigned char kMarkPartEnd = 0x04;     // last letter of a compound part
constexpr unsigned char kMarkCapitalTypedSmall = 0x08;
constexpr unsigned char kMarkAdded = 0x10; // a letter the correction adds
constexpr unsigned char kMarkAccent = 0x20;
constexpr unsigned char kMarkPairTyped = 0x60; // one stored letter for two typed (ä for ae)
constexpr unsigned char kMarkCkTyped = 0xA0;   // the c of a stored "ck" typed "k~k"
constexpr std::size_t kMarkCount = 64;

// word: up to 63 characters, "~" before a letter marks it (a capital or a hyphenation point). correction
// (64 bytes) gets the stored word, capitals as capital letters; marks (64 bytes) one mark per letter of
// it. cost, when given, the sum of the alternatives used (accent 32, umlaut or ß typed for a stored pair
// 32, a pair typed for a stored umlaut, ß or f 96, "k~k" 160, a missing "'", "-" or "." 16). 1 when the
// tree holds a word the input reaches; 0 otherwise, with the correction and marks of the attempt that came
// furthest and 0x01 on the first letter no path could pass.
int CorrectWord(DictCollection& c, const char* word, char* correction, unsigned char* marks, bool exactOnly,
                int* cost = nullptr);
// The cheapest correction over the open dictionaries (h 0 = all, in list order; language 0 = any): the
// handle of the dictionary that gave it, 0 if none.
DBHandle FindBestCorrection(DBHandle h, char language, const char* word, char* correction,
                            unsigned char* marks, bool exactOnly);
// The sum FindBestCorrection ranks corrections by; -1 for marks it refuses.
int CorrectionCost(const char* correction, const unsigned char* marks);

// Returns false to stop the search.
using VariantCallback = bool (*)(void* argument, const char* word, int cost);
// Differences allowed for a coded word of the given length.
int VariantLimit(std::size_t length, bool oneDifference, bool extended);
// Calls back once per stored word that differs from word by at most the allowed differences. 0 for a
// word of fewer than 2 letters or a refused lock. A search stops after a bounded amount of work; what it
// found up to then has been delivered.
int FindVariants(DictCollection& c, const char* word, VariantCallback callback, void* argument,
                 bool oneDifference, bool extended);

constexpr int kMaxSuggestions = 40;
constexpr std::size_t kSuggestionSlot = 64;
struct SuggestionList {
    int count = 0;
    unsigned char entries[kMaxSuggestions][kSuggestionSlot] = {}; // cost byte, then the word
};
// VariantCallback for a SuggestionList.
bool AddSuggestion(void* list, const char* word, int cost);
// A GlobalAlloc block of (count + 1) x 64 bytes, one word per slot, the last slot empty; null when the
// memory can't be had.
win32::HGLOBAL MakeSuggestionList(const char* word, bool extended);
// text (NUL-terminated) in the case of word: all capitals, or a capital first letter, like word's.
void CaseLike(const char* word, char* text);
// Every suggestion of a MakeSuggestionList block in the case of word.
void CaseSuggestionList(win32::HGLOBAL block, const char* word);
// replacement: 64 bytes.
DBHandle BestReplacement(const char* word, char* replacement);

constexpr int kNoSimilarity = 65535;
// Lower means more alike: 0 for a text against itself, kNoSimilarity when no word of the first text is
// near one of the second. fixedLimit 0: the differences allowed by word length.
int CompareTexts(const char* first, const char* second, int fixedLimit, bool extended);

// word (64 bytes) and marks (64 bytes) are changed in place; option bit set in options on a change.
int ReplaceIfListed(char language, char* word, unsigned char* marks, const char* find, const char* replace,
                    std::uint32_t& options, std::uint32_t optionBit);
int ReplaceSharpS(char* word, unsigned char* marks, std::uint32_t& options);

} // namespace wortex
