#include "host/Spectrogram.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "host/LevelScale.h"
#include "platform/headless/PngCodec.h"
#include "platform/platform.h"

namespace {

constexpr int32_t kTargetPlotWidth = 720;
constexpr int32_t kMinPlotWidth = 240;
constexpr int32_t kMaxColumnWidth = 24;
constexpr int32_t kMarginLeft = 60;
constexpr int32_t kMarginTop = 30;
constexpr int32_t kMarginRight = 112;
constexpr int32_t kMarginBottom = 34;
constexpr int32_t kKeyGap = 16;
constexpr int32_t kKeyWidth = 12;
constexpr int32_t kTickLength = 4;
constexpr int32_t kMinTickSpacing = 60;

constexpr uint32_t kBackground = 0xFF0C0E26u;
constexpr uint32_t kTextColour = 0xFFD2D6E4u;
constexpr uint32_t kLineColour = 0xFF70758Eu;
constexpr int32_t kTextFont = 4;  // 11 px
constexpr int32_t kTitleFont = 2; // 14 px

// Anchors of the colour map, evenly spaced from level 0 to level 1: dark to
// bright in steadily rising lightness, so a level reads the same in any part
// of the picture and in grey print.
constexpr uint32_t kAnchors[] = {0x000004u, 0x1F0C48u, 0x550F6Du, 0x88226Au, 0xBA3655u,
                                 0xE35933u, 0xF98C0Au, 0xF9C932u, 0xFCFFA4u};
constexpr size_t kAnchorCount = sizeof kAnchors / sizeof kAnchors[0];

struct Canvas {
    std::vector<uint32_t>& pixels;
    int32_t width;
    int32_t height;

    void fill(int32_t left, int32_t top, int32_t right, int32_t bottom, uint32_t colour) {
        left = std::max(left, 0);
        top = std::max(top, 0);
        right = std::min(right, width);
        bottom = std::min(bottom, height);
        for (int32_t y = top; y < bottom; ++y) {
            std::fill_n(pixels.begin() + ptrdiff_t(y) * width + left, std::max(right - left, 0),
                        colour);
        }
    }

    void text(const char* line, int32_t font, platform::Rect box, platform::TextAlign align,
              uint32_t colour) {
        const platform::Surface surface{width, height, pixels.data()};
        platform::TextRun run;
        run.text = line;
        run.font = font;
        run.box = box;
        run.clip = platform::Rect{0, 0, width, height};
        run.align = align;
        run.colour = colour;
        platform::drawText(surface, run);
    }
};

std::string frequencyText(double hz) {
    char text[32];
    if (hz < 999.5) {
        std::snprintf(text, sizeof text, "%.0f Hz", hz);
    } else if (std::fabs(hz - 1000.0 * std::round(hz / 1000.0)) < 0.5) {
        std::snprintf(text, sizeof text, "%.0f kHz", hz / 1000.0);
    } else {
        std::snprintf(text, sizeof text, "%.1f kHz", hz / 1000.0);
    }
    return text;
}

std::string timeText(double seconds, double step) {
    char text[32];
    if (step >= 60.0) {
        std::snprintf(text, sizeof text, "%.0f min", seconds / 60.0);
    } else if (step < 1.0) {
        std::snprintf(text, sizeof text, "%.1f s", seconds);
    } else {
        std::snprintf(text, sizeof text, "%.0f s", seconds);
    }
    return text;
}

} // namespace

int32_t Spectrogram::Layout::bandTop(size_t band) const {
    return plotBottom() - static_cast<int32_t>(band + 1) * kRowHeight;
}

int32_t Spectrogram::Layout::columnLeft(size_t column) const {
    return plotLeft + static_cast<int32_t>(column) * columnWidth;
}

Spectrogram::Spectrogram(const BandTable& bands, double hopSeconds, double gainDb)
    : bands(bands), hopSeconds(hopSeconds), gainDb(gainDb) {}

bool Spectrogram::addFrame(double, const BandLevels& levels, std::string&) {
    if (frameCount % framesPerColumn == 0) {
        columns.push_back(levels);
    } else {
        BandLevels& column = columns.back();
        for (size_t band = 0; band < kBandCount; ++band) {
            column[band] = std::max(column[band], levels[band]);
        }
    }
    ++frameCount;
    if (columns.size() > size_t(kMaxColumns)) {
        // Twice the frames per column: each pair of columns becomes one.
        for (size_t column = 0; column < columns.size(); ++column) {
            BandLevels& merged = columns[column / 2];
            if (column % 2 == 0) {
                merged = columns[column];
                continue;
            }
            for (size_t band = 0; band < kBandCount; ++band) {
                merged[band] = std::max(merged[band], columns[column][band]);
            }
        }
        columns.resize((columns.size() + 1) / 2);
        framesPerColumn *= 2;
    }
    return true;
}

