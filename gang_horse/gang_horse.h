// The script main function and the phases of its loop.
#pragma once

#include "gang_horse/main_state.h"

// One flag per row of the owner remarks: the row's remark has been made.
extern bool remarkDone[gangHorseModelCount];

// Registered with the host; runs the set-up, then one pass per frame. Never
// returns.
void scriptMain();

// The set-up before the loop: name hashes, settings, prompts, mission ids.
void setUpMainState(MainState& state);

// Keeps the prompt texts for as long as the module is loaded, in place of
// those of an earlier start of the script main; returns them where they are
// kept. Released by DllMain's detach.
const PromptTexts& keepPromptTexts(PromptTexts&& texts);
void releasePromptTexts();

// One pass of the loop, without the closing zero wait.
void runPass(MainState& state);

// True when the model is one of the fourteen gang horse models. The 0 that
// ends the table never matches.
bool isGangHorseModel(const MainState& state, Hash model);

void prepareCampHorses(MainState& state);
void configureGangHorse(const MainState& state, Ped ped);
void playOwnerRemarks(MainState& state);
void sayPlayerLine(MainState& state, const char* line);
void runBorrowedHorsePhase(MainState& state);
void runPromptCommands(MainState& state);
void runFollowControl(MainState& state);
