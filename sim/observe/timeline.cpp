#include "sim/observe/timeline.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <iterator>

#include "facts/module_facts.h"
#include "sim/scenario/scenario.h"
#include "standin/format.h"
#include "standin/slots.h"

namespace sim {

using standin::Game;
using standin::NativeInfo;

namespace {

const std::uint32_t whistleInput = standin::joaat("INPUT_WHISTLE");

} // namespace

void Timeline::say(std::uint64_t ms, const std::string& text) {
    if (out_ != nullptr)
        *out_ << standin::clockText(ms) << "  " << text << "\n";
    observers_.line(ms, text);
}

namespace {

// The natives the module asks of every ped in the camp in every pass: counted.
const NativeInfo* const gangHorseAsked = nativeLabelled("native67F7CEAC");
const NativeInfo* const gangMemberAsked = nativeLabelled("nativeA5C38736");

// By the native's place in the catalogue: whether its calls tell something.
const std::vector<bool>& toldByIndex() {
    static const std::vector<bool> told = [] {
        std::vector<bool> byIndex(standin::nativeCatalogueSize + 1, false);
        for (const char* label :
             {"isPlayerTargettingEntity", "terminateThread", "playPedAmbientSpeech",
              "taskFollowNavMeshToCoord", "setEntityCoords", "taskUseScenarioPoint",
              "taskStartScenarioInPlaceHash", "taskSmartFleePed", "clearPedTasks", "isPedStill",
              "getDistanceBetweenCoords", "promptHasStandardModeCompleted", "getMount",
              "isControlJustReleased", "countScriptInstances", "native0CC36D41"})
            byIndex[standin::catalogueIndex(*nativeLabelled(label))] = true;
        return byIndex;
    }();
    return told;
}

} // namespace

bool Timeline::hearsNative(const NativeInfo& info) const {
    return &info == gangHorseAsked || &info == gangMemberAsked ||
           toldByIndex()[standin::catalogueIndex(info)];
}

void Timeline::native(std::uint64_t ms, const NativeInfo& info, const std::uint64_t* slots,
                      const std::uint64_t* result) {
    // The counted ones first, without comparing texts (the reasons keep nothing of them).
    if (&info == gangHorseAsked) {
        passHorses_.push_back(i32(slots[0]));
        return;
    }
    if (&info == gangMemberAsked) {
        ++passMembers_;
        return;
    }
    // The run passes only the natives hearsNative() names: the rest tell something.
    reasons_.native(info, slots, result, lastBorrowed_);
    static const NativeInfo *const walkHome = nativeLabelled("taskFollowNavMeshToCoord"),
                                   *const putAt = nativeLabelled("setEntityCoords"),
                                   *const grazeAtPoint = nativeLabelled("taskUseScenarioPoint"),
                                   *const grazeInPlace = nativeLabelled("taskStartScenarioInPlaceHash"),
                                   *const flee = nativeLabelled("taskSmartFleePed"),
                                   *const clearTasks = nativeLabelled("clearPedTasks"),
                                   *const mountAsked = nativeLabelled("getMount"),
                                   *const scriptsCounted = nativeLabelled("countScriptInstances"),
                                   *const controlReleased = nativeLabelled("isControlJustReleased"),
                                   *const targetting = nativeLabelled("isPlayerTargettingEntity"),
                                   *const threadEnded = nativeLabelled("terminateThread"),
                                   *const said = nativeLabelled("playPedAmbientSpeech");
    const NativeInfo* const call = &info;
    // A task or a teleport for a ped that is not in the world changes nothing.
    const std::pair<const NativeInfo*, const char*> deeds[] = {
        {walkHome, "the walk home"},        {putAt, "the teleport"}, {grazeAtPoint, "the grazing task"},
        {grazeInPlace, "the grazing task"}, {flee, "the flee task"}, {clearTasks, "clearing its tasks"}};
    for (const auto& [deed, words] : deeds) {
        if (call == deed && game_.peds.count(i32(slots[0])) == 0) {
            say(ms, names_.ped(i32(slots[0])) + " is not in the world: " + words + " changes nothing");
            return;
        }
    }
    if (call == mountAsked) {
        if (passMount_ < 0)
            passMount_ = i32(result[0]);
    } else if (call == scriptsCounted) {
        if (passCamp_.empty() && i32(result[0]) > 0) {
            passCamp_ = "a camp script";
            for (const char* script : facts::campScripts)
                passCamp_ = standin::joaat(script) == standin::u32(slots[0]) ? script : passCamp_;
        }
    } else if (call == controlReleased) {
        if (whistleBlown_ && standin::u32(slots[1]) == whistleInput && result[0] != 0)
            whistleAsked(ms);
    } else if (call == targetting) {
        // Asked right after the borrowed horse is found: told at once, not
        // after the waits the rest of the pass may make.
        passHasBorrowed_ = true;
        if (i32(slots[1]) == lastBorrowed_ && names_.ped(lastBorrowed_) != borrowedName_) {
            // The module's handle now names a ped that took it after the one it borrowed left.
            say(ms, names_.ped(lastBorrowed_) + " is the borrowed horse: it took handle " +
                        std::to_string(lastBorrowed_) + ", which the module kept for " + borrowedName_);
            borrowedName_ = names_.ped(lastBorrowed_);
        }
        if (i32(slots[1]) != lastBorrowed_) {
            const std::int32_t previous = lastBorrowed_;
            lastBorrowed_ = i32(slots[1]);
            borrowedName_ = names_.ped(lastBorrowed_);
            say(ms, borrowedName_ + " is the borrowed horse");
            if (previous != 0) {
                // As the end of the last frame saw it: the switch may have removed it since.
                bool hadBlip = false;
                for (const auto& [handle, blip] : blips_)
                    hadBlip = hadBlip || (blip.entity == previous && !leftBlips_.count(handle));
                say(ms, reasons_.letGo(previous, lastBorrowed_, follows(previous), hadBlip));
            }
        }
        if (lastBorrowed_ == reasons_.homeward() && lastBorrowed_ == passMount_) {
            say(ms, names_.ped(lastBorrowed_) + " is no longer on its way home: the player rides it");
            reasons_.returnEnded();
        }
    } else if (call == threadEnded) {
        auto it = names_.threads.find(i32(slots[0]));
        say(ms, (it != names_.threads.end() ? it->second + " thread " : "thread ") +
                    std::to_string(i32(slots[0])) + " terminated");
    } else if (call == said) {
        const char* line = spokenLine(slots[1]);
        say(ms, std::string("the player says \"") + (line ? line : "") + "\"");
        if (line != nullptr && std::string(line).rfind("HORSE_STAY_HERE_", 0) == 0 && lastBorrowed_ != 0 &&
            lastBorrowed_ == reasons_.homeward()) {
            say(ms, names_.ped(lastBorrowed_) + " is no longer on its way home: told to stay");
            reasons_.returnEnded();
        }
    } else if (call == walkHome) {
        say(ms, names_.ped(i32(slots[0])) + " sent home: walks to the camp at " +
                    position(standin::slotFloat(slots[1]), standin::slotFloat(slots[2]),
                             standin::slotFloat(slots[3])));
    } else if (call == putAt) {
        const standin::Vec3 to{standin::slotFloat(slots[1]), standin::slotFloat(slots[2]),
                               standin::slotFloat(slots[3])};
        const standin::PedState* player = game_.ped(game_.playerPed);
        const bool ridden = player != nullptr && player->mount == i32(slots[0]);
        say(ms, names_.ped(i32(slots[0])) + " teleported to the camp at " + position(to.x, to.y, to.z) +
                    (ridden ? " with the player on it" : "") + reasons_.teleport(i32(slots[0]), to));
    } else if (call == grazeAtPoint) {
        say(ms, names_.ped(i32(slots[0])) + " sent to graze at " + reasons_.grazingPoint(i32(slots[1])));
    } else if (call == grazeInPlace) {
        say(ms, names_.ped(i32(slots[0])) + " grazing where it stands: " + reasons_.inPlace(i32(slots[0])));
    } else if (call == flee) {
        say(ms, names_.ped(i32(slots[0])) + " spurred away: flees from " + names_.ped(i32(slots[1])));
    } else if (call == clearTasks) {
        say(ms, names_.ped(i32(slots[0])) + "'s tasks cleared");
    }
}

void Timeline::wait(std::uint64_t ms, std::uint32_t waitMs) {
    // The preparation never waits, and every wait of a pass but the camp's
    // settle wait comes after it: once it has run, a wait means it is
    // complete, and it is told at its time, not when the pass ends.
    if (!passPreparationTold_ && (waitMs == 0 || !passHorses_.empty() || passMembers_ != 0)) {
        tellPreparation(ms);
        passPreparationTold_ = true;
    }
    if (waitMs > 0) {
        say(ms, "the script waits " + std::to_string(waitMs) + " ms");
        pausedUntil_ = ms + waitMs;
        pausedFor_ = waitMs;
        return;
    }
    // A pass ended.
    if (reasons_.passEnd()) {
        say(ms, "the send-home prompt does nothing: no camp is known yet, as no story mission has placed it "
                "(see Camps in the scenario reference)");
    }
    if (!passHasBorrowed_ && lastBorrowed_ != 0) {
        say(ms, names_.ped(lastBorrowed_) + " is forgotten: no borrowed horse");
        lastBorrowed_ = 0;
    }
    passHorses_.clear();
    passMembers_ = 0;
    passHasBorrowed_ = false;
    passMount_ = -1;
    passPreparationTold_ = false;
    passCamp_.clear();
}

void Timeline::event(std::uint64_t /*ms*/, const ScenarioEvent& e) {
    if (e.action == Action::Whistle)
        whistleBlown_ = true;
}

void Timeline::whistleAsked(std::uint64_t ms) {
    whistleBlown_ = false;
    if (!passCamp_.empty())
        say(ms, "the whistle is not heard: in camp (" + passCamp_ + " runs) the whistle does nothing");
    else if (lastBorrowed_ != 0 && lastBorrowed_ == reasons_.homeward())
        say(ms, "the whistle is not heard: " + names_.ped(lastBorrowed_) + " is on its way home");
}

void Timeline::tellPreparation(std::uint64_t ms) {
    if (passHorses_.size() != lastHorses_.size() || passHorses_ != lastHorses_ ||
        passMembers_ != lastMembers_) {
        if (!passHorses_.empty() || passMembers_ != 0) {
            std::string horses;
            for (std::int32_t h : passHorses_)
                horses += (horses.empty() ? "" : ", ") + names_.ped(h);
            say(ms, "camp prepared: " + std::to_string(passHorses_.size()) + " gang horse(s)" +
                        (horses.empty() ? "" : " (" + horses + ")") + ", " + std::to_string(passMembers_) +
                        " gang member(s)");
        } else {
            say(ms, "camp preparation stops");
        }
        lastHorses_ = passHorses_;
        lastMembers_ = passMembers_;
    }
}

bool Timeline::promptsShown(std::int32_t after, std::int32_t upTo, std::int32_t& group,
                            std::string& texts) const {
    static const std::uint32_t* const inputs = [] {
        static std::uint32_t hashes[std::size(facts::commands)];
        for (std::size_t i = 0; i < std::size(facts::commands); ++i)
            hashes[i] = standin::joaat(facts::commands[i].input);
        return hashes;
    }();
    texts.clear();
    for (std::size_t i = 0; i < std::size(facts::commands); ++i) {
        const standin::PromptState* found = nullptr;
        for (auto it = game_.prompts.rbegin(); it != game_.prompts.rend(); ++it) {
            const standin::PromptState& p = it->second;
            if (p.handle <= after || p.handle > upTo || p.controlAction != inputs[i])
                continue;
            if (p.enabled && p.visible) {
                found = &p;
                break;
            }
            found = found != nullptr ? found : &p;
        }
        if (found == nullptr || !found->enabled || !found->visible)
            return false;
        group = found->group;
        texts += (texts.empty() ? "\"" : " | \"") + found->text + "\"";
    }
    return true;
}

std::string Timeline::blipText(const Blip& blip) const {
    return "blip \"" + blip.name + "\" on " + names_.ped(blip.entity);
}

void Timeline::tellPrompts(std::uint64_t ms) {
    std::int32_t group = 0;
    std::string texts;
    const bool shown = promptsShown(leftPrompts_, INT_MAX, group, texts);
    if (shown == promptsShown_ && (!shown || group == promptGroup_))
        return;
    if (shown) {
        const std::int32_t owner = Game::entityOfPromptGroup(group);
        say(ms, "prompts shown" + (owner != 0 ? " on " + names_.ped(owner) : " in no horse's prompt group") +
                    ": " + texts);
    } else {
        std::int32_t leftGroup = 0;
        std::string leftTexts;
        const bool left = leftPrompts_ != 0 && promptsShown(0, leftPrompts_, leftGroup, leftTexts);
        const std::int32_t owner = Game::entityOfPromptGroup(leftGroup);
        say(ms, std::string("prompts hidden") +
                    (left ? " (the unloaded module's stay shown" +
                                (owner != 0 ? " on " + names_.ped(owner) : std::string()) + ")"
                          : ""));
    }
    promptsShown_ = shown;
    promptGroup_ = group;
}

void Timeline::tellFollowing(std::uint64_t ms) {
    for (std::int32_t h : followingNow_) {
        if (!follows(h)) {
            say(ms, names_.ped(h) + " follows the player");
            reasons_.startedFollowing(h);
        }
    }
    for (std::int32_t h : following_) {
        if (!std::binary_search(followingNow_.begin(), followingNow_.end(), h))
            say(ms, names_.ped(h) + " stops following the player: " + reasons_.stoppedFollowing(h));
    }
}

void Timeline::tellWalksEnded(std::uint64_t ms) {
    for (const auto& [h, to] : walking_) {
        const standin::PedState* ped = game_.ped(h);
        const bool stillWalking = std::any_of(walkingNow_.begin(), walkingNow_.end(),
                                              [h = h](const auto& w) { return w.first == h; });
        if (stillWalking || ped == nullptr || ped->task.kind != standin::TaskKind::None)
            continue;
        const standin::Vec3& p = ped->position;
        if (inCampBox(p, to)) {
            say(ms, names_.ped(h) + " arrives at " + position(p.x, p.y, p.z));
        } else {
            char away[64];
            std::snprintf(away, sizeof away, ", %.2f m from it",
                          static_cast<double>(standin::distance(p, to)));
            say(ms, names_.ped(h) + " stops short of the camp at " + position(p.x, p.y, p.z) + away);
        }
    }
}

void Timeline::frameEnd(int /*frame*/, std::uint64_t ms) {
    if (whistleBlown_) {
        // Not asked for in the frame it was released in: it is gone.
        whistleBlown_ = false;
        if (ms < pausedUntil_)
            say(ms, "the whistle is not heard: the script is paused until " +
                        standin::clockText(pausedUntil_) + " (a " + std::to_string(pausedFor_) +
                        " ms wait) and asks for nothing meanwhile; a whistle counts only in the frame it is "
                        "released");
        else if (lastBorrowed_ == 0)
            say(ms, "the whistle is not heard: there is no borrowed horse");
        else
            say(ms, "the whistle is not heard: the module did not ask for it in this frame");
    }
    tellPrompts(ms);
    // Blips: compared in place, and gathered only when they changed.
    const auto& now = game_.blips;
    const bool sameBlips =
        now.size() == blips_.size() &&
        std::equal(now.begin(), now.end(), blips_.begin(), [](const auto& a, const auto& b) {
            return a.first == b.first && a.second.entity == b.second.entity && a.second.name == b.second.name;
        });
    if (!sameBlips) {
        std::map<std::int32_t, Blip> blips;
        for (const auto& [handle, blip] : game_.blips)
            blips[handle] = {blip.entity, blip.name};
        for (const auto& [handle, blip] : blips) {
            if (auto before = blips_.find(handle); before != blips_.end() && before->second == blip)
                continue;
            bool second = false;
            for (std::int32_t left : leftBlips_) {
                auto other = blips.find(left);
                second = second || (other != blips.end() && other->second.entity == blip.entity);
            }
            say(ms,
                blipText(blip) + " added" + (second ? " (a second one: the unloaded module's stays)" : ""));
        }
        for (const auto& [handle, blip] : blips_) {
            if (!blips.count(handle))
                say(ms, blipText(blip) + " removed");
        }
        blips_ = std::move(blips);
    }
    // Who follows the player and who walks somewhere, in one walk of the
    // world's peds; told only where either changed since the last frame.
    followingNow_.clear();
    walkingNow_.clear();
    game_.peds.forEachUnordered([this](std::int32_t handle, const standin::PedState& ped) {
        if (ped.pedGroup == game_.playerGroup && handle != game_.playerPed)
            followingNow_.push_back(handle);
        if (ped.task.kind == standin::TaskKind::Navigate)
            walkingNow_.emplace_back(handle, ped.task.target);
    });
    std::sort(followingNow_.begin(), followingNow_.end());
    std::sort(walkingNow_.begin(), walkingNow_.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    if (followingNow_ != following_) {
        tellFollowing(ms);
        following_.swap(followingNow_);
    }
    if (walkingNow_.size() != walking_.size() ||
        !std::equal(walkingNow_.begin(), walkingNow_.end(), walking_.begin(),
                    [](const auto& a, const auto& b) { return a.first == b.first; })) {
        tellWalksEnded(ms);
    }
    walking_.swap(walkingNow_);
}

void Timeline::moduleUnloaded(std::uint64_t ms) {
    for (const auto& [handle, blip] : game_.blips) {
        leftBlips_.insert(handle);
        say(ms, "the unloaded module's " + blipText({blip.entity, blip.name}) +
                    " stays in the world: the module has no call that removes it");
    }
    std::int32_t group = 0;
    std::string texts;
    if (promptsShown(0, INT_MAX, group, texts)) {
        const std::int32_t owner = Game::entityOfPromptGroup(group);
        say(ms, "the unloaded module's prompts stay shown" +
                    (owner != 0 ? " on " + names_.ped(owner) : " in no horse's prompt group") + ": " + texts +
                    ": the module has no call that removes them");
    }
    for (const auto& [handle, ped] : game_.peds) {
        if (ped.pedGroup == game_.playerGroup && handle != game_.playerPed)
            say(ms, names_.ped(handle) +
                        " stays in the player's group, where the unloaded module put it: it keeps following "
                        "the player");
    }
    if (!game_.prompts.empty())
        leftPrompts_ = game_.prompts.rbegin()->first;
    // The next instance starts with none of its own shown.
    promptsShown_ = false;
    promptGroup_ = 0;
}

} // namespace sim
