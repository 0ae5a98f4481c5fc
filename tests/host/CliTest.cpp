// The built program run as a user runs it, on small generated audio files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <fstream>

#include "generated/version.h"
#include "host/BandTable.h"
#include "host/CsvWriter.h"
#include "host/FrameSchedule.h"
#include "platform/headless/PngCodec.h"
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
    static float tone(long i, int) { return sine(1000.0, 0.25, i, kRate); }

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
    const std::string bandsCsv = dir.file("bands.csv");
    const CsvTable table = analyse(wav, {"--bands", bandsCsv});
    ASSERT_EQ(table.rows.size(), 12u);
    EXPECT_NEAR(table.rows[1][0], 5120.0 / 48000.0, 1e-6);
    EXPECT_GT(level(table.rows[1], BandTable(48000).bandOfFrequency(1000.0)), 0.95);

    // The band table names the frequencies of the CSV's columns at this rate,
    // on either axis, never past half the rate.
    for (const bool log : {false, true}) {
        std::vector<std::string> extra{"--bands", bandsCsv};
        if (log) {
            extra.push_back("--log");
        }
        const CsvTable levels = analyse(wav, extra);
        const CsvTable bands = readCsv(bandsCsv);
        EXPECT_EQ(bands.header, (std::vector<std::string>{"band", "low_hz", "high_hz"}));
        ASSERT_EQ(bands.rows.size(), kBandCount) << "log " << log;
        size_t loudest = 0;
        for (size_t band = 0; band < kBandCount; ++band) {
            EXPECT_EQ(bands.rows[band][0], double(band));
            EXPECT_LE(bands.rows[band][1], bands.rows[band][2]) << "band " << band;
            EXPECT_LE(bands.rows[band][2], 24000.0) << "band " << band << " log " << log;
            if (level(levels.rows[1], band) > level(levels.rows[1], loudest)) {
                loudest = band;
            }
        }
        EXPECT_LE(bands.rows[loudest][1], 1000.0) << "log " << log;
        EXPECT_GE(bands.rows[loudest][2], 1000.0) << "log " << log;
        // The top band holds no bin on either axis.
        EXPECT_EQ(bands.rows[96][1], 24000.0);
        EXPECT_EQ(bands.rows[96][2], 24000.0);
        if (!log) {
            EXPECT_EQ(bands.rows[4], (std::vector<double>{4.0, 21 * 46.875, 26 * 46.875}));
        }
    }
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

