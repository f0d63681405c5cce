#include "DictionaryEngine.h"

#include "Doz3Format.h"
#include "Letters.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <unordered_set>
#include <vector>

namespace wortex {

using doz3::get32;
using doz3::put32;

namespace {

constexpr const char* kSuffixes[] = {
    "angen", "ation", "ieren", "iness", "ingen", "nated", "ungen", "able", "aire", "ance", "ated",
    "ence",  "ency",  "esse",  "ette",  "heit",  "ible",  "isch",  "iste", "keit", "less", "lich",
    "ment",  "ness",  "some",  "tial",  "tion",  "age",   "ant",   "ate",  "aux",  "des",  "ent",
    "ern",   "eur",   "eux",   "ful",   "gen",   "ire",   "ist",   "ite",  "ive",  "ity",  "nis",
    "ous",   "que",   "sig",   "ung",   "ed",    "em",    "en",    "er",   "es",   "et",   "ig",
    "in",    "is",    "it",    "re",    "ss",    "st"};
constexpr std::size_t kSuffixCount = sizeof kSuffixes / sizeof kSuffixes[0];
constexpr unsigned char kSuffixBase = 170;
constexpr std::size_t kMaxCodes = 63;
constexpr std::uint32_t kMaxPageSize = 127 * 128 + 127;

const std::vector<std::string>& suffixCodes() {
    static const std::vector<std::string> table = [] {
        std::vector<std::string> t;
        for (const char* s : kSuffixes) {
            char buf[8];
            std::strcpy(buf, s);
            EncodeWord(kCurrentFormat, buf, false);
            t.emplace_back(buf);
        }
        return t;
    }();
    return table;
}

bool isCode(unsigned char b) {
    unsigned v = b >> 1;
    return v >= 2 && v <= 63;
}

// A stored tail's codes into out (room for 63 codes); false for bytes that are no tail.
bool expandTail(const unsigned char* stored, std::size_t n, char* out, std::size_t& size) {
    const auto& table = suffixCodes();
    size = 0;
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char b = stored[i];
        if (b >= kSuffixBase && b < kSuffixBase + kSuffixCount) {
            const std::string& ending = table[b - kSuffixBase];
            if (size + ending.size() > kMaxCodes) return false;
            std::memcpy(out + size, ending.data(), ending.size());
            size += ending.size();
        } else if (isCode(b)) {
            if (size == kMaxCodes) return false;
            out[size++] = static_cast<char>(b);
        } else {
            return false;
        }
    }
    return size > 0;
}

unsigned key(unsigned char letter) {
    return letter & ~1u;
}

std::string masked(const std::string& codes) {
    std::string m = codes;
    for (char& ch : m)
        ch = static_cast<char>(key(static_cast<unsigned char>(ch)));
    return m;
}

struct WordInfo {
    unsigned char marks = 0; // kEntryCapital | kEntryMark
    std::uint32_t a = 0, b = 0;
    bool operator==(const WordInfo&) const = default;
};

struct Entry {
    unsigned char letter = 0;
    bool end = false;
    WordInfo endInfo;
    bool hasTail = false;
    std::string tail; // stored (compressed) bytes
    WordInfo tailInfo;
    std::uint32_t link = 0;
    bool empty() const { return !end && !hasTail && !link; }
};

struct Page {
    std::uint32_t offset = 0; // 0: a page not stored yet
    std::uint32_t size = 0;
    std::vector<Entry> entries;
};

std::uint32_t sizeBytes(std::uint32_t size) {
    return size < 128 ? 1 : 2;
}

// One entry of a page as it lies in the page's bytes: its tail points into them.
struct EntryView {
    unsigned char letter = 0;
    bool end = false, hasTail = false;
    WordInfo endInfo, tailInfo;
    const unsigned char* tail = nullptr;
    std::size_t tailSize = 0;
    std::uint32_t link = 0;
};

// Reads the entry at p[i] and moves i past it; false for bytes that are no entry.
[[gnu::always_inline]] inline bool readEntry(const unsigned char* p, std::size_t n, std::size_t& i,
                                             EntryView& e) {
    auto has = [&](std::size_t k) { return n - i >= k; };
    if (!has(2)) return false;
    e = EntryView{};
    e.letter = p[i];
    unsigned char f = p[i + 1];
    i += 2;
    if (!isCode(e.letter)) return false;
    if ((f & kEntryTail) && (f & kEntryLink)) return false;
    if ((f & kEntryLongLink) && !(f & kEntryLink)) return false;
    e.end = f & kEntryEnd;
    e.hasTail = f & kEntryTail;
    auto values = [&](unsigned char flags, WordInfo& w) {
        w.marks = flags & (kEntryCapital | kEntryMark);
        if (flags & kEntryValueA) {
            if (!has(4)) return false;
            w.a = get32(p + i);
            i += 4;
        }
        if (flags & kEntryValueB) {
            if (!has(4)) return false;
            w.b = get32(p + i);
            i += 4;
        }
        return true;
    };
    if ((e.end || e.hasTail) && !values(f, e.end ? e.endInfo : e.tailInfo)) return false;
    if (e.end && e.hasTail) {
        if (!has(1)) return false;
        unsigned char tf = p[i++];
        if (!values(tf, e.tailInfo)) return false;
    }
    if (e.hasTail) {
        if (!has(1)) return false;
        std::size_t len = p[i++];
        if (len == 0 || !has(len)) return false;
        e.tail = p + i;
        e.tailSize = len;
        i += len;
    }
    if (f & kEntryLink) {
        std::size_t len = (f & kEntryLongLink) ? 4 : 3;
        if (!has(len)) return false;
        e.link = len == 4 ? get32(p + i) : (p[i] | (p[i + 1] << 8) | (std::uint32_t(p[i + 2]) << 16));
        i += len;
        if (e.link == 0) return false;
    }
    return e.end || e.hasTail || e.link;
}

// Walks a whole page in place; visit gets each entry in order. false for a page that does not hold
// together (entries out of letter order or cut short, or no entry at all).
template <class Visit> bool scanPage(const unsigned char* p, std::size_t n, Visit&& visit) {
    std::size_t i = 0;
    EntryView e;
    unsigned last = 0;
    while (i < n) {
        if (!readEntry(p, n, i, e) || (last && key(e.letter) <= last)) return false;
        last = key(e.letter);
        visit(e);
    }
    return n > 0;
}

bool parsePage(const unsigned char* p, std::size_t n, std::vector<Entry>& out) {
    return scanPage(p, n, [&](const EntryView& v) {
        Entry e;
        e.letter = v.letter;
        e.end = v.end;
        e.endInfo = v.endInfo;
        e.hasTail = v.hasTail;
        if (v.hasTail) e.tail.assign(reinterpret_cast<const char*>(v.tail), v.tailSize);
        e.tailInfo = v.tailInfo;
        e.link = v.link;
        out.push_back(std::move(e));
    });
}

void put32s(std::string& out, std::uint32_t v) {
    for (int k = 0; k < 4; ++k)
        out.push_back(static_cast<char>(v >> (8 * k)));
}

unsigned char infoFlags(const WordInfo& w) {
    return static_cast<unsigned char>(w.marks | (w.a ? kEntryValueA : 0) | (w.b ? kEntryValueB : 0));
}

void putValues(std::string& out, const WordInfo& w) {
    if (w.a) put32s(out, w.a);
    if (w.b) put32s(out, w.b);
}

std::string serialize(const std::vector<Entry>& entries) {
    std::string out;
    for (const Entry& e : entries) {
        unsigned char f = (e.end ? kEntryEnd : 0) | (e.hasTail ? kEntryTail : 0);
        if (e.link) f |= kEntryLink | (e.link > 0xFFFFFFu ? kEntryLongLink : 0);
        if (e.end)
            f |= infoFlags(e.endInfo);
        else if (e.hasTail)
            f |= infoFlags(e.tailInfo);
        out.push_back(static_cast<char>(e.letter));
        out.push_back(static_cast<char>(f));
        if (e.end)
            putValues(out, e.endInfo);
        else if (e.hasTail)
            putValues(out, e.tailInfo);
        if (e.end && e.hasTail) {
            out.push_back(static_cast<char>(infoFlags(e.tailInfo)));
            putValues(out, e.tailInfo);
        }
        if (e.hasTail) {
            out.push_back(static_cast<char>(e.tail.size()));
            out += e.tail;
        }
        if (e.link) {
            int n = e.link > 0xFFFFFFu ? 4 : 3;
            for (int k = 0; k < n; ++k)
                out.push_back(static_cast<char>(e.link >> (8 * k)));
        }
    }
    return out;
}

// ---- Old format, read only for import ----
// An old entry is a letter byte (bit 7: a word ends here; the letter is (byte mod 128) + 96 in the old
// coding), then a byte n: from 32 up a link follows, (n - 32) * 65536 + two more bytes, high byte first;
// below 32 n is the length of the tail that follows. Tail bytes from 150 up stand for the endings of the
// collection's language. A page's size is the one byte before it.
// Inside the engine an old letter b is carried as (b - 95) * 2, so that old words sort, compare and expand
// like current codes, with the capital bit clear.

constexpr const char* kOldGerman[] = {
    "angen", "an",    "all",   "aus",   "bei",   "be",    "dahin", "dar", "durch", "ein",  "ell", "end",
    "ent",   "essen", "alten", "ieren", "ingen", "ungen", "en",    "ern", "unter", "ver",  "zer", "ber",
    "er",    "ge",    "heit",  "ssig",  "ig",    "isch",  "miss",  "is",  "lich",  "keit", "ei",  "ie",
    "mit",   "nis",   "sch",   "ch",    "st",    "um",    "ung",   "un",  "vor",   "zu"};
constexpr const char* kOldFrench[] = {"able", "ant",  "ation", "con",  "ment", "ent",  "ons", "ez",
                                      "de",   "en",   "ex",    "aire", "ance", "tion", "eux", "iste",
                                      "age",  "ible", "ence",  "eur",  "ire",  "esse", "er",  "pro",
                                      "re",   "aux",  "ette",  "ver",  "que",  "et",   "em"};
constexpr const char* kOldOther[] = {
    "able",  "acc",   "anc",  "anti",  "app", "as",   "nate", "ate",   "ation", "ative", "cha",
    "comm",  "com",   "cons", "con",   "cor", "def",  "des",  "under", "de",    "disc",  "dis",
    "nated", "ed",    "ence", "ency",  "ene", "per",  "over", "inter", "er",    "iness", "ness",
    "less",  "ess",   "ful",  "gen",   "ic",  "imp",  "ing",  "inst",  "int",   "in",    "irr",
    "is",    "ite",   "ity",  "ive",   "gh",  "li",   "lo",   "lity",  "ly",    "ment",  "mo",
    "ous",   "ow",    "pre",  "pro",   "rec", "re",   "some", "ss",    "sta",   "str",   "st",
    "sub",   "super", "supp", "trans", "th",  "tial", "tion", "un"};
constexpr unsigned char kOldSuffixBase = 150;

// The old coding writes lower-case code page 437 letters between "a" and 149. Not every old word comes
// back unchanged through Windows-1252 (ÿ turns into a blank), so a whole old collection is read with
// WalkWords rather than word by word from its text.
bool isOldLetter(unsigned b) {
    return b >= 'a' && b <= 149;
}
unsigned char fromOld(unsigned char b) {
    return static_cast<unsigned char>((b - 95) << 1);
}
unsigned char toOld(unsigned char code) {
    return static_cast<unsigned char>((code >> 1) + 95);
}

using Endings = std::vector<std::string>;

template <std::size_t N> Endings oldEndings(const char* const (&texts)[N]) {
    Endings t;
    for (const char* s : texts) {
        std::string codes;
        for (; *s; ++s)
            codes.push_back(static_cast<char>(fromOld(static_cast<unsigned char>(*s))));
        t.push_back(std::move(codes));
    }
    return t;
}

const Endings& oldEndingsFor(char language) {
    static const Endings german = oldEndings(kOldGerman), french = oldEndings(kOldFrench),
                         other = oldEndings(kOldOther);
    return language == 'D' ? german : language == 'F' ? french : other;
}

bool parseOldPage(const unsigned char* p, std::size_t n, const Endings& endings, std::vector<Entry>& out) {
    std::size_t i = 0;
    while (i < n) {
        if (n - i < 2) return false;
        Entry e;
        unsigned char letter = static_cast<unsigned char>((p[i] & 127) + 96);
        if (!isOldLetter(letter)) return false;
        e.letter = fromOld(letter);
        e.end = p[i] & 128;
        unsigned m = p[i + 1];
        i += 2;
        if (m >= 32) {
            if (n - i < 2) return false;
            e.link = (m - 32) * 65536u + p[i] * 256u + p[i + 1];
            i += 2;
            if (e.link == 0) return false;
        } else if (m > 0) {
            if (n - i < m) return false;
            // Kept expanded: the tail never goes back to an old page.
            for (std::size_t k = 0; k < m; ++k) {
                unsigned char b = p[i + k];
                if (b >= kOldSuffixBase && std::size_t(b - kOldSuffixBase) < endings.size())
                    e.tail += endings[b - kOldSuffixBase];
                else if (isOldLetter(b))
                    e.tail.push_back(static_cast<char>(fromOld(b)));
                else
                    return false;
            }
            i += m;
            if (e.tail.size() > kMaxCodes) return false;
            e.hasTail = true;
        }
        // An entry that holds nothing holds no word either; it is passed over.
        if (!e.empty()) out.push_back(std::move(e));
    }
    std::sort(out.begin(), out.end(), [](const Entry& a, const Entry& b) { return a.letter < b.letter; });
    for (std::size_t k = 1; k < out.size(); ++k)
        if (out[k].letter == out[k - 1].letter) return false;
    // A page needs a word, or walking through it would find none where the tree promises one.
    return !out.empty();
}

bool loadOldPage(const DictCollection& c, std::uint32_t offset, Page& page) {
    unsigned char size = 0, language = 0;
    if (offset < 1 || !ReadDBBytes(c.db, offset - 1, &size, 1) || size == 0 ||
        !ReadDBBytes(c.db, c.rootRecord() + 29, &language, 1))
        return false;
    unsigned char bytes[255];
    if (!ReadDBBytes(c.db, offset, bytes, size)) return false;
    page.offset = offset;
    page.size = size;
    return parseOldPage(bytes, size, oldEndingsFor(static_cast<char>(AnsiToUpper(language))), page.entries);
}

bool loadPage(const DictCollection& c, std::uint32_t offset, Page& page) {
    page = Page{};
    if (c.format() != kCurrentFormat) return loadOldPage(c, offset, page);
    if (offset < 2) return false;
    unsigned char b[2];
    if (!ReadDBBytes(c.db, offset - 2, b, 2)) return false;
    std::uint32_t size = b[1];
    if (size >= 128) {
        if (b[0] == 0 || b[0] >= 128) return false;
        size = b[0] * 128u + (size - 128);
    }
    if (size == 0) return false;
    std::vector<unsigned char> bytes(size);
    if (!ReadDBBytes(c.db, offset, bytes.data(), static_cast<std::uint16_t>(size))) return false;
    page.offset = offset;
    page.size = size;
    return parsePage(bytes.data(), size, page.entries);
}

// The bytes of a current-format page, read in place in the cache where they lie within one cache page,
// else copied into a buffer of the engine; the cache sees the same reads as loadPage's. The bytes hold
// until the next call into the storage engine.
bool viewPage(const DictCollection& c, std::uint32_t offset, const unsigned char*& bytes, std::uint32_t& size,
              std::uint64_t* version = nullptr) {
    static unsigned char copy[kMaxPageSize];
    if (version) *version = 0;
    if (offset < 2) return false;
    unsigned char b[2];
    std::uint16_t available = 0;
    std::uint64_t inCache = 0;
    const unsigned char* at = PeekDBBytes(c.db, offset - 2, 2, &available, &inCache);
    if (at)
        std::memcpy(b, at, 2);
    else if (!ReadDBBytes(c.db, offset - 2, b, 2))
        return false;
    size = b[1];
    if (size >= 128) {
        if (b[0] == 0 || b[0] >= 128) return false;
        size = b[0] * 128u + (size - 128);
    }
    if (size == 0) return false;
    // A page in the same cache page as its size is there already: asking again would change nothing.
    if (at && available >= size + 2) {
        bytes = at + 2;
        if (version) *version = inCache;
        return true;
    }
    bytes = PeekDBBytes(c.db, offset, static_cast<std::uint16_t>(size));
    if (bytes) return true;
    bytes = copy;
    return ReadDBBytes(c.db, offset, copy, static_cast<std::uint16_t>(size)) == 1;
}

// Records freed and allocated by one changing operation. Old pages are given back only when the whole
// operation has worked, so that a failure part-way leaves the tree as it was.
struct Changes {
    std::vector<std::pair<std::uint32_t, std::uint16_t>> toFree, allocated;
};

bool storePage(const DictCollection& c, const Page& old, const std::vector<Entry>& entries,
               std::uint32_t& offset, Changes& ch) {
    std::string bytes = serialize(entries);
    auto record = [](const Page& p) {
        std::uint32_t sb = sizeBytes(p.size);
        return std::pair<std::uint32_t, std::uint16_t>(p.offset - sb,
                                                       static_cast<std::uint16_t>(p.size + sb));
    };
    if (bytes.empty()) {
        if (old.offset) ch.toFree.push_back(record(old));
        offset = 0;
        return true;
    }
    if (old.offset && bytes.size() == old.size) {
        offset = old.offset;
        return WriteDBBytes(c.db, old.offset, bytes.data(), static_cast<std::uint16_t>(bytes.size())) == 1;
    }
    std::uint32_t size = static_cast<std::uint32_t>(bytes.size());
    if (size > kMaxPageSize) return false;
    std::uint32_t sb = sizeBytes(size);
    std::string rec;
    if (sb == 2) rec.push_back(static_cast<char>(size / 128));
    rec.push_back(static_cast<char>(sb == 2 ? size % 128 + 128 : size));
    rec += bytes;
    std::uint32_t at = AllocDBRecord(c.db, static_cast<std::uint16_t>(rec.size()), c.wordTable());
    if (!at) return false;
    ch.allocated.emplace_back(at, static_cast<std::uint16_t>(rec.size()));
    if (!WriteDBBytes(c.db, at, rec.data(), static_cast<std::uint16_t>(rec.size()))) return false;
    if (old.offset) ch.toFree.push_back(record(old));
    offset = at + sb;
    return true;
}

struct Root {
    std::uint32_t count = 0;
    std::uint32_t page = 0;
    char language = 0;
};

bool readRoot(const DictCollection& c, Root& r) {
    unsigned char copy[kRootRecordSize];
    if (!c.db) return false;
    const unsigned char* b = PeekDBBytes(c.db, c.rootRecord(), kRootRecordSize);
    if (!b) {
        if (!ReadDBBytes(c.db, c.rootRecord(), copy, kRootRecordSize)) return false;
        b = copy;
    }
    r.count = get32(b);
    r.page = get32(b + 6);
    r.language = static_cast<char>(b[29]);
    return true;
}

bool writeRoot(const DictCollection& c, const Root& r) {
    unsigned char b[kRootRecordSize];
    if (!ReadDBBytes(c.db, c.rootRecord(), b, kRootRecordSize)) return false;
    put32(b, r.count);
    put32(b + 6, r.page);
    return WriteDBBytes(c.db, c.rootRecord(), b, kRootRecordSize) == 1;
}

void finish(const DictCollection& c, const Changes& ch, bool ok) {
    for (const auto& [at, size] : ok ? ch.toFree : ch.allocated)
        FreeDBRecord(c.db, at, size, c.wordTable());
}

class WordLock {
public:
    explicit WordLock(const DictCollection& c) : c_(c), held_(c.db && LockDBFile(c.db, c.wordTable())) {}
    ~WordLock() {
        if (held_) UnlockDBFile(c_.db, c_.wordTable());
    }
    bool held() const { return held_; }
    // false when the change did not reach the disk.
    bool release() {
        if (!held_) return false;
        held_ = false;
        return UnlockDBFile(c_.db, c_.wordTable()) == 1;
    }

private:
    const DictCollection& c_;
    bool held_;
};

// Readers share the file with other readers; a writer's lock waits for them.
class ReadLock {
public:
    explicit ReadLock(const DictCollection& c) : c_(c), held_(c.db && LockDBFileShared(c.db)) {}
    ~ReadLock() {
        if (held_) UnlockDBFileShared(c_.db);
    }
    bool held() const { return held_; }

private:
    const DictCollection& c_;
    bool held_;
};

// A word found: its codes with their capital bits, and the marks and values of its entry.
struct Found {
    char codes[kMaxCodes + 1] = {};
    std::size_t size = 0;
    WordInfo info;
    Found() = default;
    Found(const std::string& c, const WordInfo& i) { set(c.data(), c.size(), i); }
    void set(const char* c, std::size_t n, const WordInfo& i) {
        size = std::min(n, kMaxCodes);
        std::memcpy(codes, c, size);
        codes[size] = 0;
        info = i;
    }
};

// Codes of a search word in a fixed buffer.
struct Codes {
    char data[kMaxCodes + 1] = {};
    std::size_t size = 0;
};

// Codes of a search text with capitals dropped; false for text that holds no letter codes only.
bool searchCodes(const char* text, Codes& codes) {
    char buf[256];
    std::size_t n = std::strlen(text);
    if (n == 0 || n > kMaxCodes * 2) return false;
    std::memcpy(buf, text, n + 1);
    EncodeWord(kCurrentFormat, buf, false);
    n = std::strlen(buf);
    if (n == 0 || n > kMaxCodes) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (!isCode(static_cast<unsigned char>(buf[i]))) return false;
    std::memcpy(codes.data, buf, n + 1);
    codes.size = n;
    return true;
}

// The same for the collection's format. An old word has no capitals: its "~" marks are dropped, and the
// old coding converts it to code page 437 first.
bool searchCodes(const DictCollection& c, const char* text, Codes& codes) {
    if (c.format() == kCurrentFormat) return searchCodes(text, codes);
    char buf[kMaxCodes + 1];
    std::size_t n = 0;
    for (; *text; ++text)
        if (*text != '~') {
            if (n == kMaxCodes) return false;
            buf[n++] = *text;
        }
    buf[n] = 0;
    if (n == 0) return false;
    EncodeWord(c.format(), buf, false);
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char b = static_cast<unsigned char>(buf[i]);
        if (!isOldLetter(b)) return false;
        codes.data[i] = static_cast<char>(fromOld(b));
    }
    codes.data[n] = 0;
    codes.size = n;
    return true;
}

