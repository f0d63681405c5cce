#include "Suggestions.h"

#include "DictionaryEngine.h"
#include "DictionarySet.h"
#include "Letters.h"
#include "platform/win32/GlobalMemory.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace wortex {

namespace {

constexpr unsigned char kSharpS = 0xDF;
constexpr std::size_t kMaxLetters = 63;
// Work bounds: a search that has taken this many steps delivers what it has.
constexpr long kMaxCorrectionSteps = 400000;
constexpr long kMaxVariantSteps = 2000000;
constexpr long kMaxComparisonSteps = 20000; // one word against one word

unsigned char uc(char c) {
    return static_cast<unsigned char>(c);
}

// Digraph spellings: the single letters and, position by position, the pairs they stand for.
constexpr const char* kDigraphSingle = "f\xFC\xE4\xE6\xF6\xDF\x9C";
constexpr const char* kDigraphFirst = "puaaoso";
constexpr const char* kDigraphSecond = "heeeese";

// Letter classes by Windows-1252 letter. classOf: accent classes of the correction search (0 = none);
// baseOf: base letters of the variant search; groupOf: sound groups, kNoGroup for a letter without code.
constexpr unsigned char kNoGroup = 255;
struct LetterTables {
    unsigned char classOf[256] = {};
    unsigned char baseOf[256];
    unsigned char groupOf[256];
    unsigned char letterOfCode[256]; // a code with or without its capital bit as a letter
    signed char digraphOf[256];      // place in kDigraphSingle, -1 for none
    // Which alternative spellings a stored and a typed letter can take part in: an alternative is
    // possible only where the two share a bit, or the stored letter is a sign.
    unsigned char storedAlt[256] = {}, typedAlt[256] = {};
    static constexpr unsigned char kAltAccent = 1, kAltPair = 2, kAltDigraph = 4, kAltCk = 8, kAltSign = 16;
    LetterTables() {
        for (int c = 0; c < 256; ++c) {
            letterOfCode[c] = CodeToLetter(static_cast<unsigned char>(c & ~kCapitalBit));
            const char* p = c ? std::strchr(kDigraphSingle, c) : nullptr;
            digraphOf[c] = static_cast<signed char>(p ? p - kDigraphSingle : -1);
        }
        const char* accent[] = {"a\xE0\xE1\xE2\xE3\xE5",
                                "c\xE7",
                                "d\xF0",
                                "e\xE8\xE9\xEA\xEB",
                                "i\xEC\xED\xEE\xEF",
                                "n\xF1",
                                "o\xF2\xF3\xF4\xF5\xF8",
                                "s\x9A",
                                "u\xF9\xFA\xFB",
                                "y\xFD\xFF"};
        for (int k = 0; k < 10; ++k)
            for (const char* p = accent[k]; *p; ++p)
                classOf[uc(*p)] = static_cast<unsigned char>(k + 1);
        for (int c = 0; c < 256; ++c)
            if (classOf[c]) storedAlt[c] = typedAlt[c] = kAltAccent;
        for (const char* p = "aousp"; *p; ++p)
            storedAlt[uc(*p)] |= kAltPair;
        for (const char* p = "\xE4\xE6\xF6\x9C\xFC\xDF"
                             "f";
             *p; ++p)
            typedAlt[uc(*p)] |= kAltPair;
        for (const char* p = kDigraphSingle; *p; ++p)
            storedAlt[uc(*p)] |= kAltDigraph;
        for (const char* p = kDigraphFirst; *p; ++p)
            typedAlt[uc(*p)] |= kAltDigraph;
        storedAlt[uc('c')] |= kAltCk;
        typedAlt[uc('k')] |= kAltCk;
        for (const char* p = "'-."; *p; ++p)
            storedAlt[uc(*p)] |= kAltSign;
        for (int c = 0; c < 256; ++c)
            baseOf[c] = static_cast<unsigned char>(c);
        const char* variant[] = {"a\xE0\xE1\xE2\xE3\xE5",
                                 "e\xE8\xE9\xEA\xEB",
                                 "ijy\xEC\xED\xEE\xEF\xFD\xFF",
                                 "o\xF2\xF3\xF4\xF5\xF8",
                                 "u\xF9\xFA\xFB",
                                 "n\xF1",
                                 "s\x9A\xDF",
                                 "c\xE7"};
        for (const char* v : variant)
            for (const char* p = v; *p; ++p)
                baseOf[uc(*p)] = uc(v[0]);
        const char* groups = "0000011111111233441111163011111137888111111112373334111116631113";
        for (int c = 0; c < 256; ++c) {
            unsigned code = LetterToCode(static_cast<unsigned char>(c)) >> 1;
            bool coded = c != 0 && CodeToLetter(static_cast<unsigned char>(code << 1)) == c;
            groupOf[c] = coded && code < 64 ? static_cast<unsigned char>(groups[code] - '0') : kNoGroup;
        }
    }
};
const LetterTables& tables() {
    static const LetterTables t;
    return t;
}

int indexIn(const char* s, unsigned char c) {
    if (!c) return -1;
    const char* p = std::strchr(s, static_cast<char>(c));
    return p ? static_cast<int>(p - s) : -1;
}

// The word as the searches take it: at most 63 characters, lower-cased.
void prepare(const char* word, char* out) {
    std::size_t n = 0;
    for (; word && word[n] && n < kMaxLetters; ++n)
        out[n] = static_cast<char>(AnsiToLower(uc(word[n])));
    out[n] = 0;
}

// ---- Reading the tree ----

class TreeReader {
public:
    explicit TreeReader(const DictCollection& c) : c_(c), store_(takeStore()) {}
    ~TreeReader() { giveBack(store_); }
    TreeReader(const TreeReader&) = delete;
    TreeReader& operator=(const TreeReader&) = delete;
    // A search reads few pages, and each many times: a short list beats hashing.
    const std::vector<TreeEntry>* page(std::uint32_t offset) {
        if (!offset) return nullptr;
        Store& st = *store_;
        for (std::size_t k = 0; k < st.used; ++k)
            if (st.pages[k].offset == offset) return st.pages[k].ok ? &st.pages[k].entries : nullptr;
        // The list never grows past its first size: walks keep pointers to its pages.
        if (st.used == kListed) return lookupMany(offset);
        return read(st.pages[st.used++], offset);
    }

private:
    static constexpr std::size_t kListed = 48;
    struct Cached {
        std::uint32_t offset = 0;
        bool ok = false;
        std::vector<TreeEntry> entries;
    };
    // The pages of one reader. Readers can nest (a search inside a search's callback), so each takes a
    // store of its own from a pool; a store given back keeps its vectors, and the next search allocates
    // nothing for pages no larger than before.
    struct Store {
        std::vector<Cached> pages = std::vector<Cached>(kListed);
        std::size_t used = 0;
        std::unordered_map<std::uint32_t, Cached> more;
    };
    static std::vector<std::unique_ptr<Store>>& pool() {
        static std::vector<std::unique_ptr<Store>> stores;
        return stores;
    }
    static Store* takeStore() {
        auto& p = pool();
        if (p.empty()) return new Store;
        Store* s = p.back().release();
        p.pop_back();
        return s;
    }
    static void giveBack(Store* s) {
        s->used = 0;
        // Swapped out, not cleared: clearing keeps the buckets of a large search, and would sweep them
        // again after every later small one.
        if (!s->more.empty()) decltype(s->more)().swap(s->more);
        pool().emplace_back(s);
    }
    const std::vector<TreeEntry>* read(Cached& p, std::uint32_t offset) {
        p.offset = offset;
        p.ok = ReadTreePage(c_, offset, p.entries);
        return p.ok ? &p.entries : nullptr;
    }
    // Past the first pages (a variant search reads hundreds) they are kept by offset.
    const std::vector<TreeEntry>* lookupMany(std::uint32_t offset) {
        auto [it, added] = store_->more.try_emplace(offset);
        if (added) read(it->second, offset);
        return it->second.ok ? &it->second.entries : nullptr;
    }
    const DictCollection& c_;
    Store* store_;
};

// Where a walk stands: before the entries of a page, or before a letter of a tail.
struct Cursor {
    const std::vector<TreeEntry>* page = nullptr;
    const TreeEntry* tail = nullptr;
    std::size_t pos = 0;
    bool empty() const { return !page && !tail; }
};

// One stored letter that can come next.
struct Step {
    unsigned char letter = 0;   // code with capital bit
    unsigned char endFlags = 0; // kEntryEnd (and the word's kEntryCapital) when a word ends with it
    bool inTail = false;
    const TreeEntry* entry = nullptr;
    std::size_t pos = 0;
};

struct TreeSource {
    TreeReader& reader;
    using Position = Cursor;
    std::size_t count(const Cursor& c) const { return c.tail ? 1 : c.page ? c.page->size() : 0; }
    Step at(const Cursor& c, std::size_t k) const {
        Step s;
        if (c.tail) {
            s.entry = c.tail;
            s.pos = c.pos;
            s.inTail = true;
            s.letter = uc(c.tail->tail[c.pos]);
            if (c.pos + 1 == c.tail->tail.size()) s.endFlags = kEntryEnd | c.tail->tailFlags;
        } else {
            s.entry = &(*c.page)[k];
            s.letter = s.entry->letter;
            s.endFlags = s.entry->endFlags;
        }
        return s;
    }
    Cursor follow(const Step& s) const {
        Cursor n;
        if (s.inTail) {
            if (s.pos + 1 < s.entry->tail.size()) n = {nullptr, s.entry, s.pos + 1};
        } else if (!s.entry->tail.empty()) {
            n = {nullptr, s.entry, 0};
        } else if (s.entry->link) {
            n.page = reader.page(s.entry->link);
        }
        return n;
    }
    Cursor root(const DictCollection& c) const { return {reader.page(RootPageOf(c)), nullptr, 0}; }
};

// A single word walked like a tree of one path (the text comparison).
struct WordSource {
    const unsigned char* codes;
    std::size_t length;
    using Position = std::size_t; // length: past the end
    std::size_t count(std::size_t p) const { return p < length ? 1 : 0; }
    Step at(std::size_t p, std::size_t) const {
        Step s;
        s.letter = codes[p];
        s.pos = p;
        if (p + 1 == length) s.endFlags = kEntryEnd;
        return s;
    }
    std::size_t follow(const Step& s) const { return s.pos + 1; }
};

bool emptyPosition(const Cursor& c) {
    return c.empty();
}
bool emptyPosition(std::size_t) {
    return false;
}

unsigned char letterOf(unsigned char code) {
    return tables().letterOfCode[code];
}

// ---- Costed correction search ----

class Corrector {
public:
    Corrector(TreeReader& reader, const DictCollection& c, const char* raw, bool exactOnly)
        : src_{reader}, c_(c), raw_(raw), rawLength_(static_cast<int>(std::strlen(raw))), exact_(exactOnly) {}

