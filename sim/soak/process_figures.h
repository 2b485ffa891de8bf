// This process's memory and handles, as the operating system counts them.
#pragma once

#include <cstdint>

namespace sim {

struct ProcessFigures {
    std::int64_t memoryBytes = -1; // Windows: private memory; Linux: heap in use
    std::int64_t handles = -1;     // Windows: handles; Linux: open file descriptors
};

ProcessFigures processFigures();

// What the figures are on this system, for messages.
const char* memoryWord();
const char* handleWord();

} // namespace sim
