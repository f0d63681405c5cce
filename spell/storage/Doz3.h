#pragma once
// DOZ3, the single-file database engine of the dictionaries: numbered handles on files, up to ten named
// tables per file, record space with free lists, byte-exact reads and writes through a shared page cache,
// and locks against other processes. Results are 1 (or a handle/offset) for success and 0 for failure.
#include <cstdint>
#include <string>
#include <vector>

namespace wortex {

using DBHandle = std::uint16_t;

int InitDBEngine(std::uint16_t cachePages);
// Keeps the engine's process data locked for a run of calls (a look-up's many small reads); calls inside
// it behave exactly as without it. Not across InitDBEngine or TermDBEngine.
class DBEngineHold {
public:
    DBEngineHold();
    ~DBEngineHold();
    DBEngineHold(const DBEngineHold&) = delete;
    DBEngineHold& operator=(const DBEngineHold&) = delete;

private:
    bool held_;
};
void TermDBEngine();
// keepExisting: fails when the file exists by the time it is complete, instead of replacing it.
int CreateDBFile(const std::string& fileName, bool keepExisting = false);
DBHandle OpenDBFile(const std::string& fileName, int shareMode);
DBHandle OpenDBTextFile(const std::string& fileName, int shareMode);
void CloseDBFile(DBHandle h);
void CloseAllDBFiles();
// key 0 locks the whole file; any other key the single byte at that offset.
int LockDBFile(DBHandle h, std::uint32_t key);
// 0 when a write failed since the change began: the file then holds what it held before the change.
int UnlockDBFile(DBHandle h, std::uint32_t key);
// A reader's lock on the whole file: readers share it, a writer's lock waits for them and they for it.
int LockDBFileShared(DBHandle h);
void UnlockDBFileShared(DBHandle h);
std::uint32_t FindDBTable(DBHandle h, const char* name);
int AddDBTable(DBHandle h, const char* name, std::uint32_t offset);
std::uint32_t CreateDBTable(DBHandle h, std::uint16_t pagesPerChunk);
// table 0 is the file-level table of the header.
std::uint32_t AllocDBRecord(DBHandle h, std::uint16_t size, std::uint32_t table);
void FreeDBRecord(DBHandle h, std::uint32_t offset, std::uint16_t size, std::uint32_t table);
// 1 when the file has every byte the table has handed out: a file cut short fails.
int CheckDBTableSpace(DBHandle h, std::uint32_t table);
// The engine's message for a file whose structure does not hold together; the file takes no changes.
void ReportBadDBFile(DBHandle h);
int ReadDBBytes(DBHandle h, std::uint32_t offset, void* buffer, std::uint16_t length);
// The cached bytes at offset, read in place, when all length bytes lie in one page and within the file's
// bytes; null otherwise (ReadDBBytes then copies them across pages). The cache treats it as a read of
// those bytes. available (if given) gets the count of the file's bytes from offset to the end of the page,
// which a further read of them would find in place. The pointer holds until the next call into the engine.
// version (if given) gets a number that stays the same exactly as long as the cached bytes of that page
// stay the same: never used twice, changed by every write into them and every new read of the page.
const unsigned char* PeekDBBytes(DBHandle h, std::uint32_t offset, std::uint16_t length,
                                 std::uint16_t* available = nullptr, std::uint64_t* version = nullptr);
// 0 when the file refuses changes after a failed write or a damaged structure.
int WriteDBBytes(DBHandle h, std::uint32_t offset, const void* buffer, std::uint16_t length);
int ReadDBTextLine(DBHandle h, char* buffer, std::uint16_t capacity);
std::uint32_t GetDBPosition(DBHandle h);
void SetDBPosition(DBHandle h, std::uint32_t position);
int IsDBFileOpen(const std::string& fileName);
// Copies the full path (at most 259 bytes and a NUL) into a buffer of 260.
int GetDBFileName(DBHandle h, char* buffer);
int FlushDBFile(DBHandle h);
// A number that changes whenever what reads could find may have changed: a write into any file, a file
// opened or closed, cached pages dropped (among them those of a file another process changed).
std::uint64_t DBContentStamp();
// Writes into h's file stop changing DBContentStamp, for a private file that no look-up reads. Opening and
// closing it still change it.
void ExcludeFromContentStamp(DBHandle h);

// Pages of the cache since InitDBEngine, 0 before.
std::uint16_t DBCachePages();
// The cache's slots in order: file number (0 = free), age (0 = free, 1 = used last) and page offset.
struct DBCacheSlotState {
    std::uint16_t fileNumber;
    std::uint16_t age;
    std::uint32_t page;
    bool operator==(const DBCacheSlotState&) const = default;
};
std::vector<DBCacheSlotState> GetDBCacheState();

} // namespace wortex