    bool run(bool compounds) {
        compounds_ = compounds;
        shortSmallBefore_ = false;
        len_ = cost_ = partStart_ = 0;
        work_ = 0;
        firstCapital_ = false;
        Cursor root = src_.root(c_);
        return !root.empty() && walk(root, 0, 0);
    }
    int cost() const { return cost_; }

    void deliver(char* correction, unsigned char* marks) {
        std::memset(marks, 0, kMarkCount);
        bool storedCapital = firstCapital_;
        for (int k = 0; k < len_; ++k)
            storedCapital = storedCapital || (marks_[k] & kMarkStoredTilde);
        for (int k = 0; k < len_; ++k) {
            unsigned char m = marks_[k];
            if (k == 0 && firstCapital_) m |= kMarkStoredTilde;
            unsigned char letter = letterOf(path_[k]);
            if (m & kMarkStoredTilde) letter = AnsiToUpper(letter);
            // A word stored without any capital takes a typed "~" as its own.
            if (!storedCapital && (m & kMarkTypedTilde)) m |= kMarkStoredTilde;
            correction[k] = static_cast<char>(letter);
            marks[k] = m;
        }
        if ((marks[0] & (kMarkTypedTilde | kMarkStoredTilde)) == kMarkStoredTilde)
            marks[0] |= kMarkCapitalTypedSmall;
        correction[len_] = 0;
    }

    // The attempt that came furthest, the rest of the input as typed, 0x01 where it got stuck.
    void deliverFailure(char* correction, unsigned char* marks) const {
        std::memset(marks, 0, kMarkCount);
        int n = 0;
        for (; n < deepLength_; ++n) {
            unsigned char letter = letterOf(deepPath_[n]);
            correction[n] =
                static_cast<char>((deepMarks_[n] & kMarkStoredTilde) ? AnsiToUpper(letter) : letter);
            marks[n] = deepMarks_[n];
        }
        if (n < static_cast<int>(kMaxLetters)) marks[n] = kMarkTypedTilde;
        for (int j = std::max(deepInput_, 0); j < rawLength_ && n < static_cast<int>(kMaxLetters); ++j)
            if (raw_[j] != '~') correction[n++] = raw_[j];
        correction[n] = 0;
    }

private:
    unsigned char letterOf(unsigned char code) const { return t_.letterOfCode[code]; }

    void take(const Step& s, unsigned char mark) {
        path_[len_] = s.letter;
        if (partStart_ == 0 && (s.letter & kCapitalBit)) mark |= kMarkStoredTilde;
        marks_[len_++] = mark;
    }

