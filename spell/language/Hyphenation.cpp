#include "Hyphenation.h"

#include "DictionarySet.h"
#include "Letters.h"
#include "Suggestions.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace wortex {

namespace {

// Rule lists: the first digit is the number of letters; prefixes carry a second digit, 1 when the letter
// after the prefix must be a vowel, 0 when it must not.
constexpr const char* kGermanNoPartStart[] = {"5endli", "4ende", "4elle"};
constexpr const char* kEnglishSuffixes[] = {
    "4able", "4ance", "4ages", "4ants", "4iers", "4ings", "4isms", "4ists", "4ites", "4ures", "3age", "3als",
    "3ant",  "3ers",  "3eus",  "3eut",  "3ier",  "3ing",  "3ism",  "3ist",  "3ite",  "3ors",  "3ure", "2al",
    "2an",   "2ed",   "2en",   "2er",   "2es",   "2et",   "2ic",   "2id",   "2or",   "2yd"};
constexpr const char* kGermanSuffixes[] = {"4lich", "4lein", "4heit", "4keit"};
constexpr const char* kEnglishPrefixes[] = {"30pre", "30pro", "21in", "21un"};
constexpr const char* kGermanPrefixes[] = {"30der", "30dis", "31aus", "31auf", "31dar", "31des",
                                           "31ein", "31end", "31ent", "31her", "30ver", "31ver",
                                           "21ab",  "21be",  "20er",  "21er",  "21ge",  "21un"};

bool isLetter(const HyphenWord& w, int k) {
    return k >= 0 && k < w.length && (w.kind[k] & 1);
}
bool isVowel(const HyphenWord& w, int k) {
    return k >= 0 && k < w.length && w.kind[k] == 3;
}
unsigned char uc(char c) {
    return static_cast<unsigned char>(c);
}
unsigned char at(const HyphenWord& w, int k) {
    return k >= 0 && k < w.length ? w.letters[k] : 0;
}
bool compoundBits(const HyphenWord& w, int k) {
    return k >= 0 && k < w.length && (w.marks[k] & 7);
}
bool standsAt(const HyphenWord& w, int position, const char* letters, int count) {
    if (position < 0 || position + count > w.length) return false;
    return std::memcmp(w.letters + position, letters, count) == 0;
}
bool oneOf(unsigned char c, const char* set) {
    return c && std::strchr(set, static_cast<char>(c));
}

bool germanNoPartStart(const HyphenWord& w, int position) {
    for (const char* s : kGermanNoPartStart)
        if (standsAt(w, position, s + 1, s[0] - '0')) return true;
    return false;
}

bool prefixEndsAt(const HyphenWord& w, int position) {
    for (int k = 0; k < w.prefixCount; ++k)
        if (w.prefixEnds[k] == position) return true;
    return false;
}

// A German prefix of the list, of at least minLength letters, standing right before position from the
// part's start or from a prefix taken there; whatever letter follows it. Inside a consonant cluster the
// letter after it is a consonant, which the prefix step refuses for most entries ("ein", "aus", "ent"
// want a vowel); the cluster still divides there (ein~schließ, aus~pro, ent~hal).
bool prefixStandsBefore(const HyphenWord& w, int position, int minLength) {
    if (w.language != 'D') return false;
    auto from = [&](int start) {
        int n = position - start;
        if (n < minLength || n > 3) return false;
        for (const char* e : kGermanPrefixes)
            if (e[0] - '0' == n && standsAt(w, start, e + 2, n)) return true;
        return false;
    };
    if (from(w.partStart)) return true;
    for (int k = 0; k < w.prefixCount; ++k)
        if (from(w.prefixEnds[k])) return true;
    return false;
}

// The letters from..to (excluded) as a word of a dictionary: a plain look-up, no compound.
bool listedLetters(const HyphenWord& w, int from, int to) {
    char text[HyphenWord::kMax + 1];
    if (from < 0 || to - from < 1) return false;
    for (int k = from; k < to; ++k)
        text[k - from] = static_cast<char>(w.letters[k]);
    text[to - from] = 0;
    return FindWordInDictionaries(0, text, 0, false) != 0;
}

// A word of three to eight letters begins at position, at least two letters before the part's end: after
// a prefix of three letters and a vowel the rest is mostly a compound (ver~ein~bart, Ver~ant~wor~tung).
bool wordBegins(const HyphenWord& w, int position) {
    for (int to = position + 3; to <= std::min(position + 8, w.partEnd - 2); ++to)
        if (listedLetters(w, position, to)) return true;
    return false;
}

// A joint "s" before the t at position: a word of four letters or more ends with the s or before it,
// and a word part of three letters or more begins with the t but no word with the s (Haus~tür, not
// Be~stand or Ge~gen~stand).
bool jointBeforeT(const HyphenWord& w, int position) {
    // After the t of such a joint a vowel other than e follows (tür, tag, teil): most st clusters
    // (Fen~ster, Ka~sten, Mu~ster~ta~fel) are passed without a look-up.
    int rest = w.partEnd - position;
    if (rest < 3 || !isVowel(w, position + 1) || at(w, position + 1) == 'e') return false;
    bool head = (position - w.partStart >= 4 && listedLetters(w, w.partStart, position)) ||
                (position - 1 - w.partStart >= 4 && listedLetters(w, w.partStart, position - 1));
    return head && !listedLetters(w, position - 1, w.partEnd) && IsWordPart(w, position, w.partEnd);
}

// Letters from..to (both included), none of them a vowel.
bool consonantsOnly(const HyphenWord& w, int from, int to) {
    for (int k = from; k <= to; ++k)
        if (!isLetter(w, k) || isVowel(w, k)) return false;
    return true;
}

// A German suffix of the list standing at position, also before an ending (Mög~lich~keit).
bool germanSuffixStands(const HyphenWord& w, int position) {
    if (w.language != 'D') return false;
    for (const char* e : kGermanSuffixes)
        if (standsAt(w, position, e + 1, e[0] - '0')) return true;
    return false;
}

// Whether the part may be cut right before position: no "~" there already, a letter on both sides, and no
// pair that stays together unless the marks set a joint there.
bool pairKeptTogether(const HyphenWord& w, int position) {
    unsigned char a = at(w, position - 1), b = at(w, position);
    bool pair = (a == 'c' && (b == 'h' || b == 'k')) || (a == 'p' && b == 'h');
    return pair && !(w.marks[position - 1] & 4);
}

} // namespace

