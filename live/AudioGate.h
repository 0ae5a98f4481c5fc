// Lets the main thread stop the audio callback from using the plug-in
// while it changes the plug-in's format, without a lock: the callback
// enters, uses the plug-in only if the gate is open, and leaves; close()
// returns once no callback is inside. Sequentially consistent flags, so
// that a callback that saw the gate open is seen inside by close().
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

class AudioGate {
public:
    static_assert(std::atomic<bool>::is_always_lock_free, "the audio path takes no lock");

    // Audio thread: true when the plug-in may be used until leave().
    bool enter() noexcept {
        inside.store(true);
        if (open.load()) {
            return true;
        }
        inside.store(false);
        return false;
    }
    void leave() noexcept { inside.store(false); }

    // Main thread.
    void openGate() noexcept { open.store(true); }
    void close() noexcept {
        open.store(false);
        while (inside.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    bool isOpen() const noexcept { return open.load(); }

private:
    std::atomic<bool> open{false};
    std::atomic<bool> inside{false};
};
