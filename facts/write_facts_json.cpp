// Writes module_facts.h as JSON for the Python tools (the build runs it):
// usage: write_facts_json FILE
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "facts/module_facts.h"

namespace {

using Json = nlohmann::ordered_json;

// The float as the shortest decimal that reads back as the same float: the
// number as the facts write it (-115.815, not -115.81500244140625).
Json number(float value) {
    char text[32];
    for (int digits = 1; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(value));
        if (std::strtof(text, nullptr) == value)
            break;
    }
    return std::strtod(text, nullptr);
}

Json orNull(const char* text) { return text != nullptr ? Json(text) : Json(nullptr); }

Json point(float x, float y, float z) { return {number(x), number(y), number(z)}; }

Json factsJson() {
    Json j;
    for (const facts::GangHorse& horse : facts::gangHorses)
        j["gang_horses"].push_back({{"model", horse.model}, {"owner_line", orNull(horse.ownerLine)}});
    j["camp_scripts"] = facts::campScripts;
    j["missions"] = facts::missions;
    for (const facts::CampRule& r : facts::campRules)
        j["camp_rules"].push_back({{"done", r.done},
                                   {"not_done", r.notDone},
                                   {"camp", r.camp},
                                   {"position", point(r.x, r.y, r.z)}});
    j["camp_box"] = point(facts::campBox.x, facts::campBox.y, facts::campBox.z);
    j["grazing_scenario"] = facts::grazingScenario;
    j["grazing_search_radius"] = number(facts::grazingSearchRadius);
    j["gang_horse_group"] = facts::gangHorseGroup;
    j["gang_member_group"] = facts::gangMemberGroup;
    j["companion_brain_script"] = facts::companionBrainScript;
    for (const facts::Command& c : facts::commands)
        j["commands"].push_back(
            {{"prompt", c.prompt},
             {"input", c.input},
             {"lines", Json::array({c.maleLine, c.femaleLine})}, // for a male, a female horse
             {"then", c.then}});
    return j;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: write_facts_json FILE\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << factsJson().dump(2) << "\n";
    if (!out.flush()) {
        std::cerr << "write_facts_json: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
