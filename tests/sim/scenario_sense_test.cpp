// Scenario files that read well but would mean nothing to the module: an
// error at FILE:LINE:COLUMN, or a warning where a modder may mean it.
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "tests/support/scenario_runs.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string errorOf(const std::string& text) { return simtest::errorOf(text, "sense.yaml"); }

const std::string head = "name: x\nduration: 10s\nworld: {}\n";

TEST(SimScenarioSense, WhatTheModuleNeverAsksAboutIsAnErrorAtItsPlace) {
    struct Case {
        std::string text;
        const char* error;
    };
    const Case cases[] = {
        {"name: x\nduration: 10s\nworld:\n  camp_scripts: [camp_valentine]\n",
         "sense.yaml:4:18: unknown camp script 'camp_valentine' (known: camp_horseshoeoverlook, "
         "camp_clemenspoint, camp_beaverhollow, camp_lakay, camp_shadybelle)"},
        {head + "events:\n  - {at: 1s, camp: camp_clemens}\n",
         "sense.yaml:5:20: unknown camp script 'camp_clemens' (known: camp_horseshoeoverlook, "
         "camp_clemenspoint, camp_beaverhollow, camp_lakay, camp_shadybelle)"},
        {"name: x\nduration: 10s\nworld: {missions_completed: [MUD2]}\n",
         "sense.yaml:3:30: unknown mission 'MUD2' (known: MUD1, MUD4, RDTC2, RDCH3, NBD1, FIN1): the module "
         "asks about no other"},
        {head + "events:\n  - {at: 1s, complete_mission: RDTC1}\n",
         "sense.yaml:5:32: unknown mission 'RDTC1' (known: MUD1, MUD4, RDTC2, RDCH3, NBD1, FIN1): the "
         "module asks about no other"},
        {head + "expect:\n  - {said: X, after: 3s, by: 2s}\n",
         "sense.yaml:5:5: the window is empty: after 3s is later than by 2s"},
        {head + "expect:\n  - {said: X, after: 10001ms}\n",
         "sense.yaml:5:5: the window starts after the end: after 10001ms, the scenario lasts 10s"},
        {"name: x\nduration: 10s\n",
         "sense.yaml:1:1: the scenario needs a world (world: {} for an empty one)"},
        {"name: '  '\nduration: 10s\nworld: {}\n",
         "sense.yaml:1:7: the name is empty: give the scenario a name that tells it apart"},
        {head + "expect:\n  - {native: SetEntityCoord}\n",
         "sense.yaml:5:14: unknown native 'SetEntityCoord' (closest: setEntityCoords, getEntityCoords; "
         "`gang-horse-sim reference` lists all 66)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(errorOf(c.text), c.error) << c.text;
    // The game hashes names without regard to case: so does the reader.
    EXPECT_EQ(
        errorOf(head + "events:\n  - {at: 1s, camp: CAMP_LAKAY}\n  - {at: 2s, complete_mission: mud4}\n"),
        "");
}

TEST(SimScenarioSense, WhatAModderMayMeanIsAWarningWithItsPlace) {
    const sim::Scenario s = sim::parseScenario(R"(name: Lookalikes
duration: 10s
world:
  peds:
    - {name: a, model: A_C_HORSE_GANG_ARTHUR}
    - {name: b, model: a_c_horse_gang_dutch}
    - {name: c, model: A_C_HORSE_MORGAN_BAY}
events:
  - {at: 1s, add_ped: {name: d, model: A_C_HORSE_GANG_DUTHC}}
expect:
  - {blip: a, by: 12s, never: true}
  - {blip: b, by: 10s}
)",
                                               "sense.yaml");
    EXPECT_THAT(
        s.warnings,
        ElementsAre("sense.yaml:5:24: warning: model 'A_C_HORSE_GANG_ARTHUR' looks like a gang horse but "
                    "is not one of the fourteen: the module leaves it alone",
                    "sense.yaml:9:40: warning: model 'A_C_HORSE_GANG_DUTHC' looks like a gang horse but is "
                    "not one of the fourteen: the module leaves it alone (closest: A_C_HORSE_GANG_DUTCH)",
                    "sense.yaml:11:5: warning: by 12s is after the end of the scenario (10s): the window "
                    "ends there"));
    EXPECT_THAT(sim::parseScenario(head, "sense.yaml").warnings, IsEmpty());
}

} // namespace
