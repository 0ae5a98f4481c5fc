// One file the program writes, kept from the user's folder until the whole run
// has succeeded: it is written to a hidden temporary file beside its
// destination, which commit() renames over the destination. A run that fails,
// or is stopped by a signal, leaves the destination as it was and no
// temporary file behind. "-" is standard output, and an existing device or
// pipe (/dev/null, a FIFO) is written directly: neither can be replaced.
#pragma once

#include <string>

class OutputFile {
public:
    explicit OutputFile(std::string destination);
    // Removes the temporary file unless it was committed.
    ~OutputFile();

    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file; fails when the destination's folder cannot
    // take it. `what` names the file in messages, such as "CSV file".
    bool create(const std::string& what, std::string& error);
    // Where to write now: the temporary file, or the destination itself.
    const std::string& writePath() const;
    const std::string& destination() const { return target; }
    bool isStandardOutput() const { return target == "-"; }

    // Makes what was written durable and moves it over the destination.
    bool commit(std::string& error);
    // Removes the temporary file now.
    void discard();

    // Installs handlers for SIGINT, SIGTERM, SIGHUP and SIGPIPE that remove
    // every temporary file not yet committed before the signal ends the
    // program as it would have anyway. Signals set to be ignored stay so.
    static void removeTemporariesOnSignals();

private:
    std::string target;
    std::string replaced; // the file a link in target names, or target
    std::string temporary;
    std::string what;
    int slot = -1;
    bool pending = false; // the temporary file exists
};
