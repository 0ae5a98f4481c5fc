// Collects the highest and the average level of every band over the run and
// prints what a user wants to see at the end: the input, where it ended when
// that was before its declared length, the input gain, the number of
// analysed frames, what the levels mean in dBFS, the loudest bands with their
// frequency ranges and a small bar chart of the peaks.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>

#include "host/BandTable.h"
#include "host/FrameSink.h"

class Summary : public FrameSink {
public:
    static constexpr size_t kLoudestShown = 8;
    static constexpr size_t kBandsPerRow = 4;
    static constexpr int kBarWidth = 20;

    explicit Summary(const BandTable& bands);

    bool addFrame(double timeSeconds, const BandLevels& levels, std::string& error) override;
    // The trim the host applied to the input, in dB.
    void setGain(double decibels) { gainDb = decibels; }
    // The input stopped at endSeconds, before the declaredSeconds its header gave.
    void setEarlyEnd(double endSeconds, double declaredSeconds);

    int64_t frames() const { return frameCount; }
    const BandLevels& peaks() const { return peakLevels; }
    // Average level of the band over all frames so far; 0 before any frame.
    double meanLevel(size_t band) const;

    void print(std::ostream& out, const std::string& inputDescription) const;

private:
    void printLoudest(std::ostream& out) const;
    void printChart(std::ostream& out) const;

    BandTable bands;
    BandLevels peakLevels{};
    std::array<double, kBandCount> levelSums{};
    int64_t frameCount = 0;
    double lastFrameTime = 0.0;
    double gainDb = 0.0;
    double endedAt = -1.0;
    double declaredLength = -1.0;
};
