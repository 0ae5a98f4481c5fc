#include "lv2/Lv2Plugin.h"

#include <cstddef>
#include <new>
#include <string_view>

#include <lv2/atom/util.h>

#include "lv2/Lv2Messages.h"

Lv2Plugin* Lv2Plugin::create(double sampleRate, const LV2_Feature* const* features) {
    const LV2_URID_Map* map = nullptr;
    for (const LV2_Feature* const* f = features; f && *f; ++f) {
        if ((*f)->URI && std::string_view((*f)->URI) == LV2_URID__map) {
            map = static_cast<const LV2_URID_Map*>((*f)->data);
        }
    }
    return new (std::nothrow) Lv2Plugin(sampleRate, map);
}

Lv2Plugin::Lv2Plugin(double sampleRate, const LV2_URID_Map* map) : urids(map) {
    core.setSampleRate(static_cast<float>(sampleRate));
    // Without the host's map (lv2apply has none) the plug-in still passes
    // its audio through and analyses it, but has no messages and no state.
    messages = urids.complete();
    if (messages) {
        lv2_atom_forge_init(&forge, const_cast<LV2_URID_Map*>(map));
    }
}

void Lv2Plugin::connect(uint32_t port, void* data) {
    switch (port) {
    case kInLeft:
    case kInRight:
        inputs[port - kInLeft] = static_cast<const float*>(data);
        break;
    case kOutLeft:
    case kOutRight:
        outputs[port - kOutLeft] = static_cast<float*>(data);
        break;
    case kControl:
        control = static_cast<const LV2_Atom_Sequence*>(data);
        break;
    case kNotify:
        notify = static_cast<LV2_Atom_Sequence*>(data);
        break;
    default:
        break;
    }
}

void Lv2Plugin::activate() {
    active = true;
    statusDue = true;
}

void Lv2Plugin::deactivate() {
    active = false;
}

void Lv2Plugin::run(uint32_t frames) {
    readControl();
    // The core takes a signed count: a huge block goes in pieces.
    constexpr uint32_t kPiece = 1u << 30;
    uint32_t done = 0;
    do {
        const uint32_t n = frames - done < kPiece ? frames - done : kPiece;
        float* in[2] = {const_cast<float*>(inputs[0] ? inputs[0] + done : nullptr),
                        const_cast<float*>(inputs[1] ? inputs[1] + done : nullptr)};
        float* out[2] = {outputs[0] ? outputs[0] + done : nullptr,
                         outputs[1] ? outputs[1] + done : nullptr};
        core.process(in, out, static_cast<int32_t>(n));
        done += n;
    } while (done < frames);
    writeNotify(frames);
}

void Lv2Plugin::readControl() {
    if (!messages || !control || control->atom.size < sizeof(LV2_Atom_Sequence_Body)) {
        return;
    }
    LV2_ATOM_SEQUENCE_FOREACH(control, event) {
        const auto* end = reinterpret_cast<const uint8_t*>(&control->body) + control->atom.size;
        const ptrdiff_t room = end - reinterpret_cast<const uint8_t*>(&event->body);
        if (room < static_cast<ptrdiff_t>(sizeof(LV2_Atom))) {
            break;
        }
        const Lv2Messages::Message message =
            Lv2Messages::read(urids, &event->body, static_cast<uint32_t>(room));
        if (message.kind == Lv2Messages::Kind::axisChoice) {
            chosenAxis.store(message.axis, std::memory_order_relaxed);
            statusDue = true; // every open editor shows the same axis
        } else if (message.kind == Lv2Messages::Kind::statusRequest) {
            statusDue = true;
        }
    }
}

void Lv2Plugin::writeNotify(uint32_t frames) {
    if (!messages || !notify) {
        return;
    }
    // The host says how much room the port has in the atom's size.
    const uint32_t capacity = notify->atom.size;
    lv2_atom_forge_set_buffer(&forge, reinterpret_cast<uint8_t*>(notify), capacity);
    LV2_Atom_Forge_Frame sequence;
    if (!lv2_atom_forge_sequence_head(&forge, &sequence, 0)) {
        // Not even an empty sequence fits: an empty atom says so.
        notify->atom.size = 0;
        notify->atom.type = 0;
        return;
    }
    // Messages not sent now wait for the next run; frames gather meanwhile.
    const int64_t time = frames > 0 ? static_cast<int64_t>(frames - 1) : 0;
    if (statusDue && Lv2Messages::writeStatus(forge, urids, 0, axis(), core.getSampleRate())) {
        statusDue = false;
    }
    if (core.pendingFrames() > 0 && Lv2Messages::writeFrame(forge, urids, time, core.peaks())) {
        core.takePeaks();
    }
    lv2_atom_forge_pop(&forge, &sequence);
}

LV2_State_Status Lv2Plugin::save(LV2_State_Store_Function store, LV2_State_Handle handle) {
    if (!messages) {
        return LV2_STATE_ERR_NO_FEATURE;
    }
    if (!store) {
        return LV2_STATE_ERR_UNKNOWN;
    }
    const int32_t value = axis();
    return store(handle, urids.axis, &value, sizeof(value), urids.atomInt,
                 LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE);
}

LV2_State_Status Lv2Plugin::restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle) {
    if (!messages) {
        return LV2_STATE_ERR_NO_FEATURE;
    }
    if (!retrieve) {
        return LV2_STATE_ERR_UNKNOWN;
    }
    size_t size = 0;
    uint32_t type = 0;
    uint32_t flags = 0;
    const void* value = retrieve(handle, urids.axis, &size, &type, &flags);
    // A session from before the choice existed, or a foreign value: linear.
    int32_t restored = 0;
    if (value && type == urids.atomInt && size == sizeof(int32_t)) {
        restored = Lv2Messages::axisOf(*static_cast<const int32_t*>(value));
    }
    chosenAxis.store(restored, std::memory_order_relaxed);
    statusDue = true;
    return LV2_STATE_SUCCESS;
}
