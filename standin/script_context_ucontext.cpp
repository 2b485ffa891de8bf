// The script context on Linux: a ucontext with its own stack, switched to and
// from with swapcontext. Under AddressSanitizer and ThreadSanitizer every
// switch is announced, so that they know which stack is in use; a context
// dropped before its entry returned (as the real host drops scripts) leaves
// its stack clean for the next user of the memory.
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

#if defined(__SANITIZE_THREAD__)
#define GH_TSAN_FIBERS 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define GH_TSAN_FIBERS 1
#endif
#endif

#ifdef GH_ANNOUNCE_SWITCHES
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#endif
#ifdef GH_TSAN_FIBERS
#include <sanitizer/tsan_interface.h>
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
    // ThreadSanitizer's view: the script as a fiber of its own, and the host
    // fiber that entered it. Switches synchronise the two, as they run on
    // one thread by turns.
    void* tsanScript = nullptr;
    void* tsanHost = nullptr;
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

void toFiber([[maybe_unused]] void* fiber) {
#ifdef GH_TSAN_FIBERS
    __tsan_switch_to_fiber(fiber, 0);
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
    toFiber(p.tsanHost);
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
#ifdef GH_TSAN_FIBERS
    p.tsanScript = __tsan_create_fiber(0);
#endif
}

ScriptContext::~ScriptContext() {
    [[maybe_unused]] Platform& p = *platform_;
#ifdef GH_TSAN_FIBERS
    __tsan_destroy_fiber(p.tsanScript);
#endif
#ifdef GH_ANNOUNCE_SWITCHES
    // Frames never unwound leave their redzones marked on the stack.
    __asan_unpoison_memory_region(p.stack.data(), p.stack.size());
#endif
}

void ScriptContext::enter() {
    Platform& p = *platform_;
    starting = &p;
    void* fakeStack = nullptr;
    beginSwitch(&fakeStack, p.stack.data(), p.stack.size());
#ifdef GH_TSAN_FIBERS
    p.tsanHost = __tsan_get_current_fiber();
#endif
    toFiber(p.tsanScript);
    swapcontext(&p.host, &p.script);
    endSwitch(fakeStack, nullptr, nullptr);
}

void ScriptContext::leave() {
    Platform& p = *platform_;
    void* fakeStack = nullptr;
    beginSwitch(&fakeStack, p.hostStack, p.hostStackSize);
    toFiber(p.tsanHost);
    swapcontext(&p.script, &p.host);
    endSwitch(fakeStack, &p.hostStack, &p.hostStackSize);
}

} // namespace standin
