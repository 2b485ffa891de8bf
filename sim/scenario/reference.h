// The facts a scenario needs about the module: its gang horse models and
// their owners' remarks, the command prompts and their lines, the camp
// scripts, the missions that place the camp and where, and the native labels.
// The reader checks names against them, the timeline explains with them, and
// `gang-horse-sim reference` prints them for the README (a test compares
// them with what the module does).
#pragma once

#include <cstdint>
#include <set>
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

struct CommandFact {
    const char* prompt; // as a scenario's `prompt:` names it
    const char* input;
    const char* maleLine; // said for a male horse
    const char* femaleLine;
    const char* then;
};
extern const CommandFact commandFacts[4];

// A story rule: while `done` is completed and `notDone` is not, the camp
// stands at the position. A later rule that holds wins.
struct CampRule {
    const char* done;
    const char* notDone;
    const char* camp;
    float x, y, z;
};
extern const CampRule campRules[4];

extern const std::vector<std::string> campScriptNames;
extern const std::vector<std::string> missionIds;
extern const std::vector<std::string> gangHorseModels;
std::vector<std::string> nativeLabels();

// The rule that places the camp for these completed missions (by the
// game's hashes), nullptr when none holds.
const CampRule* campRuleFor(const std::set<std::uint32_t>& completed);

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
