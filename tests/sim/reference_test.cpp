// The scenario reference is the module's own: the README carries it as the
// simulator prints it, and the module, played through scenarios built from
// its tables, does what it says.
#include <gmock/gmock.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>

#include "facts/module_facts.h"
#include "sim/scenario/reference.h"
#include "standin/catalogue.h"
#include "tests/support/scenario_runs.h"

namespace {

using ::testing::IsEmpty;

struct Ran {
    std::vector<std::string> failures;
    std::set<std::string> asked; // the first argument of every call traced
};

// Runs a scenario; traces only the natives named.
Ran run(const std::string& yaml, const std::set<std::string>& traced = {}) {
    sim::RunOptions options;
    for (const std::string& label : sim::nativeLabels()) {
        if (!traced.count(label))
            options.traceOmit.insert(label);
    }
    const simtest::Ran done = simtest::runYaml(yaml, "reference.yaml", options);
    Ran ran;
    ran.failures = done.result.failures;
    for (const nlohmann::json& call : simtest::jsonLines<nlohmann::json>(done.trace)) {
        if (call.contains("native"))
            ran.asked.insert(call["args"][0].get<std::string>());
    }
    return ran;
}

std::string ms(int value) { return std::to_string(value) + "ms"; }

TEST(SimReference, TheReadmeCarriesTheReferenceAsTheSimulatorPrintsIt) {
    std::ifstream in(GH_SCENARIO_DIR "/../README.md", std::ios::binary);
    std::ostringstream readme;
    readme << in.rdbuf();
    EXPECT_NE(readme.str().find(sim::referenceText()), std::string::npos)
        << "README.md's scenario reference differs from `gang-horse-sim reference`: paste its output there";
}

TEST(SimReference, EveryGangHorseIsPreparedAndItsOwnerSaysTheLineListed) {
    // In camp, the player mounts each model in turn, two seconds apart, and a
    // lookalike last.
    std::string yaml = "name: Models\nduration: 42s\nworld:\n  camp_scripts: [camp_horseshoeoverlook]\n"
                       "  peds:\n";
    std::string events = "events:\n", expect = "expect:\n";
    std::vector<std::string> models;
    for (const facts::GangHorse& horse : facts::gangHorses)
        models.push_back(horse.model);
    models.push_back("A_C_HORSE_GANG_ARTHUR");
    for (std::size_t k = 0; k < models.size(); ++k) {
        const std::string ped = "h" + std::to_string(k), at = ms(11000 + 2000 * static_cast<int>(k));
        const std::string window = "after: " + at + ", by: " + ms(12500 + 2000 * static_cast<int>(k));
        const bool gang = sim::isGangHorseModel(models[k]);
        const char* line = sim::ownerLine(models[k]);
        yaml += "    - {name: " + ped + ", model: " + models[k] + "}\n";
        events += "  - {at: " + at + ", mount: " + ped + "}\n";
        expect += "  - {configured: " + ped + (gang ? "}\n" : ", never: true}\n");
        expect +=
            "  - {native: nativeDC19C288, args: [" + ped + "], " + (gang ? "times: 1}\n" : "never: true}\n");
        expect += line != nullptr ? "  - {said: " + std::string(line) + ", " + window + ", times: 1}\n"
                                  : "  - {native: playPedAmbientSpeech, " + window + ", never: true}\n";
    }
    EXPECT_THAT(run(yaml + events + expect).failures, IsEmpty());
}

TEST(SimReference, TheCampScriptsMissionsAndCampPositionsAreTheModulesOwn) {
    // Each camp script in turn makes the camp; the story moves the camp rule
    // by rule, and at last every mission is completed.
    std::string events = "events:\n", expect = "expect:\n";
    int at = 1000;
    for (const char* script : facts::campScripts) {
        events +=
            "  - {at: " + ms(at) + ", camp: " + script + "}\n  - {at: " + ms(at + 300) + ", camp: null}\n";
        const int ready = at == 1000 ? 11000 : at; // the first sighting settles for 10 s
        expect += "  - {configured: h, after: " + ms(ready) + ", by: " + ms(ready + 100) + "}\n";
        at = std::max(at, ready) + 1000;
    }
    for (const facts::CampRule& rule : facts::campRules) {
        events += "  - {at: " + ms(at) + ", complete_mission: " + rule.done + "}\n";
        char args[160];
        std::snprintf(args, sizeof args, "[_, %.3f, %.3f, %.3f]", static_cast<double>(rule.x),
                      static_cast<double>(rule.y), static_cast<double>(rule.z));
        expect += "  - {native: isEntityAtCoord, args: " + std::string(args) + ", after: " + ms(at) +
                  ", by: " + ms(at + 500) + "}\n";
        at += 1000;
    }
    events += "  - {at: " + ms(at) + ", complete_mission: NBD1}\n  - {at: " + ms(at) +
              ", complete_mission: FIN1}\n";
    const Ran ran = run("name: Camps\nduration: " + ms(at + 500) +
                            "\nworld:\n  peds: [{name: h, model: A_C_HORSE_GANG_DUTCH}]\n" + events + expect,
                        {"countScriptInstances", "isMissionCompleted"});
    EXPECT_THAT(ran.failures, IsEmpty());
    std::set<std::string> expected;
    for (const char* name : facts::campScripts)
        expected.insert(standin::hex64(standin::joaat(name)));
    for (const char* name : facts::missions)
        expected.insert(standin::hex64(standin::joaat(name)));
    EXPECT_EQ(ran.asked, expected)
        << "the module asks about camp scripts or missions the reference does not list";
}

TEST(SimReference, EachCommandSaysTheLinesListedByTheHorsesSex) {
    for (const bool male : {true, false}) {
        std::string events = "events:\n  - {at: 1s, target: h}\n", expect = "expect:\n";
        int at = 2000;
        for (const facts::Command& c : facts::commands) {
            events += "  - {at: " + ms(at) + ", prompt: " + c.prompt + "}\n";
            expect += "  - {said: " + std::string(male ? c.maleLine : c.femaleLine) + ", after: " + ms(at) +
                      ", by: " + ms(at) + ", times: 1}\n";
            at += 2000;
        }
        const std::string world =
            "name: Commands\nduration: 10s\nworld:\n  missions_completed: [MUD1]\n"
            "  peds: [{name: h, model: A_C_HORSE_GANG_SADIE, position: [5, 0, 0], male: " +
            std::string(male ? "true" : "false") + "}]\n";
        EXPECT_THAT(run(world + events + expect).failures, IsEmpty()) << (male ? "male" : "female");
    }
}

} // namespace
