#include "tests/support/allocationHook.h"

#include "analysis/tq_spectrumCore.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <utility>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;

// Notes the last sample of every frame before analysing it as usual.
class ObservedCore : public tq_spectrumCore {
public:
    void analyseFrame(float* frame, float* spectrum) override {
        lastSamples.push_back(frame[getFrameLength() - 1]);
        tq_spectrumCore::analyseFrame(frame, spectrum);
    }
    std::vector<float> lastSamples;
    int32_t frames() const { return frameCounter; }
};

// Runs left/right through process in repeating block sizes.
void run(tq_spectrumCore& core, std::vector<float> left, std::vector<float> right,
         const std::vector<int32_t>& blocks) {
    size_t pos = 0;
    for (size_t b = 0; pos < left.size(); ++b) {
        const size_t n =
            std::min<size_t>(static_cast<size_t>(blocks[b % blocks.size()]), left.size() - pos);
        float* io[2] = {left.data() + pos, right.data() + pos};
        core.process(io, io, static_cast<int32_t>(n));
        pos += n;
    }
}

std::vector<float> sine(double amplitude, int32_t bin, size_t n) {
    std::vector<float> x(n);
    for (size_t i = 0; i < n; ++i) {
        x[i] = static_cast<float>(amplitude * std::sin(2.0 * pi * bin * i / 1024.0));
    }
    return x;
}

float bandOf(const tq_spectrumCore& core, int32_t b) {
    return core.bandLevel[b].load(std::memory_order_relaxed);
}

} // namespace

TEST(SpectrumCore, ConstructedSettingsAndTables) {
    auto core = std::make_unique<tq_spectrumCore>();
    EXPECT_EQ(core->getFrameLength(), 1024);
    EXPECT_EQ(core->getHopFraction(), 4.0f);
    EXPECT_EQ(core->getHopLength(), 4096);
    EXPECT_EQ(core->getSampleRate(), 44100.0f);
    EXPECT_EQ(core->getNumInputs(), 2);
    ASSERT_NE(core->getFft(), nullptr);
    EXPECT_EQ(core->getFft()->getSize(), 1024);
    EXPECT_EQ(core->getFft()->getLog2Size(), 10);
    EXPECT_EQ(core->getWindow()[512], 0.99999785f);
    const int32_t pins[][2] = {{0, 0}, {1, 5}, {2, 10}, {3, 16}, {18, 96}, {95, 506}, {96, 512}};
    for (const auto& pin : pins) {
        EXPECT_EQ(core->bandStartBin[pin[0]].load(), pin[1]) << pin[0];
    }
    for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        EXPECT_EQ(bandOf(*core, b), 0.0f);
        EXPECT_EQ(core->bandStartBin[b].load(), (16 * b) / 3);
    }
}

TEST(SpectrumCore, OneFrameInEveryHopRegardlessOfBlocks) {
    for (const std::vector<int32_t>& blocks :
         {std::vector<int32_t>{4096}, {1}, {333, 1000, 7}, {8192}}) {
        auto core = std::make_unique<ObservedCore>();
        std::vector<float> left(17408), right(17408, 0.0f);
        for (size_t i = 0; i < left.size(); ++i) {
            left[i] = static_cast<float>(i);
        }
        run(*core, left, right, blocks);
        EXPECT_EQ(core->lastSamples, (std::vector<float>{1023, 5119, 9215, 13311, 17407}));
    }
}

TEST(SpectrumCore, SampleRateChangeKeepsTheHop) {
    auto core = std::make_unique<ObservedCore>();
    const MEftFrmFft* fft = core->getFft();
    EXPECT_EQ(core->setSampleRate(48000.0f), 0);
    EXPECT_EQ(core->setBlockSize(512), 0);
    EXPECT_EQ(core->getSampleRate(), 48000.0f);
    EXPECT_EQ(core->getHopFraction(), 4.0f);
    EXPECT_EQ(core->getFft(), fft);
    EXPECT_EQ(core->getFft()->getSize(), 1024);
    run(*core, std::vector<float>(9216, 0.0f), std::vector<float>(9216, 0.0f), {512});
    EXPECT_EQ(core->lastSamples.size(), 3u);
}

TEST(SpectrumCore, ProcessCountsFrames) {
    auto core = std::make_unique<ObservedCore>();
    std::vector<float> left(700, 0.0f), right(700, 0.0f);
    float* io[2] = {left.data(), right.data()};
    core->process(io, io, 700);
    core->process(nullptr, nullptr, 300);
    EXPECT_EQ(core->frames(), 1000);
    core->process(io, io, -50);
    core->process(io, io, 0);
    EXPECT_EQ(core->frames(), 1000);
}

