// The borrowed horse's way home once sent there: taken back by riding or a
// stay, checked when far or still, put at the camp, grazing, and forgotten.
#include <gmock/gmock.h>

#include <cmath>

#include "tests/module/borrowed_horse.h"
#include "tests/support/host_hooks.h"

using namespace gangworld;

namespace {

// Riding a horse sent home takes it back: wherever it was on its way, it is
// no longer checked, waited for or brought to camp, and once left outside
// the camp it carries its blip like any borrowed horse.
TEST_F(BorrowedHorseTest, RidingAHorseOnItsWayHomeEndsItsReturn) {
    struct Case {
        const char* what;
        float fromCamp;
        bool still;
    };
    const Case cases[] = {
        {"walking home", 100.0f, false}, {"far away", 800.0f, false}, {"standing still", 100.0f, true}};
    start(1);
    std::int32_t handle = 300;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        horse(handle, gangHorses[handle - 300], offset(camp, c.fromCamp));
        sendHome(handle);
        game().peds.at(handle).still = c.still;
        game().player().mount = handle;
        std::size_t m = mark();
        runPasses(3);
        EXPECT_THAT(among(m, {"isPedStill", "setEntityCoords", "native0CC36D41"}), IsEmpty());
        EXPECT_THAT(nonZeroWaits(m), IsEmpty());
        EXPECT_EQ(borrowedSince(m), handle);

        game().player().mount = 0;
        m = mark();
        runPasses(2);
        EXPECT_THAT(calls("isPedStill", m), IsEmpty());
        std::vector<std::int32_t> blipped;
        for (const Event* e : calls("blipAddForEntity", m)) {
            blipped.push_back(i32(e, 1));
        }
        EXPECT_THAT(blipped, ElementsAre(handle));
        ++handle;
    }
}

TEST_F(BorrowedHorseTest, TellingAHorseOnItsWayHomeToStayEndsItsReturn) {
    horse(300, gangHorses[0], offset(camp, 100.0f));
    start(1);
    sendHome(300);
    completes(promptStay);
    runPasses(1);
    game().peds.at(300).still = true; // its tasks cleared, it stands where it was told
    const std::size_t m = mark();
    runPasses(3);
    EXPECT_THAT(among(m, {"isPedStill", "setEntityCoords", "taskStartScenarioInPlaceHash"}), IsEmpty());
    EXPECT_THAT(nonZeroWaits(m), IsEmpty());
    EXPECT_EQ(borrowedSince(m), 300);
}

// A follow given on the way home waits for the return to end, and goes with
// the horse when it is forgotten at the camp: the next horse does not start
// following unbidden.
TEST_F(BorrowedHorseTest, AFollowLeftOverFromAHorseThatArrivedIsNotInherited) {
    horse(300, gangHorses[0], offset(camp, 50.0f));
    horse(301, gangHorses[1], {30, 0, 0});
    start(1);
    sendHome(300);
    completes(promptFollow);
    runPasses(1);
    game().peds.at(300).position = offset(camp, 2.0f);
    std::size_t m = mark();
    runPasses(1);
    ASSERT_THAT(calls("native0CC36D41", m), SizeIs(1)); // arrived and forgotten

    m = mark();
    borrow(301);
    runPasses(2);
    EXPECT_EQ(callsOn("clearPedTasks", 301, m), 0u);
    EXPECT_EQ(callsOn("setPedAsGroupMember", 301, m), 0u);
    EXPECT_NE(game().peds.at(301).pedGroup, game().playerGroup);
}

TEST_F(BorrowedHorseTest, SentHomeInThePassItWouldGetABlipTheHorseGetsNone) {
    horse(300, gangHorses[0], {5, 0, 0});
    game().player().mount = 300;
    game().target = 300;
    start(2); // borrowed while ridden: no blip
    game().player().mount = 0;
    completes(promptSendHome);
    const std::size_t m = mark();
    runPasses(2);
    EXPECT_THAT(calls("taskFollowNavMeshToCoord", m), SizeIs(1));
    EXPECT_THAT(calls("blipAddForEntity", m), IsEmpty());
}

TEST_F(BorrowedHorseTest, FromExactly500AwayTheHorseWalksOnAndFromFurtherItIsPutAtTheCamp) {
    const Vec3 at500 = offset(camp, 500.0f);
    const Vec3 beyond = offset(camp, std::nextafter(500.0f, 1000.0f));
    ASSERT_EQ(standin::distance(camp, at500), 500.0f);
    ASSERT_EQ(standin::distance(camp, beyond), std::nextafter(500.0f, 1000.0f));
    horse(300, gangHorses[0], at500);
    start(1);
    sendHome(300);
    std::size_t m = mark();
    runPasses(2);
    EXPECT_THAT(nonZeroWaits(m), IsEmpty());
    EXPECT_THAT(calls("setEntityCoords", m), IsEmpty());
    EXPECT_THAT(calls("isPedStill", m), SizeIs(2));

    game().peds.at(300).position = beyond;
    m = mark();
    runPasses(1);
    EXPECT_THAT(nonZeroWaits(m), ElementsAre(10000));
    ASSERT_THAT(calls("setEntityCoords", m), SizeIs(1));
    const Event* put = calls("setEntityCoords", m).front();
    EXPECT_EQ(slotsOf(put), putAtCampSlots(300));
    EXPECT_GE(put->time, calls("isEntityAtCoord", m).front()->time + 10000);
}

