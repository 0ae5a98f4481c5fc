// The program's life: the plug-in, the JACK client and the window, and the
// main loop that idles the editor about 40 times a second, follows the
// server's sample rate and buffer size, and waits for the server to come
// back when it goes. The main thread is the editor's user-interface thread;
// JACK's threads only run the audio callback and set flags.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "live/AudioGate.h"
#include "live/JackSession.h"
#include "live/LiveOptions.h"
#include "live/PluginDriver.h"

class LiveApp {
public:
    static constexpr uint32_t kIdleMs = 25;
    static constexpr uint32_t kReconnectMs = 1000;

    explicit LiveApp(const LiveOptions& options) : options(options) {}
    ~LiveApp();
    LiveApp(const LiveApp&) = delete;
    LiveApp& operator=(const LiveApp&) = delete;

    // The exit status: 0 when asked to stop, 1 when something failed.
    int run();

    // From a signal handler: ends the main loop at its next pass.
    static void requestStop() noexcept { stopRequested.store(true); }

private:
    bool openWindow();
    // Starts the plug-in at the server's format, activates, connects.
    bool startAudio(bool firstTime);
    void followFormat();
    void loseServer();
    void tryReconnect();
    void showTitle();
    void shutDown();

    static std::atomic<bool> stopRequested;
    static_assert(std::atomic<bool>::is_always_lock_free, "set from a signal handler");

    LiveOptions options;
    PluginDriver driver;
    AudioGate gate;
    JackSession session{driver, gate};
    void* window = nullptr;
    std::string name;
    uint32_t lastAttempt = 0;
};
