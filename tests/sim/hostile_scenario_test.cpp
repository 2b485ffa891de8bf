// Scenario files the fuzzer and hostile tests found mishandled: each is now a
// clear FILE:LINE:COLUMN error, never a scenario that breaks the reader's
// promises nor an exception of another kind.
#include <gmock/gmock.h>

#include <fstream>
#include <string>

#include "tests/support/scenario_runs.h"
#include "tests/support/scratch_dir.h"

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace {

std::string errorOf(const std::string& text) { return simtest::errorOf(text, "hostile.yaml"); }

TEST(HostileScenario, NumbersBeyondTheRangeOfAFloatAreRefused) {
    // Kept as floats, they would become infinities in the world.
    EXPECT_EQ(errorOf("name: x\nduration: 10s\nworld: {player: {position: [1e300, 0, 0]}}\n"),
              "hostile.yaml:3:29: position x is out of range (at most 3.4e38 either way)");
    EXPECT_THAT(errorOf("name: x\nduration: 10s\nworld: {peds: [{name: a, position: [0, -3.5e38, 0]}]}\n"),
                StartsWith("hostile.yaml:3:40: position y is out of range"));
    EXPECT_THAT(errorOf("name: x\nduration: 10s\nevents: [{at: 1s, move_player: [0, 0, 1e39]}]\n"),
                StartsWith("hostile.yaml:3:39: move_player z is out of range"));
    EXPECT_THAT(errorOf("name: x\nduration: 10s\nworld: {peds: [{name: a}]}\n"
                        "expect: [{near: a, position: [0, 0, 0], within: 1e300}]\n"),
                StartsWith("hostile.yaml:4:49: within is out of range"));
    // The largest float itself is a number like any other.
    EXPECT_EQ(errorOf("name: x\nduration: 10s\nworld: {player: {position: [3.4e38, -3.4e38, 0]}}\n"), "");
}

TEST(HostileScenario, APedAddedWithoutAWorldCannotTakeThePlayersHandle) {
    EXPECT_EQ(errorOf("name: x\nduration: 10s\nevents:\n  - {at: 1s, add_ped: {name: a, handle: 100}}\n"),
              "hostile.yaml:4:23: handle 100 is taken");
    // With a world, as before.
    EXPECT_EQ(errorOf("name: x\nduration: 10s\nworld: {player: {handle: 7}}\n"
                      "events:\n  - {at: 1s, add_ped: {name: a, handle: 7}}\n"),
              "hostile.yaml:5:23: handle 7 is taken");
    EXPECT_EQ(
        errorOf(
            "name: x\nduration: 10s\nworld: {}\nevents:\n  - {at: 1s, add_ped: {name: a, handle: 101}}\n"),
        "");
}

TEST(HostileScenario, ATimeTooLongForADoubleIsATimeError) {
    EXPECT_EQ(errorOf("name: x\nduration: " + std::string(400, '9') + "ms\n"),
              "hostile.yaml:2:11: duration '" + std::string(400, '9') +
                  "ms' is longer than the longest scenario, 4294967295ms (about 49.7 days)");
}

class HostileScenarioFile : public ::testing::Test {
  protected:
    static std::string loadError(const std::string& path) { return simtest::loadErrorOf(path); }
    testsupport::ScratchDir scratch{"gh_hostile_scenario_"};
    const std::string& dir = scratch.path();
};

TEST_F(HostileScenarioFile, ADirectoryIsAFileThatCannotBeRead) {
    EXPECT_EQ(loadError(dir), dir + ":1:1: is a directory: give the scenario file itself");
}

TEST_F(HostileScenarioFile, BinaryAndEmptyFilesAreErrorsAtAPlaceInTheFile) {
    const std::string path = dir + "/bad.yaml";
    const std::string contents[] = {
        std::string(),
        std::string("\0\0\0\0", 4),
        std::string("\xFF\xFE\x00\xD8", 4), // UTF-16 with half a surrogate
        std::string("name: x\nduration: 1s\n\x01\x02\x03: [\n", 26),
        std::string(100000, '['),
    };
    for (const std::string& bytes : contents) {
        std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        const std::string error = loadError(path);
        EXPECT_THAT(error, StartsWith(path + ":")) << bytes.size() << " bytes";
        EXPECT_THAT(error, ::testing::MatchesRegex(".*:[0-9]+:[0-9]+: .+")) << error;
    }
}

} // namespace