Spectrogram::Layout Spectrogram::layoutFor(size_t frameCount) {
    Layout layout;
    while ((frameCount + layout.framesPerColumn - 1) / layout.framesPerColumn >
           size_t(kMaxColumns)) {
        layout.framesPerColumn *= 2;
    }
    layout.columns = (frameCount + layout.framesPerColumn - 1) / layout.framesPerColumn;
    if (layout.columns > 0) {
        const int32_t columns = static_cast<int32_t>(layout.columns);
        // Wide enough to see single frames, but a short input still fills
        // a plot that the scales fit under.
        const int32_t widest = std::max(kMaxColumnWidth, (kMinPlotWidth + columns - 1) / columns);
        layout.columnWidth = std::clamp(kTargetPlotWidth / columns, 1, widest);
        layout.plotWidth = columns * layout.columnWidth;
    } else {
        layout.plotWidth = kMinPlotWidth;
    }
    layout.plotHeight = static_cast<int32_t>(kBandCount) * kRowHeight;
    layout.plotLeft = kMarginLeft;
    layout.plotTop = kMarginTop;
    layout.width = kMarginLeft + layout.plotWidth + kMarginRight;
    layout.height = kMarginTop + layout.plotHeight + kMarginBottom;
    return layout;
}

uint32_t Spectrogram::colour(float level) {
    const float clamped = std::isnan(level) ? 0.0f : std::clamp(level, 0.0f, 1.0f);
    const float position = clamped * static_cast<float>(kAnchorCount - 1);
    const size_t low = std::min(static_cast<size_t>(position), kAnchorCount - 2);
    const float t = position - static_cast<float>(low);
    uint32_t result = 0xFF000000u;
    for (int shift : {16, 8, 0}) {
        const float a = static_cast<float>((kAnchors[low] >> shift) & 0xFFu);
        const float b = static_cast<float>((kAnchors[low + 1] >> shift) & 0xFFu);
        const auto channel = static_cast<uint32_t>(std::lround(a + (b - a) * t));
        result |= channel << shift;
    }
    return result;
}

std::vector<uint32_t> Spectrogram::render() const {
    const Layout layout = this->layout();
    std::vector<uint32_t> pixels(size_t(layout.width) * size_t(layout.height), kBackground);
    Canvas canvas{pixels, layout.width, layout.height};

    canvas.fill(layout.plotLeft - 1, layout.plotTop - 1, layout.plotRight() + 1,
                layout.plotBottom() + 1, kLineColour);
    canvas.fill(layout.plotLeft, layout.plotTop, layout.plotRight(), layout.plotBottom(),
                colour(0.0f));
    for (size_t column = 0; column < layout.columns; ++column) {
        const int32_t left = layout.columnLeft(column);
        for (size_t band = 0; band < kBandCount; ++band) {
            const int32_t top = layout.bandTop(band);
            canvas.fill(left, top, left + layout.columnWidth, top + kRowHeight,
                        colour(columns[column][band]));
        }
    }
    drawScales(pixels, layout);
    return pixels;
}

