// The module's entry point and the keyboard table the host's keyboard
// callback fills.
#pragma once

#include <cstdint>

struct KeyState {
    std::uint32_t lastTick; // tick count when the key's latest message arrived
    std::int32_t altHeld;   // context code, as received
    std::int32_t wasDown;   // previous key state, as received
    std::int32_t released;  // transition state, as received
};

// One record per virtual-key code 0 to 254.
constexpr int keyTableSize = 255;
extern KeyState keyTable[keyTableSize];

void onKeyboardMessage(std::uint32_t key, std::uint16_t repeats, std::uint8_t scanCode, int isExtended,
                       int altHeld, int wasDown, int released);

extern "C" int DllMain(void* module, std::uint32_t reason, void* reserved);
