#pragma once

#include <cstdint>
#include <vector>

// One parameter of the core's table, or one stored entry of a preset (which
// fills only name, kind, dataLength and value).
struct parameterRecord {
    char name[24] = {};      // NUL-terminated when shorter than 24
    float value = 0.0f;      // plain units
    uint8_t* data = nullptr; // kinds 28 and 29: dataLength bytes from malloc
    int32_t kind = 0;        // row of the unit table
    int32_t dataLength = 0;  // size of data
    float minimum = 0.0f;
    float maximum = 1.0f;
    float auxValue = 0.0f;       // reported by property 7, otherwise unused
    int32_t targetCount = 0;     // entries in targets
    std::vector<float*> targets; // mirrors of value, owned by others
    bool hidden = false;         // reports "(Hidden)" and refuses unforced sets
};
