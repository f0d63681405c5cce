#include "platform/win32/HandleTable.h"
#include "platform/win32/GlobalMemory.h"

#include <gtest/gtest.h>

#include <cstring>

namespace win32 {
namespace {

struct Dummy : KernelObject {
    Dummy() : KernelObject(ObjectKind::Window) {}
};

TEST(HandleTable, StaleAndForeignHandlesAreRefused) {
    HandleTable t;
    HANDLE a = t.add(std::make_unique<Dummy>());
    ASSERT_NE(a, 0u);
    EXPECT_NE(t.find(a, ObjectKind::Window), nullptr);
    EXPECT_EQ(t.find(a, ObjectKind::File), nullptr) << "kind is part of a handle's identity";
    EXPECT_TRUE(t.remove(a, ObjectKind::Window));
    EXPECT_FALSE(t.remove(a, ObjectKind::Window));
    HANDLE b = t.add(std::make_unique<Dummy>());
    EXPECT_NE(a, b) << "a reused slot gets a new generation";
    EXPECT_EQ(t.find(a, ObjectKind::Window), nullptr);
    EXPECT_NE(t.find(b, ObjectKind::Window), nullptr);
    EXPECT_EQ(t.find(0, ObjectKind::Window), nullptr);
    EXPECT_EQ(t.count(ObjectKind::Window), 1u);
}

TEST(GlobalMemory, LockCountZeroFillAndReallocKeepsBytes) {
    HGLOBAL h = GlobalAlloc(GHND, 16);
    ASSERT_NE(h, 0u);
    auto* p = static_cast<unsigned char*>(GlobalLock(h));
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(p[i], 0);
    std::memcpy(p, "0123456789abcdef", 16);
    EXPECT_EQ(GlobalLockCount(h), 1u);
    EXPECT_FALSE(GlobalUnlock(h)) << "false once the count reaches 0";
    EXPECT_FALSE(GlobalUnlock(h)) << "unlocking an unlocked block fails";
    ASSERT_EQ(GlobalReAlloc(h, 32, GMEM_ZEROINIT), h);
    EXPECT_EQ(GlobalSize(h), 32u);
    p = static_cast<unsigned char*>(GlobalLock(h));
    EXPECT_EQ(std::memcmp(p, "0123456789abcdef", 16), 0);
    for (int i = 16; i < 32; ++i)
        EXPECT_EQ(p[i], 0);
    GlobalUnlock(h);
    EXPECT_EQ(GlobalFree(h), 0u);
    EXPECT_EQ(GlobalLock(h), nullptr);
    EXPECT_EQ(GlobalFree(h), h);
}

} // namespace
} // namespace win32