bool searchCodes(const char* text, std::string& codes) {
    Codes k;
    if (!searchCodes(text, k)) return false;
    codes.assign(k.data, k.size);
    return true;
}
bool searchCodes(const DictCollection& c, const char* text, std::string& codes) {
    Codes k;
    if (!searchCodes(c, text, k)) return false;
    codes.assign(k.data, k.size);
    return true;
}

// Pages found to hold together, by the cache's version of the bytes they were read from: while those bytes
// stay as they were, a page need not be read to its end again. A small table; a clash forgets the older.
class WholePages {
public:
    bool holds(std::uint64_t version, std::uint32_t offset) const {
        const Slot& s = slots_[index(version, offset)];
        return version && s.version == version && s.offset == offset;
    }
    void add(std::uint64_t version, std::uint32_t offset) {
        if (version) slots_[index(version, offset)] = {version, offset};
    }

private:
    struct Slot {
        std::uint64_t version = 0;
        std::uint32_t offset = 0;
    };
    static std::size_t index(std::uint64_t version, std::uint32_t offset) {
        return static_cast<std::size_t>(((version ^ (std::uint64_t(offset) << 32)) * 0x9E3779B97F4A7C15ull) >>
                                        52);
    }
    static constexpr std::size_t kSlots = 4096; // the index's 12 bits
    Slot slots_[kSlots];
};
WholePages wholePages;

