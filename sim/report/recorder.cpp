#include "sim/report/recorder.h"

#include <cstring>

#include "sim/observe/names.h"

namespace sim {

using standin::NativeInfo;

void ReportRecorder::addActor(const std::string& name, std::int32_t handle, const std::string& model) {
    actorOf_[handle] = actors_.size();
    Actor actor;
    actor.name = name;
    actor.handle = handle;
    actor.model = model;
    actors_.push_back(std::move(actor));
}

void ReportRecorder::begin(const Scenario& s, const standin::Game& game, const Names& names) {
    scenario_ = &s;
    game_ = &game;
    pedNames_ = names.peds;
    calls_.emplace(game);
    state_.emplace(game, names);
    addActor("player", s.playerHandle, "");
    for (const PedSpec& p : s.peds)
        addActor(p.name, p.handle, p.model);
    for (const ScenarioEvent& e : s.events) {
        if (e.action == Action::AddPed)
            addActor(e.ped.name, e.ped.handle, e.ped.model);
    }
}

void ReportRecorder::line(std::uint64_t ms, const std::string& text) {
    lines_.push_back(Json::array({ms, text}));
}

void ReportRecorder::mark(std::uint64_t ms, const char* kind, std::int32_t handle, const std::string& text) {
    auto it = actorOf_.find(handle);
    const standin::PedState* ped = nullptr;
    if (auto p = game_->peds.find(handle); p != game_->peds.end())
        ped = &p->second;
    // A ped gone from the world is marked where it was last seen.
    const Actor* actor = it != actorOf_.end() ? &actors_[it->second] : nullptr;
    if (ped == nullptr && (actor == nullptr || actor->track.empty()))
        return;
    const standin::Vec3 at = ped != nullptr ? ped->position : actor->at;
    marks_.push_back(Json::array({ms, kind, actor != nullptr ? static_cast<long long>(it->second) : -1LL,
                                  shortestFloat(at.x), shortestFloat(at.y), shortestFloat(at.z), text}));
}

void ReportRecorder::event(std::uint64_t ms, const ScenarioEvent& e) {
    state_->event(ms, e);
    const std::int32_t player = game_->playerPed;
    switch (e.action) {
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

void ReportRecorder::native(std::uint64_t ms, const NativeInfo& info, const std::uint64_t* slots,
                            const std::uint64_t* result) {
    calls_->native(info, slots, result);
    state_->native(ms, info, slots, result);
    ++passCalls_;
    static const NativeInfo* const said = nativeLabelled("playPedAmbientSpeech");
    static const NativeInfo* const camp = nativeLabelled("findScenarioOfTypeHash");
    static const std::map<const NativeInfo*, const char*> horseMarks = {
        {nativeLabelled("taskFollowNavMeshToCoord"), "sent_home"},
        {nativeLabelled("setEntityCoords"), "put_down"},
        {nativeLabelled("taskUseScenarioPoint"), "grazing"},
        {nativeLabelled("taskStartScenarioInPlaceHash"), "grazing"},
        {nativeLabelled("taskSmartFleePed"), "spurred"}};
    const std::int32_t handle = i32(slots[0]);
    if (&info == said) {
        const char* text = spokenLine(slots[1]);
        mark(ms, "said", handle, text ? text : "");
    } else if (&info == camp) {
        // The camp position the module uses, as it asks for the grazing point around it.
        const Json at = position3(standin::slotFloat(slots[0]), standin::slotFloat(slots[1]),
                                  standin::slotFloat(slots[2]));
        if (camp_.empty() || camp_.back()[1] != at[0] || camp_.back()[2] != at[1] || camp_.back()[3] != at[2])
            camp_.push_back(Json::array({ms, at[0], at[1], at[2]}));
    } else if (auto it = horseMarks.find(&info); it != horseMarks.end()) {
        mark(ms, it->second, handle, "");
    }
}

void ReportRecorder::host(std::uint64_t ms, const char* name, std::uint32_t value) {
    calls_->host(name, value);
    state_->host(ms, name, value);
    if (std::strcmp(name, "scriptWait") != 0)
        return;
    if (value > 0) {
        waits_.push_back(Json::array({ms, value}));
        return;
    }
    // A pass ended: passes alike in a row share one entry [first ms, last ms, passes, calls].
    if (!passes_.empty() && passes_.back()[3] == passCalls_) {
        passes_.back()[1] = ms;
        passes_.back()[2] = passes_.back()[2].get<long long>() + 1;
    } else {
        passes_.push_back(Json::array({ms, ms, 1, passCalls_}));
    }
    passCalls_ = 0;
}

void ReportRecorder::frameEnd(int frame, std::uint64_t ms) {
    calls_->frameEnd(frame, ms);
    state_->frameEnd(ms);
    for (Actor& a : actors_) {
        auto it = game_->peds.find(a.handle);
        const bool present = it != game_->peds.end();
        if (present) {
            const standin::Vec3& p = it->second.position;
            if (a.present && p.x == a.at.x && p.y == a.at.y && p.z == a.at.z)
                continue;
            a.at = p;
            for (const Json& v :
                 {Json(ms), Json(shortestFloat(p.x)), Json(shortestFloat(p.y)), Json(shortestFloat(p.z))})
                a.track.push_back(v);
        } else if (a.present) {
            for (const Json& v : {Json(ms), Json(nullptr), Json(nullptr), Json(nullptr)})
                a.track.push_back(v);
        }
        a.present = present;
    }
    std::map<std::int32_t, Blip> blips;
    for (const auto& [handle, blip] : game_->blips)
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

Json ReportRecorder::data(const RunResult& result) const {
    const Scenario& s = *scenario_;
    Json actors = Json::array();
    for (const Actor& a : actors_)
        actors.push_back(Json{{"name", a.name}, {"model", a.model}, {"track", a.track}});
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
    Json peds = Json::array(), hashNames = Json::array();
    for (const auto& [handle, name] : pedNames_)
        peds.push_back(Json::array({handle, name}));
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
                {"names", {{"peds", peds}, {"hashes", hashNames}}},
                {"calls", calls_->toJson()},
                {"state", state_->toJson()}};
}

} // namespace sim
