// Acts at moments of the audio time, counted in samples fed to the plug-in.
// The runner ends a block at each moment asked for.
#pragma once

#include <cstdint>
#include <string>

class ClockListener {
public:
    virtual ~ClockListener() = default;

    // Samples fed when tick() is next due; never less than at the last tick.
    virtual int64_t nextTickSample() const = 0;
    // Due now: the samples up to here have been fed, and the frame that ends
    // here, if one does, has reached the sinks. False, with a message in
    // error, stops the run.
    virtual bool tick(int64_t samplesFed, std::string& error) = 0;
    // The input has ended after samplesFed samples.
    virtual bool finish(int64_t samplesFed, std::string& error) = 0;
};
