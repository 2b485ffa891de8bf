#include "sim/scenario/scenario.h"

#include <yaml-cpp/yaml.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <set>
#include <sstream>

#include "sim/scenario/reference.h"
#include "sim/scenario/scenario_checks.h"
#include "standin/format.h"

namespace sim {

namespace {

class Reader {
  public:
    explicit Reader(std::string file) : file_(std::move(file)) {}

    [[noreturn]] void fail(const YAML::Mark& mark, const std::string& what) const {
        std::ostringstream text;
        text << file_ << ":" << (mark.line >= 0 ? mark.line + 1 : 1) << ":"
             << (mark.column >= 0 ? mark.column + 1 : 1) << ": " << what;
        throw ScenarioError(text.str());
    }
    [[noreturn]] void fail(const YAML::Node& node, const std::string& what) const { fail(node.Mark(), what); }
    [[noreturn]] void fail(const Where& at, const std::string& what) const {
        YAML::Mark mark;
        mark.line = at.line - 1;
        mark.column = at.column - 1;
        fail(mark, what);
    }

    Where where(const YAML::Node& node) const { return {node.Mark().line + 1, node.Mark().column + 1}; }

    // Checks that a map has only the given keys, each once; returns them by name.
    std::map<std::string, YAML::Node> fields(const YAML::Node& node, const std::string& context,
                                             const std::set<std::string>& allowed) const {
        if (!node.IsMap()) {
            fail(node, context + " must be a map");
        }
        std::map<std::string, YAML::Node> found;
        for (const auto& item : node) {
            if (!item.first.IsScalar()) {
                fail(item.first, "a key in " + context + " must be a name");
            }
            const std::string key = item.first.Scalar();
            if (allowed.count(key) == 0) {
                std::string list;
                for (const std::string& name : allowed) {
                    list += (list.empty() ? "" : ", ") + name;
                }
                fail(item.first, "unknown key '" + key + "' in " + context + " (known: " + list + ")");
            }
            if (found.count(key) != 0) {
                fail(item.first, "key '" + key + "' given twice in " + context);
            }
            found[key] = item.second;
        }
        return found;
    }

    std::string text(const YAML::Node& node, const std::string& what) const {
        if (!node.IsScalar()) {
            fail(node, what + " must be text");
        }
        return node.Scalar();
    }

    // Text, or empty for null.
    std::string textOrNull(const YAML::Node& node, const std::string& what) const {
        return node.IsNull() ? std::string() : text(node, what);
    }

    bool boolean(const YAML::Node& node, const std::string& what) const {
        bool value = false;
        if (!node.IsScalar() || !YAML::convert<bool>::decode(node, value)) {
            fail(node, what + " must be true or false");
        }
        return value;
    }

    // A number the world keeps as a float: finite, and within a float's range.
    double number(const YAML::Node& node, const std::string& what) const {
        double value = 0;
        if (!node.IsScalar() || !YAML::convert<double>::decode(node, value) || !std::isfinite(value)) {
            fail(node, what + " must be a number");
        }
        if (std::fabs(value) > std::numeric_limits<float>::max()) {
            fail(node, what + " is out of range (at most 3.4e38 either way)");
        }
        return value;
    }

    long long integer(const YAML::Node& node, const std::string& what, long long low, long long high) const {
        long long value = 0;
        if (!node.IsScalar() || !YAML::convert<long long>::decode(node, value)) {
            fail(node, what + " must be a whole number");
        }
        if (value < low || value > high) {
            fail(node, what + " must be from " + std::to_string(low) + " to " + std::to_string(high));
        }
        return value;
    }

    standin::Vec3 position(const YAML::Node& node, const std::string& what) const {
        if (!node.IsSequence() || node.size() != 3) {
            fail(node, what + " must be [x, y, z]");
        }
        return standin::Vec3{static_cast<float>(number(node[0], what + " x")),
                             static_cast<float>(number(node[1], what + " y")),
                             static_cast<float>(number(node[2], what + " z"))};
    }

    std::uint32_t time(const YAML::Node& node, const std::string& what) const {
        const std::string value = text(node, what);
        const auto ms = parseDuration(value);
        if (!ms)
            fail(node, timeError(what, value));
        return *ms;
    }

    std::vector<std::string> names(const YAML::Node& node, const std::string& what) const {
        if (!node.IsSequence()) {
            fail(node, what + " must be a list");
        }
        std::vector<std::string> list;
        for (const auto& item : node) {
            list.push_back(text(item, "an entry of " + what));
        }
        return list;
    }

