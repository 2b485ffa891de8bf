// What a run looks like to someone who keeps a record of it (the report
// page, the positions at given times): the runner calls these as the run
// goes, once each, in game time order.
#pragma once

#include <cstdint>
#include <string>

#include "standin/catalogue.h"

namespace sim {

struct Scenario;
struct ScenarioEvent;
struct ScenarioWorld;

class RunObserver {
  public:
    virtual ~RunObserver() = default;
    // The world is built; the module is not loaded yet.
    virtual void begin(const Scenario&, const ScenarioWorld&) {}
    // A line of the timeline.
    virtual void line(std::uint64_t /*ms*/, const std::string& /*text*/) {}
    // A scenario event, just carried out.
    virtual void event(std::uint64_t /*ms*/, const ScenarioEvent&) {}
    // A native call: its slots before the game answers (out-parameters still
    // hold what the module passed), then the slots and result after.
    virtual void nativeBefore(const standin::NativeInfo&, const std::uint64_t* /*slots*/) {}
    virtual void native(std::uint64_t /*ms*/, const standin::NativeInfo&, const std::uint64_t* /*slots*/,
                        const std::uint64_t* /*result*/) {}
    // A host call the runner hears of (scriptWait with its milliseconds,
    // worldGetAllPeds with its capacity).
    virtual void host(std::uint64_t /*ms*/, const char* /*name*/, std::uint32_t /*value*/) {}
    // The end of a frame: the world has moved.
    virtual void frameEnd(int /*frame*/, std::uint64_t /*ms*/) {}
};

} // namespace sim
