// Riding a gang member's horse in the camp: the owner's remark once per
// horse, and the remarks' return fifteen minutes after the latest one.
#include <gmock/gmock.h>

#include <climits>

#include "tests/support/gang_world.h"
#include "tests/support/host_hooks.h"

using namespace gangworld;

namespace {

class OwnerRemarksTest : public GangWorldTest {
  protected:
    // The remark of one pass, as the steps it took: the mount calls, the
    // waits and the lines.
    std::vector<std::string> remarkSince(std::size_t from, std::int32_t mount) const {
        std::vector<std::string> steps;
        for (std::size_t i = from; i < host.events().size(); ++i) {
            const Event& e = host.events()[i];
            if (e.kind == Event::Kind::Host && e.host == "scriptWait" && e.values.at(0).second != 0) {
                steps.push_back("wait " + std::to_string(e.values.at(0).second));
            } else if (e.is("nativeDC19C288") &&
                       slotsOf(&e) == std::vector<std::uint64_t>{slotOf(mount), 1, 1}) {
                steps.push_back("mission entity");
            } else if (e.is("native2EB75FB8") &&
                       slotsOf(&e) == std::vector<std::uint64_t>{slotOf(mount), 3, 0}) {
                steps.push_back("motivation");
            } else if (e.is("playPedAmbientSpeech")) {
                steps.push_back(e.args.at(1).text);
            }
        }
        return steps;
    }
    // Time of the pass's remark, as the game timer read it.
    std::uint32_t remarkTime(std::size_t from) const {
        const auto mountCalls = calls("nativeDC19C288", from);
        EXPECT_FALSE(mountCalls.empty());
        for (std::size_t i = from; i < host.events().size(); ++i) {
            if (host.events()[i].is("getGameTimer") && !mountCalls.empty() &&
                &host.events()[i] > mountCalls.front()) {
                return standin::u32(host.events()[i].result[0]);
            }
        }
        ADD_FAILURE() << "no timer read after the remark";
        return 0;
    }
    void rideUntil(std::uint32_t gameTime) {
        while (static_cast<std::int32_t>(host.now() - gameTime) < 0) {
            host.runFrame();
        }
    }
};

TEST_F(OwnerRemarksTest, RidingDutchsHorseInTheCampMakesHisRemarkOnce) {
    horse(300, gangHorses[1]);
    startInCamp();
    game().player().mount = 300;
    std::size_t m = mark();
    runPasses(1);
    EXPECT_THAT(remarkSince(m, 300),
                ElementsAre("mission entity", "wait 1000", "Take_Horse_Dutch", "motivation"));
    expectPlayerLine(calls("playPedAmbientSpeech", m).at(0), "Take_Horse_Dutch", player());

    game().player().mount = 0; // off and on again
    runPasses(1);
    game().player().mount = 300;
    m = mark();
    runPasses(3);
    EXPECT_THAT(remarkSince(m, 300), IsEmpty());
}

TEST_F(OwnerRemarksTest, EachOwnersHorseHasItsOwnRemarkAndFourAreSilent) {
    const std::pair<const char*, const char*> owners[14] = {
        {"A_C_HORSE_GANG_JAVIER", "Take_Horse_Javier"}, {"A_C_HORSE_GANG_KAREN", nullptr},
        {"A_C_HORSE_GANG_DUTCH", "Take_Horse_Dutch"},   {"A_C_HORSE_GANG_UNCLE", nullptr},
        {"A_C_HORSE_GANG_LENNY", "Take_Horse_Lenny"},   {"A_C_HORSE_GANG_CHARLES", "Take_Horse_Charles"},
        {"A_C_HORSE_GANG_BILL", "Take_Horse_Bill"},     {"A_C_HORSE_GANG_SADIE", "Take_Horse_Sadie"},
        {"A_C_HORSE_GANG_MICAH", "Take_Horse_Micah"},   {"A_C_HORSE_GANG_KIERAN", nullptr},
        {"A_C_HORSE_GANG_HOSEA", "Take_Horse_Hosea"},   {"A_C_HORSE_GANG_JOHN", "Take_Horse_John"},
        {"A_C_HORSE_GANG_TRELAWNEY", nullptr},          {"A_C_HORSE_GANG_SEAN", "Take_Horse_Sean"},
    };
    for (int i = 0; i < 14; ++i) {
        horse(300 + i, owners[i].first);
    }
    startInCamp();
    for (int i = 0; i < 14; ++i) {
        game().player().mount = 300 + i;
        const std::size_t m = mark();
        runPasses(1);
        if (owners[i].second != nullptr) {
            EXPECT_THAT(remarkSince(m, 300 + i),
                        ElementsAre("mission entity", "wait 1000", owners[i].second, "motivation"));
        } else {
            EXPECT_THAT(remarkSince(m, 300 + i), ElementsAre("mission entity", "motivation"))
                << owners[i].first;
        }
    }
}

TEST_F(OwnerRemarksTest, NoRemarkOnAnyOtherMountOrWithoutOne) {
    horse(320, strayHorse);
    horse(321, ""); // a mount whose model reads as 0
    startInCamp();
    for (std::int32_t mount : {320, 321, 0}) {
        game().player().mount = mount;
        const std::size_t m = mark();
        runPasses(2);
        EXPECT_THAT(among(m, {"nativeDC19C288", "playPedAmbientSpeech"}), IsEmpty()) << mount;
        EXPECT_THAT(nonZeroWaits(m), IsEmpty()) << mount;
    }
}

TEST_F(OwnerRemarksTest, RidingOnTheRemarkReturnsInTheFirstPassAfterFifteenMinutesHaveRunOut) {
    // One pass a second; the interval straddles the timer's step from 0x7FFFFFFF to 0x80000000.
    host.reset(1, static_cast<std::uint32_t>(INT_MAX) - 450000);
    game().player();
    horse(300, gangHorses[1]);
    startInCamp();
    game().player().mount = 300;
    std::size_t m = mark();
    runPasses(1);
    const std::uint32_t first = remarkTime(m);
    m = mark();
    rideUntil(first + 905000);
    // At 900000 ms the flags stay; the pass at 901000 clears them at its end.
    ASSERT_EQ(calls("nativeDC19C288", m).size(), 1u);
    EXPECT_EQ(calls("nativeDC19C288", m).front()->time, first + 902000);
}

TEST_F(OwnerRemarksTest, EveryRemarkPostponesTheReturnOfAll) {
    host.reset(1, 5000000);
    game().player();
    horse(300, gangHorses[0]); // Javier's
    horse(302, gangHorses[2]); // Bill's
    startInCamp();
    game().player().mount = 300;
    std::size_t m = mark();
    runPasses(1);
    const std::uint32_t javier = remarkTime(m);
    rideUntil(javier + 600000);
    game().player().mount = 302;
    m = mark();
    runPasses(1);
    const std::uint32_t bill = remarkTime(m);

    game().player().mount = 300;
    m = mark();
    rideUntil(bill + 900000);
    EXPECT_THAT(among(m, {"nativeDC19C288"}), IsEmpty()); // fifteen minutes past Javier's, not Bill's
    rideUntil(bill + 905000);
    EXPECT_THAT(linesSince(m), ElementsAre("Take_Horse_Javier"));
}

TEST_F(OwnerRemarksTest, TheGameTimerAtTheEndOfThePassDecidesToTheMillisecond) {
    horse(300, gangHorses[4]); // Karen's: no line, no wait
    startInCamp();
    game().player().mount = 300;
    std::size_t m = mark();
    runPasses(1);
    const std::uint32_t remark = remarkTime(m);
    // The game timer as the end of each pass reads it.
    std::uint32_t timerAtReset = 0;
    testsupport::HostHooks hooks(host, [&](const Event& e) {
        if (e.is("playerId")) {
            game().gameTimer = timerAtReset;
        }
    });
    // Behind the remark (a negative difference), or exactly fifteen minutes on.
    for (std::uint32_t later : {0xFFFFFFFFu, 0x80000000u, 900000u}) {
        timerAtReset = remark + later;
        m = mark();
        runPasses(3);
        EXPECT_THAT(among(m, {"nativeDC19C288"}), IsEmpty()) << later;
    }
    timerAtReset = remark + 900001;
    m = mark();
    runPasses(2);
    EXPECT_EQ(callsOn("nativeDC19C288", 300, m), 1u);
}

} // namespace