TEST_F(CliTest, FilesChangeOnlyWhenTheirRunSucceeds) {
    const std::string victim = dir.file("victim.wav");
    writeWav(victim, kRate, 2, kRate, tone);
    const std::string link = dir.file("link.wav");
    std::filesystem::create_symlink(victim, link);
    const std::string flac = dir.file("song.flac");
    writeWav(flac, kRate, 2, 2 * kRate, tone, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    // A FLAC cut in the middle of a frame: its decoder loses sync at the end.
    const std::string cutFlac = dir.file("cut.flac");
    std::filesystem::copy_file(flac, cutFlac);
    std::filesystem::resize_file(cutFlac, std::filesystem::file_size(flac) / 2);
    // 300 damaged bytes half-way: a frame lost, the rest decodes.
    std::string damaged = ScratchDir::read(flac);
    damaged.replace(damaged.size() / 2, 300, 300, '\x5a');
    const std::string gapFlac = dir.write("gap.flac", damaged);
    // A header that promises 2 s over 0.5 s of audio: 1.5 s of 8-byte frames cut off.
    const std::string cutWav = dir.file("cut.wav");
    writeWav(cutWav, kRate, 2, 2 * kRate, tone);
    std::filesystem::resize_file(cutWav, std::filesystem::file_size(cutWav) - 3 * kRate / 2 * 8);
    const std::string cutMp3 = dir.file("cut.mp3");
    writeWav(cutMp3, kRate, 2, 2 * kRate, tone, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III);
    std::filesystem::resize_file(cutMp3, std::filesystem::file_size(cutMp3) / 2);
    // Earlier outputs of this program, and an empty file: replaced without --force.
    const std::string csv = dir.write("old.csv", CsvWriter::headerLine() + "0.1,0.5\n");
    const std::string png = dir.file("old.png");
    const uint32_t pixel = 0xFF102030u;
    ASSERT_EQ(PngCodec::write(png, 1, 1, &pixel), platform::Status::ok);
    const std::string spectrogram = dir.write("old-spectrogram.png", "");
    const std::string real = dir.write("real.csv", CsvWriter::headerLine());
    const std::string csvLink = dir.file("link.csv");
    std::filesystem::create_symlink(real, csvLink);
    // Files of someone else's: a recording no decoder here reads, a photo.
    const std::string recording = dir.write("rec.m4a", std::string("\0\0\0\x20"
                                                                   "ftypM4A ",
                                                                   12));
    const std::string photo = dir.write("photo.png", "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR");
    const std::string longName = std::string(250, 'n') + ".csv";
    const std::string locked = dir.write("locked.csv", CsvWriter::headerLine());
    std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
    // One frame: its CSV fits in a stream's buffer and fails only when flushed.
    const std::string blip = dir.file("blip.wav");
    writeWav(blip, kRate, 2, 1024, tone);
    // A device, reached through a link that a writer removing its path would take.
    const std::string full = dir.file("full");
    std::filesystem::create_symlink("/dev/full", full);

    struct Fault {
        const char* what;
        std::vector<std::string> args;
        int exitCode;
        std::string message; // on stderr, its only line when the run fails
        const char* summary; // on stdout, when not empty
        std::vector<std::string> written;
        std::string standardOutput = ""; // appended to, when not empty
    };
    const std::vector<Fault> faults{
        {"the CSV is the input", {victim, "--csv", victim}, 2, "it is the input", "", {}},
        {"the input forced", {victim, "--csv", victim, "--force"}, 2, "it is the input", "", {}},
        {"standard output is the input",
         {victim, "-q", "--csv", "-"},
         2,
         "refusing to write standard output: it is the input",
         "",
         {},
         victim},
        {"the summary cannot be written",
         {victim},
         1,
         "cannot write to standard output: No space left on device",
         "",
         {},
         "/dev/full"},
        {"the CSV on standard output cannot be written",
         {victim, "--csv", "-"},
         1,
         "cannot write CSV file standard output: No space left on device",
         "",
         {},
         "/dev/full"},
        {"the version cannot be written", {"--version"}, 1, "standard output", "", {}, "/dev/full"},
        {"a recording of another format",
         {"--csv", recording},
         2,
         "not a file tq-spectrum",
         "",
         {}},
        {"a photo",
         {victim, "--png", photo},
         2,
         "is not a file tq-spectrum wrote (give --force",
         "",
         {}},
        {"a read-only output", {victim, "--csv", locked}, 1, "cannot create CSV file", "", {}},
        {"a full device takes the CSV",
         {blip, "--csv", full},
         1,
         "cannot write CSV file '" + full + "': No space left on device",
         "",
         {}},
        {"a full device takes the picture",
         {victim, "--png", full, "-q"},
         1,
         "cannot write PNG file '" + full + "': No space left on device",
         "",
         {}},
        {"the picture is the input", {victim, "--png", victim}, 2, "it is the input", "", {}},
        {"a link to the input", {victim, "--spectrogram", link}, 2, "it is the input", "", {}},
        {"the input forgotten", {"--csv", flac}, 2, "holds audio (give --force", "", {}},
        {"one file for two outputs",
         {victim, "--png", png, "--spectrogram", png},
         2,
         "written twice",
         "",
         {}},
        {"an unwritable picture",
         {victim, "--csv", csv, "--png", dir.file("no/such/w.png")},
         1,
         "cannot create PNG file",
         "",
         {}},
        {"a FLAC damaged half-way",
         {gapFlac, "--csv", csv, "--png", png, "--spectrogram", spectrogram},
         1,
         "'" + gapFlac + "' is damaged at about 0.9",
         "",
         {}},
        {"a FLAC cut short",
         {cutFlac, "--csv", csv, "-q"},
         0,
         "'" + cutFlac + "' ended at 0.9",
         "",
         {"old.csv"}},
        {"a picture past where the audio stops",
         {cutMp3, "--csv", csv, "--png", png, "--at", "1.5"},
         1,
         "cannot picture the window at 1.500 s",
         "",
         {}},
        {"a WAV cut short",
         {cutWav, "--csv", csv},
         0,
         "ended at 0.50 s, before the 2.00 s its header declares",
         "Ended:  early, at 0.50 s of the 2.00 s",
         {"old.csv"}},
        {"an MP3 cut short",
         {cutMp3, "--csv", csv, "-q"},
         0,
         " s its header declares",
         "",
         {"old.csv"}},
        {"earlier outputs replaced",
         {victim, "--png", png, "--spectrogram", spectrogram, "-q"},
         0,
         "",
         "",
         {"old-spectrogram.png", "old.png"}},
        {"a link kept, its file replaced",
         {victim, "--csv", csvLink, "-q"},
         0,
         "",
         "",
         {"real.csv"}},
        {"the longest name", {victim, "--csv", dir.file(longName), "-q"}, 0, "", "", {longName}},
        {"audio replaced when forced", {"--csv", flac, "--force", "-q"}, 0, "", "", {"song.flac"}},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        const auto before = dir.contents();
        const CliResult run = runCli(fault.args, "", CliInput{"", false, fault.standardOutput});
        EXPECT_EQ(run.exitCode, fault.exitCode) << run.err;
        EXPECT_NE(run.err.find(fault.message), std::string::npos) << run.err;
        if (run.exitCode != 0) {
            EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        }
        EXPECT_NE(run.out.find(fault.summary), std::string::npos) << run.out;
        // Only what the run wrote changed, and no temporary file is left.
        EXPECT_EQ(dir.changedSince(before), fault.written);
        for (const std::string& name : fault.written) {
            const std::string bytes = dir.contents()[name];
            EXPECT_TRUE(bytes.rfind("time_s,band0,", 0) == 0 ||
                        PngCodec::software(dir.file(name)) ==
                            std::string("tq-spectrum ") + productVersion::kText)
                << name;
        }
    }
    EXPECT_TRUE(std::filesystem::is_symlink(csvLink));
    EXPECT_TRUE(std::filesystem::is_symlink(full));
}

TEST_F(CliTest, EverySignalThatEndsARunRemovesItsTemporaryFiles) {
    // The run waits to open a pipe nobody reads, its CSV's temporary file made.
    const std::string wav = dir.file("tone.wav");
    writeWav(wav, kRate, 2, kRate, tone);
    const std::string pipe = dir.file("pipe");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string csv = dir.write("out.csv", "");
    const auto before = dir.contents();
    for (int signal :
         {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGQUIT, SIGALRM, SIGUSR1, SIGUSR2, SIGXFSZ}) {
        SCOPED_TRACE(signal);
        const auto temporaryMade = [&] { return dir.contents().size() > before.size(); };
        EXPECT_EQ(signalCli({wav, "--csv", csv, "--png", pipe, "-q"}, temporaryMade, signal),
                  signal);
        EXPECT_EQ(dir.changedSince(before), std::vector<std::string>{});
    }
}

TEST_F(CliTest, StandardInputReadsEveryFormatAndStandardOutputTakesTheCsv) {
    const std::string flac = dir.file("tone.flac");
    writeWav(flac, kRate, 2, kRate, tone, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    const CsvTable reference = analyse(flac);
    ASSERT_EQ(reference.rows.size(), static_cast<size_t>(FrameSchedule::frameCountFor(kRate)));
    for (const bool pipe : {false, true}) {
        const CliResult run = runCli({"-", "--csv", "-"}, "", CliInput{flac, pipe, ""});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        // Standard output holds the CSV alone; the summary went to stderr.
        const std::string csv = dir.file("stdout.csv");
        std::ofstream(csv) << run.out;
        EXPECT_EQ(readCsv(csv).rows, reference.rows) << (pipe ? "pipe" : "redirected file");
        EXPECT_NE(run.err.find("Input:  standard input: FLAC"), std::string::npos) << run.err;
    }
}

TEST_F(CliTest, SeveralInputsWriteIntoFoldersAndGoOnPastAFailure) {
    const std::string low = dir.file("low.wav");
    writeWav(low, kRate, 2, kRate, tone);
    const std::string high = dir.file("high.flac");
    writeWav(
        high, kRate, 1, kRate, [](long i, int) { return sine(5000.0, 0.25, i, kRate); },
        SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    const std::string out = dir.file("out");
    std::filesystem::create_directory(out);
    const CliResult run = runCli(
        {low, dir.file("missing.wav"), high, "--csv", out, "--spectrogram", out, "--bands", out});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("cannot open '" + dir.file("missing.wav") + "'"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("1 of 3 input files failed"), std::string::npos) << run.err;
    EXPECT_NE(run.out.find("Input:  " + low), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Input:  " + high), std::string::npos) << run.out;

    // A folder works the same with a single input.
    EXPECT_EQ(runCli({low, "--png", out, "-q"}).exitCode, 0);

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(out)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"high-bands.csv", "high-spectrogram.png", "high.csv",
                                               "low-bands.csv", "low-spectrogram.png", "low.csv",
                                               "low.png"}));
    const BandTable bands(kRate);
    for (const auto& [name, hz] : {std::pair{"low.csv", 1000.0}, std::pair{"high.csv", 5000.0}}) {
        const CsvTable table = readCsv(out + "/" + name);
        ASSERT_FALSE(table.rows.empty()) << name;
        EXPECT_GT(level(table.rows.front(), bands.bandOfFrequency(hz)), 0.95) << name;
    }
}

TEST_F(CliTest, MonoFileFeedsBothInputsAndGainTrimsItBeforeThePlugin) {
    // 0 dB in the transform is level 0.5, and each dB is 1/60 of the scale.
    const std::string wav = dir.file("mono.wav");
    writeWav(wav, kRate, 1, kRate,
             [](long i, int) { return sine(kCentreHz, kZeroDbAmplitude, i, kRate); });
    const size_t band = BandTable(kRate).bandOfBin(kCentreBin);
    const CsvTable plain = analyse(wav);
    ASSERT_EQ(plain.rows.size(), static_cast<size_t>(FrameSchedule::frameCountFor(kRate)));
    for (const auto& row : plain.rows) {
        // Only one input would be 6 dB down: level 0.4.
        EXPECT_NEAR(level(row, band), 0.5, 0.01);
    }
    for (const auto& [gain, expected] : std::vector<std::pair<const char*, double>>{
             {"0", 0.5}, {"-6.0206", 0.4}, {"+20", 0.5 + 20.0 / 60.0}, {"-40", 0.0}}) {
        const CsvTable table = analyse(wav, {"--gain", gain});
        ASSERT_FALSE(table.rows.empty()) << gain;
        EXPECT_NEAR(level(table.rows.back(), band), expected, 0.01) << "--gain " << gain;
    }
    const CliResult run = runCli({wav, "--gain=-12"});
    EXPECT_NE(run.out.find("Gain:   -12 dB"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("-72.8..-12.8 dBFS of a sine"), std::string::npos) << run.out;
}

TEST_F(CliTest, RunScriptRunsTheHostInTheCallersFolder) {
    // The script in a checkout of its own, whose build step has been done.
    const std::string repo = dir.file("repo");
    std::filesystem::create_directories(repo + "/tools");
    std::filesystem::create_directories(repo + "/build/linux");
    std::filesystem::copy_file(TQ_RUN_SCRIPT, repo + "/tools/run.sh");
    std::ofstream(repo + "/tools/build.sh") << "exit 0\n";
    std::filesystem::create_symlink(TQ_SPECTRUM_CLI, repo + "/build/linux/tq-spectrum");
    const std::string user = dir.file("user");
    std::filesystem::create_directories(user + "/takes");
    writeWav(user + "/takes/one.wav", kRate, 2, kRate, tone);

    const CliResult run = runProgram(
        {"bash", repo + "/tools/run.sh", "takes/one.wav", "--csv", "one.csv", "-q"}, user);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(readCsv(user + "/one.csv").rows.size(),
              static_cast<size_t>(FrameSchedule::frameCountFor(kRate)));
}

TEST_F(CliTest, BadOptionsFailWithUsageStatus) {
    const std::vector<std::vector<std::string>> cases{
        {"--bogus"},     {"--block", "0"},  {"--block", "abc"},
        {"--block"},     {"--csv"},         {"a.wav", "b.wav", "--csv", "-"},
        {"--quiet=yes"}, {"--gain", "loud"}};
    for (const auto& args : cases) {
        const CliResult run = runCli(args);
        EXPECT_EQ(run.exitCode, 2) << args.front();
        EXPECT_NE(run.err.find("--help"), std::string::npos) << run.err;
        EXPECT_EQ(run.out, "");
    }
    const CliResult help = runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out.rfind("Usage: tq-spectrum", 0), 0u) << help.out;
    const CliResult version = runCli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::string("tq-spectrum ") + productVersion::kText + "\n");
}

} // namespace
