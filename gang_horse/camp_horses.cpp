#include "gang_horse/gang_horse.h"
#include "host/natives.h"

namespace {
constexpr int worldPedCapacity = 1024;
}

void configureGangHorse(const MainState& s, Ped ped) {
    const Ped borrowedHorse = s.borrowedHorse;
    native5B9813EC();
    native67F7CEAC(ped);
    nativeE2487779(ped);
    nativeBA881821(ped, 0);
    nativeBA881821(ped, 6);
    removeRelationshipGroup(s.gangHorsesGroup);
    setPedRelationshipGroupHash(ped, s.playerAllyGroup);
    setPedRelationshipGroupDefaultHash(ped, s.playerAllyGroup);
    nativeA6989999(ped);
    // The horse the player commands gets these once for every gang horse
    // found, and with the handle 0 while none is borrowed.
    native2EB75FB8(borrowedHorse);
    setPedConfigFlag(borrowedHorse, 600, true);
    setPedConfigFlag(borrowedHorse, 565, true);
    setAttributePoints(borrowedHorse, 7, 2000);
}

void prepareCampHorses(MainState& s) {
    // Zeroed first: a host that reports more peds than it wrote leaves the
    // handle 0 in the rest, never stale stack values.
    int worldPeds[worldPedCapacity] = {};
    int count = worldGetAllPeds(worldPeds, worldPedCapacity);
    if (count <= 0) {
        return;
    }
    if (count > worldPedCapacity) {
        count = worldPedCapacity; // never read past the buffer, whatever the host says
    }
    for (int i = 0; i < count; ++i) {
        const Ped ped = worldPeds[i];
        if (getPedRelationshipGroupHash(ped) == s.gangMembersGroup) {
            nativeA5C38736(ped);
        }
        if (isGangHorseModel(s, getEntityModel(ped))) {
            configureGangHorse(s, ped);
        }
    }
}
