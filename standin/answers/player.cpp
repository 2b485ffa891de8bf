// Answers: the player, entities, positions and input.
#include <cmath>
#include <iterator>

#include "standin/answers/answers.h"

namespace standin {

namespace {

using A = const NativeArgs&;
using R = std::uint64_t*;

constexpr NativeAnswer answers[] = {
    {"playerPedId", [](World& w, A, R r) { setInt(r, w.playerPed); }},
    {"playerId", [](World& w, A, R r) { setInt(r, w.playerIndex); }},
    {"getMount",
     [](World& w, A a, R r) {
         const PedState* p = w.ped(a.i32(0));
         setInt(r, p != nullptr && w.ped(p->mount) != nullptr ? p->mount : 0);
     }},
    {"getEntityModel", pedField<&PedState::model>},
    {"getPlayerTargetEntity",
     [](World& w, A a, R r) {
         const bool aiming = w.target != 0 && w.ped(w.target) != nullptr;
         if (aiming)
             *a.out32(1) = w.target;
         setBool(r, aiming);
     }},
    {"isPlayerTargettingEntity",
     [](World& w, A a, R r) {
         setBool(r, w.target != 0 && w.target == a.i32(1) && w.ped(w.target) != nullptr);
     }},
    {"getEntityCoords",
     [](World& w, A a, R r) {
         const PedState* p = w.ped(a.i32(0));
         setVector(r, p != nullptr ? p->position : Vec3{});
     }},
    {"isEntityAtCoord",
     [](World& w, A a, R r) {
         const PedState* p = w.ped(a.i32(0));
         bool at = p != nullptr;
         if (at) {
             const Vec3& pos = p->position;
             at = std::fabs(pos.x - a.f32(1)) <= a.f32(4) && std::fabs(pos.y - a.f32(2)) <= a.f32(5) &&
                  std::fabs(pos.z - a.f32(3)) <= a.f32(6);
         }
         setBool(r, at);
     }},
    {"setEntityCoords",
     [](World& w, A a, R) {
         w.placePed(a.i32(0), Vec3{a.f32(1), a.f32(2), a.f32(3)});
     }},
    {"getDistanceBetweenCoords",
     [](World&, A a, R r) {
         setFloat(r, distance(Vec3{a.f32(0), a.f32(1), a.f32(2)}, Vec3{a.f32(3), a.f32(4), a.f32(5)}));
     }},
    {"isPedMale", pedField<&PedState::male>},
    {"isControlJustReleased",
     [](World& w, A a, R r) { setBool(r, w.controlsJustReleased.count(a.u32(1)) != 0); }},
};

} // namespace

AnswerSection playerAnswers() { return {answers, std::size(answers)}; }

} // namespace standin
