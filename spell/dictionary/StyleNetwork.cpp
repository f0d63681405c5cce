#include "StyleNetwork.h"

#include "Doz3Format.h"
#include "Letters.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

namespace wortex {

using doz3::get16;
using doz3::get32;
using doz3::put16;
using doz3::put32;

namespace {

constexpr char kAlphabet[33] = "abcdefghijklmnopqrstuvwxyz .,\xe4\xf6\xfc";

int alphabetIndex(unsigned char c) {
    if (c == 0) return -1;
    const char* p = std::strchr(kAlphabet, c);
    return p ? static_cast<int>(p - kAlphabet) : -1;
}

// The library's own dialogs, which the dialogs layer above puts here, and those a caller set instead.
StyleDialogs& defaultDialogs() {
    static StyleDialogs d;
    return d;
}

StyleDialogs& setDialogs() {
    static StyleDialogs d;
    return d;
}

const StyleDialogs& dialogs() {
    const StyleDialogs& d = setDialogs();
    return d.conflict || d.chooseMeaning ? d : defaultDialogs();
}

// The set of open dictionaries clears a word's style data through this when the word goes or is renamed.
[[maybe_unused]] const bool cleanupHooked = [] {
    StyleCleanupHooks() = {&DropStyleData, &RenameStyleWord};
    return true;
}();

// The byte lock keyed by a table's offset; held for the object's life.
class ByteLock {
public:
    ByteLock(DBHandle h, std::uint32_t key) : h_(h), key_(key), held_(h && key && LockDBFile(h, key)) {}
    ~ByteLock() { release(); }
    void release() {
        if (held_) UnlockDBFile(h_, key_);
        held_ = false;
    }
    bool held() const { return held_; }

private:
    DBHandle h_;
    std::uint32_t key_;
    bool held_;
};

ByteLock styleLock(const DictCollection& styles) {
    return ByteLock(styles.db, styles.wordTable());
}

void prepared(const char* word, char out[64]) {
    PrepareSetWord(word, out);
}

bool sameWord(const char* a, const char* b) {
    return AnsiCompareNoCase(a, b) == 0;
}

// Member words of a group's tree in dictionary order, read page by page; a page that does not hold
// together ends the list there.
void collectMembers(const DictCollection& styles, std::uint32_t page, std::string& codes,
                    std::unordered_set<std::uint32_t>& seen, std::vector<std::string>& out) {
    if (!page || codes.size() >= 63 || !seen.insert(page).second) return;
    std::vector<TreeEntry> entries;
    if (!ReadTreePage(styles, page, entries)) return;
    auto emit = [&](const std::string& c, unsigned char flags) {
        char buf[128];
        std::size_t n = std::min<std::size_t>(c.size(), 63);
        std::memcpy(buf, c.data(), n);
        buf[n] = 0;
        DecodeWord(kCurrentFormat, buf, false, 64);
        if (flags & kEntryCapital)
            buf[0] = static_cast<char>(AnsiToUpper(static_cast<unsigned char>(buf[0])));
        out.emplace_back(buf);
    };
    for (const TreeEntry& e : entries) {
        codes.push_back(static_cast<char>(e.letter));
        if (e.endFlags & kEntryEnd) emit(codes, e.endFlags);
        if (!e.tail.empty()) emit(codes + e.tail, e.tailFlags);
        if (e.link) collectMembers(styles, e.link, codes, seen, out);
        codes.pop_back();
    }
}

std::uint32_t groupRoot(const DictCollection& styles, std::uint32_t group) {
    unsigned char b[4];
    return group && ReadDBBytes(styles.db, group, b, 4) ? get32(b) : 0;
}

std::vector<std::string> groupMembers(const DictCollection& styles, std::uint32_t group) {
    std::vector<std::string> out;
    std::string codes;
    std::unordered_set<std::uint32_t> seen;
    collectMembers(styles, groupRoot(styles, group), codes, seen, out);
    return out;
}

bool inGroup(const DictCollection& styles, std::uint32_t group, const char* word) {
    for (const std::string& m : groupMembers(styles, group))
        if (sameWord(m.c_str(), word)) return true;
    return false;
}

// A group's member tree opened for changes through the word engine: a scratch root record in the style
// collection's tree table stands for the group record while the tree is changed. The caller holds the style
// lock, which is the tree table's lock: the engine must not take and release it again.
class GroupTree {
public:
    GroupTree(const DictCollection& styles, std::uint32_t group) : styles_(styles), group_(group) {
        root_ = groupRoot(styles, group);
        scratch_ = AllocDBRecord(styles.db, kRootRecordSize, styles.wordTable());
        if (!scratch_) return;
        unsigned char r[kRootRecordSize] = {};
        ReadDBBytes(styles.db, styles.rootRecord(), r, kRootRecordSize);
        put32(r, 0);
        put32(r + 6, root_);
        ok_ = WriteDBBytes(styles.db, scratch_, r, kRootRecordSize) == 1;
        tree_ = styles;
        put32(tree_.header + 26, scratch_);
        tree_.word[0] = 0;
    }
    ~GroupTree() {
        if (scratch_) FreeDBRecord(styles_.db, scratch_, kRootRecordSize, styles_.wordTable());
    }
    bool ok() const { return ok_; }
    bool insert(const char* word) {
        char w[64];
        prepared(word, w);
        return ok_ && InsertWordLockHeld(tree_, w, false, 0, 0) == 1 && save();
    }
    bool remove(const char* word) {
        char w[64];
        prepared(word, w);
        return ok_ && DeleteWordLockHeld(tree_, w) == 1 && save();
    }

private:
    bool save() {
        std::uint32_t now = RootPageOf(tree_);
        if (now == root_) return true;
        unsigned char b[4];
        put32(b, now);
        root_ = now;
        return WriteDBBytes(styles_.db, group_, b, 4) == 1;
    }
    const DictCollection& styles_;
    std::uint32_t group_;
    std::uint32_t root_ = 0;
    std::uint32_t scratch_ = 0;
    DictCollection tree_;
    bool ok_ = false;
};

std::uint32_t allocStyle(const DictCollection& styles, const std::vector<Meaning>& meanings) {
    std::size_t bytes = meanings.size() * 8 + 2;
    std::uint32_t at = AllocDBRecord(styles.db, static_cast<std::uint16_t>(bytes), styles.wordTable());
    if (at && !WriteStyleRecord(styles, at, meanings)) {
        FreeDBRecord(styles.db, at, static_cast<std::uint16_t>(bytes), styles.wordTable());
        return 0;
    }
    return at;
}

void freeStyle(const DictCollection& styles, std::uint32_t at, std::size_t count) {
    FreeDBRecord(styles.db, at, static_cast<std::uint16_t>(count * 8 + 2), styles.wordTable());
}

void setValueA(DictCollection& words, const char* word, std::uint32_t value) {
    char w[64];
    prepared(word, w);
    SetWordValue(words, w, value, kEntryValueA);
}

// The node of a writable dictionary that holds the word, with the word's style record.
DictionaryNode* writableNode(DBHandle h, const char* word, std::uint32_t& record) {
    DictionaryNode* n = FindDictionaryNode(h);
    if (!n || n->readOnly || !n->styles.db) return nullptr;
    return StyleRecordOf(*n, word, record) ? n : nullptr;
}

} // namespace

void SetStyleDialogs(const StyleDialogs& d) {
    setDialogs() = d;
}

void SetDefaultStyleDialogs(const StyleDialogs& d) {
    defaultDialogs() = d;
}

std::size_t PackDescription(const char* text, unsigned char* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    std::size_t len = std::strlen(text), i = 0, n = 0;
    while (i < len) {
        unsigned char c = p[i];
        std::size_t run = 1;
        while (i + run < len && p[i + run] == c && run < 127)
            ++run;
        if (run >= 4) {
            out[n++] = 0;
            out[n++] = static_cast<unsigned char>(run);
            out[n++] = c;
            i += run;
            continue;
        }
        int a = alphabetIndex(c), b = i + 1 < len ? alphabetIndex(p[i + 1]) : -1,
            d = i + 2 < len ? alphabetIndex(p[i + 2]) : -1;
        if (a >= 0 && b >= 0 && d >= 0) {
            unsigned v = 0x8000u + unsigned(a) * 1024 + unsigned(b) * 32 + unsigned(d);
            out[n++] = static_cast<unsigned char>(v >> 8);
            out[n++] = static_cast<unsigned char>(v);
            i += 3;
            continue;
        }
        if (c >= 0x80) out[n++] = 0;
        out[n++] = c;
        ++i;
    }
    return n;
}

void UnpackDescription(const unsigned char* p, char* out, std::size_t n, std::size_t capacity) {
    if (!capacity) return;
    std::size_t o = 0, i = 0;
    auto put = [&](unsigned char c) {
        if (o + 1 < capacity) out[o++] = static_cast<char>(c);
    };
    while (i < n && o + 1 < capacity) {
        unsigned char b = p[i];
        if (b >= 0x80) {
            if (i + 1 >= n) break;
            unsigned v = ((unsigned(b) << 8) | p[i + 1]) - 0x8000u;
            put(static_cast<unsigned char>(kAlphabet[(v >> 10) & 31]));
            put(static_cast<unsigned char>(kAlphabet[(v >> 5) & 31]));
            put(static_cast<unsigned char>(kAlphabet[v & 31]));
            i += 2;
        } else if (b == 0) {
            if (i + 1 >= n) break;
            unsigned char k = p[i + 1];
            if (k >= 0x80) {
                put(k);
                i += 2;
                continue;
            }
            if (i + 2 >= n) break;
            for (unsigned r = 0; r < k; ++r)
                put(p[i + 2]);
            i += 3;
        } else {
            put(b);
            ++i;
        }
    }
    out[o] = 0;
}

std::string UnpackDescription(const unsigned char* packed, std::size_t packedLength) {
    std::vector<char> buf(packedLength * 127 / 3 + 2);
    UnpackDescription(packed, buf.data(), packedLength, buf.size());
    return buf.data();
}

int ReadDescription(DBHandle h, std::uint32_t table, std::uint32_t offset, std::string& text) {
    text.clear();
    if (!offset) return 1;
    ByteLock lock(h, table);
    if (!lock.held()) return 0;
    unsigned char head[4];
    if (!ReadDBBytes(h, offset, head, 4)) return 0;
    std::uint16_t size = get16(head), packed = get16(head + 2);
    if (size < 1 || size > kMaxDescription + 1 || packed == 0 || packed > 2 * kMaxDescription) return 0;
    std::vector<unsigned char> bytes(packed);
    if (!ReadDBBytes(h, offset + 4, bytes.data(), packed)) return 0;
    std::vector<char> out(size);
    UnpackDescription(bytes.data(), out.data(), packed, size);
    // A record whose text does not have its stated size does not hold together.
    if (std::strlen(out.data()) + 1 != size) return 0;
    text = out.data();
    return 1;
}

void WriteDescription(DBHandle h, std::uint32_t table, std::uint32_t& offset, bool& changed,
                      const char* text) {
    changed = false;
    std::size_t len = std::strlen(text);
    if (len > kMaxDescription) return;
    ByteLock lock(h, table);
    if (!lock.held()) return;
    std::vector<unsigned char> packed(2 * len + 1);
    std::size_t n = PackDescription(text, packed.data());
    if (offset) {
        unsigned char b[2];
        if (!ReadDBBytes(h, offset + 2, b, 2)) return;
        std::uint16_t old = get16(b);
        if (old != n) {
            FreeDBRecord(h, offset, static_cast<std::uint16_t>(old + 4), table);
            offset = 0;
            changed = true;
        }
    }
    if (!n) return;
    if (!offset) {
        std::uint32_t at = AllocDBRecord(h, static_cast<std::uint16_t>(n + 4), table);
        if (!at) return;
        unsigned char b[2];
        put16(b, static_cast<std::uint32_t>(n));
        WriteDBBytes(h, at + 2, b, 2);
        offset = at;
        changed = true;
    }
    unsigned char s[2];
    put16(s, static_cast<std::uint32_t>(len + 1));
    WriteDBBytes(h, offset, s, 2);
    WriteDBBytes(h, offset + 4, packed.data(), static_cast<std::uint16_t>(n));
}

std::uint32_t DescriptionSize(DBHandle h, std::uint32_t table, std::uint32_t offset) {
    if (!offset) return 0;
    ByteLock lock(h, table);
    unsigned char b[2];
    return lock.held() && ReadDBBytes(h, offset, b, 2) ? get16(b) : 0;
}

bool ReadStyleRecord(const DictCollection& styles, std::uint32_t offset, std::vector<Meaning>& meanings) {
    meanings.clear();
    unsigned char b[2];
    if (!offset || !ReadDBBytes(styles.db, offset, b, 2)) return false;
    std::uint16_t length = get16(b);
    if (length == 0 || length % 8 || length > kMaxMeanings * 8) return false;
    std::vector<unsigned char> bytes(length);
    if (!ReadDBBytes(styles.db, offset + 2, bytes.data(), length)) return false;
    for (std::size_t i = 0; i < length; i += 8)
        meanings.push_back({get32(&bytes[i]), get32(&bytes[i + 4])});
    return true;
}

bool WriteStyleRecord(const DictCollection& styles, std::uint32_t offset,
                      const std::vector<Meaning>& meanings) {
    std::vector<unsigned char> bytes(meanings.size() * 8 + 2);
    put16(bytes.data(), static_cast<std::uint32_t>(meanings.size() * 8));
    for (std::size_t i = 0; i < meanings.size(); ++i) {
        put32(&bytes[2 + 8 * i], meanings[i].group);
        put32(&bytes[6 + 8 * i], meanings[i].description);
    }
    return WriteDBBytes(styles.db, offset, bytes.data(), static_cast<std::uint16_t>(bytes.size())) == 1;
}

std::uint32_t NewGroup(const DictCollection& styles) {
    std::uint32_t at = AllocDBRecord(styles.db, 4, styles.wordTable());
    unsigned char zero[4] = {};
    if (at) WriteDBBytes(styles.db, at, zero, 4);
    return at;
}

void FreeGroup(const DictCollection& styles, std::uint32_t group) {
    if (group) FreeDBRecord(styles.db, group, 4, styles.wordTable());
}

void JoinGroups(DictionaryNode& node, std::uint32_t first, std::uint32_t second) {
    if (!first || !second || first == second) return;
    const DictCollection& styles = node.styles;
    bool moved = false;
    {
        GroupTree f(styles, first), s(styles, second);
        for (const std::string& m : groupMembers(styles, second)) {
            f.insert(m.c_str());
            std::uint32_t record = 0;
            std::vector<Meaning> meanings;
            if (!StyleRecordOf(node, m.c_str(), record) || !ReadStyleRecord(styles, record, meanings))
                continue;
            bool any = false;
            for (Meaning& x : meanings)
                if (x.group == second) {
                    x.group = first;
                    any = true;
                }
            if (!any) continue;
            WriteStyleRecord(styles, record, meanings);
            s.remove(m.c_str());
            moved = true;
        }
    }
    if (moved) {
        // Members left behind (none re-pointed) go with the group's pages.
        GroupTree s(styles, second);
        for (const std::string& m : groupMembers(styles, second))
            s.remove(m.c_str());
        FreeGroup(styles, second);
    }
}

bool StyleRecordOf(DictionaryNode& node, const char* word, std::uint32_t& record) {
    record = 0;
    char w[64];
    prepared(word, w);
    if (!*w) return false;
    return LookupWord(node.words, w, false, {&record}) == 1;
}

int MeaningCount(DictionaryNode& node, std::uint32_t record) {
    std::vector<Meaning> m;
    ByteLock lock = styleLock(node.styles);
    return lock.held() && ReadStyleRecord(node.styles, record, m) ? static_cast<int>(m.size()) : 0;
}

std::string MeaningDescription(DictionaryNode& node, std::uint32_t record, int meaning) {
    std::string text;
    std::vector<Meaning> m;
    ByteLock lock = styleLock(node.styles);
    if (lock.held() && ReadStyleRecord(node.styles, record, m) && meaning >= 1 &&
        meaning <= static_cast<int>(m.size()))
        ReadDescription(node.styles.db, node.styles.descriptionTable(), m[meaning - 1].description, text);
    return text;
}

std::uint32_t AppendMeaning(DictCollection& words, const DictCollection& styles, const char* word,
                            std::uint32_t record) {
    std::vector<Meaning> meanings;
    if (record) {
        // A record that does not hold together is left as it is.
        if (!ReadStyleRecord(styles, record, meanings) || meanings.size() >= kMaxMeanings) return record;
        freeStyle(styles, record, meanings.size());
    }
    meanings.push_back({});
    std::uint32_t at = allocStyle(styles, meanings);
    if (!at) {
        meanings.pop_back();
        // The old table goes back where it can, so that a full file loses nothing.
        return record ? allocStyle(styles, meanings) : 0;
    }
    if (at != record) setValueA(words, word, at);
    return at;
}

std::uint32_t DropEmptyMeaning(DictionaryNode& node, int meaning, const char* word, std::uint32_t record,
                               bool clearGroup) {
    if (!record) return 0;
    const DictCollection& styles = node.styles;
    std::vector<Meaning> meanings;
    if (!ReadStyleRecord(styles, record, meanings) || meaning < 1 ||
        meaning > static_cast<int>(meanings.size()))
        return record;
    Meaning& m = meanings[meaning - 1];
    if (clearGroup && m.group) {
        m.group = 0;
        WriteStyleRecord(styles, record, meanings);
    }
    if (m.group || m.description) return record;
    freeStyle(styles, record, meanings.size());
    std::uint32_t now = 0;
    if (meanings.size() > 1) {
        meanings.erase(meanings.begin() + (meaning - 1));
        now = allocStyle(styles, meanings);
    }
    if (now != record) setValueA(node.words, word, now);
    return now;
}

std::uint32_t SetMeaningDescription(DBHandle h, int meaning, const char* word, const char* text) {
    std::uint32_t record = 0;
    DictionaryNode* n = writableNode(h, word, record);
    if (!n || meaning < 1) return 0;
    if (std::strlen(text) > kMaxDescription) return record;
    if (!record && !*text) return 0;
    ByteLock lock = styleLock(n->styles);
    if (!lock.held()) return record;
    const DictCollection& styles = n->styles;
    std::vector<Meaning> meanings;
    if (record && !ReadStyleRecord(styles, record, meanings)) return record;
    while (static_cast<int>(meanings.size()) < meaning) {
        std::uint32_t next = AppendMeaning(n->words, styles, word, record);
        std::vector<Meaning> now;
        if (!next || !ReadStyleRecord(styles, next, now) || now.size() == meanings.size()) return next;
        record = next;
        meanings = now;
    }
    Meaning& m = meanings[meaning - 1];
    bool changed = false;
    WriteDescription(styles.db, styles.descriptionTable(), m.description, changed, text);
    if (changed) WriteStyleRecord(styles, record, meanings);
    return DropEmptyMeaning(*n, meaning, word, record, false);
}

int NextGroupMember(DBHandle h, const char* word, int meaning, char member[64]) {
    std::uint32_t record = 0;
    if (!FindWordInDictionaries(h, word, 0, false, nullptr, {&record}) || !record) return 0;
    DictionaryNode* n = FindDictionaryNode(FindWordInDictionaries(h, word, 0, false));
    if (!n) return 0;
    ByteLock lock = styleLock(n->styles);
    std::vector<Meaning> meanings;
    if (!lock.held() || !ReadStyleRecord(n->styles, record, meanings) || meaning < 1 ||
        meaning > static_cast<int>(meanings.size()) || !meanings[meaning - 1].group)
        return 0;
    for (const std::string& m : groupMembers(n->styles, meanings[meaning - 1].group))
        if (!*member || CompareWords(m.c_str(), member) > 0) {
            std::strncpy(member, m.c_str(), 63);
            member[63] = 0;
            return 1;
        }
    return 0;
}

int FindMeaningWithMember(const DictCollection& styles, std::uint32_t record, const char* word) {
    std::vector<Meaning> meanings;
    if (!record || !ReadStyleRecord(styles, record, meanings)) return 0;
    for (std::size_t i = 0; i < meanings.size(); ++i)
        if (meanings[i].group && inGroup(styles, meanings[i].group, word)) return static_cast<int>(i + 1);
    return 0;
}

int GetLinkingMeaning(DBHandle h, const char* word, const char* other) {
    DictionaryNode* n = FindDictionaryNode(h);
    std::uint32_t record = 0;
    if (!n || !StyleRecordOf(*n, word, record) || !record) return 0;
    ByteLock lock = styleLock(n->styles);
    return lock.held() ? FindMeaningWithMember(n->styles, record, other) : 0;
}

int CheckStyleConflict(DBHandle h, const char* target, std::uint32_t targetRecord, const char* member,
                       std::uint32_t memberRecord, int& copySetting, bool copying) {
    DictionaryNode* n = FindDictionaryNode(h);
    if (!n || n->readOnly) return 0;
    const DictCollection& styles = n->styles;
    ByteLock lock = styleLock(styles);
    if (!lock.held()) return 0;
    auto show = [&](const char* with) {
        if (dialogs().conflict) dialogs().conflict(member, target, with, copySetting, copying);
    };
    if (FindMeaningWithMember(styles, memberRecord, target)) {
        lock.release();
        if (!copying || copySetting == 0) show(member);
        return 0;
    }
    std::vector<Meaning> tm, nm;
    ReadStyleRecord(styles, targetRecord, tm);
    ReadStyleRecord(styles, memberRecord, nm);
    std::string with;
    auto search = [&](const std::vector<Meaning>& from, const std::vector<Meaning>& in) {
        for (const Meaning& a : from) {
            if (!a.group) continue;
            for (const std::string& w : groupMembers(styles, a.group)) {
                if (sameWord(w.c_str(), member)) continue;
                for (const Meaning& b : in)
                    if (b.group && inGroup(styles, b.group, w.c_str())) {
                        with = w;
                        return true;
                    }
            }
        }
        return false;
    };
    bool conflict = search(tm, nm) || search(nm, tm);
    int meanings = static_cast<int>(nm.size());
    lock.release();
    if (copying && (copySetting == 1 || copySetting == 2)) {
        if (conflict) return 0;
        return copySetting == 2 ? 1 : (meanings == 1 ? 1 : 0);
    }
    if (conflict) {
        show(with.c_str());
        return 0;
    }
    return dialogs().chooseMeaning ? dialogs().chooseMeaning(h, target, member, copySetting, copying) : 0;
}

int LinkStyleWord(DBHandle h, const char* target, int meaning, const char* member, int& copySetting,
                  bool copying) {
    if (sameWord(target, member) || meaning < 1) return 0;
    std::uint32_t tr = 0, nr = 0;
    DictionaryNode* n = writableNode(h, target, tr);
    if (!n || !StyleRecordOf(*n, member, nr)) return 0;
    int k = nr ? CheckStyleConflict(h, target, tr, member, nr, copySetting, copying) : 1;
    if (k < 1) return 0;
    const DictCollection& styles = n->styles;
    ByteLock lock = styleLock(styles);
    if (!lock.held()) return 0;
    auto grow = [&](const char* word, std::uint32_t& record, int want) {
        std::vector<Meaning> m;
        if (record && !ReadStyleRecord(styles, record, m)) return false;
        while (static_cast<int>(m.size()) < want) {
            std::uint32_t next = AppendMeaning(n->words, styles, word, record);
            std::size_t before = m.size();
            if (!next || !ReadStyleRecord(styles, next, m) || m.size() == before) return false;
            record = next;
        }
        return true;
    };
    if (!grow(member, nr, k) || !grow(target, tr, meaning)) return 0;
    std::vector<Meaning> nm, tm;
    if (!ReadStyleRecord(styles, nr, nm) || !ReadStyleRecord(styles, tr, tm)) return 0;
    std::uint32_t g = tm[meaning - 1].group;
    if (!g) {
        g = NewGroup(styles);
        if (!g) return 0;
        tm[meaning - 1].group = g;
        WriteStyleRecord(styles, tr, tm);
        GroupTree(styles, g).insert(target);
    }
    GroupTree(styles, g).insert(member);
    JoinGroups(*n, g, nm[k - 1].group);
    // The join may have re-pointed the member's meaning already; its table is read afresh.
    ReadStyleRecord(styles, nr, nm);
    nm[k - 1].group = g;
    WriteStyleRecord(styles, nr, nm);
    return k;
}

std::uint32_t UnlinkStyleWord(DBHandle h, int meaning, const char* word) {
    DictionaryNode* n = FindDictionaryNode(h);
    std::uint32_t record = 0;
    if (!n || !StyleRecordOf(*n, word, record) || !record || n->readOnly) return record;
    const DictCollection& styles = n->styles;
    ByteLock lock = styleLock(styles);
    if (!lock.held()) return record;
    int m = meaning ? meaning : 1;
    while (record) {
        std::vector<Meaning> meanings;
        if (!ReadStyleRecord(styles, record, meanings) || m > static_cast<int>(meanings.size())) break;
        std::uint32_t g = meanings[m - 1].group;
        if (g) {
            std::vector<std::string> members = groupMembers(styles, g);
            std::string other;
            for (const std::string& x : members)
                if (!sameWord(x.c_str(), word)) {
                    other = x;
                    break;
                }
            int otherMeaning = 0;
            std::uint32_t otherRecord = 0;
            if (members.size() == 2 && StyleRecordOf(*n, other.c_str(), otherRecord))
                otherMeaning = FindMeaningWithMember(styles, otherRecord, word);
            GroupTree(styles, g).remove(word);
            if (members.size() < 3) {
                if (members.size() == 2) GroupTree(styles, g).remove(other.c_str());
                FreeGroup(styles, g);
            }
            if (otherMeaning) DropEmptyMeaning(*n, otherMeaning, other.c_str(), otherRecord, true);
        }
        std::uint32_t before = record;
        record = DropEmptyMeaning(*n, m, word, record, true);
        if (meaning) break;
        // A meaning that stayed (it keeps its description) is passed; a dropped one moves the next down.
        std::vector<Meaning> now;
        if (record == before && ReadStyleRecord(styles, record, now) && static_cast<int>(now.size()) >= m &&
            now.size() == meanings.size())
            ++m;
    }
    return record;
}

int CopyStyleEntries(DictCollection& sourceWords, const DictCollection& sourceStyles, DBHandle destination,
                     const char* word, std::uint32_t sourceRecord, int& copySetting) {
    (void)sourceWords;
    std::uint32_t dr = 0;
    DictionaryNode* n = writableNode(destination, word, dr);
    if (!n || !sourceRecord) return 0;
    ByteLock sourceLock = styleLock(sourceStyles);
    if (!sourceLock.held()) return 0;
    ByteLock lock = styleLock(n->styles);
    if (!lock.held()) return 0;
    const DictCollection& styles = n->styles;
    std::vector<Meaning> sm;
    if (!ReadStyleRecord(sourceStyles, sourceRecord, sm)) return 0;
    int result = 0;
    for (std::size_t i = 0; i < sm.size(); ++i) {
        int meaning = static_cast<int>(i + 1);
        if (DescriptionSize(sourceStyles.db, sourceStyles.descriptionTable(), sm[i].description) > 1) {
            std::vector<Meaning> dm;
            if (dr) ReadStyleRecord(styles, dr, dm);
            if (dm.size() < i + 1 || !dm[i].description) {
                while (dm.size() < i + 1) {
                    std::uint32_t next = AppendMeaning(n->words, styles, word, dr);
                    std::size_t before = dm.size();
                    if (!next || !ReadStyleRecord(styles, next, dm) || dm.size() == before) break;
                    dr = next;
                }
                std::string text;
                if (dm.size() >= i + 1 && ReadDescription(sourceStyles.db, sourceStyles.descriptionTable(),
                                                          sm[i].description, text)) {
                    bool changed = false;
                    WriteDescription(styles.db, styles.descriptionTable(), dm[i].description, changed,
                                     text.c_str());
                    if (changed) WriteStyleRecord(styles, dr, dm);
                    result = 1;
                }
            }
        }
        if (sm[i].group) {
            std::vector<std::string> members = groupMembers(sourceStyles, sm[i].group);
            if (!members.empty() && sameWord(members.back().c_str(), word)) {
                for (const std::string& x : members)
                    LinkStyleWord(destination, word, meaning, x.c_str(), copySetting, true);
                result = 1;
            }
        }
        // Linking may have moved the destination's record.
        StyleRecordOf(*n, word, dr);
    }
    return result;
}

} // namespace wortex

