// Game times as a scenario writes them: a number with ms, s or m ("90s",
// "1500ms", "2m", "1.5s"), in whole milliseconds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace sim {

// The time in milliseconds; nullopt when malformed, not whole or too long.
std::optional<std::uint32_t> parseDuration(const std::string& text);

// What is wrong with a time that parseDuration does not take.
std::string timeError(const std::string& what, const std::string& value);

} // namespace sim
