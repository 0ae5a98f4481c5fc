// The 1024-point transform alone (MEftFrmFft::fftInPlace) and as the analyser
// uses it (window and transform), against FFTW doing the same job.
#include "analysis/MEftFrmFft.h"
#include "analysis/MEftWinFft.h"
#include "analysis/SpectrumLayout.h"
#include "bench/benchmarks.h"
#include "bench/RatioReporter.h"
#include "bench/StereoSignal.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

constexpr int32_t kLength = SpectrumLayout::kFrameLength;
constexpr size_t kBytes = kLength * sizeof(float);

// One summed frame of the test signal.
std::vector<float> frame() {
    StereoSignal s(kLength, 3);
    std::vector<float> f(kLength);
    for (size_t i = 0; i < f.size(); ++i) {
        f[i] = *s.leftAt(i) + *s.rightAt(i);
    }
    return f;
}

// The Hamming window as the analyser builds it.
std::vector<float> window() {
    MEftWinFft owner;
    owner.prepare();
    return std::vector<float>(owner.getWindow(), owner.getWindow() + kLength);
}

// Both transforms start every iteration from the same input, reloaded by
// the same memcpy: the transform works in place.
void tqFftInPlace(benchmark::State& state, bool wide) {
    MEftWinFft owner;
    owner.prepare();
    MEftFrmFft fft(&owner);
    fft.setSize(kLength);
    fft.prepare();
    fft.useWideVectors(wide);
    const std::vector<float> re = frame();
    const std::vector<float> im(kLength, 0.0f);
    for (auto _ : state) {
        std::memcpy(fft.getRe(), re.data(), kBytes);
        std::memcpy(fft.getIm(), im.data(), kBytes);
        fft.fftInPlace();
        benchmark::DoNotOptimize(fft.getRe());
        benchmark::ClobberMemory();
    }
}

void fftwSplitInPlace(benchmark::State& state) {
    float* xr = fftwf_alloc_real(kLength);
    float* xi = fftwf_alloc_real(kLength);
    fftwf_iodim dim{kLength, 1, 1};
    fftwf_plan plan = fftwf_plan_guru_split_dft(1, &dim, 0, nullptr, xr, xi, xr, xi, FFTW_MEASURE);
    const std::vector<float> re = frame();
    const std::vector<float> im(kLength, 0.0f);
    for (auto _ : state) {
        std::memcpy(xr, re.data(), kBytes);
        std::memcpy(xi, im.data(), kBytes);
        fftwf_execute_split_dft(plan, xr, xi, xr, xi);
        benchmark::DoNotOptimize(xr);
        benchmark::ClobberMemory();
    }
    fftwf_destroy_plan(plan);
    fftwf_free(xi);
    fftwf_free(xr);
}

void fftwRealInPlace(benchmark::State& state) {
    float* x = fftwf_alloc_real(kLength);
    fftwf_complex* y = fftwf_alloc_complex(kLength / 2 + 1);
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(kLength, x, y, FFTW_MEASURE);
    const std::vector<float> re = frame();
    for (auto _ : state) {
        // Out of place: only the real input is reloaded.
        std::memcpy(x, re.data(), kBytes);
        fftwf_execute(plan);
        benchmark::DoNotOptimize(y);
        benchmark::ClobberMemory();
    }
    fftwf_destroy_plan(plan);
    fftwf_free(y);
    fftwf_free(x);
}

// The analyser's use: window the captured frame and transform it.
void tqTransformFrame(benchmark::State& state) {
    MEftWinFft owner;
    owner.prepare();
    MEftFrmFft fft(&owner);
    fft.setSize(kLength);
    fft.prepare();
    const std::vector<float> f = frame();
    for (auto _ : state) {
        fft.transformFrame(f.data(), nullptr);
        benchmark::DoNotOptimize(fft.getRe());
        benchmark::ClobberMemory();
    }
}

void fftwWindowReal(benchmark::State& state) {
    float* x = fftwf_alloc_real(kLength);
    fftwf_complex* y = fftwf_alloc_complex(kLength / 2 + 1);
    fftwf_plan plan = fftwf_plan_dft_r2c_1d(kLength, x, y, FFTW_MEASURE);
    const std::vector<float> f = frame();
    const std::vector<float> w = window();
    for (auto _ : state) {
        for (size_t i = 0; i < kLength; ++i) {
            x[i] = w[i] * f[i];
        }
        fftwf_execute(plan);
        benchmark::DoNotOptimize(y);
        benchmark::ClobberMemory();
    }
    fftwf_destroy_plan(plan);
    fftwf_free(y);
    fftwf_free(x);
}

} // namespace

void registerTransformBenchmarks(RatioReporter& table) {
    RatioReporter::measured(
        benchmark::RegisterBenchmark("fft1024/tq-spectrum/fftInPlace", tqFftInPlace, true));
    // Processors without 256-bit vectors take the baseline path.
    RatioReporter::measured(benchmark::RegisterBenchmark(
        "fft1024/tq-spectrum/fftInPlace-baseline-vectors", tqFftInPlace, false));
    RatioReporter::measured(
        benchmark::RegisterBenchmark("fft1024/fftw/complex-split", fftwSplitInPlace));
    RatioReporter::measured(benchmark::RegisterBenchmark("fft1024/fftw/real", fftwRealInPlace));
    RatioReporter::measured(benchmark::RegisterBenchmark(
        "window+fft1024/tq-spectrum/transformFrame", tqTransformFrame));
    RatioReporter::measured(
        benchmark::RegisterBenchmark("window+fft1024/fftw/real", fftwWindowReal));
    const auto ns = RatioReporter::Unit::nanoseconds;
    table.addRow({"1024-point FFT (fftInPlace, with reload)", "fft1024/tq-spectrum/fftInPlace",
                  "fft1024/fftw/complex-split", "FFTW complex, split re/im, in place", 1.0, ns});
    table.addRow({"1024-point FFT (fftInPlace, with reload)", "fft1024/tq-spectrum/fftInPlace",
                  "fft1024/fftw/real", "FFTW real-input", 1.0, ns});
    table.addRow({"1024-point FFT, baseline vectors only (no AVX2)",
                  "fft1024/tq-spectrum/fftInPlace-baseline-vectors", "fft1024/fftw/complex-split",
                  "FFTW complex, split re/im, in place", 1.0, ns});
    table.addRow({"window + 1024-point FFT (transformFrame)",
                  "window+fft1024/tq-spectrum/transformFrame", "window+fft1024/fftw/real",
                  "window + FFTW real-input", 1.0, ns});
}
