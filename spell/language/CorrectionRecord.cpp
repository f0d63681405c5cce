#include "CorrectionRecord.h"

#include <cstring>

namespace wortex {
namespace {

void put32(unsigned char* at, std::uint32_t value) {
    for (int k = 0; k < 4; ++k)
        at[k] = static_cast<unsigned char>(value >> (8 * k));
}

std::uint32_t get32(const unsigned char* at) {
    std::uint32_t value = 0;
    for (int k = 3; k >= 0; --k)
        value = value << 8 | at[k];
    return value;
}

} // namespace

int ReadCorrectionRecord(DBHandle h, std::uint32_t offset, CorrectionRecord& record) {
    unsigned char bytes[kCorrectionRecordSize];
    if (!offset || !ReadDBBytes(h, offset, bytes, kCorrectionRecordSize)) return 0;
    std::memcpy(record.inText, bytes, 64);
    std::memcpy(record.shown, bytes + 64, 64);
    std::memcpy(record.correction, bytes + 128, 64);
    record.inText[63] = record.shown[63] = record.correction[63] = 0;
    record.kind = get32(bytes + 192);
    record.startColumn = static_cast<std::int32_t>(get32(bytes + 196));
    record.startLine = static_cast<std::int32_t>(get32(bytes + 200));
    record.endColumn = static_cast<std::int32_t>(get32(bytes + 204));
    record.endLine = static_cast<std::int32_t>(get32(bytes + 208));
    record.next = get32(bytes + 212);
    record.previous = get32(bytes + 216);
    return 1;
}

int WriteCorrectionRecord(DBHandle h, std::uint32_t offset, const CorrectionRecord& record) {
    unsigned char bytes[kCorrectionRecordSize];
    std::memcpy(bytes, record.inText, 64);
    std::memcpy(bytes + 64, record.shown, 64);
    std::memcpy(bytes + 128, record.correction, 64);
    put32(bytes + 192, record.kind);
    put32(bytes + 196, static_cast<std::uint32_t>(record.startColumn));
    put32(bytes + 200, static_cast<std::uint32_t>(record.startLine));
    put32(bytes + 204, static_cast<std::uint32_t>(record.endColumn));
    put32(bytes + 208, static_cast<std::uint32_t>(record.endLine));
    put32(bytes + 212, record.next);
    put32(bytes + 216, record.previous);
    return offset ? WriteDBBytes(h, offset, bytes, kCorrectionRecordSize) : 0;
}

} // namespace wortex
