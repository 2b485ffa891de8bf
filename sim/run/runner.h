// Runs a scenario: builds its world on the stand-in game, loads the module,
// plays the scenario's events frame by frame, and reports a timeline, an
// optional trace and the expectations that failed.
#pragma once

#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "sim/observe/checker.h"
#include "sim/observe/run_observer.h"
#include "sim/run/module_loader.h"
#include "sim/scenario/scenario.h"

namespace sim {

struct RunOptions {
    std::ostream* timeline = nullptr; // lines as they happen
    std::ostream* trace = nullptr;    // JSON Lines, one per call
    std::set<std::string> traceOmit;  // natives left out of the trace, by label
    // Who else watches the run (the report, positions, the soak's
    // invariants): told of each thing after the timeline and the checker, in
    // this order.
    std::vector<RunObserver*> observers;
    // Called once the module has loaded, before the first frame: outputs are
    // created here, so that a run that cannot start leaves files as they were.
    std::function<void()> started;
    // At the end, leave the module loaded and its script suspended in its
    // wait, as a game that exits does (the process ends next).
    bool exitSuspended = false;
};

struct RunResult {
    long long frames = 0;
    double wallSeconds = 0;
    std::size_t expectations = 0;
    std::vector<std::string> failures;
    std::vector<Verdict> verdicts; // one per expectation
};

RunResult runScenario(const Scenario& scenario, const RunOptions& options, const ModuleLoader& module);

} // namespace sim
