// The UI library's one export: the host's calls, checked and forwarded to
// Lv2Ui. Nothing may unwind into the host.
#include <lv2/ui/ui.h>

#include <cstring>

#include "lv2/Lv2Ui.h"
#include "lv2/Lv2Uris.h"

namespace {

Lv2Ui* ui(LV2UI_Handle handle) {
    return static_cast<Lv2Ui*>(handle);
}

LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!pluginUri || std::strcmp(pluginUri, Lv2Uris::kPlugin) != 0) {
        return nullptr;
    }
    try {
        return Lv2Ui::create(features, write, controller, widget);
    } catch (...) {
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) {
    delete ui(handle);
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer) {
    try {
        ui(handle)->portEvent(port, size, format, buffer);
    } catch (...) {
        // Out of memory: the message is lost, the next one gets through.
    }
}

int idle(LV2UI_Handle handle) {
    try {
        return ui(handle)->idle();
    } catch (...) {
        return 0;
    }
}

const void* extensionData(const char* uri) {
    static const LV2UI_Idle_Interface idleInterface = {idle};
    return uri && std::strcmp(uri, LV2_UI__idleInterface) == 0 ? &idleInterface : nullptr;
}

const LV2UI_Descriptor descriptor = {
    Lv2Uris::kUi, instantiate, cleanup, portEvent, extensionData,
};

} // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
