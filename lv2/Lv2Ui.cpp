#include "lv2/Lv2Ui.h"

#include <cmath>
#include <new>
#include <string_view>

#include <lv2/options/options.h>
#include <lv2/parameters/parameters.h>

#include "lv2/Lv2Messages.h"
#include "lv2/Lv2Plugin.h"
#include "platform/platform.h"
#include "toolkit/CFrame.h"

namespace {

const void* feature(const LV2_Feature* const* features, std::string_view uri) {
    for (const LV2_Feature* const* f = features; f && *f; ++f) {
        if ((*f)->URI && uri == (*f)->URI) {
            return (*f)->data;
        }
    }
    return nullptr;
}

// A float among the host's options, or 0 when the host gives none.
float optionFloat(const LV2_Feature* const* features, const LV2_URID_Map* map, LV2_URID floatType,
                  const char* uri) {
    const auto* option =
        static_cast<const LV2_Options_Option*>(feature(features, LV2_OPTIONS__options));
    const LV2_URID key = map->map(map->handle, uri);
    for (; option && option->key != 0; ++option) {
        if (option->key == key && option->type == floatType && option->size == sizeof(float) &&
            option->value) {
            return *static_cast<const float*>(option->value);
        }
    }
    return 0.0f;
}

} // namespace

Lv2Ui* Lv2Ui::create(const LV2_Feature* const* features, LV2UI_Write_Function write,
                     LV2UI_Controller controller, LV2UI_Widget* widget) {
    const auto* map = static_cast<const LV2_URID_Map*>(feature(features, LV2_URID__map));
    void* parent = const_cast<void*>(feature(features, LV2_UI__parent));
    if (!map || !map->map || !parent || !write || !widget) {
        return nullptr;
    }
    auto* ui = new (std::nothrow) Lv2Ui(map, write, controller);
    if (ui) {
        // The sample rate: until the plug-in's status comes, the editor then
        // lays out its axis for the right rate.
        const float rate =
            optionFloat(features, map, ui->urids.atomFloat, LV2_PARAMETERS__sampleRate);
        if (std::isfinite(rate) && rate > 0.0f) {
            ui->core.setSampleRate(rate);
        }
        // The host's scale comes before the desktop's, as a VST host's does.
        ui->editor.setHostScale(
            optionFloat(features, map, ui->urids.atomFloat, LV2_UI__scaleFactor));
    }
    if (ui && (!ui->urids.complete() || !ui->open(parent, widget))) {
        delete ui;
        return nullptr;
    }
    // The editor's frame has the editor's size: the one place it is decided.
    if (const auto* resize = static_cast<const LV2UI_Resize*>(feature(features, LV2_UI__resize));
        ui && resize && resize->ui_resize) {
        const CRect& size = ui->editor.getFrame()->getViewSize();
        resize->ui_resize(resize->handle, size.width(), size.height());
    }
    return ui;
}

Lv2Ui::Lv2Ui(const LV2_URID_Map* map, LV2UI_Write_Function writer, LV2UI_Controller owner)
    : urids(map), write(writer), controller(owner) {
    lv2_atom_forge_init(&forge, const_cast<LV2_URID_Map*>(map));
    editor.core = &core;
}

bool Lv2Ui::open(void* parent, LV2UI_Widget* widget) {
    uintptr_t id = 0;
    if (!editor.open(parent) || !editor.getFrame() ||
        platform::nativeWindow(editor.getFrame()->getSystemWindow(), &id) != platform::Status::ok) {
        return false;
    }
    *widget = reinterpret_cast<LV2UI_Widget>(id);
    sharedAxis = editor.scaleMode;
    lastHeard = platform::tickCount();
    // The plug-in answers with its axis and sample rate.
    send(false);
    return true;
}

void Lv2Ui::portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (port != Lv2Plugin::kNotify || format != urids.atomEventTransfer || !buffer) {
        return;
    }
    const Lv2Messages::Message message =
        Lv2Messages::read(urids, static_cast<const LV2_Atom*>(buffer), size);
    switch (message.kind) {
    case Lv2Messages::Kind::frame:
        core.raiseBandLevels(message.powers);
        heard();
        break;
    case Lv2Messages::Kind::status:
        if (std::isfinite(message.sampleRate) && message.sampleRate > 0.0f &&
            message.sampleRate != core.getSampleRate()) {
            core.setSampleRate(message.sampleRate);
            editor.sampleRateChanged();
        }
        if (message.axis != editor.scaleMode) {
            editor.selectScale(message.axis);
        }
        sharedAxis = message.axis;
        heard();
        break;
    default:
        break;
    }
}

void Lv2Ui::heard() {
    lastHeard = platform::tickCount();
    if (!hearing) {
        hearing = true;
        editor.requestedPanel.store(-1, std::memory_order_relaxed);
    }
}

int Lv2Ui::idle() {
    const uint32_t silence = platform::tickCount() - lastHeard;
    const int64_t hops = static_cast<int64_t>(editor.refreshInterval) * kSilentHops;
    if (hearing && silence > kSilenceMilliseconds && static_cast<int64_t>(silence) > hops) {
        hearing = false;
        editor.requestedPanel.store(1, std::memory_order_relaxed);
    }
    editor.idle();
    if (editor.scaleMode != sharedAxis) {
        sharedAxis = editor.scaleMode;
        send(true);
    }
    return 0;
}

void Lv2Ui::send(bool axisChoice) {
    alignas(LV2_Atom) uint8_t buffer[128];
    lv2_atom_forge_set_buffer(&forge, buffer, sizeof(buffer));
    const bool written = axisChoice ? Lv2Messages::writeAxisChoice(forge, urids, sharedAxis)
                                    : Lv2Messages::writeStatusRequest(forge, urids);
    if (!written) {
        return;
    }
    const auto* atom = reinterpret_cast<const LV2_Atom*>(buffer);
    write(controller, Lv2Plugin::kControl, static_cast<uint32_t>(sizeof(LV2_Atom) + atom->size),
          urids.atomEventTransfer, buffer);
}
