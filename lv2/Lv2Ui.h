// The LV2 editor: the plug-in's own tq_spectrumEditor in the host's parent
// window, reading a core of its own that the plug-in's messages feed. Each
// Frame message raises the bands as the audio thread raises them in the
// VST plug-in, so the editor's decay runs unchanged. The plug-in sends
// messages only while the host runs it: when they stop, the editor shows
// its suspended panel, and the bars again when they resume.
#pragma once

#include <cstdint>

#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include "analysis/tq_spectrumCore.h"
#include "editor/tq_spectrumEditor.h"
#include "lv2/Lv2Urids.h"

class Lv2Ui {
public:
    // Silence longer than this (and than a few hops) means suspended.
    static constexpr uint32_t kSilenceMilliseconds = 1000;
    static constexpr int32_t kSilentHops = 4;

    // Null when a required feature is missing or the editor cannot open;
    // *widget is then untouched.
    static Lv2Ui* create(const LV2_Feature* const* features, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget);
    ~Lv2Ui() = default;

    Lv2Ui(const Lv2Ui&) = delete;
    Lv2Ui& operator=(const Lv2Ui&) = delete;

    void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    // The host's idle call: the editor's idle, then the axis to the plug-in.
    int idle();

    tq_spectrumEditor& spectrumEditor() { return editor; }
    const tq_spectrumCore& displayCore() const { return core; }

private:
    Lv2Ui(const LV2_URID_Map* map, LV2UI_Write_Function write, LV2UI_Controller controller);
    bool open(void* parent, LV2UI_Widget* widget);
    void send(bool axisChoice);
    void heard();

    Lv2Urids urids;
    LV2_Atom_Forge forge{};
    LV2UI_Write_Function write;
    LV2UI_Controller controller;
    tq_spectrumCore core;
    tq_spectrumEditor editor{nullptr};
    int32_t sharedAxis = 0;
    uint32_t lastHeard = 0;
    bool hearing = true;
};
