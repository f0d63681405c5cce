#pragma once
// On-disk layout of DOZ3 files: little-endian numbers, 1024-byte pages.
#include <cstdint>
#include <cstring>

namespace wortex::doz3 {

constexpr std::uint32_t kPageSize = 1024;
constexpr std::uint32_t kHeaderSize = 52;
constexpr std::uint32_t kDirectoryOffset = 52;
constexpr std::uint32_t kDirectorySize = 288;
constexpr std::uint32_t kDirectoryEntries = 10;
constexpr std::uint32_t kDirectoryEntrySize = 28;
constexpr std::uint32_t kNameSize = 20;
constexpr std::uint32_t kFileStart = kHeaderSize + kDirectorySize; // 340: bytes of a new file
constexpr std::uint32_t kMagicOffset = 24;
constexpr std::uint32_t kEndOfSpaceOffset = 48;
constexpr std::uint32_t kTableRecordSize = 24;
constexpr std::uint32_t kChunkHeadSize = 6;
constexpr std::uint32_t kFreeBlockSize = 2042;
constexpr std::uint32_t kFreeEntries = 339;
constexpr std::uint32_t kFreeEntriesOffset = 8;
constexpr std::uint32_t kMaxFreeCount = 60000;
constexpr std::uint32_t kMaxJoinedLength = 30000;
constexpr std::uint32_t kPurgeLength = 20;
// Chunk sizes are u16; the largest whole-page chunk is 63 pages.
constexpr std::uint32_t kMaxChunkSize = 63 * kPageSize;
// How far the end of allocated space may lie beyond the bytes a file really has: one largest chunk whose
// head was written and whose rest was not (yet).
constexpr std::uint32_t kEndSlack = kMaxChunkSize + kPageSize;
constexpr std::uint32_t kWholeFileLockLength = 100000000;

inline std::uint16_t get16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
inline std::uint32_t get32(const unsigned char* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
inline void put16(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}
inline void put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<unsigned char>(v >> (8 * i));
}

// DBTableRecord; the file header's first 24 bytes have this layout too.
struct TableRecord {
    std::uint32_t unused0 = 0; // the change counter in the file header
    std::uint16_t firstChunkSize = 0;
    std::uint32_t chunk = 0;
    std::uint16_t used = 0;
    std::uint16_t chunkSize = 0;
    std::uint16_t pagesPerChunk = 0;
    std::uint16_t reserved = 0;
    std::uint32_t freeHead = 0;
    std::uint16_t freeCount = 0;

    void decode(const unsigned char* p) {
        unused0 = get32(p);
        firstChunkSize = get16(p + 4);
        chunk = get32(p + 6);
        used = get16(p + 10);
        chunkSize = get16(p + 12);
        pagesPerChunk = get16(p + 14);
        reserved = get16(p + 16);
        freeHead = get32(p + 18);
        freeCount = get16(p + 22);
    }
    void encode(unsigned char* p) const {
        put32(p, unused0);
        put16(p + 4, firstChunkSize);
        put32(p + 6, chunk);
        put16(p + 10, used);
        put16(p + 12, chunkSize);
        put16(p + 14, pagesPerChunk);
        put16(p + 16, reserved);
        put32(p + 18, freeHead);
        put16(p + 22, freeCount);
    }
};

struct FreeEntry {
    std::uint32_t offset = 0;
    std::uint16_t length = 0;
};

// DBFreeBlock
struct DBFreeBlock {
    std::uint32_t next = 0;
    std::uint32_t reserved = 0;
    FreeEntry entries[kFreeEntries];

    void decode(const unsigned char* p) {
        next = get32(p);
        reserved = get32(p + 4);
        for (std::uint32_t i = 0; i < kFreeEntries; ++i) {
            entries[i].offset = get32(p + kFreeEntriesOffset + 6 * i);
            entries[i].length = get16(p + kFreeEntriesOffset + 6 * i + 4);
        }
    }
    void encode(unsigned char* p) const {
        put32(p, next);
        put32(p + 4, reserved);
        for (std::uint32_t i = 0; i < kFreeEntries; ++i) {
            put32(p + kFreeEntriesOffset + 6 * i, entries[i].offset);
            put16(p + kFreeEntriesOffset + 6 * i + 4, entries[i].length);
        }
    }
};

} // namespace wortex::doz3
