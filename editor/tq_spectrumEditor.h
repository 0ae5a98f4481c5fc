// The plug-in's editor. It keeps the panel request that suspend and resume
// make, the core whose band arrays the display shares, and the 570 x 180
// window rectangle the host asks for.
#pragma once

#include <atomic>
#include <cstdint>

#include "vst/AEffGUIEditor.h"

class tq_spectrumCore;

class tq_spectrumEditor : public AEffGUIEditor {
public:
    static constexpr int16_t kWidth = 570;
    static constexpr int16_t kHeight = 180;

    explicit tq_spectrumEditor(AudioEffect* effect);
    ~tq_spectrumEditor() override = default;

    // No window can be shown yet, so the host is told that the editor did
    // not open.
    bool open(void* parent) override;
    void close() override;

    // -1 no panel, 0 About panel, 1 suspended panel. Written by suspend and
    // resume on whatever thread the host uses, read by idle.
    std::atomic<int32_t> requestedPanel{-1};
    static_assert(std::atomic<int32_t>::is_always_lock_free);

    // Borrowed from the plug-in, never owned.
    tq_spectrumCore* core = nullptr;
};
