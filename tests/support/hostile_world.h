// Helpers of the hostile-input tests: a camp or an open world with gang
// horses, a horse borrowed and commanded through its prompts, and readers for
// the calls of one stretch of the record.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "prompts/prompts.h"
#include "standin/host.h"
#include "tests/support/module_fixture.h"

namespace hostile {

inline constexpr const char* dutchHorse = "A_C_HORSE_GANG_DUTCH";
inline constexpr const char* sadieHorse = "A_C_HORSE_GANG_SADIE";
inline constexpr const char* strayHorse = "A_C_HORSE_MORGAN_BAY";
inline constexpr const char* campScript = "camp_horseshoeoverlook";
// The camp of the first story stage (Horseshoe Overlook), opened by MUD1.
inline constexpr std::uint32_t campBits[3] = {0xC2E7A148, 0xBF010625, 0x42BE970A};

inline standin::Vec3 campPosition() {
    using standin::floatFromBits;
    return standin::Vec3{floatFromBits(campBits[0]), floatFromBits(campBits[1]), floatFromBits(campBits[2])};
}
using testsupport::i32;

class HostileTest : public testsupport::ModuleTest {
  protected:
    void SetUp() override {
        ModuleTest::SetUp();
        game().player();
    }

    standin::PedState& addHorse(std::int32_t handle, const char* model, standin::Vec3 at = {}) {
        standin::PedState& p = game().addPed(handle, model, at);
        p.still = false;
        return p;
    }

    // Starts with a camp script running and finishes the first pass, which
    // waits for the camp to settle.
    void startInCamp() {
        game().startScript(campScript);
        start(1);
        runPasses(1);
    }

    // Outside camp with the first camp known: the horse is aimed at for one
    // pass and becomes the borrowed horse.
    void startAndBorrow(std::int32_t horse) {
        game().completeMission("MUD1");
        start(1);
        game().target = horse;
        runPasses(1);
    }

    // The player completes a prompt; the next pass acts on it.
    void complete(Prompt prompt) { game().prompts[prompt].completionPending = true; }

    // Handles in the first slot of a native's calls from a mark on.
    std::vector<std::int32_t> handlesOf(const char* label, std::size_t from) const {
        std::vector<std::int32_t> found;
        for (const standin::Event* e : calls(label, from)) {
            found.push_back(i32(e, 0));
        }
        return found;
    }

    // The host's worldGetAllPeds records from a mark on: capacity and count.
    std::vector<std::pair<std::int64_t, std::int64_t>> pedQueries(std::size_t from) const {
        std::vector<std::pair<std::int64_t, std::int64_t>> found;
        const auto& events = host.events();
        for (std::size_t i = from; i < events.size(); ++i) {
            const standin::Event& e = events[i];
            if (e.kind == standin::Event::Kind::Host && e.host == "worldGetAllPeds") {
                found.emplace_back(e.values.at(0).second, e.values.at(1).second);
            }
        }
        return found;
    }

    // The waits from a mark on that are not the zero wait closing each pass.
    std::vector<std::int64_t> longWaits(std::size_t from) const {
        std::vector<std::int64_t> found;
        for (std::int64_t w : waits(from)) {
            if (w != 0) {
                found.push_back(w);
            }
        }
        return found;
    }
};

} // namespace hostile
