// The command-line host's hold on the plug-in: it is created and started
// at the file's rate, blocks of any length go through processReplacing in
// pieces of at most the block size it was told, and what the analysis
// holds is read back from its core.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/BandTable.h"
#include "host/EffectInstance.h"

class tq_spectrumCore;

class PluginHost : public EffectInstance {
public:
    PluginHost() = default;
    ~PluginHost();

    // Creates and starts the plug-in; blocks handed to process() hold at most
    // maxBlockSize samples.
    bool open(double sampleRate, int32_t maxBlockSize, std::string& error);
    // Runs both channels through the plug-in, in blocks of at most the
    // maximum size. The audio of the last block it hands back is kept in
    // outputLeft()/outputRight().
    void process(const float* left, const float* right, int32_t frames);
    // As process(), for samples whose last one completes an analysed frame;
    // frameLevels gets that frame's own band levels, whatever the bands held
    // before. The plug-in is left holding what it would have held anyway.
    void processFrame(const float* left, const float* right, int32_t frames,
                      BandLevels& frameLevels);
    // What the plug-in holds for a band now: the highest level since its
    // editor last lowered it.
    float heldLevel(size_t band) const;
    // The band layout the plug-in uses now.
    BandTable::StartBins bandStartBins() const;

    // Closes the editor, suspends and deletes the plug-in; safe to call twice.
    void close();

    const float* outputLeft() const { return outputs[0].data(); }
    const float* outputRight() const { return outputs[1].data(); }

private:
    tq_spectrumCore* core = nullptr;
    int32_t maxBlock = 0;
    std::vector<float> inputs[2];
    std::vector<float> outputs[2];
};