namespace wortex {

void DropStyleData(DBHandle h, const char* word) {
    std::uint32_t record = UnlinkStyleWord(h, 0, word);
    DictionaryNode* n = FindDictionaryNode(h);
    if (!record || !n || n->readOnly) return;
    const DictCollection& styles = n->styles;
    auto lock = ByteLock(styles.db, styles.wordTable());
    std::vector<Meaning> meanings;
    if (!lock.held() || !ReadStyleRecord(styles, record, meanings)) return;
    for (Meaning& m : meanings) {
        bool changed = false;
        WriteDescription(styles.db, styles.descriptionTable(), m.description, changed, "");
    }
    FreeDBRecord(styles.db, record, static_cast<std::uint16_t>(meanings.size() * 8 + 2), styles.wordTable());
    char w[64];
    PrepareSetWord(word, w);
    SetWordValue(n->words, w, 0, kEntryValueA);
}

void RenameStyleWord(DBHandle h, const char* oldWord, const char* newWord) {
    DictionaryNode* n = FindDictionaryNode(h);
    std::uint32_t record = 0;
    if (!n || n->readOnly || !StyleRecordOf(*n, newWord, record) || !record) return;
    const DictCollection& styles = n->styles;
    auto lock = ByteLock(styles.db, styles.wordTable());
    std::vector<Meaning> meanings;
    if (!lock.held() || !ReadStyleRecord(styles, record, meanings)) return;
    for (const Meaning& m : meanings)
        if (m.group) {
            GroupTree t(styles, m.group);
            t.remove(oldWord);
            t.insert(newWord);
        }
}

} // namespace wortex
