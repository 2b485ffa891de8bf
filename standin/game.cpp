#include "standin/game.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "standin/movement.h"

namespace standin {

namespace {

// Every native's answer, by its place in the catalogue: made once, from the
// sections' answers by label, for every game.
std::vector<Answer> makeAnswerTable() {
    std::vector<Answer> table(nativeCatalogueSize, nullptr);
    for (const AnswerSection& section :
         {promptAnswers(), scriptAnswers(), playerAnswers(), pedAnswers(), taskAnswers(), blipAnswers()}) {
        for (std::size_t i = 0; i < section.count; ++i) {
            const NativeAnswer& answer = section.answers[i];
            const NativeInfo* info = findNativeByLabel(answer.label);
            if (info == nullptr) {
                throw std::logic_error(std::string("stand-in game: no native labelled ") + answer.label);
            }
            table[catalogueIndex(*info)] = answer.answer;
        }
    }
    for (std::size_t i = 0; i < nativeCatalogueSize; ++i) {
        if (table[i] == nullptr) {
            throw std::logic_error(std::string("stand-in game: no answer for ") + nativeCatalogue[i].label);
        }
    }
    return table;
}

} // namespace

Game::Game() {
    static const std::vector<Answer> table = makeAnswerTable();
    answers_ = table.data();
}

void Game::call(const NativeInfo& info, const std::uint64_t* slots, std::uint64_t* result) {
    answers_[catalogueIndex(info)](*this, NativeArgs{slots}, result);
}

void Game::advance(std::uint32_t dtMs) { moveWorld(*this, dtMs); }

} // namespace standin
