// gang-horse-sim: runs the module in a simulated camp from scenario files.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>

#include "sim/report/report_files.h"
#include "sim/run/runner.h"
#include "sim/scenario/reference.h"
#include "sim/scenario/scenario_file.h"
#include "sim/soak/reload_run.h"
#include "sim/soak/soak.h"
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

// Reads a scenario file and tells its warnings; nullopt (told) when it is bad.
std::optional<sim::Scenario> load(const std::string& file) {
    try {
        sim::Scenario scenario = sim::loadScenario(file);
        for (const std::string& warning : scenario.warnings)
            std::cerr << warning << "\n";
        return scenario;
    } catch (const sim::ScenarioError& e) {
        std::cerr << e.what() << "\n";
        return std::nullopt;
    }
}

int runCommand(const std::string& file, const std::vector<std::string>& omit, bool quiet,
               const sim::RunFileOptions& files, const sim::ModuleLoader& module) {
    // Every argument and the scenario are checked before anything runs, and
    // no output is created or truncated before the module has loaded: a
    // mistake, or a module that does not load, leaves existing files as they
    // were.
    sim::RunOptions options;
    for (const std::string& label : omit) {
        if (standin::findNativeByLabel(label) == nullptr) {
            std::cerr << "--trace-omit: " << sim::unknownName("native", label, sim::nativeLabels()) << "\n";
            return 2;
        }
        options.traceOmit.insert(label);
    }
    const std::optional<sim::Scenario> scenario = load(file);
    if (!scenario)
        return 2;
    std::unique_ptr<sim::RunFiles> records;
    try {
        sim::checkOutputPaths(
            {{"--trace", files.trace}, {"--report", files.report}, {"--positions", files.positions}}, file);
        records = std::make_unique<sim::RunFiles>(files, scenario->duration);
        records->attach(options);
        if (!quiet)
            options.timeline = &std::cout;
        const sim::RunResult result = sim::runScenario(*scenario, options, module);
        records->write(result);
        for (const std::string& failure : result.failures)
            std::cout << failure << "\n";
        if (!quiet && result.expectations > 0) {
            std::cout << (result.expectations - result.failures.size()) << " of " << result.expectations
                      << " expectations held\n";
        }
        return result.failures.empty() ? 0 : 1;
    } catch (const sim::OutputError& e) {
        std::cerr << e.what() << "\n";
        return 2;
    }
}

int checkScenarios(const std::vector<sim::Scenario>& scenarios, sim::ReportDir* reports,
                   const sim::ModuleLoader& module) {
    int failed = 0;
    for (const sim::Scenario& scenario : scenarios) {
        sim::RunOptions options;
        if (reports)
            reports->attach(options);
        const sim::RunResult result = sim::runScenario(scenario, options, module);
        if (reports)
            reports->add(scenario, result);
        const bool ok = result.failures.empty();
        std::printf("%s %s (%s): %zu expectations, %lld frames in %.2f s\n", ok ? "PASS" : "FAIL",
                    scenario.file.c_str(), scenario.name.c_str(), result.expectations, result.frames,
                    result.wallSeconds);
        for (const std::string& failure : result.failures)
            std::printf("  %s\n", failure.c_str());
        failed += ok ? 0 : 1;
    }
    if (reports)
        reports->finish();
    std::printf("%zu passed, %d failed\n", scenarios.size() - static_cast<std::size_t>(failed), failed);
    return failed == 0 ? 0 : 1;
}

int checkCommand(const std::vector<std::string>& files, const std::string& reportDir,
                 const sim::ModuleLoader& module) {
    std::vector<sim::Scenario> scenarios;
    bool bad = false;
    for (const std::string& file : files) {
        std::optional<sim::Scenario> scenario = load(file);
        if (scenario)
            scenarios.push_back(std::move(*scenario));
        bad = bad || !scenario;
    }
    if (bad)
        return 2;
    std::unique_ptr<sim::ReportDir> reports;
    try {
        if (!reportDir.empty())
            reports = std::make_unique<sim::ReportDir>(reportDir);
    } catch (const sim::OutputError& e) {
        std::cerr << e.what() << "\n";
        return 2;
    }
    try {
        return checkScenarios(scenarios, reports.get(), module);
    } catch (const sim::OutputError& e) {
        std::cerr << e.what() << "\n";
        return 2;
    }
}

// A command line the program cannot take: exit 2, with the usage of the
// command it was meant for. Help and the version are not errors.
int commandLineError(const CLI::App& app, const CLI::ParseError& e) {
    if (e.get_exit_code() == 0)
        return app.exit(e);
    const std::vector<CLI::App*> given = app.get_subcommands();
    const CLI::App* meant = given.empty() ? &app : given.back();
    const std::string name = given.empty() ? "gang-horse-sim" : "gang-horse-sim " + meant->get_name();
    std::cerr << name << ": " << e.what() << "\n"
              << CLI::Formatter().make_usage(meant, name) << "Run with --help for more.\n";
    return 2;
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
    app.set_version_flag("--version", "gang-horse-sim " GH_VERSION);
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

    std::string runFile;
    sim::RunFileOptions runFiles;
    bool quiet = false;
    CLI::App* run = app.add_subcommand("run", "Run a scenario and print its timeline.");
    run->add_option("scenario", runFile, "The scenario file (YAML).")->required();
    run->add_option("--trace", runFiles.trace,
                    "Write every host and native call to this file, as JSON Lines.");
    std::vector<std::string> traceOmit;
    run->add_option("--trace-omit", traceOmit, "Leave these natives (by label) out of the trace.")
        ->delimiter(',')
        ->needs("--trace");
    run->add_flag("--quiet", quiet, "Print no timeline.");
    run->add_option("--report", runFiles.report, "Write the run's report page (HTML) to this file.");
    run->add_option("--positions", runFiles.positions,
                    "Write where the player and every ped stand at the --positions-at times (JSON).");
    run->add_option("--positions-at", runFiles.positionsAt, "Game times for --positions, such as 31s,1500ms.")
        ->delimiter(',');

    std::vector<std::string> checkFiles;
    CLI::App* check = app.add_subcommand("check", "Run scenarios and verify their expectations.");
    check->add_option("scenarios", checkFiles, "The scenario files (YAML).")->required();
    std::string reportDir;
    check->add_option("--report-dir", reportDir, "Write a report page per scenario and index.html here.");

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

    app.add_subcommand("reference", "Print the scenario reference (Markdown): gang horse models, lines, "
                                    "camps and native labels.");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return commandLineError(app, e);
    }
    try {
        const sim::ModuleLoader module = sim::loadedModule(modulePath);
        if (*run)
            return runCommand(runFile, traceOmit, quiet, runFiles, module);
        if (*check)
            return checkCommand(checkFiles, reportDir, module);
        if (*soak)
            return soakCommand(seed, frames, module);
        if (*reload) {
            if (reloads.firstSample > reloads.cycles) {
                std::cerr << "reloads: --first-sample is after the last reload\n";
                return 2;
            }
            return sim::runReloads(reloads, module);
        }
        std::cout << sim::referenceText();
    } catch (const std::exception& e) {
        std::cerr << "gang-horse-sim: " << e.what() << "\n";
        return 3;
    }
    return 0;
}
