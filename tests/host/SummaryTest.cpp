#include <gtest/gtest.h>

#include <sstream>

#include "host/Summary.h"

namespace {

size_t countLines(const std::string& text, const std::string& start) {
    size_t count = 0;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        count += line.rfind(start, 0) == 0 ? 1 : 0;
    }
    return count;
}

TEST(SummaryTest, ListsLoudestBandsWithTheirFrequencies) {
    Summary summary{BandTable(44100.0)};
    std::string error;
    BandLevels often{};
    BandLevels once{};
    often[4] = 1.0f;
    once[4] = 1.0f;
    once[40] = 1.0f;
    once[2] = 0.5f;
    ASSERT_TRUE(summary.addFrame(0.0, often, error));
    ASSERT_TRUE(summary.addFrame(0.1, once, error));
    std::ostringstream out;
    summary.print(out, "test input");
    const std::string text = out.str();

    EXPECT_NE(text.find("Input:  test input"), std::string::npos);
    EXPECT_NE(text.find("Frames: 2 analysed"), std::string::npos);
    // Equal peaks: the band that is loud more often comes first.
    const size_t first = text.find("  band  4      904 -    1120 Hz  peak 1.000  mean 1.000");
    const size_t second = text.find("  band 40     9173 -    9388 Hz  peak 1.000  mean 0.500");
    const size_t third = text.find("  band  2      431 -     689 Hz  peak 0.500");
    ASSERT_NE(first, std::string::npos) << text;
    ASSERT_NE(second, std::string::npos) << text;
    ASSERT_NE(third, std::string::npos) << text;
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_EQ(countLines(text, "  band "), 3u) << "silent bands are not listed";

    // 97 bands, 4 a row: 25 rows, the last one band 96 alone.
    EXPECT_EQ(countLines(text, "  bands "), 25u);
    EXPECT_NE(text.find("  bands  4- 7    904- 1809 Hz |####################| 1.00"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  bands 96-96  22050-22050 Hz |                    | 0.00"),
              std::string::npos)
        << text;
}

TEST(SummaryTest, SaysWhenNothingWasAnalysedOrAllWasSilent) {
    std::ostringstream none;
    Summary(BandTable(44100.0)).print(none, "short");
    EXPECT_NE(none.str().find("none analysed"), std::string::npos);

    Summary silent{BandTable(44100.0)};
    std::string error;
    ASSERT_TRUE(silent.addFrame(0.0, BandLevels{}, error));
    std::ostringstream out;
    silent.print(out, "quiet");
    EXPECT_NE(out.str().find("Every band stayed at level 0"), std::string::npos);
    EXPECT_EQ(out.str().find("Loudest"), std::string::npos);
}

TEST(SummaryTest, NamesTheAxisAndRangesOfTheBandsItWasGiven) {
    BandTable::StartBins starts{};
    for (size_t band = 0; band < kBandCount; ++band) {
        starts[band] = static_cast<int32_t>(band) * 2;
    }
    Summary summary{BandTable(44100.0, starts, BandTable::Axis::logarithmic)};
    BandLevels levels{};
    levels[10] = 0.75f; // bins 20 and 21
    std::string error;
    ASSERT_TRUE(summary.addFrame(0.0, levels, error));
    std::ostringstream out;
    summary.print(out, "log");
    EXPECT_NE(out.str().find("logarithmic axis, 43.07 Hz per bin"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("  band 10      861 -     947 Hz  peak 0.750"), std::string::npos)
        << out.str();
}

} // namespace