// The entry of the letter with key k in the page at off, read in place; an old page is decoded into old,
// which its entry's tail then points into. false also for a page that does not hold together.
bool pageEntry(const DictCollection& c, std::uint32_t off, unsigned k, EntryView& out, Page& old) {
    if (c.format() != kCurrentFormat) {
        if (!loadPage(c, off, old)) return false;
        for (const Entry& x : old.entries)
            if (key(x.letter) == k) {
                out = EntryView{x.letter,      x.end,
                                x.hasTail,     x.endInfo,
                                x.tailInfo,    reinterpret_cast<const unsigned char*>(x.tail.data()),
                                x.tail.size(), x.link};
                return true;
            }
        return false;
    }
    const unsigned char* bytes = nullptr;
    std::uint32_t size = 0;
    std::uint64_t version = 0;
    if (!viewPage(c, off, bytes, size, &version)) return false;
    if (wholePages.holds(version, off)) {
        // Its entries are known to be in order: the search ends at the first letter past k.
        std::size_t i = 0;
        while (i < size) {
            if (!readEntry(bytes, size, i, out)) return false;
            unsigned at = key(out.letter);
            if (at >= k) return at == k;
        }
        return false;
    }
    bool found = false;
    // The whole page is read, so that a page that does not hold together finds nothing.
    bool whole = scanPage(bytes, size, [&](const EntryView& e) {
        if (!found && key(e.letter) == k) {
            out = e;
            found = true;
        }
    });
    if (whole) wholePages.add(version, off);
    return whole && found;
}

