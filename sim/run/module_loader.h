// How the simulator gets hold of the module: loaded and unloaded as a library
// file by the system's loader (LoadLibrary and FreeLibrary on Windows, dlopen
// and dlclose on Linux), or linked into the program (the tests).
#pragma once

#include <functional>
#include <string>

namespace sim {

// Loading runs DllMain's process attach, unloading its process detach; after
// an unload, the next load starts from the module's globals as at load.
struct ModuleLoader {
    std::function<void()> load;
    std::function<void()> unload;
};

// The loader of the module linked into this program (the tests).
ModuleLoader linkedModule();
// The loader of the module file at path, or of the one beside this program
// (gang_horse.asi on Windows, gang_horse.so on Linux) when path is empty.
ModuleLoader loadedModule(const std::string& path);

} // namespace sim
