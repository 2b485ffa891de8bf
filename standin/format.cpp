#include "standin/format.h"

#include <cstdio>
#include <cstring>

#include "standin/slots.h"

namespace standin {

namespace {

std::string number(std::uint64_t slot, char kind) {
    char text[64];
    if (kind == 'f') {
        std::snprintf(text, sizeof text, "%.3ff", static_cast<double>(slotFloat(slot)));
    } else if (slot > 0xFFFFFFFFull) {
        return hex64(slot);
    } else {
        const auto value = static_cast<std::int32_t>(static_cast<std::uint32_t>(slot));
        if (value >= -100000 && value <= 100000) {
            std::snprintf(text, sizeof text, "%d", value);
        } else {
            std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(slot));
        }
    }
    return text;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

} // namespace

std::string clockText(std::uint64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%02llu:%02llu.%03llu", static_cast<unsigned long long>(ms / 60000),
                  static_cast<unsigned long long>(ms / 1000 % 60),
                  static_cast<unsigned long long>(ms % 1000));
    return text;
}

std::string describe(const Event& event) {
    std::string line;
    if (event.kind == Event::Kind::Host) {
        line = event.host + "(";
        for (std::size_t i = 0; i < event.values.size(); ++i) {
            line += (i ? ", " : "") + event.values[i].first + "=" + std::to_string(event.values[i].second);
        }
        return line + ")";
    }
    const NativeInfo& info = *event.native;
    line = std::string(info.label) + "(";
    for (std::size_t k = 0; k < event.args.size(); ++k) {
        const ArgRecord& arg = event.args[k];
        line += k ? ", " : "";
        switch (info.slots[k]) {
        case 's':
            line += arg.isNull ? "null" : quoted(arg.text);
            break;
        case 'v':
            line += "varString " + quoted(arg.text);
            break;
        case 'o':
            line += "&" + number(arg.pointee, 'i');
            break;
        case 'r':
            line += "speech " + (arg.isNull ? std::string("null") : quoted(arg.text));
            break;
        default:
            line += number(arg.raw, info.slots[k]);
            break;
        }
    }
    line += ")";
    switch (info.result) {
    case ResultKind::None:
        break;
    case ResultKind::Vector3:
        line += " -> [" + number(event.result[0], 'f') + ", " + number(event.result[1], 'f') + ", " +
                number(event.result[2], 'f') + "]";
        break;
    case ResultKind::Float:
        line += " -> " + number(event.result[0], 'f');
        break;
    case ResultKind::Bool:
        line += std::string(" -> ") + (static_cast<std::uint32_t>(event.result[0]) ? "true" : "false");
        break;
    case ResultKind::Pointer:
        line += " -> " + hex64(event.result[0]);
        break;
    case ResultKind::Int:
        line += " -> " + number(event.result[0], 'i');
        break;
    }
    return line;
}

} // namespace standin
