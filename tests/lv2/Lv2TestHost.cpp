#include "Lv2TestHost.h"

#include <cstring>
#include <stdexcept>
#include <utility>

#include <lv2/atom/forge.h>
#include <lv2/atom/util.h>
#include <lv2/parameters/parameters.h>

#include "lv2/Lv2Plugin.h"
#include "lv2/Lv2Ui.h"

Lv2TestHost::Lv2TestHost() {
    map.handle = this;
    map.map = mapUri;
    urids = Lv2Urids(&map);
    mapFeature = {LV2_URID__map, &map};
    parentFeature = {LV2_UI__parent, window.handle()};
    resizeData = {this, resize};
    resizeFeature = {LV2_UI__resize, &resizeData};
    pluginList = {&mapFeature, nullptr};
}

LV2_URID Lv2TestHost::mapUri(LV2_URID_Map_Handle handle, const char* uri) {
    auto& ids = static_cast<Lv2TestHost*>(handle)->ids;
    return ids.emplace(uri, static_cast<LV2_URID>(ids.size() + 1)).first->second;
}

int Lv2TestHost::resize(LV2UI_Feature_Handle handle, int width, int height) {
    static_cast<Lv2TestHost*>(handle)->resizes.emplace_back(width, height);
    return 0;
}

void Lv2TestHost::writeFunction(LV2UI_Controller controller, uint32_t port, uint32_t size,
                                uint32_t format, const void* buffer) {
    auto* host = static_cast<Lv2TestHost*>(controller);
    if (format != host->urids.atomEventTransfer) {
        throw std::logic_error("the editor wrote something other than an atom");
    }
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    host->pendingWrites.emplace_back(bytes, bytes + size);
    host->writePorts.push_back(port);
}

const LV2_Feature* const* Lv2TestHost::uiFeatures(bool withMap, bool withParent, bool withResize,
                                                  float optionRate, float optionScale) {
    uiList.clear();
    rateValue = optionRate;
    scaleValue = optionScale;
    size_t count = 0;
    for (const auto& [uri, value] : {std::pair{LV2_PARAMETERS__sampleRate, &rateValue},
                                     std::pair{LV2_UI__scaleFactor, &scaleValue}}) {
        if (*value > 0.0f) {
            options[count++] = {LV2_OPTIONS_INSTANCE, 0,    mapUri(this, uri), sizeof(float),
                                urids.atomFloat,      value};
        }
    }
    options[count] = {};
    if (count > 0) {
        optionsFeature = {LV2_OPTIONS__options, options};
        uiList.push_back(&optionsFeature);
    }
    if (withMap) {
        uiList.push_back(&mapFeature);
    }
    if (withParent) {
        uiList.push_back(&parentFeature);
    }
    if (withResize) {
        uiList.push_back(&resizeFeature);
    }
    uiList.push_back(nullptr);
    return uiList.data();
}

