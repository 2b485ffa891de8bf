// Typed reading of a scenario file's YAML: maps with known keys, texts,
// booleans, numbers, whole numbers, positions, times and lists of names.
// Whatever does not read is refused at its FILE:LINE:COLUMN with what is
// wrong (ScenarioError).
#pragma once

#include <yaml-cpp/yaml.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sim/scenario/scenario.h"

namespace sim {

class YamlReader {
  public:
    explicit YamlReader(std::string file) : file_(std::move(file)) {}

    [[noreturn]] void fail(const YAML::Mark& mark, const std::string& what) const;
    [[noreturn]] void fail(const YAML::Node& node, const std::string& what) const { fail(node.Mark(), what); }
    [[noreturn]] void fail(const Where& at, const std::string& what) const;

    Where where(const YAML::Node& node) const { return {node.Mark().line + 1, node.Mark().column + 1}; }
    // A name that only the module's tables give a meaning, where the file gives it.
    NameAt nameAt(NameAt::Kind kind, const YAML::Node& node) const {
        return {kind, node.Scalar(), where(node)};
    }

    // Checks that a map has only the given keys, each once; returns them by name.
    std::map<std::string, YAML::Node> fields(const YAML::Node& node, const std::string& context,
                                             const std::set<std::string>& allowed) const;
    std::string text(const YAML::Node& node, const std::string& what) const;
    // Text, or empty for null.
    std::string textOrNull(const YAML::Node& node, const std::string& what) const;
    bool boolean(const YAML::Node& node, const std::string& what) const;
    // A number the world keeps as a float: finite, and within a float's range.
    double number(const YAML::Node& node, const std::string& what) const;
    long long integer(const YAML::Node& node, const std::string& what, long long low, long long high) const;
    standin::Vec3 position(const YAML::Node& node, const std::string& what) const;
    std::uint32_t time(const YAML::Node& node, const std::string& what) const;
    std::vector<std::string> names(const YAML::Node& node, const std::string& what) const;

  private:
    std::string file_;
};

// The parser's error at (line, column), both 0-based, in plainer words where
// it is cryptic; the position moves to the cause.
void explainYamlError(const std::string& text, int& line, int& column, std::string& message);

} // namespace sim
