#include "live/LiveApp.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "platform/desktop.h"
#include "resources/embeddedIcon.h"

std::atomic<bool> LiveApp::stopRequested{false};

namespace {

void say(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", LiveOptions::kProgramName, message.c_str());
}

std::string serverName() {
    const char* server = std::getenv("JACK_DEFAULT_SERVER");
    return server && *server ? std::string(" '") + server + "'" : std::string();
}

} // namespace

LiveApp::~LiveApp() {
    shutDown();
}

int LiveApp::run() {
    JackSession::silenceJack();
    std::string error;
    if (!driver.create(error)) {
        say(error);
        return 1;
    }
    switch (session.open(options.clientName, error)) {
    case JackSession::Opened::ok:
        break;
    case JackSession::Opened::noServer:
        say("no JACK server" + serverName() +
            " is running; start one (jackd, or PipeWire with pipewire-jack) first");
        return 1;
    case JackSession::Opened::failed:
        say(error);
        return 1;
    }
    name = session.clientName();
    if (name != options.clientName) {
        say("the JACK client is called '" + name + "'");
    }
    // The plug-in learns the server's format before its window opens, as
    // from a host, so that the axis is labelled for that rate.
    driver.start(session.sampleRate(), session.bufferSize());
    if (!openWindow() || !startAudio(true)) {
        shutDown();
        return 1;
    }

    int status = 0;
    while (!stopRequested.load()) {
        bool closeRequested = false;
        if (platform::pumpDesktopWindow(window, &closeRequested) != platform::Status::ok) {
            say("the X display has gone");
            status = 1;
            break;
        }
        if (closeRequested) {
            break;
        }
        if (session.isOpen() && session.serverGone()) {
            loseServer();
        } else if (session.isOpen()) {
            followFormat();
            if (session.takeAppearedPorts() && !options.noConnect) {
                for (const std::string& problem : session.connect(options.connect)) {
                    say(problem);
                }
            }
        } else if (platform::tickCount() - lastAttempt >= kReconnectMs) {
            tryReconnect();
        }
        driver.idleEditor();
        platform::sleep(kIdleMs);
    }
    shutDown();
    return status;
}

bool LiveApp::openWindow() {
    int32_t width = 0;
    int32_t height = 0;
    if (!driver.editorSize(&width, &height)) {
        say("the plug-in does not tell its window's size");
        return false;
    }
    platform::DesktopWindowSetup setup;
    setup.title = name.c_str();
    setup.instanceName = name.c_str();
    setup.className = LiveOptions::kProgramName;
    setup.width = width;
    setup.height = height;
    setup.icon = kWindowIcon;
    setup.iconLength = kWindowIconLength;
    if (platform::createDesktopWindow(setup, &window) != platform::Status::ok) {
        const char* display = std::getenv("DISPLAY");
        say(std::string("cannot open a window on the X display '") + (display ? display : "") +
            "'");
        return false;
    }
    std::string error;
    if (!driver.openEditor(platform::desktopWindowParent(window), error)) {
        say(error);
        return false;
    }
    platform::showDesktopWindow(window);
    return true;
}

bool LiveApp::startAudio(bool firstTime) {
    gate.close();
    driver.start(session.sampleRate(), session.bufferSize());
    gate.openGate();
    std::string error;
    if (!session.activate(error)) {
        say(error);
        gate.close();
        driver.stop();
        session.close();
        return !firstTime;
    }
    if (!options.noConnect) {
        for (const std::string& problem : session.connect(options.connect)) {
            say(problem);
        }
    }
    return true;
}

void LiveApp::followFormat() {
    const int32_t block = std::min(session.bufferSize(), PluginDriver::kMaxBlock);
    if (session.sampleRate() == driver.sampleRate() && block == driver.blockSize()) {
        return;
    }
    // As a host does: suspend, tell, resume; the callback waits outside.
    // A new rate stays suspended for one idle of the window, which then
    // labels its axis anew when it brings the bars back.
    gate.close();
    if (session.sampleRate() != driver.sampleRate()) {
        driver.stop();
        driver.idleEditor();
    }
    driver.start(session.sampleRate(), session.bufferSize());
    gate.openGate();
}

void LiveApp::loseServer() {
    gate.close();
    driver.stop(); // the window dims
    session.close();
    say("the JACK server has gone; waiting for it to come back");
    showTitle();
    lastAttempt = platform::tickCount();
}

void LiveApp::tryReconnect() {
    lastAttempt = platform::tickCount();
    std::string error;
    if (session.open(options.clientName, error) != JackSession::Opened::ok) {
        return;
    }
    name = session.clientName();
    if (startAudio(false) && session.isOpen()) {
        say("connected to the JACK server as '" + name + "'");
    }
    showTitle();
}

void LiveApp::showTitle() {
    const std::string title = session.isOpen() ? name : name + " (no JACK server)";
    platform::setDesktopWindowTitle(window, title.c_str());
}

void LiveApp::shutDown() {
    gate.close();
    session.close();
    driver.closeEditor();
    if (window) {
        platform::destroyDesktopWindow(window);
        window = nullptr;
    }
    driver.close();
}
