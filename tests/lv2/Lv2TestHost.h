// An LV2 host in miniature for the front-end's suites: the URID map, the
// features a plug-in and its editor get, the headless parent window, a
// control sequence built from what the editor wrote, and the notify port's
// events, which it can hand on to an editor as a host's UI thread does.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <lv2/core/lv2.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include "lv2/Lv2Messages.h"
#include "lv2/Lv2Urids.h"
#include "platform/headless/HeadlessWindow.h"

class Lv2Plugin;
class Lv2Ui;

class Lv2TestHost {
public:
    using Atom = std::vector<uint8_t>; // one whole atom, header included

    Lv2TestHost();
    Lv2TestHost(const Lv2TestHost&) = delete;
    Lv2TestHost& operator=(const Lv2TestHost&) = delete;

    // Null-terminated feature lists: the plug-in's (the map), and the
    // editor's with the features asked for; a sample rate or a scale above 0
    // comes as the host's option.
    const LV2_Feature* const* pluginFeatures() { return pluginList.data(); }
    const LV2_Feature* const* uiFeatures(bool map, bool parent, bool resize,
                                         float optionRate = 0.0f, float optionScale = 0.0f);

    // The plug-in's life as a host drives it; the editor writes not yet
    // delivered go into this run's control sequence with `extra`.
    // notifyCapacity bytes of room on the notify port (0: not connected).
    std::vector<Atom> run(Lv2Plugin& plugin, uint32_t frames, const float* const* inputs,
                          float* const* outputs, uint32_t notifyCapacity = 16384,
                          const std::vector<Atom>& extra = {});
    // Silent stereo input of `frames` samples, outputs to scratch buffers.
    std::vector<Atom> runSilence(Lv2Plugin& plugin, uint32_t frames,
                                 const std::vector<Atom>& extra = {});
    // Hands each event to the editor as the host's UI thread does.
    void deliver(Lv2Ui& ui, const std::vector<Atom>& events);

    Lv2Messages::Message read(const Atom& atom) const;
    // The kinds of a list of atoms, in order.
    std::vector<Lv2Messages::Kind> kinds(const std::vector<Atom>& atoms) const;
    // Atoms the editor has written so far, then forgotten.
    std::vector<Atom> takeWrites();
    Atom axisChoice(int32_t axis);

    LV2_URID_Map map{};
    Lv2Urids urids{nullptr};
    HeadlessWindow window;
    std::vector<std::pair<int, int>> resizes;

    static void writeFunction(LV2UI_Controller controller, uint32_t port, uint32_t size,
                              uint32_t format, const void* buffer);

private:
    static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri);
    static int resize(LV2UI_Feature_Handle handle, int width, int height);

    std::map<std::string, LV2_URID> ids;
    LV2_Feature mapFeature{};
    LV2_Feature parentFeature{};
    LV2UI_Resize resizeData{};
    LV2_Feature resizeFeature{};
    float rateValue = 0.0f;
    float scaleValue = 0.0f;
    LV2_Options_Option options[3] = {};
    LV2_Feature optionsFeature{};
    std::vector<const LV2_Feature*> pluginList;
    std::vector<const LV2_Feature*> uiList;
    std::vector<Atom> pendingWrites;
    std::vector<uint32_t> writePorts;
    std::vector<uint8_t> controlBuffer;
    std::vector<uint8_t> notifyBuffer;
};
