// Every typed native, called directly, against the game's native table as
// typed here: the hash it sends and every slot it pushes, constants included.
#include <gmock/gmock.h>

#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "gang_horse/main_state.h"
#include "host/natives.h"
#include "tests/support/module_fixture.h"

using testsupport::ModuleTest;

namespace {

// One expected slot: a value, or the address of text with the given content
// (for the module's own string literals, whose address the test cannot know).
struct Slot {
    std::uint64_t value = 0;
    const char* literal = nullptr;
    Slot(std::uint64_t v) : value(v) {}
    Slot(const char* text, int) : literal(text) {}
};
Slot literal(const char* text) { return Slot(text, 0); }

using standin::slotOf;

struct Row {
    const char* label;
    std::uint64_t hash;
    std::function<void()> call;
    std::vector<Slot> slots;
};

// Arguments that live on the test's stack, so their addresses have a non-zero
// high half and a truncated address shows.
struct Args {
    char name[32] = "A_C_HORSE_GANG_JAVIER";
    char text[16] = "Follow me";
    char blipName[16] = "Gang Horse";
    Entity target = 0;
    Blip blip = 0x5001;
    SpeechParams speech{};
};

// Argument values: ped, other ped, prompt, a hash with its top bit set, a
// negative handle, player index, thread, scenario point, group, blip.
constexpr std::int32_t P = 0x65, Q = 0x66, PR = 0x1001, PL = 2, T = 0x201, SP = 0x3001, G = 7, B = 0x5001;
constexpr std::uint32_t H = 0xB779A091;
constexpr std::uint64_t NEG2 = 0x00000000FFFFFFFEull, MINUS1 = 0x00000000FFFFFFFFull;
// Floats passed and their bit patterns. Float constants below are written as
// bit patterns too: 2.0 0x40000000, 4.0 0x40800000, 10.0 0x41200000, 15.0
// 0x41700000, 20.0 0x41A00000, 50.0 0x42480000, 200.0 0x43480000, 40000.0
// 0x471C4000, -1082130432.0 0xCE810000 (not -1.0), 0.0 0.
constexpr float x = 1.5f, y = -2.25f, z = 3.75f, x2 = 100.0f, y2 = -0.5f, z2 = 0.25f;
constexpr std::uint64_t X = 0x3FC00000, Y = 0xC0100000, Z = 0x40700000, X2 = 0x42C80000, Y2 = 0xBF000000,
                        Z2 = 0x3E800000;

std::vector<Row> catalogue(Args& a) {
    return {
        // Prompts and prompt text.
        {"promptRegisterBegin", 0x04F97DE45A519419, [] { promptRegisterBegin(); }, {}},
        {"promptSetControlAction", 0xB5352B7494A08258, [] { promptSetControlAction(PR, H); }, {PR, H}},
        {"createVarString",
         0xFA925AC00EB830B9,
         [&a] { createVarString(a.text); },
         {10, literal("LITERAL_STRING"), slotOf(a.text)}},
        {"promptSetText",
         0x5DD02A8318420DD7,
         [] { promptSetText(PR, VarString{0x8000123456789ABCull}); },
         {PR, 0x8000123456789ABCull}},
        {"promptSetStandardMode", 0xCC6656799977741B, [] { promptSetStandardMode(PR); }, {PR, 1}},
        {"promptRegisterEnd", 0xF7AA2696A22AD8B9, [] { promptRegisterEnd(PR); }, {PR}},
        {"promptSetEnabled", 0x8A0FB4D03A630D21, [] { promptSetEnabled(PR, true); }, {PR, 1}},
        {"promptSetEnabled", 0x8A0FB4D03A630D21, [] { promptSetEnabled(PR, false); }, {PR, 0}},
        {"promptSetVisible", 0x71215ACCFDE075EE, [] { promptSetVisible(PR, true); }, {PR, 1}},
        {"promptSetVisible", 0x71215ACCFDE075EE, [] { promptSetVisible(PR, false); }, {PR, 0}},
        {"promptSetPriority", 0xCA24F528D0D16289, [] { promptSetPriority(PR); }, {PR, 3}},
        {"promptGroupForEntity", 0xB796970BD125FCE8, [] { promptGroupForEntity(P); }, {P}},
        {"promptSetGroup", 0x2F11D3A254169EA4, [] { promptSetGroup(PR, -2); }, {PR, NEG2, 0}},
        {"promptHasStandardModeCompleted",
         0xC92AC953F0A982AE,
         [] { promptHasStandardModeCompleted(PR); },
         {PR, 0}},
        // Names, scripts, story progress and time.
        {"getHashKey", 0xFD340785ADF8CFB7, [&a] { getHashKey(a.name); }, {slotOf(a.name)}},
        {"countScriptInstances", 0x8E34C953364A76DD, [] { countScriptInstances(H); }, {H}},
        {"isMissionCompleted", 0xE54DC27571D5EDC4, [] { isMissionCompleted(H); }, {H}},
        {"scriptThreadIteratorReset", 0x39382EB8DCD8684D, [] { scriptThreadIteratorReset(); }, {}},
        {"scriptThreadIteratorNext", 0x3CE3FB167E837D7C, [] { scriptThreadIteratorNext(); }, {}},
        {"getHashOfThread", 0x724CB89D35B283D0, [] { getHashOfThread(T); }, {T}},
        {"terminateThread", 0x87ED52AE40EA1A52, [] { terminateThread(T); }, {T}},
        {"setScriptAsNoLongerNeeded", 0x50723A1567C8361E, [] { setScriptAsNoLongerNeeded(H); }, {H}},
        {"getGameTimer", 0x4F67E8ECA7D3F667, [] { getGameTimer(); }, {}},
        // Player, entities, positions and input.
        {"playerPedId", 0x096275889B8E0EE0, [] { playerPedId(); }, {}},
        {"playerId", 0x217E9DC48139933D, [] { playerId(); }, {}},
        {"getMount", 0xE7E11B8DCBED1058, [] { getMount(-2); }, {NEG2}},
        {"getEntityModel", 0xDA76A9F39210D365, [] { getEntityModel(P); }, {P}},
        {"getPlayerTargetEntity",
         0xAE663DDD99C8A670,
         [&a] { getPlayerTargetEntity(PL, &a.target); },
         {PL, slotOf(&a.target)}},
        {"isPlayerTargettingEntity", 0x27F89FDC16688A7A, [] { isPlayerTargettingEntity(PL, P); }, {PL, P, 0}},
        {"getEntityCoords", 0xA86D5F069399F44D, [] { getEntityCoords(P); }, {P, 1, 0}},
        {"isEntityAtCoord",
         0x5E58342602E94718,
         [] { isEntityAtCoord(P, x, y, z); },
         {P, X, Y, Z, 0x41200000, 0x41A00000, 0x41200000, 0, 1, 0}},
        {"setEntityCoords",
         0x06843DA7060A026B,
         [] { setEntityCoords(P, x, y, z); },
         {P, X, Y, Z, 0, 0, 0, 0}},
        {"getDistanceBetweenCoords",
         0x0BE7F4E3CDBAFB28,
         [] { getDistanceBetweenCoords(x, y, z, x2, y2, z2); },
         {X, Y, Z, X2, Y2, Z2, 1}},
        {"isPedMale", 0x6D9F5FAA7488BA46, [] { isPedMale(P); }, {P}},
        {"isControlJustReleased", 0x50F940259D3841E6, [] { isControlJustReleased(H); }, {0, H}},
        // Peds and horses.
        {"getPedRelationshipGroupHash", 0x7DBDD04862D95F04, [] { getPedRelationshipGroupHash(P); }, {P}},
        {"nativeA5C38736", 0xA5C38736C426FCB8, [] { nativeA5C38736(P); }, {P, 1}},
        {"native5B9813EC", 0x5B9813ECF7633FE8, [] { native5B9813EC(); }, {0}},
        {"native67F7CEAC", 0x67F7CEAC2391E114, [] { native67F7CEAC(P); }, {P, 1}},
        {"nativeE2487779", 0xE2487779957FE897, [] { nativeE2487779(P); }, {P, 16}},
        {"nativeBA881821", 0xBA8818212633500A, [] { nativeBA881821(P, 0); }, {P, 0, 0}},
        {"nativeBA881821", 0xBA8818212633500A, [] { nativeBA881821(P, 6); }, {P, 6, 0}},
        {"removeRelationshipGroup", 0xB6BA2444AB393DA2, [] { removeRelationshipGroup(H); }, {H}},
        {"setPedRelationshipGroupHash",
         0xC80A74AC829DDD92,
         [] { setPedRelationshipGroupHash(P, H); },
         {P, H}},
        {"setPedRelationshipGroupDefaultHash",
         0xADB3F206518799E8,
         [] { setPedRelationshipGroupDefaultHash(P, H); },
         {P, H}},
        {"nativeA6989999", 0xA69899995997A63B, [] { nativeA6989999(P); }, {P, 4}},
        {"native2EB75FB8", 0x2EB75FB86C41F026, [] { native2EB75FB8(P); }, {P, 3, 0}},
        {"setPedConfigFlag", 0x1913FE4CBF41C463, [] { setPedConfigFlag(P, 600, true); }, {P, 600, 1}},
        {"setPedConfigFlag", 0x1913FE4CBF41C463, [] { setPedConfigFlag(P, 565, false); }, {P, 565, 0}},
        {"setAttributePoints", 0x09A59688C26D88DF, [] { setAttributePoints(P, 7, 2000); }, {P, 7, 2000}},
        {"nativeDC19C288", 0xDC19C288082E586E, [] { nativeDC19C288(P); }, {P, 1, 1}},
        {"playPedAmbientSpeech",
         0x8E04FEDD28D42462,
         [&a] { playPedAmbientSpeech(P, &a.speech); },
         {P, slotOf(&a.speech)}},
        // Tasks, scenarios and ped groups.
        {"clearPedTasks", 0xE1EF3C1216AFF2CD, [] { clearPedTasks(P); }, {P, 1, 1}},
        {"taskSmartFleePed",
         0x22B0D0E37CCB840D,
         [] { taskSmartFleePed(P, Q); },
         {P, Q, 0x42480000, MINUS1, 6, 0x40000000, 0}},
        {"taskFollowNavMeshToCoord",
         0x15D3A79D4E44B913,
         [] { taskFollowNavMeshToCoord(P, x, y, z); },
         {P, X, Y, Z, 0x40800000, MINUS1, 0x41700000, 0x100004, 0x471C4000}},
        {"taskUseScenarioPoint",
         0xCCDAE6324B6A821C,
         [] { taskUseScenarioPoint(P, SP); },
         {P, SP, 0, MINUS1, 1, 0, 0, 1, 0xCE810000, 1}},
        {"taskStartScenarioInPlaceHash",
         0x524B54361229154F,
         [] { taskStartScenarioInPlaceHash(P, H); },
         {P, H, MINUS1, 1, 1, 0, 1}},
        {"findScenarioOfTypeHash",
         0xF533D68FF970D190,
         [] { findScenarioOfTypeHash(x, y, z, H); },
         {X, Y, Z, H, 0x43480000, 1, 1}},
        {"isPedUsingAnyScenario", 0x57AB4A3080F85143, [] { isPedUsingAnyScenario(P); }, {P}},
        {"native0CC36D41", 0x0CC36D4156006509, [] { native0CC36D41(SP); }, {SP}},
        {"nativeEEE48293", 0xEEE4829304F93EEE, [] { nativeEEE48293(SP); }, {SP, 1}},
        {"native9C54041B", 0x9C54041BB66BCF9E, [] { native9C54041B(P, SP); }, {P, SP}},
        {"isPedStill", 0xAC29253EEF8F0180, [] { isPedStill(P); }, {P}},
        {"isPedFleeing", 0xBBCCE00B381F8482, [] { isPedFleeing(P); }, {P}},
        {"getPedGroupIndex", 0xF162E133B4E7A675, [] { getPedGroupIndex(P); }, {P}},
        {"setPedAsGroupMember", 0x9F3480FE65DB31B5, [] { setPedAsGroupMember(P, G); }, {P, G}},
        {"removePedFromGroup", 0xED74007FFB146BC2, [] { removePedFromGroup(P); }, {P}},
        // Blips.
        {"blipAddForEntity", 0x23F74C2FDA6E7C61, [] { blipAddForEntity(H, P); }, {H, P}},
        {"setBlipName", 0x9CB1A1623062F402, [&a] { setBlipName(B, a.blipName); }, {B, slotOf(a.blipName)}},
        {"removeBlip", 0xF2C3C9DA47AAA54A, [&a] { removeBlip(&a.blip); }, {slotOf(&a.blip)}},
    };
}

class NativesTest : public ModuleTest {};

TEST_F(NativesTest, EachTypedNativeSendsItsHashAndExactlyItsSlots) {
    Args a;
    a.speech.speechLine = "HORSE_RUN_AWAY_MALE";
    ASSERT_GT(slotOf(&a) >> 32, 0u) << "stack addresses must not fit in 32 bits for the address checks";
    game().addPed(P, "A_C_HORSE_GANG_JAVIER");

    const std::vector<Row> rows = catalogue(a);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        const std::size_t before = host.events().size();
        ASSERT_NO_THROW(row.call());
        // One typed call is one native call.
        ASSERT_EQ(host.events().size(), before + 1);
        const standin::Event& event = host.events().back();
        ASSERT_EQ(event.kind, standin::Event::Kind::Native);
        EXPECT_EQ(event.native->hash, row.hash);
        EXPECT_STREQ(event.native->label, row.label);
        ASSERT_EQ(event.args.size(), row.slots.size());
        for (std::size_t k = 0; k < row.slots.size(); ++k) {
            const Slot& want = row.slots[k];
            const std::uint64_t got = event.slot(k);
            if (want.literal != nullptr) {
                ASSERT_NE(got, 0u) << "slot " << k;
                EXPECT_STREQ(standin::slotText(got), want.literal) << "slot " << k;
            } else {
                EXPECT_EQ(got, want.value)
                    << "slot " << k << std::hex << ": 0x" << got << " != 0x" << want.value;
            }
        }
    }

    // The table covers all 66 natives, and the stand-in knows no others.
    std::set<std::string> labels;
    std::set<std::uint64_t> hashes;
    for (const Row& row : rows) {
        labels.insert(row.label);
        hashes.insert(row.hash);
    }
    EXPECT_EQ(labels.size(), 66u);
    EXPECT_EQ(hashes.size(), 66u);
    EXPECT_EQ(standin::nativeCatalogueSize, 66u);
}

} // namespace
