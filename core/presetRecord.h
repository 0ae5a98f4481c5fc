#pragma once

#include <cstdint>
#include <vector>

#include "core/parameterRecord.h"

// A named set of stored parameter values, read from a preset file.
struct presetRecord {
    char name[24] = {}; // from the file's header line
    int32_t entryCount = 0;
    char group[24] = {};                 // all zero when none was given
    char path[384] = {};                 // the file the preset was read from, NUL-padded
    std::vector<parameterRecord> values; // entryCount entries
};
