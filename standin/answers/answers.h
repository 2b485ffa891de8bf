// The stand-in game's answers to the natives, one section of the catalogue
// per file: each answer a plain function that reads the call's slots, reads
// or changes the world, and writes the result.
#pragma once

#include <cstddef>
#include <cstdint>

#include "standin/slots.h"
#include "standin/world.h"

namespace standin {

// A call's argument slots, read by kind.
struct NativeArgs {
    const std::uint64_t* slots;
    std::int32_t i32(int k) const { return standin::i32(slots[k]); }
    std::uint32_t u32(int k) const { return standin::u32(slots[k]); }
    float f32(int k) const { return slotFloat(slots[k]); }
    const char* text(int k) const { return slotText(slots[k]); }
    std::int32_t* out32(int k) const { return slotPointer<std::int32_t>(slots[k]); }
};

// The result slots, written by kind.
inline void setInt(std::uint64_t* result, std::int32_t value) { result[0] = slotOf(value); }
inline void setBool(std::uint64_t* result, bool value) { result[0] = value ? 1 : 0; }
inline void setFloat(std::uint64_t* result, float value) { result[0] = slotOf(value); }
inline void setVector(std::uint64_t* result, const Vec3& v) {
    result[0] = slotOf(v.x);
    result[1] = slotOf(v.y);
    result[2] = slotOf(v.z);
}

// The answer to one native, for the catalogue entry of that label.
using Answer = void (*)(World& world, const NativeArgs& args, std::uint64_t* result);
struct NativeAnswer {
    const char* label;
    Answer answer;
};
struct AnswerSection {
    const NativeAnswer* answers;
    std::size_t count;
};

// The sections, as the catalogue orders them.
AnswerSection promptAnswers(); // prompts and prompt text
AnswerSection scriptAnswers(); // names, scripts, story progress and time
AnswerSection playerAnswers(); // player, entities, positions and input
AnswerSection pedAnswers();    // peds and horses
AnswerSection taskAnswers();   // tasks, scenarios and ped groups
AnswerSection blipAnswers();   // blips

} // namespace standin