    // The next stored letter after s when it is the given one.
    bool stepTo(const Step& s, unsigned char letter, Step& out) const {
        Cursor next = src_.follow(s);
        for (std::size_t k = 0, n = src_.count(next); k < n; ++k) {
            Step t = src_.at(next, k);
            if (letterOf(t.letter) == letter) {
                out = t;
                return true;
            }
        }
        return false;
    }

    bool walk(const Cursor& cur, int i, unsigned char endFlags) {
        // Every step that adds stored letters (a pair for one typed letter, a sign, a joint) comes here: a
        // correction past 63 letters would not fit its 64 bytes.
        if (len_ > static_cast<int>(kMaxLetters)) return false;
        if (++work_ > kMaxCorrectionSteps) return false;
        int j = i;
        bool tilde = false;
        while (j < rawLength_ && raw_[j] == '~') {
            tilde = true;
            ++j;
        }
        if (j > deepInput_) {
            deepInput_ = j;
            deepLength_ = len_;
            std::memcpy(deepPath_, path_, len_);
            std::memcpy(deepMarks_, marks_, len_);
        }
        if (j >= rawLength_) {
            if ((endFlags & kEntryEnd) && (partStart_ == 0 || partAllowed(endFlags, 0))) {
                if (partStart_ == 0) firstCapital_ = endFlags & kEntryCapital;
                return true;
            }
            if (!exact_ && len_ < static_cast<int>(kMaxLetters))
                for (std::size_t k = 0, n = src_.count(cur); k < n; ++k)
                    if (missingSign(src_.at(cur, k), i)) return true;
            return false;
        }
        if (len_ >= static_cast<int>(kMaxLetters)) return false;
        unsigned char typed = uc(raw_[j]);
        unsigned char typedMark = tilde ? kMarkTypedTilde : 0;
        std::size_t n = src_.count(cur);
        for (std::size_t k = 0; k < n; ++k) {
            Step s = src_.at(cur, k);
            if (letterOf(s.letter) != typed) continue;
            take(s, typedMark);
            if (walk(src_.follow(s), j + 1, s.endFlags)) return true;
            --len_;
            break;
        }
        if (!exact_) {
            const unsigned char possible = t_.typedAlt[typed] | LetterTables::kAltSign;
            for (std::size_t k = 0; k < n; ++k) {
                Step s = src_.at(cur, k);
                if ((t_.storedAlt[letterOf(s.letter)] & possible) && alternatives(s, i, j, typedMark))
                    return true;
            }
        }
        if (!compounds_) return false;
        if ((endFlags & kEntryEnd) && partAllowed(endFlags, uc(raw_[j])) && split(j, endFlags)) return true;
        return jointStem(cur, j);
    }

    // Whether the stored letters since the part's start may stand as a compound part: a part holds a
    // vowel; one of three letters is a noun (stored with a capital), or a small word that begins the
    // compound before a noun; and only a noun is followed by a part that begins with a vowel. Without these,
    // abbreviations, short function words and inflected forms ("chr", "der", "zus", "Abb", "wohlig+ehen") let
    // nearly any misspelling pass as a compound. next: the input letter after the part, 0 at the word's end.
    bool partAllowed(unsigned char endFlags, unsigned char next) const {
        int n = len_ - partStart_;
        bool vowel = false;
        for (int k = partStart_; k < len_ && !vowel; ++k)
            vowel = IsAnsiVowel(letterOf(path_[k]));
        if (!vowel || n < 3) return false;
        // A vowel and a doubled consonant ("Abb", "Itt") is an abbreviation or a name, no part; "All" and
        // "Ass" are nouns.
        if (n == 3 && IsAnsiVowel(letterOf(path_[partStart_]))) {
            const unsigned char second = letterOf(path_[partStart_ + 1]);
            if (second == letterOf(path_[partStart_ + 2]) && second != 'l' && second != 's') return false;
        }
        if (!onset()) return false;
        bool noun = (endFlags & kEntryCapital) || (path_[partStart_] & kCapitalBit);
        if (!noun && functionWord()) return false;
        if (shortSmallBefore_ && !noun) return false;
        // Before a vowel: a noun of three letters only with a vowel in the middle, as nouns (Bau+arbeiten)
        // have it and abbreviations ("Abb", "Anm") mostly not.
        if (next && IsAnsiVowel(next)) return noun && (n > 3 || IsAnsiVowel(letterOf(path_[partStart_ + 1])));
        // A small word of three letters only begins a compound, and a noun follows it (roh+Bau).
        return noun || n > 3 || (next && partStart_ == 0);
    }

    // Whether the part begins as a German word may: two consonants at its start are one of the clusters
    // of German and loan words; "Bde" is an abbreviation.
    bool onset() const {
        const unsigned char a = letterOf(path_[partStart_]), b = letterOf(path_[partStart_ + 1]);
        if (IsAnsiVowel(a) || IsAnsiVowel(b) || a == 'y' || b == 'y') return true;
        static constexpr std::string_view kClusters[] = {
            "bl", "br", "ch", "cl", "cr", "dr", "dw", "fl", "fr", "gl", "gn", "gr", "kl", "kn",
            "kr", "kw", "pf", "ph", "pl", "pn", "pr", "ps", "qu", "rh", "sc", "sh", "sk", "sl",
            "sm", "sn", "sp", "st", "sw", "sz", "th", "tr", "ts", "tw", "vl", "vr", "wr", "zw"};
        for (std::string_view c : kClusters)
            if (uc(c[0]) == a && uc(c[1]) == b) return true;
        return false;
    }

    // Conjunctions and inflected pronouns join no compound: "verklingen+denn", "allen+fluges".
    bool functionWord() const {
        static constexpr std::string_view kWords[] = {"denn",  "dass",  "weil",  "wenn",  "oder",   "aber",
                                                      "sich",  "mich",  "dich",  "euch",  "allen",  "allem",
                                                      "jeden", "jedem", "deren", "denen", "sondern"};
        const int n = len_ - partStart_;
        for (std::string_view w : kWords) {
            if (static_cast<int>(w.size()) != n) continue;
            bool same = true;
            for (int k = 0; k < n && same; ++k)
                same = letterOf(path_[partStart_ + k]) == uc(w[k]);
            if (same) return true;
        }
        return false;
    }

