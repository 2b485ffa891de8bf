// The timeline's words agree with the world: a whistle not heard says why,
// a horse arrives only inside the camp box, a horse let go at the camp is
// told as such, scenario changes and grazing in place are told plainly, and
// a module reload names what the unloaded module left in the world.
#include <gmock/gmock.h>

#include <sstream>
#include <string>

#include "sim/scenario/scenario_file.h"
#include "tests/support/scenario_runs.h"

namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

using simtest::timelineOf;
std::string timelineOf(const std::string& yaml) {
    return simtest::timelineOf(sim::parseScenario(yaml, "words.yaml"));
}
// Dutch's horse sent home from y metres north of Horseshoe Overlook, Bill's
// beside it, then the events given.
std::string sentHome(int y, const std::string& events) {
    const std::string at = std::to_string(y) + ", 95.3]}\n";
    return "name: Sent home\nduration: 30s\nworld:\n  player: {position: [-116, " + std::to_string(y + 4) +
           ", 95.3]}\n  missions_completed: [MUD1]\n  grazing_points: [{position: [-118, 3, 95.3]}]\n  "
           "peds:\n"
           "    - {name: dutch_horse, model: A_C_HORSE_GANG_DUTCH, position: [-116, " +
           at + "    - {name: bill_horse, model: A_C_HORSE_GANG_BILL, position: [-110, " + at +
           "events:\n  - {at: 1s, target: dutch_horse}\n  - {at: 2s, prompt: send_home}\n"
           "  - {at: 2500ms, target: null}\n" +
           events;
}
std::string bundled(const char* name) {
    return timelineOf(sim::loadScenario(std::string(GH_SCENARIO_DIR "/") + name + ".yaml"));
}

TEST(SimTimelineWords, AWhistleNotHeardSaysWhy) {
    const std::string whistle = bundled("follow_whistle");
    EXPECT_THAT(whistle,
                HasSubstr("00:11.500  the player whistles\n00:11.500  the whistle is not heard: in camp "
                          "(camp_horseshoeoverlook runs) the whistle does nothing\n"));
    EXPECT_THAT(whistle, HasSubstr("00:43.000  the player whistles\n"
                                   "00:43.000  the whistle is not heard: dutch_horse is on its way home\n"));
    // Heard, it says nothing of the kind: the horse follows.
    EXPECT_THAT(whistle,
                HasSubstr("00:13.000  the player whistles\n00:13.000  dutch_horse's tasks cleared\n"));
    EXPECT_THAT(
        timelineOf(sentHome(600, "  - {at: 5s, whistle: true}\n")),
        HasSubstr("00:05.000  the whistle is not heard: the script is paused until 00:13.033 (a 10000 ms "
                  "wait) and asks for nothing meanwhile; a whistle counts only in the frame it is "
                  "released\n"));
}

TEST(SimTimelineWords, AWalkHomeEndsInAnArrivalOnlyInsideTheCampBox) {
    EXPECT_THAT(
        bundled("stay_on_way_home"),
        AllOf(HasSubstr("00:06.000  bill_horse stops short of the camp at (-115.99, 94.00, 95.30), 94.50 "
                        "m from it\n"),
              Not(HasSubstr("arrives"))));
    EXPECT_THAT(bundled("far_teleport"),
                HasSubstr("00:13.033  dutch_horse arrives at (-115.82, -0.50, 95.29)\n"));
    // Put at the camp, then let go for another horse before it grazes.
    EXPECT_THAT(
        timelineOf(sentHome(600, "  - {at: 13050ms, target: bill_horse}\n")),
        HasSubstr("00:13.066  dutch_horse is let go: it had been put at the camp, not yet grazing (it "
                  "stays there; nothing sends it to graze any more) and carried the \"Gang Horse\" "
                  "blip\n"));
}

TEST(SimTimelineWords, ChangesAndGrazingInPlaceAreToldInPlainWords) {
    EXPECT_THAT(
        bundled("send_home_still"),
        AllOf(HasSubstr("00:04.000  dutch_horse stands still and is held so until a change says "
                        "otherwise\n"),
              HasSubstr("00:09.000  dutch_horse no longer stands still and is not held: the world moves it "
                        "again\n")));
    // The grazing point is taken by the horse sent home first.
    EXPECT_THAT(
        timelineOf(sentHome(10, "  - {at: 12s, target: bill_horse}\n  - {at: 13s, prompt: send_home}\n")),
        HasSubstr("00:19.033  bill_horse grazing where it stands: the grazing point at (-118.00, 3.00, "
                  "95.30) is taken by dutch_horse\n"));
}

TEST(SimTimelineWords, AModuleReloadNamesWhatTheUnloadedModuleLeft) {
    const std::string told = timelineOf(R"(name: Reload
duration: 6s
world:
  player: {position: [0, 0, 0]}
  peds:
    - {name: dutch_horse, model: A_C_HORSE_GANG_DUTCH, position: [10, 0, 0]}
events:
  - {at: 1s, target: dutch_horse}
  - {at: 1500ms, prompt: follow}
  - {at: 2s, move_player: [100, 0, 0]}
  - {at: 3s, module_reload: true}
  - {at: 4s, target: null}
  - {at: 5s, prompt: stay}
)");
    EXPECT_THAT(told,
                HasSubstr("00:03.000  the unloaded module's blip \"Gang Horse\" on dutch_horse stays in the "
                          "world: the module has no call that removes it\n"
                          "00:03.000  the unloaded module's prompts stay shown on dutch_horse: \"Follow "
                          "me\" | \"Stay here\" | \"Off you go\" | \"Go home\": the module has no call "
                          "that removes them\n"
                          "00:03.000  dutch_horse stays in the player's group, where the unloaded module "
                          "put it: it keeps following the player\n"
                          "00:03.000  the host loads the module again\n"));
    EXPECT_THAT(told,
                HasSubstr("00:03.000  blip \"Gang Horse\" on dutch_horse added (a second one: the unloaded "
                          "module's stays)\n"));
    // The new module's prompts are told apart from the old ones, which the player may still complete.
    EXPECT_THAT(told,
                HasSubstr("00:04.000  prompts hidden (the unloaded module's stay shown on dutch_horse)\n"
                          "00:05.000  the player completes the stay prompt (the one the unloaded module "
                          "left: nothing happens)\n"));
}

} // namespace
