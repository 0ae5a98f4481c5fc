// The plug-in, linked in, driven through its AEffect record the way a VST
// 2.4 host drives it: effOpen, sample rate and block size around a suspend
// and resume, processReplacing from the audio callback, the editor through
// effEditOpen, effEditIdle and effEditClose, then suspend and effClose.
#pragma once

#include <cstdint>
#include <string>

#include "vst/AEffect.h"

class PluginDriver {
public:
    // The longest piece handed to processReplacing; longer JACK periods go
    // through in pieces, so that nothing is allocated when the period grows.
    static constexpr int32_t kMaxBlock = 4096;

    PluginDriver() = default;
    ~PluginDriver();
    PluginDriver(const PluginDriver&) = delete;
    PluginDriver& operator=(const PluginDriver&) = delete;

    bool open(std::string& error);
    // Suspends if running, tells the rate and block size, resumes. Never
    // while process() may run.
    void start(double sampleRate, int32_t blockSize);
    // Suspends: the editor shows its suspended panel.
    void stop();
    bool isRunning() const { return running; }
    double sampleRate() const { return rate; }
    int32_t blockSize() const { return block; }

    // The audio thread: no allocation, lock, I/O or host call.
    void process(float* left, float* right, int32_t frames) noexcept;

    // The editor's size from effEditGetRect.
    bool editorSize(int32_t* width, int32_t* height);
    bool openEditor(void* parent, std::string& error);
    void idleEditor();
    void closeEditor();

    // Closes the editor, suspends and deletes the plug-in; safe twice.
    void close();

    static VstIntPtr VSTCALLBACK hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                              VstIntPtr value, void* ptr, float opt);

private:
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                       void* ptr = nullptr, float opt = 0.0f);

    AEffect* effect = nullptr;
    bool running = false;
    bool editorOpen = false;
    double rate = 0.0;
    int32_t block = 0;
    // The plug-in hands the audio back; nobody listens to it here.
    float discarded[2][kMaxBlock] = {};
};
