// The script context on Windows: a fiber, as the real host runs each script.
// The host's thread becomes a fiber itself the first time it enters the
// context, and a plain thread again when the context goes.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "standin/script_context.h"

namespace standin {

struct ScriptContext::Platform {
    void (*entry)() = nullptr;
    void* host = nullptr;   // the host's thread as a fiber, once entered
    void* script = nullptr; // the script's fiber

    // A fiber routine must never return (that would end the thread): once the
    // entry is done, the fiber only ever hands control back.
    static void WINAPI run(void* parameter) {
        Platform& self = *static_cast<Platform*>(parameter);
        self.entry();
        for (;;) {
            SwitchToFiber(self.host);
        }
    }
};

ScriptContext::ScriptContext(void (*entry)(), std::size_t stackSize)
    : platform_(std::make_unique<Platform>()) {
    platform_->entry = entry;
    platform_->script = CreateFiber(stackSize, &Platform::run, platform_.get());
    if (platform_->script == nullptr) {
        throw std::runtime_error("CreateFiber failed, error " + std::to_string(GetLastError()));
    }
}

ScriptContext::~ScriptContext() {
    DeleteFiber(platform_->script);
    if (platform_->host != nullptr) {
        ConvertFiberToThread();
    }
}

void ScriptContext::enter() {
    Platform& p = *platform_;
    if (p.host == nullptr) {
        p.host = ConvertThreadToFiber(nullptr);
        if (p.host == nullptr) {
            throw std::runtime_error("ConvertThreadToFiber failed, error " + std::to_string(GetLastError()));
        }
    }
    SwitchToFiber(p.script);
}

void ScriptContext::leave() { SwitchToFiber(platform_->host); }

} // namespace standin
