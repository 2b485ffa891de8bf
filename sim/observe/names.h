// Small helpers the simulator's reports share: slots as integers, positions
// as text, catalogue lookups, and names for the handles and hashes of a run.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "standin/catalogue.h"

namespace sim {

inline std::int32_t i32(std::uint64_t slot) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(slot));
}

// The text a slot points at (a string argument), or nullptr.
inline const char* slotText(std::uint64_t slot) {
    return reinterpret_cast<const char*>(static_cast<std::uintptr_t>(slot));
}
// The line of a speech call: the text its record's first slot points at.
inline const char* spokenLine(std::uint64_t recordSlot) {
    const auto* record = reinterpret_cast<const std::uint64_t*>(static_cast<std::uintptr_t>(recordSlot));
    return record != nullptr ? slotText(record[0]) : nullptr;
}

// "(x, y, z)" with two decimals.
std::string position(float x, float y, float z);

// The catalogue's entry for a label; every label used here is in it.
const standin::NativeInfo* nativeLabelled(const char* label);

// The inputs of the four command prompts, in the order they are created.
extern const char* const promptInputs[4];

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
