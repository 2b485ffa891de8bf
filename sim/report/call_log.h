// The module's calls, frame by frame, for the report page: every distinct
// call (native, decoded arguments, result) is kept once in a table, each
// frame's calls as a list of table entries, and a frame's list as the edits
// from the list before it, so that thousands of alike camp passes cost little.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "sim/report/json_text.h"
#include "standin/catalogue.h"
#include "standin/game.h"

namespace sim {

class CallLog {
  public:
    explicit CallLog(const standin::Game& game) : game_(game) {}

    void nativeBefore(const standin::NativeInfo& info, const std::uint64_t* slots);
    void native(const standin::NativeInfo& info, const std::uint64_t* slots, const std::uint64_t* result);
    // scriptWait (its milliseconds) and worldGetAllPeds (its capacity).
    void host(const char* name, std::uint32_t value);
    void frameEnd(int frame, std::uint64_t ms);

    // The names the module asked hashes for, by hash.
    const std::map<std::uint32_t, std::string>& hashNames() const { return hashNames_; }

    // {"natives": [[label, slots, result kind, game name], ...],
    //  "calls": [[native, [arguments], result?], ...],
    //  "frames": [[ms, [at, removed, added, call, ..., at, ...], span], ...]}
    // A frames entry holds for every frame from its ms (after the entry
    // before's) to span ms later (0 when left out); a frame without calls
    // (the script waits) has none. -1 in the edits is the next call of the
    // table not used before.
    Json toJson() const;

  private:
    std::uint32_t intern(std::size_t native, Json&& decoded);
    std::size_t nativeIndex(const standin::NativeInfo& info);

    const standin::Game& game_;
    std::vector<const standin::NativeInfo*> natives_;
    std::unordered_map<const standin::NativeInfo*, std::size_t> nativeIndex_;
    std::unordered_map<std::string, std::uint32_t> ids_;
    std::vector<const std::string*> keys_; // by id, the keys in ids_
    std::vector<Json> calls_;
    std::string key_; // reused for every call
    std::array<std::uint32_t, 32> outBefore_{};
    std::vector<std::uint32_t> frame_, last_;
    int lastFrame_ = -2;
    std::uint64_t lastStart_ = 0;
    std::uint32_t unseen_ = 0;
    Json frames_ = Json::array();
    std::map<std::uint32_t, std::string> hashNames_;
};

} // namespace sim
