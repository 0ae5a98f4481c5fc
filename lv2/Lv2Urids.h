// The numbers the host's URID map gives the names the front-end uses.
#pragma once

#include <lv2/urid/urid.h>

class Lv2Urids {
public:
    // All zero when map is null or has no map function.
    explicit Lv2Urids(const LV2_URID_Map* map);

    // True when every name got a number.
    bool complete() const;

    LV2_URID atomBlank = 0;
    LV2_URID atomBool = 0;
    LV2_URID atomEventTransfer = 0;
    LV2_URID atomFloat = 0;
    LV2_URID atomInt = 0;
    LV2_URID atomObject = 0;
    LV2_URID atomSequence = 0;
    LV2_URID atomVector = 0;
    LV2_URID frame = 0;
    LV2_URID powers = 0;
    LV2_URID status = 0;
    LV2_URID axis = 0;
    LV2_URID sampleRate = 0;
    LV2_URID axisChoice = 0;
    LV2_URID statusRequest = 0;
};
