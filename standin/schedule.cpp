// The host's scheduling and clock: frames advance a virtual game clock; in
// each the script runs, if its wait is over, until its next wait; the world
// then moves. A reload drops the script as the real host does.
#include "standin/host.h"
#include "standin/script_fiber.h"

namespace standin {

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

void Host::setFrame(int frame) {
    frame_ = frame;
    elapsedMs_ = static_cast<std::uint64_t>(frame) * 1000u / static_cast<unsigned>(fps_);
    publishTick();
}
std::uint32_t Host::now() const { return startTime_ + static_cast<std::uint32_t>(elapsedMs_); }
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
            recordHost("scriptMain");
            afterHostCall("scriptMain", 0);
            resumeScript();
        } else if (!fiber_->finished && frame_ > waitFrame_ && elapsedMs() >= wakeAtMs_) {
            resumeScript();
        }
    }
    if (game_->dynamics) {
        game_->advance(frameTimeMs(frame_ + 1) - frameTimeMs(frame_));
    }
    game_->endFrame();
    if (observer_ != nullptr) {
        observer_->frameEnd(frame_);
    }
    setFrame(frame_ + 1);
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

void Host::hostScriptWait(std::uint32_t ms) {
    if (!inScript_ || !fiber_) {
        throw HostFault("scriptWait called outside the script");
    }
    recordHost("scriptWait", {{"waitMs", ms}});
    afterHostCall("scriptWait", ms);
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

} // namespace standin
