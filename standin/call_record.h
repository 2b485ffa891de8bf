// The host's record of the module's calls: every native call with its slots
// read by kind and its result, and every host call with its values by name.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "standin/catalogue.h"
#include "standin/world.h"

namespace standin {

struct ArgRecord {
    std::uint64_t raw = 0;
    std::string text;                      // s: the text; v: the game text; r: the speech line
    bool isNull = false;                   // s or r: a null address; r: a null voice name
    std::uint32_t pointee = 0;             // o: the 32-bit value there when the call was made
    std::array<std::uint64_t, 8> record{}; // r: the record's eight slots
};

struct Event {
    enum class Kind { Native, Host };
    Kind kind = Kind::Native;
    int frame = 0;
    std::uint32_t time = 0;
    // A native call.
    const NativeInfo* native = nullptr;
    std::vector<ArgRecord> args;
    std::array<std::uint64_t, 3> result{};
    // A host call: its name and arguments by name.
    std::string host;
    std::vector<std::pair<std::string, std::int64_t>> values;

    std::uint64_t slot(std::size_t k) const { return args.at(k).raw; }
    bool is(const char* label) const;
};

// The arguments of a native call as the record keeps them: each slot by the
// kind the catalogue gives it, texts and out-parameters read where they
// point, game texts looked up in the world.
std::vector<ArgRecord> recordedArgs(const NativeInfo& info, const std::uint64_t* slots, const World& world);

} // namespace standin
