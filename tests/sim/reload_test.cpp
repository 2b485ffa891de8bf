// Reloads in scenarios: the two events as a scenario file gives them, a
// module reload as the run makes it, on the loader's thread, told in the
// trace and the timeline, and the length of the reloads command's run.
#include <gmock/gmock.h>

#include <cstdint>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "sim/soak/reload_run.h"
#include "tests/support/scenario_runs.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::ThrowsMessage;

namespace {

const std::string head = "name: x\nduration: 3s\nworld: {}\nevents:\n";

std::string errorOf(const std::string& events) { return simtest::errorOf(head + events, "r.yaml"); }

TEST(SimReload, BothReloadsAreEventsThatTakeTrue) {
    const sim::Scenario s = sim::parseScenario(
        head + "  - {at: 1s, game_reload: true}\n  - {at: 2s, module_reload: true}\n", "r.yaml");
    ASSERT_EQ(s.events.size(), 2u);
    EXPECT_EQ(s.events[0].action, sim::Action::GameReload);
    EXPECT_EQ(s.events[1].action, sim::Action::ModuleReload);
    EXPECT_EQ(errorOf("  - {at: 1s, game_reload: false}\n"),
              "r.yaml:5:27: game_reload takes only true (the event happens); leave the event out for none");
    EXPECT_EQ(errorOf("  - {at: 1s, module_reload: 3}\n"),
              "r.yaml:5:29: module_reload takes only true (the event happens); leave the event out for none");
}

TEST(SimReload, AModuleReloadRunsDllMainOnTheLoadersThreadAndIsToldInTheTraceAndTimeline) {
    const sim::ModuleLoader linked = sim::linkedModule();
    std::vector<bool> onAnotherThread;
    const std::thread::id runner = std::this_thread::get_id();
    sim::ModuleLoader watched = linked;
    watched.load = [&] {
        onAnotherThread.push_back(std::this_thread::get_id() != runner);
        linked.load();
    };
    sim::RunOptions options;
    options.traceOmit = {"getHashKey"};
    const simtest::Ran ran = simtest::run(
        sim::parseScenario(head + "  - {at: 1s, module_reload: true}\n", "r.yaml"), options, watched);
    EXPECT_THAT(onAnotherThread, ElementsAre(true, true));

    std::vector<std::string> hostLines;
    std::istringstream lines(ran.trace);
    for (std::string line; std::getline(lines, line);) {
        if (line.find("\"host\"") != std::string::npos && line.find("scriptWait") == std::string::npos &&
            line.find("worldGetAllPeds") == std::string::npos) {
            hostLines.push_back(line);
        }
    }
    EXPECT_THAT(hostLines, ElementsAre(R"({"frame":0,"time":0,"host":"scriptRegister"})",
                                       R"({"frame":0,"time":0,"host":"keyboardHandlerRegister"})",
                                       R"({"frame":0,"time":0,"host":"scriptMain"})",
                                       R"({"frame":30,"time":1000,"host":"scriptUnregister"})",
                                       R"({"frame":30,"time":1000,"host":"keyboardHandlerUnregister"})",
                                       R"({"frame":30,"time":1000,"host":"scriptRegister"})",
                                       R"({"frame":30,"time":1000,"host":"keyboardHandlerRegister"})",
                                       R"({"frame":30,"time":1000,"host":"scriptMain"})",
                                       R"({"frame":91,"time":3033,"host":"scriptUnregister"})",
                                       R"({"frame":91,"time":3033,"host":"keyboardHandlerUnregister"})"));
    EXPECT_THAT(ran.timeline, HasSubstr("00:01.000  developer mode: the host unloads the module\n"
                                        "00:01.000  DllMain: the module unregisters its script main\n"
                                        "00:01.000  DllMain: the module unregisters its keyboard handler\n"
                                        "00:01.000  the host loads the module again\n"
                                        "00:01.000  DllMain: the module registers its script main\n"
                                        "00:01.000  DllMain: the module registers its keyboard handler\n"
                                        "00:01.000  the host starts the script main\n"));
}

// The run's length and its reloads' times; an hour between reloads 1200
// times is past a scenario's 2^32 ms and refused, not wrapped to a run of
// under eight hours.
TEST(SimReload, AReloadRunIsAsLongAsAskedOrRefused) {
    sim::ReloadRunOptions o;
    o.seconds = 3;
    o.cycles = 2;
    const sim::Scenario s = sim::reloadScenario(o);
    EXPECT_EQ(s.duration, 9000u);
    std::vector<std::pair<std::uint32_t, sim::Action>> reloads;
    for (const sim::ScenarioEvent& e : s.events) {
        if (e.action == sim::Action::GameReload || e.action == sim::Action::ModuleReload)
            reloads.emplace_back(e.at, e.action);
    }
    EXPECT_THAT(reloads, ElementsAre(std::pair(1500u, sim::Action::GameReload),
                                     std::pair(3000u, sim::Action::ModuleReload),
                                     std::pair(4500u, sim::Action::GameReload),
                                     std::pair(6000u, sim::Action::ModuleReload)));
    o.seconds = 3600;
    o.cycles = 1200;
    EXPECT_THAT([&] { sim::reloadScenario(o); }, ThrowsMessage<std::out_of_range>(HasSubstr(
                                                     "make 4323600 s of play (3600 s before each of the "
                                                     "1200 reloads and after the last); a run can be at "
                                                     "most 4294967 s (2^32 ms)")));
}

} // namespace
