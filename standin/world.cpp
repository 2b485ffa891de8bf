#include "standin/world.h"

#include <atomic>
#include <cmath>

#include "standin/catalogue.h"

namespace standin {

namespace {
constexpr std::uint64_t varStringBase = 0x7E57000000000000ull;
} // namespace

PedState& PedTable::operator[](std::int32_t handle) {
    if (PedState* ped = get(handle))
        return *ped;
    PedState& ped = map_[handle];
    generation_ = nextGeneration();
    if (2 * map_.size() > index_.size()) {
        reindex();
    } else {
        insert(handle, &ped);
    }
    return ped;
}

PedTable::size_type PedTable::erase(std::int32_t handle) {
    const size_type erased = map_.erase(handle);
    if (erased != 0)
        reindex();
    return erased;
}

PedTable::iterator PedTable::erase(const_iterator position) {
    const iterator next = map_.erase(position);
    reindex();
    return next;
}

void PedTable::clear() {
    map_.clear();
    reindex();
}

void PedTable::insert(std::int32_t handle, PedState* ped) {
    std::size_t at = place(handle);
    while (index_[at].ped != nullptr)
        at = (at + 1) & (index_.size() - 1);
    index_[at] = Entry{handle, ped};
}

std::uint64_t PedTable::nextGeneration() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

// Erasing is rare (a ped removed from the world): the index is made again.
void PedTable::reindex() {
    generation_ = nextGeneration();
    std::size_t size = 16;
    shift_ = 28;
    while (size < 2 * map_.size()) {
        size *= 2;
        --shift_;
    }
    index_.assign(size, Entry{});
    for (auto& [handle, ped] : map_)
        insert(handle, &ped);
}

float distance(const Vec3& a, const Vec3& b) {
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

PedState& World::addPed(std::int32_t handle, const std::string& model, Vec3 position) {
    PedState& p = peds[handle];
    p.handle = handle;
    p.model = model.empty() ? 0 : joaat(model.c_str());
    p.position = position;
    return p;
}

PedState& World::player() {
    PedState* p = ped(playerPed);
    if (p == nullptr) {
        p = &addPed(playerPed, "PLAYER_ZERO");
        p->name = "player";
    }
    return *p;
}

void World::placePed(std::int32_t handle, const Vec3& position) {
    if (ped(handle) == nullptr)
        return;
    for (auto& [h, p] : peds) {
        if (h == handle || p.mount == handle)
            p.position = position;
    }
}

void World::startScript(const std::string& name, int instances) {
    scriptInstances[joaat(name.c_str())] = instances;
}
void World::stopScript(const std::string& name) { scriptInstances.erase(joaat(name.c_str())); }

std::int32_t World::addThread(const std::string& scriptName) {
    const std::int32_t id = nextThread_++;
    threads.push_back({id, joaat(scriptName.c_str())});
    return id;
}

void World::completeMission(const std::string& id) { missionsCompleted.insert(joaat(id.c_str())); }

std::int32_t World::addScenarioPoint(const std::string& type, Vec3 position) {
    const std::int32_t handle = nextPoint_++;
    scenarioPoints.push_back({handle, joaat(type.c_str()), position, false});
    return handle;
}

PromptState* World::promptFor(const std::string& inputName) {
    // A script started again (a reload) makes new prompts beside its old
    // ones: the newest that is shown, else the newest.
    const std::uint32_t input = joaat(inputName.c_str());
    PromptState* newest = nullptr;
    for (auto it = prompts.rbegin(); it != prompts.rend(); ++it) {
        PromptState& prompt = it->second;
        if (prompt.controlAction != input) {
            continue;
        }
        if (prompt.enabled && prompt.visible) {
            return &prompt;
        }
        if (newest == nullptr) {
            newest = &prompt;
        }
    }
    return newest;
}

bool World::completePrompt(const std::string& inputName) {
    PromptState* prompt = promptFor(inputName);
    if (prompt == nullptr || !prompt->enabled || !prompt->visible) {
        return false;
    }
    prompt->completionPending = true;
    return true;
}

void World::releaseControl(const std::string& inputName) {
    controlsJustReleased.insert(joaat(inputName.c_str()));
}

PromptState& World::createPrompt() {
    const std::int32_t handle = nextPrompt_++;
    PromptState& prompt = prompts[handle];
    prompt.handle = handle;
    return prompt;
}

std::uint64_t World::createVarString(const char* text) {
    varStrings_.push_back(text != nullptr ? text : "");
    return varStringBase + varStrings_.size() - 1;
}

const std::string* World::varString(std::uint64_t value) const {
    if (value < varStringBase || value - varStringBase >= varStrings_.size()) {
        return nullptr;
    }
    return &varStrings_[value - varStringBase];
}

std::int32_t World::addBlip(std::uint32_t style, std::int32_t entity) {
    if (ped(entity) == nullptr) {
        return 0;
    }
    const std::int32_t handle = nextBlip_++;
    blips[handle] = BlipState{handle, style, entity, ""};
    return handle;
}

std::int32_t World::nextThreadOfWalk() {
    return threadCursor_ < threads.size() ? threads[threadCursor_++].id : 0;
}

void World::terminateThread(std::int32_t id) {
    for (std::size_t i = 0; i < threads.size(); ++i) {
        if (threads[i].id == id) {
            threads.erase(threads.begin() + static_cast<std::ptrdiff_t>(i));
            if (threadCursor_ > i)
                --threadCursor_; // the walk goes on with the next thread
            return;
        }
    }
}

ScenarioPoint* World::scenarioPoint(std::int32_t handle) {
    for (ScenarioPoint& point : scenarioPoints) {
        if (point.handle == handle)
            return &point;
    }
    return nullptr;
}

void World::endFrame() { controlsJustReleased.clear(); }

} // namespace standin
