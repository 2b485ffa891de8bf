// The peds of a scenario file, as it is read: each name given once and never
// 'player', each handle held by one ped at a time (as given, or else the next
// never-used one from 3000 on, in file order), and the peds that have left the
// world by the event being read. As in the game, a ped added later may take
// the handle of one that has left. Events and expectations may name only a
// ped the file brings in.
#pragma once

#include <yaml-cpp/yaml.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "sim/scenario/scenario.h"
#include "sim/scenario/yaml_reader.h"

namespace sim {

class PedRoster {
  public:
    explicit PedRoster(const YamlReader& yaml) : yaml_(yaml) {}

    // Reads a ped of the world or of an add_ped event (context names which);
    // its model goes to namesGiven.
    PedSpec read(const YAML::Node& node, const std::string& context, std::vector<NameAt>& namesGiven);
    // Refuses a name no ped has.
    void known(const YAML::Node& node, const std::string& name) const;
    // Refuses a name no ped has or one that has left the world: it cannot
    // be deed ("aimed at", "mounted", ...).
    void present(const YAML::Node& node, const std::string& name, const std::string& deed) const;
    // The ped leaves the world: when, in words for later messages.
    void leaves(const std::string& name, const std::string& when) { gone_[name] = when; }

    // The handles of the player and of the world's peds (none without a
    // world); a ped's handle given twice is refused where the ped is.
    void takeHandles(std::int32_t player, std::vector<PedSpec>& peds);
    // The handle of a ped an event adds, refused at node while the player or
    // a ped still in the world holds it.
    void takeHandle(const YAML::Node& node, PedSpec& ped);

  private:
    void assign(PedSpec& ped);

    const YamlReader& yaml_;
    std::set<std::string> names_;                 // every ped's, whenever it is there
    std::map<std::string, std::string> gone_;     // name -> when and where it left
    std::set<std::int32_t> used_;                 // every handle ever held
    std::map<std::int32_t, std::string> holders_; // handle -> the ped that last took it
    std::int32_t nextHandle_ = 3000;
};

} // namespace sim
