// Opens arbitrary bytes as a DOZ3 file and walks it with the checker and the engine: every operation
// must end, and none may crash.
#include "FuzzSupport.h"
#include "Doz3Checker.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace wortex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::startOnce();
    const std::string& path = fuzz::scratchPath("doz3-open");
    std::vector<unsigned char> bytes(data, data + size);
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        if (size) std::fwrite(data, 1, size, f);
        std::fclose(f);
    } else {
        return 0;
    }

    Doz3Checker checker(bytes);
    std::vector<std::uint32_t> tables = checker.directoryOffsets();
    (void)checker.check(tables, {}, false);
    (void)checker.check({}, {}, true);

    DBHandle h = OpenDBFile(path, 4);
    if (h) {
        char name[21];
        for (std::uint32_t i = 0; i < 10 && size >= 52 + 28 * (i + 1); ++i) {
            std::memcpy(name, data + 52 + 28 * i, 20);
            name[20] = 0;
            (void)FindDBTable(h, name);
        }
        tables.push_back(0);
        std::uint16_t sizeSeed =
            size >= 2 ? static_cast<std::uint16_t>(data[size - 1] | (data[size - 2] << 8)) : 7;
        if (LockDBFile(h, 0)) {
            for (std::uint32_t t : tables) {
                std::uint16_t n = static_cast<std::uint16_t>(sizeSeed % 3000 + 1);
                std::uint32_t a = AllocDBRecord(h, n, t);
                std::uint32_t b = AllocDBRecord(h, 2, t);
                unsigned char buf[64] = {};
                (void)ReadDBBytes(h, t, buf, sizeof buf);
                if (a) {
                    (void)WriteDBBytes(h, a, buf, n < sizeof buf ? n : sizeof buf);
                    FreeDBRecord(h, a, n, t);
                }
                if (b) FreeDBRecord(h, b, 2, t);
                FreeDBRecord(h, t + 24, 40, t); // maybe a bad free: refused, never fatal
            }
            (void)CreateDBTable(h, sizeSeed & 31);
            UnlockDBFile(h, 0);
        }
        CloseDBFile(h);
    }

    DBHandle text = OpenDBTextFile(path, 3);
    if (text) {
        char line[40];
        for (int i = 0; i < 1000 && ReadDBTextLine(text, line, sizeof line); ++i) {
        }
        CloseDBFile(text);
    }
    return 0;
}
