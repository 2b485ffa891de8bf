#include "sim/run/module_lifecycle.h"

#include <exception>
#include <functional>
#include <stdexcept>
#include <thread>

namespace sim {

namespace {

void onLoaderThread(const std::function<void()>& work) {
    std::exception_ptr failure;
    std::thread loader([&work, &failure] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    });
    loader.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

} // namespace

void loadOnLoaderThread(const ModuleLoader& module) { onLoaderThread(module.load); }
void unloadOnLoaderThread(const ModuleLoader& module) { onLoaderThread(module.unload); }

void reloadGame(std::uint64_t now, standin::Host& host, Timeline& timeline) {
    timeline.say(now, "the game session reloads: the host drops the script without unwinding it");
    host.reloadGame();
}

void reloadModule(std::uint64_t now, const ModuleLoader* module, Timeline& timeline) {
    if (module == nullptr) {
        throw std::logic_error("a module reload without a module loader");
    }
    timeline.say(now, "developer mode: the host unloads the module");
    unloadOnLoaderThread(*module);
    timeline.moduleUnloaded(now);
    timeline.say(now, "the host loads the module again");
    loadOnLoaderThread(*module);
}

} // namespace sim