int SuffixAt(const HyphenWord& w, int position) {
    auto match = [&](const char* const* list, std::size_t count) {
        for (std::size_t k = 0; k < count; ++k) {
            int n = list[k][0] - '0';
            if (position + n == w.partEnd && standsAt(w, position, list[k] + 1, n)) return n;
        }
        return 0;
    };
    if (w.language == 'E') return match(kEnglishSuffixes, std::size(kEnglishSuffixes));
    if (w.language == 'D') return match(kGermanSuffixes, std::size(kGermanSuffixes));
    return 0;
}

int NoSplitPair(const HyphenWord& w, int position) {
    unsigned char a = at(w, position), b = at(w, position + 1);
    if (!a || !b) return 0;
    static constexpr const char* kPairs[] = {"ch", "ck", "ei", "ec", "ie", "ic", "ph", "sp"};
    for (const char* p : kPairs)
        if (a == uc(p[0]) && b == uc(p[1])) return 1;
    if (a == 'q') return 1;
    if (w.language == 'D' && ((a == 't' && b == 'i') || (a == 's' && b == 't'))) return 1;
    return 0;
}

int PrefixAt(const HyphenWord& w, int position, int limit) {
    const char* const* list;
    std::size_t count;
    if (w.language == 'D') {
        list = kGermanPrefixes;
        count = std::size(kGermanPrefixes);
    } else if (w.language == 'E') {
        list = kEnglishPrefixes;
        count = std::size(kEnglishPrefixes);
    } else {
        return 0;
    }
    for (std::size_t k = 0; k < count; ++k) {
        int n = list[k][0] - '0';
        bool vowelAfter = list[k][1] == '1';
        int after = position + n;
        if (n > limit || after >= w.partEnd || !standsAt(w, position, list[k] + 2, n)) continue;
        if (isVowel(w, after) != vowelAfter) continue;
        if (NoSplitPair(w, after - 1)) continue;
        return n;
    }
    return 0;
}

int IsWordPart(const HyphenWord& w, int from, int to) {
    if (from == w.partStart) return 1;
    if (from == w.partStart + 1) return 0;
    if (from > 0 && (w.marks[from - 1] & 4)) return 1;
    int n = to - from;
    if (n < 2 || germanNoPartStart(w, from)) return 0;
    if (isVowel(w, from) && n < 3) return 0;
    bool vowel = false;
    char text[HyphenWord::kMax + 1];
    for (int k = 0; k < n; ++k) {
        if (!isLetter(w, from + k)) return 0;
        vowel = vowel || isVowel(w, from + k);
        text[k] = static_cast<char>(w.letters[from + k]);
    }
    text[n] = 0;
    if (!vowel) return 0;
    if (w.lookedUpTo[from] == to) return w.lookedUpFound[from];
    char found[64];
    unsigned char marks[kMarkCount];
    bool part = FindBestCorrection(0, w.language, text, found, marks, true) != 0;
    if (part && AnsiCompareNoCase(found, text) != 0)
        for (std::size_t k = 0; k < kMarkCount && part; ++k)
            part = !(marks[k] & kMarkPartEnd);
    w.lookedUpTo[from] = static_cast<unsigned char>(to);
    w.lookedUpFound[from] = part;
    return part;
}

