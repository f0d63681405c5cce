#include "SpellTestSupport.h"

#include "CorrectionRecord.h"

#include <cstring>

namespace wortex::test {
namespace {

class CorrectionRecords : public EngineTest {};

TEST_F(CorrectionRecords, FieldsAtTheirOffsets) {
    DBHandle h = createAndOpen("HIST.TMP");
    std::uint32_t at = AllocDBRecord(h, kCorrectionRecordSize, 0);
    ASSERT_NE(at, 0u);
    CorrectionRecord r{};
    std::strcpy(r.inText, "Rechtschreibunk");
    std::strcpy(r.shown, "Rechtschreibunk");
    std::strcpy(r.correction, "Rechtschreibung");
    r.kind = 0x20000;
    r.startColumn = 4;
    r.startLine = 1;
    r.endColumn = 19;
    r.endLine = 2;
    r.next = 0x01020304;
    r.previous = 0xA0B0C0D0;
    ASSERT_EQ(WriteCorrectionRecord(h, at, r), 1);
    unsigned char bytes[kCorrectionRecordSize];
    ASSERT_EQ(ReadDBBytes(h, at, bytes, kCorrectionRecordSize), 1);
    struct Field {
        std::size_t offset;
        std::uint32_t value;
    } fields[] = {{192, 0x20000}, {196, 4},          {200, 1},         {204, 19},
                  {208, 2},       {212, 0x01020304}, {216, 0xA0B0C0D0}};
    for (const Field& f : fields) {
        std::uint32_t v = bytes[f.offset] | bytes[f.offset + 1] << 8 | bytes[f.offset + 2] << 16 |
                          static_cast<std::uint32_t>(bytes[f.offset + 3]) << 24;
        EXPECT_EQ(v, f.value) << f.offset;
    }
    EXPECT_STREQ(reinterpret_cast<char*>(bytes + 128), "Rechtschreibung");
    CorrectionRecord back{};
    ASSERT_EQ(ReadCorrectionRecord(h, at, back), 1);
    EXPECT_EQ(std::memcmp(&back, &r, sizeof r), 0);
    EXPECT_EQ(ReadCorrectionRecord(h, 0, back), 0) << "offset 0 is no record";
    EXPECT_EQ(WriteCorrectionRecord(h, 0, r), 0);
    CloseDBFile(h);
}

} // namespace
} // namespace wortex::test
