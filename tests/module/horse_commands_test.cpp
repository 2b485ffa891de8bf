// The player's commands to the borrowed horse: the four prompts and the
// whistle, and the follow they start.
#include <gmock/gmock.h>

#include <cmath>

#include "tests/support/gang_world.h"

using namespace gangworld;

namespace {

class HorseCommandsTest : public GangWorldTest {
  protected:
    void SetUp() override {
        GangWorldTest::SetUp();
        horse(300, gangHorses[0], {10, 0, 0});
    }
    void whistle() { game().releaseControl("INPUT_WHISTLE"); }
    // What the follow step did to the horse in a stretch of passes.
    std::vector<std::string> followSince(std::size_t from, std::int32_t handle) const {
        std::vector<std::string> found;
        for (std::size_t i = from; i < host.events().size(); ++i) {
            const Event& e = host.events()[i];
            if (e.is("clearPedTasks") && i32(&e, 0) == handle) {
                found.push_back("clear");
            } else if (e.is("setPedAsGroupMember") && i32(&e, 0) == handle) {
                EXPECT_EQ(i32(&e, 1), host.game().playerGroup);
                found.push_back("group");
            } else if (e.is("removePedFromGroup") && i32(&e, 0) == handle) {
                found.push_back("ungroup");
            }
        }
        return found;
    }
    // What the follow step did to the horse in the next passes.
    std::vector<std::string> followIn(int passes, std::int32_t handle = 300) {
        const std::size_t from = mark();
        runPasses(passes);
        return followSince(from, handle);
    }
    // The first call of a task from a mark on, which must come a second or
    // more after the line the player said for the command.
    const Event* taskAfterItsLine(const char* task, std::size_t from) const {
        const Event* e = calls(task, from).at(0);
        EXPECT_GE(e->time, calls("playPedAmbientSpeech", from).at(0)->time + 1000) << task;
        return e;
    }
    std::vector<std::uint64_t> navigateHomeSlots(std::int32_t handle, int stage) const {
        return {slotOf(handle), campBits[stage].x, campBits[stage].y, campBits[stage].z, slotOf(4.0f),
                slotOf(-1),     slotOf(15.0f),     0x100004,          slotOf(40000.0f)};
    }
};

TEST_F(HorseCommandsTest, CommandsCompletedTogetherRunInOrderWithLinesForTheHorsesSex) {
    openStage(0);
    horse(301, gangHorses[1], {12, 0, 0}, false);
    start(1);
    for (auto [handle, sex] : {std::pair{300, "MALE"}, std::pair{301, "FEMALE"}}) {
        borrow(handle);
        for (Prompt p : {promptSendHome, promptStay, promptSpur, promptFollow}) {
            completes(p);
        }
        const std::size_t m = mark();
        runPasses(1);
        const std::string s = sex;
        EXPECT_THAT(linesSince(m), ElementsAre("HORSE_FOLLOW_ME_" + s, "SPURS_HORSE", "HORSE_STAY_HERE_" + s,
                                               "HORSE_RUN_AWAY_" + s));
        for (const Event* e : calls("playPedAmbientSpeech", m)) {
            expectPlayerLine(e, e->args.at(1).text, player());
        }
        EXPECT_THAT(among(m, {"playPedAmbientSpeech", "scriptWait", "taskSmartFleePed", "clearPedTasks",
                              "taskFollowNavMeshToCoord"}),
                    ElementsAre("playPedAmbientSpeech", "playPedAmbientSpeech", "scriptWait",
                                "taskSmartFleePed", "playPedAmbientSpeech", "clearPedTasks",
                                "playPedAmbientSpeech", "scriptWait", "taskFollowNavMeshToCoord",
                                "scriptWait"));
        EXPECT_THAT(waits(m), ElementsAre(1000, 1000, 0));
        EXPECT_EQ(slotsOf(calls("taskSmartFleePed", m).at(0)),
                  (std::vector<std::uint64_t>{slotOf(handle), slotOf(player()), slotOf(50.0f), slotOf(-1), 6,
                                              slotOf(2.0f), 0}));
        EXPECT_EQ(slotsOf(calls("clearPedTasks", m).at(0)),
                  (std::vector<std::uint64_t>{slotOf(handle), 1, 1}));
        EXPECT_EQ(slotsOf(calls("taskFollowNavMeshToCoord", m).at(0)), navigateHomeSlots(handle, 0));
        EXPECT_THAT(followSince(m, handle), ElementsAre("clear", "ungroup")); // stay, then no follow
    }
}

TEST_F(HorseCommandsTest, AFollowingHorseJoinsThePlayersGroupOnlyWhenMoreThanThreeAway) {
    const float beyond = std::nextafter(3.0f, 4.0f);
    game().peds.at(300).position = {3.0f, 0, 0};
    ASSERT_EQ(standin::distance(game().player().position, {beyond, 0, 0}), beyond);
    start(1);
    borrow(300);
    whistle();
    EXPECT_THAT(followIn(1), ElementsAre("ungroup"));

    game().peds.at(300).position = {beyond, 0, 0};
    EXPECT_THAT(followIn(2), ElementsAre("clear", "group", "group"));
    EXPECT_EQ(game().peds.at(300).pedGroup, game().playerGroup);

    game().peds.at(300).position = {3.0f, 0, 0}; // caught up, then left behind again
    runPasses(1);
    game().peds.at(300).position = {beyond, 0, 0};
    EXPECT_THAT(followIn(1), ElementsAre("group"));
}

TEST_F(HorseCommandsTest, StayEndsTheFollowEvenWhenFollowIsCompletedInTheSamePass) {
    start(1);
    borrow(300);
    completes(promptFollow);
    EXPECT_THAT(followIn(2), ElementsAre("clear", "group", "group"));

    completes(promptStay);
    std::size_t m = mark();
    runPasses(1);
    EXPECT_THAT(linesSince(m), ElementsAre("HORSE_STAY_HERE_MALE"));
    EXPECT_THAT(followSince(m, 300), ElementsAre("clear", "ungroup"));

    completes(promptFollow);
    completes(promptStay);
    m = mark();
    runPasses(2);
    EXPECT_THAT(linesSince(m), ElementsAre("HORSE_FOLLOW_ME_MALE", "HORSE_STAY_HERE_MALE"));
    EXPECT_THAT(followSince(m, 300), ElementsAre("clear", "ungroup", "ungroup"));

    completes(promptFollow); // the stay cleared the grouping: it starts afresh
    EXPECT_THAT(followIn(1), ElementsAre("clear", "group"));
}

TEST_F(HorseCommandsTest, SpurredWhileFollowingTheHorseFollowsUntilItFlees) {
    start(1);
    borrow(300);
    whistle();
    runPasses(1);
    completes(promptSpur);
    std::size_t m = mark();
    runPasses(1);
    EXPECT_THAT(linesSince(m), ElementsAre("SPURS_HORSE"));
    taskAfterItsLine("taskSmartFleePed", m);
    EXPECT_THAT(followSince(m, 300), ElementsAre("group"));

    game().peds.at(300).fleeing = true;
    // Still grouped in this pass, both flags cleared at its end.
    EXPECT_THAT(followIn(1), ElementsAre("group"));
    game().peds.at(300).fleeing = false;
    EXPECT_THAT(followIn(1), ElementsAre("ungroup"));
    whistle();
    EXPECT_THAT(followIn(1), ElementsAre("clear", "group"));
}

TEST_F(HorseCommandsTest, RidingTheHorseEndsTheFollowAfterThePassesFollowStep) {
    start(1);
    borrow(300);
    whistle();
    runPasses(1);
    game().player().mount = 300;
    const std::size_t m = mark();
    runPasses(2);
    EXPECT_THAT(followSince(m, 300), ElementsAre("group", "ungroup"));
    EXPECT_THAT(calls("isPedFleeing", m), IsEmpty());
    game().player().mount = 0;
    whistle();
    EXPECT_THAT(followIn(1), ElementsAre("clear", "group"));
}

TEST_F(HorseCommandsTest, TheWhistleCallsTheHorseFromAnywhereButNotInTheCamp) {
    game().peds.at(300).position = {400, 0, 0};
    game().startScript(campScript);
    start(1);
    borrow(300);
    game().target = 0;
    whistle();
    EXPECT_THAT(followIn(2), ElementsAre("ungroup", "ungroup"));

    game().stopScript(campScript);
    whistle();
    const std::size_t m = mark();
    runPasses(1);
    EXPECT_THAT(calls("promptSetEnabled", m).at(0)->slot(1), 0u); // no prompt shown
    EXPECT_THAT(followSince(m, 300), ElementsAre("clear", "group"));
    game().startScript(campScript); // a horse already following keeps following in the camp
    EXPECT_THAT(followIn(1), ElementsAre("group"));
}

TEST_F(HorseCommandsTest, SentHomeTheHorseWalksToTheCampAndFollowsNobody) {
    openStage(0);
    game().peds.at(300).male = false;
    horse(301, gangHorses[1], {20, 0, 0});
    start(1);
    borrow(300);
    completes(promptFollow);
    runPasses(1);
    completes(promptSendHome);
    std::size_t m = mark();
    runPasses(1);
    EXPECT_THAT(linesSince(m), ElementsAre("HORSE_RUN_AWAY_FEMALE"));
    EXPECT_EQ(slotsOf(taskAfterItsLine("taskFollowNavMeshToCoord", m)), navigateHomeSlots(300, 0));
    EXPECT_THAT(followSince(m, 300), ElementsAre("ungroup"));

    whistle(); // sent home, the horse does not answer the whistle
    EXPECT_THAT(followIn(1), ElementsAre("ungroup"));

    game().peds.at(300).position = offset(campAt(0), 1.0f); // arrives and is forgotten
    m = mark();
    runPasses(1);
    ASSERT_THAT(calls("removeBlip", m), SizeIs(1));
    m = mark();
    borrow(301);
    runPasses(1);
    EXPECT_THAT(followSince(m, 301), ElementsAre("ungroup", "ungroup"));
    // The next horse starts with no orders: its first follow clears its tasks.
    completes(promptFollow);
    EXPECT_THAT(followIn(1, 301), ElementsAre("clear", "group"));
}

TEST_F(HorseCommandsTest, WithNoCampKnownSendHomeDoesNothing) {
    start(1);
    borrow(300);
    completes(promptSendHome);
    std::size_t m = mark();
    runPasses(2);
    EXPECT_THAT(among(m, {"playPedAmbientSpeech", "taskFollowNavMeshToCoord", "isPedStill"}), IsEmpty());
    EXPECT_THAT(nonZeroWaits(m), IsEmpty());
    whistle(); // not sent home: the whistle works
    EXPECT_THAT(followIn(1), ElementsAre("clear", "group"));

    openStage(2); // Shady Belle, for a pass; then no stage holds
    runPasses(1);
    game().completeMission("NBD1");
    runPasses(1);
    completes(promptSendHome);
    m = mark();
    runPasses(2);
    EXPECT_THAT(linesSince(m), ElementsAre("HORSE_RUN_AWAY_MALE"));
    ASSERT_THAT(calls("taskFollowNavMeshToCoord", m), SizeIs(1));
    EXPECT_EQ(slotsOf(calls("taskFollowNavMeshToCoord", m).at(0)), navigateHomeSlots(300, 2));
    EXPECT_THAT(calls("isPedStill", m), SizeIs(1));
}

} // namespace
