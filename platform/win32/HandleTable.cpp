#include "platform/win32/HandleTable.h"

namespace win32 {

HANDLE HandleTable::add(std::unique_ptr<KernelObject> object) {
    std::lock_guard lock(mutex_);
    std::uint32_t index;
    if (!free_.empty()) {
        index = free_.back();
        free_.pop_back();
    } else {
        if (slots_.size() >= kIndexMask) return 0;
        index = static_cast<std::uint32_t>(slots_.size());
        slots_.emplace_back();
    }
    Slot& s = slots_[index];
    s.object = std::move(object);
    return (s.generation << kIndexBits) | (index + 1);
}

KernelObject* HandleTable::find(HANDLE h, ObjectKind kind) const {
    std::lock_guard lock(mutex_);
    return findLocked(h, kind);
}

KernelObject* HandleTable::findLocked(HANDLE h, ObjectKind kind) const {
    std::uint32_t index = (h & kIndexMask);
    if (index == 0 || index > slots_.size()) return nullptr;
    const Slot& s = slots_[index - 1];
    if (!s.object || (h >> kIndexBits) != s.generation || s.object->kind() != kind) return nullptr;
    return s.object.get();
}

bool HandleTable::remove(HANDLE h, ObjectKind kind) {
    std::unique_ptr<KernelObject> removed;
    {
        std::lock_guard lock(mutex_);
        if (!findLocked(h, kind)) return false;
        std::uint32_t index = (h & kIndexMask) - 1;
        Slot& s = slots_[index];
        removed = std::move(s.object);
        s.generation = (s.generation % ((1u << (32 - kIndexBits)) - 1)) + 1;
        free_.push_back(index);
    }
    // Destroyed outside the lock: an object's end may reach the table again.
    removed.reset();
    return true;
}

std::size_t HandleTable::count(ObjectKind kind) const {
    std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const Slot& s : slots_)
        if (s.object && s.object->kind() == kind) ++n;
    return n;
}

} // namespace win32
