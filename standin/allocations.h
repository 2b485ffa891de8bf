// Allocation failure on demand, for programs linked with allocations.cpp.
#pragma once

namespace standin {

// The next `count` allocations of this thread succeed, then one fails with
// std::bad_alloc (or, with keepFailing, every later one until stopped).
void failAllocationsAfter(long count, bool keepFailing);
void stopFailingAllocations();
// Whether an allocation failed since failAllocationsAfter.
bool allocationFailed();

} // namespace standin
