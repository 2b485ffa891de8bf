#include "sim/soak/play.h"

#include <string>
#include <vector>

#include "facts/module_facts.h"
#include "standin/catalogue.h"
#include "standin/host.h"

namespace sim {

namespace {

// A small generator of our own, so that a seed plays the same on every
// platform and library.
class Dice {
  public:
    explicit Dice(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B97F4A7C15ull) {}
    std::uint32_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return static_cast<std::uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
    }
    std::uint32_t below(std::uint32_t n) { return n == 0 ? 0 : next() % n; }
    bool chance(std::uint32_t percent) { return below(100) < percent; }
    float within(float low, float high) {
        return low + (high - low) * static_cast<float>(next() % 100000) / 100000.0f;
    }

  private:
    std::uint64_t state_;
};

using facts::campScripts;
using facts::commands;
using facts::missions;

// Where the camp stands by the story's rules.
const standin::Vec3 campSites[4] = {
    {facts::campRules[0].x, facts::campRules[0].y, facts::campRules[0].z},
    {facts::campRules[1].x, facts::campRules[1].y, facts::campRules[1].z},
    {facts::campRules[2].x, facts::campRules[2].y, facts::campRules[2].z},
    {facts::campRules[3].x, facts::campRules[3].y, facts::campRules[3].z},
};

} // namespace

Scenario soakScenario(std::uint32_t seed, long long frames) {
    Dice dice(seed);
    Scenario s;
    s.file = "soak";
    s.name = "soak, seed " + std::to_string(seed);
    s.fps = 30;
    s.duration = static_cast<std::uint32_t>(frames * 1000 / s.fps);
    // The game timer starts a little before it wraps, so that the remark
    // interval is measured across the wrap.
    s.startTime = 0xFFFFFFFFu - dice.below(120000);
    // Texts too long to fit inside a string object, so that a text the
    // module leaves on the heap shows.
    s.settings = Scenario::Settings::Text;
    s.settingsText = "Follow=Come along with me now\nStay=Wait right here for me\n"
                     "Spur=Off you go, run along\nHome=Back to the camp with you\n";
    s.playerPosition = campSites[0];
    s.campScripts.push_back(campScripts[0]);
    s.scriptThreads = {facts::companionBrainScript, "fishing_core"};
    s.missionsCompleted.push_back(facts::campRules[0].done);
    for (const standin::Vec3& site : campSites)
        s.grazingPoints.push_back({site.x - 3, site.y + 3, site.z});

    int pedNumber = 0;
    std::vector<std::string> present;
    auto makePed = [&](bool horse) {
        PedSpec p;
        p.name = "ped" + std::to_string(pedNumber++);
        p.handle = 2000 + pedNumber;
        p.model = horse ? facts::gangHorses[dice.below(14)].model
                        : (dice.chance(50) ? "CS_DUTCH" : "A_M_M_VALTOWNFOLK_01");
        p.group = horse ? facts::gangHorseGroup : (dice.chance(50) ? facts::gangMemberGroup : "CIVMALE");
        const standin::Vec3& site = campSites[dice.below(4)];
        p.position = {site.x + dice.within(-30, 30), site.y + dice.within(-30, 30), site.z};
        p.male = dice.chance(50);
        return p;
    };
    for (int i = 0; i < 14; ++i)
        s.peds.push_back(makePed(true));
    for (int i = 0; i < 16; ++i)
        s.peds.push_back(makePed(false));
    for (const PedSpec& p : s.peds)
        present.push_back(p.name);

    auto anyPed = [&]() -> std::string { return present.empty() ? "" : present[dice.below(present.size())]; };
    std::uint32_t at = 0;
    while (true) {
        at += 200 + dice.below(6000);
        if (at > s.duration)
            break;
        ScenarioEvent e;
        e.at = at;
        if (dice.chance(3)) { // about three per 10,000 frames
            e.action = dice.chance(50) ? Action::GameReload : Action::ModuleReload;
            s.events.push_back(e);
            continue;
        }
        const std::uint32_t roll = dice.below(100);
        if (roll < 25) {
            e.action = Action::Target;
            e.text = dice.chance(80) ? anyPed() : "";
        } else if (roll < 45) {
            e.action = Action::Prompt;
            e.text = commands[dice.below(4)].prompt;
        } else if (roll < 52) {
            e.action = Action::Mount;
            e.text = dice.chance(60) ? anyPed() : "";
        } else if (roll < 58) {
            e.action = Action::Whistle;
        } else if (roll < 66) {
            e.action = Action::MovePlayer;
            const standin::Vec3& site = campSites[dice.below(4)];
            const float reach = dice.chance(50) ? 15.0f : (dice.chance(50) ? 200.0f : 900.0f);
            e.position = {site.x + dice.within(-reach, reach), site.y + dice.within(-reach, reach), site.z};
        } else if (roll < 71) {
            e.action = Action::Camp;
            e.text = dice.chance(60) ? campScripts[dice.below(5)] : "";
        } else if (roll < 73) {
            e.action = Action::CompleteMission;
            e.text = missions[dice.below(6)];
        } else if (roll < 81 && !present.empty()) {
            e.action = Action::SetPed;
            e.text = anyPed();
            const std::uint32_t change = dice.below(4);
            if (change == 0)
                e.change.still = dice.chance(50);
            if (change == 1)
                e.change.stuck = dice.chance(30);
            if (change == 2)
                e.change.fleeing = dice.chance(50);
            if (change == 3) {
                const standin::Vec3& site = campSites[dice.below(4)];
                const float reach = dice.chance(50) ? 50.0f : 1500.0f;
                e.change.position = standin::Vec3{site.x + dice.within(-reach, reach),
                                                  site.y + dice.within(-reach, reach), site.z};
            }
        } else if (roll < 87) {
            e.action = Action::AddPed;
            e.ped = makePed(dice.chance(60));
            present.push_back(e.ped.name);
        } else if (roll < 92 && !present.empty()) {
            e.action = Action::RemovePed;
            const std::size_t i = dice.below(present.size());
            e.text = present[i];
            present.erase(present.begin() + static_cast<std::ptrdiff_t>(i));
        } else if (roll < 96) {
            e.action = Action::StartThread;
            e.text = dice.chance(70) ? facts::companionBrainScript : "fishing_core";
        } else {
            e.action = Action::Key;
            e.keyCode = dice.below(70000);
            e.keyReleased = dice.chance(50);
            e.keyAlt = dice.chance(20);
            e.keyWasDown = dice.chance(50);
        }
        s.events.push_back(e);
    }
    return s;
}

} // namespace sim
