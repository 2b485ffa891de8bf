// The stand-in host as rough as the real one and as strict as a test needs:
// scripts dropped without being unwound and started again, key messages from
// a window thread of their own, unknown natives and wrong slot counts refused,
// names hashed as the game does.
#include <gmock/gmock.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>

#include "host/native_call.h"
#include "host/natives.h"
#include "standin/host.h"
#include "tests/support/module_fixture.h"

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::string hex16(std::uint64_t value) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llX", static_cast<unsigned long long>(value));
    return text;
}

class StandInTest : public testsupport::ModuleTest {};

TEST_F(StandInTest, RefusesAnUnknownNativeNamingItsHash) {
    const std::uint64_t unknown = 0x1122AABBCCDD3344ull;
    nativeInit(unknown);
    nativePush64(1);
    try {
        nativeCall();
        FAIL() << "an unknown native was answered";
    } catch (const standin::HostFault& fault) {
        EXPECT_THAT(fault.what(), HasSubstr(hex16(unknown)));
    }
    EXPECT_EQ(host.nativeCallCount(), 0u);
}

void unknownNativeMain() {
    invoke(0x1122AABBCCDD3344ull);
    for (;;) {
        scriptWait(0);
    }
}

TEST_F(StandInTest, AnUnknownNativeInTheScriptFailsTheFrame) {
    scriptRegister(testsupport::moduleHandle(), unknownNativeMain);
    try {
        host.runFrame();
        FAIL() << "the script's unknown native went unnoticed";
    } catch (const standin::HostFault& fault) {
        EXPECT_THAT(fault.what(), HasSubstr(hex16(0x1122AABBCCDD3344ull)));
    }
}

TEST_F(StandInTest, RefusesAWrongNumberOfSlots) {
    const std::uint64_t setEnabled = 0x8A0FB4D03A630D21;
    for (int pushes : {0, 1, 3, 40}) {
        SCOPED_TRACE(pushes);
        nativeInit(setEnabled);
        for (int k = 0; k < pushes; ++k) {
            nativePush64(0);
        }
        EXPECT_THROW(nativeCall(), standin::HostFault);
    }
    EXPECT_EQ(host.nativeCallCount(), 0u);
    // A correct call afterwards goes through.
    EXPECT_NO_THROW(promptSetEnabled(0x1001, true));
    EXPECT_EQ(host.nativeCallCount(), 1u);
}

TEST_F(StandInTest, HashesNamesAsTheGameDoes) {
    EXPECT_EQ(standin::joaat("adder"), 0xB779A091u);
    EXPECT_EQ(standin::joaat("weapon_revolver_cattleman"), 0x169F59F7u);
    // Through the native, case-blind.
    EXPECT_EQ(getHashKey("adder"), 0xB779A091u);
    EXPECT_EQ(getHashKey("ADDER"), 0xB779A091u);
    EXPECT_EQ(getHashKey("WEAPON_REVOLVER_CATTLEMAN"), 0x169F59F7u);
}

// --- Scripts dropped and keys from the window thread -----------------------------------------

// The module's own part of this suite is in tests/module/host_lifecycle_test.cpp.
using HostLifecycleTest = testsupport::ModuleTest;

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
