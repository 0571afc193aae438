#include <gtest/gtest.h>

#include "platform/gdi/gdi_debug.h"
#include "platform/gdi/local_memory.h"

namespace {

TEST(LocalMemoryTest, ZeroInitialisedBlockIsZeroAndWritable) {
    const std::size_t before = platform::LiveLocalBlocks();
    HLOCAL block = LocalAlloc(LPTR, 200);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(platform::LiveLocalBlocks(), before + 1);
    auto* bytes = static_cast<unsigned char*>(static_cast<void*>(block));
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(bytes[i], 0) << i;
    }
    bytes[199] = 0xAB;
    EXPECT_EQ(LocalFree(block), nullptr);
    EXPECT_EQ(platform::LiveLocalBlocks(), before);
}

TEST(LocalMemoryTest, FreeingTwiceOrAForeignPointerIsRefused) {
    HLOCAL block = LocalAlloc(LMEM_FIXED, 16);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(LocalFree(block), nullptr);
    EXPECT_EQ(LocalFree(block), block);
    int local = 0;
    HLOCAL foreign = static_cast<HLOCAL>(static_cast<void*>(&local));
    EXPECT_EQ(LocalFree(foreign), foreign);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
}

TEST(LocalMemoryTest, RefusesMovableBlocksAndHugeRequestsButAllowsEmptyOnes) {
    constexpr UINT kMoveable = 0x0002;
    EXPECT_EQ(LocalAlloc(kMoveable, 16), nullptr);
    EXPECT_EQ(LocalAlloc(LPTR, 0xFFFFFFFFu), nullptr);
    // Up to 256 MiB.
    EXPECT_EQ(LocalAlloc(LMEM_FIXED, (256u << 20) + 1), nullptr);
    HLOCAL largest = LocalAlloc(LMEM_FIXED, 256u << 20);
    EXPECT_NE(largest, nullptr);
    LocalFree(largest);
    HLOCAL empty = LocalAlloc(LPTR, 0);
    HLOCAL other = LocalAlloc(LPTR, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_NE(empty, other);
    EXPECT_EQ(LocalFree(empty), nullptr);
    EXPECT_EQ(LocalFree(other), nullptr);
}

}  // namespace
