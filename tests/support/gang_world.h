// The world of the module's tests, stated here apart from the module's own
// tables (and from facts/, so that a wrong table cannot pass unseen): gang
// horses, the camp for the story so far, the player's target and prompts, and
// readers for what the module did in a stretch of the record.
#pragma once

#include <gmock/gmock.h>

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "prompts/prompts.h"
#include "standin/host.h"
#include "tests/support/module_fixture.h"

namespace gangworld {

using standin::Event;
using standin::floatFromBits;
using standin::slotOf;
using standin::Vec3;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::SizeIs;
using testsupport::f32;
using testsupport::i32;
using testsupport::u32;

inline std::uint32_t hashOf(const char* name) { return standin::joaat(name); }

// The camp of each story stage, as exact bit patterns: Horseshoe Overlook,
// Clemens Point, Shady Belle, Beaver Hollow.
struct CampBits {
    std::uint32_t x, y, z;
};
inline constexpr CampBits campBits[4] = {
    {0xC2E7A148, 0xBF010625, 0x42BE970A},
    {0x442D026F, 0xC49ABA5E, 0x42313D71},
    {0x44E7CFCF, 0xC4E67473, 0x42297EFA},
    {0x4514679A, 0x44A75FA6, 0x42D55810},
};
inline Vec3 campAt(int stage) {
    const CampBits& b = campBits[stage];
    return Vec3{floatFromBits(b.x), floatFromBits(b.y), floatFromBits(b.z)};
}
inline Vec3 offset(Vec3 p, float dx, float dy = 0, float dz = 0) {
    return Vec3{p.x + dx, p.y + dy, p.z + dz};
}

// The mission that opens each story stage.
inline constexpr const char* stageOpens[4] = {"MUD1", "MUD4", "RDTC2", "RDCH3"};

inline constexpr const char* gangHorses[14] = {
    "A_C_HORSE_GANG_JAVIER", "A_C_HORSE_GANG_DUTCH",     "A_C_HORSE_GANG_BILL",  "A_C_HORSE_GANG_CHARLES",
    "A_C_HORSE_GANG_KAREN",  "A_C_HORSE_GANG_HOSEA",     "A_C_HORSE_GANG_MICAH", "A_C_HORSE_GANG_SEAN",
    "A_C_HORSE_GANG_KIERAN", "A_C_HORSE_GANG_LENNY",     "A_C_HORSE_GANG_SADIE", "A_C_HORSE_GANG_JOHN",
    "A_C_HORSE_GANG_UNCLE",  "A_C_HORSE_GANG_TRELAWNEY",
};
inline constexpr const char* dutchHorse = gangHorses[1];
inline constexpr const char* sadieHorse = gangHorses[10];
inline constexpr const char* strayHorse = "A_C_HORSE_MORGAN_BAY";

inline constexpr const char* campScript = "camp_horseshoeoverlook";
inline constexpr const char* speechParams = "SPEECH_PARAMS_BEAT_SHOUTED_CLEAR_NOSUB";

// The raw slots of a call, for exact comparison with the expected pushes.
inline std::vector<std::uint64_t> slotsOf(const Event* e) {
    std::vector<std::uint64_t> raw;
    for (const standin::ArgRecord& arg : e->args) {
        raw.push_back(arg.raw);
    }
    return raw;
}

// The speech record of one line said by the player's ped, slot for slot.
inline void expectPlayerLine(const Event* e, const std::string& line, std::int32_t player) {
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->slot(0), slotOf(player));
    const standin::ArgRecord& record = e->args.at(1);
    EXPECT_FALSE(record.isNull);
    EXPECT_EQ(record.text, line);
    const std::array<std::uint64_t, 7> rest = {0, 0, hashOf(speechParams), 0, 1, 1, 1};
    for (std::size_t k = 1; k < 8; ++k) {
        EXPECT_EQ(record.record[k], rest[k - 1]) << "speech record slot " << k + 1 << " of " << line;
    }
}

class GangWorldTest : public testsupport::ModuleTest {
  protected:
    void SetUp() override {
        ModuleTest::SetUp();
        game().player();
    }

    standin::PedState& horse(std::int32_t handle, const char* model, Vec3 at = {}, bool male = true) {
        standin::PedState& p = game().addPed(handle, model, at);
        p.male = male;
        p.still = false;
        return p;
    }
    std::int32_t player() { return game().playerPed; }
    void openStage(int stage) { game().completeMission(stageOpens[stage]); }

    // Starts with the camp script running and lets the first pass (with its
    // settle wait) finish.
    void startInCamp() {
        game().startScript(campScript);
        start(1);
        runPasses(1);
    }
    // Targets the horse for one pass: it becomes the borrowed horse.
    void borrow(std::int32_t handle) {
        game().target = handle;
        runPasses(1);
    }
    // Outside camp with the first camp known: the horse is borrowed in the
    // pass after the set-up.
    void startAndBorrow(std::int32_t handle) {
        openStage(0);
        start(1);
        borrow(handle);
    }
    // A prompt completed as the game reports it at its next test.
    void completes(Prompt prompt) { game().prompts[prompt].completionPending = true; }

    // Labels of the given natives and waits from a mark on, in order.
    std::vector<std::string> among(std::size_t from, std::initializer_list<const char*> labels) const {
        std::vector<std::string> found;
        for (const std::string& label : sequence(from)) {
            for (const char* wanted : labels) {
                if (label == wanted) {
                    found.push_back(label);
                }
            }
        }
        return found;
    }
    // The ped the phase treated as the borrowed horse in the latest pass
    // from a mark on (its prompt display test), or 0 when it had none.
    std::int32_t borrowedSince(std::size_t from) const {
        const auto tests = calls("isPlayerTargettingEntity", from);
        return tests.empty() ? 0 : i32(tests.back(), 1);
    }
    // Native calls of a label whose first slot is the given handle.
    std::size_t callsOn(const char* label, std::int32_t handle, std::size_t from) const {
        std::size_t n = 0;
        for (const Event* e : calls(label, from)) {
            n += i32(e, 0) == handle ? 1 : 0;
        }
        return n;
    }
    // Handles in the first slot of a native's calls from a mark on.
    std::vector<std::int32_t> handlesOf(const char* label, std::size_t from) const {
        std::vector<std::int32_t> found;
        for (const Event* e : calls(label, from)) {
            found.push_back(i32(e, 0));
        }
        return found;
    }
    // The host's worldGetAllPeds records from a mark on: capacity and count.
    std::vector<std::pair<std::int64_t, std::int64_t>> pedQueries(std::size_t from) const {
        std::vector<std::pair<std::int64_t, std::int64_t>> found;
        const auto& events = host.events();
        for (std::size_t i = from; i < events.size(); ++i) {
            const Event& e = events[i];
            if (e.kind == Event::Kind::Host && e.host == "worldGetAllPeds") {
                found.emplace_back(e.values.at(0).second, e.values.at(1).second);
            }
        }
        return found;
    }
    std::vector<std::string> linesSince(std::size_t from) const {
        std::vector<std::string> lines;
        for (const Event* e : calls("playPedAmbientSpeech", from)) {
            lines.push_back(e->args.at(1).text);
        }
        return lines;
    }
    // The waits from a mark on that are not the zero wait closing each pass.
    std::vector<std::int64_t> nonZeroWaits(std::size_t from) const {
        std::vector<std::int64_t> found;
        for (std::int64_t w : waits(from)) {
            if (w != 0) {
                found.push_back(w);
            }
        }
        return found;
    }
};

} // namespace gangworld
