#include "sim/soak/process_figures.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h.
#include <psapi.h>
#else
#include <dirent.h>
#include <malloc.h>
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define GH_SANITIZER_HEAP 1
#include <cstddef>
// The sanitizers' allocator interface (GCC 12 installs no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif
#endif

namespace sim {

#ifdef _WIN32

namespace {

// Every valid handle value of the process's table, one by one.
std::int64_t probeHandles() {
    std::int64_t count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    }
    return count;
}

} // namespace

// Wine 8 answers 0 for both the private usage and the handle count; the
// commit charge (PagefileUsage, which Windows gives as the private usage
// too) and a probe of the handle table tell the same there.
ProcessFigures processFigures() {
    ProcessFigures figures;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof memory)) {
        figures.memoryBytes =
            static_cast<std::int64_t>(memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage);
    }
    DWORD handles = 0;
    figures.handles =
        GetProcessHandleCount(GetCurrentProcess(), &handles) && handles != 0 ? handles : probeHandles();
    return figures;
}

const char* memoryWord() { return "private memory"; }
const char* handleWord() { return "handles"; }

#else

// The heap in use, not the pages the process has touched: those count
// thread stacks as the C library caches them and pages of the program file
// as the page cache holds them, which vary from run to run.
ProcessFigures processFigures() {
    ProcessFigures figures;
#ifdef GH_SANITIZER_HEAP
    // A sanitizer's heap, not the C library's.
    figures.memoryBytes = static_cast<std::int64_t>(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 heap = mallinfo2();
    figures.memoryBytes = static_cast<std::int64_t>(heap.uordblks + heap.hblkhd);
#endif
    if (DIR* fds = opendir("/proc/self/fd")) {
        figures.handles = 0;
        while (const dirent* entry = readdir(fds)) {
            figures.handles += entry->d_name[0] != '.';
        }
        closedir(fds);
        --figures.handles; // the directory's own
    }
    return figures;
}

const char* memoryWord() { return "heap in use"; }
const char* handleWord() { return "open file descriptors"; }

#endif

} // namespace sim
