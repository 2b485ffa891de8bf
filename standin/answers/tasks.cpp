// Answers: tasks, scenarios and ped groups.
#include <iterator>

#include "standin/answers/answers.h"

namespace standin {

namespace {

using A = const NativeArgs&;
using R = std::uint64_t*;

// Gives the ped, if it exists, a new task of that kind.
Task* newTask(World& w, std::int32_t handle, TaskKind kind) {
    PedState* p = w.ped(handle);
    if (p == nullptr)
        return nullptr;
    p->task = Task{};
    p->task.kind = kind;
    return &p->task;
}

constexpr NativeAnswer answers[] = {
    {"clearPedTasks",
     [](World& w, A a, R) {
         if (PedState* p = w.ped(a.i32(0))) {
             p->task = Task{};
             p->fleeing = false;
         }
     }},
    {"taskSmartFleePed",
     [](World& w, A a, R) {
         if (Task* t = newTask(w, a.i32(0), TaskKind::Flee)) {
             t->from = a.i32(1);
             t->fleeDistance = a.f32(2);
         }
     }},
    {"taskFollowNavMeshToCoord",
     [](World& w, A a, R) {
         if (Task* t = newTask(w, a.i32(0), TaskKind::Navigate))
             t->target = Vec3{a.f32(1), a.f32(2), a.f32(3)};
     }},
    {"taskUseScenarioPoint",
     [](World& w, A a, R) {
         if (Task* t = newTask(w, a.i32(0), TaskKind::UseScenarioPoint))
             t->point = a.i32(1);
     }},
    {"taskStartScenarioInPlaceHash",
     [](World& w, A a, R) {
         if (Task* t = newTask(w, a.i32(0), TaskKind::ScenarioInPlace))
             t->scenario = a.u32(1);
     }},
    {"findScenarioOfTypeHash",
     [](World& w, A a, R r) {
         const Vec3 centre{a.f32(0), a.f32(1), a.f32(2)};
         const float radius = a.f32(4);
         std::int32_t best = 0;
         float bestDistance = 0;
         for (const ScenarioPoint& point : w.scenarioPoints) {
             const float d = distance(centre, point.position);
             if (point.type == a.u32(3) && d <= radius && (best == 0 || d < bestDistance)) {
                 best = point.handle;
                 bestDistance = d;
             }
         }
         setInt(r, best);
     }},
    {"isPedUsingAnyScenario",
     [](World& w, A a, R r) {
         const PedState* p = w.ped(a.i32(0));
         setBool(r, p != nullptr && (p->task.kind == TaskKind::UseScenarioPoint ||
                                     p->task.kind == TaskKind::ScenarioInPlace));
     }},
    {"native0CC36D41",
     [](World& w, A a, R r) {
         const ScenarioPoint* point = w.scenarioPoint(a.i32(0));
         setBool(r, point != nullptr && point->active);
     }},
    {"nativeEEE48293",
     [](World& w, A a, R) {
         if (ScenarioPoint* point = w.scenarioPoint(a.i32(0)))
             point->active = a.u32(1) != 0;
     }},
    {"native9C54041B",
     [](World& w, A a, R r) {
         const PedState* p = w.ped(a.i32(0));
         setBool(r, p != nullptr && p->task.kind == TaskKind::UseScenarioPoint && p->task.point == a.i32(1) &&
                        a.i32(1) != 0);
     }},
    {"isPedStill", pedField<&PedState::still>},
    {"isPedFleeing", pedField<&PedState::fleeing>},
    {"getPedGroupIndex",
     [](World& w, A a, R r) {
         const PedState* p = w.ped(a.i32(0));
         setInt(r, a.i32(0) == w.playerPed ? w.playerGroup : (p != nullptr ? p->pedGroup : -1));
     }},
    {"setPedAsGroupMember", setPed<&PedState::pedGroup>},
    {"removePedFromGroup",
     [](World& w, A a, R) {
         if (PedState* p = w.ped(a.i32(0)))
             p->pedGroup = -1;
     }},
};

} // namespace

AnswerSection taskAnswers() { return {answers, std::size(answers)}; }

} // namespace standin
