#include "standin/host.h"

#include <cstring>

#include "standin/script_context.h"
#include "standin/slots.h"

namespace standin {

namespace {

// Unwinds the script's stack when the host stops it. Not derived from
// std::exception, so nothing in the module catches it on the way.
struct ScriptStop {};

constexpr std::size_t scriptStackSize = 1024 * 1024;

} // namespace

// The script main's execution context: its own stack, switched to and from
// (standin/script_context.h), so a wait hands control back to the host at once.
struct Host::Fiber {
    ScriptContext context{&Fiber::entry, scriptStackSize};
    bool started = false;
    bool finished = false;
    bool stopRequested = false;
    std::string fault;
    void (*main)() = nullptr;

    static void entry() {
        Fiber& self = *Host::get().fiber_;
        try {
            self.main();
            self.fault = "the script main returned";
        } catch (const ScriptStop&) {
        } catch (const std::exception& e) {
            self.fault = e.what();
        } catch (...) {
            self.fault = "the script main threw an unknown exception";
        }
        self.finished = true;
        // Returning brings control back to the host.
    }
};

bool Event::is(const char* label) const {
    return kind == Kind::Native && native != nullptr && std::strcmp(native->label, label) == 0;
}

thread_local bool moduleCodeRunning = false;
std::uint64_t moduleAllocations = 0;
std::atomic<std::int64_t> moduleHeapBytes{0};
std::atomic<std::int64_t> moduleHeapBlocks{0};
bool countingAllocations = false;

namespace {
// Marks the time spent inside a host function as the host's own.
class HostScope {
  public:
    HostScope() : wasModule_(moduleCodeRunning) { moduleCodeRunning = false; }
    ~HostScope() { moduleCodeRunning = wasModule_; }
    HostScope(const HostScope&) = delete;
    HostScope& operator=(const HostScope&) = delete;

