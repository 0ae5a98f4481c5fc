// The built program's pictures: the plug-in's window and the spectrogram,
// read back from the PNG files it writes.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <vector>

#include "host/BandTable.h"
#include "host/FrameSchedule.h"
#include "host/Spectrogram.h"
#include "platform/headless/PngCodec.h"
#include "tests/host/cliSupport.h"

namespace {

constexpr int kRate = 44100;
constexpr uint32_t kLabelNavy = 0xFF000066u;

struct Picture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;

    uint32_t at(int32_t x, int32_t y) const {
        return pixels[size_t(y) * size_t(width) + size_t(x)];
    }
};

Picture readPng(const std::string& path) {
    Picture picture;
    EXPECT_EQ(PngCodec::read(path, &picture.width, &picture.height, &picture.pixels),
              platform::Status::ok)
        << path;
    return picture;
}

// Lit segments of bar i (rectangle 44 + 5i, 36 to 47 + 5i, 136): its green rows.
int litSegments(const Picture& window, size_t band) {
    int lit = 0;
    for (int32_t y = 36; y < 136; ++y) {
        lit += ((window.at(45 + 5 * int32_t(band), y) >> 8) & 0xFF) > 0x60 ? 1 : 0;
    }
    return lit;
}

class WindowPictureTest : public ::testing::Test {
protected:
    // 1 kHz (band 4) and 5 kHz (band 21) for `toneSeconds`, then silence.
    std::string toneFile(double toneSeconds, double totalSeconds) {
        const std::string wav = dir.file("tones.wav");
        writeWav(wav, kRate, 2, long(totalSeconds * kRate), [toneSeconds](long i, int) {
            return i < toneSeconds * kRate
                       ? sine(1000.0, 0.25, i, kRate) + sine(5000.0, 0.25, i, kRate)
                       : 0.0f;
        });
        return wav;
    }

