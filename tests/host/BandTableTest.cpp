#include <gtest/gtest.h>

#include "host/BandTable.h"

namespace {

TEST(BandTableTest, LinearStartBins) {
    const int32_t expected[][2] = {{0, 0},    {1, 5},    {2, 10},   {3, 16},  {4, 21},
                                   {21, 112}, {22, 117}, {95, 506}, {96, 512}};
    for (const auto& [band, bin] : expected) {
        EXPECT_EQ(BandTable::startBin(static_cast<size_t>(band)), bin) << "band " << band;
    }
    EXPECT_EQ(BandTable::endBin(95), 512);
    EXPECT_EQ(BandTable::endBin(96), 513);
}

TEST(BandTableTest, FrequenciesUseTheBinWidthOfTheRate) {
    const BandTable table(44100.0);
    EXPECT_DOUBLE_EQ(table.binWidth(), 44100.0 / 1024.0);
    EXPECT_DOUBLE_EQ(table.lowHz(4), 21 * 44100.0 / 1024.0);
    EXPECT_DOUBLE_EQ(table.highHz(4), 26 * 44100.0 / 1024.0);
    EXPECT_EQ(table.bandOfFrequency(1000.0), 4u);  // bin 23
    EXPECT_EQ(table.bandOfFrequency(5000.0), 21u); // bin 116
    EXPECT_EQ(table.bandOfFrequency(22050.0), 96u);
    EXPECT_EQ(table.bandOfFrequency(30000.0), kBandCount);
    EXPECT_EQ(table.bandOfFrequency(-1.0), kBandCount);
    EXPECT_EQ(BandTable(48000.0).bandOfFrequency(1000.0), 4u); // bin 21
}

} // namespace
