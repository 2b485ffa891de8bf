#include "sim/runner.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <stdexcept>

#include "sim/shipped_settings.h"
#include "sim/trace.h"
#include "standin/format.h"
#include "standin/host.h"

namespace sim {

namespace {

using standin::Game;
using standin::Host;
using standin::NativeInfo;

std::int32_t i32(std::uint64_t slot) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(slot)); }

std::string position(float x, float y, float z) {
    char text[96];
    std::snprintf(text, sizeof text, "(%.2f, %.2f, %.2f)", static_cast<double>(x), static_cast<double>(y),
                  static_cast<double>(z));
    return text;
}

// The catalogue's entry for a label; every label used here is in it.
const NativeInfo* nativeLabelled(const char* label) {
    const NativeInfo* info = standin::findNativeByLabel(label);
    if (info == nullptr)
        throw std::logic_error(std::string("no native labelled ") + label);
    return info;
}

const std::map<std::string, std::string> promptWords = {
    {"follow", "follow"}, {"stay", "stay"}, {"spur", "spur-away"}, {"send_home", "send-home"}};

const char* const promptInputs[4] = {"INPUT_CONTEXT_Y", "INPUT_CONTEXT_X", "INPUT_CONTEXT_B",
                                     "INPUT_SWITCH_SHOULDER"};

// Names for handles and hashes, so that lines speak of dutch_horse rather
// than 2001.
struct Names {
    std::map<std::int32_t, std::string> peds;
    std::map<std::uint32_t, std::string> hashes;
    std::map<std::int32_t, std::string> threads; // thread id -> script name

    std::string ped(std::int32_t handle) const {
        if (handle == 0)
            return "nothing (handle 0)";
        auto it = peds.find(handle);
        return it != peds.end() ? it->second : "ped " + std::to_string(handle);
    }
    std::string hash(std::uint32_t value) const {
        auto it = hashes.find(value);
        char text[16];
        std::snprintf(text, sizeof text, "0x%08X", value);
        return it != hashes.end() ? it->second : text;
    }
    void addHash(const std::string& name) { hashes[standin::joaat(name.c_str())] = name; }
};

// Writes one line per meaningful change, in words.
class Timeline {
  public:
    Timeline(std::ostream* out, const Names& names, Game& game) : out_(out), names_(names), game_(game) {}

    void say(std::uint64_t ms, const std::string& text) {
        if (out_ != nullptr)
            *out_ << standin::clockText(ms) << "  " << text << "\n";
    }

