// Helpers of the simulator's tests: scenarios read and run from their YAML
// text on the module linked into the tests, with what a run showed.
#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "sim/run/module_loader.h"
#include "sim/run/runner.h"
#include "sim/scenario/scenario_file.h"

namespace simtest {

// The message of the error that reading the text as that file raises, or ""
// when it reads.
std::string errorOf(const std::string& yaml, const std::string& file);
// The same for a file read from disk.
std::string loadErrorOf(const std::string& path);

// What a run showed: its result, its timeline and its trace as written.
struct Ran {
    sim::RunResult result;
    std::string timeline;
    std::string trace;
};

// Runs the scenario on the module linked into the tests (or the one given)
// with a timeline and a trace; the options may add observers and leave
// natives out of the trace.
Ran run(const sim::Scenario& scenario, sim::RunOptions options = {},
        const sim::ModuleLoader& module = sim::linkedModule());
// Reads the text as that file and runs it.
Ran runYaml(const std::string& yaml, const std::string& file, sim::RunOptions options = {});
// The timeline of a run whose expectations must all hold.
std::string timelineOf(const sim::Scenario& scenario);

// Each line of a trace, parsed (nlohmann::json or ordered_json).
template <class Json> std::vector<Json> jsonLines(const std::string& text) {
    std::vector<Json> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(Json::parse(line));
    }
    return lines;
}

// The start of a scenario: its name and duration, the player at the origin,
// the story at its first camp (MUD1) and Dutch's horse, handle 2001, ten
// metres east of the player. More peds may follow.
std::string dutchHorseAhead(const std::string& name, const std::string& duration);
// The start of a scenario with no camp known yet: Dutch's horse ten metres
// east of the player, aimed at at 1 s and told to follow at 2 s (nine lines).
// More events may follow.
std::string dutchHorseFollows(const std::string& name, const std::string& duration);

} // namespace simtest
