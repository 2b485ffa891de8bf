// The game natives the module calls, one typed function each, in catalogue
// order. Each pushes exactly its listed slots, constants included; the
// comment names the game's own name where the label is only a hash.
#pragma once

#include "host/native_call.h"

// Prompts and prompt text.
inline Prompt promptRegisterBegin() { return invoke<Prompt>(0x04F97DE45A519419); }
inline void promptSetControlAction(Prompt p, Hash input) { invoke(0xB5352B7494A08258, p, input); }
inline VarString createVarString(const char* text) {
    return invoke<VarString>(0xFA925AC00EB830B9, 10, "LITERAL_STRING", text);
}
inline void promptSetText(Prompt p, VarString text) { invoke(0x5DD02A8318420DD7, p, text); }
inline void promptSetStandardMode(Prompt p) { invoke(0xCC6656799977741B, p, true); }
inline void promptRegisterEnd(Prompt p) { invoke(0xF7AA2696A22AD8B9, p); }
inline void promptSetEnabled(Prompt p, bool on) { invoke(0x8A0FB4D03A630D21, p, on); }
inline void promptSetVisible(Prompt p, bool on) { invoke(0x71215ACCFDE075EE, p, on); }
inline void promptSetPriority(Prompt p) { invoke(0xCA24F528D0D16289, p, 3); }
inline std::int32_t promptGroupForEntity(Entity e) { return invoke<std::int32_t>(0xB796970BD125FCE8, e); }
inline void promptSetGroup(Prompt p, std::int32_t group) { invoke(0x2F11D3A254169EA4, p, group, 0); }
inline bool promptHasStandardModeCompleted(Prompt p) { return invoke<bool>(0xC92AC953F0A982AE, p, 0); }

// Names, scripts, story progress and time.
inline Hash getHashKey(const char* name) { return invoke<Hash>(0xFD340785ADF8CFB7, name); }
inline std::int32_t countScriptInstances(Hash script) {
    return invoke<std::int32_t>(0x8E34C953364A76DD, script);
}
inline bool isMissionCompleted(Hash mission) { return invoke<bool>(0xE54DC27571D5EDC4, mission); }
inline void scriptThreadIteratorReset() { invoke(0x39382EB8DCD8684D); }
inline std::int32_t scriptThreadIteratorNext() { return invoke<std::int32_t>(0x3CE3FB167E837D7C); }
inline Hash getHashOfThread(std::int32_t thread) { return invoke<Hash>(0x724CB89D35B283D0, thread); }
inline void terminateThread(std::int32_t thread) { invoke(0x87ED52AE40EA1A52, thread); }
inline void setScriptAsNoLongerNeeded(Hash script) { invoke(0x50723A1567C8361E, script); }
inline std::int32_t getGameTimer() { return invoke<std::int32_t>(0x4F67E8ECA7D3F667); }

// Player, entities, positions and input.
inline Ped playerPedId() { return invoke<Ped>(0x096275889B8E0EE0); }
inline std::int32_t playerId() { return invoke<std::int32_t>(0x217E9DC48139933D); }
inline Ped getMount(Ped ped) { return invoke<Ped>(0xE7E11B8DCBED1058, ped); }
inline Hash getEntityModel(Entity e) { return invoke<Hash>(0xDA76A9F39210D365, e); }
inline bool getPlayerTargetEntity(std::int32_t player, Entity* target) {
    return invoke<bool>(0xAE663DDD99C8A670, player, target);
}
inline bool isPlayerTargettingEntity(std::int32_t player, Entity e) {
    return invoke<bool>(0x27F89FDC16688A7A, player, e, 0);
}
inline Vector3 getEntityCoords(Entity e) { return invoke<Vector3>(0xA86D5F069399F44D, e, true, false); }
inline bool isEntityAtCoord(Entity e, float x, float y, float z) {
    return invoke<bool>(0x5E58342602E94718, e, x, y, z, 10.0f, 20.0f, 10.0f, 0, 1, 0);
}
inline void setEntityCoords(Entity e, float x, float y, float z) {
    invoke(0x06843DA7060A026B, e, x, y, z, 0, 0, 0, 0);
}
inline float getDistanceBetweenCoords(float x1, float y1, float z1, float x2, float y2, float z2) {
    return invoke<float>(0x0BE7F4E3CDBAFB28, x1, y1, z1, x2, y2, z2, true);
}
inline bool isPedMale(Ped ped) { return invoke<bool>(0x6D9F5FAA7488BA46, ped); }
inline bool isControlJustReleased(Hash input) { return invoke<bool>(0x50F940259D3841E6, 0, input); }

