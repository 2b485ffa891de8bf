// The camp context established at the top of every pass: which camp script
// runs, the one settle wait per load, the companion brain threads, and where
// the camp stands for the story so far.
#include <gmock/gmock.h>

#include <set>

#include "tests/support/gang_world.h"

using namespace gangworld;
using ::testing::ElementsAreArray;

namespace {

class CampContextTest : public GangWorldTest {
  protected:
    // The camp position the pass measured with: the centre of the camp box
    // test, which must also be the centre of the grazing point search.
    std::array<std::uint32_t, 3> campMeasuredSince(std::size_t from) {
        const auto box = calls("isEntityAtCoord", from);
        const auto grazing = calls("findScenarioOfTypeHash", from);
        if (box.empty() || grazing.empty()) {
            ADD_FAILURE() << "no camp measurement since the mark";
            return {};
        }
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(box.back()->slot(k + 1), grazing.back()->slot(k)) << "coordinate " << k;
        }
        return {u32(box.back(), 1), u32(box.back(), 2), u32(box.back(), 3)};
    }
    std::array<std::uint32_t, 3> campOfStage(int stage) {
        return {campBits[stage].x, campBits[stage].y, campBits[stage].z};
    }
    void missionsDone(std::initializer_list<const char*> ids) {
        game().missionsCompleted.clear();
        for (const char* id : ids) {
            game().completeMission(id);
        }
    }
};

TEST_F(CampContextTest, WithoutACampScriptThereIsNoSettleWaitNoThreadScanAndNoCampPhase) {
    horse(300, gangHorses[1], {5, 0, 0});
    game().player().mount = 300; // riding Dutch's horse outside the camp
    game().addThread("DEF_COMP_BRAIN");
    start(3);
    EXPECT_THAT(nonZeroWaits(0), IsEmpty());
    EXPECT_THAT(calls("scriptThreadIteratorReset"), IsEmpty());
    EXPECT_EQ(game().threads.size(), 1u);
    EXPECT_THAT(among(0, {"worldGetAllPeds", "native67F7CEAC", "nativeDC19C288", "playPedAmbientSpeech"}),
                IsEmpty());
    // The camp position, the measurements and the borrowed horse phase still run.
    EXPECT_EQ(calls("isMissionCompleted").size(), 3u * 4u);
    EXPECT_EQ(calls("isEntityAtCoord").size(), 3u);
    EXPECT_EQ(calls("getPlayerTargetEntity").size(), 3u);
}

TEST_F(CampContextTest, AsksForCampScriptsInOrderUntilTheFirstOneRunning) {
    const char* names[5] = {"camp_horseshoeoverlook", "camp_clemenspoint", "camp_beaverhollow", "camp_lakay",
                            "camp_shadybelle"};
    auto asked = [&](std::size_t from) {
        std::vector<std::uint32_t> hashes;
        for (const Event* e : calls("countScriptInstances", from)) {
            hashes.push_back(u32(e, 0));
        }
        return hashes;
    };
    game().startScript(names[1], -1); // a negative count is no running instance
    start(1);
    EXPECT_THAT(asked(0), ElementsAre(hashOf(names[0]), hashOf(names[1]), hashOf(names[2]), hashOf(names[3]),
                                      hashOf(names[4])));
    EXPECT_THAT(nonZeroWaits(0), IsEmpty());

    game().startScript(names[2]);
    std::size_t m = mark();
    runPasses(1);
    EXPECT_THAT(asked(m), ElementsAre(hashOf(names[0]), hashOf(names[1]), hashOf(names[2])));
    EXPECT_THAT(calls("scriptThreadIteratorReset", m), ::testing::SizeIs(1));

    game().startScript(names[0]);
    m = mark();
    runPasses(1);
    EXPECT_THAT(asked(m), ElementsAre(hashOf(names[0])));
}

TEST_F(CampContextTest, SettlesTenSecondsOnlyAtTheFirstCampSightingOfTheLoad) {
    start(2);
    EXPECT_THAT(nonZeroWaits(0), IsEmpty());

    game().startScript(campScript);
    std::size_t m = mark();
    runPasses(1);
    ASSERT_THAT(nonZeroWaits(m), ElementsAre(10000));
    // The wait comes before the thread scan and the camp position of its pass.
    std::uint32_t waitedAt = 0;
    for (std::size_t i = m; i < host.events().size(); ++i) {
        if (host.events()[i].host == "scriptWait") {
            waitedAt = host.events()[i].time;
            break;
        }
    }
    EXPECT_GE(calls("scriptThreadIteratorReset", m).front()->time, waitedAt + 10000);
    EXPECT_GE(calls("isMissionCompleted", m).front()->time, waitedAt + 10000);

    game().stopScript(campScript);
    m = mark();
    runPasses(2);
    EXPECT_THAT(calls("scriptThreadIteratorReset", m), IsEmpty());

    game().startScript(campScript);
    m = mark();
    runPasses(2);
    EXPECT_THAT(nonZeroWaits(m), IsEmpty());
    EXPECT_THAT(calls("scriptThreadIteratorReset", m), ::testing::SizeIs(2));
}

