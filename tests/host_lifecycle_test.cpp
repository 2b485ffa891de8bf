// The stand-in host as rough as the real one: scripts dropped without being
// unwound (a game reload, DllMain's detach) and started again, key messages
// from a window thread of their own while the script runs.
#include <gmock/gmock.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "gang_horse/gang_horse.h"
#include "host/dll_main.h"
#include "prompts/prompts.h"
#include "standin/host.h"
#include "tests/module_fixture.h"

using ::testing::ElementsAre;
using testsupport::ModuleTest;

namespace {

// A script main with something to destroy in its frame.
int framesDestroyed = 0;
struct InTheFrame {
    ~InTheFrame() { ++framesDestroyed; }
};
void scriptWithAFrame() {
    InTheFrame frame;
    for (;;) {
        scriptWait(0);
    }
}

class HostLifecycleTest : public ModuleTest {};

TEST_F(HostLifecycleTest, ADroppedScriptIsNeverUnwoundAndTheScriptMainStartsAgainInTheNextFrame) {
    framesDestroyed = 0;
    host.hostScriptRegister(testsupport::moduleHandle(), &scriptWithAFrame);
    host.runFrames(2);
    host.reloadGame();
    EXPECT_FALSE(host.scriptWaiting());
    host.runFrame();
    EXPECT_TRUE(host.scriptWaiting());
    EXPECT_EQ(host.scriptStarts(), 2);
    host.hostScriptUnregister(testsupport::moduleHandle()); // as DllMain's detach does
    host.runFrame();
    EXPECT_EQ(host.scriptStarts(), 2);
    EXPECT_EQ(framesDestroyed, 0) << "a frame of a dropped script was unwound";
    EXPECT_THAT(sequence(), ElementsAre("scriptRegister", "scriptMain", "scriptWait", "scriptWait",
                                        "scriptMain", "scriptWait", "scriptUnregister"));
}

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

// A keyboard handler that notes its thread and can be held inside a call.
std::atomic<bool> holdHandler{false};
std::atomic<bool> handlerEntered{false};
std::atomic<bool> handlerLeft{false};
std::thread::id handlerThread;
void heldHandler(std::uint32_t, std::uint16_t, std::uint8_t, int, int, int, int) {
    handlerThread = std::this_thread::get_id();
    handlerEntered = true;
    while (holdHandler) {
        std::this_thread::yield();
    }
    handlerLeft = true;
}

TEST_F(HostLifecycleTest, KeysComeFromTheWindowThreadAndUnregisteringWaitsForACallInProgress) {
    handlerEntered = handlerLeft = false;
    host.hostKeyboardRegister(&heldHandler);
    host.sendKey(65);
    EXPECT_TRUE(handlerLeft);
    EXPECT_NE(handlerThread, std::this_thread::get_id());

    handlerEntered = handlerLeft = false;
    holdHandler = true;
    host.postKey({66});
    while (!handlerEntered) {
        std::this_thread::yield();
    }
    std::atomic<bool> unregistered{false};
    std::thread loader([&] {
        host.hostKeyboardUnregister(&heldHandler); // as DllMain's detach does
        unregistered = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(unregistered) << "the handler may still run while its module is unloaded";
    holdHandler = false;
    loader.join();
    EXPECT_TRUE(handlerLeft);
    EXPECT_EQ(host.keyboardHandler(), nullptr);
}

} // namespace