    CliResult run(std::vector<std::string> args) {
        args.push_back("--quiet");
        const CliResult result = runCli(args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result;
    }

    ScratchDir dir;
};

TEST_F(WindowPictureTest, WindowShowsLitBarsWhereTheTonesAre) {
    const std::string wav = toneFile(1.0, 1.0);
    const std::string png = dir.file("window.png");
    run({wav, "--png", png});
    const Picture window = readPng(png);
    ASSERT_EQ(window.width, 570);
    ASSERT_EQ(window.height, 180);
    EXPECT_GE(litSegments(window, 4), 40);
    EXPECT_GE(litSegments(window, 21), 40);
    for (size_t band = 30; band < kBandCount; ++band) {
        EXPECT_EQ(litSegments(window, band), 0) << "band " << band;
    }
}

TEST_F(WindowPictureTest, CsvIsTheSameWithTheWindowOpen) {
    // The open window lowers what the bands hold, but each row is read the
    // moment its frame is analysed and holds that frame's own levels.
    const std::string wav = toneFile(0.5, 2.0);
    const std::string alone = dir.file("alone.csv");
    const std::string shown = dir.file("shown.csv");
    run({wav, "--csv", alone});
    run({wav, "--csv", shown, "--png", dir.file("w.png"), "--block", "37"});
    const CsvTable a = readCsv(alone);
    const CsvTable b = readCsv(shown);
    ASSERT_EQ(a.rows.size(), size_t(FrameSchedule::frameCountFor(2 * kRate)));
    EXPECT_EQ(a.rows, b.rows);
    EXPECT_EQ(a.rows.back()[1 + 4], 0.0) << "a silent frame after the tone reads 0";
}

TEST_F(WindowPictureTest, LogarithmicAxisChangesTheLabelsAndTheBands) {
    const std::string wav = toneFile(1.0, 1.0);
    const std::string linearPng = dir.file("linear.png");
    const std::string logPng = dir.file("log.png");
    const std::string logCsv = dir.file("log.csv");
    run({wav, "--png", linearPng});
    run({wav, "--png", logPng, "--log", "--csv", logCsv});
    const Picture linear = readPng(linearPng);
    const Picture log = readPng(logPng);

    // Label k sits at (25 + 60k, 143, 66 + 60k, 155).
    auto labelInk = [](const Picture& p, int32_t k) {
        int ink = 0;
        for (int32_t y = 143; y < 155; ++y) {
            for (int32_t x = 25 + 60 * k; x < 66 + 60 * k; ++x) {
                ink += p.at(x, y) != kLabelNavy ? 1 : 0;
            }
        }
        return ink;
    };
    for (int32_t k : {1, 3, 5, 7}) {
        EXPECT_GT(labelInk(linear, k), 0) << "label " << k << " names a frequency";
        EXPECT_EQ(labelInk(log, k), 0) << "label " << k << " falls between decades";
    }
    bool differs = false;
    for (int32_t k : {0, 2, 4, 6, 8}) {
        EXPECT_GT(labelInk(log, k), 0) << "label " << k;
        for (int32_t y = 143; y < 155; ++y) {
            for (int32_t x = 25 + 60 * k; x < 66 + 60 * k; ++x) {
                differs = differs || linear.at(x, y) != log.at(x, y);
            }
        }
    }
    EXPECT_TRUE(differs) << "10, 100, 1k, 10k, 100k replace 0, 5.5k, 11.0k, 16.5k, 22.1k";

    // On the logarithmic axis 1 kHz is band 48 (bins 23 and 24), the middle.
    const CsvTable table = readCsv(logCsv);
    ASSERT_FALSE(table.rows.empty());
    for (const auto& row : table.rows) {
        EXPECT_GT(row[1 + 48], 0.95);
    }
    EXPECT_GE(litSegments(log, 48), 40);

    // At 2x the View menu is clicked at its place at 2x: the same bands.
    const std::string largePng = dir.file("log-2x.png");
    const std::string largeCsv = dir.file("log-2x.csv");
    run({wav, "--png", largePng, "--log", "--csv", largeCsv, "--scale", "2"});
    const Picture large = readPng(largePng);
    EXPECT_EQ(large.width, 1140);
    EXPECT_EQ(large.height, 360);
    EXPECT_EQ(readCsv(largeCsv).rows, table.rows);
}

TEST_F(WindowPictureTest, SpectrogramShowsEachFramesLevelsBandsBottomToTop) {
    const std::string wav = toneFile(1.0, 1.0);
    const std::string png = dir.file("spectrogram.png");
    const std::string csv = dir.file("levels.csv");
    run({wav, "--spectrogram", png, "--csv", csv});
    const CsvTable table = readCsv(csv);
    const Spectrogram::Layout layout = Spectrogram::layoutFor(table.rows.size());
    const Picture picture = readPng(png);
    ASSERT_EQ(picture.width, layout.width);
    ASSERT_EQ(picture.height, layout.height);

    for (size_t column = 0; column < table.rows.size(); ++column) {
        const int32_t x = layout.columnLeft(column);
        for (size_t band : {size_t(4), size_t(21), size_t(80)}) {
            const float level = static_cast<float>(table.rows[column][1 + band]);
            EXPECT_EQ(picture.at(x, layout.bandTop(band) + 1), Spectrogram::colour(level))
                << "frame " << column << " band " << band;
        }
        EXPECT_EQ(picture.at(x, layout.bandTop(4) + 1), Spectrogram::colour(1.0f))
            << "the tone's row is at its brightest";
    }
}

TEST_F(WindowPictureTest, AtChoosesTheMomentAndMayNotPassTheEnd) {
    const std::string wav = toneFile(0.5, 2.0);
    const std::string during = dir.file("during.png");
    const std::string after = dir.file("after.png");
    run({wav, "--png", during, "--at", "0.4"});
    run({wav, "--png", after});
    EXPECT_GE(litSegments(readPng(during), 4), 40);
    const Picture end = readPng(after);
    for (size_t band = 0; band < kBandCount; ++band) {
        EXPECT_EQ(litSegments(end, band), 0) << "1.5 s of silence lowers every bar, band " << band;
    }

    const std::string late = dir.file("late.png");
    const CliResult past = runCli({wav, "--png", late, "--at", "2.5"});
    EXPECT_EQ(past.exitCode, 1);
    EXPECT_NE(past.err.find("the input ends at 2.000 s"), std::string::npos) << past.err;
    EXPECT_FALSE(std::ifstream(late).good()) << "no picture for a moment past the end";
    run({wav, "--png", late, "--at", "2"}); // the very end is still inside
}

TEST_F(WindowPictureTest, UnwritablePicturesFail) {
    const std::string wav = toneFile(0.1, 0.1);
    for (const char* option : {"--png", "--spectrogram"}) {
        const std::string bad = dir.file("no/such/dir/out.png");
        const CliResult result = runCli({wav, option, bad});
        EXPECT_EQ(result.exitCode, 1) << option;
        EXPECT_NE(result.err.find("tq-spectrum: cannot create PNG file '" + bad + "'"),
                  std::string::npos)
            << result.err;
    }
    // A folder takes the picture under the input's name; a file cannot.
    const CliResult underFile = runCli({wav, "--png", wav + "/out.png"});
    EXPECT_EQ(underFile.exitCode, 1);
}

TEST_F(WindowPictureTest, DemoRunWritesBothPicturesWhereItRunsAndSaysWhere) {
    const std::string work = dir.file("work");
    ASSERT_EQ(::mkdir(work.c_str(), 0700), 0);
    const CliResult result = runCli({}, work);
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::string window = work + "/tq-spectrum-demo.png";
    const std::string spectrogram = work + "/tq-spectrum-demo-spectrogram.png";
    EXPECT_NE(result.out.find("Window:      " + window + " (570 x 180, at 2.00 s)"),
              std::string::npos)
        << result.out;
    EXPECT_NE(result.out.find("Spectrogram: " + spectrogram), std::string::npos) << result.out;

    // At 2 s the steady tones stand in their bars: 440 Hz in band 2, 1 kHz in
    // band 4, 5 kHz in band 21 and the quieter 12 kHz in band 52.
    const Picture picture = readPng(window);
    ASSERT_EQ(picture.width, 570);
    for (const auto& [band, least] : {std::pair<size_t, int>{2, 40}, {4, 40}, {21, 40}, {52, 30}}) {
        EXPECT_GE(litSegments(picture, band), least) << "band " << band;
    }
    EXPECT_EQ(litSegments(picture, 80), 0);
    EXPECT_EQ(readPng(spectrogram).width, Spectrogram::layoutFor(86).width);
}

} // namespace
