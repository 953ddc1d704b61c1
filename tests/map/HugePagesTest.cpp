#include "HugePages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

TEST(HugePages, AContainerKeepsItsElementsWhenItGivesBackWhatItDoesNotUse)
{
    std::vector<std::uint32_t, THugePageAllocator<std::uint32_t>> items;
    // 3 MB in a block of 4 MiB; the last element sits in a page of its own.
    constexpr std::uint32_t Count = 3 * 1024 * 256 + 1;
    for (std::uint32_t i = 0; i < Count; ++i)
        items.push_back(i);
    ReleaseUnusedCapacity(items);
    for (std::uint32_t i = 0; i < Count; ++i)
        ASSERT_EQ(items[i], i);
    // It grows into the pages it gave back.
    items.resize(items.capacity(), 7);
    EXPECT_EQ(items[Count - 1], Count - 1);
    EXPECT_EQ(items.back(), 7u);
}
