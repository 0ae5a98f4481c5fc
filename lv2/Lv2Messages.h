// The atom messages between the plug-in and its editor, written with the
// host's forge and read back with every size checked, so that a short or
// foreign atom is ignored rather than read past its end.
//
// Plug-in to editor: Frame (the 512 bin powers, the largest of each bin
// over the frames analysed since the last message) and Status (axis and
// sample rate). Editor to plug-in: AxisChoice and StatusRequest.
#pragma once

#include <cstdint>

#include <lv2/atom/forge.h>

#include "analysis/SpectrumLayout.h"

class Lv2Urids;

class Lv2Messages {
public:
    enum class Kind { none, frame, status, axisChoice, statusRequest };

    struct Message {
        Kind kind = Kind::none;
        const float* powers = nullptr; // frame: SpectrumLayout::kLevelBins values
        int32_t axis = 0;              // status, axisChoice: 0 linear, 1 logarithmic
        float sampleRate = 0.0f;       // status
    };

    // Bytes an event of each kind takes in a sequence, its time stamp included.
    static uint32_t frameEventSize();
    static uint32_t statusEventSize();

    // Each writes one whole event at `time` into the sequence open in forge,
    // or nothing when it does not fit: false then.
    static bool writeFrame(LV2_Atom_Forge& forge, const Lv2Urids& urids, int64_t time,
                           const float* powers);
    static bool writeStatus(LV2_Atom_Forge& forge, const Lv2Urids& urids, int64_t time,
                            int32_t axis, float sampleRate);
    // Each writes one object (no time stamp), for the host's port write.
    static bool writeAxisChoice(LV2_Atom_Forge& forge, const Lv2Urids& urids, int32_t axis);
    static bool writeStatusRequest(LV2_Atom_Forge& forge, const Lv2Urids& urids);

    // The message in `atom`, of which `size` bytes are readable; Kind::none
    // for anything else. Pointers in the result point into atom.
    static Message read(const Lv2Urids& urids, const LV2_Atom* atom, uint32_t size);

    // Axis values other than 1 mean linear, as the editor reads them.
    static int32_t axisOf(int32_t value) { return value == 1 ? 1 : 0; }
};
