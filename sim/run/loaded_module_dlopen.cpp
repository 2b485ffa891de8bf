// The module as a shared object (Linux build): gang_horse.so loaded with
// dlopen and unloaded with dlclose, the twins of LoadLibrary and FreeLibrary,
// so that every load starts from the module's globals as the file has them.
// The module finds the host's functions in this program, which exports them.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "sim/run/module_loader.h"

namespace sim {

namespace {

using EntryPoint = int (*)(void* module, std::uint32_t reason, void* reserved);

std::string besideThisProgram(const char* name) {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        throw std::runtime_error("cannot tell where this program is (" + error.message() + ")");
    }
    return (self.parent_path() / name).string();
}

std::string lastError() {
    const char* text = dlerror();
    return text != nullptr ? text : "no reason given";
}

} // namespace

ModuleLoader loadedModule(const std::string& path) {
    // Absolute now: the runs change the working directory before loading.
    const std::string file =
        std::filesystem::absolute(path.empty() ? besideThisProgram("gang_horse.so") : path).string();
    auto handle = std::make_shared<void*>(nullptr);
    auto entry = std::make_shared<EntryPoint>(nullptr);
    ModuleLoader loader;
    loader.load = [file, handle, entry] {
        void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr) {
            throw std::runtime_error(file + ": cannot load the module (" + lastError() + ")");
        }
        auto* dllMain = reinterpret_cast<EntryPoint>(dlsym(module, "DllMain"));
        if (dllMain == nullptr) {
            dlclose(module);
            throw std::runtime_error(file + ": the module has no DllMain");
        }
        *handle = module;
        *entry = dllMain;
        dllMain(module, 1, nullptr); // process attach
    };
    loader.unload = [file, handle, entry] {
        if (*handle == nullptr) {
            return;
        }
        void* const module = *handle;
        *handle = nullptr;
        (*entry)(module, 0, nullptr); // process detach
        if (dlclose(module) != 0) {
            throw std::runtime_error(file + ": cannot unload the module (" + lastError() + ")");
        }
        // The next load must start from the module's globals as a fresh load
        // has them, so the module must really be gone.
        if (void* stillThere = dlopen(file.c_str(), RTLD_NOW | RTLD_NOLOAD)) {
            dlclose(stillThere);
            throw std::runtime_error(file + ": still loaded after dlclose");
        }
    };
    return loader;
}

} // namespace sim
