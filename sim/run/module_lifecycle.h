// The module's life as the real script host leads it: DllMain on the loader's
// thread, game reloads that drop the script, and developer-mode reloads that
// unload the library and load it again.
#pragma once

#include <cstdint>

#include "sim/observe/timeline.h"
#include "sim/run/module_loader.h"
#include "standin/host.h"

namespace sim {

// Loads or unloads the module on a thread of its own, as the game's loader
// does, and returns once that is done (its error, if any, rethrown here).
void loadOnLoaderThread(const ModuleLoader& module);
void unloadOnLoaderThread(const ModuleLoader& module);

// The game session reloads: the host drops the script without unwinding it
// and starts the script main again in the next frame.
void reloadGame(std::uint64_t now, standin::Host& host, Timeline& timeline);
// Developer mode: DllMain detach, the script dropped, the library unloaded;
// then loaded again and DllMain attach. The script main starts in the next
// frame.
void reloadModule(std::uint64_t now, const ModuleLoader* module, Timeline& timeline);

} // namespace sim
