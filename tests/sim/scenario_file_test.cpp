// Reading scenario files: what a good file gives, and how a bad one is
// reported, as "FILE:LINE:COLUMN: what is wrong".
#include <gmock/gmock.h>

#include <string>
#include <vector>

#include "sim/scenario/times.h"
#include "tests/support/scenario_runs.h"

namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string errorOf(const std::string& text) { return simtest::errorOf(text, "bad.yaml"); }

struct BadFile {
    const char* what;
    std::string text;
    const char* where; // the exact FILE:LINE:COLUMN prefix
    const char* says;  // part of the message after it
};

const std::string head = "name: x\nduration: 10s\n";

std::vector<BadFile> badFiles() {
    return {
        // Unknown keys, wherever they are.
        {"unknown top-level key", head + "speed: 3\n",
         "bad.yaml:3:1: ", "unknown key 'speed' in the scenario"},
        {"unknown key in the player", head + "world:\n  player: {position: [1, 2, 3], colour: red}\n",
         "bad.yaml:4:33: ", "unknown key 'colour' in player (known: handle, male, mount, position)"},
        {"unknown key in a ped", head + "world:\n  peds:\n    - {name: a, modle: A_C_HORSE_GANG_DUTCH}\n",
         "bad.yaml:5:17: ", "unknown key 'modle' in a ped"},
        {"unknown key in an event", head + "events:\n  - {at: 1s, whistle: true, loud: true}\n",
         "bad.yaml:4:29: ", "unknown key 'loud' in an event"},
        {"unknown key in an expectation", head + "expect:\n  - {said: X, before: 2s}\n",
         "bad.yaml:4:15: ", "unknown key 'before' in an expectation"},
        {"unknown key in a ped change",
         head + "world:\n  peds: [{name: a}]\nevents:\n  - {at: 1s, ped: a, set: {speed: 2}}\n",
         "bad.yaml:6:28: ", "unknown key 'speed' in set"},
        {"key given twice", head + "fps: 30\nfps: 10\n", "bad.yaml:4:1: ", "key 'fps' given twice"},
        // Wrong types.
        {"fps as a word", head + "fps: fast\n", "bad.yaml:3:6: ", "fps must be a whole number"},
        {"fps out of range", head + "fps: 0\n", "bad.yaml:3:6: ", "fps must be from 1 to 1000"},
        {"a position of two numbers", head + "world:\n  player: {position: [1, 2]}\n",
         "bad.yaml:4:22: ", "position must be [x, y, z]"},
        {"a coordinate that is text", head + "world:\n  player: {position: [1, north, 3]}\n",
         "bad.yaml:4:26: ", "position y must be a number"},
        {"male as a word", head + "world:\n  peds: [{name: a, male: maybe}]\n",
         "bad.yaml:4:26: ", "male must be true or false"},
        {"a negative handle", head + "world:\n  peds: [{name: a, handle: -5}]\n",
         "bad.yaml:4:28: ", "handle must be from 1 to 2147483647"},
        {"peds as a map", head + "world:\n  peds: {name: a}\n", "bad.yaml:4:9: ", "peds must be a list"},
        {"the scenario as a list", "- name: x\n", "bad.yaml:1:1: ", "a scenario must be a map"},
        {"a whistle that is false", head + "events:\n  - {at: 1s, whistle: false}\n",
         "bad.yaml:4:23: ", "whistle takes only true (the event happens); leave the event out for none"},
        {"a reload that is yes", head + "events:\n  - {at: 1s, game_reload: \"yes\"}\n",
         "bad.yaml:4:27: ", "game_reload takes only true"},
        {"a whistle that is on", head + "events:\n  - {at: 1s, whistle: on}\n",
         "bad.yaml:4:23: ", "whistle takes only true"},
        {"a boolean of YAML 1.1", head + "world:\n  peds: [{name: a, male: yes}]\n",
         "bad.yaml:4:26: ", "male must be true or false"},
        {"a quoted boolean", head + "expect:\n  - {said: X, never: \"true\"}\n",
         "bad.yaml:4:22: ", "never must be true or false"},
        {"within of no distance",
         head + "world:\n  peds: [{name: a}]\nexpect:\n  - {near: a, position: [0, 0, 0], within: 0}\n",
         "bad.yaml:6:44: ", "within must be greater than 0"},
        {"a name in Latin-1", head + "world:\n  peds: [{name: \"caf\xe9\"}]\n",
         "bad.yaml:4:17: ", "the ped's name is not valid UTF-8 (byte 0xE9 at character 4)"},
        {"an empty world, the file's last line", head + "world:\n",
         "bad.yaml:3:1: ", "world has no value: give a map ({} for an empty one)"},
        {"an empty world before other keys", head + "world:\nevents: []\n",
         "bad.yaml:3:1: ", "world has no value"},
        {"an empty ped position", head + "world:\n  peds:\n    - name: a\n      position:\n",
         "bad.yaml:6:7: ", "position must be [x, y, z]"},
        {"a name that is a list", "name: [a, b]\nduration: 1s\n", "bad.yaml:1:7: ", "name must be text"},
        // Unknown peds, wherever a ped is named.
        {"an event aims at an unknown ped", head + "events:\n  - {at: 1s, target: dutch_horse}\n",
         "bad.yaml:4:22: ", "unknown ped 'dutch_horse'"},
        {"the player mounts an unknown ped", head + "world:\n  player: {mount: ghost}\n",
         "bad.yaml:4:19: ", "unknown ped 'ghost'"},
        {"a change to an unknown ped", head + "events:\n  - {at: 1s, ped: ghost, set: {still: true}}\n",
         "bad.yaml:4:19: ", "unknown ped 'ghost'"},
        {"an expectation on an unknown ped", head + "expect:\n  - {blip: ghost}\n",
         "bad.yaml:4:12: ", "unknown ped 'ghost'"},
        {"a ped named before it is added",
         head + "events:\n  - {at: 1s, target: late}\n  - {at: 2s, add_ped: {name: late}}\n",
         "bad.yaml:4:22: ", "unknown ped 'late'"},
        {"two peds of one name", head + "world:\n  peds: [{name: a}, {name: a}]\n",
         "bad.yaml:4:28: ", "a ped named 'a' exists already"},
        {"two peds with one handle", head + "world:\n  peds: [{name: a, handle: 7}, {name: b, handle: 7}]\n",
         "bad.yaml:4:32: ", "handle 7 is taken"},
        // Events in time.
        {"an event out of order",
         head + "events:\n  - {at: 2s, whistle: true}\n  - {at: 1999ms, whistle: true}\n",
         "bad.yaml:5:10: ", "event out of order"},
        {"an event after the end", head + "events:\n  - {at: 11s, whistle: true}\n",
         "bad.yaml:4:10: ", "event after the end of the scenario"},
        {"an event with two actions", head + "events:\n  - {at: 1s, whistle: true, camp: null}\n",
         "bad.yaml:4:5: ", "exactly one action"},
        {"an event without a time", head + "events:\n  - {whistle: true}\n",
         "bad.yaml:4:5: ", "an event needs 'at'"},
        // Prompts and natives by name.
        {"an unknown prompt", head + "events:\n  - {at: 1s, prompt: gallop}\n",
         "bad.yaml:4:22: ", "unknown prompt 'gallop' (follow, stay, spur or send_home)"},
        {"a prompt named in capitals", head + "events:\n  - {at: 1s, prompt: Follow}\n",
         "bad.yaml:4:22: ", "unknown prompt 'Follow'"},
        {"an unknown native", head + "expect:\n  - {native: teleportPed}\n",
         "bad.yaml:4:14: ", "unknown native 'teleportPed'"},
        {"more args than slots", head + "expect:\n  - {native: isPedStill, args: [1, 2]}\n",
         "bad.yaml:4:32: ", "isPedStill takes 1 slots, not 2"},
        // Malformed YAML.
        {"an unclosed flow map", head + "events:\n  - {at: 1s, whistle: true\n",
         "bad.yaml:5:1: ", "end of map flow not found"},
        {"a list item indented less than its list",
         head + "world:\n  peds:\n    - {name: a}\n   - {name: b}\n",
         "bad.yaml:6:4: ", "end of map not found"},
        {"a tab for indentation", head + "world:\n\tpeds: []\n",
         "bad.yaml:4:1: ", "a tab indents this line: YAML indents with spaces only"},
        // Required fields.
        {"no name", "duration: 5s\n", "bad.yaml:1:1: ", "the scenario needs a name"},
        {"no duration", "name: x\nfps: 30\n", "bad.yaml:1:1: ", "the scenario needs a duration"},
        {"an empty file", "", "bad.yaml:1:1: ", "a scenario must be a map"},
        {"a ped without a name", head + "world:\n  peds:\n    - {model: A_C_HORSE_GANG_DUTCH}\n",
         "bad.yaml:5:7: ", "a ped needs a name"},
        {"near without a position", head + "world:\n  peds: [{name: a}]\nexpect:\n  - {near: a}\n",
         "bad.yaml:6:5: ", "near needs a position"},
        {"an expectation of nothing", head + "expect:\n  - {by: 2s}\n",
         "bad.yaml:4:5: ", "an expectation names exactly one thing"},
        // Times.
        {"a duration without a unit", "name: x\nduration: 90\n",
         "bad.yaml:2:11: ", "duration '90' is not a time"},
        {"a duration in words", "name: x\nduration: 5 minutes\n",
         "bad.yaml:2:11: ", "duration '5 minutes' is not a time"},
        {"a negative time", head + "events:\n  - {at: -1s, whistle: true}\n",
         "bad.yaml:4:10: ", "at '-1s' is not a time"},
        {"a time of two points", head + "expect:\n  - {said: X, by: 1.2.3s}\n",
         "bad.yaml:4:19: ", "by '1.2.3s' is not a time"},
        {"a time too long for the clock", "name: x\nduration: 4294968s\n",
         "bad.yaml:2:11: ", "is longer than the longest scenario, 4294967295ms"},
        {"times with a state", head + "world:\n  peds: [{name: a}]\nexpect:\n  - {blip: a, times: 2}\n",
         "bad.yaml:6:22: ", "times counts things that happen, not states"},
    };
}

