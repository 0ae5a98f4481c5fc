#pragma once

#include "vst/AEffect.h"

#include <cstdint>

// The plug-in as a host holds it: created through VSTPluginMain, opened,
// given a sample rate and block size, resumed; closed on destruction.
class PluginInstance {
public:
    explicit PluginInstance(int32_t blockSize);
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    AEffect* effect() const { return instance; }

private:
    AEffect* instance;
};
