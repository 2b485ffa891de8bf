// The game window's message thread, as far as the keyboard goes: key messages
// reach the registered keyboard handler on a thread of their own, at moments
// of that thread's choosing, while the script runs on the host's thread.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "host/host.h"

namespace standin {

struct KeyMessage {
    std::uint32_t key = 0;
    std::uint16_t repeats = 1;
    std::uint8_t scanCode = 0;
    int isExtended = 0;
    int altHeld = 0;
    int wasDown = 0;
    int released = 0;
};

class WindowThread {
  public:
    WindowThread() = default;
    ~WindowThread() { stop(); }
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    // The handler later messages go to (nullptr: none; they are dropped).
    // Returns only once no call of the handler it replaces is running, so
    // that its module may be unloaded right after.
    void setHandler(KeyboardHandler handler);
    KeyboardHandler handler();

    // Queues a message for the window thread and returns at once: the
    // handler runs concurrently with whatever the caller does next.
    void post(const KeyMessage& message);
    // Queues a message and returns once the window thread has delivered it.
    void send(const KeyMessage& message);
    // Starts the thread now (else the first message does).
    void start();
    // Delivers what is queued, then ends the thread (started again by the
    // next message).
    void stop();

  private:
    // Both with the lock held.
    void startLocked();
    std::uint64_t queue(const KeyMessage& message);
    void run();

    std::mutex mutex_;
    std::condition_variable work_;    // a message queued, or stopping
    std::condition_variable settled_; // a message delivered, or a call ended
    std::deque<KeyMessage> queue_;
    KeyboardHandler handler_ = nullptr;
    bool calling_ = false; // the handler runs on the window thread
    bool stopping_ = false;
    std::uint64_t queued_ = 0, delivered_ = 0;
    std::thread thread_;
};

} // namespace standin
