#pragma once

#include <cstdint>

// A controller message as received.
struct controllerRecord {
    int32_t tag = 0;
    int32_t controller = 0;
    int32_t value = 0;
};
