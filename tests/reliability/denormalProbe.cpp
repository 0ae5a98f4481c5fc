// Measures what quiet tails cost the audio thread: the spectrum core's
// process on loud noise and tones, on the same 240 dB down (still normal
// numbers), on a tone that fades into the denormal range and on a tail held
// there; each with the analysis flushing denormals (as shipped) and without
// (the same steps in the caller's mode). Thread CPU time, best of several
// runs, so other programs on the machine do not count. Only reports.
//
//   denormal_probe [seconds of audio per run, default 20]
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "analysis/tq_spectrumCore.h"
#include "tests/reliability/StereoBlock.h"
#include "tests/reliability/TestSignal.h"
#include "tests/reliability/UnguardedCore.h"

namespace {

constexpr size_t kBlock = 512;
constexpr int32_t kRuns = 5;

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The signal is made before timing starts; only the core is timed.
struct Recording {
    std::vector<float> left;
    std::vector<float> right;
};

Recording record(TestSignal::Kind kind, size_t frames, float scale) {
    Recording r{std::vector<float>(frames), std::vector<float>(frames)};
    TestSignal signal(99);
    for (size_t at = 0; at < frames; at += kBlock) {
        const size_t n = std::min(kBlock, frames - at);
        signal.fill(kind, r.left.data() + at, r.right.data() + at, n);
    }
    for (size_t i = 0; i < frames; ++i) {
        r.left[i] *= scale;
        r.right[i] *= scale;
    }
    return r;
}

// Best nanoseconds per frame over kRuns passes of the whole recording.
template <typename Core>
double nanosecondsPerFrame(const Recording& audio) {
    const size_t frames = audio.left.size();
    StereoBlock out(kBlock);
    double best = 1e30;
    for (int32_t run = 0; run < kRuns; ++run) {
        auto core = std::make_unique<Core>();
        const double start = threadSeconds();
        for (size_t at = 0; at < frames; at += kBlock) {
            const int32_t n = static_cast<int32_t>(std::min(kBlock, frames - at));
            float* in[2] = {const_cast<float*>(audio.left.data() + at),
                            const_cast<float*>(audio.right.data() + at)};
            core->process(in, out.outputs(), n);
        }
        best = std::min(best, (threadSeconds() - start) * 1e9 / static_cast<double>(frames));
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::atof(argv[1]) : 20.0;
    const size_t frames = static_cast<size_t>(std::max(seconds, 1.0) * 44100.0);
    struct Case {
        const char* name;
        Recording audio;
    };
    const Case cases[] = {
        {"loud noise and tones", record(TestSignal::Kind::loud, frames, 1.0f)},
        {"the same, 240 dB down (normal)", record(TestSignal::Kind::loud, frames, 1e-12f)},
        {"tone fading into denormals", record(TestSignal::Kind::decaying, frames, 1.0f)},
        {"tail held in the denormal range", record(TestSignal::Kind::loud, frames, 1e-39f)},
    };
    double baseline = 0.0;
    std::printf("ns per frame; ratios against loud audio with flushing\n");
    std::printf("%-32s %10s %7s %10s %7s\n", "signal", "flushing", "ratio", "unflushed", "ratio");
    for (const Case& c : cases) {
        const double flushed = nanosecondsPerFrame<tq_spectrumCore>(c.audio);
        const double plain = nanosecondsPerFrame<UnguardedCore>(c.audio);
        if (baseline == 0.0) {
            baseline = flushed;
        }
        std::printf("%-32s %10.2f %7.2f %10.2f %7.2f\n", c.name, flushed, flushed / baseline, plain,
                    plain / baseline);
    }
    return 0;
}
