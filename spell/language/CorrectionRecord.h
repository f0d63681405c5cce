#pragma once
// The record of one automatic correction in a check's history file: 220 bytes in a DOZ3 file, chained
// both ways by file offsets.
#include "Doz3.h"

#include <cstdint>

namespace wortex {

struct CorrectionRecord {
    char inText[64];     // the word as it stood in the text
    char shown[64];      // the word as shown to the user
    char correction[64]; // the correction written into the text
    std::uint32_t kind;  // without the beep bits
    std::int32_t startColumn, startLine, endColumn, endLine;
    std::uint32_t next;     // 0 = last
    std::uint32_t previous; // 0 = first
};
constexpr std::uint16_t kCorrectionRecordSize = 220;
static_assert(sizeof(CorrectionRecord) == kCorrectionRecordSize);

// Field by field at their offsets, little-endian; 0 when the file refuses.
int ReadCorrectionRecord(DBHandle h, std::uint32_t offset, CorrectionRecord& record);
int WriteCorrectionRecord(DBHandle h, std::uint32_t offset, const CorrectionRecord& record);

} // namespace wortex
