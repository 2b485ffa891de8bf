// The host's own calls on the timeline: the waits go to the pass, DllMain's
// registrations and the starts of the script main are told.
#include <cstring>

#include "sim/observe/timeline.h"

namespace sim {

void Timeline::host(std::uint64_t ms, const char* name, std::uint32_t value) {
    if (std::strcmp(name, "scriptWait") == 0)
        wait(ms, value);
    else
        hostCall(ms, name);
}

void Timeline::hostCall(std::uint64_t ms, const char* name) {
    static const struct {
        const char* name;
        const char* words;
    } told[] = {
        {"scriptRegister", "DllMain: the module registers its script main"},
        {"keyboardHandlerRegister", "DllMain: the module registers its keyboard handler"},
        {"scriptUnregister", "DllMain: the module unregisters its script main"},
        {"keyboardHandlerUnregister", "DllMain: the module unregisters its keyboard handler"},
        {"scriptMain", "the host starts the script main"},
    };
    if (std::strcmp(name, "scriptMain") == 0) {
        // A script dropped in the middle of a pass never ends it.
        passHorses_.clear();
        passMembers_ = 0;
        passHasBorrowed_ = false;
        passPreparationTold_ = false;
        passCamp_.clear();
        pausedUntil_ = 0;
    }
    for (const auto& call : told) {
        if (std::strcmp(call.name, name) == 0) {
            say(ms, call.words);
            return;
        }
    }
}

} // namespace sim
