// Shows how far the run has got, on stderr. On a terminal one line is
// rewritten in place at every whole percent; elsewhere a line is added at
// every tenth of the input.
#pragma once

#include <cstdint>
#include <ostream>

class ProgressReporter {
public:
    // totalFrames -1: the length is unknown, so seconds are shown instead.
    ProgressReporter(std::ostream& out, bool liveLine, int64_t totalFrames, double sampleRate);

    void update(int64_t framesDone);
    // Clears the live line, so that what follows starts on a clean line.
    void finish();

private:
    std::ostream& out;
    bool liveLine;
    int64_t totalFrames;
    double sampleRate;
    int64_t lastStep = -1;
    size_t lineLength = 0;
};
