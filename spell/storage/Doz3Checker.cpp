#include "Doz3Checker.h"
#include "Doz3Format.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace wortex {

using namespace doz3;

namespace {

struct Interval {
    std::uint64_t from, to; // [from, to)
    std::string what;
    bool container = false;
};

std::string hex(std::uint64_t v) {
    static const char* d = "0123456789ABCDEF";
    std::string s;
    do {
        s.insert(s.begin(), d[v % 16]);
        v /= 16;
    } while (v);
    return "0x" + s;
}

std::string describe(const Interval& i) {
    return i.what + " [" + hex(i.from) + ", " + hex(i.to) + ")";
}

struct Chunk {
    std::uint64_t from, to, usedTo;
    std::uint32_t table;
};

} // namespace

Doz3Checker Doz3Checker::fromFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes;
    if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return Doz3Checker(std::move(bytes));
}

// Bytes past the end of the file read as zero: allocated space need not have been written yet.
std::uint32_t Doz3Checker::u32(std::uint64_t at) const {
    unsigned char b[4] = {};
    for (int i = 0; i < 4; ++i)
        if (at + i < bytes_.size()) b[i] = bytes_[at + i];
    return get32(b);
}

std::uint16_t Doz3Checker::u16(std::uint64_t at) const {
    unsigned char b[2] = {};
    for (int i = 0; i < 2; ++i)
        if (at + i < bytes_.size()) b[i] = bytes_[at + i];
    return get16(b);
}

std::vector<std::uint32_t> Doz3Checker::directoryOffsets() const {
    std::vector<std::uint32_t> out;
    for (std::uint32_t i = 0; i < kDirectoryEntries; ++i)
        if (std::uint32_t off = u32(kDirectoryOffset + i * kDirectoryEntrySize + kNameSize))
            out.push_back(off);
    return out;
}

