#include <array>
#include <iterator>

#include "standin/catalogue.h"

namespace standin {

namespace {
constexpr ResultKind None = ResultKind::None;
constexpr ResultKind Int = ResultKind::Int;
constexpr ResultKind Bool = ResultKind::Bool;
constexpr ResultKind Float = ResultKind::Float;
constexpr ResultKind Pointer = ResultKind::Pointer;
constexpr ResultKind Vec3 = ResultKind::Vector3;
} // namespace

constexpr NativeInfo nativeCatalogue[] = {
    // Prompts and prompt text.
    {"promptRegisterBegin", 0x04F97DE45A519419, "", Int, ""},
    {"promptSetControlAction", 0xB5352B7494A08258, "ii", None, ""},
    {"createVarString", 0xFA925AC00EB830B9, "iss", Pointer, ""},
    {"promptSetText", 0x5DD02A8318420DD7, "iv", None, ""},
    {"promptSetStandardMode", 0xCC6656799977741B, "ii", None, ""},
    {"promptRegisterEnd", 0xF7AA2696A22AD8B9, "i", None, ""},
    {"promptSetEnabled", 0x8A0FB4D03A630D21, "ii", None, ""},
    {"promptSetVisible", 0x71215ACCFDE075EE, "ii", None, ""},
    {"promptSetPriority", 0xCA24F528D0D16289, "ii", None, ""},
    {"promptGroupForEntity", 0xB796970BD125FCE8, "i", Int, ""},
    {"promptSetGroup", 0x2F11D3A254169EA4, "iii", None, ""},
    {"promptHasStandardModeCompleted", 0xC92AC953F0A982AE, "ii", Bool, ""},
    // Names, scripts, story progress and time.
    {"getHashKey", 0xFD340785ADF8CFB7, "s", Int, ""},
    {"countScriptInstances", 0x8E34C953364A76DD, "i", Int, ""},
    {"isMissionCompleted", 0xE54DC27571D5EDC4, "i", Bool, ""},
    {"scriptThreadIteratorReset", 0x39382EB8DCD8684D, "", None, ""},
    {"scriptThreadIteratorNext", 0x3CE3FB167E837D7C, "", Int, ""},
    {"getHashOfThread", 0x724CB89D35B283D0, "i", Int, ""},
    {"terminateThread", 0x87ED52AE40EA1A52, "i", None, ""},
    {"setScriptAsNoLongerNeeded", 0x50723A1567C8361E, "i", None, ""},
    {"getGameTimer", 0x4F67E8ECA7D3F667, "", Int, ""},
    // Player, entities, positions and input.
    {"playerPedId", 0x096275889B8E0EE0, "", Int, ""},
    {"playerId", 0x217E9DC48139933D, "", Int, ""},
    {"getMount", 0xE7E11B8DCBED1058, "i", Int, ""},
    {"getEntityModel", 0xDA76A9F39210D365, "i", Int, ""},
    {"getPlayerTargetEntity", 0xAE663DDD99C8A670, "io", Bool, ""},
    {"isPlayerTargettingEntity", 0x27F89FDC16688A7A, "iii", Bool, ""},
    {"getEntityCoords", 0xA86D5F069399F44D, "iii", Vec3, ""},
    {"isEntityAtCoord", 0x5E58342602E94718, "iffffffiii", Bool, ""},
    {"setEntityCoords", 0x06843DA7060A026B, "ifffiiii", None, ""},
    {"getDistanceBetweenCoords", 0x0BE7F4E3CDBAFB28, "ffffffi", Float, ""},
    {"isPedMale", 0x6D9F5FAA7488BA46, "i", Bool, ""},
    {"isControlJustReleased", 0x50F940259D3841E6, "ii", Bool, ""},
    // Peds and horses.
    {"getPedRelationshipGroupHash", 0x7DBDD04862D95F04, "i", Int, ""},
    {"nativeA5C38736", 0xA5C38736C426FCB8, "ii", None, "SET_ENTITY_INVINCIBLE"},
    {"native5B9813EC", 0x5B9813ECF7633FE8, "i", None, "_SET_MOUNT_PROMPT_DISABLED"},
    {"native67F7CEAC", 0x67F7CEAC2391E114, "ii", None, "_SET_AI_CAN_USE_TRANSPORT"},
    {"nativeE2487779", 0xE2487779957FE897, "ii", None, "_SET_TRANSPORT_USAGE_FLAGS"},
    {"nativeBA881821", 0xBA8818212633500A, "iii", None, "SET_TRANSPORT_CONFIG_FLAG"},
    {"removeRelationshipGroup", 0xB6BA2444AB393DA2, "i", None, ""},
    {"setPedRelationshipGroupHash", 0xC80A74AC829DDD92, "ii", None, ""},
    {"setPedRelationshipGroupDefaultHash", 0xADB3F206518799E8, "ii", None, ""},
    {"nativeA6989999", 0xA69899995997A63B, "ii", None, "_SET_MOUNT_BONDING_LEVEL"},
    {"native2EB75FB8", 0x2EB75FB86C41F026, "iii", None, "_SET_PED_MOTIVATION_STATE_OVERRIDE"},
    {"setPedConfigFlag", 0x1913FE4CBF41C463, "iii", None, ""},
    {"setAttributePoints", 0x09A59688C26D88DF, "iii", None, ""},
    {"nativeDC19C288", 0xDC19C288082E586E, "iii", None, "SET_ENTITY_AS_MISSION_ENTITY"},
    {"playPedAmbientSpeech", 0x8E04FEDD28D42462, "ir", None, ""},
    // Tasks, scenarios and ped groups.
    {"clearPedTasks", 0xE1EF3C1216AFF2CD, "iii", None, ""},
    {"taskSmartFleePed", 0x22B0D0E37CCB840D, "iifiifi", None, ""},
    {"taskFollowNavMeshToCoord", 0x15D3A79D4E44B913, "iffffifif", None, ""},
    {"taskUseScenarioPoint", 0xCCDAE6324B6A821C, "iiiiiiiifi", None, ""},
    {"taskStartScenarioInPlaceHash", 0x524B54361229154F, "iiiiifi", None, ""},
    {"findScenarioOfTypeHash", 0xF533D68FF970D190, "fffifii", Int, ""},
    {"isPedUsingAnyScenario", 0x57AB4A3080F85143, "i", Bool, ""},
    {"native0CC36D41", 0x0CC36D4156006509, "i", Bool, "_IS_SCENARIO_POINT_ACTIVE"},
    {"nativeEEE48293", 0xEEE4829304F93EEE, "ii", None, "_SET_SCENARIO_POINT_ACTIVE"},
    {"native9C54041B", 0x9C54041BB66BCF9E, "ii", Bool, "IS_PED_USING_THIS_SCENARIO"},
    {"isPedStill", 0xAC29253EEF8F0180, "i", Bool, ""},
    {"isPedFleeing", 0xBBCCE00B381F8482, "i", Bool, ""},
    {"getPedGroupIndex", 0xF162E133B4E7A675, "i", Int, ""},
    {"setPedAsGroupMember", 0x9F3480FE65DB31B5, "ii", None, ""},
    {"removePedFromGroup", 0xED74007FFB146BC2, "i", None, ""},
    // Blips.
    {"blipAddForEntity", 0x23F74C2FDA6E7C61, "ii", Int, ""},
    {"setBlipName", 0x9CB1A1623062F402, "is", None, ""},
    {"removeBlip", 0xF2C3C9DA47AAA54A, "o", None, ""},
};

const std::size_t nativeCatalogueSize = std::size(nativeCatalogue);

namespace {

// The catalogue by hash: a table of 512 places, each empty or holding the
// index of the one entry whose hash lands there. A hash lands on the top nine
// bits of its product with the table's multiplier: the first odd number of a
// fixed sequence that gives every entry a place of its own, found while the
// program is compiled.
constexpr unsigned indexBits = 9;
constexpr std::uint8_t noEntry = 0xFF;
static_assert(std::size(nativeCatalogue) < noEntry, "an entry's index fits a place");

struct HashIndex {
    std::uint64_t multiplier = 0;
    std::array<std::uint8_t, std::size_t{1} << indexBits> places{};

