#include "sim/run/runner.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "sim/observe/timeline.h"
#include "sim/observe/trace.h"
#include "sim/run/module_lifecycle.h"
#include "sim/run/scenario_world.h"
#include "sim/run/shipped_settings.h"
#include "standin/host.h"

namespace sim {

namespace {

using standin::Game;
using standin::Host;
using standin::NativeInfo;

// A scratch working directory holding the scenario's settings file, entered
// for the run and removed afterwards.
class ScratchDir {
  public:
    explicit ScratchDir(const Scenario& scenario) {
        namespace fs = std::filesystem;
        previous_ = fs::current_path();
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0;; ++attempt) {
            path_ = fs::temp_directory_path() /
                    ("gang-horse-sim-" + std::to_string(stamp) + "-" + std::to_string(attempt));
            if (fs::create_directory(path_))
                break;
        }
        if (scenario.settings != Scenario::Settings::None) {
            const std::string& text =
                scenario.settings == Scenario::Settings::Text ? scenario.settingsText : shippedSettings();
            std::ofstream file(path_ / "Velkor.dat", std::ios::binary);
            file.write(text.data(), static_cast<std::streamsize>(text.size()));
        }
        fs::current_path(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }

  private:
    std::filesystem::path previous_, path_;
};

// The game window's thread, there for the run and ended however the run
// ends: a thread left running would meet the end of the process (on
// Windows, after the process has stopped it, a wait for ever).
class WindowForRun {
  public:
    explicit WindowForRun(Host& host) : host_(host) { host_.startWindowThread(); }
    ~WindowForRun() { host_.stopWindowThread(); }
    WindowForRun(const WindowForRun&) = delete;
    WindowForRun& operator=(const WindowForRun&) = delete;

  private:
    Host& host_;
};

// The stand-in host's one observer, from the start of a run to its end
// however it ends: what it hears goes to the run's observers, and every call
// to the trace where there is one.
class Hearing final : public standin::HostObserver {
  public:
    Hearing(Host& host, RunObservers& observers, const RunOptions& options)
        : host_(host), observers_(observers), trace_(options.trace),
          omitted_(standin::nativeCatalogueSize, false) {
        for (std::size_t i = 0; i < standin::nativeCatalogueSize; ++i)
            omitted_[i] = options.traceOmit.count(standin::nativeCatalogue[i].label) != 0;
        host.setObserver(this);
    }
    ~Hearing() override { host_.setObserver(nullptr); }
    Hearing(const Hearing&) = delete;
    Hearing& operator=(const Hearing&) = delete;

    void beforeNative(const NativeInfo& info, const std::uint64_t* slots) override {
        observers_.nativeBefore(info, slots);
    }
    void afterNative(const NativeInfo& info, const std::uint64_t* slots,
                     const std::uint64_t* result) override {
        observers_.native(host_.elapsedMs(), info, slots, result);
    }
    void afterHost(const char* name, std::uint32_t value) override {
        observers_.host(host_.elapsedMs(), name, value);
    }
    void frameEnd(int frame) override { observers_.frameEnd(frame, host_.elapsedMs()); }

    // The trace.
    bool hearsCalls() const override { return trace_ != nullptr; }
    void call(const standin::Event& event) override {
        if (event.native == nullptr || !omitted_[standin::catalogueIndex(*event.native)])
            *trace_ << traceLine(event) << "\n";
    }

  private:
    Host& host_;
    RunObservers& observers_;
    std::ostream* const trace_;
    std::vector<bool> omitted_; // by the native's place in the catalogue
};

} // namespace

RunResult runScenario(const Scenario& s, const RunOptions& options, const ModuleLoader& module) {
    ScratchDir scratch(s);
    Host& host = Host::get();
    host.reset(s.fps, s.startTime);
    host.setRecording(false);
    Game& game = host.game();
    game.dynamics = true;

    ScenarioWorld world{host, game, {}, {}, &module};
    buildWorld(s, world);

    // Those who watch the run, each only where it has something to do: the
    // timeline where its lines go somewhere, the checker where there is
    // something to check, then the caller's.
    RunObservers observers;
    Timeline timeline(options.timeline, world.names, game, observers);
    Checker checker(s, game, world.names);
    const auto& others = options.observers;
    if (options.timeline != nullptr ||
        std::any_of(others.begin(), others.end(), [](const RunObserver* o) { return o->hearsLines(); }))
        observers.add(timeline);
    if (!s.expectations.empty())
        observers.add(checker);
    for (RunObserver* o : others)
        observers.add(*o);
    observers.begin(s, game, world.names);
    Hearing hearing(host, observers, options);

    const auto started = std::chrono::steady_clock::now();
    timeline.say(0, "scenario \"" + s.name + "\" starts");
    loadOnLoaderThread(module); // before the game's window exists, as the game loads its modules
    if (options.started)
        options.started();
    WindowForRun window(host);
    std::size_t next = 0;
    RunResult result;
    while (host.elapsedMs() <= s.duration) {
        const std::uint64_t now = host.elapsedMs();
        for (; next < s.events.size() && s.events[next].at <= now; ++next) {
            applyEvent(s.events[next], now, world, timeline);
            observers.event(now, s.events[next]);
        }
        host.runFrame();
        ++result.frames;
    }
    timeline.say(s.duration, "scenario ends"); // the last frame ran at the duration or before it
    if (options.exitSuspended) {
        timeline.say(s.duration, "the game exits with the script suspended in its wait");
    } else {
        unloadOnLoaderThread(module);
        host.shutdown();
    }
    result.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    result.expectations = s.expectations.size();
    result.failures = checker.failures(s.duration);
    result.verdicts = checker.verdicts(s.duration);
    return result;
}

} // namespace sim
