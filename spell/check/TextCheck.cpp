#include "TextCheck.h"

#include "CheckDialogs.h"
#include "DictionarySet.h"
#include "Hyphenation.h"
#include "Letters.h"
#include "LibraryState.h"
#include "LibraryStrings.h"
#include "LookupMemo.h"
#include "Support.h"
#include "WordAnalysis.h"
#include "platform/win32/FileApi.h"
#include "platform/win32/UiServices.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

namespace wortex {

using namespace win32;

namespace {

constexpr std::uint32_t kBeepKinds = kKindErrorBeep | kKindCorrBeep | kKindAbbrevBeep;
constexpr std::uint32_t kSplitKinds = kKindHyphenation | kBeepKinds | kKindShownAsHyphenation;
constexpr std::int32_t kEmptyLow = 0x7FFFFFFF;
constexpr std::size_t kFarthestHyphen = 1000;

enum class Mode { Loop, Typing, Split };

// One word check: the attachment is looked up again after every dialog (the host may have let it go).
struct Check {
    LibraryState& s;
    HWND window;
    EditAttachment* a;
    Mode mode;
    bool noDialog = false;
    bool stop = false;   // the text could not be put back: nothing more is written
    bool failed = false; // the operation gave up: the host is told
    bool wrote = false;  // the text was changed
    LookupMemo* memo = nullptr;
};

void copyWord(char* to, const char* from) {
    std::size_t n = strnlen(from, kWordSize - 1);
    std::memmove(to, from, n);
    to[n] = 0;
}

HelpFn helpOf(LibraryState& s, HWND window) {
    std::string file(s.helpFile, strnlen(s.helpFile, sizeof s.helpFile));
    return [file, window](unsigned topic) { WinHelp(window, file.c_str(), HELP_CONTEXT, topic); };
}

// The library gave up on the text (a trial write it could not undo, a line it could not read): the host is
// told, the text is left as the check found it. Not for a window that went meanwhile.
void reportFailure(const Check& c) {
    if (c.a && c.a->retired) return;
    EnterLibrary();
    MessageBoxFromString(LibraryInstance(), GetActiveWindow(), 201, "Wortex", MB_ICONEXCLAMATION);
    LeaveLibrary();
}

void readCaret(EditAttachment& a) {
    std::int32_t line = 0;
    a.caretColumn = a.wantedColumn =
        static_cast<std::int32_t>(Adapter(a, kAdGetCaret, 0, reinterpret_cast<LPARAM>(&line)));
    a.caretLine = a.wantedLine = line;
}

// Puts the caret where the operation wants it, when it stands elsewhere.
void placeCaret(EditAttachment& a) {
    std::int32_t line = 0;
    auto column = static_cast<std::int32_t>(Adapter(a, kAdGetCaret, 0, reinterpret_cast<LPARAM>(&line)));
    if (column != a.wantedColumn || line != a.wantedLine)
        Adapter(a, kAdSetCaret, static_cast<WPARAM>(a.wantedColumn), a.wantedLine);
    a.caretColumn = a.wantedColumn;
    a.caretLine = a.wantedLine;
}

void widen(EditAttachment& a, std::int32_t low, std::int32_t high) {
    a.changeLow = std::min(a.changeLow, low);
    a.changeHigh = std::max(a.changeHigh, high);
}

// Characters from (line, column) to (toLine, toColumn) over the line lengths; negative when before.
std::int32_t distance(EditAttachment& a, std::int32_t line, std::int32_t column, std::int32_t toLine,
                      std::int32_t toColumn) {
    if (toLine < line) return -1;
    std::int32_t d = toColumn - column;
    for (std::int32_t l = line; l < toLine; ++l) {
        std::int32_t n = CachedLineLength(a, l);
        if (n < 0) return -1;
        d += n;
    }
    return d;
}

// The place distance characters after (line, column), over soft line ends.
void advance(EditAttachment& a, std::int32_t& line, std::int32_t& column, std::int32_t distance) {
    column += distance;
    for (;;) {
        std::int32_t n = CachedLineLength(a, line);
        if (n < 0 || column <= n || CachedLineLength(a, line + 1) < 0) return;
        column -= n;
        ++line;
    }
}

template <class F> auto thawed(Check& c, F run) {
    EditAttachment* a = c.a;
    // The window went (its adapter closed it): no dialog about it; the check ends.
    if (a->retired) {
        c.a = nullptr;
        return decltype(run()){};
    }
    std::int16_t depth = a->freezeDepth;
    if (depth > 0) {
        ShowCaret(c.window);
        Adapter(*a, kAdFreeze, 1, 0);
    }
    a->freezeDepth = 0;
    auto result = run();
    // While the dialog was open, another process may have changed a dictionary.
    RefreshDictionaries();
    c.a = FindAttachment(c.s, c.window);
    if (c.a) {
        c.a->freezeDepth = depth;
        if (depth > 0) {
            Adapter(*c.a, kAdFreeze, 0, 0);
            HideCaret(c.window);
        }
    }
    return result;
}

void setMark(EditAttachment& a, const FoundWord& w, const char* correction, std::int32_t kind) {
    ClearMark(a);
    copyWord(a.markedWord, w.word);
    a.markPresent = 1;
    a.markStartLine = w.startLine;
    a.markStartColumn = w.startColumn;
    a.markEndLine = w.endLine;
    a.markEndColumn = w.endColumn;
    a.markKind = kind;
    a.markAge = (kind & 1) ? 1 : 10;
    MarkRecord m{};
    copyWord(m.marked, w.word);
    m.startColumn = w.startColumn;
    m.startLine = w.startLine;
    m.endColumn = w.endColumn;
    m.endLine = w.endLine;
    copyWord(m.inText, w.word);
    // The word itself is no correction: the status would read "word -> word".
    copyWord(m.correction, std::strcmp(correction, w.word) == 0 ? "" : correction);
    Adapter(a, kAdShowMark, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(&m));
    Adapter(a, kAdStatusShow, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(&m));
}

// Finds the word again after a write: at its start place, or at the start of the next line when the
// window moved it down.
bool findAgain(EditAttachment& a, std::int32_t column, std::int32_t line, FoundWord& w) {
    FoundWord f;
    if (FindWordAt(a, column, line, f) &&
        (f.startLine < line || (f.startLine == line && f.startColumn == column))) {
        w = f;
        return true;
    }
    FoundWord below;
    if (CachedLineLength(a, line + 1) > 0 && FindWordAt(a, 0, line + 1, below) && below.startColumn == 0 &&
        below.startLine == line + 1) {
        w = below;
        return true;
    }
    if (f.word[0]) {
        w = f;
        return true;
    }
    return false;
}

// Writes correction over the part of the word that differs; "~" goes in as "-". caretDistance < 0 leaves
// the wanted caret alone. w is read again from the text. False when nothing was written.
bool applyTo(Check& c, const FoundWord& found, FoundWord& w, const char* correction,
             std::int32_t caretDistance);

bool applyCorrection(Check& c, FoundWord& w, const char* correction, std::int32_t caretDistance) {
    if (c.stop) return false;
    FoundWord found;
    if (!FindWordAt(*c.a, w.startColumn, w.startLine, found)) return false;
    // The analysis may have cut "'s" off the word: the correction replaces only what it analysed.
    const std::size_t n = std::strlen(w.word);
    if (found.startColumn == w.startColumn && found.startLine == w.startLine && std::strlen(found.word) > n &&
        std::strncmp(found.word, w.word, n) == 0 &&
        (found.endLine > w.endLine || (found.endLine == w.endLine && found.endColumn > w.endColumn))) {
        found.word[n] = 0;
        found.endColumn = w.endColumn;
        found.endLine = w.endLine;
    }
    return applyTo(c, found, w, correction, caretDistance);
}

bool crossesLineBreak(EditAttachment& a, std::int32_t fromLine, std::int32_t toLine) {
    for (std::int32_t l = fromLine; l < toLine; ++l)
        if (!WrappedAfter(a, l)) return true;
    return false;
}

// A word hyphenated over a line break of the text keeps its hyphen there: the correction gets "~" after as
// many characters as the word has before it.
void keepLineEndHyphens(const FoundWord& found, char* correction) {
    std::size_t at = 0;
    for (const char* p = found.word; *p; ++p, ++at) {
        if (*p != '~') continue;
        if (at > std::strlen(correction)) break;
        if (correction[at] != '~' && correction[at] != '-' && !InsertText(correction, kWordSize, at, "~"))
            break;
    }
}

// The same on the word as found in the text.
bool applyTo(Check& c, const FoundWord& found, FoundWord& w, const char* correction,
             std::int32_t caretDistance) {
    EditAttachment& a = *c.a;
    char wanted[kWordSize];
    copyWord(wanted, correction);
    if (found.hardJoined) keepLineEndHyphens(found, wanted);
    WordChange change;
    if (!WordDifference(a, found.word, wanted, found, caretDistance < 0 ? 0 : caretDistance, change)) {
        w = found;
        return false;
    }
    for (char* p = change.text; *p; ++p)
        if (*p == '~') *p = '-';
    EmptyLineCache(a);
    ReplaceRecord r{change.start.column, change.start.line, change.end.column, change.end.line, 0, 0,
                    change.text};
    if (crossesLineBreak(a, change.start.line, change.end.line)) {
        // The change runs over a line break of the text: the word's part on the first line takes the whole
        // correction and its parts on the lines below go, each line by itself, so that no break is lost.
        if (!found.hardJoined) return false;
        std::string whole;
        for (const char* p = wanted; *p; ++p)
            if (*p != '~') whole += *p;
        for (std::int32_t l = found.endLine; l >= found.startLine; --l) {
            std::int32_t from = l == found.startLine ? found.startColumn : 0;
            std::int32_t to = l == found.endLine ? found.endColumn : CachedLineLength(a, l);
            ReplaceRecord part{from, l, to, l, 0, 0, l == found.startLine ? whole.c_str() : ""};
            Adapter(a, kAdReplace, 0, reinterpret_cast<LPARAM>(&part));
            EmptyLineCache(a);
            if (l == found.startLine) r = part;
        }
        change.caret = std::min<std::int32_t>(change.caret, static_cast<std::int32_t>(whole.size()));
    } else {
        Adapter(a, kAdReplace, 0, reinterpret_cast<LPARAM>(&r));
    }
    EmptyLineCache(a);
    c.wrote = true;
    if (!a.changeSeen) widen(a, change.start.line, r.outLine + 2);
    std::int32_t column = found.startColumn, line = found.startLine;
    if (!findAgain(a, column, line, w)) {
        w.startColumn = column;
        w.startLine = line;
    }
    if (caretDistance >= 0) {
        std::int32_t l = w.startLine, col = w.startColumn;
        advance(a, l, col, change.caret);
        a.wantedColumn = col;
        a.wantedLine = l;
    }
    return true;
}

// The lines a hyphenation trial may change, to see that they are put back.
std::vector<std::string> linesAround(EditAttachment& a, std::int32_t first, std::int32_t last) {
    std::vector<std::string> lines;
    EmptyLineCache(a);
    for (std::int32_t l = std::max(0, first); l <= last; ++l) {
        bool error = false;
        LineRecord* r = CachedLine(a, l, &error);
        if (error) break;
        lines.emplace_back(r ? std::string(r->text, r->size - 1) : std::string());
    }
    return lines;
}

bool hasTilde(const char* s) {
    return std::strchr(s, '~') != nullptr;
}

bool allCapitals(const char* word) {
    int letters = 0;
    for (const char* p = word; *p; ++p) {
        auto ch = static_cast<unsigned char>(*p);
        if (!IsAnsiLetter(ch)) continue;
        if (AnsiToUpper(ch) != ch) return false;
        ++letters;
    }
    return letters > 1;
}

// The trial writes of a hyphenation, kept as characters counted from the start of a line above the word:
// the word's extent in the text is known from what was written, not found again (a hyphen written before a
// capital would cut the word in two for the word finding, and an "'s" the analysis cut off would be taken
// in again). No line above base changes while the window breaks the word's lines anew.
class TrialText {
public:
    TrialText(Check& c, const FoundWord& w, std::int32_t base) : c_(c), a_(*c.a), base_(base) {
        start_ = distance(a_, base_, 0, w.startLine, w.startColumn);
        std::int32_t end = distance(a_, base_, 0, w.endLine, w.endColumn);
        ok_ = start_ >= 0 && end >= start_ && read(start_, end, current_);
        old_ = current_;
    }
    bool ok() const { return ok_; }
    // Writes form ("~" as "-") over the word, only the part that differs. False when nothing was written.
    bool write(const char* form, FoundWord& w) {
        std::string text(form);
        std::replace(text.begin(), text.end(), '~', '-');
        bool wrote = replace(text);
        where(w);
        return wrote;
    }
    // Puts the word back as it stood; true when the text holds it again.
    bool restore(FoundWord& w) {
        replace(old_);
        std::string now;
        bool back = read(start_, start_ + static_cast<std::int32_t>(old_.size()), now) && now == old_;
        where(w);
        return back;
    }

private:
    bool read(std::int32_t from, std::int32_t to, std::string& out) {
        out.clear();
        std::int32_t offset = 0;
        for (std::int32_t line = base_; offset < to; ++line) {
            bool error = false;
            const LineRecord* r = CachedLine(a_, line, &error);
            if (error || CachedLineLength(a_, line) < 0) return false;
            std::string text = r ? std::string(r->text, r->size - 1) : std::string();
            auto n = static_cast<std::int32_t>(text.size());
            for (std::int32_t k = std::max(0, from - offset); k < n && offset + k < to; ++k)
                out += text[static_cast<std::size_t>(k)];
            offset += n;
        }
        return true;
    }
    // The place of a character offset; at a line end the start of the next line when atStart.
    bool placeOf(std::int32_t offset, bool atStart, TextPlace& p) {
        for (std::int32_t line = base_;; ++line) {
            std::int32_t n = CachedLineLength(a_, line);
            if (n < 0) return false;
            if (offset < n || (offset == n && !(atStart && CachedLineLength(a_, line + 1) >= 0))) {
                p = {offset, line};
                return true;
            }
            offset -= n;
        }
    }
    bool replace(const std::string& text) {
        std::size_t same = 0, sameEnd = 0;
        while (same < current_.size() && same < text.size() && current_[same] == text[same])
            ++same;
        while (sameEnd + same < current_.size() && sameEnd + same < text.size() &&
               current_[current_.size() - 1 - sameEnd] == text[text.size() - 1 - sameEnd])
            ++sameEnd;
        if (same == current_.size() && same == text.size()) return false;
        TextPlace from{}, to{};
        auto at = static_cast<std::int32_t>(same);
        auto end = static_cast<std::int32_t>(current_.size() - sameEnd);
        if (!placeOf(start_ + at, true, from)) return false;
        if (end == at)
            to = from;
        else if (!placeOf(start_ + end, false, to))
            return false;
        if (crossesLineBreak(a_, from.line, to.line)) return false; // never across a line break of the text
        std::string inserted = text.substr(same, text.size() - sameEnd - same);
        EmptyLineCache(a_);
        ReplaceRecord r{from.column, from.line, to.column, to.line, 0, 0, inserted.c_str()};
        Adapter(a_, kAdReplace, 0, reinterpret_cast<LPARAM>(&r));
        EmptyLineCache(a_);
        c_.wrote = true;
        current_ = text;
        return true;
    }
    // The word's place and text as the window now holds it: a hyphen at a line end shows as "~".
    void where(FoundWord& w) {
        TextPlace from{}, to{};
        auto length = static_cast<std::int32_t>(current_.size());
        if (!placeOf(start_, true, from) || !placeOf(start_ + length, false, to)) return;
        w.startColumn = from.column;
        w.startLine = from.line;
        w.endColumn = to.column;
        w.endLine = to.line;
        std::string shown = current_;
        w.joined = false;
        TextPlace p{};
        for (std::int32_t k = 1; k < length; ++k) {
            if (!placeOf(start_ + k, false, p) || p.column != CachedLineLength(a_, p.line) ||
                p.line >= to.line)
                continue;
            if (shown[static_cast<std::size_t>(k - 1)] == '-')
                shown[static_cast<std::size_t>(k - 1)] = '~';
            else
                w.joined = true;
        }
        copyWord(w.word, shown.c_str());
    }

