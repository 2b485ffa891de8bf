#include "sim/scenario/yaml_reader.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

#include "sim/scenario/times.h"

namespace sim {

namespace {

// The length of the valid UTF-8 sequence at text[i], or 0 when there is none.
std::size_t utf8Sequence(const std::string& text, std::size_t i) {
    const auto byte = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80)
        return 1;
    const std::size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
    }
    // Overlong forms, surrogates and code points past U+10FFFF.
    const unsigned char second = byte(i + 1);
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

} // namespace

void YamlReader::fail(const YAML::Mark& mark, const std::string& what) const {
    std::ostringstream text;
    text << file_ << ":" << (mark.line >= 0 ? mark.line + 1 : 1) << ":"
         << (mark.column >= 0 ? mark.column + 1 : 1) << ": " << what;
    throw ScenarioError(text.str());
}

void YamlReader::fail(const YAML::Node& node, const std::string& what) const {
    // An empty value (`world:` and nothing) has no place of its own in the
    // file: it is told at its key.
    if (node.IsNull()) {
        for (const auto& [value, key] : emptyValues_) {
            if (value.is(node))
                fail(key, what);
        }
    }
    fail(node.Mark(), what);
}

void YamlReader::fail(const Where& at, const std::string& what) const {
    YAML::Mark mark;
    mark.line = at.line - 1;
    mark.column = at.column - 1;
    fail(mark, what);
}

std::map<std::string, YAML::Node> YamlReader::fields(const YAML::Node& node, const std::string& context,
                                                     const std::set<std::string>& allowed) const {
    if (node.IsNull()) {
        fail(node, context + " has no value: give a map ({} for an empty one)");
    }
    if (!node.IsMap()) {
        fail(node, context + " must be a map");
    }
    std::map<std::string, YAML::Node> found;
    for (const auto& item : node) {
        if (item.second.IsNull()) {
            emptyValues_.emplace_back(item.second, item.first.Mark());
        }
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

std::string YamlReader::bytes(const YAML::Node& node, const std::string& what) const {
    if (!node.IsScalar()) {
        fail(node, what + " must be text");
    }
    return node.Scalar();
}

std::string YamlReader::text(const YAML::Node& node, const std::string& what) const {
    const std::string value = bytes(node, what);
    for (std::size_t i = 0; i < value.size();) {
        const std::size_t length = utf8Sequence(value, i);
        if (length == 0) {
            char byte[8];
            std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned char>(value[i]));
            fail(node, what + " is not valid UTF-8 (byte " + byte + " at character " + std::to_string(i + 1) +
                           "): save the file as UTF-8");
        }
        i += length;
    }
    return value;
}

std::string YamlReader::textOrNull(const YAML::Node& node, const std::string& what) const {
    return node.IsNull() ? std::string() : text(node, what);
}

std::optional<bool> YamlReader::trueOrFalse(const YAML::Node& node) {
    // YAML 1.2's booleans only: not YAML 1.1's yes, no, on, off, y, n, and
    // not a quoted "true", which is text.
    if (!node.IsScalar() || node.Tag() == "!")
        return std::nullopt;
    const std::string& word = node.Scalar();
    if (word == "true" || word == "True" || word == "TRUE")
        return true;
    if (word == "false" || word == "False" || word == "FALSE")
        return false;
    return std::nullopt;
}

bool YamlReader::boolean(const YAML::Node& node, const std::string& what) const {
    const std::optional<bool> value = trueOrFalse(node);
    if (!value) {
        std::string word = node.IsScalar() ? node.Scalar() : std::string();
        for (char& c : word)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const bool oldWord =
            word == "yes" || word == "no" || word == "on" || word == "off" || word == "y" || word == "n";
        fail(node, what + " must be true or false" +
                       (node.IsScalar() && node.Tag() == "!" ? std::string(", without quotes")
                        : oldWord ? " ('" + node.Scalar() + "' is YAML 1.1's word, not taken here)"
                                  : std::string()));
    }
    return *value;
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
