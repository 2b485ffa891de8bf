// The world a scenario plays out in: prompts, the whistle, waits, peds that
// leave, scenario points, the camp box and fleeing behave as in the game,
// and the timeline tells it in words.
#include <gmock/gmock.h>

#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "facts/module_facts.h"
#include "standin/catalogue.h"
#include "standin/slots.h"
#include "tests/support/scenario_runs.h"

namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using Json = nlohmann::json;

struct Ran {
    std::vector<std::string> failures;
    std::string timeline;
    std::vector<Json> trace;

    // The results of the native with that label, called with the handle as
    // its first argument (any handle when 0), in order.
    std::vector<Json> results(const char* label, std::int32_t handle = 0) const {
        std::vector<Json> found;
        for (const Json& line : trace) {
            if (line.value("native", "") == label &&
                (handle == 0 || line["args"][0] == standin::hex64(standin::slotOf(handle))))
                found.push_back(line["result"]);
        }
        return found;
    }
};

Ran run(const std::string& yaml) {
    const simtest::Ran ran = simtest::runYaml(yaml, "world.yaml");
    return {ran.result.failures, ran.timeline, simtest::jsonLines<Json>(ran.trace)};
}

const Json yes = standin::hex64(1), no = standin::hex64(0);

// Dutch's horse ten metres from the player; the story has reached MUD1.
const std::string outside = simtest::dutchHorseAhead("World", "6s");
// And aimed at at 1 s: the borrowed horse. More events may follow.
const std::string aimedAt = outside + "events:\n  - {at: 1s, target: dutch_horse}\n";

TEST(SimWorld, APromptIsCompletedOnlyWhileShownAndStaysPendingUntilTested) {
    const Ran ran = run(outside + R"(events:
  - {at: 500ms, prompt: stay}
  - {at: 1s, target: dutch_horse}
  - {at: 2s, prompt: spur}
  - {at: 2500ms, prompt: stay}
  - {at: 2500ms, prompt: follow}
expect:
  # Not shown at 0.5 s: lost, not kept for later; completed during the spur's
  # wait: carried out when the script tests it, stay in the same pass right
  # after the wait, follow (tested before spur) in the next pass.
  - {said: HORSE_STAY_HERE_MALE, after: 3s, by: 3s, times: 1}
  - {said: HORSE_STAY_HERE_MALE, times: 1}
  - {said: HORSE_FOLLOW_ME_MALE, after: 3033ms, by: 3033ms, times: 1}
)");
    EXPECT_THAT(ran.failures, IsEmpty());
    EXPECT_THAT(ran.timeline, HasSubstr("00:00.500  the player completes the stay prompt (not shown: nothing "
                                        "happens)\n"));
    EXPECT_THAT(ran.timeline, HasSubstr("00:02.500  the player completes the stay prompt\n"));
}

TEST(SimWorld, TheWhistleIsJustReleasedForOneFrameOnly) {
    // Whistled during the spur's wait, the whistle is gone when the script
    // looks; whistled while the script runs, it is heard.
    const Ran ran = run(aimedAt + R"(  - {at: 2s, prompt: spur}
  - {at: 2200ms, target: null}
  - {at: 2500ms, whistle: true}
expect:
  - {native: isControlJustReleased, after: 2001ms, by: 2999ms, never: true}
  - {following: dutch_horse, never: true}
)");
    EXPECT_THAT(ran.failures, IsEmpty());
    for (const Json& heard : ran.results("isControlJustReleased"))
        EXPECT_EQ(heard, no);

    const Ran heard = run(aimedAt + R"(  - {at: 1500ms, target: null}
  - {at: 2s, whistle: true}
expect:
  - {following: dutch_horse, after: 2s, by: 2s}
)");
    EXPECT_THAT(heard.failures, IsEmpty());
    int released = 0;
    for (const Json& result : heard.results("isControlJustReleased"))
        released += result == yes ? 1 : 0;
    EXPECT_EQ(released, 1);
}

