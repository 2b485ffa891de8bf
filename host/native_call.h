// The native call protocol: one nativeInit, one nativePush64 per argument,
// nativeCall, and the result read at once from the returned slots.
#pragma once

#include <cstdint>
#include <cstring>

#include "host/host.h"

using NativeHash = std::uint64_t;
using Hash = std::uint32_t;
using Ped = std::int32_t;
using Entity = std::int32_t;
using Prompt = std::int32_t;
using Blip = std::int32_t;

// A position as natives return it: each float in the low half of its own
// 8-byte slot.
struct Vector3 {
    float x;
    std::uint32_t padX;
    float y;
    std::uint32_t padY;
    float z;
    std::uint32_t padZ;
};
static_assert(sizeof(Vector3) == 24, "Vector3 spans three slots");

// A game text made by createVarString: the 64-bit value is passed on as is.
struct VarString {
    std::uint64_t value;
};

// Slot encoding. 32-bit values sit in the low half with the high half zero,
// negative ones included; floats travel as their bit pattern; strings,
// out-parameters and records as their address.
inline std::uint64_t toSlot(std::int32_t v) { return static_cast<std::uint32_t>(v); }
inline std::uint64_t toSlot(std::uint32_t v) { return v; }
inline std::uint64_t toSlot(bool v) { return v ? 1u : 0u; }
inline std::uint64_t toSlot(float v) {
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}
inline std::uint64_t toSlot(VarString v) { return v.value; }
inline std::uint64_t toSlot(const char* text) { return reinterpret_cast<std::uintptr_t>(text); }
template <typename T> inline std::uint64_t toSlot(T* address) {
    return reinterpret_cast<std::uintptr_t>(address);
}

// Result decoding, from the slots nativeCall points to.
template <typename R> R fromSlots(const std::uint64_t* slots);
template <> inline void fromSlots<void>(const std::uint64_t*) {}
template <> inline std::int32_t fromSlots<std::int32_t>(const std::uint64_t* slots) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(slots[0]));
}
template <> inline std::uint32_t fromSlots<std::uint32_t>(const std::uint64_t* slots) {
    return static_cast<std::uint32_t>(slots[0]);
}
template <> inline bool fromSlots<bool>(const std::uint64_t* slots) {
    return static_cast<std::uint32_t>(slots[0]) != 0;
}
template <> inline float fromSlots<float>(const std::uint64_t* slots) {
    std::uint32_t bits = static_cast<std::uint32_t>(slots[0]);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}
template <> inline VarString fromSlots<VarString>(const std::uint64_t* slots) { return VarString{slots[0]}; }
template <> inline Vector3 fromSlots<Vector3>(const std::uint64_t* slots) {
    Vector3 v;
    std::memcpy(&v, slots, sizeof v);
    return v;
}

// One native call. Nothing else runs between nativeInit and the reading of
// the result, and the result pointer is never kept.
template <typename R = void, typename... Args> inline R invoke(NativeHash hash, Args... args) {
    nativeInit(hash);
    (nativePush64(toSlot(args)), ...);
    return fromSlots<R>(nativeCall());
}
