// The stand-in game's world: peds, the player, scripts and their threads,
// the story's missions, scenario points, prompts, blips and what was said.
// Tests and scenarios set it freely; the native answers (standin/answers/)
// read and change it, and the movement (standin/movement.h) plays it out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace standin {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

float distance(const Vec3& a, const Vec3& b);

enum class TaskKind { None, Navigate, Flee, UseScenarioPoint, ScenarioInPlace };

struct Task {
    TaskKind kind = TaskKind::None;
    Vec3 target;                // Navigate
    std::int32_t from = 0;      // Flee: the ped fled from
    float fleeDistance = 0;     // Flee: how far to get
    std::int32_t point = 0;     // UseScenarioPoint
    std::uint32_t scenario = 0; // ScenarioInPlace: the scenario's hash
};

struct PedState {
    std::int32_t handle = 0;
    std::string name; // for people: timeline, errors
    std::uint32_t model = 0;
    std::uint32_t relationshipGroup = 0;
    std::uint32_t defaultRelationshipGroup = 0;
    Vec3 position;
    bool male = true;
    bool still = true;
    bool fleeing = false;
    bool stuck = false;         // moves by nothing but explicit changes; still and fleeing stay as set
    std::int32_t mount = 0;     // the horse the ped rides
    std::int32_t pedGroup = -1; // ped group index; -1 = none
    Task task;
    std::map<std::int32_t, bool> configFlags;
    std::map<std::int32_t, std::int32_t> attributePoints;
    bool invincible = false;
    bool missionEntity = false;
    std::int32_t bondingLevel = 0;
    std::int32_t motivationOverride = 0;
};

struct PromptState {
    std::int32_t handle = 0;
    std::uint32_t controlAction = 0;
    std::string text;
    bool standardMode = false;
    bool registered = false;
    bool enabled = false;
    bool visible = false;
    std::int32_t group = 0;
    std::int32_t priority = 0;
    bool completionPending = false;
};

struct BlipState {
    std::int32_t handle = 0;
    std::uint32_t style = 0;
    std::int32_t entity = 0;
    std::string name;
};

struct ScenarioPoint {
    std::int32_t handle = 0;
    std::uint32_t type = 0;
    Vec3 position;
    bool active = false;
};

struct ScriptThread {
    std::int32_t id = 0;
    std::uint32_t scriptHash = 0;
};

struct SpokenLine {
    std::int32_t speaker = 0;
    std::string line;
    std::uint32_t paramsHash = 0;
};

// The world's peds by handle, in handle order (as worldGetAllPeds lists
// them): an ordered map, used as one, with a flat index of the same peds
// beside it, so that finding a ped by its handle is a probe or two into one
// array rather than a walk down the tree. Every change goes through the
// table, which keeps the index in step.
class PedTable {
    using Map = std::map<std::int32_t, PedState>;

  public:
    using key_type = Map::key_type;
    using mapped_type = Map::mapped_type;
    using value_type = Map::value_type;
    using size_type = Map::size_type;
    using iterator = Map::iterator;
    using const_iterator = Map::const_iterator;

    PedTable() = default;
    PedTable(const PedTable& other) : map_(other.map_) { reindex(); }
    PedTable& operator=(const PedTable& other) {
        map_ = other.map_;
        reindex();
        return *this;
    }
    // A moved map keeps its nodes, so the index and its generation stay
    // right; the table moved from is left empty, as a new generation.
    PedTable(PedTable&& other) noexcept
        : map_(std::move(other.map_)), index_(std::move(other.index_)), shift_(other.shift_),
          generation_(other.generation_) {
        other.clear();
    }
    PedTable& operator=(PedTable&& other) noexcept {
        map_ = std::move(other.map_);
        index_ = std::move(other.index_);
        shift_ = other.shift_;
        generation_ = other.generation_;
        other.clear();
        return *this;
    }

    iterator begin() { return map_.begin(); }
    iterator end() { return map_.end(); }
    const_iterator begin() const { return map_.begin(); }
    const_iterator end() const { return map_.end(); }
    size_type size() const { return map_.size(); }
    bool empty() const { return map_.empty(); }
    size_type count(std::int32_t handle) const { return get(handle) != nullptr ? 1 : 0; }
    iterator find(std::int32_t handle) { return map_.find(handle); }
    const_iterator find(std::int32_t handle) const { return map_.find(handle); }
    PedState& at(std::int32_t handle) { return map_.at(handle); }
    const PedState& at(std::int32_t handle) const { return map_.at(handle); }
    // The ped with this handle, made (default) when there is none.
    PedState& operator[](std::int32_t handle);
    size_type erase(std::int32_t handle);
    iterator erase(const_iterator position);
    void clear();

    // Changes whenever a ped is added or removed, and is never the same for
    // two tables' peds: a PedState* kept from a table stays right while the
    // table's generation is the one seen when it was taken.
    std::uint64_t generation() const { return generation_; }
    // Every ped with its handle, in no particular order: a walk cheaper than
    // the map's, for those that sort what little they keep.
    template <class Visit> void forEachUnordered(Visit&& visit) const {
        for (const Entry& entry : index_) {
            if (entry.ped != nullptr)
                visit(entry.handle, static_cast<const PedState&>(*entry.ped));
        }
    }

