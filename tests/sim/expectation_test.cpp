// The expectations of a scenario: what each kind matches, and how after, by,
// never and times decide whether it held. A check that cannot fail would let
// every bundled scenario pass, so each case here is one that must fail or
// one that must hold, and the failures are named exactly.
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "tests/support/scenario_runs.h"

namespace {

using ::testing::ElementsAre;

std::vector<std::string> failuresOf(const std::string& yaml) {
    return simtest::runYaml(yaml, "checks.yaml").result.failures;
}

// Dutch's horse, ten metres off: aimed at at 1s (blip, prompts), told to
// follow at 2s (a line; it joins the player's group), spurred at 3s (a line,
// a 1000 ms wait, then it flees at 4s and leaves the group).
const std::string world = simtest::dutchHorseAhead("Checks", "6s") + R"(events:
  - {at: 1s, target: dutch_horse}
  - {at: 2s, prompt: follow}
  - {at: 3s, prompt: spur}
expect:
)";

TEST(SimExpectations, WindowsNeverAndTimesDecideOnWhatHappened) {
    EXPECT_THAT(
        failuresOf(world + R"(  - {said: HORSE_FOLLOW_ME_MALE, after: 2s, by: 2s}
  - {said: HORSE_FOLLOW_ME_MALE, by: 1999ms}
  - {said: HORSE_FOLLOW_ME_MALE, after: 2001ms}
  - {said: HORSE_FOLLOW_ME_MALE, never: true}
  - {said: HORSE_FOLLOW_ME_MALE, after: 2001ms, never: true}
  - {said: HORSE_FOLLOW_ME_MALE, times: 2}
  - {said: HORSE_FOLLOW_ME_MALE, times: 1}
  - {said: HORSE_STAY_HERE_MALE}
  - {said: HORSE_STAY_HERE_MALE, times: 0}
  - {wait: 1000, after: 3s, by: 3s, times: 1}
  - {wait: 999}
)"),
        ElementsAre("checks.yaml:14: expectation {said: HORSE_FOLLOW_ME_MALE, by: 1999ms} failed: only "
                    "outside its window, first at 00:02.000",
                    "checks.yaml:15: expectation {said: HORSE_FOLLOW_ME_MALE, after: 2001ms} failed: "
                    "only outside its window, first at 00:02.000",
                    "checks.yaml:16: expectation {said: HORSE_FOLLOW_ME_MALE, never: true} failed: "
                    "happened at 00:02.000",
                    "checks.yaml:18: expectation {said: HORSE_FOLLOW_ME_MALE, times: 2} failed: happened "
                    "1 time(s), expected 2",
                    "checks.yaml:20: expectation {said: HORSE_STAY_HERE_MALE} failed: never happened",
                    "checks.yaml:23: expectation {wait: 999} failed: never happened"));
}

TEST(SimExpectations, NativeArgumentsMatchSlotBySlot) {
    EXPECT_THAT(
        failuresOf(
            world +
            R"(  - {native: taskSmartFleePed, args: [dutch_horse, player, 50, -1, 6, 2, 0], after: 4s, by: 4s}
  - {native: taskSmartFleePed, args: [dutch_horse, player, 49.9]}
  - {native: taskSmartFleePed, args: [player]}
  - {native: taskSmartFleePed, args: [_, _, _, _, 7]}
  - {native: getHashKey, args: [INPUT_WHISTLE]}
  - {native: isControlJustReleased, args: [0, INPUT_WHISTLE]}
  - {native: isControlJustReleased, args: [0, INPUT_JUMP]}
  - {native: promptSetText, args: [_, "Follow me"], times: 1}
  - {native: promptSetText, args: [_, "Follow"]}
  - {native: removeBlip, never: true}
)"),
        ElementsAre("checks.yaml:14: expectation {native: taskSmartFleePed, args: [dutch_horse, player, "
                    "49.9]} failed: never happened",
                    "checks.yaml:15: expectation {native: taskSmartFleePed, args: [player]} failed: never "
                    "happened",
                    "checks.yaml:16: expectation {native: taskSmartFleePed, args: [_, _, _, _, 7]} failed: "
                    "never happened",
                    "checks.yaml:19: expectation {native: isControlJustReleased, args: [0, INPUT_JUMP]} "
                    "failed: never happened",
                    "checks.yaml:21: expectation {native: promptSetText, args: [_, Follow]} failed: never "
                    "happened"));
}

TEST(SimExpectations, StatesAreCheckedAtTheEndOfEveryFrame) {
    EXPECT_THAT(
        failuresOf(world + R"(  - {blip: dutch_horse, after: 1s, by: 1s}
  - {blip: dutch_horse, by: 999ms}
  - {prompts_shown: dutch_horse, after: 1033ms, by: 1033ms}
  - {prompts_shown: dutch_horse, by: 1s}
  - {following: dutch_horse, after: 2s, by: 2s}
  - {following: dutch_horse, after: 5s}
  - {near: dutch_horse, position: [10, 0, 0], within: 0.01, by: 0s}
  - {near: dutch_horse, position: [0, 0, 0], within: 3, after: 2s, by: 3500ms}
  - {near: dutch_horse, position: [0, 0, 0], within: 10, after: 5800ms}
  - {grazing: dutch_horse, never: true}
  - {teleported: dutch_horse}
)"),
        ElementsAre(
            "checks.yaml:14: expectation {blip: dutch_horse, by: 999ms} failed: only outside its window, "
            "first at 00:01.000",
            // In the first pass the prompts go to the previous horse's group (none).
            "checks.yaml:16: expectation {prompts_shown: dutch_horse, by: 1s} failed: only outside its "
            "window, "
            "first at 00:01.033",
            "checks.yaml:18: expectation {following: dutch_horse, after: 5s} failed: only outside its "
            "window, "
            "first at 00:02.000",
            "checks.yaml:21: expectation {near: dutch_horse, position: [0, 0, 0], within: 10, after: 5800ms} "
            "failed: only outside its window, first at 00:00.000",
            "checks.yaml:23: expectation {teleported: dutch_horse} failed: never happened"));
}

TEST(SimExpectations, CampWorkIsCountedPerPed) {
    const std::string camp = R"(name: Camp
duration: 11s
world:
  camp_scripts: [camp_beaverhollow]
  script_threads: [DEF_COMP_BRAIN, fishing_core]
  peds:
    - {name: hosea, model: CS_HOSEAMATTHEWS, group: REL_GANG_DUTCHS}
    - {name: hosea_horse, model: A_C_HORSE_GANG_HOSEA}
expect:
)";
    EXPECT_THAT(failuresOf(camp + R"(  - {configured: hosea_horse, after: 10s, by: 10s, times: 1}
  - {configured: hosea, never: true}
  - {gang_member: hosea, after: 10s, by: 10s, times: 1}
  - {gang_member: hosea_horse}
  - {terminated: DEF_COMP_BRAIN, times: 1}
  - {terminated: fishing_core}
)"),
                ElementsAre("checks.yaml:13: expectation {gang_member: hosea_horse} failed: never happened",
                            "checks.yaml:15: expectation {terminated: fishing_core} failed: never happened"));
}

} // namespace
