#include "sim/observe/names.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "facts/module_facts.h"
#include "standin/catalogue.h"

namespace sim {

std::string position(float x, float y, float z) {
    char text[96];
    std::snprintf(text, sizeof text, "(%.2f, %.2f, %.2f)", static_cast<double>(x), static_cast<double>(y),
                  static_cast<double>(z));
    return text;
}

bool inCampBox(const standin::Vec3& at, const standin::Vec3& camp) {
    return std::fabs(at.x - camp.x) <= facts::campBox.x && std::fabs(at.y - camp.y) <= facts::campBox.y &&
           std::fabs(at.z - camp.z) <= facts::campBox.z;
}

const standin::NativeInfo* nativeLabelled(const char* label) {
    const standin::NativeInfo* info = standin::findNativeByLabel(label);
    if (info == nullptr)
        throw std::logic_error(std::string("no native labelled ") + label);
    return info;
}

std::string Names::ped(std::int32_t handle) const {
    if (handle == 0)
        return "nothing (handle 0)";
    auto it = peds.find(handle);
    return it != peds.end() ? it->second : "ped " + std::to_string(handle);
}

std::string Names::hash(std::uint32_t value) const {
    auto it = hashes.find(value);
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return it != hashes.end() ? it->second : text;
}

void Names::addHash(const std::string& name) { hashes[standin::joaat(name.c_str())] = name; }

} // namespace sim
