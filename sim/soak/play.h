// Seeded random play: a camp and its surroundings, and a player who does
// anything at any time, for long runs that check the module's invariants.
#pragma once

#include <cstdint>

#include "sim/scenario/scenario.h"

namespace sim {

// The same seed and length give the same scenario on every platform.
Scenario soakScenario(std::uint32_t seed, long long frames);

} // namespace sim
