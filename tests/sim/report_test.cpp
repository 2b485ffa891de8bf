// The report's pieces that the browser test (tests/report) cannot see
// directly: the JSON that sits in a page whatever texts it holds, floats that
// read back exactly, page file names, when each expectation was decided, what
// the recorder keeps of a run, and output paths that cannot be written.
#include <gmock/gmock.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "sim/report/page.h"
#include "sim/report/recorder.h"
#include "sim/report/report_files.h"
#include "sim/scenario/scenario_file.h"
#include "tests/support/scenario_runs.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

TEST(SimReport, EmbeddedJsonCannotEndTheScriptAndReadsBackTheSame) {
    const std::vector<std::string> hostile = {"</script><script>alert(1)</script>",
                                              "<!-- x -->",
                                              "a & b > c",
                                              "line\xE2\x80\xA8separator\xE2\x80\xA9paragraph",
                                              "\"'\\\n\t",
                                              "<\xE2\x80"};
    sim::Json value = sim::Json::array();
    for (const std::string& text : hostile)
        value.push_back(sim::Json{{text, text}});
    const std::string safe = sim::scriptSafeJson(value);
    EXPECT_EQ(safe.find_first_of("<>&"), std::string::npos) << safe;
    EXPECT_THAT(safe, Not(HasSubstr("\xE2\x80\xA8")));
    EXPECT_THAT(safe, Not(HasSubstr("\xE2\x80\xA9")));
    const sim::Json back = sim::Json::parse(safe);
    for (std::size_t i = 0; i + 1 < hostile.size(); ++i)
        EXPECT_EQ(back[i][hostile[i]], hostile[i]);
    // Bytes that are not UTF-8 become U+FFFD rather than stopping the page.
    EXPECT_EQ(back[hostile.size() - 1].begin().key(), "<\xEF\xBF\xBD");
}

TEST(SimReport, FloatsAreShortAndReadBackAsTheSameFloat) {
    for (const float f : {95.3f, -115.815f, 0.1f, 1e-7f, 3.4028235e38f, -0.0f, 1.17549435e-38f, 1e-45f,
                          16777217.0f, 27.894855f}) {
        const double shortest = sim::shortestFloat(f);
        EXPECT_EQ(static_cast<float>(shortest), f);
        EXPECT_LE(sim::Json(shortest).dump().size(), 15u) << f;
    }
    EXPECT_EQ(sim::Json(sim::shortestFloat(95.3f)).dump(), "95.3");
    EXPECT_EQ(sim::Json(sim::shortestFloat(std::numeric_limits<float>::quiet_NaN())).dump(), "null");
}

TEST(SimReport, PageFileNamesArePlainAndDistinct) {
    std::vector<std::string> taken = {"index.html"};
    EXPECT_EQ(sim::pageFileName("scenarios/demo.yaml", taken), "demo.html");
    EXPECT_EQ(sim::pageFileName("other/demo.yaml", taken), "demo-2.html");
    EXPECT_EQ(sim::pageFileName("index.yaml", taken), "index-2.html");
    EXPECT_EQ(sim::pageFileName("C:\\mods\\<b> \"x\".yml", taken), "_b___x_.html");
    EXPECT_EQ(sim::pageFileName("dir/.yaml", taken), "_yaml.html");
}

const std::string scenario =
    simtest::dutchHorseAhead("Report", "12s") +
    R"(    - {name: bystander, handle: 3001, model: A_M_M_VALTOWNFOLK_01, position: [-5, 5, 0]}
events:
  - {at: 1s, target: dutch_horse}
  - {at: 2s, prompt: follow}
  - {at: 2500ms, move_player: [0, 40, 0]}
  - {at: 4s, remove_ped: bystander}
expect:
  - {said: HORSE_FOLLOW_ME_MALE, after: 1s}
  - {said: HORSE_STAY_HERE_MALE, by: 3s}
  - {said: HORSE_FOLLOW_ME_MALE, never: true}
  - {said: HORSE_FOLLOW_ME_MALE, times: 0}
  - {wait: 1000, never: true}
  - {blip: dutch_horse, after: 1s, by: 2s}
)";

