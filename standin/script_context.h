// The execution context the stand-in host runs the script main on: a stack of
// its own, entered from the host and left from the script, so that a wait
// hands control back to the host at once. The platform part of the host:
// Boost.Context's switch on Linux, a fiber on Windows (as the real host does).
#pragma once

#include <cstddef>
#include <memory>

namespace standin {

class ScriptContext {
  public:
    // entry starts on the context's own stack at the first enter(); when it
    // returns, control goes back to the host for good.
    ScriptContext(void (*entry)(), std::size_t stackSize);
    ~ScriptContext();
    ScriptContext(const ScriptContext&) = delete;
    ScriptContext& operator=(const ScriptContext&) = delete;

    // From the host: runs the script until it leaves or its entry returns.
    void enter();
    // From the script: back to the host, whose enter() then returns.
    void leave();

    struct Platform; // what each platform keeps

  private:
    std::unique_ptr<Platform> platform_;
};

} // namespace standin