    // Whether the part's stored letters end with one of the endings, with at least vowelsBefore vowels
    // before it in the part. Asked at every cut of a compound: the last letter is compared first.
    template <std::size_t N> bool partEndsWith(const std::string_view (&endings)[N], int vowelsBefore) const {
        const unsigned char last = letterOf(path_[len_ - 1]);
        for (std::string_view e : endings) {
            int n = static_cast<int>(e.size());
            if (uc(e.back()) != last || len_ - partStart_ < n) continue;
            bool same = true;
            for (int k = 0; k < n - 1 && same; ++k)
                same = letterOf(path_[len_ - n + k]) == uc(e[k]);
            if (!same) continue;
            int vowels = 0;
            for (int k = partStart_; k < len_ - n; ++k)
                vowels += IsAnsiVowel(letterOf(path_[k]));
            if (vowels >= vowelsBefore) return true;
        }
        return false;
    }

    // A joint stem as a compound part: a noun's without its final "e" ("Farb" of Farbe) or a verb's
    // without its "en" ("Prüf" of prüfen), with at least four letters on either side and a consonant
    // after it.
    bool jointStem(const Cursor& cur, int j) {
        if (len_ - partStart_ < 4 || rawLength_ - j < 4 || IsAnsiVowel(uc(raw_[j]))) return false;
        for (std::size_t k = 0, n = src_.count(cur); k < n; ++k) {
            Step e = src_.at(cur, k);
            if (letterOf(e.letter) != 'e') continue;
            Step en;
            unsigned char flags = 0;
            bool verb = false;
            if ((e.endFlags & kEntryEnd) && (e.endFlags & kEntryCapital)) {
                flags = e.endFlags;
            } else if (stepTo(e, 'n', en) && (en.endFlags & kEntryEnd) && !(en.endFlags & kEntryCapital)) {
                flags = en.endFlags;
                verb = true;
            }
            // A verb's stem joins without an "s" ("Prüfstand", not "Prüf+s+tand"); a noun's may take
            // one ("Hilfsmittel").
            return flags && partAllowed(flags, uc(raw_[j])) && split(j, flags, verb);
        }
        return false;
    }

    // A stored "'", "-" or "." that the input lacks.
    bool missingSign(const Step& s, int i) {
        unsigned char stored = letterOf(s.letter);
        if (stored != '\'' && stored != '-' && stored != '.') return false;
        take(s, kMarkAdded);
        cost_ += 16;
        if (walk(src_.follow(s), i, s.endFlags)) return true;
        cost_ -= 16;
        --len_;
        return false;
    }

    bool alternatives(const Step& s, int i, int j, unsigned char typedMark) {
        unsigned char stored = letterOf(s.letter), typed = uc(raw_[j]);
        auto attempt = [&](int cost, int next, const Step* second, unsigned char mark) {
            int saved = len_;
            take(s, static_cast<unsigned char>(mark | typedMark));
            if (second) take(*second, 0);
            cost_ += cost;
            if (walk(src_.follow(second ? *second : s), next, (second ? *second : s).endFlags)) return true;
            cost_ -= cost;
            len_ = saved;
            return false;
        };
        if (t_.classOf[stored] && t_.classOf[stored] == t_.classOf[typed] && stored != typed &&
            attempt(32, j + 1, nullptr, kMarkAccent))
            return true;
        // An umlaut, ß or f typed for a stored pair.
        static constexpr unsigned char kPairs[][3] = {{'a', 0xE4, 'e'}, {'a', 0xE6, 'e'}, {'o', 0xF6, 'e'},
                                                      {'o', 0x9C, 'e'}, {'u', 0xFC, 'e'}, {'s', kSharpS, 's'},
                                                      {'p', 'f', 'h'}};
        for (const auto& p : kPairs) {
            Step second;
            if (stored == p[0] && typed == p[1] && stepTo(s, p[2], second) &&
                attempt(32, j + 1, &second, kMarkAdded))
                return true;
        }
        // A pair typed for a stored umlaut, ß or f.
        int d = t_.digraphOf[stored];
        if (d >= 0 && typed == uc(kDigraphFirst[d]) && uc(raw_[j + 1]) == uc(kDigraphSecond[d]) &&
            attempt(96, j + 2, nullptr, kMarkPairTyped))
            return true;
        Step k;
        if (stored == 'c' && typed == 'k' && raw_[j + 1] == '~' && raw_[j + 2] == 'k' && stepTo(s, 'k', k) &&
            attempt(160, j + 3, &k, kMarkCkTyped))
            return true;
        return missingSign(s, i);
    }

    // Ends a compound part at the word that ends here (a joint "s" belongs to it) and goes on from the
    // root with at least three letters left.
    bool split(int j, unsigned char endFlags, bool verbStem = false) {
        // An adjective with a suffix of its own ("wirklich", "heimtückisch", "lesbar") begins no compound
        // of further parts; a noun with a suffix such as "ung" or "heit" joins the next part with an "s"
        // ("Erholungsurlaub", not "Erholungurlaub").
        bool small = !(endFlags & kEntryCapital) && !(path_[partStart_] & kCapitalBit);
        static constexpr std::string_view kAdjectiveSuffixes[] = {"lich", "isch", "bar", "sam", "haft"};
        static constexpr std::string_view kNounSuffixes[] = {"ung", "heit", "keit",  "schaft",
                                                             "tum", "ion",  "t\xE4t"};
        if (small && partEndsWith(kAdjectiveSuffixes, 0)) return false;
        bool needsS = partEndsWith(kNounSuffixes, 1);
        int left = 0;
        for (int k = j; k < rawLength_; ++k)
            left += raw_[k] != '~';
        int savedStart = partStart_;
        bool savedCapital = firstCapital_, savedShort = shortSmallBefore_;
        shortSmallBefore_ =
            len_ - partStart_ == 3 && !(endFlags & kEntryCapital) && !(path_[partStart_] & kCapitalBit);
        if (partStart_ == 0) firstCapital_ = endFlags & kEntryCapital;
        Cursor root = src_.root(c_);
        // A joint "s" never follows an "s" nor comes before a part that begins with one
        // ("Kriegs+s+verbrecher", "Krieg+s+sverbrecher").
        if (!verbStem && raw_[j] == 's' && left - 1 >= 3 && raw_[j + 1] != 's' &&
            letterOf(path_[len_ - 1]) != 's') {
            path_[len_] = LetterToCode('s');
            marks_[len_++] = kMarkPartEnd;
            partStart_ = len_;
            if (walk(root, j + 1, 0)) return true;
            --len_;
            partStart_ = savedStart;
        }
        if (left >= 3 && !needsS) {
            unsigned char savedMark = marks_[len_ - 1];
            marks_[len_ - 1] |= kMarkPartEnd;
            int savedLength = len_;
            partStart_ = len_;
            if (walk(root, j, 0)) return true;
            len_ = savedLength;
            marks_[len_ - 1] = savedMark;
            partStart_ = savedStart;
        }
        firstCapital_ = savedCapital;
        shortSmallBefore_ = savedShort;
        return false;
    }

