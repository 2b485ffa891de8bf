// The host as the module meets it: the script and keyboard registrations,
// the native call protocol (init, pushes, call) answered by the stand-in
// game and recorded, and the world's peds. Its scheduling and clock are in
// schedule.cpp, its record in call_record.cpp, its entry points in
// exports.cpp.
#include "standin/host.h"

#include "standin/script_fiber.h"

namespace standin {

Host::Host() : game_(std::make_unique<Game>()) {}

Host::~Host() = default;

void Host::reset(int fps, std::uint32_t startTime) {
    shutdown();
    game_ = std::make_unique<Game>();
    fps_ = fps > 0 ? fps : 30;
    startTime_ = startTime;
    tickBase_ = 1000000;
    setFrame(0);
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
    pendingNative_ = nullptr;
    slotCount_ = 0;
    overridePedCount = false;
    poisonUnwrittenPeds = false;
    pedCountOverride = 0;
    setObserver(nullptr);
    listening = true;
    game_->gameTimer = now();
}

void Host::sendKey(std::uint32_t key, std::uint16_t repeats, std::uint8_t scanCode, int isExtended,
                   int altHeld, int wasDown, int released) {
    window_.send(KeyMessage{key, repeats, scanCode, isExtended, altHeld, wasDown, released});
}

void Host::hostScriptRegister(void* module, void (*main)()) {
    recordHost("scriptRegister");
    module_ = module;
    scriptMain_ = main;
    afterHostCall("scriptRegister", 0);
}

// As the real host does: the script is dropped, never unwound.
void Host::hostScriptUnregister(void* module) {
    recordHost("scriptUnregister");
    if (module == module_) {
        dropScript();
        scriptMain_ = nullptr;
        module_ = nullptr;
    }
    afterHostCall("scriptUnregister", 0);
}

void Host::hostKeyboardRegister(KeyboardHandler handler) {
    recordHost("keyboardHandlerRegister");
    window_.setHandler(handler);
    afterHostCall("keyboardHandlerRegister", 0);
}

// Returns once no message is being delivered to the handler: its module may
// be unloaded next.
void Host::hostKeyboardUnregister(KeyboardHandler handler) {
    recordHost("keyboardHandlerUnregister");
    if (handler == window_.handler()) {
        window_.setHandler(nullptr);
    }
    afterHostCall("keyboardHandlerUnregister", 0);
}

std::uint64_t* Host::hostNativeCall() {
    if (!pending_) {
        throw HostFault("nativeCall without nativeInit");
    }
    pending_ = false;
    const NativeInfo* info = pendingNative_;
    if (info == nullptr) {
        throw HostFault("unknown native " + hex64(pendingHash_));
    }
    if (slotOverflow_ || slotCount_ != info->slotCount) {
        throw HostFault(std::string("native ") + info->label + " got " + std::to_string(slotCount_) +
                        " slots, the catalogue lists " + std::to_string(info->slotCount));
    }
    ++nativeCalls_;
    if (!keepingCalls()) {
        answer(*info);
        return result_.data();
    }
    Event event;
    event.frame = frame_;
    event.time = now();
    event.native = info;
    event.args = recordedArgs(*info, slots_.data(), *game_);
    answer(*info);
    event.result = result_;
    record(std::move(event));
    return result_.data();
}

// The game's answer in result_, with the observer told before and after.
void Host::answer(const NativeInfo& info) {
    HostObserver* const observer = observer_;
    if (observer != nullptr) {
        observer->beforeNative(info, slots_.data());
    }
    result_ = {};
    try {
        game_->call(info, slots_.data(), result_.data());
    } catch (const HostFault&) {
        throw;
    } catch (const std::exception& e) {
        throw HostFault(e.what());
    }
    if (observer != nullptr) {
        observer->afterNative(info, slots_.data(), result_.data());
    }
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
    afterHostCall("worldGetAllPeds", static_cast<std::uint32_t>(capacity));
    return count;
}

} // namespace standin
