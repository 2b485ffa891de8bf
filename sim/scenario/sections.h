// The sections of a scenario file, each read into the scenario being built:
// the world, the events and the expectations. They share the typed reading
// and the peds named so far.
#pragma once

#include <yaml-cpp/yaml.h>

#include <string>

#include "sim/scenario/ped_roster.h"
#include "sim/scenario/scenario.h"
#include "sim/scenario/yaml_reader.h"

namespace sim {

struct ScenarioDraft {
    explicit ScenarioDraft(const std::string& file) : yaml(file), peds(yaml) { scenario.file = file; }
    ScenarioDraft(const ScenarioDraft&) = delete;
    ScenarioDraft& operator=(const ScenarioDraft&) = delete;

    // A name that only the module's tables give a meaning, for the checks
    // once the file is read.
    void note(NameAt::Kind kind, const YAML::Node& node) {
        scenario.namesGiven.push_back(yaml.nameAt(kind, node));
    }

    YamlReader yaml;
    PedRoster peds;
    Scenario scenario;
};

// `world:` the player, the peds (and the handles of both), camp scripts,
// script threads, completed missions and grazing points.
void readWorld(ScenarioDraft& draft, const YAML::Node& node);
// `events:` in time order, within the duration, each naming only peds there.
void readEvents(ScenarioDraft& draft, const YAML::Node& node);
// `expect:` what the module is expected to do, each naming one thing.
void readExpectations(ScenarioDraft& draft, const YAML::Node& node);

} // namespace sim
