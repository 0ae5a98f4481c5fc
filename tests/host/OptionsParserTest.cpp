#include <gtest/gtest.h>

#include "host/OptionsParser.h"

namespace {

struct Parsed {
    bool ok;
    HostOptions options;
    std::string error;
};

Parsed parse(const std::vector<std::string>& args) {
    Parsed result{};
    result.ok = OptionsParser().parse(args, result.options, result.error);
    return result;
}

TEST(OptionsParserTest, ReadsEveryOptionInBothSpellings) {
    const Parsed none = parse({});
    ASSERT_TRUE(none.ok);
    EXPECT_TRUE(none.options.inputPaths.empty()) << "no file: the demo signal";
    EXPECT_EQ(none.options.blockSize, 512);

    const Parsed a = parse({"--block", "64", "in.wav", "--csv", "out.csv", "-q", "-", "b.flac"});
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.options.inputPaths, (std::vector<std::string>{"in.wav", "-", "b.flac"}));
    EXPECT_EQ(a.options.csvPath, "out.csv");
    EXPECT_EQ(a.options.blockSize, 64);
    EXPECT_TRUE(a.options.quiet);

    EXPECT_FALSE(a.options.force);
    EXPECT_EQ(a.options.gainDb, 0.0);

    const Parsed b =
        parse({"--csv=x=y.csv", "--block=4096", "--quiet", "--force", "--gain", "-6.5"});
    ASSERT_TRUE(b.ok) << b.error;
    EXPECT_EQ(b.options.csvPath, "x=y.csv");
    EXPECT_EQ(b.options.blockSize, 4096);
    EXPECT_TRUE(b.options.quiet);
    EXPECT_TRUE(b.options.force);
    EXPECT_EQ(b.options.gainDb, -6.5);
}

TEST(OptionsParserTest, ReadsThePictureOptions) {
    const Parsed none = parse({"in.wav"});
    ASSERT_TRUE(none.ok);
    EXPECT_EQ(none.options.pngPath, "");
    EXPECT_EQ(none.options.spectrogramPath, "");
    EXPECT_LT(none.options.pictureSeconds, 0.0) << "the end of the input";
    EXPECT_FALSE(none.options.logarithmic);
    EXPECT_EQ(none.options.windowScale, 100);

    const Parsed a = parse({"in.wav", "--png", "w.png", "--at", "2.5", "--log",
                            "--spectrogram=s.png", "--scale", "1.5", "--bands", "b.csv"});
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.options.windowScale, 150);
    EXPECT_EQ(a.options.pngPath, "w.png");
    EXPECT_EQ(a.options.spectrogramPath, "s.png");
    EXPECT_EQ(a.options.bandsPath, "b.csv");
    EXPECT_DOUBLE_EQ(a.options.pictureSeconds, 2.5);
    EXPECT_TRUE(a.options.logarithmic);

    // The demo run pictures its window anyway, so --at alone is fine there.
    const Parsed demo = parse({"--at", "0"});
    ASSERT_TRUE(demo.ok) << demo.error;
    EXPECT_EQ(demo.options.pictureSeconds, 0.0);
}

// The block size parser through a double, so that one table holds them all.
bool parseBlockSizeAsDouble(const std::string& text, double& value) {
    int32_t size = static_cast<int32_t>(value);
    const bool ok = OptionsParser::parseBlockSize(text, size);
    value = size;
    return ok;
}

bool parseScaleAsDouble(const std::string& text, double& value) {
    int32_t percent = static_cast<int32_t>(value);
    const bool ok = OptionsParser::parseScale(text, percent);
    value = percent;
    return ok;
}

