#include "Doz3.h"
#include "Doz3Format.h"
#include "Support.h"

#include "platform/win32/FileApi.h"
#include "platform/win32/GlobalMemory.h"
#include "platform/win32/Kernel.h"
#include "platform/win32/UiServices.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <new>
#include <vector>

namespace wortex {

using namespace win32;
using namespace doz3;

namespace {

constexpr std::size_t kPathSize = 260;
// Clock steps (about a second each) a lock is tried before the user is asked.
constexpr int kLockWaitSteps = 5;

struct DBFileRecord {
    std::uint16_t useCount;
    std::uint32_t changeCounter;
    char path[kPathSize];
    std::uint32_t dirty;
    // Pages went to disk under a held whole-file lock; the change counter is raised at the final unlock.
    bool counterPending;
    // Once a write failed or the structure was found damaged the file takes no more changes.
    bool refusesChanges;
    // Bytes the file has: its size on disk or the end of the last write, whichever is larger.
    std::uint32_t knownSize;
    // Writes into the file leave DBContentStamp alone (ExcludeFromContentStamp).
    bool uncounted;
};

struct DBFileEntry {
    DBFileRecord* record;
    std::uint16_t openCount;
    HANDLE osHandle;
    std::uint16_t sequential;
    std::uint16_t writeLockDepth;
    // One-byte locks held at the operating system: the whole-file range absorbs them (POSIX locks of one
    // descriptor merge), so releasing it must leave these bytes locked.
    std::uint16_t byteLockCount;
    std::uint32_t byteLocks[8];
    // Readers' locks: nested ones only count; the first takes the whole file shared at the operating system
    // unless this process already held a lock of its own there.
    std::uint16_t readLockDepth;
    bool readLockHeld;
};

struct DBHandleSlot {
    std::uint16_t fileNumber;
    std::uint32_t position;
    std::uint16_t cacheHint;
};

// The slot's age is kept by CacheAges.
struct DBCacheSlot {
    std::uint16_t fileNumber;
    std::uint32_t page;
    std::uint16_t dirtyStart;
    std::uint16_t dirtyEnd;
    std::uint16_t valid;
    unsigned char* buffer;
    std::uint64_t version; // new with every fill of the slot and every change of its bytes
};

// The engine's per-process block.
struct DBProcessBlock {
    std::uint16_t fileEntryCount;
    HGLOBAL fileEntryBlock;
    DBFileEntry* fileEntries;
    std::uint16_t slotCount;
    HGLOBAL slotBlock;
    DBHandleSlot* slots;
};

// Finds the slot of a (file, page) in constant time: chains of slot numbers (index + 1, 0 = end) from
// buckets, kept beside the slots. Only slots holding a page are linked; each page is in one slot at most.
class CacheIndex {
public:
    void reset(std::size_t slots) {
        std::size_t buckets = 1;
        while (buckets < slots * 2)
            buckets <<= 1;
        heads_.assign(slots ? buckets : 0, 0);
        next_.assign(slots, 0);
        mask_ = buckets - 1;
    }
    template <class Slots>
    std::size_t find(const Slots& cache, std::uint16_t file, std::uint32_t page) const {
        if (heads_.empty()) return npos;
        for (std::uint16_t k = heads_[bucket(file, page)]; k; k = next_[k - 1]) {
            const auto& s = cache[k - 1];
            if (s.page == page && s.fileNumber == file) return k - 1u;
        }
        return npos;
    }
    void link(std::size_t slot, std::uint16_t file, std::uint32_t page) {
        std::uint16_t& head = heads_[bucket(file, page)];
        next_[slot] = head;
        head = static_cast<std::uint16_t>(slot + 1);
    }
    void unlink(std::size_t slot, std::uint16_t file, std::uint32_t page) {
        std::uint16_t* at = &heads_[bucket(file, page)];
        while (*at && *at != slot + 1)
            at = &next_[*at - 1];
        if (*at) *at = next_[slot];
        next_[slot] = 0;
    }
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    std::size_t bucket(std::uint16_t file, std::uint32_t page) const {
        std::uint32_t h = ((page >> 10) ^ (std::uint32_t(file) << 22)) * 0x9E3779B1u;
        return (h ^ (h >> 15)) & mask_;
    }
    std::vector<std::uint16_t> heads_, next_;
    std::size_t mask_ = 0;
};

// The ages of the slots without touching every slot on a miss: a used slot's age is 1 + the misses since
// its last use, at most 30000, kept as the count of misses at that use; a free slot's age is 0. Used
// slots are chained from the least recently used, so the oldest stand at the front.
class CacheAges {
public:
    static constexpr std::uint16_t kMaxAge = 30000;
    void reset(std::size_t slots) {
        stamp_.assign(slots, 0);
        used_.assign(slots, 0);
        prev_.assign(slots, 0);
        next_.assign(slots, 0);
        head_ = tail_ = 0;
        misses_ = 0;
        freeSlots_ = slots;
    }
    std::uint16_t age(std::size_t slot) const {
        if (!used_[slot]) return 0;
        std::uint64_t a = 1 + misses_ - stamp_[slot];
        return a < kMaxAge ? static_cast<std::uint16_t>(a) : kMaxAge;
    }
    // The slot was used now: its age is 1.
    void use(std::size_t slot) {
        if (used_[slot]) {
            if (tail_ == slot + 1) {
                stamp_[slot] = misses_;
                return;
            }
            unlink(slot);
        } else {
            used_[slot] = 1;
            --freeSlots_;
        }
        stamp_[slot] = misses_;
        prev_[slot] = tail_;
        next_[slot] = 0;
        if (tail_)
            next_[tail_ - 1] = static_cast<std::uint16_t>(slot + 1);
        else
            head_ = static_cast<std::uint16_t>(slot + 1);
        tail_ = static_cast<std::uint16_t>(slot + 1);
    }
    void release(std::size_t slot) {
        if (!used_[slot]) return;
        unlink(slot);
        used_[slot] = 0;
        ++freeSlots_;
    }
    // A miss ages every used slot by one and names the slot that takes the page: the first free slot, else
    // the oldest, the first on ties.
    std::size_t miss() {
        ++misses_;
        if (freeSlots_)
            for (std::size_t i = 0; i < used_.size(); ++i)
                if (!used_[i]) return i;
        std::size_t victim = head_ - 1u;
        std::uint16_t oldest = age(victim);
        for (std::uint16_t k = next_[victim]; k && age(k - 1u) == oldest; k = next_[k - 1])
            victim = std::min<std::size_t>(victim, k - 1u);
        return victim;
    }

private:
    void unlink(std::size_t slot) {
        std::uint16_t p = prev_[slot], n = next_[slot];
        if (p)
            next_[p - 1] = n;
        else
            head_ = n;
        if (n)
            prev_[n - 1] = p;
        else
            tail_ = p;
    }
    std::vector<std::uint64_t> stamp_;
    std::vector<unsigned char> used_;
    std::vector<std::uint16_t> prev_, next_; // slot + 1, 0 = none
    std::uint16_t head_ = 0, tail_ = 0;
    std::uint64_t misses_ = 0;
    std::size_t freeSlots_ = 0;
};

// What a file held before the change under way reached its disk: its size and the bytes of every page
// written over since the last completed flush. A failed write puts them back, so a change is all or
// nothing.
struct UndoLog {
    bool active = false;
    std::uint32_t size = 0;
    std::map<std::uint32_t, std::vector<unsigned char>> pages;
};

struct Engine {
    ProcessDataRoot root;
    std::map<std::uint16_t, UndoLog> undo; // by file number
    std::deque<DBFileRecord> files;        // stable addresses: entries refer to records
    std::vector<DBCacheSlot> cache;
    CacheIndex index;
    CacheAges ages;
    std::unique_ptr<unsigned char[]> cacheMemory;
    std::uint64_t versions = 0;
    std::uint64_t contentChanges = 0; // see DBContentStamp
};

Engine& engine() {
    static Engine e;
    return e;
}

void changed(DBCacheSlot& s) {
    s.version = ++engine().versions;
}

// The process data stays locked while any ProcessLock (or DBEngineHold) is alive: inner ones reuse the
// outer one's block instead of locking it again, which a run of small reads would pay for each time.
DBProcessBlock* heldBlock = nullptr;
unsigned heldDepth = 0;

DBProcessBlock* acquireProcessBlock() {
    if (heldDepth) {
        ++heldDepth;
        return heldBlock;
    }
    auto* b = static_cast<DBProcessBlock*>(LockProcessData(engine().root));
    if (b) {
        heldBlock = b;
        heldDepth = 1;
    }
    return b;
}

void releaseProcessBlock() {
    if (heldDepth && --heldDepth == 0) {
        heldBlock = nullptr;
        UnlockProcessData(engine().root);
    }
}

// Holds the process block locked for one operation.
class ProcessLock {
public:
    ProcessLock() : block_(acquireProcessBlock()) {}
    ~ProcessLock() {
        if (block_) releaseProcessBlock();
    }
    ProcessLock(const ProcessLock&) = delete;
    ProcessLock& operator=(const ProcessLock&) = delete;
    DBProcessBlock* operator->() const { return block_; }
    explicit operator bool() const { return block_ != nullptr; }

private:
    DBProcessBlock* block_;
};

struct Open {
    DBHandleSlot* slot;
    DBFileEntry* entry;
    DBFileRecord* record;
    std::uint16_t fileNumber;
};

bool resolve(const ProcessLock& p, DBHandle h, Open& o) {
    if (!p || h == 0 || h > p->slotCount) return false;
    DBHandleSlot& s = p->slots[h - 1];
    if (s.fileNumber == 0 || s.fileNumber > p->fileEntryCount) return false;
    o.slot = &s;
    o.entry = &p->fileEntries[s.fileNumber - 1];
    o.record = o.entry->record;
    o.fileNumber = s.fileNumber;
    return o.record != nullptr;
}

void refuseChanges(DBFileRecord* r, const char* text) {
    if (r->refusesChanges) return;
    r->refusesChanges = true;
    MessageBox(0, text, "DOZ3 Error", MB_OK | MB_ICONEXCLAMATION);
}

void damaged(DBFileRecord* r) {
    refuseChanges(r, "Bad DB File");
}

// ---- page cache ----

HANDLE osHandleOf(const ProcessLock& p, std::uint16_t fileNumber) {
    if (fileNumber == 0 || fileNumber > p->fileEntryCount) return 0;
    return p->fileEntries[fileNumber - 1].osHandle;
}

// Keeps the bytes of a cached page as the disk has them, before the change writes into it for the first
// time (until then the page's bytes are the disk's).
void saveOriginal(HANDLE os, std::uint16_t fileNumber, const DBCacheSlot& s) {
    UndoLog& u = engine().undo[fileNumber];
    if (!u.active) {
        DWORD size = GetFileSize(os);
        u.active = true;
        u.size = size == INVALID_FILE_SIZE ? 0 : size;
    }
    if (s.page >= u.size || u.pages.count(s.page)) return;
    u.pages.emplace(s.page,
                    std::vector<unsigned char>(s.buffer, s.buffer + std::min(kPageSize, u.size - s.page)));
}

// The change reached its disk whole: nothing of it is to be undone any more.
void changeComplete(std::uint16_t fileNumber) {
    engine().undo.erase(fileNumber);
}

void forgetPages(std::uint16_t fileNumber) {
    Engine& en = engine();
    ++en.contentChanges;
    for (std::size_t i = 0; i < en.cache.size(); ++i) {
        DBCacheSlot& s = en.cache[i];
        if (s.fileNumber != fileNumber) continue;
        en.index.unlink(i, s.fileNumber, s.page);
        en.ages.release(i);
        s.fileNumber = 0;
        s.dirtyStart = kPageSize;
        s.dirtyEnd = 0;
    }
}

// Puts back the bytes and the size the file had before the change under way and makes the cache forget
// what the change wrote.
void undoChange(const ProcessLock& p, std::uint16_t fileNumber) {
    DBFileRecord* r = &engine().files[fileNumber - 1];
    forgetPages(fileNumber);
    r->dirty = 0;
    r->counterPending = false;
    HANDLE os = osHandleOf(p, fileNumber);
    auto it = engine().undo.find(fileNumber);
    if (!os || it == engine().undo.end()) return;
    const UndoLog& u = it->second;
    DWORD written = 0;
    for (const auto& [page, bytes] : u.pages)
        WriteFileAt(os, page, bytes.data(), static_cast<DWORD>(bytes.size()), &written);
    // The counter goes past the cache: it may have been written without its page being kept.
    unsigned char counter[4];
    put32(counter, r->changeCounter);
    if (u.size >= 4) WriteFileAt(os, 0, counter, 4, &written);
    if (GetFileSize(os) > u.size &&
        SetFilePointer(os, static_cast<std::int32_t>(u.size), FILE_BEGIN) == u.size)
        SetEndOfFile(os);
    FlushFileBuffers(os);
    r->knownSize = u.size;
    engine().undo.erase(it);
}

// A write failed: the change is undone and the file takes no more changes while it stays open.
void writeFailed(const ProcessLock& p, std::uint16_t fileNumber) {
    refuseChanges(&engine().files[fileNumber - 1], "Write Error");
    undoChange(p, fileNumber);
}

void writeBack(const ProcessLock& p, DBCacheSlot& s) {
    if (s.fileNumber && s.dirtyStart < s.dirtyEnd) {
        std::uint16_t fileNumber = s.fileNumber;
        DBFileRecord* r = &engine().files[fileNumber - 1];
        HANDLE os = osHandleOf(p, fileNumber);
        // A file that refuses changes keeps what it had on disk.
        if (!r->refusesChanges) {
            DWORD written = 0;
            DWORD n = s.dirtyEnd - s.dirtyStart;
            if (!os ||
                !WriteFileAt(os, std::uint64_t(s.page) + s.dirtyStart, s.buffer + s.dirtyStart, n,
                             &written) ||
                written != n) {
                writeFailed(p, fileNumber);
                return;
            }
        }
    }
    s.dirtyStart = kPageSize;
    s.dirtyEnd = 0;
}

void dropPages(const ProcessLock& p, std::uint16_t fileNumber) {
    Engine& en = engine();
    ++en.contentChanges;
    for (std::size_t i = 0; i < en.cache.size(); ++i) {
        DBCacheSlot& s = en.cache[i];
        if (s.fileNumber != fileNumber) continue;
        writeBack(p, s);
        en.index.unlink(i, s.fileNumber, s.page);
        en.ages.release(i);
        s.fileNumber = 0;
    }
}

DBCacheSlot* getCachePage(const ProcessLock& p, Open& o, std::uint32_t page) {
    Engine& en = engine();
    auto& cache = en.cache;
    if (cache.empty()) return nullptr;
    std::uint16_t hint = o.slot->cacheHint;
    if (hint && hint <= cache.size()) {
        DBCacheSlot& s = cache[hint - 1];
        if (s.fileNumber == o.fileNumber && s.page == page) {
            en.ages.use(hint - 1u);
            return &s;
        }
    }
    if (std::size_t i = en.index.find(cache, o.fileNumber, page); i != CacheIndex::npos) {
        en.ages.use(i);
        o.slot->cacheHint = static_cast<std::uint16_t>(i + 1);
        return &cache[i];
    }
    std::size_t victim = en.ages.miss();
    DBCacheSlot& s = cache[victim];
    if (s.fileNumber) {
        writeBack(p, s);
        en.index.unlink(victim, s.fileNumber, s.page);
    }
    s.dirtyStart = kPageSize;
    s.dirtyEnd = 0;
    s.fileNumber = o.fileNumber;
    s.page = page;
    en.index.link(victim, s.fileNumber, page);
    en.ages.use(victim);
    DWORD read = 0;
    if (!ReadFileAt(o.entry->osHandle, page, s.buffer, kPageSize, &read)) read = 0;
    // Bytes past the end of the file read as zero, whatever the buffer held before.
    std::memset(s.buffer + read, 0, kPageSize - read);
    s.valid = static_cast<std::uint16_t>(read);
    changed(s);
    o.slot->cacheHint = static_cast<std::uint16_t>(victim + 1);
    return &s;
}

std::uint32_t readBytes(const ProcessLock& p, Open& o, std::uint32_t offset, void* buffer,
                        std::uint32_t length) {
    auto* out = static_cast<unsigned char*>(buffer);
    std::uint32_t done = 0;
    while (done < length) {
        std::uint64_t at = std::uint64_t(offset) + done;
        if (at > 0xFFFFFFFFu) break;
        std::uint32_t page = static_cast<std::uint32_t>(at) & ~(kPageSize - 1);
        std::uint32_t in = static_cast<std::uint32_t>(at) - page;
        DBCacheSlot* s = getCachePage(p, o, page);
        if (!s || in >= s->valid) break;
        std::uint32_t n = std::min({length - done, kPageSize - in, std::uint32_t(s->valid) - in});
        std::memcpy(out + done, s->buffer + in, n);
        done += n;
        if (in + n < kPageSize) {
            if (in + n >= s->valid) break;
        }
    }
    return done;
}

bool writeBytes(const ProcessLock& p, Open& o, std::uint32_t offset, const void* buffer,
                std::uint32_t length) {
    if (o.record->refusesChanges) return false;
    if (std::uint64_t(offset) + length > 0xFFFFFFFFu) return false;
    if (length == 0) return true;
    o.record->dirty = 1;
    if (!o.record->uncounted) ++engine().contentChanges;
    auto* in = static_cast<const unsigned char*>(buffer);
    std::uint32_t done = 0;
    while (done < length) {
        std::uint32_t at = offset + done;
        std::uint32_t page = at & ~(kPageSize - 1);
        std::uint32_t pos = at - page;
        DBCacheSlot* s = getCachePage(p, o, page);
        if (!s) return false;
        if (o.record->refusesChanges) return false;
        saveOriginal(o.entry->osHandle, o.fileNumber, *s);
        std::uint32_t n = std::min(length - done, kPageSize - pos);
        std::memcpy(s->buffer + pos, in + done, n);
        changed(*s);
        s->dirtyStart = static_cast<std::uint16_t>(std::min<std::uint32_t>(s->dirtyStart, pos));
        s->dirtyEnd = static_cast<std::uint16_t>(std::max<std::uint32_t>(s->dirtyEnd, pos + n));
        if (s->valid < pos + n) s->valid = static_cast<std::uint16_t>(pos + n);
        done += n;
    }
    o.record->knownSize = std::max(o.record->knownSize, offset + length);
    return !o.record->refusesChanges;
}

// ---- flush and refresh ----

bool flush(const ProcessLock& p, Open& o) {
    DBFileRecord* r = o.record;
    if (!r->dirty && !(r->counterPending && o.entry->writeLockDepth == 0)) return !r->refusesChanges;
    for (DBCacheSlot& s : engine().cache)
        if (s.fileNumber == o.fileNumber) writeBack(p, s);
    r->dirty = 0;
    if (o.entry->writeLockDepth > 0) {
        r->counterPending = !r->refusesChanges;
        return !r->refusesChanges;
    }
    r->counterPending = false;
    if (r->refusesChanges) {
        // A change that met a damaged structure half way leaves nothing of itself on disk.
        undoChange(p, o.fileNumber);
        return false;
    }
    if (!o.entry->sequential) {
        std::uint32_t counter = r->changeCounter + 1;
        if (counter == 0) counter = 1;
        unsigned char bytes[4];
        put32(bytes, counter);
        DWORD written = 0;
        if (!WriteFileAt(o.entry->osHandle, 0, bytes, 4, &written) || written != 4) {
            writeFailed(p, o.fileNumber);
            return false;
        }
        // The counter went past the cache; a cached page 0 must not write the old one back later.
        for (DBCacheSlot& s : engine().cache)
            if (s.fileNumber == o.fileNumber && s.page == 0) {
                std::memcpy(s.buffer, bytes, 4);
                changed(s);
            }
        if (!FlushFileBuffers(o.entry->osHandle)) {
            writeFailed(p, o.fileNumber);
            return false;
        }
        r->changeCounter = counter;
    } else if (!FlushFileBuffers(o.entry->osHandle)) {
        writeFailed(p, o.fileNumber);
        return false;
    }
    changeComplete(o.fileNumber);
    return true;
}

void refresh(const ProcessLock& p, Open& o) {
    DBFileRecord* r = o.record;
    if (r->dirty) {
        flush(p, o);
        return;
    }
    unsigned char bytes[4] = {};
    DWORD read = 0;
    ReadFileAt(o.entry->osHandle, 0, bytes, 4, &read);
    std::uint32_t counter = get32(bytes);
    DWORD size = GetFileSize(o.entry->osHandle);
    if (counter != r->changeCounter) {
        dropPages(p, o.fileNumber);
        r->changeCounter = counter;
        if (size != INVALID_FILE_SIZE) r->knownSize = size;
    } else if (size != INVALID_FILE_SIZE) {
        r->knownSize = std::max<std::uint32_t>(r->knownSize, size);
    }
}

// ---- locks ----

void unlockWholeFile(DBFileEntry* e);

// Tries a lock at once, then for a few seconds, then asks the user. False on Abort; Ignore goes on
// without the lock (granted stays false).
bool acquire(Open& o, bool exclusive, std::uint64_t from, std::uint64_t length, bool& granted) {
    HANDLE os = o.entry->osHandle;
    auto attempt = [&] {
        return LockFileEx(os, (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0) | LOCKFILE_FAIL_IMMEDIATELY, from,
                          length);
    };
    auto waitStep = [] {
        std::uint32_t step = Ticks() / 18;
        while (Ticks() / 18 == step)
            win32::Sleep(10);
    };
    granted = attempt() || attempt();
    // Another process writes a word or opens the file: that takes a moment, not a question.
    for (int i = 0; i < kLockWaitSteps && !granted; ++i) {
        waitStep();
        granted = attempt();
    }
    while (!granted) {
        std::string text = std::string("Die Datei ") + o.record->path +
                           " wird gerade von einem anderen Programm ge\xe4ndert.";
        int answer = MessageBox(0, text.c_str(), "Wortex", MB_ABORTRETRYIGNORE | MB_ICONQUESTION);
        if (answer == IDABORT) return false;
        if (answer == IDIGNORE) break;
        for (int i = 0; i < 10 && !granted; ++i) {
            waitStep();
            granted = attempt();
        }
    }
    return true;
}

int lock(const ProcessLock& p, Open& o, std::uint32_t key) {
    DBFileEntry* e = o.entry;
    if (e->writeLockDepth > 0) {
        // The whole-file lock covers every byte lock; nested whole-file locks only count.
        if (key == 0) ++e->writeLockDepth;
        return 1;
    }
    std::uint64_t from = key == 0 ? 0 : key;
    std::uint64_t length = key == 0 ? kWholeFileLockLength : 1;
    bool granted = false;
    if (!acquire(o, true, from, length, granted)) return 0;
    if (key == 0)
        ++e->writeLockDepth;
    else if (granted && e->byteLockCount < std::size(e->byteLocks))
        e->byteLocks[e->byteLockCount++] = key;
    if (!e->sequential && e->writeLockDepth <= 1) refresh(p, o);
    return 1;
}

int lockShared(const ProcessLock& p, Open& o) {
    DBFileEntry* e = o.entry;
    if (e->readLockDepth++ > 0) return 1;
    // A lock of this process's own already keeps writers out.
    if (e->writeLockDepth > 0 || e->byteLockCount > 0) return 1;
    bool granted = false;
    if (!acquire(o, false, 0, kWholeFileLockLength, granted)) {
        --e->readLockDepth;
        return 0;
    }
    e->readLockHeld = granted;
    if (!e->sequential) refresh(p, o);
    return 1;
}

void unlockShared(DBFileEntry* e) {
    if (e->readLockDepth == 0 || --e->readLockDepth > 0) return;
    if (!e->readLockHeld) return;
    e->readLockHeld = false;
    if (e->writeLockDepth == 0) unlockWholeFile(e);
}

void forgetByteLock(DBFileEntry* e, std::uint32_t key) {
    for (std::uint16_t i = 0; i < e->byteLockCount; ++i)
        if (e->byteLocks[i] == key) {
            e->byteLocks[i] = e->byteLocks[--e->byteLockCount];
            return;
        }
}

// Releases the whole-file range around the one-byte locks still held.
void unlockWholeFile(DBFileEntry* e) {
    std::vector<std::uint32_t> held(e->byteLocks, e->byteLocks + e->byteLockCount);
    std::sort(held.begin(), held.end());
    std::uint64_t from = 0;
    for (std::uint32_t k : held) {
        if (k >= kWholeFileLockLength) break;
        if (k > from) UnlockFileEx(e->osHandle, from, k - from);
        from = std::uint64_t(k) + 1;
    }
    if (from < kWholeFileLockLength) UnlockFileEx(e->osHandle, from, kWholeFileLockLength - from);
}

// A writer's lock given up inside a reader's: the range falls back to shared, the bytes still locked for
// writing stay so.
void keepShared(DBFileEntry* e, std::uint64_t from, std::uint64_t length) {
    LockFileEx(e->osHandle, LOCKFILE_FAIL_IMMEDIATELY, from, length);
    for (std::uint16_t i = 0; i < e->byteLockCount; ++i)
        if (e->byteLocks[i] >= from && e->byteLocks[i] < from + length)
            LockFileEx(e->osHandle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, e->byteLocks[i], 1);
}

// false when a write of the change failed (or will be refused): the change is not on disk.
bool unlock(const ProcessLock& p, Open& o, std::uint32_t key) {
    DBFileEntry* e = o.entry;
    if (key == 0) {
        if (e->writeLockDepth == 0) {
            MessageBox(0, "File already unlocked", "Program error", MB_OK);
            return false;
        }
        if (--e->writeLockDepth > 0) return !o.record->refusesChanges;
        bool ok = flush(p, o);
        if (e->readLockHeld)
            keepShared(e, 0, kWholeFileLockLength);
        else
            unlockWholeFile(e);
        return ok;
    }
    forgetByteLock(e, key);
    // Under the whole-file lock the byte stays locked as part of the range until that is released.
    if (e->writeLockDepth > 0) return !o.record->refusesChanges;
    bool ok = flush(p, o);
    if (e->readLockHeld)
        keepShared(e, key, 1);
    else
        UnlockFileEx(e->osHandle, key, 1);
    return ok;
}

// ---- structure ----

bool endOfSpace(const ProcessLock& p, Open& o, std::uint32_t& end) {
    unsigned char b[4];
    if (readBytes(p, o, kEndOfSpaceOffset, b, 4) != 4) return damaged(o.record), false;
    end = get32(b);
    if (end < kFileStart || std::uint64_t(end) > std::uint64_t(o.record->knownSize) + kEndSlack)
        return damaged(o.record), false;
    return true;
}

bool loadTable(const ProcessLock& p, Open& o, std::uint32_t table, TableRecord& t) {
    std::uint32_t end;
    if (!endOfSpace(p, o, end)) return false;
    unsigned char b[kTableRecordSize];
    if ((table != 0 && (table < kFileStart || std::uint64_t(table) + kTableRecordSize > end)) ||
        readBytes(p, o, table, b, kTableRecordSize) != kTableRecordSize)
        return damaged(o.record), false;
    t.decode(b);
    std::uint32_t minUsed = t.chunk == table ? (table == 0 ? kFileStart : kTableRecordSize) : kChunkHeadSize;
    bool ok =
        t.chunkSize >= minUsed && std::uint64_t(t.chunk) + t.chunkSize <= end && t.used >= minUsed &&
        t.used <= t.chunkSize && (t.chunk == table || t.chunk >= kFileStart) &&
        t.freeCount <= kMaxFreeCount && t.pagesPerChunk >= 1 && t.pagesPerChunk <= 16 &&
        (t.freeHead == 0 || (t.freeHead >= kFileStart && std::uint64_t(t.freeHead) + kFreeBlockSize <= end));
    if (!ok) return damaged(o.record), false;
    return true;
}

bool storeTable(const ProcessLock& p, Open& o, std::uint32_t table, const TableRecord& t) {
    unsigned char b[kTableRecordSize];
    t.encode(b);
    return writeBytes(p, o, table, b, kTableRecordSize);
}

bool loadBlock(const ProcessLock& p, Open& o, std::uint32_t at, DBFreeBlock& fb) {
    std::uint32_t end;
    if (!endOfSpace(p, o, end)) return false;
    unsigned char b[kFreeBlockSize];
    if (at < kFileStart || std::uint64_t(at) + kFreeBlockSize > end ||
        readBytes(p, o, at, b, kFreeBlockSize) != kFreeBlockSize)
        return damaged(o.record), false;
    fb.decode(b);
    if (fb.next != 0 && (fb.next < kFileStart || std::uint64_t(fb.next) + kFreeBlockSize > end))
        return damaged(o.record), false;
    for (const FreeEntry& e : fb.entries) {
        if (e.length == 0) break;
        if (e.offset < kFileStart || std::uint64_t(e.offset) + e.length > end)
            return damaged(o.record), false;
    }
    return true;
}

bool storeBlock(const ProcessLock& p, Open& o, std::uint32_t at, const DBFreeBlock& fb) {
    unsigned char b[kFreeBlockSize];
    fb.encode(b);
    return writeBytes(p, o, at, b, kFreeBlockSize);
}

// Upper bound on the blocks of one list, so that a list running in a circle ends.
std::uint32_t maxBlocks(const ProcessLock& p, Open& o) {
    std::uint32_t end = 0;
    endOfSpace(p, o, end);
    return end / kFreeBlockSize + 1;
}

void removeEntry(DBFreeBlock& fb, std::uint32_t i) {
    for (std::uint32_t k = i; k + 1 < kFreeEntries; ++k)
        fb.entries[k] = fb.entries[k + 1];
    fb.entries[kFreeEntries - 1] = {};
}

std::uint32_t takeFromFreeList(const ProcessLock& p, Open& o, std::uint32_t table, TableRecord& t,
                               std::uint32_t size) {
    if (t.freeCount == 0 || size < 2) return 0;
    std::uint32_t at = t.freeHead;
    std::uint32_t limit = maxBlocks(p, o);
    DBFreeBlock fb;
    for (std::uint32_t n = 0; at && n < limit; ++n) {
        if (!loadBlock(p, o, at, fb)) return 0;
        int best = -1;
        for (std::uint32_t i = 0; i < kFreeEntries; ++i) {
            const FreeEntry& e = fb.entries[i];
            if (e.length == 0) break;
            if (e.length == size) {
                best = static_cast<int>(i);
                break;
            }
            if (e.length > size + 5 && (best < 0 || e.length < fb.entries[best].length))
                best = static_cast<int>(i);
        }
        if (best >= 0) {
            FreeEntry& e = fb.entries[best];
            std::uint32_t record = e.offset;
            if (e.length - size <= 1) {
                removeEntry(fb, static_cast<std::uint32_t>(best));
                if (t.freeCount) --t.freeCount;
                if (!storeBlock(p, o, at, fb) || !storeTable(p, o, table, t)) return 0;
            } else {
                e.offset += size;
                e.length = static_cast<std::uint16_t>(e.length - size);
                if (!storeBlock(p, o, at, fb)) return 0;
            }
            return record;
        }
        at = fb.next;
    }
    if (at) damaged(o.record); // the list runs in a circle
    return 0;
}

// Whole pages at file level; the granted size goes to granted.
std::uint32_t allocPages(const ProcessLock& p, Open& o, std::uint32_t size, std::uint32_t pages,
                         std::uint32_t& granted) {
    std::uint32_t g = size > 512 ? (size + kPageSize - 1) / kPageSize * kPageSize : pages * kPageSize;
    if (g == 0 || g > kMaxChunkSize) return 0;
    TableRecord header;
    if (!loadTable(p, o, 0, header)) return 0;
    std::uint32_t at = takeFromFreeList(p, o, 0, header, g);
    if (o.record->refusesChanges) return 0;
    if (!at) {
        std::uint32_t end;
        if (!endOfSpace(p, o, end)) return 0;
        if (std::uint64_t(end) + g > 0xFFFFFFFFu - kPageSize) return 0;
        at = end;
        unsigned char b[4];
        put32(b, end + g);
        if (!writeBytes(p, o, kEndOfSpaceOffset, b, 4)) return 0;
    }
    granted = g;
    return at;
}

void freeRecord(const ProcessLock& p, Open& o, std::uint32_t offset, std::uint32_t size, std::uint32_t table);

struct Tail {
    std::uint32_t offset = 0, length = 0;
};

// deferredTail: instead of giving the old chunk's tail back at once, hand it to the caller, who is about to
// make the new record a free block and frees the tail once that block is linked in.
std::uint32_t allocRecord(const ProcessLock& p, Open& o, std::uint32_t size, std::uint32_t table,
                          bool useFreeList, Tail* deferredTail = nullptr) {
    if (size == 0 || o.record->refusesChanges) return 0;
    TableRecord t;
    if (!loadTable(p, o, table, t)) return 0;
    if (useFreeList) {
        if (std::uint32_t at = takeFromFreeList(p, o, table, t, size)) return at;
        if (o.record->refusesChanges) return 0;
    }
    std::uint32_t tail = 0, tailLength = 0;
    if (std::uint32_t(t.used) + size > t.chunkSize) {
        tail = t.chunk + t.used;
        tailLength = t.chunkSize - t.used;
        std::uint32_t granted = 0;
        std::uint32_t chunk = allocPages(p, o, size + kChunkHeadSize, t.pagesPerChunk, granted);
        if (!chunk) return 0;
        // The head goes out at once: the end of space may lie only one chunk beyond the file's bytes.
        unsigned char head[kChunkHeadSize];
        put32(head, t.chunk);
        put16(head + 4, granted);
        if (!writeBytes(p, o, chunk, head, kChunkHeadSize)) return 0;
        // Taking the pages may have rewritten this very record (the file-level table).
        if (!loadTable(p, o, table, t)) return 0;
        if (t.chunk != get32(head)) {
            put32(head, t.chunk);
            if (!writeBytes(p, o, chunk, head, kChunkHeadSize)) return 0;
        }
        t.chunk = chunk;
        t.chunkSize = static_cast<std::uint16_t>(granted);
        t.used = kChunkHeadSize;
    }
    std::uint32_t record = t.chunk + t.used;
    t.used = static_cast<std::uint16_t>(t.used + size);
    if (!storeTable(p, o, table, t)) return 0;
    // The old chunk's tail goes on the free list only now that the new chunk is current: giving it back
    // may need a free block, which is carved from the current chunk.
    if (deferredTail)
        *deferredTail = {tail, tailLength};
    else if (tailLength)
        freeRecord(p, o, tail, tailLength, table);
    return record;
}

// A fresh zeroed free block, carved from the table without using its free list.
std::uint32_t newFreeBlock(const ProcessLock& p, Open& o, std::uint32_t table, Tail& tail) {
    std::uint32_t at = allocRecord(p, o, kFreeBlockSize, table, false, &tail);
    if (!at) return 0;
    DBFreeBlock fb{};
    if (!storeBlock(p, o, at, fb)) return 0;
    return at;
}

void purgeSmallEntries(const ProcessLock& p, Open& o, std::uint32_t table, TableRecord& t) {
    std::uint32_t at = t.freeHead, limit = maxBlocks(p, o), count = 0;
    DBFreeBlock fb;
    for (std::uint32_t n = 0; at && n < limit; ++n) {
        if (!loadBlock(p, o, at, fb)) return;
        std::uint32_t k = 0;
        for (std::uint32_t i = 0; i < kFreeEntries && fb.entries[i].length; ++i)
            if (fb.entries[i].length > kPurgeLength) fb.entries[k++] = fb.entries[i];
        for (std::uint32_t i = k; i < kFreeEntries; ++i)
            fb.entries[i] = {};
        count += k;
        if (!storeBlock(p, o, at, fb)) return;
        at = fb.next;
    }
    t.freeCount = static_cast<std::uint16_t>(count);
    storeTable(p, o, table, t);
}

void badDeallocate() {
    MessageBox(0, "Bad Deallocate", "DOZ3 Error", MB_OK | MB_ICONEXCLAMATION);
}

void freeRecord(const ProcessLock& p, Open& o, std::uint32_t offset, std::uint32_t size,
                std::uint32_t table) {
    if (size == 0) return;
    // Every pass starts from the table record as it is now: allocating a free block may have changed it.
    for (int pass = 0; pass < 64; ++pass) {
        if (o.record->refusesChanges) return;
        TableRecord t;
        if (!loadTable(p, o, table, t)) return;
        std::uint32_t end;
        if (!endOfSpace(p, o, end)) return;
        if (offset < kFileStart || std::uint64_t(offset) + size > end) return badDeallocate();
        std::uint32_t minUsed =
            t.chunk == table ? (table == 0 ? kFileStart : kTableRecordSize) : kChunkHeadSize;
        if (std::uint64_t(t.chunk) + t.used == std::uint64_t(offset) + size && t.used >= size + minUsed) {
            t.used = static_cast<std::uint16_t>(t.used - size);
            storeTable(p, o, table, t);
            return;
        }
        if (size < 2 || t.freeCount >= kMaxFreeCount) return;
        if (t.freeHead == 0) {
            Tail tail;
            std::uint32_t block = newFreeBlock(p, o, table, tail);
            if (!block) return;
            if (!loadTable(p, o, table, t)) return;
            if (t.freeHead != 0) {
                freeRecord(p, o, block, kFreeBlockSize, table);
            } else {
                t.freeHead = block;
                if (!storeTable(p, o, table, t)) return;
            }
            if (tail.length) freeRecord(p, o, tail.offset, tail.length, table);
            continue;
        }
        std::uint32_t at = t.freeHead, last = 0, limit = maxBlocks(p, o);
        DBFreeBlock fb;
        for (std::uint32_t n = 0; at && n < limit; ++n) {
            if (!loadBlock(p, o, at, fb)) return;
            for (std::uint32_t i = 0; i < kFreeEntries; ++i) {
                FreeEntry& e = fb.entries[i];
                bool placed = false;
                if (e.offset == offset && e.length) {
                    MessageBox(0, "Deallocate twice", "DOZ3 Error", MB_OK | MB_ICONEXCLAMATION);
                    return;
                }
                if (e.length == 0) {
                    e = {offset, static_cast<std::uint16_t>(size)};
                    ++t.freeCount;
                    placed = true;
                } else if (e.length + size <= kMaxJoinedLength &&
                           std::uint64_t(e.offset) + e.length == offset) {
                    FreeEntry* next =
                        i + 1 < kFreeEntries && fb.entries[i + 1].length ? &fb.entries[i + 1] : nullptr;
                    if (next && std::uint64_t(offset) + size > next->offset) return badDeallocate();
                    e.length = static_cast<std::uint16_t>(e.length + size);
                    if (next && e.offset + e.length == next->offset &&
                        e.length + next->length <= kMaxJoinedLength) {
                        e.length = static_cast<std::uint16_t>(e.length + next->length);
                        removeEntry(fb, i + 1);
                        --t.freeCount;
                    }
                    placed = true;
                } else if (e.length + size <= kMaxJoinedLength && std::uint64_t(offset) + size == e.offset) {
                    e.offset = offset;
                    e.length = static_cast<std::uint16_t>(e.length + size);
                    if (i > 0) {
                        FreeEntry& prev = fb.entries[i - 1];
                        if (prev.offset + prev.length == e.offset &&
                            prev.length + e.length <= kMaxJoinedLength) {
                            prev.length = static_cast<std::uint16_t>(prev.length + e.length);
                            removeEntry(fb, i);
                            --t.freeCount;
                        }
                    }
                    placed = true;
                } else if (offset < std::uint64_t(e.offset) + e.length &&
                           e.offset < std::uint64_t(offset) + size) {
                    return badDeallocate();
                } else if (offset < e.offset && fb.entries[kFreeEntries - 1].length == 0) {
                    for (std::uint32_t k = kFreeEntries - 1; k > i; --k)
                        fb.entries[k] = fb.entries[k - 1];
                    fb.entries[i] = {offset, static_cast<std::uint16_t>(size)};
                    ++t.freeCount;
                    placed = true;
                }
                if (!placed) continue;
                if (!storeBlock(p, o, at, fb) || !storeTable(p, o, table, t)) return;
                if (t.freeCount >= kMaxFreeCount) purgeSmallEntries(p, o, table, t);
                return;
            }
            last = at;
            at = fb.next;
        }
        if (at) return damaged(o.record); // the list runs in a circle
        // Every block is full: link a new one behind the last.
        Tail tail;
        std::uint32_t block = newFreeBlock(p, o, table, tail);
        if (!block) return;
        if (!loadBlock(p, o, last, fb)) return;
        if (fb.next != 0) {
            freeRecord(p, o, block, kFreeBlockSize, table);
        } else {
            fb.next = block;
            if (!storeBlock(p, o, last, fb)) return;
        }
        if (tail.length) freeRecord(p, o, tail.offset, tail.length, table);
    }
    damaged(o.record);
}

// ---- opening and closing ----

bool growEntries(DBProcessBlock* b, std::uint16_t count) {
    if (b->fileEntryCount >= count) return true;
    std::size_t bytes = std::size_t(count) * sizeof(DBFileEntry);
    if (b->fileEntryBlock) {
        GlobalUnlock(b->fileEntryBlock);
        if (!GlobalReAlloc(b->fileEntryBlock, bytes, GMEM_ZEROINIT)) {
            b->fileEntries = static_cast<DBFileEntry*>(GlobalLock(b->fileEntryBlock));
            return false;
        }
    } else if (!(b->fileEntryBlock = GlobalAlloc(GHND, bytes))) {
        return false;
    }
    b->fileEntries = static_cast<DBFileEntry*>(GlobalLock(b->fileEntryBlock));
    b->fileEntryCount = count;
    return true;
}

bool growSlots(DBProcessBlock* b, std::uint16_t count) {
    std::size_t bytes = std::size_t(count) * sizeof(DBHandleSlot);
    if (b->slotBlock) {
        GlobalUnlock(b->slotBlock);
        if (!GlobalReAlloc(b->slotBlock, bytes, GMEM_ZEROINIT)) {
            b->slots = static_cast<DBHandleSlot*>(GlobalLock(b->slotBlock));
            return false;
        }
    } else if (!(b->slotBlock = GlobalAlloc(GHND, bytes))) {
        return false;
    }
    b->slots = static_cast<DBHandleSlot*>(GlobalLock(b->slotBlock));
    b->slotCount = count;
    return true;
}

void closeHandle(const ProcessLock& p, DBHandle h) {
    Open o;
    if (!resolve(p, h, o)) return;
    ++engine().contentChanges;
    if (o.entry->openCount) --o.entry->openCount;
    if (o.record->useCount) --o.record->useCount;
    if (o.entry->openCount == 0) {
        o.entry->writeLockDepth = 0;
        o.entry->byteLockCount = 0;
        o.entry->readLockDepth = 0;
        o.entry->readLockHeld = false;
        flush(p, o);
        dropPages(p, o.fileNumber);
        changeComplete(o.fileNumber);
        if (o.entry->osHandle) CloseHandle(o.entry->osHandle);
        o.entry->osHandle = 0;
        o.entry->record = nullptr;
    }
    *o.slot = {};
}

// Full path of a name: bare names along the search path, others made absolute; then the file's identity.
std::string fullPath(const std::string& name) {
    std::string path = name;
    if (!ResolvePath(path)) return {};
    std::string canonical = CanonicalPath(path);
    if (canonical.empty() || canonical.size() >= kPathSize) return {};
    return canonical;
}

DBHandle openFile(const std::string& name, int shareMode, bool sequential) {
    ProcessLock p;
    if (!p) return 0;
    std::string path = fullPath(name);
    if (path.empty()) return 0;
    auto& files = engine().files;
    DBFileRecord* r = nullptr;
    for (DBFileRecord& f : files)
        if (f.useCount > 0 && path == f.path) {
            r = &f;
            break;
        }
    if (!r) {
        if (GetFileAttributes(path) != FILE_ATTRIBUTE_NORMAL) return 0;
        for (DBFileRecord& f : files)
            if (f.useCount == 0) {
                r = &f;
                break;
            }
        if (!r) {
            if (files.size() >= 0xFFFF) return 0;
            r = &files.emplace_back();
        }
        std::memset(r, 0, sizeof *r);
        std::memcpy(r->path, path.c_str(), path.size() + 1);
    }
    std::uint16_t fileNumber = 0;
    for (std::size_t i = 0; i < files.size(); ++i)
        if (&files[i] == r) fileNumber = static_cast<std::uint16_t>(i + 1);
    if (!growEntries(p.operator->(), fileNumber)) return 0;
    ++r->useCount;
    ++engine().contentChanges;
    DBFileEntry& e = p->fileEntries[fileNumber - 1];
    if (!e.osHandle) {
        e.record = r;
        e.sequential = sequential ? 1 : 0;
        e.writeLockDepth = 0;
        e.byteLockCount = 0;
        e.readLockDepth = 0;
        e.readLockHeld = false;
        DWORD access = GENERIC_READ | GENERIC_WRITE, share = 0;
        switch (shareMode) {
        case 1:
            access = GENERIC_READ;
            break;
        case 2:
            access = GENERIC_READ;
            share = FILE_SHARE_READ | FILE_SHARE_WRITE;
            break;
        case 3:
            access = GENERIC_READ;
            share = FILE_SHARE_READ;
            break;
        case 4:
            share = FILE_SHARE_READ | FILE_SHARE_WRITE;
            break;
        case 5:
            share = FILE_SHARE_READ;
            break;
        case 6:
            share = FILE_SHARE_WRITE;
            break;
        default:
            break;
        }
        e.osHandle = CreateFile(path, access, share, OPEN_EXISTING);
    }
    ++e.openCount;
    DBHandle h = 0;
    for (std::uint16_t i = 0; i < p->slotCount; ++i)
        if (p->slots[i].fileNumber == 0) {
            h = static_cast<DBHandle>(i + 1);
            break;
        }
    if (!h) {
        if (p->slotCount == 0xFFFF ||
            !growSlots(p.operator->(), static_cast<std::uint16_t>(p->slotCount + 1))) {
            --e.openCount;
            --r->useCount;
            return 0;
        }
        h = p->slotCount;
    }
    p->slots[h - 1] = {fileNumber, 0, 0};
    if (!e.osHandle) {
        closeHandle(p, h);
        return 0;
    }
    if (!e.sequential) {
        Open o;
        resolve(p, h, o);
        refresh(p, o);
        if (DWORD size = GetFileSize(e.osHandle); size != INVALID_FILE_SIZE)
            r->knownSize = std::max<std::uint32_t>(r->knownSize, size);
    }
    return h;
}

} // namespace

// ---- interface ----

std::uint64_t DBContentStamp() {
    return engine().contentChanges;
}

void ExcludeFromContentStamp(DBHandle h) {
    ProcessLock p;
    Open o;
    if (p && resolve(p, h, o)) o.record->uncounted = true;
}

DBEngineHold::DBEngineHold() : held_(acquireProcessBlock() != nullptr) {}
DBEngineHold::~DBEngineHold() {
    if (held_) releaseProcessBlock();
}

int InitDBEngine(std::uint16_t cachePages) {
    Engine& en = engine();
    if (!CreateProcessData(en.root, sizeof(DBProcessBlock)))
        return GetProcessDataUseCount(en.root) > 0 ? 1 : 0;
    if (en.cache.empty()) {
        std::uint32_t n = cachePages == 0 ? 60 : cachePages < 24 ? 24 : cachePages > 3000 ? 3000 : cachePages;
        for (std::uint32_t tryPages : {n, 60u, 24u}) {
            if (tryPages > n) continue;
            en.cacheMemory.reset(new (std::nothrow) unsigned char[std::size_t(tryPages) * kPageSize]);
            if (en.cacheMemory) {
                n = tryPages;
                break;
            }
        }
        if (!en.cacheMemory) {
            ReleaseProcessData(en.root);
            return 0;
        }
        en.cache.assign(n, DBCacheSlot{});
        en.index.reset(n);
        en.ages.reset(n);
        for (std::uint32_t i = 0; i < n; ++i) {
            en.cache[i].dirtyStart = kPageSize;
            en.cache[i].buffer = en.cacheMemory.get() + std::size_t(i) * kPageSize;
        }
    }
    return 1;
}

void TermDBEngine() {
    Engine& en = engine();
    if (GetProcessDataUseCount(en.root) == 1) {
        CloseAllDBFiles();
        ProcessLock p;
        if (p) {
            if (p->fileEntryBlock) {
                GlobalUnlock(p->fileEntryBlock);
                GlobalFree(p->fileEntryBlock);
            }
            if (p->slotBlock) {
                GlobalUnlock(p->slotBlock);
                GlobalFree(p->slotBlock);
            }
            std::memset(p.operator->(), 0, sizeof(DBProcessBlock));
        }
    }
    ReleaseProcessData(en.root);
    if (!en.root.first) {
        en.cache.clear();
        en.index.reset(0);
        en.ages.reset(0);
        en.cacheMemory.reset();
    }
}

std::uint16_t DBCachePages() {
    return static_cast<std::uint16_t>(engine().cache.size());
}

int CreateDBFile(const std::string& fileName, bool keepExisting) {
    std::string path = fileName;
    if (!ResolvePath(path)) {
        // A new file with a bare name goes into the current directory.
        if (path.empty() || path.find_first_of("\\/") != std::string::npos) return 0;
        path = GetFullPathName(path);
    }
    std::string canonical = CanonicalPath(path);
    if (canonical.empty() || canonical.size() >= kPathSize) return 0;
    if (IsDBFileOpen(canonical)) return 0;
    if (GetFileAttributes(canonical) == FILE_ATTRIBUTE_DIRECTORY) return 0;
    unsigned char bytes[kFileStart] = {};
    TableRecord header;
    header.unused0 = 1;
    header.firstChunkSize = kPageSize;
    header.chunk = 0;
    header.used = kFileStart;
    header.chunkSize = kPageSize;
    header.pagesPerChunk = 1;
    header.encode(bytes);
    std::memcpy(bytes + kMagicOffset, "DOZ3", 4);
    put32(bytes + kEndOfSpaceOffset, kPageSize);
    // Written under a temporary name and renamed over the old file, so a failure leaves the old one.
    std::string temp = canonical + ".~tmp";
    HANDLE f = CreateReplacementFile(temp, canonical);
    if (!f) return 0;
    DWORD written = 0;
    bool ok = WriteFile(f, bytes, kFileStart, &written) && written == kFileStart && FlushFileBuffers(f);
    CloseHandle(f);
    if (!ok || !MoveFileEx(temp, canonical, keepExisting ? 0 : MOVEFILE_REPLACE_EXISTING)) {
        DeleteFile(temp);
        return 0;
    }
    return 1;
}

DBHandle OpenDBFile(const std::string& fileName, int shareMode) {
    return openFile(fileName, shareMode, false);
}
DBHandle OpenDBTextFile(const std::string& fileName, int shareMode) {
    return openFile(fileName, shareMode, true);
}

void CloseDBFile(DBHandle h) {
    ProcessLock p;
    if (p) closeHandle(p, h);
}

void CloseAllDBFiles() {
    ProcessLock p;
    if (!p) return;
    for (std::uint16_t i = 0; i < p->slotCount; ++i)
        if (p->slots[i].fileNumber) closeHandle(p, static_cast<DBHandle>(i + 1));
}

int LockDBFile(DBHandle h, std::uint32_t key) {
    ProcessLock p;
    Open o;
    if (!resolve(p, h, o)) return 0;
    return lock(p, o, key);
}

int UnlockDBFile(DBHandle h, std::uint32_t key) {
    ProcessLock p;
    Open o;
    return resolve(p, h, o) && unlock(p, o, key) ? 1 : 0;
}

int LockDBFileShared(DBHandle h) {
    ProcessLock p;
    Open o;
    if (!resolve(p, h, o)) return 0;
    return lockShared(p, o);
}

void UnlockDBFileShared(DBHandle h) {
    ProcessLock p;
    Open o;
    if (resolve(p, h, o)) unlockShared(o.entry);
}

int FlushDBFile(DBHandle h) {
    ProcessLock p;
    Open o;
    if (!resolve(p, h, o)) return 0;
    return flush(p, o) ? 1 : 0;
}

std::uint32_t FindDBTable(DBHandle h, const char* name) {
    ProcessLock p;
    Open o;
    if (!resolve(p, h, o) || !name) return 0;
    unsigned char dir[kDirectorySize];
    if (readBytes(p, o, kDirectoryOffset, dir, kDirectorySize) != kDirectorySize) return 0;
    std::size_t len = std::strlen(name);
    if (len >= kNameSize) return 0;
    for (std::uint32_t i = 0; i < kDirectoryEntries; ++i) {
        const unsigned char* e = dir + i * kDirectoryEntrySize;
        if (std::memcmp(e, name, len + 1) == 0) return get32(e + kNameSize);
    }
    return 0;
}

int AddDBTable(DBHandle h, const char* name, std::uint32_t offset) {
    ProcessLock p;
    Open o;
    if (!resolve(p, h, o) || !name || offset == 0) return 0;
    std::size_t len = std::strlen(name);
    if (len >= kNameSize) return 0;
    if (!lock(p, o, 0)) return 0;
    int result = 0;
    unsigned char dir[kDirectorySize];
    if (readBytes(p, o, kDirectoryOffset, dir, kDirectorySize) == kDirectorySize) {
        std::uint32_t i = 0;
        while (i < kDirectoryEntries && get32(dir + i * kDirectoryEntrySize + kNameSize) != 0)
            ++i;
        if (i == kDirectoryEntries) {
            MessageBox(0, "Too many DB files", "DOZ3 Error", MB_OK | MB_ICONEXCLAMATION);
        } else {
            unsigned char* e = dir + i * kDirectoryEntrySize;
            std::memset(e, 0, kNameSize);
            std::memcpy(e, name, len);
            put32(e + kNameSize, offset);
            result = writeBytes(p, o, kDirectoryOffset, dir, kDirectorySize) ? 1 : 0;
        }
    }
    if (!unlock(p, o, 0)) result = 0;
    return result;
}

std::uint32_t CreateDBTable(DBHandle h, std::uint16_t pagesPerChunk) {
    ProcessLock p;
    Open o;
    if (!resolve(p, h, o)) return 0;
    if (pagesPerChunk == 0) pagesPerChunk = 1;
    if (pagesPerChunk > 16) pagesPerChunk = 16;
    if (!lock(p, o, 0)) return 0;
    std::uint32_t granted = 0;
    std::uint32_t at = o.record->refusesChanges ? 0 : allocPages(p, o, kPageSize, 1, granted);
    if (at) {
        TableRecord t;
        t.firstChunkSize = static_cast<std::uint16_t>(granted);
        t.chunk = at;
        t.used = kTableRecordSize;
        t.chunkSize = static_cast<std::uint16_t>(granted);
        t.pagesPerChunk = pagesPerChunk;
        if (!storeTable(p, o, at, t)) at = 0;
    }
    if (!unlock(p, o, 0)) at = 0;
    return at;
}

std::uint32_t AllocDBRecord(DBHandle h, std::uint16_t size, std::uint32_t table) {
    ProcessLock p;
    Open o;
    if (!resolve(p, h, o) || size == 0) return 0;
    // Chunk sizes are u16: a record must fit a chunk of whole pages with its head.
    if (size + kChunkHeadSize > kMaxChunkSize) return 0;
    return allocRecord(p, o, size, table, true);
}

void FreeDBRecord(DBHandle h, std::uint32_t offset, std::uint16_t size, std::uint32_t table) {
    ProcessLock p;
    Open o;
    if (resolve(p, h, o)) freeRecord(p, o, offset, size, table);
}

int CheckDBTableSpace(DBHandle h, std::uint32_t table) {
    ProcessLock p;
    Open o;
    if (!resolve(p, h, o)) return 0;
    unsigned char b[kTableRecordSize];
    if (readBytes(p, o, table, b, kTableRecordSize) != kTableRecordSize) return 0;
    TableRecord t;
    t.decode(b);
    return t.used <= t.chunkSize && std::uint64_t(t.chunk) + t.used <= o.record->knownSize ? 1 : 0;
}

void ReportBadDBFile(DBHandle h) {
    ProcessLock p;
    Open o;
    if (resolve(p, h, o)) damaged(o.record);
}

int ReadDBBytes(DBHandle h, std::uint32_t offset, void* buffer, std::uint16_t length) {
    ProcessLock p;
    Open o;
    if (!resolve(p, h, o)) return 0;
    if (o.entry->sequential) offset = o.slot->position;
    std::uint32_t n = readBytes(p, o, offset, buffer, length);
    if (o.entry->sequential) o.slot->position += n;
    return n == length ? 1 : 0;
}

const unsigned char* PeekDBBytes(DBHandle h, std::uint32_t offset, std::uint16_t length,
                                 std::uint16_t* available, std::uint64_t* version) {
    std::uint32_t in = offset & (kPageSize - 1);
    if (length == 0 || in + length > kPageSize) return nullptr;
    ProcessLock p;
    Open o;
    if (!resolve(p, h, o) || o.entry->sequential) return nullptr;
    DBCacheSlot* s = getCachePage(p, o, offset - in);
    if (!s || in + length > s->valid) return nullptr;
    if (available) *available = static_cast<std::uint16_t>(s->valid - in);
    if (version) *version = s->version;
    return s->buffer + in;
}

std::vector<DBCacheSlotState> GetDBCacheState() {
    std::vector<DBCacheSlotState> out;
    const Engine& en = engine();
    for (std::size_t i = 0; i < en.cache.size(); ++i)
        out.push_back({en.cache[i].fileNumber, en.ages.age(i), en.cache[i].page});
    return out;
}

int WriteDBBytes(DBHandle h, std::uint32_t offset, const void* buffer, std::uint16_t length) {
    ProcessLock p;
    Open o;
    if (!resolve(p, h, o)) return 0;
    if (o.entry->sequential) {
        offset = o.slot->position;
        o.slot->position += length;
    }
    return writeBytes(p, o, offset, buffer, length) ? 1 : 0;
}

int ReadDBTextLine(DBHandle h, char* buffer, std::uint16_t capacity) {
    ProcessLock p;
    Open o;
    if (!buffer || capacity == 0) return 0;
    buffer[0] = 0;
    // A buffer without room for one character would return empty lines without ever moving on.
    if (capacity < 2 || !resolve(p, h, o)) return 0;
    const std::uint32_t room = capacity - 1u;
    std::uint32_t pos = o.slot->position;
    // Enough text to see a CR LF right after a full buffer.
    std::vector<char> text;
    bool atEnd = false;
    while (text.size() < room + 2 && !atEnd) {
        char piece[99];
        std::uint32_t want = std::min<std::uint32_t>(99, room + 2 - static_cast<std::uint32_t>(text.size()));
        std::uint32_t n = readBytes(p, o, pos + static_cast<std::uint32_t>(text.size()), piece, want);
        text.insert(text.end(), piece, piece + n);
        if (n < want) atEnd = true;
        for (std::size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] == '\r' && text[i + 1] == '\n' && i <= room) {
                std::memcpy(buffer, text.data(), i);
                buffer[i] = 0;
                o.slot->position = pos + static_cast<std::uint32_t>(i) + 2;
                return 1;
            }
    }
    if (text.empty()) return 0;
    std::uint32_t take;
    if (text.size() <= room) {
        take = static_cast<std::uint32_t>(text.size()); // last line without CR LF
    } else if (text[room] == ' ') {
        take = room;
    } else {
        take = room;
        for (std::uint32_t i = room; i > 0; --i)
            if (text[i - 1] == ' ') {
                take = i;
                break;
            }
    }
    std::memcpy(buffer, text.data(), take);
    buffer[take] = 0;
    o.slot->position = pos + take;
    return 1;
}

std::uint32_t GetDBPosition(DBHandle h) {
    ProcessLock p;
    Open o;
    return resolve(p, h, o) ? o.slot->position : 0;
}

void SetDBPosition(DBHandle h, std::uint32_t position) {
    ProcessLock p;
    Open o;
    if (resolve(p, h, o)) o.slot->position = position;
}

int IsDBFileOpen(const std::string& fileName) {
    std::string path = fullPath(fileName);
    if (path.empty()) return 0;
    for (const DBFileRecord& f : engine().files)
        if (f.useCount > 0 && path == f.path) return 1;
    return 0;
}

int GetDBFileName(DBHandle h, char* buffer) {
    ProcessLock p;
    Open o;
    if (!buffer || !resolve(p, h, o)) return 0;
    std::memcpy(buffer, o.record->path, kPathSize);
    return 1;
}

} // namespace wortex
