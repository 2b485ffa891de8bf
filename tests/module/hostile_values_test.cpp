// Natives that answer with garbage: handles at the ends of the 32-bit range,
// positions of NaN and infinities, garbage in the unused high halves of the
// result slots, and random answers. No crash, no call outside the catalogue,
// no wait the design does not have, and where the design says what a value
// means (a distance that is not a number is not "far", and not "more than
// three metres"), the module does that.
#include <gmock/gmock.h>

#include <climits>
#include <cmath>
#include <limits>
#include <random>

#include "gang_horse/gang_horse.h"
#include "host/dll_main.h"
#include "tests/support/gang_world.h"
#include "tests/support/host_hooks.h"

using namespace gangworld;
using ::testing::Contains;
using ::testing::Not;

namespace {

constexpr float nan = std::numeric_limits<float>::quiet_NaN();
constexpr float inf = std::numeric_limits<float>::infinity();

// ---------------------------------------------------------------------------
// Handles at the ends of the range.

class HostileHandleTest : public GangWorldTest {};

TEST_F(HostileHandleTest, CampPedsWithExtremeHandlesAreTreatedLikeAnyOther) {
    for (std::int32_t handle : {INT_MIN, -1, 0x40000000, INT_MAX}) {
        horse(handle, dutchHorse);
    }
    game().addPed(-2, "CS_DUTCH").relationshipGroup = standin::joaat("REL_GANG_DUTCHS");
    horse(-3, strayHorse);
    startInCamp();
    const std::size_t m = mark();
    runPasses(1);
    EXPECT_THAT(handlesOf("getPedRelationshipGroupHash", m),
                ElementsAre(INT_MIN, -3, -2, -1, 100, 0x40000000, INT_MAX));
    EXPECT_THAT(handlesOf("native67F7CEAC", m), ElementsAre(INT_MIN, -1, 0x40000000, INT_MAX));
    EXPECT_THAT(handlesOf("nativeA5C38736", m), ElementsAre(-2));
    for (std::int32_t handle : {INT_MIN, -1, 0x40000000, INT_MAX}) {
        EXPECT_EQ(game().peds.at(handle).relationshipGroup, standin::joaat("REL_PLAYER_ALLY")) << handle;
    }
    EXPECT_EQ(game().peds.at(-3).relationshipGroup, 0u);
}

class HostileBorrowedHandleTest : public GangWorldTest, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(HostileBorrowedHandleTest, AHorseWithAnExtremeHandleIsCommandedAndForgottenWhenItVanishes) {
    const std::int32_t handle = GetParam();
    const standin::Vec3 camp = campAt(0);
    horse(handle, dutchHorse, standin::Vec3{camp.x + 100, camp.y, camp.z});
    game().player().position = standin::Vec3{camp.x + 110, camp.y, camp.z};
    startAndBorrow(handle);

    // Aimed at outside camp: its prompts join its own prompt group and show.
    std::size_t m = mark();
    runPasses(1);
    const auto shown = calls("isPlayerTargettingEntity", m);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(i32(shown[0], 1), handle);
    const auto groups = calls("promptSetGroup", m);
    ASSERT_EQ(groups.size(), 4u);
    for (const standin::Event* e : groups) {
        EXPECT_EQ(i32(e, 1), standin::Game::promptGroupOf(handle));
    }

    // Follow: ten metres away, it joins the player's group.
    completes(promptFollow);
    m = mark();
    runPasses(1);
    EXPECT_THAT(handlesOf("setPedAsGroupMember", m), ElementsAre(handle));
    EXPECT_EQ(game().peds.at(handle).pedGroup, game().playerGroup);

    // Left behind, it carries a blip; sent home, it walks to the camp.
    game().target = 0;
    completes(promptSendHome);
    m = mark();
    runPasses(1);
    EXPECT_THAT(handlesOf("taskFollowNavMeshToCoord", m), ElementsAre(handle));
    ASSERT_EQ(game().blips.size(), 1u);
    EXPECT_EQ(game().blips.begin()->second.entity, handle);

