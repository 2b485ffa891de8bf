#include "gang_horse/gang_horse.h"
#include "host/natives.h"

namespace {
constexpr int worldPedCapacity = 1024;
}

void configureGangHorse(Ped ped, Ped borrowedHorse) {
    native5B9813EC();
    native67F7CEAC(ped);
    nativeE2487779(ped);
    nativeBA881821(ped, 0);
    nativeBA881821(ped, 6);
    removeRelationshipGroup(getHashKey("REL_GANG_DUTCHS_HORSES"));
    setPedRelationshipGroupHash(ped, getHashKey("REL_PLAYER_ALLY"));
    setPedRelationshipGroupDefaultHash(ped, getHashKey("REL_PLAYER_ALLY"));
    nativeA6989999(ped);
    // The horse the player commands gets these once for every gang horse
    // found, and with the handle 0 while none is borrowed.
    native2EB75FB8(borrowedHorse);
    setPedConfigFlag(borrowedHorse, 600, true);
    setPedConfigFlag(borrowedHorse, 565, true);
    setAttributePoints(borrowedHorse, 7, 2000);
}

void prepareCampHorses(MainState& s) {
    int worldPeds[worldPedCapacity];
    int count = worldGetAllPeds(worldPeds, worldPedCapacity);
    if (count <= 0) {
        return;
    }
    if (count > worldPedCapacity) {
        count = worldPedCapacity; // never read past the buffer, whatever the host says
    }
    for (int i = 0; i < count; ++i) {
        const Ped ped = worldPeds[i];
        const Hash gang = getHashKey("REL_GANG_DUTCHS");
        const Hash group = getPedRelationshipGroupHash(ped);
        if (gang == group) {
            nativeA5C38736(ped);
        }
        for (Hash entry : s.gangHorseModels) {
            if (entry == 0) {
                break; // the end of the table, not a model
            }
            if (getEntityModel(ped) == entry) {
                configureGangHorse(ped, s.borrowedHorse);
                break;
            }
        }
    }
}
