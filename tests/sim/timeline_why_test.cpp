// The timeline says why: why a horse was put at the camp, where it grazes,
// why it stopped following, what a horse let go for another was doing, and
// that a send-home prompt does nothing before the story has placed a camp.
#include <gmock/gmock.h>

#include <string>

#include "tests/support/scenario_runs.h"

namespace {

using simtest::timelineOf;
using ::testing::HasSubstr;

std::string timelineOf(const std::string& yaml) { return timelineOf(sim::parseScenario(yaml, "why.yaml")); }

TEST(SimTimelineWhy, APutAtTheCampSaysWhyAndAGrazingPointWhere) {
    const std::string far = timelineOf(sim::loadScenario(GH_SCENARIO_DIR "/far_teleport.yaml"));
    EXPECT_THAT(far,
                HasSubstr("00:13.033  dutch_horse teleported to the camp at (-115.82, -0.50, 95.29), as it "
                          "was 600.44 m from the camp (more than 500 m)\n"));
    EXPECT_THAT(far, HasSubstr("00:13.066  dutch_horse sent to graze at the grazing point at (-118.00, 3.00, "
                               "95.30)\n"));
    EXPECT_THAT(far, HasSubstr("00:20.000  scenario ends\n")) << "at its duration, not a frame later";
}

TEST(SimTimelineWhy, AHorseThatStopsFollowingSaysWhy) {
    const std::string told = timelineOf(simtest::dutchHorseFollows("Why it stops", "16s") +
                                        R"(  - {at: 5s, move_player: [30, 0, 0]}
  - {at: 6s, prompt: stay}
  - {at: 7s, prompt: follow}
  - {at: 8s, move_player: [60, 0, 0]}
  - {at: 9s, mount: dutch_horse}
  - {at: 10s, mount: null}
  - {at: 10s, prompt: follow}
  - {at: 11s, move_player: [40, 0, 0]}
  - {at: 12s, prompt: spur}
)");
    for (const char* why :
         {"close enough, within 3 m of the player", "told to stay", "the player rides it", "it flees"}) {
        EXPECT_THAT(told, HasSubstr(std::string("dutch_horse stops following the player: ") + why)) << told;
    }
}

TEST(SimTimelineWhy, ASwitchAndASendHomeWithoutACampAreExplained) {
    const std::string told = timelineOf(R"(name: Switch
duration: 6s
world:
  player: {position: [0, 0, 0]}
  peds:
    - {name: dutch_horse, model: A_C_HORSE_GANG_DUTCH, position: [10, 0, 0]}
    - {name: bill_horse, model: A_C_HORSE_GANG_BILL, position: [0, 10, 0]}
events:
  - {at: 1s, target: dutch_horse}
  - {at: 2s, prompt: follow}
  - {at: 2s, move_player: [-30, 0, 0]}
  - {at: 3s, target: bill_horse}
  - {at: 4s, prompt: send_home}
)");
    EXPECT_THAT(told,
                HasSubstr("00:03.000  bill_horse is the borrowed horse\n"
                          "00:03.000  dutch_horse is let go: it was following the player and carried the "
                          "\"Gang Horse\" blip\n"));
    EXPECT_THAT(told,
                HasSubstr("00:03.000  dutch_horse stops following the player: let go for bill_horse\n"));
    EXPECT_THAT(told,
                HasSubstr("00:04.000  the player completes the send-home prompt\n"
                          "00:04.000  the send-home prompt does nothing: no camp is known yet, as no story "
                          "mission has placed it"));
}

TEST(SimTimelineWhy, AReturnHomeEndedByRidingOrStayIsTold) {
    const std::string ridden = timelineOf(sim::loadScenario(GH_SCENARIO_DIR "/ride_sent_home.yaml"));
    EXPECT_THAT(ridden,
                HasSubstr("00:04.000  the player mounts dutch_horse\n"
                          "00:04.000  dutch_horse is no longer on its way home: the player rides it\n"));
    const std::string stayed = timelineOf(sim::loadScenario(GH_SCENARIO_DIR "/stay_on_way_home.yaml"));
    EXPECT_THAT(stayed, HasSubstr("00:06.000  the player says \"HORSE_STAY_HERE_MALE\"\n"
                                  "00:06.000  bill_horse is no longer on its way home: told to stay\n"));
}

} // namespace
