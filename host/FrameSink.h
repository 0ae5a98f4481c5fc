// Receives the band levels of each analysed frame, in order.
#pragma once

#include <string>

#include "host/BandTable.h"

class FrameSink {
public:
    virtual ~FrameSink() = default;

    // timeSeconds: when the frame's last sample arrived. False, with a message
    // in error, stops the run.
    virtual bool addFrame(double timeSeconds, const BandLevels& levels, std::string& error) = 0;
};
