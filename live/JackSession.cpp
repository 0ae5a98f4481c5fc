#include "live/JackSession.h"

#include <algorithm>
#include <cerrno>

#include "live/AudioGate.h"
#include "live/PluginDriver.h"

namespace {

void ignoreMessage(const char*) {}

const char* const kPortNames[2] = {"in_1", "in_2"};

} // namespace

JackSession::~JackSession() {
    close();
}

void JackSession::silenceJack() {
    jack_set_error_function(&ignoreMessage);
    jack_set_info_function(&ignoreMessage);
}

JackSession::Opened JackSession::open(const std::string& name, std::string& error) {
    close();
    gone.store(false);
    jack_status_t status{};
    client = jack_client_open(name.c_str(), JackNoStartServer, &status);
    if (!client) {
        if (status & (JackServerFailed | JackServerError)) {
            return Opened::noServer;
        }
        error = status & JackInvalidOption ? "JACK refused the client name '" + name + "'"
                                           : "JACK refused to open the client";
        return Opened::failed;
    }
    // The library may have set its own printers while it met the server.
    silenceJack();
    jack_set_process_callback(client, &JackSession::process, this);
    jack_set_sample_rate_callback(client, &JackSession::sampleRateChanged, this);
    jack_set_buffer_size_callback(client, &JackSession::bufferSizeChanged, this);
    // JACK calls one of the two; PipeWire's library only the plain one.
    jack_on_shutdown(client, &JackSession::shutdownPlain, this);
    jack_on_info_shutdown(client, &JackSession::shutdown, this);
    jack_set_port_registration_callback(client, &JackSession::portRegistered, this);
    connected.clear();
    firstConnect = true;
    appeared.store(false);
    for (int channel = 0; channel < 2; ++channel) {
        ports[channel] = jack_port_register(client, kPortNames[channel], JACK_DEFAULT_AUDIO_TYPE,
                                            JackPortIsInput, 0);
        if (!ports[channel]) {
            error = std::string("JACK refused the port ") + kPortNames[channel];
            close();
            return Opened::failed;
        }
    }
    rate.store(jack_get_sample_rate(client));
    period.store(jack_get_buffer_size(client));
    return Opened::ok;
}

std::string JackSession::clientName() const {
    return client ? jack_get_client_name(client) : "";
}

bool JackSession::activate(std::string& error) {
    if (!client || jack_activate(client) != 0) {
        error = "JACK did not start the client";
        return false;
    }
    active = true;
    return true;
}

std::vector<std::string> JackSession::outputPorts(const char* pattern, unsigned long flags) const {
    std::vector<std::string> names;
    const char** found = jack_get_ports(client, pattern, JACK_DEFAULT_AUDIO_TYPE, flags);
    for (size_t i = 0; found && found[i]; ++i) {
        names.push_back(found[i]);
    }
    if (found) {
        jack_free(found);
    }
    return names;
}

std::vector<std::string> JackSession::connect(const std::vector<std::string>& patterns) {
    std::vector<std::string> problems;
    if (!client) {
        return problems;
    }
    std::vector<std::string> sources;
    if (patterns.empty()) {
        sources = outputPorts(nullptr, JackPortIsPhysical | JackPortIsOutput);
    }
    for (const std::string& pattern : patterns) {
        // A full name is taken as it stands, whatever characters it holds.
        jack_port_t* named = jack_port_by_name(client, pattern.c_str());
        std::vector<std::string> found;
        if (named && (jack_port_flags(named) & JackPortIsOutput)) {
            found.push_back(pattern);
        } else {
            found = outputPorts(pattern.c_str(), JackPortIsOutput);
        }
        if (found.empty() && firstConnect) {
            problems.push_back("no JACK output port matches '" + pattern +
                               "' yet; it is connected once one appears");
        }
        for (const std::string& port : found) {
            if (std::find(sources.begin(), sources.end(), port) == sources.end()) {
                sources.push_back(port);
            }
        }
    }
    // Only ports not met before: what the user has disconnected since
    // stays disconnected.
    for (const std::string& source : sources) {
        if (std::find(connected.begin(), connected.end(), source) != connected.end()) {
            continue;
        }
        const char* input = jack_port_name(ports[connected.size() % 2]);
        const int result = jack_connect(client, source.c_str(), input);
        if (result != 0 && result != EEXIST) {
            problems.push_back("cannot connect " + source + " to " + input);
        }
        connected.push_back(source);
    }
    firstConnect = false;
    return problems;
}

void JackSession::close() {
    if (!client) {
        return;
    }
    // After the server has gone, only closing is left to do.
    if (active && !gone.load()) {
        jack_deactivate(client);
    }
    jack_client_close(client);
    client = nullptr;
    ports[0] = ports[1] = nullptr;
    active = false;
}

int JackSession::process(jack_nframes_t frames, void* session) {
    auto* self = static_cast<JackSession*>(session);
    if (!self->audioGate.enter()) {
        return 0;
    }
    auto* left = static_cast<float*>(jack_port_get_buffer(self->ports[0], frames));
    auto* right = static_cast<float*>(jack_port_get_buffer(self->ports[1], frames));
    self->plugin.process(left, right, int32_t(frames));
    self->audioGate.leave();
    return 0;
}

int JackSession::sampleRateChanged(jack_nframes_t newRate, void* session) {
    static_cast<JackSession*>(session)->rate.store(newRate);
    return 0;
}

int JackSession::bufferSizeChanged(jack_nframes_t frames, void* session) {
    static_cast<JackSession*>(session)->period.store(frames);
    return 0;
}

void JackSession::shutdown(jack_status_t, const char*, void* session) {
    static_cast<JackSession*>(session)->gone.store(true);
}

void JackSession::portRegistered(jack_port_id_t, int registered, void* session) {
    if (registered) {
        static_cast<JackSession*>(session)->appeared.store(true);
    }
}

void JackSession::shutdownPlain(void* session) {
    static_cast<JackSession*>(session)->gone.store(true);
}
