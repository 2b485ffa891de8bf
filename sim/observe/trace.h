// The trace: one JSON object per host call or native call, in the order
// made. Addresses never appear: a slot that holds one is written as what it
// points at, so the same scenario gives the same bytes on every run and
// every platform.
#pragma once

#include <string>

#include "standin/host.h"

namespace sim {

std::string traceLine(const standin::Event& event);

} // namespace sim
