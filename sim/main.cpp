// gang-horse-sim: runs the module in a simulated camp from scenario files.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <iostream>

#include "sim/reload_run.h"
#include "sim/runner.h"
#include "sim/soak.h"
#include "standin/catalogue.h"

namespace {

int soakCommand(std::uint32_t seed, long long frames, const sim::ModuleLoader& module) {
    const sim::SoakReport report = sim::runSoak(seed, frames, module);
    std::printf("soak, seed %u: %lld frames in %.1f s (%.0f frames per second), %llu native calls, "
                "%llu trace lines read back, module allocations %s\n",
                seed, report.frames, report.wallSeconds,
                report.wallSeconds > 0 ? static_cast<double>(report.frames) / report.wallSeconds : 0.0,
                static_cast<unsigned long long>(report.nativeCalls),
                static_cast<unsigned long long>(report.tracedCalls),
                report.countedAllocations ? "counted" : "not counted in this build");
    if (!report.failure.empty()) {
        std::printf("soak FAILED: %s\n", report.failure.c_str());
        std::printf("reproduce with: gang-horse-sim soak --seed %u --frames %lld\n", seed, frames);
        return 1;
    }
    std::printf("1 passed, 0 failed\n");
    return 0;
}

int runCommand(const std::string& file, const std::string& tracePath, const std::vector<std::string>& omit,
               bool quiet, const sim::ModuleLoader& module) {
    sim::Scenario scenario;
    try {
        scenario = sim::loadScenario(file);
    } catch (const sim::ScenarioError& e) {
        std::cerr << e.what() << "\n";
        return 2;
    }
    std::ofstream trace;
    sim::RunOptions options;
    if (!tracePath.empty()) {
        trace.open(tracePath, std::ios::binary);
        if (!trace) {
            std::cerr << tracePath << ": cannot write the trace\n";
            return 2;
        }
        options.trace = &trace;
        for (const std::string& label : omit) {
            if (standin::findNativeByLabel(label) == nullptr) {
                std::cerr << "--trace-omit: unknown native '" << label << "'\n";
                return 2;
            }
            options.traceOmit.insert(label);
        }
    }
    if (!quiet)
        options.timeline = &std::cout;
    const sim::RunResult result = sim::runScenario(scenario, options, module);
    for (const std::string& failure : result.failures)
        std::cout << failure << "\n";
    if (!quiet && result.expectations > 0) {
        std::cout << (result.expectations - result.failures.size()) << " of " << result.expectations
                  << " expectations held\n";
    }
    return 0;
}

int checkCommand(const std::vector<std::string>& files, const sim::ModuleLoader& module) {
    std::vector<sim::Scenario> scenarios;
    bool bad = false;
    for (const std::string& file : files) {
        try {
            scenarios.push_back(sim::loadScenario(file));
        } catch (const sim::ScenarioError& e) {
            std::cerr << e.what() << "\n";
            bad = true;
        }
    }
    if (bad)
        return 2;
    int failed = 0;
    for (const sim::Scenario& scenario : scenarios) {
        const sim::RunResult result = sim::runScenario(scenario, {}, module);
        const bool ok = result.failures.empty();
        std::printf("%s %s (%s): %zu expectations, %lld frames in %.2f s\n", ok ? "PASS" : "FAIL",
                    scenario.file.c_str(), scenario.name.c_str(), result.expectations, result.frames,
                    result.wallSeconds);
        for (const std::string& failure : result.failures)
            std::printf("  %s\n", failure.c_str());
        failed += ok ? 0 : 1;
    }
    std::printf("%zu passed, %d failed\n", scenarios.size() - static_cast<std::size_t>(failed), failed);
    return failed == 0 ? 0 : 1;
}

} // namespace

#ifdef _WIN32
// On Windows the simulator is part of the stand-in ScriptHookRDR2.dll, beside
// the host that the loaded module calls; gang-horse-sim.exe calls this.
extern "C" int gangHorseSimMain(int argc, char** argv) {
#else
int main(int argc, char** argv) {
#endif
    CLI::App app{"Runs the gang_horse module in a simulated camp, from scenario files."};
    app.require_subcommand(1);
    std::string modulePath;
#ifdef _WIN32
    app.add_option("--module", modulePath,
                   "The module to load (default: gang_horse.asi beside this program).");
#else
    app.add_option("--module", modulePath,
                   "The module to load (default: gang_horse.so beside this program).");
#endif
    app.fallthrough();

    std::string runFile, tracePath;
    bool quiet = false;
    CLI::App* run = app.add_subcommand("run", "Run a scenario and print its timeline.");
    run->add_option("scenario", runFile, "The scenario file (YAML).")->required();
    run->add_option("--trace", tracePath, "Write every host and native call to this file, as JSON Lines.");
    std::vector<std::string> traceOmit;
    run->add_option("--trace-omit", traceOmit, "Leave these natives (by label) out of the trace.")
        ->delimiter(',');
    run->add_flag("--quiet", quiet, "Print no timeline.");

    std::vector<std::string> checkFiles;
    CLI::App* check = app.add_subcommand("check", "Run scenarios and verify their expectations.");
    check->add_option("scenarios", checkFiles, "The scenario files (YAML).")->required();

    std::uint32_t seed = 1;
    long long frames = 100000;
    CLI::App* soak = app.add_subcommand("soak", "Play seeded random play and check the module's invariants.");
    soak->add_option("--seed", seed, "The seed: the same seed plays the same.");
    soak->add_option("--frames", frames, "How many frames to play.")->check(CLI::Range(1LL, 100000000LL));

    sim::ReloadRunOptions reloads;
    CLI::App* reload = app.add_subcommand(
        "reloads", "Reload the module many times in one process, with play between, then exit with the "
                   "script suspended; print the process's memory and handles after the first and the last.");
    reload->add_option("--cycles", reloads.cycles, "Module reloads (each after a game reload).")
        ->check(CLI::Range(1, 100000));
    reload->add_option("--seconds", reloads.seconds, "Game seconds of play between reloads.")
        ->check(CLI::Range(1, 3600));
    reload->add_option("--seed", reloads.seed, "The seed of the play.");
    reload
        ->add_option("--first-sample", reloads.firstSample,
                     "The reload after which the first figures are taken.")
        ->check(CLI::Range(0, 100000));
    reload->add_option("--max-growth-kib", reloads.maxGrowthKib, "Memory growth allowed (KiB).");
    reload->add_option("--max-handle-growth", reloads.maxHandleGrowth, "Handle growth allowed.");

    CLI11_PARSE(app, argc, argv);
    try {
        const sim::ModuleLoader module = sim::loadedModule(modulePath);
        if (*run)
            return runCommand(runFile, tracePath, traceOmit, quiet, module);
        if (*check)
            return checkCommand(checkFiles, module);
        if (*soak)
            return soakCommand(seed, frames, module);
        if (*reload) {
            if (reloads.firstSample > reloads.cycles) {
                std::cerr << "reloads: --first-sample is after the last reload\n";
                return 2;
            }
            return sim::runReloads(reloads, module);
        }
    } catch (const std::exception& e) {
        std::cerr << "gang-horse-sim: " << e.what() << "\n";
        return 3;
    }
    return 0;
}
