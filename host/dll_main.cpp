#include "host/dll_main.h"

#include "gang_horse/gang_horse.h"
#include "host/host.h"

#ifdef _WIN32
// The runtime's own release of its emergency exception memory (libsupc++).
namespace __gnu_cxx {
void __freeres() noexcept;
}
#endif

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

namespace {

// What the module keeps on the heap goes back at an unload (not at the end
// of the process, which takes everything back): developer mode unloads and
// loads the module many times in one game.
void releaseForUnload() {
    releasePromptTexts();
#ifdef _WIN32
    // The .asi carries a runtime of its own, whose exception memory (about
    // 70 KB, set aside at load) would otherwise stay behind at every unload.
    __gnu_cxx::__freeres();
#endif
}

} // namespace

extern "C" int DllMain(void* module, std::uint32_t reason, void* reserved) {
    switch (reason) {
    case 1: // process attach
        scriptRegister(module, scriptMain);
        keyboardHandlerRegister(onKeyboardMessage);
        break;
    case 0: // process detach
        scriptUnregister(module);
        keyboardHandlerUnregister(onKeyboardMessage);
        if (reserved == nullptr) { // FreeLibrary, not the end of the process
            releaseForUnload();
        }
        break;
    default: // thread attach and detach
        break;
    }
    return 1;
}
