#include "WordImport.h"

#include "DictionarySet.h"
#include "Letters.h"
#include "LibraryStrings.h"
#include "Support.h"

#include "platform/win32/UiServices.h"

#include <cstring>

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
                   std::size_t* wordStart) {
    word[0] = 0;
    if (start >= length || length < 2) return 0;
    if (start > 0 && IsAnsiLetter(at(line, start - 1))) return 0;
    std::size_t s = start, e = start;
    for (;;) {
        while (s < length && !IsAnsiLetter(at(line, s)))
            ++s;
        if (s >= length) return 0;
        e = s;
        while (e < length && IsWordChar(at(line, e))) {
            if (at(line, e) == '-' && !(e + 1 < length && isSmall(at(line, e + 1)))) break;
            ++e;
        }
        if (e - s <= kMaxWord) break;
        // Too long to be a word: skip the whole run of word characters and go on behind it.
        while (e < length && IsWordChar(at(line, e)))
            ++e;
        s = e;
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
    unsigned char first = static_cast<unsigned char>(word[0]);
    bool keepCapital = false;
    if (IsAnsiLetter(first) && AnsiToLower(first) != first) {
        std::size_t b = s;
        while (b > 0 && line[b - 1] == ' ')
            --b;
        if (b > 0) {
            unsigned char prev = at(line, b - 1);
            keepCapital = IsAnsiLetter(prev) || prev == '&' || prev == ',' || prev == ';' ||
                          (prev == '-' && b == s && b >= 2 && isSmall(at(line, b - 2)));
        }
    }
    AnsiStrLower(word);
    if (keepCapital) word[0] = static_cast<char>(first);
    *wordStart = s;
    return static_cast<int>(n);
}

int ImportTextFile(DBHandle target, const std::string& fileName, TextImport& import) {
    import.added = 0;
    DBHandle file = OpenDBTextFile(fileName, 3);
    if (!file) {
        MessageBoxFromString(LibraryInstance(), import.owner, 533, "Wortex", MB_ICONEXCLAMATION);
        return 0;
    }
    bool dos = containsNoCase(fileName, ".ASC");
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
            if (dos) Oem437ToAnsi(line.data(), line.size());
            for (char& ch : line)
                if (ch == 0) ch = ' ';
            if (skipRun) {
                std::size_t i = 0;
                while (i < line.size() && IsWordChar(static_cast<unsigned char>(line[i])))
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
            while (limit > 0 && IsWordChar(static_cast<unsigned char>(work[limit - 1])) &&
                   IsWordChar(static_cast<unsigned char>(work[limit])))
                --limit;
            if (limit <= scanFrom) {
                // One run of word characters fills the line: it is no word; skip it, however long.
                std::size_t e = scanFrom;
                while (e < work.size() && !IsWordChar(static_cast<unsigned char>(work[e])))
                    ++e;
                while (e < work.size() && IsWordChar(static_cast<unsigned char>(work[e])))
                    ++e;
                if (e == work.size()) {
                    work.clear();
                    skipRun = true;
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
            int n = ScanImportWord(work.c_str(), limit, pos, language, word, &ws);
            if (n == 0) {
                ++pos;
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
