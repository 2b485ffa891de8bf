// A ped that left the world is gone: a scenario cannot aim at it, mount it
// or remove it again, and the timeline never tells a task the module gives
// its handle as if it had happened.
#include <gmock/gmock.h>

#include <string>

#include "tests/support/scenario_runs.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const std::string head = R"(name: Gone
duration: 5s
world:
  player: {position: [50, 0, 0]}
  missions_completed: [MUD1]
  peds:
    - {name: dutch_horse, model: A_C_HORSE_GANG_DUTCH, position: [60, 0, 0]}
events:
  - {at: 1s, target: dutch_horse}
)";
const std::string world = head + "  - {at: 2s, remove_ped: dutch_horse}\n";

TEST(SimRemovedPed, APedThatLeftTheWorldCannotBeAimedAtMountedOrRemovedAgain) {
    struct Case {
        const char* event;
        const char* error;
    };
    const Case cases[] = {
        {"  - {at: 3s, target: dutch_horse}\n",
         "gone.yaml:11:22: dutch_horse left the world at 00:02.000 (line 10): it cannot be aimed at"},
        {"  - {at: 3s, mount: dutch_horse}\n",
         "gone.yaml:11:21: dutch_horse left the world at 00:02.000 (line 10): it cannot be mounted"},
        {"  - {at: 2s, remove_ped: dutch_horse}\n",
         "gone.yaml:11:26: dutch_horse left the world at 00:02.000 (line 10): it cannot be removed again"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(simtest::errorOf(world + c.event, "gone.yaml"), c.error) << c.event;
    // Changing it, or expecting things of it, still makes sense.
    EXPECT_NO_THROW(sim::parseScenario(world + "  - {at: 3s, ped: dutch_horse, set: {still: true}}\n"
                                               "expect:\n  - {blip: dutch_horse, after: 3s, never: true}\n",
                                       "gone.yaml"));
}

TEST(SimRemovedPed, TasksForItsHandleAreToldAsChangingNothing) {
    // The prompts completed just as the horse leaves: the module still spurs
    // it and sends it home by its handle, which the game no longer knows.
    const std::string timeline = simtest::timelineOf(sim::parseScenario(head + R"(  - {at: 2s, prompt: spur}
  - {at: 2s, prompt: send_home}
  - {at: 2s, remove_ped: dutch_horse}
expect:
  - {native: taskSmartFleePed, args: [dutch_horse], after: 3s, by: 3s, times: 1}
  - {native: taskFollowNavMeshToCoord, args: [dutch_horse], after: 4s, by: 4s, times: 1}
)",
                                                                        "gone.yaml"));
    EXPECT_THAT(timeline, HasSubstr("00:03.000  dutch_horse is not in the world: the flee task changes "
                                    "nothing\n"));
    EXPECT_THAT(timeline, HasSubstr("00:04.000  dutch_horse is not in the world: the walk home changes "
                                    "nothing\n"));
    EXPECT_THAT(timeline, Not(HasSubstr("spurred away")));
    EXPECT_THAT(timeline, Not(HasSubstr("sent home: walks")));
}

} // namespace
