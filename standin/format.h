// Plain-text renderings of what the stand-in recorded, for people.
#pragma once

#include <string>

#include "standin/host.h"

namespace standin {

// "00:12.345" from game milliseconds.
std::string clockText(std::uint64_t ms);

// One call as a line: label(arguments) -> result, or the host call with its
// values.
std::string describe(const Event& event);

} // namespace standin
