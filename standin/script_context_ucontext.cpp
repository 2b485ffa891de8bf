// The script context on Linux: a ucontext with its own stack, switched to and
// from with swapcontext.
#include <ucontext.h>

#include <vector>

#include "standin/script_context.h"

namespace standin {

struct ScriptContext::Platform {
    ucontext_t host{};
    ucontext_t script{};
    std::vector<char> stack;
};

ScriptContext::ScriptContext(void (*entry)(), std::size_t stackSize)
    : platform_(std::make_unique<Platform>()) {
    Platform& p = *platform_;
    p.stack.resize(stackSize);
    getcontext(&p.script);
    p.script.uc_stack.ss_sp = p.stack.data();
    p.script.uc_stack.ss_size = p.stack.size();
    p.script.uc_link = &p.host; // a returning entry comes back to the host
    makecontext(&p.script, entry, 0);
}

ScriptContext::~ScriptContext() = default;

void ScriptContext::enter() { swapcontext(&platform_->host, &platform_->script); }

void ScriptContext::leave() { swapcontext(&platform_->script, &platform_->host); }

} // namespace standin
