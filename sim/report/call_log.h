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
        if (same_ && next_ != keptEnd_ && *next_ == quickTag(info)) {
            const std::size_t count = info.slotCount;
            std::size_t k = 0;
            while (k < count && next_[1 + k] == slots[k])
                ++k;
            const bool hasResult = info.result != standin::ResultKind::None;
            if (k == count && (!hasResult || next_[1 + count] == result[0])) {
                next_ += 1 + count + (hasResult ? 1 : 0);
                ++sameCalls_;
                return;
            }
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
    // The kept frame's next call is the one after this: the cursor moves on.
    void passKept() {
        ++sameCalls_;
        next_ = quick_.data() + (sameCalls_ < quickAt_.size() ? quickAt_[sameCalls_] : quick_.size());
    }
    // A plain native of the catalogue is known in the quick form by its place
    // there plus one; any other never matches one.
    static std::uint32_t quickTag(const standin::NativeInfo& info) {
        const std::size_t index = standin::catalogueIndex(info);
        return info.plain && index < standin::nativeCatalogueSize ? static_cast<std::uint32_t>(index + 1)
                                                                  : ~0u;
    }
    void makeQuick();
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
    // The kept frame again, small enough to stay in the processor's nearest
    // cache while the module runs, as a frame is compared with it call by
    // call: a plain call whose slots and result all fit 32 bits is its quick
    // tag, slots and result, 32 bits each; any other call is a 0, compared
    // the long way. Where each call starts; the cursor at the next call and
    // the end.
    std::vector<std::uint32_t> quick_, quickAt_;
    const std::uint32_t *next_ = nullptr, *keptEnd_ = nullptr;
    std::vector<std::uint64_t> scratch_;
    std::vector<std::uint32_t> clocks_, runClocks_;
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
