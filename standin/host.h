// The stand-in script host: implements the nine host functions for the
// module, runs its script main on an execution context of its own against a
// virtual game clock, and records every call the module makes. Its parts:
// the registrations and the native call protocol (host.cpp), the scheduling
// and the clock (schedule.cpp), the call record (call_record.h), the
// allocation counters (allocation_counters.h) and the entry points
// (exports.cpp).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/host.h"
#include "standin/allocation_counters.h"
#include "standin/call_record.h"
#include "standin/catalogue.h"
#include "standin/game.h"
#include "standin/window_thread.h"

namespace standin {

// A fault of the module seen by the host: an unknown native, a wrong number
// of slots, a wait outside the script. Raised to whoever drives the host.
struct HostFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Who watches the host: told of every call the module makes and of the end
// of every frame. The host has one observer or none (then a call costs the
// test of a null pointer); whoever wants several passes what it hears on.
class HostObserver {
  public:
    virtual ~HostObserver() = default;
    // A native call: its slots before the game answers (out-parameters still
    // hold what the caller passed), then the slots and the result after.
    virtual void beforeNative(const NativeInfo&, const std::uint64_t* /*slots*/) {}
    virtual void afterNative(const NativeInfo&, const std::uint64_t* /*slots*/,
                             const std::uint64_t* /*result*/) {}
    // A host call, after it: the registrations, a start of the script main,
    // scriptWait with its milliseconds, worldGetAllPeds with its capacity
    // (the value is 0 where the call has none).
    virtual void afterHost(const char* /*name*/, std::uint32_t /*value*/) {}
    // The end of a frame, after the world's own end of frame.
    virtual void frameEnd(int /*frame*/) {}
    // Every call as the host's record keeps it: a native call after
    // afterNative, a host call as it begins (before afterHost). Built only
    // for an observer that hears calls (asked once, when it is set), and
    // only while the host's `listening` is set.
    virtual bool hearsCalls() const { return false; }
    virtual void call(const Event&) {}
};

class Host {
  public:
    // The one stand-in host of the program, which the entry points reach
    // (exports.cpp), made at first use. Inline: the entry points reach it
    // several times a native call.
    static Host& get() {
        static Host host;
        return host;
    }

    // Forgets everything: script, world, clock and records. The clock starts
    // at startTime game milliseconds and frames advance it at fps.
    void reset(int fps = 30, std::uint32_t startTime = 0);
    // Unwinds the script if it runs and drops it, and ends the window
    // thread. Never hangs.
    void shutdown();

    // The real host's rough handling of a script. A game reload drops the
    // script without unwinding it (nothing in its frame is destroyed) and
    // starts the script main again, on a new context, in the next frame.
    // The module's own unregistration (DllMain detach) drops it the same way.
    void reloadGame();
    // How many times the host has started the script main.
    int scriptStarts() const { return scriptStarts_; }

    Game& game() { return *game_; }

    // Clock.
    int frame() const { return frame_; }
    std::uint32_t now() const;                             // game timer, wrapping 32-bit
    std::uint64_t elapsedMs() const { return elapsedMs_; } // since reset
    std::uint32_t frameTimeMs(int frame) const;
    void setTickCount(std::uint32_t tick) {
        tickBase_ = tick;
        publishTick();
    }
    // Windows' tick count, moving with the clock; safe to read from any
    // thread, as the keyboard handler does from the window thread.
    std::uint32_t tickCount() const { return tick_.load(std::memory_order_relaxed); }

    // Running. A frame advances the clock, wakes the script if its wait is
    // over and lets it run to its next wait, then lets the world move.
    void runFrame();
    void runFrames(int frames);
    void runUntil(std::uint64_t elapsedMs);
    // Runs until the script has ended this many passes (zero waits); throws
    // if that takes more than maxFrames.
    void runPasses(int passes, int maxFrames = 100000);
    int passesEnded() const { return zeroWaits_; }
    bool scriptWaiting() const;

    // Keyboard: delivered to the registered handler on the window thread, as
    // the game window does. sendKey returns once the handler has run;
    // postKey at once, so that the handler runs while the script does.
    void sendKey(std::uint32_t key, std::uint16_t repeats = 1, std::uint8_t scanCode = 0, int isExtended = 0,
                 int altHeld = 0, int wasDown = 0, int released = 0);
    void postKey(const KeyMessage& message) { window_.post(message); }
    // The window thread is there from the start of a run to its end.
    void startWindowThread() { window_.start(); }
    void stopWindowThread() { window_.stop(); }

    // Registration as the module left it.
    void* registeredModule() const { return module_; }
    void (*registeredScript() const)() { return scriptMain_; }
    KeyboardHandler keyboardHandler() { return window_.handler(); }

