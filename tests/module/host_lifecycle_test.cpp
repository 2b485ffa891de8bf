// The module on a host as rough as the real one: set up again after a game
// reload drops its script, none of its heap left behind by dropped scripts,
// and nothing released by a detach at the end of the process.
#include <gmock/gmock.h>

#include "gang_horse/gang_horse.h"
#include "host/dll_main.h"
#include "prompts/prompts.h"
#include "standin/host.h"
#include "tests/support/module_fixture.h"

using ::testing::ElementsAre;
namespace {

// The stand-in's own part of this suite is in tests/standin/host_test.cpp.
using HostLifecycleTest = testsupport::ModuleTest;

TEST_F(HostLifecycleTest, AfterAGameReloadTheModuleSetsItselfUpAgainAndSettlesTheCampAgain) {
    writeSettings("Follow=Come along with me now\nStay=Wait right here for me\nSpur=Go\nHome=Home\n");
    game().startScript("camp_horseshoeoverlook");
    start(1);
    host.runUntil(11000); // past the settle wait
    writeSettings("Follow=Walk on beside me, boy\nStay=Wait right here for me\nSpur=Go\nHome=Home\n");
    const Prompt followBefore = promptFollow;
    const std::size_t from = mark();
    host.reloadGame();
    host.runFrame();
    EXPECT_EQ(calls("promptRegisterBegin", from).size(), 4u);
    EXPECT_NE(promptFollow, followBefore);
    EXPECT_EQ(game().promptFor("INPUT_CONTEXT_Y")->text, "Walk on beside me, boy"); // read again
    EXPECT_THAT(waits(from), ElementsAre(10000));
}

TEST_F(HostLifecycleTest, DroppedScriptsLeaveNoneOfTheModulesHeapBehind) {
    ASSERT_TRUE(standin::countingAllocations);
    // Texts too long to live inside their string objects.
    writeSettings("Follow=Come along with me now\nStay=Wait right here for me\n"
                  "Spur=Off you go, run along\nHome=Back to the camp with you\n");
    releasePromptTexts(); // those an earlier test's set-up kept
    const std::int64_t before = standin::moduleHeapBytes;
    start(1);
    const std::int64_t afterSetUp = standin::moduleHeapBytes;
    EXPECT_GT(afterSetUp, before) << "the texts are on the heap";
    for (int reload = 0; reload < 5; ++reload) {
        host.reloadGame();
        host.runFrames(2);
    }
    EXPECT_EQ(standin::moduleHeapBytes, afterSetUp);
    DllMain(testsupport::moduleHandle(), 0, nullptr); // an unload gives everything back
    host.runFrame();
    EXPECT_EQ(standin::moduleHeapBytes, before);
}

TEST_F(HostLifecycleTest, ADetachAtTheEndOfTheProcessReleasesNothing) {
    writeSettings("Follow=Come along with me now\nStay=Wait right here for me\n"
                  "Spur=Off you go, run along\nHome=Back to the camp with you\n");
    start(1);
    const std::int64_t held = standin::moduleHeapBytes;
    int processExit = 0; // a non-null reserved argument: the process ends, the module is not freed
    const std::size_t from = mark();
    DllMain(testsupport::moduleHandle(), 0, &processExit);
    EXPECT_THAT(sequence(from), ElementsAre("scriptUnregister", "keyboardHandlerUnregister"));
    EXPECT_EQ(standin::moduleHeapBytes, held);
    releasePromptTexts();
}

} // namespace