TEST(SimScenarioFile, EachKindOfMistakeIsReportedWithFileLineAndColumn) {
    for (const BadFile& bad : badFiles()) {
        SCOPED_TRACE(bad.what);
        const std::string error = errorOf(bad.text);
        EXPECT_THAT(error, StartsWith(bad.where));
        EXPECT_THAT(error, HasSubstr(bad.says));
    }
}

TEST(SimScenarioFile, AFileThatCannotBeOpenedIsReportedAtItsStart) {
    EXPECT_EQ(simtest::loadErrorOf("/nonexistent/dir/none.yaml"),
              "/nonexistent/dir/none.yaml:1:1: cannot open the file");
}

TEST(SimScenarioFile, DurationsAreMillisecondsSecondsOrMinutes) {
    EXPECT_EQ(sim::parseDuration("1500ms"), 1500u);
    EXPECT_EQ(sim::parseDuration("90s"), 90000u);
    EXPECT_EQ(sim::parseDuration("1.5s"), 1500u);
    EXPECT_EQ(sim::parseDuration("17m"), 1020000u);
    EXPECT_EQ(sim::parseDuration("0.25m"), 15000u);
    EXPECT_EQ(sim::parseDuration("0s"), 0u);
    EXPECT_EQ(sim::parseDuration("4294967295ms"), 4294967295u);
    for (const char* bad :
         {"", "s", "90", "1.5ms", "4294967296ms", "1h", "1 s", "1S", "1.2.3s", "-1s", "1m30s"}) {
        EXPECT_EQ(sim::parseDuration(bad), std::nullopt) << bad;
    }
}