    Check& c_;
    EditAttachment& a_;
    std::int32_t base_;
    std::int32_t start_ = -1;
    std::string current_, old_;
    bool ok_ = false;
};

// Chooses the hyphenation of a word that begins a line by trial writes; see the header of HyphenateInText.
int hyphenateInText(void* context, FoundWord& w, char* correction, const unsigned char* marks,
                    char language) {
    auto& c = *static_cast<Check*>(context);
    if (language != 'D' && language != 'E') return 0;
    if (!c.a || c.stop) return 0;
    // A word inside one line that does not begin it is neither written nor hyphenated.
    if (w.endLine == w.startLine && w.startColumn != 0) return 0;
    EditAttachment& a = *c.a;
    // Only a word the window may break anew is tried: one over a wrap, or one whose line follows a wrap.
    // Over a line break of the text nothing moves; a hyphenated line end there is the user's.
    if (w.hardJoined) return 0;
    const bool wrappedAbove = w.startColumn == 0 && w.startLine > 0 && WrappedAfter(a, w.startLine - 1);
    if (!wrappedAbove && w.endLine == w.startLine) return 0;
    // A hyphen before a capital parts words: "DA-TEI" would be read as two words.
    if (allCapitals(correction)) return 0;
    const std::int32_t low = a.changeLow, high = a.changeHigh;
    const FoundWord original = w;
    const std::int32_t firstLine = std::max(0, w.startLine - 1), lastLine = w.endLine + 1;
    std::vector<std::string> old = linesAround(a, firstLine, lastLine);
    TrialText trial(c, w, firstLine);
    if (!trial.ok()) return 0;
    auto write = [&](const char* form) { return trial.write(form, w); };

    bool wrote = false, made = false;
    int result = 0;
    if (w.endLine > w.startLine || w.startColumn == 0) wrote = write(correction);
    if (w.startColumn == 0 && (w.endLine > w.startLine || w.startLine > 0)) {
        char hyphenated[kWordSize] = {};
        bool have = false;
        if (MarksToHyphens(marks, correction, hyphenated) && hasTilde(hyphenated))
            have = hyphenated[1] != '~';
        else
            have = HyphenateWord(language, correction, marks, hyphenated) == 1 && hyphenated[1] != '~';
        if (have) {
            // A hyphenation puts hyphens between the letters as they stand, nothing else.
            std::string letters(hyphenated);
            std::erase(letters, '~');
            have = letters == correction;
        }
        if (have) {
            made = true;
            if (w.joined) {
                std::size_t at = 0;
                bool first = true, taken = false;
                for (;;) {
                    write(hyphenated);
                    if (w.joined) {
                        taken = !first;
                        break;
                    }
                    first = false;
                    bool again = false;
                    for (; w.word[at] && hyphenated[at]; ++at) {
                        if (w.word[at] == '-' && hyphenated[at] == '~') {
                            DeleteText(hyphenated, at, 1);
                            again = true;
                            break;
                        }
                    }
                    if (!again) {
                        taken = true;
                        break;
                    }
                }
                if (taken) {
                    copyWord(correction, w.word);
                    result = 1;
                }
            } else {
                const std::int32_t keptLine = w.startLine;
                std::size_t firstPoint = std::strcspn(hyphenated, "~-");
                bool firstIsHyphen = hyphenated[firstPoint] == '-';
                char first[kWordSize];
                copyWord(first, correction);
                if (!firstIsHyphen && hyphenated[firstPoint]) {
                    std::size_t letters = 0;
                    for (std::size_t k = 0; k < firstPoint; ++k)
                        if (hyphenated[k] != '~') ++letters;
                    InsertText(first, kWordSize, letters, "~");
                }
                write(first);
                if (w.startLine < keptLine) {
                    std::vector<std::size_t> points;
                    for (std::size_t k = 0; hyphenated[k]; ++k)
                        if (hyphenated[k] == '~') points.push_back(k);
                    for (auto p = points.rbegin(); p != points.rend(); ++p) {
                        std::string form;
                        for (std::size_t k = 0; hyphenated[k]; ++k)
                            if (hyphenated[k] != '~' || k == *p) form += hyphenated[k];
                        bool fits = *p == firstPoint && !firstIsHyphen;
                        if (!fits) {
                            write(form.c_str());
                            fits = w.startLine < keptLine;
                        }
                        if (fits) {
                            copyWord(correction, form.c_str());
                            result = 1;
                            break;
                        }
                    }
                }
            }
        }
    }
    if (made || wrote) {
        // The window must hold its old text again; where it does not, the check gives up.
        bool back = trial.restore(w) && linesAround(a, firstLine, lastLine) == old;
        if (!back) back = trial.restore(w) && linesAround(a, firstLine, lastLine) == old;
        if (!back) {
            c.stop = c.failed = true;
            result = 0;
        }
    }
    if (!c.failed) w = original;
    a.changeLow = low;
    a.changeHigh = high;
    return result;
}

// History of the automatic corrections of a check.
void openHistory(EditAttachment& a) {
    std::string name = MakeTempFileName();
    if (name.size() >= sizeof a.historyFile) {
        DeleteFile(name);
        return;
    }
    DBHandle h = CreateDBFile(name) ? OpenDBFile(name, 4) : 0;
    if (!h) {
        DeleteFile(name);
        return;
    }
    // Its records are no dictionary's: writing them keeps the check's look-ups valid.
    ExcludeFromContentStamp(h);
    std::strcpy(a.historyFile, name.c_str());
    a.historyHandle = h;
    a.lastRecord = a.firstRecord = a.recordCount = 0;
}

void appendHistory(EditAttachment& a, CorrectionRecord r) {
    DBHandle h = a.historyHandle;
    std::uint32_t at = AllocDBRecord(h, kCorrectionRecordSize, 0);
    if (!at) return;
    r.next = 0;
    r.previous = static_cast<std::uint32_t>(a.lastRecord);
    if (!WriteCorrectionRecord(h, at, r)) return;
    CorrectionRecord previous;
    if (a.lastRecord && ReadCorrectionRecord(h, static_cast<std::uint32_t>(a.lastRecord), previous)) {
        previous.next = at;
        WriteCorrectionRecord(h, static_cast<std::uint32_t>(a.lastRecord), previous);
    }
    a.lastRecord = static_cast<std::int32_t>(at);
    if (!a.firstRecord) a.firstRecord = static_cast<std::int32_t>(at);
    ++a.recordCount;
}

void closeHistory(Check& c) {
    if (!c.a || !c.a->historyHandle) return;
    DBHandle h = c.a->historyHandle;
    std::string name = c.a->historyFile;
    if (c.a->recordCount > 0) {
        std::uint32_t options = c.s.options;
        HelpFn help = helpOf(c.s, c.window);
        thawed(c, [&] { return ShowCorrectionMessage(GetActiveWindow(), options, *c.a, nullptr, help); });
    }
    CloseDBFile(h);
    DeleteFile(name);
    if (c.a) {
        c.a->historyHandle = 0;
        c.a->historyFile[0] = 0;
        c.a->lastRecord = c.a->firstRecord = c.a->recordCount = 0;
    }
}

CorrectionRecord recordOf(const char* inText, const AnalysisResult& r, const FoundWord& w) {
    CorrectionRecord rec{};
    copyWord(rec.inText, inText);
    copyWord(rec.shown, r.shown);
    copyWord(rec.correction, r.correction);
    rec.kind = r.kind & ~kBeepKinds;
    rec.startColumn = w.startColumn;
    rec.startLine = w.startLine;
    rec.endColumn = w.endColumn;
    rec.endLine = w.endLine;
    return rec;
}

int checkWord(Check& c, FoundWord& w, bool hyphenate, std::int32_t caretDistance);

// A hyphen of the text and a "~" of a correction stand for the same character.
bool spellsAsItStands(const char* word, const char* correction) {
    for (;; ++word, ++correction) {
        bool hyphens = (*word == '-' || *word == '~') && (*correction == '-' || *correction == '~');
        if (*word != *correction && !hyphens) return false;
        if (!*word) return true;
    }
}

// The suggestions dialog on an unknown word of the check loop.
int askUser(Check& c, FoundWord& w) {
    Adapter(*c.a, kAdSetCaret, static_cast<WPARAM>(w.startColumn), w.startLine);
    char replacement[kWordSize] = {};
    char word[kWordSize];
    copyWord(word, w.word);
    HelpFn help = helpOf(c.s, c.window);
    int answer = thawed(
        c, [&] { return ShowSuggestions(GetActiveWindow(), c.a, word, replacement, true, true, help); });
    if (!c.a) return kStop;
    if (answer == kReplace) {
        applyCorrection(c, w, replacement, -1);
        if (w.startColumn == 0 && !c.stop) {
            FoundWord again;
            if (FindWordAt(*c.a, w.startColumn, w.startLine, again)) {
                Check once{c.s, c.window, c.a, c.mode, true};
                once.memo = c.memo;
                checkWord(once, again, true, -1);
                c.a = once.a;
                c.stop = once.stop;
                c.failed = once.failed;
                if (once.wrote) {
                    c.wrote = true;
                    w = again;
                }
            }
        }
        return c.stop ? kStop : kIgnore;
    }
    return answer == kIgnore ? kIgnore : kStop;
}

// The check of one word: report it, ask about it (loop) or correct it. Result 2 = go on, 4 = stop.
int checkWord(Check& c, FoundWord& w, bool hyphenate, std::int32_t caretDistance) {
    EditAttachment& a = *c.a;
    AnalysisContext context;
    context.options = c.s.options;
    context.memo = c.memo;
    if (c.mode == Mode::Typing && a.lastWord[0]) {
        context.lastWord = a.lastWord;
        context.lastStartColumn = a.lastWordStartColumn;
        context.lastStartLine = a.lastWordStartLine;
    }
    if (hyphenate) {
        context.hyphenate = &hyphenateInText;
        context.hyphenateContext = &c;
    }
    char inText[kWordSize];
    copyWord(inText, w.word);
    AnalysisResult r;
    AnalyseWord(w, context, r);
    if (c.stop || !c.a) return kStop;
    if (c.mode == Mode::Typing) {
        copyWord(a.lastWord, w.word);
        a.lastWordStartColumn = w.startColumn;
        a.lastWordStartLine = w.startLine;
    }
    const std::uint32_t options = c.s.options;
    if (r.flags & kFlagMark) {
        if (c.mode != Mode::Split) {
            std::int32_t kind = ((r.flags & kFlagReport) ? 0 : 1) | (c.mode == Mode::Loop ? 2 : 0);
            setMark(a, w, r.correction, kind);
            if (c.mode == Mode::Typing && r.correction[0] && std::strcmp(r.correction, w.word) != 0) {
                copyWord(a.pendingText, r.correction);
                a.pendingCorrection = 1;
            }
            if (c.mode != Mode::Loop && (r.kind & kBeepKinds)) MessageBeep(static_cast<UINT>(-1));
        }
        if (c.mode == Mode::Loop && (r.flags & kFlagReport)) return c.noDialog ? kIgnore : askUser(c, w);
    }
    if (!(r.flags & kFlagAutoCorrect) || !r.correction[0]) return kIgnore;
    bool confirmable = (r.kind & ~kSplitKinds) != 0 || (options & kOptionConfirmSplit);
    if (!confirmable) {
        applyCorrection(c, w, r.correction, caretDistance);
        return c.stop ? kStop : kIgnore;
    }
    // A correction that spells the word as it stands ("trans+form" as "transform") asks nothing.
    if (spellsAsItStands(inText, r.correction)) return kIgnore;
    CorrectionRecord record = recordOf(inText, r, w);
    if (options & kOptionConfirmCorr) {
        HelpFn help = helpOf(c.s, c.window);
        int ok =
            thawed(c, [&] { return ShowCorrectionMessage(GetActiveWindow(), options, *c.a, &record, help); });
        if (!c.a) return kStop;
        if (ok == 1) applyCorrection(c, w, record.correction, caretDistance);
    } else {
        // A correction that wrote nothing ("trans+form" to "transform") is no entry of the list.
        bool wrote = applyCorrection(c, w, r.correction, caretDistance);
        if (wrote && c.mode == Mode::Loop && c.a && c.a->historyHandle) {
            record.startColumn = w.startColumn;
            record.startLine = w.startLine;
            record.endColumn = w.endColumn;
            record.endLine = w.endLine;
            appendHistory(*c.a, record);
        }
    }
    return c.stop ? kStop : kIgnore;
}

// Removes the key messages waiting for the window; true when a key was pressed among them.
bool keyWaiting(HWND window) {
    bool pressed = false;
    MSG msg;
    while (PeekMessage(&msg, window, WM_KEYDOWN, WM_SYSDEADCHAR, PM_REMOVE))
        if (msg.message == WM_KEYDOWN) pressed = true;
    return pressed;
}

// The analysis may cut "'s" off a word ("Let's" reported as "Let"), and the word finder takes
// "Hauss...Garten" or "foo..bar" as the one word before the dots: the check goes on, and a stop leaves
// the caret, behind all the characters found as the word, or a resume from inside them would report it
// once more.
void behindWholeWord(FoundWord& w) {
    if (w.runEndLine > w.endLine || (w.runEndLine == w.endLine && w.runEndColumn > w.endColumn)) {
        w.endColumn = w.runEndColumn;
        w.endLine = w.runEndLine;
    }
}

bool askCancel(Check& c) {
    return thawed(c, [&] {
        EnterLibrary();
        int answer = MessageBox(c.window,
                                "Rechtschreibepr\xfc"
                                "fung abbrechen?",
                                "Wortex", MB_YESNO | MB_ICONQUESTION);
        LeaveLibrary();
        return answer == IDYES;
    });
}

bool isLetterAt(const LineRecord* r, std::int32_t column) {
    return r && column >= 0 && static_cast<std::uint32_t>(column) + 1 < r->size &&
           IsAnsiLetter(static_cast<unsigned char>(r->text[column]));
}

void fillWordRecord(WordRecord& out, HWND window, const char* word, std::int32_t startColumn,
                    std::int32_t startLine, std::int32_t endColumn, std::int32_t endLine) {
    out.editWindow = window;
    out.startColumn = startColumn;
    out.startLine = startLine;
    out.endColumn = endColumn;
    out.endLine = endLine;
    std::memset(out.word, 0, sizeof out.word);
    copyWord(out.word, word);
}

bool dictionaryOpen() {
    return EnumDictionaries(1, nullptr) != 0;
}

bool isChar(std::uint16_t key) {
    return key != 0 && !(key & 0x8000);
}
bool isWordKey(std::uint16_t key) {
    return isChar(key) && IsWordChar(static_cast<unsigned char>(key));
}
bool isCapitalKey(std::uint16_t key) {
    auto c = static_cast<unsigned char>(key);
    return isChar(key) && IsAnsiLetter(c) && AnsiToLower(c) != c;
}

} // namespace

void ClearMark(EditAttachment& a) {
    if (a.markPresent) {
        Adapter(a, kAdClearMark, static_cast<WPARAM>(a.markKind), 0);
        Adapter(a, kAdStatusClear, static_cast<WPARAM>(a.markKind), 0);
    }
    a.markPresent = 0;
    a.markedWord[0] = 0;
    a.markStartLine = a.markStartColumn = a.markEndLine = a.markEndColumn = -1;
    a.markKind = 0;
}

bool MarkIsValid(EditAttachment& a) {
    if (!a.markPresent) return false;
    FoundWord f;
    if (FindWordAt(a, a.markStartColumn, a.markStartLine, f) && std::strcmp(f.word, a.markedWord) == 0)
        return true;
    ClearMark(a);
    return false;
}

LRESULT CheckTextOperation(LibraryState& s, EditAttachment& attachment, WPARAM wParam, LPARAM lParam) {
    Check c{s, attachment.editWindow, &attachment, Mode::Loop};
    LookupMemo memo;
    c.memo = &memo;
    EditAttachment* a = &attachment;
    ClearMark(*a);
    a->lastWordStartLine = a->lastWordStartColumn = -1;
    a->lastWord[0] = 0;
    if (!(s.options & kOptionConfirmCorr)) openHistory(*a);

    std::int32_t column = a->caretColumn, line = a->caretLine, lastLine = INT_MAX;
    if (wParam) {
        const auto& range = *reinterpret_cast<const CheckRange*>(lParam);
        column = range.startColumn;
        line = range.startLine;
        lastLine = range.lastLine;
    }
    // A range that starts before the text starts at its beginning.
    if (line < 0) line = column = 0;
    column = std::max(column, 0);
    std::int32_t previousColumn = -1, previousLine = -1;
    std::int32_t checkedColumn = -1, checkedLine = -1;
    std::int32_t lastExisting = -1, linesRead = 0;
    bool stopped = false;
    std::int32_t length = line >= 0 ? CachedLineLength(*a, line) : -1;
    while (length >= 0 && line <= lastLine && !stopped) {
        lastExisting = line;
        Adapter(*a, kAdSetCaret, 0, line);
        ThawForDrawing(*a);
        bool nextLine = true;
        while (column < length) {
            bool error = false;
            const LineRecord* text = CachedLine(*a, line, &error);
            if (error) {
                c.failed = true;
                length = -1;
                break;
            }
            while (column < length && !isLetterAt(text, column))
                ++column;
            if (column >= length) break;
            FoundWord w;
            if (!FindWordAt(*a, column, line, w, false)) {
                while (column < length && isLetterAt(text, column))
                    ++column;
                continue;
            }
            if (w.startColumn != previousColumn || w.startLine != previousLine) {
                previousColumn = w.startColumn;
                previousLine = w.startLine;
                int code = checkWord(c, w, true, -1);
                if (!(a = c.a)) return 1;
                behindWholeWord(w);
                checkedColumn = w.endColumn;
                checkedLine = w.endLine;
                previousColumn = w.startColumn;
                previousLine = w.startLine;
                length = CachedLineLength(*a, line);
                if (length < 0) {
                    lastLine = line - 1;
                    lastExisting = line - 1;
                    break;
                }
                if (code == kStop) {
                    a->wantedColumn = w.endColumn;
                    a->wantedLine = w.endLine;
                    stopped = true;
                    break;
                }
            }
            behindWholeWord(w);
            if (w.endLine > line) {
                // Go on behind the word on the line it ends in.
                line = w.endLine;
                column = w.endColumn;
                length = CachedLineLength(*a, line);
                lastExisting = line;
                if (line > lastLine) break;
                continue;
            }
            column = std::max(column + 1, w.endColumn);
        }
        if (stopped || length < 0) break;
        if (keyWaiting(c.window) && askCancel(c)) {
            if (!(a = c.a)) return 1;
            if (checkedLine >= 0) {
                a->wantedColumn = checkedColumn;
                a->wantedLine = checkedLine;
            }
            stopped = true;
            break;
        }
        if (!(a = c.a)) return 1;
        if (++linesRead % 5 == 0) EmptyLineCache(*a);
        (void)nextLine;
        ++line;
        column = 0;
        length = CachedLineLength(*a, line);
    }
    if (!stopped) {
        std::int32_t last = std::min(lastExisting, lastLine);
        std::int32_t n = last >= 0 ? CachedLineLength(*a, last) : -1;
        if (n >= 0) {
            a->wantedColumn = n;
            a->wantedLine = last;
        } else {
            a->wantedColumn = a->wantedLine = 0;
        }
    }
    if (!(a = c.a)) return 1;
    ClearMark(*a);
    closeHistory(c);
    if ((a = c.a)) {
        a->changeLow = kEmptyLow;
        a->changeHigh = -1;
    }
    if (!c.failed) return 1;
    reportFailure(c);
    return 0;
}

LRESULT WordDialogOperation(LibraryState& s, EditAttachment& attachment, WPARAM wParam, LPARAM) {
    EditAttachment* a = &attachment;
    FoundWord w;
    bool found = false;
    if (!(wParam & 0x1000) && MarkIsValid(*a)) {
        found = FindWordAt(*a, a->markStartColumn, a->markStartLine, w);
    }
    if (!found) found = FindWordAt(*a, a->caretColumn, a->caretLine, w);
    if (!found) return 0;
    bool taken = (wParam & 0x10) || FindWordInDictionaries(0, w.word, 0, false) != 0;
    if (!(wParam & 0x2)) return taken ? 1 : 0;
    if (!taken) return 0;
    Check c{s, a->editWindow, a, Mode::Loop};
    setMark(*a, w, "", 0x2);
    char replacement[kWordSize] = {};
    char word[kWordSize];
    copyWord(word, w.word);
    HelpFn help = helpOf(s, c.window);
    int answer = 0;
    if (wParam & 0x10) {
        bool mayIgnore = (wParam & 0x2000) != 0;
        answer = thawed(c, [&] {
            return ShowSuggestions(GetActiveWindow(), c.a, word, replacement, true, mayIgnore, help);
        });
    } else if (wParam & 0x20) {
        answer = thawed(c, [&] { return ShowDescription(GetActiveWindow(), 0, word, replacement, true); });
    }
    if (!c.a) return answer;
    if (answer == kReplace && replacement[0] && w.hardJoined) {
        // The word runs over a line break of the text: written part by part, the break stays.
        FoundWord now = w;
        applyCorrection(c, now, replacement, -1);
        if (c.a) {
            c.a->wantedColumn = now.endColumn;
            c.a->wantedLine = now.endLine;
            ClearMark(*c.a);
        }
    } else if (answer == kReplace && replacement[0]) {
        EmptyLineCache(*c.a);
        ReplaceRecord r{w.startColumn, w.startLine, w.endColumn, w.endLine, 0, 0, replacement};
        Adapter(*c.a, kAdReplace, 0, reinterpret_cast<LPARAM>(&r));
        EmptyLineCache(*c.a);
        c.a->wantedColumn = r.outColumn;
        c.a->wantedLine = r.outLine;
        ClearMark(*c.a);
    }
    return answer;
}

LRESULT CorrectPendingOperation(LibraryState& s, EditAttachment& a, WPARAM wParam, LPARAM) {
    if (!a.pendingCorrection || !MarkIsValid(a)) return 0;
    if (wParam == 4) return 1;
    FoundWord w;
    if (FindWordAt(a, a.markStartColumn, a.markStartLine, w)) {
        Check c{s, a.editWindow, &a, Mode::Typing};
        std::int32_t d = distance(a, w.startLine, w.startColumn, a.wantedLine, a.wantedColumn);
        char correction[kWordSize];
        copyWord(correction, a.pendingText);
        applyCorrection(c, w, correction, d);
    }
    a.pendingCorrection = 0;
    ClearMark(a);
    return 1;
}

LRESULT CheckCaretWordOperation(LibraryState& s, EditAttachment& a, WPARAM wParam, LPARAM) {
    FoundWord w;
    if (!FindWordAt(a, a.caretColumn, a.caretLine, w)) return 0;
    if (!(wParam & 0x2)) return 1;
    Check c{s, a.editWindow, &a, Mode::Typing};
    bool hyphenate = w.startLine == w.endLine || w.joined;
    std::int32_t d = distance(a, w.startLine, w.startColumn, a.wantedLine, a.wantedColumn);
    checkWord(c, w, hyphenate, d);
    if (c.a) c.a->changeLow = c.a->changeHigh = w.endLine;
    if (!c.failed) return 1;
    reportFailure(c);
    return 0;
}

LRESULT InsertMarkedOperation(LibraryState&, EditAttachment& a, WPARAM, LPARAM) {
    if (MarkIsValid(a)) {
        char word[kWordSize];
        copyWord(word, a.markedWord);
        if (AddDictionaryWord(0, word, true, false, 0, 0) == 1) {
            ClearMark(a);
            return 1;
        }
    }
    EnterLibrary();
    MessageBoxFromString(LibraryInstance(), GetActiveWindow(), 200, "Wortex", MB_ICONEXCLAMATION);
    LeaveLibrary();
    return 0;
}

LRESULT WordOperation(LibraryState&, EditAttachment& a, WPARAM wParam, LPARAM lParam) {
    auto& out = *reinterpret_cast<WordRecord*>(lParam);
    if (wParam == 0) {
        if (!MarkIsValid(a)) return 0;
        fillWordRecord(out, a.editWindow, a.markedWord, a.markStartColumn, a.markStartLine, a.markEndColumn,
                       a.markEndLine);
        return 1;
    }
    FoundWord w;
    if (!FindWordAt(a, a.caretColumn, a.caretLine, w)) return 0;
    fillWordRecord(out, a.editWindow, w.word, w.startColumn, w.startLine, w.endColumn, w.endLine);
    return 1;
}

LRESULT AttachmentStateOperation(LibraryState& s, EditAttachment& a, WPARAM, LPARAM lParam) {
    auto& out = *reinterpret_cast<AttachmentStateRecord*>(lParam);
    HWND window = a.editWindow;
    std::memset(&out, 0, sizeof out);
    out.current.editWindow = out.atCaret.editWindow = window;
    out.options = s.options;
    std::uint32_t bits = 0;
    const bool open = dictionaryOpen();
    if (open) {
        bits |= 0x8;
        if (a.immediate) bits |= 0x1;
    }
    FoundWord w;
    bool atCaret = FindWordAt(a, a.caretColumn, a.caretLine, w);
    if (atCaret) {
        fillWordRecord(out.atCaret, window, w.word, w.startColumn, w.startLine, w.endColumn, w.endLine);
        bits |= 0x4;
        if (open) {
            bits |= 0x100;
            if (FindWordInDictionaries(0, w.word, 0, false)) bits |= 0xE000;
        }
    }
    bool current = false;
    if (MarkIsValid(a)) {
        fillWordRecord(out.current, window, a.markedWord, a.markStartColumn, a.markStartLine, a.markEndColumn,
                       a.markEndLine);
        current = true;
    } else {
        current = atCaret;
    }
    if (current) {
        if (!out.current.word[0]) out.current = out.atCaret;
        bits |= 0x2;
        if (open) bits |= 0x1000;
        if (GetMainDictionary(nullptr)) bits |= 0x20;
        if (a.pendingCorrection) bits |= 0x10;
    }
    out.bits = bits;
    CacheAttachmentState(s, window, &out);
    return 1;
}

// A word that ends in a hyphen at the end of its line waits for its rest: typed "Ein-" and Return, it is
// checked with the part typed on the next line.
bool awaitsItsRest(EditAttachment& a, const FoundWord& w) {
    bool error = false;
    const LineRecord* r = CachedLine(a, w.endLine, &error);
    if (!r) return false;
    return w.endColumn >= 0 && static_cast<std::uint32_t>(w.endColumn) + 2 == r->size &&
           r->text[w.endColumn] == '-';
}

LRESULT CheckWhileTyping(LibraryState& s, EditAttachment& attachment, UINT message, WPARAM wParam,
                         LPARAM lParam) {
    HWND window = attachment.editWindow;
    const std::uint16_t key = TranslateKeyMessage(message, wParam);
    if (!key) return CallWindowProc(attachment.previousProc, window, message, wParam, lParam);
    s.cachedWindow = 0;
    EditAttachment* a = &attachment;
    readCaret(*a);
    if (a->markPresent) {
        std::uint16_t age = a->markAge++;
        bool left = a->caretLine < a->markStartLine ||
                    (a->caretLine == a->markStartLine && a->caretColumn < a->markStartColumn) ||
                    a->caretLine > a->markEndLine + 1;
        if (age >= 19 || left) ClearMark(*a);
    }
    const std::uint16_t previous = a->previousKey;
    // Alt keys, Backspace (as key or as its character) and Delete check nothing.
    const bool quiet = (key & 0x800) || key == 0x8008 || key == 0x8048 || key == 0x802E;
    Check c{s, window, a, Mode::Typing};
    bool checked = false;
    const bool continues =
        !((!isWordKey(key) && !isWordKey(previous)) || (isCapitalKey(key) && previous == '-'));
    if (!quiet && !continues) {
        FoundWord w;
        if (FindWordAt(*a, a->caretColumn, a->caretLine, w)) {
            bool inside =
                (w.startLine < a->caretLine ||
                 (w.startLine == a->caretLine && w.startColumn < a->caretColumn)) &&
                (w.endLine > a->caretLine || (w.endLine == a->caretLine && w.endColumn > a->caretColumn));
            if (!(inside && !isWordKey(key)) && !awaitsItsRest(*a, w)) {
                widen(*a, a->caretLine, a->caretLine + 2);
                std::int32_t d = distance(*a, w.startLine, w.startColumn, a->wantedLine, a->wantedColumn);
                checkWord(c, w, isChar(key), d);
                checked = true;
                if (c.a && c.wrote) placeCaret(*c.a);
            }
        }
    }
    if (!c.a) return CallWindowProc(attachment.previousProc, window, message, wParam, lParam);
    LRESULT result = CallWindowProc(c.a->previousProc, window, message, wParam, lParam);
    if (!(a = c.a = FindAttachment(s, window))) return result;
    EmptyLineCache(*a);
    const bool ends =
        (isChar(key) && !isWordKey(key) && isWordKey(previous)) || (!isChar(key) && isChar(previous));
    if (!quiet && !checked && ends) {
        readCaret(*a);
        std::int32_t line = a->caretLine, column = a->caretColumn - 1;
        if (column < 0 && line > 0) {
            --line;
            column = std::max(0, CachedLineLength(*a, line) - 1);
        }
        FoundWord w;
        c.wrote = false;
        if (column >= 0 && FindWordAt(*a, column, line, w) && !awaitsItsRest(*a, w)) {
            std::int32_t d = distance(*a, w.startLine, w.startColumn, a->wantedLine, a->wantedColumn);
            checkWord(c, w, true, d);
            checked = true;
            if ((a = c.a)) widen(*a, a->caretLine, a->caretLine + 2);
        }
        if (a && !a->markPresent && isChar(key) && !c.stop) {
            FoundWord here;
            if (FindWordAt(*a, a->wantedColumn, a->wantedLine, here) && !awaitsItsRest(*a, here) &&
                (here.startColumn != w.startColumn || here.startLine != w.startLine || !checked)) {
                std::int32_t d =
                    distance(*a, here.startLine, here.startColumn, a->wantedLine, a->wantedColumn);
                checkWord(c, here, true, d);
                checked = true;
                a = c.a;
            }
        }
        if (a && c.wrote) placeCaret(*a);
    }
    if (a) {
        EmptyLineCache(*a);
        a->previousKey = key;
        a->previousKeyChecked = checked ? 1 : 0;
    }
    if (c.failed) reportFailure(c);
    return result;
}

void HyphenateChangedLines(LibraryState& s, EditAttachment& attachment, std::int32_t low, std::int32_t) {
    HWND window = attachment.editWindow;
    EditAttachment* a = &attachment;
    if (a->freezeDepth == 0) {
        Adapter(*a, kAdFreeze, 0, 0);
        HideCaret(window);
    }
    ++a->freezeDepth;
    readCaret(*a);
    const std::int32_t homeColumn = a->caretColumn, homeLine = a->caretLine;
    Check c{s, window, a, Mode::Split};
    std::int32_t line = std::max(0, low);
    std::int32_t column = line == a->caretLine ? a->caretColumn : 0;
    auto check = [&](FoundWord& w) {
        std::int32_t d = distance(*c.a, w.startLine, w.startColumn, c.a->caretLine, c.a->caretColumn);
        checkWord(c, w, true, d);
        if (c.a) {
            c.a->caretColumn = c.a->wantedColumn;
            c.a->caretLine = c.a->wantedLine;
        }
    };
    // The word that begins the line below; false when the walk is to end.
    auto nextLine = [&]() {
        ++line;
        column = 0;
        FoundWord w;
        if (FindWordAt(*c.a, 0, line, w) && w.startColumn == 0) {
            std::int32_t fromLine = line;
            check(w);
            if (!c.a || c.stop) return false;
            if (w.endLine > fromLine || (w.endLine == fromLine && w.endColumn > 0)) {
                line = w.endLine;
                column = w.endColumn;
            }
        }
        return true;
    };
    for (int guard = 0; guard < 1000000 && c.a && !c.stop && line <= c.a->changeHigh; ++guard) {
        bool error = false;
        const LineRecord* r = CachedLine(*c.a, line, &error);
        if (!r) {
            nextLine();
            break;
        }
        std::string text(r->text, r->size - 1);
        std::size_t hyphen =
            column >= 0 ? text.find('-', static_cast<std::size_t>(column)) : std::string::npos;
        if (hyphen == std::string::npos || hyphen > kFarthestHyphen) {
            if (!nextLine()) break;
            continue;
        }
        auto at = static_cast<std::int32_t>(hyphen);
        FoundWord w;
        if (!FindWordAt(*c.a, at, line, w) ||
            (w.startLine == w.endLine && (w.startColumn >= at || w.endColumn <= at))) {
            column = at + 1;
            continue;
        }
        const std::int32_t fromLine = line;
        check(w);
        if (!c.a || c.stop) break;
        if (w.endLine > fromLine) {
            line = w.endLine - 1;
            if (!nextLine()) break;
            continue;
        }
        line = w.endLine;
        column = std::max(w.endColumn, line == fromLine ? at + 1 : 0);
    }
    if (!(a = c.a)) return;
    EmptyLineCache(*a);
    std::int32_t caretLine = 0;
    auto caretColumn =
        static_cast<std::int32_t>(Adapter(*a, kAdGetCaret, 0, reinterpret_cast<LPARAM>(&caretLine)));
    if (caretColumn != homeColumn || caretLine != homeLine) {
        // The caret goes back where it was, or where the corrections moved it.
        std::int32_t wantedColumn = c.wrote ? a->wantedColumn : homeColumn;
        std::int32_t wantedLine = c.wrote ? a->wantedLine : homeLine;
        Adapter(*a, kAdSetCaret, static_cast<WPARAM>(wantedColumn), wantedLine);
    }
    if (--a->freezeDepth == 0) {
        Adapter(*a, kAdFreeze, 1, 0);
        ShowCaret(window);
    }
    if (c.failed) reportFailure(c);
}

} // namespace wortex
