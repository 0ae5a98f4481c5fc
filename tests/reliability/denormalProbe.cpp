// Measures what quiet tails cost the audio thread: processReplacing on loud
// noise and tones, on the same 240 dB down (still normal numbers), on a tone
// that fades into the denormal range and on a tail that stays there. Thread CPU time, best of
// several runs, so other programs on the machine do not count. Not a test: it only reports.
//
//   denormal_probe [seconds of audio per run, default 20]
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/reliability/StereoBlock.h"
#include "tests/reliability/TestHost.h"
#include "tests/reliability/TestSignal.h"

namespace {

constexpr size_t kBlock = 512;
constexpr int32_t kRuns = 5;

double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The signal is made before timing starts; only the plug-in is timed.
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
double nanosecondsPerFrame(const Recording& audio) {
    const size_t frames = audio.left.size();
    StereoBlock out(kBlock);
    double best = 1e30;
    for (int32_t run = 0; run < kRuns; ++run) {
        TestHost host;
        const double start = threadSeconds();
        for (size_t at = 0; at < frames; at += kBlock) {
            const VstInt32 n = static_cast<VstInt32>(std::min(kBlock, frames - at));
            float* in[2] = {const_cast<float*>(audio.left.data() + at),
                            const_cast<float*>(audio.right.data() + at)};
            host.processReplacing(in, out.outputs(), n);
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
    std::printf("%-34s %12s %8s\n", "signal", "ns/frame", "ratio");
    for (const Case& c : cases) {
        const double ns = nanosecondsPerFrame(c.audio);
        if (baseline == 0.0) {
            baseline = ns;
        }
        std::printf("%-34s %12.2f %8.2f\n", c.name, ns, ns / baseline);
    }
    return 0;
}