TEST_F(BorrowedHorseTest, AHorseStandingStillIsCheckedAgainTenSecondsLater) {
    horse(300, gangHorses[0], offset(camp, 100.0f));
    start(1);
    sendHome(300);
    bool movesDuringTheWait = true;
    testsupport::HostHooks hooks(host, [&](const Event& e) {
        if (e.kind == Event::Kind::Host && e.host == "scriptWait" && e.values.at(0).second == 10000) {
            game().peds.at(300).still = !movesDuringTheWait;
        }
    });
    game().peds.at(300).still = true; // stood still, then walked on
    std::size_t m = mark();
    runPasses(1);
    EXPECT_THAT(nonZeroWaits(m), ElementsAre(10000));
    EXPECT_THAT(calls("isPedStill", m), SizeIs(2));
    EXPECT_THAT(calls("setEntityCoords", m), IsEmpty());

    movesDuringTheWait = false; // still both times: put at the camp
    game().peds.at(300).still = true;
    m = mark();
    runPasses(1);
    EXPECT_THAT(nonZeroWaits(m), ElementsAre(10000));
    ASSERT_THAT(calls("setEntityCoords", m), SizeIs(1));
    EXPECT_EQ(slotsOf(calls("setEntityCoords", m).front()), putAtCampSlots(300));
    EXPECT_EQ(borrowedSince(m), 300); // the stale measurement cannot see it arrive in this pass
    m = mark();
    runPasses(1);
    EXPECT_THAT(calls("removeBlip", m), SizeIs(1)); // arrived
}

TEST_F(BorrowedHorseTest, AHorseThatSettlesInTheCampWhileCheckedIsBorrowedAgain) {
    horse(300, gangHorses[0], offset(camp, 2.0f));
    start(1);
    sendHome(300);
    standin::PedState& h = game().peds.at(300);
    h.task.kind = standin::TaskKind::ScenarioInPlace; // in the camp box, but busy
    h.still = true;
    testsupport::HostHooks hooks(host, [&](const Event& e) {
        if (e.kind == Event::Kind::Host && e.host == "scriptWait" && e.values.at(0).second == 10000) {
            game().peds.at(300).task = standin::Task{};
        }
    });
    std::size_t m = mark();
    runPasses(1);
    EXPECT_THAT(nonZeroWaits(m), ElementsAre(10000));
    EXPECT_THAT(calls("native0CC36D41", m), IsEmpty());
    m = mark();
    runPasses(2); // no longer sent home, still borrowed, the blip kept
    EXPECT_THAT(among(m, {"isPedStill", "native0CC36D41", "removeBlip"}), IsEmpty());
    EXPECT_EQ(borrowedSince(m), 300);
    EXPECT_THAT(game().blips, SizeIs(1));
}

TEST_F(BorrowedHorseTest, ArrivingAtAnIdleGrazingPointTheHorseIsSentToItAndForgotten) {
    const std::int32_t point =
        game().addScenarioPoint("WORLD_ANIMAL_HORSE_GRAZING_CAMP", offset(camp, 20.0f));
    horse(300, gangHorses[0], offset(camp, 2.0f));
    start(1);
    sendHome(300);
    // The pass the horse arrives in: nothing after the forgetting acts on the handle 0.
    game().releaseControl("INPUT_WHISTLE");
    completes(promptFollow);
    std::size_t m = mark();
    runPasses(1);
    EXPECT_THAT(
        among(m, {"native0CC36D41", "nativeEEE48293", "taskUseScenarioPoint", "native9C54041B",
                  "taskStartScenarioInPlaceHash", "removeBlip", "promptHasStandardModeCompleted",
                  "blipAddForEntity", "isControlJustReleased", "removePedFromGroup", "setPedAsGroupMember"}),
        ElementsAre("native0CC36D41", "nativeEEE48293", "taskUseScenarioPoint", "native9C54041B",
                    "removeBlip"));
    EXPECT_EQ(slotsOf(calls("nativeEEE48293", m).front()), (std::vector<std::uint64_t>{slotOf(point), 1}));
    EXPECT_EQ(slotsOf(calls("taskUseScenarioPoint", m).front()),
              (std::vector<std::uint64_t>{300, slotOf(point), 0, slotOf(-1), 1, 0, 0, 1, 0xCE810000u, 1}));
    EXPECT_THAT(nonZeroWaits(m), IsEmpty());
    EXPECT_THAT(game().blips, IsEmpty());
    m = mark();
    runPasses(2);
    EXPECT_EQ(borrowedSince(m), 0);
}

