#include "sim/scenario/scenario_file.h"

#include <yaml-cpp/yaml.h>

#include <filesystem>
#include <fstream>

#include "sim/scenario/sections.h"
#include "sim/scenario/sense_checks.h"

namespace sim {

namespace {

// The top of the file: its keys, the name, the timing and the settings;
// then the sections.
void readTop(ScenarioDraft& d, const YAML::Node& root) {
    const YamlReader& r = d.yaml;
    Scenario& s = d.scenario;
    if (!root.IsMap())
        r.fail(root, "a scenario must be a map with name, duration and world");
    auto top = r.fields(root, "the scenario",
                        {"name", "duration", "fps", "start_time", "settings", "world", "events", "expect"});
    if (!top.count("name"))
        r.fail(root, "the scenario needs a name");
    if (!top.count("duration"))
        r.fail(root, "the scenario needs a duration");
    s.name = r.text(top["name"], "name");
    s.nameWhere = r.where(top["name"]);
    s.hasWorld = top.count("world") != 0;
    s.duration = r.time(top["duration"], "duration");
    if (top.count("fps"))
        s.fps = static_cast<int>(r.integer(top["fps"], "fps", 1, 1000));
    if (top.count("start_time"))
        s.startTime = static_cast<std::uint32_t>(r.integer(top["start_time"], "start_time", 0, 0xFFFFFFFFll));
    if (top.count("settings")) {
        const YAML::Node& settings = top["settings"];
        if (settings.IsNull()) {
            s.settings = Scenario::Settings::None;
        } else {
            s.settings = Scenario::Settings::Text;
            s.settingsText = r.bytes(settings, "settings");
        }
    }
    if (top.count("world"))
        readWorld(d, top["world"]);
    else
        d.peds.takeHandles(s.playerHandle, s.peds); // without a world too, the player's handle is taken
    if (top.count("events"))
        readEvents(d, top["events"]);
    if (top.count("expect"))
        readExpectations(d, top["expect"]);
}

} // namespace

Scenario parseScenario(const std::string& text, const std::string& file) {
    ScenarioDraft draft(file);
    YAML::Node root;
    try {
        root = YAML::Load(text);
    } catch (const YAML::Exception& e) {
        YAML::Mark mark = e.mark;
        std::string message = e.msg;
        explainYamlError(text, mark.line, mark.column, message);
        draft.yaml.fail(mark, message);
    }
    readTop(draft, root);
    checkScenarioSense(draft.scenario);
    return std::move(draft.scenario);
}

Scenario loadScenario(const std::string& path) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored))
        throw ScenarioError(path + ":1:1: is a directory: give the scenario file itself");
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw ScenarioError(path + ":1:1: cannot open the file");
    }
    // Read by blocks, so a read error (a directory opens, then fails to read)
    // is told apart from an empty file.
    std::string text;
    char block[65536];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        text.append(block, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        throw ScenarioError(path + ":1:1: cannot read the file");
    }
    return parseScenario(text, path);
}

} // namespace sim
