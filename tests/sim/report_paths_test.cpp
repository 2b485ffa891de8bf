// The paths the report page draws, against where the world had everyone in
// every frame: the page moves an actor in a straight line between two
// samples (but into a jump or out of the world), and the samples are few
// yet keep every frame within half a metre, and exactly in the frames in
// which something happened.
#include <gmock/gmock.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "sim/report/positions.h"
#include "sim/report/recorder.h"
#include "sim/scenario/scenario_file.h"

namespace {

// The player rides nowhere but is put down three times (jumps); the horse
// follows round the corners, and a bystander leaves the world.
const std::string scenario = R"(name: Paths
duration: 16s
world:
  player: {position: [4, -2, 1]}
  peds:
    - {name: bill_horse, handle: 2101, model: A_C_HORSE_GANG_BILL, position: [8, 3, 1]}
    - {name: onlooker, handle: 3101, model: A_M_M_VALTOWNFOLK_01, position: [-6, 2, 1]}
events:
  - {at: 1s, target: bill_horse}
  # Told to follow; the player is put down 30 m away, then round two corners.
  - {at: 2s, prompt: follow}
  - {at: 2500ms, target: null}
  - {at: 3s, move_player: [0, 30, 0]}
  - {at: 4s, remove_ped: onlooker}
  - {at: 8s, move_player: [25, 30, 0]}
  - {at: 12s, move_player: [25, 5, 0]}
)";

// Where the page shows an actor at a frame's ms (its script's rule).
std::vector<double> shown(const sim::Json& actor, std::uint64_t ms) {
    const sim::Json& track = actor["track"];
    std::set<std::uint64_t> jumps(actor["jumps"].begin(), actor["jumps"].end());
    std::size_t i = 0;
    while (i + 4 < track.size() && track[i + 4].get<std::uint64_t>() <= ms)
        i += 4;
    if (track.empty() || track[i].get<std::uint64_t>() > ms || track[i + 1].is_null())
        return {};
    const std::size_t j = i + 4;
    std::vector<double> at = {track[i + 1], track[i + 2], track[i + 3]};
    if (track[i] == ms || j >= track.size() || track[j + 1].is_null() || jumps.count(track[j]))
        return at;
    const double f = static_cast<double>(ms - track[i].get<std::uint64_t>()) /
                     static_cast<double>(track[j].get<std::uint64_t>() - track[i].get<std::uint64_t>());
    for (int k = 0; k < 3; ++k)
        at[k] = at[k] + f * (track[j + 1 + k].get<double>() - at[k]);
    return at;
}

TEST(SimReportPaths, FewSamplesKeepEveryFrameWithinHalfAMetreAndExactWhereSomethingHappened) {
    const sim::Scenario s = sim::parseScenario(scenario, "paths.yaml");
    std::vector<std::uint32_t> frames;
    for (int k = 0; k * 1000 / s.fps <= static_cast<int>(s.duration); ++k)
        frames.push_back(static_cast<std::uint32_t>(k * 1000 / s.fps));
    sim::ReportRecorder recorder;
    sim::PositionsAt world(frames);
    sim::RunOptions options;
    options.observers = {&recorder, &world};
    const sim::Json data = recorder.data(sim::runScenario(s, options, sim::linkedModule()));

    std::set<std::uint64_t> happened;
    for (const sim::Json& line : data["lines"])
        happened.insert(line[0].get<std::uint64_t>());
    int exact = 0, near = 0;
    for (const sim::Json& at : world.json()) {
        const std::uint64_t ms = at["ms"];
        for (const sim::Json& actor : data["actors"]) {
            const std::vector<double> page = shown(actor, ms);
            const sim::Json* truth =
                at["positions"].contains(actor["name"]) ? &at["positions"][actor["name"]] : nullptr;
            ASSERT_EQ(page.empty(), truth == nullptr) << actor["name"] << " at " << ms;
            if (truth == nullptr)
                continue;
            const double off =
                std::hypot((*truth)[0].get<double>() - page[0], (*truth)[1].get<double>() - page[1],
                           (*truth)[2].get<double>() - page[2]);
            if (happened.count(ms) != 0) {
                ++exact;
                ASSERT_EQ(off, 0.0) << actor["name"] << " at " << ms << ", where something happened";
            } else {
                ++near;
                ASSERT_LE(off, 0.5) << actor["name"] << " at " << ms;
            }
        }
    }
    EXPECT_GT(exact, 20);
    EXPECT_GT(near, 1000);

    // The new part: few samples, and the jumps told apart from walks.
    const sim::Json& player = data["actors"][0];
    const sim::Json& horse = data["actors"][1];
    EXPECT_EQ(player["jumps"], sim::Json::parse("[3000, 8000, 12000]"));
    EXPECT_EQ(horse["jumps"], sim::Json::array());
    EXPECT_LT(horse["track"].size(), 4u * 30) << "the horse walked in about 300 frames";
}

} // namespace