    TreeSource src_;
    const LetterTables& t_ = tables();
    const DictCollection& c_;
    const char* raw_;
    int rawLength_;
    bool exact_;
    bool compounds_ = false;
    bool shortSmallBefore_ = false; // the part before is a small word of three letters
    unsigned char path_[kMaxLetters + 3] = {};
    unsigned char marks_[kMaxLetters + 3] = {};
    int len_ = 0, cost_ = 0, partStart_ = 0;
    bool firstCapital_ = false;
    long work_ = 0;
    int deepInput_ = -1, deepLength_ = 0;
    unsigned char deepPath_[kMaxLetters + 3] = {}, deepMarks_[kMaxLetters + 3] = {};
};

// The plain look-up behind a word that is stored as typed: no tree walk and no allocation here.
int exactCorrection(DictCollection& c, const char* raw, char* correction, unsigned char* marks) {
    char found[64];
    std::size_t n = std::strlen(raw);
    std::memcpy(found, raw, n + 1);
    if (!LookupWord(c, found, true)) return 0;
    std::memset(marks, 0, kMarkCount);
    bool storedCapital = false, capital = false;
    std::size_t k = 0;
    for (const char* p = found; *p && k < kMaxLetters; ++p) {
        if (*p == '~') {
            capital = true;
            continue;
        }
        unsigned char letter = uc(*p);
        if (capital || AnsiToLower(letter) != letter) {
            marks[k] = kMarkStoredTilde;
            storedCapital = true;
            letter = AnsiToUpper(letter);
        }
        correction[k++] = static_cast<char>(letter);
        capital = false;
    }
    correction[k] = 0;
    std::size_t letter = 0;
    bool tilde = false;
    for (const char* p = raw; *p && letter < k; ++p) {
        if (*p == '~') {
            tilde = true;
            continue;
        }
        if (tilde) marks[letter] |= storedCapital ? kMarkTypedTilde : kMarkTypedTilde | kMarkStoredTilde;
        tilde = false;
        ++letter;
    }
    if ((marks[0] & (kMarkTypedTilde | kMarkStoredTilde)) == kMarkStoredTilde)
        marks[0] |= kMarkCapitalTypedSmall;
    return 1;
}

int failedDepth(const unsigned char* marks) {
    for (std::size_t k = 0; k < kMarkCount; ++k)
        if ((marks[k] & (kMarkTypedTilde | kMarkStoredTilde)) == kMarkTypedTilde) return static_cast<int>(k);
    return -1;
}

// ---- Variant search ----

bool variantEqual(unsigned char stored, unsigned char typed, int i, bool inTail, bool afterSkip,
                  bool extended) {
    const LetterTables& t = tables();
    if (t.baseOf[stored] == t.baseOf[typed]) return true;
    if ((i >= 2 || inTail) && (stored == '\'' || stored == '-' || typed == '\'' || typed == '-')) return true;
    return extended && afterSkip &&
           ((t.groupOf[stored] != kNoGroup && t.groupOf[stored] == t.groupOf[typed]) || stored == kSharpS ||
            typed == kSharpS);
}

template <class Source> class VariantWalk {
public:
    using Position = typename Source::Position;
    VariantWalk(const Source& src, const unsigned char* typed, int length, int limit, bool extended,
                VariantCallback callback, void* argument)
        : src_(src), in_(typed), n_(length), limit_(limit), extended_(extended), callback_(callback),
          argument_(argument) {}

    void run(const Position& start) {
        if (!emptyPosition(start)) walk(start, 0, 0, false);
    }
    // For the smallest distance only: after each report, only cheaper paths are followed.
    void cheapestOnly(long maxWork) {
        cheapest_ = true;
        maxWork_ = maxWork;
    }

private:
    void report(int cost, const Step& last) {
        char word[kMaxLetters + 1];
        for (int k = 0; k < len_; ++k) {
            unsigned char letter = letterOf(path_[k]);
            if ((path_[k] & kCapitalBit) || (k == 0 && (last.endFlags & kEntryCapital)))
                letter = AnsiToUpper(letter);
            word[k] = static_cast<char>(letter);
        }
        word[len_] = 0;
        if (!callback_(argument_, word, cost)) stop_ = true;
        if (cheapest_) limit_ = std::min(limit_, cost - 1);
    }

    // A word that ends with the letter just taken, the input having been read up to (not including) next.
    void reportEnd(const Step& s, int next, int d) {
        if (!(s.endFlags & kEntryEnd)) return;
        if (next == n_)
            report(d, s);
        else if (next + 1 == n_ && (d == 0 || next >= 7) && d + 1 <= limit_)
            report(d + 1, s);
    }

    void walk(const Position& cur, int i, int d, bool afterSkip) {
        if (stop_ || d > limit_ || len_ >= static_cast<int>(kMaxLetters)) return;
        if (++work_ > maxWork_) {
            stop_ = true;
            return;
        }
        for (std::size_t k = 0, count = src_.count(cur); k < count && !stop_; ++k) {
            Step s = src_.at(cur, k);
            unsigned char stored = letterOf(s.letter);
            path_[len_++] = s.letter;
            bool equal = false;
            if (i < n_) {
                equal = variantEqual(stored, in_[i], i, s.inTail, afterSkip, extended_);
                if (equal) {
                    reportEnd(s, i + 1, d);
                    Position next = src_.follow(s);
                    if (!stop_ && !emptyPosition(next)) {
                        walk(next, i + 1, d, false);
                        if (i + 1 < n_ && d + 1 <= limit_) walk(next, i + 2, d + 1, false);
                    }
                }
                if (!afterSkip && !stop_) digraphs(s, i, d);
                if (!extended_ && !stop_ && !equal && d == 0 && i + 1 < n_) swapped(s, i, d);
            }
            // A stored letter the input lacks; at the input's end too, where a word that ends with it is
            // reported ("eingereich" for eingereicht), at most two such letters at the end.
            if (!stop_ && d + 1 <= limit_ && (i == n_ || i > 0 || equal)) {
                if (i == n_ && (s.endFlags & kEntryEnd)) report(d + 1, s);
                Position next = src_.follow(s);
                if (!stop_ && !emptyPosition(next) && !(i == n_ && afterSkip)) walk(next, i, d + 1, true);
            }
            --len_;
        }
    }

    // Two neighbouring letters typed the other way round count as one difference, as any other
    // one-letter slip does (a dropped and an extra letter would count two); as the first difference
    // only, which keeps the search's work. The extended search allows differences enough to find a swap
    // as those two. s, already on the path, stands for the input's next letter.
    void swapped(const Step& s, int i, int d) {
        if (!variantEqual(letterOf(s.letter), in_[i + 1], i + 1, s.inTail, false, extended_)) return;
        Position next = src_.follow(s);
        for (std::size_t k = 0, count = emptyPosition(next) ? 0 : src_.count(next); k < count && !stop_;
             ++k) {
            Step t = src_.at(next, k);
            if (!variantEqual(letterOf(t.letter), in_[i], i, t.inTail, false, extended_)) continue;
            path_[len_++] = t.letter;
            reportEnd(t, i + 2, d + 1);
            Position after = src_.follow(t);
            if (!stop_ && !emptyPosition(after)) walk(after, i + 2, d + 1, false);
            --len_;
        }
    }

    void digraphs(const Step& s, int i, int d) {
        unsigned char stored = letterOf(s.letter);
        int p = indexIn(kDigraphFirst, stored);
        if (p >= 0 && in_[i] == uc(kDigraphSingle[p])) {
            Position next = src_.follow(s);
            for (std::size_t k = 0, count = emptyPosition(next) ? 0 : src_.count(next); k < count && !stop_;
                 ++k) {
                Step t = src_.at(next, k);
                if (letterOf(t.letter) != uc(kDigraphSecond[p])) continue;
                path_[len_++] = t.letter;
                reportEnd(t, i + 1, d);
                Position after = src_.follow(t);
                if (!stop_ && !emptyPosition(after)) walk(after, i + 1, d, false);
                --len_;
            }
        }
        int q = tables().digraphOf[stored];
        if (q >= 0 && i + 1 < n_ && in_[i] == uc(kDigraphFirst[q]) && in_[i + 1] == uc(kDigraphSecond[q])) {
            reportEnd(s, i + 2, d);
            Position next = src_.follow(s);
            if (!stop_ && !emptyPosition(next)) walk(next, i + 2, d, false);
        }
    }

    const Source& src_;
    const unsigned char* in_;
    int n_, limit_;
    bool extended_;
    VariantCallback callback_;
    void* argument_;
    unsigned char path_[kMaxLetters + 2] = {};
    int len_ = 0;
    bool stop_ = false, cheapest_ = false;
    long work_ = 0, maxWork_ = kMaxVariantSteps;
};

// The input of a variant search: lower-case letters without "~".
int typedLetters(const char* word, unsigned char* out) {
    int n = 0;
    for (; *word && n < static_cast<int>(kMaxLetters); ++word)
        if (*word != '~') out[n++] = AnsiToLower(uc(*word));
    out[n] = 0;
    return n;
}

template <class Visit> void forEachDictionary(Visit visit) {
    VisitDictionaries(
        [](void* v, DBHandle h, DictionaryNode& node) { return (*static_cast<Visit*>(v))(h, node); }, &visit);
}

bool sameLanguage(char a, char wanted) {
    return !wanted || AnsiToUpper(uc(a)) == AnsiToUpper(uc(wanted));
}

} // namespace

