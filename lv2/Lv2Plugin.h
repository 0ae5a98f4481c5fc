// The LV2 plug-in instance: passes its stereo input through, runs the
// spectrum core over it and tells its editor, through the notify port, the
// bin powers of the frames it analysed and its status. The axis the user
// chose in the editor comes in on the control port and is kept in the
// host's session through the state interface.
#pragma once

#include <atomic>
#include <cstdint>

#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include "lv2/Lv2AnalysisCore.h"
#include "lv2/Lv2Urids.h"

class Lv2Plugin {
public:
    // The port indices of the bundle's Turtle description.
    enum Port : uint32_t {
        kInLeft = 0,
        kInRight = 1,
        kOutLeft = 2,
        kOutRight = 3,
        kControl = 4,
        kNotify = 5,
        kPortCount = 6,
    };

    // Null when out of memory. Without the host's URID map the plug-in
    // has no messages and no state.
    static Lv2Plugin* create(double sampleRate, const LV2_Feature* const* features);

    void connect(uint32_t port, void* data);
    // Resume: the editor hears the status at the next run.
    void activate();
    // Suspend: the host stops running the plug-in.
    void deactivate();
    // Any count, 0 included; the outputs may be the inputs.
    void run(uint32_t frames);

    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);

    int32_t axis() const { return chosenAxis.load(std::memory_order_relaxed); }
    bool isActive() const { return active; }
    const Lv2AnalysisCore& analysis() const { return core; }

private:
    Lv2Plugin(double sampleRate, const LV2_URID_Map* map);
    void readControl();
    void writeNotify(uint32_t frames);

    Lv2AnalysisCore core;
    Lv2Urids urids;
    LV2_Atom_Forge forge{};
    const float* inputs[2] = {};
    float* outputs[2] = {};
    const LV2_Atom_Sequence* control = nullptr;
    LV2_Atom_Sequence* notify = nullptr;
    // Written by run and restore, read by save, which may run beside run.
    std::atomic<int32_t> chosenAxis{0};
    bool messages = false;
    bool statusDue = true;
    bool active = false;
};
