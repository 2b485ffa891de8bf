// The soak: seeded random play (play.h) for many frames, with the module's
// invariants checked in every pass.
#pragma once

#include <cstdint>
#include <string>

#include "sim/run/module_loader.h"

namespace sim {

struct SoakReport {
    long long frames = 0;
    double wallSeconds = 0;
    std::uint64_t nativeCalls = 0;
    std::uint64_t tracedCalls = 0;   // trace lines written and read back
    bool countedAllocations = false; // whether this program counts the module's allocations
    std::string failure;             // empty when every invariant held; else names seed and frame
};

// Plays seeded random play for that many frames and checks in every pass:
// only natives of the catalogue with their slot counts (the stand-in
// refuses anything else), no more than 1024 peds asked for and none read
// past the count, only the waits of the design (0, 1000, 5000, 10000 ms), no
// heap allocation by the module after its set-up, and a well-formed trace.
// The play includes game and module reloads; after each, the module may
// hold no more on the heap than after its first set-up.
SoakReport runSoak(std::uint32_t seed, long long frames, const ModuleLoader& module);

} // namespace sim
