#include "bench/PluginInstance.h"

#include "shell/vstPluginMain.h"
#include "tests/support/fakeHost.h"

#include <cstdio>
#include <cstdlib>

PluginInstance::PluginInstance(int32_t blockSize) : instance(VSTPluginMain(fakeHost::callback)) {
    if (instance == nullptr) {
        std::fprintf(stderr, "VSTPluginMain returned no plug-in\n");
        std::abort();
    }
    instance->dispatcher(instance, effOpen, 0, 0, nullptr, 0.0f);
    instance->dispatcher(instance, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    instance->dispatcher(instance, effSetBlockSize, 0, blockSize, nullptr, 0.0f);
    instance->dispatcher(instance, effMainsChanged, 0, 1, nullptr, 0.0f);
}

PluginInstance::~PluginInstance() {
    instance->dispatcher(instance, effMainsChanged, 0, 0, nullptr, 0.0f);
    instance->dispatcher(instance, effClose, 0, 0, nullptr, 0.0f);
}
