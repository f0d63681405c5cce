#include "DictionaryFile.h"

#include "Doz3Format.h"
#include "Letters.h"

#include <cstring>

namespace wortex {

using doz3::get16;
using doz3::get32;
using doz3::put16;
using doz3::put32;

namespace {
constexpr char kMagic[6] = "#WXT#";
}

std::uint32_t DictCollection::descriptionTable() const {
    return get32(header + 14);
}
std::uint32_t DictCollection::wordTable() const {
    return get32(header + 18);
}
std::uint32_t DictCollection::rootRecord() const {
    return get32(header + 26);
}
std::uint16_t DictCollection::format() const {
    return get16(header + 48);
}

int CreateDictionary(const std::string& fileName, char language) {
    DBHandle h = OpenDBFile(fileName, 4);
    if (!h) return 0;
    if (!LockDBFile(h, 0)) {
        CloseDBFile(h);
        return 0;
    }
    CreateDictionaryTable(h, kWordTableName, language);
    CreateDictionaryTable(h, kStyleTableName, language);
    UnlockDBFile(h, 0);
    CloseDBFile(h);
    return 1;
}

void CreateDictionaryTable(DBHandle h, const char* name, char language) {
    if (FindDBTable(h, name)) return;
    unsigned char root[kRootRecordSize] = {};
    root[29] = AnsiToUpper(static_cast<unsigned char>(language));
    std::uint32_t headerAt = AllocDBRecord(h, kDictHeaderSize, 0);
    if (!headerAt || !AddDBTable(h, name, headerAt)) return;
    unsigned char header[kDictHeaderSize] = {};
    put16(header + 48, kCurrentFormat);
    std::memcpy(header + 34, kMagic, sizeof kMagic);
    put16(header + 32, kRootRecordSize);
    std::uint32_t words = CreateDBTable(h, 2);
    put32(header + 18, words);
    put32(header + 14, CreateDBTable(h, 2));
    std::uint32_t rootAt = words ? AllocDBRecord(h, kRootRecordSize, words) : 0;
    if (rootAt) WriteDBBytes(h, rootAt, root, kRootRecordSize);
    put32(header + 26, rootAt);
    put32(header + 44, rootAt);
    put32(header + 40, headerAt);
    WriteDBBytes(h, headerAt, header, kDictHeaderSize);
}

int OpenDictionaryTable(DBHandle h, DictCollection& collection, int kind) {
    if (!LockDBFileShared(h)) return 0;
    collection = DictCollection{};
    collection.db = h;
    std::uint32_t at = FindDBTable(h, kind == 2 ? kStyleTableName : kWordTableName);
    if (!at) at = FindDBTable(h, kOldTableName);
    int ok = at && ReadDBBytes(h, at, collection.header, kDictHeaderSize);
    // A header that does not describe itself is not a dictionary header: refuse it before any of its
    // offsets is followed. Of an old file, which is only read through its root record, no more is asked
    // than the magic and that offset.
    if (ok) {
        const unsigned char* p = collection.header;
        ok = std::memcmp(p + 34, kMagic, sizeof kMagic) == 0 && get32(p + 26) != 0;
        if (ok && collection.format() == kCurrentFormat)
            ok = get32(p + 40) == at && get32(p + 26) == get32(p + 44) && get16(p + 32) == kRootRecordSize &&
                 get32(p + 18) != 0;
    }
    UnlockDBFileShared(h);
    if (!ok) collection = DictCollection{h};
    return ok;
}

int InitDictionaryEngine(std::uint16_t cachePages) {
    return InitDBEngine(cachePages);
}

void TermDictionaryEngine() {
    TermDBEngine();
}

} // namespace wortex
