#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "host/CsvWriter.h"

namespace {

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> fields;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');) {
        fields.push_back(field);
    }
    return fields;
}

TEST(CsvWriterTest, HeaderNamesTheTimeAndEveryBand) {
    const std::string header = CsvWriter::headerLine();
    ASSERT_EQ(header.back(), '\n');
    const auto fields = split(header.substr(0, header.size() - 1));
    ASSERT_EQ(fields.size(), 98u);
    EXPECT_EQ(fields[0], "time_s");
    EXPECT_EQ(fields[1], "band0");
    EXPECT_EQ(fields[97], "band96");
}

TEST(CsvWriterTest, LevelsReadBackAsTheSameFloats) {
    BandLevels levels{};
    const float samples[] = {0.0f, 1.0f, 0.1f, 0.33333334f, 1e-7f, 0.016666668f, 0.99999994f};
    for (size_t band = 0; band < kBandCount; ++band) {
        levels[band] = samples[band % std::size(samples)] * (band < 7 ? 1.0f : 0.5f);
    }
    const std::string row = CsvWriter::formatRow(1.2345678, levels);
    ASSERT_EQ(row.back(), '\n');
    const auto fields = split(row.substr(0, row.size() - 1));
    ASSERT_EQ(fields.size(), 98u);
    EXPECT_EQ(fields[0], "1.234568");
    for (size_t band = 0; band < kBandCount; ++band) {
        EXPECT_EQ(std::strtof(fields[1 + band].c_str(), nullptr), levels[band]) << fields[1 + band];
    }
}

TEST(CsvWriterTest, ReportsAStreamItCannotWrite) {
    // A full disk shows up when the buffered rows reach it at the latest.
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    CsvWriter writer;
    std::string error;
    bool written = writer.open(full, "'/dev/full'", error);
    BandLevels levels{};
    for (int row = 0; row < 200 && written; ++row) {
        written = writer.addFrame(row, levels, error);
    }
    if (written) {
        written = writer.close(error);
    }
    std::fclose(full);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find("cannot write CSV file '/dev/full'"), std::string::npos) << error;
}

} // namespace