std::vector<Lv2TestHost::Atom> Lv2TestHost::run(Lv2Plugin& plugin, uint32_t frames,
                                                const float* const* inputs, float* const* outputs,
                                                uint32_t notifyCapacity,
                                                const std::vector<Atom>& extra) {
    // The control sequence: the editor's writes for the control port, then extra.
    controlBuffer.assign(65536, 0);
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &map);
    lv2_atom_forge_set_buffer(&forge, controlBuffer.data(), controlBuffer.size());
    LV2_Atom_Forge_Frame sequence;
    lv2_atom_forge_sequence_head(&forge, &sequence, 0);
    std::vector<Atom> incoming;
    for (size_t i = 0; i < pendingWrites.size(); ++i) {
        if (writePorts[i] == Lv2Plugin::kControl) {
            incoming.push_back(pendingWrites[i]);
        }
    }
    pendingWrites.clear();
    writePorts.clear();
    incoming.insert(incoming.end(), extra.begin(), extra.end());
    for (const Atom& atom : incoming) {
        lv2_atom_forge_frame_time(&forge, 0);
        lv2_atom_forge_write(&forge, atom.data(), static_cast<uint32_t>(atom.size()));
    }
    lv2_atom_forge_pop(&forge, &sequence);

    // Room for the notify port, as a host says it: the atom's size.
    notifyBuffer.assign(notifyCapacity + sizeof(LV2_Atom) + 64, 0xEE);
    auto* notify = reinterpret_cast<LV2_Atom*>(notifyBuffer.data());
    notify->size = notifyCapacity;
    notify->type = 0;

    plugin.connect(Lv2Plugin::kInLeft, const_cast<float*>(inputs[0]));
    plugin.connect(Lv2Plugin::kInRight, const_cast<float*>(inputs[1]));
    plugin.connect(Lv2Plugin::kOutLeft, outputs[0]);
    plugin.connect(Lv2Plugin::kOutRight, outputs[1]);
    plugin.connect(Lv2Plugin::kControl, controlBuffer.data());
    plugin.connect(Lv2Plugin::kNotify, notifyCapacity ? notify : nullptr);
    plugin.run(frames);

    for (size_t i = sizeof(LV2_Atom) + notifyCapacity; i < notifyBuffer.size(); ++i) {
        if (notifyBuffer[i] != 0xEE) {
            throw std::logic_error("the plug-in wrote past the notify port's room");
        }
    }
    std::vector<Atom> events;
    if (notifyCapacity == 0 || (notify->type == 0 && notify->size == 0)) {
        return events;
    }
    if (notify->type != urids.atomSequence || notify->size > notifyCapacity) {
        throw std::logic_error("the notify port holds no sequence within its room");
    }
    const auto* seq = reinterpret_cast<const LV2_Atom_Sequence*>(notify);
    LV2_ATOM_SEQUENCE_FOREACH(seq, event) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(&event->body);
        events.emplace_back(bytes, bytes + sizeof(LV2_Atom) + event->body.size);
    }
    return events;
}

std::vector<Lv2TestHost::Atom> Lv2TestHost::runSilence(Lv2Plugin& plugin, uint32_t frames,
                                                       const std::vector<Atom>& extra) {
    std::vector<float> in(frames + 1, 0.0f);
    std::vector<float> out(2 * (frames + 1), 0.0f);
    const float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {out.data(), out.data() + frames + 1};
    return run(plugin, frames, inputs, outputs, 16384, extra);
}

void Lv2TestHost::deliver(Lv2Ui& ui, const std::vector<Atom>& events) {
    for (const Atom& atom : events) {
        ui.portEvent(Lv2Plugin::kNotify, static_cast<uint32_t>(atom.size()),
                     urids.atomEventTransfer, atom.data());
    }
}

Lv2Messages::Message Lv2TestHost::read(const Atom& atom) const {
    return Lv2Messages::read(urids, reinterpret_cast<const LV2_Atom*>(atom.data()),
                             static_cast<uint32_t>(atom.size()));
}

std::vector<Lv2Messages::Kind> Lv2TestHost::kinds(const std::vector<Atom>& atoms) const {
    std::vector<Lv2Messages::Kind> result;
    for (const Atom& atom : atoms) {
        result.push_back(read(atom).kind);
    }
    return result;
}

std::vector<Lv2TestHost::Atom> Lv2TestHost::takeWrites() {
    std::vector<Atom> writes;
    writes.swap(pendingWrites);
    writePorts.clear();
    return writes;
}

Lv2TestHost::Atom Lv2TestHost::axisChoice(int32_t axis) {
    alignas(LV2_Atom) uint8_t buffer[128];
    LV2_Atom_Forge forge;
    lv2_atom_forge_init(&forge, &map);
    lv2_atom_forge_set_buffer(&forge, buffer, sizeof(buffer));
    Lv2Messages::writeAxisChoice(forge, urids, axis);
    const auto* atom = reinterpret_cast<const LV2_Atom*>(buffer);
    return Atom(buffer, buffer + sizeof(LV2_Atom) + atom->size);
}
