#include "sim/scenario/sections.h"

namespace sim {

namespace {

void noteAll(ScenarioDraft& d, NameAt::Kind kind, const YAML::Node& list) {
    for (const auto& item : list)
        d.note(kind, item);
}

} // namespace

void readWorld(ScenarioDraft& d, const YAML::Node& node) {
    const YamlReader& r = d.yaml;
    Scenario& s = d.scenario;
    auto f = r.fields(
        node, "world",
        {"player", "camp_scripts", "script_threads", "missions_completed", "grazing_points", "peds"});
    if (f.count("peds")) {
        if (!f["peds"].IsSequence())
            r.fail(f["peds"], "peds must be a list");
        for (const auto& item : f["peds"])
            s.peds.push_back(d.peds.read(item, "a ped", s.namesGiven));
    }
    if (f.count("player")) {
        auto p = r.fields(f["player"], "player", {"handle", "position", "male", "mount"});
        if (p.count("handle"))
            s.playerHandle = static_cast<std::int32_t>(r.integer(p["handle"], "handle", 1, 0x7FFFFFFF));
        r.optional(p, {{"position", &s.playerPosition}, {"male", &s.playerMale}});
        if (p.count("mount")) {
            s.playerMount = r.textOrNull(p["mount"], "mount");
            if (!s.playerMount.empty())
                d.peds.known(p["mount"], s.playerMount);
        }
    }
    if (f.count("camp_scripts")) {
        s.campScripts = r.names(f["camp_scripts"], "camp_scripts");
        noteAll(d, NameAt::Kind::CampScript, f["camp_scripts"]);
    }
    if (f.count("script_threads"))
        s.scriptThreads = r.names(f["script_threads"], "script_threads");
    if (f.count("missions_completed")) {
        s.missionsCompleted = r.names(f["missions_completed"], "missions_completed");
        noteAll(d, NameAt::Kind::Mission, f["missions_completed"]);
    }
    if (f.count("grazing_points")) {
        if (!f["grazing_points"].IsSequence())
            r.fail(f["grazing_points"], "grazing_points must be a list");
        for (const auto& item : f["grazing_points"]) {
            auto g = r.fields(item, "a grazing point", {"position"});
            if (!g.count("position"))
                r.fail(item, "a grazing point needs a position");
            s.grazingPoints.push_back(r.position(g["position"], "position"));
        }
    }
    d.peds.takeHandles(s.playerHandle, s.peds);
}

} // namespace sim
