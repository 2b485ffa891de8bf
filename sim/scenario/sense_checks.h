// Checks on a scenario that reads well but would mean nothing to the module.
#pragma once

#include "sim/scenario/scenario.h"

namespace sim {

// Throws ScenarioError ("FILE:LINE:COLUMN: ...") for nonsense: no world, an
// empty name, a camp script or mission the module never asks about, an
// expectation window that is empty or starts after the end. Adds a warning
// to s.warnings for what a modder may mean: a model that looks like a gang
// horse but is not one, a window that runs past the end.
void checkScenarioSense(Scenario& s);

} // namespace sim
