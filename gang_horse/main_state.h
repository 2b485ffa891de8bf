// The state of the script main loop: set-up tables, what is kept from pass to
// pass, and what is measured at the top of every pass.
#pragma once

#include <cstdint>

#include "host/native_call.h"
#include "settings/settings.h"

constexpr int gangHorseModelCount = 14;

// The argument record of the ambient speech native: eight 8-byte slots.
// 32-bit values sit in the low half of their slot; the high half stays zero.
struct SpeechParams {
    const char* speechLine;
    const char* voiceName;
    std::uint64_t variation;
    std::uint64_t paramsHash;
    std::uint64_t listener;
    std::uint64_t slot6;
    std::uint64_t slot7;
    std::uint64_t slot8;
};
static_assert(sizeof(SpeechParams) == 64, "the speech record is eight 8-byte slots");

struct Position {
    float x;
    float y;
    float z;
};

struct MainState {
    // Set-up tables: name hashes asked of the game once.
    Hash gangHorseModels[gangHorseModelCount + 1]; // the fourteen gang horse models, then 0
    Hash campScripts[5];
    Hash missionIds[6];
    // The texts read from Velkor.dat, kept outside the script's frame
    // (prompt_texts.cpp).
    const PromptTexts* promptTexts;
    // A name's hash never changes: these are asked once, at set-up.
    Hash gangMembersGroup; // REL_GANG_DUTCHS
    Hash gangHorsesGroup;  // REL_GANG_DUTCHS_HORSES
    Hash playerAllyGroup;  // REL_PLAYER_ALLY
    // A quick first test for the model scans: bit (hash & 63) is set for
    // every gang horse model, so most other models are ruled out at once.
    std::uint64_t gangHorseModelBits;

    // Kept from pass to pass.
    bool campScriptSeen;
    bool campKnown; // a story rule has chosen a camp position since load
    Position campPos;
    Ped borrowedHorse;
    Entity targetEntity;
    Blip horseBlip;
    bool blipShown;
    bool following;
    bool followGrouped;
    bool sentHome;
    std::int32_t lastRemarkTime; // game timer at the latest remark; 0 = none yet
    SpeechParams speech;

    // Measured at the top of every pass, for the borrowed horse as it stood
    // then; not refreshed within the pass.
    bool campActive;
    bool horseAtCamp;
    std::int32_t grazingPoint;
    Ped playerMount;
    Vector3 playerPos;
    Vector3 horsePos;
    std::int32_t horsePromptGroup;
    float playerHorseDistance;
    float campHorseDistance;
};