int CorrectWord(DictCollection& c, const char* word, char* correction, unsigned char* marks, bool exactOnly,
                int* cost) {
    char raw[kMaxLetters + 1];
    prepare(word, raw);
    if (cost) *cost = 0;
    if (!*raw) {
        correction[0] = 0;
        std::memset(marks, 0, kMarkCount);
        return 0;
    }
    DBEngineHold hold;
    if (exactCorrection(c, raw, correction, marks)) return 1;
    TreeReader reader(c);
    Corrector search(reader, c, raw, exactOnly);
    // Exact-only, the whole-word walk is the look-up that just failed.
    if ((!exactOnly && search.run(false)) || search.run(true)) {
        search.deliver(correction, marks);
        if (cost) *cost = search.cost();
        return 1;
    }
    search.deliverFailure(correction, marks);
    return 0;
}

int CorrectionCost(const char* correction, const unsigned char* marks) {
    int cost = 0;
    for (std::size_t k = 0; correction[k] && k < kMarkCount; ++k) {
        unsigned char m = marks[k];
        if ((m & kMarkTypedTilde) && !(m & kMarkStoredTilde)) return -1;
        if (m > 3) cost += (m & (0x01 | 0x10 | 0x20 | 0x40)) ? 2 : 1;
    }
    return cost;
}

DBHandle FindBestCorrection(DBHandle h, char language, const char* word, char* correction,
                            unsigned char* marks, bool exactOnly) {
    char best[64] = {}, found[64], failed[64] = {};
    unsigned char bestMarks[kMarkCount] = {}, foundMarks[kMarkCount], failedMarks[kMarkCount] = {};
    int bestCost = 10000, failedAt = -2;
    DBHandle bestHandle = 0;
    DBEngineHold hold;
    auto consider = [&](DBHandle handle, DictionaryNode& node) {
        if (!sameLanguage(node.language, language)) return true;
        if (CorrectWord(node.words, word, found, foundMarks, exactOnly)) {
            int cost = CorrectionCost(found, foundMarks);
            if (cost >= 0 && cost < bestCost) {
                for (std::size_t k = 0; k < kMarkCount; ++k)
                    if ((bestMarks[k] & 3) == 3) foundMarks[k] |= 3;
                std::memcpy(best, found, sizeof best);
                std::memcpy(bestMarks, foundMarks, sizeof bestMarks);
                bestCost = cost;
                bestHandle = handle;
            }
            if (cost >= 0) return cost != 0;
        }
        int at = failedDepth(foundMarks);
        if (at > failedAt) {
            failedAt = at;
            std::memcpy(failed, found, sizeof failed);
            std::memcpy(failedMarks, foundMarks, sizeof failedMarks);
        }
        return true;
    };
    if (h) {
        DictionaryNode* node = FindDictionaryNode(h);
        if (node) consider(h, *node);
    } else {
        forEachDictionary(consider);
    }
    if (bestHandle) {
        std::memcpy(correction, best, sizeof best);
        std::memcpy(marks, bestMarks, sizeof bestMarks);
    } else if (failedAt > -2) {
        std::memcpy(correction, failed, sizeof failed);
        std::memcpy(marks, failedMarks, sizeof failedMarks);
    } else {
        prepare(word, correction);
        std::memset(marks, 0, kMarkCount);
    }
    return bestHandle;
}

int VariantLimit(std::size_t length, bool oneDifference, bool extended) {
    if (oneDifference) return 1;
    int n = static_cast<int>(length);
    return extended ? std::clamp((n + 1) / 2, 2, 7) : std::clamp((n + 1) / 3, 2, 4);
}