    void native(std::uint64_t ms, const NativeInfo& info, const std::uint64_t* slots, const std::uint64_t*) {
        // Most calls are of no interest here; skip them without comparing texts.
        static const NativeInfo* const told[] = {nativeLabelled("native67F7CEAC"),
                                                 nativeLabelled("nativeA5C38736"),
                                                 nativeLabelled("isPlayerTargettingEntity"),
                                                 nativeLabelled("terminateThread"),
                                                 nativeLabelled("playPedAmbientSpeech"),
                                                 nativeLabelled("taskFollowNavMeshToCoord"),
                                                 nativeLabelled("setEntityCoords"),
                                                 nativeLabelled("taskUseScenarioPoint"),
                                                 nativeLabelled("taskStartScenarioInPlaceHash"),
                                                 nativeLabelled("taskSmartFleePed"),
                                                 nativeLabelled("clearPedTasks")};
        if (std::find(std::begin(told), std::end(told), &info) == std::end(told))
            return;
        const std::string label = info.label;
        if (label == "native67F7CEAC") {
            passHorses_.push_back(i32(slots[0]));
        } else if (label == "nativeA5C38736") {
            ++passMembers_;
        } else if (label == "isPlayerTargettingEntity") {
            // Asked right after the borrowed horse is found: told at once, not
            // after the waits the rest of the pass may make.
            passHasBorrowed_ = true;
            if (i32(slots[1]) != lastBorrowed_) {
                lastBorrowed_ = i32(slots[1]);
                say(ms, names_.ped(lastBorrowed_) + " is the borrowed horse");
            }
        } else if (label == "terminateThread") {
            auto it = names_.threads.find(i32(slots[0]));
            say(ms, (it != names_.threads.end() ? it->second + " thread " : "thread ") +
                        std::to_string(i32(slots[0])) + " terminated");
        } else if (label == "playPedAmbientSpeech") {
            const auto* record =
                reinterpret_cast<const std::uint64_t*>(static_cast<std::uintptr_t>(slots[1]));
            const char* line = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(record[0]));
            say(ms, std::string("the player says \"") + (line ? line : "") + "\"");
        } else if (label == "taskFollowNavMeshToCoord") {
            say(ms, names_.ped(i32(slots[0])) + " sent home: walks to the camp at " +
                        position(standin::slotFloat(slots[1]), standin::slotFloat(slots[2]),
                                 standin::slotFloat(slots[3])));
        } else if (label == "setEntityCoords") {
            say(ms, names_.ped(i32(slots[0])) + " teleported to " +
                        position(standin::slotFloat(slots[1]), standin::slotFloat(slots[2]),
                                 standin::slotFloat(slots[3])));
        } else if (label == "taskUseScenarioPoint") {
            say(ms, names_.ped(i32(slots[0])) + " sent to graze at grazing point " +
                        std::to_string(i32(slots[1])));
        } else if (label == "taskStartScenarioInPlaceHash") {
            say(ms, names_.ped(i32(slots[0])) + " grazing where it stands");
        } else if (label == "taskSmartFleePed") {
            say(ms, names_.ped(i32(slots[0])) + " spurred away: flees from " + names_.ped(i32(slots[1])));
        } else if (label == "clearPedTasks") {
            say(ms, names_.ped(i32(slots[0])) + "'s tasks cleared");
        }
    }

    void wait(std::uint64_t ms, std::uint32_t waitMs) {
        // The preparation never waits, and every wait of a pass but the camp's
        // settle wait comes after it: once it has run, a wait means it is
        // complete, and it is told at its time, not when the pass ends.
        if (!passPreparationTold_ && (waitMs == 0 || !passHorses_.empty() || passMembers_ != 0)) {
            tellPreparation(ms);
            passPreparationTold_ = true;
        }
        if (waitMs > 0) {
            say(ms, "the script waits " + std::to_string(waitMs) + " ms");
            return;
        }
        // A pass ended.
        if (!passHasBorrowed_ && lastBorrowed_ != 0) {
            say(ms, names_.ped(lastBorrowed_) + " is forgotten: no borrowed horse");
            lastBorrowed_ = 0;
        }
        passHorses_.clear();
        passMembers_ = 0;
        passHasBorrowed_ = false;
        passPreparationTold_ = false;
    }

    void tellPreparation(std::uint64_t ms) {
        if (passHorses_.size() != lastHorses_.size() || passHorses_ != lastHorses_ ||
            passMembers_ != lastMembers_) {
            if (!passHorses_.empty() || passMembers_ != 0) {
                std::string horses;
                for (std::int32_t h : passHorses_)
                    horses += (horses.empty() ? "" : ", ") + names_.ped(h);
                say(ms, "camp prepared: " + std::to_string(passHorses_.size()) + " gang horse(s)" +
                            (horses.empty() ? "" : " (" + horses + ")") + ", " +
                            std::to_string(passMembers_) + " gang member(s)");
            } else {
                say(ms, "camp preparation stops");
            }
            lastHorses_ = passHorses_;
            lastMembers_ = passMembers_;
        }
    }

    // Compares the world with the end of the previous frame.
    void frameEnd(std::uint64_t ms) {
        // Prompts.
        bool shown = true;
        std::int32_t group = 0;
        std::string texts;
        for (const char* input : promptInputs) {
            const standin::PromptState* p = game_.promptFor(input);
            if (p == nullptr || !p->enabled || !p->visible) {
                shown = false;
                break;
            }
            group = p->group;
            texts += (texts.empty() ? "\"" : " | \"") + p->text + "\"";
        }
        if (shown != promptsShown_ || (shown && group != promptGroup_)) {
            if (shown) {
                const std::int32_t owner = Game::entityOfPromptGroup(group);
                say(ms, "prompts shown" +
                            (owner != 0 ? " on " + names_.ped(owner) : " in no horse's prompt group") + ": " +
                            texts);
            } else {
                say(ms, "prompts hidden");
            }
            promptsShown_ = shown;
            promptGroup_ = group;
        }
        // Blips.
        std::map<std::int32_t, std::string> blips;
        for (const auto& [handle, blip] : game_.blips) {
            blips[handle] = "blip \"" + blip.name + "\" on " + names_.ped(blip.entity);
        }
        for (const auto& [handle, text] : blips) {
            if (!blips_.count(handle) || blips_[handle] != text)
                say(ms, text + " added");
        }
        for (const auto& [handle, text] : blips_) {
            if (!blips.count(handle))
                say(ms, text + " removed");
        }
        blips_ = blips;
        // Following and arrivals.
        std::set<std::int32_t> following;
        std::set<std::int32_t> walking;
        for (const auto& [handle, ped] : game_.peds) {
            if (ped.pedGroup == game_.playerGroup && handle != game_.playerPed)
                following.insert(handle);
            if (ped.task.kind == standin::TaskKind::Navigate)
                walking.insert(handle);
        }
        for (std::int32_t h : following) {
            if (!following_.count(h))
                say(ms, names_.ped(h) + " follows the player");
        }
        for (std::int32_t h : following_) {
            if (!following.count(h))
                say(ms, names_.ped(h) + " stops following the player");
        }
        for (std::int32_t h : walking_) {
            if (!walking.count(h) && game_.peds.count(h) &&
                game_.peds.at(h).task.kind == standin::TaskKind::None) {
                const auto& p = game_.peds.at(h).position;
                say(ms, names_.ped(h) + " arrives at " + position(p.x, p.y, p.z));
            }
        }
        following_ = following;
        walking_ = walking;
    }

  private:
    std::ostream* out_;
    const Names& names_;
    Game& game_;
    std::vector<std::int32_t> passHorses_, lastHorses_;
    int passMembers_ = 0, lastMembers_ = 0;
    std::int32_t lastBorrowed_ = 0;
    bool passHasBorrowed_ = false;
    bool passPreparationTold_ = false;
    bool promptsShown_ = false;
    std::int32_t promptGroup_ = 0;
    std::map<std::int32_t, std::string> blips_;
    std::set<std::int32_t> following_, walking_;
};

