// What the user asked for on the command line.
#pragma once

#include <cstdint>
#include <string>

struct HostOptions {
    static constexpr int32_t kDefaultBlockSize = 512;
    static constexpr int32_t kMaxBlockSize = 1 << 20;
    // What the demo run writes, in the current directory, unless told otherwise.
    static constexpr const char* kDemoWindowPng = "tq-spectrum-demo.png";
    static constexpr const char* kDemoSpectrogramPng = "tq-spectrum-demo-spectrogram.png";
    // When the demo run pictures its window unless told otherwise: the
    // steady tones, each in its bar.
    static constexpr double kDemoPictureSeconds = 2.0;

    std::string inputPath;        // empty: play the built-in demo signal
    std::string csvPath;          // empty: no CSV file
    std::string pngPath;          // empty: no picture of the window
    std::string spectrogramPath;  // empty: no spectrogram
    double pictureSeconds = -1.0; // when to picture the window; negative: at the end
    bool logarithmic = false;
    int32_t blockSize = kDefaultBlockSize;
    bool quiet = false;
    bool showHelp = false;
};
