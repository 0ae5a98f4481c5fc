#include "host/AnalysisRunner.h"

#include <algorithm>

#include "host/AudioSource.h"
#include "host/FrameSchedule.h"
#include "host/FrameSink.h"
#include "host/PluginHost.h"
#include "host/ProgressReporter.h"

AnalysisRunner::AnalysisRunner(AudioSource& source, PluginHost& host, int32_t blockSize)
    : source(source), host(host), blockSize(std::max<int32_t>(blockSize, 1)) {}

bool AnalysisRunner::run(std::string& error) {
    const size_t capacity = static_cast<size_t>(blockSize);
    std::vector<float> left(capacity);
    std::vector<float> right(capacity);
    const double rate = source.sampleRate();
    FrameSchedule schedule;
    BandLevels levels{};

    for (;;) {
        const size_t got = source.read(left.data(), right.data(), capacity);
        if (got == 0) {
            break;
        }
        for (size_t offset = 0; offset < got;) {
            const int64_t piece = std::min<int64_t>(static_cast<int64_t>(got - offset),
                                                    schedule.samplesUntilNextFrame());
            host.process(left.data() + offset, right.data() + offset, static_cast<int32_t>(piece));
            offset += static_cast<size_t>(piece);
            if (!schedule.advance(piece)) {
                continue;
            }
            host.takeBandLevels(levels);
            const double time = static_cast<double>(schedule.samplesFed()) / rate;
            for (FrameSink* sink : sinks) {
                if (!sink->addFrame(time, levels, error)) {
                    return false;
                }
            }
        }
        samples = schedule.samplesFed();
        frames = schedule.framesCompleted();
        if (progress) {
            progress->update(samples);
        }
    }
    error = source.error();
    return error.empty();
}
