#include "sim/scenario/sense_checks.h"

#include <algorithm>
#include <cctype>

#include "sim/scenario/reference.h"

namespace sim {

namespace {

std::string place(const Scenario& s, const Where& at) {
    return s.file + ":" + std::to_string(std::max(at.line, 1)) + ":" +
           std::to_string(std::max(at.column, 1)) + ": ";
}

[[noreturn]] void fail(const Scenario& s, const Where& at, const std::string& what) {
    throw ScenarioError(place(s, at) + what);
}

void warn(Scenario& s, const Where& at, const std::string& what) {
    s.warnings.push_back(place(s, at) + "warning: " + what);
}

std::string timeText(std::uint32_t ms) {
    return ms % 1000 == 0 ? std::to_string(ms / 1000) + "s" : std::to_string(ms) + "ms";
}

bool knownIgnoringCase(const std::string& name, const std::vector<std::string>& names) {
    return std::any_of(names.begin(), names.end(), [&name](const std::string& known) {
        return known.size() == name.size() &&
               std::equal(known.begin(), known.end(), name.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) ==
                          std::tolower(static_cast<unsigned char>(b));
               });
    });
}

void checkName(Scenario& s, const NameAt& given) {
    switch (given.kind) {
    case NameAt::Kind::Model: {
        if (upperCase(given.name).rfind("A_C_HORSE_GANG_", 0) == 0 && !isGangHorseModel(given.name)) {
            const std::vector<std::string> near = closestNames(given.name, gangHorseModels, 2);
            std::string hint;
            for (const std::string& name : near)
                hint += (hint.empty() ? " (closest: " : ", ") + name;
            warn(s, given.where,
                 "model '" + given.name +
                     "' looks like a gang horse but is not one of the fourteen: the module leaves it alone" +
                     (hint.empty() ? "" : hint + ")"));
        }
        break;
    }
    case NameAt::Kind::CampScript:
        if (!knownIgnoringCase(given.name, campScriptNames))
            fail(s, given.where, unknownName("camp script", given.name, campScriptNames));
        break;
    case NameAt::Kind::Mission:
        if (!knownIgnoringCase(given.name, missionIds)) {
            fail(s, given.where,
                 unknownName("mission", given.name, missionIds) + ": the module asks about no other");
        }
        break;
    }
}

void checkWindow(Scenario& s, const Expectation& x) {
    if (x.by && x.after > *x.by) {
        fail(s, x.where,
             "the window is empty: after " + timeText(x.after) + " is later than by " + timeText(*x.by));
    }
    if (x.after > s.duration) {
        fail(s, x.where,
             "the window starts after the end: after " + timeText(x.after) + ", the scenario lasts " +
                 timeText(s.duration));
    }
    if (x.by && *x.by > s.duration) {
        warn(s, x.where,
             "by " + timeText(*x.by) + " is after the end of the scenario (" + timeText(s.duration) +
                 "): the window ends there");
    }
}

} // namespace

void checkScenarioSense(Scenario& s) {
    if (std::all_of(s.name.begin(), s.name.end(),
                    [](char c) { return std::isspace(static_cast<unsigned char>(c)); }))
        fail(s, s.nameWhere, "the name is empty: give the scenario a name that tells it apart");
    if (!s.hasWorld)
        fail(s, {1, 1}, "the scenario needs a world (world: {} for an empty one)");
    for (const NameAt& given : s.namesGiven)
        checkName(s, given);
    for (const Expectation& x : s.expectations)
        checkWindow(s, x);
}

} // namespace sim
