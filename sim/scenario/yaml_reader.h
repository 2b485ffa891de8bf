// Typed reading of a scenario file's YAML: maps with known keys, texts,
// booleans, numbers, whole numbers, positions, times and lists of names.
// Whatever does not read is refused at its FILE:LINE:COLUMN with what is
// wrong (ScenarioError).
#pragma once

#include <yaml-cpp/yaml.h>

#include <cstdint>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "sim/scenario/scenario.h"

namespace sim {

class YamlReader {
  public:
    explicit YamlReader(std::string file) : file_(std::move(file)) {}

    [[noreturn]] void fail(const YAML::Mark& mark, const std::string& what) const;
    [[noreturn]] void fail(const YAML::Node& node, const std::string& what) const;
    [[noreturn]] void fail(const Where& at, const std::string& what) const;

    Where where(const YAML::Node& node) const { return {node.Mark().line + 1, node.Mark().column + 1}; }
    // A name that only the module's tables give a meaning, where the file gives it.
    NameAt nameAt(NameAt::Kind kind, const YAML::Node& node) const {
        return {kind, node.Scalar(), where(node)};
    }

    // Checks that a map has only the given keys, each once; returns them by name.
    std::map<std::string, YAML::Node> fields(const YAML::Node& node, const std::string& context,
                                             const std::set<std::string>& allowed) const;
    // Text in UTF-8, as every name and word of a scenario is.
    std::string text(const YAML::Node& node, const std::string& what) const;
    // Text as the bytes the file holds (the settings file's text, which the
    // module passes on byte for byte in whatever encoding).
    std::string bytes(const YAML::Node& node, const std::string& what) const;
    // Text, or empty for null.
    std::string textOrNull(const YAML::Node& node, const std::string& what) const;
    // true or false, unquoted (YAML 1.1's yes, no, on and off are refused).
    bool boolean(const YAML::Node& node, const std::string& what) const;
    static std::optional<bool> trueOrFalse(const YAML::Node& node);
    // A number the world keeps as a float: finite, and within a float's range.
    double number(const YAML::Node& node, const std::string& what) const;
    long long integer(const YAML::Node& node, const std::string& what, long long low, long long high) const;
    standin::Vec3 position(const YAML::Node& node, const std::string& what) const;
    std::uint32_t time(const YAML::Node& node, const std::string& what) const;
    std::vector<std::string> names(const YAML::Node& node, const std::string& what) const;

    // Where the value of an optional key goes, read as the place's type says
    // (a boolean, a text or a position); the key names it in messages.
    using Into = std::variant<bool*, std::string*, standin::Vec3*, std::optional<bool>*,
                              std::optional<std::string>*, std::optional<standin::Vec3>*>;
    // Reads each of the keys that found has into its place, in the order given.
    void optional(const std::map<std::string, YAML::Node>& found,
                  std::initializer_list<std::pair<const char*, Into>> keys) const;

  private:
    void read(const YAML::Node& node, const std::string& what, bool& into) const {
        into = boolean(node, what);
    }
    void read(const YAML::Node& node, const std::string& what, std::string& into) const {
        into = text(node, what);
    }
    void read(const YAML::Node& node, const std::string& what, standin::Vec3& into) const {
        into = position(node, what);
    }
    template <typename T>
    void read(const YAML::Node& node, const std::string& what, std::optional<T>& into) const {
        T value{};
        read(node, what, value);
        into = value;
    }

    std::string file_;
    // The values left empty in the maps read so far, with the places of their keys.
    mutable std::vector<std::pair<YAML::Node, YAML::Mark>> emptyValues_;
};

// The parser's error at (line, column), both 0-based, in plainer words where
// it is cryptic; the position moves to the cause.
void explainYamlError(const std::string& text, int& line, int& column, std::string& message);

} // namespace sim
