// The DSP library's one export: the host's calls, checked and forwarded to
// Lv2Plugin. Nothing may unwind into the host.
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include <cstring>

#include "lv2/Lv2Plugin.h"
#include "lv2/Lv2Uris.h"

namespace {

Lv2Plugin* plugin(LV2_Handle handle) {
    return static_cast<Lv2Plugin*>(handle);
}

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*,
                       const LV2_Feature* const* features) {
    try {
        return Lv2Plugin::create(rate, features);
    } catch (...) {
        return nullptr;
    }
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
    plugin(handle)->connect(port, data);
}

void activate(LV2_Handle handle) {
    plugin(handle)->activate();
}

void run(LV2_Handle handle, uint32_t frames) {
    plugin(handle)->run(frames);
}

void deactivate(LV2_Handle handle) {
    plugin(handle)->deactivate();
}

void cleanup(LV2_Handle handle) {
    delete plugin(handle);
}

LV2_State_Status save(LV2_Handle handle, LV2_State_Store_Function store, LV2_State_Handle state,
                      uint32_t, const LV2_Feature* const*) {
    return plugin(handle)->save(store, state);
}

LV2_State_Status restore(LV2_Handle handle, LV2_State_Retrieve_Function retrieve,
                         LV2_State_Handle state, uint32_t, const LV2_Feature* const*) {
    return plugin(handle)->restore(retrieve, state);
}

const void* extensionData(const char* uri) {
    static const LV2_State_Interface state = {save, restore};
    return uri && std::strcmp(uri, LV2_STATE__interface) == 0 ? &state : nullptr;
}

const LV2_Descriptor descriptor = {
    Lv2Uris::kPlugin, instantiate, connectPort, activate, run, deactivate, cleanup, extensionData,
};

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
