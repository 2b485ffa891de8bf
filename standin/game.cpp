#include "standin/game.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace standin {

namespace {

constexpr std::uint64_t varStringBase = 0x7E57000000000000ull;

void setInt(std::uint64_t* result, std::int32_t value) { result[0] = slotOf(value); }
void setBool(std::uint64_t* result, bool value) { result[0] = value ? 1 : 0; }
void setFloat(std::uint64_t* result, float value) { result[0] = slotOf(value); }
void setVector(std::uint64_t* result, const Vec3& v) {
    result[0] = slotOf(v.x);
    result[1] = slotOf(v.y);
    result[2] = slotOf(v.z);
}

} // namespace

float distance(const Vec3& a, const Vec3& b) {
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
    return static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
}

PedState* Game::ped(std::int32_t handle) {
    auto it = peds.find(handle);
    return it == peds.end() ? nullptr : &it->second;
}

PedState& Game::addPed(std::int32_t handle, const std::string& model, Vec3 position) {
    PedState& p = peds[handle];
    p.handle = handle;
    p.model = model.empty() ? 0 : joaat(model.c_str());
    p.position = position;
    return p;
}

PedState& Game::player() {
    PedState* p = ped(playerPed);
    if (p == nullptr) {
        p = &addPed(playerPed, "PLAYER_ZERO");
        p->name = "player";
    }
    return *p;
}

void Game::startScript(const std::string& name, int instances) {
    scriptInstances[joaat(name.c_str())] = instances;
}
void Game::stopScript(const std::string& name) { scriptInstances.erase(joaat(name.c_str())); }

std::int32_t Game::addThread(const std::string& scriptName) {
    const std::int32_t id = nextThread_++;
    threads.push_back({id, joaat(scriptName.c_str())});
    return id;
}

void Game::completeMission(const std::string& id) { missionsCompleted.insert(joaat(id.c_str())); }

std::int32_t Game::addScenarioPoint(const std::string& type, Vec3 position) {
    const std::int32_t handle = nextPoint_++;
    scenarioPoints.push_back({handle, joaat(type.c_str()), position, false});
    return handle;
}

