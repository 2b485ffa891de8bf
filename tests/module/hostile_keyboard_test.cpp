// Keyboard messages with every key code from 0 to 65535 (and some beyond)
// and any flags. The handler keeps a record for the codes 0 to 254 only,
// each exactly as received, and writes nothing else: not the records of
// other codes, not the prompt handles or remark flags beside the table.
#include <gmock/gmock.h>

#include <array>
#include <climits>
#include <cstring>

#include "gang_horse/gang_horse.h"
#include "host/dll_main.h"
#include "tests/support/gang_world.h"

using namespace gangworld;

namespace {

constexpr std::array<int, 8> flagValues = {0, 1, -1, 2, INT_MIN, INT_MAX, 0x100, 0x20000000};

struct Globals {
    Prompt prompts[4];
    bool remarks[gangHorseModelCount];
    KeyState keys[keyTableSize];
};

Globals snapshot() {
    Globals g{};
    g.prompts[0] = promptFollow;
    g.prompts[1] = promptStay;
    g.prompts[2] = promptSpur;
    g.prompts[3] = promptSendHome;
    std::copy(std::begin(remarkDone), std::end(remarkDone), std::begin(g.remarks));
    std::memcpy(g.keys, keyTable, sizeof keyTable);
    return g;
}

class HostileKeyboardTest : public GangWorldTest {
  protected:
    void SetUp() override {
        GangWorldTest::SetUp();
        start(1); // prompts made: their handles are not zero
        for (int i = 0; i < gangHorseModelCount; ++i) {
            remarkDone[i] = i % 3 == 0; // a pattern to keep
        }
        ASSERT_NE(promptFollow, 0);
        ASSERT_NE(host.keyboardHandler(), nullptr);
    }

    // Sends the message for a code, its flags picked from the code and a
    // round, and returns the record it should leave.
    KeyState send(std::uint32_t key, int round) {
        const std::size_t n = flagValues.size();
        host.setTickCount(0x10000000u + key * 7u + static_cast<std::uint32_t>(round));
        const KeyState want{static_cast<std::uint32_t>(host.tickCount()), flagValues[(key / 3 + round) % n],
                            flagValues[(key / 5 + round + 1) % n], flagValues[(key / 7 + round + 2) % n]};
        host.sendKey(key, static_cast<std::uint16_t>(key * 31u + round),
                     static_cast<std::uint8_t>(key + round), flagValues[(key + round) % n], want.altHeld,
                     want.wasDown, want.released);
        return want;
    }
};

void expectKey(const KeyState& got, const KeyState& want, std::uint32_t key) {
    EXPECT_EQ(got.lastTick, want.lastTick) << "key " << key;
    EXPECT_EQ(got.altHeld, want.altHeld) << "key " << key;
    EXPECT_EQ(got.wasDown, want.wasDown) << "key " << key;
    EXPECT_EQ(got.released, want.released) << "key " << key;
}

TEST_F(HostileKeyboardTest, CodesBelow255AreRecordedAsReceivedWithAnyFlags) {
    const Globals before = snapshot();
    KeyState latest[keyTableSize] = {};
    for (int round = 0; round < 3; ++round) {
        for (std::uint32_t key = 0; key < keyTableSize; ++key) {
            latest[key] = send(key, round);
            expectKey(keyTable[key], latest[key], key);
        }
    }
    for (std::uint32_t key = 0; key < keyTableSize; ++key) {
        expectKey(keyTable[key], latest[key], key); // the latest message of each code, no other
    }
    const Globals after = snapshot();
    EXPECT_EQ(std::memcmp(after.prompts, before.prompts, sizeof before.prompts), 0);
    EXPECT_EQ(std::memcmp(after.remarks, before.remarks, sizeof before.remarks), 0);
}

TEST_F(HostileKeyboardTest, CodesFrom255OnWriteNothing) {
    for (std::uint32_t key = 0; key < keyTableSize; ++key) {
        send(key, 0);
    }
    const Globals before = snapshot();
    for (int round = 0; round < 2; ++round) {
        for (std::uint32_t key = keyTableSize; key <= 0xFFFF; ++key) {
            send(key, round);
        }
        for (std::uint32_t key : {0x10000u, 0x10000u + 1, 0x10000u + 254, 0x7FFFFFFFu, 0x80000000u,
                                  0xFFFFFF00u, 0xFFFFFFFEu, 0xFFFFFFFFu}) {
            send(key, round);
        }
    }
    const Globals after = snapshot();
    for (std::uint32_t key = 0; key < keyTableSize; ++key) {
        expectKey(after.keys[key], before.keys[key], key);
    }
    EXPECT_EQ(std::memcmp(after.prompts, before.prompts, sizeof before.prompts), 0);
    EXPECT_EQ(std::memcmp(after.remarks, before.remarks, sizeof before.remarks), 0);

    // The script goes on, its prompts as they were.
    const std::size_t m = mark();
    runPasses(2);
    EXPECT_EQ(waits(m), (std::vector<std::int64_t>{0, 0}));
    EXPECT_EQ(promptFollow, before.prompts[0]);
}

} // namespace
