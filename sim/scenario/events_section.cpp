#include <set>

#include "sim/scenario/sections.h"
#include "standin/format.h"

namespace sim {

namespace {

const std::set<std::string> promptNames = {"follow", "stay", "spur", "send_home"};

// `ped: NAME, set: {...}`: the fields that change, each optional.
void readPedChange(ScenarioDraft& d, std::map<std::string, YAML::Node>& f, ScenarioEvent& e) {
    const YamlReader& r = d.yaml;
    e.action = Action::SetPed;
    e.text = r.text(f["ped"], "ped");
    d.peds.known(f["ped"], e.text);
    PedChange& c = e.change;
    r.optional(r.fields(f["set"], "set", {"position", "still", "fleeing", "stuck", "male", "group"}),
               {{"position", &c.position},
                {"still", &c.still},
                {"fleeing", &c.fleeing},
                {"stuck", &c.stuck},
                {"male", &c.male},
                {"group", &c.group}});
}

// Any other event: its one action and the value it takes.
void readAction(ScenarioDraft& d, const std::string& action, const YAML::Node& value, ScenarioEvent& e) {
    const YamlReader& r = d.yaml;
    if (action == "target" || action == "mount") {
        e.action = action == "target" ? Action::Target : Action::Mount;
        e.text = r.textOrNull(value, action);
        if (!e.text.empty())
            d.peds.present(value, e.text, action == "target" ? "aimed at" : "mounted");
    } else if (action == "prompt") {
        e.action = Action::Prompt;
        e.text = r.text(value, "prompt");
        if (!promptNames.count(e.text))
            r.fail(value, "unknown prompt '" + e.text + "' (follow, stay, spur or send_home)");
    } else if (action == "whistle" || action == "game_reload" || action == "module_reload") {
        // An event that happens: its key takes only true.
        e.action = action == "whistle"       ? Action::Whistle
                   : action == "game_reload" ? Action::GameReload
                                             : Action::ModuleReload;
        if (YamlReader::trueOrFalse(value) != true)
            r.fail(value, action + " takes only true (the event happens); leave the event out for none");
    } else if (action == "move_player") {
        e.action = Action::MovePlayer;
        e.position = r.position(value, "move_player");
    } else if (action == "camp") {
        e.action = Action::Camp;
        e.text = r.textOrNull(value, "camp");
        if (!e.text.empty())
            d.note(NameAt::Kind::CampScript, value);
    } else if (action == "complete_mission") {
        e.action = Action::CompleteMission;
        e.text = r.text(value, "complete_mission");
        d.note(NameAt::Kind::Mission, value);
    } else if (action == "start_thread") {
        e.action = Action::StartThread;
        e.text = r.text(value, "start_thread");
    } else if (action == "add_ped") {
        e.action = Action::AddPed;
        e.ped = d.peds.read(value, "add_ped", d.scenario.namesGiven);
        d.peds.takeHandle(value, e.ped);
    } else if (action == "remove_ped") {
        e.action = Action::RemovePed;
        e.text = r.text(value, "remove_ped");
        d.peds.present(value, e.text, "removed again");
        d.peds.leaves(e.text,
                      "at " + standin::clockText(e.at) + " (line " + std::to_string(e.where.line) + ")");
    } else if (action == "key") {
        e.action = Action::Key;
        auto k = r.fields(value, "key", {"code", "released", "alt", "was_down"});
        if (!k.count("code"))
            r.fail(value, "a key needs its code");
        e.keyCode = static_cast<std::uint32_t>(r.integer(k["code"], "code", 0, 0xFFFFFFFFll));
        r.optional(k, {{"released", &e.keyReleased}, {"alt", &e.keyAlt}, {"was_down", &e.keyWasDown}});
    }
}

} // namespace

void readEvents(ScenarioDraft& d, const YAML::Node& node) {
    const YamlReader& r = d.yaml;
    if (!node.IsSequence())
        r.fail(node, "events must be a list");
    std::uint32_t last = 0;
    for (const auto& item : node) {
        auto f = r.fields(item, "an event",
                          {"at", "target", "prompt", "mount", "whistle", "move_player", "camp",
                           "complete_mission", "ped", "set", "add_ped", "remove_ped", "key", "start_thread",
                           "game_reload", "module_reload"});
        if (!f.count("at"))
            r.fail(item, "an event needs 'at', its time");
        ScenarioEvent e;
        e.where = r.where(item);
        e.at = r.time(f["at"], "at");
        if (e.at < last)
            r.fail(f["at"], "event out of order: it comes before the event above it");
        if (e.at > d.scenario.duration)
            r.fail(f["at"], "event after the end of the scenario");
        last = e.at;
        f.erase("at");
        const bool pedSet = f.count("ped") || f.count("set");
        if (pedSet && (!f.count("ped") || !f.count("set") || f.size() != 2))
            r.fail(item, "a ped change takes exactly 'ped' and 'set'");
        if (!pedSet && f.size() != 1)
            r.fail(item, "an event takes 'at' and exactly one action");
        if (pedSet)
            readPedChange(d, f, e);
        else
            readAction(d, f.begin()->first, f.begin()->second, e);
        d.scenario.events.push_back(e);
    }
}

} // namespace sim
