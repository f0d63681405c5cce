#pragma once
// Walks a DOZ3 file as bytes, independently of the engine, and reports every broken invariant: header and
// directory, the chunk chains of the tables, the free lists, and that nothing overlaps anything else.
#include <cstdint>
#include <string>
#include <vector>

namespace wortex {

class Doz3Checker {
public:
    struct Record {
        std::uint32_t offset;
        std::uint16_t size;
        std::uint32_t table; // 0 = file level
    };

    explicit Doz3Checker(std::vector<unsigned char> bytes) : bytes_(std::move(bytes)) {}
    // Empty bytes when the file can't be read: check() then reports that.
    static Doz3Checker fromFile(const std::string& path);

    // tables: the offsets of the file's tables besides the file-level one. records: the live records the
    // caller knows of. With complete set, the chunks must cover all allocated space and every table must
    // be known. Returns the problems found, empty for a sound file.
    std::vector<std::string> check(const std::vector<std::uint32_t>& tables,
                                   const std::vector<Record>& records = {}, bool complete = true) const;

    // Tables registered in the directory (offsets, as the engine's callers registered them).
    std::vector<std::uint32_t> directoryOffsets() const;

private:
    std::uint32_t u32(std::uint64_t at) const;
    std::uint16_t u16(std::uint64_t at) const;
    std::vector<unsigned char> bytes_;
};

} // namespace wortex
