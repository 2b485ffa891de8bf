#include "sim/soak/reload_run.h"

#include <algorithm>

#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>

#include "sim/run/runner.h"
#include "sim/soak/play.h"
#include "sim/soak/process_figures.h"
#include "standin/host.h"

namespace sim {

namespace {

struct Sample {
    ProcessFigures process;
    std::int64_t moduleHeapBytes = 0;
    std::int64_t moduleHeapBlocks = 0;
};

Sample takeSample() {
    return Sample{processFigures(), standin::moduleHeapBytes.load(), standin::moduleHeapBlocks.load()};
}

void printSample(int reload, const Sample& s) {
    std::printf("after reload %3d: %s %lld KiB, %lld %s", reload, memoryWord(),
                static_cast<long long>(s.process.memoryBytes / 1024),
                static_cast<long long>(s.process.handles), handleWord());
    if (standin::countingAllocations) {
        std::printf(", module heap %lld bytes in %lld blocks", static_cast<long long>(s.moduleHeapBytes),
                    static_cast<long long>(s.moduleHeapBlocks));
    }
    std::printf("\n");
}

} // namespace

Scenario reloadScenario(const ReloadRunOptions& o) {
    const std::uint64_t period = static_cast<std::uint64_t>(o.seconds) * 1000u;
    const std::uint64_t duration = period * static_cast<std::uint64_t>(o.cycles + 1);
    // Every time of the run is at most its duration: once that fits, they all do.
    if (duration > std::numeric_limits<std::uint32_t>::max()) {
        const std::string seconds = std::to_string(o.seconds), cycles = std::to_string(o.cycles);
        throw std::out_of_range(
            "--seconds " + seconds + " and --cycles " + cycles + " make " + std::to_string(duration / 1000) +
            " s of play (" + seconds + " s before each of the " + cycles +
            " reloads and after the last); a run can be at most " +
            std::to_string(std::numeric_limits<std::uint32_t>::max() / 1000) + " s (2^32 ms)");
    }
    Scenario s = soakScenario(o.seed, static_cast<long long>(duration) * 30 / 1000);
    s.name = "reloads, seed " + std::to_string(o.seed);
    s.events.erase(std::remove_if(s.events.begin(), s.events.end(),
                                  [](const ScenarioEvent& e) {
                                      return e.action == Action::GameReload ||
                                             e.action == Action::ModuleReload;
                                  }),
                   s.events.end());
    for (int cycle = 1; cycle <= o.cycles; ++cycle) {
        ScenarioEvent e;
        e.at = static_cast<std::uint32_t>(period * cycle - period / 2);
        e.action = Action::GameReload;
        s.events.push_back(e);
        e.at = static_cast<std::uint32_t>(period * cycle);
        e.action = Action::ModuleReload;
        s.events.push_back(e);
    }
    std::stable_sort(s.events.begin(), s.events.end(),
                     [](const ScenarioEvent& a, const ScenarioEvent& b) { return a.at < b.at; });
    return s;
}

int runReloads(const ReloadRunOptions& o, const ModuleLoader& module) {
    Scenario scenario;
    try {
        scenario = reloadScenario(o);
    } catch (const std::out_of_range& e) {
        std::fprintf(stderr, "reloads: %s\n", e.what());
        return 2;
    }
    int loads = 0;
    Sample first, last;
    ModuleLoader sampled = module;
    sampled.load = [&] {
        module.load();
        const int reload = loads++;
        if (reload == o.firstSample)
            first = takeSample();
        if (reload == o.cycles)
            last = takeSample();
    };
    RunOptions options;
    options.exitSuspended = true;
    const RunResult run = runScenario(scenario, options, sampled);
    const int starts = standin::Host::get().scriptStarts();
    std::printf("reload run, seed %u: %d module reloads and %d game reloads, %d s of play between each; "
                "%lld frames in %.1f s\n",
                o.seed, loads - 1, o.cycles, o.seconds, run.frames, run.wallSeconds);
    printSample(o.firstSample, first);
    printSample(o.cycles, last);
    const long long growthKib = (last.process.memoryBytes - first.process.memoryBytes) / 1024;
    const long long handleGrowth = last.process.handles - first.process.handles;
    const long long heapGrowth = last.moduleHeapBytes - first.moduleHeapBytes;
    std::printf("growth: %+lld KiB %s (limit %lld), %+lld %s (limit %lld)", growthKib, memoryWord(),
                o.maxGrowthKib, handleGrowth, handleWord(), o.maxHandleGrowth);
    if (standin::countingAllocations)
        std::printf(", %+lld bytes of module heap (limit 0)", heapGrowth);
    std::printf("\n");
    // Not the module's own: what the dropped scripts made in the game stays there.
    const standin::Game& game = standin::Host::get().game();
    std::printf("left in the game by dropped scripts and the last one: %zu prompts, %zu blips\n",
                game.prompts.size(), game.blips.size());

    std::string failure;
    if (loads - 1 != o.cycles || starts != 1 + 2 * o.cycles) {
        failure = "expected " + std::to_string(o.cycles) + " module reloads and " +
                  std::to_string(1 + 2 * o.cycles) + " starts of the script main, saw " +
                  std::to_string(loads - 1) + " and " + std::to_string(starts);
    } else if (first.process.memoryBytes < 0 || first.process.handles < 0) {
        failure = "this system does not tell the process's memory or handles";
    } else if (growthKib >= o.maxGrowthKib || handleGrowth >= o.maxHandleGrowth) {
        failure = "the process grew past a limit";
    } else if (standin::countingAllocations && heapGrowth > 0) {
        failure = "the module left heap memory behind";
    }
    if (!failure.empty()) {
        std::printf("reloads FAILED: %s\n", failure.c_str());
        return 1;
    }
    std::printf("the game exits with the script suspended in its wait\n");
    return 0;
}

} // namespace sim