int FindVariants(DictCollection& c, const char* word, VariantCallback callback, void* argument,
                 bool oneDifference, bool extended) {
    unsigned char typed[kMaxLetters + 1];
    int n = typedLetters(word ? word : "", typed);
    if (n < 2 || !callback || !c.db || !LockDBFileShared(c.db)) return 0;
    {
        TreeReader reader(c);
        TreeSource src{reader};
        VariantWalk<TreeSource> walk(src, typed, n, VariantLimit(n, oneDifference, extended), extended,
                                     callback, argument);
        walk.run(src.root(c));
    }
    UnlockDBFileShared(c.db);
    return 1;
}

bool AddSuggestion(void* argument, const char* word, int cost) {
    auto& list = *static_cast<SuggestionList*>(argument);
    // A word longer than a slot holds would be offered cut short, and found again it would not match
    // its cut entry and be offered once more.
    if (std::strlen(word) > kSuggestionSlot - 2) return true;
    unsigned char c = static_cast<unsigned char>(std::clamp(cost, 0, 255));
    for (int k = 0; k < list.count; ++k) {
        if (AnsiCompareNoCase(reinterpret_cast<const char*>(list.entries[k] + 1), word) != 0) continue;
        if (list.entries[k][0] <= c) return true;
        std::memmove(list.entries[k], list.entries[k + 1], (list.count - k - 1) * kSuggestionSlot);
        --list.count;
        break;
    }
    int at = 0;
    while (at < list.count && list.entries[at][0] <= c)
        ++at;
    if (at == kMaxSuggestions) return true;
    int kept = std::min(list.count, kMaxSuggestions - 1);
    std::memmove(list.entries[at + 1], list.entries[at], (kept - at) * kSuggestionSlot);
    std::memset(list.entries[at], 0, kSuggestionSlot);
    list.entries[at][0] = c;
    std::strncpy(reinterpret_cast<char*>(list.entries[at] + 1), word, kSuggestionSlot - 2);
    list.count = kept + 1;
    return true;
}

namespace {

void addVariants(const char* word, SuggestionList& list, bool extended) {
    forEachDictionary([&](DBHandle, DictionaryNode& node) {
        FindVariants(node.words, word, AddSuggestion, &list, false, extended);
        return true;
    });
}

const char* suggested(const SuggestionList& list, int k) {
    return reinterpret_cast<const char*>(list.entries[k] + 1);
}

// A compound that the dictionaries hold only in parts, with one wrong part: at each cut where one side is
// a known word or compound of at least four letters, the other side's nearest variants joined to it (a
// joint "s" kept out of the variant search), at one difference more than the variant.
void addCompoundVariants(const char* word, SuggestionList& list, bool extended) {
    const int n = static_cast<int>(std::strlen(word));
    if (n < 8) return;
    unsigned char marks[kMarkCount];
    auto known = [&](const std::string& part, char* out) {
        return part.size() >= 4 && FindBestCorrection(0, 0, part.c_str(), out, marks, true) != 0;
    };
    // Only a joined word that the correction search takes as a compound as it stands is offered.
    auto join = [&](const std::string& head, const std::string& tail, int cost) {
        std::string whole = head + tail;
        if (whole.size() > kMaxLetters) return;
        for (char& c : whole)
            c = static_cast<char>(AnsiToLower(uc(c)));
        char compound[64];
        if (FindBestCorrection(0, 0, whole.c_str(), compound, marks, true))
            AddSuggestion(&list, compound, cost);
    };
    for (int cut = 4; cut + 4 <= n; ++cut) {
        std::string head(word, cut), tail(word + cut);
        char part[64];
        if (known(tail, part)) {
            // The head as it stands, and without a joint "s" that it ends with.
            for (int joint = 0; joint <= (head.back() == 's' ? 1 : 0); ++joint) {
                std::string h = head.substr(0, head.size() - joint);
                if (h.size() < 4) continue;
                SuggestionList v;
                addVariants(h.c_str(), v, extended);
                for (int k = 0; k < std::min(v.count, 5); ++k)
                    join(std::string(suggested(v, k)) + (joint ? "s" : ""), part, v.entries[k][0] + 1);
            }
        }
        // The head as a known word, or one with a joint "s".
        bool headKnown = known(head, part);
        if (!headKnown && head.back() == 's' && known(head.substr(0, head.size() - 1), part)) {
            std::strncat(part, "s", sizeof part - std::strlen(part) - 1);
            headKnown = true;
        }
        if (headKnown) {
            SuggestionList v;
            addVariants(tail.c_str(), v, extended);
            for (int k = 0; k < std::min(v.count, 5); ++k)
                join(part, suggested(v, k), v.entries[k][0] + 1);
        }
    }
}

} // namespace

win32::HGLOBAL MakeSuggestionList(const char* word, bool extended) {
    char prepared[kMaxLetters + 1];
    prepare(word, prepared);
    SuggestionList list;
    addVariants(prepared, list, extended);
    // A compound of known parts first when it is one as typed ("rechnungsnummer" for Rechnungsnummer);
    // without any near word of its own, one with a wrong part.
    char found[64];
    unsigned char marks[kMarkCount];
    if (std::strlen(prepared) >= 8 && FindBestCorrection(0, 0, prepared, found, marks, true)) {
        // Typed with a capital, a compound keeps it whatever its first part's spelling.
        if (word && AnsiToLower(uc(*word)) != uc(*word))
            found[0] = static_cast<char>(AnsiToUpper(uc(found[0])));
        // The word exactly as typed changes nothing: it goes behind the words one letter away.
        AddSuggestion(&list, found, word && std::strcmp(found, word) == 0 ? 1 : 0);
    } else if (list.count == 0)
        addCompoundVariants(prepared, list, extended);
    win32::HGLOBAL block = win32::GlobalAlloc(win32::GHND, (list.count + 1) * kSuggestionSlot);
    if (!block) return block;
    auto* slots = static_cast<char*>(win32::GlobalLock(block));
    for (int k = 0; k < list.count; ++k)
        std::strcpy(slots + k * kSuggestionSlot, reinterpret_cast<const char*>(list.entries[k] + 1));
    win32::GlobalUnlock(block);
    return block;
}

void CaseLike(const char* word, char* text) {
    if (!word || !*word || !text) return;
    bool allCapitals = true;
    for (const char* p = word; *p; ++p)
        allCapitals = allCapitals && AnsiToUpper(uc(*p)) == uc(*p);
    if (allCapitals) {
        AnsiStrUpper(text);
    } else if (IsAnsiLetter(uc(*word)) && AnsiToLower(uc(*word)) != uc(*word)) {
        text[0] = static_cast<char>(AnsiToUpper(uc(text[0])));
    }
}

void CaseSuggestionList(win32::HGLOBAL block, const char* word) {
    auto* slots = block ? static_cast<char*>(win32::GlobalLock(block)) : nullptr;
    if (!slots) return;
    std::size_t n = win32::GlobalSize(block) / kSuggestionSlot;
    for (std::size_t k = 0; k < n && slots[k * kSuggestionSlot]; ++k)
        CaseLike(word, slots + k * kSuggestionSlot);
    win32::GlobalUnlock(block);
}