bool sameKeys(const char* a, const char* b, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (key(static_cast<unsigned char>(a[i])) != key(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

bool findExact(const DictCollection& c, const Codes& codes, Found& f) {
    Root r;
    if (!readRoot(c, r)) return false;
    std::uint32_t off = r.page;
    char path[2 * kMaxCodes + 1];
    Page old;
    for (std::size_t depth = 0; off && depth < codes.size; ++depth) {
        EntryView e;
        if (!pageEntry(c, off, key(static_cast<unsigned char>(codes.data[depth])), e, old)) return false;
        path[depth] = static_cast<char>(e.letter);
        if (depth + 1 == codes.size) {
            if (!e.end) return false;
            f.set(path, depth + 1, e.endInfo);
            return true;
        }
        if (e.hasTail) {
            std::size_t n = 0, rest = codes.size - depth - 1;
            if (!expandTail(e.tail, e.tailSize, path + depth + 1, n) || n != rest ||
                !sameKeys(path + depth + 1, codes.data + depth + 1, n))
                return false;
            f.set(path, depth + 1 + n, e.tailInfo);
            return true;
        }
        off = e.link;
    }
    return false;
}

enum class Seek { Found, None, Broken };

// The first word at or after (strict: after) bound, or the last at or before it when backward; bound null
// means no bound. Below an entry without bound every page holds a word within 63 letters, so finding none
// there means the pages don't hold together: the search gives up instead of trying every other path, which
// on pages that link back to each other would never end.
Seek seek(const DictCollection& c, std::uint32_t off, std::size_t depth, const std::string& prefix,
          const std::string* bound, bool strict, bool forward, Found& f) {
    if (depth >= kMaxCodes) return Seek::Broken;
    Page p;
    if (!loadPage(c, off, p)) return Seek::Broken;
    auto accept = [&](const std::string& word) {
        if (!bound) return true;
        int cmp = CompareCodes(word.c_str(), bound->c_str());
        return forward ? (cmp > 0 || (cmp == 0 && !strict)) : (cmp < 0 || (cmp == 0 && !strict));
    };
    std::size_t n = p.entries.size();
    for (std::size_t step = 0; step < n; ++step) {
        const Entry& e = p.entries[forward ? step : n - 1 - step];
        const std::string* b = bound;
        if (b) {
            if (depth >= b->size()) {
                // Everything below here extends the bound and so sorts after it.
                if (!forward) return Seek::None;
                b = nullptr;
            } else {
                unsigned bl = key(static_cast<unsigned char>((*b)[depth])), l = key(e.letter);
                if (forward ? l < bl : l > bl) continue;
                if (l != bl) b = nullptr;
            }
        }
        std::string word = prefix + static_cast<char>(e.letter);
        const std::string* saved = bound;
        bound = b;
        auto tryEnd = [&] {
            if (e.end && accept(word)) {
                f = {word, e.endInfo};
                return Seek::Found;
            }
            return Seek::None;
        };
        auto tryRest = [&] {
            if (e.hasTail) {
                std::string tail;
                if (!ExpandTail(e.tail, tail) || word.size() + tail.size() > kMaxCodes) return Seek::Broken;
                if (!accept(word + tail)) return Seek::None;
                f = {word + tail, e.tailInfo};
                return Seek::Found;
            }
            return e.link ? seek(c, e.link, depth + 1, word, b, strict, forward, f) : Seek::None;
        };
        Seek hit = forward ? tryEnd() : tryRest();
        if (hit == Seek::None) hit = forward ? tryRest() : tryEnd();
        bound = saved;
        if (hit != Seek::None) return hit;
        if (!b) return Seek::Broken;
    }
    return Seek::None;
}

// The word in text form, as the navigation gives it out (64 bytes).
void decodeFound(const DictCollection& c, const Found& f, bool showCapitals, char* out) {
    char buf[128];
    std::memcpy(buf, f.codes, f.size);
    buf[f.size] = 0;
    if (c.format() != kCurrentFormat)
        for (std::size_t i = 0; i < f.size; ++i)
            buf[i] = static_cast<char>(toOld(static_cast<unsigned char>(buf[i])));
    DecodeWord(c.format(), buf, showCapitals, 64);
    if (f.info.marks & kEntryCapital)
        buf[0] = static_cast<char>(AnsiToUpper(static_cast<unsigned char>(buf[0])));
    std::strncpy(out, buf, 63);
    out[63] = 0;
}

int giveOut(DictCollection& c, const Found& f, char* word, bool showCapitals, const WordOut& out) {
    decodeFound(c, f, showCapitals, c.word);
    if (word) std::strcpy(word, c.word);
    if (out.valueA) *out.valueA = f.info.a;
    if (out.valueB) *out.valueB = f.info.b;
    if (out.mark) *out.mark = (f.info.marks & kEntryMark) ? 1 : 0;
    return 1;
}

bool insertRec(const DictCollection& c, std::uint32_t& off, const std::string& codes, std::size_t depth,
               const WordInfo& info, Changes& ch) {
    Page p;
    if (off && !loadPage(c, off, p)) return false;
    std::vector<Entry>& es = p.entries;
    unsigned k = key(static_cast<unsigned char>(codes[depth]));
    std::size_t pos = 0;
    while (pos < es.size() && key(es[pos].letter) < k)
        ++pos;
    bool last = depth + 1 == codes.size();
    std::string rest = codes.substr(depth + 1);
    if (pos == es.size() || key(es[pos].letter) != k) {
        Entry e;
        e.letter = static_cast<unsigned char>(codes[depth]);
        if (last) {
            e.end = true;
            e.endInfo = info;
        } else {
            e.hasTail = true;
            e.tail = CompressTail(rest);
            e.tailInfo = info;
        }
        es.insert(es.begin() + static_cast<std::ptrdiff_t>(pos), std::move(e));
    } else {
        Entry& e = es[pos];
        if (e.link && !last) {
            std::uint32_t child = e.link;
            if (!insertRec(c, child, codes, depth + 1, info, ch)) return false;
            e.link = child;
        } else if (last) {
            if (e.end) return false;
            e.end = true;
            e.endInfo = info;
        } else if (e.hasTail) {
            // Both words now share this letter: their remainders go to a new child page, which splits
            // further as long as they share letters.
            std::string tailWord;
            if (!ExpandTail(e.tail, tailWord) || masked(tailWord) == masked(rest)) return false;
            std::uint32_t child = 0;
            if (!insertRec(c, child, tailWord, 0, e.tailInfo, ch) || !insertRec(c, child, rest, 0, info, ch))
                return false;
            e.hasTail = false;
            e.tail.clear();
            e.tailInfo = {};
            e.link = child;
        } else {
            e.hasTail = true;
            e.tail = CompressTail(rest);
            e.tailInfo = info;
        }
    }
    Page old = p;
    old.entries.clear();
    return storePage(c, old, es, off, ch);
}

enum class Change { Delete, SetA, SetB };

// 1 changed, 0 not found or unchanged, -1 failed.
int changeRec(const DictCollection& c, std::uint32_t& off, const std::string& codes, std::size_t depth,
              Change what, std::uint32_t value, Changes& ch) {
    if (!off || depth >= codes.size()) return 0;
    Page p;
    if (!loadPage(c, off, p)) return -1;
    std::vector<Entry>& es = p.entries;
    unsigned k = key(static_cast<unsigned char>(codes[depth]));
    std::size_t pos = 0;
    while (pos < es.size() && key(es[pos].letter) != k)
        ++pos;
    if (pos == es.size()) return 0;
    Entry& e = es[pos];
    WordInfo* info = nullptr;
    bool isTail = false;
    if (depth + 1 == codes.size()) {
        if (!e.end) return 0;
        info = &e.endInfo;
    } else if (e.hasTail) {
        std::string tail;
        if (!ExpandTail(e.tail, tail)) return -1;
        if (masked(tail) != masked(codes.substr(depth + 1))) return 0;
        info = &e.tailInfo;
        isTail = true;
    } else if (e.link) {
        std::uint32_t child = e.link;
        int r = changeRec(c, child, codes, depth + 1, what, value, ch);
        if (r != 1) return r;
        e.link = child;
    } else {
        return 0;
    }
    if (info) {
        if (what == Change::Delete) {
            if (isTail) {
                e.hasTail = false;
                e.tail.clear();
            } else {
                e.end = false;
            }
            *info = {};
        } else {
            std::uint32_t& slot = what == Change::SetA ? info->a : info->b;
            if (slot == value) return 0;
            slot = value;
        }
    }
    if (e.empty()) es.erase(es.begin() + static_cast<std::ptrdiff_t>(pos));
    Page old = p;
    old.entries.clear();
    return storePage(c, old, es, off, ch) ? 1 : -1;
}

} // namespace

std::string CompressTail(const std::string& codes) {
    std::string s = codes;
    const auto& table = suffixCodes();
    for (std::size_t i = 0; i < kSuffixCount; ++i) {
        const std::string& ending = table[i];
        std::string out;
        for (std::size_t at = 0; at < s.size();) {
            if (s.compare(at, ending.size(), ending) == 0) {
                out.push_back(static_cast<char>(kSuffixBase + i));
                at += ending.size();
            } else {
                out.push_back(s[at++]);
            }
        }
        s = std::move(out);
    }
    return s;
}

bool ExpandTail(const std::string& stored, std::string& codes) {
    char buf[kMaxCodes];
    std::size_t n = 0;
    bool ok = expandTail(reinterpret_cast<const unsigned char*>(stored.data()), stored.size(), buf, n);
    codes.assign(buf, ok ? n : 0);
    return ok;
}

int LookupWord(DictCollection& c, char* word, bool showCapitals, WordOut out) {
    DBEngineHold hold;
    Codes codes;
    Found f;
    if (!word || !searchCodes(c, word, codes) || !findExact(c, codes, f)) return 0;
    return giveOut(c, f, word, showCapitals, out);
}

namespace {
int walk(DictCollection& c, char* word, bool showCapitals, WordOut out, bool forward, bool fromWord) {
    Root r;
    if (!word || !readRoot(c, r) || !r.page) return 0;
    std::string bound;
    if (fromWord) {
        const char* from = *word ? word : c.word;
        if (!*from) return 0;
        if (!searchCodes(c, from, bound)) return 0;
    }
    Found f;
    if (seek(c, r.page, 0, {}, fromWord ? &bound : nullptr, true, forward, f) != Seek::Found) return 0;
    return giveOut(c, f, word, showCapitals, out);
}
} // namespace

int FirstWord(DictCollection& c, char* word, bool showCapitals, WordOut out) {
    return walk(c, word, showCapitals, out, true, false);
}
int LastWord(DictCollection& c, char* word, bool showCapitals, WordOut out) {
    return walk(c, word, showCapitals, out, false, false);
}
int NextWord(DictCollection& c, char* word, bool showCapitals, WordOut out) {
    return walk(c, word, showCapitals, out, true, true);
}
int PreviousWord(DictCollection& c, char* word, bool showCapitals, WordOut out) {
    return walk(c, word, showCapitals, out, false, true);
}

namespace {
int insertWord(DictCollection& c, const char* word, bool mark, std::uint32_t valueA, std::uint32_t valueB,
               bool takeLock) {
    if (!word || c.format() != kCurrentFormat || !IsValidWord(word)) return 0;
    char buf[64];
    std::strcpy(buf, word);
    EncodeWord(kCurrentFormat, buf, true);
    std::string codes = buf;
    Codes plain;
    // A character outside the letter table is no letter: such a word is refused.
    if (!searchCodes(word, plain)) return 0;
    WordInfo info;
    unsigned char first = static_cast<unsigned char>(word[0]);
    if (first == '~' || AnsiToLower(first) != first) info.marks |= kEntryCapital;
    if (mark) info.marks |= kEntryMark;
    info.a = valueA;
    info.b = valueB;
    std::optional<WordLock> lock;
    if (takeLock && !lock.emplace(c).held()) return 0;
    Root r;
    Found f;
    if (!readRoot(c, r) || findExact(c, plain, f)) return 0;
    Changes ch;
    std::uint32_t page = r.page;
    bool ok = insertRec(c, page, codes, 0, info, ch);
    if (ok) {
        r.page = page;
        ++r.count;
        ok = writeRoot(c, r);
    }
    finish(c, ch, ok);
    if (lock && !lock->release()) ok = false;
    if (ok) std::strcpy(c.word, word);
    return ok ? 1 : 0;
}
} // namespace

int InsertWord(DictCollection& c, const char* word, bool mark, std::uint32_t valueA, std::uint32_t valueB) {
    return insertWord(c, word, mark, valueA, valueB, true);
}

int InsertWordLockHeld(DictCollection& c, const char* word, bool mark, std::uint32_t valueA,
                       std::uint32_t valueB) {
    return insertWord(c, word, mark, valueA, valueB, false);
}

namespace {
int change(DictCollection& c, const char* word, Change what, std::uint32_t value, bool takeLock = true) {
    std::string codes;
    if (!word || c.format() != kCurrentFormat || !searchCodes(word, codes)) return 0;
    std::optional<WordLock> lock;
    if (takeLock && !lock.emplace(c).held()) return 0;
    Root r;
    if (!readRoot(c, r)) return 0;
    Changes ch;
    std::uint32_t page = r.page;
    int res = changeRec(c, page, codes, 0, what, value, ch);
    bool ok = res == 1;
    if (ok) {
        r.page = page;
        if (what == Change::Delete && r.count) --r.count;
        ok = writeRoot(c, r);
    }
    finish(c, ch, ok);
    if (lock && !lock->release()) ok = false;
    return ok ? 1 : 0;
}
} // namespace

int DeleteWord(DictCollection& c, const char* word) {
    return change(c, word, Change::Delete, 0);
}

int DeleteWordLockHeld(DictCollection& c, const char* word) {
    return change(c, word, Change::Delete, 0, false);
}

int SetWordValue(DictCollection& c, const char* word, std::uint32_t value, int which) {
    if (which != kEntryValueA && which != kEntryValueB) return 0;
    return change(c, word, which == kEntryValueA ? Change::SetA : Change::SetB, value);
}

std::uint32_t GetWordCount(DictCollection& c) {
    ReadLock lock(c);
    Root r;
    return lock.held() && readRoot(c, r) ? r.count : 0;
}

char GetDictionaryLanguage(DictCollection& c) {
    ReadLock lock(c);
    Root r;
    return lock.held() && readRoot(c, r) ? r.language : 0;
}

namespace {
struct Walk {
    const DictCollection& c;
    bool showCapitals;
    const WordVisitor* visit;
    std::unordered_set<std::uint32_t> seen;
    bool stopped = false;
    std::uint32_t* counted = nullptr;
};

bool visitFound(Walk& w, const Found& f) {
    if (w.counted) ++*w.counted;
    if (!w.visit || !*w.visit) return true;
    char text[64];
    decodeFound(w.c, f, w.showCapitals, text);
    w.stopped = !(*w.visit)(text, f.info.a, f.info.b, (f.info.marks & kEntryMark) ? 1 : 0);
    return !w.stopped;
}

// Each page is reached once: a page linked twice, or from below itself, is no tree. false when a page
// does not hold together or the visitor stopped.
bool walkPage(Walk& w, std::uint32_t off, const std::string& prefix) {
    Page p;
    if (prefix.size() >= kMaxCodes || !w.seen.insert(off).second || !loadPage(w.c, off, p)) return false;
    for (const Entry& e : p.entries) {
        std::string word = prefix + static_cast<char>(e.letter);
        if (e.end && !visitFound(w, {word, e.endInfo})) return false;
        if (e.hasTail) {
            std::string tail;
            if (!ExpandTail(e.tail, tail) || word.size() + tail.size() > kMaxCodes) return false;
            if (!visitFound(w, {word + tail, e.tailInfo})) return false;
        }
        if (e.link && !walkPage(w, e.link, word)) return false;
    }
    return true;
}
} // namespace

int WalkWords(DictCollection& c, bool showCapitals, const WordVisitor& visit) {
    Root r;
    Walk w{c, showCapitals, &visit, {}};
    return readRoot(c, r) && (!r.page || walkPage(w, r.page, {}) || w.stopped) ? 1 : 0;
}

int CheckDictionaryTree(DictCollection& c) {
    return WalkWords(c, false, {});
}

namespace {
// Counts the words below a page, reading the pages in place. Every page reached goes into visited, at most
// limit of them, so that pages linked in a circle or many times over end the walk.
bool countWords(const DictCollection& c, std::uint32_t off, std::size_t depth,
                std::vector<std::uint32_t>& visited, std::size_t limit, std::uint32_t& words) {
    const unsigned char* bytes = nullptr;
    std::uint32_t size = 0;
    if (depth >= kMaxCodes || visited.size() >= limit || !viewPage(c, off, bytes, size)) return false;
    visited.push_back(off);
    std::uint32_t links[64];
    std::size_t n = 0;
    if (!scanPage(bytes, size, [&](const EntryView& e) {
            words += (e.end ? 1 : 0) + (e.hasTail ? 1 : 0);
            if (e.link && n < std::size(links)) links[n++] = e.link;
        }))
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (!countWords(c, links[i], depth + 1, visited, limit, words)) return false;
    return true;
}
} // namespace

int CheckDictionaryWords(DictCollection& c, std::uint32_t fileSize) {
    Root r;
    if (!readRoot(c, r)) return 0;
    std::uint32_t words = 0;
    if (c.format() != kCurrentFormat) {
        Walk w{c, false, nullptr, {}};
        w.counted = &words;
        return (!r.page || walkPage(w, r.page, {})) && words == r.count ? 1 : 0;
    }
    // A page takes at least three bytes with its size: a file has no more pages than that allows.
    std::vector<std::uint32_t> visited;
    if (r.page && !countWords(c, r.page, 0, visited, fileSize / 3 + 1, words)) return 0;
    std::sort(visited.begin(), visited.end());
    bool once = std::adjacent_find(visited.begin(), visited.end()) == visited.end();
    return once && words == r.count ? 1 : 0;
}

int CheckDictionaryFile(DictCollection& c, bool wholeTree) {
    // Counting the words reads every page: a user's dictionary is counted, a main dictionary's size
    // would make every start wait.
    std::uintmax_t size = 0;
    if (wholeTree) {
        char name[260] = {};
        std::error_code ec;
        size = GetDBFileName(c.db, name) ? std::filesystem::file_size(name, ec) : 0;
        wholeTree = !ec && size <= kWholeCheckSize;
    }
    bool ok = CheckDBTableSpace(c.db, 0) && CheckDBTableSpace(c.db, c.wordTable()) &&
              CheckDBTableSpace(c.db, c.descriptionTable()) &&
              (!wholeTree || CheckDictionaryWords(c, static_cast<std::uint32_t>(size)));
    if (!ok) ReportBadDBFile(c.db);
    return ok ? 1 : 0;
}

int CheckDictionaryRoot(DictCollection& c) {
    Root r;
    Page p;
    return c.format() == kCurrentFormat && readRoot(c, r) && (!r.page || loadPage(c, r.page, p)) ? 1 : 0;
}

std::uint32_t RootPageOf(const DictCollection& c) {
    Root r;
    return readRoot(c, r) ? r.page : 0;
}

bool ReadTreePage(const DictCollection& c, std::uint32_t offset, std::vector<TreeEntry>& out) {
    if (c.format() != kCurrentFormat) {
        out.clear();
        Page p;
        if (!loadPage(c, offset, p)) return false;
        for (const Entry& e : p.entries) {
            TreeEntry t;
            t.letter = e.letter;
            if (e.end) t.endFlags = static_cast<unsigned char>(kEntryEnd | e.endInfo.marks);
            if (e.hasTail) {
                if (e.tail.empty()) return false;
                t.tail = e.tail;
                t.tailFlags = e.tailInfo.marks;
            }
            t.link = e.link;
            out.push_back(std::move(t));
        }
        return true;
    }
    // Read in place into the entries out already holds, so that a reused vector allocates nothing.
    const unsigned char* bytes = nullptr;
    std::uint32_t size = 0;
    if (!viewPage(c, offset, bytes, size)) {
        out.clear();
        return false;
    }
    std::size_t n = 0;
    bool tailsOk = true;
    bool whole = scanPage(bytes, size, [&](const EntryView& e) {
        if (n == out.size()) out.emplace_back();
        TreeEntry& t = out[n++];
        t.letter = e.letter;
        t.endFlags = e.end ? static_cast<unsigned char>(kEntryEnd | e.endInfo.marks) : 0;
        t.tailFlags = 0;
        t.link = e.link;
        t.tail.clear();
        if (e.hasTail) {
            char codes[kMaxCodes];
            std::size_t len = 0;
            if (!expandTail(e.tail, e.tailSize, codes, len) || len == 0) tailsOk = false;
            t.tail.assign(codes, tailsOk ? len : 0);
            t.tailFlags = e.tailInfo.marks;
        }
    });
    out.resize(n);
    return whole && tailsOk;
}

} // namespace wortex
