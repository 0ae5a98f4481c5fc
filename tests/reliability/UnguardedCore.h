// The spectrum core's analysis steps without the denormal guard, in whatever
// floating-point mode the caller has: the reference the guarded analysis is
// compared with, for results and for speed.
#pragma once

#include "analysis/tq_spectrumCore.h"

class UnguardedCore : public tq_spectrumCore {
public:
    void analyseFrame(float* frame, float* spectrum) override;
};
