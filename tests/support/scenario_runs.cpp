#include "tests/support/scenario_runs.h"

#include <gmock/gmock.h>

#include <utility>

namespace simtest {

std::string errorOf(const std::string& yaml, const std::string& file) {
    try {
        sim::parseScenario(yaml, file);
    } catch (const sim::ScenarioError& e) {
        return e.what();
    }
    return "";
}

std::string loadErrorOf(const std::string& path) {
    try {
        sim::loadScenario(path);
    } catch (const sim::ScenarioError& e) {
        return e.what();
    }
    return "";
}

Ran run(const sim::Scenario& scenario, sim::RunOptions options, const sim::ModuleLoader& module) {
    std::ostringstream timeline, trace;
    options.timeline = &timeline;
    options.trace = &trace;
    Ran ran;
    ran.result = sim::runScenario(scenario, options, module);
    ran.timeline = timeline.str();
    ran.trace = trace.str();
    return ran;
}

Ran runYaml(const std::string& yaml, const std::string& file, sim::RunOptions options) {
    return run(sim::parseScenario(yaml, file), std::move(options));
}

std::string timelineOf(const sim::Scenario& scenario) {
    const Ran ran = run(scenario);
    EXPECT_THAT(ran.result.failures, ::testing::IsEmpty());
    return ran.timeline;
}

namespace {

std::string playerAtTheOrigin(const std::string& name, const std::string& duration) {
    return "name: " + name + "\nduration: " + duration + "\nworld:\n  player: {position: [0, 0, 0]}\n";
}
const char* const dutchHorseTenMetresEast = "model: A_C_HORSE_GANG_DUTCH, position: [10, 0, 0]}\n";

} // namespace

std::string dutchHorseAhead(const std::string& name, const std::string& duration) {
    return playerAtTheOrigin(name, duration) + "  missions_completed: [MUD1]\n  peds:\n" +
           "    - {name: dutch_horse, handle: 2001, " + dutchHorseTenMetresEast;
}

std::string dutchHorseFollows(const std::string& name, const std::string& duration) {
    return playerAtTheOrigin(name, duration) + "  peds:\n    - {name: dutch_horse, " +
           dutchHorseTenMetresEast +
           "events:\n  - {at: 1s, target: dutch_horse}\n  - {at: 2s, prompt: follow}\n";
}

} // namespace simtest
