// Keeps what a run's report page shows, once, as the run goes: where the
// player and every ped stood (a Track each), the timeline,
// what happened where, the camp position the module used, its passes and
// waits, its calls frame by frame, and what it has in the game (state_log.h).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "sim/observe/run_observer.h"
#include "sim/report/call_log.h"
#include "sim/report/json_text.h"
#include "sim/report/state_log.h"
#include "sim/report/track.h"
#include "sim/run/runner.h"

namespace sim {

class ReportRecorder : public RunObserver {
  public:
    void begin(const Scenario& scenario, const standin::Game& game, const Names& names) override;
    bool hearsLines() const override { return true; }
    void line(std::uint64_t ms, const std::string& text) override;
    void event(std::uint64_t ms, const ScenarioEvent& event) override;
    void nativeBefore(const standin::NativeInfo& info, const std::uint64_t* slots) override;
    // The call log keeps what out-parameters held before the call: nothing else is needed before.
    Before hearsBefore() const override { return Before::OutParameters; }
    void native(std::uint64_t ms, const standin::NativeInfo& info, const std::uint64_t* slots,
                const std::uint64_t* result) override;
    void host(std::uint64_t ms, const char* name, std::uint32_t value) override;
    void frameEnd(int frame, std::uint64_t ms) override;

    // The page's data, once the run is over.
    Json data(const RunResult& result) const;

  private:
    struct Actor {
        std::string name;
        std::int32_t handle = 0;
        std::string model;
        bool present = false, seen = false;
        bool holdsHandle = false;               // no other actor has taken its handle since
        standin::Vec3 at;                       // where the world had it last
        const standin::PedState* ped = nullptr; // in the world's peds of generation pedsSeen_
        Track track;
    };
    struct Blip {
        std::int32_t entity = 0;
        std::string name;
    };

    void addActor(const std::string& name, std::int32_t handle, const std::string& model);
    // The actor takes its handle at ms: the handle names it from then on.
    void takeHandle(std::size_t actor, std::uint64_t ms);
    void mark(std::uint64_t ms, const char* kind, std::int32_t handle, const std::string& text);
    // A call that marks the map or changes the state log.
    void tell(std::uint64_t ms, const standin::NativeInfo& info, const std::uint64_t* slots,
              const std::uint64_t* result);
    void noteBlips(std::uint64_t ms);

    const Scenario* scenario_ = nullptr;
    const standin::Game* game_ = nullptr;
    Json pedNames_ = Json::array(); // [handle, name, from ms]: who holds each handle, from when
    std::vector<Actor> actors_;
    std::unordered_map<std::int32_t, std::size_t> actorOf_; // handle -> the actor that holds it
    std::vector<std::size_t> inHandleOrder_;                // the actors in the world's order (by handle)
    std::uint64_t pedsSeen_ = 0; // the generation of the world's peds the actors' ped was found in (0: none)
    bool exactFrame_ = false;    // something happened in this frame
    std::uint64_t lastFrameMs_ = 0; // the ms of the last frame's end
    std::optional<CallLog> calls_;
    std::optional<StateLog> state_;
    // What a call tells, by its native's place in the catalogue: the mark it
    // makes on the map (0: none) and whether it changes the state log.
    struct Told {
        std::uint8_t mark = 0;
        bool state = false;
        bool anything() const { return mark != 0 || state; } // a mark of 0: none
    };
    static const std::vector<Told>& toldByIndex();
    const std::vector<Told>* told_ = nullptr;
    Json lines_ = Json::array(), marks_ = Json::array(), camp_ = Json::array();
    std::uint64_t lastCamp_[3] = {}; // the slots of the last call that gave a camp position
    Json passes_ = Json::array(), waits_ = Json::array();
    std::uint32_t passCalls_ = 0;
    bool passEnded_ = false, passBroken_ = true; // a pass ended in this frame; no pass since the last entry's
    std::map<std::int32_t, Blip> blips_;
};

} // namespace sim
