// The level pass from 512 bins to 97 bands (magnitude, 20 log10, mapping to
// 0..1, band maxima over the linear axis) on the spectrum of a frame of the
// test signal.
#include "analysis/MEftFrmFft.h"
#include "analysis/MEftWinFft.h"
#include "analysis/tq_spectrumCore.h"
#include "bench/benchmarks.h"
#include "bench/FftwAnalysis.h"
#include "bench/RatioReporter.h"
#include "bench/StereoSignal.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr size_t kBins = SpectrumLayout::kLevelBins;

// re and im of the first 512 bins of a windowed, summed frame.
struct Spectrum {
    std::vector<float> re;
    std::vector<float> im;

    Spectrum() : re(kBins), im(kBins) {
        MEftWinFft owner;
        owner.prepare();
        MEftFrmFft fft(&owner);
        fft.setSize(SpectrumLayout::kFrameLength);
        fft.prepare();
        StereoSignal s(SpectrumLayout::kFrameLength, 5);
        std::vector<float> frame(SpectrumLayout::kFrameLength);
        for (size_t i = 0; i < frame.size(); ++i) {
            frame[i] = *s.leftAt(i) + *s.rightAt(i);
        }
        fft.transformFrame(frame.data(), nullptr);
        for (size_t k = 0; k < kBins; ++k) {
            re[k] = fft.getRe()[k];
            im[k] = fft.getIm()[k];
        }
    }
};

const Spectrum& spectrum() {
    static const Spectrum s;
    return s;
}

// The plug-in's pass: squared magnitudes, then the bands from them. The band
// levels are cleared each time, so that every band is raised.
void tqLevels(benchmark::State& state) {
    const Spectrum& s = spectrum();
    auto core = std::make_unique<tq_spectrumCore>();
    std::vector<float> powers(kBins);
    for (auto _ : state) {
        for (auto& level : core->bandLevel) {
            level.store(0.0f, std::memory_order_relaxed);
        }
        tq_spectrumCore::binPowers(s.re.data(), s.im.data(), powers.data(),
                                   static_cast<int32_t>(kBins));
        core->raiseBandLevels(powers.data());
        benchmark::DoNotOptimize(core->bandLevel);
        benchmark::ClobberMemory();
    }
}

void plainLevels(benchmark::State& state) {
    const Spectrum& s = spectrum();
    std::vector<fftwf_complex> interleaved(kBins);
    for (size_t k = 0; k < kBins; ++k) {
        interleaved[k][0] = s.re[k];
        interleaved[k][1] = s.im[k];
    }
    std::vector<int32_t> starts(SpectrumLayout::kBandCount);
    for (size_t b = 0; b < starts.size(); ++b) {
        starts[b] = SpectrumLayout::linearStartBin(static_cast<int32_t>(b));
    }
    std::vector<float> levels(kBins);
    std::vector<float> bands(SpectrumLayout::kBandCount);
    for (auto _ : state) {
        std::fill(bands.begin(), bands.end(), 0.0f);
        FftwAnalysis::levels(interleaved.data(), levels.data(), kBins);
        FftwAnalysis::raiseBands(levels.data(), starts.data(), bands.data());
        benchmark::DoNotOptimize(bands.data());
        benchmark::ClobberMemory();
    }
}

// What the C library's log10 alone costs for the same 512 magnitudes.
void log10Only(benchmark::State& state) {
    const Spectrum& s = spectrum();
    std::vector<float> magnitude(kBins);
    for (size_t k = 0; k < kBins; ++k) {
        magnitude[k] = std::sqrt(s.re[k] * s.re[k] + s.im[k] * s.im[k]);
    }
    std::vector<float> out(kBins);
    for (auto _ : state) {
        for (size_t k = 0; k < kBins; ++k) {
            out[k] = std::log10(magnitude[k]);
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

} // namespace

void registerLevelBenchmarks(RatioReporter& table) {
    RatioReporter::measured(benchmark::RegisterBenchmark("levels512/tq-spectrum", tqLevels));
    RatioReporter::measured(benchmark::RegisterBenchmark("levels512/plain-loop", plainLevels));
    RatioReporter::measured(benchmark::RegisterBenchmark("levels512/log10-only", log10Only));
    const auto ns = RatioReporter::Unit::nanoseconds;
    table.addRow({"level pass, 512 bins to 97 bands", "levels512/tq-spectrum",
                  "levels512/plain-loop", "plain loop (as in the FFTW version)", 1.0, ns});
    table.addRow({"level pass, 512 bins to 97 bands", "levels512/tq-spectrum",
                  "levels512/log10-only", "512 log10f calls alone", 1.0, ns});
}
