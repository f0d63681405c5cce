#include "WordAnalysis.h"

#include "DictionarySet.h"
#include "Letters.h"
#include "LookupMemo.h"
#include "Suggestions.h"
#include "UserFile.h"

#include <cstring>

namespace wortex {
namespace {

constexpr std::uint32_t kOptionErrorBeep = 0x10;
constexpr std::uint32_t kOptionCorrBeep = 0x20;
constexpr std::uint32_t kOptionAbbrevBeep = 0x40;
constexpr std::uint32_t kOptionAutoSplit = 0x8;
constexpr std::uint32_t kOptionUserCorrect = 0x1000;
constexpr std::uint32_t kOptionPrioritySharp = 0x40000;
constexpr std::uint32_t kOptionPriorityPlain = 0x80000;
constexpr std::uint32_t kOptionBits = 0x9FFFFFFF;

unsigned char uc(char c) {
    return static_cast<unsigned char>(c);
}
inline bool isCapital(unsigned char c) {
    return IsAnsiLetter(c) && AnsiToLower(c) != c;
}
inline bool isSmall(unsigned char c) {
    return IsAnsiLetter(c) && AnsiToUpper(c) != c;
}
void upperFirst(char* s) {
    s[0] = static_cast<char>(AnsiToUpper(uc(s[0])));
}
void lowerFirst(char* s) {
    s[0] = static_cast<char>(AnsiToLower(uc(s[0])));
}

void copyWord(char* to, const char* from) {
    std::strncpy(to, from, kWordSize - 1);
    to[kWordSize - 1] = 0;
}

void withoutTilde(const char* from, char* to) {
    std::size_t n = 0;
    for (; *from && n < kWordSize - 1; ++from)
        if (*from != '~') to[n++] = *from;
    to[n] = 0;
}

bool sameIgnoringHyphens(const char* a, const char* b) {
    for (;; ++a, ++b) {
        while (*a == '~' || *a == '-')
            ++a;
        while (*b == '~' || *b == '-')
            ++b;
        if (*a != *b) return false;
        if (!*a) return true;
    }
}

bool isLastWord(const FoundWord& w, const AnalysisContext& c) {
    if (!c.lastWord) return false;
    if (w.startColumn == c.lastStartColumn && w.startLine == c.lastStartLine) return true;
    return sameIgnoringHyphens(w.word, c.lastWord);
}

struct Shown {
    char* text;
    std::size_t length = 0;
    void put(char c) {
        if (length < kWordSize - 1) text[length++] = c;
        text[length] = 0;
    }
};

bool listed(char language, const char* word) {
    int mark = 0;
    WordOut out;
    out.mark = &mark;
    return FindWordInDictionaries(0, word, language, true, nullptr, out) != 0 && !mark;
}

void sharpSRules(char language, char* correction, unsigned char* marks, std::uint32_t& kind, bool allCapitals,
                 std::uint32_t options) {
    std::uint32_t ignored = 0;
    if (language == 'D' || language == 0) {
        if (allCapitals && std::strchr(correction, '\xDF')) {
            ReplaceSharpS(correction, marks, ignored);
            return;
        }
        if (language != 'D') return;
        if (options & kOptionPrioritySharp) {
            if (std::strstr(correction, "ss") && listed(language, correction))
                ReplaceIfListed(language, correction, marks, "ss", "\xDF", kind, kKindSharpS);
        } else if (options & kOptionPriorityPlain) {
            if (std::strchr(correction, '\xDF') && listed(language, correction) &&
                ReplaceSharpS(correction, marks, ignored))
                kind |= kKindPlainSs;
        }
    } else if (language == 'E') {
        if (options & kOptionPrioritySharp) {
            if (std::strchr(correction, 'o') && listed(language, correction))
                ReplaceIfListed(language, correction, marks, "o", "ou", kind, kKindSharpS);
        } else if (options & kOptionPriorityPlain) {
            if (std::strstr(correction, "ou") && listed(language, correction))
                ReplaceIfListed(language, correction, marks, "ou", "o", kind, kKindPlainSs);
        }
    }
}

// False when the user file does not know the word.
bool userFileAnalysis(FoundWord& w, const AnalysisContext& c, AnalysisResult& r, bool& fullStopBack) {
    char key[kWordSize], correction[kWordSize] = {};
    int action = 0;
    copyWord(key, w.word);
    for (char* p = key; *p; ++p)
        if (*p == '~') *p = '-';
    bool hasTilde = std::strchr(w.word, '~') != nullptr;
    bool found = LookupUserWord(c.memo, key, correction, &action) == 1;
    if (!found && hasTilde) {
        withoutTilde(w.word, key);
        found = LookupUserWord(c.memo, key, correction, &action) == 1;
    }
    if (!found && w.fullStop) {
        std::size_t n = std::strlen(key);
        if (n < kWordSize - 1) {
            key[n] = '.';
            key[n + 1] = 0;
            found = fullStopBack = LookupUserWord(c.memo, key, correction, &action) == 1;
        }
    }
    if (!found) return false;
    copyWord(r.shown, w.word);
    std::memset(r.marks, 0, sizeof r.marks);
    r.language = 0;
    r.kind = kKindUserFile | (c.options & kOptionCorrBeep ? kKindCorrBeep : 0) |
             (hasTilde ? kKindShownAsHyphenation : 0);
    r.flags = kFlagToDo;
    copyWord(r.correction, correction);
    if (action & kUserIgnore) {
        withoutTilde(w.word, r.correction);
        r.flags |= kFlagReport;
    }
    if (isSmall(uc(w.word[0])) && w.sentenceClass != kInSentence) r.kind |= kKindCapitalDoubtful;
    if ((action & kUserReplace) && std::strcmp(correction, w.word) != 0) {
        if ((r.kind & kKindCapitalDoubtful) || isLastWord(w, c)) {
            r.flags |= 0x82;
            if (c.options & kOptionErrorBeep) r.kind |= kKindErrorBeep;
        } else {
            r.flags |= kFlagAutoCorrect;
        }
    }
    return true;
}

// The search form of a word: small letters, a leading capital written "~" and its small letter (the
// dictionaries keep no other capitals).
void searchForm(const char* word, char* out) {
    std::size_t n = 0;
    if (isCapital(uc(*word))) out[n++] = '~';
    for (; *word && n < kWordSize - 1; ++word)
        out[n++] = static_cast<char>(AnsiToLower(uc(*word)));
    out[n] = 0;
}

// Capitals that a dictionary cannot judge: its words keep no capital past the first letter, so "CDs" and
// "MByte" come back as Cds and Mbyte. An acronym's plural (capitals, then "s") and a unit with a
// one-letter prefix before a capitalised word ("MByte", "GHz") are written so on purpose, not two
// capitals typed by mistake.
bool acronymOrUnit(const char* word, LookupMemo* memo) {
    std::size_t n = std::strlen(word);
    std::size_t capitals = 0;
    while (capitals < n && isCapital(uc(word[capitals])))
        ++capitals;
    if (capitals >= 2 && capitals + 1 == n && word[n - 1] == 's') return true;
    if (n < 3 || !std::strchr("kMGTP", word[0])) return false;
    char search[kWordSize], correction[kWordSize];
    unsigned char marks[kMarkCount];
    searchForm(word + 1, search);
    return FindBestCorrection(memo, search, correction, marks) && std::strcmp(correction, word + 1) == 0;
}

// A small first letter with a capital later ("kB", "mA") is written so on purpose: the dictionary's
// capital first letter does not count against it.
bool innerCapitalAfterSmall(const char* word) {
    if (!isSmall(uc(word[0]))) return false;
    for (const char* p = word + 1; *p; ++p)
        if (isCapital(uc(*p))) return true;
    return false;
}

// Capitals inside a word ("BitKoenig", "GmbH", "iPhone") are written so on purpose; two capitals at its
// start ("HÖrt") are a slip of the shift key that the analysis corrects.
bool innerCapitals(const char* word) {
    if (!word[0] || !word[1]) return false;
    const unsigned char first = uc(word[0]);
    for (std::size_t k = (first >= 'a' && first <= 'z') || isSmall(first) ? 1 : 2; k < kWordSize && word[k];
         ++k) {
        const unsigned char c = uc(word[k]);
        // Small ASCII letters, the most of any text, are passed over without a look at the letter table.
        if (c >= 'a' && c <= 'z') continue;
        if ((c >= 'A' && c <= 'Z') || (c >= 0x80 && AnsiToLower(c) != c)) return true;
    }
    return false;
}

// Whether correction spells the word otherwise, not only in other capitals; "~" in the word are line-end
// hyphens of the text.
bool respells(const char* word, const char* correction) {
    // The common cases first: the same word, or the same with another first letter's case.
    if (word[0] && std::strcmp(word + 1, correction + (correction[0] ? 1 : 0)) == 0)
        return word[0] != correction[0] && AnsiToLower(uc(word[0])) != AnsiToLower(uc(correction[0]));
    char plain[kWordSize];
    withoutTilde(word, plain);
    const char* a = plain;
    for (; *a && *correction; ++a, ++correction)
        if (AnsiToLower(uc(*a)) != AnsiToLower(uc(*correction))) return true;
    return *a || *correction;
}

// A piece of a word the dictionaries list as written, or with a small first letter at a sentence's start.
bool knownPiece(const char* from, std::size_t n) {
    if (n < 2 || n >= kWordSize) return false;
    char piece[kWordSize];
    std::memcpy(piece, from, n);
    piece[n] = 0;
    if (FindWordInDictionaries(0, piece, 0, true)) return true;
    if (!isCapital(uc(piece[0]))) return false;
    lowerFirst(piece);
    return FindWordInDictionaries(0, piece, 0, true) != 0;
}

// The word as its author wrote it: a hyphen the window moved to a line end ("~") was put in by a
// hyphenation and goes, unless it joins two words the dictionaries know ("sprach-unabhängigen").
void asWritten(const char* word, char* out) {
    std::size_t n = 0, piece = 0;
    for (std::size_t k = 0; word[k]; ++k) {
        if (word[k] == '~') {
            std::size_t next = k + 1;
            while (word[next] && word[next] != '~' && word[next] != '-')
                ++next;
            if (knownPiece(word + piece, k - piece) && knownPiece(word + k + 1, next - k - 1)) out[n++] = '-';
            piece = k + 1;
            continue;
        }
        if (word[k] == '-') piece = k + 1;
        out[n++] = word[k];
    }
    out[n] = 0;
}

// The marks of correction for word, which holds the same letters in any case and may hold hyphens of its
// own; false when the letters differ.
bool marksFor(const char* word, const char* correction, const unsigned char* marks, unsigned char* out) {
    std::size_t j = 0;
    for (std::size_t k = 0; word[k]; ++k) {
        if (word[k] == '-' && correction[j] != '-') {
            out[k] = 0;
            continue;
        }
        if (!correction[j] || AnsiToLower(uc(word[k])) != AnsiToLower(uc(correction[j]))) return false;
        out[k] = marks[j++];
    }
    return !correction[j];
}

// The dictionary handle that knew the word, 0 for none.
DBHandle dictionaryAnalysis(FoundWord& w, const AnalysisContext& c, bool allCapitals, AnalysisResult& r,
                            bool& fullStopBack) {
    for (;;) {
        char search[kWordSize];
        searchForm(w.word, search);
        DBHandle h = FindBestCorrection(c.memo, search, r.correction, r.marks);
        MarkTableResult m;
        ApplyMarkTable(w.word, r.correction, r.marks, w.fullStop, m);
        if (m.apostropheS) {
            std::size_t n = std::strlen(w.word);
            w.word[n - 2] = 0;
            w.endColumn -= 2;
            continue;
        }
        if (h && (m.kind & ~(kKindCompound | kKindDictionaryCapital)) && respells(w.word, r.correction)) {
            // The cheapest correction may be a variant ("Mobiltelephone") of a word the dictionary holds as
            // it stands: that word is no error.
            char exact[kWordSize];
            unsigned char exactMarks[kMarkCount];
            DBHandle e = FindBestCorrection(0, 0, search, exact, exactMarks, true);
            if (e && !respells(w.word, exact)) {
                h = e;
                copyWord(r.correction, exact);
                std::memcpy(r.marks, exactMarks, sizeof r.marks);
                ApplyMarkTable(w.word, r.correction, r.marks, w.fullStop, m);
            }
        }
        r.kind = h ? 0 : kKindUnknown;
        r.language = h ? GetDictionaryLanguageOf(c.memo, h) : 0;
        copyWord(r.shown, m.shown);
        r.kind |= m.kind;
        if (innerCapitalAfterSmall(w.word)) r.kind &= ~kKindDictionaryCapital;
        fullStopBack = m.fullStopTakenBack;
        if (allCapitals || (h && (c.options & (kOptionPrioritySharp | kOptionPriorityPlain))))
            sharpSRules(r.language, r.correction, r.marks, r.kind, allCapitals, c.options);
        // Asked only of a word the analysis would change.
        if (r.kind && !allCapitals && innerCapitals(w.word)) w.technical = true;
        if (w.technical) {
            // An option, a path or an identifier is written as it must be typed: its case, an "ae" for "ä"
            // or a missing dot or hyphen is no error ("--daemon" stays).
            r.kind &= ~(kKindDictionaryCapital | kKindAccent | kKindSharpS | kKindPlainSs | kKindSpecialChar);
            if (!(r.kind & kKindUnknown))
                copyWord(r.correction, w.word);
            else if (r.correction[0] && AnsiToLower(uc(r.correction[0])) == AnsiToLower(uc(w.word[0])))
                r.correction[0] = w.word[0];
        } else if (isSmall(uc(w.word[0])) && w.sentenceClass != kInSentence &&
                   !(r.kind & kKindDictionaryCapital)) {
            if (w.sentenceClass == kSentenceStart) {
                upperFirst(r.correction);
                r.kind |= kKindSentenceCapital;
            } else {
                r.kind |= kKindCapitalDoubtful;
            }
        }
        if (isCapital(uc(w.word[1])) && isSmall(uc(w.word[2])) && !acronymOrUnit(w.word, c.memo))
            r.kind |= kKindTwoCapitals;
        if ((r.kind & kKindCompound) && isSmall(uc(w.word[0])) && (r.kind & kKindDictionaryCapital)) {
            r.kind = kKindDictionaryCapital | kKindCapitalDoubtful;
            lowerFirst(r.shown);
        }
        return h;
    }
}

} // namespace

void ApplyMarkTable(const char* word, const char* correction, const unsigned char* marks,
                    bool fullStopDropped, MarkTableResult& out) {
    std::memset(&out, 0, sizeof out);
    Shown shown{out.shown};
    std::size_t wordLength = std::strlen(word), at = 0;
    std::size_t letters = std::strlen(correction);
    if (letters > kWordSize - 1) letters = kWordSize - 1;
    bool previousCompound = false;
    for (std::size_t k = 0; k <= letters; ++k) {
        unsigned char mark = marks[k];
        char letter = correction[k];
        if ((mark & 0x1) && !(mark & 0x2)) {
            out.kind |= kKindUnknown;
            if (k > 0 && (out.kind & kKindCompound)) {
                if (previousCompound && shown.length && shown.text[shown.length - 1] == '+')
                    shown.text[shown.length - 1] = '\\';
                else
                    shown.put('\\');
            }
            if (at < wordLength && std::strcmp(word + at, "'s") == 0) {
                out.apostropheS = true;
                return;
            }
        }
        std::size_t take = 1;
        unsigned char row = mark & 0xF0;
        if ((row & 0xE0) == 0xE0) {
            take = 3;
            out.kind |= kKindShownAsHyphenation;
        } else if ((row & 0xC0) == 0xC0 || (row & 0xA0) == 0xA0) {
            take = 2;
            out.kind |= kKindShownAsHyphenation;
        } else if ((row & 0x60) == 0x60) {
            take = 2;
            out.kind |= kKindAccent;
        } else if ((mark & 0x40) && (mark & 0x4)) {
            take = 1;
        } else if (mark & 0x10) {
            take = 0;
            if (letter == '-' || letter == '\'')
                out.kind |= kKindSpecialChar;
            else if (letter == '.' && k + 1 == letters && fullStopDropped)
                out.fullStopTakenBack = true;
            else if (letter == '.')
                out.kind |= kKindSpecialChar;
        } else if (row == 0x20) {
            out.kind |= kKindAccent;
        } else if (row == 0x40 || row == 0x80) {
            take = 2;
            if (at + 1 < wordLength && word[at + 1] == '-')
                out.kind |= kKindSpecialChar;
            else if (row == 0x80)
                out.kind |= kKindShownAsHyphenation;
        }
        for (std::size_t n = 0; n < take && at < wordLength; ++n, ++at) {
            char c = word[at];
            if (n == 0 && (mark & 0x8)) {
                if (k == 0)
                    out.kind |= kKindDictionaryCapital;
                else
                    c = static_cast<char>(AnsiToUpper(uc(c)));
            }
            shown.put(c);
        }
        previousCompound = (mark & 0x4) != 0;
        if (previousCompound) {
            shown.put('+');
            out.kind |= kKindCompound;
        }
    }
}

void AnalyseWord(FoundWord& w, const AnalysisContext& c, AnalysisResult& r) {
    std::memset(&r, 0, sizeof r);
    // The class is read only for a word that begins with a small letter.
    if (isSmall(uc(w.word[0]))) DecideSentenceClass(w, c.memo);
    bool allCapitals = true;
    for (const char* p = w.word; *p; ++p)
        if (AnsiToUpper(uc(*p)) != uc(*p)) allCapitals = false;
    bool fullStopBack = false;
    bool user = (c.options & kOptionUserCorrect) && userFileAnalysis(w, c, r, fullStopBack);
    // A hyphen at a line break of the text is the user's: it is no change the check proposes.
    if (user && w.hardJoined) r.kind &= ~kKindShownAsHyphenation;
    if (!user) {
        DBHandle h = dictionaryAnalysis(w, c, allCapitals, r, fullStopBack);
        // A single letter stands for itself ("f wird angezeigt"): one the dictionary holds only as a longer
        // word ("f" as "Ph") is reported, never replaced.
        const bool letterOnly = w.word[0] && !w.word[1];
        if (letterOnly && h && std::strlen(r.correction) != 1) {
            h = 0;
            r.kind = kKindUnknown;
            copyWord(r.correction, w.word);
            std::memset(r.marks, 0, sizeof r.marks);
        }
        if (w.hardJoined) r.kind &= ~kKindShownAsHyphenation;
        if (r.kind == 0) {
            r.flags = 0;
        } else {
            r.flags = kFlagToDo;
            bool known = h != 0;
            if (!h && !letterOnly) {
                char replacement[kWordSize] = {};
                DBHandle b = BestReplacement(w.word, replacement);
                std::memset(r.marks, 0, sizeof r.marks);
                if (b) {
                    known = true;
                    copyWord(r.correction, replacement);
                    if (w.startColumn == 0) {
                        char exact[kWordSize];
                        if (FindBestCorrection(b, 0, replacement, exact, r.marks, true))
                            r.language = GetDictionaryLanguageOf(b);
                        else
                            std::memset(r.marks, 0, sizeof r.marks);
                    }
                }
            }
            std::uint32_t essential = r.kind & ~(kKindErrorBeep | kKindCorrBeep | kKindAbbrevBeep);
            // A respelling is made only into a word the dictionaries list: one built as a compound around
            // the change ("daemontools" as "dämon+tools") would damage a name; the word is reported.
            bool unlisted = h && respells(w.word, r.correction) && !listed(r.language, r.correction);
            if ((r.kind & kOptionBits & ~c.options) || isLastWord(w, c) || unlisted) {
                r.flags |= 0x82;
                if (c.options & kOptionErrorBeep) r.kind |= kKindErrorBeep;
            } else if (!known) {
            } else if ((essential & ~(kKindCompound | kKindShownAsHyphenation | kKindCapitalDoubtful)) == 0 &&
                       !(essential & kKindShownAsHyphenation)) {
            } else if (essential == kKindShownAsHyphenation && w.endLine > w.startLine && !w.joined &&
                       !(c.options & kOptionAutoSplit)) {
            } else {
                r.flags |= kFlagAutoCorrect;
                if (c.options & kOptionCorrBeep) r.kind |= kKindCorrBeep;
                if (r.kind & kKindCapitalDoubtful) lowerFirst(r.correction);
            }
        }
    }
    if (allCapitals) {
        AnsiStrUpper(r.shown);
        AnsiStrUpper(r.correction);
    }
    // A word the analysis leaves as it stands keeps its letters, their case and its author's hyphens: a
    // hyphenation breaks it as written, not as the dictionary spells it.
    constexpr std::uint32_t kKeepsLetters = kKindCompound | kKindErrorBeep | kKindCorrBeep | kKindAbbrevBeep |
                                            kKindShownAsHyphenation | kKindCapitalDoubtful;
    unsigned char marks[kMarkCount] = {};
    bool breakable = r.correction[0] != 0;
    if (!user && !(r.kind & ~kKeepsLetters) && !allCapitals) {
        char written[kWordSize];
        asWritten(w.word, written);
        breakable = marksFor(written, r.correction, r.marks, marks);
        if (breakable) copyWord(r.correction, written);
    } else {
        std::memcpy(marks, r.marks, sizeof marks);
    }
    // An option or a path is never split at a line end, nor a name with capitals inside ("PostScript"):
    // the rules know only the dictionary's spelling.
    if (!(r.flags & kFlagReport) && !w.technical && c.hyphenate && r.language && breakable &&
        !innerCapitals(w.word) && (w.endLine > w.startLine || w.endColumn - w.startColumn > 3) &&
        (w.joined || (c.options & kOptionAutoSplit))) {
        char trial[kWordSize];
        copyWord(trial, r.correction);
        if (c.hyphenate(c.hyphenateContext, w, trial, marks, r.language) == 1 &&
            std::strcmp(trial, w.word) != 0) {
            copyWord(r.correction, trial);
            r.kind |= kKindHyphenation | (c.options & kOptionCorrBeep ? kKindCorrBeep : 0);
            if (!(r.flags & kFlagReport)) r.flags |= kFlagToDo | kFlagAutoCorrect;
        } else if (!w.joined) {
            r.kind &= ~kKindShownAsHyphenation;
            if (r.kind == kKindCorrBeep) r.kind = r.flags = 0;
        }
    }
    if (r.kind & kKindCapitalDoubtful) {
        r.flags |= kFlagMark;
        if (c.options & kOptionAbbrevBeep) r.kind |= kKindAbbrevBeep;
        if (!(r.flags & kFlagAutoCorrect)) upperFirst(r.correction);
    }
    if (isCapital(uc(w.word[0])))
        upperFirst(r.correction);
    else if ((r.kind & kKindCompound) && isSmall(uc(w.word[0])))
        lowerFirst(r.correction);
    if (fullStopBack) {
        std::size_t n = std::strlen(w.word);
        if (n < kWordSize - 1) {
            w.word[n] = '.';
            w.word[n + 1] = 0;
        }
        n = std::strlen(r.shown);
        if (n < kWordSize - 1) {
            r.shown[n] = '.';
            r.shown[n + 1] = 0;
        }
        ++w.endColumn;
        w.fullStop = false;
    }
}

} // namespace wortex
