// An audio file read through libsndfile. Mono feeds both inputs; of more than
// two channels the first two are used.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/AudioSource.h"

struct sf_private_tag;

class SndfileSource : public AudioSource {
public:
    // Null, with a message in error, when the file is missing or not audio.
    static std::unique_ptr<SndfileSource> open(const std::string& path, std::string& error);
    ~SndfileSource() override;

    SndfileSource(const SndfileSource&) = delete;
    SndfileSource& operator=(const SndfileSource&) = delete;

    double sampleRate() const override { return rate; }
    int32_t channelCount() const override { return channels; }
    int64_t frameCount() const override { return frames; }
    std::string describe() const override;
    size_t read(float* left, float* right, size_t maxFrames) override;
    std::string error() const override { return readError; }

private:
    SndfileSource(sf_private_tag* file, std::string path, double rate, int32_t channels,
                  int64_t frames, std::string formatName);

    sf_private_tag* file;
    std::string path;
    double rate;
    int32_t channels;
    int64_t frames;
    std::string formatName;
    std::vector<float> interleaved;
    std::string readError;
};
