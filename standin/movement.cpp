#include "standin/movement.h"

#include <algorithm>
#include <cmath>

namespace standin {

namespace {

// Moves the ped up to step metres towards the goal; true once it is there.
bool moveTowards(PedState& p, const Vec3& goal, float step) {
    const float d = distance(p.position, goal);
    if (d <= step) {
        p.position = goal;
        return true;
    }
    const float k = step / d;
    p.position.x += (goal.x - p.position.x) * k;
    p.position.y += (goal.y - p.position.y) * k;
    p.position.z += (goal.z - p.position.z) * k;
    return false;
}

void moveAway(PedState& p, const Vec3& from, float step) {
    float dx = p.position.x - from.x, dy = p.position.y - from.y;
    float d = std::sqrt(dx * dx + dy * dy);
    if (d < 0.001f) {
        dx = 1;
        dy = 0;
        d = 1;
    }
    p.position.x += dx / d * step;
    p.position.y += dy / d * step;
}

} // namespace

void moveWorld(World& world, std::uint32_t dtMs) {
    const float dt = static_cast<float>(dtMs) / 1000.0f;
    const PedState* me = world.ped(world.playerPed);
    for (auto& [handle, p] : world.peds) {
        if (handle == world.playerPed || p.stuck) {
            continue;
        }
        if (me != nullptr && me->mount == handle) {
            p.position = me->position; // ridden
            p.still = true;
            p.fleeing = false;
            continue;
        }
        switch (p.task.kind) {
        case TaskKind::Navigate:
            p.still = false;
            if (moveTowards(p, p.task.target, walkSpeed * dt)) {
                p.task = Task{};
                p.still = true;
            }
            break;
        case TaskKind::Flee: {
            const PedState* from = world.ped(p.task.from);
            if (from == nullptr || distance(p.position, from->position) >= p.task.fleeDistance) {
                p.task = Task{};
                p.fleeing = false;
                p.still = true;
            } else {
                moveAway(p, from->position, fleeSpeed * dt);
                p.fleeing = true;
                p.still = false;
            }
            break;
        }
        case TaskKind::UseScenarioPoint: {
            const ScenarioPoint* point = world.scenarioPoint(p.task.point);
            p.still = point == nullptr || moveTowards(p, point->position, walkSpeed * dt);
            break;
        }
        case TaskKind::ScenarioInPlace:
            p.still = true;
            break;
        case TaskKind::None:
            if (me != nullptr && p.pedGroup == world.playerGroup &&
                distance(p.position, me->position) > followGap) {
                // Keeps up with the player, stopping a little short.
                const float gap = distance(p.position, me->position) - followGap;
                moveTowards(p, me->position, std::min(followSpeed * dt, gap));
                p.still = false;
            } else {
                p.still = true;
            }
            break;
        }
    }
}

} // namespace standin
