// The worlds the frame-cost measurements run in: a quiet world, a crowded
// camp, riding in camp, a horse following outside camp.
#pragma once

#include <cstdint>
#include <string>

namespace bench {

enum class World { NoCamp, Camp, RidingInCamp, FollowingOutsideCamp };

// Builds the world on the stand-in game (fresh host), loads the module and
// runs it past its set-up, its settle wait and anything that happens once,
// so that every later pass costs what a steady pass costs. pedCount is the
// number of peds in the world besides the player: 14 gang horses, about a
// tenth gang members, the rest other peds, shuffled by seed.
void prepare(World world, int pedCount, std::uint32_t seed = 1);

// Drops the module and the script.
void finish();

// Runs exactly one pass of the module's loop.
void runOnePass();

std::string worldName(World world, int pedCount);

} // namespace bench
