#include "lv2/Lv2Urids.h"

#include <initializer_list>

#include <lv2/atom/atom.h>

#include "lv2/Lv2Uris.h"

Lv2Urids::Lv2Urids(const LV2_URID_Map* map) {
    if (!map || !map->map) {
        return;
    }
    const auto id = [map](const char* uri) { return map->map(map->handle, uri); };
    atomBlank = id(LV2_ATOM__Blank);
    atomBool = id(LV2_ATOM__Bool);
    atomEventTransfer = id(LV2_ATOM__eventTransfer);
    atomFloat = id(LV2_ATOM__Float);
    atomInt = id(LV2_ATOM__Int);
    atomObject = id(LV2_ATOM__Object);
    atomSequence = id(LV2_ATOM__Sequence);
    atomVector = id(LV2_ATOM__Vector);
    frame = id(Lv2Uris::kFrame);
    powers = id(Lv2Uris::kPowers);
    status = id(Lv2Uris::kStatus);
    axis = id(Lv2Uris::kAxis);
    sampleRate = id(Lv2Uris::kSampleRate);
    axisChoice = id(Lv2Uris::kAxisChoice);
    statusRequest = id(Lv2Uris::kStatusRequest);
}

bool Lv2Urids::complete() const {
    for (LV2_URID u :
         {atomBlank, atomBool, atomEventTransfer, atomFloat, atomInt, atomObject, atomSequence,
          atomVector, frame, powers, status, axis, sampleRate, axisChoice, statusRequest}) {
        if (u == 0) {
            return false;
        }
    }
    return true;
}