// Keeps, for every expectation, the times at which it held.
class Checker {
  public:
    Checker(const Scenario& scenario, const Names& names, Game& game)
        : scenario_(scenario), names_(names), game_(game), hits_(scenario.expectations.size()) {
        // The one native each expectation of a call can match, so that a call
        // is matched against it only when it is that native.
        for (const Expectation& x : scenario.expectations) {
            static const std::map<ExpectKind, const char*> labels = {
                {ExpectKind::Said, "playPedAmbientSpeech"},
                {ExpectKind::Teleported, "setEntityCoords"},
                {ExpectKind::Configured, "native67F7CEAC"},
                {ExpectKind::GangMember, "nativeA5C38736"},
                {ExpectKind::Terminated, "terminateThread"}};
            const NativeInfo* target = nullptr;
            if (x.kind == ExpectKind::Native)
                target = nativeLabelled(x.text.c_str());
            else if (labels.count(x.kind))
                target = nativeLabelled(labels.at(x.kind));
            natives_.push_back(target);
        }
        for (const PedSpec& p : scenario.peds)
            handles_[p.name] = p.handle;
        for (const ScenarioEvent& e : scenario.events) {
            if (e.action == Action::AddPed)
                handles_[e.ped.name] = e.ped.handle;
        }
    }

    std::int32_t handle(const std::string& name) const {
        auto it = handles_.find(name);
        return it == handles_.end() ? -1 : it->second;
    }

    // What each out-parameter held when the call was made, as the trace shows
    // it: the game may overwrite it in answering (removeBlip clears it).
    void before(const NativeInfo& info, const std::uint64_t* slots) {
        for (std::size_t k = 0; info.slots[k] != '\0' && k < outValues_.size(); ++k) {
            outValues_[k] = 0;
            if (info.slots[k] == 'o' && slots[k] != 0)
                std::memcpy(&outValues_[k],
                            reinterpret_cast<const void*>(static_cast<std::uintptr_t>(slots[k])),
                            sizeof outValues_[k]);
        }
    }