TEST(SimWorld, APedThatLeavesTheWorldAnswersAsNothing) {
    // Sent home, the horse is removed on its way: the game knows nothing of
    // its handle any more, and the module forgets it rather than wait on it.
    const Ran ran = run(aimedAt + R"(  - {at: 2s, prompt: send_home}
  - {at: 2500ms, target: null}
  - {at: 4s, remove_ped: dutch_horse}
expect:
  - {wait: 10000, never: true}
  - {teleported: dutch_horse, never: true}
  - {native: removeBlip, args: [20481], after: 4s, by: 4s, times: 1}
)");
    EXPECT_THAT(ran.failures, IsEmpty());
    EXPECT_THAT(ran.timeline, HasSubstr("00:04.000  dutch_horse leaves the world\n"));
    EXPECT_THAT(ran.timeline, HasSubstr("blip \"Gang Horse\" on dutch_horse removed"));
    EXPECT_THAT(ran.timeline, HasSubstr("dutch_horse is forgotten: no borrowed horse"));
    // Its last answers, at 00:04.000: no model, no position, not at the camp.
    EXPECT_EQ(ran.results("getEntityModel", 2001).back(), no);
    EXPECT_EQ(ran.results("getEntityCoords", 2001).back(), Json::parse("[0.0, 0.0, 0.0]"));
    EXPECT_EQ(ran.results("isEntityAtCoord", 2001).back(), no);
}

TEST(SimWorld, TheGrazingPointIsFoundWithinTheSearchRadiusIn3D) {
    // Around the first camp, a point 1 m inside the radius to the north is
    // found; one as far north and sqrt(2 r) up is sqrt(r² + 1) away, past it
    // (200.0025 m for 200 m); so is one 0.1 m past it to the south.
    const facts::CampRule& camp = facts::campRules[0];
    const float r = facts::grazingSearchRadius;
    struct Case {
        float dy, dz;
        bool found;
    };
    for (const Case& c :
         {Case{r - 1, 0, true}, Case{r - 1, std::sqrt(2 * r), false}, Case{-r - 0.1f, 0, false}}) {
        std::ostringstream point;
        point << "[" << camp.x << ", " << camp.y + c.dy << ", " << camp.z + c.dz << "]";
        const Ran ran = run(outside + "  grazing_points: [{position: " + point.str() + "}]\n");
        ASSERT_FALSE(ran.results("findScenarioOfTypeHash").empty());
        EXPECT_EQ(ran.results("findScenarioOfTypeHash").back(), c.found ? Json(standin::hex64(0x3001)) : no)
            << point.str();
    }
}

TEST(SimWorld, TheCampIsABoxAroundItsPosition) {
    // isEntityAtCoord for the borrowed horse, stood at offsets from the first
    // camp: just inside the box's extents each way, and just outside.
    const facts::CampRule& camp = facts::campRules[0];
    const facts::Extent& box = facts::campBox;
    struct Case {
        float dx, dy, dz;
        bool inside;
    };
    for (const Case& c :
         {Case{0, 0, 0, true}, Case{box.x - 0.1f, box.y - 0.1f, box.z - 0.1f, true},
          Case{-box.x + 0.1f, -box.y + 0.1f, -box.z + 0.1f, true}, Case{box.x + 0.1f, 0, 0, false},
          Case{0, -box.y - 0.1f, 0, false}, Case{0, 0, box.z + 0.1f, false}}) {
        std::ostringstream yaml;
        yaml << "name: Box\nduration: 100ms\nworld:\n  missions_completed: [" << camp.done
             << "]\n  peds:\n    - {name: h, handle: 2001, model: A_C_HORSE_GANG_DUTCH, still: false, stuck: "
                "true, "
                "position: ["
             << camp.x + c.dx << ", " << camp.y + c.dy << ", " << camp.z + c.dz
             << "]}\nevents:\n  - {at: 0s, target: h}\n";
        const Ran ran = run(yaml.str());
        const std::vector<Json> answers = ran.results("isEntityAtCoord", 2001);
        ASSERT_FALSE(answers.empty());
        EXPECT_EQ(answers.back(), c.inside ? yes : no) << c.dx << ", " << c.dy << ", " << c.dz;
    }
}

TEST(SimWorld, AFleeingHorseReportsFleeingUntilFarEnough) {
    const Ran ran = run(R"(name: Flee
duration: 14s
world:
  peds:
    - {name: dutch_horse, handle: 2001, model: A_C_HORSE_GANG_DUTCH, position: [10, 0, 0]}
events:
  - {at: 1s, target: dutch_horse}
  - {at: 2s, prompt: spur}
  - {at: 2500ms, target: null}
expect:
  # Fifty metres from the player at seven metres a second: in under six
  # seconds, and there it stops (overshooting by less than a frame's run).
  - {near: dutch_horse, position: [50, 0, 0], within: 0.25, after: 8800ms, by: 9s}
  - {near: dutch_horse, position: [50, 0, 0], within: 0.25, after: 14s}
)");
    EXPECT_THAT(ran.failures, IsEmpty());
    // isPedFleeing: false, then true while it runs, then false for good.
    std::string answers;
    for (const Json& answer : ran.results("isPedFleeing", 2001)) {
        const char seen = answer == yes ? 'T' : 'F';
        if (answers.empty() || answers.back() != seen)
            answers += seen;
    }
    EXPECT_EQ(answers, "FTF");
}

