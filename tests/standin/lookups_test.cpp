// The stand-in's flat lookups against what they stand for: the world's peds
// by handle beside their ordered map, and the catalogue by hash.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <vector>

#include "standin/catalogue.h"
#include "standin/world.h"

namespace {

// Every handle the changes touched, and a few never used, found as the
// ordered map finds them; the table walks in the map's order.
void expectSame(const standin::PedTable& table, const std::map<std::int32_t, int>& expected) {
    ASSERT_EQ(table.size(), expected.size());
    for (std::int32_t handle = -8; handle < 600; ++handle) {
        const standin::PedState* ped = table.get(handle);
        const auto it = expected.find(handle);
        ASSERT_EQ(ped != nullptr, it != expected.end()) << "handle " << handle;
        if (ped != nullptr) {
            EXPECT_EQ(ped->mount, it->second) << "handle " << handle;
        }
    }
    std::vector<std::int32_t> order;
    for (const auto& [handle, ped] : table)
        order.push_back(handle);
    std::vector<std::int32_t> expectedOrder;
    for (const auto& [handle, mount] : expected)
        expectedOrder.push_back(handle);
    EXPECT_EQ(order, expectedOrder);
}

TEST(PedTableTest, FindsWhatItsMapHoldsThroughGrowthErasesCopiesAndMoves) {
    std::mt19937 random(19);
    standin::PedTable table;
    std::map<std::int32_t, int> expected; // handle -> the ped's mount, as a mark
    for (int step = 0; step < 3000; ++step) {
        const std::int32_t handle = static_cast<std::int32_t>(random() % 590);
        switch (random() % 4) {
        case 0:
            table.erase(handle);
            expected.erase(handle);
            break;
        case 1:
            if (auto it = table.find(handle); it != table.end()) {
                table.erase(it);
                expected.erase(handle);
            }
            break;
        default:
            table[handle].mount = step;
            expected[handle] = step;
        }
        if (step % 500 == 499)
            expectSame(table, expected);
    }
    standin::PedTable copy = table;
    table.clear();
    expectSame(table, {});
    expectSame(copy, expected);
    standin::PedTable moved = std::move(copy);
    moved[599].mount = -1;
    expected[599] = -1;
    expectSame(moved, expected);
}

TEST(CatalogueTest, FindsEveryNativeByItsHashAndNothingElse) {
    for (std::size_t i = 0; i < standin::nativeCatalogueSize; ++i) {
        const standin::NativeInfo& info = standin::nativeCatalogue[i];
        EXPECT_EQ(standin::findNative(info.hash), &info) << info.label;
        // Hashes beside a native's, and its low half alone, are not natives.
        EXPECT_EQ(standin::findNative(info.hash + 1), nullptr) << info.label;
        EXPECT_EQ(standin::findNative(info.hash & 0xFFFFFFFFu), nullptr) << info.label;
    }
    EXPECT_EQ(standin::findNative(0), nullptr);
}

} // namespace