    void native(std::uint64_t ms, const NativeInfo& info, const std::uint64_t* slots) {
        for (std::size_t i = 0; i < scenario_.expectations.size(); ++i) {
            const Expectation& x = scenario_.expectations[i];
            if (natives_[i] == &info && matchesNative(x, info, slots))
                hits_[i].push_back(ms);
        }
    }

    void wait(std::uint64_t ms, std::uint32_t waitMs) {
        for (std::size_t i = 0; i < scenario_.expectations.size(); ++i) {
            const Expectation& x = scenario_.expectations[i];
            if (x.kind == ExpectKind::Wait && x.number == waitMs)
                hits_[i].push_back(ms);
        }
    }

    void frameEnd(std::uint64_t ms) {
        for (std::size_t i = 0; i < scenario_.expectations.size(); ++i) {
            const Expectation& x = scenario_.expectations[i];
            if (x.kind >= ExpectKind::Blip && holds(x))
                hits_[i].push_back(ms);
        }
    }

    std::vector<std::string> failures(std::uint64_t endMs) const {
        std::vector<std::string> found;
        for (std::size_t i = 0; i < scenario_.expectations.size(); ++i) {
            const Expectation& x = scenario_.expectations[i];
            const std::uint64_t until = x.by ? *x.by : endMs;
            std::size_t count = 0;
            std::uint64_t first = 0, outside = 0;
            bool anyOutside = false;
            for (std::uint64_t t : hits_[i]) {
                if (t >= x.after && t <= until) {
                    if (count++ == 0)
                        first = t;
                } else if (!anyOutside) {
                    anyOutside = true;
                    outside = t;
                }
            }
            std::string why;
            if (x.never && count > 0) {
                why = "happened at " + standin::clockText(first);
            } else if (x.times && count != static_cast<std::size_t>(*x.times)) {
                why = "happened " + std::to_string(count) + " time(s), expected " + std::to_string(*x.times);
            } else if (!x.never && !x.times && count == 0) {
                why = anyOutside ? "only outside its window, first at " + standin::clockText(outside)
                                 : "never happened";
            }
            if (!why.empty()) {
                found.push_back(scenario_.file + ":" + std::to_string(x.where.line) + ": expectation " +
                                x.source + " failed: " + why);
            }
        }
        return found;
    }

  private:
    const Scenario& scenario_;
    [[maybe_unused]] const Names& names_; // unused by the checks so far (clang: -Wunused-private-field)
    Game& game_;
    std::vector<std::vector<std::uint64_t>> hits_;
    std::map<std::string, std::int32_t> handles_;
    std::array<std::uint32_t, 32> outValues_{};
    std::vector<const NativeInfo*> natives_; // per expectation: the native it matches, if any

