// The module linked into the Linux simulator. Loading it again starts from
// its globals as a fresh load of the library would have them.
#include <cstring>

#include "gang_horse/gang_horse.h"
#include "host/dll_main.h"
#include "prompts/prompts.h"
#include "sim/run/module_loader.h"

namespace sim {

namespace {
void* const moduleHandle = reinterpret_cast<void*>(0x180000000ull);
}

ModuleLoader linkedModule() {
    ModuleLoader loader;
    loader.load = [] {
        promptFollow = promptStay = promptSpur = promptSendHome = 0;
        for (bool& done : remarkDone)
            done = false;
        std::memset(keyTable, 0, sizeof keyTable);
        DllMain(moduleHandle, 1, nullptr);
    };
    loader.unload = [] { DllMain(moduleHandle, 0, nullptr); };
    return loader;
}

} // namespace sim
