// Random allocate/free sequences on a fresh file, read from the input; the structure checker must find
// nothing, and every live record must read back as written, in this process and after a reopen.
#include "FuzzSupport.h"
#include "Doz3Checker.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace wortex;

namespace {

struct Live {
    std::uint32_t offset;
    std::uint16_t size;
    std::uint32_t table;
    unsigned char fill;
};

[[noreturn]] void finding(const char* what, const std::string& detail = {}) {
    std::fprintf(stderr, "doz3_alloc_fuzz: %s %s\n", what, detail.c_str());
    std::abort();
}

bool readsBack(DBHandle h, const Live& r) {
    std::vector<unsigned char> got(r.size);
    if (!ReadDBBytes(h, r.offset, got.data(), r.size)) return false;
    for (unsigned char c : got)
        if (c != r.fill) return false;
    return true;
}

void checkFile(const std::string& path, const std::vector<std::uint32_t>& tables,
               const std::vector<Live>& live) {
    std::vector<Doz3Checker::Record> records;
    for (const Live& r : live)
        records.push_back({r.offset, r.size, r.table});
    auto problems = Doz3Checker::fromFile(path).check(tables, records);
    if (!problems.empty()) finding("checker:", problems.front());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::startOnce();
    const std::string& path = fuzz::scratchPath("doz3-alloc");
    if (!CreateDBFile(path)) finding("create failed");
    DBHandle h = OpenDBFile(path, 4);
    if (!h) finding("open failed");
    std::vector<std::uint32_t> tables{0};
    std::vector<Live> live;
    std::size_t at = 0;
    auto next = [&]() -> std::uint8_t { return at < size ? data[at++] : 0; };
    if (!LockDBFile(h, 0)) finding("lock failed");
    std::size_t tableCount = next() % 4;
    for (std::size_t i = 0; i < tableCount; ++i)
        tables.push_back(CreateDBTable(h, next() % 17));
    for (std::size_t i = 1; i < tables.size(); ++i) {
        if (tables[i] == 0) finding("table creation failed");
        // Registered, so that files left behind make seeds that name their tables.
        if (!AddDBTable(h, ("T" + std::to_string(i)).c_str(), tables[i]))
            finding("directory refused a table");
    }
    std::vector<std::uint32_t> checkedTables(tables.begin() + 1, tables.end());

    int ops = 0;
    while (at < size && ops < 4000) {
        ++ops;
        std::uint8_t op = next();
        if (op % 3 != 0 || live.empty()) {
            std::uint32_t table = tables[next() % tables.size()];
            std::uint16_t n = static_cast<std::uint16_t>(next() | (next() << 8));
            switch (op >> 6) {
            case 0:
                n = static_cast<std::uint16_t>(n % 32 + 1);
                break;
            case 1:
                n = static_cast<std::uint16_t>(n % 600 + 1);
                break;
            case 2:
                n = static_cast<std::uint16_t>(n % 5000 + 1);
                break;
            default:
                n = static_cast<std::uint16_t>(n % 64506 + 1);
                break;
            }
            std::uint32_t offset = AllocDBRecord(h, n, table);
            if (!offset) finding("allocation failed");
            auto fill = static_cast<unsigned char>(ops);
            std::vector<unsigned char> bytes(n, fill);
            if (!WriteDBBytes(h, offset, bytes.data(), n)) finding("write failed");
            live.push_back({offset, n, table, fill});
        } else {
            std::size_t k = (next() | (next() << 8)) % live.size();
            FreeDBRecord(h, live[k].offset, live[k].size, live[k].table);
            live[k] = live.back();
            live.pop_back();
        }
        if (ops % 500 == 0) {
            UnlockDBFile(h, 0);
            checkFile(path, checkedTables, live);
            if (!LockDBFile(h, 0)) finding("lock failed");
        }
    }
    UnlockDBFile(h, 0);
    if (!fuzz::ui().shown.empty()) finding("message:", fuzz::ui().shown.front().text);
    checkFile(path, checkedTables, live);
    for (const Live& r : live)
        if (!readsBack(h, r)) finding("record does not read back");
    CloseDBFile(h);
    h = OpenDBFile(path, 4);
    for (const Live& r : live)
        if (!readsBack(h, r)) finding("record does not read back after reopen");
    CloseDBFile(h);
    return 0;
}
