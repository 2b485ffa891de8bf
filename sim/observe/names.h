// Small helpers the simulator's reports share: slots as integers, positions
// as text, catalogue lookups, and names for the handles and hashes of a run.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "standin/catalogue.h"
#include "standin/slots.h"
#include "standin/world.h"

namespace sim {

using standin::i32;
using standin::slotText;
using standin::spokenLine;

// "(x, y, z)" with two decimals.
std::string position(float x, float y, float z);

// Within the box around the camp position in which a horse sent home has arrived.
bool inCampBox(const standin::Vec3& at, const standin::Vec3& camp);

// The catalogue's entry for a label; every label used here is in it.
const standin::NativeInfo* nativeLabelled(const char* label);

// Names for handles and hashes, so that lines speak of dutch_horse rather
// than 2001.
struct Names {
    std::map<std::int32_t, std::string> peds;
    std::map<std::uint32_t, std::string> hashes;
    std::map<std::int32_t, std::string> threads; // thread id -> script name

    std::string ped(std::int32_t handle) const;
    std::string hash(std::uint32_t value) const;
    void addHash(const std::string& name);
};

} // namespace sim
