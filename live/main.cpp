// tq-spectrum-live: the tq-spectrum plug-in as a JACK program with a window
// of its own.
#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "generated/version.h"
#include "live/LiveApp.h"
#include "live/LiveOptions.h"

namespace {

void onSignal(int) {
    LiveApp::requestStop();
}

} // namespace

int main(int argc, char** argv) {
    const LiveOptions options = LiveOptions::parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (options.action) {
    case LiveOptions::Action::help:
        std::fputs(LiveOptions::helpText().c_str(), stdout);
        return 0;
    case LiveOptions::Action::version:
        std::printf("%s %s\n", LiveOptions::kProgramName, productVersion::kText);
        return 0;
    case LiveOptions::Action::usageError:
        std::fprintf(stderr, "%s: %s\nTry '%s --help'.\n", LiveOptions::kProgramName,
                     options.error.c_str(), LiveOptions::kProgramName);
        return 2;
    case LiveOptions::Action::run:
        break;
    }
    // Set before JACK's threads exist, which then share the handlers.
    struct sigaction action {};
    action.sa_handler = &onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // Its terminal closing ends it as cleanly.
    sigaction(SIGHUP, &action, nullptr);

    LiveApp app(options);
    return app.run();
}
