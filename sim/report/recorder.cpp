#include "sim/report/recorder.h"

#include <algorithm>
#include <cstring>

#include "sim/observe/names.h"

namespace sim {

using standin::NativeInfo;

void ReportRecorder::addActor(const std::string& name, std::int32_t handle, const std::string& model) {
    Actor actor;
    actor.name = name;
    actor.handle = handle;
    actor.model = model;
    actors_.push_back(std::move(actor));
}

void ReportRecorder::takeHandle(std::size_t actor, std::uint64_t ms) {
    Actor& a = actors_[actor];
    if (auto before = actorOf_.find(a.handle); before != actorOf_.end())
        actors_[before->second].holdsHandle = false;
    actorOf_[a.handle] = actor;
    a.holdsHandle = true;
    pedsSeen_ = 0; // each actor's ped is looked up again
    pedNames_.push_back(Json::array({a.handle, actor == 0 ? "the player" : a.name, ms}));
}

void ReportRecorder::begin(const Scenario& s, const standin::Game& game, const Names& names) {
    scenario_ = &s;
    game_ = &game;
    calls_.emplace(game);
    state_.emplace(game, names);
    told_ = &toldByIndex();
    addActor("player", s.playerHandle, "");
    for (const PedSpec& p : s.peds)
        addActor(p.name, p.handle, p.model);
    for (std::size_t i = 0; i < actors_.size(); ++i)
        takeHandle(i, 0);
    for (const ScenarioEvent& e : s.events) {
        if (e.action == Action::AddPed)
            addActor(e.ped.name, e.ped.handle, e.ped.model);
    }
    for (std::size_t i = 0; i < actors_.size(); ++i)
        inHandleOrder_.push_back(i);
    std::stable_sort(inHandleOrder_.begin(), inHandleOrder_.end(),
                     [this](std::size_t a, std::size_t b) { return actors_[a].handle < actors_[b].handle; });
}

void ReportRecorder::line(std::uint64_t ms, const std::string& text) {
    exactFrame_ = true;
    lines_.push_back(Json::array({ms, text}));
}

void ReportRecorder::mark(std::uint64_t ms, const char* kind, std::int32_t handle, const std::string& text) {
    auto it = actorOf_.find(handle);
    const standin::PedState* ped = nullptr;
    if (auto p = game_->peds.find(handle); p != game_->peds.end())
        ped = &p->second;
    // A ped gone from the world is marked where it was last seen.
    const Actor* actor = it != actorOf_.end() ? &actors_[it->second] : nullptr;
    if (ped == nullptr && (actor == nullptr || !actor->seen))
        return;
    exactFrame_ = true;
    const standin::Vec3 at = ped != nullptr ? ped->position : actor->at;
    marks_.push_back(Json::array({ms, kind, actor != nullptr ? static_cast<long long>(it->second) : -1LL,
                                  shortestFloat(at.x), shortestFloat(at.y), shortestFloat(at.z), text}));
}

void ReportRecorder::event(std::uint64_t ms, const ScenarioEvent& e) {
    exactFrame_ = true;
    state_->event(ms, e);
    const std::int32_t player = game_->playerPed;
    switch (e.action) {
    case Action::AddPed:
        for (std::size_t i = 0; i < actors_.size(); ++i) {
            if (actors_[i].name == e.ped.name)
                takeHandle(i, ms);
        }
        break;
    case Action::Mount:
        mark(ms, e.text.empty() ? "dismount" : "mount", player, e.text);
        break;
    case Action::Prompt:
        mark(ms, "prompt", player, e.text);
        break;
    case Action::Whistle:
        mark(ms, "whistle", player, "");
        break;
    default:
        break;
    }
}

void ReportRecorder::nativeBefore(const NativeInfo& info, const std::uint64_t* slots) {
    calls_->nativeBefore(info, slots);
}

namespace {

// The marks a call makes on the map; most make none.
enum MarkKind : std::uint8_t { none, said, camp, sentHome, putDown, grazing, spurred };

} // namespace

const std::vector<ReportRecorder::Told>& ReportRecorder::toldByIndex() {
    static const std::vector<Told> told = [] {
        std::vector<Told> byIndex(standin::nativeCatalogueSize + 1);
        const std::pair<const char*, MarkKind> labelled[] = {
            {"playPedAmbientSpeech", said},         {"findScenarioOfTypeHash", camp},
            {"taskFollowNavMeshToCoord", sentHome}, {"setEntityCoords", putDown},
            {"taskUseScenarioPoint", grazing},      {"taskStartScenarioInPlaceHash", grazing},
            {"taskSmartFleePed", spurred}};
        for (const auto& [label, kind] : labelled)
            byIndex[standin::catalogueIndex(*nativeLabelled(label))].mark = kind;
        for (const char* label : StateLog::telling)
            byIndex[standin::catalogueIndex(*nativeLabelled(label))].state = true;
        return byIndex;
    }();
    return told;
}

void ReportRecorder::native(std::uint64_t ms, const NativeInfo& info, const std::uint64_t* slots,
                            const std::uint64_t* result) {
    // Every call is logged and counted; the few that mark the map or change
    // the state shown are told apart by the table, the rest cost no more.
    calls_->native(ms, info, slots, result);
    state_->called(info, slots);
    ++passCalls_;
    if ((*told_)[standin::catalogueIndex(info)].anything())
        tell(ms, info, slots, result);
}

void ReportRecorder::tell(std::uint64_t ms, const NativeInfo& info, const std::uint64_t* slots,
                          const std::uint64_t* result) {
    const Told& what = (*told_)[standin::catalogueIndex(info)];
    if (what.state)
        state_->native(ms, info, slots, result);
    static const char* const markNames[] = {"", "said", "", "sent_home", "put_down", "grazing", "spurred"};
    const auto kind = static_cast<MarkKind>(what.mark);
    if (kind == none)
        return;
    const std::int32_t handle = i32(slots[0]);
    if (kind == said) {
        const char* text = spokenLine(slots[1]);
        mark(ms, "said", handle, text ? text : "");
    } else if (kind == camp) {
        // The camp position the module uses, as it asks for the grazing point
        // around it: the same words as the last camp's are the same camp.
        if (!camp_.empty() && std::memcmp(lastCamp_, slots, sizeof lastCamp_) == 0)
            return;
        std::memcpy(lastCamp_, slots, sizeof lastCamp_);
        const Json at = position3(standin::slotFloat(slots[0]), standin::slotFloat(slots[1]),
                                  standin::slotFloat(slots[2]));
        if (camp_.empty() || camp_.back()[1] != at[0] || camp_.back()[2] != at[1] || camp_.back()[3] != at[2])
            camp_.push_back(Json::array({ms, at[0], at[1], at[2]}));
    } else {
        mark(ms, markNames[kind], handle, "");
    }
}

void ReportRecorder::host(std::uint64_t ms, const char* name, std::uint32_t value) {
    calls_->host(ms, name, value);
    state_->host(ms, name, value);
    if (std::strcmp(name, "scriptWait") != 0)
        return;
    if (value > 0) {
        waits_.push_back(Json::array({ms, value}));
        passBroken_ = true;
        return;
    }
    // A pass ended: passes alike in a row, one a frame, share one entry
    // [first ms, last ms, passes, calls]; a wait or a frame without a pass
    // ends the entry, so that the page shows where no pass ran.
    if (!passBroken_ && !passes_.empty() && passes_.back()[3] == passCalls_) {
        passes_.back()[1] = ms;
        passes_.back()[2] = passes_.back()[2].get<long long>() + 1;
    } else {
        passes_.push_back(Json::array({ms, ms, 1, passCalls_}));
    }
    passCalls_ = 0;
    passEnded_ = true;
    passBroken_ = false;
}

void ReportRecorder::noteBlips(std::uint64_t ms) {
    const auto& now = game_->blips;
    if (now.size() == blips_.size() &&
        std::equal(now.begin(), now.end(), blips_.begin(), [](const auto& a, const auto& b) {
            return a.first == b.first && a.second.entity == b.second.entity && a.second.name == b.second.name;
        }))
        return;
    std::map<std::int32_t, Blip> blips;
    for (const auto& [handle, blip] : now)
        blips[handle] = {blip.entity, blip.name};
    for (const auto& [handle, blip] : blips) {
        if (!blips_.count(handle))
            mark(ms, "blip_added", blip.entity, blip.name);
    }
    for (const auto& [handle, blip] : blips_) {
        if (!blips.count(handle))
            mark(ms, "blip_removed", blip.entity, blip.name);
    }
    blips_ = std::move(blips);
}

void ReportRecorder::frameEnd(int frame, std::uint64_t ms) {
    calls_->frameEnd(frame, ms);
    state_->frameEnd(ms);
    if (!passEnded_)
        passBroken_ = true;
    passEnded_ = false;
    noteBlips(ms);
    // Each actor found in the world by its handle, again only when a ped came
    // or went since. A handle another ped has taken no longer shows the actor.
    if (pedsSeen_ != game_->peds.generation()) {
        for (Actor& a : actors_)
            a.ped = a.holdsHandle ? game_->peds.get(a.handle) : nullptr;
        pedsSeen_ = game_->peds.generation();
    }
    // The actors in handle order. One standing where it stood costs nothing
    // unless something happened in this frame: its track is told when it
    // next moves, leaves or the run ends, that it stood still until then.
    for (const std::size_t index : inHandleOrder_) {
        Actor& a = actors_[index];
        if (const standin::PedState* ped = a.ped) {
            const standin::Vec3& at = ped->position;
            if (a.present && !exactFrame_ && at.x == a.at.x && at.y == a.at.y && at.z == a.at.z)
                continue;
            a.track.stillUntil(lastFrameMs_);
            a.at = at;
            a.present = a.seen = true;
            a.track.frame(ms, a.at, exactFrame_);
        } else if (a.present) {
            a.track.stillUntil(lastFrameMs_);
            a.present = false;
            a.track.gone(ms);
        }
    }
    exactFrame_ = false;
    lastFrameMs_ = ms;
}

Json ReportRecorder::data(const RunResult& result) const {
    const Scenario& s = *scenario_;
    Json actors = Json::array();
    for (const Actor& a : actors_) {
        Track track = a.track;
        track.stillUntil(lastFrameMs_);
        track.finish();
        actors.push_back(
            Json{{"name", a.name}, {"model", a.model}, {"track", track.samples()}, {"jumps", track.jumps()}});
    }
    Json grazing = Json::array();
    for (const standin::Vec3& p : s.grazingPoints)
        grazing.push_back(position3(p.x, p.y, p.z));
    Json expectations = Json::array();
    for (std::size_t i = 0; i < s.expectations.size() && i < result.verdicts.size(); ++i) {
        const Verdict& v = result.verdicts[i];
        expectations.push_back(Json{{"text", s.expectations[i].source},
                                    {"line", s.expectations[i].where.line},
                                    {"held", v.held},
                                    {"at", v.decidedAt},
                                    {"why", v.why}});
    }
    // Names for the handles and hashes in the calls: the scenario's, and every
    // name the module asked the hash of.
    std::map<std::uint32_t, std::string> hashes = calls_->hashNames();
    auto addHash = [&hashes](const std::string& name) {
        if (!name.empty())
            hashes.emplace(standin::joaat(name.c_str()), name);
    };
    for (const PedSpec& p : s.peds) {
        addHash(p.model);
        addHash(p.group);
    }
    for (const auto& list : {s.campScripts, s.scriptThreads, s.missionsCompleted})
        for (const std::string& name : list)
            addHash(name);
    for (const ScenarioEvent& e : s.events) {
        if (e.action == Action::Camp || e.action == Action::CompleteMission ||
            e.action == Action::StartThread)
            addHash(e.text);
        if (e.action == Action::AddPed) {
            addHash(e.ped.model);
            addHash(e.ped.group);
        }
    }
    Json hashNames = Json::array();
    for (const auto& [hash, name] : hashes)
        hashNames.push_back(Json::array({hash, name}));

    return Json{{"scenario",
                 {{"name", s.name},
                  {"file", s.file},
                  {"duration", s.duration},
                  {"fps", s.fps},
                  {"startTime", s.startTime},
                  {"frames", result.frames}}},
                {"actors", actors},
                {"grazing", grazing},
                {"camp", camp_},
                {"lines", lines_},
                {"marks", marks_},
                {"expectations", expectations},
                {"passes", passes_},
                {"waits", waits_},
                {"names", {{"peds", pedNames_}, {"hashes", hashNames}}},
                {"calls", calls_->toJson()},
                {"state", state_->toJson()}};
}

} // namespace sim
