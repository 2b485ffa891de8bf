// Reading a scenario file: its YAML read section by section, then checked
// for sense (sense_checks.h). Whatever is wrong is refused with a
// ScenarioError, "FILE:LINE:COLUMN: what is wrong"; what runs but may not be
// what was meant is kept in the scenario's warnings.
#pragma once

#include <string>

#include "sim/scenario/scenario.h"

namespace sim {

Scenario loadScenario(const std::string& path);
// The text of a file of that name.
Scenario parseScenario(const std::string& text, const std::string& file);

} // namespace sim
