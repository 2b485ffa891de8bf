#include "sim/report/track.h"

#include <algorithm>
#include <cmath>

#include "standin/movement.h"

namespace sim {

namespace {

// The stretches a segment may span before a sample is written anyway.
constexpr std::size_t windowLimit = 512;

// Farther than anyone in the stand-in's world moves in dtMs, with room to spare.
double reach(std::uint64_t dtMs) {
    const double fastest = std::max({standin::walkSpeed, standin::fleeSpeed, standin::followSpeed});
    return 1.5 * fastest * static_cast<double>(dtMs) / 1000.0 + 0.1;
}

template <typename P> double distance(const P& a, const P& b) {
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

} // namespace

bool Track::fits(End end) const {
    const Stretch& from = window_[0];
    const Point& a = from.at;
    const Point& b = window_[end.stretch].at;
    const std::uint64_t t0 = from.first, t1 = msOf(end);
    for (std::size_t i = 0; i <= end.stretch; ++i) {
        const Stretch& s = window_[i];
        for (const std::uint64_t t : {s.first, s.last}) {
            if (t <= t0 || t >= t1)
                continue;
            // As the page has it: the same operations in the same order.
            const double f = static_cast<double>(t - t0) / static_cast<double>(t1 - t0);
            const Point shown{a.x + f * (b.x - a.x), a.y + f * (b.y - a.y), a.z + f * (b.z - a.z)};
            if (s.exact ? !(shown == s.at) : distance(shown, s.at) > tolerance)
                return false;
        }
    }
    return true;
}

void Track::consider(End end) {
    if (!fits(end)) {
        // The farthest end that fits becomes a sample; from there the next
        // end always fits, as nothing lies between the two.
        const std::size_t dropped = good_.stretch;
        keep(good_);
        end.stretch -= dropped;
    }
    good_ = end;
}

void Track::keep(End end) {
    Stretch& s = window_[end.stretch];
    if (msOf(end) != window_[0].first)
        write(msOf(end), s.at);
    if (end.last)
        s.first = s.last;
    window_.erase(window_.begin(), window_.begin() + static_cast<std::ptrdiff_t>(end.stretch));
    good_ = End{};
}

void Track::close() {
    if (window_.size() < 2)
        return; // still where the last sample has it
    const std::size_t last = window_.size() - 1;
    if (window_[last].last > window_[last].first)
        consider(End{last, true});
    keep(good_);
}

void Track::write(std::uint64_t ms, const Point& at) {
    ms_.push_back(ms);
    points_.push_back(at);
    gone_.push_back(false);
}

void Track::moved(std::uint64_t ms, const standin::Vec3& at, bool exact) {
    raw_ = at;
    const Point p{shortestFloat(at.x), shortestFloat(at.y), shortestFloat(at.z)};
    if (!present_) {
        present_ = true;
        window_.assign(1, Stretch{ms, ms, p, exact});
        good_ = End{};
        write(ms, p);
    } else if (distance(p, window_.back().at) > reach(ms - lastMs_)) {
        close();
        window_.assign(1, Stretch{ms, ms, p, exact});
        good_ = End{};
        write(ms, p);
        jumps_.push_back(ms);
    } else {
        const std::size_t last = window_.size() - 1;
        if (window_[last].last > window_[last].first)
            consider(End{last, true});
        window_.push_back(Stretch{ms, ms, p, exact});
        consider(End{window_.size() - 1, false});
        if (window_.size() > windowLimit)
            keep(good_);
    }
    lastMs_ = ms;
}

void Track::gone(std::uint64_t ms) {
    if (!present_)
        return;
    close();
    window_.clear();
    ms_.push_back(ms);
    points_.push_back(Point{});
    gone_.push_back(true);
    present_ = false;
}

void Track::finish() {
    if (present_)
        close();
}

Json Track::samples() const {
    Json out = Json::array();
    for (std::size_t i = 0; i < ms_.size(); ++i) {
        out.push_back(ms_[i]);
        for (const double v : {points_[i].x, points_[i].y, points_[i].z})
            out.push_back(gone_[i] ? Json(nullptr) : Json(v));
    }
    return out;
}

} // namespace sim
