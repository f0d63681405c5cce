#include "WordFinding.h"

#include "Attachments.h"
#include "Letters.h"
#include "LookupMemo.h"
#include "Suggestions.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace wortex {
namespace {

constexpr std::int32_t kMaxWord = 63;
// A look back goes no further than a word can reach: every line it joins adds a character.
constexpr int kMaxLookBack = 64;

unsigned char uc(char c) {
    return static_cast<unsigned char>(c);
}
inline bool isCapital(unsigned char c) {
    return IsAnsiLetter(c) && AnsiToLower(c) != c;
}
inline bool isSmall(unsigned char c) {
    return IsAnsiLetter(c) && AnsiToUpper(c) != c;
}
bool hyphenBeforeCapital(const char* text, std::int32_t length, std::int32_t k) {
    return text[k] == '-' && k + 1 < length && isCapital(uc(text[k + 1]));
}

// The first step of WordBounds: where the backward move from position stops.
std::int32_t backToWordChar(const char* text, std::int32_t position) {
    while (position > 0 && !IsWordChar(uc(text[position])))
        --position;
    return position;
}

void boundsFrom(const char* text, std::int32_t length, std::int32_t position, std::int32_t& raw,
                std::int32_t& start, std::int32_t& end);

// SentenceClass short of its dictionary look-up: kSentenceUndecided, with the run, when it needs one.
std::int16_t scanSentence(const char* text, std::int32_t position, char* run);

enum class Look { First, Back, Forward };

struct Part {
    char word[kWordSize] = {};
    std::int32_t length = 0;
    std::int32_t startColumn = 0, startLine = 0, endColumn = 0, endLine = 0;
    std::int16_t sentenceClass = 0;
    char runBefore[kWordSize] = {};
    bool classSettled = false; // a look back decided the class of the word that follows
    bool joined = false;
    bool hardJoined = false;
    bool technical = false;
    std::int32_t rawStart = -1; // first word character in the searched line, -1 for none
};

bool isQuote(unsigned char c) {
    return c == 0xBB || c == 0xAB || c == 0x84 || c == 0x93 || c == '"';
}

// One pass over a line read for the first time, so that no word of it needs another.
void measure(CachedLineRecord& r) {
    r.length = static_cast<std::int32_t>(strnlen(r.text, r.size - 1));
    for (std::int32_t k = 0; k < r.length; ++k) {
        if (!isQuote(uc(r.text[k]))) continue;
        r.quotes.push_back(k);
        if (r.text[k] == '"') r.asciiQuotes.push_back(k);
    }
}

bool readLine(EditAttachment& a, std::int32_t line, const char*& text, std::int32_t& length,
              const CachedLineRecord** record = nullptr) {
    if (line < 0) return false;
    bool error = false;
    CachedLineRecord* r = CachedLine(a, line, &error);
    if (!r || !r->text || r->size < 2) return false;
    if (r->length < 0) measure(*r);
    text = r->text;
    length = r->length;
    if (record) *record = r;
    return length > 0;
}

// A word part that ends in a hyphen after a letter: hyphenated at the line end, it runs on in the next line
// even over a hard break.
bool endsInLineEndHyphen(const char* word, std::int32_t length) {
    return length >= 2 && word[length - 1] == '-' && IsAnsiLetter(uc(word[length - 2]));
}

// Marks of options, paths and identifiers around a word: such a word keeps its case. before and last are
// the two characters in front of the word, last nearest (the end of the line above where the window wrapped
// it there; 0 where there is none); after those behind it.
bool technicalAround(unsigned char before, unsigned char last, const char* after, std::int32_t afterLength) {
    auto pathMark = [](unsigned char c) {
        return c == '/' || c == '\\' || c == '_' || c == '=' || c == '@' || c == '$';
    };
    if (pathMark(last)) return true;
    // "-name", "--version", ".bashrc": the word begins with a dash or dot that follows no letter.
    if ((last == '-' || last == '.') && !IsAnsiLetter(before)) return true;
    if (afterLength <= 0) return false;
    // "http://", "C:\\": a colon before a slash ends no word of a sentence.
    if (after[0] == ':' && afterLength > 1 && (after[1] == '/' || after[1] == '\\')) return true;
    // "mp3", "x86_64": a word that runs on in digits is a name.
    if (std::isdigit(uc(after[0]))) return true;
    return pathMark(uc(after[0]));
}

// A line typed at a shell prompt or a comment of a shell session: "$ cd gentoo", "# apt install".
bool commandLine(const char* text, std::int32_t length) {
    std::int32_t k = 0;
    while (k < length && text[k] == ' ')
        ++k;
    return k + 1 < length && (text[k] == '$' || text[k] == '#') && text[k + 1] == ' ';
}

// A word in small letters of a command quoted whole in running text (»git clone«, „svn co“, "make install"):
// a quote that begins with a small letter is taken as typed, a quoted sentence begins with a capital. The
// quotes are looked up among the line's measured places, so a long line costs no more per word.
bool quotedCommand(const CachedLineRecord& line, std::int32_t start, std::int32_t end) {
    auto closing = [](unsigned char open) -> unsigned char {
        return open == 0xBB ? 0xAB : open == 0x84 ? 0x93 : open == '"' ? '"' : 0;
    };
    const char* text = line.text;
    const std::int32_t length = line.length;
    // The quote nearest before the word.
    auto before = std::lower_bound(line.quotes.begin(), line.quotes.end(), start);
    if (before == line.quotes.begin()) return false;
    const std::int32_t k = *(before - 1);
    if (!closing(uc(text[k])) || k + 1 >= length || !isSmall(uc(text[k + 1]))) return false;
    // An ASCII quote opens only when an even number of them stands before it.
    if (text[k] == '"' &&
        (std::lower_bound(line.asciiQuotes.begin(), line.asciiQuotes.end(), k) - line.asciiQuotes.begin()) % 2)
        return false;
    unsigned char close = closing(uc(text[k]));
    for (auto j = std::lower_bound(line.quotes.begin(), line.quotes.end(), end); j != line.quotes.end(); ++j)
        if (uc(text[*j]) == close) return true;
    return false;
}

bool technicalAt(EditAttachment& a, std::int32_t line, const CachedLineRecord& record, std::int32_t start,
                 std::int32_t end) {
    const char* text = record.text;
    const std::int32_t length = record.length;
    const char* ahead = text;
    std::int32_t at = start;
    if (start == 0 && line > 0) {
        std::int32_t n = 0;
        if (readLine(a, line - 1, ahead, n) && WrappedAfter(a, line - 1))
            at = n;
        else
            ahead = text;
    }
    unsigned char last = at > 0 ? uc(ahead[at - 1]) : 0;
    unsigned char before = at > 1 ? uc(ahead[at - 2]) : 0;
    return technicalAround(before, last, text + end, length - end) || std::isdigit(last) ||
           commandLine(text, length) || (isSmall(uc(text[start])) && quotedCommand(record, start, end));
}

bool wordAt(EditAttachment& a, std::int32_t column, std::int32_t line, Look look, Part& out, int depth) {
    const char* text = nullptr;
    std::int32_t length = 0;
    const CachedLineRecord* record = nullptr;
    out.startLine = out.endLine = line;
    if (!readLine(a, line, text, length, &record)) {
        if (look == Look::Back) {
            out.sentenceClass = kSentenceStart;
            out.classSettled = true;
        }
        return false;
    }
    if (look == Look::Back) {
        column = length - 1;
        unsigned char last = uc(text[column]);
        if (!IsAnsiLetter(last) && last != '-') {
            // The line's last character is read too, so that a line ending in "." or "?" counts.
            out.sentenceClass = scanSentence(text, length, out.runBefore);
            out.classSettled = true;
            return false;
        }
    }
    if (column >= length) out.rawStart = length;
    if (column < 0 || column >= length) return false;
    std::int32_t start = 0, end = 0;
    boundsFrom(text, length, column, out.rawStart, start, end);
    if (end <= start) return false;
    std::int32_t own = end - start;

    Part before;
    bool join = false;
    if (start == 0 && look != Look::Forward && depth < kMaxLookBack) {
        before.length = 0;
        bool found = wordAt(a, 0, line - 1, Look::Back, before, depth + 1);
        if (before.classSettled) {
            out.sentenceClass = before.sentenceClass;
            std::memcpy(out.runBefore, before.runBefore, kWordSize);
            out.classSettled = true;
        }
        join =
            found && isSmall(uc(text[0])) && before.length < kMaxWord - 1 && before.length + own < kMaxWord;
        if (join && !WrappedAfter(a, line - 1)) {
            join = endsInLineEndHyphen(before.word, before.length);
            out.hardJoined = join;
        }
        // A word of its own after a line that ends in a word stands inside that word's sentence; the class
        // found there is the class of the line's last word.
        if (found && !join && look != Look::Back) {
            out.sentenceClass = kInSentence;
            out.classSettled = true;
        }
    }
    if (!out.classSettled) {
        out.sentenceClass = start == 0 ? (line == 0 ? kSentenceStart : kInSentence)
                                       : scanSentence(text, start - 1, out.runBefore);
        out.classSettled = look == Look::Back;
    } else if (look != Look::Back) {
        out.classSettled = false;
    }
    if (join) {
        std::memcpy(out.word, before.word, static_cast<std::size_t>(before.length));
        out.length = before.length;
        if (out.word[out.length - 1] == '-')
            out.word[out.length - 1] = '~';
        else
            out.joined = true;
        out.joined = out.joined || before.joined;
        out.hardJoined = out.hardJoined || before.hardJoined;
        out.technical = before.technical;
        out.startColumn = before.startColumn;
        out.startLine = before.startLine;
    } else {
        out.startColumn = start;
        out.startLine = line;
        out.technical = technicalAt(a, line, *record, start, end);
    }
    if (out.length + own >= kMaxWord) return out.length > 0;
    std::memcpy(out.word + out.length, text + start, static_cast<std::size_t>(own));
    out.length += own;
    out.word[out.length] = 0;
    out.endColumn = end;
    out.endLine = line;

    if (end == length && look != Look::Back) {
        unsigned char last = uc(text[end - 1]);
        if (IsAnsiLetter(last) || last == '-') {
            Part after;
            bool hard = false;
            if (wordAt(a, 0, line + 1, Look::Forward, after, depth) && after.startColumn == 0 &&
                isSmall(uc(after.word[0])) && out.length + after.length < kMaxWord - 1 &&
                (WrappedAfter(a, line) || (hard = endsInLineEndHyphen(out.word, out.length)))) {
                if (out.word[out.length - 1] == '-')
                    out.word[out.length - 1] = '~';
                else
                    out.joined = true;
                out.joined = out.joined || after.joined;
                out.hardJoined = out.hardJoined || hard || after.hardJoined;
                std::memcpy(out.word + out.length, after.word, static_cast<std::size_t>(after.length) + 1);
                out.length += after.length;
                out.endColumn = after.endColumn;
                out.endLine = after.endLine;
            }
        }
    }
    return out.length > 0;
}

bool same(char x, char y) {
    return x == y || (x == '~' && y == '-') || (x == '-' && y == '~');
}

} // namespace

