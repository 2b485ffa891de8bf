// The stand-in game: a small world that answers the module's natives from
// state that tests and scenarios set, and keeps the effects of the calls.
// Its world (standin/world.h), its answers by catalogue section
// (standin/answers/) and its movement (standin/movement.h) are apart.
#pragma once

#include <cstdint>

#include "standin/answers/answers.h"
#include "standin/catalogue.h"
#include "standin/world.h"

namespace standin {

class Game : public World {
  public:
    Game();

    // The stand-in's answer to one native call: info is an entry of the
    // catalogue (as findNative gives them), and every entry has an answer.
    void call(const NativeInfo& info, const std::uint64_t* args, std::uint64_t* result);

    // Simple movement, for a world that plays out: walking to a point,
    // fleeing, following the player, riding. Off unless asked for.
    bool dynamics = false;
    void advance(std::uint32_t dtMs);

  private:
    const Answer* answers_; // by the native's place in the catalogue
};

} // namespace standin
