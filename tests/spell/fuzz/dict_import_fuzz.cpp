// Imports arbitrary bytes as a source dictionary into a fresh one. With the first byte odd the rest is the
// whole file; with it even the rest are the pages of a well-formed old-format file (each a length byte and
// that many bytes, the first one the root page), so that the old page reader gets them directly. A
// malformed source must be refused or read safely, never crash.
#include "FuzzSupport.h"
#include "DictionaryImport.h"
#include "DictionarySet.h"
#include "Doz3Format.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

using namespace wortex;

namespace {

void writeOldFile(const std::string& path, char language, const std::uint8_t* data, std::size_t size) {
    if (!CreateDBFile(path)) return;
    DBHandle h = OpenDBFile(path, 4);
    if (!h || !LockDBFile(h, 0)) {
        if (h) CloseDBFile(h);
        return;
    }
    std::uint32_t tree = CreateDBTable(h, 2);
    std::uint32_t headerAt = AllocDBRecord(h, 54, 0);
    AddDBTable(h, kOldTableName, headerAt);
    std::uint32_t rootAt = AllocDBRecord(h, 30, tree);
    std::uint32_t rootPage = 0;
    for (std::size_t at = 0; at < size;) {
        std::size_t n = data[at++];
        if (n == 0 || n > size - at) break;
        unsigned char rec[256];
        rec[0] = static_cast<unsigned char>(n);
        std::memcpy(rec + 1, data + at, n);
        at += n;
        std::uint32_t page = AllocDBRecord(h, static_cast<std::uint16_t>(n + 1), tree);
        if (!page) break;
        WriteDBBytes(h, page, rec, static_cast<std::uint16_t>(n + 1));
        if (!rootPage) rootPage = page + 1;
    }
    unsigned char header[kDictHeaderSize] = {};
    doz3::put32(header + 18, tree);
    doz3::put32(header + 26, rootAt);
    std::memcpy(header + 34, "#WXT#", 6);
    doz3::put16(header + 48, 11);
    WriteDBBytes(h, headerAt, header, kDictHeaderSize);
    unsigned char root[kRootRecordSize] = {};
    doz3::put32(root + 6, rootPage);
    root[29] = static_cast<unsigned char>(language);
    WriteDBBytes(h, rootAt, root, kRootRecordSize);
    UnlockDBFile(h, 0);
    CloseDBFile(h);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static bool side = InitDictionarySide(24) >= 0;
    (void)side;
    fuzz::startOnce();
    if (size == 0) return 0;
    static const std::string source = fuzz::scratchPath("dict-import");
    static const std::string target = source + ".target.wxd";
    if (data[0] & 1) {
        FILE* f = std::fopen(source.c_str(), "wb");
        if (!f) return 0;
        std::fwrite(data + 1, 1, size - 1, f);
        std::fclose(f);
    } else {
        static const char languages[] = {'D', 'F', 'E'};
        writeOldFile(source, languages[(data[0] >> 1) % 3], data + 1, size - 1);
    }
    if (!CreateDictionaryFile(target, 'd')) return 0;
    DBHandle h = OpenDictionary(false, target);
    if (!h) return 0;
    TextImport import;
    int ok = ImportDictionaryFile(h, source, import);
    if (ok && GetDictionaryWordCount(h) != import.added) std::abort();
    CloseDictionary(h);
    return 0;
}