TEST(SimWorld, EventsDuringALongWaitChangeTheWorldAtTheirTime) {
    // The camp's ten-second settle wait: the player moves and mounts meanwhile.
    const Ran ran = run(R"(name: Settle
duration: 12s
world:
  player: {position: [0, 0, 0]}
  camp_scripts: [camp_clemenspoint]
  peds:
    - {name: dutch_horse, handle: 2001, model: A_C_HORSE_GANG_DUTCH, position: [10, 0, 0]}
events:
  - {at: 3s, move_player: [40, 0, 0]}
  - {at: 5s, mount: dutch_horse}
  - {at: 7s, move_player: [80, 0, 0]}
expect:
  - {near: dutch_horse, position: [80, 0, 0], within: 0.01, after: 7s, by: 7s}
  - {said: Take_Horse_Dutch, after: 11s, by: 11s}
)");
    EXPECT_THAT(ran.failures, IsEmpty());
    EXPECT_THAT(ran.timeline,
                HasSubstr("00:00.000  the script waits 10000 ms\n"
                          "00:03.000  the player moves to (40.00, 0.00, 0.00)\n"
                          "00:05.000  the player mounts dutch_horse\n"
                          "00:07.000  the player moves to (80.00, 0.00, 0.00)\n"
                          "00:10.000  camp prepared: 1 gang horse(s) (dutch_horse), 0 gang member(s)\n"
                          "00:10.000  the script waits 1000 ms\n"
                          "00:11.000  the player says \"Take_Horse_Dutch\"\n"));
}

TEST(SimWorld, TheTimelineTellsASendHomeInWords) {
    const Ran ran = run(R"(name: Home
duration: 30s
world:
  player: {position: [-116, 64, 95.3]}
  missions_completed: [MUD1]
  peds:
    - {name: dutch_horse, handle: 2001, model: A_C_HORSE_GANG_DUTCH, position: [-116, 60, 95.3]}
events:
  - {at: 1s, target: dutch_horse}
  - {at: 2s, prompt: send_home}
  - {at: 2500ms, target: null}
  - {at: 4s, ped: dutch_horse, set: {still: true}}
)");
    EXPECT_THAT(
        ran.timeline,
        HasSubstr("00:01.000  the player aims at dutch_horse\n"
                  "00:01.000  dutch_horse is the borrowed horse\n"
                  "00:01.000  prompts shown in no horse's prompt group: \"Follow me\" | \"Stay here\" | "
                  "\"Off you go\" | \"Go home\"\n"
                  "00:01.000  blip \"Gang Horse\" on dutch_horse added\n"
                  "00:01.033  prompts shown on dutch_horse: \"Follow me\" | \"Stay here\" | \"Off you go\" "
                  "| \"Go home\"\n"
                  "00:02.000  the player completes the send-home prompt\n"
                  "00:02.000  the player says \"HORSE_RUN_AWAY_MALE\"\n"
                  "00:02.000  the script waits 1000 ms\n"
                  "00:02.500  the player stops aiming\n"
                  "00:03.000  dutch_horse sent home: walks to the camp at (-115.82, -0.50, 95.29)\n"));
    EXPECT_THAT(ran.timeline,
                HasSubstr("00:14.000  dutch_horse teleported to the camp at (-115.82, -0.50, 95.29), "
                          "as it stood still at two checks 10 s apart\n"
                          "00:14.033  dutch_horse sent to graze at grazing point 0, which is none: no "
                          "grazing point lies within 200 m of the camp\n"
                          "00:14.033  the script waits 5000 ms\n"
                          "00:19.033  dutch_horse grazing where it stands: no grazing point lies within "
                          "200 m of the camp\n"
                          "00:19.033  blip \"Gang Horse\" on dutch_horse removed\n"));
    EXPECT_THAT(ran.timeline, Not(HasSubstr("follows the player")));
}

} // namespace