    // Records.
    void setRecording(bool on) { recording_ = on; }
    const std::vector<Event>& events() const { return events_; }
    void clearEvents() { events_.clear(); }
    // The one observer, or nullptr; reset() clears it.
    void setObserver(HostObserver* observer) {
        observer_ = observer;
        observerHearsCalls_ = observer != nullptr && observer->hearsCalls();
    }
    HostObserver* observer() const { return observer_; }
    // The observer hears whole calls only while this is set (to sample a
    // long run).
    bool listening = true;
    // Native calls by label, in order.
    std::vector<const Event*> calls(const char* label) const;
    std::uint64_t nativeCallCount() const { return nativeCalls_; }

    // A misbehaving host: worldGetAllPeds reports this count whatever it
    // wrote (unset: the true count).
    bool overridePedCount = false;
    // A watchful host: worldGetAllPeds fills the rest of the caller's list
    // with this handle, so a caller that reads past the count gives itself
    // away by using it.
    bool poisonUnwrittenPeds = false;
    static constexpr std::int32_t poisonPed = 0x7EADBEEF;
    int pedCountOverride = 0;

    // The host functions, reached through the C entry points
    // (exports.cpp).
    void hostScriptRegister(void* module, void (*main)());
    void hostScriptUnregister(void* module);
    void hostKeyboardRegister(KeyboardHandler handler);
    void hostKeyboardUnregister(KeyboardHandler handler);
    void hostScriptWait(std::uint32_t ms);
    void hostNativeInit(std::uint64_t hash) {
        pendingHash_ = hash;
        pendingNative_ = findNative(hash);
        pending_ = true;
        slotCount_ = 0;
        slotOverflow_ = false;
    }
    void hostNativePush64(std::uint64_t value) {
        if (slotCount_ < static_cast<int>(slots_.size())) {
            slots_[static_cast<std::size_t>(slotCount_)] = value;
        } else {
            slotOverflow_ = true;
        }
        ++slotCount_;
    }
    std::uint64_t* hostNativeCall();
    int hostWorldGetAllPeds(int* peds, int capacity);

    struct Fiber; // the script's execution context (script_fiber.h)

  private:
    Host();
    ~Host();
    // Whether calls are recorded or heard whole (as Events).
    bool keepingCalls() const { return recording_ || (observerHearsCalls_ && listening); }
    void record(Event&& event);
    void answer(const NativeInfo& info);
    // A host call as it begins, recorded and heard whole where calls are
    // kept, with its values by name; and told to the observer after it.
    void recordHost(const char* name,
                    std::initializer_list<std::pair<const char*, std::int64_t>> values = {});
    void afterHostCall(const char* name, std::uint32_t value) {
        if (observer_ != nullptr) {
            observer_->afterHost(name, value);
        }
    }
    void resumeScript();
    void publishTick() {
        tick_.store(tickBase_ + static_cast<std::uint32_t>(elapsedMs()), std::memory_order_relaxed);
    }
    // Moves the clock to a frame: the elapsed time is worked out once per frame.
    void setFrame(int frame);
    void dropScript();
    void destroyDroppedScripts();

    std::unique_ptr<Game> game_;
    int fps_ = 30;
    std::uint32_t startTime_ = 0;
    std::uint32_t tickBase_ = 1000000;
    int frame_ = 0;
    std::uint64_t elapsedMs_ = 0; // of frame_
    void* module_ = nullptr;
    void (*scriptMain_)() = nullptr;
    std::atomic<std::uint32_t> tick_{1000000};
    WindowThread window_;
    std::unique_ptr<Fiber> fiber_;
    // Scripts dropped without unwinding, their contexts freed on the host's
    // own thread at the next frame (a fiber belongs to the thread it ran on).
    std::vector<std::unique_ptr<Fiber>> dropped_;
    int scriptStarts_ = 0;
    bool inScript_ = false;
    int waitFrame_ = 0;
    std::uint64_t wakeAtMs_ = 0;
    int zeroWaits_ = 0;
    bool recording_ = true;
    std::vector<Event> events_;
    HostObserver* observer_ = nullptr;
    bool observerHearsCalls_ = false;
    std::uint64_t nativeCalls_ = 0;
    // The call being built.
    std::uint64_t pendingHash_ = 0;
    const NativeInfo* pendingNative_ = nullptr; // nullptr: not in the catalogue
    bool pending_ = false;
    std::array<std::uint64_t, 32> slots_{};
    int slotCount_ = 0;
    bool slotOverflow_ = false;
    std::array<std::uint64_t, 3> result_{};
};

} // namespace standin
