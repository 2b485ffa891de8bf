// What the module knows of the game, stated once for everything around it:
// the simulator (its reference, its reader's checks, the soak), the
// benchmarks and, through the module_facts.json the build writes from this
// file, the Python tools. The module keeps its own tables, and the module
// tests keep theirs (tests/support/gang_world.h), so that a wrong entry here cannot
// pass unseen.
#pragma once

#include <string_view>

namespace facts {

// A gang horse model, by the game's name, and the line its owner's remark
// says when the player mounts it in camp (nullptr: the owner has none). In
// the order of the module's own table, which is the order it asks for the
// models' hashes.
struct GangHorse {
    const char* model;
    const char* ownerLine;
};
inline constexpr GangHorse gangHorses[14] = {
    {"A_C_HORSE_GANG_JAVIER", "Take_Horse_Javier"},
    {"A_C_HORSE_GANG_DUTCH", "Take_Horse_Dutch"},
    {"A_C_HORSE_GANG_BILL", "Take_Horse_Bill"},
    {"A_C_HORSE_GANG_CHARLES", "Take_Horse_Charles"},
    {"A_C_HORSE_GANG_KAREN", nullptr},
    {"A_C_HORSE_GANG_HOSEA", "Take_Horse_Hosea"},
    {"A_C_HORSE_GANG_MICAH", "Take_Horse_Micah"},
    {"A_C_HORSE_GANG_SEAN", "Take_Horse_Sean"},
    {"A_C_HORSE_GANG_KIERAN", nullptr},
    {"A_C_HORSE_GANG_LENNY", "Take_Horse_Lenny"},
    {"A_C_HORSE_GANG_SADIE", "Take_Horse_Sadie"},
    {"A_C_HORSE_GANG_JOHN", "Take_Horse_John"},
    {"A_C_HORSE_GANG_UNCLE", nullptr},
    {"A_C_HORSE_GANG_TRELAWNEY", nullptr},
};

// The camp scripts: while one of them runs, the player is in camp.
inline constexpr const char* campScripts[5] = {"camp_horseshoeoverlook", "camp_clemenspoint",
                                               "camp_beaverhollow", "camp_lakay", "camp_shadybelle"};

// The missions the module asks about, in the order it asks for their hashes.
inline constexpr const char* missions[6] = {"MUD1", "MUD4", "RDTC2", "RDCH3", "NBD1", "FIN1"};

// A story rule: while the mission `done` is completed and `notDone` is not,
// the camp stands at (x, y, z). A later rule that holds wins.
struct CampRule {
    const char* done;
    const char* notDone;
    const char* camp;
    float x, y, z;
};
inline constexpr CampRule campRules[4] = {
    {"MUD1", "MUD4", "Horseshoe Overlook", -115.815f, -0.504f, 95.295f},
    {"MUD4", "RDTC2", "Clemens Point", 692.038f, -1237.824f, 44.31f},
    {"RDTC2", "NBD1", "Shady Belle", 1854.494f, -1843.639f, 42.374f},
    {"RDCH3", "FIN1", "Beaver Hollow", 2374.475f, 1338.989f, 106.672f},
};

// A horse sent home has arrived once it stands within these many metres of
// the camp's position along each axis.
struct Extent {
    float x, y, z;
};
inline constexpr Extent campBox{10, 20, 10};

// Where a horse that has arrived grazes: the nearest scenario point of this
// type within the radius (metres) of the camp's position.
inline constexpr const char* grazingScenario = "WORLD_ANIMAL_HORSE_GRAZING_CAMP";
inline constexpr float grazingSearchRadius = 200;

// The relationship groups of the gang's horses and of its members, and the
// companion brain script whose threads the module stops in camp.
inline constexpr const char* gangHorseGroup = "REL_GANG_DUTCHS_HORSES";
inline constexpr const char* gangMemberGroup = "REL_GANG_DUTCHS";
inline constexpr const char* companionBrainScript = "DEF_COMP_BRAIN";

// The four commands, in the order the module creates their prompts: the
// word a scenario's `prompt:` names it by, the prompt's input, the line the
// player says for a male and a female horse, and what the horse does then.
struct Command {
    const char* prompt;
    const char* input;
    const char* maleLine;
    const char* femaleLine;
    const char* then;
};
inline constexpr Command commands[4] = {
    {"follow", "INPUT_CONTEXT_Y", "HORSE_FOLLOW_ME_MALE", "HORSE_FOLLOW_ME_FEMALE",
     "follows the player whenever it is more than 3 m away"},
    {"stay", "INPUT_CONTEXT_X", "HORSE_STAY_HERE_MALE", "HORSE_STAY_HERE_FEMALE",
     "its tasks are cleared; it stops following and is no longer on its way home"},
    {"spur", "INPUT_CONTEXT_B", "SPURS_HORSE", "SPURS_HORSE",
     "after a 1 s pause, flees 50 m from the player"},
    {"send_home", "INPUT_SWITCH_SHOULDER", "HORSE_RUN_AWAY_MALE", "HORSE_RUN_AWAY_FEMALE",
     "after a 1 s pause, walks to the camp; nothing happens while no camp is known"},
};

// The command a scenario's `prompt:` names, nullptr for none.
inline const Command* commandFor(std::string_view prompt) {
    for (const Command& command : commands) {
        if (prompt == command.prompt)
            return &command;
    }
    return nullptr;
}

} // namespace facts
