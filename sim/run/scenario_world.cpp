#include "sim/run/scenario_world.h"

#include <stdexcept>
#include <vector>

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

// A ped change in words: "stands still", "is moved to (x, y, z)", ...
std::string changeWords(const PedChange& c, bool ridden) {
    std::vector<std::string> parts;
    if (c.position)
        parts.push_back("is moved to " + position(c.position->x, c.position->y, c.position->z) +
                        (ridden ? " with the player on it" : ""));
    if (c.still)
        parts.push_back(*c.still ? "stands still" : "no longer stands still");
    if (c.fleeing)
        parts.push_back(*c.fleeing ? "flees" : "does not flee");
    if (c.stuck)
        parts.push_back(*c.stuck ? "is held: nothing but changes moves it"
                                 : "is not held: the world moves it again");
    else if (c.still || c.fleeing)
        parts.push_back("is held so until a change says otherwise");
    if (c.male)
        parts.push_back(*c.male ? "is male" : "is female");
    if (c.group)
        parts.push_back("is in the relationship group " + *c.group);
    std::string words;
    for (std::size_t i = 0; i < parts.size(); ++i)
        words += (i == 0 ? "" : i + 1 == parts.size() ? " and " : ", ") + parts[i];
    return words.empty() ? "is unchanged" : words;
}

} // namespace

void buildWorld(const Scenario& s, ScenarioWorld& world) {
    standin::Game& game = world.game;
    Names& names = world.names;
    std::map<std::string, std::int32_t>& handles = world.handles;
    game.playerPed = s.playerHandle;
    game.player().male = s.playerMale;
    game.player().position = s.playerPosition;
    names.peds[s.playerHandle] = "the player";
    for (const PedSpec& p : s.peds) {
        addPed(game, p);
        names.peds[p.handle] = p.name;
        handles[p.name] = p.handle;
    }
    // A ped added later is named from the time it takes its handle.
    for (const ScenarioEvent& e : s.events) {
        if (e.action == Action::AddPed)
            handles[e.ped.name] = e.ped.handle;
    }
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

standin::PedState* ScenarioWorld::ped(const std::string& name) {
    auto handle = handles.find(name);
    if (handle == handles.end())
        return nullptr;
    auto holder = names.peds.find(handle->second);
    if (holder == names.peds.end() || holder->second != name)
        return nullptr;
    return game.ped(handle->second);
}

void applyEvent(const ScenarioEvent& e, std::uint64_t now, ScenarioWorld& world, Timeline& timeline) {
    standin::Game& game = world.game;
    std::map<std::string, std::int32_t>& handles = world.handles;
    std::map<std::int32_t, std::string>& threadScripts = world.names.threads;
    standin::PedState* ped = e.text.empty() ? nullptr : world.ped(e.text);
    switch (e.action) {
    case Action::Target:
        game.target = e.text.empty() ? 0 : handles[e.text];
        timeline.say(now, e.text.empty() ? "the player stops aiming" : "the player aims at " + e.text);
        break;
    case Action::Prompt: {
        const facts::Command* command = facts::commandFor(e.text);
        if (command == nullptr)
            throw std::logic_error("no command has the prompt '" + e.text + "'");
        const standin::PromptState* prompt = game.promptFor(command->input);
        const bool done = game.completePrompt(command->input);
        const bool left = done && timeline.leftBehind(prompt->handle);
        timeline.say(now, "the player completes the " + promptWords.at(e.text) + " prompt" +
                              (!done  ? " (not shown: nothing happens)"
                               : left ? " (the one the unloaded module left: nothing happens)"
                                      : ""));
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
    case Action::SetPed: {
        const bool ridden = ped != nullptr && game.player().mount == ped->handle;
        if (ped != nullptr) {
            const PedChange& c = e.change;
            if (c.position)
                game.placePed(ped->handle, *c.position);
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
        const std::string words = changeWords(e.change, ridden);
        timeline.say(now, ped != nullptr
                              ? e.text + " " + words
                              : e.text + " is not in the world: the change (" + words + ") does nothing");
        break;
    }
    case Action::AddPed: {
        const std::int32_t handle = e.ped.handle;
        const auto before = world.names.peds.find(handle);
        std::string was;
        if (before != world.names.peds.end()) {
            was = ", with handle " + std::to_string(handle) + ", which " + before->second +
                  " held until it left";
            for (const auto& [blip, state] : game.blips) {
                if (state.entity == handle)
                    was += "; the blip \"" + state.name + "\" left on that handle now marks " + e.ped.name;
            }
        }
        addPed(game, e.ped);
        world.names.peds[handle] = e.ped.name;
        timeline.say(now, e.ped.name + " appears" + was);
        break;
    }
    case Action::RemovePed:
        if (ped != nullptr) {
            const std::int32_t handle = ped->handle;
            game.peds.erase(handle);
            if (game.target == handle)
                game.target = 0;
            if (game.player().mount == handle)
                game.player().mount = 0;
        }
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
