#include "sim/observe/trace.h"

#include <cstdio>
#include <cstring>
#include <nlohmann/json.hpp>

#include "standin/slots.h"

namespace sim {

namespace {

using Json = nlohmann::ordered_json;

std::string hex32(std::uint32_t value) {
    char text[11];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

Json textOrNull(const standin::ArgRecord& arg) { return arg.isNull ? Json(nullptr) : Json(arg.text); }

Json argument(char kind, const standin::ArgRecord& arg) {
    switch (kind) {
    case 's':
        return Json{{"text", textOrNull(arg)}};
    case 'v':
        return Json{{"varString", arg.text}};
    case 'o':
        return Json{{"ptr", hex32(arg.pointee)}};
    case 'r': {
        const auto& r = arg.record;
        Json speech;
        speech["speechLine"] = textOrNull(arg);
        speech["voiceName"] = r[1] == 0 ? Json(nullptr) : Json(standin::hex64(r[1]));
        speech["variation"] = standin::hex64(r[2]);
        speech["paramsHash"] = standin::hex64(r[3]);
        speech["listener"] = standin::hex64(r[4]);
        speech["slot6"] = standin::hex64(r[5]);
        speech["slot7"] = standin::hex64(r[6]);
        speech["slot8"] = standin::hex64(r[7]);
        return Json{{"speech", speech}};
    }
    default:
        return standin::hex64(arg.raw);
    }
}

} // namespace

std::string traceLine(const standin::Event& event) {
    Json line;
    line["frame"] = event.frame;
    line["time"] = event.time;
    if (event.kind == standin::Event::Kind::Host) {
        line["host"] = event.host;
        for (const auto& [name, value] : event.values) {
            line[name] = value;
        }
        return line.dump();
    }
    const standin::NativeInfo& info = *event.native;
    line["native"] = info.label;
    line["hash"] = standin::hex64(info.hash);
    Json args = Json::array();
    for (std::size_t k = 0; k < event.args.size(); ++k) {
        args.push_back(argument(info.slots[k], event.args[k]));
    }
    line["args"] = args;
    switch (info.result) {
    case standin::ResultKind::None:
        break;
    case standin::ResultKind::Vector3:
        line["result"] =
            Json::array({standin::slotFloat(event.result[0]), standin::slotFloat(event.result[1]),
                         standin::slotFloat(event.result[2])});
        break;
    default:
        line["result"] = standin::hex64(event.result[0]);
        break;
    }
    return line.dump();
}

} // namespace sim
