// The scenario's world on the stand-in game: built from the scenario's
// `world`, then changed by its events as the run reaches them.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "sim/observe/names.h"
#include "sim/observe/timeline.h"
#include "sim/run/module_loader.h"
#include "sim/scenario/scenario.h"
#include "standin/host.h"

namespace sim {

struct ScenarioWorld {
    standin::Host& host;
    standin::Game& game;
    // For each handle, the ped that holds it (or held it last): a ped added
    // later may take the handle of one that left, as in the game.
    Names names;
    std::map<std::string, std::int32_t> handles; // scenario name -> handle
    const ModuleLoader* module = nullptr;        // for module reloads

    // The ped of that scenario name while it is in the world, else nullptr.
    standin::PedState* ped(const std::string& name);
};

// Puts the scenario's player, peds, scripts, missions and grazing points
// into the host's (freshly reset) game.
void buildWorld(const Scenario& scenario, ScenarioWorld& world);

// Carries out one event at game time now and tells it on the timeline.
void applyEvent(const ScenarioEvent& event, std::uint64_t now, ScenarioWorld& world, Timeline& timeline);

} // namespace sim
