// One file the program writes, kept from the user's folder until the whole run
// has succeeded: a regular file is replaced as every file this product
// writes is (core/replacementFile.h), its temporary file synced before the
// rename. "-" is standard output, and an existing device or pipe (/dev/null,
// a FIFO) is opened and written as a stream: neither can be replaced, and
// a failure leaves the node as it was.
#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "core/replacementFile.h"

class OutputFile {
public:
    explicit OutputFile(std::string destination);
    // Removes the temporary file unless it was committed.
    ~OutputFile();

    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Creates the temporary file, or opens the device or pipe; fails when the
    // destination cannot take it. `what` names the file in messages, such as
    // "CSV file".
    bool create(const std::string& what, std::string& error);
    // Where to write; owned by this file.
    std::FILE* stream() const;
    const std::string& destination() const { return target; }
    bool isStandardOutput() const { return target == "-"; }

    // Flushes what was written, checking every step, makes it durable and
    // moves it over the destination.
    bool commit(std::string& error);
    // Removes the temporary file now.
    void discard();

    // Installs, for every signal that would end the program and is neither
    // ignored nor handled already, a handler that removes every temporary
    // file not yet committed before the signal ends the program as it would
    // have anyway.
    static void removeTemporariesOnSignals();

private:
    std::string shownName() const;
    bool failWith(int code, std::string& error);

    std::string target;
    std::string what;
    std::unique_ptr<replacementFile> replacement; // a regular file
    std::FILE* direct = nullptr;                  // standard output, a device or a pipe
    std::string registered; // the temporary file's name, as the signal handler reads it
    int slot = -1;
};
