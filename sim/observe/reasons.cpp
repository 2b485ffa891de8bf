#include "sim/observe/reasons.h"

#include <algorithm>

#include <cstdio>

#include "sim/observe/names.h"
#include "standin/catalogue.h"
#include "standin/slots.h"

namespace sim {

namespace {

bool startsWith(const char* text, const char* prefix) {
    return text != nullptr && std::string(text).rfind(prefix, 0) == 0;
}

} // namespace

void Reasons::native(const standin::NativeInfo& info, const std::uint64_t* slots, const std::uint64_t* result,
                     std::int32_t borrowed) {
    // The natives told apart by their catalogue entries, found once.
    static const standin::NativeInfo *const pedStill = nativeLabelled("isPedStill"),
                                            *const distance = nativeLabelled("getDistanceBetweenCoords"),
                                            *const said = nativeLabelled("playPedAmbientSpeech"),
                                            *const completed =
                                                nativeLabelled("promptHasStandardModeCompleted"),
                                            *const walkHome = nativeLabelled("taskFollowNavMeshToCoord"),
                                            *const putAt = nativeLabelled("setEntityCoords"),
                                            *const pointTaken = nativeLabelled("native0CC36D41"),
                                            *const grazeAtPoint = nativeLabelled("taskUseScenarioPoint"),
                                            *const grazeInPlace =
                                                nativeLabelled("taskStartScenarioInPlaceHash");
    static const std::uint32_t sendHomeControl = standin::joaat("INPUT_SWITCH_SHOULDER");
    const standin::NativeInfo* const call = &info;
    if (call == pedStill) {
        const bool still = result[0] != 0;
        stillChecks_ = still ? (stillPed_ == i32(slots[0]) ? stillChecks_ + 1 : 1) : 0;
        stillPed_ = i32(slots[0]);
    } else if (call == distance) {
        // Kept as measured, and put in words only when a teleport asks.
        distances_.push_back(
            {{standin::slotFloat(slots[0]), standin::slotFloat(slots[1]), standin::slotFloat(slots[2])},
             standin::slotFloat(result[0])});
    } else if (call == said) {
        const char* line = spokenLine(slots[1]);
        if (startsWith(line, "HORSE_STAY_HERE_"))
            told_[borrowed] = "told to stay";
        if (startsWith(line, "HORSE_RUN_AWAY_")) {
            told_[borrowed] = "sent home";
            sendHomeTaken_ = false;
        }
    } else if (call == completed) {
        auto prompt = game_.prompts.find(i32(slots[0]));
        if (result[0] != 0 && prompt != game_.prompts.end() &&
            prompt->second.controlAction == sendHomeControl)
            sendHomeTaken_ = true;
    } else if (call == walkHome) {
        homeward_ = i32(slots[0]);
        home_ = {standin::slotFloat(slots[1]), standin::slotFloat(slots[2]), standin::slotFloat(slots[3])};
        putAtCamp_ = 0;
    } else if (call == putAt) {
        putAtCamp_ = i32(slots[0]);
    } else if (call == pointTaken) {
        pointAsked_ = i32(slots[0]);
        pointTaken_ = result[0] != 0;
    } else if (call == grazeAtPoint || call == grazeInPlace) {
        if (homeward_ == i32(slots[0]))
            homeward_ = 0;
    }
}

bool Reasons::passEnd() {
    stillPed_ = 0;
    stillChecks_ = 0;
    distances_.clear();
    const bool ignored = sendHomeTaken_;
    sendHomeTaken_ = false;
    return ignored;
}

std::string Reasons::teleport(std::int32_t ped, const standin::Vec3& to) const {
    if (stillPed_ == ped && stillChecks_ >= 2)
        return ", as it stood still at two checks 10 s apart";
    const std::string at = position(to.x, to.y, to.z);
    auto it = std::find_if(distances_.rbegin(), distances_.rend(),
                           [&at](const Measure& m) { return position(m.from.x, m.from.y, m.from.z) == at; });
    if (it == distances_.rend())
        return ", as it was more than 500 m from the camp";
    char text[128];
    std::snprintf(text, sizeof text, ", as it was %.2f m from the camp (more than 500 m)",
                  static_cast<double>(it->distance));
    return text;
}

std::string Reasons::grazingPoint(std::int32_t point) const {
    for (const standin::ScenarioPoint& p : game_.scenarioPoints) {
        if (p.handle == point)
            return "the grazing point at " + position(p.position.x, p.position.y, p.position.z);
    }
    return "grazing point " + std::to_string(point) +
           ", which is none: no grazing point lies within 200 m of "
           "the camp";
}

std::string Reasons::inPlace(std::int32_t ped) const {
    if (pointAsked_ == 0)
        return "no grazing point lies within 200 m of the camp";
    const std::string point = grazingPoint(pointAsked_);
    if (!pointTaken_)
        return "it does not use " + point + ", where it was sent";
    for (const auto& [handle, other] : game_.peds) {
        if (handle != ped && other.task.kind == standin::TaskKind::UseScenarioPoint &&
            other.task.point == pointAsked_)
            return point + " is taken by " + names_.ped(handle);
    }
    return point + " is taken: an earlier horse was sent there, and nothing frees it";
}

std::string Reasons::stoppedFollowing(std::int32_t ped) {
    auto found = game_.peds.find(ped);
    if (found == game_.peds.end())
        return "it left the world";
    auto it = told_.find(ped);
    if (it != told_.end()) {
        const std::string why = it->second;
        told_.erase(it);
        return why;
    }
    const standin::PedState* player = nullptr;
    if (auto p = game_.peds.find(game_.playerPed); p != game_.peds.end())
        player = &p->second;
    if (player != nullptr && player->mount == ped)
        return "the player rides it";
    if (found->second.fleeing)
        return "it flees";
    if (player != nullptr && standin::distance(player->position, found->second.position) <= 3.0f)
        return "close enough, within 3 m of the player (it follows again once farther)";
    return "the module took it out of the player's group";
}

std::string Reasons::letGo(std::int32_t previous, std::int32_t next, bool wasFollowing, bool hadBlip) {
    std::string doing;
    auto add = [&doing](const std::string& what) { doing += (doing.empty() ? "" : " and ") + what; };
    auto found = game_.peds.find(previous);
    if (found == game_.peds.end()) {
        add("had left the world");
    } else {
        const bool inCamp = inCampBox(found->second.position, home_);
        if (homeward_ == previous && putAtCamp_ == previous)
            add("had been put at the camp, not yet grazing (it stays there; nothing sends it to graze any "
                "more)");
        else if (homeward_ == previous && inCamp)
            add("had reached the camp, not yet grazing (it stays there; nothing sends it to graze any more)");
        else if (homeward_ == previous)
            add("was on its way home (it walks on; nothing watches its return any more)");
        if (wasFollowing)
            add("was following the player");
        if (found->second.fleeing)
            add("was fleeing");
        if (hadBlip)
            add("carried the \"Gang Horse\" blip");
        if (doing.empty())
            add("was standing by");
    }
    if (wasFollowing)
        told_[previous] = "let go for " + names_.ped(next);
    if (homeward_ == previous)
        homeward_ = 0;
    return names_.ped(previous) + " is let go: it " + doing;
}

} // namespace sim
