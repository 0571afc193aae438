#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "platform/gdi/handle_table.h"

namespace {

using platform::gdi_detail::HandleTable;
using platform::gdi_detail::SlotRef;

TEST(HandleTableTest, ReusedSlotGetsANewGenerationSoOldReferencesMiss) {
    HandleTable<int> table;
    const SlotRef first = *table.Insert(1);
    ASSERT_TRUE(table.Erase(first));
    const SlotRef second = *table.Insert(2);
    EXPECT_EQ(second.index, first.index);
    EXPECT_NE(second.generation, first.generation);
    EXPECT_EQ(table.Find(first), nullptr);
    EXPECT_FALSE(table.Erase(first));
    ASSERT_NE(table.Find(second), nullptr);
    EXPECT_EQ(*table.Find(second), 2);
}

TEST(HandleTableTest, CountsLiveObjectsRefusesUnknownSlotsAndDestroysWhatItErases) {
    HandleTable<std::shared_ptr<int>> table;
    auto shared = std::make_shared<int>(7);
    const SlotRef a = *table.Insert(shared);
    const SlotRef b = *table.Insert(nullptr);
    EXPECT_EQ(table.LiveCount(), 2u);
    EXPECT_EQ(table.Find(SlotRef{99, 1}), nullptr);
    EXPECT_EQ(table.Find(SlotRef{2, b.generation}), nullptr) << "the slot just past the last";
    EXPECT_FALSE(table.Erase(SlotRef{99, 1}));
    EXPECT_EQ(shared.use_count(), 2);
    table.Erase(a);
    EXPECT_EQ(shared.use_count(), 1);
    EXPECT_EQ(table.LiveCount(), 1u);
    EXPECT_FALSE(table.Erase(a));
    EXPECT_EQ(table.LiveCount(), 1u);
    table.Erase(b);
    EXPECT_EQ(table.LiveCount(), 0u);
}

// Slot + 1 must fit the handle's slot bits: one slot more would spill into the bits above.
TEST(HandleTableTest, AFullTableRefusesMoreUntilASlotIsFreed) {
    HandleTable<int, 4> table;
    std::optional<SlotRef> last;
    for (int i = 0; i < 15; ++i) {
        last = table.Insert(i);
        ASSERT_TRUE(last) << "slot " << i;
    }
    EXPECT_EQ(last->index, 14u);
    EXPECT_FALSE(table.Insert(15)) << "a 16th slot's handle would need a fifth bit";
    EXPECT_EQ(table.LiveCount(), 15u);
    ASSERT_TRUE(table.Erase(*last));
    const std::optional<SlotRef> reused = table.Insert(16);
    ASSERT_TRUE(reused);
    EXPECT_EQ(reused->index, 14u);
}

}  // namespace
