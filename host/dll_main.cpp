#include "host/dll_main.h"

#include "gang_horse/gang_horse.h"
#include "host/host.h"

KeyState keyTable[keyTableSize];

void onKeyboardMessage(std::uint32_t key, std::uint16_t, std::uint8_t, int, int altHeld, int wasDown,
                       int released) {
    if (key >= keyTableSize) {
        return;
    }
    KeyState& state = keyTable[key];
    state.lastTick = static_cast<std::uint32_t>(GetTickCount());
    state.altHeld = altHeld;
    state.wasDown = wasDown;
    state.released = released;
}

extern "C" int DllMain(void* module, std::uint32_t reason, void*) {
    switch (reason) {
    case 1: // process attach
        scriptRegister(module, scriptMain);
        keyboardHandlerRegister(onKeyboardMessage);
        break;
    case 0: // process detach
        scriptUnregister(module);
        keyboardHandlerUnregister(onKeyboardMessage);
        break;
    default: // thread attach and detach
        break;
    }
    return 1;
}
