// The signal played when no file is given: 8 s at 44100 Hz stereo of steady
// tones (0-3 s), a rising sweep (3-6 s) and white noise (6-8 s). The same
// samples every run.
#pragma once

#include <cstdint>

#include "host/AudioSource.h"

class DemoSignal : public AudioSource {
public:
    static constexpr double kSampleRate = 44100.0;
    static constexpr int64_t kFrames = 8 * 44100;

    double sampleRate() const override { return kSampleRate; }
    int32_t channelCount() const override { return 2; }
    int64_t frameCount() const override { return kFrames; }
    std::string describe() const override;
    size_t read(float* left, float* right, size_t maxFrames) override;
    std::string error() const override { return {}; }

private:
    void nextSample(float& left, float& right);
    float noise();

    int64_t position = 0;
    double sweepPhase = 0.0;
    uint32_t noiseState = 0x9E3779B9u;
};