TEST(SimScenarioFile, AGoodFileGivesItsWorldEventsAndExpectations) {
    const sim::Scenario s = sim::parseScenario(R"(name: Tour
duration: 90s
fps: 10
settings: null
world:
  player: {handle: 3000, position: [1, 2, 3], male: false, mount: mare}
  camp_scripts: [camp_lakay]
  missions_completed: [MUD1, MUD4]
  grazing_points: [{position: [4, 5, 6]}]
  peds:
    - {name: mare, model: A_C_HORSE_GANG_SADIE, male: false}
    - {name: dutch, handle: 1001, group: REL_GANG_DUTCHS, still: false}
    - {name: colt}
events:
  - {at: 2s, add_ped: {name: late}}
  - {at: 2s, ped: colt, set: {still: true, position: [7, 8, 9]}}
  - {at: 3s, target: null}
expect:
  - {native: taskSmartFleePed, args: [mare, player, 50.0, _, "6"], after: 1s, by: 2s}
  - {near: late, position: [1, 1, 1], within: 2.5, never: true}
)",
                                               "good.yaml");
    EXPECT_EQ(s.name, "Tour");
    EXPECT_EQ(s.duration, 90000u);
    EXPECT_EQ(s.fps, 10);
    EXPECT_EQ(s.settings, sim::Scenario::Settings::None);
    EXPECT_EQ(s.playerHandle, 3000);
    EXPECT_FALSE(s.playerMale);
    EXPECT_EQ(s.playerMount, "mare");
    EXPECT_EQ(s.missionsCompleted, (std::vector<std::string>{"MUD1", "MUD4"}));
    ASSERT_EQ(s.peds.size(), 3u);
    // Handles given are kept; the others are the free ones from 3000 on, in
    // file order, skipping the player's, and go on into added peds.
    EXPECT_EQ(s.peds[0].handle, 3001);
    EXPECT_EQ(s.peds[1].handle, 1001);
    EXPECT_EQ(s.peds[2].handle, 3002);
    EXPECT_FALSE(s.peds[1].still);
    ASSERT_EQ(s.events.size(), 3u);
    EXPECT_EQ(s.events[0].action, sim::Action::AddPed);
    EXPECT_EQ(s.events[0].ped.handle, 3003);
    EXPECT_EQ(s.events[1].action, sim::Action::SetPed);
    EXPECT_EQ(s.events[1].change.still, true);
    EXPECT_FALSE(s.events[1].change.fleeing.has_value());
    EXPECT_EQ(s.events[2].action, sim::Action::Target);
    EXPECT_EQ(s.events[2].text, "");
    ASSERT_EQ(s.expectations.size(), 2u);
    const sim::Expectation& flee = s.expectations[0];
    ASSERT_EQ(flee.args.size(), 5u);
    EXPECT_EQ(flee.args[0].kind, sim::ArgMatch::Kind::Text);
    EXPECT_EQ(flee.args[2].kind, sim::ArgMatch::Kind::Number);
    EXPECT_EQ(flee.args[3].kind, sim::ArgMatch::Kind::Any);
    EXPECT_EQ(flee.args[4].kind, sim::ArgMatch::Kind::Text) << "a quoted number is text";
    EXPECT_EQ(flee.after, 1000u);
    EXPECT_EQ(flee.by, 2000u);
    EXPECT_EQ(flee.where.line, 19);
    EXPECT_TRUE(s.expectations[1].never);
    EXPECT_FLOAT_EQ(s.expectations[1].within, 2.5f);
}

TEST(SimScenarioFile, SettingsAbsentMeanTheShippedFileAndTextIsKeptByteForByte) {
    EXPECT_EQ(sim::parseScenario("name: x\nduration: 1s\nworld: {}\n", "a.yaml").settings,
              sim::Scenario::Settings::Shipped);
    const sim::Scenario s = sim::parseScenario(
        "name: x\nduration: 1s\nworld: {}\nsettings: \"\\uFEFFA=B\\r\\nC\\0D\"\n", "a.yaml");
    EXPECT_EQ(s.settings, sim::Scenario::Settings::Text);
    EXPECT_EQ(s.settingsText, std::string("\xEF\xBB\xBF"
                                          "A=B\r\nC\0D",
                                          11));
}

} // namespace
