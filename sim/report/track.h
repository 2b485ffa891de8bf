// Where one actor (the player or a ped) was over a run, as the report page
// draws it: samples between which the page moves the actor in a straight
// line at an even pace, as few as keep every frame within half a metre of
// where the world had it, and exactly where it was in every frame in which
// something happened (a line of the timeline, a scenario event, a mark on
// the map) and on both sides of a jump. A jump (a teleport: farther in one
// frame than anyone in the stand-in's world moves) is drawn as such.
#pragma once

#include <cstdint>
#include <vector>

#include "sim/report/json_text.h"
#include "standin/world.h"

namespace sim {

class Track {
  public:
    // How far the page may show an actor from where the world had it.
    static constexpr double tolerance = 0.5;

    // The actor's position at the end of the frame at ms; exact: something
    // happened in that frame.
    void frame(std::uint64_t ms, const standin::Vec3& at, bool exact) {
        // Most actors stand where they stood: their stretch only grows.
        if (present_ && !window_.empty() && at.x == raw_.x && at.y == raw_.y && at.z == raw_.z) {
            Stretch& here = window_.back();
            here.last = ms;
            here.exact = here.exact || exact;
            lastMs_ = ms;
            return;
        }
        moved(ms, at, exact);
    }
    // The actor stood where its last frame had it in every frame up to the
    // one at ms: its stretch grows to there at once, so that an actor
    // standing still needs no call in each frame.
    void stillUntil(std::uint64_t ms) {
        if (present_ && window_.back().last < ms) {
            window_.back().last = ms;
            lastMs_ = ms;
        }
    }
    // The actor left the world in the frame at ms.
    void gone(std::uint64_t ms);
    // The run is over: the samples still pending are written.
    void finish();

    // [ms, x, y, z, ...], x, y and z null from where the actor left the world.
    Json samples() const;
    // The ms of each sample reached by a jump.
    const std::vector<std::uint64_t>& jumps() const { return jumps_; }

  private:
    struct Point {
        double x = 0, y = 0, z = 0;
        bool operator==(const Point& o) const { return x == o.x && y == o.y && z == o.z; }
    };
    // Frames first..last (ms) in which the actor stood at one point.
    struct Stretch {
        std::uint64_t first = 0, last = 0;
        Point at;
        bool exact = false;
    };
    // A place a sample could end the segment from the last one: the first
    // or the last frame of a stretch of the window.
    struct End {
        std::size_t stretch = 0;
        bool last = false;
    };

    void moved(std::uint64_t ms, const standin::Vec3& at, bool exact);
    std::uint64_t msOf(End e) const { return e.last ? window_[e.stretch].last : window_[e.stretch].first; }
    bool fits(End end) const;
    void consider(End end);
    void keep(End end);
    void close();
    void write(std::uint64_t ms, const Point& at);

    bool present_ = false;
    standin::Vec3 raw_; // the last position as the world had it
    std::uint64_t lastMs_ = 0;
    // Since the last sample written (its stretch first): what the actor did,
    // and the farthest end that a segment from that sample fits.
    std::vector<Stretch> window_;
    End good_;
    std::vector<std::uint64_t> ms_;
    std::vector<Point> points_;
    std::vector<bool> gone_;
    std::vector<std::uint64_t> jumps_;
};

} // namespace sim
