#include "IdleThread.h"

#include <chrono>

IdleThread::IdleThread(std::function<void()> idle, int intervalMs)
    : worker([this, idle = std::move(idle), intervalMs] {
          while (running.load()) {
              idle();
              ++count;
              std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
          }
      }) {}

IdleThread::~IdleThread() {
    running.store(false);
    worker.join();
}

void IdleThread::waitPasses(long more) const {
    const long target = count.load() + more;
    while (count.load() < target) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
