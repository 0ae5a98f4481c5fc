// tq_hopcount: the audio path's work per 4096-frame hop, for counting under
// callgrind (tools/hopcount.sh). Runs processReplacing in blocks of 512 (or
// of the block size given, a divisor of 4096) on the benchmarks' test
// signal, or the same analysis on FFTW; only the calls inside tq_hop_window
// are meant to be counted. With "falling" every band level is lowered by
// 0.2 between hops, as the open editor does, so that every band may rise
// again. Usage:
//   tq_hopcount [plugin|fftw] [hops] [block] [falling]
#include "analysis/tq_spectrumCore.h"
#include "bench/FftwAnalysis.h"
#include "bench/PluginInstance.h"
#include "bench/StereoSignal.h"
#include "shell/tq_spectrum.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {

int32_t block = 512;
constexpr size_t kHopFrames = SpectrumLayout::kHopLength;
// Hops before the counted ones: the first frame and the caches settle.
constexpr size_t kWarmUpHops = 4;

using Process = std::function<void(float**, float**, int32_t)>;

void runHops(StereoSignal& signal, size_t& pos, size_t hops, const Process& process) {
    static std::vector<float> left(kHopFrames), right(kHopFrames);
    float* outs[2] = {left.data(), right.data()};
    const size_t n = static_cast<size_t>(block);
    for (size_t frame = 0; frame < hops * kHopFrames; frame += n) {
        float* ins[2] = {signal.leftAt(pos), signal.rightAt(pos)};
        process(ins, outs, block);
        pos = pos + n < signal.frames() ? pos + n : 0;
    }
}

} // namespace

// The counted window: its name is what the script hands to callgrind.
extern "C" [[gnu::noinline]] void tq_hop_window(StereoSignal* signal, size_t* pos, size_t hops,
                                                const Process* process) {
    runHops(*signal, *pos, hops, *process);
}

int main(int argc, char** argv) {
    const bool fftw = argc > 1 && std::strcmp(argv[1], "fftw") == 0;
    const long hops = argc > 2 ? std::atol(argv[2]) : 64;
    block = argc > 3 ? std::atoi(argv[3]) : 512;
    if ((argc > 1 && !fftw && std::strcmp(argv[1], "plugin") != 0) || hops < 1 || block < 1 ||
        kHopFrames % static_cast<size_t>(block) != 0) {
        std::fprintf(stderr, "usage: tq_hopcount [plugin|fftw] [hops] [block] [falling]\n");
        return 2;
    }
    StereoSignal signal(size_t{1} << 17, 8);
    size_t pos = 0;
    if (fftw) {
        // FFTW plans by timing: only its own run may see that.
        FftwAnalysis analysis;
        const Process process = [&analysis](float** ins, float** outs, int32_t n) {
            analysis.process(ins, outs, n);
        };
        runHops(signal, pos, kWarmUpHops, process);
        tq_hop_window(&signal, &pos, static_cast<size_t>(hops), &process);
        std::printf("%ld hops\n", hops);
        return 0;
    }
    PluginInstance plugin(block);
    AEffect* effect = plugin.effect();
    const Process process = [effect](float** ins, float** outs, int32_t n) {
        effect->processReplacing(effect, ins, outs, n);
    };
    runHops(signal, pos, kWarmUpHops, process);
    tq_spectrumCore* core = static_cast<tq_spectrum*>(effect->object)->getCore();
    if (argc > 4 && std::strcmp(argv[4], "falling") == 0) {
        for (long h = 0; h < hops; ++h) {
            for (auto& level : core->bandLevel) {
                const float v = level.load(std::memory_order_relaxed) - 0.2f;
                level.store(v > 0.0f ? v : 0.0f, std::memory_order_relaxed);
            }
            tq_hop_window(&signal, &pos, 1, &process);
        }
    } else {
        tq_hop_window(&signal, &pos, static_cast<size_t>(hops), &process);
    }
    // The transform's vector width decides the count: the script says which.
    std::printf("%ld hops, %s vectors\n", hops,
                core->getFft()->usesWideVectors() ? "wide" : "baseline");
    return 0;
}