TEST(SimReport, EachExpectationIsDecidedWhenItsOutcomeIsKnown) {
    const sim::Scenario s = sim::parseScenario(scenario, "report.yaml");
    const sim::RunResult result = sim::runScenario(s, {}, sim::linkedModule());
    std::vector<std::pair<bool, std::uint64_t>> decided;
    for (const sim::Verdict& v : result.verdicts)
        decided.emplace_back(v.held, v.decidedAt);
    EXPECT_THAT(decided, ElementsAre(std::pair{true, 2000ull},   // the first time it happened
                                     std::pair{false, 3000ull},  // the window closed
                                     std::pair{false, 2000ull},  // it happened
                                     std::pair{false, 2000ull},  // once too often
                                     std::pair{true, 12000ull},  // the run ended
                                     std::pair{true, 1000ull})); // the first frame it held
    EXPECT_EQ(result.verdicts[1].why, "never happened");
}

TEST(SimReport, TheRecorderSamplesPositionsOnlyWhenTheyChange) {
    const sim::Scenario s = sim::parseScenario(scenario, "report.yaml");
    sim::ReportRecorder recorder;
    sim::RunOptions options;
    options.observers = {&recorder};
    const sim::Json data = recorder.data(sim::runScenario(s, options, sim::linkedModule()));
    const sim::Json& actors = data["actors"];
    ASSERT_EQ(actors.size(), 3u);
    EXPECT_EQ(actors[0]["name"], "player");
    EXPECT_EQ(actors[0]["track"], sim::Json::parse("[0, 0, 0, 0, 2500, 0, 40, 0]"));
    // It stood until it left: one sample, then gone.
    EXPECT_EQ(actors[2]["track"], sim::Json::parse("[0, -5, 5, 0, 4000, null, null, null]"));
    // The horse followed: a few samples while it moved, the last where it stopped.
    const sim::Json& horse = actors[1]["track"];
    EXPECT_GT(horse.size(), 4u * 1);
    EXPECT_LT(horse.size(), 4u * 30);
    EXPECT_LT(std::hypot(horse[horse.size() - 3].get<double>(), horse[horse.size() - 2].get<double>() - 40),
              3.0);
    // The camp position the module used, the names it hashed, a mark per thing that happened.
    EXPECT_EQ(data["camp"], sim::Json::parse("[[0, -115.815, -0.504, 95.295]]"));
    EXPECT_THAT(data["names"]["hashes"].dump(), HasSubstr("\"A_C_HORSE_GANG_DUTCH\""));
    std::vector<std::string> marks;
    for (const sim::Json& m : data["marks"])
        marks.push_back(m[1].get<std::string>() + "@" + std::to_string(m[0].get<int>()));
    EXPECT_THAT(marks, ElementsAre("blip_added@1000", "prompt@2000", "said@2000"));
    // The timeline's lines of what the module did, though none is printed.
    EXPECT_THAT(data["lines"].dump(), HasSubstr("[2000,\"the player says \\\"HORSE_FOLLOW_ME_MALE\\\"\"]"));
}

TEST(SimReport, OutputsThatCannotBeWrittenAreToldBeforeTheRun) {
    auto error = [](const sim::RunFileOptions& options) {
        try {
            sim::RunFiles files(options, 60000);
        } catch (const sim::OutputError& e) {
            return std::string(e.what());
        }
        return std::string();
    };
    try {
        sim::checkOutputPaths({{"--report", "/nonexistent/folder/page.html"}}, "s.yaml");
        ADD_FAILURE() << "a page in a folder that does not exist";
    } catch (const sim::OutputError& e) {
        EXPECT_STREQ(
            e.what(),
            "/nonexistent/folder/page.html: cannot write it: the folder /nonexistent/folder does not exist");
    }
    EXPECT_EQ(error({"", "positions.json", {}, ""}), "--positions and --positions-at go together");
    EXPECT_EQ(error({"", "", {"31s"}, ""}), "--positions and --positions-at go together");
    EXPECT_EQ(error({"", "/tmp/positions.json", {"31s", "soon"}, ""}),
              "--positions-at: 'soon' is not a time: a number with ms, s or m");
    const std::string file = testing::TempDir() + "gang_horse_report_dir_is_a_file";
    { std::ofstream(file) << "x"; }
    EXPECT_THROW(sim::ReportDir{file}, sim::OutputError);
    std::filesystem::remove(file);
}

} // namespace
