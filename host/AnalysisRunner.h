// Plays a source through the plug-in: blocks of at most the chosen size, cut
// so that one ends exactly where a frame completes and where the clock
// listener asks to act; at a frame the frame's band levels are read and
// handed to every sink.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class AudioSource;
class ClockListener;
class FrameSink;
class PluginHost;
class ProgressReporter;

class AnalysisRunner {
public:
    AnalysisRunner(AudioSource& source, PluginHost& host, int32_t blockSize);

    void addSink(FrameSink& sink) { sinks.push_back(&sink); }
    void setProgress(ProgressReporter* reporter) { progress = reporter; }
    void setClock(ClockListener* listener) { clock = listener; }
    // Scales every sample before the plug-in gets it, as a host's input trim.
    void setGain(float factor) { gain = factor; }

    // Plays the whole source. False, with a message in error, when reading,
    // a sink or the clock listener fails.
    bool run(std::string& error);

    int64_t samplesProcessed() const { return samples; }
    int64_t framesAnalysed() const { return frames; }

private:
    AudioSource& source;
    PluginHost& host;
    int32_t blockSize;
    std::vector<FrameSink*> sinks;
    ProgressReporter* progress = nullptr;
    ClockListener* clock = nullptr;
    float gain = 1.0f;
    int64_t samples = 0;
    int64_t frames = 0;
};
