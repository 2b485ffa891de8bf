#include "sim/report/state_log.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <tuple>

#include "sim/scenario/scenario.h"
#include "standin/slots.h"

namespace sim {

using standin::NativeInfo;

bool StateLog::Item::operator<(const Item& o) const {
    return std::tie(kind, handle, number, leftover, text) <
           std::tie(o.kind, o.handle, o.number, o.leftover, o.text);
}
bool StateLog::Item::operator==(const Item& o) const {
    return kind == o.kind && handle == o.handle && number == o.number && leftover == o.leftover &&
           text == o.text;
}

std::string StateLog::nameOf(std::int32_t handle) const {
    // The world's name first: it is the name of the ped holding the handle now.
    if (const standin::PedState* ped = game_.ped(handle); ped != nullptr && !ped->name.empty())
        return ped->name;
    return names_.ped(handle);
}

void StateLog::moment(std::uint64_t ms, const char* kind, const std::string& text) {
    moments_.push_back(Json::array({ms, kind, text}));
}

void StateLog::reloaded(std::uint64_t ms) {
    // Nothing of the unloaded instance's runs on: what it made stays in the
    // game, marked with this reload (an earlier reload's mark is kept).
    const auto at = static_cast<std::int64_t>(ms);
    for (const auto& [handle, blip] : game_.blips)
        leftBlips_.emplace(handle, at);
    for (const auto& [handle, prompt] : game_.prompts)
        leftPrompts_.emplace(handle, at);
    for (const auto& [handle, ped] : game_.peds) {
        if (ped.pedGroup == game_.playerGroup && handle != game_.playerPed)
            leftMembers_.emplace(handle, at);
    }
    moment(ms, "module_reload",
           "developer mode: the module is unloaded and loaded again; the unloaded instance leaves " +
               std::to_string(game_.blips.size()) + " blip(s), " + std::to_string(game_.prompts.size()) +
               " prompt(s) and " + std::to_string(leftMembers_.size()) + " ped(s) in the player's group");
    borrowed_ = 0;
    waiting_ = false;
}

void StateLog::event(std::uint64_t ms, const ScenarioEvent& e) {
    membersKnown_ = false; // peds come and go, reloads
    switch (e.action) {
    case Action::ModuleReload:
        reloaded(ms);
        break;
    case Action::GameReload:
        moment(ms, "game_reload", "the game session reloads: the script is dropped and starts again");
        break;
    default:
        break;
    }
}

void StateLog::native(std::uint64_t ms, const NativeInfo& info, const std::uint64_t* slots,
                      const std::uint64_t* result) {
    static const NativeInfo* const promptGroupFor = nativeLabelled("promptGroupForEntity");
    static const NativeInfo* const targetting = nativeLabelled("isPlayerTargettingEntity");
    static const NativeInfo* const grazingPoint = nativeLabelled("findScenarioOfTypeHash");
    static const NativeInfo* const joinGroup = nativeLabelled("setPedAsGroupMember");
    static const NativeInfo* const leaveGroup = nativeLabelled("removePedFromGroup");
    static const NativeInfo* const putAt = nativeLabelled("setEntityCoords");
    static const NativeInfo* const said = nativeLabelled("playPedAmbientSpeech");
    // The borrowed horse: measured at the top of every pass (0 for none) and
    // asked about once it is found.
    if (&info == promptGroupFor) {
        borrowed_ = i32(slots[0]);
    } else if (&info == targetting) {
        borrowed_ = i32(slots[1]);
    } else if (&info == grazingPoint) {
        grazingPoint_ = i32(result[0]);
    } else if (&info == joinGroup) {
        leftMembers_.erase(i32(slots[0])); // this instance has taken it into the group
        membersKnown_ = false;
    } else if (&info == leaveGroup) {
        membersKnown_ = false;
    } else if (&info == putAt) {
        moment(ms, "teleport",
               "the module puts " + nameOf(i32(slots[0])) + " at " +
                   position(standin::slotFloat(slots[1]), standin::slotFloat(slots[2]),
                            standin::slotFloat(slots[3])));
    } else if (&info == said) {
        const char* line = spokenLine(slots[1]);
        if (line != nullptr && std::strcmp(line, "SPURS_HORSE") == 0)
            lastSaid_ = Said::Spur;
        else if (line != nullptr && std::strncmp(line, "HORSE_RUN_AWAY_", 15) == 0)
            lastSaid_ = Said::SendHome;
    }
}

void StateLog::host(std::uint64_t ms, const char* name, std::uint32_t value) {
    const bool started = std::strcmp(name, "scriptMain") == 0;
    if (started || std::strcmp(name, "scriptUnregister") == 0) {
        // A script started afresh knows no horse; a dropped one waits no more.
        if (started)
            borrowed_ = 0;
        waiting_ = false;
        lastCall_ = nullptr;
        return;
    }
    if (std::strcmp(name, "scriptWait") != 0)
        return;
    waiting_ = value > 0;
    if (!waiting_)
        return;
    // Why the script waits, from the call it made just before.
    static const NativeInfo* const campScript = nativeLabelled("countScriptInstances");
    static const NativeInfo* const still = nativeLabelled("isPedStill");
    static const NativeInfo* const remark = nativeLabelled("nativeDC19C288");
    const std::string horse = nameOf(borrowed_);
    wait_ = {ms + value, "other", borrowed_, "a wait of " + std::to_string(value) + " ms"};
    if (value == 10000 && lastCall_ == campScript) {
        wait_ = {ms + value, "settle", 0,
                 "the camp's settle wait: the first camp script seen running since the script started"};
    } else if (value == 10000 && lastCall_ == still) {
        wait_ = {ms + value, "still", lastPed_,
                 nameOf(lastPed_) + " stands still on its way home: if it still does when the wait ends, "
                                    "it is put at the camp"};
    } else if (value == 10000 && borrowed_ != 0) {
        wait_ = {ms + value, "far", borrowed_,
                 horse + " is more than 500 m from the camp on its way home: it is put at the camp when the "
                         "wait ends"};
    } else if (value == 1000 && lastCall_ == remark) {
        wait_ = {ms + value, "remark", lastPed_,
                 "an owner's remark: the player mounted " + nameOf(lastPed_) +
                     " in camp, and says his line when the wait ends"};
    } else if (value == 1000 && lastSaid_ == Said::Spur) {
        wait_ = {ms + value, "spur", borrowed_, "the spur line: " + horse + " flees when the wait ends"};
    } else if (value == 1000 && lastSaid_ == Said::SendHome) {
        wait_ = {ms + value, "send_home", borrowed_,
                 "the send-home line: " + horse + " sets off home when the wait ends"};
    } else if (value == 5000 && borrowed_ != 0) {
        wait_ = {ms + value, "graze", borrowed_,
                 horse + " grazes where it stands when the wait ends: " +
                     (grazingPoint_ == 0 ? "no grazing point lies within 200 m of the camp"
                                         : "its grazing point is taken")};
    }
}

Json StateLog::itemJson(const Item& item, std::uint64_t from) const {
    const Json leftover = item.leftover >= 0 ? Json(item.leftover) : Json(nullptr);
    switch (item.kind) {
    case Kind::Borrowed:
        return Json::array({"borrowed", from, nullptr, nameOf(item.handle)});
    case Kind::Paused:
        return Json::array({"paused", from, nullptr, item.number, item.text, wait_.words});
    case Kind::Blip:
        return Json::array({"blip", from, nullptr, nameOf(item.handle), item.text, leftover});
    case Kind::Member:
        return Json::array({"member", from, nullptr, nameOf(item.handle), leftover});
    case Kind::Prompts: {
        Json texts = Json::array();
        std::size_t at = 0;
        for (std::size_t end; (end = item.text.find('\0', at)) != std::string::npos; at = end + 1)
            texts.push_back(item.text.substr(at, end - at));
        texts.push_back(item.text.substr(at));
        return Json::array({"prompts", from, nullptr,
                            item.handle != 0 ? Json(nameOf(item.handle)) : Json(nullptr), texts, leftover});
    }
    }
    return Json();
}

void StateLog::frameEnd(std::uint64_t ms) {
    auto leftover = [](const std::map<std::int32_t, std::int64_t>& left, std::int32_t handle) {
        auto it = left.find(handle);
        return it != left.end() ? it->second : std::int64_t{-1};
    };
    now_.clear();
    if (borrowed_ != 0)
        now_.push_back({Kind::Borrowed, borrowed_, 0, -1, {}});
    if (waiting_)
        now_.push_back({Kind::Paused, wait_.horse, static_cast<std::int64_t>(wait_.until), -1, wait_.why});
    for (const auto& [handle, blip] : game_.blips)
        now_.push_back({Kind::Blip, blip.entity, handle, leftover(leftBlips_, handle), blip.name});
    if (!membersKnown_) {
        members_.clear();
        for (const auto& [handle, ped] : game_.peds) {
            if (ped.pedGroup == game_.playerGroup && handle != game_.playerPed)
                members_.push_back(handle);
        }
        membersKnown_ = true;
    }
    for (std::int32_t handle : members_)
        now_.push_back({Kind::Member, handle, 0, leftover(leftMembers_, handle), {}});
    // A ped out of the group is no one's leftover any more.
    for (auto it = leftMembers_.begin(); it != leftMembers_.end();) {
        const standin::PedState* ped = game_.ped(it->first);
        it = ped != nullptr && ped->pedGroup == game_.playerGroup ? std::next(it) : leftMembers_.erase(it);
    }
    // The prompts shown, by the prompt group holding them and the instance that made them.
    const std::size_t prompts = now_.size();
    for (const auto& [handle, prompt] : game_.prompts) {
        if (!prompt.visible)
            continue;
        const std::int32_t on = standin::Game::entityOfPromptGroup(prompt.group);
        const std::int64_t left = leftover(leftPrompts_, handle);
        Item* same = nullptr;
        for (std::size_t i = prompts; i < now_.size(); ++i) {
            if (now_[i].number == prompt.group && now_[i].leftover == left)
                same = &now_[i];
        }
        if (same == nullptr)
            now_.push_back({Kind::Prompts, on, prompt.group, left, prompt.text});
        else
            same->text.append(1, '\0').append(prompt.text);
    }
    std::sort(now_.begin(), now_.end());
    if (now_ == shown_)
        return;
    // What went ends at this frame; what came begins at it.
    for (const Item& item : shown_) {
        if (!std::binary_search(now_.begin(), now_.end(), item)) {
            auto it = open_.find(item);
            items_[it->second][2] = ms;
            open_.erase(it);
        }
    }
    for (const Item& item : now_) {
        if (!std::binary_search(shown_.begin(), shown_.end(), item)) {
            open_[item] = items_.size();
            items_.push_back(itemJson(item, ms));
        }
    }
    shown_.swap(now_);
}

Json StateLog::toJson() const { return Json{{"items", items_}, {"moments", moments_}}; }

} // namespace sim