std::vector<std::string> Doz3Checker::check(const std::vector<std::uint32_t>& tables,
                                            const std::vector<Record>& records, bool complete) const {
    std::vector<std::string> problems;
    auto fail = [&](std::string s) {
        if (problems.size() < 50) problems.push_back(std::move(s));
    };
    if (bytes_.size() < kFileStart) {
        fail("file shorter than header and directory: " + std::to_string(bytes_.size()) + " bytes");
        return problems;
    }
    if (std::string(bytes_.begin() + kMagicOffset, bytes_.begin() + kMagicOffset + 4) != "DOZ3")
        fail("no DOZ3 magic");
    const std::uint64_t end = u32(kEndOfSpaceOffset);
    if (end < kPageSize) fail("end of space " + hex(end) + " below the first page's end");
    if (end > bytes_.size() + std::uint64_t(kEndSlack))
        fail("end of space " + hex(end) + " far beyond the file");
    if (!problems.empty()) return problems;

    for (std::uint32_t i = 0; i < kDirectoryEntries; ++i) {
        std::uint64_t e = kDirectoryOffset + i * kDirectoryEntrySize;
        std::uint32_t off = u32(e + kNameSize);
        if (off == 0) continue;
        if (std::find(bytes_.begin() + e, bytes_.begin() + e + kNameSize, 0) ==
            bytes_.begin() + e + kNameSize)
            fail("directory entry " + std::to_string(i) + ": name without NUL");
        if (off >= end)
            fail("directory entry " + std::to_string(i) + ": offset " + hex(off) + " past end of space");
    }

    std::vector<std::uint32_t> all{0};
    for (std::uint32_t t : tables)
        if (t != 0 && std::find(all.begin(), all.end(), t) == all.end()) all.push_back(t);

    std::vector<Chunk> chunks;
    std::vector<Interval> leaves; // pieces that no other piece may touch
    std::map<std::uint32_t, std::vector<std::pair<std::uint64_t, std::uint64_t>>> freeByTable;

    for (std::uint32_t table : all) {
        std::string name = table == 0 ? std::string("file level") : "table " + hex(table);
        if (table != 0 && (table < kFileStart || table + std::uint64_t(kTableRecordSize) > end)) {
            fail(name + ": record outside allocated space");
            continue;
        }
        TableRecord t;
        unsigned char rec[kTableRecordSize] = {};
        for (std::uint32_t i = 0; i < kTableRecordSize; ++i)
            if (table + i < bytes_.size()) rec[i] = bytes_[table + i];
        t.decode(rec);
        if (t.used > t.chunkSize) fail(name + ": used " + std::to_string(t.used) + " beyond chunk size");
        if (t.pagesPerChunk < 1 || t.pagesPerChunk > 16)
            fail(name + ": pages per chunk " + std::to_string(t.pagesPerChunk));
        if (t.freeCount > kMaxFreeCount) fail(name + ": free count above 60000");
        leaves.push_back(
            {table, table + std::uint64_t(table == 0 ? kFileStart : kTableRecordSize), name + " record"});

        // Chunk chain, backwards from the current chunk to the first, which holds the table record.
        std::uint64_t c = t.chunk, size = t.chunkSize, usedTo = std::uint64_t(t.chunk) + t.used;
        std::size_t steps = 0;
        bool chainOk = true;
        while (true) {
            if (c + size > end || size < kChunkHeadSize) {
                fail(name + ": chunk " + hex(c) + " of " + std::to_string(size) +
                     " bytes outside allocated space");
                chainOk = false;
                break;
            }
            chunks.push_back({c, c + size, usedTo, table});
            if (c == table) {
                if (size != t.firstChunkSize) fail(name + ": first chunk size differs from its record");
                break;
            }
            leaves.push_back({c, c + kChunkHeadSize, name + " chunk head"});
            if (u16(c + 4) != size) fail(name + ": chunk head at " + hex(c) + " gives another size");
            std::uint64_t prev = u32(c);
            if (++steps > end / kChunkHeadSize) {
                fail(name + ": chunk chain runs in a circle");
                chainOk = false;
                break;
            }
            c = prev;
            size = prev == table ? t.firstChunkSize : u16(prev + 4);
            usedTo = c + size;
        }
        if (!chainOk) continue;
        if (t.chunkSize > t.used)
            leaves.push_back({std::uint64_t(t.chunk) + t.used, std::uint64_t(t.chunk) + t.chunkSize,
                              name + " unused tail"});

        // Free list.
        std::uint64_t b = t.freeHead;
        std::uint64_t count = 0;
        std::size_t blocks = 0;
        while (b) {
            if (b < kFileStart || b + kFreeBlockSize > end) {
                fail(name + ": free block " + hex(b) + " outside allocated space");
                break;
            }
            if (++blocks > end / kFreeBlockSize + 1) {
                fail(name + ": free list runs in a circle");
                break;
            }
            leaves.push_back({b, b + kFreeBlockSize, name + " free block"});
            freeByTable[table].push_back({b, b + kFreeBlockSize});
            bool ended = false;
            std::uint64_t lastOffset = 0;
            for (std::uint32_t i = 0; i < kFreeEntries; ++i) {
                std::uint64_t e = b + kFreeEntriesOffset + 6 * i;
                std::uint32_t off = u32(e);
                std::uint16_t len = u16(e + 4);
                if (len == 0) {
                    if (off != 0) fail(name + ": empty free entry with an offset in block " + hex(b));
                    ended = true;
                    continue;
                }
                if (ended) fail(name + ": free entry after the end of the used entries in block " + hex(b));
                if (i > 0 && off <= lastOffset) fail(name + ": free entries out of order in block " + hex(b));
                lastOffset = off;
                if (off + std::uint64_t(len) > end)
                    fail(name + ": free entry " + hex(off) + " past end of space");
                leaves.push_back({off, off + std::uint64_t(len), name + " free entry"});
                freeByTable[table].push_back({off, off + std::uint64_t(len)});
                ++count;
            }
            b = u32(b);
        }
        if (count != t.freeCount)
            fail(name + ": free count " + std::to_string(t.freeCount) + " but " + std::to_string(count) +
                 " entries");
    }

    for (const Record& r : records) {
        std::string name =
            "record " + hex(r.offset) + " of " + (r.table ? "table " + hex(r.table) : "file level");
        leaves.push_back({r.offset, r.offset + std::uint64_t(r.size), name});
        freeByTable[r.table].push_back({r.offset, r.offset + std::uint64_t(r.size)});
    }

    // File-level space handed out again as pages (from the file-level free list) puts a chunk inside a
    // file-level chunk, where it takes a record's place. All other chunks lie side by side.
    auto byStart = [](const Chunk& a, const Chunk& b) {
        return a.from != b.from ? a.from < b.from : a.to > b.to;
    };
    std::vector<Chunk> fileChunks;
    for (const Chunk& c : chunks)
        if (c.table == 0) fileChunks.push_back(c);
    std::sort(fileChunks.begin(), fileChunks.end(), byStart);
    // The chunk of a sorted list whose used part holds [from, to), if any.
    auto usedPartHolding = [](const std::vector<Chunk>& sortedList, std::uint64_t from,
                              std::uint64_t to) -> const Chunk* {
        auto it = std::upper_bound(sortedList.begin(), sortedList.end(), from,
                                   [](std::uint64_t v, const Chunk& c) { return v < c.from; });
        while (it != sortedList.begin()) {
            --it;
            if (from >= it->from && to <= it->usedTo) return &*it;
        }
        return nullptr;
    };
    std::vector<Chunk> topLevel;
    for (const Chunk& c : chunks) {
        const Chunk* outer = nullptr;
        auto it = std::upper_bound(fileChunks.begin(), fileChunks.end(), c.from,
                                   [](std::uint64_t v, const Chunk& k) { return v < k.from; });
        while (it != fileChunks.begin()) {
            --it;
            bool same = it->from == c.from && it->to == c.to && it->table == c.table;
            if (!same && c.from >= it->from && c.to <= it->to) {
                outer = &*it;
                break;
            }
        }
        if (outer) {
            if (c.to > outer->usedTo)
                fail("chunk " + hex(c.from) + " beyond the used part of chunk " + hex(outer->from));
            // A file-level chunk inside file-level space only adds file-level pieces, whose free space may
            // join with the space around it; a table chunk there is one piece holding its own.
            if (c.table != 0)
                leaves.push_back({c.from, c.to, "chunk " + hex(c.from) + " inside file-level space", true});
        } else {
            topLevel.push_back(c);
        }
    }
    std::sort(topLevel.begin(), topLevel.end(), byStart);
    for (std::size_t i = 1; i < topLevel.size(); ++i)
        if (topLevel[i].from < topLevel[i - 1].to)
            fail("chunks " + hex(topLevel[i - 1].from) + " and " + hex(topLevel[i].from) + " overlap");

    // Every piece of a table lies in the used part of one of its chunks.
    for (const auto& [table, pieces] : freeByTable) {
        std::vector<Chunk> own;
        for (const Chunk& c : chunks)
            if (c.table == table) own.push_back(c);
        std::sort(own.begin(), own.end(), byStart);
        for (const auto& [from, to] : pieces)
            if (!usedPartHolding(own, from, to))
                fail("piece " + hex(from) + " of " +
                     (table ? "table " + hex(table) : std::string("file level")) +
                     " outside the used part of its chunks");
    }

    // Nothing overlaps anything else, except that a chunk inside file-level space contains its pieces.
    std::vector<Interval> sorted;
    for (const Interval& i : leaves)
        if (i.to > i.from) sorted.push_back(i);
    std::sort(sorted.begin(), sorted.end(), [](const Interval& a, const Interval& b) {
        return a.from != b.from ? a.from < b.from : a.to != b.to ? a.to > b.to : a.container > b.container;
    });
    std::vector<const Interval*> open;
    for (const Interval& i : sorted) {
        while (!open.empty() && open.back()->to <= i.from)
            open.pop_back();
        if (!open.empty() && !(open.back()->container && i.to <= open.back()->to))
            fail(describe(i) + " overlaps " + describe(*open.back()));
        open.push_back(&i);
    }

    if (complete) {
        // The chunks side by side make up all allocated space.
        std::uint64_t at = 0;
        for (const Chunk& c : topLevel) {
            std::uint64_t from = c.from, to = c.to;
            if (from > at) fail("allocated space " + hex(at) + ".." + hex(from) + " belongs to no chunk");
            at = std::max(at, to);
        }
        if (at != end) fail("chunks end at " + hex(at) + ", allocated space at " + hex(end));
    }
    return problems;
}

} // namespace wortex
