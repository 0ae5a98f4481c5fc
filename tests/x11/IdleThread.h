// Idles editors from a thread of its own, as hosts do (Ardour calls
// effEditIdle about 25 times a second, not from the main thread). The test
// thread is then free to click while a popup menu holds the idle thread.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

class IdleThread {
public:
    explicit IdleThread(std::function<void()> idle, int intervalMs = 20)
        : worker([this, idle = std::move(idle), intervalMs] {
              while (running.load()) {
                  idle();
                  ++count;
                  std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
              }
          }) {}
    // Stops after the current pass.
    ~IdleThread() {
        running.store(false);
        worker.join();
    }
    IdleThread(const IdleThread&) = delete;
    IdleThread& operator=(const IdleThread&) = delete;

    // Passes completed so far.
    long passes() const { return count.load(); }

private:
    std::atomic<bool> running{true};
    std::atomic<long> count{0};
    std::thread worker;
};
