#include "tests/support/allocationHook.h"

#include "analysis/MEftFrmFft.h"
#include "analysis/MEftWinBase.h"
#include "analysis/MEftWinFft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <random>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;

// A transform of size n whose owner has a rectangular window of n samples.
struct RectangularFft {
    explicit RectangularFft(int32_t n) : fft(&owner) {
        EXPECT_EQ(owner.setFrameLength(n), 0);
        EXPECT_EQ(fft.setSize(n), 0);
        EXPECT_EQ(fft.prepare(), 0);
    }
    std::vector<std::complex<double>> run(const std::vector<std::complex<float>>& x) {
        for (size_t i = 0; i < x.size(); ++i) {
            fft.getRe()[i] = x[i].real();
            fft.getIm()[i] = x[i].imag();
        }
        fft.fftInPlace();
        std::vector<std::complex<double>> out(x.size());
        for (size_t i = 0; i < x.size(); ++i) {
            out[i] = {fft.getRe()[i], fft.getIm()[i]};
        }
        return out;
    }
    MEftWinBase owner;
    MEftFrmFft fft;
};

std::vector<std::complex<double>> naiveDft(const std::vector<std::complex<float>>& x) {
    const size_t n = x.size();
    std::vector<std::complex<double>> out(n);
    for (size_t k = 0; k < n; ++k) {
        std::complex<double> sum = 0.0;
        for (size_t m = 0; m < n; ++m) {
            const double a = -2.0 * pi * static_cast<double>((k * m) % n) / static_cast<double>(n);
            sum += std::complex<double>(x[m]) * std::polar(1.0, a);
        }
        out[k] = sum;
    }
    return out;
}

double snrDb(const std::vector<std::complex<double>>& ref,
             const std::vector<std::complex<double>>& got) {
    double signal = 0.0;
    double noise = 0.0;
    for (size_t i = 0; i < ref.size(); ++i) {
        signal += std::norm(ref[i]);
        noise += std::norm(got[i] - ref[i]);
    }
    return 10.0 * std::log10(signal / noise);
}

} // namespace

TEST(MEftFrmFft, MatchesNaiveDftOnRandomSignals) {
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    for (int32_t n = 2; n <= 1024; n *= 2) {
        RectangularFft t(n);
        for (bool complexInput : {false, true}) {
            std::vector<std::complex<float>> x(static_cast<size_t>(n));
            for (auto& v : x) {
                v = {dist(rng), complexInput ? dist(rng) : 0.0f};
            }
            // Single precision reaches 113 dB at 1024 points and more below;
            // a wrong twiddle or butterfly falls far under the bound.
            EXPECT_GT(snrDb(naiveDft(x), t.run(x)), 105.0) << "n=" << n;
        }
    }
}

TEST(MEftFrmFft, KnownSpectra) {
    const int32_t n = 1024;
    RectangularFft t(n);
    std::vector<std::complex<float>> x(n, 0.0f);
    x[0] = 1.0f;
    auto impulse = t.run(x);
    for (int32_t k = 0; k < n; ++k) {
        ASSERT_EQ(impulse[k].real(), 1.0) << k;
        ASSERT_EQ(impulse[k].imag(), 0.0) << k;
    }

    std::fill(x.begin(), x.end(), 1.0f);
    auto constant = t.run(x);
    EXPECT_EQ(constant[0].real(), 1024.0);
    for (int32_t k = 1; k < n; ++k) {
        ASSERT_LT(std::abs(constant[k]), 1e-3) << k;
    }

    const int32_t k0 = 37;
    for (int32_t m = 0; m < n; ++m) {
        x[m] = static_cast<float>(std::cos(2.0 * pi * k0 * m / n));
    }
    auto cosine = t.run(x);
    EXPECT_NEAR(cosine[k0].real(), 512.0, 1e-3);
    EXPECT_NEAR(cosine[n - k0].real(), 512.0, 1e-3);
    for (int32_t k = 0; k < n; ++k) {
        if (k != k0 && k != n - k0) {
            ASSERT_LT(std::abs(cosine[k]), 5e-3) << k;
        }
    }
}

TEST(MEftFrmFft, InverseRestoresRealSignal) {
    RectangularFft t(256);
    std::mt19937 rng(99);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    std::vector<float> x(256);
    for (size_t i = 0; i < x.size(); ++i) {
        x[i] = dist(rng);
        t.fft.getRe()[i] = x[i];
        t.fft.getIm()[i] = 0.0f;
    }
    t.fft.fftInPlace();
    t.fft.inverseInPlace();
    for (size_t i = 0; i < x.size(); ++i) {
        ASSERT_NEAR(t.fft.getRe()[i], x[i], 3e-6) << i;
        ASSERT_NEAR(t.fft.getIm()[i], 0.0f, 3e-6) << i;
    }
}

