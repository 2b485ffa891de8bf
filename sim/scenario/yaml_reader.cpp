#include "sim/scenario/yaml_reader.h"

#include <cmath>
#include <limits>
#include <sstream>

#include "sim/scenario/times.h"

namespace sim {

void YamlReader::fail(const YAML::Mark& mark, const std::string& what) const {
    std::ostringstream text;
    text << file_ << ":" << (mark.line >= 0 ? mark.line + 1 : 1) << ":"
         << (mark.column >= 0 ? mark.column + 1 : 1) << ": " << what;
    throw ScenarioError(text.str());
}

void YamlReader::fail(const Where& at, const std::string& what) const {
    YAML::Mark mark;
    mark.line = at.line - 1;
    mark.column = at.column - 1;
    fail(mark, what);
}

std::map<std::string, YAML::Node> YamlReader::fields(const YAML::Node& node, const std::string& context,
                                                     const std::set<std::string>& allowed) const {
    if (!node.IsMap()) {
        fail(node, context + " must be a map");
    }
    std::map<std::string, YAML::Node> found;
    for (const auto& item : node) {
        if (!item.first.IsScalar()) {
            fail(item.first, "a key in " + context + " must be a name");
        }
        const std::string key = item.first.Scalar();
        if (allowed.count(key) == 0) {
            std::string list;
            for (const std::string& name : allowed) {
                list += (list.empty() ? "" : ", ") + name;
            }
            fail(item.first, "unknown key '" + key + "' in " + context + " (known: " + list + ")");
        }
        if (found.count(key) != 0) {
            fail(item.first, "key '" + key + "' given twice in " + context);
        }
        found[key] = item.second;
    }
    return found;
}

std::string YamlReader::text(const YAML::Node& node, const std::string& what) const {
    if (!node.IsScalar()) {
        fail(node, what + " must be text");
    }
    return node.Scalar();
}

std::string YamlReader::textOrNull(const YAML::Node& node, const std::string& what) const {
    return node.IsNull() ? std::string() : text(node, what);
}

bool YamlReader::boolean(const YAML::Node& node, const std::string& what) const {
    bool value = false;
    if (!node.IsScalar() || !YAML::convert<bool>::decode(node, value)) {
        fail(node, what + " must be true or false");
    }
    return value;
}

double YamlReader::number(const YAML::Node& node, const std::string& what) const {
    double value = 0;
    if (!node.IsScalar() || !YAML::convert<double>::decode(node, value) || !std::isfinite(value)) {
        fail(node, what + " must be a number");
    }
    if (std::fabs(value) > std::numeric_limits<float>::max()) {
        fail(node, what + " is out of range (at most 3.4e38 either way)");
    }
    return value;
}

long long YamlReader::integer(const YAML::Node& node, const std::string& what, long long low,
                              long long high) const {
    long long value = 0;
    if (!node.IsScalar() || !YAML::convert<long long>::decode(node, value)) {
        fail(node, what + " must be a whole number");
    }
    if (value < low || value > high) {
        fail(node, what + " must be from " + std::to_string(low) + " to " + std::to_string(high));
    }
    return value;
}

standin::Vec3 YamlReader::position(const YAML::Node& node, const std::string& what) const {
    if (!node.IsSequence() || node.size() != 3) {
        fail(node, what + " must be [x, y, z]");
    }
    return standin::Vec3{static_cast<float>(number(node[0], what + " x")),
                         static_cast<float>(number(node[1], what + " y")),
                         static_cast<float>(number(node[2], what + " z"))};
}

std::uint32_t YamlReader::time(const YAML::Node& node, const std::string& what) const {
    const std::string value = text(node, what);
    const auto ms = parseDuration(value);
    if (!ms)
        fail(node, timeError(what, value));
    return *ms;
}

std::vector<std::string> YamlReader::names(const YAML::Node& node, const std::string& what) const {
    if (!node.IsSequence()) {
        fail(node, what + " must be a list");
    }
    std::vector<std::string> list;
    for (const auto& item : node) {
        list.push_back(text(item, "an entry of " + what));
    }
    return list;
}

void YamlReader::optional(const std::map<std::string, YAML::Node>& found,
                          std::initializer_list<std::pair<const char*, Into>> keys) const {
    for (const auto& key : keys) {
        const auto it = found.find(key.first);
        if (it != found.end())
            std::visit([this, &it](auto* place) { read(it->second, it->first, *place); }, key.second);
    }
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
