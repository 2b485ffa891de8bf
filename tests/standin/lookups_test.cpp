// The stand-in's flat lookups against what they stand for: the world's peds
// by handle beside their ordered map, and the catalogue by hash.
#include <gtest/gtest.h>

#include <algorithm>
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
    std::vector<std::int32_t> visited;
    table.forEachUnordered(
        [&visited](std::int32_t handle, const standin::PedState&) { visited.push_back(handle); });
    std::sort(visited.begin(), visited.end());
    EXPECT_EQ(visited, expectedOrder);
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

// A PedState* kept from a table is right while the table's generation is the
// one seen when it was taken: the generation moves whenever a ped comes or
// goes, and no two tables' peds ever share one.
TEST(PedTableTest, GenerationMovesExactlyWhenPedsComeOrGo) {
    standin::PedTable table;
    table[1].mount = 1;
    std::uint64_t seen = table.generation();
    const standin::PedState* kept = table.get(1);
    table[1].mount = 2; // a ped changed, none came or went
    (void)table.get(7);
    EXPECT_EQ(table.generation(), seen);
    table[7];
    EXPECT_NE(table.generation(), seen);
    seen = table.generation();
    table.erase(7);
    EXPECT_NE(table.generation(), seen);
    seen = table.generation();
    EXPECT_EQ(table.erase(7), 0u); // nothing to erase
    EXPECT_EQ(table.generation(), seen);

    standin::PedTable copy = table;
    EXPECT_NE(copy.generation(), seen);
    standin::PedTable moved = std::move(table);
    EXPECT_EQ(moved.generation(), seen); // the same nodes
    EXPECT_EQ(moved.get(1), kept);
    EXPECT_NE(table.generation(), seen); // emptied, as a new generation
    EXPECT_EQ(table.get(1), nullptr);
    copy = std::move(moved);
    EXPECT_EQ(copy.generation(), seen);
    EXPECT_EQ(copy.get(1), kept);
    EXPECT_NE(moved.generation(), seen);
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