TEST(SpectrumCore, InitializeRestartsTheCapture) {
    auto core = std::make_unique<ObservedCore>();
    run(*core, std::vector<float>(1000, 0.0f), std::vector<float>(1000, 0.0f), {1000});
    EXPECT_EQ(core->initialize(), 0);
    run(*core, std::vector<float>(1000, 0.0f), std::vector<float>(1000, 0.0f), {1000});
    EXPECT_TRUE(core->lastSamples.empty());
}

TEST(SpectrumCore, BinLevelScale) {
    EXPECT_EQ(tq_spectrumCore::binLevel(1.0f, 0.0f), 0.5f);
    EXPECT_NEAR(tq_spectrumCore::binLevel(0.6f, -0.8f), 0.5f, 1e-6f);
    EXPECT_NEAR(tq_spectrumCore::binLevel(31.62f, 0.0f), 1.0f, 2e-5f);
    EXPECT_EQ(tq_spectrumCore::binLevel(31.63f, 0.0f), 1.0f);
    EXPECT_EQ(tq_spectrumCore::binLevel(0.0f, -1000.0f), 1.0f);
    EXPECT_EQ(tq_spectrumCore::binLevel(0.03162f, 0.0f), 0.0f);
    EXPECT_EQ(tq_spectrumCore::binLevel(0.0f, 0.0f), 0.0f);
    EXPECT_NEAR(tq_spectrumCore::binLevel(10.0f, 0.0f), 0.5f + 1.0f / 3.0f, 1e-6f);
    EXPECT_NEAR(tq_spectrumCore::binLevel(0.1f, 0.0f), 0.5f - 1.0f / 3.0f, 1e-6f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(tq_spectrumCore::binLevel(nan, 1.0f), 0.0f);
    EXPECT_EQ(tq_spectrumCore::binLevel(inf, 0.0f), 1.0f);
}

TEST(SpectrumCore, SineAtBinCentre) {
    const int32_t k = 100;
    // Band 18 covers bins 96 to 100 on the linear axis.
    const double amplitudes[] = {0.1, 0.06, 0.01, 0.001};
    float levels[4] = {};
    for (int i = 0; i < 4; ++i) {
        auto core = std::make_unique<tq_spectrumCore>();
        const double a = amplitudes[i];
        run(*core, sine(a, k, 1024), sine(a, k, 1024), {256});
        const float* re = core->getFft()->getRe();
        const float* im = core->getFft()->getIm();
        EXPECT_NEAR(std::hypot(re[k], im[k]), 552.5 * a, 552.5 * a * 1e-4) << a;
        levels[i] = bandOf(*core, 18);
        EXPECT_EQ(bandOf(*core, 17), tq_spectrumCore::binLevel(re[95], im[95]));
        EXPECT_LT(bandOf(*core, 17), levels[i]);
    }
    EXPECT_EQ(levels[0], 1.0f);
    EXPECT_EQ(levels[1], 1.0f);
    EXPECT_NEAR(levels[2] - levels[3], 1.0f / 3.0f, 1e-4f);
    EXPECT_NEAR(levels[2], (20.0 * std::log10(5.525) + 30.0) / 60.0, 1e-4);
}

TEST(SpectrumCore, SilenceAndNanNeverRaiseLevels) {
    auto core = std::make_unique<tq_spectrumCore>();
    core->bandLevel[3].store(0.25f);
    std::vector<float> frame(1024, 0.0f);
    std::vector<float> spectrum(2048, 9.0f);
    core->analyseFrame(frame.data(), spectrum.data());
    for (int32_t k = 0; k < 512; ++k) {
        ASSERT_EQ(spectrum[k], 0.0f) << k;
    }
    frame[17] = std::numeric_limits<float>::quiet_NaN();
    core->analyseFrame(frame.data(), spectrum.data());
    for (int32_t k = 0; k < 512; ++k) {
        ASSERT_EQ(tq_spectrumCore::powerLevel(spectrum[k]), 0.0f) << k;
    }
    for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        ASSERT_EQ(bandOf(*core, b), b == 3 ? 0.25f : 0.0f) << b;
    }
}

