// The host's entry points, as the module imports them, reaching the one
// stand-in host. Each runs as the host's own code (HostScope).
#include "standin/allocation_counters.h"
#include "standin/host.h"

extern "C" {
void scriptRegister(void* module, void (*main)()) {
    standin::HostScope scope;
    standin::Host::get().hostScriptRegister(module, main);
}
void scriptUnregister(void* module) {
    standin::HostScope scope;
    standin::Host::get().hostScriptUnregister(module);
}
void keyboardHandlerRegister(KeyboardHandler handler) {
    standin::HostScope scope;
    standin::Host::get().hostKeyboardRegister(handler);
}
void keyboardHandlerUnregister(KeyboardHandler handler) {
    standin::HostScope scope;
    standin::Host::get().hostKeyboardUnregister(handler);
}
void scriptWait(std::uint32_t ms) {
    standin::HostScope scope;
    standin::Host::get().hostScriptWait(ms);
}
void nativeInit(std::uint64_t hash) {
    standin::HostScope scope;
    standin::Host::get().hostNativeInit(hash);
}
void nativePush64(std::uint64_t value) {
    standin::HostScope scope;
    standin::Host::get().hostNativePush64(value);
}
std::uint64_t* nativeCall() {
    standin::HostScope scope;
    return standin::Host::get().hostNativeCall();
}
int worldGetAllPeds(int* peds, int capacity) {
    standin::HostScope scope;
    return standin::Host::get().hostWorldGetAllPeds(peds, capacity);
}
#ifndef _WIN32
// On Windows the module takes GetTickCount from KERNEL32.
unsigned long GetTickCount() {
    standin::HostScope scope;
    return standin::Host::get().tickCount();
}
#endif
}
