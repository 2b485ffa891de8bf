#include "sim/report/json_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace sim {

double shortestFloat(float value) {
    if (!std::isfinite(value))
        return static_cast<double>(value);
    // The shortest digits that read back as the float, read as a double.
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text - 1, value);
    *written.ptr = '\0';
    return std::strtod(text, nullptr);
}

Json position3(float x, float y, float z) {
    return Json::array({shortestFloat(x), shortestFloat(y), shortestFloat(z)});
}

std::string scriptSafeJson(const Json& value) {
    const std::string text = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::string safe;
    safe.reserve(text.size() + text.size() / 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '<') {
            safe += "\\u003c";
        } else if (c == '>') {
            safe += "\\u003e";
        } else if (c == '&') {
            safe += "\\u0026";
        } else if (c == '\xE2' && i + 2 < text.size() && text[i + 1] == '\x80' &&
                   (text[i + 2] == '\xA8' || text[i + 2] == '\xA9')) {
            safe += text[i + 2] == '\xA8' ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            safe += c;
        }
    }
    return safe;
}

} // namespace sim