DBHandle BestReplacement(const char* word, char* replacement) {
    char prepared[kMaxLetters + 1];
    prepare(word, prepared);
    replacement[0] = 0;
    if (std::strlen(prepared) < 5) return 0;
    DBHandle found = 0;
    forEachDictionary([&](DBHandle h, DictionaryNode& node) {
        auto keep = [](void* out, const char* w, int) {
            std::strncpy(static_cast<char*>(out), w, kMaxLetters);
            static_cast<char*>(out)[kMaxLetters] = 0;
            return true;
        };
        FindVariants(node.words, prepared, keep, replacement, true, false);
        if (*replacement) found = h;
        return !found;
    });
    return found;
}

int CompareTexts(const char* first, const char* second, int fixedLimit, bool extended) {
    // Words: runs of letters, at most 63, lower-cased and coded; shorter than 2 letters ignored.
    auto words = [](const char* text) {
        std::vector<std::vector<unsigned char>> out;
        std::vector<unsigned char> w;
        auto flush = [&] {
            if (w.size() >= 2) out.push_back(w);
            w.clear();
        };
        for (const char* p = text ? text : ""; *p; ++p) {
            unsigned char ch = uc(*p);
            if (!IsAnsiLetter(ch)) {
                flush();
                continue;
            }
            if (w.size() < kMaxLetters) w.push_back(AnsiToLower(ch));
        }
        flush();
        return out;
    };
    auto a = words(first), b = words(second);
    if (a.empty() && b.empty()) return 0;
    long score = 0;
    bool matched = false;
    for (const auto& wa : a) {
        int bestDistance = -1;
        std::vector<unsigned char> codes(wa.size());
        for (std::size_t k = 0; k < wa.size(); ++k)
            codes[k] = LetterToCode(wa[k]);
        WordSource src{codes.data(), codes.size()};
        for (const auto& wb : b) {
            int limit = fixedLimit > 0 ? fixedLimit : VariantLimit(wb.size(), false, extended);
            auto keepMin = [](void* out, const char*, int cost) {
                int& m = *static_cast<int*>(out);
                if (m < 0 || cost < m) m = cost;
                return m != 0;
            };
            int distance = -1;
            VariantWalk<WordSource> walk(src, wb.data(), static_cast<int>(wb.size()), limit, extended,
                                         keepMin, &distance);
            walk.cheapestOnly(kMaxComparisonSteps);
            walk.run(0);
            if (distance >= 0 && (bestDistance < 0 || distance < bestDistance)) bestDistance = distance;
        }
        if (bestDistance >= 0) {
            matched = true;
            score += bestDistance;
        } else {
            score += 5 * static_cast<long>(b.size());
        }
        score = std::min(score, 65534L);
    }
    if (!matched) return kNoSimilarity;
    if (a.size() > b.size()) score += 5 * static_cast<long>(a.size() - b.size());
    return static_cast<int>(std::min(score, 65534L));
}

namespace {

// In a dictionary of the language as it stands: no alternatives and no compound.
bool listed(char language, const char* word, std::size_t at, bool noSharpS) {
    char found[64];
    unsigned char m[kMarkCount];
    if (!FindBestCorrection(0, language, word, found, m, true)) return false;
    for (std::size_t k = 0; k < kMarkCount; ++k)
        if (m[k] & kMarkPartEnd) return false;
    return !noSharpS || (at < std::strlen(found) && uc(found[at]) != kSharpS);
}

void insertMark(unsigned char* marks, std::size_t at, unsigned char mark) {
    if (at >= kMarkCount) return;
    std::memmove(marks + at + 1, marks + at, kMarkCount - at - 1);
    marks[at] = mark;
}

void deleteMarks(unsigned char* marks, std::size_t at, std::size_t count) {
    if (at >= kMarkCount) return;
    count = std::min(count, kMarkCount - at);
    std::memmove(marks + at, marks + at + count, kMarkCount - at - count);
    std::memset(marks + kMarkCount - count, 0, count);
}

} // namespace

int ReplaceIfListed(char language, char* word, unsigned char* marks, const char* find, const char* replace,
                    std::uint32_t& options, std::uint32_t optionBit) {
    std::size_t findLength = std::strlen(find), replaceLength = std::strlen(replace);
    if (!findLength) return 0;
    int changed = 0;
    for (std::size_t at = 0; word[at];) {
        if (std::strncmp(word + at, find, findLength) != 0) {
            ++at;
            continue;
        }
        std::string rest(word + at + findLength);
        std::string head(word, at);
        std::string trial = head + replace + rest;
        bool sharp = false,
             ok = trial.size() <= kMaxLetters && marks[at] == 0 && listed(language, trial.c_str(), at, false);
        if (!ok && std::strcmp(find, "ss") == 0 && IsAnsiVowel(uc(word[at + 2])) && marks[at] == 0) {
            trial = head + "\xDF" + rest;
            sharp = ok = listed(language, trial.c_str(), at, false);
        }
        if (!ok) {
            ++at;
            continue;
        }
        std::size_t newLength = sharp ? 1 : replaceLength;
        bool replacedS = word[at] == 's';
        std::strcpy(word, trial.c_str());
        if (newLength <= findLength) {
            deleteMarks(marks, at + 1, findLength - newLength);
            if (sharp)
                marks[at] = 32;
            else {
                if (replacedS) marks[at] |= 32;
                if (at + 1 < kMarkCount) marks[at + 1] |= 16;
            }
        } else {
            for (std::size_t k = findLength; k < newLength; ++k)
                insertMark(marks, at + 1, 0);
            marks[at] = 96;
        }
        options |= optionBit;
        changed = 1;
        at += newLength;
    }
    return changed;
}

int ReplaceSharpS(char* word, unsigned char* marks, std::uint32_t& options) {
    int changed = 0;
    for (std::size_t at = 0; word[at]; ++at) {
        if (uc(word[at]) != kSharpS) continue;
        word[at] = 's';
        marks[at] |= 32;
        options |= 0x80000;
        changed = 1;
        // Before an "s" that starts the next syllable (a vowel follows it) one "s" is enough.
        bool beforeS = word[at + 1] == 's' && IsAnsiVowel(uc(word[at + 2]));
        if (beforeS || listed(0, word, at, true)) continue;
        std::size_t n = std::strlen(word);
        if (n >= kMaxLetters) continue;
        std::memmove(word + at + 2, word + at + 1, n - at);
        word[at + 1] = 's';
        insertMark(marks, at + 1, 16);
        ++at;
    }
    return changed;
}

} // namespace wortex
