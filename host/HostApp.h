// The command-line program: reads the options, picks the source, runs it
// through the plug-in with its window open when a picture is asked for, and
// writes the CSV file, the pictures and the summary. Every failure becomes a
// message on the error stream and an exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host/HostOptions.h"

class HostApp {
public:
    static constexpr int kExitSuccess = 0;
    static constexpr int kExitFailure = 1;
    static constexpr int kExitUsage = 2;

    HostApp(std::ostream& out, std::ostream& err, bool errIsTerminal);

    // args excludes the program name. Returns the exit status.
    int run(const std::vector<std::string>& args);

private:
    int analyse(HostOptions options);
    int fail(const std::string& message);
    // Creates each picture file now, so that a bad path fails before the run.
    bool createPictureFiles(const HostOptions& options, std::string& error);
    // Removes the picture files again after a failure.
    void removePictureFiles(const HostOptions& options);

    std::ostream& out;
    std::ostream& err;
    bool errIsTerminal;
};
