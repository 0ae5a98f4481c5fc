// What the user asked for on the command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct HostOptions {
    static constexpr int32_t kDefaultBlockSize = 512;
    static constexpr int32_t kMaxBlockSize = 1 << 20;
    // The input trim, in dB either way.
    static constexpr double kMaxGainDb = 100.0;
    // What the demo run writes, in the current directory, unless told otherwise.
    static constexpr const char* kDemoWindowPng = "tq-spectrum-demo.png";
    static constexpr const char* kDemoSpectrogramPng = "tq-spectrum-demo-spectrogram.png";
    // The name the demo's and standard input's outputs take in a folder.
    static constexpr const char* kDemoStem = "tq-spectrum-demo";
    static constexpr const char* kStandardInputStem = "stdin";
    // When the demo run pictures its window unless told otherwise: the
    // steady tones, each in its bar.
    static constexpr double kDemoPictureSeconds = 2.0;

    std::vector<std::string> inputPaths; // none: play the built-in demo signal; "-": stdin
    std::string csvPath;                 // empty: no CSV file; "-": standard output
    std::string pngPath;                 // empty: no picture of the window
    std::string spectrogramPath;         // empty: no spectrogram
    std::string bandsPath;               // empty: no band table
    double pictureSeconds = -1.0;        // when to picture the window; negative: at the end
    double gainDb = 0.0;                 // trim applied to the input before the plug-in
    bool logarithmic = false;
    int32_t blockSize = kDefaultBlockSize;
    int32_t windowScale = 100; // percent: the window's picture at 1x, 1.5x or 2x
    bool force = false;        // may replace a file that holds audio
    bool quiet = false;
    bool showHelp = false;
    bool showVersion = false;
};
