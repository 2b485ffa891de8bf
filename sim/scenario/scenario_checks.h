// Checks on a scenario that reads well but would mean nothing to the module,
// and plain words for what the YAML parser and the time reader say tersely.
#pragma once

#include <string>

#include "sim/scenario/scenario.h"

namespace sim {

// Throws ScenarioError ("FILE:LINE:COLUMN: ...") for nonsense: no world, an
// empty name, a camp script or mission the module never asks about, an
// expectation window that is empty or starts after the end. Adds a warning
// to s.warnings for what a modder may mean: a model that looks like a gang
// horse but is not one, a window that runs past the end.
void checkScenarioSense(Scenario& s);

// What is wrong with a time the reader could not take.
std::string timeError(const std::string& what, const std::string& value);

// The parser's error at (line, column), both 0-based, in plainer words where
// it is cryptic; the position moves to the cause.
void explainYamlError(const std::string& text, int& line, int& column, std::string& message);

} // namespace sim