  private:
    std::string file_;
};

const std::set<std::string> promptNames = {"follow", "stay", "spur", "send_home"};

class ScenarioReader {
  public:
    ScenarioReader(const std::string& file) : r_(file) { s_.file = file; }

    Scenario read(const YAML::Node& root) {
        if (!root.IsMap()) {
            r_.fail(root, "a scenario must be a map with name, duration and world");
        }
        auto top =
            r_.fields(root, "the scenario",
                      {"name", "duration", "fps", "start_time", "settings", "world", "events", "expect"});
        if (!top.count("name"))
            r_.fail(root, "the scenario needs a name");
        if (!top.count("duration"))
            r_.fail(root, "the scenario needs a duration");
        s_.name = r_.text(top["name"], "name");
        s_.nameWhere = r_.where(top["name"]);
        s_.hasWorld = top.count("world") != 0;
        s_.duration = r_.time(top["duration"], "duration");
        if (top.count("fps"))
            s_.fps = static_cast<int>(r_.integer(top["fps"], "fps", 1, 1000));
        if (top.count("start_time")) {
            s_.startTime =
                static_cast<std::uint32_t>(r_.integer(top["start_time"], "start_time", 0, 0xFFFFFFFFll));
        }
        if (top.count("settings")) {
            const YAML::Node& settings = top["settings"];
            if (settings.IsNull()) {
                s_.settings = Scenario::Settings::None;
            } else {
                s_.settings = Scenario::Settings::Text;
                s_.settingsText = r_.text(settings, "settings");
            }
        }
        if (top.count("world"))
            world(top["world"]);
        else
            used_ = {s_.playerHandle}; // without a world too, the player's handle is taken
        if (top.count("events"))
            events(top["events"]);
        if (top.count("expect"))
            expectations(top["expect"]);
        return s_;
    }

  private:
    Reader r_;
    Scenario s_;
    std::map<std::string, bool> pedNames_; // name -> present at some time

    PedSpec ped(const YAML::Node& node, const std::string& context) {
        auto f =
            r_.fields(node, context,
                      {"name", "handle", "model", "position", "male", "group", "still", "fleeing", "stuck"});
        PedSpec p;
        p.where = r_.where(node);
        if (!f.count("name"))
            r_.fail(node, context + " needs a name");
        p.name = r_.text(f["name"], "the ped's name");
        if (p.name == "player")
            r_.fail(f["name"], "'player' names the player; choose another name");
        if (pedNames_.count(p.name))
            r_.fail(f["name"], "a ped named '" + p.name + "' exists already");
        if (f.count("handle"))
            p.handle = static_cast<std::int32_t>(r_.integer(f["handle"], "handle", 1, 0x7FFFFFFF));
        if (f.count("model")) {
            p.model = r_.text(f["model"], "model");
            note(NameAt::Kind::Model, f["model"]);
        }
        if (f.count("position"))
            p.position = r_.position(f["position"], "position");
        if (f.count("male"))
            p.male = r_.boolean(f["male"], "male");
        if (f.count("group"))
            p.group = r_.text(f["group"], "group");
        if (f.count("still"))
            p.still = r_.boolean(f["still"], "still");
        if (f.count("fleeing"))
            p.fleeing = r_.boolean(f["fleeing"], "fleeing");
        if (f.count("stuck"))
            p.stuck = r_.boolean(f["stuck"], "stuck");
        pedNames_[p.name] = true;
        return p;
    }

    void knownPed(const YAML::Node& node, const std::string& name) const {
        if (!pedNames_.count(name))
            r_.fail(node, "unknown ped '" + name + "'");
    }

    // A ped that left the world is gone: it cannot be aimed at, mounted or
    // removed again.
    std::map<std::string, std::string> gone_; // name -> when and where it left
    void presentPed(const YAML::Node& node, const std::string& name, const std::string& deed) const {
        knownPed(node, name);
        if (gone_.count(name))
            r_.fail(node, name + " left the world " + gone_.at(name) + ": it cannot be " + deed);
    }

    void note(NameAt::Kind kind, const YAML::Node& node) {
        s_.namesGiven.push_back({kind, node.Scalar(), r_.where(node)});
    }
    void noteAll(NameAt::Kind kind, const YAML::Node& list) {
        for (const auto& item : list)
            note(kind, item);
    }

