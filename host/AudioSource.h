// A stream of audio for the plug-in's two inputs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class AudioSource {
public:
    virtual ~AudioSource() = default;

    virtual double sampleRate() const = 0;
    // Channels of the stream itself; the plug-in always gets two.
    virtual int32_t channelCount() const = 0;
    // Total sample frames, or -1 when the stream does not know.
    virtual int64_t frameCount() const = 0;
    // One line for the user: what is played and how it reaches the inputs.
    virtual std::string describe() const = 0;

    // Reads up to maxFrames frames into left and right; 0 at the end or on
    // error (see error()).
    virtual size_t read(float* left, float* right, size_t maxFrames) = 0;
    // Empty unless reading failed.
    virtual std::string error() const = 0;
};
