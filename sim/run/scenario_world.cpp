#include "sim/run/scenario_world.h"

#include <stdexcept>

#include "facts/module_facts.h"
#include "sim/run/module_lifecycle.h"

namespace sim {

namespace {

const std::map<std::string, std::string> promptWords = {
    {"follow", "follow"}, {"stay", "stay"}, {"spur", "spur-away"}, {"send_home", "send-home"}};

void addPed(standin::Game& game, const PedSpec& spec) {
    standin::PedState& p = game.addPed(spec.handle, spec.model, spec.position);
    p.name = spec.name;
    p.male = spec.male;
    p.relationshipGroup = spec.group.empty() ? 0 : standin::joaat(spec.group.c_str());
    p.defaultRelationshipGroup = p.relationshipGroup;
    p.still = spec.still;
    p.fleeing = spec.fleeing;
    p.stuck = spec.stuck;
}

} // namespace

void buildWorld(const Scenario& s, ScenarioWorld& world) {
    standin::Game& game = world.game;
    Names& names = world.names;
    game.playerPed = s.playerHandle;
    game.player().male = s.playerMale;
    game.player().position = s.playerPosition;
    names.peds[s.playerHandle] = "the player";
    for (const PedSpec& p : s.peds) {
        addPed(game, p);
        names.peds[p.handle] = p.name;
    }
    for (const ScenarioEvent& e : s.events) {
        if (e.action == Action::AddPed)
            names.peds[e.ped.handle] = e.ped.name;
    }
    std::map<std::string, std::int32_t>& handles = world.handles;
    for (const auto& [handle, name] : names.peds)
        handles[name] = handle;
    if (!s.playerMount.empty())
        game.player().mount = handles[s.playerMount];
    for (const std::string& script : s.campScripts)
        game.startScript(script);
    std::map<std::int32_t, std::string>& threadScripts = names.threads;
    for (const std::string& script : s.scriptThreads)
        threadScripts[game.addThread(script)] = script;
    for (const std::string& mission : s.missionsCompleted)
        game.completeMission(mission);
    for (const standin::Vec3& point : s.grazingPoints)
        game.addScenarioPoint(facts::grazingScenario, point);
}

void applyEvent(const ScenarioEvent& e, std::uint64_t now, ScenarioWorld& world, Timeline& timeline) {
    standin::Game& game = world.game;
    std::map<std::string, std::int32_t>& handles = world.handles;
    std::map<std::int32_t, std::string>& threadScripts = world.names.threads;
    standin::PedState* ped = nullptr;
    if (!e.text.empty() && handles.count(e.text)) {
        auto it = game.peds.find(handles[e.text]);
        ped = it == game.peds.end() ? nullptr : &it->second;
    }
    switch (e.action) {
    case Action::Target:
        game.target = e.text.empty() ? 0 : handles[e.text];
        timeline.say(now, e.text.empty() ? "the player stops aiming" : "the player aims at " + e.text);
        break;
    case Action::Prompt: {
        const facts::Command* command = facts::commandFor(e.text);
        if (command == nullptr)
            throw std::logic_error("no command has the prompt '" + e.text + "'");
        const bool done = game.completePrompt(command->input);
        timeline.say(now, "the player completes the " + promptWords.at(e.text) + " prompt" +
                              (done ? "" : " (not shown: nothing happens)"));
        break;
    }
    case Action::Mount:
        if (ped != nullptr)
            game.player().position = ped->position;
        game.player().mount = e.text.empty() ? 0 : handles[e.text];
        timeline.say(now, e.text.empty() ? "the player dismounts" : "the player mounts " + e.text);
        break;
    case Action::Whistle:
        game.releaseControl("INPUT_WHISTLE");
        timeline.say(now, "the player whistles");
        break;
    case Action::MovePlayer:
        game.player().position = e.position;
        timeline.say(now, "the player moves to " + position(e.position.x, e.position.y, e.position.z));
        break;
    case Action::Camp:
        if (e.text.empty()) {
            game.scriptInstances.clear();
            timeline.say(now, "every camp script stops");
        } else {
            game.startScript(e.text);
            timeline.say(now, "camp script " + e.text + " starts");
        }
        break;
    case Action::CompleteMission:
        game.completeMission(e.text);
        timeline.say(now, "mission " + e.text + " completed");
        break;
    case Action::StartThread:
        threadScripts[game.addThread(e.text)] = e.text;
        timeline.say(now, "script thread " + e.text + " starts");
        break;
    case Action::SetPed:
        if (ped != nullptr) {
            const PedChange& c = e.change;
            if (c.position)
                ped->position = *c.position;
            if (c.still)
                ped->still = *c.still;
            if (c.fleeing)
                ped->fleeing = *c.fleeing;
            // Setting still or fleeing holds the ped as set, unless told otherwise.
            if (c.still || c.fleeing)
                ped->stuck = true;
            if (c.stuck)
                ped->stuck = *c.stuck;
            if (c.male)
                ped->male = *c.male;
            if (c.group)
                ped->relationshipGroup = standin::joaat(c.group->c_str());
        }
        timeline.say(now, e.text + " changed" + (ped ? "" : " (not in the world: nothing happens)"));
        break;
    case Action::AddPed:
        addPed(game, e.ped);
        timeline.say(now, e.ped.name + " appears");
        break;
    case Action::RemovePed:
        game.peds.erase(handles[e.text]);
        if (game.target == handles[e.text])
            game.target = 0;
        if (game.player().mount == handles[e.text])
            game.player().mount = 0;
        timeline.say(now, e.text + " leaves the world");
        break;
    case Action::Key:
        // From the window thread, while the script goes on.
        world.host.postKey({e.keyCode, 1, 0, 0, e.keyAlt, e.keyWasDown, e.keyReleased});
        timeline.say(now, "key " + std::to_string(e.keyCode) + (e.keyReleased ? " released" : " pressed"));
        break;
    case Action::GameReload:
        reloadGame(now, world.host, timeline);
        break;
    case Action::ModuleReload:
        reloadModule(now, world.module, timeline);
        break;
    }
}

} // namespace sim
