// The expectation checker: keeps, for every expectation of a scenario, the
// game times at which it held, and tells which failed once the run is over.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "sim/observe/names.h"
#include "sim/observe/run_observer.h"
#include "sim/scenario/scenario.h"
#include "standin/catalogue.h"
#include "standin/game.h"

namespace sim {

// How an expectation came out: whether it held, the game time at which that
// was decided, and why it failed.
struct Verdict {
    bool held = true;
    std::uint64_t decidedAt = 0;
    std::string why;
};

class Checker final : public RunObserver {
  public:
    // names: for the scripts of the threads the module terminates, and for
    // the ped that holds each handle as the run goes.
    Checker(const Scenario& scenario, standin::Game& game, const Names& names);

    // The handle of the ped of that name while it holds it, else nullopt: a
    // handle taken by a later ped names that ped from then on.
    std::optional<std::int32_t> handle(const std::string& name) const;

    // What each out-parameter held when the call was made, as the trace shows
    // it: the game may overwrite it in answering (removeBlip clears it).
    void nativeBefore(const standin::NativeInfo& info, const std::uint64_t* slots) override;
    void native(std::uint64_t ms, const standin::NativeInfo& info, const std::uint64_t* slots,
                const std::uint64_t* result) override;
    void host(std::uint64_t ms, const char* name, std::uint32_t value) override;
    void frameEnd(int frame, std::uint64_t ms) override;

    // "FILE:LINE: expectation ... failed: why", one per failed expectation.
    std::vector<std::string> failures(std::uint64_t endMs) const;
    // One per expectation, in the scenario's order.
    std::vector<Verdict> verdicts(std::uint64_t endMs) const;

  private:
    bool matchesNative(const Expectation& x, const standin::NativeInfo& info,
                       const std::uint64_t* slots) const;
    bool argsMatch(const Expectation& x, const standin::NativeInfo& info, const std::uint64_t* slots) const;
    bool holds(const Expectation& x) const;
    // The script of a thread, as the scenario started it.
    std::string threadScript(std::int32_t thread) const;

    const Scenario& scenario_;
    standin::Game& game_;
    const Names& names_;
    std::vector<std::vector<std::uint64_t>> hits_;
    std::map<std::string, std::int32_t> handles_;
    std::array<std::uint32_t, 32> outValues_{};
    std::vector<const standin::NativeInfo*> natives_; // per expectation: the native it matches, if any
    std::vector<std::size_t> calls_;                  // the expectations that match a native
    bool readsOutValues_ = false;                     // one matches a call's arguments
};

} // namespace sim
