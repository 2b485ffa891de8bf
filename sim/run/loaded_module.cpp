// The module as players have it (Windows build): gang_horse.asi loaded by the
// system's loader, which runs its DllMain and resolves its imports against
// the stand-in ScriptHookRDR2.dll this code lives in.
#include <windows.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "sim/run/module_loader.h"

namespace sim {

namespace {

std::string besideThisProgram(const char* name) {
    std::string path(MAX_PATH, '\0');
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) {
        throw std::runtime_error("cannot tell where this program is (error " +
                                 std::to_string(GetLastError()) + ")");
    }
    path.resize(length);
    return (std::filesystem::path(path).parent_path() / name).string();
}

} // namespace

ModuleLoader loadedModule(const std::string& path) {
    // Absolute now: the runs change the working directory before loading.
    const std::string file =
        std::filesystem::absolute(path.empty() ? besideThisProgram("gang_horse.asi") : path).string();
    auto handle = std::make_shared<HMODULE>(nullptr);
    ModuleLoader loader;
    loader.load = [file, handle] {
        *handle = LoadLibraryA(file.c_str());
        if (*handle == nullptr) {
            throw std::runtime_error(file + ": cannot load the module (error " +
                                     std::to_string(GetLastError()) + ")");
        }
    };
    loader.unload = [file, handle] {
        if (*handle == nullptr) {
            return;
        }
        const HMODULE module = *handle;
        *handle = nullptr;
        if (!FreeLibrary(module)) {
            throw std::runtime_error(file + ": cannot unload the module (error " +
                                     std::to_string(GetLastError()) + ")");
        }
        // The next load must start from the module's globals as a fresh load
        // has them, so the module must really be gone.
        HMODULE stillThere = nullptr;
        if (GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, file.c_str(), &stillThere)) {
            throw std::runtime_error(file + ": still loaded after FreeLibrary");
        }
    };
    return loader;
}

} // namespace sim
