// The module's facts (facts/module_facts.h) and the native labels as a
// scenario meets them: names to check a scenario's against, and the
// reference `gang-horse-sim reference` prints for the README (a test
// compares it with what the module does).
#pragma once

#include <string>
#include <vector>

namespace sim {

// Owner's remark line of a gang horse model (any case), nullptr when its
// owner has none.
const char* ownerLine(const std::string& model);

// The name in upper case (model names are matched in any case).
std::string upperCase(std::string text);

// True for one of the fourteen gang horse models, in any case.
bool isGangHorseModel(const std::string& model);

// The facts' names as lists, to look names up in.
extern const std::vector<std::string> campScriptNames;
extern const std::vector<std::string> missionIds;
extern const std::vector<std::string> gangHorseModels;
std::vector<std::string> nativeLabels();

// The scenario reference, in Markdown.
std::string referenceText();

// Up to n names nearest to word (case ignored), nearest first: those within
// a few edits, or else all of them when there are few.
std::vector<std::string> closestNames(const std::string& word, const std::vector<std::string>& names,
                                      std::size_t n = 3);

// "unknown WHAT 'word' (closest: a, b, c)" or "... (known: a, b)" for a
// short list.
std::string unknownName(const std::string& what, const std::string& word,
                        const std::vector<std::string>& names);

} // namespace sim
