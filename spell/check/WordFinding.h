#pragma once
// Finding words in an attached window's text: the word at a place, joined over line ends, its bounds in a
// line, the sentence class before it, and the part of a word that differs from its correction.
#include <cstdint>

namespace wortex {

struct EditAttachment;

constexpr std::size_t kWordSize = 64; // a word with its NUL

// Sentence classes.
constexpr std::int16_t kInSentence = 0;
constexpr std::int16_t kAfterAbbreviation = 1;
constexpr std::int16_t kSentenceStart = 2;
// After a full stop that ends a run of letters: 1 or 2, decided by a dictionary look-up of the run that
// has not been made yet (DecideSentenceClass).
constexpr std::int16_t kSentenceUndecided = -1;

struct FoundWord {
    char word[kWordSize];
    std::int32_t startColumn, startLine, endColumn, endLine;
    std::int16_t sentenceClass;
    bool fullStop;   // a final full stop was dropped
    bool joined;     // joined over a line end without a hyphen
    bool hardJoined; // joined over a hard line break by the hyphen that ends the line above
    // Written as it must be typed: part of an option ("-name", "--version"), a path or an identifier, run on
    // in digits, on a shell prompt's line or in a quoted command (»git clone«); the word analysis
    // adds words with capitals inside.
    bool technical;
    char runBefore[kWordSize]; // the run ending in the full stop while the class is undecided
    // The end of the characters found as one word before trimming ("Hauss...Garten" gives "Hauss"): every
    // place up to it finds this word again.
    std::int32_t runEndColumn, runEndLine;
};

// Bounds of the word at a position of a line: start and end (exclusive); start == end when there is none.
void WordBounds(const char* text, std::int32_t length, std::int32_t position, std::int32_t& start,
                std::int32_t& end);
// Class of a word whose preceding characters are read backwards from position - 1.
std::int16_t SentenceClass(const char* text, std::int32_t position);
// The word at (column, line) of the attached text; false when there is none. Without decideClass, the
// sentence class may stay undecided: the word analysis decides it where it reads it (a word that begins
// with a small letter), so no look-up is made for the others.
bool FindWordAt(EditAttachment& a, std::int32_t column, std::int32_t line, FoundWord& out,
                bool decideClass = true);
class LookupMemo;
// Makes the look-up of an undecided sentence class, through memo when given.
void DecideSentenceClass(FoundWord& word, LookupMemo* memo = nullptr);

struct TextPlace {
    std::int32_t column, line;
};
struct WordChange {
    char text[kWordSize]; // replacement text
    TextPlace start, end; // replacement range
    std::int32_t caret;   // caret distance from the word's start, adjusted
};
// Line lengths are read through the attachment's line cache. 0 when nothing is to be replaced.
int WordDifference(EditAttachment& a, const char* word, const char* correction, const FoundWord& place,
                   std::int32_t caretDistance, WordChange& out);
// The same over a function that gives a line's length (-1 when there is no such line).
using LineLengthFn = std::int32_t (*)(void* context, std::int32_t line);
int WordDifference(LineLengthFn lineLength, void* context, const char* word, const char* correction,
                   const FoundWord& place, std::int32_t caretDistance, WordChange& out);

} // namespace wortex
