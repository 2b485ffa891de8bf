#include "sim/scenario/ped_roster.h"

namespace sim {

PedSpec PedRoster::read(const YAML::Node& node, const std::string& context, std::vector<NameAt>& namesGiven) {
    auto f = yaml_.fields(
        node, context, {"name", "handle", "model", "position", "male", "group", "still", "fleeing", "stuck"});
    PedSpec p;
    p.where = yaml_.where(node);
    if (!f.count("name"))
        yaml_.fail(node, context + " needs a name");
    p.name = yaml_.text(f["name"], "the ped's name");
    if (p.name == "player")
        yaml_.fail(f["name"], "'player' names the player; choose another name");
    if (names_.count(p.name))
        yaml_.fail(f["name"], "a ped named '" + p.name + "' exists already");
    if (f.count("handle"))
        p.handle = static_cast<std::int32_t>(yaml_.integer(f["handle"], "handle", 1, 0x7FFFFFFF));
    if (f.count("model")) {
        p.model = yaml_.text(f["model"], "model");
        namesGiven.push_back(yaml_.nameAt(NameAt::Kind::Model, f["model"]));
    }
    yaml_.optional(f, {{"position", &p.position},
                       {"male", &p.male},
                       {"group", &p.group},
                       {"still", &p.still},
                       {"fleeing", &p.fleeing},
                       {"stuck", &p.stuck}});
    names_.insert(p.name);
    return p;
}

void PedRoster::known(const YAML::Node& node, const std::string& name) const {
    if (!names_.count(name))
        yaml_.fail(node, "unknown ped '" + name + "'");
}

void PedRoster::present(const YAML::Node& node, const std::string& name, const std::string& deed) const {
    known(node, name);
    if (gone_.count(name))
        yaml_.fail(node, name + " left the world " + gone_.at(name) + ": it cannot be " + deed);
}

void PedRoster::takeHandles(std::int32_t player, std::vector<PedSpec>& peds) {
    used_ = {player};
    for (const PedSpec& p : peds) {
        if (p.handle != 0 && !used_.insert(p.handle).second)
            yaml_.fail(p.where, "handle " + std::to_string(p.handle) + " is taken");
    }
    for (PedSpec& p : peds)
        assign(p);
}

void PedRoster::takeHandle(const YAML::Node& node, PedSpec& ped) {
    if (ped.handle != 0 && !used_.insert(ped.handle).second) {
        auto holder = holders_.find(ped.handle);
        if (holder == holders_.end())
            yaml_.fail(node, "handle " + std::to_string(ped.handle) + " is taken");
        if (!gone_.count(holder->second))
            yaml_.fail(node, "handle " + std::to_string(ped.handle) + " is taken by " + holder->second +
                                 ", which is still in the world (a handle is free again once its ped has "
                                 "left)");
    }
    assign(ped);
}

void PedRoster::assign(PedSpec& ped) {
    if (ped.handle == 0) {
        while (used_.count(nextHandle_))
            ++nextHandle_;
        ped.handle = nextHandle_;
        used_.insert(nextHandle_);
    }
    holders_[ped.handle] = ped.name;
}

} // namespace sim
