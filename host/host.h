// The script host's functions as the module sees them.
//
// ScriptHookRDR2 exports these as MSVC-decorated C++ names; the Windows build
// links them through an import library made from host.def, which maps each
// plain name below onto its decorated export. On Linux a stand-in host
// defines the same plain names.
#pragma once

#include <cstdint>

extern "C" {

using KeyboardHandler = void (*)(std::uint32_t key, std::uint16_t repeats, std::uint8_t scanCode,
                                 int isExtended, int isWithAlt, int wasDownBefore, int isUpNow);

void scriptRegister(void* module, void (*scriptMain)());
void scriptUnregister(void* module);
void keyboardHandlerRegister(KeyboardHandler handler);
void keyboardHandlerUnregister(KeyboardHandler handler);
void scriptWait(std::uint32_t ms);

void nativeInit(std::uint64_t hash);
void nativePush64(std::uint64_t value);
std::uint64_t* nativeCall();

int worldGetAllPeds(int* peds, int capacity);

// Windows' millisecond tick counter (KERNEL32). The stand-in host provides it
// on Linux.
#ifdef _WIN32
__declspec(dllimport) unsigned long __stdcall GetTickCount();
#else
unsigned long GetTickCount();
#endif
}
