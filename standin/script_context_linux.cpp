// The script context on Linux: a stack of its own, switched to and from by
// Boost.Context's jump_fcontext, which saves and restores only the registers
// a call preserves (no system call, the signal mask left alone). Under
// AddressSanitizer and ThreadSanitizer every switch is announced, so that
// they know which stack is in use; a context dropped before its entry
// returned (as the real host drops scripts) is never resumed, and leaves its
// stack clean for the next user of the memory.
#include <boost/context/detail/fcontext.hpp>

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

namespace fctx = boost::context::detail;

struct ScriptContext::Platform {
    std::vector<char> stack;
    // Where each side goes on when switched to: the script from its last
    // leave() (at first, the start of its stack), the host from its enter().
    fctx::fcontext_t script = nullptr;
    fctx::fcontext_t host = nullptr;
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

// Runs on the script's stack: the first thing after the first switch. The
// host's enter() passed the context's platform.
void begin(fctx::transfer_t from) {
    ScriptContext::Platform& p = *static_cast<ScriptContext::Platform*>(from.data);
    p.host = from.fctx;
    endSwitch(nullptr, &p.hostStack, &p.hostStackSize);
    p.entry();
    p.finished = true;
    // Back to the host for good; this stack is not used again (nothing may
    // return from here).
    beginSwitch(nullptr, p.hostStack, p.hostStackSize);
    toFiber(p.tsanHost);
    fctx::jump_fcontext(p.host, nullptr);
}

} // namespace

ScriptContext::ScriptContext(void (*entry)(), std::size_t stackSize)
    : platform_(std::make_unique<Platform>()) {
    Platform& p = *platform_;
    p.entry = entry;
    p.stack.resize(stackSize);
    // The stack grows down from its end.
    p.script = fctx::make_fcontext(p.stack.data() + p.stack.size(), p.stack.size(), &begin);
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
    void* fakeStack = nullptr;
    beginSwitch(&fakeStack, p.stack.data(), p.stack.size());
#ifdef GH_TSAN_FIBERS
    p.tsanHost = __tsan_get_current_fiber();
#endif
    toFiber(p.tsanScript);
    p.script = fctx::jump_fcontext(p.script, &p).fctx;
    endSwitch(fakeStack, nullptr, nullptr);
}

void ScriptContext::leave() {
    Platform& p = *platform_;
    void* fakeStack = nullptr;
    beginSwitch(&fakeStack, p.hostStack, p.hostStackSize);
    toFiber(p.tsanHost);
    p.host = fctx::jump_fcontext(p.host, nullptr).fctx;
    endSwitch(fakeStack, &p.hostStack, &p.hostStackSize);
}

} // namespace standin
