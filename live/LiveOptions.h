// The command line of tq-spectrum-live, and what it asks for.
#pragma once

#include <string>
#include <vector>

struct LiveOptions {
    enum class Action { run, help, version, usageError };

    static constexpr const char* kProgramName = "tq-spectrum-live";

    Action action = Action::run;
    // The JACK client's name; JACK makes it unique when it is taken.
    std::string clientName = kProgramName;
    // JACK port names or patterns of the ports to read; empty: the
    // physical capture ports.
    std::vector<std::string> connect;
    bool noConnect = false;
    // What is wrong with the command line, for usageError.
    std::string error;

    // args excludes the program name.
    static LiveOptions parse(const std::vector<std::string>& args);
    static std::string helpText();
};
