// An audio file read through libsndfile. Damage is told apart by what
// follows it: audio that cannot be decoded with nothing after it is an early
// end, the rest missing; with audio after it, it is a gap that would shift
// every later frame, and reading stops with an error there. Mono feeds both inputs; of more than
// two channels the first two are used. "-" is standard input: a redirected
// file is read in place, anything else (a pipe) is first copied to an
// anonymous temporary file, so that every format that needs to seek (FLAC)
// reads from a pipe as it does from a file.
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
    // Whether the file opens as audio; what an output must not overwrite.
    static bool isAudio(const std::string& path);
    ~SndfileSource() override;

    SndfileSource(const SndfileSource&) = delete;
    SndfileSource& operator=(const SndfileSource&) = delete;

    double sampleRate() const override { return rate; }
    int32_t channelCount() const override { return channels; }
    // The length the file's header declares, even where the file holds less.
    int64_t frameCount() const override { return frames; }
    std::string describe() const override;
    size_t read(float* left, float* right, size_t maxFrames) override;
    std::string error() const override { return readError; }

private:
    SndfileSource(sf_private_tag* file, std::string path, double rate, int32_t channels,
                  int64_t frames, std::string formatName);

    std::string shownName() const;
    // How many decoding errors libsndfile has logged for the file so far.
    int decodingErrors();
    // Whether the file holds a frame there, read afresh.
    bool audioAt(int64_t frame) const;
    std::string damageText(int64_t frame) const;

    sf_private_tag* file;
    std::string path;
    double rate;
    int32_t channels;
    int64_t frames;
    int64_t framesRead = 0;
    std::string formatName;
    std::vector<float> interleaved;
    std::string log;
    int errorsLogged = 0;
    int64_t damagedAt = -1; // the frame where decoding first failed; -1: nowhere
    std::string readError;
    int spare = -1; // standard input's descriptor, kept to read it afresh
};