TEST(OptionsParserTest, NumbersAreReadInTheirFormAndRange) {
    struct NumberParser {
        const char* name;
        bool (*parse)(const std::string&, double&);
        std::vector<std::pair<const char*, double>> accepted;
        std::vector<const char*> refused; // each leaves the value alone
    };
    const NumberParser parsers[] = {
        {"seconds: a decimal number from zero on",
         OptionsParser::parseSeconds,
         {{"0", 0.0}, {"2", 2.0}, {"0.25", 0.25}, {"7.918", 7.918}, {"3600", 3600.0}},
         {"", "-1", "-0.5", "1s", " 1", "inf", "nan", "1e3", "abc", "0x1"}},
        {"gain: signed decibels in range",
         OptionsParser::parseGain,
         {{"0", 0.0}, {"6", 6.0}, {"+6", 6.0}, {"-12.5", -12.5}, {"100", 100.0}, {"-100", -100.0}},
         {"", "+", "+-3", "100.5", "-101", "6dB", " 6", "inf", "nan", "1e1"}},
        {"block size: a whole number in range",
         parseBlockSizeAsDouble,
         {{"1", 1.0}, {"1048576", 1048576.0}},
         {"0", "-1", "1048577", "12x", "", " 5", "5 ", "0x10", "+5", "1e3", "99999999999999999999",
          "4294967808"}},
        {"scale: 1, 1.5 or 2, in percent",
         parseScaleAsDouble,
         {{"1", 100.0}, {"1.5", 150.0}, {"2", 200.0}, {"2.00", 200.0}},
         {"", "0", "1.25", "3", "-2", "150", "2x", " 2", "inf", "nan"}},
    };
    for (const NumberParser& parser : parsers) {
        SCOPED_TRACE(parser.name);
        double value = 0.0;
        for (const auto& [text, expected] : parser.accepted) {
            EXPECT_TRUE(parser.parse(text, value)) << text;
            EXPECT_DOUBLE_EQ(value, expected) << text;
        }
        for (const char* bad : parser.refused) {
            value = 77.0;
            EXPECT_FALSE(parser.parse(bad, value)) << bad;
            EXPECT_EQ(value, 77.0) << bad;
        }
    }
}

TEST(OptionsParserTest, RefusesWhatItCannotUse) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"--block"}, "option '--block' needs a value"},
        {{"--csv"}, "option '--csv' needs a value"},
        {{"--csv="}, "option '--csv' needs a file name"},
        {{"--block", "-5"}, "bad block size '-5'"},
        {{"--quiet=1"}, "option '--quiet' takes no value"},
        {{"a.wav", "b.wav", "--csv", "-"}, "'--csv -' takes one input file"},
        {{"-", "a.wav", "-"}, "standard input ('-') can be read only once"},
        {{"--png", "-"}, "standard output takes only the CSV"},
        {{"--gain", "200"}, "bad gain '200'"},
        {{""}, "the input file name is empty"},
        {{"--png"}, "option '--png' needs a value"},
        {{"--png="}, "option '--png' needs a file name"},
        {{"--spectrogram="}, "option '--spectrogram' needs a file name"},
        {{"--bands"}, "option '--bands' needs a value"},
        {{"--bands", "-"}, "standard output takes only the CSV"},
        {{"--at", "-2"}, "bad time '-2'"},
        {{"--at", "soon"}, "bad time 'soon'"},
        {{"--log=yes"}, "option '--log' takes no value"},
        {{"--scale", "3"}, "bad scale '3': give 1, 1.5 or 2"},
        {{"in.wav", "--at", "1"}, "give '--png' too"},
    };
    for (const auto& [args, message] : cases) {
        const Parsed p = parse(args);
        EXPECT_FALSE(p.ok) << args.front();
        EXPECT_NE(p.error.find(message), std::string::npos) << p.error;
    }
}

TEST(OptionsParserTest, DoubleDashEndsOptionsAndHelpStopsParsing) {
    const Parsed a = parse({"--", "--odd-name.wav"});
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.options.inputPaths, std::vector<std::string>{"--odd-name.wav"});

    const Parsed p = parse({"--help", "--bogus"});
    EXPECT_TRUE(p.ok);
    EXPECT_TRUE(p.options.showHelp);
    const Parsed v = parse({"--version", "--bogus"});
    EXPECT_TRUE(v.ok);
    EXPECT_TRUE(v.options.showVersion);
    const std::string help = OptionsParser::helpText("tq-spectrum");
    for (const char* needle : {"--csv",
                               "--block",
                               "--quiet",
                               "mono",
                               "first two",
                               "time_s",
                               "last sample",
                               "--png",
                               "--at",
                               "--log",
                               "--spectrogram",
                               "--scale",
                               "tq-spectrum-demo.png",
                               "tq-spectrum-demo-spectrogram.png",
                               "past the end",
                               "--force",
                               "--version",
                               "--gain",
                               "-84.8 to -24.8 dBFS",
                               "STEM-spectrogram.png",
                               "xargs",
                               "Exit status"}) {
        EXPECT_NE(help.find(needle), std::string::npos) << needle;
    }
}

} // namespace
