// The built program run as a user runs it, on small generated audio files.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>

#include "host/BandTable.h"
#include "host/FrameSchedule.h"
#include "tests/host/cliSupport.h"

namespace {

constexpr int kRate = 44100;
// A sine of amplitude a in both channels at a bin centre gives that bin a
// magnitude of 552.5 a; at a = 1 / 552.5 that is 0 dB, level 0.5.
constexpr double kZeroDbAmplitude = 1.0 / 552.5;
constexpr int32_t kCentreBin = 100;
constexpr double kCentreHz = kCentreBin * 44100.0 / 1024.0;

class CliTest : public ::testing::Test {
protected:
    CsvTable analyse(const std::string& wav, std::vector<std::string> extra = {}) {
        const std::string csv = dir.file("out.csv");
        std::vector<std::string> args{wav, "--csv", csv, "--quiet"};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliResult run = runCli(args);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "") << "--quiet prints no summary";
        return readCsv(csv);
    }

    static double level(const std::vector<double>& row, size_t band) { return row[1 + band]; }

    ScratchDir dir;
};

TEST_F(CliTest, TonesLandInTheirBandsAndFarBandsStayLow) {
    const std::string wav = dir.file("tones.wav");
    writeWav(wav, kRate, 2, 2 * kRate, [](long i, int) {
        return sine(1000.0, 0.25, i, kRate) + sine(5000.0, 0.25, i, kRate);
    });
    const CsvTable table = analyse(wav);

    ASSERT_EQ(table.header.size(), 1 + kBandCount);
    EXPECT_EQ(table.header.front(), "time_s");
    EXPECT_EQ(table.header.back(), "band96");
    ASSERT_EQ(table.rows.size(), static_cast<size_t>(FrameSchedule::frameCountFor(2 * kRate)));

    const BandTable bands(kRate);
    const size_t low = bands.bandOfFrequency(1000.0);
    const size_t high = bands.bandOfFrequency(5000.0);
    ASSERT_EQ(low, 4u);
    ASSERT_EQ(high, 21u);
    for (size_t k = 0; k < table.rows.size(); ++k) {
        const std::vector<double>& row = table.rows[k];
        ASSERT_EQ(row.size(), 1 + kBandCount);
        // Each row is stamped with the moment its frame's last sample arrived.
        EXPECT_NEAR(row[0], (1024.0 + 4096.0 * k) / kRate, 1e-6);
        EXPECT_GT(level(row, low), 0.95);
        EXPECT_GT(level(row, high), 0.95);
        for (size_t band = bands.bandOfFrequency(10000.0); band < kBandCount; ++band) {
            EXPECT_LT(level(row, band), 0.1) << "band " << band << " frame " << k;
        }
    }
}

TEST_F(CliTest, EachStereoChannelReachesItsOwnInput) {
    // A different tone in each channel, each at twice the 0 dB amplitude since
    // only one channel carries it: both bins at level 0.5. Feeding one channel
    // to both inputs would show one tone at 0.6 and lose the other.
    constexpr int32_t kRightBin = 200;
    const std::string wav = dir.file("split.wav");
    writeWav(wav, kRate, 2, kRate, [](long i, int channel) {
        const double hz = (channel == 0 ? kCentreBin : kRightBin) * 44100.0 / 1024.0;
        return sine(hz, 2.0 * kZeroDbAmplitude, i, kRate);
    });
    const CsvTable table = analyse(wav);
    ASSERT_EQ(table.rows.size(), static_cast<size_t>(FrameSchedule::frameCountFor(kRate)));
    for (const auto& row : table.rows) {
        EXPECT_NEAR(level(row, BandTable(kRate).bandOfBin(kCentreBin)), 0.5, 0.01);
        EXPECT_NEAR(level(row, BandTable(kRate).bandOfBin(kRightBin)), 0.5, 0.01);
    }
}

TEST_F(CliTest, MonoFileFeedsBothInputs) {
    const std::string wav = dir.file("mono.wav");
    writeWav(wav, kRate, 1, kRate,
             [](long i, int) { return sine(kCentreHz, kZeroDbAmplitude, i, kRate); });
    const CsvTable table = analyse(wav);
    ASSERT_EQ(table.rows.size(), static_cast<size_t>(FrameSchedule::frameCountFor(kRate)));
    for (const auto& row : table.rows) {
        // Only one input would be 6 dB down: level 0.4.
        EXPECT_NEAR(level(row, BandTable(kRate).bandOfBin(kCentreBin)), 0.5, 0.01);
    }
}

TEST_F(CliTest, OfMoreThanTwoChannelsOnlyTheFirstTwoAreAnalysed) {
    const std::string wav = dir.file("three.wav");
    writeWav(wav, kRate, 3, kRate, [](long i, int channel) {
        return channel < 2 ? sine(1000.0, 0.25, i, kRate) : sine(15000.0, 0.9, i, kRate);
    });
    const CsvTable table = analyse(wav);
    ASSERT_FALSE(table.rows.empty());
    const BandTable bands(kRate);
    for (const auto& row : table.rows) {
        EXPECT_GT(level(row, bands.bandOfFrequency(1000.0)), 0.95);
        EXPECT_LT(level(row, bands.bandOfFrequency(15000.0)), 0.1);
    }
}

