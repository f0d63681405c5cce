#pragma once
// Deciding what to do with a found word: let it pass, correct it silently or report it, from the user
// correction file, the open dictionaries and the correction search.
#include "WordFinding.h"

#include <cstdint>

namespace wortex {

// Kind bits besides those of the option word.
constexpr std::uint32_t kKindCompound = 0x4;
constexpr std::uint32_t kKindHyphenation = 0x8;
constexpr std::uint32_t kKindErrorBeep = 0x10;
constexpr std::uint32_t kKindCorrBeep = 0x20;
constexpr std::uint32_t kKindAbbrevBeep = 0x40;
constexpr std::uint32_t kKindUserFile = 0x1000;
constexpr std::uint32_t kKindSentenceCapital = 0x2000;
constexpr std::uint32_t kKindDictionaryCapital = 0x4000;
constexpr std::uint32_t kKindTwoCapitals = 0x8000;
constexpr std::uint32_t kKindSpecialChar = 0x10000;
constexpr std::uint32_t kKindAccent = 0x20000;
constexpr std::uint32_t kKindSharpS = 0x40000;
constexpr std::uint32_t kKindPlainSs = 0x80000;
constexpr std::uint32_t kKindUnknown = 0x10000000;
constexpr std::uint32_t kKindShownAsHyphenation = 0x20000000;
constexpr std::uint32_t kKindCapitalDoubtful = 0x40000000;

// Result flags.
constexpr std::uint16_t kFlagToDo = 0x1;
constexpr std::uint16_t kFlagMark = 0x2;
constexpr std::uint16_t kFlagAutoCorrect = 0x40;
constexpr std::uint16_t kFlagReport = 0x80;

struct AnalysisResult {
    char shown[kWordSize];
    char correction[kWordSize];
    unsigned char marks[kWordSize];
    std::uint32_t kind;
    char language;
    std::uint16_t flags;
};

// The shown word built from the word along the correction's marks.
struct MarkTableResult {
    char shown[kWordSize];
    std::uint32_t kind;
    bool fullStopTakenBack;
    bool apostropheS; // the word ends in "'s" at a letter no path passed: analyse it again without
};
void ApplyMarkTable(const char* word, const char* correction, const unsigned char* marks,
                    bool fullStopDropped, MarkTableResult& out);

// Hyphenation of the word in the text: 1 when correction (64 bytes) now holds a new form.
using HyphenateInText = int (*)(void* context, FoundWord& word, char* correction, const unsigned char* marks,
                                char language);

class LookupMemo;

struct AnalysisContext {
    std::uint32_t options;
    LookupMemo* memo = nullptr;     // null: every look-up asks the dictionaries
    const char* lastWord = nullptr; // the last word checked, null for none
    std::int32_t lastStartColumn = -1, lastStartLine = -1;
    HyphenateInText hyphenate = nullptr; // null: hyphenation in the text not allowed
    void* hyphenateContext = nullptr;
};

// word is brought up to date: its end and text when a full stop is taken back or "'s" cut off.
void AnalyseWord(FoundWord& word, const AnalysisContext& context, AnalysisResult& out);

} // namespace wortex
