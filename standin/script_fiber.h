// The script main's execution context as the host runs it, shared by the
// host's files (not for the host's users): its own stack, switched to and
// from (standin/script_context.h), so that a wait hands control back to the
// host at once.
#pragma once

#include <exception>
#include <string>

#include "standin/host.h"
#include "standin/script_context.h"

namespace standin {

// Unwinds the script's stack when the host stops it. Not derived from
// std::exception, so nothing in the module catches it on the way.
struct ScriptStop {};

inline constexpr std::size_t scriptStackSize = 1024 * 1024;

struct Host::Fiber {
    ScriptContext context{&Fiber::entry, scriptStackSize};
    bool started = false;
    bool finished = false;
    bool stopRequested = false;
    std::string fault;
    void (*main)() = nullptr;

    static void entry() {
        Fiber& self = *Host::get().fiber_;
        try {
            self.main();
            self.fault = "the script main returned";
        } catch (const ScriptStop&) {
        } catch (const std::exception& e) {
            self.fault = e.what();
        } catch (...) {
            self.fault = "the script main threw an unknown exception";
        }
        self.finished = true;
        // Returning brings control back to the host.
    }
};

} // namespace standin
