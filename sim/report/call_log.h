// The module's calls, frame by frame, for the report page: every distinct
// call (native, decoded arguments, result) is kept once in a table, each
// frame's calls as a list of table entries, and a frame's list as the edits
// from the list before it, so that thousands of alike camp passes cost little.
//
// A run keeps up with a module that makes a thousand calls a frame for
// hours: each call is compared with the call at its place in the last frame
// kept, as a few raw words, and written out only from the first that
// differs, so that nothing is written, decoded, hashed or allocated for a
// frame like the one before.
// A call that reads the clock (an integer result that moved on by exactly
// the game time since) does not make a frame new: the frames entry says at
// which places of its list the result moves with the clock.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "sim/report/json_text.h"
#include "standin/catalogue.h"
#include "standin/game.h"

namespace sim {

class CallLog {
  public:
    explicit CallLog(const standin::Game& game);
    CallLog(const CallLog&) = delete; // the table's hash and equality point back at it
    CallLog& operator=(const CallLog&) = delete;

    void nativeBefore(const standin::NativeInfo& info, const std::uint64_t* slots);
    // ms: the frame's. Most calls repeat the kept frame's next call with
    // plain slots: they are compared where they are, here, and cost no more.
    void native(std::uint64_t ms, const standin::NativeInfo& info, const std::uint64_t* slots,
                const std::uint64_t* result) {
        if (same_ && samePlainCall(info, slots, result)) {
            ++sameCalls_;
            return;
        }
        logCall(ms, info, slots, result);
    }
    // scriptWait (its milliseconds) and worldGetAllPeds (its capacity).
    void host(std::uint64_t ms, const char* name, std::uint32_t value);
    void frameEnd(int frame, std::uint64_t ms);

    // The names the module asked hashes for, by hash.
    const std::map<std::uint32_t, std::string>& hashNames() const { return hashNames_; }

    // {"natives": [[label, slots, result kind, game name, hash], ...],
    //  "calls": [[native, [arguments], result?], ...],
    //  "frames": [[ms, [at, removed, added, call, ..., at, ...], span, [place, ...]], ...]}
    // A frames entry holds for every frame from its ms (after the entry
    // before's) to span ms later (0 when left out); a frame without calls
    // (the script waits) has none. -1 in the edits is the next call of the
    // table not used before. The places, when given, are those of the list
    // whose integer result is the entry's plus the ms since the entry's frame.
    Json toJson() const;

  private:
    // The table's calls by the words that make them; a call looked up is
    // the table's last, not yet kept.
    struct CallHash {
        const CallLog* log;
        std::size_t operator()(std::uint32_t id) const;
    };
    struct CallEqual {
        const CallLog* log;
        bool operator()(std::uint32_t a, std::uint32_t b) const;
    };
    struct Entry {
        std::uint64_t ms = 0; // since the entry before's
        std::uint32_t editsAt = 0, edits = 0;
        std::uint64_t span = 0;
        std::uint32_t clocksAt = 0, clocks = 0;
    };

    void encode(const standin::NativeInfo& info, const std::uint64_t* slots, const std::uint64_t* result,
                std::vector<std::uint64_t>& words) const;
    std::uint32_t intern(const std::uint64_t* words, std::size_t count);
    std::size_t recordEnd(const std::vector<std::uint64_t>& words, const std::vector<std::uint32_t>& at,
                          std::size_t record) const {
        return record + 1 < at.size() ? at[record + 1] : words.size();
    }
    // The call is the kept frame's next one to the word, and its slots are plain.
    bool samePlainCall(const standin::NativeInfo& info, const std::uint64_t* slots,
                       const std::uint64_t* result) const {
        const std::size_t record = sameCalls_, index = standin::catalogueIndex(info);
        if (record >= keptAt_.size() || index >= plainWords_.size() || plainWords_[index] == 0)
            return false;
        const std::uint64_t* kept = kept_.data() + keptAt_[record];
        const std::size_t length = recordEnd(kept_, keptAt_, record) - keptAt_[record];
        if (length != plainWords_[index] || kept[0] != reinterpret_cast<std::uintptr_t>(&info))
            return false;
        const bool hasResult = info.result != standin::ResultKind::None;
        for (std::size_t k = 0; k < length - 1 - (hasResult ? 1 : 0); ++k) {
            if (kept[1 + k] != slots[k])
                return false;
        }
        return !hasResult || kept[length - 1] == result[0];
    }
    void logCall(std::uint64_t ms, const standin::NativeInfo& info, const std::uint64_t* slots,
                 const std::uint64_t* result);
    bool matchKept(std::uint64_t ms, const standin::NativeInfo& info, const std::uint64_t* slots,
                   const std::uint64_t* result);
    void spell(std::uint64_t ms);
    void addEntry(std::uint64_t ms);
    Json decode(std::uint32_t id) const;

    const standin::Game& game_;
    std::array<std::uint32_t, 32> outBefore_{};
    // This frame's calls and those of the frame the last entry was made
    // for: words one after the other, where each call starts, and (kept
    // frame) the table's id of each.
    std::vector<std::uint64_t> frame_, kept_;
    std::vector<std::uint32_t> frameAt_, keptAt_, keptIds_, ids_;
    // This frame's calls so far (same_ of them) are the kept frame's, but
    // for those that read the clock (clocks_, by place): they are not
    // written out unless a call differs.
    bool same_ = true;
    std::size_t sameCalls_ = 0;
    std::vector<std::uint64_t> scratch_;
    std::vector<std::uint32_t> clocks_, runClocks_;
    // By the catalogue's order: a native's words when all its slots are
    // plain values, 0 for the others.
    std::vector<std::uint8_t> plainWords_;
    int lastFrame_ = -2;
    std::uint64_t lastStart_ = 0;
    // The table: every distinct call's words, where each starts.
    std::vector<std::uint64_t> table_;
    std::vector<std::uint32_t> tableAt_;
    std::unordered_set<std::uint32_t, CallHash, CallEqual> known_;
    std::vector<const standin::NativeInfo*> natives_;
    std::unordered_map<const standin::NativeInfo*, std::size_t> nativeIndex_;
    std::vector<Entry> entries_;
    std::vector<std::int32_t> edits_;
    std::vector<std::uint32_t> entryClocks_;
    std::uint32_t unseen_ = 0;
    std::map<std::uint32_t, std::string> hashNames_;
};

} // namespace sim
