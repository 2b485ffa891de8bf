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

// A 32-bit slot as a number; a slot with anything in its high half as hex.
Json number32(std::uint64_t slot) {
    return (slot >> 32) == 0 ? Json(standin::u32(slot)) : Json(standin::hex64(slot));
}

Json float32(std::uint64_t slot) {
    return (slot >> 32) == 0 ? Json(shortestFloat(standin::slotFloat(slot))) : Json(standin::hex64(slot));
}

Json textOrNull(const char* text) { return text != nullptr ? Json(text) : Json(nullptr); }

std::uint32_t valueAt(std::uint64_t address) {
    std::uint32_t value = 0;
    if (address != 0)
        std::memcpy(&value, standin::slotPointer<const void>(address), sizeof value);
    return value;
}

template <typename T> void append(std::string& key, const T& value) {
    key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

void appendText(std::string& key, const char* text) {
    if (text == nullptr)
        key += '\x01';
    else
        key.append(text).push_back('\0');
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
// one after the other. Lists of one length differ in a few places (a
// position read anew); lists of two lengths in one stretch (a ped more). A
// call seen for the first time is always the next of the table: it is
// written -1, and unseen counts them.
Json edits(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b, std::uint32_t& unseen) {
    Json found = Json::array();
    auto edit = [&](std::size_t at, std::size_t removed, std::size_t from, std::size_t to) {
        found.push_back(at);
        found.push_back(removed);
        found.push_back(to - from);
        for (std::size_t k = from; k < to; ++k) {
            if (b[k] == unseen) {
                found.push_back(-1);
                ++unseen;
            } else {
                found.push_back(b[k]);
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
        return found;
    }
    std::size_t head = 0, tail = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    edit(head, a.size() - head - tail, head, b.size() - tail);
    return found;
}

} // namespace

std::size_t CallLog::nativeIndex(const NativeInfo& info) {
    auto [it, added] = nativeIndex_.emplace(&info, natives_.size());
    if (added)
        natives_.push_back(&info);
    return it->second;
}

void CallLog::nativeBefore(const NativeInfo& info, const std::uint64_t* slots) {
    for (std::size_t k = 0; info.slots[k] != '\0' && k < outBefore_.size(); ++k) {
        if (info.slots[k] == 'o')
            outBefore_[k] = valueAt(slots[k]);
    }
}

void CallLog::native(const NativeInfo& info, const std::uint64_t* slots, const std::uint64_t* result) {
    // The key: what the call is, without the addresses it passes.
    key_.clear();
    append(key_, &info);
    for (std::size_t k = 0; info.slots[k] != '\0'; ++k) {
        switch (info.slots[k]) {
        case 's':
            appendText(key_, slotText(slots[k]));
            break;
        case 'v': {
            const std::string* text = game_.varString(slots[k]);
            appendText(key_, text ? text->c_str() : nullptr);
            break;
        }
        case 'o':
            append(key_, k < outBefore_.size() ? outBefore_[k] : 0u);
            append(key_, valueAt(slots[k]));
            break;
        case 'r': {
            const std::uint64_t* record = standin::slotPointer<const std::uint64_t>(slots[k]);
            if (record == nullptr) {
                key_ += '\x01';
                break;
            }
            appendText(key_, slotText(record[0]));
            key_.append(reinterpret_cast<const char*>(record + 1), 7 * sizeof(std::uint64_t));
            break;
        }
        default:
            append(key_, slots[k]);
            break;
        }
    }
    key_.append(reinterpret_cast<const char*>(result), 3 * sizeof(std::uint64_t));
    if (std::strcmp(info.label, "getHashKey") == 0 && slotText(slots[0]) != nullptr)
        hashNames_.emplace(static_cast<std::uint32_t>(result[0]), slotText(slots[0]));

    // Most calls are the call at the same place in the frame before.
    const std::size_t at = frame_.size();
    if (at < last_.size() && *keys_[last_[at]] == key_) {
        frame_.push_back(last_[at]);
        return;
    }
    auto found = ids_.find(key_);
    if (found != ids_.end()) {
        frame_.push_back(found->second);
        return;
    }
    Json args = Json::array();
    for (std::size_t k = 0; info.slots[k] != '\0'; ++k) {
        switch (info.slots[k]) {
        case 'f':
            args.push_back(float32(slots[k]));
            break;
        case 's':
            args.push_back(textOrNull(slotText(slots[k])));
            break;
        case 'v': {
            const std::string* text = game_.varString(slots[k]);
            args.push_back(textOrNull(text ? text->c_str() : nullptr));
            break;
        }
        case 'o':
            args.push_back(Json::array({k < outBefore_.size() ? outBefore_[k] : 0u, valueAt(slots[k])}));
            break;
        case 'r': {
            const std::uint64_t* record = standin::slotPointer<const std::uint64_t>(slots[k]);
            Json speech = Json::array({textOrNull(record ? slotText(record[0]) : nullptr)});
            for (int i = 1; record != nullptr && i < 8; ++i)
                speech.push_back(standin::hex64(record[i]));
            args.push_back(speech);
            break;
        }
        default:
            args.push_back(number32(slots[k]));
            break;
        }
    }
    Json call = Json::array({nativeIndex(info), std::move(args)});
    switch (info.result) {
    case ResultKind::None:
        break;
    case ResultKind::Float:
        call.push_back(float32(result[0]));
        break;
    case ResultKind::Pointer:
        call.push_back(standin::hex64(result[0]));
        break;
    case ResultKind::Vector3:
        call.push_back(position3(standin::slotFloat(result[0]), standin::slotFloat(result[1]),
                                 standin::slotFloat(result[2])));
        break;
    default:
        call.push_back(number32(result[0]));
        break;
    }
    frame_.push_back(static_cast<std::uint32_t>(calls_.size()));
    keys_.push_back(&ids_.emplace(key_, static_cast<std::uint32_t>(calls_.size())).first->first);
    calls_.push_back(std::move(call));
}

void CallLog::host(const char* name, std::uint32_t value) {
    const bool wait = std::strcmp(name, "scriptWait") == 0;
    if (!wait && std::strcmp(name, "worldGetAllPeds") != 0)
        return;
    const NativeInfo& info = wait ? scriptWaitCall : worldGetAllPedsCall;
    // The stand-in host writes the peds it has, up to the capacity.
    const std::uint64_t count = std::min<std::uint64_t>(game_.peds.size(), value);
    const std::uint64_t slots[1] = {value};
    const std::uint64_t result[3] = {wait ? 0 : count, 0, 0};
    native(info, slots, result);
}

void CallLog::frameEnd(int frame, std::uint64_t ms) {
    if (frame_.empty())
        return;
    if (frame_ == last_ && lastFrame_ == frame - 1) {
        Json& entry = frames_.back();
        const std::uint64_t span = ms - lastStart_;
        if (entry.size() < 3)
            entry.push_back(span);
        else
            entry[2] = span;
    } else {
        frames_.push_back(Json::array({ms - lastStart_, edits(last_, frame_, unseen_)}));
        lastStart_ = ms;
        last_.swap(frame_);
    }
    lastFrame_ = frame;
    frame_.clear();
}

Json CallLog::toJson() const {
    Json natives = Json::array();
    for (const NativeInfo* info : natives_) {
        const bool host = info == &scriptWaitCall || info == &worldGetAllPedsCall;
        natives.push_back(Json::array({info->label, info->slots, resultKindName(info->result), info->gameName,
                                       host ? Json(nullptr) : Json(standin::hex64(info->hash))}));
    }
    return Json{{"natives", natives}, {"calls", calls_}, {"frames", frames_}};
}

} // namespace sim