    void world(const YAML::Node& node) {
        auto f = r_.fields(
            node, "world",
            {"player", "camp_scripts", "script_threads", "missions_completed", "grazing_points", "peds"});
        if (f.count("peds")) {
            if (!f["peds"].IsSequence())
                r_.fail(f["peds"], "peds must be a list");
            for (const auto& item : f["peds"])
                s_.peds.push_back(ped(item, "a ped"));
        }
        if (f.count("player")) {
            auto p = r_.fields(f["player"], "player", {"handle", "position", "male", "mount"});
            if (p.count("handle")) {
                s_.playerHandle = static_cast<std::int32_t>(r_.integer(p["handle"], "handle", 1, 0x7FFFFFFF));
            }
            if (p.count("position"))
                s_.playerPosition = r_.position(p["position"], "position");
            if (p.count("male"))
                s_.playerMale = r_.boolean(p["male"], "male");
            if (p.count("mount")) {
                s_.playerMount = r_.textOrNull(p["mount"], "mount");
                if (!s_.playerMount.empty())
                    knownPed(p["mount"], s_.playerMount);
            }
        }
        if (f.count("camp_scripts")) {
            s_.campScripts = r_.names(f["camp_scripts"], "camp_scripts");
            noteAll(NameAt::Kind::CampScript, f["camp_scripts"]);
        }
        if (f.count("script_threads"))
            s_.scriptThreads = r_.names(f["script_threads"], "script_threads");
        if (f.count("missions_completed")) {
            s_.missionsCompleted = r_.names(f["missions_completed"], "missions_completed");
            noteAll(NameAt::Kind::Mission, f["missions_completed"]);
        }
        if (f.count("grazing_points")) {
            if (!f["grazing_points"].IsSequence())
                r_.fail(f["grazing_points"], "grazing_points must be a list");
            for (const auto& item : f["grazing_points"]) {
                auto g = r_.fields(item, "a grazing point", {"position"});
                if (!g.count("position"))
                    r_.fail(item, "a grazing point needs a position");
                s_.grazingPoints.push_back(r_.position(g["position"], "position"));
            }
        }
        // Handles: as given, else the next free one from 3000 on, in file order.
        std::set<std::int32_t> used = {s_.playerHandle};
        for (const PedSpec& p : s_.peds) {
            if (p.handle != 0 && !used.insert(p.handle).second) {
                r_.fail(p.where, "handle " + std::to_string(p.handle) + " is taken");
            }
        }
        nextHandle_ = 3000;
        used_ = used;
        for (PedSpec& p : s_.peds)
            assignHandle(p);
    }

    std::set<std::int32_t> used_;
    std::int32_t nextHandle_ = 3000;
    void assignHandle(PedSpec& p) {
        if (p.handle != 0)
            return;
        while (used_.count(nextHandle_))
            ++nextHandle_;
        p.handle = nextHandle_;
        used_.insert(nextHandle_);
    }

