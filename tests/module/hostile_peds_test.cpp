// A host whose worldGetAllPeds misbehaves while a camp script runs: it
// reports more peds than the 1024 the module asks for, none, or a negative
// count. The module reads no more than the 1024 entries of its buffer and
// scans nothing when the count is not positive.
#include <gmock/gmock.h>

#include <climits>

#include "tests/support/gang_world.h"

using namespace gangworld;

namespace {

constexpr int capacity = 1024;

class HostilePedCountTest : public GangWorldTest {
  protected:
    // The handles the host writes into the module's buffer: the world's peds
    // in handle order, the player (100) first, the first 1024 of them.
    std::vector<std::int32_t> written() const {
        std::vector<std::int32_t> handles;
        for (const auto& [handle, ped] : host.game().peds) {
            if (handles.size() == static_cast<std::size_t>(capacity)) {
                break;
            }
            handles.push_back(handle);
        }
        return handles;
    }
    // A pass in which the host reports that count of peds, whatever the module
    // asks for (its 1024, once); returns the mark before the pass.
    std::size_t passReporting(int reported) {
        host.overridePedCount = true;
        host.pedCountOverride = reported;
        const std::size_t m = mark();
        runPasses(1);
        EXPECT_THAT(pedQueries(m),
                    ElementsAre(std::make_pair(std::int64_t{capacity}, std::int64_t{reported})));
        return m;
    }
};

TEST_F(HostilePedCountTest, ACountAboveTheCapacityReadsTheWrittenEntriesOnly) {
    // 1100 peds besides the player: the host writes the player and 1023 of
    // them. One gang horse sits among the written entries, one past them.
    for (std::int32_t handle = 10000; handle < 11100; ++handle) {
        game().addPed(handle, handle == 10005 || handle == 11050 ? dutchHorse : "A_M_M_VALFARMER_01");
    }
    startInCamp();
    const std::vector<std::int32_t> expected = written();
    ASSERT_EQ(expected.size(), static_cast<std::size_t>(capacity));
    ASSERT_EQ(expected.back(), 11022);

    for (int reported : {capacity + 1, 5000, INT_MAX}) {
        const std::size_t m = passReporting(reported);
        // Every written entry is looked at once, in order, and nothing else.
        EXPECT_EQ(handlesOf("getPedRelationshipGroupHash", m), expected) << "reported " << reported;
        EXPECT_THAT(handlesOf("native67F7CEAC", m), ElementsAre(10005)) << "reported " << reported;
    }
}

TEST_F(HostilePedCountTest, ACountOfZeroOrLessScansNothing) {
    horse(300, dutchHorse);
    horse(301, sadieHorse);
    game().addPed(302, "CS_DUTCH").relationshipGroup = standin::joaat("REL_GANG_DUTCHS");
    startInCamp();

    for (int reported : {0, -1, -capacity, INT_MIN}) {
        const std::size_t m = passReporting(reported);
        for (const char* label : {"getPedRelationshipGroupHash", "nativeA5C38736", "native5B9813EC",
                                  "native67F7CEAC", "setPedRelationshipGroupHash"}) {
            EXPECT_THAT(calls(label, m), IsEmpty()) << label << " with the count " << reported;
        }
    }

    // The same world with the true count is scanned: the checks above see a scan.
    host.overridePedCount = false;
    const std::size_t m = mark();
    runPasses(1);
    EXPECT_THAT(handlesOf("getPedRelationshipGroupHash", m), ElementsAre(100, 300, 301, 302));
    EXPECT_THAT(handlesOf("native67F7CEAC", m), ElementsAre(300, 301));
    EXPECT_THAT(handlesOf("nativeA5C38736", m), ElementsAre(302));
}

} // namespace
