#include "host/Summary.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "host/LevelScale.h"

namespace {

std::string fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

} // namespace

Summary::Summary(const BandTable& bands) : bands(bands) {}

bool Summary::addFrame(double timeSeconds, const BandLevels& levels, std::string&) {
    for (size_t band = 0; band < kBandCount; ++band) {
        peakLevels[band] = std::max(peakLevels[band], levels[band]);
        levelSums[band] += levels[band];
    }
    ++frameCount;
    lastFrameTime = timeSeconds;
    return true;
}

void Summary::setEarlyEnd(double endSeconds, double declaredSeconds) {
    endedAt = endSeconds;
    declaredLength = declaredSeconds;
}

double Summary::meanLevel(size_t band) const {
    return frameCount > 0 && band < kBandCount ? levelSums[band] / frameCount : 0.0;
}

void Summary::print(std::ostream& out, const std::string& inputDescription) const {
    out << "Input:  " << inputDescription << '\n';
    if (endedAt >= 0.0) {
        out << "Ended:  early, at " << fixed(endedAt, 2) << " s of the " << fixed(declaredLength, 2)
            << " s its header declares; the rest is missing\n";
    }
    if (gainDb != 0.0) {
        out << "Gain:   " << LevelScale::gainText(gainDb) << ", applied before the plug-in\n";
    }
    if (frameCount == 0) {
        out << "Frames: none analysed; the input is shorter than 1024 samples.\n";
        return;
    }
    out << "Frames: " << frameCount << " analysed (1024 of every 4096 samples; the last ends at "
        << fixed(lastFrameTime, 3) << " s)\n";
    out << "Scale:  levels 0..1 are -30..+30 dB of the unscaled 1024-point transform of the\n"
        << "        summed, windowed channels: " << fixed(LevelScale::sineDbfs(0.0, gainDb), 1)
        << ".." << fixed(LevelScale::sineDbfs(1.0, gainDb), 1)
        << " dBFS of a sine in both channels\n";
    if (gainDb != 0.0) {
        out << "        (in the input, before the " << LevelScale::gainText(gainDb) << " gain)\n";
    }
    out << '\n';
    if (std::all_of(peakLevels.begin(), peakLevels.end(), [](float v) { return v <= 0.0f; })) {
        out << "Every band stayed at level 0 (-30 dB or less in every bin).\n";
        return;
    }
    printLoudest(out);
    out << '\n';
    printChart(out);
}

void Summary::printLoudest(std::ostream& out) const {
    std::vector<size_t> order;
    for (size_t band = 0; band < kBandCount; ++band) {
        if (peakLevels[band] > 0.0f) {
            order.push_back(band);
        }
    }
    // Loudest peak first; among equal peaks (many reach 1) the band that is
    // loud most of the time, then band order.
    std::stable_sort(order.begin(), order.end(), [this](size_t a, size_t b) {
        if (peakLevels[a] != peakLevels[b]) {
            return peakLevels[a] > peakLevels[b];
        }
        return levelSums[a] > levelSums[b];
    });
    order.resize(std::min(order.size(), kLoudestShown));

    out << "Loudest bands (levels 0..1 over all frames; " << bands.axisName() << " axis, "
        << fixed(bands.binWidth(), 2) << " Hz per bin):\n";
    for (size_t band : order) {
        char line[128];
        std::snprintf(line, sizeof line, "  band %2zu  %7.0f - %7.0f Hz  peak %.3f  mean %.3f\n",
                      band, bands.lowHz(band), bands.highHz(band),
                      static_cast<double>(peakLevels[band]), meanLevel(band));
        out << line;
    }
}

void Summary::printChart(std::ostream& out) const {
    out << "Peak level by band, " << kBandsPerRow << " bands a row (each # is "
        << fixed(1.0 / kBarWidth, 2) << "):\n";
    for (size_t first = 0; first < kBandCount; first += kBandsPerRow) {
        const size_t last = std::min(first + kBandsPerRow, kBandCount) - 1;
        float level = 0.0f;
        for (size_t band = first; band <= last; ++band) {
            level = std::max(level, peakLevels[band]);
        }
        const int filled = std::clamp(static_cast<int>(level * kBarWidth + 0.5f), 0, kBarWidth);
        char label[64];
        std::snprintf(label, sizeof label, "  bands %2zu-%2zu  %5.0f-%5.0f Hz |", first, last,
                      bands.lowHz(first), bands.highHz(last));
        out << label << std::string(static_cast<size_t>(filled), '#')
            << std::string(static_cast<size_t>(kBarWidth - filled), ' ') << "| " << fixed(level, 2)
            << '\n';
    }
}
