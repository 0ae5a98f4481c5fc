// processReplacing through the AEffect entry against the floor (memcpy of
// the same buffers) and against the same analysis written on FFTW.
#include "analysis/tq_spectrumCore.h"
#include "bench/benchmarks.h"
#include "bench/FftwAnalysis.h"
#include "bench/PluginInstance.h"
#include "bench/RatioReporter.h"
#include "bench/StereoSignal.h"
#include "shell/tq_spectrum.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Long enough that blocks do not keep hitting the same cache lines, a
// multiple of every block size so that blocks never wrap.
constexpr size_t kSignalFrames = size_t{1} << 17;

StereoSignal& signal() {
    static StereoSignal s(kSignalFrames, 8);
    return s;
}

// Runs process on consecutive blocks of the signal into two output buffers.
template <class Process>
void runBlocks(benchmark::State& state, int32_t block, Process process) {
    const size_t count = static_cast<size_t>(block);
    std::vector<float> outLeft(count), outRight(count);
    float* outs[2] = {outLeft.data(), outRight.data()};
    size_t pos = 0;
    for (auto _ : state) {
        float* ins[2] = {signal().leftAt(pos), signal().rightAt(pos)};
        process(ins, outs, block);
        benchmark::DoNotOptimize(outs[0]);
        benchmark::ClobberMemory();
        pos = pos + count < kSignalFrames ? pos + count : 0;
    }
}

void plugin(benchmark::State& state, int32_t block) {
    PluginInstance plugin(block);
    AEffect* effect = plugin.effect();
    runBlocks(state, block, [effect](float** ins, float** outs, int32_t n) {
        effect->processReplacing(effect, ins, outs, n);
    });
}

// The same with every band level lowered by 0.2 once per hop, as the open
// editor does: every band may rise again, and each frame takes its 97
// logarithms.
void pluginFalling(benchmark::State& state, int32_t block) {
    PluginInstance plugin(block);
    AEffect* effect = plugin.effect();
    tq_spectrumCore* core = static_cast<tq_spectrum*>(effect->object)->getCore();
    size_t frames = 0;
    runBlocks(state, block, [effect, core, &frames](float** ins, float** outs, int32_t n) {
        effect->processReplacing(effect, ins, outs, n);
        frames += static_cast<size_t>(n);
        if (frames >= SpectrumLayout::kHopLength) {
            frames -= SpectrumLayout::kHopLength;
            for (auto& level : core->bandLevel) {
                const float v = level.load(std::memory_order_relaxed) - 0.2f;
                level.store(v > 0.0f ? v : 0.0f, std::memory_order_relaxed);
            }
        }
    });
}

void copyOnly(benchmark::State& state, int32_t block) {
    runBlocks(state, block, [](float** ins, float** outs, int32_t n) {
        const size_t bytes = static_cast<size_t>(n) * sizeof(float);
        std::memcpy(outs[0], ins[0], bytes);
        std::memcpy(outs[1], ins[1], bytes);
    });
}

void fftw(benchmark::State& state, int32_t block) {
    FftwAnalysis analysis;
    runBlocks(state, block, [&analysis](float** ins, float** outs, int32_t n) {
        analysis.process(ins, outs, n);
    });
}

// Both implementations run the whole signal; their band levels must agree to
// within the rounding of two different transforms, or the yardstick does
// other work than the plug-in.
std::string agreement() {
    constexpr int32_t kBlock = 512;
    PluginInstance plugin(kBlock);
    FftwAnalysis analysis;
    std::vector<float> outLeft(kBlock), outRight(kBlock);
    float* outs[2] = {outLeft.data(), outRight.data()};
    for (size_t pos = 0; pos < kSignalFrames; pos += kBlock) {
        float* ins[2] = {signal().leftAt(pos), signal().rightAt(pos)};
        plugin.effect()->processReplacing(plugin.effect(), ins, outs, kBlock);
        analysis.process(ins, outs, kBlock);
    }
    const auto* core = static_cast<tq_spectrum*>(plugin.effect()->object)->getCore();
    float largest = 0.0f;
    for (size_t b = 0; b < SpectrumLayout::kBandCount; ++b) {
        const float ours = core->bandLevel[b].load(std::memory_order_relaxed);
        largest = std::max(largest, std::fabs(ours - analysis.getBandLevels()[b]));
    }
    char text[200];
    std::snprintf(text, sizeof(text),
                  "FFTW yardstick: %zu frames analysed; its 97 band levels differ from the "
                  "plug-in's by at most %.2g.",
                  analysis.getFramesAnalysed(), static_cast<double>(largest));
    return text;
}

} // namespace

void registerProcessBenchmarks(RatioReporter& table) {
    table.addNote(agreement());
    for (int32_t block : {64, 512, 4096}) {
        const std::string size = std::to_string(block);
        const std::string subject = "processReplacing/tq-spectrum/" + size;
        const std::string floor = "processReplacing/memcpy/" + size;
        const std::string library = "processReplacing/fftw/" + size;
        RatioReporter::measured(benchmark::RegisterBenchmark(subject.c_str(), plugin, block));
        RatioReporter::measured(benchmark::RegisterBenchmark(floor.c_str(), copyOnly, block));
        RatioReporter::measured(benchmark::RegisterBenchmark(library.c_str(), fftw, block));
        const double frames = static_cast<double>(block);
        table.addRow({"processReplacing, block " + size + ", per stereo frame", subject, floor,
                      "memcpy", frames, RatioReporter::Unit::nanoseconds});
        table.addRow({"processReplacing, block " + size + ", per stereo frame", subject, library,
                      "same analysis on FFTW", frames, RatioReporter::Unit::nanoseconds});
        if (block == 512) {
            const std::string falling = "processReplacing/tq-spectrum-falling/" + size;
            RatioReporter::measured(
                benchmark::RegisterBenchmark(falling.c_str(), pluginFalling, block));
            table.addRow({"processReplacing, block " + size + ", levels falling as in the editor",
                          falling, library, "same analysis on FFTW", frames,
                          RatioReporter::Unit::nanoseconds});
        }
    }
}
