// The host binding: the entry point's registrations, the keyboard table, the
// slot encoding of the native call protocol and the typed natives' results.
#include <gmock/gmock.h>

#include <cstdint>
#include <cstring>

#include "gang_horse/gang_horse.h"
#include "host/dll_main.h"
#include "host/native_call.h"
#include "host/natives.h"
#include "prompts/prompts.h"
#include "tests/support/module_fixture.h"

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testsupport::ModuleTest;

namespace {

// The module's globals as the program loaded them, copied before main() and
// before any fixture clears them.
struct GlobalsAtLoad {
    KeyState keys[keyTableSize];
    Prompt prompts[4];
    bool remarks[gangHorseModelCount];
    GlobalsAtLoad() {
        std::memcpy(keys, keyTable, sizeof keys);
        const Prompt loaded[4] = {promptFollow, promptStay, promptSpur, promptSendHome};
        std::memcpy(prompts, loaded, sizeof prompts);
        std::memcpy(remarks, remarkDone, sizeof remarks);
    }
};
const GlobalsAtLoad globalsAtLoad;

bool isZero(const KeyState& k) {
    return k.lastTick == 0 && k.altHeld == 0 && k.wasDown == 0 && k.released == 0;
}

TEST(ModuleGlobals, AreAllZeroAtLoad) {
    for (int key = 0; key < keyTableSize; ++key) {
        EXPECT_TRUE(isZero(globalsAtLoad.keys[key])) << "key " << key;
    }
    EXPECT_THAT(globalsAtLoad.prompts, ::testing::Each(0));
    EXPECT_THAT(globalsAtLoad.remarks, ::testing::Each(false));
}

// --- Entry point --------------------------------------------------------------------------------

class EntryPointTest : public ModuleTest {};

TEST_F(EntryPointTest, ProcessAttachRegistersTheScriptThenTheKeyboardHandlerWithTheGivenHandle) {
    void* const handle = reinterpret_cast<void*>(0x7FF612340000ull);
    EXPECT_EQ(DllMain(handle, 1, nullptr), 1);
    EXPECT_THAT(sequence(), ElementsAre("scriptRegister", "keyboardHandlerRegister"));
    EXPECT_EQ(host.registeredModule(), handle);
    EXPECT_EQ(host.registeredScript(), &scriptMain);
    EXPECT_EQ(host.keyboardHandler(), &onKeyboardMessage);
}

TEST_F(EntryPointTest, ProcessDetachUnregistersTheScriptThenTheKeyboardHandler) {
    void* const handle = reinterpret_cast<void*>(0x7FF612340000ull);
    DllMain(handle, 1, nullptr);
    host.runFrame(); // the script runs
    const std::size_t from = mark();
    EXPECT_EQ(DllMain(handle, 0, nullptr), 1);
    EXPECT_THAT(sequence(from), ElementsAre("scriptUnregister", "keyboardHandlerUnregister"));
    // The host matched what was registered: the script and the handler are gone.
    EXPECT_EQ(host.registeredScript(), nullptr);
    EXPECT_EQ(host.keyboardHandler(), nullptr);
    EXPECT_FALSE(host.scriptWaiting());
}

TEST_F(EntryPointTest, ThreadAttachAndDetachMakeNoHostCall) {
    for (std::uint32_t reason : {2u, 3u}) {
        EXPECT_EQ(DllMain(testsupport::moduleHandle(), reason, nullptr), 1) << reason;
    }
    EXPECT_THAT(sequence(), IsEmpty());
    // Nor do they disturb a module that is attached.
    load();
    const std::size_t from = mark();
    DllMain(testsupport::moduleHandle(), 2, nullptr);
    DllMain(testsupport::moduleHandle(), 3, nullptr);
    EXPECT_THAT(sequence(from), IsEmpty());
    EXPECT_EQ(host.registeredScript(), &scriptMain);
    EXPECT_EQ(host.keyboardHandler(), &onKeyboardMessage);
}

// --- Keyboard table -----------------------------------------------------------------------------

class KeyboardTest : public ModuleTest {};

TEST_F(KeyboardTest, AMessageOverwritesOnlyItsKeysRecordWithTickAndFlagsAsReceived) {
    host.setTickCount(0xFFFFFF00u);
    host.runFrames(3); // the tick count moves on with the clock
    onKeyboardMessage(254, 3, 0x1C, 1, 7, -1, 0x12345678);
    const KeyState& k = keyTable[254];
    EXPECT_EQ(k.lastTick, host.tickCount());
    EXPECT_EQ(k.altHeld, 7);
    EXPECT_EQ(k.wasDown, -1);
    EXPECT_EQ(k.released, 0x12345678);
    for (int key = 0; key < 254; ++key) {
        EXPECT_TRUE(isZero(keyTable[key])) << "key " << key;
    }

    // A second message for the key leaves only its own tick and flags.
    host.runFrames(10);
    onKeyboardMessage(254, 1, 0, 0, 0, 1, 0);
    EXPECT_EQ(k.lastTick, host.tickCount());
    EXPECT_EQ(k.altHeld, 0);
    EXPECT_EQ(k.wasDown, 1);
    EXPECT_EQ(k.released, 0);

    onKeyboardMessage(0, 1, 0, 0, 1, 1, 1);
    EXPECT_EQ(keyTable[0].lastTick, host.tickCount());
    EXPECT_EQ(keyTable[0].released, 1);
}

TEST_F(KeyboardTest, KeyCodesFrom255UpChangeNothing) {
    onKeyboardMessage(65, 1, 0, 0, 1, 1, 1);
    KeyState before[keyTableSize];
    std::memcpy(before, keyTable, sizeof before);
    host.runFrames(5);
    for (std::uint32_t key : {255u, 256u, 65535u, 0xFFFFFFFFu}) {
        onKeyboardMessage(key, 1, 0, 0, 9, 9, 9);
    }
    EXPECT_EQ(std::memcmp(before, keyTable, sizeof before), 0);
}

TEST_F(KeyboardTest, TheHostDeliversMessagesOnlyWhileTheModuleIsAttached) {
    load();
    host.setTickCount(123456);
    host.sendKey(0x57, 1, 0x11, 0, 0, 0, 1);
    EXPECT_EQ(keyTable[0x57].lastTick, host.tickCount());
    EXPECT_EQ(keyTable[0x57].released, 1);

    DllMain(testsupport::moduleHandle(), 0, nullptr);
    host.sendKey(0x41, 1, 0, 0, 1, 1, 1);
    EXPECT_TRUE(isZero(keyTable[0x41]));
}

// --- Slot encoding and results -----------------------------------------------------------------

TEST(SlotEncoding, IntegersAndBoolsFillTheLowHalfOnly) {
    EXPECT_EQ(toSlot(std::int32_t{-1}), 0x00000000FFFFFFFFull);
    EXPECT_EQ(toSlot(std::int32_t{INT32_MIN}), 0x0000000080000000ull);
    EXPECT_EQ(toSlot(std::int32_t{0x7FFFFFFF}), 0x000000007FFFFFFFull);
    EXPECT_EQ(toSlot(std::uint32_t{0xB779A091}), 0x00000000B779A091ull);
    EXPECT_EQ(toSlot(true), 1u);
    EXPECT_EQ(toSlot(false), 0u);
}

TEST(SlotEncoding, ResultsAreReadFromTheLowHalfOrWhole) {
    const std::uint64_t negative[1] = {0xDEADBEEFFFFFFFFEull};
    EXPECT_EQ(fromSlots<std::int32_t>(negative), -2);
    EXPECT_EQ(fromSlots<std::uint32_t>(negative), 0xFFFFFFFEu);
    // A bool is the low half only.
    const std::uint64_t highOnly[1] = {0x0000000100000000ull};
    const std::uint64_t lowSet[1] = {0xFFFFFFFF00000002ull};
    EXPECT_FALSE(fromSlots<bool>(highOnly));
    EXPECT_TRUE(fromSlots<bool>(lowSet));
    const std::uint64_t oneAndAHalf[1] = {0xFFFFFFFF3FC00000ull};
    EXPECT_EQ(fromSlots<float>(oneAndAHalf), 1.5f);
    // A game string is all 64 bits.
    const std::uint64_t pointer[1] = {0x8000123456789ABCull};
    EXPECT_EQ(fromSlots<VarString>(pointer).value, 0x8000123456789ABCull);
}

TEST(SlotEncoding, AVector3TakesEachFloatFromTheLowHalfOfItsOwnSlot) {
    // Rubbish in the high halves must not leak into y or z.
    const std::uint64_t slots[3] = {0xAAAAAAAA3F800000ull, 0xBBBBBBBB40000000ull, 0xCCCCCCCC40400000ull};
    const Vector3 v = fromSlots<Vector3>(slots);
    EXPECT_EQ(v.x, 1.0f);
    EXPECT_EQ(v.y, 2.0f);
    EXPECT_EQ(v.z, 3.0f);
}

class NativeResultsTest : public ModuleTest {};

TEST_F(NativeResultsTest, TypedNativesReturnWhatTheGameAnswered) {
    game().addPed(0x65, "A_C_HORSE_GANG_DUTCH", {12.5f, -7.25f, 300.125f});
    const Vector3 at = getEntityCoords(0x65);
    EXPECT_EQ(at.x, 12.5f);
    EXPECT_EQ(at.y, -7.25f);
    EXPECT_EQ(at.z, 300.125f);

    game().playerPed = -5;
    EXPECT_EQ(playerPedId(), -5);
    EXPECT_EQ(getDistanceBetweenCoords(0, 0, 0, 3, 4, 0), 5.0f);
    EXPECT_TRUE(isPedMale(0x65));
    EXPECT_FALSE(isPedMale(0x66));
}

} // namespace
