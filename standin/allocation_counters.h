// What the module allocates, told apart from what the host allocates: the
// flag that says module code runs on this thread, kept by the host at its
// boundary with the module, and the counters of the counting operator new
// (standin/allocations.cpp, in the programs that link it).
#pragma once

#include <atomic>
#include <cstdint>

namespace standin {

// True while the module's own code runs on this thread: on the script
// context and not inside a host function. Allocations are attributed to the
// module by it. (Defined here, so that every function at the host's
// boundary, called several times a native call, reaches it directly.)
inline thread_local bool moduleCodeRunning = false;
// Allocations made while module code ran. Counted only in a program that
// links the stand-in's counting operator new (allocations.cpp); there
// countingAllocations is true.
inline std::uint64_t moduleAllocations = 0;
inline bool countingAllocations = false;
// Of those, the blocks not freed yet and their bytes: what the module holds,
// or has left behind (freed on any thread, hence atomic).
inline std::atomic<std::int64_t> moduleHeapBytes{0};
inline std::atomic<std::int64_t> moduleHeapBlocks{0};

// Marks the time spent inside a host function as the host's own.
class HostScope {
  public:
    HostScope() : wasModule_(moduleCodeRunning) { moduleCodeRunning = false; }
    ~HostScope() { moduleCodeRunning = wasModule_; }
    HostScope(const HostScope&) = delete;
    HostScope& operator=(const HostScope&) = delete;

  private:
    bool wasModule_;
};

} // namespace standin
