// The module allocates nothing once it is set up: not in camp, not outside,
// not while remarking or carrying out commands.
#include <gtest/gtest.h>

#include "standin/host.h"
#include "tests/support/gang_world.h"

namespace {

using gangworld::campAt;
using gangworld::offset;

class AllocationsTest : public testsupport::ModuleTest {};

TEST_F(AllocationsTest, TenThousandPassesAfterSetUpAllocateNothing) {
    ASSERT_TRUE(standin::countingAllocations) << "this test binary must count the module's allocations";
    standin::Game& g = game();
    g.dynamics = true;
    g.completeMission("MUD1");
    const standin::Vec3 camp = campAt(0);
    g.addScenarioPoint("WORLD_ANIMAL_HORSE_GRAZING_CAMP", offset(camp, -3, 3));
    g.addThread("DEF_COMP_BRAIN");
    for (int i = 0; i < 14; ++i) {
        g.addPed(2001 + i, gangworld::gangHorses[i], offset(camp, 2.0f * i, 5)).male = i % 2 == 0;
    }
    for (int i = 0; i < 20; ++i) {
        g.addPed(3001 + i, "CS_DUTCH", offset(camp, -2.0f * i, -5)).relationshipGroup =
            standin::joaat("REL_GANG_DUTCHS");
    }
    g.player().position = offset(camp, 1, 1);
    g.startScript("camp_horseshoeoverlook");
    writeSettings("Follow=Follow me\nStay=Stay here\nSpur=Off you go\nHome=Go home\n");
    start(1);
    const std::uint64_t afterSetUp = standin::moduleAllocations;

    const char* const prompts[4] = {"INPUT_CONTEXT_Y", "INPUT_CONTEXT_X", "INPUT_CONTEXT_B",
                                    "INPUT_SWITCH_SHOULDER"};
    int completed = 0;
    for (int pass = 0; pass < 10000; ++pass) {
        const int horse = 2001 + (pass / 500) % 14;
        switch (pass % 500) {
        case 0: // in camp, riding a gang member's horse: a remark
            g.startScript("camp_horseshoeoverlook");
            g.player().position = offset(camp, 1, 1);
            g.player().mount = horse;
            break;
        case 100: // out of camp, on foot, aiming at the horse: prompts and commands
            g.stopScript("camp_horseshoeoverlook");
            g.player().mount = 0;
            g.player().position = offset(camp, 60, 0);
            g.peds.at(horse).position = offset(camp, 56, 0);
            g.target = horse;
            break;
        case 300:
            g.releaseControl("INPUT_WHISTLE");
            g.target = 0;
            g.player().position = offset(camp, 80, 0);
            break;
        default:
            if (pass % 500 > 100 && pass % 500 < 300 && pass % 25 == 0) {
                completed += g.completePrompt(prompts[(pass / 25) % 4]) ? 1 : 0;
            }
            break;
        }
        runPasses(1);
    }

    EXPECT_EQ(standin::moduleAllocations - afterSetUp, 0u);
    // The passes did what they were meant to: remarks, commands, a horse sent home.
    EXPECT_GE(g.spoken.size(), 20u);
    EXPECT_GE(completed, 40);
    EXPECT_FALSE(calls("taskFollowNavMeshToCoord").empty());
    EXPECT_FALSE(calls("taskSmartFleePed").empty());
    EXPECT_FALSE(calls("native67F7CEAC").empty());
}

} // namespace
