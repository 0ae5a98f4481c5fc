// Plays a source through the plug-in: blocks of at most the chosen size, cut
// so that one ends exactly where a frame completes; there the band levels are
// read, reset and handed to every sink.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class AudioSource;
class FrameSink;
class PluginHost;
class ProgressReporter;

class AnalysisRunner {
public:
    AnalysisRunner(AudioSource& source, PluginHost& host, int32_t blockSize);

    void addSink(FrameSink& sink) { sinks.push_back(&sink); }
    void setProgress(ProgressReporter* reporter) { progress = reporter; }

    // Plays the whole source. False, with a message in error, when reading or
    // a sink fails.
    bool run(std::string& error);

    int64_t samplesProcessed() const { return samples; }
    int64_t framesAnalysed() const { return frames; }

private:
    AudioSource& source;
    PluginHost& host;
    int32_t blockSize;
    std::vector<FrameSink*> sinks;
    ProgressReporter* progress = nullptr;
    int64_t samples = 0;
    int64_t frames = 0;
};
