#include "standin/game.h"

#include <stdexcept>
#include <string>

#include "standin/movement.h"

namespace standin {

Game::Game() {
    for (const AnswerSection& section :
         {promptAnswers(), scriptAnswers(), playerAnswers(), pedAnswers(), taskAnswers(), blipAnswers()}) {
        for (std::size_t i = 0; i < section.count; ++i) {
            const NativeAnswer& answer = section.answers[i];
            const NativeInfo* info = findNativeByLabel(answer.label);
            if (info == nullptr) {
                throw std::logic_error(std::string("stand-in game: no native labelled ") + answer.label);
            }
            answers_[info->hash] = answer.answer;
        }
    }
    for (std::size_t i = 0; i < nativeCatalogueSize; ++i) {
        if (answers_.count(nativeCatalogue[i].hash) == 0) {
            throw std::logic_error(std::string("stand-in game: no answer for ") + nativeCatalogue[i].label);
        }
    }
}

void Game::call(const NativeInfo& info, const std::uint64_t* slots, std::uint64_t* result) {
    auto it = answers_.find(info.hash);
    if (it == answers_.end()) {
        throw std::runtime_error(std::string("stand-in game cannot answer ") + info.label + " " +
                                 hex64(info.hash));
    }
    it->second(*this, NativeArgs{slots}, result);
}

void Game::advance(std::uint32_t dtMs) { moveWorld(*this, dtMs); }

} // namespace standin