TEST(SpectrumCore, BandMaxima) {
    // Squared magnitudes k / 1024, with loud values around the 512 bins that
    // betray any read outside them, and a NaN that must never win.
    std::vector<float> storage(1536, 1e6f);
    float* spectrum = storage.data() + 512;
    for (int32_t k = 0; k < 512; ++k) {
        spectrum[k] = static_cast<float>(k) / 1024.0f;
    }
    spectrum[0] = 0.7f;
    spectrum[7] = 0.9f;
    spectrum[13] = std::numeric_limits<float>::quiet_NaN();
    const std::pair<int32_t, int32_t> starts[] = {{4, 300},  {5, 300},        {6, -40}, {7, 3},
                                                  {10, 512}, {11, INT32_MAX}, {12, -5}, {96, 7}};
    // Each band's largest squared magnitude, whose level it must show.
    const std::pair<int32_t, float> expected[] = {
        {0, 0.7f},           // bins 0..4
        {1, 0.9f},           // bins 5..9
        {2, 15.0f / 1024},   // bins 10..15
        {3, 299.0f / 1024},  // bins 16..299
        {4, 300.0f / 1024},  // the next band starts at the same bin
        {5, 300.0f / 1024},  // the next band starts lower
        {6, 0.7f},           // a negative start reads from bin 0
        {7, 0.9f},           // bins 3..41
        {9, 511.0f / 1024},  // bins 48..511: the next band lies above
        {10, 0.0f},          // starts at 512
        {11, 0.0f},          // far above
        {12, 0.9f},          // bins 0..68
        {21, 116.0f / 1024}, // bins 112..116
        {95, 506.0f / 1024}, // the next start lies lower
        {96, 0.9f},          // its start bin alone
    };
    // The build's choice, and both ways on their own.
    using Pass = void (tq_spectrumCore::*)(const float*);
    for (const Pass pass :
         {&tq_spectrumCore::raiseBandLevels, &tq_spectrumCore::raiseBandLevelsByPeak,
          &tq_spectrumCore::raiseBandLevelsPerBin}) {
        auto core = std::make_unique<tq_spectrumCore>();
        for (const auto& [band, bin] : starts) {
            core->bandStartBin[band].store(bin);
        }
        core->bandLevel[20].store(0.8f);
        ((*core).*pass)(spectrum);
        for (const auto& [band, power] : expected) {
            EXPECT_EQ(bandOf(*core, band), tq_spectrumCore::powerLevel(power)) << band;
        }
        EXPECT_EQ(bandOf(*core, 20), 0.8f) << "a level only rises";
    }
}

TEST(SpectrumCore, PassThroughAndMissingBuffers) {
    auto core = std::make_unique<ObservedCore>();
    std::vector<float> left(5000), right(5000);
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = std::sin(static_cast<float>(i) * 0.37f);
        right[i] = static_cast<float>(i) * 1e-9f;
    }
    std::vector<float> outL(5000, 3.0f), outR(5000, 3.0f);
    float* in[2] = {left.data(), right.data()};
    float* out[2] = {outL.data(), outR.data()};
    core->process(in, out, 5000);
    EXPECT_EQ(std::memcmp(outL.data(), left.data(), 5000 * sizeof(float)), 0);
    EXPECT_EQ(std::memcmp(outR.data(), right.data(), 5000 * sizeof(float)), 0);
    // The accumulating entry is routed to the same replacing process.
    std::fill(outL.begin(), outL.end(), 3.0f);
    core->processAccumulating(in, out, 5000);
    EXPECT_EQ(std::memcmp(outL.data(), left.data(), 5000 * sizeof(float)), 0);
    const auto copy = left;
    core->process(in, in, 5000);
    EXPECT_EQ(std::memcmp(copy.data(), left.data(), 5000 * sizeof(float)), 0);

    const size_t frames = core->lastSamples.size();
    core->process(nullptr, nullptr, 4096);
    core->process(in, out, 0);
    core->process(in, out, -7);
    float* none[2] = {nullptr, nullptr};
    core->process(none, out, 4096);
    EXPECT_EQ(core->lastSamples.size(), frames);
}

TEST(SpectrumCore, FailedSetUpSkipsAnalysis) {
    for (int failing : {1, 2, 4}) {
        // 1: the transform object, 2 and 4: one of its arrays.
        allocationHook::failNothrowAllocation(failing);
        auto core = std::make_unique<tq_spectrumCore>();
        allocationHook::clearFailure();
        if (failing == 1) {
            EXPECT_EQ(core->getFft(), nullptr);
        } else {
            ASSERT_NE(core->getFft(), nullptr);
            EXPECT_FALSE(core->getFft()->isReady());
        }
        run(*core, sine(0.5, 10, 9216), sine(0.5, 10, 9216), {1024});
        for (int32_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
            ASSERT_EQ(bandOf(*core, b), 0.0f) << failing;
        }
    }
}

TEST(SpectrumCore, ProcessAllocatesNothing) {
    auto core = std::make_unique<tq_spectrumCore>();
    std::vector<float> left = sine(0.3, 40, 1024), right = sine(0.2, 80, 1024);
    float* io[2] = {left.data(), right.data()};
    allocationHook::startCounting();
    for (int i = 0; i < 40; ++i) {
        core->process(io, io, 1024);
    }
    EXPECT_EQ(allocationHook::stopCounting(), 0u);
    EXPECT_EQ(bandOf(*core, 7), 1.0f);
    EXPECT_EQ(bandOf(*core, 15), 1.0f);
}
