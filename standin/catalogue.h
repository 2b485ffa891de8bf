// The stand-in's own table of the game natives the module may call: label,
// hash, the kind of every argument slot and the kind of result. The stand-in
// refuses any call that does not match it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace standin {

// One character per argument slot:
//   i  32-bit integer, handle, hash or bool (low half, high half zero)
//   f  32-bit float (bit pattern in the low half)
//   s  address of NUL-terminated text
//   o  address of a 32-bit variable of the caller's (out-parameter)
//   r  address of the caller's eight-slot speech record
//   v  a game text made by createVarString
enum class ResultKind { None, Int, Bool, Float, Pointer, Vector3 };

constexpr std::uint8_t countSlots(const char* slots) {
    std::uint8_t count = 0;
    while (slots[count] != '\0')
        ++count;
    return count;
}
constexpr bool hasOutSlot(const char* slots) {
    for (; *slots != '\0'; ++slots) {
        if (*slots == 'o')
            return true;
    }
    return false;
}

// Every slot a plain value (no text, out-parameter, record or game text)
// and a result of at most one slot: the call is its slots and result as they are.
constexpr bool isPlain(const char* slots, ResultKind result) {
    for (; *slots != '\0'; ++slots) {
        if (*slots == 's' || *slots == 'o' || *slots == 'r' || *slots == 'v')
            return false;
    }
    return result != ResultKind::Vector3;
}

struct NativeInfo {
    const char* label;
    std::uint64_t hash;
    const char* slots;
    ResultKind result;
    const char* gameName; // the name in the public native database, for people
    std::uint8_t slotCount = countSlots(slots);
    bool outSlot = hasOutSlot(slots); // a slot the game writes through
    bool plain = isPlain(slots, result);
};

extern const NativeInfo nativeCatalogue[];
extern const std::size_t nativeCatalogueSize;

// The entry's place in nativeCatalogue; nativeCatalogueSize for one not in it.
inline std::size_t catalogueIndex(const NativeInfo& info) {
    const auto at = reinterpret_cast<std::uintptr_t>(&info),
               first = reinterpret_cast<std::uintptr_t>(nativeCatalogue);
    const std::size_t index = (at - first) / sizeof(NativeInfo);
    return at >= first && index < nativeCatalogueSize ? index : nativeCatalogueSize;
}

// nullptr for a hash the catalogue does not hold. A lookup in a flat table
// made when the program is compiled: no search, no allocation.
const NativeInfo* findNative(std::uint64_t hash);
const NativeInfo* findNativeByLabel(const std::string& label);

// The game's hash of a name: Jenkins' one-at-a-time over the lower-cased name.
std::uint32_t joaat(const char* name);

// "0x" and 16 upper-case hex digits.
std::string hex64(std::uint64_t value);

} // namespace standin
