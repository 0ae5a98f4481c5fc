#include "host/ProgressReporter.h"

#include <cstdio>
#include <string>

ProgressReporter::ProgressReporter(std::ostream& out, bool liveLine, int64_t totalFrames,
                                   double sampleRate)
    : out(out), liveLine(liveLine), totalFrames(totalFrames), sampleRate(sampleRate) {}

void ProgressReporter::update(int64_t framesDone) {
    const double seconds = framesDone / sampleRate;
    char text[96];
    int64_t step = 0;
    if (totalFrames > 0) {
        const int64_t percent = framesDone * 100 / totalFrames;
        step = liveLine ? percent : percent / 10;
        std::snprintf(text, sizeof text, "tq-spectrum: %3d%% (%.1f of %.1f s)",
                      static_cast<int>(percent), seconds, totalFrames / sampleRate);
    } else {
        // Unknown length: a step every 5 s of audio.
        step = static_cast<int64_t>(seconds / 5.0);
        std::snprintf(text, sizeof text, "tq-spectrum: %.1f s", seconds);
    }
    if (step == lastStep) {
        return;
    }
    lastStep = step;
    const std::string line = text;
    if (liveLine) {
        out << '\r' << line;
        if (line.size() < lineLength) {
            out << std::string(lineLength - line.size(), ' ');
        }
        lineLength = line.size();
    } else {
        out << line << '\n';
    }
    out.flush();
}

void ProgressReporter::finish() {
    if (liveLine && lineLength > 0) {
        out << '\r' << std::string(lineLength, ' ') << '\r';
        out.flush();
        lineLength = 0;
    }
}
