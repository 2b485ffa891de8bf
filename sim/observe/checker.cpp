#include "sim/observe/checker.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "facts/module_facts.h"
#include "sim/observe/names.h"
#include "standin/format.h"

namespace sim {

using standin::Game;
using standin::NativeInfo;

Checker::Checker(const Scenario& scenario, Game& game, const Names& names)
    : scenario_(scenario), game_(game), names_(names), hits_(scenario.expectations.size()) {
    // The one native each expectation of a call can match, so that a call
    // is matched against it only when it is that native.
    for (const Expectation& x : scenario.expectations) {
        static const std::map<ExpectKind, const char*> labels = {{ExpectKind::Said, "playPedAmbientSpeech"},
                                                                 {ExpectKind::Teleported, "setEntityCoords"},
                                                                 {ExpectKind::Configured, "native67F7CEAC"},
                                                                 {ExpectKind::GangMember, "nativeA5C38736"},
                                                                 {ExpectKind::Terminated, "terminateThread"}};
        const NativeInfo* target = nullptr;
        if (x.kind == ExpectKind::Native)
            target = nativeLabelled(x.text.c_str());
        else if (labels.count(x.kind))
            target = nativeLabelled(labels.at(x.kind));
        if (target != nullptr)
            calls_.push_back(natives_.size());
        readsOutValues_ = readsOutValues_ || !x.args.empty();
        natives_.push_back(target);
    }
    for (const PedSpec& p : scenario.peds)
        handles_[p.name] = p.handle;
    for (const ScenarioEvent& e : scenario.events) {
        if (e.action == Action::AddPed)
            handles_[e.ped.name] = e.ped.handle;
    }
}

std::optional<std::int32_t> Checker::handle(const std::string& name) const {
    auto it = handles_.find(name);
    if (it == handles_.end())
        return std::nullopt;
    auto holder = names_.peds.find(it->second);
    if (holder == names_.peds.end() || holder->second != name)
        return std::nullopt;
    return it->second;
}

std::string Checker::threadScript(std::int32_t thread) const {
    auto it = names_.threads.find(thread);
    return it != names_.threads.end() ? it->second : "";
}

void Checker::nativeBefore(const NativeInfo& info, const std::uint64_t* slots) {
    if (!readsOutValues_)
        return;
    for (std::size_t k = 0; info.slots[k] != '\0' && k < outValues_.size(); ++k) {
        outValues_[k] = 0;
        if (info.slots[k] == 'o' && slots[k] != 0)
            std::memcpy(&outValues_[k], standin::slotPointer<const void>(slots[k]), sizeof outValues_[k]);
    }
}

void Checker::native(std::uint64_t ms, const NativeInfo& info, const std::uint64_t* slots,
                     const std::uint64_t* /*result*/) {
    for (std::size_t i : calls_) {
        if (natives_[i] == &info && matchesNative(scenario_.expectations[i], info, slots))
            hits_[i].push_back(ms);
    }
}

void Checker::host(std::uint64_t ms, const char* name, std::uint32_t waitMs) {
    if (std::strcmp(name, "scriptWait") != 0)
        return;
    for (std::size_t i = 0; i < scenario_.expectations.size(); ++i) {
        const Expectation& x = scenario_.expectations[i];
        if (x.kind == ExpectKind::Wait && x.number == waitMs)
            hits_[i].push_back(ms);
    }
}

void Checker::frameEnd(int /*frame*/, std::uint64_t ms) {
    for (std::size_t i = 0; i < scenario_.expectations.size(); ++i) {
        const Expectation& x = scenario_.expectations[i];
        if (x.kind >= ExpectKind::Blip && holds(x))
            hits_[i].push_back(ms);
    }
}

std::vector<std::string> Checker::failures(std::uint64_t endMs) const {
    std::vector<std::string> found;
    const std::vector<Verdict> all = verdicts(endMs);
    for (std::size_t i = 0; i < all.size(); ++i) {
        const Expectation& x = scenario_.expectations[i];
        if (!all[i].held) {
            found.push_back(scenario_.file + ":" + std::to_string(x.where.line) + ": expectation " +
                            x.source + " failed: " + all[i].why);
        }
    }
    return found;
}

std::vector<Verdict> Checker::verdicts(std::uint64_t endMs) const {
    std::vector<Verdict> all;
    for (std::size_t i = 0; i < scenario_.expectations.size(); ++i) {
        const Expectation& x = scenario_.expectations[i];
        const std::uint64_t until = x.by ? std::min<std::uint64_t>(*x.by, endMs) : endMs;
        std::size_t count = 0;
        std::uint64_t first = 0, outside = 0, beyond = 0;
        bool anyOutside = false;
        for (std::uint64_t t : hits_[i]) {
            if (t >= x.after && t <= until) {
                if (count++ == 0)
                    first = t;
                if (x.times && count == static_cast<std::size_t>(*x.times) + 1)
                    beyond = t;
            } else if (!anyOutside) {
                anyOutside = true;
                outside = t;
            }
        }
        // Something that had to happen is decided when it first does; a count
        // or a never when the window closes, or at the hit that breaks it.
        Verdict v{true, x.never || x.times ? until : first, ""};
        if (x.never && count > 0) {
            v = {false, first, "happened at " + standin::clockText(first)};
        } else if (x.times && count != static_cast<std::size_t>(*x.times)) {
            v = {false, count > static_cast<std::size_t>(*x.times) ? beyond : until,
                 "happened " + std::to_string(count) + " time(s), expected " + std::to_string(*x.times)};
        } else if (!x.never && !x.times && count == 0) {
            v = {false, until,
                 anyOutside ? "only outside its window, first at " + standin::clockText(outside)
                            : "never happened"};
        }
        all.push_back(v);
    }
    return all;
}

bool Checker::matchesNative(const Expectation& x, const NativeInfo& info, const std::uint64_t* slots) const {
    const std::string label = info.label;
    switch (x.kind) {
    case ExpectKind::Said: {
        if (label != "playPedAmbientSpeech")
            return false;
        const char* line = spokenLine(slots[1]);
        return line != nullptr && x.text == line;
    }
    case ExpectKind::Teleported:
        return label == "setEntityCoords" && handle(x.text) == i32(slots[0]);
    case ExpectKind::Configured:
        return label == "native67F7CEAC" && handle(x.text) == i32(slots[0]);
    case ExpectKind::GangMember:
        return label == "nativeA5C38736" && handle(x.text) == i32(slots[0]);
    case ExpectKind::Terminated:
        return label == "terminateThread" && threadScript(i32(slots[0])) == x.text;
    case ExpectKind::Native:
        return label == x.text && argsMatch(x, info, slots);
    default:
        return false;
    }
}

bool Checker::argsMatch(const Expectation& x, const NativeInfo& info, const std::uint64_t* slots) const {
    for (std::size_t k = 0; k < x.args.size(); ++k) {
        const ArgMatch& m = x.args[k];
        const char kind = info.slots[k];
        const std::uint64_t slot = slots[k];
        if (m.kind == ArgMatch::Kind::Any)
            continue;
        if (kind == 'f') {
            if (m.kind != ArgMatch::Kind::Number)
                return false;
            const double want = m.number;
            if (std::fabs(standin::slotFloat(slot) - want) > 1e-3 * std::max(1.0, std::fabs(want)))
                return false;
        } else if (kind == 'i' || kind == 'o') {
            std::uint64_t value = slot;
            if (kind == 'o')
                value = outValues_[k];
            std::uint32_t want;
            if (m.kind == ArgMatch::Kind::Number) {
                want = static_cast<std::uint32_t>(static_cast<std::int64_t>(m.number));
            } else if (handles_.count(m.text)) {
                const std::optional<std::int32_t> held = handle(m.text);
                if (!held)
                    return false;
                want = static_cast<std::uint32_t>(*held);
            } else if (m.text == "player") {
                want = static_cast<std::uint32_t>(game_.playerPed);
            } else {
                want = standin::joaat(m.text.c_str());
            }
            if (value != want)
                return false;
        } else {
            if (m.kind != ArgMatch::Kind::Text)
                return false;
            const char* text = nullptr;
            if (kind == 's') {
                text = slotText(slot);
            } else if (kind == 'r') {
                text = spokenLine(slot);
            } else if (kind == 'v') {
                const std::string* s = game_.varString(slot);
                text = s ? s->c_str() : nullptr;
            }
            if (text == nullptr || m.text != text)
                return false;
        }
    }
    return true;
}

bool Checker::holds(const Expectation& x) const {
    const std::optional<std::int32_t> held = handle(x.text);
    if (!held)
        return false;
    const std::int32_t h = *held;
    auto it = game_.peds.find(h);
    const standin::PedState* p = it == game_.peds.end() ? nullptr : &it->second;
    switch (x.kind) {
    case ExpectKind::Blip:
        for (const auto& [handle, blip] : game_.blips) {
            if (blip.entity == h && blip.name == "Gang Horse")
                return true;
        }
        return false;
    case ExpectKind::Grazing:
        return p != nullptr && (p->task.kind == standin::TaskKind::UseScenarioPoint ||
                                p->task.kind == standin::TaskKind::ScenarioInPlace);
    case ExpectKind::Following:
        return p != nullptr && p->pedGroup == game_.playerGroup;
    case ExpectKind::PromptsShown:
        for (const facts::Command& command : facts::commands) {
            const standin::PromptState* prompt = game_.promptFor(command.input);
            if (prompt == nullptr || !prompt->enabled || !prompt->visible ||
                prompt->group != Game::promptGroupOf(h)) {
                return false;
            }
        }
        return true;
    case ExpectKind::Near:
        return p != nullptr && standin::distance(p->position, x.position) <= x.within;
    default:
        return false;
    }
}

} // namespace sim
