// Where the player and every ped of the scenario stand at given game times,
// as the simulator's own world has them: at the end of the last frame that
// began at or before each time. `gang-horse-sim run --positions-at`.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/observe/run_observer.h"
#include "sim/report/json_text.h"
#include "standin/game.h"

namespace sim {

class PositionsAt : public RunObserver {
  public:
    explicit PositionsAt(std::vector<std::uint32_t> times) : times_(std::move(times)) {}

    void begin(const Scenario& scenario, const standin::Game& game, const Names& names) override;
    void frameEnd(int frame, std::uint64_t ms) override;

    // [{"t": 31000, "frame": 930, "ms": 31000, "positions": {"player": [x, y, z], ...}}, ...]
    // in the order asked; a ped not in the world then is left out.
    const Json& json() const { return found_; }

  private:
    std::vector<std::uint32_t> times_;
    std::vector<std::pair<std::string, std::int32_t>> actors_;
    const standin::Game* game_ = nullptr;
    int fps_ = 30;
    std::uint32_t duration_ = 0;
    Json found_ = Json::array();
};

} // namespace sim
