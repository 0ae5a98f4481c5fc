// The level pass over 512 bins (magnitude, 20 log10, mapping to 0..1) on the
// spectrum of a frame of the test signal.
#include "analysis/MEftFrmFft.h"
#include "analysis/MEftWinFft.h"
#include "analysis/tq_spectrumCore.h"
#include "bench/benchmarks.h"
#include "bench/FftwAnalysis.h"
#include "bench/RatioReporter.h"
#include "bench/StereoSignal.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <vector>

namespace {

constexpr size_t bins = 512;

// re and im of the first 512 bins of a windowed, summed frame.
struct Spectrum {
    std::vector<float> re;
    std::vector<float> im;

    Spectrum() : re(bins), im(bins) {
        MEftWinFft owner;
        owner.prepare();
        MEftFrmFft fft(&owner);
        fft.setSize(1024);
        fft.prepare();
        StereoSignal s(1024, 5);
        std::vector<float> frame(1024);
        for (size_t i = 0; i < frame.size(); ++i) {
            frame[i] = *s.leftAt(i) + *s.rightAt(i);
        }
        fft.transformFrame(frame.data(), nullptr);
        for (size_t k = 0; k < bins; ++k) {
            re[k] = fft.getRe()[k];
            im[k] = fft.getIm()[k];
        }
    }
};

const Spectrum& spectrum() {
    static const Spectrum s;
    return s;
}

void tqLevels(benchmark::State& state) {
    const Spectrum& s = spectrum();
    std::vector<float> levels(bins);
    for (auto _ : state) {
        tq_spectrumCore::binLevels(s.re.data(), s.im.data(), levels.data(),
                                   static_cast<int32_t>(bins));
        benchmark::DoNotOptimize(levels.data());
        benchmark::ClobberMemory();
    }
}

void plainLevels(benchmark::State& state) {
    const Spectrum& s = spectrum();
    std::vector<fftwf_complex> interleaved(bins);
    for (size_t k = 0; k < bins; ++k) {
        interleaved[k][0] = s.re[k];
        interleaved[k][1] = s.im[k];
    }
    std::vector<float> levels(bins);
    for (auto _ : state) {
        FftwAnalysis::levels(interleaved.data(), levels.data(), bins);
        benchmark::DoNotOptimize(levels.data());
        benchmark::ClobberMemory();
    }
}

// What the C library's log10 alone costs for the same 512 magnitudes.
void log10Only(benchmark::State& state) {
    const Spectrum& s = spectrum();
    std::vector<float> magnitude(bins);
    for (size_t k = 0; k < bins; ++k) {
        magnitude[k] = std::sqrt(s.re[k] * s.re[k] + s.im[k] * s.im[k]);
    }
    std::vector<float> out(bins);
    for (auto _ : state) {
        for (size_t k = 0; k < bins; ++k) {
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
    table.addRow({"level pass, 512 bins", "levels512/tq-spectrum", "levels512/plain-loop",
                  "plain loop (as in the FFTW version)", 1.0, ns});
    table.addRow({"level pass, 512 bins", "levels512/tq-spectrum", "levels512/log10-only",
                  "512 log10f calls alone", 1.0, ns});
}
