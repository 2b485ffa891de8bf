// The world keeps to the game where the module can tell: a horse put
// somewhere carries its rider, and a ped added later may take the handle of
// one that left, after which every output names the ped that holds it.
#include <gmock/gmock.h>

#include <string>

#include "sim/report/positions.h"
#include "sim/report/recorder.h"
#include "sim/scenario/scenario_file.h"
#include "tests/support/scenario_runs.h"

namespace {

using sim::Json;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct Ran {
    std::vector<std::string> failures;
    std::string timeline;
    Json positions; // by time asked, then by name
    Json page;
};

Ran run(const std::string& yaml, std::vector<std::uint32_t> times) {
    sim::PositionsAt positions(std::move(times));
    sim::ReportRecorder recorder;
    sim::RunOptions options;
    options.observers = {&positions, &recorder};
    const sim::Scenario scenario = sim::parseScenario(yaml, "world.yaml"); // the page reads it after the run
    const simtest::Ran ran = simtest::run(scenario, options);
    Ran out{ran.result.failures, ran.timeline, Json::array(), recorder.data(ran.result)};
    for (const Json& at : positions.json())
        out.positions.push_back(at["positions"]);
    return out;
}

TEST(SimWorldFaithful, AHorsePutSomewhereCarriesItsRider) {
    // Sent home from 600 m out and mounted during the ten seconds before the
    // module puts it at the camp: the player goes along, and again when the
    // scenario moves the horse.
    const Ran ran = run(R"(name: Ridden
duration: 20s
world:
  player: {position: [-116, 604, 95.3]}
  missions_completed: [MUD1]
  peds:
    - {name: dutch_horse, model: A_C_HORSE_GANG_DUTCH, position: [-116, 600, 95.3]}
events:
  - {at: 1s, target: dutch_horse}
  - {at: 2s, prompt: send_home}
  - {at: 2500ms, target: null}
  - {at: 5s, mount: dutch_horse}
  - {at: 18s, ped: dutch_horse, set: {position: [40, 50, 60]}}
)",
                        {14000, 18000});
    EXPECT_THAT(ran.failures, IsEmpty());
    const Json camp = Json::parse("[-115.815, -0.504, 95.295]"), moved = Json::parse("[40.0, 50.0, 60.0]");
    EXPECT_EQ(ran.positions[0]["player"], camp);
    EXPECT_EQ(ran.positions[0]["dutch_horse"], camp);
    EXPECT_EQ(ran.positions[1]["player"], moved);
    EXPECT_EQ(ran.positions[1]["dutch_horse"], moved);
    EXPECT_THAT(ran.timeline, HasSubstr("00:13.033  dutch_horse teleported to the camp at (-115.82, -0.50, "
                                        "95.29) with the player on it, as it was 600.44 m from the camp"));
    EXPECT_THAT(
        ran.timeline,
        HasSubstr("00:18.000  dutch_horse is moved to (40.00, 50.00, 60.00) with the player on it\n"));
}

const std::string reuseHead = R"(name: Reuse
duration: 8s
world:
  player: {position: [0, 0, 0]}
  peds:
    - {name: dutch_horse, handle: 2001, model: A_C_HORSE_GANG_DUTCH, position: [10, 0, 0]}
events:
  - {at: 1s, target: dutch_horse}
  - {at: 2s, target: null}
)";

std::string readError(const std::string& yaml) { return simtest::errorOf(yaml, "world.yaml"); }

TEST(SimWorldFaithful, AnAddedPedMayTakeTheHandleOfOneThatLeft) {
    const std::string bill =
        "  - {at: 4s, add_ped: {name: bill_horse, handle: 2001, model: A_C_HORSE_GANG_BILL, "
        "position: [0, 10, 0]}}\n";
    EXPECT_EQ(readError(reuseHead + bill),
              "world.yaml:10:23: handle 2001 is taken by dutch_horse, which is still in the world (a handle "
              "is free again once its ped has left)");
    const std::string reused = reuseHead + "  - {at: 3s, remove_ped: dutch_horse}\n" + bill;
    // The rules for a ped that left hold by its name, whoever holds its handle.
    EXPECT_THAT(readError(reused + "  - {at: 5s, target: dutch_horse}\n"),
                HasSubstr("dutch_horse left the world at 00:03.000 (line 10): it cannot be aimed at"));

    const Ran ran = run(reused + R"(  - {at: 5s, ped: dutch_horse, set: {position: [50, 50, 0]}}
  - {at: 6s, target: bill_horse}
  - {at: 6500ms, prompt: follow}
expect:
  - {near: bill_horse, position: [0, 10, 0], within: 0.1, after: 4s, by: 6s}
  - {near: dutch_horse, position: [50, 50, 0], within: 1, never: true}
  - {blip: bill_horse, after: 4s, by: 6s}
  - {blip: dutch_horse, after: 4s, never: true}
  - {native: clearPedTasks, args: [bill_horse], after: 6500ms, by: 6500ms}
  - {native: clearPedTasks, args: [dutch_horse], never: true}
)",
                        {2000, 5000});
    EXPECT_THAT(ran.failures, IsEmpty());
    EXPECT_EQ(ran.positions[0], Json::parse(R"({"player": [0, 0, 0], "dutch_horse": [10, 0, 0]})"));
    EXPECT_EQ(ran.positions[1], Json::parse(R"({"player": [0, 0, 0], "bill_horse": [0, 10, 0]})"));
    EXPECT_THAT(
        ran.timeline,
        HasSubstr("00:04.000  bill_horse appears, with handle 2001, which dutch_horse held until it "
                  "left; the blip \"Gang Horse\" left on that handle now marks bill_horse\n"
                  "00:04.000  bill_horse is the borrowed horse: it took handle 2001, which the module "
                  "kept for dutch_horse\n"
                  "00:05.000  dutch_horse is not in the world: the change (is moved to (50.00, 50.00, "
                  "0.00)) does nothing\n"));
    // The page: who holds the handle from when, and each ped's own path.
    EXPECT_EQ(
        ran.page["names"]["peds"],
        Json::parse(R"([[100, "the player", 0], [2001, "dutch_horse", 0], [2001, "bill_horse", 4000]])"));
    EXPECT_EQ(ran.page["actors"][1]["track"], Json::parse("[0, 10, 0, 0, 3000, null, null, null]"));
    EXPECT_EQ(ran.page["actors"][2]["track"][0], 4000);
}

} // namespace
