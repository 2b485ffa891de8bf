// The script context on Linux: a ucontext with its own stack, switched to and
// from with swapcontext. Under AddressSanitizer every switch is announced, so
// that it knows which stack is in use.
#include <ucontext.h>

#include <vector>

#include "standin/script_context.h"

#if defined(__SANITIZE_ADDRESS__)
#define GH_ANNOUNCE_SWITCHES 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define GH_ANNOUNCE_SWITCHES 1
#endif
#endif

#ifdef GH_ANNOUNCE_SWITCHES
#include <sanitizer/common_interface_defs.h>
#endif

namespace standin {

struct ScriptContext::Platform {
    ucontext_t host{};
    ucontext_t script{};
    std::vector<char> stack;
    void (*entry)() = nullptr;
    bool finished = false;
    // The host's stack, as the sanitizer reports it on the first switch.
    const void* hostStack = nullptr;
    std::size_t hostStackSize = 0;
};

namespace {

thread_local ScriptContext::Platform* starting = nullptr;

void beginSwitch([[maybe_unused]] void** fakeStack, [[maybe_unused]] const void* bottom,
                 [[maybe_unused]] std::size_t size) {
#ifdef GH_ANNOUNCE_SWITCHES
    __sanitizer_start_switch_fiber(fakeStack, bottom, size);
#endif
}

void endSwitch([[maybe_unused]] void* fakeStack, [[maybe_unused]] const void** oldBottom,
               [[maybe_unused]] std::size_t* oldSize) {
#ifdef GH_ANNOUNCE_SWITCHES
    __sanitizer_finish_switch_fiber(fakeStack, oldBottom, oldSize);
#endif
}

} // namespace

// Runs on the script's stack: the first thing after the first switch.
void ScriptContext::start() {
    Platform& p = *starting;
    endSwitch(nullptr, &p.hostStack, &p.hostStackSize);
    p.entry();
    p.finished = true;
    // Back to the host for good (uc_link); this stack is not used again.
    beginSwitch(nullptr, p.hostStack, p.hostStackSize);
}

ScriptContext::ScriptContext(void (*entry)(), std::size_t stackSize)
    : platform_(std::make_unique<Platform>()) {
    Platform& p = *platform_;
    p.entry = entry;
    p.stack.resize(stackSize);
    getcontext(&p.script);
    p.script.uc_stack.ss_sp = p.stack.data();
    p.script.uc_stack.ss_size = p.stack.size();
    p.script.uc_link = &p.host; // a returning entry comes back to the host
    makecontext(&p.script, &ScriptContext::start, 0);
}

ScriptContext::~ScriptContext() = default;

void ScriptContext::enter() {
    Platform& p = *platform_;
    starting = &p;
    void* fakeStack = nullptr;
    beginSwitch(&fakeStack, p.stack.data(), p.stack.size());
    swapcontext(&p.host, &p.script);
    endSwitch(fakeStack, nullptr, nullptr);
}

void ScriptContext::leave() {
    Platform& p = *platform_;
    void* fakeStack = nullptr;
    beginSwitch(&fakeStack, p.hostStack, p.hostStackSize);
    swapcontext(&p.script, &p.host);
    endSwitch(fakeStack, &p.hostStack, &p.hostStackSize);
}

} // namespace standin
