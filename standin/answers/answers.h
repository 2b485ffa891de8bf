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

// A field of the world set from a slot, by the field's type: a bool from
// any non-zero value, a handle or number, a hash.
inline void assign(bool& field, std::uint64_t slot) { field = u32(slot) != 0; }
inline void assign(std::int32_t& field, std::uint64_t slot) { field = i32(slot); }
inline void assign(std::uint32_t& field, std::uint64_t slot) { field = u32(slot); }

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

// Answers that set a field of the ped or the prompt whose handle is in the
// first slot from the second slot, when the world holds it.
template <auto field> void setPed(World& world, const NativeArgs& args, std::uint64_t*) {
    if (PedState* ped = world.ped(args.i32(0)))
        assign(ped->*field, args.slots[1]);
}
template <auto field> void setPrompt(World& world, const NativeArgs& args, std::uint64_t*) {
    if (PromptState* prompt = world.prompt(args.i32(0)))
        assign(prompt->*field, args.slots[1]);
}
// Answers with a field of the ped whose handle is in the first slot: false
// or 0 when the world does not hold it.
template <auto field> void pedField(World& world, const NativeArgs& args, std::uint64_t* result) {
    const PedState* ped = world.ped(args.i32(0));
    result[0] = ped != nullptr ? ped->*field : 0;
}

// The sections, as the catalogue orders them.
AnswerSection promptAnswers(); // prompts and prompt text
AnswerSection scriptAnswers(); // names, scripts, story progress and time
AnswerSection playerAnswers(); // player, entities, positions and input
AnswerSection pedAnswers();    // peds and horses
AnswerSection taskAnswers();   // tasks, scenarios and ped groups
AnswerSection blipAnswers();   // blips

} // namespace standin
