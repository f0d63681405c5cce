#include "WordImport.h"

#include "DictionarySet.h"
#include "Letters.h"
#include "LibraryStrings.h"
#include "Support.h"

#include "platform/win32/UiServices.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>

namespace wortex {

using namespace win32;

namespace {

constexpr std::size_t kMaxWord = 62;
constexpr std::size_t kLineRead = 198; // characters of the working line that come from the file
constexpr std::size_t kReadBelow = 127;
constexpr std::size_t kScanStop = 126;

unsigned char at(const char* s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}
// A small letter: ß counts, as it has no capital.
bool isSmall(unsigned char c) {
    return IsAnsiLetter(c) && AnsiToLower(c) == c;
}
// Letters and what stands among them in one written word: digits and characters the dictionary cannot
// hold.
bool isAlnum(unsigned char c) {
    return IsAnsiLetter(c) || std::isdigit(c) || c == static_cast<unsigned char>(kNotHeld);
}
// A character of a run that is read as one: word characters and the above.
bool isRunChar(unsigned char c) {
    return IsWordChar(c) || isAlnum(c);
}

// Lines of the text file, each at most room characters; a longer line is broken at a blank.
class LineReader {
public:
    explicit LineReader(DBHandle h) : h_(h) {}
    // complete: the line ended in the file (not broken for want of room).
    bool next(std::string& line, std::size_t room, bool& complete) {
        complete = true;
        for (;;) {
            std::size_t lf = buf_.find('\n');
            if (lf != std::string::npos && lf <= room + 1) {
                std::size_t end = lf > 0 && buf_[lf - 1] == '\r' ? lf - 1 : lf;
                if (end <= room) {
                    line = buf_.substr(0, end);
                    buf_.erase(0, lf + 1);
                    return true;
                }
            }
            if (buf_.size() > room + 1 || eof_) break;
            fill();
        }
        if (buf_.empty()) return false;
        std::size_t take = std::min(room, buf_.size());
        if (buf_.size() > room && buf_[room] != ' ') {
            std::size_t blank = buf_.rfind(' ', room - 1);
            if (blank != std::string::npos) take = blank + 1;
        }
        line = buf_.substr(0, take);
        buf_.erase(0, take);
        complete = buf_.empty() && eof_;
        std::size_t lf = line.find('\n'); // a lone LF beyond room was not a line end in reach
        if (lf != std::string::npos) line.erase(lf);
        return true;
    }

private:
    void fill() {
        char piece[99];
        std::uint32_t before = GetDBPosition(h_);
        ReadDBBytes(h_, 0, piece, sizeof piece);
        std::uint32_t n = GetDBPosition(h_) - before;
        if (n > sizeof piece) n = 0;
        buf_.append(piece, n);
        if (n < sizeof piece) eof_ = true;
    }
    DBHandle h_;
    std::string buf_;
    bool eof_ = false;
};

// Windows-1252 has these characters at 128 to 159; 0 where it has none.
constexpr std::uint32_t kHigh1252[32] = {0x20AC, 0,      0x201A, 0x0192, 0x2026, 0x2020, 0x2021, 0x02C6,
                                         0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      0,
                                         0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                         0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Reads one UTF-8 sequence at text[i]: its length, 0 for bytes that are none.
std::size_t utf8Sequence(const std::string& text, std::size_t i, std::uint32_t& cp) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    std::size_t n = c < 0x80             ? 1
                    : (c & 0xE0) == 0xC0 ? 2
                    : (c & 0xF0) == 0xE0 ? 3
                    : (c & 0xF8) == 0xF0 ? 4
                                         : 0;
    if (n == 0 || i + n > text.size()) return 0;
    cp = n == 1 ? c : c & (0x7F >> n);
    for (std::size_t k = 1; k < n; ++k) {
        unsigned char t = static_cast<unsigned char>(text[i + k]);
        if ((t & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (t & 0x3F);
    }
    static const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    return cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) ? 0 : n;
}

// A word list saved as UTF-8: it begins with the byte order mark, or all its bytes form UTF-8 and some of
// them are no ASCII.
bool isUtf8File(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string text;
    bool wide = false, first = true;
    char chunk[8192];
    std::uint32_t cp = 0;
    // Read in pieces: a sequence cut by the end of a piece waits for the next one.
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        text.append(chunk, static_cast<std::size_t>(in.gcount()));
        if (first && text.rfind("\xEF\xBB\xBF", 0) == 0) return true;
        first = false;
        std::size_t i = 0;
        while (i < text.size()) {
            std::size_t n = utf8Sequence(text, i, cp);
            if (n == 0) {
                if (text.size() - i >= 4) return false;
                break;
            }
            wide = wide || n > 1;
            i += n;
        }
        text.erase(0, i);
    }
    return text.empty() && wide;
}

// A UTF-8 line in Windows-1252, kNotHeld for each character the code page has not; the byte order mark
// goes.
std::string fromUtf8(const std::string& line) {
    std::string out;
    std::uint32_t cp = 0;
    for (std::size_t i = 0; i < line.size();) {
        std::size_t n = utf8Sequence(line, i, cp);
        if (n == 0) {
            out += kNotHeld;
            ++i;
            continue;
        }
        i += n;
        if (cp == 0xFEFF) continue;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        const std::uint32_t* at = std::find(std::begin(kHigh1252), std::end(kHigh1252), cp);
        out += at != std::end(kHigh1252) && cp ? static_cast<char>(0x80 + (at - kHigh1252)) : kNotHeld;
    }
    return out;
}

bool containsNoCase(const std::string& text, const char* what) {
    std::string up = text;
    AnsiStrUpper(up.data());
    return up.find(what) != std::string::npos;
}

} // namespace

bool FinishImport(DBHandle target, TextImport& import) {
    if (UnlockDictionary(target)) return true;
    import.added = 0;
    import.notStored = true;
    MessageBox(
        import.owner,
        "Die importierten W\xf6rter konnten nicht gespeichert werden.\nDas W\xf6rterbuch ist unver\xe4ndert.",
        "Wortex", MB_ICONEXCLAMATION);
    return false;
}

int ScanImportWord(const char* line, std::size_t length, std::size_t start, char language, char* word,
                   std::size_t* wordStart, ImportSkips* skips) {
    word[0] = 0;
    if (start >= length || length < 2) return 0;
    if (start > 0 && isAlnum(at(line, start - 1))) return 0;
    std::size_t s = start, e = start;
    for (;;) {
        while (s < length && !IsAnsiLetter(at(line, s)))
            ++s;
        if (s >= length) return 0;
        // The letters with the digits and foreign characters written among them, before and after.
        std::size_t r = s, w = s;
        while (r > start && isAlnum(at(line, r - 1)))
            --r;
        while (w < length && isAlnum(at(line, w)))
            ++w;
        bool digits = false, notHeld = false;
        for (std::size_t i = r; i < w; ++i) {
            digits = digits || std::isdigit(at(line, i));
            notHeld = notHeld || line[i] == kNotHeld;
        }
        e = s;
        while (e < length && IsWordChar(at(line, e))) {
            if (at(line, e) == '-' && !(e + 1 < length && isSmall(at(line, e + 1)))) break;
            ++e;
        }
        bool tooLong = e - s > kMaxWordLength;
        if (!digits && !notHeld && !tooLong) break;
        if (skips) ++(notHeld ? skips->notHeld : digits ? skips->withDigits : skips->tooLong);
        // A word too long goes with its whole run of word characters.
        s = w;
        if (tooLong)
            while (s < length && isRunChar(at(line, s)))
                ++s;
        *wordStart = s;
    }
    std::size_t n = e - s;
    std::memcpy(word, line + s, n);
    word[n] = 0;
    char before = word[0];
    if (TrimWord(word) && word[0] != before) ++s;
    n = std::strlen(word);
    if (n == 0) return 0;
    if (word[n - 1] == '.' && !FindWordInDictionaries(0, word, language, false)) {
        std::size_t after = s + n;
        while (line[after] == ' ')
            ++after;
        // Before a small letter the full stop belongs to an abbreviation; otherwise it ends a sentence.
        if (!isSmall(at(line, after))) word[--n] = 0;
        if (n == 0) return 0;
    }
    // The first letter keeps the case it is written in; the rest is lower-cased.
    unsigned char first = static_cast<unsigned char>(word[0]);
    AnsiStrLower(word);
    word[0] = static_cast<char>(first);
    *wordStart = s;
    return static_cast<int>(n);
}

std::string ImportSkipText(const ImportSkips& skips) {
    std::string text;
    auto line = [&](std::uint32_t n, const char* one, const char* many) {
        if (n) text += "\n" + std::to_string(n) + (n == 1 ? one : many);
    };
    line(skips.withDigits, " Wort mit Ziffern", " W\xf6rter mit Ziffern");
    line(skips.tooLong, " Wort mit mehr als 63 Zeichen", " W\xf6rter mit mehr als 63 Zeichen");
    line(skips.notHeld, " Wort mit Zeichen, die das W\xf6rterbuch nicht aufnehmen kann",
         " W\xf6rter mit Zeichen, die das W\xf6rterbuch nicht aufnehmen kann");
    return text.empty() ? text : "Nicht eingef\xfcgt wurden:" + text;
}

int ImportTextFile(DBHandle target, const std::string& fileName, TextImport& import) {
    import.added = 0;
    import.skipped = {};
    DBHandle file = OpenDBTextFile(fileName, 3);
    if (!file) {
        MessageBoxFromString(LibraryInstance(), import.owner, 533, "Wortex", MB_ICONEXCLAMATION);
        return 0;
    }
    char fullName[260] = {};
    GetDBFileName(file, fullName);
    const bool utf8 = isUtf8File(fullName);
    bool dos = !utf8 && containsNoCase(fileName, ".ASC");
    if (!LockDictionary(target)) {
        CloseDBFile(file);
        return 0;
    }
    char language = GetDictionaryLanguageOf(target);
    LineReader reader(file);
    std::string work;
    std::size_t scanFrom = 0;
    bool eof = false, joined = false, skipRun = false, stop = false;
    while (!stop) {
        while (!eof && work.size() < kReadBelow) {
            std::string line;
            bool complete = true;
            // Every read is bounded by the room left in the working line.
            if (!reader.next(line, kLineRead - work.size(), complete)) {
                eof = true;
                break;
            }
            if (utf8) line = fromUtf8(line);
            if (dos) Oem437ToAnsi(line.data(), line.size());
            for (char& ch : line)
                if (ch == 0) ch = ' ';
            if (skipRun) {
                std::size_t i = 0;
                while (i < line.size() && isRunChar(static_cast<unsigned char>(line[i])))
                    ++i;
                line.erase(0, i);
                skipRun = line.empty();
            }
            if (joined && !line.empty() && isSmall(static_cast<unsigned char>(line[0])) && !work.empty() &&
                work.back() == '-')
                work.pop_back();
            joined = !line.empty() && line.back() == '-';
            work += line;
            if (!joined && complete) work += ' ';
            if (!complete) joined = false;
        }
        if (work.empty() && eof) break;
        std::size_t limit = work.size();
        if (!eof) {
            limit = kScanStop;
            while (limit > 0 && isRunChar(static_cast<unsigned char>(work[limit - 1])) &&
                   isRunChar(static_cast<unsigned char>(work[limit])))
                --limit;
            if (limit <= scanFrom) {
                // One run of word characters fills the line: it is no word; skip it, however long.
                std::size_t e = scanFrom;
                while (e < work.size() && !isRunChar(static_cast<unsigned char>(work[e])))
                    ++e;
                while (e < work.size() && isRunChar(static_cast<unsigned char>(work[e])))
                    ++e;
                if (e == work.size()) {
                    work.clear();
                    skipRun = true;
                    ++import.skipped.tooLong;
                    scanFrom = 0;
                    continue;
                }
                limit = e;
            }
        }
        std::size_t pos = scanFrom;
        while (pos < limit) {
            char word[64];
            std::size_t ws = 0;
            int n = ScanImportWord(work.c_str(), limit, pos, language, word, &ws, &import.skipped);
            if (n == 0) {
                pos = std::max(pos + 1, ws);
                continue;
            }
            bool added = AddDictionaryWord(target, word, true, false, 0, 0) == 1;
            if (added) {
                ++import.added;
            } else if (isSmall(static_cast<unsigned char>(word[0]))) {
                char stored[64];
                if (FindWordInDictionaries(target, word, 0, false, stored) &&
                    !isSmall(static_cast<unsigned char>(stored[0])))
                    ChangeDictionaryWord(target, stored, word, false, false);
            }
            if (import.shown) import.shown(word, added, GetDictionaryWordCount(target));
            pos = std::max(ws + static_cast<std::size_t>(n), pos + 1);
        }
        // Keep the last non-blank character before the rest, so that the next word's case is judged by it.
        std::size_t keep = limit;
        while (keep > 0 && work[keep - 1] == ' ')
            --keep;
        if (keep > 0) --keep;
        scanFrom = limit - keep;
        work.erase(0, keep);
        if (eof) break;
        if (import.keyPressed && import.keyPressed() &&
            MessageBoxFromString(LibraryInstance(), import.owner, 532, "Wortex",
                                 MB_YESNO | MB_ICONQUESTION) == IDYES)
            stop = true;
    }
    bool stored = FinishImport(target, import);
    CloseDBFile(file);
    return stored ? 1 : 0;
}

} // namespace wortex
