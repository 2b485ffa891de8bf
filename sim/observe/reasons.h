// Why the module did what the timeline tells: why a horse was teleported,
// where it was sent to graze, why it stopped following, what a horse let go
// was doing. Read from the module's calls and the world as they happen.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim/observe/names.h"
#include "standin/game.h"

namespace sim {

class Reasons {
  public:
    Reasons(const Names& names, const standin::Game& game) : names_(names), game_(game) {}

    // Every native call the timeline is told of; borrowed is the borrowed
    // horse as the timeline knows it.
    void native(const standin::NativeInfo& info, const std::uint64_t* slots, const std::uint64_t* result,
                std::int32_t borrowed);
    // At the end of a pass: true when the module took a completed send-home
    // prompt and did nothing with it, which it does while no camp is known.
    bool passEnd();

    // ", as it was 612.40 m from the camp (more than 500 m)" and the like.
    std::string teleport(std::int32_t ped, const standin::Vec3& to) const;
    // "the grazing point at (x, y, z)", or why there is none.
    std::string grazingPoint(std::int32_t point) const;
    // Why the horse grazes where it stands: no grazing point, or the point taken.
    std::string inPlace(std::int32_t ped) const;
    // Why a horse left the player's group: "told to stay", "the player rides it", ...
    std::string stoppedFollowing(std::int32_t ped);
    void startedFollowing(std::int32_t ped) { told_.erase(ped); }
    // The horse on its way home, 0 when none; its return ends when the
    // player rides it or tells it to stay.
    std::int32_t homeward() const { return homeward_; }
    void returnEnded() { homeward_ = 0; }
    // What the previous borrowed horse was doing when another took its
    // place; it is let go.
    std::string letGo(std::int32_t previous, std::int32_t next, bool wasFollowing, bool hadBlip);

  private:
    const Names& names_;
    const standin::Game& game_;
    std::map<std::int32_t, std::string> told_; // ped -> the command that ended its follow
    std::int32_t homeward_ = 0;                // the horse last sent home, until it grazes
    standin::Vec3 home_;                       // where it was sent
    std::int32_t putAtCamp_ = 0;               // the horse last put at the camp
    std::int32_t pointAsked_ = 0;              // the grazing point last asked about, and whether it was taken
    bool pointTaken_ = false;
    std::int32_t stillPed_ = 0; // this pass: the horse found still, and how often in a row
    int stillChecks_ = 0;
    // This pass: the distances measured, from which point, in the order
    // asked; a point is told by its position to the centimetre, so that
    // the last measure from it counts.
    struct Measure {
        standin::Vec3 from;
        float distance = 0;
    };
    std::vector<Measure> distances_;
    bool sendHomeTaken_ = false; // this pass: a completed send-home prompt, not yet said
};

} // namespace sim