    bool matchesNative(const Expectation& x, const NativeInfo& info, const std::uint64_t* slots) const {
        const std::string label = info.label;
        switch (x.kind) {
        case ExpectKind::Said: {
            if (label != "playPedAmbientSpeech")
                return false;
            const auto* record =
                reinterpret_cast<const std::uint64_t*>(static_cast<std::uintptr_t>(slots[1]));
            const char* line = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(record[0]));
            return line != nullptr && x.text == line;
        }
        case ExpectKind::Teleported:
            return label == "setEntityCoords" && i32(slots[0]) == handle(x.text);
        case ExpectKind::Configured:
            return label == "native67F7CEAC" && i32(slots[0]) == handle(x.text);
        case ExpectKind::GangMember:
            return label == "nativeA5C38736" && i32(slots[0]) == handle(x.text);
        case ExpectKind::Terminated:
            return label == "terminateThread" && terminatedScript(i32(slots[0])) == x.text;
        case ExpectKind::Native:
            return label == x.text && argsMatch(x, info, slots);
        default:
            return false;
        }
    }

    std::string terminatedScript(std::int32_t) const { return lastThreadScript_; }

  public:
    // The script of each thread, noted when the module asks for it.
    std::string lastThreadScript_;

  private:
    bool argsMatch(const Expectation& x, const NativeInfo& info, const std::uint64_t* slots) const {
        for (std::size_t k = 0; k < x.args.size(); ++k) {
            const ArgMatch& m = x.args[k];
            const char kind = info.slots[k];
            const std::uint64_t slot = slots[k];
            if (m.kind == ArgMatch::Kind::Any)
                continue;
            if (kind == 'f') {
                if (m.kind != ArgMatch::Kind::Number)
                    return false;
                const double want = m.number;
                if (std::fabs(standin::slotFloat(slot) - want) > 1e-3 * std::max(1.0, std::fabs(want)))
                    return false;
            } else if (kind == 'i' || kind == 'o') {
                std::uint64_t value = slot;
                if (kind == 'o')
                    value = outValues_[k];
                std::uint32_t want;
                if (m.kind == ArgMatch::Kind::Number) {
                    want = static_cast<std::uint32_t>(static_cast<std::int64_t>(m.number));
                } else if (handles_.count(m.text)) {
                    want = static_cast<std::uint32_t>(handles_.at(m.text));
                } else if (m.text == "player") {
                    want = static_cast<std::uint32_t>(game_.playerPed);
                } else {
                    want = standin::joaat(m.text.c_str());
                }
                if (value != want)
                    return false;
            } else {
                if (m.kind != ArgMatch::Kind::Text)
                    return false;
                const char* text = nullptr;
                if (kind == 's') {
                    text = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(slot));
                } else if (kind == 'r') {
                    const auto* record =
                        reinterpret_cast<const std::uint64_t*>(static_cast<std::uintptr_t>(slot));
                    text = reinterpret_cast<const char*>(static_cast<std::uintptr_t>(record[0]));
                } else if (kind == 'v') {
                    const std::string* s = game_.varString(slot);
                    text = s ? s->c_str() : nullptr;
                }
                if (text == nullptr || m.text != text)
                    return false;
            }
        }
        return true;
    }

    bool holds(const Expectation& x) const {
        const std::int32_t h = handle(x.text);
        auto it = game_.peds.find(h);
        const standin::PedState* p = it == game_.peds.end() ? nullptr : &it->second;
        switch (x.kind) {
        case ExpectKind::Blip:
            for (const auto& [handle, blip] : game_.blips) {
                if (blip.entity == h && blip.name == "Gang Horse")
                    return true;
            }
            return false;
        case ExpectKind::Grazing:
            return p != nullptr && (p->task.kind == standin::TaskKind::UseScenarioPoint ||
                                    p->task.kind == standin::TaskKind::ScenarioInPlace);
        case ExpectKind::Following:
            return p != nullptr && p->pedGroup == game_.playerGroup;
        case ExpectKind::PromptsShown:
            for (const char* input : promptInputs) {
                const standin::PromptState* prompt = game_.promptFor(input);
                if (prompt == nullptr || !prompt->enabled || !prompt->visible ||
                    prompt->group != Game::promptGroupOf(h)) {
                    return false;
                }
            }
            return true;
        case ExpectKind::Near:
            return p != nullptr && standin::distance(p->position, x.position) <= x.within;
        default:
            return false;
        }
    }
};

void addPed(Game& game, const PedSpec& spec) {
    standin::PedState& p = game.addPed(spec.handle, spec.model, spec.position);
    p.name = spec.name;
    p.male = spec.male;
    p.relationshipGroup = spec.group.empty() ? 0 : standin::joaat(spec.group.c_str());
    p.defaultRelationshipGroup = p.relationshipGroup;
    p.still = spec.still;
    p.fleeing = spec.fleeing;
    p.stuck = spec.stuck;
}

