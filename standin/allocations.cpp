// The global operator new of a program that wants to know whether the
// module allocates: it counts the allocations made while module code runs.
// It can also be told to fail, to show how the module copes with a lack of
// memory. Linked only into the Linux tests and simulator.
#include <cstdlib>
#include <new>

#include "standin/allocations.h"
#include "standin/host.h"

namespace standin {

namespace {
[[maybe_unused]] const bool counting = (countingAllocations = true);

thread_local long allowed = -1; // -1: never fail
thread_local bool sticky = false;
thread_local bool fired = false;
} // namespace

void failAllocationsAfter(long count, bool keepFailing) {
    fired = false;
    sticky = keepFailing;
    allowed = count;
}
void stopFailingAllocations() { allowed = -1; }
bool allocationFailed() { return fired; }

} // namespace standin

void* operator new(std::size_t size) {
    if (standin::moduleCodeRunning) {
        ++standin::moduleAllocations;
    }
    if (standin::allowed >= 0) {
        if (standin::allowed == 0) {
            standin::fired = true;
            if (!standin::sticky) {
                standin::allowed = -1;
            }
            throw std::bad_alloc();
        }
        --standin::allowed;
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

// Freed as allocated, with std::free.
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
