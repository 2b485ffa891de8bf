// Answers: names, scripts, story progress and time.
#include <iterator>

#include "standin/answers/answers.h"
#include "standin/catalogue.h"

namespace standin {

namespace {

using A = const NativeArgs&;
using R = std::uint64_t*;

constexpr NativeAnswer answers[] = {
    {"getHashKey",
     [](World& w, A a, R r) {
         const char* name = a.text(0);
         auto it = name != nullptr ? w.hashOverrides.find(name) : w.hashOverrides.end();
         r[0] = it != w.hashOverrides.end() ? it->second : joaat(name);
     }},
    {"countScriptInstances",
     [](World& w, A a, R r) {
         auto it = w.scriptInstances.find(a.u32(0));
         setInt(r, it == w.scriptInstances.end() ? 0 : it->second);
     }},
    {"isMissionCompleted", [](World& w, A a, R r) { setBool(r, w.missionsCompleted.count(a.u32(0)) != 0); }},
    {"scriptThreadIteratorReset", [](World& w, A, R) { w.restartThreadWalk(); }},
    {"scriptThreadIteratorNext", [](World& w, A, R r) { setInt(r, w.nextThreadOfWalk()); }},
    {"getHashOfThread",
     [](World& w, A a, R r) {
         for (const ScriptThread& t : w.threads) {
             if (t.id == a.i32(0)) {
                 r[0] = t.scriptHash;
                 return;
             }
         }
     }},
    {"terminateThread", [](World& w, A a, R) { w.terminateThread(a.i32(0)); }},
    {"setScriptAsNoLongerNeeded", [](World&, A, R) {}},
    {"getGameTimer", [](World& w, A, R r) { r[0] = w.gameTimer; }},
};

} // namespace

AnswerSection scriptAnswers() { return {answers, std::size(answers)}; }

} // namespace standin
