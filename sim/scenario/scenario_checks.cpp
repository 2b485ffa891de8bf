#include "sim/scenario/scenario_checks.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <sstream>

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

std::string timeError(const std::string& what, const std::string& value) {
    std::size_t end = 0;
    while (end < value.size() && (std::isdigit(static_cast<unsigned char>(value[end])) || value[end] == '.'))
        ++end;
    const std::string digits = value.substr(0, end), unit = value.substr(end);
    const double scale = unit == "ms" ? 1 : unit == "s" ? 1000 : unit == "m" ? 60000 : 0;
    const bool number = end > 0 && digits != "." && digits.find('.') == digits.rfind('.');
    if (number && scale > 0 && std::strtod(digits.c_str(), nullptr) * scale > 4294967295.0) {
        return what + " '" + value + "' is longer than the longest scenario, 4294967295ms (about 49.7 days)";
    }
    return what + " '" + value + "' is not a time: a number with ms, s or m, such as 90s";
}

void explainYamlError(const std::string& text, int& line, int& column, std::string& message) {
    // A tab in a line's indentation: the parser stops at what follows, with
    // words about map values or flows.
    std::istringstream lines(text);
    std::string row;
    for (int n = 0; std::getline(lines, row) && n <= line; ++n) {
        const std::size_t content = row.find_first_not_of(" \t");
        const std::size_t tab = row.find('\t');
        if (tab != std::string::npos && content != std::string::npos && tab < content) {
            line = n;
            column = static_cast<int>(tab);
            message = "a tab indents this line: YAML indents with spaces only";
            return;
        }
    }
}

} // namespace sim
