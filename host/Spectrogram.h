// A picture of the band levels over time: time left to right, one column per
// analysed frame, bands bottom to top. A long input gets one column per 2, 4,
// 8, ... frames, the loudest of them, so that it keeps at most kMaxColumns
// columns, in the picture and in memory. Levels go through a colour map from near black
// (0, -30 dB) over purple, red and orange to pale yellow (1, +30 dB). Scales
// for time and frequency and a key of the colours frame the plot; the key
// gives each level in dB of the plug-in's transform and in dBFS of a sine in
// both channels of the input, and the title the input gain when there is one.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/BandTable.h"
#include "host/FrameSink.h"

class Spectrogram : public FrameSink {
public:
    static constexpr int32_t kRowHeight = 3;
    static constexpr int32_t kMaxColumns = 1440;

    // Where everything lies in the picture, for a number of frames.
    struct Layout {
        int32_t width = 0;
        int32_t height = 0;
        int32_t plotLeft = 0;
        int32_t plotTop = 0;
        int32_t plotWidth = 0;
        int32_t plotHeight = 0;
        size_t columns = 0;
        size_t framesPerColumn = 1;
        int32_t columnWidth = 0;

        int32_t plotRight() const { return plotLeft + plotWidth; }
        int32_t plotBottom() const { return plotTop + plotHeight; }
        // Top pixel row of a band's kRowHeight rows.
        int32_t bandTop(size_t band) const;
        // Left pixel column of a column's columnWidth.
        int32_t columnLeft(size_t column) const;
    };

    // hopSeconds: audio time from one analysed frame to the next; gainDb: the
    // trim the host applied to the input.
    Spectrogram(const BandTable& bands, double hopSeconds, double gainDb = 0.0);

    bool addFrame(double timeSeconds, const BandLevels& levels, std::string& error) override;
    size_t frames() const { return frameCount; }

    static Layout layoutFor(size_t frameCount);
    Layout layout() const { return layoutFor(frames()); }
    // layout().width * layout().height pixels, 0xFFRRGGBB, top row first.
    std::vector<uint32_t> render() const;
    // Writes the picture as PNG to a stream the caller owns, named by software.
    bool write(std::FILE* stream, const std::string& software, std::string& error) const;

    // The colour of a level; out of 0..1 (NaN too) it is clamped.
    static uint32_t colour(float level);

private:
    void drawScales(std::vector<uint32_t>& pixels, const Layout& layout) const;

    BandTable bands;
    double hopSeconds;
    double gainDb;
    size_t frameCount = 0;
    size_t framesPerColumn = 1;
    // Per column, the highest level of each band over its frames.
    std::vector<BandLevels> columns;
};
