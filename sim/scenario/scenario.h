// A scenario: a small world, what the player does in it over time, and what
// the module is expected to do. Read from a YAML file (scenario_file.h).
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "standin/game.h"

namespace sim {

// A bad scenario file: "FILE:LINE:COLUMN: what is wrong".
struct ScenarioError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Where {
    int line = 0; // 1-based
    int column = 0;
};

struct PedSpec {
    std::string name;
    std::int32_t handle = 0;
    std::string model;
    standin::Vec3 position;
    bool male = true;
    std::string group; // relationship group name
    bool still = true;
    bool fleeing = false;
    bool stuck = false;
    Where where;
};

// An optional field of a ped change.
template <typename T> using Maybe = std::optional<T>;

struct PedChange {
    Maybe<standin::Vec3> position;
    Maybe<bool> still;
    Maybe<bool> fleeing;
    Maybe<bool> stuck;
    Maybe<bool> male;
    Maybe<std::string> group;
};

enum class Action {
    Target,          // text: ped name, empty = stop aiming
    Prompt,          // text: follow | stay | spur | send_home
    Mount,           // text: ped name, empty = dismount
    Whistle,         //
    MovePlayer,      // position
    Camp,            // text: camp script name, empty = stop every camp script
    CompleteMission, // text: mission id
    SetPed,          // text: ped name; change
    AddPed,          // ped
    RemovePed,       // text: ped name
    Key,             // key fields
    StartThread,     // text: script name
    GameReload,      // the host drops the script and starts the script main again
    ModuleReload,    // developer mode: DllMain detach, unload, load, DllMain attach
};

struct ScenarioEvent {
    std::uint32_t at = 0; // ms from the start
    Action action = Action::Whistle;
    std::string text;
    standin::Vec3 position;
    PedChange change;
    PedSpec ped;
    std::uint32_t keyCode = 0;
    bool keyReleased = false;
    bool keyAlt = false;
    bool keyWasDown = false;
    Where where;
};

enum class ExpectKind {
    // Things that happen, counted.
    Said,       // text: speech line
    Wait,       // number: ms
    Teleported, // text: ped
    Configured, // text: ped (prepared as a gang horse)
    GangMember, // text: ped (given the gang member call)
    Terminated, // text: script name of a thread stopped
    Native,     // text: label; args
    // States, checked at the end of every frame.
    Blip,         // text: ped carrying a "Gang Horse" blip
    Grazing,      // text: ped
    Following,    // text: ped in the player's group
    PromptsShown, // text: ped whose prompts are shown
    Near,         // text: ped; position; within
};

struct ArgMatch {
    enum class Kind { Any, Number, Text } kind = Kind::Any;
    double number = 0;
    std::string text;
};

struct Expectation {
    ExpectKind kind = ExpectKind::Said;
    std::string text;
    double number = 0;
    std::vector<ArgMatch> args;
    standin::Vec3 position;
    float within = 1.0f;
    std::uint32_t after = 0;
    std::optional<std::uint32_t> by;
    bool never = false;
    std::optional<int> times;
    std::string source; // the expectation as written, for messages
    Where where;
};

// A name that only the module's tables give a meaning, where the file gives it.
struct NameAt {
    enum class Kind { Model, CampScript, Mission } kind;
    std::string name;
    Where where;
};

struct Scenario {
    std::string file;
    std::string name;
    Where nameWhere;
    bool hasWorld = false;
    std::vector<NameAt> namesGiven;    // models, camp scripts and missions, in file order
    std::vector<std::string> warnings; // "FILE:LINE:COLUMN: warning: ..."
    std::uint32_t duration = 0;        // ms
    int fps = 30;
    std::uint32_t startTime = 0; // game timer at the start
    // The settings file: absent = the shipped one, null = none, else its text.
    enum class Settings { Shipped, None, Text } settings = Settings::Shipped;
    std::string settingsText;
    std::int32_t playerHandle = 100;
    standin::Vec3 playerPosition;
    bool playerMale = true;
    std::string playerMount;
    std::vector<std::string> campScripts;
    std::vector<std::string> scriptThreads;
    std::vector<std::string> missionsCompleted;
    std::vector<standin::Vec3> grazingPoints;
    std::vector<PedSpec> peds;
    std::vector<ScenarioEvent> events;
    std::vector<Expectation> expectations;
};

} // namespace sim
