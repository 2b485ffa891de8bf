// What a run looks like to those who watch it: the timeline, the expectation
// checker, the soak's invariants, the report page and the positions file.
// The runner alone hears the stand-in host; it tells each observer of the
// run, once each, in game time order.
#pragma once

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "standin/catalogue.h"
#include "standin/game.h"

namespace sim {

struct Names;
struct Scenario;
struct ScenarioEvent;

class RunObserver {
  public:
    virtual ~RunObserver() = default;
    // The world is built in game, which goes on changing as the run goes;
    // names are the scenario's for its handles. The module is not loaded yet.
    virtual void begin(const Scenario&, const standin::Game&, const Names&) {}
    // A line of the timeline, to those that hear lines: the runner keeps
    // the timeline only where its lines go somewhere.
    virtual bool hearsLines() const { return false; }
    virtual void line(std::uint64_t /*ms*/, const std::string& /*text*/) {}
    // A scenario event, just carried out.
    virtual void event(std::uint64_t /*ms*/, const ScenarioEvent&) {}
    // A native call: its slots before the game answers (out-parameters still
    // hold what the module passed), then the slots and result after.
    virtual void nativeBefore(const standin::NativeInfo&, const std::uint64_t* /*slots*/) {}
    // Which calls nativeBefore hears: every call (the default), only the
    // calls of natives with an out-parameter, or none.
    enum class Before { Every, OutParameters, None };
    virtual Before hearsBefore() const { return Before::Every; }
    virtual void native(std::uint64_t /*ms*/, const standin::NativeInfo&, const std::uint64_t* /*slots*/,
                        const std::uint64_t* /*result*/) {}
    // Whether native() hears the calls of this native of the catalogue
    // (asked once, as the observer joins a run); every one by default.
    virtual bool hearsNative(const standin::NativeInfo&) const { return true; }
    // A host call, after it: DllMain's registrations, a start of the script
    // main, scriptWait with its milliseconds, worldGetAllPeds with its
    // capacity (the value is 0 where the call has none).
    virtual void host(std::uint64_t /*ms*/, const char* /*name*/, std::uint32_t /*value*/) {}
    // The end of a frame: the world has moved.
    virtual void frameEnd(int /*frame*/, std::uint64_t /*ms*/) {}
};

// The observers of one run, each told of everything in the order they were
// added. Only those asked for are in it.
class RunObservers final : public RunObserver {
  public:
    void add(RunObserver& observer) {
        if (all_.size() == 32)
            throw std::logic_error("a run has at most 32 observers");
        const std::uint32_t bit = 1u << all_.size();
        all_.push_back(&observer);
        hears_.resize(standin::nativeCatalogueSize + 1);
        for (std::size_t i = 0; i < standin::nativeCatalogueSize; ++i) {
            if (observer.hearsNative(standin::nativeCatalogue[i]))
                hears_[i] |= bit;
        }
        hears_[standin::nativeCatalogueSize] |= bit; // a native of no catalogue's
        const std::uint32_t everyone = bit | (bit - 1);
        allHearAll_ =
            std::all_of(hears_.begin(), hears_.end(), [everyone](std::uint32_t h) { return h == everyone; });
        if (observer.hearsBefore() == Before::Every)
            before_.push_back(&observer);
        else if (observer.hearsBefore() == Before::OutParameters)
            beforeOut_.push_back(&observer);
    }

    void begin(const Scenario& scenario, const standin::Game& game, const Names& names) override {
        for (RunObserver* o : all_)
            o->begin(scenario, game, names);
    }
    void line(std::uint64_t ms, const std::string& text) override {
        for (RunObserver* o : all_)
            o->line(ms, text);
    }
    void event(std::uint64_t ms, const ScenarioEvent& e) override {
        for (RunObserver* o : all_)
            o->event(ms, e);
    }
    void nativeBefore(const standin::NativeInfo& info, const std::uint64_t* slots) override {
        for (RunObserver* o : before_)
            o->nativeBefore(info, slots);
        if (!beforeOut_.empty() && info.outSlot) {
            for (RunObserver* o : beforeOut_)
                o->nativeBefore(info, slots);
        }
    }
    void native(std::uint64_t ms, const standin::NativeInfo& info, const std::uint64_t* slots,
                const std::uint64_t* result) override {
        if (allHearAll_) {
            for (RunObserver* o : all_)
                o->native(ms, info, slots, result);
            return;
        }
        const std::uint32_t hears = hears_[standin::catalogueIndex(info)];
        for (std::size_t i = 0; i < all_.size(); ++i) {
            if ((hears >> i) & 1u)
                all_[i]->native(ms, info, slots, result);
        }
    }
    void host(std::uint64_t ms, const char* name, std::uint32_t value) override {
        for (RunObserver* o : all_)
            o->host(ms, name, value);
    }
    void frameEnd(int frame, std::uint64_t ms) override {
        for (RunObserver* o : all_)
            o->frameEnd(frame, ms);
    }

    Before hearsBefore() const override { return Before::Every; }

  private:
    std::vector<RunObserver*> all_, before_, beforeOut_; // before_: hear every call before it is answered
    bool allHearAll_ = true;                             // no observer passes over any native
    // By the native's place in the catalogue: a bit for each of all_ that hears it.
    std::vector<std::uint32_t> hears_;
};

} // namespace sim
