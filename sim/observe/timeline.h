// The timeline: what the module did, one line per meaningful change, in words.
#pragma once

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
    // Compares the world with the end of the previous frame.
    void frameEnd(int frame, std::uint64_t ms) override;

  private:
    struct Blip {
        std::int32_t entity = 0;
        std::string name;
        bool operator==(const Blip& other) const { return entity == other.entity && name == other.name; }
    };
    void wait(std::uint64_t ms, std::uint32_t waitMs);
    void hostCall(std::uint64_t ms, const char* name);
    void tellPreparation(std::uint64_t ms);
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
    std::set<std::int32_t> following_, walking_;
};

} // namespace sim
