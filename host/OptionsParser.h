// Turns the command-line arguments into HostOptions, or into a message that
// says what is wrong with them.
#pragma once

#include <string>
#include <vector>

#include "host/HostOptions.h"

class OptionsParser {
public:
    // args excludes the program name. On failure returns false and sets error;
    // options may then be partly filled.
    bool parse(const std::vector<std::string>& args, HostOptions& options,
               std::string& error) const;

    static std::string helpText(const std::string& programName);

    // A whole decimal number from 1 to HostOptions::kMaxBlockSize, nothing else.
    static bool parseBlockSize(const std::string& text, int32_t& blockSize);
    // A decimal number of seconds, 0 or more, nothing else.
    static bool parseSeconds(const std::string& text, double& seconds);
    // A decimal number of decibels with an optional sign, within
    // HostOptions::kMaxGainDb either way.
    static bool parseGain(const std::string& text, double& decibels);
    // 1, 1.5 or 2 as a decimal number, into percent.
    static bool parseScale(const std::string& text, int32_t& percent);
};
