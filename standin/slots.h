// A native call's slots: 64 bits each, holding a 32-bit value (an integer,
// handle, hash or bool, or a float's bit pattern) in the low half with the
// high half zero, or an address. The one set of conversions between slots
// and values, for the stand-in, the simulator, the tests and the benchmarks.
#pragma once

#include <cstdint>
#include <cstring>

namespace standin {

// The low half, unsigned and signed.
inline std::uint32_t u32(std::uint64_t slot) { return static_cast<std::uint32_t>(slot); }
inline std::int32_t i32(std::uint64_t slot) { return static_cast<std::int32_t>(u32(slot)); }

// A float's bit pattern, and the float of a bit pattern.
inline std::uint32_t floatBits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
inline float floatFromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The float a slot carries in its low half.
inline float slotFloat(std::uint64_t slot) { return floatFromBits(u32(slot)); }

// The slot of a 32-bit integer, of a float and of an address.
inline std::uint64_t slotOf(std::int32_t value) { return static_cast<std::uint32_t>(value); }
inline std::uint64_t slotOf(float value) { return floatBits(value); }
inline std::uint64_t slotOf(const void* address) { return reinterpret_cast<std::uintptr_t>(address); }

// The address a slot holds.
template <typename T> T* slotPointer(std::uint64_t slot) {
    return reinterpret_cast<T*>(static_cast<std::uintptr_t>(slot));
}
// The text a slot points at (a string argument), or nullptr.
inline const char* slotText(std::uint64_t slot) { return slotPointer<const char>(slot); }
// The line of a speech call: the text its record's first slot points at.
inline const char* spokenLine(std::uint64_t recordSlot) {
    const std::uint64_t* record = slotPointer<const std::uint64_t>(recordSlot);
    return record != nullptr ? slotText(record[0]) : nullptr;
}

} // namespace standin
