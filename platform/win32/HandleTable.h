#pragma once
// 32-bit handles on kernel objects (memory blocks, files; windows later). A handle carries its slot in the
// low 20 bits and a generation in the high 12, so a stale handle is refused instead of reaching a newer
// object in the same slot.
#include "platform/win32/Win32Types.h"

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

// Host threads and the library add, find and remove handles at once; an object found stays valid until
// its own handle is removed.
class HandleTable {
public:
    HANDLE add(std::unique_ptr<KernelObject> object);
    KernelObject* find(HANDLE h, ObjectKind kind) const;
    template <class T> T* get(HANDLE h, ObjectKind kind) const { return static_cast<T*>(find(h, kind)); }
    // Removes the object; false for an invalid handle or one of another kind.
    bool remove(HANDLE h, ObjectKind kind);
    std::size_t count(ObjectKind kind) const;

private:
    struct Slot {
        std::unique_ptr<KernelObject> object;
        std::uint32_t generation = 1;
    };
    KernelObject* findLocked(HANDLE h, ObjectKind kind) const;
    static constexpr std::uint32_t kIndexBits = 20;
    static constexpr std::uint32_t kIndexMask = (1u << kIndexBits) - 1;
    std::vector<Slot> slots_;
    std::vector<std::uint32_t> free_;
    mutable std::mutex mutex_;
};

} // namespace win32
