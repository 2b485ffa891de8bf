// The timeline: what the module did, one line per meaningful change, in words.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "sim/observe/names.h"
#include "sim/observe/reasons.h"
#include "sim/observe/run_observer.h"
#include "standin/game.h"

namespace sim {

class Timeline final : public RunObserver {
  public:
    // Lines go to out (when given) and to the run's observers.
    Timeline(std::ostream* out, const Names& names, standin::Game& game, RunObserver& observers)
        : out_(out), names_(names), game_(game), observers_(observers), reasons_(names, game) {}

    // One line at game time ms.
    void say(std::uint64_t ms, const std::string& text);
    // A native call the module made, after the game answered it.
    void native(std::uint64_t ms, const standin::NativeInfo& info, const std::uint64_t* slots,
                const std::uint64_t* result) override;
    // A scriptWait (a wait of 0 ends a pass), or another host call:
    // DllMain's registrations, a start of the script main (timeline_host.cpp).
    void host(std::uint64_t ms, const char* name, std::uint32_t value) override;
    // The few natives whose calls the timeline tells or counts.
    bool hearsNative(const standin::NativeInfo& info) const override;
    // Nothing the timeline tells needs a call's slots before it is answered.
    Before hearsBefore() const override { return Before::None; }
    // A scenario event: a whistle is told as heard or not, with why.
    void event(std::uint64_t ms, const ScenarioEvent& e) override;
    // Compares the world with the end of the previous frame.
    void frameEnd(int frame, std::uint64_t ms) override;

    // Developer mode, just after the module was unloaded: what it made stays
    // in the world, as the module has no call that removes it. Every blip and
    // prompt there is and every ped in the player's group is told as left
    // behind, and the next instance's prompts are told apart from these.
    void moduleUnloaded(std::uint64_t ms);
    // A prompt an unloaded module left behind.
    bool leftBehind(std::int32_t prompt) const { return prompt <= leftPrompts_; }

  private:
    struct Blip {
        std::int32_t entity = 0;
        std::string name;
        bool operator==(const Blip& other) const { return entity == other.entity && name == other.name; }
    };
    void wait(std::uint64_t ms, std::uint32_t waitMs);
    void hostCall(std::uint64_t ms, const char* name);
    void tellPreparation(std::uint64_t ms);
    void whistleAsked(std::uint64_t ms);
    void tellPrompts(std::uint64_t ms);
    void tellFollowing(std::uint64_t ms);
    void tellWalksEnded(std::uint64_t ms);
    bool follows(std::int32_t ped) const {
        return std::binary_search(following_.begin(), following_.end(), ped);
    }
    // Whether the four prompts of the handles in (after, upTo] are shown:
    // for each input the newest shown, else the newest. Their prompt group
    // and texts when they are.
    bool promptsShown(std::int32_t after, std::int32_t upTo, std::int32_t& group, std::string& texts) const;
    std::string blipText(const Blip& blip) const;

    std::ostream* out_;
    const Names& names_;
    standin::Game& game_;
    RunObserver& observers_;
    Reasons reasons_;
    std::vector<std::int32_t> passHorses_, lastHorses_;
    int passMembers_ = 0, lastMembers_ = 0;
    std::int32_t lastBorrowed_ = 0;
    std::string borrowedName_; // the ped that held its handle when last told
    bool passHasBorrowed_ = false;
    std::int32_t passMount_ = -1; // the player's mount as the pass measured it first; -1 before
    bool passPreparationTold_ = false;
    bool promptsShown_ = false;
    std::int32_t promptGroup_ = 0;
    std::map<std::int32_t, Blip> blips_;
    // The peds in the player's group, and those walking somewhere (with
    // where to), by handle, as the end of the last frame found them; and the
    // same being gathered at this frame's end.
    std::vector<std::int32_t> following_, followingNow_;
    std::vector<std::pair<std::int32_t, standin::Vec3>> walking_, walkingNow_;
    // Left behind by unloaded modules: the blips, and the prompts up to this handle.
    std::set<std::int32_t> leftBlips_;
    std::int32_t leftPrompts_ = 0;
    // The whistle of this frame, until the module asks for it or the frame ends.
    bool whistleBlown_ = false;
    // The pass so far: a camp script runs (the first found), as the module asked.
    std::string passCamp_;
    std::uint64_t pausedUntil_ = 0; // the script's last wait ends then
    std::uint32_t pausedFor_ = 0;
};

} // namespace sim