    void events(const YAML::Node& node) {
        if (!node.IsSequence())
            r_.fail(node, "events must be a list");
        std::uint32_t last = 0;
        for (const auto& item : node) {
            auto f = r_.fields(item, "an event",
                               {"at", "target", "prompt", "mount", "whistle", "move_player", "camp",
                                "complete_mission", "ped", "set", "add_ped", "remove_ped", "key",
                                "start_thread", "game_reload", "module_reload"});
            if (!f.count("at"))
                r_.fail(item, "an event needs 'at', its time");
            ScenarioEvent e;
            e.where = r_.where(item);
            e.at = r_.time(f["at"], "at");
            if (e.at < last) {
                r_.fail(f["at"], "event out of order: it comes before the event above it");
            }
            if (e.at > s_.duration)
                r_.fail(f["at"], "event after the end of the scenario");
            last = e.at;
            f.erase("at");
            const bool pedSet = f.count("ped") || f.count("set");
            if (pedSet && (!f.count("ped") || !f.count("set") || f.size() != 2)) {
                r_.fail(item, "a ped change takes exactly 'ped' and 'set'");
            }
            if (!pedSet && f.size() != 1) {
                r_.fail(item, "an event takes 'at' and exactly one action");
            }
            if (pedSet) {
                e.action = Action::SetPed;
                e.text = r_.text(f["ped"], "ped");
                knownPed(f["ped"], e.text);
                auto c =
                    r_.fields(f["set"], "set", {"position", "still", "fleeing", "stuck", "male", "group"});
                if (c.count("position"))
                    e.change.position = r_.position(c["position"], "position");
                if (c.count("still"))
                    e.change.still = r_.boolean(c["still"], "still");
                if (c.count("fleeing"))
                    e.change.fleeing = r_.boolean(c["fleeing"], "fleeing");
                if (c.count("stuck"))
                    e.change.stuck = r_.boolean(c["stuck"], "stuck");
                if (c.count("male"))
                    e.change.male = r_.boolean(c["male"], "male");
                if (c.count("group"))
                    e.change.group = r_.text(c["group"], "group");
                s_.events.push_back(e);
                continue;
            }
            const std::string action = f.begin()->first;
            const YAML::Node& value = f.begin()->second;
            if (action == "target" || action == "mount") {
                e.action = action == "target" ? Action::Target : Action::Mount;
                e.text = r_.textOrNull(value, action);
                if (!e.text.empty())
                    presentPed(value, e.text, action == "target" ? "aimed at" : "mounted");
            } else if (action == "prompt") {
                e.action = Action::Prompt;
                e.text = r_.text(value, "prompt");
                if (!promptNames.count(e.text)) {
                    r_.fail(value, "unknown prompt '" + e.text + "' (follow, stay, spur or send_home)");
                }
            } else if (action == "whistle") {
                e.action = Action::Whistle;
                if (!r_.boolean(value, "whistle"))
                    r_.fail(value, "whistle takes true");
            } else if (action == "game_reload" || action == "module_reload") {
                e.action = action == "game_reload" ? Action::GameReload : Action::ModuleReload;
                if (!r_.boolean(value, action))
                    r_.fail(value, action + " takes true");
            } else if (action == "move_player") {
                e.action = Action::MovePlayer;
                e.position = r_.position(value, "move_player");
            } else if (action == "camp") {
                e.action = Action::Camp;
                e.text = r_.textOrNull(value, "camp");
                if (!e.text.empty())
                    note(NameAt::Kind::CampScript, value);
            } else if (action == "complete_mission") {
                e.action = Action::CompleteMission;
                e.text = r_.text(value, "complete_mission");
                note(NameAt::Kind::Mission, value);
            } else if (action == "start_thread") {
                e.action = Action::StartThread;
                e.text = r_.text(value, "start_thread");
            } else if (action == "add_ped") {
                e.action = Action::AddPed;
                e.ped = ped(value, "add_ped");
                if (e.ped.handle != 0 && !used_.insert(e.ped.handle).second) {
                    r_.fail(value, "handle " + std::to_string(e.ped.handle) + " is taken");
                }
                assignHandle(e.ped);
            } else if (action == "remove_ped") {
                e.action = Action::RemovePed;
                e.text = r_.text(value, "remove_ped");
                presentPed(value, e.text, "removed again");
                gone_[e.text] =
                    "at " + standin::clockText(e.at) + " (line " + std::to_string(e.where.line) + ")";
            } else if (action == "key") {
                e.action = Action::Key;
                auto k = r_.fields(value, "key", {"code", "released", "alt", "was_down"});
                if (!k.count("code"))
                    r_.fail(value, "a key needs its code");
                e.keyCode = static_cast<std::uint32_t>(r_.integer(k["code"], "code", 0, 0xFFFFFFFFll));
                if (k.count("released"))
                    e.keyReleased = r_.boolean(k["released"], "released");
                if (k.count("alt"))
                    e.keyAlt = r_.boolean(k["alt"], "alt");
                if (k.count("was_down"))
                    e.keyWasDown = r_.boolean(k["was_down"], "was_down");
            }
            s_.events.push_back(e);
        }
    }