void WordBounds(const char* text, std::int32_t length, std::int32_t position, std::int32_t& start,
                std::int32_t& end) {
    std::int32_t raw = 0;
    boundsFrom(text, length, position, raw, start, end);
}

namespace {
// raw: the start before letters are looked for, -1 when no word character lies at or before position.
void boundsFrom(const char* text, std::int32_t length, std::int32_t position, std::int32_t& raw,
                std::int32_t& start, std::int32_t& end) {
    start = end = 0;
    raw = -1;
    if (length <= 0) return;
    if (position >= length) position = length - 1;
    if (position < 0) position = 0;
    std::int32_t p = backToWordChar(text, position);
    end = p;
    while (end < length && IsWordChar(uc(text[end])) && !hyphenBeforeCapital(text, length, end))
        ++end;
    start = end;
    if (end > 0) {
        while (start > 0 && IsWordChar(uc(text[start - 1])) && !hyphenBeforeCapital(text, length, start - 1))
            --start;
    }
    raw = IsWordChar(uc(text[p])) ? start : -1;
    while (start < end && !IsAnsiLetter(uc(text[start])))
        ++start;
}
} // namespace

namespace {
// Abbreviations of German running text that end no sentence whether or not a dictionary holds them with
// their full stop.
bool commonAbbreviation(const char* run, std::int32_t length) {
    static const char* const kAbbreviations[] = {
        "Abb", "Abs", "allg", "bspw", "bzgl", "bzw", "ca",  "Cal",  "Dr",  "etc", "evtl",
        "ff",  "ggf", "ggfs", "Hrsg", "inkl", "Kap", "max", "Min",  "min", "Nr",  "Prof",
        "sog", "Std", "Tab",  "Tel",  "usf",  "usw", "vgl", "zzgl", "zB",
    };
    // Single letters with full stops, spaced or not: "z. B.", "z.B.", "d.h.", an initial.
    bool letters = true;
    for (std::int32_t k = 0; k < length; k += 2)
        letters = letters && IsAnsiLetter(uc(run[k])) && (k + 1 == length || run[k + 1] == '.');
    if (letters) return true;
    for (const char* a : kAbbreviations)
        if (std::strlen(a) == static_cast<std::size_t>(length) &&
            std::strncmp(a, run, static_cast<std::size_t>(length)) == 0)
            return true;
    return false;
}

std::int16_t scanSentence(const char* text, std::int32_t position, char* run) {
    for (std::int32_t k = position - 1;; --k) {
        if (k < 0) return kInSentence;
        unsigned char c = uc(text[k]);
        if (c == ' ' || c == '\'' || c == '"') continue;
        if (c == '?' || c == '!' || c == 0xA1 || c == 0xBF) return kSentenceStart;
        if (c != '.') return kInSentence;
        if (k == 0) return kSentenceStart;
        // An ordinal or a list number ("8.", "am 3. Mai") and an ellipsis end no sentence for certain.
        if (std::isdigit(uc(text[k - 1])) || text[k - 1] == '.') return kAfterAbbreviation;
        if (!IsAnsiLetter(uc(text[k - 1]))) return kSentenceStart;
        std::int32_t s = k;
        while (s > 0 && IsWordChar(uc(text[s - 1])))
            --s;
        std::int32_t n = k + 1 - s;
        if (n > kMaxWord) return kSentenceStart; // longer than any dictionary word
        char trimmed[kWordSize];
        std::memcpy(run, text + s, static_cast<std::size_t>(n));
        run[n] = 0;
        std::memcpy(trimmed, run, kWordSize);
        TrimWord(trimmed);
        if (std::strcmp(trimmed, run) != 0 || commonAbbreviation(run, n - 1)) return kAfterAbbreviation;
        return kSentenceUndecided;
    }
}

std::int16_t decide(const char* run, LookupMemo* memo = nullptr) {
    char correction[kWordSize];
    unsigned char marks[kMarkCount];
    return FindBestCorrection(memo, run, correction, marks) == 0 ? kSentenceStart : kAfterAbbreviation;
}
} // namespace