PromptState* Game::promptFor(const std::string& inputName) {
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

bool Game::completePrompt(const std::string& inputName) {
    PromptState* prompt = promptFor(inputName);
    if (prompt == nullptr || !prompt->enabled || !prompt->visible) {
        return false;
    }
    prompt->completionPending = true;
    return true;
}

void Game::releaseControl(const std::string& inputName) {
    controlsJustReleased.insert(joaat(inputName.c_str()));
}

const std::string* Game::varString(std::uint64_t value) const {
    if (value < varStringBase || value - varStringBase >= varStrings_.size()) {
        return nullptr;
    }
    return &varStrings_[value - varStringBase];
}

void Game::endFrame() { controlsJustReleased.clear(); }

namespace {

// Moves the ped up to step metres towards the goal; true once it is there.
bool moveTowards(PedState& p, const Vec3& goal, float step) {
    const float d = distance(p.position, goal);
    if (d <= step) {
        p.position = goal;
        return true;
    }
    const float k = step / d;
    p.position.x += (goal.x - p.position.x) * k;
    p.position.y += (goal.y - p.position.y) * k;
    p.position.z += (goal.z - p.position.z) * k;
    return false;
}

void moveAway(PedState& p, const Vec3& from, float step) {
    float dx = p.position.x - from.x, dy = p.position.y - from.y;
    float d = std::sqrt(dx * dx + dy * dy);
    if (d < 0.001f) {
        dx = 1;
        dy = 0;
        d = 1;
    }
    p.position.x += dx / d * step;
    p.position.y += dy / d * step;
}

} // namespace

void Game::advance(std::uint32_t dtMs) {
    const float dt = static_cast<float>(dtMs) / 1000.0f;
    const PedState* me = ped(playerPed);
    for (auto& [handle, p] : peds) {
        if (handle == playerPed || p.stuck) {
            continue;
        }
        if (me != nullptr && me->mount == handle) {
            p.position = me->position; // ridden
            p.still = true;
            p.fleeing = false;
            continue;
        }
        switch (p.task.kind) {
        case TaskKind::Navigate:
            p.still = false;
            if (moveTowards(p, p.task.target, walkSpeed * dt)) {
                p.task = Task{};
                p.still = true;
            }
            break;
        case TaskKind::Flee: {
            const PedState* from = ped(p.task.from);
            if (from == nullptr || distance(p.position, from->position) >= p.task.fleeDistance) {
                p.task = Task{};
                p.fleeing = false;
                p.still = true;
            } else {
                moveAway(p, from->position, fleeSpeed * dt);
                p.fleeing = true;
                p.still = false;
            }
            break;
        }
        case TaskKind::UseScenarioPoint: {
            const ScenarioPoint* point = nullptr;
            for (const ScenarioPoint& sp : scenarioPoints) {
                if (sp.handle == p.task.point)
                    point = &sp;
            }
            p.still = point == nullptr || moveTowards(p, point->position, walkSpeed * dt);
            break;
        }
        case TaskKind::ScenarioInPlace:
            p.still = true;
            break;
        case TaskKind::None:
            if (me != nullptr && p.pedGroup == playerGroup &&
                distance(p.position, me->position) > followGap) {
                // Keeps up with the player, stopping a little short.
                const float gap = distance(p.position, me->position) - followGap;
                moveTowards(p, me->position, std::min(followSpeed * dt, gap));
                p.still = false;
            } else {
                p.still = true;
            }
            break;
        }
    }
}

void Game::on(const char* label, Handler handler) {
    const NativeInfo* info = findNativeByLabel(label);
    if (info == nullptr) {
        throw std::logic_error(std::string("stand-in game: no native labelled ") + label);
    }
    handlers_[info->hash] = std::move(handler);
}

void Game::call(const NativeInfo& info, const std::uint64_t* slots, std::uint64_t* result) {
    auto it = handlers_.find(info.hash);
    if (it == handlers_.end()) {
        throw std::runtime_error(std::string("stand-in game cannot answer ") + info.label + " " +
                                 hex64(info.hash));
    }
    it->second(NativeArgs{slots}, result);
}

Game::Game() {
    using A = const NativeArgs&;
    using R = std::uint64_t*;

    // Prompts.
    on("promptRegisterBegin", [this](A, R r) {
        const std::int32_t handle = nextPrompt_++;
        prompts[handle].handle = handle;
        setInt(r, handle);
    });
    auto promptAt = [this](std::int32_t handle) -> PromptState* {
        auto it = prompts.find(handle);
        return it == prompts.end() ? nullptr : &it->second;
    };
    on("promptSetControlAction", [promptAt](A a, R) {
        if (PromptState* p = promptAt(a.i32(0)))
            p->controlAction = a.u32(1);
    });
    on("createVarString", [this](A a, R r) {
        varStrings_.push_back(a.text(2) != nullptr ? a.text(2) : "");
        r[0] = varStringBase + varStrings_.size() - 1;
    });
    on("promptSetText", [this, promptAt](A a, R) {
        const std::string* text = varString(a.slots[1]);
        if (PromptState* p = promptAt(a.i32(0)); p != nullptr && text != nullptr)
            p->text = *text;
    });
    on("promptSetStandardMode", [promptAt](A a, R) {
        if (PromptState* p = promptAt(a.i32(0)))
            p->standardMode = a.u32(1) != 0;
    });
    on("promptRegisterEnd", [promptAt](A a, R) {
        if (PromptState* p = promptAt(a.i32(0)))
            p->registered = true;
    });
    on("promptSetEnabled", [promptAt](A a, R) {
        if (PromptState* p = promptAt(a.i32(0)))
            p->enabled = a.u32(1) != 0;
    });
    on("promptSetVisible", [promptAt](A a, R) {
        if (PromptState* p = promptAt(a.i32(0)))
            p->visible = a.u32(1) != 0;
    });
    on("promptSetPriority", [promptAt](A a, R) {
        if (PromptState* p = promptAt(a.i32(0)))
            p->priority = a.i32(1);
    });
    on("promptGroupForEntity", [](A a, R r) { setInt(r, promptGroupOf(a.i32(0))); });
    on("promptSetGroup", [promptAt](A a, R) {
        if (PromptState* p = promptAt(a.i32(0)))
            p->group = a.i32(1);
    });
    on("promptHasStandardModeCompleted", [promptAt](A a, R r) {
        PromptState* p = promptAt(a.i32(0));
        const bool done = p != nullptr && p->completionPending;
        if (done)
            p->completionPending = false;
        setBool(r, done);
    });

    // Names, scripts, story progress and time.
    on("getHashKey", [this](A a, R r) {
        const char* name = a.text(0);
        auto it = name != nullptr ? hashOverrides.find(name) : hashOverrides.end();
        r[0] = it != hashOverrides.end() ? it->second : joaat(name);
    });
    on("countScriptInstances", [this](A a, R r) {
        auto it = scriptInstances.find(a.u32(0));
        setInt(r, it == scriptInstances.end() ? 0 : it->second);
    });
    on("isMissionCompleted", [this](A a, R r) { setBool(r, missionsCompleted.count(a.u32(0)) != 0); });
    on("scriptThreadIteratorReset", [this](A, R) { threadCursor_ = 0; });
    on("scriptThreadIteratorNext",
       [this](A, R r) { setInt(r, threadCursor_ < threads.size() ? threads[threadCursor_++].id : 0); });
    on("getHashOfThread", [this](A a, R r) {
        for (const ScriptThread& t : threads) {
            if (t.id == a.i32(0)) {
                r[0] = t.scriptHash;
                return;
            }
        }
    });
    on("terminateThread", [this](A a, R) {
        for (std::size_t i = 0; i < threads.size(); ++i) {
            if (threads[i].id == a.i32(0)) {
                threads.erase(threads.begin() + static_cast<std::ptrdiff_t>(i));
                if (threadCursor_ > i)
                    --threadCursor_; // the walk goes on with the next thread
                return;
            }
        }
    });
    on("setScriptAsNoLongerNeeded", [](A, R) {});
    on("getGameTimer", [this](A, R r) { r[0] = gameTimer; });

    // Player, entities, positions and input.
    on("playerPedId", [this](A, R r) { setInt(r, playerPed); });
    on("playerId", [this](A, R r) { setInt(r, playerIndex); });
    on("getMount", [this](A a, R r) {
        const PedState* p = ped(a.i32(0));
        setInt(r, p != nullptr && ped(p->mount) != nullptr ? p->mount : 0);
    });
    on("getEntityModel", [this](A a, R r) {
        const PedState* p = ped(a.i32(0));
        r[0] = p != nullptr ? p->model : 0;
    });
    on("getPlayerTargetEntity", [this](A a, R r) {
        const bool aiming = target != 0 && ped(target) != nullptr;
        if (aiming)
            *a.out32(1) = target;
        setBool(r, aiming);
    });
    on("isPlayerTargettingEntity",
       [this](A a, R r) { setBool(r, target != 0 && target == a.i32(1) && ped(target) != nullptr); });
    on("getEntityCoords", [this](A a, R r) {
        const PedState* p = ped(a.i32(0));
        setVector(r, p != nullptr ? p->position : Vec3{});
    });
    on("isEntityAtCoord", [this](A a, R r) {
        const PedState* p = ped(a.i32(0));
        bool at = p != nullptr;
        if (at) {
            const Vec3& pos = p->position;
            at = std::fabs(pos.x - a.f32(1)) <= a.f32(4) && std::fabs(pos.y - a.f32(2)) <= a.f32(5) &&
                 std::fabs(pos.z - a.f32(3)) <= a.f32(6);
        }
        setBool(r, at);
    });
    on("setEntityCoords", [this](A a, R) {
        if (PedState* p = ped(a.i32(0)))
            p->position = Vec3{a.f32(1), a.f32(2), a.f32(3)};
    });
    on("getDistanceBetweenCoords", [](A a, R r) {
        setFloat(r, distance(Vec3{a.f32(0), a.f32(1), a.f32(2)}, Vec3{a.f32(3), a.f32(4), a.f32(5)}));
    });
    on("isPedMale", [this](A a, R r) {
        const PedState* p = ped(a.i32(0));
        setBool(r, p != nullptr && p->male);
    });
    on("isControlJustReleased", [this](A a, R r) { setBool(r, controlsJustReleased.count(a.u32(1)) != 0); });

    // Peds and horses.
    on("getPedRelationshipGroupHash", [this](A a, R r) {
        const PedState* p = ped(a.i32(0));
        r[0] = p != nullptr ? p->relationshipGroup : 0;
    });
    on("nativeA5C38736", [this](A a, R) {
        if (PedState* p = ped(a.i32(0)))
            p->invincible = a.u32(1) != 0;
    });
    on("native5B9813EC", [](A, R) {});
    on("native67F7CEAC", [](A, R) {});
    on("nativeE2487779", [](A, R) {});
    on("nativeBA881821", [](A, R) {});
    on("removeRelationshipGroup", [](A, R) {});
    on("setPedRelationshipGroupHash", [this](A a, R) {
        if (PedState* p = ped(a.i32(0)))
            p->relationshipGroup = a.u32(1);
    });
    on("setPedRelationshipGroupDefaultHash", [this](A a, R) {
        if (PedState* p = ped(a.i32(0)))
            p->defaultRelationshipGroup = a.u32(1);
    });
    on("nativeA6989999", [this](A a, R) {
        if (PedState* p = ped(a.i32(0)))
            p->bondingLevel = a.i32(1);
    });
    on("native2EB75FB8", [this](A a, R) {
        if (PedState* p = ped(a.i32(0)))
            p->motivationOverride = a.i32(1);
    });
    on("setPedConfigFlag", [this](A a, R) {
        if (PedState* p = ped(a.i32(0)))
            p->configFlags[a.i32(1)] = a.u32(2) != 0;
    });
    on("setAttributePoints", [this](A a, R) {
        if (PedState* p = ped(a.i32(0)))
            p->attributePoints[a.i32(1)] = a.i32(2);
    });
    on("nativeDC19C288", [this](A a, R) {
        if (PedState* p = ped(a.i32(0)))
            p->missionEntity = true;
    });
    on("playPedAmbientSpeech", [this](A a, R) {
        const std::uint64_t* record = slotPointer<const std::uint64_t>(a.slots[1]);
        const char* line = slotText(record[0]);
        spoken.push_back({a.i32(0), line != nullptr ? line : "", u32(record[3])});
    });

    // Tasks, scenarios and ped groups.
    on("clearPedTasks", [this](A a, R) {
        if (PedState* p = ped(a.i32(0))) {
            p->task = Task{};
            p->fleeing = false;
        }
    });
    on("taskSmartFleePed", [this](A a, R) {
        if (PedState* p = ped(a.i32(0))) {
            p->task = Task{};
            p->task.kind = TaskKind::Flee;
            p->task.from = a.i32(1);
            p->task.fleeDistance = a.f32(2);
        }
    });
    on("taskFollowNavMeshToCoord", [this](A a, R) {
        if (PedState* p = ped(a.i32(0))) {
            p->task = Task{};
            p->task.kind = TaskKind::Navigate;
            p->task.target = Vec3{a.f32(1), a.f32(2), a.f32(3)};
        }
    });
    on("taskUseScenarioPoint", [this](A a, R) {
        if (PedState* p = ped(a.i32(0))) {
            p->task = Task{};
            p->task.kind = TaskKind::UseScenarioPoint;
            p->task.point = a.i32(1);
        }
    });
    on("taskStartScenarioInPlaceHash", [this](A a, R) {
        if (PedState* p = ped(a.i32(0))) {
            p->task = Task{};
            p->task.kind = TaskKind::ScenarioInPlace;
            p->task.scenario = a.u32(1);
        }
    });
    on("findScenarioOfTypeHash", [this](A a, R r) {
        const Vec3 centre{a.f32(0), a.f32(1), a.f32(2)};
        const float radius = a.f32(4);
        std::int32_t best = 0;
        float bestDistance = 0;
        for (const ScenarioPoint& point : scenarioPoints) {
            const float d = distance(centre, point.position);
            if (point.type == a.u32(3) && d <= radius && (best == 0 || d < bestDistance)) {
                best = point.handle;
                bestDistance = d;
            }
        }
        setInt(r, best);
    });
    on("isPedUsingAnyScenario", [this](A a, R r) {
        const PedState* p = ped(a.i32(0));
        setBool(r, p != nullptr && (p->task.kind == TaskKind::UseScenarioPoint ||
                                    p->task.kind == TaskKind::ScenarioInPlace));
    });
    on("native0CC36D41", [this](A a, R r) {
        bool active = false;
        for (const ScenarioPoint& point : scenarioPoints) {
            if (point.handle == a.i32(0))
                active = point.active;
        }
        setBool(r, active);
    });
    on("nativeEEE48293", [this](A a, R) {
        for (ScenarioPoint& point : scenarioPoints) {
            if (point.handle == a.i32(0))
                point.active = a.u32(1) != 0;
        }
    });
    on("native9C54041B", [this](A a, R r) {
        const PedState* p = ped(a.i32(0));
        setBool(r, p != nullptr && p->task.kind == TaskKind::UseScenarioPoint && p->task.point == a.i32(1) &&
                       a.i32(1) != 0);
    });
    on("isPedStill", [this](A a, R r) {
        const PedState* p = ped(a.i32(0));
        setBool(r, p != nullptr && p->still);
    });
    on("isPedFleeing", [this](A a, R r) {
        const PedState* p = ped(a.i32(0));
        setBool(r, p != nullptr && p->fleeing);
    });
    on("getPedGroupIndex", [this](A a, R r) {
        const PedState* p = ped(a.i32(0));
        setInt(r, a.i32(0) == playerPed ? playerGroup : (p != nullptr ? p->pedGroup : -1));
    });
    on("setPedAsGroupMember", [this](A a, R) {
        if (PedState* p = ped(a.i32(0)))
            p->pedGroup = a.i32(1);
    });
    on("removePedFromGroup", [this](A a, R) {
        if (PedState* p = ped(a.i32(0)))
            p->pedGroup = -1;
    });

    // Blips.
    on("blipAddForEntity", [this](A a, R r) {
        if (ped(a.i32(1)) == nullptr) {
            setInt(r, 0); // no blip for an entity that does not exist
            return;
        }
        const std::int32_t handle = nextBlip_++;
        blips[handle] = BlipState{handle, a.u32(0), a.i32(1), ""};
        setInt(r, handle);
    });
    on("setBlipName", [this](A a, R) {
        auto it = blips.find(a.i32(0));
        if (it != blips.end())
            it->second.name = a.text(1) != nullptr ? a.text(1) : "";
    });
    on("removeBlip", [this](A a, R) {
        std::int32_t* handle = a.out32(0);
        blips.erase(*handle);
        *handle = 0;
    });

    for (std::size_t i = 0; i < nativeCatalogueSize; ++i) {
        if (handlers_.count(nativeCatalogue[i].hash) == 0) {
            throw std::logic_error(std::string("stand-in game: no answer for ") + nativeCatalogue[i].label);
        }
    }
}

} // namespace standin
