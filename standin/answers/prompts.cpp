// Answers: prompts and prompt text.
#include <iterator>

#include "standin/answers/answers.h"

namespace standin {

namespace {

using A = const NativeArgs&;
using R = std::uint64_t*;

constexpr NativeAnswer answers[] = {
    {"promptRegisterBegin", [](World& w, A, R r) { setInt(r, w.createPrompt().handle); }},
    {"promptSetControlAction", setPrompt<&PromptState::controlAction>},
    {"createVarString", [](World& w, A a, R r) { r[0] = w.createVarString(a.text(2)); }},
    {"promptSetText",
     [](World& w, A a, R) {
         const std::string* text = w.varString(a.slots[1]);
         if (PromptState* p = w.prompt(a.i32(0)); p != nullptr && text != nullptr)
             p->text = *text;
     }},
    {"promptSetStandardMode", setPrompt<&PromptState::standardMode>},
    {"promptRegisterEnd",
     [](World& w, A a, R) {
         if (PromptState* p = w.prompt(a.i32(0)))
             p->registered = true;
     }},
    {"promptSetEnabled", setPrompt<&PromptState::enabled>},
    {"promptSetVisible", setPrompt<&PromptState::visible>},
    {"promptSetPriority", setPrompt<&PromptState::priority>},
    {"promptGroupForEntity", [](World&, A a, R r) { setInt(r, World::promptGroupOf(a.i32(0))); }},
    {"promptSetGroup", setPrompt<&PromptState::group>},
    {"promptHasStandardModeCompleted",
     [](World& w, A a, R r) {
         PromptState* p = w.prompt(a.i32(0));
         const bool done = p != nullptr && p->completionPending;
         if (done)
             p->completionPending = false;
         setBool(r, done);
     }},
};

} // namespace

AnswerSection promptAnswers() { return {answers, std::size(answers)}; }

} // namespace standin
