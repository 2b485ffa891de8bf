// Developer mode at length: one process that reloads the module many times,
// with play in between, then exits with the script suspended, as the game
// does. Prints what the process holds after the first reloads and after the
// last, and fails when it grew.
#pragma once

#include <cstdint>

#include "sim/run/module_loader.h"
#include "sim/scenario/scenario.h"

namespace sim {

struct ReloadRunOptions {
    int cycles = 200;              // module reloads, each after a game reload
    int seconds = 3;               // game seconds of play between two reloads
    std::uint32_t seed = 1;        // the play, as the soak plays it
    int firstSample = 10;          // the reload after which the first figures are taken
    long long maxGrowthKib = 1024; // memory growth allowed up to the last reload
    long long maxHandleGrowth = 10;
};

// The play of the run: the soak's, without its own reloads, and a game reload
// half way through each cycle and a module reload at its end. Throws
// std::out_of_range when the run is longer than a scenario's clock holds
// (2^32 ms, about 49 days).
Scenario reloadScenario(const ReloadRunOptions& options);

// Prints the figures; returns the exit code: 0, or 1 when a limit was passed;
// 2, with the reason on stderr and nothing run, when the run is too long.
int runReloads(const ReloadRunOptions& options, const ModuleLoader& module);

} // namespace sim