std::int16_t SentenceClass(const char* text, std::int32_t position) {
    char run[kWordSize];
    std::int16_t c = scanSentence(text, position, run);
    return c == kSentenceUndecided ? decide(run) : c;
}

void DecideSentenceClass(FoundWord& w, LookupMemo* memo) {
    if (w.sentenceClass == kSentenceUndecided) w.sentenceClass = decide(w.runBefore, memo);
}

bool FindWordAt(EditAttachment& a, std::int32_t column, std::int32_t line, FoundWord& out, bool decideClass) {
    std::memset(&out, 0, sizeof out);
    out.startLine = out.endLine = line;
    while (column >= 0) {
        Part p;
        bool found = wordAt(a, column, line, Look::First, p, 0);
        if (found) {
            out.runEndColumn = p.endColumn;
            out.runEndLine = p.endLine;
            std::int32_t before = static_cast<std::int32_t>(std::strlen(p.word));
            TrimWord(p.word);
            std::int32_t cut = before - static_cast<std::int32_t>(std::strlen(p.word));
            if (p.word[0]) {
                std::int32_t endColumn = p.endColumn - cut;
                if (endColumn < 0 || (cut > 0 && endColumn <= 0 && p.endLine > p.startLine)) {
                    --p.endLine;
                    if (p.endLine == p.startLine) {
                        endColumn = p.startColumn + static_cast<std::int32_t>(std::strlen(p.word));
                    } else {
                        const char* t = nullptr;
                        std::int32_t n = 0;
                        endColumn = readLine(a, p.endLine, t, n) ? n : 0;
                    }
                }
                p.endColumn = endColumn;
                std::size_t n = std::strlen(p.word);
                if (n > 1 && p.word[n - 1] == '.') {
                    p.word[n - 1] = 0;
                    --p.endColumn;
                    out.fullStop = true;
                }
                std::memcpy(out.word, p.word, kWordSize);
                out.startColumn = p.startColumn;
                out.startLine = p.startLine;
                out.endColumn = p.endColumn;
                out.endLine = p.endLine;
                out.sentenceClass = p.sentenceClass;
                std::memcpy(out.runBefore, p.runBefore, kWordSize);
                out.joined = p.joined;
                out.hardJoined = p.hardJoined;
                out.technical = p.technical;
                if (decideClass) DecideSentenceClass(out);
                return true;
            }
        }
        // Every column down to the start of the rejected bounds gives the same result.
        if (p.rawStart < 0 || p.rawStart > column) break;
        column = p.rawStart - 1;
    }
    out.word[0] = 0;
    return false;
}

