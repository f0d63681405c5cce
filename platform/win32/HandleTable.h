#pragma once
// 32-bit handles on kernel objects (memory blocks, files; windows later). A handle carries its slot in the
// low 20 bits and a generation in the high 12, so a stale handle is refused instead of reaching a newer
// object in the same slot.
#include "platform/win32/Win32Types.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace win32 {

enum class ObjectKind { Memory, File, Window, Dialog };

class KernelObject {
public:
    explicit KernelObject(ObjectKind kind) : kind_(kind) {}
    virtual ~KernelObject() = default;
    ObjectKind kind() const { return kind_; }

private:
    ObjectKind kind_;
};

// Host threads and the library add, find and remove handles at once. Finding takes no lock (it is asked
// for every message and every locked block): slots lie in chunks that never move. An object found stays
// valid until its own handle is removed.
class HandleTable {
public:
    HandleTable() = default;
    HandleTable(const HandleTable&) = delete;
    HandleTable& operator=(const HandleTable&) = delete;
    ~HandleTable();

    HANDLE add(std::unique_ptr<KernelObject> object);
    KernelObject* find(HANDLE h, ObjectKind kind) const;
    template <class T> T* get(HANDLE h, ObjectKind kind) const { return static_cast<T*>(find(h, kind)); }
    // Removes the object; false for an invalid handle or one of another kind.
    bool remove(HANDLE h, ObjectKind kind);
    std::size_t count(ObjectKind kind) const;

private:
    struct Slot {
        std::atomic<KernelObject*> object{nullptr};
        std::atomic<std::uint32_t> generation{1};
    };
    static constexpr std::uint32_t kIndexBits = 20;
    static constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;
    static constexpr std::uint32_t kChunkBits = 12;
    static constexpr std::uint32_t kChunkSize = 1u << kChunkBits;
    static constexpr std::uint32_t kChunks = (kIndexMask + kChunkSize - 1) / kChunkSize;
    Slot* slot(std::uint32_t index) const; // null past the slots made
    std::atomic<Slot*> chunks_[kChunks] = {};
    std::atomic<std::uint32_t> used_{0};
    std::vector<std::uint32_t> free_;
    mutable std::mutex mutex_; // adding and removing
};

} // namespace win32