int InsertHyphen(HyphenWord& w, int x) {
    if (x <= w.partStart + 1 || x >= w.partEnd - 1 || w.hyphenBefore[x] || pairKeptTogether(w, x)) return 0;
    // A vowel on each side before any non-letter.
    bool before = false;
    for (int k = x - 1; k >= w.partStart && !before; --k) {
        if (!isLetter(w, k)) break;
        before = isVowel(w, k);
        if (w.hyphenBefore[k]) break;
    }
    bool after = false;
    for (int k = x; k < w.partEnd && !after; ++k) {
        if (!isLetter(w, k) || (k > x && w.hyphenBefore[k])) break;
        after = isVowel(w, k);
    }
    if (!before || !after) return 0;
    w.hyphenBefore[x] = true;
    w.lastHyphen = x;
    if (x + 1 < w.partEnd && w.hyphenBefore[x + 1] && !isVowel(w, x - 1)) w.hyphenBefore[x + 1] = false;
    return 1;
}

int ClusterSplit(HyphenWord& w, int p) {
    auto c = [&](int k) { return p + k >= w.partStart ? at(w, p + k) : static_cast<unsigned char>(0); };
    auto vowel = [&](int k) { return p + k >= w.partStart && isVowel(w, p + k); };
    bool german = w.language == 'D';
    int x = p;
    bool decided = false;
    if (german && !vowel(-2)) {
        if (standsAt(w, p - 3, "sch", 3) && p - 3 >= w.partStart) {
            if (prefixEndsAt(w, p - 3) || prefixStandsBefore(w, p - 3, 2) || compoundBits(w, p - 4) ||
                IsWordPart(w, p - 3, w.partEnd)) {
                x = p - 3;
                decided = true;
            }
        } else if (standsAt(w, p - 2, "sch", 3) && p - 2 >= w.partStart) {
            bool umlaut = oneOf(c(-3), "\xE4\xF6\xFC");
            // After a consonant the sch begins the syllable (Men~schen, for~schen), unless an umlaut
            // before it makes the ending a diminutive (Gänschen keeps its s: no hyphen).
            if (standsAt(w, p + 1, "en", 2) && (umlaut || (vowel(-3) && vowel(-4))))
                x = p - 1;
            else if (vowel(-3) || !vowel(-4) || IsWordPart(w, p - 2, w.partEnd) ||
                     !oneOf(c(-4), "\xE4\xF6\xFC"))
                x = p - 2;
            else
                return 0;
            decided = true;
        }
    }
    // ck stays together and goes to the next syllable (Zu~cker): turning it into k~k would change the
    // word's letters, and a hyphenation written into the text would leave them changed.
    if (!decided && german && vowel(-2) && c(-1) == 'c' && c(0) == 'k') {
        if (w.partEnd == p + 2) return 0;
        x = p - 1;
        decided = true;
    }

    if (!decided && ((c(-2) == 'c' && c(-1) == 'h') || (c(-2) == 'c' && c(-1) == 'k'))) decided = true;
    if (!decided && !vowel(-1) && c(-2) == c(-1) && !prefixEndsAt(w, p - 1) && !prefixEndsAt(w, p - 2) &&
        !compoundBits(w, p - 2))
        decided = true;
    if (!decided && compoundBits(w, p - 1) && IsWordPart(w, p, w.partEnd)) decided = true;
    if (!decided) {
        unsigned char c0 = c(0), c1 = c(-1), c2 = c(-2);
        if ((c0 == 'f' && c1 == 'p') || (c0 == 'n' && (c1 == 'g' || c1 == 'k')) || (c0 == 'p' && c1 == 's')) {
            x = p - 1;
        } else if (c0 == 'h' && (c1 == 't' || c1 == 'p')) {
            // th and ph stay together unless the h starts a word of its own (mit~hil~fe, Rat~haus).
            if (!prefixEndsAt(w, p) && !listedLetters(w, p, w.partEnd)) x = p - 1;
        } else if (c0 == 'l' && ((c2 == 'p' && c1 == 'f') || (c2 == 'p' && c1 == 'h'))) {
            x = p - 2;
        } else if (c0 == 'l' && oneOf(c1, "bdfgkp")) {
            // The pair goes to the next syllable unless the l starts a suffix or a word part on its own;
            // a word that the pair itself starts wins (Fest~plat~te, not Festp~lat~te).
            bool keep = !prefixEndsAt(w, p) && !compoundBits(w, p - 2) &&
                        ((german && (SuffixAt(w, p) || germanSuffixStands(w, p))) ||
                         (IsWordPart(w, p, w.partEnd) && !listedLetters(w, p - 1, w.partEnd)));
            if (!keep) x = p - 1;
        } else if (c0 == 'r' && c2 == 's' && c1 == 't') {
            x = p - 2;
        } else if (c0 == 'r' && oneOf(c1, "bdfgkpt")) {
            if (!prefixEndsAt(w, p)) x = (c2 == 's' && (c1 == 'p' || c1 == 't')) ? p - 2 : p - 1;
        }
        if (x == p) {
            if (oneOf(c0, "hklr")) {
                if (standsAt(w, p - 3, "cht", 3)) return 0;
                if (c1 == 'c') x = p - 1;
            } else if (c0 == 't' && german && c1 == 's' && c2 != 's' && !jointBeforeT(w, p)) {
                // st stays together, except where the t starts a word part of its own after a joint
                // "s" (Diens~tag, Haus~tür).
                x = p - 1;
            }
        }
    }
    // A prefix that ends inside the cluster before a word takes the hyphen (aus~pro~biert,
    // Ab~rech~nung; not her~zlich). Asked only where the rules put it elsewhere.
    for (int k = p - 2; german && k <= p; ++k)
        if (k != x && k > w.partStart && consonantsOnly(w, k - 1, p) && prefixStandsBefore(w, k, 2) &&
            listedLetters(w, k, w.partEnd)) {
            x = k;
            break;
        }
    return InsertHyphen(w, x);
}