  private:
    bool wasModule_;
};
} // namespace

Host& Host::get() {
    static Host host;
    return host;
}

Host::Host() : game_(std::make_unique<Game>()) {}

void Host::reset(int fps, std::uint32_t startTime) {
    shutdown();
    game_ = std::make_unique<Game>();
    fps_ = fps > 0 ? fps : 30;
    startTime_ = startTime;
    tickBase_ = 1000000;
    frame_ = 0;
    publishTick();
    module_ = nullptr;
    scriptMain_ = nullptr;
    window_.setHandler(nullptr);
    scriptStarts_ = 0;
    waitFrame_ = 0;
    wakeAtMs_ = 0;
    zeroWaits_ = 0;
    recording_ = true;
    events_.clear();
    nativeCalls_ = 0;
    pending_ = false;
    slotCount_ = 0;
    overridePedCount = false;
    poisonUnwrittenPeds = false;
    pedCountOverride = 0;
    listener = nullptr;
    listening = true;
    beforeNative = nullptr;
    afterNative = nullptr;
    afterHost = nullptr;
    onFrameEnd = nullptr;
    game_->gameTimer = now();
}

void Host::shutdown() {
    window_.stop();
    destroyDroppedScripts();
    if (fiber_ && fiber_->started && !fiber_->finished) {
        fiber_->stopRequested = true;
        inScript_ = true;
        fiber_->context.enter();
        inScript_ = false;
        moduleCodeRunning = false; // the unwinding left through module code
    }
    fiber_.reset();
}

void Host::dropScript() {
    if (inScript_) {
        throw HostFault("the script was dropped while it ran");
    }
    if (fiber_) {
        dropped_.push_back(std::move(fiber_));
    }
}

void Host::destroyDroppedScripts() { dropped_.clear(); }

void Host::reloadGame() { dropScript(); }

std::uint64_t Host::elapsedMs() const {
    return static_cast<std::uint64_t>(frame_) * 1000u / static_cast<unsigned>(fps_);
}
std::uint32_t Host::now() const { return startTime_ + static_cast<std::uint32_t>(elapsedMs()); }
std::uint32_t Host::frameTimeMs(int frame) const {
    return startTime_ + static_cast<std::uint32_t>(static_cast<std::uint64_t>(frame) * 1000u /
                                                   static_cast<unsigned>(fps_));
}

bool Host::scriptWaiting() const { return fiber_ && fiber_->started && !fiber_->finished; }

void Host::resumeScript() {
    inScript_ = true;
    moduleCodeRunning = true;
    fiber_->context.enter();
    moduleCodeRunning = false;
    inScript_ = false;
    if (fiber_->finished && !fiber_->fault.empty()) {
        throw HostFault("frame " + std::to_string(frame_) + ": " + fiber_->fault);
    }
}

void Host::runFrame() {
    destroyDroppedScripts();
    game_->gameTimer = now();
    if (scriptMain_ != nullptr) {
        if (!fiber_) {
            fiber_ = std::make_unique<Fiber>();
            fiber_->main = scriptMain_;
            fiber_->started = true;
            ++scriptStarts_;
            recordHost("scriptMain", {});
            if (afterHost) {
                afterHost("scriptMain", 0);
            }
            resumeScript();
        } else if (!fiber_->finished && frame_ > waitFrame_ && elapsedMs() >= wakeAtMs_) {
            resumeScript();
        }
    }
    if (game_->dynamics) {
        game_->advance(frameTimeMs(frame_ + 1) - frameTimeMs(frame_));
    }
    game_->endFrame();
    if (onFrameEnd) {
        onFrameEnd(frame_);
    }
    ++frame_;
    publishTick();
}

void Host::runFrames(int frames) {
    for (int i = 0; i < frames; ++i) {
        runFrame();
    }
}

void Host::runUntil(std::uint64_t untilMs) {
    while (elapsedMs() <= untilMs) {
        runFrame();
    }
}

void Host::runPasses(int passes, int maxFrames) {
    const int target = zeroWaits_ + passes;
    for (int i = 0; zeroWaits_ < target; ++i) {
        if (i >= maxFrames) {
            throw HostFault("the script ended " + std::to_string(zeroWaits_ - (target - passes)) + " of " +
                            std::to_string(passes) + " passes in " + std::to_string(maxFrames) + " frames");
        }
        runFrame();
    }
}

void Host::sendKey(std::uint32_t key, std::uint16_t repeats, std::uint8_t scanCode, int isExtended,
                   int altHeld, int wasDown, int released) {
    window_.send(KeyMessage{key, repeats, scanCode, isExtended, altHeld, wasDown, released});
}

std::vector<const Event*> Host::calls(const char* label) const {
    std::vector<const Event*> found;
    for (const Event& event : events_) {
        if (event.is(label)) {
            found.push_back(&event);
        }
    }
    return found;
}

void Host::record(Event&& event) {
    if (listener && listening) {
        listener(event);
    }
    if (recording_) {
        events_.push_back(std::move(event));
    }
}

void Host::recordHost(const char* name, std::vector<std::pair<std::string, std::int64_t>> values) {
    if (!recording_ && !(listener && listening)) {
        return;
    }
    Event event;
    event.kind = Event::Kind::Host;
    event.frame = frame_;
    event.time = now();
    event.host = name;
    event.values = std::move(values);
    record(std::move(event));
}

void Host::hostScriptRegister(void* module, void (*main)()) {
    recordHost("scriptRegister", {});
    module_ = module;
    scriptMain_ = main;
    if (afterHost) {
        afterHost("scriptRegister", 0);
    }
}

// As the real host does: the script is dropped, never unwound.
void Host::hostScriptUnregister(void* module) {
    recordHost("scriptUnregister", {});
    if (module == module_) {
        dropScript();
        scriptMain_ = nullptr;
        module_ = nullptr;
    }
    if (afterHost) {
        afterHost("scriptUnregister", 0);
    }
}

void Host::hostKeyboardRegister(KeyboardHandler handler) {
    recordHost("keyboardHandlerRegister", {});
    window_.setHandler(handler);
    if (afterHost) {
        afterHost("keyboardHandlerRegister", 0);
    }
}

// Returns once no message is being delivered to the handler: its module may
// be unloaded next.
void Host::hostKeyboardUnregister(KeyboardHandler handler) {
    recordHost("keyboardHandlerUnregister", {});
    if (handler == window_.handler()) {
        window_.setHandler(nullptr);
    }
    if (afterHost) {
        afterHost("keyboardHandlerUnregister", 0);
    }
}

void Host::hostScriptWait(std::uint32_t ms) {
    if (!inScript_ || !fiber_) {
        throw HostFault("scriptWait called outside the script");
    }
    recordHost("scriptWait", {{"waitMs", ms}});
    if (afterHost) {
        afterHost("scriptWait", ms);
    }
    if (ms == 0) {
        ++zeroWaits_;
    }
    waitFrame_ = frame_;
    wakeAtMs_ = elapsedMs() + ms;
    fiber_->context.leave();
    if (fiber_->stopRequested) {
        throw ScriptStop{};
    }
}

void Host::hostNativeInit(std::uint64_t hash) {
    pendingHash_ = hash;
    pending_ = true;
    slotCount_ = 0;
    slotOverflow_ = false;
}

void Host::hostNativePush64(std::uint64_t value) {
    if (slotCount_ < static_cast<int>(slots_.size())) {
        slots_[static_cast<std::size_t>(slotCount_)] = value;
    } else {
        slotOverflow_ = true;
    }
    ++slotCount_;
}

std::uint64_t* Host::hostNativeCall() {
    if (!pending_) {
        throw HostFault("nativeCall without nativeInit");
    }
    pending_ = false;
    const NativeInfo* info = findNative(pendingHash_);
    if (info == nullptr) {
        throw HostFault("unknown native " + hex64(pendingHash_));
    }
    const int expected = static_cast<int>(std::strlen(info->slots));
    if (slotOverflow_ || slotCount_ != expected) {
        throw HostFault(std::string("native ") + info->label + " got " + std::to_string(slotCount_) +
                        " slots, the catalogue lists " + std::to_string(expected));
    }
    ++nativeCalls_;
    const bool keep = recording_ || (listening && static_cast<bool>(listener));
    Event event;
    if (keep) {
        event.frame = frame_;
        event.time = now();
        event.native = info;
        event.args.resize(static_cast<std::size_t>(expected));
        for (int k = 0; k < expected; ++k) {
            ArgRecord& arg = event.args[static_cast<std::size_t>(k)];
            arg.raw = slots_[static_cast<std::size_t>(k)];
            const void* address = slotPointer<const void>(arg.raw);
            switch (info->slots[k]) {
            case 's':
                arg.isNull = address == nullptr;
                if (address != nullptr)
                    arg.text = static_cast<const char*>(address);
                break;
            case 'v':
                if (const std::string* text = game_->varString(arg.raw))
                    arg.text = *text;
                break;
            case 'o':
                if (address != nullptr)
                    std::memcpy(&arg.pointee, address, sizeof arg.pointee);
                break;
            case 'r':
                if (address != nullptr) {
                    std::memcpy(arg.record.data(), address, sizeof arg.record);
                    const char* line = slotText(arg.record[0]);
                    arg.isNull = line == nullptr;
                    if (line != nullptr)
                        arg.text = line;
                }
                break;
            default:
                break;
            }
        }
    }
    if (beforeNative) {
        beforeNative(*info, slots_.data());
    }
    result_ = {};
    try {
        game_->call(*info, slots_.data(), result_.data());
    } catch (const HostFault&) {
        throw;
    } catch (const std::exception& e) {
        throw HostFault(e.what());
    }
    if (afterNative) {
        afterNative(*info, slots_.data(), result_.data());
    }
    if (keep) {
        event.result = result_;
        record(std::move(event));
    }
    return result_.data();
}

int Host::hostWorldGetAllPeds(int* peds, int capacity) {
    int written = 0;
    for (const auto& [handle, ped] : game_->peds) {
        if (written >= capacity) {
            break;
        }
        peds[written++] = handle;
    }
    const int count = overridePedCount ? pedCountOverride : written;
    if (poisonUnwrittenPeds) {
        for (int i = written; i < capacity; ++i) {
            peds[i] = poisonPed;
        }
    }
    recordHost("worldGetAllPeds", {{"capacity", capacity}, {"count", count}});
    if (afterHost) {
        afterHost("worldGetAllPeds", static_cast<std::uint32_t>(capacity));
    }
    return count;
}

} // namespace standin

