#include "analysis/MEftWinBase.h"
#include "analysis/MEftWinFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace {

// Records every window build.
class CountingWinFft : public MEftWinFft {
public:
    void makeWindow(int32_t length, int32_t hop) override {
        builds.emplace_back(length, hop);
        MEftWinFft::makeWindow(length, hop);
    }
    std::vector<std::pair<int32_t, int32_t>> builds;
};

} // namespace

TEST(HammingWindow, PinnedValuesAndSymmetry) {
    MEftWinFft analyser;
    ASSERT_EQ(analyser.prepare(), 0);
    const float* w = analyser.getWindow();
    EXPECT_EQ(w[0], 0.080000013f);
    EXPECT_EQ(w[1023], 0.080000013f);
    EXPECT_EQ(w[1], 0.080008678f);
    EXPECT_EQ(w[256], 0.54070640f);
    EXPECT_EQ(w[511], 0.99999785f);
    EXPECT_EQ(w[512], 0.99999785f);
    for (int32_t i = 0; i < 1024; ++i) {
        // Symmetric up to the rounding of the float angle.
        ASSERT_NEAR(w[i], w[1023 - i], 3e-7) << i;
        const double exact = 0.54 - 0.46 * std::cos(2.0 * 3.14159265358979323846 * i / 1023.0);
        ASSERT_NEAR(w[i], exact, 5e-7) << i;
    }
}

TEST(HammingWindow, RebuiltOnEveryLengthOrHopChange) {
    CountingWinFft analyser;
    ASSERT_EQ(analyser.prepare(), 0);
    analyser.builds.clear();
    const float before = analyser.getWindow()[300];
    ASSERT_EQ(analyser.setHopFraction(4.0f), 0);
    ASSERT_EQ(analyser.setFrameLength(256), 0);
    EXPECT_EQ(analyser.setHopFraction(0.0f), 22);
    ASSERT_EQ(analyser.builds.size(), 2u);
    EXPECT_EQ(analyser.builds[0], std::make_pair(1024, 4096));
    EXPECT_EQ(analyser.builds[1], std::make_pair(256, 1024));
    ASSERT_EQ(analyser.setFrameLength(1024), 0);
    EXPECT_EQ(analyser.getWindow()[300], before);
}

TEST(HammingWindow, SingleEntryWindowIsOne) {
    MEftWinFft analyser;
    ASSERT_EQ(analyser.prepare(), 0);
    ASSERT_EQ(analyser.setFrameLength(1), 0);
    EXPECT_EQ(analyser.getWindow()[0], 1.0f);
    ASSERT_EQ(analyser.setFrameLength(2), 0);
    EXPECT_EQ(analyser.getWindow()[0], 0.080000013f);
    EXPECT_EQ(analyser.getWindow()[1], 0.080000013f);
}

TEST(RectangularWindow, CapturingAnalyserDefault) {
    MEftWinBase analyser;
    ASSERT_EQ(analyser.prepare(), 0);
    for (int32_t i = 0; i < 1024; ++i) {
        ASSERT_EQ(analyser.getWindow()[i], 1.0f) << i;
    }
}