int HyphenateSegment(HyphenWord& w) {
    int start = w.partStart;
    int placed = 0;
    w.prefixCount = 0;
    for (;;) {
        int n = PrefixAt(w, start, 5);
        if (!n) break;
        if (n <= 2 && !isVowel(w, start + n) && !placed) break;
        if (n == 3 && !IsWordPart(w, start + n, w.partEnd) && !(isVowel(w, start + n) && wordBegins(w, start + n)))
            break;
        placed |= InsertHyphen(w, start + n);
        start += n;
        w.prefixEnds[w.prefixCount++] = start;
    }
    int cur = w.partEnd;
    bool first = true;
    for (;;) {
        int v2 = cur - 1;
        while (v2 >= start && !isVowel(w, v2))
            --v2;
        int p = v2 - 1;
        if (v2 < start || p < start) break;
        int v1 = p;
        while (v1 >= start && !isVowel(w, v1))
            --v1;
        if (v1 < start) break;
        int hyphen = 0;
        bool wasFirst = first;
        first = false;
        if (w.language == 'E' && wasFirst) {
            if (SuffixAt(w, p + 1))
                hyphen = InsertHyphen(w, p + 1) ? p + 1 : 0;
            else if (v1 != w.partStart && SuffixAt(w, v1))
                hyphen = InsertHyphen(w, v1) ? v1 : 0;
        }
        if (!hyphen && isLetter(w, p)) {
            if (!isVowel(w, p)) {
                if (ClusterSplit(w, p)) hyphen = w.lastHyphen;
            } else if (isVowel(w, p - 1) && p - 1 >= start) {
                hyphen = InsertHyphen(w, p + 1) ? p + 1 : 0;
            } else if (compoundBits(w, p - 2) && SuffixAt(w, p - 1) && !IsWordPart(w, p - 1, w.partEnd)) {
                hyphen = InsertHyphen(w, p - 1) ? p - 1 : 0;
            }
        }
        placed |= hyphen != 0;
        // Without a hyphen the earlier vowel becomes the later one, so the letters before it are looked at.
        cur = hyphen ? hyphen : v1 + 1;
    }
    return placed;
}

int MarksToHyphens(const unsigned char* marks, const char* word, char* output) {
    int any = 0, n = 0;
    for (int k = 0; word[k] && n < HyphenWord::kMax; ++k) {
        if ((marks[k] & 2) && !(marks[k] & 1) && k > 0 && n < HyphenWord::kMax - 1) {
            output[n++] = '~';
            any = 1;
        }
        output[n++] = word[k];
    }
    output[n] = 0;
    return any;
}