    void expectations(const YAML::Node& node) {
        if (!node.IsSequence())
            r_.fail(node, "expect must be a list");
        static const std::map<std::string, ExpectKind> kinds = {
            {"said", ExpectKind::Said},
            {"wait", ExpectKind::Wait},
            {"teleported", ExpectKind::Teleported},
            {"configured", ExpectKind::Configured},
            {"gang_member", ExpectKind::GangMember},
            {"terminated", ExpectKind::Terminated},
            {"native", ExpectKind::Native},
            {"blip", ExpectKind::Blip},
            {"grazing", ExpectKind::Grazing},
            {"following", ExpectKind::Following},
            {"prompts_shown", ExpectKind::PromptsShown},
            {"near", ExpectKind::Near},
        };
        std::set<std::string> allowed = {"after", "by", "never", "times", "args", "position", "within"};
        for (const auto& [name, kind] : kinds)
            allowed.insert(name);
        for (const auto& item : node) {
            auto f = r_.fields(item, "an expectation", allowed);
            Expectation x;
            x.where = r_.where(item);
            YAML::Emitter out;
            out << YAML::Flow << item;
            x.source = out.c_str();
            int found = 0;
            for (const auto& [name, kind] : kinds) {
                if (!f.count(name))
                    continue;
                ++found;
                x.kind = kind;
                const YAML::Node& value = f[name];
                if (kind == ExpectKind::Wait) {
                    x.number = static_cast<double>(r_.integer(value, "wait", 0, 0xFFFFFFFFll));
                } else {
                    x.text = r_.text(value, name);
                }
                if (kind == ExpectKind::Teleported || kind == ExpectKind::Configured ||
                    kind == ExpectKind::GangMember || kind == ExpectKind::Blip ||
                    kind == ExpectKind::Grazing || kind == ExpectKind::Following ||
                    kind == ExpectKind::PromptsShown || kind == ExpectKind::Near) {
                    knownPed(value, x.text);
                }
                if (kind == ExpectKind::Native && standin::findNativeByLabel(x.text) == nullptr)
                    r_.fail(value, unknownName("native", x.text, nativeLabels()));
            }
            if (found != 1) {
                r_.fail(item, "an expectation names exactly one thing to expect (said, wait, teleported, "
                              "configured, gang_member, terminated, native, blip, grazing, following, "
                              "prompts_shown or near)");
            }
            const bool state = x.kind >= ExpectKind::Blip;
            if (f.count("after"))
                x.after = r_.time(f["after"], "after");
            if (f.count("by"))
                x.by = r_.time(f["by"], "by");
            if (f.count("never"))
                x.never = r_.boolean(f["never"], "never");
            if (f.count("times")) {
                if (state)
                    r_.fail(f["times"], "times counts things that happen, not states");
                if (x.never)
                    r_.fail(f["times"], "times and never do not go together");
                x.times = static_cast<int>(r_.integer(f["times"], "times", 0, 1000000));
            }
            if (f.count("args")) {
                if (x.kind != ExpectKind::Native)
                    r_.fail(f["args"], "args go with native");
                args(f["args"], x);
            }
            if (x.kind == ExpectKind::Near) {
                if (!f.count("position"))
                    r_.fail(item, "near needs a position");
                x.position = r_.position(f["position"], "position");
                if (f.count("within"))
                    x.within = static_cast<float>(r_.number(f["within"], "within"));
            } else if (f.count("position") || f.count("within")) {
                r_.fail(item, "position and within go with near");
            }
            s_.expectations.push_back(x);
        }
    }

    void args(const YAML::Node& node, Expectation& x) {
        if (!node.IsSequence())
            r_.fail(node, "args must be a list, one entry per slot (_ for any)");
        const standin::NativeInfo* info = standin::findNativeByLabel(x.text);
        const std::size_t slots = std::string(info->slots).size();
        if (node.size() > slots) {
            r_.fail(node, x.text + " takes " + std::to_string(slots) + " slots, not " +
                              std::to_string(node.size()));
        }
        for (const auto& item : node) {
            ArgMatch m;
            if (!item.IsScalar())
                r_.fail(item, "an argument must be a number, a text or _");
            double value = 0;
            if (item.Scalar() == "_" && item.Tag() != "!") {
                m.kind = ArgMatch::Kind::Any;
            } else if (item.Tag() != "!" && YAML::convert<double>::decode(item, value)) {
                m.kind = ArgMatch::Kind::Number;
                m.number = value;
            } else {
                m.kind = ArgMatch::Kind::Text;
                m.text = item.Scalar();
            }
            x.args.push_back(m);
        }
    }
};

} // namespace

std::optional<std::uint32_t> parseDuration(const std::string& text) {
    std::size_t end = 0;
    while (end < text.size() && ((text[end] >= '0' && text[end] <= '9') || text[end] == '.'))
        ++end;
    if (end == 0)
        return std::nullopt;
    const std::string digits = text.substr(0, end);
    const std::string unit = text.substr(end);
    if (digits.find('.') != digits.rfind('.') || digits == ".")
        return std::nullopt;
    double scale = 0;
    if (unit == "ms")
        scale = 1;
    else if (unit == "s")
        scale = 1000;
    else if (unit == "m")
        scale = 60000;
    else
        return std::nullopt;
    // strtod, not stod: a number too large for a double gives HUGE_VAL rather
    // than an exception, and is refused below like any other too-long time.
    const double ms = std::strtod(digits.c_str(), nullptr) * scale;
    if (!(ms >= 0) || ms > 4294967295.0 || ms != std::floor(ms))
        return std::nullopt;
    return static_cast<std::uint32_t>(ms);
}

Scenario parseScenario(const std::string& text, const std::string& file) {
    YAML::Node root;
    try {
        root = YAML::Load(text);
    } catch (const YAML::Exception& e) {
        YAML::Mark mark = e.mark;
        std::string message = e.msg;
        explainYamlError(text, mark.line, mark.column, message);
        Reader(file).fail(mark, message);
    }
    Scenario scenario = ScenarioReader(file).read(root);
    checkScenarioSense(scenario);
    return scenario;
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
