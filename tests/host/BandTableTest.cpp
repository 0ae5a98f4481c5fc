#include <gtest/gtest.h>

#include "host/BandTable.h"

namespace {

TEST(BandTableTest, LinearStartBins) {
    const int32_t expected[][2] = {{0, 0},    {1, 5},    {2, 10},   {3, 16},  {4, 21},
                                   {21, 112}, {22, 117}, {95, 506}, {96, 512}};
    for (const auto& [band, bin] : expected) {
        EXPECT_EQ(SpectrumLayout::linearStartBin(band), bin) << "band " << band;
        EXPECT_EQ(BandTable(44100.0).startBin(static_cast<size_t>(band)), bin) << "band " << band;
    }
    EXPECT_EQ(BandTable(44100.0).endBin(95), 512);
    EXPECT_EQ(BandTable(44100.0).endBin(96), 513);
}

TEST(BandTableTest, BandsThatShareAStartBinEachCoverIt) {
    // The logarithmic axis at 44.1 kHz starts its first sixteen bands at bin
    // 0; band 80 starts at 500, and the top bands lie past the last level bin.
    BandTable::StartBins starts{};
    for (size_t band = 0; band < kBandCount; ++band) {
        starts[band] = band < 16 ? 0 : band == 16 ? 1 : static_cast<int32_t>(band) * 30 - 1900;
    }
    const BandTable table(44100.0, starts, BandTable::Axis::logarithmic);
    EXPECT_EQ(table.endBin(0), 1);
    EXPECT_EQ(table.endBin(15), 1);
    EXPECT_EQ(table.bandOfBin(0), 0u) << "the first of the bands that share the bin";
    EXPECT_EQ(table.bandOfBin(1), 16u);
    EXPECT_EQ(table.startBin(80), 500);
    EXPECT_EQ(table.bandOfBin(511), 80u);
    EXPECT_STREQ(table.axisName(), "logarithmic");
    EXPECT_STREQ(BandTable(44100.0).axisName(), "linear");
}

TEST(BandTableTest, AxisNamesItsEndsAndQuarters) {
    const BandTable linear(44100.0);
    EXPECT_DOUBLE_EQ(linear.axisHz(0.0), 0.0);
    EXPECT_DOUBLE_EQ(linear.axisHz(48.0), 11025.0);
    EXPECT_DOUBLE_EQ(linear.axisHz(96.0), 22050.0);
    const BandTable log(48000.0, BandTable::StartBins{}, BandTable::Axis::logarithmic);
    EXPECT_NEAR(log.axisHz(0.0), 10.0, 1e-9);
    EXPECT_NEAR(log.axisHz(24.0), 100.0, 1e-9);
    EXPECT_NEAR(log.axisHz(96.0), 100000.0, 1e-6);
}

TEST(BandTableTest, FrequenciesUseTheBinWidthOfTheRate) {
    const BandTable table(44100.0);
    EXPECT_DOUBLE_EQ(table.binWidth(), 44100.0 / 1024.0);
    EXPECT_DOUBLE_EQ(table.lowHz(4), 21 * 44100.0 / 1024.0);
    EXPECT_DOUBLE_EQ(table.highHz(4), 26 * 44100.0 / 1024.0);
    // Bin 512 carries no level: the top band is empty at half the rate.
    EXPECT_DOUBLE_EQ(table.lowHz(96), 22050.0);
    EXPECT_DOUBLE_EQ(table.highHz(96), 22050.0);
    EXPECT_EQ(table.bandOfFrequency(1000.0), 4u);  // bin 23
    EXPECT_EQ(table.bandOfFrequency(5000.0), 21u); // bin 116
    EXPECT_EQ(table.bandOfFrequency(22050.0), 96u);
    EXPECT_EQ(table.bandOfFrequency(30000.0), kBandCount);
    EXPECT_EQ(table.bandOfFrequency(-1.0), kBandCount);
    EXPECT_EQ(BandTable(48000.0).bandOfFrequency(1000.0), 4u); // bin 21
}

} // namespace
