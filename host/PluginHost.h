// Creates the plug-in through its entry point and drives it through the
// AEffect record as any VST 2.4 host does: open, sample rate, block size,
// resume, blocks through processReplacing, the editor's open, idle and close,
// suspend, close.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/BandTable.h"
#include "vst/AEffect.h"

class tq_spectrumCore;

class PluginHost {
public:
    static constexpr VstInt32 kHostVersion = 2400;

    PluginHost() = default;
    ~PluginHost();

    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

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

    // The editor through effEditOpen, effEditIdle and effEditClose; `parent`
    // is the host window it is built in.
    bool openEditor(void* parent, std::string& error);
    void idleEditor();
    void closeEditor();
    bool isEditorOpen() const { return editorOpen; }
    // The content scale a host on a dense screen sends (effVendorSpecific
    // 'PreS' 'AeCs'); the editor's next open draws at it.
    void setEditorScale(float factor);

    // Closes the editor, suspends and deletes the plug-in; safe to call twice.
    void close();

    bool isOpen() const { return effect != nullptr; }
    const float* outputLeft() const { return outputs[0].data(); }
    const float* outputRight() const { return outputs[1].data(); }

    // The answers the plug-in gets from this host.
    static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                              VstIntPtr value, void* ptr, float opt);

private:
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);

    AEffect* effect = nullptr;
    tq_spectrumCore* core = nullptr;
    bool running = false;
    bool editorOpen = false;
    int32_t maxBlock = 0;
    std::vector<float> inputs[2];
    std::vector<float> outputs[2];
};
