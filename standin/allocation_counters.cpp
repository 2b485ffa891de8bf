#include "standin/allocation_counters.h"

namespace standin {

thread_local bool moduleCodeRunning = false;
std::uint64_t moduleAllocations = 0;
std::atomic<std::int64_t> moduleHeapBytes{0};
std::atomic<std::int64_t> moduleHeapBlocks{0};
bool countingAllocations = false;

} // namespace standin
