// What the user asked for on the command line.
#pragma once

#include <cstdint>
#include <string>

struct HostOptions {
    static constexpr int32_t kDefaultBlockSize = 512;
    static constexpr int32_t kMaxBlockSize = 1 << 20;

    std::string inputPath; // empty: play the built-in demo signal
    std::string csvPath;   // empty: no CSV file
    int32_t blockSize = kDefaultBlockSize;
    bool quiet = false;
    bool showHelp = false;
};
