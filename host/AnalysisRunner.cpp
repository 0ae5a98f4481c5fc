#include "host/AnalysisRunner.h"

#include <algorithm>

#include "host/AudioSource.h"
#include "host/ClockListener.h"
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
        if (gain != 1.0f) {
            for (size_t i = 0; i < got; ++i) {
                left[i] *= gain;
                right[i] *= gain;
            }
        }
        for (size_t offset = 0; offset < got;) {
            // A frame that ended at this very sample went to the sinks at the
            // end of the previous piece, before the clock acts here: so the
            // sinks see each frame as the plug-in measured it, before the
            // editor's idle can lower what the bands hold.
            while (clock && clock->nextTickSample() <= schedule.samplesFed()) {
                if (!clock->tick(schedule.samplesFed(), error)) {
                    return false;
                }
            }
            int64_t piece = std::min<int64_t>(static_cast<int64_t>(got - offset),
                                              schedule.samplesUntilNextFrame());
            if (clock) {
                piece = std::min(piece, clock->nextTickSample() - schedule.samplesFed());
            }
            const float* l = left.data() + offset;
            const float* r = right.data() + offset;
            const int32_t count = static_cast<int32_t>(piece);
            offset += static_cast<size_t>(piece);
            if (piece < schedule.samplesUntilNextFrame()) {
                host.process(l, r, count);
                schedule.advance(piece);
                continue;
            }
            host.processFrame(l, r, count, levels);
            schedule.advance(piece);
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
    if (!error.empty()) {
        return false;
    }
    return !clock || clock->finish(schedule.samplesFed(), error);
}
