// What the module has in the game at every moment, for the report page's
// state panel: the blips, the peds in the player's group, the prompts shown,
// the borrowed horse as the module's calls show it, and the script's waits
// with their reasons. Each is kept as a span of game time, from the frame in
// which it appeared to the frame in which it went, so that a long run in
// which little changes costs little. After a developer-mode module reload,
// whatever blips and prompts exist and peds are in the player's group belong
// to the instance that was unloaded: they are kept marked as its leftovers.
// Also the moments marked on the page's time slider: reloads, and the
// module's teleports (a horse put at the camp).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim/observe/names.h"
#include "sim/report/json_text.h"
#include "standin/catalogue.h"
#include "standin/game.h"
#include "standin/slots.h"

namespace sim {

struct ScenarioEvent;

class StateLog {
  public:
    StateLog(const standin::Game& game, const Names& names) : game_(game), names_(names) {}

    void event(std::uint64_t ms, const ScenarioEvent& event);
    // Every call of the module: the script runs, whatever wait it was in is
    // over, and a wait that follows is told by this call.
    void called(const standin::NativeInfo& info, const std::uint64_t* slots) {
        waiting_ = false;
        lastCall_ = &info;
        lastPed_ = info.slotCount != 0 ? standin::i32(slots[0]) : 0;
        lastSaid_ = Said::Nothing;
    }
    // What the calls of the natives in `telling` change, after called().
    void native(std::uint64_t ms, const standin::NativeInfo& info, const std::uint64_t* slots,
                const std::uint64_t* result);
    static constexpr const char* telling[] = {
        "promptGroupForEntity", "isPlayerTargettingEntity", "findScenarioOfTypeHash", "setPedAsGroupMember",
        "removePedFromGroup",   "setEntityCoords",          "playPedAmbientSpeech"};
    void host(std::uint64_t ms, const char* name, std::uint32_t value);
    void frameEnd(std::uint64_t ms);

    // {"items": [[kind, from, to, ...], ...], "moments": [[ms, kind, text], ...]}
    // An item holds from its frame's ms until the frame at `to` (null: to the
    // end of the run). By kind, after from and to:
    //   "borrowed": name
    //   "blip": the name of the ped it marks, the blip's name, leftover
    //   "member": name, leftover
    //   "prompts": the name of the horse whose prompt group holds them (null:
    //              none), [their texts], leftover
    //   "paused": the ms the wait ends, why (settle, far, still, remark, spur,
    //             send_home, graze or other), the reason in words
    // leftover: the ms of the module reload that left it behind, or null.
    // Moments: "module_reload", "game_reload" and "teleport" (by the module), with words.
    Json toJson() const;

  private:
    enum class Kind { Borrowed, Paused, Blip, Member, Prompts };
    // One thing in the game as the end of a frame finds it; equal items in
    // two frames in a row are one span.
    struct Item {
        Kind kind;
        std::int32_t handle;   // the ped, the blip's entity, the prompt group's horse
        std::int64_t number;   // the blip's handle, the prompt group, the end of a wait
        std::int64_t leftover; // the reload that left it, -1 for none
        std::string text;      // the blip's name, the prompts' texts, why a wait
        bool operator<(const Item& o) const;
        bool operator==(const Item& o) const;
    };
    struct Wait {
        std::uint64_t until = 0;
        std::string why;
        std::int32_t horse = 0;
        std::string words;
    };

    std::string nameOf(std::int32_t handle) const;
    Json itemJson(const Item& item, std::uint64_t from) const;
    void reloaded(std::uint64_t ms);
    void moment(std::uint64_t ms, const char* kind, const std::string& text);

    const standin::Game& game_;
    const Names& names_;
    std::vector<Item> shown_, now_;    // at the end of the last frame; being built
    std::map<Item, std::size_t> open_; // the items of shown_ by their place in items_
    Json items_ = Json::array(), moments_ = Json::array();
    // What the module has done, as its calls tell it.
    std::int32_t borrowed_ = 0;
    bool waiting_ = false;
    Wait wait_;
    const standin::NativeInfo* lastCall_ = nullptr;
    enum class Said { Nothing, Spur, SendHome } lastSaid_ = Said::Nothing; // by the last call
    std::int32_t lastPed_ = 0;                                             // the ped of the last call
    std::int32_t grazingPoint_ = 0;
    // The peds in the player's group, as the world last had them: only the
    // group natives and scenario events change who is in it.
    std::vector<std::int32_t> members_;
    bool membersKnown_ = false; // the grazing point the pass found
    // Left behind by an unloaded module instance: blips and prompts by their
    // handles, peds in the player's group; each with the reload's ms.
    std::map<std::int32_t, std::int64_t> leftBlips_, leftPrompts_, leftMembers_;
};

} // namespace sim