    // nullptr for a handle the table does not hold.
    PedState* get(std::int32_t handle) { return const_cast<PedState*>(std::as_const(*this).get(handle)); }
    const PedState* get(std::int32_t handle) const {
        if (index_.empty())
            return nullptr;
        for (std::size_t at = place(handle);; at = (at + 1) & (index_.size() - 1)) {
            const Entry& entry = index_[at];
            if (entry.ped == nullptr || entry.handle == handle)
                return entry.ped;
        }
    }

  private:
    struct Entry {
        std::int32_t handle = 0;
        PedState* ped = nullptr; // nullptr: an empty place
    };
    std::size_t place(std::int32_t handle) const {
        return (static_cast<std::uint32_t>(handle) * 0x9E3779B1u) >> shift_;
    }
    void insert(std::int32_t handle, PedState* ped);
    void reindex();
    static std::uint64_t nextGeneration();

    Map map_;
    std::vector<Entry> index_; // a power of two in size, never more than half full
    unsigned shift_ = 32;
    std::uint64_t generation_ = nextGeneration();
};

class World {
  public:
    // World state, set freely by tests and scenarios.
    std::int32_t playerPed = 100;
    std::int32_t playerIndex = 0;
    std::int32_t playerGroup = 1;
    std::int32_t target = 0; // the entity the player aims at; 0 = none
    PedTable peds;
    std::map<std::uint32_t, std::int32_t> scriptInstances; // by script name hash
    std::vector<ScriptThread> threads;
    std::set<std::uint32_t> missionsCompleted;
    std::vector<ScenarioPoint> scenarioPoints;
    std::set<std::uint32_t> controlsJustReleased; // cleared at every frame's end
    std::map<std::int32_t, PromptState> prompts;
    std::map<std::int32_t, BlipState> blips;
    std::vector<SpokenLine> spoken;
    std::uint32_t gameTimer = 0; // kept by the host
    // Names that getHashKey answers with a value of the test's choosing
    // instead of the game's hash (by the name as asked).
    std::map<std::string, std::uint32_t> hashOverrides;

    // Convenience for setting up a world.
    PedState& addPed(std::int32_t handle, const std::string& model, Vec3 position = {});
    PedState& player();
    // Puts the ped at the position, and whoever rides it with it: the game
    // keeps a rider on the horse it moves. Nothing for a handle the world
    // does not hold.
    void placePed(std::int32_t handle, const Vec3& position);
    void startScript(const std::string& name, int instances = 1);
    void stopScript(const std::string& name);
    std::int32_t addThread(const std::string& scriptName);
    void completeMission(const std::string& id);
    std::int32_t addScenarioPoint(const std::string& type, Vec3 position);
    // The player completes the prompt bound to the input; false when the
    // prompt is not both enabled and visible, as in the game.
    bool completePrompt(const std::string& inputName);
    // The prompt bound to the input: after a reload, the newest shown, else the newest.
    PromptState* promptFor(const std::string& inputName);
    void releaseControl(const std::string& inputName);

    // Every entity has a prompt group of its own; the handle 0 has none.
    // Wrapping 32-bit arithmetic: any handle, however large, has a group.
    static std::int32_t promptGroupOf(std::int32_t entity) {
        return entity == 0 ? 0 : static_cast<std::int32_t>(static_cast<std::uint32_t>(entity) + 0x70000u);
    }
    static std::int32_t entityOfPromptGroup(std::int32_t group) {
        return group == 0 ? 0 : static_cast<std::int32_t>(static_cast<std::uint32_t>(group) - 0x70000u);
    }

    // What the game makes when asked, each with a handle of its own kind.
    PromptState& createPrompt();
    std::uint64_t createVarString(const char* text);
    // The text behind a createVarString value, or nullptr.
    const std::string* varString(std::uint64_t value) const;
    // A blip on an entity; 0 for an entity that does not exist.
    std::int32_t addBlip(std::uint32_t style, std::int32_t entity);

    // The walk over the script threads: from the first, one at a time, 0 at
    // the end. A thread terminated during the walk does not make it skip one.
    void restartThreadWalk() { threadCursor_ = 0; }
    std::int32_t nextThreadOfWalk();
    void terminateThread(std::int32_t id);

    // nullptr for a handle the world does not hold.
    PedState* ped(std::int32_t handle) { return peds.get(handle); }
    const PedState* ped(std::int32_t handle) const { return peds.get(handle); }
    PromptState* prompt(std::int32_t handle) {
        auto it = prompts.find(handle);
        return it == prompts.end() ? nullptr : &it->second;
    }
    ScenarioPoint* scenarioPoint(std::int32_t handle);

    // Called by the host at the end of every frame.
    void endFrame();

  private:
    std::vector<std::string> varStrings_;
    std::int32_t nextPrompt_ = 0x1001;
    std::int32_t nextBlip_ = 0x5001;
    std::int32_t nextThread_ = 0x201;
    std::int32_t nextPoint_ = 0x3001;
    std::size_t threadCursor_ = 0;
};

} // namespace standin