int WordDifference(LineLengthFn lineLength, void* context, const char* word, const char* correction,
                   const FoundWord& place, std::int32_t caretDistance, WordChange& out) {
    std::memset(&out, 0, sizeof out);
    out.caret = caretDistance;
    out.start = {place.startColumn, place.startLine};
    out.end = {place.endColumn, place.endLine};
    std::size_t wordLength = std::strlen(word), correctionLength = std::strlen(correction);
    std::size_t i = 0;
    while (word[i] && same(word[i], correction[i])) {
        ++i;
        ++out.start.column;
        if (word[i] && out.start.column >= lineLength(context, out.start.line))
            out.start = {0, out.start.line + 1};
    }
    if (!word[i] && !correction[i]) return 0;
    std::size_t room = kWordSize - 1 > i ? kWordSize - 1 - i : 0;
    std::size_t textLength = correctionLength - i < room ? correctionLength - i : room;
    std::memcpy(out.text, correction + i, textLength);
    out.text[textLength] = 0;
    std::size_t w = wordLength - i, c = correctionLength - i;
    bool longer = c > w;
    while (w && c && textLength && same(word[i + w - 1], correction[i + c - 1])) {
        --w;
        --c;
        out.text[--textLength] = 0;
        if (out.end.column > 0) {
            --out.end.column;
        } else {
            --out.end.line;
            out.end.column = lineLength(context, out.end.line) - 1;
        }
        if (!textLength && longer) {
            out.end = out.start;
            std::size_t n = correctionLength - wordLength;
            std::memcpy(out.text, correction + i, n);
            out.text[n] = 0;
            break;
        }
    }
    if (caretDistance > static_cast<std::int32_t>(i))
        out.caret += static_cast<std::int32_t>(correctionLength) - static_cast<std::int32_t>(wordLength);
    return 1;
}

int WordDifference(EditAttachment& a, const char* word, const char* correction, const FoundWord& place,
                   std::int32_t caretDistance, WordChange& out) {
    return WordDifference(
        [](void* context, std::int32_t line) {
            return CachedLineLength(*static_cast<EditAttachment*>(context), line);
        },
        &a, word, correction, place, caretDistance, out);
}

} // namespace wortex
