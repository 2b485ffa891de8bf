// The fixture of the borrowed horse's tests: the gang lives at its first camp,
// and readers for the prompts shown or hidden and the slots of a horse put at
// the camp.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "tests/support/gang_world.h"

namespace gangworld {

using PromptCall = std::tuple<std::string, Prompt, std::int32_t>;

class BorrowedHorseTest : public GangWorldTest {
  protected:
    const Vec3 camp = campAt(0);

    void SetUp() override {
        GangWorldTest::SetUp();
        openStage(0); // the gang lives at Horseshoe Overlook
    }
    std::vector<PromptCall> promptCallsSince(std::size_t from) const {
        std::vector<PromptCall> found;
        for (std::size_t i = from; i < host.events().size(); ++i) {
            const Event& e = host.events()[i];
            if (e.is("promptSetGroup") || e.is("promptSetEnabled") || e.is("promptSetVisible")) {
                found.emplace_back(e.native->label, i32(&e, 0), i32(&e, 1));
            }
        }
        return found;
    }
    std::vector<PromptCall> shown(std::int32_t group) const {
        std::vector<PromptCall> expected;
        for (Prompt p : {promptFollow, promptStay, promptSpur, promptSendHome}) {
            expected.emplace_back("promptSetGroup", p, group);
        }
        for (Prompt p : {promptFollow, promptStay, promptSpur, promptSendHome}) {
            expected.emplace_back("promptSetEnabled", p, 1);
            expected.emplace_back("promptSetVisible", p, 1);
        }
        return expected;
    }
    std::vector<PromptCall> hidden() const {
        std::vector<PromptCall> expected;
        for (Prompt p : {promptFollow, promptStay, promptSpur, promptSendHome}) {
            expected.emplace_back("promptSetEnabled", p, 0);
            expected.emplace_back("promptSetVisible", p, 0);
        }
        return expected;
    }
    std::int32_t groupMeasuredSince(std::size_t from) const {
        return standin::i32(calls("promptGroupForEntity", from).at(0)->result[0]);
    }
    // Targets the horse, sends it home with the prompt and looks away.
    void sendHome(std::int32_t handle) {
        borrow(handle);
        completes(promptSendHome);
        runPasses(1);
        game().target = 0;
    }
    std::vector<std::uint64_t> putAtCampSlots(std::int32_t handle) const {
        return {slotOf(handle), campBits[0].x, campBits[0].y, campBits[0].z, 0, 0, 0, 0};
    }
};

} // namespace gangworld
