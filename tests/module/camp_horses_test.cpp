// While a camp script runs, every pass prepares the gang horses in the world
// for the player and gives every gang member its own call.
#include <gmock/gmock.h>

#include "tests/support/gang_world.h"

using namespace gangworld;

namespace {

using Call = std::pair<std::string, std::vector<std::uint64_t>>;

class CampHorsesTest : public GangWorldTest {
  protected:
    // The configuration calls of a stretch of the record, with their slots.
    std::vector<Call> configurationSince(std::size_t from) const {
        static const char* const labels[] = {
            "native5B9813EC",
            "native67F7CEAC",
            "nativeE2487779",
            "nativeBA881821",
            "removeRelationshipGroup",
            "setPedRelationshipGroupHash",
            "setPedRelationshipGroupDefaultHash",
            "nativeA6989999",
            "native2EB75FB8",
            "setPedConfigFlag",
            "setAttributePoints",
        };
        std::vector<Call> found;
        for (std::size_t i = from; i < host.events().size(); ++i) {
            const Event& e = host.events()[i];
            for (const char* label : labels) {
                if (e.is(label)) {
                    found.emplace_back(label, slotsOf(&e));
                }
            }
        }
        return found;
    }
};

TEST_F(CampHorsesTest, AGangHorseGetsTheThirteenConfigurationCallsInOrder) {
    horse(300, gangHorses[1]);
    startInCamp();
    const std::size_t m = mark();
    runPasses(1);
    const std::uint64_t ally = hashOf("REL_PLAYER_ALLY");
    EXPECT_THAT(configurationSince(m),
                ElementsAre(Call{"native5B9813EC", {0}}, Call{"native67F7CEAC", {300, 1}},
                            Call{"nativeE2487779", {300, 16}}, Call{"nativeBA881821", {300, 0, 0}},
                            Call{"nativeBA881821", {300, 6, 0}},
                            Call{"removeRelationshipGroup", {hashOf("REL_GANG_DUTCHS_HORSES")}},
                            Call{"setPedRelationshipGroupHash", {300, ally}},
                            Call{"setPedRelationshipGroupDefaultHash", {300, ally}},
                            Call{"nativeA6989999", {300, 4}}, Call{"native2EB75FB8", {0, 3, 0}},
                            Call{"setPedConfigFlag", {0, 600, 1}}, Call{"setPedConfigFlag", {0, 565, 1}},
                            Call{"setAttributePoints", {0, 7, 2000}}));
    EXPECT_EQ(game().peds.at(300).relationshipGroup, ally);
}

TEST_F(CampHorsesTest, EveryGangHorseIsConfiguredOncePerPassAndOtherPedsAreLeftAlone) {
    for (int i = 0; i < 14; ++i) {
        horse(300 + i, gangHorses[i]);
    }
    horse(320, strayHorse);
    game().addPed(321, ""); // a handle the game no longer knows a model for
    game().addPed(330, "CS_HOSEAMATTHEWS");
    startInCamp();
    for (int pass = 0; pass < 2; ++pass) {
        const std::size_t m = mark();
        runPasses(1);
        std::vector<std::int32_t> configured;
        for (const Event* e : calls("native67F7CEAC", m)) {
            configured.push_back(i32(e, 0));
        }
        std::vector<std::int32_t> expected;
        for (int i = 0; i < 14; ++i) {
            expected.push_back(300 + i);
        }
        EXPECT_EQ(configured, expected) << "pass " << pass;
        EXPECT_THAT(calls("native5B9813EC", m), SizeIs(14));
    }
}

TEST_F(CampHorsesTest, GangMembersGetTheirOwnCallAndNothingElse) {
    game().addPed(330, "CS_HOSEAMATTHEWS").relationshipGroup = hashOf("REL_GANG_DUTCHS");
    horse(301, gangHorses[9]).relationshipGroup = hashOf("REL_GANG_DUTCHS"); // a horse in the gang's group
    game().addPed(331, "CS_HOSEAMATTHEWS").relationshipGroup = hashOf("REL_GANG_O_DRISCOLLS");
    startInCamp();
    // The gang's own horse gets the member call, and is configured all the same.
    EXPECT_EQ(callsOn("nativeA5C38736", 301, 0), 1u);
    EXPECT_EQ(callsOn("native67F7CEAC", 301, 0), 1u);
    const std::size_t m = mark();
    runPasses(1);
    std::vector<Call> memberCalls;
    for (const Event& e : host.events()) {
        if (e.kind == Event::Kind::Native && !e.args.empty() && e.slot(0) == 330 &&
            !e.is("getPedRelationshipGroupHash") && !e.is("getEntityModel")) {
            memberCalls.emplace_back(e.native->label, slotsOf(&e));
        }
    }
    EXPECT_THAT(memberCalls, ElementsAre(Call{"nativeA5C38736", {330, 1}}, Call{"nativeA5C38736", {330, 1}}));
    // Now in the player's allies, the horse is no member, but still a gang horse.
    EXPECT_EQ(callsOn("nativeA5C38736", 301, m), 0u);
    EXPECT_EQ(callsOn("native67F7CEAC", 301, m), 1u);
    EXPECT_EQ(callsOn("nativeA5C38736", 331, 0), 0u);
}

TEST_F(CampHorsesTest, TheBorrowedHorseGetsTheLastFourCallsOncePerGangHorseFound) {
    for (int i = 0; i < 5; ++i) {
        horse(300 + i, gangHorses[i]);
    }
    game().target = 302;
    startInCamp(); // the first pass finds 302 only after the camp phases
    const std::vector<Call> none = {Call{"native2EB75FB8", {0, 3, 0}}, Call{"setPedConfigFlag", {0, 600, 1}},
                                    Call{"setPedConfigFlag", {0, 565, 1}},
                                    Call{"setAttributePoints", {0, 7, 2000}}};
    const std::vector<Call> borrowed = {
        Call{"native2EB75FB8", {302, 3, 0}}, Call{"setPedConfigFlag", {302, 600, 1}},
        Call{"setPedConfigFlag", {302, 565, 1}}, Call{"setAttributePoints", {302, 7, 2000}}};
    auto tails = [&](std::size_t from) {
        std::vector<Call> found;
        for (const Call& c : configurationSince(from)) {
            if (c.first == "native2EB75FB8" || c.first == "setPedConfigFlag" ||
                c.first == "setAttributePoints") {
                found.push_back(c);
            }
        }
        return found;
    };
    std::vector<Call> expectedFirst, expectedNext;
    for (int i = 0; i < 5; ++i) {
        expectedFirst.insert(expectedFirst.end(), none.begin(), none.end());
        expectedNext.insert(expectedNext.end(), borrowed.begin(), borrowed.end());
    }
    EXPECT_EQ(tails(0), expectedFirst);
    const std::size_t m = mark();
    runPasses(1);
    EXPECT_EQ(tails(m), expectedNext);
}

TEST_F(CampHorsesTest, TheWalkReadsOnlyWhatTheHostReportsAndNeverPastItsBuffer) {
    horse(301, gangHorses[12]);
    horse(302, gangHorses[8]);
    startInCamp();
    host.overridePedCount = true;
    for (auto [count, mount] : {std::pair{0, 301}, std::pair{-1, 302}}) {
        host.pedCountOverride = count;
        game().player().mount = mount; // a silent owner's horse: the remark follows all the same
        const std::size_t m = mark();
        runPasses(1);
        EXPECT_THAT(among(m, {"getPedRelationshipGroupHash", "native5B9813EC"}), IsEmpty()) << count;
        EXPECT_EQ(callsOn("nativeDC19C288", mount, m), 1u) << count;
    }
    host.pedCountOverride = 5000;
    const std::size_t m = mark();
    runPasses(1);
    EXPECT_THAT(calls("getPedRelationshipGroupHash", m), SizeIs(1024));
}

TEST_F(CampHorsesTest, AModelNameTheGameHashesToZeroHidesNoGangModelAfterIt) {
    game().hashOverrides[gangHorses[1]] = 0;
    horse(300, gangHorses[2]); // after the zero entry in the table
    horse(301, strayHorse);
    startInCamp();
    const std::size_t m = mark();
    runPasses(1);
    EXPECT_EQ(callsOn("native67F7CEAC", 300, m), 1u);
    EXPECT_EQ(callsOn("native67F7CEAC", 301, m), 0u);
    const std::size_t aimed = mark();
    borrow(300);
    EXPECT_EQ(borrowedSince(aimed), 300);
}

TEST_F(CampHorsesTest, EntriesTheHostReportsButDidNotWriteReadAsTheHandleZero) {
    horse(301, gangHorses[12]);
    horse(302, gangHorses[8]);
    horse(303, gangHorses[3]);
    startInCamp(); // the walk's buffer held 100, 301, 302 and 303
    game().peds.erase(302);
    game().peds.erase(303);
    host.overridePedCount = true;
    host.pedCountOverride = 4; // four reported, two written
    const std::size_t m = mark();
    runPasses(1);
    std::vector<std::int32_t> walked;
    for (const Event* e : calls("getPedRelationshipGroupHash", m))
        walked.push_back(i32(e, 0));
    EXPECT_THAT(walked, ElementsAre(100, 301, 0, 0));
}

} // namespace