    constexpr std::size_t place(std::uint64_t hash) const {
        return static_cast<std::size_t>((hash * multiplier) >> (64 - indexBits));
    }
};

constexpr bool hashesDistinct() {
    for (std::size_t i = 0; i < std::size(nativeCatalogue); ++i) {
        for (std::size_t j = i + 1; j < std::size(nativeCatalogue); ++j) {
            if (nativeCatalogue[i].hash == nativeCatalogue[j].hash)
                return false;
        }
    }
    return true;
}
static_assert(hashesDistinct(), "two catalogue entries share a hash");

constexpr HashIndex makeHashIndex() {
    HashIndex index;
    for (std::uint64_t candidate = 0x9E3779B97F4A7C15ull;; candidate += 0x6A09E667F3BCC908ull) {
        index.multiplier = candidate | 1;
        for (std::uint8_t& place : index.places)
            place = noEntry;
        bool clash = false;
        for (std::size_t i = 0; i < std::size(nativeCatalogue) && !clash; ++i) {
            std::uint8_t& place = index.places[index.place(nativeCatalogue[i].hash)];
            clash = place != noEntry;
            place = static_cast<std::uint8_t>(i);
        }
        if (!clash)
            return index;
    }
}

constexpr HashIndex byHash = makeHashIndex();

} // namespace

const NativeInfo* findNative(std::uint64_t hash) {
    const std::uint8_t i = byHash.places[byHash.place(hash)];
    return i != noEntry && nativeCatalogue[i].hash == hash ? &nativeCatalogue[i] : nullptr;
}

const NativeInfo* findNativeByLabel(const std::string& label) {
    for (const NativeInfo& info : nativeCatalogue) {
        if (label == info.label) {
            return &info;
        }
    }
    return nullptr;
}

} // namespace standin
