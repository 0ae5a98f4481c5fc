// The command-line program: reads the options, plans and checks the output
// files, then runs each input (or the demo signal) through the plug-in with
// its window open when a picture is asked for, and writes the CSV file, the
// pictures and the summary. Every failure becomes a message on the error
// stream and an exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host/HostOptions.h"
#include "host/OutputPlan.h"

class HostApp {
public:
    static constexpr int kExitSuccess = 0;
    static constexpr int kExitFailure = 1;
    static constexpr int kExitUsage = 2;

    HostApp(std::ostream& out, std::ostream& err, bool errIsTerminal);

    // args excludes the program name. Returns the exit status.
    int run(const std::vector<std::string>& args);

private:
    // One input: its outputs appear only when it succeeds.
    int analyse(const HostOptions& options, const OutputPlan::Run& run, bool first);
    int fail(const std::string& message);

    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal;
};