TEST_F(BorrowedHorseTest, ArrivingWhereNoGrazingPointIsFreeTheHorseGrazesInPlace) {
    const std::int32_t point =
        game().addScenarioPoint("WORLD_ANIMAL_HORSE_GRAZING_CAMP", offset(camp, 20.0f));
    game().scenarioPoints.back().active = true; // taken by another horse
    horse(300, gangHorses[0], offset(camp, 2.0f));
    horse(301, gangHorses[1], offset(camp, 2.0f));
    start(1);
    sendHome(300);
    const std::uint64_t grazeInPlace[] = {300, hashOf("WORLD_ANIMAL_HORSE_GRAZING_CAMP"), slotOf(-1), 1, 1, 0,
                                          1};
    std::size_t m = mark();
    runPasses(1);
    EXPECT_EQ(i32(calls("native0CC36D41", m).front(), 0), point);
    EXPECT_THAT(among(m, {"nativeEEE48293", "taskUseScenarioPoint"}), IsEmpty());
    EXPECT_THAT(nonZeroWaits(m), ElementsAre(5000));
    ASSERT_THAT(calls("taskStartScenarioInPlaceHash", m), SizeIs(1));
    EXPECT_EQ(slotsOf(calls("taskStartScenarioInPlaceHash", m).front()),
              std::vector<std::uint64_t>(std::begin(grazeInPlace), std::end(grazeInPlace)));

    game().scenarioPoints.clear(); // no grazing point near the camp at all
    sendHome(301);
    m = mark();
    runPasses(1);
    EXPECT_EQ(slotsOf(calls("native0CC36D41", m).front()), std::vector<std::uint64_t>{0});
    EXPECT_EQ(slotsOf(calls("nativeEEE48293", m).front()), (std::vector<std::uint64_t>{0, 1}));
    EXPECT_EQ(i32(calls("taskUseScenarioPoint", m).front(), 1), 0);
    EXPECT_THAT(nonZeroWaits(m), ElementsAre(5000));
    ASSERT_THAT(calls("taskStartScenarioInPlaceHash", m), SizeIs(1));
    EXPECT_EQ(i32(calls("taskStartScenarioInPlaceHash", m).front(), 0), 301);
    EXPECT_EQ(game().peds.at(301).task.kind, standin::TaskKind::ScenarioInPlace);
}

TEST_F(BorrowedHorseTest, ASentHomeHorseThatNoLongerExistsIsForgotten) {
    horse(300, gangHorses[0], offset(camp, 600.0f));
    horse(301, gangHorses[1], offset(camp, 600.0f));
    horse(302, gangHorses[2], {5, 0, 0});
    start(1);
    borrow(300);
    const std::int32_t blip = game().blips.begin()->second.handle;
    sendHome(300);
    game().peds.erase(300); // deleted by the game on its way
    std::size_t m = mark();
    runPasses(1);
    ASSERT_THAT(calls("removeBlip", m), SizeIs(1));
    EXPECT_EQ(static_cast<std::int32_t>(calls("removeBlip", m).front()->args.at(0).pointee), blip);
    EXPECT_THAT(among(m, {"native0CC36D41", "taskStartScenarioInPlaceHash", "isPedStill", "setEntityCoords",
                          "promptHasStandardModeCompleted", "blipAddForEntity", "removePedFromGroup"}),
                IsEmpty());
    EXPECT_THAT(nonZeroWaits(m), IsEmpty());
    m = mark();
    runPasses(2);
    EXPECT_EQ(borrowedSince(m), 0);
    EXPECT_THAT(nonZeroWaits(m), IsEmpty());

    sendHome(301);
    game().peds.at(301).model = hashOf(strayHorse); // its handle now names another horse
    m = mark();
    runPasses(2);
    EXPECT_THAT(among(m, {"isPedStill", "setEntityCoords", "removePedFromGroup"}), IsEmpty());
    EXPECT_THAT(nonZeroWaits(m), IsEmpty());

    borrow(302); // the next horse is not sent home
    m = mark();
    runPasses(2);
    EXPECT_THAT(calls("isPedStill", m), IsEmpty());
    EXPECT_THAT(calls("removePedFromGroup", m), SizeIs(2));
}

TEST_F(BorrowedHorseTest, AHorseTargetedWhileAnotherGoesHomeIsNotSentHomeItself) {
    horse(300, gangHorses[0], offset(camp, 100.0f));
    horse(301, gangHorses[1], offset(camp, 800.0f));
    start(1);
    sendHome(300);
    game().target = 301;
    const std::size_t m = mark();
    runPasses(2);
    EXPECT_THAT(
        among(m, {"isPedStill", "setEntityCoords", "taskUseScenarioPoint", "taskStartScenarioInPlaceHash"}),
        IsEmpty());
    EXPECT_THAT(nonZeroWaits(m), IsEmpty());
    EXPECT_EQ(callsOn("removePedFromGroup", 300, m), 1u);
    EXPECT_EQ(game().peds.at(300).task.kind, standin::TaskKind::Navigate); // still walks home, on its own
    ASSERT_THAT(game().blips, SizeIs(1));
    EXPECT_EQ(game().blips.begin()->second.entity, 301);
}

} // namespace
