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
// module by it.
extern thread_local bool moduleCodeRunning;
// Allocations made while module code ran. Counted only in a program that
// links the stand-in's counting operator new (allocations.cpp); there
// countingAllocations is true.
extern std::uint64_t moduleAllocations;
extern bool countingAllocations;
// Of those, the blocks not freed yet and their bytes: what the module holds,
// or has left behind (freed on any thread, hence atomic).
extern std::atomic<std::int64_t> moduleHeapBytes;
extern std::atomic<std::int64_t> moduleHeapBlocks;

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
