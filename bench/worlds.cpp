#include "bench/worlds.h"

#include <algorithm>
#include <random>
#include <stdexcept>
#include <vector>

#include "facts/module_facts.h"
#include "sim/run/runner.h"
#include "standin/host.h"

namespace bench {

namespace {

// The story's first camp: Horseshoe Overlook.
const facts::CampRule& firstCamp = facts::campRules[0];
const standin::Vec3 camp{firstCamp.x, firstCamp.y, firstCamp.z};
constexpr std::int32_t borrowedHandle = 2001; // Dutch's horse

sim::ModuleLoader module;

void populate(standin::Game& game, int pedCount, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> around(-40.0f, 40.0f);
    std::vector<std::int32_t> handles;
    for (int i = 0; i < pedCount; ++i)
        handles.push_back(2000 + i);
    std::shuffle(handles.begin() + 14, handles.end(), random);
    for (int i = 0; i < pedCount; ++i) {
        const standin::Vec3 at{camp.x + around(random), camp.y + around(random), camp.z};
        if (i < 14) {
            standin::PedState& horse = game.addPed(2001 + i, facts::gangHorses[(i + 1) % 14].model, at);
            horse.relationshipGroup = standin::joaat(facts::gangHorseGroup);
        } else if (i < 14 + pedCount / 10) {
            game.addPed(handles[static_cast<std::size_t>(i)] + 100000, "CS_DUTCH", at).relationshipGroup =
                standin::joaat(facts::gangMemberGroup);
        } else {
            game.addPed(handles[static_cast<std::size_t>(i)] + 100000, "A_M_M_VALTOWNFOLK_01", at);
        }
    }
}

} // namespace

std::string worldName(World world, int pedCount) {
    switch (world) {
    case World::NoCamp:
        return "no camp, no borrowed horse";
    case World::Camp:
        return "camp, " + std::to_string(pedCount) + " peds, borrowed horse";
    case World::RidingInCamp:
        return "riding a gang horse in camp, " + std::to_string(pedCount) + " peds";
    case World::FollowingOutsideCamp:
        return "borrowed horse following outside camp";
    }
    return "";
}

void prepare(World world, int pedCount, std::uint32_t seed) {
    standin::Host& host = standin::Host::get();
    host.reset();
    host.setRecording(false);
    standin::Game& game = host.game();
    game.player().position = {camp.x + 3, camp.y + 3, camp.z};
    game.completeMission(firstCamp.done);
    game.addScenarioPoint(facts::grazingScenario, {camp.x - 3, camp.y + 3, camp.z});
    game.addThread(facts::companionBrainScript);
    game.addThread("fishing_core");
    if (world != World::NoCamp)
        populate(game, std::max(pedCount, 14), seed);
    if (world == World::Camp || world == World::RidingInCamp)
        game.startScript(facts::campScripts[0]);

    module = sim::linkedModule();
    module.load();
    host.runPasses(1);
    if (world != World::NoCamp) {
        game.target = borrowedHandle; // the borrowed horse
        host.runPasses(1);
        game.target = 0;
    }
    if (world == World::RidingInCamp)
        game.player().mount = borrowedHandle;
    if (world == World::FollowingOutsideCamp) {
        game.player().position = {camp.x + 300, camp.y, camp.z};
        game.peds.at(borrowedHandle).position = {camp.x + 290, camp.y, camp.z};
        game.target = borrowedHandle;
        host.runPasses(1);
        if (!game.completePrompt(facts::commandFor("follow")->input))
            throw std::logic_error("the follow prompt is not shown");
        host.runPasses(1);
        game.target = 0;
    }
    host.runPasses(3); // past the remark and its wait
}

void finish() {
    module.unload();
    standin::Host::get().shutdown();
}

void runOnePass() { standin::Host::get().runPasses(1); }

} // namespace bench