// The host's entry points, as the module imports them.
extern "C" {
void scriptRegister(void* module, void (*main)()) {
    standin::HostScope scope;
    standin::Host::get().hostScriptRegister(module, main);
}
void scriptUnregister(void* module) {
    standin::HostScope scope;
    standin::Host::get().hostScriptUnregister(module);
}
void keyboardHandlerRegister(KeyboardHandler handler) {
    standin::HostScope scope;
    standin::Host::get().hostKeyboardRegister(handler);
}
void keyboardHandlerUnregister(KeyboardHandler handler) {
    standin::HostScope scope;
    standin::Host::get().hostKeyboardUnregister(handler);
}
void scriptWait(std::uint32_t ms) {
    standin::HostScope scope;
    standin::Host::get().hostScriptWait(ms);
}
void nativeInit(std::uint64_t hash) {
    standin::HostScope scope;
    standin::Host::get().hostNativeInit(hash);
}
void nativePush64(std::uint64_t value) {
    standin::HostScope scope;
    standin::Host::get().hostNativePush64(value);
}
std::uint64_t* nativeCall() {
    standin::HostScope scope;
    return standin::Host::get().hostNativeCall();
}
int worldGetAllPeds(int* peds, int capacity) {
    standin::HostScope scope;
    return standin::Host::get().hostWorldGetAllPeds(peds, capacity);
}
#ifndef _WIN32
// On Windows the module takes GetTickCount from KERNEL32.
unsigned long GetTickCount() {
    standin::HostScope scope;
    return standin::Host::get().tickCount();
}
#endif
}
