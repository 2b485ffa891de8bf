#include "sim/report/positions.h"

#include "sim/scenario/scenario.h"

namespace sim {

void PositionsAt::begin(const Scenario& s, const standin::Game& game, const Names& /*names*/) {
    game_ = &game;
    fps_ = s.fps;
    duration_ = s.duration;
    actors_.emplace_back("player", s.playerHandle);
    for (const PedSpec& p : s.peds)
        actors_.emplace_back(p.name, p.handle);
    for (const ScenarioEvent& e : s.events) {
        if (e.action == Action::AddPed)
            actors_.emplace_back(e.ped.name, e.ped.handle);
    }
    for (std::uint32_t t : times_)
        found_.push_back(Json{{"t", t}, {"frame", nullptr}});
}

void PositionsAt::frameEnd(int frame, std::uint64_t ms) {
    const std::uint64_t next = static_cast<std::uint64_t>(frame + 1) * 1000u / static_cast<unsigned>(fps_);
    const bool last = next > duration_; // the runner plays no frame after this one
    for (std::size_t i = 0; i < times_.size(); ++i) {
        if (ms > times_[i] || (next <= times_[i] && !last))
            continue;
        Json positions = Json::object();
        for (const auto& [name, handle] : actors_) {
            // The ped of that name, not a later one that took its handle.
            auto it = game_->peds.find(handle);
            if (it != game_->peds.end() && (handle == game_->playerPed || it->second.name == name))
                positions[name] =
                    position3(it->second.position.x, it->second.position.y, it->second.position.z);
        }
        found_[i] = Json{{"t", times_[i]}, {"frame", frame}, {"ms", ms}, {"positions", positions}};
    }
}

} // namespace sim
