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
    EXPECT_EQ(none.options.inputPath, "") << "no file: the demo signal";
    EXPECT_EQ(none.options.blockSize, 512);

    const Parsed a = parse({"--block", "64", "in.wav", "--csv", "out.csv", "-q"});
    ASSERT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.options.inputPath, "in.wav");
    EXPECT_EQ(a.options.csvPath, "out.csv");
    EXPECT_EQ(a.options.blockSize, 64);
    EXPECT_TRUE(a.options.quiet);

    const Parsed b = parse({"--csv=x=y.csv", "--block=4096", "--quiet"});
    ASSERT_TRUE(b.ok) << b.error;
    EXPECT_EQ(b.options.csvPath, "x=y.csv");
    EXPECT_EQ(b.options.blockSize, 4096);
    EXPECT_TRUE(b.options.quiet);
}

TEST(OptionsParserTest, BlockSizeIsAWholeNumberInRange) {
    int32_t size = 0;
    EXPECT_TRUE(OptionsParser::parseBlockSize("1", size));
    EXPECT_EQ(size, 1);
    EXPECT_TRUE(OptionsParser::parseBlockSize("1048576", size));
    EXPECT_EQ(size, 1048576);
    for (const char* bad : {"0", "-1", "1048577", "12x", "", " 5", "5 ", "0x10", "+5", "1e3",
                            "99999999999999999999", "4294967808"}) {
        size = 77;
        EXPECT_FALSE(OptionsParser::parseBlockSize(bad, size)) << bad;
        EXPECT_EQ(size, 77) << "a refused value leaves the size alone: " << bad;
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
        {{"a.wav", "b.wav"}, "only one input file"},
        {{""}, "the input file name is empty"},
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
    EXPECT_EQ(a.options.inputPath, "--odd-name.wav");

    const Parsed p = parse({"--help", "--bogus"});
    EXPECT_TRUE(p.ok);
    EXPECT_TRUE(p.options.showHelp);
    const std::string help = OptionsParser::helpText("tq-spectrum");
    for (const char* needle :
         {"--csv", "--block", "--quiet", "mono", "first two", "time_s", "last sample"}) {
        EXPECT_NE(help.find(needle), std::string::npos) << needle;
    }
}

} // namespace
