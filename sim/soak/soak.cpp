#include "sim/soak/soak.h"

#include <nlohmann/json.hpp>

#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>

#include "sim/run/runner.h"
#include "sim/soak/play.h"
#include "standin/host.h"

namespace sim {

namespace {

struct SoakFailure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Reads back one trace line and checks its shape.
bool wellFormed(const std::string& line) {
    const nlohmann::json j = nlohmann::json::parse(line, nullptr, false);
    if (j.is_discarded() || !j.is_object() || !j.contains("frame") || !j.contains("time"))
        return false;
    if (j.contains("host"))
        return j["host"].is_string();
    if (!j.contains("native") || !j.contains("hash") || !j.contains("args") || !j["args"].is_array())
        return false;
    const standin::NativeInfo* info = standin::findNativeByLabel(j["native"].get<std::string>());
    return info != nullptr && j["hash"] == standin::hex64(info->hash) &&
           j["args"].size() == std::string(info->slots).size();
}

// The invariants, checked as the run goes; the first one broken is thrown
// at the end of its frame, naming the seed and the frame.
class Invariants final : public RunObserver {
  public:
    Invariants(std::uint32_t seed, standin::Host& host, std::ostringstream& trace, SoakReport& report)
        : seed_(seed), host_(host), trace_(trace), report_(report) {}

    void nativeBefore(const standin::NativeInfo& info, const std::uint64_t* slots) override {
        for (std::size_t k = 0; info.slots[k] != '\0'; ++k) {
            if (info.slots[k] == 'i' && static_cast<std::int32_t>(slots[k]) == standin::Host::poisonPed)
                broken(std::string(info.label) +
                       " was given a ped handle from past the count of worldGetAllPeds");
        }
    }

    void host(std::uint64_t /*ms*/, const char* name, std::uint32_t value) override {
        const std::string host = name;
        if (host == "scriptWait" && value != 0 && value != 1000 && value != 5000 && value != 10000)
            broken("scriptWait(" + std::to_string(value) + "), a wait the module does not make");
        if (host == "worldGetAllPeds" && (value == 0 || value > 1024))
            broken("worldGetAllPeds asked for " + std::to_string(value) + " peds");
        if (host == "scriptMain") {
            baselineTaken_ = false;
            passesAtStart_ = host_.passesEnded();
        }
    }

    void frameEnd(int frame, std::uint64_t /*ms*/) override {
        if (frame == 0)
            host_.poisonUnwrittenPeds = true;
        checkHeap();
        // Most frames trace nothing (see below): no stream is made for them.
        if (std::string traced = trace_.str(); !traced.empty()) {
            std::string line;
            std::istringstream lines(std::move(traced));
            while (std::getline(lines, line)) {
                ++report_.tracedCalls;
                if (!wellFormed(line))
                    broken("a malformed trace line: " + line);
            }
            trace_.str("");
        }
        // The trace is written and read back for one frame in every 50.
        host_.listening = (frame + 1) % 50 == 0;
        if (!violation_.empty()) {
            throw SoakFailure("seed " + std::to_string(seed_) + ", frame " + std::to_string(frame) + ": " +
                              violation_);
        }
    }

  private:
    void broken(const std::string& what) {
        if (violation_.empty())
            violation_ = what;
    }

    // Allocations are counted from the end of the first pass of each start of
    // the script main, after its set-up; no reload may leave more on the heap
    // than the first set-up held.
    void checkHeap() {
        if (!baselineTaken_ && host_.passesEnded() > passesAtStart_) {
            baseline_ = standin::moduleAllocations;
            baselineTaken_ = true;
            const std::int64_t held = standin::moduleHeapBytes;
            if (heldAfterFirstSetUp_ < 0) {
                heldAfterFirstSetUp_ = held;
            } else if (standin::countingAllocations && held > heldAfterFirstSetUp_) {
                broken("after " + std::to_string(host_.scriptStarts()) +
                       " starts of the script main the module holds " + std::to_string(held) +
                       " heap bytes, " + std::to_string(heldAfterFirstSetUp_) + " after its first set-up");
            }
        } else if (baselineTaken_ && standin::countingAllocations &&
                   standin::moduleAllocations != baseline_) {
            broken("the module allocated " + std::to_string(standin::moduleAllocations - baseline_) +
                   " time(s) after its set-up");
        }
    }

    const std::uint32_t seed_;
    standin::Host& host_;
    std::ostringstream& trace_;
    SoakReport& report_;
    std::string violation_; // the first one seen inside a pass, reported at the frame's end
    bool baselineTaken_ = false;
    int passesAtStart_ = 0;
    std::uint64_t baseline_ = 0;
    std::int64_t heldAfterFirstSetUp_ = -1;
};

} // namespace

SoakReport runSoak(std::uint32_t seed, long long frames, const ModuleLoader& module) {
    SoakReport report;
    report.countedAllocations = standin::countingAllocations;
    const Scenario scenario = soakScenario(seed, frames);
    standin::Host& host = standin::Host::get();
    std::ostringstream trace;
    Invariants invariants(seed, host, trace, report);
    RunOptions options;
    options.trace = &trace;
    options.observers.push_back(&invariants);
    const std::uint64_t callsBefore = host.nativeCallCount();
    try {
        const RunResult run = runScenario(scenario, options, module);
        report.frames = run.frames;
        report.wallSeconds = run.wallSeconds;
        report.nativeCalls = host.nativeCallCount() - callsBefore;
    } catch (const std::exception& e) {
        report.failure = e.what();
        if (report.failure.rfind("seed ", 0) != 0) {
            report.failure = "seed " + std::to_string(seed) + ", frame " + std::to_string(host.frame()) +
                             ": " + report.failure;
        }
        report.frames = host.frame();
        module.unload();
        host.reset();
    }
    return report;
}

} // namespace sim
