// Answers: peds and horses.
#include <iterator>

#include "standin/answers/answers.h"

namespace standin {

namespace {

using A = const NativeArgs&;
using R = std::uint64_t*;

// Natives whose effect the world does not keep.
void noEffect(World&, A, R) {}

constexpr NativeAnswer answers[] = {
    {"getPedRelationshipGroupHash", pedField<&PedState::relationshipGroup>},
    {"nativeA5C38736", setPed<&PedState::invincible>},
    {"native5B9813EC", noEffect},
    {"native67F7CEAC", noEffect},
    {"nativeE2487779", noEffect},
    {"nativeBA881821", noEffect},
    {"removeRelationshipGroup", noEffect},
    {"setPedRelationshipGroupHash", setPed<&PedState::relationshipGroup>},
    {"setPedRelationshipGroupDefaultHash", setPed<&PedState::defaultRelationshipGroup>},
    {"nativeA6989999", setPed<&PedState::bondingLevel>},
    {"native2EB75FB8", setPed<&PedState::motivationOverride>},
    {"setPedConfigFlag",
     [](World& w, A a, R) {
         if (PedState* p = w.ped(a.i32(0)))
             p->configFlags[a.i32(1)] = a.u32(2) != 0;
     }},
    {"setAttributePoints",
     [](World& w, A a, R) {
         if (PedState* p = w.ped(a.i32(0)))
             p->attributePoints[a.i32(1)] = a.i32(2);
     }},
    {"nativeDC19C288",
     [](World& w, A a, R) {
         if (PedState* p = w.ped(a.i32(0)))
             p->missionEntity = true;
     }},
    {"playPedAmbientSpeech",
     [](World& w, A a, R) {
         const std::uint64_t* record = slotPointer<const std::uint64_t>(a.slots[1]);
         const char* line = slotText(record[0]);
         w.spoken.push_back({a.i32(0), line != nullptr ? line : "", u32(record[3])});
     }},
};

} // namespace

AnswerSection pedAnswers() { return {answers, std::size(answers)}; }

} // namespace standin
