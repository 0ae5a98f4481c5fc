// The program's JACK client: two audio input ports, in_1 and in_2, whose
// samples the process callback hands to the plug-in. Never starts a server.
// The notifications (sample rate, buffer size, the server going away) only
// set atomics here; the main thread reads them and acts.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include <jack/jack.h>

class AudioGate;
class PluginDriver;

class JackSession {
public:
    enum class Opened { ok, noServer, failed };

    JackSession(PluginDriver& driver, AudioGate& gate) : plugin(driver), audioGate(gate) {}
    ~JackSession();
    JackSession(const JackSession&) = delete;
    JackSession& operator=(const JackSession&) = delete;

    // JACK's own messages go nowhere; the program says what went wrong.
    static void silenceJack();

    // Opens the client and registers its ports; not active yet.
    Opened open(const std::string& name, std::string& error);
    bool isOpen() const { return client != nullptr; }
    // The name JACK gave the client, unique on the server.
    std::string clientName() const;
    bool activate(std::string& error);
    // Connects the output ports that `patterns` name (full names, else
    // regular expressions), or the physical capture ports when there are
    // none, to in_1, in_2, in_1, ... in turn; called again, only the ports
    // it has not met before. Returns one line for each connection that
    // failed and, the first time, for each pattern that found no port.
    std::vector<std::string> connect(const std::vector<std::string>& patterns);
    // A port has been registered since the last call.
    bool takeAppearedPorts() { return appeared.exchange(false); }
    // Deactivates and closes; the callback no longer runs afterwards.
    void close();

    // What the server runs at now, as the notifications last told.
    double sampleRate() const { return double(rate.load()); }
    int32_t bufferSize() const { return int32_t(period.load()); }
    // The server stopped or threw the client out.
    bool serverGone() const { return gone.load(); }

private:
    static int process(jack_nframes_t frames, void* session);
    static int sampleRateChanged(jack_nframes_t rate, void* session);
    static int bufferSizeChanged(jack_nframes_t frames, void* session);
    static void shutdown(jack_status_t code, const char* reason, void* session);
    static void shutdownPlain(void* session);
    static void portRegistered(jack_port_id_t port, int registered, void* session);
    std::vector<std::string> outputPorts(const char* pattern, unsigned long flags) const;

    PluginDriver& plugin;
    AudioGate& audioGate;
    jack_client_t* client = nullptr;
    jack_port_t* ports[2] = {nullptr, nullptr};
    bool active = false;
    std::atomic<jack_nframes_t> rate{0};
    std::atomic<jack_nframes_t> period{0};
    std::atomic<bool> gone{false};
    std::atomic<bool> appeared{false};
    // Every source port connect() has met, in the order it met them.
    std::vector<std::string> connected;
    bool firstConnect = true;
};
