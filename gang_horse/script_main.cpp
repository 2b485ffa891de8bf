#include <cstring>

#include "gang_horse/gang_horse.h"
#include "host/natives.h"
#include "prompts/prompts.h"

namespace {

const char* const gangHorseModelNames[gangHorseModelCount] = {
    "A_C_HORSE_GANG_JAVIER", "A_C_HORSE_GANG_DUTCH",     "A_C_HORSE_GANG_BILL",  "A_C_HORSE_GANG_CHARLES",
    "A_C_HORSE_GANG_KAREN",  "A_C_HORSE_GANG_HOSEA",     "A_C_HORSE_GANG_MICAH", "A_C_HORSE_GANG_SEAN",
    "A_C_HORSE_GANG_KIERAN", "A_C_HORSE_GANG_LENNY",     "A_C_HORSE_GANG_SADIE", "A_C_HORSE_GANG_JOHN",
    "A_C_HORSE_GANG_UNCLE",  "A_C_HORSE_GANG_TRELAWNEY",
};

const char* const campScriptNames[5] = {
    "camp_horseshoeoverlook", "camp_clemenspoint", "camp_beaverhollow", "camp_lakay", "camp_shadybelle",
};

enum Mission { MUD1, MUD4, RDTC2, RDCH3, NBD1, FIN1 };
const char* const missionNames[6] = {"MUD1", "MUD4", "RDTC2", "RDCH3", "NBD1", "FIN1"};

// Where the camp stands for the story so far: a rule holds when its first
// mission is completed and its second is not. Positions as exact bit patterns.
struct CampRule {
    Mission done;
    Mission notDone;
    std::uint32_t x, y, z;
};
const CampRule campRules[4] = {
    {MUD1, MUD4, 0xC2E7A148, 0xBF010625, 0x42BE970A},  // Horseshoe Overlook
    {MUD4, RDTC2, 0x442D026F, 0xC49ABA5E, 0x42313D71}, // Clemens Point
    {RDTC2, NBD1, 0x44E7CFCF, 0xC4E67473, 0x42297EFA}, // Shady Belle
    {RDCH3, FIN1, 0x4514679A, 0x44A75FA6, 0x42D55810}, // Beaver Hollow
};

float floatFromBits(std::uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Companion brain threads fight the camp's own handling of the horses: stop
// every one of them while a camp script runs.
void terminateCompanionBrains() {
    scriptThreadIteratorReset();
    std::int32_t thread = scriptThreadIteratorNext();
    while (thread > 0) {
        const Hash scriptHash = getHashOfThread(thread);
        const Hash brain = getHashKey("DEF_COMP_BRAIN");
        if (scriptHash == brain) {
            terminateThread(thread);
            setScriptAsNoLongerNeeded(scriptHash);
        }
        thread = scriptThreadIteratorNext();
    }
}

void detectCamp(MainState& s) {
    for (Hash script : s.campScripts) {
        if (countScriptInstances(script) > 0) {
            s.campActive = true;
            break;
        }
    }
    if (!s.campActive) {
        return;
    }
    if (!s.campScriptSeen) {
        scriptWait(10000); // let a freshly started camp settle, once per load
        s.campScriptSeen = true;
    }
    terminateCompanionBrains();
}

void locateCamp(MainState& s) {
    for (const CampRule& rule : campRules) {
        if (!isMissionCompleted(s.missionIds[rule.done])) {
            continue;
        }
        if (!isMissionCompleted(s.missionIds[rule.notDone])) {
            s.campPos = Position{floatFromBits(rule.x), floatFromBits(rule.y), floatFromBits(rule.z)};
            s.campKnown = true;
        }
    }
}

void measure(MainState& s) {
    const Position& camp = s.campPos;
    s.horseAtCamp = isEntityAtCoord(s.borrowedHorse, camp.x, camp.y, camp.z);
    const Hash grazing = getHashKey("WORLD_ANIMAL_HORSE_GRAZING_CAMP");
    s.grazingPoint = findScenarioOfTypeHash(camp.x, camp.y, camp.z, grazing);
    s.playerMount = getMount(playerPedId());
    s.playerPos = getEntityCoords(playerPedId());
    s.horsePos = getEntityCoords(s.borrowedHorse);
    s.horsePromptGroup = promptGroupForEntity(s.borrowedHorse);
    const Vector3& p = s.playerPos;
    const Vector3& h = s.horsePos;
    s.playerHorseDistance = getDistanceBetweenCoords(p.x, p.y, p.z, h.x, h.y, h.z);
    s.campHorseDistance = getDistanceBetweenCoords(camp.x, camp.y, camp.z, h.x, h.y, h.z);
}

// The owner remarks come again once fifteen minutes have passed without any.
void resetRemarks(const MainState& s) {
    bool clear = s.lastRemarkTime == 0;
    if (!clear) {
        const std::uint32_t now = static_cast<std::uint32_t>(getGameTimer());
        const auto elapsed = static_cast<std::int32_t>(now - static_cast<std::uint32_t>(s.lastRemarkTime));
        clear = elapsed > 900000;
    }
    if (clear) {
        for (bool& done : remarkDone) {
            done = false;
        }
    }
}

} // namespace

bool isGangHorseModel(const MainState& s, Hash model) {
    if ((s.gangHorseModelBits & (std::uint64_t{1} << (model & 63))) == 0) {
        return false;
    }
    // Every model entry is compared, even one the game hashed to 0; only the
    // table's final entry, the terminating 0, is never compared.
    for (int i = 0; i < gangHorseModelCount; ++i) {
        if (s.gangHorseModels[i] == model) {
            return true;
        }
    }
    return false;
}

void setUpMainState(MainState& s) {
    for (int i = 0; i < gangHorseModelCount; ++i) {
        s.gangHorseModels[i] = getHashKey(gangHorseModelNames[i]);
    }
    s.gangHorseModels[gangHorseModelCount] = 0;
    for (int i = 0; i < 5; ++i) {
        s.campScripts[i] = getHashKey(campScriptNames[i]);
    }
    s.promptTexts = &keepPromptTexts(readSettings());
    createCommandPrompts(*s.promptTexts);
    for (int i = 0; i < 6; ++i) {
        s.missionIds[i] = getHashKey(missionNames[i]);
    }
    s.gangMembersGroup = getHashKey("REL_GANG_DUTCHS");
    s.gangHorsesGroup = getHashKey("REL_GANG_DUTCHS_HORSES");
    s.playerAllyGroup = getHashKey("REL_PLAYER_ALLY");
    for (int i = 0; i < gangHorseModelCount; ++i) {
        s.gangHorseModelBits |= std::uint64_t{1} << (s.gangHorseModels[i] & 63);
    }
}

void runPass(MainState& s) {
    s.campActive = false;
    detectCamp(s);
    locateCamp(s);
    measure(s);
    if (s.campActive) {
        prepareCampHorses(s);
        playOwnerRemarks(s);
    }
    runBorrowedHorsePhase(s);
    resetRemarks(s);
}

void scriptMain() {
    MainState state{};
    setUpMainState(state);
    for (;;) {
        runPass(state);
        scriptWait(0);
    }
}
