// Simple movement, for a world that plays out: a ped walks to the point it
// was sent to, flees until far enough, keeps up with the player while in the
// player's group, and a ridden horse goes where the player goes.
#pragma once

#include <cstdint>

#include "standin/world.h"

namespace standin {

// Speeds in metres per second, and how far short of the player a follower stops.
inline constexpr float walkSpeed = 2.0f;
inline constexpr float fleeSpeed = 7.0f;
inline constexpr float followSpeed = 5.0f;
inline constexpr float followGap = 2.5f;

// Moves every ped but the player and the stuck ones by dtMs of game time.
void moveWorld(World& world, std::uint32_t dtMs);

} // namespace standin