TEST_F(CliTest, RowsBelongToTheFramesWhoseSamplesTheyMeasureAtAnyBlockSize) {
    // Silence for 1 s, then a tone: frame k holds samples 4096 k to
    // 4096 k + 1023, so frames 0 to 10 are silent and 11 on hear the tone.
    const std::string wav = dir.file("late.wav");
    writeWav(wav, kRate, 2, 2 * kRate,
             [](long i, int) { return i < kRate ? 0.0f : sine(1000.0, 0.25, i, kRate); });
    const size_t band = BandTable(kRate).bandOfFrequency(1000.0);

    const CsvTable reference = analyse(wav);
    ASSERT_EQ(reference.rows.size(), 22u);
    for (size_t k = 0; k < reference.rows.size(); ++k) {
        const auto& row = reference.rows[k];
        if (k <= 10) {
            EXPECT_TRUE(std::all_of(row.begin() + 1, row.end(), [](double v) { return v == 0.0; }))
                << "frame " << k;
        } else {
            EXPECT_GT(level(row, band), 0.95) << "frame " << k;
        }
    }
    for (const char* block : {"1", "37", "1023", "4096", "100000"}) {
        const CsvTable other = analyse(wav, {"--block", block});
        EXPECT_EQ(other.rows, reference.rows) << "--block " << block;
    }
}

TEST_F(CliTest, RowCountFollowsTheLengthOfTheFile) {
    for (long frames : {1023L, 1024L, 5119L, 5120L, 9216L}) {
        const std::string wav = dir.file("len.wav");
        writeWav(wav, kRate, 2, frames, [](long i, int) { return sine(440.0, 0.5, i, kRate); });
        EXPECT_EQ(analyse(wav).rows.size(),
                  static_cast<size_t>(FrameSchedule::frameCountFor(frames)))
            << frames << " samples";
    }
}

TEST_F(CliTest, TimesFollowTheFileSampleRate) {
    const std::string wav = dir.file("rate48.wav");
    writeWav(wav, 48000, 2, 48000, [](long i, int) { return sine(1000.0, 0.25, i, 48000); });
    const CsvTable table = analyse(wav);
    ASSERT_EQ(table.rows.size(), 12u);
    EXPECT_NEAR(table.rows[1][0], 5120.0 / 48000.0, 1e-6);
    EXPECT_GT(level(table.rows[1], BandTable(48000).bandOfFrequency(1000.0)), 0.95);
}

TEST_F(CliTest, DemoSignalRunsAndSummarises) {
    const std::string csv = dir.file("demo.csv");
    const CliResult run = runCli({"--csv", csv});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const CsvTable table = readCsv(csv);
    EXPECT_EQ(table.rows.size(), static_cast<size_t>(FrameSchedule::frameCountFor(8 * 44100)));
    EXPECT_NE(run.out.find("demo signal"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Frames: 86 analysed"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Loudest bands"), std::string::npos) << run.out;
    // The 440 Hz tone of the first 3 s puts band 2 (bins 10 to 15) at 1.
    EXPECT_NE(run.out.find("band  2      431 -     689 Hz  peak 1.000"), std::string::npos)
        << run.out;
}

TEST_F(CliTest, UnreadableInputsFailWithAMessage) {
    const std::string text = dir.file("notes.wav");
    std::ofstream(text) << "these are not samples\n";
    const std::string missing = dir.file("missing.wav");
    for (const std::string& input : {missing, text, dir.file("")}) {
        const std::string csv = dir.file("never.csv");
        const CliResult run = runCli({input, "--csv", csv});
        EXPECT_EQ(run.exitCode, 1) << input;
        EXPECT_NE(run.err.find("tq-spectrum: cannot "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(input), std::string::npos) << run.err;
        EXPECT_FALSE(std::ifstream(csv).good()) << "no CSV file for an input that failed";
    }
}

TEST_F(CliTest, UnwritableCsvFails) {
    const CliResult run = runCli({"--csv", dir.file("no/such/dir/out.csv")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot create CSV file"), std::string::npos) << run.err;
}

TEST_F(CliTest, BadOptionsFailWithUsageStatus) {
    const std::vector<std::vector<std::string>> cases{
        {"--bogus"}, {"--block", "0"},   {"--block", "abc"}, {"--block"},
        {"--csv"},   {"a.wav", "b.wav"}, {"--quiet=yes"}};
    for (const auto& args : cases) {
        const CliResult run = runCli(args);
        EXPECT_EQ(run.exitCode, 2) << args.front();
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const CliResult help = runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: tq-spectrum", 0), 0u) << help.out;
}

} // namespace
