// The settings file shipped with the module, built into the simulator.
#pragma once

#include <string>

namespace sim {
const std::string& shippedSettings();
}
