// The picture of band levels over time: layout, colour map and plot pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/Spectrogram.h"
#include "platform/headless/PngCodec.h"
#include "tests/host/cliSupport.h"

namespace {

constexpr double kHop = 4096.0 / 44100.0;

// Perceived lightness, enough to tell whether a colour map rises steadily.
double lightness(uint32_t colour) {
    return 0.299 * ((colour >> 16) & 0xFF) + 0.587 * ((colour >> 8) & 0xFF) +
           0.114 * (colour & 0xFF);
}

TEST(SpectrogramTest, ColourMapRunsFromNearBlackToPaleYellowEverBrighter) {
    EXPECT_EQ(Spectrogram::colour(0.0f), 0xFF000004u);
    EXPECT_EQ(Spectrogram::colour(1.0f), 0xFFFCFFA4u);
    EXPECT_EQ(Spectrogram::colour(-3.0f), Spectrogram::colour(0.0f));
    EXPECT_EQ(Spectrogram::colour(7.0f), Spectrogram::colour(1.0f));
    EXPECT_EQ(Spectrogram::colour(std::numeric_limits<float>::quiet_NaN()),
              Spectrogram::colour(0.0f));
    double previous = -1.0;
    for (int step = 0; step <= 100; ++step) {
        const double now = lightness(Spectrogram::colour(step / 100.0f));
        EXPECT_GT(now, previous) << "level " << step / 100.0;
        previous = now;
    }
}

TEST(SpectrogramTest, LayoutGivesEachFrameAColumnAndEachBandThreeRows) {
    const Spectrogram::Layout demo = Spectrogram::layoutFor(86);
    EXPECT_EQ(demo.columns, 86u);
    EXPECT_EQ(demo.framesPerColumn, 1u);
    EXPECT_EQ(demo.columnWidth, 8);
    EXPECT_EQ(demo.plotWidth, 688);
    EXPECT_EQ(demo.plotHeight, 97 * 3);
    EXPECT_EQ(demo.bandTop(0), demo.plotBottom() - 3) << "band 0 at the bottom";
    EXPECT_EQ(demo.bandTop(96), demo.plotTop) << "band 96 at the top";
    EXPECT_LT(demo.plotRight(), demo.width) << "room for the key on the right";
    EXPECT_LT(demo.plotBottom(), demo.height) << "room for the time scale below";

    // A long input: frames share columns, never more than the limit.
    const Spectrogram::Layout hour = Spectrogram::layoutFor(38760);
    EXPECT_EQ(hour.framesPerColumn, 32u);
    EXPECT_EQ(hour.columns, 1212u);
    EXPECT_LE(hour.columns, size_t(Spectrogram::kMaxColumns));
    EXPECT_EQ(hour.columnWidth, 1);

    // Short inputs and none at all still get a plot the scales fit under.
    EXPECT_EQ(Spectrogram::layoutFor(1).plotWidth, 240);
    EXPECT_EQ(Spectrogram::layoutFor(0).columns, 0u);
    EXPECT_EQ(Spectrogram::layoutFor(0).plotWidth, 240);
}

TEST(SpectrogramTest, EachCellShowsItsLevelAndSharedColumnsTheLoudestFrame) {
    Spectrogram picture(BandTable(44100.0), kHop);
    std::string error;
    for (size_t frame = 0; frame < 3001; ++frame) {
        BandLevels levels{};
        levels[10] = frame == 1234 ? 1.0f : 0.25f;
        levels[50] = frame < 1500 ? 0.5f : 0.0f;
        ASSERT_TRUE(picture.addFrame(frame * kHop, levels, error));
    }
    const Spectrogram::Layout layout = picture.layout();
    ASSERT_EQ(layout.framesPerColumn, 4u);
    ASSERT_EQ(layout.columns, 751u) << "the last column holds one frame";
    const std::vector<uint32_t> pixels = picture.render();
    ASSERT_EQ(pixels.size(), size_t(layout.width) * size_t(layout.height));
    auto at = [&](size_t column, size_t band) {
        const int32_t x = layout.columnLeft(column);
        const int32_t y = layout.bandTop(band) + 1;
        return pixels[size_t(y) * size_t(layout.width) + size_t(x)];
    };
    EXPECT_EQ(at(0, 10), Spectrogram::colour(0.25f));
    EXPECT_EQ(at(1234 / 4, 10), Spectrogram::colour(1.0f)) << "one loud frame of four";
    EXPECT_EQ(at(1234 / 4 + 1, 10), Spectrogram::colour(0.25f));
    EXPECT_EQ(at(1499 / 4, 50), Spectrogram::colour(0.5f)) << "frames 1496 to 1499";
    EXPECT_EQ(at(1500 / 4, 50), Spectrogram::colour(0.0f));
    EXPECT_EQ(at(750, 50), Spectrogram::colour(0.0f));
    EXPECT_EQ(at(0, 11), Spectrogram::colour(0.0f));
}

TEST(SpectrogramTest, WritesItsPictureAndSaysWhenItCannot) {
    ScratchDir dir;
    Spectrogram picture(BandTable(48000.0), 4096.0 / 48000.0);
    std::string error;
    BandLevels levels{};
    levels[3] = 0.8f;
    ASSERT_TRUE(picture.addFrame(0.0, levels, error));
    const std::string path = dir.file("s.png");
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(picture.write(file, "tq-spectrum 9.9", error)) << error;
    std::fclose(file);
    EXPECT_EQ(PngCodec::software(path), "tq-spectrum 9.9");
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
    ASSERT_EQ(PngCodec::read(path, &width, &height, &pixels), platform::Status::ok);
    EXPECT_EQ(width, picture.layout().width);
    EXPECT_EQ(height, picture.layout().height);
    EXPECT_EQ(pixels, picture.render());

    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    EXPECT_FALSE(picture.write(full, "tq-spectrum", error));
    std::fclose(full);
    EXPECT_NE(error.find("cannot write PNG file"), std::string::npos) << error;
}

} // namespace
