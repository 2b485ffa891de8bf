#include "gang_horse/gang_horse.h"
#include "host/natives.h"
#include "prompts/prompts.h"

namespace {

// Lines with a male and a female form follow the horse's sex.
void sayForHorse(MainState& s, const char* male, const char* female) {
    const bool isMale = isPedMale(s.borrowedHorse);
    sayPlayerLine(s, isMale ? male : female);
}

} // namespace

void runPromptCommands(MainState& s) {
    const Ped horse = s.borrowedHorse;
    if (promptHasStandardModeCompleted(promptFollow)) {
        sayForHorse(s, "HORSE_FOLLOW_ME_MALE", "HORSE_FOLLOW_ME_FEMALE");
        s.following = true;
    }
    if (promptHasStandardModeCompleted(promptSpur)) {
        sayPlayerLine(s, "SPURS_HORSE");
        scriptWait(1000);
        taskSmartFleePed(horse, playerPedId());
    }
    if (promptHasStandardModeCompleted(promptStay)) {
        sayForHorse(s, "HORSE_STAY_HERE_MALE", "HORSE_STAY_HERE_FEMALE");
        clearPedTasks(horse);
        s.following = false;
        s.followGrouped = false;
        // Told to stay, a horse on its way home stays: it is not brought to
        // camp for standing still where it was told to.
        s.sentHome = false;
    }
    // Until a camp position is known there is no home to send the horse to:
    // the world's origin would lose it.
    if (promptHasStandardModeCompleted(promptSendHome) && s.campKnown) {
        s.sentHome = true;
        sayForHorse(s, "HORSE_RUN_AWAY_MALE", "HORSE_RUN_AWAY_FEMALE");
        scriptWait(1000);
        taskFollowNavMeshToCoord(horse, s.campPos.x, s.campPos.y, s.campPos.z);
        s.following = false;
    }
}

void runFollowControl(MainState& s) {
    const Ped horse = s.borrowedHorse;
    if (isControlJustReleased(getHashKey("INPUT_WHISTLE")) && !s.sentHome && !s.campActive) {
        s.following = true;
    }
    if (s.following && s.playerHorseDistance > 3.0f && !s.sentHome) {
        if (!s.followGrouped) {
            clearPedTasks(horse);
            s.followGrouped = true;
        }
        const std::int32_t group = getPedGroupIndex(playerPedId());
        setPedAsGroupMember(horse, group);
    } else {
        removePedFromGroup(horse);
    }
    if (getMount(playerPedId()) == horse) {
        s.following = false;
        s.followGrouped = false;
    } else if (isPedFleeing(horse)) {
        s.following = false;
        s.followGrouped = false;
    }
}
