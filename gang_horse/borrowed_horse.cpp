#include "gang_horse/gang_horse.h"
#include "host/natives.h"
#include "prompts/prompts.h"

namespace {

void detectBorrowedHorse(MainState& s, std::int32_t player) {
    if (!getPlayerTargetEntity(player, &s.targetEntity)) {
        return;
    }
    if (!isGangHorseModel(s, getEntityModel(s.targetEntity))) {
        return;
    }
    // A newly borrowed horse starts with no orders: none of the previous
    // horse's (sent home, following, its blip) carry over, and none given
    // while there was no horse. The previous horse is let go: out of the
    // player's group, its blip removed.
    if (s.targetEntity != s.borrowedHorse) {
        if (s.borrowedHorse != 0) {
            removePedFromGroup(s.borrowedHorse);
            if (s.blipShown) {
                removeBlip(&s.horseBlip);
            }
        }
        s.sentHome = false;
        s.following = false;
        s.followGrouped = false;
        s.blipShown = false;
    }
    s.borrowedHorse = s.targetEntity;
}

void showPrompts(const MainState& s, std::int32_t player) {
    Prompt* const prompts[4] = {&promptFollow, &promptStay, &promptSpur, &promptSendHome};
    const bool targeted = isPlayerTargettingEntity(player, s.borrowedHorse);
    if (targeted && !s.campActive) {
        for (Prompt* prompt : prompts) {
            promptSetGroup(*prompt, s.horsePromptGroup);
        }
        for (Prompt* prompt : prompts) {
            promptSetEnabled(*prompt, true);
            promptSetVisible(*prompt, true);
        }
    } else {
        for (Prompt* prompt : prompts) {
            promptSetEnabled(*prompt, false);
            promptSetVisible(*prompt, false);
        }
    }
}

void forgetHorse(MainState& s) {
    s.sentHome = false;
    s.borrowedHorse = 0;
    removeBlip(&s.horseBlip);
    s.blipShown = false;
}

void putAtCamp(const MainState& s) {
    setEntityCoords(s.borrowedHorse, s.campPos.x, s.campPos.y, s.campPos.z);
}

// Carries a horse's return home on. Returns false when the horse has been
// forgotten, which ends the phase for this pass.
bool handleSentHome(MainState& s) {
    const Ped horse = s.borrowedHorse;
    // A horse the game deleted on its way (or whose handle now names something
    // else) would never arrive: forget it rather than wait on it forever.
    if (!isGangHorseModel(s, getEntityModel(horse))) {
        forgetHorse(s);
        return false;
    }
    if (s.horseAtCamp && !isPedUsingAnyScenario(horse)) {
        if (!native0CC36D41(s.grazingPoint)) {
            nativeEEE48293(s.grazingPoint);
            taskUseScenarioPoint(horse, s.grazingPoint);
        }
        if (s.grazingPoint == 0 || !native9C54041B(horse, s.grazingPoint)) {
            scriptWait(5000);
            taskStartScenarioInPlaceHash(horse, getHashKey("WORLD_ANIMAL_HORSE_GRAZING_CAMP"));
        }
        forgetHorse(s);
        return false;
    }
    if (s.campHorseDistance > 500.0f) {
        scriptWait(10000);
        putAtCamp(s);
    }
    if (isPedStill(horse)) {
        scriptWait(10000);
        if (isPedStill(horse)) {
            putAtCamp(s);
        }
        if (s.horseAtCamp && !isPedUsingAnyScenario(horse)) {
            s.sentHome = false;
        }
    }
    return true;
}

void addBlip(MainState& s) {
    if (s.blipShown || getMount(playerPedId()) == s.borrowedHorse || s.sentHome || s.campActive) {
        return;
    }
    s.horseBlip = blipAddForEntity(getHashKey("BLIP_STYLE_TEMPORARY_HORSE"), s.borrowedHorse);
    setBlipName(s.horseBlip, "Gang Horse");
    s.blipShown = true;
}

void removeBlipWhileRidden(MainState& s) {
    if (getMount(playerPedId()) == s.borrowedHorse) {
        removeBlip(&s.horseBlip);
        s.blipShown = false;
    }
}

} // namespace

void runBorrowedHorsePhase(MainState& s) {
    const std::int32_t player = playerId();
    detectBorrowedHorse(s, player);
    if (s.borrowedHorse == 0) {
        return;
    }
    showPrompts(s, player);
    // Riding the horse home (or anywhere) is the player taking it back: its
    // return ends, and it is not brought to camp from under the player.
    if (s.sentHome && s.playerMount == s.borrowedHorse) {
        s.sentHome = false;
    }
    if (s.sentHome && !handleSentHome(s)) {
        return;
    }
    runPromptCommands(s);
    addBlip(s);
    runFollowControl(s);
    removeBlipWhileRidden(s);
}
