// The global operator new of a program that wants to know whether the
// module allocates: it counts the allocations made while module code runs,
// and keeps the bytes of those not yet freed (a header before each block
// says whether module code made it).
// It can also be told to fail, to show how the module copes with a lack of
// memory. Linked only into the Linux tests and simulator.
#include <cstddef>
#include <cstdlib>
#include <new>

#include "standin/allocation_counters.h"
#include "standin/allocations.h"

namespace standin {

namespace {
[[maybe_unused]] const bool counting = (countingAllocations = true);

thread_local long allowed = -1; // -1: never fail

struct alignas(std::max_align_t) BlockHeader {
    std::size_t size;
    bool byModule;
};
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
    const bool byModule = standin::moduleCodeRunning;
    if (byModule) {
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
    using standin::BlockHeader;
    if (size > static_cast<std::size_t>(-1) - sizeof(BlockHeader)) {
        throw std::bad_alloc();
    }
    if (void* p = std::malloc(sizeof(BlockHeader) + size)) {
        auto* header = static_cast<BlockHeader*>(p);
        header->size = size;
        header->byModule = byModule;
        if (byModule) {
            standin::moduleHeapBytes += static_cast<std::int64_t>(size);
            ++standin::moduleHeapBlocks;
        }
        return header + 1;
    }
    throw std::bad_alloc();
}

// Freed as allocated, with std::free.
void operator delete(void* p) noexcept {
    if (p == nullptr) {
        return;
    }
    auto* header = static_cast<standin::BlockHeader*>(p) - 1;
    if (header->byModule) {
        standin::moduleHeapBytes -= static_cast<std::int64_t>(header->size);
        --standin::moduleHeapBlocks;
    }
    std::free(header);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

// Every other form goes through the two above, so that each block is freed
// by the form that knows its header, whichever runtime (a sanitizer's too)
// would otherwise provide it.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new[](std::size_t size, const std::nothrow_t& nothrow) noexcept {
    return operator new(size, nothrow);
}
void operator delete(void* p, const std::nothrow_t&) noexcept { operator delete(p); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { operator delete(p); }