// Peds and horses: relationship groups, flags, attributes and speech.
inline Hash getPedRelationshipGroupHash(Ped ped) { return invoke<Hash>(0x7DBDD04862D95F04, ped); }
inline void nativeA5C38736(Ped ped) { invoke(0xA5C38736C426FCB8, ped, 1); }  // SET_ENTITY_INVINCIBLE
inline void native5B9813EC() { invoke(0x5B9813ECF7633FE8, 0); }              // _SET_MOUNT_PROMPT_DISABLED
inline void native67F7CEAC(Ped ped) { invoke(0x67F7CEAC2391E114, ped, 1); }  // _SET_AI_CAN_USE_TRANSPORT
inline void nativeE2487779(Ped ped) { invoke(0xE2487779957FE897, ped, 16); } // _SET_TRANSPORT_USAGE_FLAGS
inline void nativeBA881821(Ped ped, std::int32_t flag) {                     // SET_TRANSPORT_CONFIG_FLAG
    invoke(0xBA8818212633500A, ped, flag, 0);
}
inline void removeRelationshipGroup(Hash group) { invoke(0xB6BA2444AB393DA2, group); }
inline void setPedRelationshipGroupHash(Ped ped, Hash group) { invoke(0xC80A74AC829DDD92, ped, group); }
inline void setPedRelationshipGroupDefaultHash(Ped ped, Hash group) {
    invoke(0xADB3F206518799E8, ped, group);
}
inline void nativeA6989999(Ped ped) { invoke(0xA69899995997A63B, ped, 4); } // _SET_MOUNT_BONDING_LEVEL
inline void native2EB75FB8(Ped ped) {
    invoke(0x2EB75FB86C41F026, ped, 3, 0);
} // _SET_PED_MOTIVATION_STATE_OVERRIDE
inline void setPedConfigFlag(Ped ped, std::int32_t flag, bool value) {
    invoke(0x1913FE4CBF41C463, ped, flag, value);
}
inline void setAttributePoints(Ped ped, std::int32_t attribute, std::int32_t points) {
    invoke(0x09A59688C26D88DF, ped, attribute, points);
}
inline void nativeDC19C288(Ped ped) { invoke(0xDC19C288082E586E, ped, 1, 1); } // SET_ENTITY_AS_MISSION_ENTITY
struct SpeechParams;
inline void playPedAmbientSpeech(Ped speaker, SpeechParams* params) {
    invoke(0x8E04FEDD28D42462, speaker, params);
}

// Tasks, scenarios and ped groups.
inline void clearPedTasks(Ped ped) { invoke(0xE1EF3C1216AFF2CD, ped, 1, 1); }
inline void taskSmartFleePed(Ped ped, Ped from) {
    invoke(0x22B0D0E37CCB840D, ped, from, 50.0f, -1, 6, 2.0f, 0);
}
inline void taskFollowNavMeshToCoord(Ped ped, float x, float y, float z) {
    invoke(0x15D3A79D4E44B913, ped, x, y, z, 4.0f, -1, 15.0f, 0x100004, 40000.0f);
}
inline void taskUseScenarioPoint(Ped ped, std::int32_t point) {
    // The ninth slot is the float -1082130432.0 (bits 0xCE810000), not -1.0.
    invoke(0xCCDAE6324B6A821C, ped, point, 0, -1, 1, 0, 0, 1, -1082130432.0f, 1);
}
inline void taskStartScenarioInPlaceHash(Ped ped, Hash scenario) {
    invoke(0x524B54361229154F, ped, scenario, -1, 1, 1, 0.0f, 1);
}
inline std::int32_t findScenarioOfTypeHash(float x, float y, float z, Hash type) {
    return invoke<std::int32_t>(0xF533D68FF970D190, x, y, z, type, 200.0f, 1, 1);
}
inline bool isPedUsingAnyScenario(Ped ped) { return invoke<bool>(0x57AB4A3080F85143, ped); }
inline bool native0CC36D41(std::int32_t point) {
    return invoke<bool>(0x0CC36D4156006509, point);
} // _IS_SCENARIO_POINT_ACTIVE
inline void nativeEEE48293(std::int32_t point) {
    invoke(0xEEE4829304F93EEE, point, 1);
} // _SET_SCENARIO_POINT_ACTIVE
inline bool native9C54041B(Ped ped, std::int32_t point) { // IS_PED_USING_THIS_SCENARIO
    return invoke<bool>(0x9C54041BB66BCF9E, ped, point);
}
inline bool isPedStill(Ped ped) { return invoke<bool>(0xAC29253EEF8F0180, ped); }
inline bool isPedFleeing(Ped ped) { return invoke<bool>(0xBBCCE00B381F8482, ped); }
inline std::int32_t getPedGroupIndex(Ped ped) { return invoke<std::int32_t>(0xF162E133B4E7A675, ped); }
inline void setPedAsGroupMember(Ped ped, std::int32_t group) { invoke(0x9F3480FE65DB31B5, ped, group); }
inline void removePedFromGroup(Ped ped) { invoke(0xED74007FFB146BC2, ped); }

// Blips.
inline Blip blipAddForEntity(Hash style, Entity e) { return invoke<Blip>(0x23F74C2FDA6E7C61, style, e); }
inline void setBlipName(Blip blip, const char* name) { invoke(0x9CB1A1623062F402, blip, name); }
inline void removeBlip(Blip* blip) { invoke(0xF2C3C9DA47AAA54A, blip); }
