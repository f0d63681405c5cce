#include "platform/win32/HandleTable.h"

namespace win32 {

HandleTable::~HandleTable() {
    for (std::atomic<Slot*>& c : chunks_) {
        Slot* chunk = c.load();
        if (!chunk) continue;
        for (std::uint32_t i = 0; i < kChunkSize; ++i)
            delete chunk[i].object.load();
        delete[] chunk;
    }
}

HandleTable::Slot* HandleTable::slot(std::uint32_t index) const {
    if (index >= used_.load(std::memory_order_acquire)) return nullptr;
    Slot* chunk = chunks_[index >> kChunkBits].load(std::memory_order_acquire);
    return chunk ? &chunk[index & (kChunkSize - 1)] : nullptr;
}

HANDLE HandleTable::add(std::unique_ptr<KernelObject> object) {
    std::lock_guard lock(mutex_);
    std::uint32_t index;
    if (!free_.empty()) {
        index = free_.back();
        free_.pop_back();
    } else {
        index = used_.load(std::memory_order_relaxed);
        if (index >= kIndexMask) return 0;
        std::atomic<Slot*>& chunk = chunks_[index >> kChunkBits];
        if (!chunk.load(std::memory_order_relaxed)) chunk.store(new Slot[kChunkSize], std::memory_order_release);
        used_.store(index + 1, std::memory_order_release);
    }
    Slot& s = *slot(index);
    s.object.store(object.release(), std::memory_order_release);
    return (s.generation.load(std::memory_order_relaxed) << kIndexBits) | (index + 1);
}

KernelObject* HandleTable::find(HANDLE h, ObjectKind kind) const {
    std::uint32_t index = (h & kIndexMask);
    Slot* s = index ? slot(index - 1) : nullptr;
    if (!s || (h >> kIndexBits) != s->generation.load(std::memory_order_acquire)) return nullptr;
    KernelObject* o = s->object.load(std::memory_order_acquire);
    return o && o->kind() == kind ? o : nullptr;
}

bool HandleTable::remove(HANDLE h, ObjectKind kind) {
    KernelObject* removed = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (!find(h, kind)) return false;
        std::uint32_t index = (h & kIndexMask) - 1;
        Slot& s = *slot(index);
        removed = s.object.exchange(nullptr, std::memory_order_acq_rel);
        std::uint32_t g = s.generation.load(std::memory_order_relaxed);
        s.generation.store((g % ((1u << (32 - kIndexBits)) - 1)) + 1, std::memory_order_release);
        free_.push_back(index);
    }
    // Destroyed outside the lock: an object's end may reach the table again.
    delete removed;
    return true;
}

std::size_t HandleTable::count(ObjectKind kind) const {
    std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (std::uint32_t i = 0; i < used_.load(std::memory_order_relaxed); ++i)
        if (KernelObject* o = slot(i)->object.load(std::memory_order_relaxed); o && o->kind() == kind) ++n;
    return n;
}

} // namespace win32
