#pragma once
// Hyphenation points of a word, written as "~" before the letter that starts the next piece. German words
// are first cut into the parts of a compound (from the correction marks and the dictionaries), then each
// part into syllables; English words go straight to the syllable rules; other languages get none.
#include <cstddef>

namespace wortex {

// A word being hyphenated: lower-case letters, one mark per letter, and where a "~" stands.
struct HyphenWord {
    static constexpr int kMax = 63;
    char language = 0;
    unsigned char letters[kMax + 1] = {};
    unsigned char marks[kMax + 1] = {};
    // Per letter: 1 a letter, 3 a vowel; worked out once, the rules ask again and again.
    unsigned char kind[kMax + 1] = {};
    bool hyphenBefore[kMax + 1] = {};
    int length = 0;
    // The part being hyphenated and where the prefixes of its syllable step ended.
    int partStart = 0, partEnd = 0;
    int prefixEnds[kMax + 1] = {};
    int prefixCount = 0;
    int lastHyphen = 0; // where InsertHyphen last placed one
    // Dictionary answers of IsWordPart by the part's first letter, for the last end asked (0 none):
    // the rules ask for the same rest of a word again and again.
    mutable unsigned char lookedUpTo[kMax + 1] = {};
    mutable bool lookedUpFound[kMax + 1] = {};
};

// marks: one byte per letter of the word without its "~" (may be null); output: 64 bytes. 1 when the output
// holds the word with "~" at every hyphenation point, 0 when there is none (also for fewer than 5 letters, a
// language other than 'D' and 'E', and a result longer than 63 characters). Letters keep their case.
int HyphenateWord(char language, const char* word, const unsigned char* marks, char* output);
// The word with "~" before each letter whose mark has bit 2 and not bit 1; 1 when any was written.
int MarksToHyphens(const unsigned char* marks, const char* word, char* output);

// The steps, on the word's letters [partStart, partEnd) where a part is concerned.
int IsWordPart(const HyphenWord& w, int from, int to);
// Length of the suffix of the language's list that stands at position and ends the part; 0 if none.
int SuffixAt(const HyphenWord& w, int position);
// Length of a prefix of the language's list at position, at most limit letters; 0 if none.
int PrefixAt(const HyphenWord& w, int position, int limit);
int NoSplitPair(const HyphenWord& w, int position);
// A "~" before the letter at position when the part allows it there; 1 if placed.
int InsertHyphen(HyphenWord& w, int position);
int HyphenateSegment(HyphenWord& w);
// The consonants between two vowel groups, p the last of them; 1 if a hyphen was placed.
int ClusterSplit(HyphenWord& w, int p);

} // namespace wortex
