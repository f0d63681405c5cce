#include "platform/win32/GlobalMemory.h"
#include "platform/win32/Kernel.h"

#include <cstring>
#include <new>

namespace win32 {

namespace {

struct MemoryBlock : KernelObject {
    MemoryBlock() : KernelObject(ObjectKind::Memory) {}
    ~MemoryBlock() override { delete[] data; }
    unsigned char* data = nullptr;
    std::size_t size = 0;
    UINT locks = 0;
};

MemoryBlock* block(HGLOBAL h) {
    return Kernel::instance().handles().get<MemoryBlock>(h, ObjectKind::Memory);
}

} // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t size) {
    auto b = std::make_unique<MemoryBlock>();
    // A zero-size block still gets one byte so that locking it yields a valid address.
    b->data = new (std::nothrow) unsigned char[size ? size : 1];
    if (!b->data) return 0;
    b->size = size;
    if (flags & GMEM_ZEROINIT) std::memset(b->data, 0, size ? size : 1);
    return Kernel::instance().handles().add(std::move(b));
}

HGLOBAL GlobalReAlloc(HGLOBAL h, std::size_t size, UINT flags) {
    MemoryBlock* b = block(h);
    if (!b) return 0;
    auto* data = new (std::nothrow) unsigned char[size ? size : 1];
    if (!data) return 0;
    std::size_t keep = size < b->size ? size : b->size;
    std::memcpy(data, b->data, keep);
    if (size > keep) {
        if (flags & GMEM_ZEROINIT) std::memset(data + keep, 0, size - keep);
    }
    delete[] b->data;
    b->data = data;
    b->size = size;
    return h;
}

void* GlobalLock(HGLOBAL h) {
    MemoryBlock* b = block(h);
    if (!b) return nullptr;
    ++b->locks;
    return b->data;
}

bool GlobalUnlock(HGLOBAL h) {
    MemoryBlock* b = block(h);
    if (!b || b->locks == 0) return false;
    return --b->locks > 0;
}

HGLOBAL GlobalFree(HGLOBAL h) {
    return Kernel::instance().handles().remove(h, ObjectKind::Memory) ? 0 : h;
}

std::size_t GlobalSize(HGLOBAL h) {
    MemoryBlock* b = block(h);
    return b ? b->size : 0;
}

UINT GlobalLockCount(HGLOBAL h) {
    MemoryBlock* b = block(h);
    return b ? b->locks : 0;
}

} // namespace win32