void Spectrogram::drawScales(std::vector<uint32_t>& pixels, const Layout& layout) const {
    Canvas canvas{pixels, layout.width, layout.height};
    using platform::TextAlign;

    std::string title =
        std::string("Band levels over time, ") + bands.axisName() + " frequency axis";
    if (gainDb != 0.0) {
        title += ", input gain " + LevelScale::gainText(gainDb);
    }
    canvas.text(title.c_str(), kTitleFont,
                platform::Rect{layout.plotLeft, 4, layout.width, layout.plotTop - 6},
                TextAlign::left, kTextColour);

    // Frequency: where the editor puts its labels, both ends and every
    // quarter of the axis.
    for (size_t band = 0; band < kBandCount; band += (kBandCount - 1) / 4) {
        const int32_t middle = layout.bandTop(band) + kRowHeight / 2;
        canvas.fill(layout.plotLeft - 1 - kTickLength, middle, layout.plotLeft - 1, middle + 1,
                    kLineColour);
        const std::string text = frequencyText(bands.axisHz(static_cast<double>(band)));
        canvas.text(text.c_str(), kTextFont,
                    platform::Rect{0, middle - 8, layout.plotLeft - 3 - kTickLength, middle + 9},
                    TextAlign::right, kTextColour);
    }

    // Time: column c shows the frames from hop c * framesPerColumn on.
    const double pixelsPerSecond =
        layout.columnWidth > 0 ? layout.columnWidth / (hopSeconds * layout.framesPerColumn) : 0.0;
    if (pixelsPerSecond > 0.0) {
        double step = 3600.0;
        for (double candidate :
             {0.1, 0.2, 0.5, 1.0, 2.0, 5.0, 10.0, 15.0, 30.0, 60.0, 120.0, 300.0, 600.0, 1800.0}) {
            if (candidate * pixelsPerSecond >= kMinTickSpacing) {
                step = candidate;
                break;
            }
        }
        for (int32_t k = 0;; ++k) {
            const double seconds = k * step;
            const int32_t x = layout.plotLeft + static_cast<int32_t>(seconds * pixelsPerSecond);
            if (x > layout.plotRight()) {
                break;
            }
            canvas.fill(x, layout.plotBottom() + 1, x + 1, layout.plotBottom() + 1 + kTickLength,
                        kLineColour);
            const std::string text = timeText(seconds, step);
            const int32_t top = layout.plotBottom() + 2 + kTickLength;
            canvas.text(text.c_str(), kTextFont, platform::Rect{x - 40, top, x + 41, top + 14},
                        TextAlign::centre, kTextColour);
        }
    }

    // The key: the colour map from level 0 at the bottom to 1 at the top,
    // each end and the middle named in dB of the transform and below in
    // dBFS of a sine in both channels.
    const int32_t keyLeft = layout.plotRight() + kKeyGap;
    const int32_t keyRight = keyLeft + kKeyWidth;
    canvas.fill(keyLeft - 1, layout.plotTop - 1, keyRight + 1, layout.plotBottom() + 1,
                kLineColour);
    for (int32_t y = layout.plotTop; y < layout.plotBottom(); ++y) {
        const float level = static_cast<float>(layout.plotBottom() - 1 - y) /
                            static_cast<float>(layout.plotHeight - 1);
        canvas.fill(keyLeft, y, keyRight, y + 1, colour(level));
    }
    const float keyLevels[] = {1.0f, 0.5f, 0.0f};
    const int32_t keyRows[] = {layout.plotTop, layout.plotTop + layout.plotHeight / 2,
                               layout.plotBottom() - 1};
    for (size_t i = 0; i < 3; ++i) {
        canvas.fill(keyRight + 1, keyRows[i], keyRight + 1 + kTickLength, keyRows[i] + 1,
                    kLineColour);
        char transform[32];
        char sine[32];
        std::snprintf(transform, sizeof transform, "%+.0f dB",
                      LevelScale::transformDb(keyLevels[i]));
        std::snprintf(sine, sizeof sine, "%.1f dBFS", LevelScale::sineDbfs(keyLevels[i], gainDb));
        // The top label hangs below its tick and the bottom one stands on it.
        const int32_t top = i == 0 ? keyRows[i] - 6 : i == 1 ? keyRows[i] - 13 : keyRows[i] - 22;
        const int32_t left = keyRight + 3 + kTickLength;
        canvas.text(i == 1 ? "0 dB" : transform, kTextFont,
                    platform::Rect{left, top, layout.width, top + 14}, TextAlign::left,
                    kTextColour);
        canvas.text(sine, kTextFont, platform::Rect{left, top + 13, layout.width, top + 27},
                    TextAlign::left, kLineColour);
    }
    canvas.text("dBFS of a sine", kTextFont,
                platform::Rect{keyLeft - 4, layout.plotBottom() + 2 + kTickLength, layout.width,
                               layout.plotBottom() + 16 + kTickLength},
                TextAlign::left, kLineColour);
    canvas.text("in both channels", kTextFont,
                platform::Rect{keyLeft - 4, layout.plotBottom() + 15 + kTickLength, layout.width,
                               layout.plotBottom() + 29 + kTickLength},
                TextAlign::left, kLineColour);
}

bool Spectrogram::write(std::FILE* stream, const std::string& software, std::string& error) const {
    const Layout layout = this->layout();
    const std::vector<uint32_t> pixels = render();
    if (PngCodec::write(stream, layout.width, layout.height, pixels.data(), software) !=
        platform::Status::ok) {
        error = "cannot write PNG file";
        return false;
    }
    return true;
}
