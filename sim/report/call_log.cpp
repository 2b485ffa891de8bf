#include "sim/report/call_log.h"

#include <algorithm>
#include <cstring>

#include "sim/observe/names.h"

namespace sim {

namespace {

using standin::NativeInfo;
using standin::ResultKind;

// The host calls the module makes, shown among its natives.
const NativeInfo scriptWaitCall{"scriptWait", 0, "i", ResultKind::None, ""};
const NativeInfo worldGetAllPedsCall{"worldGetAllPeds", 0, "i", ResultKind::Int, ""};

// In a call's words, a text is its length and its bytes, eight to a word;
// these stand for no text and for no speech record.
constexpr std::uint64_t noText = ~0ull;
constexpr std::uint64_t noRecord = ~1ull;

// A 32-bit slot as a number; a slot with anything in its high half as hex.
Json number32(std::uint64_t slot) {
    return (slot >> 32) == 0 ? Json(standin::u32(slot)) : Json(standin::hex64(slot));
}

Json float32(std::uint64_t slot) {
    return (slot >> 32) == 0 ? Json(shortestFloat(standin::slotFloat(slot))) : Json(standin::hex64(slot));
}

std::uint32_t valueAt(std::uint64_t address) {
    std::uint32_t value = 0;
    if (address != 0)
        std::memcpy(&value, standin::slotPointer<const void>(address), sizeof value);
    return value;
}

// The text at w (moved past it), or null.
Json readText(const std::uint64_t*& w) {
    const std::uint64_t length = *w++;
    if (length == noText)
        return nullptr;
    std::string text(reinterpret_cast<const char*>(w), length);
    w += (length + 7) / 8;
    return text;
}

const char* resultKindName(ResultKind kind) {
    switch (kind) {
    case ResultKind::Int:
        return "i";
    case ResultKind::Bool:
        return "b";
    case ResultKind::Float:
        return "f";
    case ResultKind::Pointer:
        return "p";
    case ResultKind::Vector3:
        return "v";
    default:
        return "";
    }
}

// The edits that turn list a into list b: [at, removed, added, entries...]
// one after the other, appended to found. Lists of one length differ in a
// few places (a position read anew); lists of two lengths in one stretch (a
// ped more). A call seen for the first time is always the next of the
// table: it is written -1, and unseen counts them.
void edits(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, std::uint32_t& unseen,
           std::vector<std::int32_t>& found) {
    auto edit = [&](std::size_t at, std::size_t removed, std::size_t from, std::size_t to) {
        found.push_back(static_cast<std::int32_t>(at));
        found.push_back(static_cast<std::int32_t>(removed));
        found.push_back(static_cast<std::int32_t>(to - from));
        for (std::size_t k = from; k < to; ++k) {
            if (b[k] == unseen) {
                found.push_back(-1);
                ++unseen;
            } else {
                found.push_back(static_cast<std::int32_t>(b[k]));
            }
        }
    };
    if (a.size() == b.size()) {
        for (std::size_t i = 0; i < b.size();) {
            if (a[i] == b[i]) {
                ++i;
                continue;
            }
            std::size_t j = i;
            while (j < b.size() && a[j] != b[j])
                ++j;
            edit(i, j - i, i, j);
            i = j;
        }
        return;
    }
    std::size_t head = 0, tail = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    edit(head, a.size() - head - tail, head, b.size() - tail);
}

} // namespace

CallLog::CallLog(const standin::Game& game) : game_(game), known_(1024, CallHash{this}, CallEqual{this}) {}

std::size_t CallLog::CallHash::operator()(std::uint32_t id) const {
    const std::size_t from = log->tableAt_[id], to = log->recordEnd(log->table_, log->tableAt_, id);
    std::uint64_t h = 0xcbf29ce484222325ull;
    for (std::size_t i = from; i < to; ++i)
        h = (h ^ log->table_[i]) * 0x100000001b3ull;
    return static_cast<std::size_t>(h ^ (h >> 29));
}

bool CallLog::CallEqual::operator()(std::uint32_t a, std::uint32_t b) const {
    const auto& t = log->table_;
    const std::size_t fromA = log->tableAt_[a], toA = log->recordEnd(t, log->tableAt_, a);
    const std::size_t fromB = log->tableAt_[b], toB = log->recordEnd(t, log->tableAt_, b);
    return toA - fromA == toB - fromB && std::equal(t.begin() + fromA, t.begin() + toA, t.begin() + fromB);
}

void CallLog::nativeBefore(const NativeInfo& info, const std::uint64_t* slots) {
    if (info.plain)
        return; // no out-parameter
    for (std::size_t k = 0; info.slots[k] != '\0' && k < outBefore_.size(); ++k) {
        if (info.slots[k] == 'o')
            outBefore_[k] = valueAt(slots[k]);
    }
}

namespace {

void pushText(std::vector<std::uint64_t>& words, const char* text) {
    if (text == nullptr) {
        words.push_back(noText);
        return;
    }
    const std::size_t length = std::strlen(text);
    words.push_back(length);
    const std::size_t at = words.size();
    words.resize(at + (length + 7) / 8, 0);
    std::memcpy(words.data() + at, text, length);
}

} // namespace

void CallLog::encode(const NativeInfo& info, const std::uint64_t* slots, const std::uint64_t* result,
                     std::vector<std::uint64_t>& words) const {
    // What the call is, without the addresses it passes.
    words.push_back(reinterpret_cast<std::uintptr_t>(&info));
    for (std::size_t k = 0; info.slots[k] != '\0'; ++k) {
        switch (info.slots[k]) {
        case 's':
            pushText(words, slotText(slots[k]));
            break;
        case 'v': {
            const std::string* text = game_.varString(slots[k]);
            pushText(words, text ? text->c_str() : nullptr);
            break;
        }
        case 'o':
            words.push_back(static_cast<std::uint64_t>(k < outBefore_.size() ? outBefore_[k] : 0u) << 32 |
                            valueAt(slots[k]));
            break;
        case 'r': {
            const std::uint64_t* record = standin::slotPointer<const std::uint64_t>(slots[k]);
            if (record == nullptr) {
                words.push_back(noRecord);
                break;
            }
            pushText(words, slotText(record[0]));
            words.insert(words.end(), record + 1, record + 8);
            break;
        }
        default:
            words.push_back(slots[k]);
            break;
        }
    }
    if (info.result == ResultKind::Vector3)
        words.insert(words.end(), result, result + 3);
    else if (info.result != ResultKind::None)
        words.push_back(result[0]);
}

bool CallLog::matchKept(std::uint64_t ms, const NativeInfo& info, const std::uint64_t* slots,
                        const std::uint64_t* result) {
    const std::size_t record = sameCalls_;
    if (record >= keptAt_.size())
        return false;
    const std::uint64_t* kept = kept_.data() + keptAt_[record];
    const std::size_t length = recordEnd(kept_, keptAt_, record) - keptAt_[record];
    const std::uint64_t* words = nullptr;
    if (info.plain) {
        // Most calls: compared where they are, nothing written.
        const bool hasResult = info.result != ResultKind::None;
        const std::size_t slotCount = info.slotCount;
        if (length != 1 + slotCount + (hasResult ? 1 : 0) ||
            kept[0] != reinterpret_cast<std::uintptr_t>(&info))
            return false;
        for (std::size_t k = 0; k < slotCount; ++k) {
            if (kept[1 + k] != slots[k])
                return false;
        }
        if (!hasResult || kept[length - 1] == result[0]) {
            passKept();
            return true;
        }
        words = nullptr;
    } else {
        scratch_.clear();
        encode(info, slots, result, scratch_);
        if (scratch_.size() != length)
            return false;
        const std::size_t differs = static_cast<std::size_t>(
            std::mismatch(scratch_.begin(), scratch_.end(), kept).first - scratch_.begin());
        if (differs == length) {
            passKept();
            return true;
        }
        if (differs + 1 != length)
            return false;
        words = scratch_.data();
    }
    // Only the result differs: a read of the clock?
    const std::uint64_t now = words != nullptr ? words[length - 1] : result[0], then = kept[length - 1];
    if (info.result != ResultKind::Int || (now >> 32) != 0 || (then >> 32) != 0 || ms <= lastStart_ ||
        static_cast<std::uint32_t>(now - then) != static_cast<std::uint32_t>(ms - lastStart_))
        return false;
    clocks_.push_back(static_cast<std::uint32_t>(record));
    passKept();
    return true;
}

void CallLog::spell(std::uint64_t ms) {
    // The calls so far are the kept frame's, with the clock moved on.
    const std::size_t end = sameCalls_ < keptAt_.size() ? keptAt_[sameCalls_] : kept_.size();
    frame_.assign(kept_.begin(), kept_.begin() + static_cast<std::ptrdiff_t>(end));
    frameAt_.assign(keptAt_.begin(), keptAt_.begin() + static_cast<std::ptrdiff_t>(sameCalls_));
    for (const std::uint32_t record : clocks_) {
        std::uint64_t& value = frame_[recordEnd(frame_, frameAt_, record) - 1];
        value = static_cast<std::uint32_t>(value + (ms - lastStart_));
    }
    same_ = false;
}

void CallLog::logCall(std::uint64_t ms, const NativeInfo& info, const std::uint64_t* slots,
                      const std::uint64_t* result) {
    if (same_) {
        if (matchKept(ms, info, slots, result))
            return;
        spell(ms);
    }
    frameAt_.push_back(static_cast<std::uint32_t>(frame_.size()));
    encode(info, slots, result, frame_);
}

void CallLog::host(std::uint64_t ms, const char* name, std::uint32_t value) {
    const bool wait = std::strcmp(name, "scriptWait") == 0;
    if (!wait && std::strcmp(name, "worldGetAllPeds") != 0)
        return;
    const NativeInfo& info = wait ? scriptWaitCall : worldGetAllPedsCall;
    // The stand-in host writes the peds it has, up to the capacity.
    const std::uint64_t count = std::min<std::uint64_t>(game_.peds.size(), value);
    const std::uint64_t slots[1] = {value};
    const std::uint64_t result[3] = {wait ? 0 : count, 0, 0};
    native(ms, info, slots, result);
}

std::uint32_t CallLog::intern(const std::uint64_t* words, std::size_t count) {
    const auto id = static_cast<std::uint32_t>(tableAt_.size());
    tableAt_.push_back(static_cast<std::uint32_t>(table_.size()));
    table_.insert(table_.end(), words, words + count);
    auto [found, added] = known_.insert(id);
    if (!added) {
        table_.resize(tableAt_.back());
        tableAt_.pop_back();
        return *found;
    }
    const auto* info = reinterpret_cast<const NativeInfo*>(words[0]);
    nativeIndex_.emplace(info, nativeIndex_.size());
    if (nativeIndex_.size() > natives_.size())
        natives_.push_back(info);
    static const NativeInfo* const getHashKey = nativeLabelled("getHashKey");
    if (info == getHashKey) {
        const std::uint64_t* w = words + 1;
        const Json text = readText(w);
        if (text.is_string())
            hashNames_.emplace(static_cast<std::uint32_t>(*w), text.get<std::string>());
    }
    return id;
}

void CallLog::addEntry(std::uint64_t ms) {
    ids_.clear();
    for (std::size_t r = 0; r < frameAt_.size(); ++r) {
        const std::size_t from = frameAt_[r], to = recordEnd(frame_, frameAt_, r);
        if (r < keptAt_.size()) {
            const std::size_t keptFrom = keptAt_[r], keptTo = recordEnd(kept_, keptAt_, r);
            if (to - from == keptTo - keptFrom &&
                std::equal(frame_.begin() + from, frame_.begin() + to, kept_.begin() + keptFrom)) {
                ids_.push_back(keptIds_[r]);
                continue;
            }
        }
        ids_.push_back(intern(frame_.data() + from, to - from));
    }
    Entry entry;
    entry.ms = ms - lastStart_;
    entry.editsAt = static_cast<std::uint32_t>(edits_.size());
    edits(keptIds_, ids_, unseen_, edits_);
    entry.edits = static_cast<std::uint32_t>(edits_.size() - entry.editsAt);
    entries_.push_back(entry);
    lastStart_ = ms;
    kept_.swap(frame_);
    keptAt_.swap(frameAt_);
    keptIds_.swap(ids_);
    makeQuick();
}

void CallLog::frameEnd(int frame, std::uint64_t ms) {
    if (same_ && sameCalls_ == 0)
        return; // no calls: the script waits
    if (same_ && sameCalls_ == keptAt_.size() && lastFrame_ == frame - 1 &&
        (entries_.back().span == 0 || clocks_ == runClocks_)) {
        Entry& entry = entries_.back();
        if (entry.span == 0) {
            runClocks_ = clocks_;
            entry.clocksAt = static_cast<std::uint32_t>(entryClocks_.size());
            entry.clocks = static_cast<std::uint32_t>(clocks_.size());
            entryClocks_.insert(entryClocks_.end(), clocks_.begin(), clocks_.end());
        }
        entry.span = ms - lastStart_;
    } else {
        if (same_)
            spell(ms);
        addEntry(ms);
    }
    lastFrame_ = frame;
    frame_.clear();
    frameAt_.clear();
    clocks_.clear();
    same_ = true;
    sameCalls_ = 0;
    next_ = quick_.data();
    keptEnd_ = next_ + quick_.size();
}

void CallLog::makeQuick() {
    quick_.clear();
    quickAt_.clear();
    for (std::size_t r = 0; r < keptAt_.size(); ++r) {
        quickAt_.push_back(static_cast<std::uint32_t>(quick_.size()));
        const std::size_t from = keptAt_[r], to = recordEnd(kept_, keptAt_, r);
        const auto& info = *reinterpret_cast<const NativeInfo*>(kept_[from]);
        const std::uint32_t tag = quickTag(info);
        const bool fits = std::all_of(kept_.begin() + static_cast<std::ptrdiff_t>(from) + 1,
                                      kept_.begin() + static_cast<std::ptrdiff_t>(to),
                                      [](std::uint64_t word) { return (word >> 32) == 0; });
        if (tag == ~0u || !fits) {
            quick_.push_back(0);
            continue;
        }
        quick_.push_back(tag);
        for (std::size_t w = from + 1; w < to; ++w)
            quick_.push_back(static_cast<std::uint32_t>(kept_[w]));
    }
}

Json CallLog::decode(std::uint32_t id) const {
    const std::uint64_t* w = &table_[tableAt_[id]];
    const NativeInfo& info = *reinterpret_cast<const NativeInfo*>(*w++);
    Json args = Json::array();
    for (std::size_t k = 0; info.slots[k] != '\0'; ++k) {
        switch (info.slots[k]) {
        case 'f':
            args.push_back(float32(*w++));
            break;
        case 's':
        case 'v':
            args.push_back(readText(w));
            break;
        case 'o':
            args.push_back(
                Json::array({static_cast<std::uint32_t>(*w >> 32), static_cast<std::uint32_t>(*w)}));
            ++w;
            break;
        case 'r': {
            if (*w == noRecord) {
                ++w;
                args.push_back(Json::array({nullptr}));
                break;
            }
            Json speech = Json::array({readText(w)});
            for (int i = 1; i < 8; ++i)
                speech.push_back(standin::hex64(*w++));
            args.push_back(speech);
            break;
        }
        default:
            args.push_back(number32(*w++));
            break;
        }
    }
    Json call = Json::array({nativeIndex_.at(&info), std::move(args)});
    switch (info.result) {
    case ResultKind::None:
        break;
    case ResultKind::Float:
        call.push_back(float32(*w));
        break;
    case ResultKind::Pointer:
        call.push_back(standin::hex64(*w));
        break;
    case ResultKind::Vector3:
        call.push_back(
            position3(standin::slotFloat(w[0]), standin::slotFloat(w[1]), standin::slotFloat(w[2])));
        break;
    default:
        call.push_back(number32(*w));
        break;
    }
    return call;
}

Json CallLog::toJson() const {
    Json natives = Json::array();
    for (const NativeInfo* info : natives_) {
        const bool host = info == &scriptWaitCall || info == &worldGetAllPedsCall;
        natives.push_back(Json::array({info->label, info->slots, resultKindName(info->result), info->gameName,
                                       host ? Json(nullptr) : Json(standin::hex64(info->hash))}));
    }
    Json calls = Json::array();
    for (std::uint32_t id = 0; id < tableAt_.size(); ++id)
        calls.push_back(decode(id));
    Json frames = Json::array();
    for (const Entry& e : entries_) {
        Json entry =
            Json::array({e.ms, Json(std::vector<std::int32_t>(edits_.begin() + e.editsAt,
                                                              edits_.begin() + e.editsAt + e.edits))});
        if (e.span != 0 || e.clocks != 0)
            entry.push_back(e.span);
        if (e.clocks != 0)
            entry.push_back(std::vector<std::uint32_t>(entryClocks_.begin() + e.clocksAt,
                                                       entryClocks_.begin() + e.clocksAt + e.clocks));
        frames.push_back(std::move(entry));
    }
    return Json{{"natives", natives}, {"calls", calls}, {"frames", frames}};
}

} // namespace sim
