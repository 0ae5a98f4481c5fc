#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include "core/numberText.h"

// The C library in the "C" locale (which a test program runs in) is the
// reference for both directions.

TEST(numberText, FixedFormattingMatchesPrintf) {
    const double values[] = {0.0,
                             -0.0,
                             -3.5,
                             1.0,
                             0.125,
                             0.5,
                             2.5,
                             42.25,
                             1e-7,
                             123456.7890,
                             1234.5677490234375,
                             1e20,
                             -1e300,
                             3.4028234663852886e38,
                             0.0000005,
                             0.0000015,
                             1e-320,
                             9.999995,
                             -0.0000004,
                             2.675};
    for (double value : values) {
        for (int precision : {1, 2, 6}) {
            char expected[400];
            std::snprintf(expected, sizeof expected, "%.*f", precision, value);
            char actual[kFixedTextSize];
            const size_t length = formatFixed(value, precision, actual, sizeof actual);
            EXPECT_STREQ(actual, expected) << value << " precision " << precision;
            EXPECT_EQ(length, std::strlen(expected));
        }
    }
}

TEST(numberText, FixedFormattingOfRandomFloatsMatchesPrintf) {
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
        float value;
        const uint32_t bits = random();
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) {
            continue;
        }
        char expected[400];
        std::snprintf(expected, sizeof expected, "%f", static_cast<double>(value));
        char actual[kFixedTextSize];
        formatFixed(static_cast<double>(value), 6, actual, sizeof actual);
        ASSERT_STREQ(actual, expected);
    }
}

TEST(numberText, FixedFormattingRefusesABufferTooSmall) {
    char small[4] = "abc";
    EXPECT_EQ(formatFixed(-3.5, 6, small, sizeof small), 0u);
    EXPECT_STREQ(small, "");
}

TEST(numberText, ReadingMatchesStrtod) {
    const char* texts[] = {"-3.500000", "  +2.5xyz",
                           "\t\n1e3",   ".5",
                           "5.",        "1e",
                           "1e+",       "-",
                           "+-1",       "--1",
                           "abc",       "",
                           "0x1p3",     "0X.8",
                           "0x",        "0xg",
                           "inf",       "-Infinity",
                           "1e400",     "-1e400",
                           "1e-400",    "4.9e-324",
                           "2.4e-324",  "1,5",
                           "0.1",       "123456789012345678901234567890",
                           "1e-310",    "1.0000000000000002"};
    for (const char* text : texts) {
        const double expected = std::strtod(text, nullptr);
        const double actual = readDouble(text);
        EXPECT_EQ(std::memcmp(&expected, &actual, sizeof actual), 0)
            << '"' << text << "\" " << expected << " vs " << actual;
    }
    EXPECT_TRUE(std::isnan(readDouble("nan")));
    EXPECT_TRUE(std::isnan(readDouble(" -nan(12)")));
    EXPECT_EQ(readDouble(nullptr), 0.0);
}

TEST(numberText, IntegersReadLikeAtoiButSaturate) {
    bool numeric = false;
    EXPECT_EQ(readInteger(" -42abc", &numeric), -42);
    EXPECT_TRUE(numeric);
    EXPECT_EQ(readInteger("+7", &numeric), 7);
    EXPECT_EQ(readInteger("abc", &numeric), 0);
    EXPECT_FALSE(numeric);
    EXPECT_EQ(readInteger("-", &numeric), 0);
    EXPECT_FALSE(numeric);
    EXPECT_EQ(readInteger("2147483647"), 2147483647);
    EXPECT_EQ(readInteger("2147483648"), 2147483647);
    EXPECT_EQ(readInteger("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(readInteger("-99999999999999999999999"), -2147483647 - 1);
    EXPECT_EQ(readInteger(nullptr, &numeric), 0);
    EXPECT_FALSE(numeric);
}

TEST(numberText, NarrowingToFloatRoundsAtTheTopOfTheRangeAsTheHardwareDoes) {
    const double largest = std::numeric_limits<float>::max();
    EXPECT_EQ(toFloat(largest), std::numeric_limits<float>::max());
    EXPECT_EQ(toFloat(largest + 0x1p102), std::numeric_limits<float>::max());
    EXPECT_EQ(toFloat(largest + 0x1p103), std::numeric_limits<float>::infinity());
    EXPECT_EQ(toFloat(-1e300), -std::numeric_limits<float>::infinity());
    EXPECT_EQ(toFloat(0.1), 0.1f);
    EXPECT_TRUE(std::isnan(toFloat(std::nan(""))));
}

TEST(numberText, TruncationTowardZeroSaturates) {
    EXPECT_EQ(truncateToInt32(2.9), 2);
    EXPECT_EQ(truncateToInt32(-2.9), -2);
    EXPECT_EQ(truncateToInt32(-0.7), 0);
    EXPECT_EQ(truncateToInt32(2147483647.9), 2147483647);
    EXPECT_EQ(truncateToInt32(3e9), 2147483647);
    EXPECT_EQ(truncateToInt32(-2147483648.9), -2147483647 - 1);
    EXPECT_EQ(truncateToInt32(-1e300), -2147483647 - 1);
    EXPECT_EQ(truncateToInt32(std::nan("")), 0);
}
