// Answers: blips.
#include <iterator>

#include "standin/answers/answers.h"

namespace standin {

namespace {

using A = const NativeArgs&;
using R = std::uint64_t*;

constexpr NativeAnswer answers[] = {
    {"blipAddForEntity", [](World& w, A a, R r) { setInt(r, w.addBlip(a.u32(0), a.i32(1))); }},
    {"setBlipName",
     [](World& w, A a, R) {
         auto it = w.blips.find(a.i32(0));
         if (it != w.blips.end())
             it->second.name = a.text(1) != nullptr ? a.text(1) : "";
     }},
    {"removeBlip",
     [](World& w, A a, R) {
         std::int32_t* handle = a.out32(0);
         w.blips.erase(*handle);
         *handle = 0;
     }},
};

} // namespace

AnswerSection blipAnswers() { return {answers, std::size(answers)}; }

} // namespace standin