    // The game deletes it on the way: the handle names nothing any more, and
    // the module forgets the horse and its blip rather than wait on it.
    game().peds.erase(handle);
    m = mark();
    runPasses(1);
    EXPECT_THAT(calls("removeBlip", m), Not(IsEmpty()));
    EXPECT_THAT(game().blips, IsEmpty());
    m = mark();
    runPasses(2);
    EXPECT_THAT(calls("isPlayerTargettingEntity", m), IsEmpty())
        << "a forgotten horse is no longer the borrowed horse";
    EXPECT_THAT(nonZeroWaits(m), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(ExtremeHandles, HostileBorrowedHandleTest,
                         ::testing::Values(INT_MIN, INT_MIN + 1, -1, 0x7FFF0000, INT_MAX));

// ---------------------------------------------------------------------------
// Positions of NaN and infinities.

struct FarCase {
    const char* name;
    standin::Vec3 horse; // added to the camp position
    bool far;            // the distance to the camp is more than 500 m
};

class HostileSentHomePositionTest : public GangWorldTest, public ::testing::WithParamInterface<FarCase> {};

TEST_P(HostileSentHomePositionTest, OnlyADistanceThatIsMoreThan500MetresBringsTheHorseToCamp) {
    const FarCase& c = GetParam();
    const standin::Vec3 camp = campAt(0);
    horse(300, dutchHorse, standin::Vec3{camp.x + 100, camp.y, camp.z}); // walking, not still
    game().player().position = standin::Vec3{camp.x + 105, camp.y, camp.z};
    startAndBorrow(300);
    completes(promptSendHome);
    runPasses(1);
    ASSERT_THAT(handlesOf("taskFollowNavMeshToCoord", 0), ElementsAre(300));

    game().peds.at(300).position = standin::Vec3{camp.x + c.horse.x, camp.y + c.horse.y, camp.z + c.horse.z};
    const std::size_t m = mark();
    runPasses(1);
    const auto teleports = calls("setEntityCoords", m);
    if (c.far) {
        EXPECT_THAT(nonZeroWaits(m), ElementsAre(10000));
        ASSERT_EQ(teleports.size(), 1u);
        EXPECT_EQ(i32(teleports[0], 0), 300);
        EXPECT_EQ(standin::u32(teleports[0]->slot(1)), campBits[0].x);
        EXPECT_EQ(standin::u32(teleports[0]->slot(2)), campBits[0].y);
        EXPECT_EQ(standin::u32(teleports[0]->slot(3)), campBits[0].z);
    } else {
        EXPECT_THAT(nonZeroWaits(m), IsEmpty());
        EXPECT_THAT(teleports, IsEmpty());
        // Still on its way home: the module goes on watching it.
        EXPECT_THAT(handlesOf("isPedStill", m), ElementsAre(300));
    }
}

INSTANTIATE_TEST_SUITE_P(
    NotFiniteHorse, HostileSentHomePositionTest,
    ::testing::Values(FarCase{"nan_x", {nan, 0, 0}, false}, FarCase{"nan_all", {nan, nan, nan}, false},
                      FarCase{"nan_and_inf", {inf, nan, 0}, false}, FarCase{"plus_inf", {inf, 0, 0}, true},
                      FarCase{"minus_inf_z", {0, 0, -inf}, true},
                      FarCase{"max_float", {3.0e38f, 3.0e38f, 0}, true}, FarCase{"near", {50, 0, 0}, false},
                      FarCase{"far", {600, 0, 0}, true}),
    [](const ::testing::TestParamInfo<FarCase>& info) { return std::string(info.param.name); });

struct FollowCase {
    const char* name;
    standin::Vec3 player;
    standin::Vec3 horse;
    bool grouped; // the distance is more than three metres
};

class HostileFollowPositionTest : public GangWorldTest, public ::testing::WithParamInterface<FollowCase> {};

TEST_P(HostileFollowPositionTest, AFollowingHorseStaysInTheGroupOnlyWhileTheDistanceIsMoreThan3Metres) {
    const FollowCase& c = GetParam();
    horse(300, dutchHorse, standin::Vec3{10, 0, 0});
    startAndBorrow(300);
    completes(promptFollow);
    runPasses(1);
    ASSERT_EQ(game().peds.at(300).pedGroup, game().playerGroup) << "ten metres away, the horse follows";

    game().player().position = c.player;
    game().peds.at(300).position = c.horse;
    const std::size_t m = mark();
    runPasses(2);
    if (c.grouped) {
        EXPECT_THAT(handlesOf("setPedAsGroupMember", m), ElementsAre(300, 300));
        EXPECT_THAT(calls("removePedFromGroup", m), IsEmpty());
        EXPECT_EQ(game().peds.at(300).pedGroup, game().playerGroup);
    } else {
        EXPECT_THAT(calls("setPedAsGroupMember", m), IsEmpty());
        EXPECT_THAT(handlesOf("removePedFromGroup", m), ElementsAre(300, 300));
        EXPECT_EQ(game().peds.at(300).pedGroup, -1);
    }
}

INSTANTIATE_TEST_SUITE_P(NotFiniteDistances, HostileFollowPositionTest,
                         ::testing::Values(FollowCase{"horse_nan", {0, 0, 0}, {nan, 0, 0}, false},
                                           FollowCase{"player_nan", {0, nan, 0}, {10, 0, 0}, false},
                                           FollowCase{"both_plus_inf", {inf, 0, 0}, {inf, 0, 0}, false},
                                           FollowCase{"horse_inf", {0, 0, 0}, {inf, 0, 0}, true},
                                           FollowCase{"player_minus_inf", {0, 0, -inf}, {10, 0, 0}, true},
                                           FollowCase{"close", {0, 0, 0}, {2, 0, 0}, false}),
                         [](const ::testing::TestParamInfo<FollowCase>& info) {
                             return std::string(info.param.name);
                         });

// ---------------------------------------------------------------------------
// Garbage in the results themselves.

// One call as the module made it: the label and every slot that is not an
// address (addresses differ from run to run).
struct Call {
    std::string label;
    std::vector<std::uint64_t> slots;
    bool operator==(const Call& other) const { return label == other.label && slots == other.slots; }
};

std::ostream& operator<<(std::ostream& out, const Call& call) {
    out << call.label << "(";
    for (std::uint64_t slot : call.slots) {
        out << std::hex << slot << std::dec << " ";
    }
    return out << ")";
}

class HostileResultTest : public GangWorldTest {
  protected:
    // A stretch of play touching every phase: camp, remarks, borrowing,
    // every prompt, the whistle, a horse sent home that stands still.
    std::vector<Call> play(bool garbageHighHalves) {
        host.reset();
        testsupport::clearModuleGlobals();
        game().player().position = standin::Vec3{-100, 0, 95};
        const standin::Vec3 camp = campAt(0);
        horse(300, dutchHorse, standin::Vec3{camp.x + 2, camp.y, camp.z});
        horse(301, sadieHorse, standin::Vec3{-90, 0, 95}).male = false;
        game().addPed(302, "CS_DUTCH").relationshipGroup = standin::joaat("REL_GANG_DUTCHS");
        game().addScenarioPoint("WORLD_ANIMAL_HORSE_GRAZING_CAMP", camp);
        game().addThread("DEF_COMP_BRAIN");
        game().completeMission("MUD1");
        std::vector<Call> record;
        testsupport::HostHooks hooks(host, [&](const standin::NativeInfo& info, const std::uint64_t* slots,
                                               const std::uint64_t* result) {
            Call call{info.label, {}};
            for (std::size_t k = 0; info.slots[k] != '\0'; ++k) {
                const char kind = info.slots[k];
                call.slots.push_back(kind == 's' || kind == 'o' || kind == 'r' ? 0 : slots[k]);
            }
            record.push_back(std::move(call));
            if (garbageHighHalves) {
                // The host's own result slots, handed to the module next:
                // garbage wherever the result does not reach.
                auto* writable = const_cast<std::uint64_t*>(result);
                constexpr std::uint64_t garbage = 0xDEADBEEF00000000ull;
                switch (info.result) {
                case standin::ResultKind::Pointer: // all 64 bits count
                    break;
                case standin::ResultKind::Vector3: // three floats, each with a padding half
                    for (int k = 0; k < 3; ++k) {
                        writable[k] = (writable[k] & 0xFFFFFFFFull) | garbage;
                    }
                    break;
                case standin::ResultKind::None:
                    writable[0] = garbage | 0xFEEDFACE;
                    [[fallthrough]];
                default: // one 32-bit value in the low half of the first slot
                    writable[0] = (writable[0] & 0xFFFFFFFFull) | garbage;
                    writable[1] = garbage | 0x12345678;
                    writable[2] = garbage | 0x7FC00001;
                    break;
                }
            }
        });
        game().startScript(campScript);
        start(1);
        runPasses(1);
        game().player().mount = 300; // a remark on Dutch's horse
        runPasses(2);
        game().player().mount = 0;
        game().stopScript(campScript);
        game().target = 301;
        runPasses(2);
        for (Prompt prompt : {promptFollow, promptStay, promptSpur, promptFollow}) {
            completes(prompt);
            runPasses(1);
        }
        game().releaseControl("INPUT_WHISTLE");
        runPasses(1);
        completes(promptSendHome);
        runPasses(1);
        game().peds.at(301).still = true;
        runPasses(3);
        return record;
    }
};

TEST_F(HostileResultTest, GarbageInTheUnusedHighHalvesOfResultSlotsChangesNothing) {
    const std::vector<Call> clean = play(false);
    const std::vector<Call> garbage = play(true);
    ASSERT_GT(clean.size(), 200u);
    // The stretch reaches what it is meant to.
    for (const char* label :
         {"native67F7CEAC", "playPedAmbientSpeech", "setPedAsGroupMember", "taskSmartFleePed",
          "taskFollowNavMeshToCoord", "setEntityCoords", "blipAddForEntity"}) {
        EXPECT_THAT(clean, Contains(::testing::Field(&Call::label, label))) << label;
    }
    ASSERT_EQ(garbage.size(), clean.size());
    for (std::size_t i = 0; i < clean.size(); ++i) {
        ASSERT_EQ(garbage[i], clean[i]) << "call " << i;
    }
}

TEST_F(HostileResultTest, RandomAnswersKeepTheCallProtocolAndTheWaits) {
    const standin::Vec3 camp = campAt(0);
    horse(300, dutchHorse, standin::Vec3{camp.x + 2, camp.y, camp.z});
    horse(301, sadieHorse, standin::Vec3{-90, 0, 95});
    game().completeMission("MUD1");
    game().addScenarioPoint("WORLD_ANIMAL_HORSE_GRAZING_CAMP", camp);
    const std::uint32_t dutchModel = standin::joaat(dutchHorse);

    std::mt19937 random(20240611);
    const float floats[] = {nan, -nan, inf, -inf, 0.0f, -0.0f, 1e-45f, 3.4e38f, -3.4e38f, 4.0f, 600.0f};
    const std::uint32_t words[] = {0, 1, 0xFFFFFFFF, 0x80000000, 0x7FFFFFFF, 300, 301, 100, dutchModel};
    auto randomWord = [&]() -> std::uint32_t {
        return random() % 2 == 0 ? words[random() % std::size(words)] : static_cast<std::uint32_t>(random());
    };
    auto randomFloat = [&]() -> std::uint32_t {
        const float value = floats[random() % std::size(floats)];
        return standin::floatBits(value);
    };
    start(1);
    std::set<std::int64_t> waitsSeen;
    std::int64_t capacityWrong = 0;
    auto onHost = [&](const char* name, std::uint32_t value) {
        if (std::string(name) == "scriptWait") {
            waitsSeen.insert(value);
        }
    };
    auto onNative = [&](const standin::NativeInfo& info, const std::uint64_t* slots,
                        const std::uint64_t* result) {
        const std::string label = info.label;
        // The thread walk must end: its answers stay the game's own.
        if (label == "scriptThreadIteratorNext" || random() % 3 == 0) {
            return;
        }
        auto* writable = const_cast<std::uint64_t*>(result);
        if (label == "getEntityCoords") {
            for (int k = 0; k < 3; ++k) {
                writable[k] = (std::uint64_t{randomWord()} << 32) | randomFloat();
            }
        } else if (label == "getDistanceBetweenCoords") {
            writable[0] = randomFloat();
        } else if (label == "getPlayerTargetEntity") {
            writable[0] = randomWord();
            auto* target = standin::slotPointer<std::int32_t>(slots[1]);
            *target = static_cast<std::int32_t>(randomWord());
        } else if (info.result != standin::ResultKind::None) {
            writable[0] = (std::uint64_t{randomWord()} << 32) | randomWord();
        }
    };
    testsupport::HostHooks hooks(host, onHost, onNative);
    for (int round = 0; round < 40; ++round) {
        if (round % 10 == 0) {
            game().startScript(campScript);
        } else if (round % 10 == 5) {
            game().stopScript(campScript);
        }
        game().target = round % 3 == 0 ? 300 : 301;
        for (Prompt prompt : {promptFollow, promptStay, promptSpur, promptSendHome}) {
            if (random() % 4 == 0) {
                completes(prompt);
            }
        }
        if (random() % 4 == 0) {
            game().releaseControl("INPUT_WHISTLE");
        }
        const std::size_t m = mark();
        ASSERT_NO_THROW(runPasses(5)) << "round " << round;
        for (const auto& [capacity, count] : pedQueries(m)) {
            capacityWrong += capacity != 1024;
        }
        host.clearEvents();
    }
    EXPECT_EQ(capacityWrong, 0);
    for (std::int64_t wait : waitsSeen) {
        EXPECT_THAT((std::vector<std::int64_t>{0, 1000, 5000, 10000}), Contains(wait));
    }
    EXPECT_THAT(waitsSeen, Contains(0));
}

} // namespace
