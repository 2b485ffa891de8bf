#include "standin/window_thread.h"

namespace standin {

void WindowThread::setHandler(KeyboardHandler handler) {
    std::unique_lock<std::mutex> lock(mutex_);
    settled_.wait(lock, [this] { return !calling_; });
    handler_ = handler;
}

KeyboardHandler WindowThread::handler() {
    std::lock_guard<std::mutex> lock(mutex_);
    return handler_;
}

void WindowThread::start() {
    std::lock_guard<std::mutex> lock(mutex_);
    startLocked();
}

void WindowThread::startLocked() {
    if (!thread_.joinable()) {
        stopping_ = false;
        thread_ = std::thread([this] { run(); }); // it waits for the lock held here
    }
}

std::uint64_t WindowThread::queue(const KeyMessage& message) {
    startLocked();
    queue_.push_back(message);
    work_.notify_one();
    return ++queued_;
}

void WindowThread::post(const KeyMessage& message) {
    std::unique_lock<std::mutex> lock(mutex_);
    queue(message);
}

void WindowThread::send(const KeyMessage& message) {
    std::unique_lock<std::mutex> lock(mutex_);
    const std::uint64_t ticket = queue(message);
    settled_.wait(lock, [this, ticket] { return delivered_ >= ticket; });
}

void WindowThread::stop() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!thread_.joinable()) {
        return;
    }
    stopping_ = true;
    work_.notify_one();
    std::thread ending = std::move(thread_);
    lock.unlock();
    ending.join();
}

void WindowThread::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        work_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (queue_.empty()) {
            return; // stopping, with everything delivered
        }
        const KeyMessage m = queue_.front();
        queue_.pop_front();
        const KeyboardHandler handler = handler_;
        if (handler != nullptr) {
            // The call itself holds no lock: it is as concurrent with the
            // script as a real window thread's.
            calling_ = true;
            lock.unlock();
            handler(m.key, m.repeats, m.scanCode, m.isExtended, m.altHeld, m.wasDown, m.released);
            lock.lock();
            calling_ = false;
        }
        ++delivered_;
        settled_.notify_all();
    }
}

} // namespace standin