TEST(MEftFrmFft, TwiddleTablesPerStage) {
    RectangularFft t(1024);
    ASSERT_EQ(t.fft.getLog2Size(), 10);
    EXPECT_EQ(t.fft.getCosTable()[0], -1.0f);
    EXPECT_EQ(t.fft.getSinTable()[0], -std::sin(3.1415927f));
    EXPECT_EQ(t.fft.getSinTable()[1], -1.0f);
    for (int32_t stage = 1; stage <= 10; ++stage) {
        const double angle = pi / static_cast<double>(1 << (stage - 1));
        EXPECT_NEAR(t.fft.getCosTable()[stage - 1], std::cos(angle), 2e-7);
        EXPECT_NEAR(t.fft.getSinTable()[stage - 1], -std::sin(angle), 2e-7);
    }
}

TEST(MEftFrmFft, SetSizeChecksPowersOfTwo) {
    MEftWinBase owner;
    MEftFrmFft fft(&owner);
    EXPECT_EQ(fft.getSize(), 1024);
    EXPECT_EQ(fft.getLog2Size(), 10);
    EXPECT_FALSE(fft.isReady());
    for (int32_t bad : {1000, 0, -8, 3, 1025, 2147483647}) {
        EXPECT_EQ(fft.setSize(bad), 22) << bad;
    }
    EXPECT_EQ(fft.getSize(), 1024);
    EXPECT_EQ(fft.getRe(), nullptr);

    ASSERT_EQ(fft.setSize(1), 0);
    EXPECT_EQ(fft.getLog2Size(), 0);
    fft.getRe()[0] = 3.5f;
    fft.getIm()[0] = -2.0f;
    fft.fftInPlace();
    EXPECT_EQ(fft.getRe()[0], 3.5f);
    EXPECT_EQ(fft.getIm()[0], -2.0f);
}

TEST(MEftFrmFft, SameSizeAllocatesNothing) {
    RectangularFft t(512);
    const float* re = t.fft.getRe();
    const float* im = t.fft.getIm();
    const float* cosTable = t.fft.getCosTable();
    allocationHook::startCounting();
    EXPECT_EQ(t.fft.setSize(512), 0);
    EXPECT_EQ(t.fft.prepare(), 0);
    EXPECT_EQ(allocationHook::stopCounting(), 0u);
    EXPECT_EQ(t.fft.getRe(), re);
    EXPECT_EQ(t.fft.getIm(), im);
    EXPECT_EQ(t.fft.getCosTable(), cosTable);
}

TEST(MEftFrmFft, ResizeWithoutPrepareStillTransformsCorrectly) {
    RectangularFft t(1024);
    ASSERT_EQ(t.owner.setFrameLength(64), 0);
    ASSERT_EQ(t.fft.setSize(64), 0);
    std::vector<std::complex<float>> x(64);
    for (size_t i = 0; i < x.size(); ++i) {
        x[i] = {static_cast<float>(i % 7) - 3.0f, 0.0f};
    }
    EXPECT_GT(snrDb(naiveDft(x), t.run(x)), 105.0);
}

TEST(MEftFrmFft, FailedAllocationNeverRunsAndRecovers) {
    RectangularFft t(1024);
    // re and im take 512 entries, then the cosine table fails.
    allocationHook::failNothrowAllocation(3);
    EXPECT_EQ(t.fft.setSize(512), 13);
    allocationHook::clearFailure();
    EXPECT_EQ(t.fft.getSize(), 1024);
    EXPECT_EQ(t.fft.getCosTable(), nullptr);
    EXPECT_FALSE(t.fft.isReady());
    t.fft.fftInPlace();
    t.fft.inverseInPlace();
    const float frame[1024] = {1.0f};
    t.fft.transformFrame(frame, nullptr);

    // Back to the old size: the arrays left at 512 entries must grow again.
    ASSERT_EQ(t.fft.setSize(1024), 0);
    EXPECT_TRUE(t.fft.isReady());
    std::vector<std::complex<float>> x(1024);
    for (size_t i = 0; i < x.size(); ++i) {
        x[i] = {static_cast<float>(i % 5) - 2.0f, static_cast<float>(i % 3)};
    }
    EXPECT_GT(snrDb(naiveDft(x), t.run(x)), 105.0);
}

TEST(MEftFrmFft, TransformFrameAppliesOwnersWindow) {
    MEftWinFft analyser;
    ASSERT_EQ(analyser.prepare(), 0);
    const MEftFrmFft* fft = analyser.getFft();
    ASSERT_NE(fft, nullptr);
    std::vector<float> frame(1024, 1.0f);
    analyser.analyseFrame(frame.data(), nullptr);
    // The sum of the 1024-point Hamming window.
    EXPECT_NEAR(fft->getRe()[0], 552.5f, 0.01f);
    EXPECT_EQ(fft->getIm()[0], 0.0f);
}

TEST(MEftFrmFft, TransformFrameSkipsFramesOfAnotherLength) {
    RectangularFft t(1024);
    ASSERT_EQ(t.fft.setSize(64), 0);
    t.fft.getRe()[0] = 42.0f;
    std::vector<float> frame(1024, 1.0f);
    t.fft.transformFrame(frame.data(), nullptr);
    EXPECT_EQ(t.fft.getRe()[0], 42.0f);
}