TEST_F(CampContextTest, EveryCampPassTerminatesTheCompanionBrainThreadsAndNoOthers) {
    game().startScript(campScript);
    const std::int32_t brainA = game().addThread("DEF_COMP_BRAIN");
    const std::int32_t camp = game().addThread(campScript);
    const std::int32_t brainB = game().addThread("DEF_COMP_BRAIN");
    const std::int32_t other = game().addThread("DEF_COMP_BRAIN_HORSE");
    const std::uint32_t brain = hashOf("DEF_COMP_BRAIN");
    auto stops = [&](std::size_t from) {
        std::vector<std::pair<std::string, std::uint32_t>> found;
        for (std::size_t i = from; i < host.events().size(); ++i) {
            const Event& e = host.events()[i];
            if (e.is("terminateThread") || e.is("setScriptAsNoLongerNeeded")) {
                found.emplace_back(e.native->label, u32(&e, 0));
            }
        }
        return found;
    };
    using Stop = std::pair<std::string, std::uint32_t>;

    start(1);
    runPasses(1);
    EXPECT_THAT(stops(0),
                ElementsAre(Stop{"terminateThread", brainA}, Stop{"setScriptAsNoLongerNeeded", brain},
                            Stop{"terminateThread", brainB}, Stop{"setScriptAsNoLongerNeeded", brain}));
    ASSERT_EQ(game().threads.size(), 2u);
    EXPECT_EQ(game().threads[0].id, camp);
    EXPECT_EQ(game().threads[1].id, other);

    const std::int32_t brainC = game().addThread("DEF_COMP_BRAIN");
    const std::size_t m = mark();
    runPasses(1);
    EXPECT_THAT(stops(m),
                ElementsAre(Stop{"terminateThread", brainC}, Stop{"setScriptAsNoLongerNeeded", brain}));
}

TEST_F(CampContextTest, AsksForMissionsInStoryOrderAndTheClosingOneOnlyAfterAnOpeningOne) {
    struct Case {
        std::initializer_list<const char*> done;
        std::vector<const char*> asked;
    };
    const Case cases[] = {
        {{}, {"MUD1", "MUD4", "RDTC2", "RDCH3"}},
        {{"MUD1"}, {"MUD1", "MUD4", "MUD4", "RDTC2", "RDCH3"}},
        {{"RDCH3"}, {"MUD1", "MUD4", "RDTC2", "RDCH3", "FIN1"}},
        {{"MUD1", "MUD4", "RDTC2", "RDCH3", "NBD1", "FIN1"},
         {"MUD1", "MUD4", "MUD4", "RDTC2", "RDTC2", "NBD1", "RDCH3", "FIN1"}},
    };
    start(1);
    for (const Case& c : cases) {
        missionsDone(c.done);
        const std::size_t m = mark();
        runPasses(1);
        std::vector<std::uint32_t> asked, expected;
        for (const Event* e : calls("isMissionCompleted", m)) {
            asked.push_back(u32(e, 0));
        }
        for (const char* id : c.asked) {
            expected.push_back(hashOf(id));
        }
        EXPECT_EQ(asked, expected) << "after " << c.done.size() << " missions";
    }
}

TEST_F(CampContextTest, EachStoryStageMovesTheCampToItsPosition) {
    start(1);
    EXPECT_EQ(campMeasuredSince(0), (std::array<std::uint32_t, 3>{0, 0, 0}));
    for (int stage = 0; stage < 4; ++stage) {
        missionsDone({stageOpens[stage]});
        const std::size_t m = mark();
        runPasses(1);
        EXPECT_EQ(campMeasuredSince(m), campOfStage(stage)) << "stage " << stage + 1;
    }
}

TEST_F(CampContextTest, WhenTwoStagesHoldTheLaterOneWins) {
    missionsDone({"MUD1", "RDTC2"});
    start(1);
    EXPECT_EQ(campMeasuredSince(0), campOfStage(2));
    missionsDone({"MUD4", "RDCH3"});
    const std::size_t m = mark();
    runPasses(1);
    EXPECT_EQ(campMeasuredSince(m), campOfStage(3));
}

TEST_F(CampContextTest, KeepsTheLastCampWhileNoStageHolds) {
    missionsDone({"RDTC2", "NBD1"}); // between Shady Belle and Beaver Hollow since load
    start(2);
    EXPECT_EQ(campMeasuredSince(0), (std::array<std::uint32_t, 3>{0, 0, 0}));

    const std::initializer_list<const char*> story[] = {
        {"RDTC2"}, {"RDTC2", "NBD1"}, {"RDTC2", "NBD1", "RDCH3"}, {"RDTC2", "NBD1", "RDCH3", "FIN1"}};
    const int expectedStage[] = {2, 2, 3, 3};
    for (int i = 0; i < 4; ++i) {
        missionsDone(story[i]);
        const std::size_t m = mark();
        runPasses(2);
        EXPECT_EQ(campMeasuredSince(m), campOfStage(expectedStage[i])) << "step " << i;
    }
}

} // namespace