namespace {

// For a German compound: the last letter of a part that may end at letter i (after a joint "s", or
// before a doubled consonant, it ends elsewhere), -1 for none.
int partBoundary(HyphenWord& w, int i, int last) {
    int n = w.length;
    if (!isLetter(w, i) || n - (i + 1) < 4 || i + 1 - last < 2 || !compoundBits(w, i) || NoSplitPair(w, i))
        return -1;
    w.partStart = last;
    w.partEnd = last;
    while (w.partEnd < n && isLetter(w, w.partEnd))
        ++w.partEnd;
    if (PrefixAt(w, last, 5) > i - last) return -1;
    if ((w.marks[i] & 4) && !(w.marks[i + 1] & 4)) return i;
    if (!germanNoPartStart(w, i + 1) && IsWordPart(w, i + 1, w.partEnd)) return i;
    if (at(w, i + 1) == 's' && IsWordPart(w, i + 2, w.partEnd)) return i + 1;
    if (i >= 5 && !isVowel(w, i) && at(w, i) == at(w, i - 1) && isVowel(w, i - 2) && isVowel(w, i + 1) &&
        IsWordPart(w, i, w.partEnd))
        return i - 1;
    return -1;
}

bool hasVowelThenLetter(const HyphenWord& w, int from, int to) {
    for (int k = from; k + 1 < to; ++k)
        if (isVowel(w, k) && isLetter(w, k + 1)) return true;
    return false;
}

} // namespace

int HyphenateWord(char language, const char* word, const unsigned char* marks, char* output) {
    output[0] = 0;
    language = static_cast<char>(AnsiToUpper(static_cast<unsigned char>(language)));
    if (language != 'D' && language != 'E') return 0;
    HyphenWord w;
    w.language = language;
    char typed[HyphenWord::kMax + 1];
    for (int k = 0; word[k]; ++k) {
        if (word[k] == '~') continue;
        if (w.length == HyphenWord::kMax) return 0;
        typed[w.length] = word[k];
        w.marks[w.length] = marks ? marks[w.length] : 0;
        // On the first letter bits 1 and 2 are its capital (nothing can be hyphenated before it), not a
        // joint: read as one, they moved the first hyphen of Ablage, Abbau.
        if (w.length == 0) w.marks[0] &= static_cast<unsigned char>(~3);
        unsigned char letter = AnsiToLower(static_cast<unsigned char>(word[k]));
        w.kind[w.length] = IsAnsiLetter(letter) ? (IsAnsiVowel(letter) ? 3 : 1) : 0;
        w.letters[w.length++] = letter;
    }
    int letters = 0;
    for (int k = 0; k < w.length; ++k)
        letters += isLetter(w, k);
    if (letters < 5) return 0;
    // Part boundaries: a hyphen (or any other non-letter) in the word, and for German the joints of a
    // compound.
    bool boundaryAfter[HyphenWord::kMax + 1] = {};
    for (int i = 1, last = 0; i < w.length && language == 'D'; ++i) {
        if (!isLetter(w, i)) {
            last = i + 1;
            continue;
        }
        int b = partBoundary(w, i, last);
        if (b < 0) continue;
        boundaryAfter[b] = true;
        last = b + 1;
        i = std::max(i, b);
    }
    // Each part by the syllable rules; parts joined by "~" where both hold a vowel followed by a letter.
    auto partEnd = [&](int from) {
        int e = from + 1;
        while (e < w.length && isLetter(w, e) && !boundaryAfter[e - 1])
            ++e;
        return e;
    };
    for (int k = 0; k < w.length;) {
        if (!isLetter(w, k)) {
            ++k;
            continue;
        }
        int e = partEnd(k);
        w.partStart = k;
        w.partEnd = e;
        HyphenateSegment(w);
        if (e < w.length && isLetter(w, e) && hasVowelThenLetter(w, k, e) &&
            hasVowelThenLetter(w, e, partEnd(e)))
            w.hyphenBefore[e] = true;
        k = e;
    }
    char out[2 * HyphenWord::kMax + 2];
    int n = 0, hyphens = 0;
    for (int k = 0; k < w.length; ++k) {
        if (w.hyphenBefore[k] && k > 0) {
            out[n++] = '~';
            ++hyphens;
        }
        // Letters keep their case; only the c of a ck that became kk changes.
        unsigned char letter = uc(typed[k]);
        if (AnsiToLower(letter) != w.letters[k])
            letter = AnsiToLower(letter) == letter ? w.letters[k] : AnsiToUpper(w.letters[k]);
        out[n++] = static_cast<char>(letter);
    }
    out[n] = 0;
    if (!hyphens || n > HyphenWord::kMax) return 0;
    std::memcpy(output, out, n + 1);
    return 1;
}

} // namespace wortex