// A scratch working directory holding the scenario's settings file, entered
// for the run and removed afterwards.
class ScratchDir {
  public:
    explicit ScratchDir(const Scenario& scenario) {
        namespace fs = std::filesystem;
        previous_ = fs::current_path();
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        for (int attempt = 0;; ++attempt) {
            path_ = fs::temp_directory_path() /
                    ("gang-horse-sim-" + std::to_string(stamp) + "-" + std::to_string(attempt));
            if (fs::create_directory(path_))
                break;
        }
        if (scenario.settings != Scenario::Settings::None) {
            const std::string& text =
                scenario.settings == Scenario::Settings::Text ? scenario.settingsText : shippedSettings();
            std::ofstream file(path_ / "Velkor.dat", std::ios::binary);
            file.write(text.data(), static_cast<std::streamsize>(text.size()));
        }
        fs::current_path(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }

  private:
    std::filesystem::path previous_, path_;
};

} // namespace

RunResult runScenario(const Scenario& s, const RunOptions& options, const ModuleLoader& module) {
    ScratchDir scratch(s);
    Host& host = Host::get();
    host.reset(s.fps, s.startTime);
    host.setRecording(false);
    Game& game = host.game();
    game.dynamics = true;

    Names names;
    game.playerPed = s.playerHandle;
    game.player().male = s.playerMale;
    game.player().position = s.playerPosition;
    names.peds[s.playerHandle] = "the player";
    for (const PedSpec& p : s.peds) {
        addPed(game, p);
        names.peds[p.handle] = p.name;
    }
    for (const ScenarioEvent& e : s.events) {
        if (e.action == Action::AddPed)
            names.peds[e.ped.handle] = e.ped.name;
    }
    std::map<std::string, std::int32_t> handles;
    for (const auto& [handle, name] : names.peds)
        handles[name] = handle;
    if (!s.playerMount.empty())
        game.player().mount = handles[s.playerMount];
    for (const std::string& script : s.campScripts)
        game.startScript(script);
    std::map<std::int32_t, std::string>& threadScripts = names.threads;
    for (const std::string& script : s.scriptThreads)
        threadScripts[game.addThread(script)] = script;
    for (const std::string& mission : s.missionsCompleted)
        game.completeMission(mission);
    for (const standin::Vec3& point : s.grazingPoints)
        game.addScenarioPoint("WORLD_ANIMAL_HORSE_GRAZING_CAMP", point);

    Timeline timeline(options.timeline, names, game);
    Checker checker(s, names, game);
    auto elapsed = [&host] { return host.elapsedMs(); };
    host.beforeNative = [&](const NativeInfo& info, const std::uint64_t* slots) {
        checker.before(info, slots);
        if (options.onNative)
            options.onNative(info, slots);
    };
    const NativeInfo* const terminateThread = nativeLabelled("terminateThread");
    host.afterNative = [&](const NativeInfo& info, const std::uint64_t* slots, const std::uint64_t* result) {
        if (&info == terminateThread) {
            auto it = threadScripts.find(i32(slots[0]));
            checker.lastThreadScript_ = it != threadScripts.end() ? it->second : "";
        }
        const std::uint64_t ms = elapsed();
        timeline.native(ms, info, slots, result);
        checker.native(ms, info, slots);
    };
    host.afterHost = [&](const char* name, std::uint32_t value) {
        if (std::strcmp(name, "scriptWait") == 0) {
            timeline.wait(elapsed(), value);
            checker.wait(elapsed(), value);
        }
        if (options.onHost)
            options.onHost(name, value);
    };
    if (options.trace != nullptr) {
        host.listener = [&options](const standin::Event& event) {
            if (event.native == nullptr || options.traceOmit.count(event.native->label) == 0) {
                *options.trace << traceLine(event) << "\n";
            }
        };
    }
    host.onFrameEnd = [&](int frame) {
        timeline.frameEnd(elapsed());
        checker.frameEnd(elapsed());
        if (options.onFrameEnd)
            options.onFrameEnd(frame);
    };

    const auto started = std::chrono::steady_clock::now();
    timeline.say(0, "scenario \"" + s.name + "\" starts");
    module.load();
    std::size_t next = 0;
    RunResult result;
    while (host.elapsedMs() <= s.duration) {
        const std::uint64_t now = host.elapsedMs();
        for (; next < s.events.size() && s.events[next].at <= now; ++next) {
            const ScenarioEvent& e = s.events[next];
            standin::PedState* ped = nullptr;
            if (!e.text.empty() && handles.count(e.text)) {
                auto it = game.peds.find(handles[e.text]);
                ped = it == game.peds.end() ? nullptr : &it->second;
            }
            switch (e.action) {
            case Action::Target:
                game.target = e.text.empty() ? 0 : handles[e.text];
                timeline.say(now,
                             e.text.empty() ? "the player stops aiming" : "the player aims at " + e.text);
                break;
            case Action::Prompt: {
                static const std::map<std::string, const char*> inputs = {
                    {"follow", "INPUT_CONTEXT_Y"},
                    {"stay", "INPUT_CONTEXT_X"},
                    {"spur", "INPUT_CONTEXT_B"},
                    {"send_home", "INPUT_SWITCH_SHOULDER"}};
                const bool done = game.completePrompt(inputs.at(e.text));
                timeline.say(now, "the player completes the " + promptWords.at(e.text) + " prompt" +
                                      (done ? "" : " (not shown: nothing happens)"));
                break;
            }
            case Action::Mount:
                if (ped != nullptr)
                    game.player().position = ped->position;
                game.player().mount = e.text.empty() ? 0 : handles[e.text];
                timeline.say(now, e.text.empty() ? "the player dismounts" : "the player mounts " + e.text);
                break;
            case Action::Whistle:
                game.releaseControl("INPUT_WHISTLE");
                timeline.say(now, "the player whistles");
                break;
            case Action::MovePlayer:
                game.player().position = e.position;
                timeline.say(now,
                             "the player moves to " + position(e.position.x, e.position.y, e.position.z));
                break;
            case Action::Camp:
                if (e.text.empty()) {
                    game.scriptInstances.clear();
                    timeline.say(now, "every camp script stops");
                } else {
                    game.startScript(e.text);
                    timeline.say(now, "camp script " + e.text + " starts");
                }
                break;
            case Action::CompleteMission:
                game.completeMission(e.text);
                timeline.say(now, "mission " + e.text + " completed");
                break;
            case Action::StartThread:
                threadScripts[game.addThread(e.text)] = e.text;
                timeline.say(now, "script thread " + e.text + " starts");
                break;
            case Action::SetPed:
                if (ped != nullptr) {
                    const PedChange& c = e.change;
                    if (c.position)
                        ped->position = *c.position;
                    if (c.still)
                        ped->still = *c.still;
                    if (c.fleeing)
                        ped->fleeing = *c.fleeing;
                    // Setting still or fleeing holds the ped as set, unless told otherwise.
                    if (c.still || c.fleeing)
                        ped->stuck = true;
                    if (c.stuck)
                        ped->stuck = *c.stuck;
                    if (c.male)
                        ped->male = *c.male;
                    if (c.group)
                        ped->relationshipGroup = standin::joaat(c.group->c_str());
                }
                timeline.say(now, e.text + " changed" + (ped ? "" : " (not in the world: nothing happens)"));
                break;
            case Action::AddPed:
                addPed(game, e.ped);
                timeline.say(now, e.ped.name + " appears");
                break;
            case Action::RemovePed:
                game.peds.erase(handles[e.text]);
                if (game.target == handles[e.text])
                    game.target = 0;
                if (game.player().mount == handles[e.text])
                    game.player().mount = 0;
                timeline.say(now, e.text + " leaves the world");
                break;
            case Action::Key:
                host.sendKey(e.keyCode, 1, 0, 0, e.keyAlt, e.keyWasDown, e.keyReleased);
                timeline.say(now,
                             "key " + std::to_string(e.keyCode) + (e.keyReleased ? " released" : " pressed"));
                break;
            }
        }
        host.runFrame();
        ++result.frames;
    }
    timeline.say(host.elapsedMs(), "scenario ends");
    module.unload();
    host.shutdown();
    host.listener = nullptr;
    host.beforeNative = nullptr;
    host.afterNative = nullptr;
    host.afterHost = nullptr;
    host.onFrameEnd = nullptr;
    result.wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    result.expectations = s.expectations.size();
    result.failures = checker.failures(s.duration);
    return result;
}

} // namespace sim
