#include "sim/scenario/times.h"

#include <cmath>
#include <cstdlib>

namespace sim {

namespace {

constexpr double longest = 4294967295.0; // ms, about 49.7 days

// The milliseconds a number with its unit stands for, not yet checked for
// range; nullopt when the text is not a number followed by ms, s or m.
std::optional<double> milliseconds(const std::string& text) {
    std::size_t end = 0;
    while (end < text.size() && ((text[end] >= '0' && text[end] <= '9') || text[end] == '.'))
        ++end;
    const std::string digits = text.substr(0, end);
    const std::string unit = text.substr(end);
    if (end == 0 || digits == "." || digits.find('.') != digits.rfind('.'))
        return std::nullopt;
    const double scale = unit == "ms" ? 1 : unit == "s" ? 1000 : unit == "m" ? 60000 : 0;
    if (scale == 0)
        return std::nullopt;
    // strtod, not stod: a number too large for a double gives HUGE_VAL rather
    // than an exception, and is refused like any other too-long time.
    return std::strtod(digits.c_str(), nullptr) * scale;
}

} // namespace

std::optional<std::uint32_t> parseDuration(const std::string& text) {
    const std::optional<double> ms = milliseconds(text);
    if (!ms || !(*ms >= 0) || *ms > longest || *ms != std::floor(*ms))
        return std::nullopt;
    return static_cast<std::uint32_t>(*ms);
}

std::string timeError(const std::string& what, const std::string& value) {
    const std::optional<double> ms = milliseconds(value);
    if (ms && *ms > longest)
        return what + " '" + value + "' is longer than the longest scenario, 4294967295ms (about 49.7 days)";
    return what + " '" + value + "' is not a time: a number with ms, s or m, such as 90s";
}

} // namespace sim
