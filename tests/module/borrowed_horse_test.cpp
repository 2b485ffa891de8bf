// The borrowed horse: which horse it is, its prompts, its blip, and what
// becomes of the one let go for another.
#include <gmock/gmock.h>

#include "tests/module/borrowed_horse.h"

using namespace gangworld;

namespace {

TEST_F(BorrowedHorseTest, TargetingAGangHorseOutsideTheCampShowsThePromptsOnIt) {
    horse(300, gangHorses[3], {5, 0, 0});
    start(1);
    std::size_t m = mark();
    runPasses(2); // no horse yet: the prompts are left alone
    EXPECT_THAT(
        among(m, {"isPlayerTargettingEntity", "promptSetGroup", "promptSetEnabled", "promptSetVisible"}),
        IsEmpty());

    game().target = 300;
    m = mark();
    runPasses(1); // the first pass still measured for no horse
    EXPECT_EQ(promptCallsSince(m), shown(groupMeasuredSince(m)));
    EXPECT_EQ(i32(calls("promptGroupForEntity", m).at(0), 0), 0);
    m = mark();
    runPasses(1);
    EXPECT_EQ(i32(calls("promptGroupForEntity", m).at(0), 0), 300);
    EXPECT_EQ(promptCallsSince(m), shown(groupMeasuredSince(m)));
    EXPECT_TRUE(game().prompts.at(promptSendHome).enabled && game().prompts.at(promptSendHome).visible);

    game().target = 0;
    m = mark();
    runPasses(1);
    EXPECT_EQ(promptCallsSince(m), hidden());
}

TEST_F(BorrowedHorseTest, TheBorrowedHorseIsTheGangHorseTargetedLast) {
    horse(300, gangHorses[0], {5, 0, 0});
    horse(301, gangHorses[1], {6, 0, 0});
    horse(320, strayHorse, {7, 0, 0});
    game().addPed(321, "", {8, 0, 0}); // an entity whose model reads as 0
    game().target = 321;
    start(2);
    EXPECT_THAT(calls("isPlayerTargettingEntity"), IsEmpty());

    borrow(300);
    for (std::int32_t other : {320, 321, 0}) {
        game().target = other;
        const std::size_t m = mark();
        runPasses(1);
        EXPECT_EQ(borrowedSince(m), 300) << "targeting " << other;
        EXPECT_EQ(promptCallsSince(m), hidden()) << "targeting " << other;
    }
    game().target = 301;
    std::size_t m = mark();
    runPasses(1); // the prompts go to the group measured for the previous horse
    EXPECT_EQ(borrowedSince(m), 301);
    EXPECT_EQ(i32(calls("promptGroupForEntity", m).at(0), 0), 300);
    EXPECT_EQ(promptCallsSince(m), shown(groupMeasuredSince(m)));
}

TEST_F(BorrowedHorseTest, InAnActiveCampThePromptsStayHiddenAndTheBlipStaysAsItIs) {
    horse(300, gangHorses[0], {5, 0, 0});
    start(1);
    borrow(300);
    ASSERT_THAT(game().blips, SizeIs(1));
    game().startScript(campScript);
    std::size_t m = mark();
    runPasses(3);
    EXPECT_EQ(promptCallsSince(m).size(), 3 * hidden().size());
    EXPECT_THAT(calls("promptSetGroup", m), IsEmpty());
    EXPECT_THAT(game().blips, SizeIs(1));

    game().player().mount = 300; // riding it in the camp removes the blip
    runPasses(1);
    game().player().mount = 0;
    m = mark();
    runPasses(2);
    EXPECT_THAT(calls("blipAddForEntity", m), IsEmpty());
    EXPECT_THAT(game().blips, IsEmpty());
}

TEST_F(BorrowedHorseTest, AHorseLeftOutsideTheCampCarriesOneBlipUntilRidden) {
    horse(300, gangHorses[0], {5, 0, 0});
    start(1);
    std::size_t m = mark();
    borrow(300);
    runPasses(2);
    ASSERT_THAT(calls("blipAddForEntity", m), SizeIs(1));
    const Event* add = calls("blipAddForEntity", m).front();
    EXPECT_EQ(slotsOf(add), (std::vector<std::uint64_t>{hashOf("BLIP_STYLE_TEMPORARY_HORSE"), 300}));
    ASSERT_THAT(game().blips, SizeIs(1));
    const standin::BlipState blip = game().blips.begin()->second; // a copy: the blip goes below
    EXPECT_EQ(blip.entity, 300);
    EXPECT_EQ(blip.name, "Gang Horse");
    EXPECT_EQ(calls("setBlipName", m).front()->args.at(1).text, "Gang Horse");

    game().player().mount = 300;
    m = mark();
    runPasses(2);
    const auto removals = calls("removeBlip", m);
    ASSERT_THAT(removals, SizeIs(2)); // every pass while ridden
    EXPECT_EQ(static_cast<std::int32_t>(removals[0]->args.at(0).pointee), blip.handle);
    EXPECT_EQ(removals[1]->args.at(0).pointee, 0u);
    EXPECT_THAT(game().blips, IsEmpty());
    EXPECT_THAT(calls("blipAddForEntity", m), IsEmpty());

    game().player().mount = 0;
    m = mark();
    runPasses(2);
    EXPECT_THAT(calls("blipAddForEntity", m), SizeIs(1));
}

// Switching to another gang horse lets the previous one go: its blip is
// removed, it leaves the player's group, and the new horse starts afresh.
TEST_F(BorrowedHorseTest, SwitchingHorsesRemovesThePreviousBlipAndTheNewHorseGetsItsOwn) {
    horse(300, gangHorses[0], {5, 0, 0});
    horse(301, gangHorses[1], {6, 0, 0});
    start(1);
    borrow(300);
    const std::int32_t oldBlip = game().blips.begin()->second.handle;
    std::size_t m = mark();
    borrow(301);
    ASSERT_THAT(calls("removeBlip", m), SizeIs(1));
    EXPECT_EQ(static_cast<std::int32_t>(calls("removeBlip", m).front()->args.at(0).pointee), oldBlip);
    EXPECT_EQ(callsOn("removePedFromGroup", 300, m), 1u);
    ASSERT_THAT(game().blips, SizeIs(1));
    EXPECT_EQ(game().blips.begin()->second.entity, 301);

    m = mark(); // the same horse again: nothing is let go
    borrow(301);
    EXPECT_THAT(calls("removeBlip", m), IsEmpty());
    EXPECT_EQ(callsOn("removePedFromGroup", 300, m), 0u);
    EXPECT_EQ(game().blips.begin()->second.entity, 301);
}

TEST_F(BorrowedHorseTest, SwitchingFromAFollowingHorseTakesItOutOfThePlayersGroup) {
    horse(300, gangHorses[0], {20, 0, 0});
    horse(301, gangHorses[1], {30, 0, 0});
    start(1);
    borrow(300);
    completes(promptFollow);
    runPasses(1);
    borrow(300); // aiming at it again keeps it following
    ASSERT_EQ(game().peds.at(300).pedGroup, game().playerGroup);

    borrow(301);
    EXPECT_NE(game().peds.at(300).pedGroup, game().playerGroup);
    runPasses(2);
    EXPECT_NE(game().peds.at(301).pedGroup, game().playerGroup); // no follow inherited
    // Following the new horse starts with its tasks cleared, as for a first follow.
    completes(promptFollow);
    const std::size_t m = mark();
    runPasses(2);
    EXPECT_EQ(callsOn("clearPedTasks", 301, m), 1u);
    EXPECT_EQ(game().peds.at(301).pedGroup, game().playerGroup);
}

TEST_F(BorrowedHorseTest, TheFirstHorseLetsNoneGoAndASwitchWhileRidingRemovesNoBlip) {
    horse(300, gangHorses[0], {5, 0, 0});
    horse(301, gangHorses[1], {6, 0, 0});
    start(1);
    std::size_t m = mark();
    borrow(300);
    EXPECT_THAT(among(m, {"removeBlip"}), IsEmpty());
    EXPECT_EQ(callsOn("removePedFromGroup", 0, m), 0u);

    game().player().mount = 300; // ridden: no blip shown
    runPasses(1);
    game().target = 301;
    m = mark();
    runPasses(1);
    const auto letGo = calls("removePedFromGroup", m);
    ASSERT_THAT(letGo, SizeIs(2)); // the previous horse at detection, the new one by the follow step
    EXPECT_EQ(i32(letGo[0], 0), 300);
    EXPECT_EQ(i32(letGo[1], 0), 301);
    EXPECT_THAT(calls("removeBlip", m), IsEmpty());
}

} // namespace
